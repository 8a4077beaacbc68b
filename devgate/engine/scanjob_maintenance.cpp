#include "scanjob.h"

#include "jobstep.h"
#include "oxcommand.h"
#include "pmessage.h"
#include "scanshortcut.h"
#include "smallrecords.h"
#include "usbport.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

// The maintenance jobs of the device and diagnostics pages. Unlike a scan,
// they give up at once when the scanner refuses the lock: a settings write or
// a calibration on a scanner that another host holds would only interfere.

namespace {

// The paper sources that can fall back to the flatbed: their settings are
// written only after the device has looked for paper in the feeder.
bool choosesSourceByPaper(int paperSource)
{
    return paperSource == PaperSourceAutomatic || paperSource == PaperSourceAutomatic100 ||
           paperSource == PaperSourceAutomatic300;
}

} // namespace

int ScanJob::maintenanceLock(OxCommand &command, bool forLog)
{
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        const int rc = forLog ? command.lockScannerForLog() : command.lockScanner();
        if (rc == 0)
            break;
        if (rc != RC_WAKING)
            return rc;
        QThread::msleep(kWakingPauseMs);
    }
    // A scanner still waking after every attempt is given the commands
    // anyway; its answers to them decide the outcome.
    if (!forLog)
        jobState = Locked;
    return 0;
}

// Binds a job-local command object, takes the scanner lock, runs body with
// it and releases the lock: the frame of every maintenance job but the log.
template <typename Fn>
int ScanJob::lockedOperation(USBPort *port, PMessage *hub, Fn &&body)
{
    const CancelScope scope(this);
    initialVariant();
    OxCommand command(hub);
    if (!port || !command.setPort(port))
        return RC_NOT_CONNECTED;
    const int locked = maintenanceLock(command, false);
    if (locked != 0)
        return locked;
    const int rc = body(command);
    command.unlockScanner();
    return rc;
}

int ScanJob::devicePower(USBPort *port, tagSCAN_SHORTCUT_MENU *, PMessage *hub)
{
    // Waking is the lock exchange itself: the loop waits while the scanner
    // answers that it is waking up.
    return lockedOperation(port, hub, [](OxCommand &) { return 0; });
}

int ScanJob::deviceSource(USBPort *port, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub)
{
    if (!profile)
        return RC_DEVICE_FAILURE;
    return lockedOperation(port, hub, [&](OxCommand &command) {
        int rc = 0;
        if (choosesSourceByPaper(profile->paperSource)) {
            bool paperPresent = false;
            rc = command.getPaperDetected(paperPresent);
        }
        if (rc == 0) {
            tagSCANNER_CONFIGRATION config;
            if (parser.mergeConfig(config, profile)) {
                rc = timedStep("setConfig", [&] { return command.setConfig(config); });
            } else {
                // A configuration the device cannot hold must not be written.
                qDebug() << "deviceSource: mergeConfig refused the profile";
                rc = RC_DEVICE_FAILURE;
            }
        }
        if (rc == 0)
            rc = timedStep("setSnapToSizeList", [&] { return command.setSnapToSizeList(profile); });
        return rc;
    });
}

int ScanJob::magnification(USBPort *port, double frontX, double frontY, double rearX, double rearY,
                           PMessage *hub)
{
    return lockedOperation(port, hub, [&](OxCommand &command) {
        tagSCANNER_CONFIGRATION config;
        int rc = timedStep("getConfig", [&] { return command.getConfig(config); });
        if (rc == 0) {
            tagMAGNIFICATION factors;
            factors.frontX = frontX * 10000.0;
            factors.frontY = frontY * 10000.0;
            factors.rearX = rearX * 10000.0;
            factors.rearY = rearY * 10000.0;
            // A factor that does not fit the 16-bit field would be written as
            // some other factor; refuse it instead.
            if (parser.mergeMagnificationConfig(config, factors)) {
                parser.convertConfig(config);
                rc = timedStep("setConfig", [&] { return command.setConfig(config); });
            } else {
                rc = RC_DEVICE_FAILURE;
            }
        }
        return rc;
    });
}

int ScanJob::testScanner(USBPort *port)
{
    return lockedOperation(port, nullptr, [&](OxCommand &command) {
        tagDIAGNOSTIC_BEGIN begin;
        int rc = timedStep("getDiagnosticBegin", [&] { return command.getDiagnosticBegin(begin); });
        if (rc == 0) {
            tagDIAGNOSTIC_RUN run;
            rc = timedStep("getDiagnosticRun", [&] { return command.getDiagnosticRun(run); });
            // A diagnostic that did not run has nothing to end.
            if (rc == 0)
                command.setDiagnosticEnd();
        }
        return rc;
    });
}

int ScanJob::calibrateBeginUDDS(USBPort *port, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub)
{
    return calibrate(port, profile, hub, Calibration::UDDS);
}

int ScanJob::calibrateBeginTest(USBPort *port, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub)
{
    return calibrate(port, profile, hub, Calibration::Test);
}

int ScanJob::calibrateBeginTestMag(USBPort *port, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub)
{
    return calibrate(port, profile, hub, Calibration::TestMag);
}

int ScanJob::calibrate(USBPort *port, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub,
                       Calibration kind)
{
    if (!profile)
        return RC_DEVICE_FAILURE;
    return lockedOperation(port, hub, [&](OxCommand &command) {
        int endCode = 0;
        tagINQUIRY inquiry;
        int rc = timedStep("inquiry", [&] { return command.inquiry(inquiry); });
        if (rc == 0) {
            bool paperPresent = false;
            rc = timedStep("getPaperDetected", [&] {
                return detectPaper(command, profile, inquiry, hub, paperPresent);
            });
        }
        if (rc == 0) {
            tagCALIBRATE_BEGIN begin;
            rc = timedStep("getDiagnosticBegin", [&] {
                switch (kind) {
                case Calibration::UDDS:
                    return command.getcalibrateBeginUDDS(begin);
                case Calibration::Test:
                    return command.getcalibrateBeginTest(begin);
                case Calibration::TestMag:
                    break;
                }
                return command.getcalibrateBeginTestMag(begin);
            });
        }
        if (rc == 0)
            rc = timedStep("setcalibrateRun", [&] { return command.setcalibrateRun(); });
        if (rc == 0)
            rc = calibrationImages(command, profile, endCode);
        return endCode != 0 ? endCode : rc;
    });
}

// Reads the calibration sheet's images and discards them. endCode gets what
// ended the sheet (0 for its normal end); the result is that of the last
// command, setcalibrateEnd once the sheet has ended.
int ScanJob::calibrationImages(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, int &endCode)
{
    QByteArray image;
    for (;;) {
        tagREQUEST_HEADER header;
        const int headerResult =
            command.requestHeader(header, 0, nullptr, previewCopy, multifeedCopy);
        if (headerResult != 0) {
            if (cancelled) {
                command.scanRequestStop();
                endCode = RC_CANCELLED;
            } else {
                endCode = headerResult == RC_END_OF_OUTPUT ? 0 : headerResult;
            }
            tagCALIBRATE_END end;
            return timedStep("setDiagnosticEnd", [&] { return command.setcalibrateEnd(end); });
        }
        // requestImage sizes the buffer itself once the header's size has
        // been checked against the image it describes.
        const int rc = timedStep("requestImage", [&] {
            return command.requestImage(header, image, profile->combineType, previewCopy);
        });
        if (rc != 0)
            return rc;
    }
}

int ScanJob::timeDateLocal(USBPort *port, tagTIME_DATE_LOCAL &clock)
{
    return lockedOperation(port, nullptr, [&](OxCommand &command) {
        int rc = timedStep("setTimeDateLocal", [&] { return command.setTimeDateLocal(); });
        if (rc == 0)
            rc = timedStep("getTimeDateLocal", [&] { return command.getTimeDateLocal(clock); });
        return rc;
    });
}

int ScanJob::getInquiry(USBPort *port, tagINQUIRY &inquiry)
{
    return lockedOperation(port, nullptr, [&](OxCommand &command) {
        int rc =
            timedStep("checkInterfaceVersion", [&] { return command.checkInterfaceVersion(); });
        if (rc == 0)
            rc = timedStep("inquiry", [&] { return command.inquiry(inquiry); });
        return rc;
    });
}

int ScanJob::logData(USBPort *port, int selector, QByteArray &log)
{
    // No job reset: a log download may be asked for beside the console's
    // other work and leaves the job's state alone.
    if (selector < 0 || selector > 0xFF) {
        qDebug() << "logData: no such log" << selector;
        return RC_DEVICE_FAILURE;
    }
    OxCommand command;
    if (!port || !command.setPort(port))
        return RC_NOT_CONNECTED;
    int rc = maintenanceLock(command, true);
    if (rc != 0)
        return rc;

    QElapsedTimer timer;
    timer.start();
    unsigned int size = 0;
    rc = command.logBegin(static_cast<unsigned char>(selector), 9, size);
    qDebug() << "logBegin" << timer.elapsed();
    if (rc == 0) {
        if (size > kMaxLogBytes) {
            qDebug() << "logData: log size" << size << "beyond" << kMaxLogBytes;
            rc = RC_READ_FAILED;
        }
        unsigned int received = 0;
        while (rc == 0 && received < size) {
            QByteArray block;
            rc = command.getLogData(block, std::min(size - received, kLogBlockBytes));
            qDebug() << "getLogData" << timer.elapsed();
            if (rc != 0)
                break;
            // A block that brings nothing would be asked for again and again.
            if (block.isEmpty()) {
                qDebug() << "logData: empty block after" << received << "of" << size;
                rc = RC_READ_FAILED;
                break;
            }
            log.append(block);
            received += static_cast<unsigned int>(block.size());
        }
        command.logEnd();
    }
    command.unlockScannerForLog();
    return rc;
}

#include "scanjob.h"

#include "configfile.h"
#include "jobstep.h"
#include "oxcommand.h"
#include "pmessage.h"
#include "processimage.h"
#include "scannerconfig.h"
#include "scanshortcut.h"
#include "smallrecords.h"
#include "stamprecord.h"
#include "usbport.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <cstring>

namespace {

// The image tool form keeps the colour-learning start values inside its
// opaque block of the profile.
const int kAutoColorAmountOffset = 4060;
const int kAutoColorThresholdOffset = 4064;

qint32 profileInt(const tagSCAN_SHORTCUT_MENU *profile, int offset)
{
    qint32 value = 0;
    std::memcpy(&value, reinterpret_cast<const char *>(profile) + offset, sizeof value);
    return value;
}

} // namespace

ScanJob::ScanJob(QObject *parent)
    : QObject(parent)
{
    initialVariant();
}

void ScanJob::initialVariant()
{
    currentProfile = nullptr;
    jobState = Idle;
    // The cancel flags are not touched: a cancel given while the caller's
    // thread was still starting the job belongs to it. They are cleared when
    // a job ends (CancelScope).
    imprinterIndex = 1;
    blankIndex = 0;
    autoColorAmount = 1;
    autoColorThreshold = 0;
    previewCopy = 0;
    multifeedCopy = 0;
    headersRead = 0;
    pages.forgetHeldPages();
    OxCommand::setMultifeedUserInput(0);
}

void ScanJob::clearCancel()
{
    cancelled = false;
    OxCommand::setCancelFlag(false);
}

void ScanJob::cancelJob()
{
    cancelled = true;
    OxCommand::setCancelFlag(true);
}

int ScanJob::setMultifeedUserInput(int answer)
{
    OxCommand::setMultifeedUserInput(answer);
    return 0;
}

void ScanJob::setScannerModel(QString model)
{
    paperLog.setScannerModelName(model);
}

void ScanJob::getDocumentSource(tagSCAN_SHORTCUT_MENU *profile, bool paperPresent)
{
    const bool flatbed = profile->paperSource == PaperSourceFlatbed ||
                         (profile->paperSource != PaperSourceFeeder && !paperPresent);
    paperLog.setDocumentSource(flatbed ? tr("平板") : tr("文档进纸器"));
}

int ScanJob::startJob(USBPort *port, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub)
{
    const CancelScope scope(this);
    initialVariant();
    if (!profile)
        return RC_DEVICE_FAILURE;
    ProcessImage group;
    group.setParameters(profile->saveSize, profile->combineScaling, profile->combineType);

    autoColorAmount = profileInt(profile, kAutoColorAmountOffset);
    autoColorThreshold = profileInt(profile, kAutoColorThresholdOffset);
    currentProfile = profile;
    imprinterIndex = startIndex = static_cast<quint32>(profile->printerIndex);

    OxCommand command(hub);
    if (!port || !command.setPort(port))
        return RC_NOT_CONNECTED;

    pages.setTempDirectory(g_pConfigFile ? g_pConfigFile->m_strTempDir : QString());
    pages.setPaperLog(&paperLog);
    pages.startJob(hub, profile, PageFileWriter::rulesFrom(*profile));

    // Only a waking scanner is waited for; busy or a silent lock pipe ends
    // the job at once.
    const int locked = maintenanceLock(command, false);
    if (locked != 0) {
        pages.discardHeldPages();
        return locked;
    }

    tagINQUIRY inquiry;
    tagWINDOW_ADD lastWindow;
    int result = runCommandSequence(command, profile, hub, inquiry, lastWindow);
    if (result == 0 && jobState == ScanBegun)
        result = runPageLoop(command, profile, hub, group);
    return finishJob(command, profile, hub, group, lastWindow, result);
}

int ScanJob::runCommandSequence(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile,
                                PMessage *hub, tagINQUIRY &inquiry, tagWINDOW_ADD &lastWindow)
{
    int rc = timedStep("checkInterfaceVersion", [&] { return command.checkInterfaceVersion(); });
    if (rc != 0)
        return rc;
    if ((rc = timedStep("inquiry", [&] { return command.inquiry(inquiry); })) != 0)
        return rc;
    if ((rc = timedStep("stampInquiry", [&] { return command.stampInquiry(); })) != 0)
        return rc;
    if ((rc = timedStep("setTimeDateLocal", [&] { return command.setTimeDateLocal(); })) != 0)
        return rc;
    tagTIME_DATE_LOCAL clock;
    if ((rc = timedStep("getTimeDateLocal", [&] { return command.getTimeDateLocal(clock); })) != 0)
        return rc;
    if ((rc = timedStep("setLanguage", [&] { return command.setLanguage(); })) != 0)
        return rc;
    tagSCANNER_CONFIGRATION config;
    if ((rc = timedStep("getConfig", [&] { return command.getConfig(config); })) != 0)
        return rc;
    if ((rc = timedStep("setSnapToSizeList", [&] { return command.setSnapToSizeList(profile); })) != 0)
        return rc;

    imprinterIndex = static_cast<quint32>(profile->printerIndex);
    if (!parser.mergeConfig(config, profile, &inquiry)) {
        // A configuration that cannot be expressed must not reach the device.
        qDebug() << "mergeConfig refused the profile";
        return RC_DEVICE_FAILURE;
    }
    command.setSleeveDocument(profile->combineType);
    if ((rc = timedStep("setConfig", [&] { return command.setConfig(config); })) != 0)
        return rc;
    if ((rc = timedStep("getEcdo", [&] { return command.getEcdo(); })) != 0)
        return rc;

    const bool hostWaits = !((profile->previewMode != 0 && profile->previewAutoUpdate != 0) ||
                             inquiry.PromptToStart == 1);
    bool paperPresent = false;
    rc = command.getPaperDetected(paperPresent);
    if (isTransferFailure(rc))
        return rc;
    getDocumentSource(profile, paperPresent);
    if (hostWaits) {
        rc = timedStep("detectPaper", [&] {
            return detectPaper(command, profile, inquiry, hub, paperPresent);
        });
        if (rc != 0)
            return rc;
    }

    StampRecord stamp;
    QByteArray stampFont;
    parser.mergeStampConfig(stamp, profile, stampFont);
    if ((rc = timedStep("StampConfig", [&] { return command.StampConfig(stamp); })) != 0)
        return rc;
    const QString graphic = CommonFunc::charsToString(profile->stampGraphicFile, 256);
    if (stamp.graphicStampOn == 1 && !graphic.isEmpty() && g_pConfigFile) {
        const QString path = g_pConfigFile->m_strStampDir + "/" + graphic;
        if (QFileInfo(path).isFile()) {
            if ((rc = timedStep("stampGraphic", [&] { return command.stampGraphic(path); })) != 0)
                return rc;
        }
    }
    if ((rc = timedStep("requestOverrides", [&] { return command.requestOverrides(); })) != 0)
        return rc;

    for (tagCREATE_CAMERA camera : parser.mergeCameras(profile)) {
        if ((rc = timedStep("createCamera", [&] { return command.createCamera(camera); })) != 0)
            return rc;
    }
    if (stamp.textStampOn == 1) {
        if ((rc = timedStep("setStampText", [&] { return command.setStampText(stampFont); })) != 0)
            return rc;
    }
    const QVector<tagWINDOW_ADD> windows = parser.mergeWindows(profile, inquiry);
    if (windows.isEmpty())
        qDebug() << "windowAdd error" << profile->inputDocument;
    for (tagWINDOW_ADD window : windows) {
        if ((rc = timedStep("windowAdd", [&] { return command.windowAdd(window); })) != 0)
            return rc;
        lastWindow = window;
    }
    if ((rc = timedStep("setWindowOrder", [&] { return command.setWindowOrder(profile); })) != 0)
        return rc;

    // A cancel that came before the scan started: no sheet is fed.
    if (cancelled)
        return RC_CANCELLED;
    rc = timedStep("scanBegin", [&] { return command.scanBegin(); });
    paperLog.setScannedBeginTimeFromScanJob();
    // Even a failed scanBegin is followed by scanEnd at the end of the job.
    jobState = ScanBegun;
    return rc;
}

int ScanJob::runPageLoop(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub,
                         ProcessImage &group)
{
    int flag = 0;
    for (;;) {
        previewCopy = profile->previewMode;
        multifeedCopy = profile->multifeedResponse;
        int answer = 0;
        tagREQUEST_HEADER header;
        int rc = timedStep("requestHeader:", [&] {
            return command.requestHeader(header, flag, &answer, profile->previewMode,
                                         profile->multifeedResponse);
        });

        if (flag == 1) {
            if (profile->multifeedResponse == MultifeedInteractive) {
                const int headerResult = rc;
                rc = processMultifeed(command, profile, hub, answer, group);
                if (profile->combineType >= CombineTwo)
                    mergeFullGroup(group);
                if (answer == 1 || answer == 3) {
                    OxCommand::setMultifeedUserInput(0);
                    command.resetScannedFile();
                    flag = 0;
                    continue;
                }
                // A failed header read stays a failure: there is no header
                // to process then.
                if (rc == 0 && headerResult != 0)
                    rc = headerResult;
                // An answer came instead of a header: read the next one
                // rather than handling the previous header again.
                if (rc == 0 && answer != 0) {
                    flag = 0;
                    continue;
                }
            } else {
                if (profile->multifeedResponse == MultifeedPauseKeepImage && !cancelled)
                    pages.acceptHeldPages(group);
                // The panel's answer came in place of a header: there is no
                // header to handle, so the next one is read.
                if (rc == 0 && answer != 0) {
                    flag = 0;
                    continue;
                }
            }
        }

        if (rc != 0) {
            if (cancelled) {
                command.scanRequestStop();
                return RC_CANCELLED;
            }
            return rc == RC_END_OF_OUTPUT ? 0 : rc;
        }

        rc = handlePage(command, profile, hub, header, group);
        if (rc != 0)
            return rc;
        if (cancelled) {
            command.scanRequestStop();
            return RC_CANCELLED;
        }
        if (header.Multifeed == 1 && profile->multifeedResponse == MultifeedInteractive)
            detectedMultifeed(command, hub);
        flag = header.Multifeed;
    }
}

int ScanJob::handlePage(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub,
                        const tagREQUEST_HEADER &deviceHeader, ProcessImage &group)
{
    tagREQUEST_HEADER header = deviceHeader;
    ++headersRead;
    imprinterIndex = header.PrinterIndex;
    autoColorThreshold = header.AutoColorThreshold;
    autoColorAmount = qMin(autoColorAmount, static_cast<int>(header.AutoColorAmount));

    QStringList barcodes;
    if (header.BarcodesFound != 0) {
        const int rc = command.requestBarcode(header.BarcodesFound, barcodes);
        if (rc != 0)
            return rc;
    }

    const PageHeader page = PageFileWriter::headerFrom(header);
    qDebug() << "nWidth:" << page.pixelWidth();
    qDebug() << "nHeight:" << page.pixelHeight();
    qDebug() << "TotalSize:" << header.ImageSize;

    QByteArray data;
    const int rc = command.requestImage(header, data, profile->combineType, previewCopy);
    if (rc != 0)
        return rc;

    const tagSCAN_SIDE_SETTING &block = profile->sideSettings[0];
    bool save = true;
    if (profile->previewMode == 1) {
        if (hub)
            emit hub->sendBlankImageContent(blankIndex, header.BlankImageContent);
        ++blankIndex;
    } else if (block.blankImageDeletion == 1) {
        save = static_cast<int>(header.BlankImageContent) > block.contentAmount;
    } else if (block.blankImageDeletion == 2) {
        save = header.ImageSize > static_cast<quint32>(block.finalImageSize) * 1000u;
    }
    if (save) {
        pages.saveImage(page, data, barcodes, group);
        // A page the disk refused is not silently skipped: the feeder stops
        // as for a cancel and the job ends with the file's code.
        if (pages.fileFailure() != 0) {
            command.scanRequestStop();
            return pages.fileFailure();
        }
    }
    return 0;
}

bool ScanJob::mergeFullGroup(ProcessImage &group)
{
    if (group.getFileListCount() != ProcessImage::groupSize(currentProfile->combineType))
        return false;
    return pages.giveOutMergedGroup(group);
}

int ScanJob::finishJob(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, PMessage *hub,
                       ProcessImage &group, const tagWINDOW_ADD &lastWindow, int result)
{
    if (group.getFileListCount() > 0 && profile->combineType >= CombineTwo)
        pages.giveOutMergedGroup(group);
    // A sheet or page the disk refused at any point makes the job a failure.
    if (result == 0 && pages.fileFailure() != 0)
        result = pages.fileFailure();

    int endResult = 0;
    if (jobState > Locked) {
        tagSCAN_END end;
        endResult = timedStep("scanEnd", [&] { return command.scanEnd(end); });
        stampStartIndex = static_cast<int>(end.StampStartIndex);
        paperLog.setScannedFinishTimeFromScanJob();
        jobState = ScanEnded;
        blankIndex = 0;

        if (profile->previewMode != 0) {
            if (hub)
                emit hub->scanFinish(profile, static_cast<int>(imprinterIndex), stampStartIndex,
                                     static_cast<int>(imprinterIndex), autoColorAmount,
                                     autoColorThreshold);
        } else {
            // A job that delivered no header scanned no sheet: the index and
            // the log count stay where they were.
            if (headersRead > 0)
                ++imprinterIndex;
            const int sheets = static_cast<int>(imprinterIndex - startIndex);
            if (hub)
                emit hub->scanFinish(profile, static_cast<int>(imprinterIndex), stampStartIndex,
                                     sheets, autoColorAmount, autoColorThreshold);
            if (g_pConfigFile)
                paperLog.setLog(&lastWindow, profile, result, sheets, g_pConfigFile->m_strScannedLogIni,
                                g_pConfigFile->m_strScanLogFile, g_pConfigFile->m_strProfilesDir);
        }
    }
    // Pages of a multifed sheet that was never answered would otherwise stay
    // on disk unannounced.
    pages.discardHeldPages();
    command.unlockScanner();
    return result != 0 ? result : endResult;
}

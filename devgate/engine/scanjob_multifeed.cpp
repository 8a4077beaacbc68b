#include "scanjob.h"

#include "oxcommand.h"
#include "pmessage.h"
#include "processimage.h"
#include "scanshortcut.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

bool ScanJob::isTransferFailure(int rc)
{
    switch (rc) {
    case RC_IO_TIMEOUT:
    case RC_IO_ERROR:
    case RC_READ_FAILED:
    case RC_WRITE_FAILED:
    case RC_NOT_CONNECTED:
        return true;
    default:
        return false;
    }
}

int ScanJob::detectPaper(OxCommand &command, tagSCAN_SHORTCUT_MENU *profile, tagINQUIRY inquiry,
                         PMessage *hub, bool &paperPresent)
{
    qDebug() << "detectPaper";
    auto report = [hub](bool found, bool done) {
        if (hub)
            emit hub->updatePaperStatus(found, done);
    };
    if (profile->paperSource == PaperSourceFlatbed) {
        if (inquiry.PaperSourceState == 1) {
            qDebug() << "Does not install QF device";
            return RC_FEEDER_EMPTY;
        }
        paperLog.setDocumentSource(tr("平板"));
        return 0;
    }
    const bool automatic = profile->paperSource == PaperSourceAutomatic ||
                           profile->paperSource == PaperSourceAutomatic100 ||
                           profile->paperSource == PaperSourceAutomatic300;
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() <= paperWaitMs()) {
        // The device's own answer is not looked at, but a link that fails
        // (an unplugged scanner) ends the wait at once: it is no empty feeder.
        const int rc = command.getPaperDetected(paperPresent);
        if (isTransferFailure(rc)) {
            report(false, true);
            return rc;
        }
        if (paperPresent) {
            report(true, true);
            paperLog.setDocumentSource(tr("文档进纸器"));
            return 0;
        }
        if (!profile->autoStartScanning) {
            report(false, true);
            return 0;
        }
        if (automatic && inquiry.PaperSourceState == 5) {
            report(true, true);
            paperLog.setDocumentSource(tr("平板"));
            return 0;
        }
        if (cancelled) {
            report(false, true);
            return RC_CANCELLED;
        }
        report(false, false);
        QThread::msleep(kPaperPollMs);
    }
    report(false, true);
    return RC_FEEDER_EMPTY;
}

int ScanJob::detectedMultifeed(OxCommand &command, PMessage *hub)
{
    int perSheet = 0, thisSheet = 0;
    command.getScannedFile(&perSheet, &thisSheet);
    if (perSheet != thisSheet)
        return 0;
    if (hub)
        emit hub->scanningMultifeed(pages.heldFileNames());
    return 0;
}

int ScanJob::processMultifeed(OxCommand &command, tagSCAN_SHORTCUT_MENU *, PMessage *, int answer,
                              ProcessImage &group)
{
    int perSheet = 0, thisSheet = 0;
    command.getScannedFile(&perSheet, &thisSheet);
    if (perSheet != thisSheet)
        return 0;
    // No answer yet is no rejection: the held pages wait for one. (A header
    // can come while the counted sheet is complete, when the sheet's images
    // are counted by two, front and back combined, but arrive one by one.)
    if (answer == 0)
        return 0;
    if (answer == 1) {
        pages.acceptHeldPages(group);
        return 0;
    }
    pages.discardHeldPages();
    return answer == 2 ? RC_MULTIFEED : 0;
}

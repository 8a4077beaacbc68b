// The console window as scan driver: starting scans and calibrations, the
// pages on their way out, the job's end, the feeder and multifeed questions,
// the console's own preview and learning scans, and error boxes.
#include "scanmainwindow.h"

#include "calibratethread.h"
#include "configfile.h"
#include "detectpaperdialog.h"
#include "deviceform.h"
#include "errorhandling.h"
#include "filehelper.h"
#include "multifeeddialog.h"
#include "onepressthread.h"
#include "previewupdatedialog.h"
#include "profileoffsets.h"
#include "scanningdialog.h"
#include "scanningthread.h"
#include "settingform.h"
#include "ui_scanmainwindow.h"
#include "vellumglobal.h"

#include <QDebug>
#include <QFile>

bool ScanMainWindow::startScanJob(tagSCAN_SHORTCUT_MENU &profile)
{
    qDebug() << "startScanJob";
    if (!m_startMutex.tryLock())
        return false;
    // One scanning thread and one job at a time: a start while a scan or a
    // calibration runs is refused.
    if (m_scanningThread || m_calibrateThread) {
        m_startMutex.unlock();
        return false;
    }
    m_jobCancelled = false;
    m_sideIndex = previewSideIndex();
    startScanningProgress();
    m_progressShown = m_scanningDialog != nullptr;
    if (m_onepressThread)
        m_onepressThread->setScanFlag(true);

    m_scanningThread = new ScanningThread(&m_hub, nullptr);
    connect(m_scanningThread, &QThread::finished, this, &ScanMainWindow::finishedScanningThread);
    tagSCAN_SHORTCUT_MENU copy = profile;
    copy.printerIndex = m_paperIndex;
    if (m_deviceForm)
        m_deviceForm->updateStampIndexAndCounter(copy);
    m_scanningThread->setScanParameter(copy);
    m_scanningThread->start(QThread::HighPriority);
    m_startMutex.unlock();
    return true;
}

int ScanMainWindow::previewSideIndex() const
{
    return m_settingForm ? m_settingForm->getcurrentIndex() : 0;
}

void ScanMainWindow::startScanningProgress()
{
    if (m_showProgress && !m_scanningDialog) {
        m_scanningDialog = new ScanningDialog(1, true, &m_hub, this);
        m_lastCancelled = m_scanningDialog->isCancel();
        if (m_previewCount > 0)
            m_scanningDialog->setWindowModality(Qt::ApplicationModal);
        m_scanningDialog->show();
    }
    m_scanning = true;
    emit scanning();
}

void ScanMainWindow::stopScanningProgress()
{
    m_scanning = false;
    stopCalibrateProgress();
}

// Closes the progress dialog and leaves the scanning flag alone.
void ScanMainWindow::stopCalibrateProgress()
{
    if (!m_scanningDialog)
        return;
    m_lastCancelled = m_scanningDialog->isCancel();
    m_scanningDialog->accept();
    delete m_scanningDialog;
    m_scanningDialog = nullptr;
}

void ScanMainWindow::closePreviewUpdateDialog()
{
    if (!m_previewUpdateDialog)
        return;
    m_previewUpdateDialog->close();
    delete m_previewUpdateDialog;
    m_previewUpdateDialog = nullptr;
}

// Runs on the scanning thread: no widget is touched here.
void ScanMainWindow::scanFileName(tagSCAN_SHORTCUT_MENU *profile, QString file, signed char side,
                                  QStringList barcodes, int width, int height, int resolution,
                                  int colourMode)
{
    const bool preview = profilebytes::isPreview(*profile);
    const bool learning = profilebytes::isLearning(*profile);
    if (preview) {
        if (m_progressShown && m_jobCancelled)
            return;
        if (!profile->countOnly) {
            const bool everyPage =
                profilebytes::byteAt(*profile, profilebytes::kShowEveryPreviewPage) == 1;
            if (everyPage || m_previewPageCounter == m_sideIndex) {
                // QFile::copy never overwrites: the copy replaces the preview
                // file, so the preview always shows the new page, whole.
                const QString target = g_VellumCfgFile.m_strPreviewBitmap;
                if (FileHelper::replaceFile(
                        target, [&](const QString &part) { return QFile::copy(file, part); }))
                    emit m_hub.sendPreviewFilename(profile, target);
            }
            if (!everyPage)
                ++m_previewPageCounter;
        }
    } else if (!learning) {
        emit scanFileNameToMain(file, side, barcodes, width, height, resolution, colourMode);
    }

    if (!preview && !learning && m_progressShown) {
        const QString shown =
            profile->countOnly ? QStringLiteral(":/paper/images/paper/countonly.jpg") : file;
        const int inputType = int(profile->inputDocument);
        QMetaObject::invokeMethod(
            this,
            [this, side, shown, inputType] {
                if (m_scanningDialog)
                    m_scanningDialog->setScanFileName(side, shown, inputType);
            },
            Qt::QueuedConnection);
    }
}

void ScanMainWindow::scanFinish(tagSCAN_SHORTCUT_MENU *profile, int paperIndex, int, int scanAmount,
                                int autoColorMinAmount, int autoColorThreshold)
{
    if (profilebytes::isPreview(*profile)) {
        m_previewScan = 1;
        if (ui->tabWidget->currentIndex() == 0)
            ui->tabWidget->setCurrentIndex(1);
        ui->stackedWidget->setCurrentIndex(2);
    }
    // The job has ended but its thread has not: the window stays scanning
    // until the thread is gone, so that no start meanwhile is refused by a
    // caller that was told the scan is over.
    stopCalibrateProgress();
    m_paperIndex = paperIndex;
    m_learnedSheets = scanAmount;
    if (profilebytes::isLearning(*profile)) {
        m_learnDone = true;
        if (scanAmount > 4) {
            emit m_hub.sendAutoColorValue(autoColorMinAmount, autoColorThreshold);
            ErrorHandling::warningMessage(
                this, tr("Corvan扫描仪"),
                tr("请使用%1的“色彩总量”及%"
                   "2的“色彩阈值”数值，以让扫描仪自动检测，并将类似文档保存为彩色或灰阶图像。")
                    .arg(autoColorMinAmount)
                    .arg(autoColorThreshold));
        } else {
            ErrorHandling::criticalMessage(this, tr("Corvan扫描仪"),
                                           tr("为确定要符合您的特定文档集使用的“色彩总量”数值，您必"
                                              "须放入至少五份具有代表性的彩色文档。"));
        }
    }
    closePreviewUpdateDialog();
}

void ScanMainWindow::finishedScanningThread()
{
    ScanningThread *thread = m_scanningThread;
    m_scanningThread = nullptr;
    stopScanningProgress();
    // A job that never reached the scanner (busy facade, closed port) sends
    // no end of its own: the update notice goes with the thread.
    closePreviewUpdateDialog();
    if (m_onepressThread)
        m_onepressThread->setScanFlag(false);
    if (!thread)
        return;
    // Decided by the scan's own copy: a launcher scan after a preview still
    // tells the launcher that it has ended.
    const tagSCAN_SHORTCUT_MENU &record = thread->scanParameter();
    const bool quiet = profilebytes::isPreview(record) || profilebytes::isLearning(record);
    thread->deleteLater();
    if (!quiet)
        emit scanFinishToMain();
}

void ScanMainWindow::cannelJob()
{
    g_Devgate.cancelJob();
    emit m_hub.cancelScanningJob(PMessage::CancelByConsole);
}

void ScanMainWindow::updatePaperStatus(bool, bool done)
{
    if (done) {
        if (m_detectPaperDialog) {
            m_detectPaperDialog->accept();
            delete m_detectPaperDialog;
            m_detectPaperDialog = nullptr;
        }
    } else if (!m_detectPaperDialog) {
        m_detectPaperDialog = new DetectPaperDialog(&m_hub, m_scanningDialog);
        m_detectPaperDialog->show();
    }
}

void ScanMainWindow::scanningMultifeed(QStringList files)
{
    tagSCAN_SHORTCUT_MENU current;
    zeroScanShortcut(current);
    m_store.getCurrentScanShortcut(current);
    MultifeedDialog dialog(current, files, &m_hub, nullptr);
    if (!m_showProgress) {
        dialog.hide();
        g_Devgate.setMultifeedUserInput(1);
        return;
    }
    m_multifeedDialog = &dialog;
    const int result = dialog.exec();
    m_multifeedDialog = nullptr;
    if (result == 0)
        emit scanFinished();
}

// The job reads the panel's answer right after it asked: that answer is often
// sent before the dialog above exists and could hear it. The window heard the
// question and hears the answer in the order the job sent them, so it hands
// the answer to the open dialog, which then only closes.
void ScanMainWindow::userInputFromPanel(int)
{
    if (m_multifeedDialog)
        m_multifeedDialog->userInputFromPanel();
}

void ScanMainWindow::clickedBtnPreview()
{
    // A preview that cannot start must not announce itself to the pages.
    if (m_scanning)
        return;
    m_previewCount = 0;
    tagSCAN_SHORTCUT_MENU copy;
    zeroScanShortcut(copy);
    m_store.getCurrentScanShortcut(copy);
    updateAllUIControlToVariable(copy);
    m_previewScan = 1;
    m_showProgress = true;
    m_previewPageCounter = 0;
    copy.previewMode = 1;
    copy.previewAutoUpdate = PreviewAutoUpdateFlag(0);
    copy.printerIndex = m_paperIndex;
    copy.sideSettings[0].resolution = 300;
    m_previewCount = 1;
    emit m_hub.sendPreviewMode(1);
    startScanJob(copy);
}

void ScanMainWindow::previewAutoUpdate()
{
    if (m_scanning)
        return;
    tagSCAN_SHORTCUT_MENU copy;
    zeroScanShortcut(copy);
    m_store.getCurrentScanShortcut(copy);
    updateAllUIControlToVariable(copy);
    const bool showProgress = m_showProgress;
    m_showProgress = false;
    copy.previewMode = 1;
    copy.sideSettings[0].resolution = 300;
    copy.printerIndex = m_paperIndex;
    m_previewPageCounter = 0;
    if (!startScanJob(copy)) {
        // Refused (a calibration runs): nothing changes, no notice waits.
        m_showProgress = showProgress;
        return;
    }
    m_previewScan = 1;
    ++m_previewCount;
    emit m_hub.sendPreviewMode(m_previewCount);
    if (!m_previewUpdateDialog) {
        m_previewUpdateDialog = new PreviewUpdateDialog(this);
        m_previewUpdateDialog->setWindowModality(Qt::ApplicationModal);
        m_previewUpdateDialog->show();
    }
}

void ScanMainWindow::clickedBtnLearn()
{
    tagSCAN_SHORTCUT_MENU copy;
    zeroScanShortcut(copy);
    m_store.getCurrentScanShortcut(copy);
    updateAllUIControlToVariable(copy);
    profilebytes::setByte(copy, profilebytes::kLearnFlag, 1);
    startScanJob(copy);
}

void ScanMainWindow::changePreviewMode(bool clear)
{
    if (clear)
        emit m_hub.clearPreviewFilaname();
    m_previewCount = 0;
    m_previewScan = 0;
    m_learnDone = false;
}

void ScanMainWindow::updatePreviewMode()
{
    m_previewCount = 0;
    emit m_hub.sendPreviewMode(0);
    emit m_hub.clearPreviewFilaname();
    ui->pushButtonOK->setEnabled(true);
    ui->pushButtonPreview->setEnabled(true);
    ui->pushButtonCancel->setEnabled(true);
}

void ScanMainWindow::clearPreviewMode()
{
    m_previewCount = 0;
    m_previewScan = 0;
    m_learnDone = false;
    emit m_hub.sendPreviewMode(0);
    emit m_hub.clearPreviewFilaname();
}

void ScanMainWindow::calibrateEnsureBtn(int type)
{
    tagSCAN_SHORTCUT_MENU copy;
    zeroScanShortcut(copy);
    m_store.getCurrentScanShortcut(copy);
    startCalibrateJob(copy, type);
}

bool ScanMainWindow::startCalibrateJob(tagSCAN_SHORTCUT_MENU &profile, int type)
{
    qDebug() << "startCalibrateJob";
    if (!m_startMutex.tryLock())
        return false;
    if (m_scanningThread || m_calibrateThread) {
        m_startMutex.unlock();
        return false;
    }
    startCalibrateProcess(type);
    if (m_onepressThread)
        m_onepressThread->setScanFlag(true);
    m_calibrateThread = new calibrateThread(&m_hub, nullptr);
    connect(m_calibrateThread, &QThread::finished, this, &ScanMainWindow::finishedCalibrateThread);
    m_calibrateThread->setCalibrateParamete(profile, type);
    m_calibrateThread->start(QThread::HighPriority);
    m_startMutex.unlock();
    return true;
}

void ScanMainWindow::startCalibrateProcess(int type)
{
    if (m_scanningDialog)
        return;
    m_scanningDialog = new ScanningDialog(type, false, &m_hub, this);
    m_scanningDialog->setWindowModality(Qt::ApplicationModal);
    m_scanningDialog->show();
    m_lastCancelled = m_scanningDialog->isCancel();
}

void ScanMainWindow::finishedCalibrateThread()
{
    if (m_calibrateThread)
        m_calibrateThread->deleteLater();
    m_calibrateThread = nullptr;
    stopCalibrateProgress();
    if (m_onepressThread)
        m_onepressThread->setScanFlag(false);
}

void ScanMainWindow::calibrateStatus(int type, bool ok)
{
    QString text;
    if (type == 1 || type == 2)
        text = ok ? tr("放大倍率校准成功") : tr("放大倍率校准失败");
    else if (type == 3)
        text = ok ? tr("UDDS校准成功") : tr("UDDS校准失败");
    else
        return;
    ErrorHandling::informationMessage(this, tr("校准"), text);
}

void ScanMainWindow::postErrorCode(int code)
{
    postErrorMessage(code);
}

void ScanMainWindow::postErrorMessage(int code)
{
    qDebug() << "postErrorMessage";
    qDebug() << "Error code:" << code;
    ErrorHandling::criticalMessage(this, code, tr("错误"));
}

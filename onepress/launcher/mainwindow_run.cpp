// The road of one button task: press or tray entry, scan, page collection,
// the end of the scan, the worker's questions, dispatch and release.

#include "mainwindow.h"

#include "checkblankpage.h"
#include "consolelink.h"
#include "errorhandling.h"
#include "launcherprompts.h"
#include "onepressglobal.h"
#include "printjob.h"
#include "processfile.h"
#include "processhelper.h"
#include "retoucher.h"
#include "savefiledialog.h"
#include "webmailhelper.h"

#include <QComboBox>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QRegularExpression>
#include <QSet>

QList<tagSCAN_IMAGE_FILE> MainWindow::pages() const
{
    QMutexLocker lock(&m_pageMutex);
    return m_pages;
}

void MainWindow::setOnepressEvent()
{
    QList<tagONEPRESS_EVENT> buttons;
    for (int i = 0; i < m_nOptionNumber; ++i) {
        tagTASK_SHORTCUT task;
        if (!m_tasks.enumTaskShortcut(i, task) || !task.EnableCommand)
            break;
        QString icon = g_ConfigFile.m_strAppIconsDir + "/" + task.Icon;
        if (!QFileInfo::exists(icon))
            icon = g_ConfigFile.m_strSettingsIconsDir + "/" + task.Icon;
        buttons.append({icon, task.Name});
    }
    m_lastButtons = buttons;
    m_pConsole->setOnepressEvent(buttons);
}

bool MainWindow::runAllowed(bool fromTest) const
{
    // The Test button sits on the shown window, so only that check is skipped for it.
    if (!fromTest && !isHidden())
        return false;
    if (m_bBusy || m_bSaving || m_bMarking)
        return false;
    if (m_pRetoucher && !m_pRetoucher->isHidden())
        return false;
    return m_pConsole->isHidden();
}

void MainWindow::pressTouchPanel(int button)
{
    if (!m_runMutex.tryLock())
        return;
    // The console filters too, but the list may have shrunk while the press
    // was queued: only a button of the list last sent runs.
    if (button >= 1 && button <= m_lastButtons.size() && runAllowed(false)) {
        tagTASK_SHORTCUT task;
        if (m_tasks.enumTaskShortcut(button - 1, task))
            systemMenuTaskID(task.TaskID);
    }
    m_runMutex.unlock();
}

void MainWindow::systemMenuTaskID(QString taskId)
{
    startRun(taskId, false);
}

void MainWindow::clickedBtnTest()
{
    startRun(ui->comboBoxTaskShortcut->currentData().toString(), true);
}

void MainWindow::startRun(const QString &taskId, bool fromTest)
{
    if (!runAllowed(fromTest))
        return;
    tagTASK_SHORTCUT task;
    if (!m_tasks.enumTaskShortcut(taskId, task)) {
        qDebug() << "MainWindow: no task" << taskId << "; nothing run";
        return;
    }
    if (m_pConsole->isScanning()) {
        qDebug() << "MainWindow: the console is scanning; task" << taskId << "not run";
        return;
    }
    m_tray.unloadSystemTrayMenu();
    m_strTaskId = taskId;
    getVellumParamsValue(task);

    if (!task.BeforeSaveEditImage) {
        m_bBusy = true;
        if (!m_pConsole->startScanJob(task.ScanProfile)) {
            qDebug() << "MainWindow: the console refused the scan of" << taskId;
            releaseRun();
        }
        return;
    }
    if (m_pRetoucher)
        return;
    m_pRetoucher = new Retoucher(m_pConsole->window(), m_pMessages, nullptr);
    connect(m_pRetoucher, &Retoucher::closeRetoucher, this, &MainWindow::closeRetoucher);
    m_pRetoucher->setTaskShortcut(task.ScanProfile);
    m_pRetoucher->triggeredStartJob();
    m_bBusy = true;
    m_pRetoucher->show();
}

bool MainWindow::getVellumParamsValue(tagTASK_SHORTCUT &task)
{
    if (task.BeforeScanDisplaySetting)
        return getVellumParams(task.ScanProfile);
    m_pConsole->setCurrentScanShortcutMenu(scanText(task.ScanProfile.id));
    m_pConsole->getCurrentScanShortcutMenu(task.ScanProfile);
    return true;
}

bool MainWindow::getVellumParams(tagSCAN_SHORTCUT_MENU &profile)
{
    m_pConsole->setCurrentScanShortcutMenu(scanText(profile.id));
    m_pConsole->reload();
    if (m_pConsole->exec() != 1)
        return false;
    m_pConsole->getCurrentScanShortcutMenu(profile);
    return true;
}

void MainWindow::scanFileNameFromScanMain(QString file, signed char side, QStringList barcodes,
                                          int width, int height, int resolution, int colour)
{
    tagSCAN_IMAGE_FILE page;
    page.fileName = file;
    page.blank = false;
    page.side = side;
    page.width = width;
    page.height = height;
    page.resolution = resolution;
    page.colorType = colour;
    if (!barcodes.isEmpty()) {
        static const QRegularExpression unsafe(QStringLiteral("[/:*?<>|\\r\\n\"]"));
        QString code = barcodes.first();
        code.remove(unsafe);
        code.remove(QLatin1Char('\\'));
        code.remove(QLatin1Char('"'));
        page.barcode = code;
    }
    QMutexLocker lock(&m_pageMutex);
    m_pages.append(page);
}

void MainWindow::clearPages(bool deleteFiles)
{
    QMutexLocker lock(&m_pageMutex);
    if (deleteFiles && g_ConfigFile.m_nRemoveImage == 1)
        for (const tagSCAN_IMAGE_FILE &p : qAsConst(m_pages))
            QFile::remove(p.fileName);
    m_pages.clear();
}

void MainWindow::removeListImageFiles()
{
    clearPages(true);
}

void MainWindow::removeListEndImageFiles()
{
    removeEndFiles(pages());
}

void MainWindow::removeEndFiles(const QList<tagSCAN_IMAGE_FILE> &list)
{
    if (g_ConfigFile.m_nRemoveImage != 1)
        return;
    QSet<QString> done;
    for (const tagSCAN_IMAGE_FILE &p : list) {
        if (p.outputFileName.isEmpty() || done.contains(p.outputFileName))
            continue;
        done.insert(p.outputFileName);
        QFile::remove(p.outputFileName);
    }
}

void MainWindow::releaseRun()
{
    m_bBusy = false;
    if (isHidden())
        reloadTray();
}

void MainWindow::scanFinishFromScanMain()
{
    tagTASK_SHORTCUT task;
    if (!m_tasks.enumTaskShortcut(m_strTaskId, task)) {
        releaseRun();
        return;
    }
    if (task.BeforeSaveEditImage)
        return;
    if (m_pConsole->isCancel()) {
        clearPages(false);
    } else if (task.ADFEmptyWaiting) {
        const int answer = ErrorHandling::questionMessage(
            this, tr("进纸器输入盘已空"), tr("是否有其他页面要扫描？"), ErrorHandling::YesNo, 0);
        if (answer == ErrorHandling::Yes) {
            if (!m_pConsole->isScanning() && m_pConsole->startScanJob(task.ScanProfile))
                return;
            // The rescan was refused: what arrived so far is saved.
            qDebug() << "MainWindow: the rescan was refused; saving the pages so far";
        }
    }
    if (pages().isEmpty()) {
        releaseRun();
        return;
    }
    saveImages();
}

void MainWindow::closeRetoucher(bool accepted)
{
    if (accepted && m_pRetoucher) {
        QMutexLocker lock(&m_pageMutex);
        m_pRetoucher->getImageFiles(m_pages);
    }
    if (m_pRetoucher) {
        m_pRetoucher->deleteLater();
        m_pRetoucher = nullptr;
    }
    if (accepted) {
        saveImages();
        return;
    }
    reloadTray();
    m_bBusy = false;
    removeListImageFiles();
}

void MainWindow::saveImages()
{
    if (pages().isEmpty()) {
        releaseRun();
        return;
    }
    tagTASK_SHORTCUT task;
    m_tasks.enumTaskShortcut(m_strTaskId, task);
    const ScanDestFlag kind = m_destinations.getScanDestID(task.ScanDestinationID);
    if (kind == ScanDestPrinter) {
        {
            // The printer dialog turns an event loop: the list is not held.
            QList<tagSCAN_IMAGE_FILE> printed = pages();
            m_bDispatching = true;
            PrintJob job(printed, this);
            job.setParameters(task);
            if (!task.BeforePrintingDisplaySetings || job.openPrinterDialog(this)) {
                switch (task.ScalePrintPage) {
                case ScalePrintAuto:
                    job.printImageAuto(task.CenterPrint);
                    break;
                case ScalePrintFitPaper:
                    job.printImageAdjust();
                    break;
                case ScalePrintNone:
                    job.printImageDonotAdjust(task.CenterPrint);
                    break;
                }
            }
            m_bDispatching = false;
        }
        removeListImageFiles();
        releaseRun();
        return;
    }
    if (task.BlankPageSeparate) {
        markBlankPages(task);
        return;
    }
    startWorker(task);
}

void MainWindow::markBlankPages(const tagTASK_SHORTCUT &task)
{
    // Decoding every page takes a while (a colour page about 20 ms): it runs
    // on the worker's thread, idle until the save, over a copy of the page
    // records, while this thread keeps the tray alive. The run stays busy.
    m_bMarking = true;
    const QList<tagSCAN_IMAGE_FILE> records = pages();
    const std::atomic<bool> *closing = &m_bClosing;
    QMetaObject::invokeMethod(
        m_pWorker,
        [this, records, task, closing] {
            QVector<bool> marks(records.size(), false);
            for (int i = 0; i < records.size() && !*closing; ++i) {
                tagSCAN_IMAGE_FILE page = records.at(i);
                if (page.barcode.isEmpty())
                    marks[i] = CheckBlankPage::checkImageBlankPage(page, task.BlankPageThreshold);
            }
            QMetaObject::invokeMethod(
                this, [this, task, marks] { blankPagesMarked(task, marks); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void MainWindow::blankPagesMarked(tagTASK_SHORTCUT task, const QVector<bool> &marks)
{
    m_bMarking = false;
    if (m_bDisconnectedWhileSaving || m_bClosing) {
        m_bDisconnectedWhileSaving = false;
        closeRetoucher(false);
        return;
    }
    {
        QMutexLocker lock(&m_pageMutex);
        if (marks.size() == m_pages.size())
            for (int i = 0; i < m_pages.size(); ++i)
                if (m_pages.at(i).barcode.isEmpty())
                    m_pages[i].blank = marks.at(i);
    }
    startWorker(task);
}

void MainWindow::startWorker(tagTASK_SHORTCUT &task)
{
    m_pWorker->setListImageFiles(&m_pages);
    if (m_pWorker->setParameters(task) < 0 || !ScanFileType::isListed(task.FileTypeID)) {
        // A type no writer knows would never send an end signal.
        qDebug() << "MainWindow: file type" << task.FileTypeID << "has no writer; nothing saved";
        removeListImageFiles();
        releaseRun();
        return;
    }
    m_bSaving = true;
    emit saveFiles();
}

// ------------------------------------------------------------ worker questions

void MainWindow::OnSaveScanedFiles(QString defaultPath, QString filter)
{
    if (m_bClosing) {
        m_pWorker->setContinue(false);
        return;
    }
    for (;;) {
        const QString path = m_chooseSaveFile(tr("另存为"), defaultPath, filter);
        if (path.isEmpty()) {
            m_pWorker->setContinue(false);
            return;
        }
        const QFileInfo folder(QFileInfo(path).absolutePath());
        if (folder.isDir() && folder.isWritable()) {
            m_pWorker->setContinue(true);
            m_pWorker->setSavePath(path);
            return;
        }
        ErrorHandling::criticalMessage(nullptr, tr("错误"),
                                       tr("选择的路径没有写入权限，请选择其它路径。"));
    }
}

void MainWindow::OnShowKeyWordsDialog()
{
    if (m_bClosing) {
        m_pWorker->setContinue(false);
        return;
    }
    AddKeywordsDialog dialog(nullptr);
    if (dialog.exec() == 1) {
        m_pWorker->setKeyWord(dialog.getKeywords().trimmed());
        m_pWorker->setContinue(true);
    } else {
        m_pWorker->setContinue(false);
    }
}

void MainWindow::groupQuestion(const QString &text)
{
    if (m_bClosing) {
        m_pWorker->setContinue(false);
        return;
    }
    const int answer =
        ErrorHandling::questionMessage(nullptr, tr("分隔结果"), text, ErrorHandling::OkCancel, 0);
    m_pWorker->setContinue(answer == ErrorHandling::Ok);
}

void MainWindow::OnblankPageGroup(int blankPages, int groups)
{
    groupQuestion(tr("检测到%1个空白页\n\n图像将分隔为%2组文件。\n是否要继续处理？")
                      .arg(blankPages)
                      .arg(groups));
}

void MainWindow::OnBlankPageAndBarcodeGroup(int blankPages, int barcodes, int groups)
{
    groupQuestion(
        tr("检测到%1个空白页。\n检测到%2个条码\n\n图像将分隔为%3组文件。\n是否要继续处理？")
            .arg(blankPages)
            .arg(barcodes)
            .arg(groups));
}

void MainWindow::OnBarcodeGroup(int barcodes, int groups)
{
    groupQuestion(
        tr("检测到%1个条码\n\n图像将分隔为%2组文件。\n是否要继续处理？").arg(barcodes).arg(groups));
}

// ------------------------------------------------------------------- progress

void MainWindow::OnSaveFileStart(int done, int total)
{
    m_pSaveFileDialog->setProgressBar(total);
    m_pSaveFileDialog->setSaveFileAmount(done, total);
    if (!m_bClosing)
        m_pSaveFileDialog->show();
}

void MainWindow::OnSaveFileValueChanged(int done, int total)
{
    m_pSaveFileDialog->setSaveFileAmount(done, total);
}

void MainWindow::OnOCRValueChanged(int done, int total)
{
    m_pSaveFileDialog->setOCRProgress(done, total);
}

void MainWindow::OnProcessfileStartOcr()
{
    m_pSaveFileDialog->setOCRStatus();
}

void MainWindow::OnProcessfileCanceling()
{
    m_pSaveFileDialog->setCancelText();
}

void MainWindow::OnUserCancelSaveFromDialog()
{
    m_pWorker->cancelSaveProcess();
}

void MainWindow::OnUserCancelSaveFile()
{
    m_bSaving = false;
    m_bDisconnectedWhileSaving = false;
    m_pSaveFileDialog->hide();
    removeListImageFiles();
    releaseRun();
}

void MainWindow::OnSaveFileFinished()
{
    m_bSaving = false;
    m_pSaveFileDialog->hide();
    m_pSaveFileDialog->reset();
    if (m_bDisconnectedWhileSaving || m_bClosing) {
        m_bDisconnectedWhileSaving = false;
        closeRetoucher(false);
        return;
    }
    if (m_pWorker->isCancel()) {
        removeListImageFiles();
        releaseRun();
        return;
    }
    const int result = m_pWorker->saveResult();
    if (result < 0) {
        // Nothing was written as asked: the scanned pages stay on disk and
        // nothing is handed on.
        QString text;
        ErrorHandling::errorCode(result, text);
        clearPages(false);
        releaseRun();
        ErrorHandling::criticalMessage(this, tr("错误"), text);
        return;
    }
    ScanedToDes();
}

void MainWindow::ScanedToDes()
{
    tagTASK_SHORTCUT task;
    m_tasks.enumTaskShortcut(m_strTaskId, task);
    const ScanDestFlag kind = m_destinations.getScanDestID(task.ScanDestinationID);
    // The hand-offs wait for mail clients, send mail and show boxes, all in
    // event loops of their own: the page list is not held meanwhile, or a
    // slot of this thread that takes it would never return. The run stays
    // busy, so nothing else changes the list before the clean-up below.
    QList<tagSCAN_IMAGE_FILE> handed = pages();
    m_bDispatching = true;
    tagSCAN_DESTINATION dest;
    switch (kind) {
    case ScanDestApplication:
        if (!ProcessHelper::openUrl(handed))
            ProcessHelper::reportNotOpened(handed);
        break;
    case ScanDestEmailClient:
        ProcessHelper::startSystemMail(handed);
        break;
    case ScanDestWebMail: {
        m_destinations.getScanDestination(task.ScanDestinationID, dest);
        WebMailHelper mail(handed, dest, this);
        if (mail.sendMail() && task.AfterSendFileDeleteFile)
            removeEndFiles(handed);
        break;
    }
    case ScanDestCustomApplication:
        m_destinations.getScanDestination(task.ScanDestinationID, dest);
        ProcessHelper::startDetached(handed, dest);
        break;
    default:
        break;
    }
    m_bDispatching = false;
    removeListImageFiles();
    releaseRun();
}

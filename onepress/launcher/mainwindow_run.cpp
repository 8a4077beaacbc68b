// The window's part in a button task: its entries forward to the run
// (TaskRun), which keeps the pages and the state; here are the button list,
// the editor, printing, the hand-offs, the worker's questions and progress.

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
#include <QFileInfo>

QList<tagSCAN_IMAGE_FILE> MainWindow::pages() const
{
    return m_run->pages();
}

bool MainWindow::isBusy() const
{
    return m_run->isBusy();
}

bool MainWindow::isSaving() const
{
    return m_run->isSaving();
}

QString MainWindow::currentTaskId() const
{
    return m_run->taskId();
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
    if (m_pRetoucher && !m_pRetoucher->isHidden())
        return false;
    return m_run->canStart();
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
    if (runAllowed(false))
        m_run->start(taskId);
}

void MainWindow::clickedBtnTest()
{
    if (runAllowed(true))
        m_run->start(ui->comboBoxTaskShortcut->currentData().toString());
}

bool MainWindow::getVellumParamsValue(tagTASK_SHORTCUT &task)
{
    return m_run->fetchProfile(task);
}

bool MainWindow::getVellumParams(tagSCAN_SHORTCUT_MENU &profile)
{
    return m_run->askProfile(profile);
}

void MainWindow::scanFileNameFromScanMain(QString file, signed char side, QStringList barcodes,
                                          int width, int height, int resolution, int colour)
{
    m_run->pageArrived(
        TaskRun::pageRecord(file, side, barcodes, width, height, resolution, colour));
}

void MainWindow::scanFinishFromScanMain()
{
    m_run->scanEnded();
}

void MainWindow::closeRetoucher(bool accepted)
{
    m_run->editorClosed(accepted);
}

void MainWindow::saveImages()
{
    m_run->save();
}

void MainWindow::ScanedToDes()
{
    m_run->dispatch();
}

void MainWindow::removeListImageFiles()
{
    m_run->removePageFiles();
}

void MainWindow::removeListEndImageFiles()
{
    m_run->removeDocuments();
}

// ------------------------------------------------------------ what a run asks

void MainWindow::runStarted()
{
    m_tray.unloadSystemTrayMenu();
}

void MainWindow::runReleased()
{
    if (isHidden())
        reloadTray();
}

bool MainWindow::askMorePages()
{
    return ErrorHandling::questionMessage(this, tr("进纸器输入盘已空"), tr("是否有其他页面要扫描？"),
                                          ErrorHandling::YesNo, 0) == ErrorHandling::Yes;
}

bool MainWindow::openEditor(const tagSCAN_SHORTCUT_MENU &profile)
{
    m_pRetoucher = new Retoucher(m_pConsole->window(), m_pMessages, nullptr);
    connect(m_pRetoucher, &Retoucher::closeRetoucher, this, &MainWindow::closeRetoucher);
    m_pRetoucher->setTaskShortcut(profile);
    const bool started = m_pRetoucher->triggeredStartJob();
    m_pRetoucher->show();
    return started;
}

void MainWindow::closeEditor(QList<tagSCAN_IMAGE_FILE> *pages)
{
    if (!m_pRetoucher)
        return;
    if (pages)
        m_pRetoucher->getImageFiles(*pages);
    m_pRetoucher->deleteLater();
    m_pRetoucher = nullptr;
}

RunAsker::Printed MainWindow::print(const QList<tagSCAN_IMAGE_FILE> &pages,
                                    const tagTASK_SHORTCUT &task)
{
    QList<tagSCAN_IMAGE_FILE> printed = pages;
    tagTASK_SHORTCUT settings = task;
    PrintJob job(printed, this);
    job.setParameters(settings);
    if (task.BeforePrintingDisplaySetings && !job.openPrinterDialog(this))
        return Printed::Declined;
    bool ok = true;
    switch (task.ScalePrintPage) {
    case ScalePrintAuto:
        ok = job.printImageAuto(task.CenterPrint);
        break;
    case ScalePrintFitPaper:
        ok = job.printImageAdjust();
        break;
    case ScalePrintNone:
        ok = job.printImageDonotAdjust(task.CenterPrint);
        break;
    }
    return ok ? Printed::Done : Printed::Failed;
}

bool MainWindow::handOff(ScanDestFlag kind, const QList<tagSCAN_IMAGE_FILE> &pages,
                         const tagTASK_SHORTCUT &task)
{
    QList<tagSCAN_IMAGE_FILE> handed = pages;
    tagSCAN_DESTINATION dest;
    switch (kind) {
    case ScanDestApplication:
        if (ProcessHelper::openUrl(handed))
            return true;
        ProcessHelper::reportNotOpened(handed);
        return false;
    case ScanDestEmailClient:
        return ProcessHelper::startSystemMail(handed);
    case ScanDestWebMail: {
        m_destinations.getScanDestination(task.ScanDestinationID, dest);
        WebMailHelper mail(handed, dest, this);
        return mail.sendMail();
    }
    case ScanDestCustomApplication:
        m_destinations.getScanDestination(task.ScanDestinationID, dest);
        return ProcessHelper::startDetached(handed, dest);
    default:
        return true;
    }
}

void MainWindow::showFailure(int code)
{
    QString text;
    ErrorHandling::errorCode(code, text);
    ErrorHandling::criticalMessage(this, tr("错误"), text);
}

// ------------------------------------------------------------ the worker's part

void MainWindow::markBlankPages(const QList<tagSCAN_IMAGE_FILE> &pages, int threshold)
{
    // Decoding every page takes a while (a colour page about 20 ms): it runs
    // on the worker's thread, idle until the save, while this thread keeps
    // the tray alive. The marks come back to this object, which outlives
    // the worker's thread.
    const std::atomic<bool> *closing = &m_bClosing;
    QMetaObject::invokeMethod(
        m_pWorker,
        [this, pages, threshold, closing] {
            const QVector<bool> marks = CheckBlankPage::markBlankPages(pages, threshold, closing);
            QMetaObject::invokeMethod(
                this, [this, marks] { m_run->blankPagesMarked(marks); }, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void MainWindow::startSave(const tagTASK_SHORTCUT &task, const QList<tagSCAN_IMAGE_FILE> &pages)
{
    tagTASK_SHORTCUT copy = task;
    m_pWorker->setListImageFiles(pages);
    m_pWorker->setParameters(copy);
    emit saveFiles();
}

void MainWindow::cancelSave()
{
    m_pWorker->cancelSaveProcess();
}

// ------------------------------------------------------------ worker questions

void MainWindow::OnSaveScanedFiles(QString defaultPath, QString filter)
{
    if (m_run->isClosing()) {
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
    if (m_run->isClosing()) {
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
    if (m_run->isClosing()) {
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
    if (!m_run->isClosing())
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
    m_pSaveFileDialog->hide();
    m_run->saveDeclined();
}

void MainWindow::OnSaveFileFinished()
{
    m_pSaveFileDialog->hide();
    m_pSaveFileDialog->reset();
    m_run->saveFinished(m_pWorker->saveResult(), m_pWorker->isCancel(),
                        m_pWorker->listImageFiles());
}

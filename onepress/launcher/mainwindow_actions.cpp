// The editor's actions beside the shown task: new task and rename, the
// user's destinations, the folder browser and the settings buttons.

#include "mainwindow.h"

#include "consolelink.h"
#include "destinationdialogs.h"
#include "errorhandling.h"
#include "launcherprompts.h"
#include "onepressglobal.h"
#include "optiondialogs.h"
#include "taskshortcutdialog.h"

#include <QComboBox>
#include <QDebug>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPrintDialog>
#include <QPushButton>
#include <QStandardPaths>

void MainWindow::loadIcon()
{
    ui->pushButtonAbout->setStyleSheet(
        "QPushButton#pushButtonAbout{border-image:url(:/ui/images/about_qvo.png)}");
    ui->pushButtonHelp->setStyleSheet(
        "QPushButton#pushButtonHelp{border-image:url(:/ui/images/help_qvo.png)}");
    const QList<QPair<QPushButton *, const char *>> small = {
        {ui->pushButtonCreateNewMenu, ":/ui/images/add.png"},
        {ui->pushButtonSaveAs, ":/ui/images/save-as.png"},
        {ui->pushButtonModify, ":/ui/images/setting.png"},
        {ui->pushButtonDelete, ":/ui/images/delete.png"}};
    for (const auto &b : small) {
        b.first->setStyleSheet("border:none;");
        b.first->setIcon(QIcon(b.second));
    }
}

void MainWindow::createScanToMenu()
{
    m_pScanToMenu = new QMenu(this);
    QAction *mail = m_pScanToMenu->addAction(QIcon(":/scanto/images/email.png"), tr("Web邮件..."));
    QAction *app =
        m_pScanToMenu->addAction(QIcon(":/scanto/images/custom-app.png"), tr("自定义应用程序..."));
    connect(mail, &QAction::triggered, this, &MainWindow::clickedWebMailMenu);
    connect(app, &QAction::triggered, this, &MainWindow::clickedCustomAppMenu);
    ui->pushButtonCreateNewMenu->setMenu(m_pScanToMenu);
    connect(ui->pushButtonSaveAs, &QPushButton::clicked, this, &MainWindow::clickedBtnSaveAs);
    connect(ui->pushButtonModify, &QPushButton::clicked, this, &MainWindow::clickedBtnModify);
    connect(ui->pushButtonDelete, &QPushButton::clicked, this, &MainWindow::clickedBtnDelete);
    connect(ui->pushButtonBrowsePath, &QPushButton::clicked, this,
            &MainWindow::clickedBtnBrowsePath);
    connect(ui->pushButtonOcrFileSetting, &QPushButton::clicked, this,
            &MainWindow::clickedBtnOcrFileSetting);
    connect(ui->pushButtonBlankPageSetting, &QPushButton::clicked, this,
            &MainWindow::clickedBlankPageSetting);
    connect(ui->pushButtonWatermarkSetting, &QPushButton::clicked, this,
            &MainWindow::clickedWatermarkSetting);
    connect(ui->pushButtonPrinterSetting, &QPushButton::clicked, this,
            &MainWindow::clickedBtnPrinterSetting);
    connect(ui->pushButtonSettingShortcut, &QPushButton::clicked, this,
            &MainWindow::clickedBtnSettingShortcut);
}

// ---------------------------------------------------------- new task, rename

void MainWindow::createNewTaskShortcut()
{
    TaskShortcutDialog dialog(true, &m_tasks, this);
    if (dialog.exec() == QDialog::Accepted) {
        QString name, icon;
        dialog.getTaskShortcutInfo(name, icon);
        m_tasks.createNewTaskShortcut(name, icon);
        disconnectChangeValueControlMessages();
        ui->comboBoxTaskShortcut->clear();
        m_tasks.loadTaskListToControl(ui->comboBoxTaskShortcut, m_nOptionNumber);
        ui->comboBoxTaskShortcut->setCurrentIndex(m_tasks.getCurrentTaskIndex());
        showCurrentTask(false);
        setOnepressEvent();
        return;
    }
    disconnectChangeValueControlMessages();
    ui->comboBoxTaskShortcut->setCurrentIndex(m_tasks.getCurrentTaskIndex());
    showCurrentTask(false);
}

void MainWindow::clickedBtnCreateNew() {}

void MainWindow::clickedBtnTaskRename()
{
    TaskShortcutDialog dialog(false, &m_tasks, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString name, icon;
    dialog.getTaskShortcutInfo(name, icon);
    tagTASK_SHORTCUT task;
    if (!name.isEmpty()) {
        m_tasks.getCurrentTaskShortcut(task);
        task.Name = name;
        m_tasks.setCurrentTaskShortcut(task);
        m_tasks.renameTaskShortcutName(ui->comboBoxTaskShortcut);
    }
    if (!icon.isEmpty()) {
        m_tasks.getCurrentTaskShortcut(task);
        task.Icon = icon;
        m_tasks.setCurrentTaskShortcut(task);
        m_tray.unloadSystemTrayMenu();
        reloadTray();
    }
    setOnepressEvent();
}

// ------------------------------------------------------------- destinations

void MainWindow::addUserDestination(tagSCAN_DESTINATION &record)
{
    m_destinations.addScanDestination(record);
    ui->comboBoxScanDestination->setCurrentIndex(ui->comboBoxScanDestination->count() - 1);
    if (!m_destinations.saveScanDestination())
        reportWriteFailure();
}

void MainWindow::clickedWebMailMenu()
{
    tagSCAN_DESTINATION record;
    WebMailDialog dialog(true, &m_destinations, &record, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    record.ScanDestinationFlagID = ScanDestWebMail;
    addUserDestination(record);
}

void MainWindow::clickedCustomAppMenu()
{
    tagSCAN_DESTINATION record;
    CustomApplicationDialog dialog(true, &m_destinations, &record, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    record.ScanDestinationFlagID = ScanDestCustomApplication;
    addUserDestination(record);
}

void MainWindow::clickedBtnSaveAs()
{
    SaveAsDialog dialog(&m_destinations, ui->comboBoxScanDestination->currentText(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString name;
    dialog.getNewDestName(name);
    m_destinations.addScanDestination(ui->comboBoxScanDestination->currentIndex(), name);
    ui->comboBoxScanDestination->setCurrentIndex(ui->comboBoxScanDestination->count() - 1);
    if (!m_destinations.saveScanDestination())
        reportWriteFailure();
}

void MainWindow::clickedBtnModify()
{
    const QString id = ui->comboBoxScanDestination->currentData().toString();
    tagSCAN_DESTINATION record;
    m_destinations.getScanDestination(id, record);
    int result;
    if (m_destinations.getScanDestID(id) == ScanDestCustomApplication) {
        CustomApplicationDialog dialog(false, &m_destinations, &record, this);
        result = dialog.exec();
    } else {
        WebMailDialog dialog(false, &m_destinations, &record, this);
        result = dialog.exec();
    }
    if (result != QDialog::Accepted)
        return;
    m_destinations.updateScanDestination(ui->comboBoxScanDestination->currentIndex(), record);
    if (!m_destinations.saveScanDestination())
        reportWriteFailure();
}

void MainWindow::clickedBtnDelete()
{
    if (ErrorHandling::questionMessage(this, tr("确认"), tr("确定要删除此目的地吗？"),
                                       ErrorHandling::YesNo,
                                       ErrorHandling::Yes) != ErrorHandling::Yes)
        return;
    const int i = ui->comboBoxScanDestination->currentIndex();
    if (!m_destinations.deleteScanDestination(i))
        return;
    QComboBox *box = ui->comboBoxScanDestination;
    box->setCurrentIndex(i < box->count() ? i : box->count() - 1);
    bool written = m_destinations.saveScanDestination();
    // The form is written into the task and every folder is written: a
    // prefix the file namer would refuse is not taken from the form; the
    // user is told, and the form keeps it for correction.
    tagTASK_SHORTCUT before;
    m_tasks.getCurrentTaskShortcut(before);
    const bool prefixOk = checkTheFileNamePrefixIsVaild();
    updateUIControlToVariable();
    if (!prefixOk) {
        qDebug() << "MainWindow: the form's prefix is not valid; the stored prefix is kept";
        tagTASK_SHORTCUT task;
        m_tasks.getCurrentTaskShortcut(task);
        task.FileNamePrefix = before.FileNamePrefix;
        m_tasks.setCurrentTaskShortcut(task);
        ui->pushButtonApply->setEnabled(true);
    }
    written = m_tasks.saveTaskList() && written;
    if (!written)
        reportWriteFailure();
}

// ------------------------------------------------------------------- folder

void MainWindow::clickedBtnBrowsePath()
{
    QString start = ui->lineEditSaveFilePath->text();
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString caption = tr("浏览文件夹");
    const QString folder = m_chooseFolder
                               ? m_chooseFolder(caption, start)
                               : QFileDialog::getExistingDirectory(
                                     this, caption, start,
                                     QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
    if (folder.isEmpty())
        return;
    const QFileInfo info(folder);
    if (info.isDir() && info.isWritable()) {
        ui->lineEditSaveFilePath->setText(folder);
        ui->lineEditSaveFilePath->setToolTip(folder);
        settingBeChanged();
        return;
    }
    ErrorHandling::criticalMessage(this, tr("错误"),
                                   tr("选择的路径没有写入权限，请选择其它路径。"));
}

// --------------------------------------------------------- settings buttons

void MainWindow::clickedBtnOcrFileSetting()
{
    OcrSettingDialog dialog(this);
    if (dialog.exec() == QDialog::Accepted)
        ui->pushButtonApply->setEnabled(true);
}

void MainWindow::clickedBlankPageSetting()
{
    BlankImageSizeDialog dialog(m_nBlankThreshold, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_nBlankThreshold = dialog.getBlankPageThreshold();
    ui->pushButtonApply->setEnabled(true);
}

void MainWindow::clickedWatermarkSetting()
{
    WatermarkSettingDialog dialog(m_watermark, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.getWatermark(m_watermark);
    ui->pushButtonApply->setEnabled(true);
}

void MainWindow::clickedBtnPrinterSetting()
{
    QPrintDialog dialog(&m_taskPrinter, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ui->lineEditPrinterName->setText(m_taskPrinter.printerName());
    ui->pushButtonApply->setEnabled(true);
}

void MainWindow::clickedBtnSettingShortcut()
{
    if (!getVellumParams(m_profile))
        return;
    updateScanShortcutMenu(m_profile);
    ui->pushButtonApply->setEnabled(true);
}

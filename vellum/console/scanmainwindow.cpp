// The console window: construction, form, connections, change detection,
// page switching, help, closing.
#include "scanmainwindow.h"

#include "debugtrace.h"
#include "deviceform.h"
#include "diagnosticsform.h"
#include "onepressthread.h"
#include "oxadvancedsettingform.h"
#include "profileoffsets.h"
#include "calibratethread.h"
#include "scanningthread.h"
#include "settingform.h"
#include "ui_scanmainwindow.h"
#include "vellumglobal.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMenu>
#include <QUrl>

ScanMainWindow::ScanMainWindow(QWidget *parent) : QDialog(parent), ui(new Ui::ScanMainWindow)
{
    PMessage::registerMetaTypes();
    setWindowIcon(QIcon());
    ui->setupUi(this);
    ui->pushButtonScan->hide();
    initDialog();
}

ScanMainWindow::~ScanMainWindow()
{
    // Threads still running would call back into a window that is gone. A
    // scanning thread may be waiting for an error box: keep the events going.
    if (m_scanningThread || m_calibrateThread)
        g_Devgate.cancelJob();
    if (m_onepressThread)
        m_onepressThread->setCancel();
    // The finished-slots may run meanwhile and forget a thread: re-read the
    // member on every turn.
    auto settle = [](auto *&thread) {
        while (thread && !thread->wait(20))
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    if (m_deviceThread)
        disconnect(m_deviceThread, nullptr, this, nullptr);
    settle(m_scanningThread);
    settle(m_calibrateThread);
    settle(m_onepressThread);
    settle(m_deviceThread);
    delete m_scanningThread;
    delete m_calibrateThread;
    delete m_deviceThread;
    delete ui;
}

void ScanMainWindow::initDialog()
{
    setWindowFlags(windowFlags() | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::CustomizeWindowHint);
    initGlobalVariable();
    loadIcon();
    loadWordingList();
    loadScanShortcutList();
    loadStackedWidget();
    buttonsStateChanged(false);
    connectMessages();
    tagSCAN_SHORTCUT_MENU current;
    zeroScanShortcut(current);
    m_store.getCurrentScanShortcut(current);
    loadProfileIntoPages(current);
    if (ui->listWidgetPredefine->currentItem())
        m_rememberedName = ui->listWidgetPredefine->currentItem()->text();
}

void ScanMainWindow::initGlobalVariable()
{
    g_VellumCfgFile.loadConfigFile(QCoreApplication::applicationDirPath());
    g_Devgate.setConfigFile(&g_VellumCfgFile);
    g_trace.applyConfig(g_VellumCfgFile);
}

void ScanMainWindow::loadIcon()
{
    ui->pushButtonAbout->setStyleSheet(
        "QPushButton#pushButtonAbout{border-image:url(:/ui/images/about.png)}");
    ui->pushButtonHelp->setStyleSheet(
        "QPushButton#pushButtonHelp{border-image:url(:/ui/images/help.png)}");
}

void ScanMainWindow::loadWordingList()
{
    setWindowTitle(tr("Corvan扫描仪"));
    ui->groupBoxSettingShortcut->setTitle(tr("设置快捷键 (&T)："));
    ui->groupBoxSettingShortcut->setStyleSheet("QGroupBox{border:none}");
    ui->pushButtonAbout->setToolTip(tr("关于"));
    ui->pushButtonHelp->setToolTip(tr("帮助"));
    ui->pushButtonSave->setIcon(QIcon(":/ui/images/save.png"));
    ui->pushButtonSave->setText(tr("保存 (&V)"));
    ui->pushButtonSaveAs->setIcon(QIcon(":/ui/images/save-as.png"));
    ui->pushButtonSaveAs->setText(tr("另存为 (&A)..."));
    ui->pushButtonDelete->setIcon(QIcon(":/ui/images/delete.png"));
    ui->pushButtonDelete->setText(tr("删除 (&D)"));
    ui->pushButtonRename->setIcon(QIcon(":/ui/images/rename.png"));
    ui->pushButtonRename->setText(tr("重命名 (&R)..."));
    ui->pushButtonReset->setIcon(QIcon(":/ui/images/reset.png"));
    ui->pushButtonReset->setText(tr("重设"));
    ui->pushButtonSettingMenu->setIcon(QIcon(":/ui/images/arrow.png"));
    createShortcutMenu();
    ui->labelInputDoc->setText(tr("输入文件是 (&I)："));
    ui->labelInputDoc->setBuddy(ui->comboBoxInputDoc);
    ui->labelInputDocDes->setText(tr("向上放置文档"));
    createInputDocument();
    ui->pushButtonPreview->setText(tr("预览 (&P)"));
    ui->pushButtonOK->setText(tr("确定 (&K)"));
    ui->pushButtonCancel->setText(tr("取消"));
}

void ScanMainWindow::createShortcutMenu()
{
    m_settingMenu = new QMenu(this);
    m_resumeAction = m_settingMenu->addAction(QIcon(":/ui/images/resume.png"), tr("恢复..."), this,
                                              &ScanMainWindow::clickedResumeMenu);
    m_importAction = m_settingMenu->addAction(QIcon(":/ui/images/import.png"), tr("导入..."), this,
                                              &ScanMainWindow::clickedImportMenu);
    m_exportAction = m_settingMenu->addAction(QIcon(":/ui/images/export.png"), tr("导出..."), this,
                                              &ScanMainWindow::clickedExportMenu);
    ui->pushButtonSettingMenu->setMenu(m_settingMenu);
    ui->pushButtonSettingMenu->setStyleSheet("QPushButton::menu-indicator{image:none;}");
}

void ScanMainWindow::createInputDocument()
{
    ui->comboBoxInputDoc->addItem(tr("双面"), int(2));
    ui->comboBoxInputDoc->addItem(tr("单面 - 正面"), int(0));
    ui->comboBoxInputDoc->addItem(tr("单面 - 背面"), int(1));
    updateInputDocument(0);
}

void ScanMainWindow::updateInputDocument(int index)
{
    const int data = ui->comboBoxInputDoc->itemData(index).toInt();
    QString picture;
    switch (data) {
    case 0:
        picture = ":/ui/images/single-front.png";
        break;
    case 1:
        picture = ":/ui/images/single-contrary.png";
        break;
    case 2:
        picture = ":/ui/images/duplex.png";
        break;
    default:
        break;
    }
    ui->labelInputDocImage->setAlignment(Qt::AlignCenter);
    ui->labelInputDocImage->setScaledContents(true);
    if (!picture.isEmpty())
        ui->labelInputDocImage->setPixmap(QPixmap(picture));
    emit m_hub.changedInputDocTypeMainToSettingTool(InputDocumentFlag(data));
}

void ScanMainWindow::loadScanShortcutList()
{
    m_store.loadScanShortcut(&g_VellumCfgFile);
    m_store.loadScanShortcutToControl(ui->listWidgetPredefine);
    m_store.setCurrentScanIndex(0);
    ui->listWidgetPredefine->setCurrentRow(0);
}

void ScanMainWindow::loadStackedWidget()
{
    m_settingForm = new SettingForm(&m_hub, this);
    m_deviceForm = new DeviceForm(&m_hub, this);
    m_diagnosticsForm = new DiagnosticsForm(&m_hub, this);
    m_oxForm = new OxAdvancedSettingForm(&m_hub, this);
    ui->stackedWidget->insertWidget(0, m_diagnosticsForm);
    ui->stackedWidget->insertWidget(1, m_oxForm);
    ui->stackedWidget->setCurrentIndex(2);
    ui->tabWidget->setTabText(0, tr("主页"));
    ui->tabWidget->insertTab(1, m_settingForm, tr("设置"));
    ui->tabWidget->insertTab(2, m_deviceForm, tr("设备"));
    ui->tabWidget->setCurrentIndex(0);
}

void ScanMainWindow::connectMessages()
{
    connect(ui->pushButtonAbout, &QPushButton::clicked, this, &ScanMainWindow::clickedBtnAbout);
    connect(ui->pushButtonHelp, &QPushButton::clicked, this, &ScanMainWindow::clickedBtnHelp);
    connect(ui->pushButtonSave, &QPushButton::clicked, this, &ScanMainWindow::clickedBtnSave);
    connect(ui->pushButtonSaveAs, &QPushButton::clicked, this, &ScanMainWindow::clickedBtnSaveAs);
    connect(ui->pushButtonDelete, &QPushButton::clicked, this, &ScanMainWindow::clickedBtnDelete);
    connect(ui->pushButtonRename, &QPushButton::clicked, this, &ScanMainWindow::clickedBtnRename);
    connect(ui->pushButtonReset, &QPushButton::clicked, this, &ScanMainWindow::clickedBtnReset);
    connect(&m_hub, &PMessage::controlValueChanged, this,
            &ScanMainWindow::predefinedControlValueChanged);
    connect(&m_hub, &PMessage::changedInputDocTypeSettingToolToMain, this,
            [this](InputDocumentFlag type, bool) { changeInputDocType(type); });
    connect(&m_hub, &PMessage::changedPaperIndex, this, &ScanMainWindow::changedPaperIndex);
    connect(&m_hub, &PMessage::showDiagnosticsForm, this, &ScanMainWindow::showDiagnosticsPage);
    connect(&m_hub, &PMessage::hideDiagnosticsForm, this, &ScanMainWindow::hideDiagnosticsPage);
    connect(&m_hub, &PMessage::showSettingToolForm, this, &ScanMainWindow::showSettingToolPage);
    connect(&m_hub, &PMessage::hideSettingToolForm, this, &ScanMainWindow::hideSettingToolPage);
    connect(ui->pushButtonPreview, &QPushButton::clicked, this, &ScanMainWindow::clickedBtnPreview);
    connect(ui->pushButtonOK, &QPushButton::clicked, this, &ScanMainWindow::clickedBtnOK);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &ScanMainWindow::clickedBtnCancel);
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, &ScanMainWindow::mainWindow);
    connect(&m_hub, &PMessage::postErrorCode, this, &ScanMainWindow::postErrorCode,
            Qt::BlockingQueuedConnection);
    connect(&m_hub, &PMessage::scanFinish, this, &ScanMainWindow::scanFinish);
    connect(&m_hub, &PMessage::scanFileName, this, &ScanMainWindow::scanFileName,
            Qt::DirectConnection);
    connect(&m_hub, &PMessage::updatePaperStatus, this, &ScanMainWindow::updatePaperStatus);
    connect(&m_hub, &PMessage::scanningMultifeed, this, &ScanMainWindow::scanningMultifeed);
    connect(&m_hub, &PMessage::userInputFromPanel, this, &ScanMainWindow::userInputFromPanel);
    connect(&m_hub, &PMessage::changedPaperSource, this, &ScanMainWindow::changePaperSource);
    connect(&m_hub, &PMessage::updateDevice, this, &ScanMainWindow::updateDevice);
    connect(&m_hub, &PMessage::startPreviewScan, this, &ScanMainWindow::clickedBtnPreview);
    connect(&m_hub, &PMessage::changePreviewMode, this, &ScanMainWindow::changePreviewMode);
    connect(&m_hub, &PMessage::clickedLearn, this, &ScanMainWindow::clickedBtnLearn);
    connect(&m_hub, &PMessage::calibrateEnsureBtn, this, &ScanMainWindow::calibrateEnsureBtn);
    connect(&m_hub, &PMessage::calibrateStatus, this, &ScanMainWindow::calibrateStatus);
    connect(&m_hub, &PMessage::updatePreviewMode, this, &ScanMainWindow::updatePreviewMode);
    connect(&m_hub, &PMessage::previewAutoUpdate, this, &ScanMainWindow::previewAutoUpdate);
    // The page handler reads the cancel state on the scanning thread.
    connect(&m_hub, &PMessage::cancelScanningJob, this,
            [this](PMessage::CancelOwnerFlag) { m_jobCancelled = true; });
}

void ScanMainWindow::connectChangeValueControlMessages()
{
    if (m_changeConnected)
        return;
    m_changeConnected = true;
    connect(ui->listWidgetPredefine, &QListWidget::currentItemChanged, this,
            &ScanMainWindow::currentItemChangedScanShortcut);
    connect(ui->listWidgetPredefine, &QListWidget::itemSelectionChanged, this,
            &ScanMainWindow::itemSelectionChangedScanShortcut);
    connect(ui->comboBoxInputDoc, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ScanMainWindow::currentItemChangeInputDoc);
}

void ScanMainWindow::disconnectChangeValueControlMessages()
{
    if (!m_changeConnected)
        return;
    m_changeConnected = false;
    disconnect(ui->listWidgetPredefine, &QListWidget::currentItemChanged, this,
               &ScanMainWindow::currentItemChangedScanShortcut);
    disconnect(ui->listWidgetPredefine, &QListWidget::itemSelectionChanged, this,
               &ScanMainWindow::itemSelectionChangedScanShortcut);
    disconnect(ui->comboBoxInputDoc, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
               &ScanMainWindow::currentItemChangeInputDoc);
}

void ScanMainWindow::connectAllChangeValueControlMessages()
{
    connectChangeValueControlMessages();
    m_settingForm->connectAllChangeValueControlMessages();
    m_oxForm->connectAllChangeValueControlMessages();
    m_deviceForm->connectAllChangeValueControlMessages();
}

void ScanMainWindow::disconnectAllChangeValueControlMessages()
{
    disconnectChangeValueControlMessages();
    m_settingForm->disconnectAllChangeValueControlMessages();
    m_oxForm->disconnectAllChangeValueControlMessages();
    m_deviceForm->disconnectAllChangeValueControlMessages();
}

void ScanMainWindow::loadProfileIntoPages(tagSCAN_SHORTCUT_MENU &profile)
{
    disconnectAllChangeValueControlMessages();
    updateAllVariableToUIControl(profile);
    connectAllChangeValueControlMessages();
}

void ScanMainWindow::updateAllVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    const int row = ui->comboBoxInputDoc->findData(int(profile.inputDocument));
    if (row >= 0) {
        ui->comboBoxInputDoc->setCurrentIndex(row);
        updateInputDocument(row);
    }
    m_settingForm->updateVariableToUIControl(profile);
    m_oxForm->updateVariableToUIControl(profile);
    m_deviceForm->updateDeviceVariableToUIControl(profile);
    m_diagnosticsForm->updateDiagnosePageVariableToUIControl(profile);
}

void ScanMainWindow::updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile)
{
    profile.inputDocument = InputDocumentFlag(ui->comboBoxInputDoc->currentData().toInt());
}

void ScanMainWindow::updateAllUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile)
{
    updateUIControlToVariable(profile);
    m_settingForm->updateUIControlToVariable(profile);
    m_oxForm->updateUIControlToVariable(profile);
    m_deviceForm->updateDeviceUIcontrolToVariable(profile);
    m_diagnosticsForm->updateDiagnosePageUIControlToVariable(profile);
}

bool ScanMainWindow::compareAllVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    return ui->comboBoxInputDoc->currentData().toInt() == int(profile.inputDocument) &&
           m_settingForm->compareVariableAndUIControl(profile) &&
           m_oxForm->compareVariableAndUIControl(profile) &&
           m_deviceForm->compareVariableAndUIControl(profile) &&
           m_diagnosticsForm->compareVariableAndUIControl(profile);
}

void ScanMainWindow::updateBarcodeStatus(tagSCAN_SHORTCUT_MENU &profile)
{
    bool *types = profile.sideSettings[0].barcodeTypes;
    for (int i = 0; i < 10; ++i)
        if (types[i])
            return;
    for (int i = 0; i < 10; ++i)
        types[i] = true;
}

void ScanMainWindow::setCurrentItemText(const QString &text)
{
    if (QListWidgetItem *item = ui->listWidgetPredefine->currentItem())
        item->setText(text);
}

void ScanMainWindow::predefinedControlValueChanged()
{
    tagSCAN_SHORTCUT_MENU current;
    zeroScanShortcut(current);
    m_store.getCurrentScanShortcut(current);
    if (compareAllVariableAndUIControl(current)) {
        m_changed = false;
        setCurrentItemText(scanText(current.name));
        buttonsStateChanged(false);
    } else {
        m_changed = true;
        setCurrentItemText(tr("*%1 <已更改>").arg(scanText(current.name)));
        buttonsStateChanged(true);
    }
}

void ScanMainWindow::buttonsStateChanged(bool changed)
{
    ui->pushButtonSave->setEnabled(changed);
    ui->pushButtonSaveAs->setEnabled(true);
    ui->pushButtonDelete->setEnabled(!changed);
    ui->pushButtonRename->setEnabled(!changed);
    ui->pushButtonReset->setEnabled(changed);
    m_resumeAction->setEnabled(!changed && m_store.defaultIsChanged());
    m_importAction->setEnabled(!changed);
    m_exportAction->setEnabled(!changed);
}

void ScanMainWindow::currentItemChangeInputDoc(int index)
{
    updateInputDocument(index);
    emit m_hub.controlValueChanged();
}

void ScanMainWindow::changeInputDocType(InputDocumentFlag type)
{
    switch (int(type)) {
    case 0:
        ui->comboBoxInputDoc->setCurrentIndex(1);
        break;
    case 1:
        ui->comboBoxInputDoc->setCurrentIndex(2);
        break;
    case 2:
        ui->comboBoxInputDoc->setCurrentIndex(0);
        break;
    default:
        break;
    }
}

void ScanMainWindow::changePaperSource(AdfPaperSourceFlag source)
{
    if (int(source) == 5) {
        ui->comboBoxInputDoc->setCurrentIndex(1);
        ui->comboBoxInputDoc->setEnabled(false);
    } else {
        ui->comboBoxInputDoc->setEnabled(true);
    }
}

void ScanMainWindow::changedPaperIndex(int index)
{
    m_paperIndex = index;
}

void ScanMainWindow::showDiagnosticsPage()
{
    ui->pushButtonPreview->hide();
    ui->pushButtonOK->hide();
    ui->pushButtonCancel->hide();
    ui->tabWidget->hide();
    ui->stackedWidget->show();
    ui->stackedWidget->setCurrentIndex(0);
}

void ScanMainWindow::showSettingToolPage()
{
    ui->pushButtonPreview->hide();
    ui->pushButtonOK->hide();
    ui->pushButtonCancel->hide();
    ui->tabWidget->hide();
    ui->stackedWidget->show();
    ui->stackedWidget->setCurrentIndex(1);
    m_oxForm->resetDialogIndex();
}

void ScanMainWindow::hideDiagnosticsPage()
{
    ui->pushButtonPreview->show();
    ui->pushButtonOK->show();
    ui->pushButtonCancel->show();
    ui->tabWidget->show();
    ui->stackedWidget->setCurrentIndex(2);
}

void ScanMainWindow::hideSettingToolPage()
{
    hideDiagnosticsPage();
}

void ScanMainWindow::mainWindow(int tab)
{
    emit m_hub.controlValueChanged();
    if (tab == 1) {
        tagSCAN_SHORTCUT_MENU current;
        zeroScanShortcut(current);
        m_store.getCurrentScanShortcut(current);
        updateAllUIControlToVariable(current);
        const tagSCAN_SIDE_SETTING &first = current.sideSettings[0];
        emit m_hub.settingToolRotateAndCenter(int(first.documentCropping) == 3 ||
                                              int(first.imageCropping) == 5);
    } else {
        emit m_hub.settingToolRotateAndCenter(false);
    }
}

void ScanMainWindow::itemSelectionChangedScanShortcut()
{
    if (!m_reselect)
        return;
    m_reselect = false;
    disconnectChangeValueControlMessages();
    ui->listWidgetPredefine->setCurrentRow(m_store.getCurrentScanIndex());
    connectChangeValueControlMessages();
}

void ScanMainWindow::setCurrentScanShortcutMenu(QString id)
{
    int row = 0;
    for (int i = 0; i < ui->listWidgetPredefine->count(); ++i) {
        if (ui->listWidgetPredefine->item(i)->data(Qt::UserRole).toString() == id) {
            row = i;
            break;
        }
    }
    disconnectAllChangeValueControlMessages();
    m_store.setCurrentScanIndex(row);
    ui->listWidgetPredefine->setCurrentRow(row);
    connectAllChangeValueControlMessages();
}

void ScanMainWindow::getCurrentScanShortcutMenu(tagSCAN_SHORTCUT_MENU &profile)
{
    m_store.getCurrentScanShortcut(profile);
}

void ScanMainWindow::clickedBtnHelp()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(g_VellumCfgFile.m_strSettingsGuideFile));
}

void ScanMainWindow::clickedBtnAbout()
{
    emit showAboutDialog();
}

void ScanMainWindow::clickedBtnCancel()
{
    clearPreviewMode();
    clickedBtnReset();
    m_showProgress = true;
    reject();
}

// Escape leaves the window as Cancel does (QDialog's own handling would
// skip the preview and progress reset); on the diagnostics or setting-tool
// page it goes back to the main page as the close box does.
void ScanMainWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier) {
        QDialog::keyPressEvent(event);
        return;
    }
    event->accept();
    const int page = ui->stackedWidget->currentIndex();
    if (page == 0 || page == 1)
        close();
    else
        clickedBtnCancel();
}

void ScanMainWindow::closeEvent(QCloseEvent *event)
{
    // OK is still configuring the scanner: it closes the window itself.
    if (m_deviceThread) {
        event->ignore();
        return;
    }
    clearPreviewMode();
    const int page = ui->stackedWidget->currentIndex();
    if (page == 0 || page == 1) {
        emit m_hub.hideDiagnosticsForm();
        event->ignore();
        return;
    }
    clickedBtnReset();
    m_showProgress = true;
    event->accept();
}

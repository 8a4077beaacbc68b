// The console window's profile commands: OK, Save, Save As, Rename, Delete,
// Reset, Resume, Import, Export, switching profiles and reload.
#include "scanmainwindow.h"

#include "deviceform.h"
#include "diagnosticsform.h"
#include "errorhandling.h"
#include "makepackage.h"
#include "oxadvancedsettingform.h"
#include "resetdialog.h"
#include "scanshortcutdialog.h"
#include "settingform.h"
#include "ui_scanmainwindow.h"
#include "vellumglobal.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

namespace {

QString settingWarning(int code)
{
    switch (code) {
    case -71:
        return QObject::tr(
            "您将要保存的设置无法完成扫描任务:\n\n1. 请到“设置”->“一般”选项卡中降低分辨率!\n\n2. "
            "请到“设置”->“尺寸”选项卡中修改尺寸大小(上限为A5)!");
    case -72:
        return QObject::tr(
            "您将要保存的设置无法完成扫描任务，请到“设置”->“一般”选项卡中更改为压缩模式!");
    case -73:
        return QObject::tr(
            "您将要保存的设置无法完成扫描任务，请到“设置”->“一般”选项卡中降低压缩质量!");
    case -74:
        return QObject::tr("您将要保存的设置无法完成扫描任务，请到“设置”选项卡中关闭合并功能!");
    case -75:
        return QObject::tr(
            "您将要保存的设置无法完成扫描任务:\n\n1. 请到“设置”->“一般”选项卡中降低分辨率!\n\n2. "
            "请到“设置”->“尺寸”选项卡中修改尺寸大小(宽 * 高 : 29.7cm * 25.0cm)!");
    case -76:
        return QObject::tr("您将要保存的设置无法完成扫描任务:\n\n1. "
                           "请到“设置”选项卡中取消多流输出中黑白选项!\n\n2. "
                           "请到“设置”->“尺寸”选项卡中修改尺寸大小(宽 * 高 : 21.0cm * 14.8cm)!");
    case -77:
        return QObject::tr(
            "您将要保存的设置无法完成扫描任务:\n\n1. 请到“主页”选项卡中修改为单面扫描!");
    default:
        return QString();
    }
}

QString documentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

} // namespace

bool ScanMainWindow::checkEditedSettings()
{
    tagSCAN_SHORTCUT_MENU record;
    zeroScanShortcut(record);
    m_settingForm->updateUIControlToVariable(record);
    m_oxForm->updateUIControlToVariable(record);
    updateUIControlToVariable(record);
    const int code = m_settingForm->judgeSettingIsReasonable(record);
    if (code >= -77 && code <= -71)
        goToSettingPage(code);
    return code == 0;
}

void ScanMainWindow::goToSettingPage(int code)
{
    const QString text = settingWarning(code);
    if (!text.isEmpty())
        ErrorHandling::warningMessage(this, tr("警告"), text);
    disconnect(ui->tabWidget, &QTabWidget::currentChanged, this, &ScanMainWindow::mainWindow);
    ui->tabWidget->setCurrentIndex(1);
    m_settingForm->resetDialogIndex();
    connect(ui->tabWidget, &QTabWidget::currentChanged, this, &ScanMainWindow::mainWindow);
}

void ScanMainWindow::selectStoreRow()
{
    ui->listWidgetPredefine->setCurrentRow(m_store.getCurrentScanIndex());
}

// Stores the pages into the current profile (memory only).
bool ScanMainWindow::saveCurrentEdits()
{
    if (!checkEditedSettings())
        return false;
    clearPreviewMode();
    tagSCAN_SHORTCUT_MENU current;
    zeroScanShortcut(current);
    m_store.getCurrentScanShortcut(current);
    updateAllUIControlToVariable(current);
    updateBarcodeStatus(current);
    m_store.setCurrentScanShortcut(current);
    m_store.getCurrentScanShortcut(current);
    m_changed = false;
    disconnectChangeValueControlMessages();
    setCurrentItemText(scanText(current.name));
    selectStoreRow();
    connectChangeValueControlMessages();
    buttonsStateChanged(false);
    loadProfileIntoPages(current);
    return true;
}

void ScanMainWindow::clickedBtnSave()
{
    saveCurrentEdits();
}

void ScanMainWindow::clickedBtnSaveAs()
{
    if (!checkEditedSettings())
        return;
    clearPreviewMode();
    ScanShortcutDialog dialog(true, &m_store, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString name, icon;
    dialog.getScanShortcutInfo(name, icon);

    tagSCAN_SHORTCUT_MENU copy;
    zeroScanShortcut(copy);
    m_store.getCurrentScanShortcut(copy);
    disconnectAllChangeValueControlMessages();
    setCurrentItemText(scanText(copy.name));
    updateAllUIControlToVariable(copy);
    m_store.addScanShortcut(copy, name, icon);
    m_store.addScanShortcutToControl(ui->listWidgetPredefine);
    selectStoreRow();
    m_store.getCurrentScanShortcut(copy);
    updateAllVariableToUIControl(copy);
    connectAllChangeValueControlMessages();
    m_changed = false;
    buttonsStateChanged(false);
    m_rememberedName = scanText(copy.name);
}

void ScanMainWindow::clickedBtnRename()
{
    clearPreviewMode();
    ScanShortcutDialog dialog(false, &m_store, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString name, icon;
    dialog.getScanShortcutInfo(name, icon);
    tagSCAN_SHORTCUT_MENU copy;
    zeroScanShortcut(copy);
    if (!m_store.getCurrentScanShortcut(copy))
        return;
    m_store.updateScanShortcut(copy, name, icon);
    disconnectChangeValueControlMessages();
    m_store.updateScanShortcutToControl(ui->listWidgetPredefine, scanText(copy.id));
    connectChangeValueControlMessages();
    m_rememberedName = name;
    // A renamed built-in now differs from its default: Resume follows.
    buttonsStateChanged(m_changed);
}

void ScanMainWindow::clickedBtnDelete()
{
    clearPreviewMode();
    if (ui->listWidgetPredefine->count() < 2) {
        ErrorHandling::warningMessage(this, tr("警告"), tr("不能删除最后一个预定义选项。"));
        return;
    }
    QListWidgetItem *item = ui->listWidgetPredefine->currentItem();
    if (!item)
        return;
    const QString id = item->data(Qt::UserRole).toString();
    tagSCAN_SHORTCUT_MENU profile;
    zeroScanShortcut(profile);
    if (!m_store.findScanShortcut(profile, id))
        return;
    const int answer = ErrorHandling::questionMessage(
        this, tr("确认删除"), tr("您确定要删除“%1”吗？").arg(scanText(profile.name)),
        ErrorHandling::YesNo, ErrorHandling::No);
    if (answer != ErrorHandling::Yes)
        return;
    m_store.removeScanShortcut(id);
    disconnectAllChangeValueControlMessages();
    delete ui->listWidgetPredefine->takeItem(ui->listWidgetPredefine->row(item));
    selectStoreRow();
    tagSCAN_SHORTCUT_MENU current;
    zeroScanShortcut(current);
    m_store.getCurrentScanShortcut(current);
    updateAllVariableToUIControl(current);
    connectAllChangeValueControlMessages();
    m_changed = false;
    buttonsStateChanged(false);
    if (ui->listWidgetPredefine->currentItem())
        m_rememberedName = ui->listWidgetPredefine->currentItem()->text();
}

void ScanMainWindow::clickedBtnReset()
{
    clearPreviewMode();
    tagSCAN_SHORTCUT_MENU current;
    zeroScanShortcut(current);
    m_store.getCurrentScanShortcut(current);
    if (!ui->listWidgetPredefine->currentItem())
        return;
    disconnectChangeValueControlMessages();
    setCurrentItemText(scanText(current.name));
    selectStoreRow();
    connectChangeValueControlMessages();
    loadProfileIntoPages(current);
    m_changed = false;
    buttonsStateChanged(false);
}

void ScanMainWindow::clickedResumeMenu()
{
    clearPreviewMode();
    ResetDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    bool include = false;
    dialog.getResetDeviceState(include);
    m_store.resetScanShortcut(include);
    disconnectAllChangeValueControlMessages();
    m_store.addScanShortcutToControl(ui->listWidgetPredefine);
    // Built-ins still listed may have been renamed or given another icon.
    m_store.refreshScanShortcutControl(ui->listWidgetPredefine);
    selectStoreRow();
    tagSCAN_SHORTCUT_MENU current;
    zeroScanShortcut(current);
    m_store.getCurrentScanShortcut(current);
    updateAllVariableToUIControl(current);
    connectAllChangeValueControlMessages();
    m_changed = false;
    buttonsStateChanged(false);
    if (ui->listWidgetPredefine->currentItem())
        m_rememberedName = ui->listWidgetPredefine->currentItem()->text();
}

void ScanMainWindow::clickedImportMenu()
{
    clearPreviewMode();
    const int answer = ErrorHandling::questionMessage(
        this, tr("警告"),
        tr("这将删除已配置的所有“设置快捷方式”并将取代为导入的快捷方式。建议您先导出现有的快捷方式"
           "将其保存。\n确定要取代现有的“设置快捷方式”吗？"),
        ErrorHandling::YesNo, ErrorHandling::No);
    if (answer == ErrorHandling::No)
        return;
    const QString path = QFileDialog::getOpenFileName(nullptr, tr("打开"), documentsFolder(),
                                                      tr("用户配置文件 (*.wqv)"));
    if (path.isEmpty())
        return;
    // The package adds to the graphics library's list on disk: the device
    // page's own additions go there first, and it reads the result back.
    m_deviceForm->saveStampGraphicList();
    MakePackage package;
    if (package.importPackage(&g_VellumCfgFile, path) != 0) {
        ErrorHandling::criticalMessage(this, tr("错误"),
                                       tr("文件导入失败，请确认文件是否已经损坏！"));
        return;
    }
    disconnectAllChangeValueControlMessages();
    m_deviceForm->reloadStampGraphicList();
    ui->listWidgetPredefine->clear();
    loadScanShortcutList();
    tagSCAN_SHORTCUT_MENU current;
    zeroScanShortcut(current);
    m_store.getCurrentScanShortcut(current);
    updateAllVariableToUIControl(current);
    connectAllChangeValueControlMessages();
    m_changed = false;
    buttonsStateChanged(false);
    if (ui->listWidgetPredefine->currentItem())
        m_rememberedName = ui->listWidgetPredefine->currentItem()->text();
}

void ScanMainWindow::clickedExportMenu()
{
    clearPreviewMode();
    m_store.saveScanShortcut();
    QString path = QFileDialog::getSaveFileName(nullptr, tr("另存为"), documentsFolder(),
                                                tr("用户配置文件 (*.wqv)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix() != QLatin1String("wqv"))
        path += ".wqv";
    m_deviceForm->saveStampGraphicList();
    MakePackage package;
    if (package.exportPackage(&g_VellumCfgFile, path) != 0)
        ErrorHandling::criticalMessage(this, tr("错误"), tr("文件导出失败，请查看保存路径！"));
}

// A scanner that is waking up keeps these calls for seconds: they run on a
// thread of their own while the window, disabled, keeps turning; OK then
// saves the profiles and closes the window.
void ScanMainWindow::acceptAfterConfiguringDevice(const tagSCAN_SHORTCUT_MENU &profile)
{
    PMessage *hub = &m_hub;
    m_deviceThread = QThread::create([profile, hub] {
        tagSCAN_SHORTCUT_MENU record = profile;
        g_Devgate.devicePower(&record, hub);
        g_Devgate.deviceSource(&record, hub);
    });
    connect(m_deviceThread, &QThread::finished, this, [this] {
        m_deviceThread->wait();
        delete m_deviceThread;
        m_deviceThread = nullptr;
        setEnabled(true);
        m_store.saveScanShortcut();
        m_changed = false;
        m_showProgress = true;
        accept();
    });
    setEnabled(false);
    m_deviceThread->start();
}

void ScanMainWindow::clickedBtnOK()
{
    if (!checkEditedSettings())
        return;
    tagSCAN_SHORTCUT_MENU current;
    zeroScanShortcut(current);
    m_store.getCurrentScanShortcut(current);
    if (compareAllVariableAndUIControl(current)) {
        clearPreviewMode();
        acceptAfterConfiguringDevice(current);
        return;
    }
    const int answer =
        ErrorHandling::questionMessage(this, tr("确认更改"),
                                       tr("对“%"
                                          "1”快捷方式的更改尚未保存，但仍将保持有效直到您的应用程序"
                                          "关闭驱动程序。\n\n您要保存快捷方式更改吗？")
                                           .arg(scanText(current.name)),
                                       ErrorHandling::YesNoCancel, ErrorHandling::Yes);
    if (answer == ErrorHandling::Yes) {
        clearPreviewMode();
        if (!saveCurrentEdits())
            return;
        m_store.getCurrentScanShortcut(current);
        acceptAfterConfiguringDevice(current);
    } else if (answer == ErrorHandling::No) {
        clearPreviewMode();
        disconnectChangeValueControlMessages();
        setCurrentItemText(scanText(current.name));
        connectChangeValueControlMessages();
        loadProfileIntoPages(current);
        m_changed = false;
        buttonsStateChanged(false);
        m_showProgress = true;
        accept();
    }
}

void ScanMainWindow::currentItemChangedScanShortcut(QListWidgetItem *current,
                                                    QListWidgetItem *previous)
{
    clearPreviewMode();
    emit m_hub.currentIndexChangeScanShortcut();
    QListWidget *list = ui->listWidgetPredefine;
    if (current && previous && list->row(current) != m_store.getCurrentScanIndex()) {
        const int row = list->row(current);
        if (!m_changed) {
            m_store.setCurrentScanIndex(row);
            tagSCAN_SHORTCUT_MENU profile;
            zeroScanShortcut(profile);
            m_store.getCurrentScanShortcut(profile);
            disconnect(&m_hub, &PMessage::controlValueChanged, this,
                       &ScanMainWindow::predefinedControlValueChanged);
            loadProfileIntoPages(profile);
            connect(&m_hub, &PMessage::controlValueChanged, this,
                    &ScanMainWindow::predefinedControlValueChanged);
        } else {
            const int answer = ErrorHandling::questionMessage(
                this, tr("确认更改"),
                tr("将失去对“%1”快捷键的更改。\n您要保存更改吗？").arg(m_rememberedName),
                ErrorHandling::YesNoCancel, ErrorHandling::Yes);
            const QString previousId = previous->data(Qt::UserRole).toString();
            const QString currentId = current->data(Qt::UserRole).toString();
            bool rejected = false;
            if (answer == ErrorHandling::Yes) {
                // A setting the device cannot scan never reaches the store:
                // the warning shows and the switch is undone as for Cancel.
                if (!checkEditedSettings()) {
                    rejected = true;
                } else {
                    disconnectAllChangeValueControlMessages();
                    m_store.setCurrentScanIndex(previousId);
                    tagSCAN_SHORTCUT_MENU old;
                    zeroScanShortcut(old);
                    m_store.getCurrentScanShortcut(old);
                    updateAllUIControlToVariable(old);
                    updateBarcodeStatus(old);
                    m_store.setCurrentScanShortcut(old);
                    m_store.getCurrentScanShortcut(old);
                    previous->setText(scanText(old.name));
                    m_store.setCurrentScanIndex(currentId);
                    tagSCAN_SHORTCUT_MENU next;
                    zeroScanShortcut(next);
                    m_store.getCurrentScanShortcut(next);
                    updateAllVariableToUIControl(next);
                    connectAllChangeValueControlMessages();
                    m_changed = false;
                    buttonsStateChanged(false);
                }
            } else if (answer == ErrorHandling::No) {
                tagSCAN_SHORTCUT_MENU old;
                zeroScanShortcut(old);
                if (m_store.findScanShortcut(old, previousId))
                    previous->setText(scanText(old.name));
                m_store.setCurrentScanIndex(row);
                tagSCAN_SHORTCUT_MENU next;
                zeroScanShortcut(next);
                m_store.getCurrentScanShortcut(next);
                loadProfileIntoPages(next);
                m_changed = false;
                buttonsStateChanged(false);
            } else {
                rejected = true;
            }
            if (rejected) {
                m_reselect = true;
                // The selection change that follows restores the row; when the
                // list sends none (a programmatic change) do it here.
                QMetaObject::invokeMethod(this, &ScanMainWindow::itemSelectionChangedScanShortcut,
                                          Qt::QueuedConnection);
                return;
            }
        }
    }
    if (list->currentItem())
        m_rememberedName = list->currentItem()->text();
}

void ScanMainWindow::reload()
{
    clearPreviewMode();
    emit m_hub.currentIndexChangeScanShortcut();
    tagSCAN_SHORTCUT_MENU current;
    zeroScanShortcut(current);
    m_store.getCurrentScanShortcut(current);
    loadProfileIntoPages(current);
    ui->tabWidget->setCurrentIndex(0);
    m_settingForm->resetDialogIndex();
    m_diagnosticsForm->resetDialogIndex();
    m_deviceForm->resetDialogIndex();
    emit m_hub.hideDiagnosticsForm();
    if (ui->listWidgetPredefine->currentItem())
        m_rememberedName = ui->listWidgetPredefine->currentItem()->text();
    adjustSize();
}

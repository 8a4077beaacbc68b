// The task editor: showing a task by destination kind and file type, the
// change check, writing the form back, the prefix and folder checks, task
// switch, OK, Cancel and Apply, and the new-task and rename actions.

#include "mainwindow.h"

#include "consolelink.h"
#include "errorhandling.h"
#include "onepressglobal.h"
#include "printjob.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRegExp>

namespace {

bool isOutputKind(ScanDestFlag k)
{
    return k == ScanDestFile || k == ScanDestApplication || k == ScanDestCustomApplication;
}

bool isMailKind(ScanDestFlag k)
{
    return k == ScanDestEmailClient || k == ScanDestWebMail;
}

void setGroupVisible(std::initializer_list<QWidget *> widgets, bool visible)
{
    for (QWidget *w : widgets)
        w->setVisible(visible);
}

// A box that another choice rules out: disabled and unchecked, without a click.
void excludeBox(QCheckBox *box)
{
    box->setEnabled(false);
    box->setChecked(false);
}

// Editing the images before saving and waiting at an empty feeder rule each
// other out: checking one clears and locks the other.
void excludeEachOther(QCheckBox *clicked, QCheckBox *other)
{
    if (clicked->isChecked())
        excludeBox(other);
    else
        other->setEnabled(true);
}

} // namespace

void MainWindow::connectEditorMessages()
{
    connectChangeValueControlMessages();
    connect(ui->pushButtonTaskRename, &QPushButton::clicked, this,
            &MainWindow::clickedBtnTaskRename);
    connect(ui->pushButtonCreateNewMenu, &QPushButton::clicked, this,
            &MainWindow::clickedBtnCreateNew);
    connect(ui->checkBoxBlankPageSeparate, &QCheckBox::clicked, this,
            &MainWindow::clickedBlankPageSeparate);
    connect(ui->checkBoxAddWatermark, &QCheckBox::clicked, this, &MainWindow::clickedAddWatermark);
    connect(ui->checkBoxBeforeSaveFileEditImage, &QCheckBox::clicked, this,
            &MainWindow::clickedBeforeSaveFileEditImage);
    connect(ui->checkBoxBeforeSaveFileSettingName, &QCheckBox::clicked, this,
            &MainWindow::checkBoxBeforeSaveFileSettingName);
    connect(ui->checkBoxADFTrayEmptyWaiting, &QCheckBox::clicked, this,
            &MainWindow::clickedBoxADFTrayEmptyWaiting);
    for (QCheckBox *b :
         {ui->checkBoxBarcodeSeparate, ui->checkBoxAddKeywordToDoc,
          ui->checkBoxBeforeScanDisplaySetting, ui->checkBoxBeforePrintingDisplaySetting,
          ui->checkBoxCenterPrinting, ui->checkBoxAfterSendFileDeleteFile})
        connect(b, &QCheckBox::clicked, this, &MainWindow::settingBeChanged);
    connect(ui->lineEditSaveFilePath, &QLineEdit::textChanged, this, &MainWindow::settingBeChanged);
    connect(ui->lineEditFileNamePrefix, &QLineEdit::textChanged, this,
            &MainWindow::settingBeChanged);
    // A printer task's scaling is saved, so choosing one marks the task changed.
    connect(ui->comboBoxScalePrintingPage, QOverload<int>::of(&QComboBox::activated), this,
            &MainWindow::currentItemChangeCmbScalePrintingPage);
}

void MainWindow::loadWordingList()
{
    setWindowTitle(tr("Corvan扫描仪"));
    ui->labelTaskShortcut->setText(tr("任务快捷键："));
    ui->pushButtonTaskRename->setText(tr("重命名..."));
    ui->pushButtonAbout->setToolTip(tr("关于"));
    ui->pushButtonHelp->setToolTip(tr("帮助"));
    ui->groupBoxScanTo->setTitle(tr("扫描至"));
    ui->labelDestAddress->setText(tr("目的地："));
    ui->pushButtonCreateNewMenu->setToolTip(tr("新建"));
    ui->pushButtonSaveAs->setToolTip(tr("另存为"));
    ui->pushButtonModify->setToolTip(tr("修改"));
    ui->pushButtonDelete->setToolTip(tr("删除"));
    ui->labelFileType->setText(tr("文件类型："));
    ui->pushButtonOcrFileSetting->setText(tr("设置..."));
    ui->labelSaveFilePath->setText(tr("文件夹："));
    ui->pushButtonBrowsePath->setText(tr("浏览..."));
    ui->labelFileNameFormat->setText(tr("文件名格式："));
    ui->labelFileNamePrefix->setText(tr("文件名前缀："));
    ui->checkBoxBeforeSaveFileSettingName->setText(tr("保存之前先设定文件名称"));
    ui->checkBoxAfterSendFileDeleteFile->setText(tr("发送后删除文件"));
    ui->labelPrinterName->setText(tr("打印机名称："));
    ui->pushButtonPrinterSetting->setText(tr("设置..."));
    ui->checkBoxBeforePrintingDisplaySetting->setText(tr("打印前显示设置"));
    ui->labelScalePrintingPage->setText(tr("页面缩放："));
    ui->checkBoxCenterPrinting->setText(tr("居中"));
    ui->groupBoxScanOption->setTitle(tr("扫描选项"));
    ui->checkBoxBeforeSaveFileEditImage->setText(tr("保存之前先编辑影像"));
    ui->checkBoxADFTrayEmptyWaiting->setText(tr("进纸器已空时请等待其他页面"));
    ui->checkBoxAddKeywordToDoc->setText(tr("添加关键词至文档文件"));
    ui->checkBoxBlankPageSeparate->setText(tr("空白页面后分隔"));
    ui->pushButtonBlankPageSetting->setText(tr("设置..."));
    ui->checkBoxBarcodeSeparate->setText(tr("按条码分隔"));
    ui->checkBoxAddWatermark->setText(tr("添加水印"));
    ui->pushButtonWatermarkSetting->setText(tr("设置..."));
    ui->groupBoxScanAs->setTitle(tr("扫描为"));
    ui->labelSettingShortcut->setText(tr("设置快捷键："));
    ui->pushButtonSettingShortcut->setText(tr("设置..."));
    ui->checkBoxBeforeScanDisplaySetting->setText(tr("扫描前显示设置"));
    ui->pushButtonOK->setText(tr("确定"));
    ui->pushButtonCancel->setText(tr("取消"));
    ui->pushButtonApply->setText(tr("应用"));
    ui->pushButtonTest->setText(tr("测试"));
    const bool test = g_ConfigFile.m_nAutoTest == 1;
    ui->pushButtonTest->setVisible(test);
    ui->pushButtonTest->setEnabled(test);
}

void MainWindow::loadComboboxControl()
{
    m_tasks.loadTaskListToControl(ui->comboBoxTaskShortcut, m_nOptionNumber);
    m_destinations.loadScanDestinationToControl(ui->comboBoxScanDestination);
    m_fileTypes.loadFileTypeListToControl(ui->comboBoxFileType);
    m_nameFormats.loadFileFormatListToControl(ui->comboBoxFileNameFormat);
    m_scalePrint.loadScaleStyleListToControl(ui->comboBoxScalePrintingPage);
}

void MainWindow::loadPrinterDriverName()
{
    ui->lineEditPrinterName->setReadOnly(true);
    ui->lineEditPrinterName->setText(QPrinterInfo::defaultPrinterName());
}

void MainWindow::connectChangeValueControlMessages()
{
    connect(ui->comboBoxTaskShortcut, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MainWindow::currentItemChangeCmbTaskShortcut, Qt::UniqueConnection);
    connect(ui->comboBoxScanDestination, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MainWindow::currentItemChangeCmbScanDestination, Qt::UniqueConnection);
    connect(ui->comboBoxFileType, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MainWindow::currentItemChangeCmbFileType, Qt::UniqueConnection);
    connect(ui->comboBoxFileNameFormat, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MainWindow::currentItemChangeCmbFileNameFormat, Qt::UniqueConnection);
}

void MainWindow::disconnectChangeValueControlMessages()
{
    disconnect(ui->comboBoxTaskShortcut, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
               &MainWindow::currentItemChangeCmbTaskShortcut);
    disconnect(ui->comboBoxScanDestination, QOverload<int>::of(&QComboBox::currentIndexChanged),
               this, &MainWindow::currentItemChangeCmbScanDestination);
    disconnect(ui->comboBoxFileType, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
               &MainWindow::currentItemChangeCmbFileType);
    disconnect(ui->comboBoxFileNameFormat, QOverload<int>::of(&QComboBox::currentIndexChanged),
               this, &MainWindow::currentItemChangeCmbFileNameFormat);
}

void MainWindow::showCurrentTask(bool suspendNotifications)
{
    if (suspendNotifications)
        disconnectChangeValueControlMessages();
    tagTASK_SHORTCUT task;
    m_tasks.getCurrentTaskShortcut(task);
    updateControlLayout(m_destinations.getScanDestID(task.ScanDestinationID));
    updateVariableToUIControl();
    connectChangeValueControlMessages();
    ui->pushButtonApply->setEnabled(false);
}

// ------------------------------------------------------------------ showing

void MainWindow::updateControlLayout(ScanDestFlag kind)
{
    if (kind < ScanDestFile || kind > ScanDestCustomApplication)
        return;
    const std::initializer_list<QWidget *> fileGroup = {
        ui->labelFileTypeImage,     ui->labelFileType,
        ui->comboBoxFileType,       ui->pushButtonOcrFileSetting,
        ui->labelSaveFilePath,      ui->lineEditSaveFilePath,
        ui->pushButtonBrowsePath,   ui->labelFileNameFormat,
        ui->comboBoxFileNameFormat, ui->labelFileNamePrefix,
        ui->lineEditFileNamePrefix, ui->checkBoxBeforeSaveFileSettingName};
    const std::initializer_list<QWidget *> printerGroup = {
        ui->labelPrinterName,         ui->lineEditPrinterName,
        ui->pushButtonPrinterSetting, ui->checkBoxBeforePrintingDisplaySetting,
        ui->labelScalePrintingPage,   ui->comboBoxScalePrintingPage,
        ui->checkBoxCenterPrinting};
    const std::initializer_list<QWidget *> optionGroup = {
        ui->checkBoxAddKeywordToDoc, ui->checkBoxBlankPageSeparate, ui->pushButtonBlankPageSetting,
        ui->checkBoxBarcodeSeparate, ui->checkBoxAddWatermark,      ui->pushButtonWatermarkSetting};
    const bool printer = kind == ScanDestPrinter;
    setGroupVisible(fileGroup, !printer);
    setGroupVisible(printerGroup, printer);
    setGroupVisible(optionGroup, !printer);
    ui->checkBoxAfterSendFileDeleteFile->setVisible(kind == ScanDestWebMail);
    ui->checkBoxBeforeSaveFileEditImage->setVisible(true);
    ui->checkBoxADFTrayEmptyWaiting->setVisible(true);
    if (isOutputKind(kind)) {
        ui->checkBoxBeforeSaveFileSettingName->setText(tr("保存之前先设定文件名称"));
        ui->checkBoxBeforeSaveFileEditImage->setText(tr("保存之前先编辑影像"));
    } else if (printer) {
        ui->checkBoxBeforeSaveFileEditImage->setText(tr("打印之前先编辑影像"));
    } else {
        ui->checkBoxBeforeSaveFileSettingName->setText(tr("发送之前先设定文件名称"));
        ui->checkBoxBeforeSaveFileEditImage->setText(tr("发送之前先编辑影像"));
        ui->labelDestAddressImage->setVisible(true);
    }
}

bool MainWindow::updateVariableToUIControl()
{
    tagTASK_SHORTCUT task;
    m_tasks.getCurrentTaskShortcut(task);
    m_destinations.setScanDestionCurrentIndex(task.ScanDestinationID);
    currentItemChangeCmbScanDestinationEx(m_destinations.getScanDestIndex(task.ScanDestinationID));
    updateScanShortcutMenu(task.ScanProfile);

    ui->checkBoxBeforeScanDisplaySetting->setChecked(task.BeforeScanDisplaySetting);
    if (task.BeforeScanDisplaySetting)
        excludeBox(ui->checkBoxADFTrayEmptyWaiting);
    else
        ui->checkBoxADFTrayEmptyWaiting->setEnabled(true);
    ui->checkBoxBeforeSaveFileEditImage->setChecked(task.BeforeSaveEditImage);
    excludeEachOther(ui->checkBoxBeforeSaveFileEditImage, ui->checkBoxADFTrayEmptyWaiting);
    if (task.ADFEmptyWaiting) {
        ui->checkBoxADFTrayEmptyWaiting->setChecked(true);
        excludeBox(ui->checkBoxBeforeSaveFileEditImage);
    } else {
        ui->checkBoxBeforeSaveFileEditImage->setChecked(false);
        ui->checkBoxBeforeSaveFileEditImage->setEnabled(true);
    }

    const ScanDestFlag kind = m_destinations.getScanDestID(task.ScanDestinationID);
    if (isOutputKind(kind))
        return updateApplicatonData(task);
    if (isMailKind(kind))
        return updateEmailData(task);
    if (kind == ScanDestPrinter)
        return updatePrinterData(task);
    return true;
}

bool MainWindow::updateApplicatonData(tagTASK_SHORTCUT &task)
{
    const bool mail = isMailKind(m_destinations.getScanDestID(task.ScanDestinationID));
    m_fileTypes.setFileTypeCurrentIndex(ui->labelFileTypeImage, ui->pushButtonOcrFileSetting,
                                        task.FileTypeID);
    updateWatermarkControl(task.FileTypeID);
    ui->lineEditSaveFilePath->setText(task.FolderPath);
    ui->lineEditSaveFilePath->setToolTip(task.FolderPath);
    m_nameFormats.setFileNameFormatCurrentIndex(task.FileNameFormat);
    ui->lineEditFileNamePrefix->setText(task.FileNamePrefix);
    ui->checkBoxBeforeSaveFileSettingName->setChecked(task.BeforeSaveFileSettingFileName);
    if (mail)
        ui->checkBoxAfterSendFileDeleteFile->setChecked(task.AfterSendFileDeleteFile);
    ui->checkBoxBeforeSaveFileEditImage->setChecked(task.BeforeSaveEditImage);
    ui->checkBoxADFTrayEmptyWaiting->setChecked(task.ADFEmptyWaiting);
    ui->checkBoxAddKeywordToDoc->setChecked(task.AddKeywordToDoc);
    ui->checkBoxBlankPageSeparate->setChecked(task.BlankPageSeparate);
    ui->pushButtonBlankPageSetting->setEnabled(task.BlankPageSeparate);
    m_nBlankThreshold = task.BlankPageThreshold;
    ui->checkBoxBarcodeSeparate->setChecked(task.BarcodeSeparate);
    ui->checkBoxAddWatermark->setChecked(task.AddWatermark);
    ui->pushButtonWatermarkSetting->setEnabled(task.AddWatermark);
    m_watermark = task.watermark;
    return true;
}

bool MainWindow::updateEmailData(tagTASK_SHORTCUT &task)
{
    return updateApplicatonData(task);
}

bool MainWindow::updatePrinterData(tagTASK_SHORTCUT &task)
{
    m_fileTypes.setFileTypeCurrentIndex(ui->labelFileTypeImage, ui->pushButtonOcrFileSetting,
                                        task.FileTypeID);
    updateWatermarkControl(task.FileTypeID);
    ui->lineEditSaveFilePath->setText(task.FolderPath);
    ui->lineEditSaveFilePath->setToolTip(task.FolderPath);
    m_nameFormats.setFileNameFormatCurrentIndex(task.FileNameFormat);
    ui->lineEditFileNamePrefix->setText(task.FileNamePrefix);
    ui->lineEditPrinterName->setText(task.PrinterName);
    ui->checkBoxBeforePrintingDisplaySetting->setChecked(task.BeforePrintingDisplaySetings);
    m_scalePrint.setScalePrintPageCurrentIndex(task.ScalePrintPage);
    ui->checkBoxCenterPrinting->setChecked(task.CenterPrint);
    ui->checkBoxBeforeSaveFileEditImage->setChecked(task.BeforeSaveEditImage);
    ui->checkBoxADFTrayEmptyWaiting->setChecked(task.ADFEmptyWaiting);
    ui->checkBoxBeforeScanDisplaySetting->setChecked(task.BeforeScanDisplaySetting);

    PrintJob::applyTaskSettings(m_taskPrinter, task);
    return true;
}

void MainWindow::updateWatermarkControl(ScanFileTypeFlag type)
{
    switch (type) {
    case FileTypeJpegTiff:
        ui->checkBoxAddWatermark->setEnabled(true);
        ui->checkBoxAddKeywordToDoc->setEnabled(true);
        break;
    case FileTypeOfd:
        ui->pushButtonOcrFileSetting->setEnabled(false);
        excludeBox(ui->checkBoxAddWatermark);
        ui->checkBoxAddKeywordToDoc->setEnabled(true);
        break;
    case FileTypePng:
    case FileTypeBmp:
        excludeBox(ui->checkBoxAddWatermark);
        excludeBox(ui->checkBoxAddKeywordToDoc);
        break;
    case FileTypeTxt:
        ui->pushButtonOcrFileSetting->setEnabled(true);
        excludeBox(ui->checkBoxAddWatermark);
        excludeBox(ui->checkBoxAddKeywordToDoc);
        break;
    default:
        excludeBox(ui->checkBoxAddWatermark);
        ui->pushButtonWatermarkSetting->setEnabled(false);
        ui->checkBoxAddKeywordToDoc->setEnabled(true);
        break;
    }
}

bool MainWindow::updateScanShortcutMenu(tagSCAN_SHORTCUT_MENU &profile)
{
    m_profile = profile;
    ui->lineEditSettingShortcut->setText(scanText(profile.name));
    ui->lineEditSettingShortcut->setReadOnly(true);
    QString image;
    switch (profile.sideSettings[0].colorMode) {
    case ColorModeBlackWhite:
        image = ":/scanshortcut/images/scan-bk.png";
        break;
    case ColorModeGray:
        image = ":/scanshortcut/images/scan-grey.png";
        break;
    case ColorModeColor:
        image = ":/scanshortcut/images/scan-color.png";
        break;
    }
    if (!image.isEmpty()) {
        ui->labelSettingShortcutImage->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        ui->labelSettingShortcutImage->setScaledContents(true);
        ui->labelSettingShortcutImage->setPixmap(QPixmap(image));
    }
    return true;
}

// ---------------------------------------------------------------- reactions

void MainWindow::currentItemChangeCmbScanDestinationEx(int index)
{
    if (index < 0)
        return;
    m_destinations.loadIcon(ui->labelDestAddressImage, index);
    const ScanDestFlag kind = m_destinations.getScanDestID(index);
    const bool own = kind == ScanDestWebMail || kind == ScanDestCustomApplication;
    ui->pushButtonSaveAs->setEnabled(own);
    ui->pushButtonModify->setEnabled(own);
    ui->pushButtonDelete->setEnabled(own);
    updateControlLayout(kind);
}

void MainWindow::currentItemChangeCmbScanDestination(int index)
{
    if (index < 0)
        return;
    currentItemChangeCmbScanDestinationEx(index);
    ui->pushButtonApply->setEnabled(true);
}

void MainWindow::currentItemChangeCmbFileType(int)
{
    const auto type = static_cast<ScanFileTypeFlag>(ui->comboBoxFileType->currentData().toInt());
    m_fileTypes.loadIcon(ui->labelFileTypeImage, ui->pushButtonOcrFileSetting, type);
    updateWatermarkControl(type);
    ui->pushButtonApply->setEnabled(true);
}

void MainWindow::currentItemChangeCmbFileNameFormat()
{
    ui->pushButtonApply->setEnabled(true);
}

void MainWindow::currentItemChangeCmbScalePrintingPage()
{
    ui->pushButtonApply->setEnabled(true);
}

void MainWindow::checkBoxBeforeSaveFileSettingName()
{
    ui->pushButtonApply->setEnabled(true);
}

void MainWindow::settingBeChanged()
{
    ui->pushButtonApply->setEnabled(true);
}

void MainWindow::clickedBeforeSaveFileEditImage()
{
    excludeEachOther(ui->checkBoxBeforeSaveFileEditImage, ui->checkBoxADFTrayEmptyWaiting);
    ui->pushButtonApply->setEnabled(true);
}

void MainWindow::clickedBoxADFTrayEmptyWaiting()
{
    excludeEachOther(ui->checkBoxADFTrayEmptyWaiting, ui->checkBoxBeforeSaveFileEditImage);
    ui->pushButtonApply->setEnabled(true);
}

void MainWindow::clickedBlankPageSeparate(bool checked)
{
    ui->pushButtonBlankPageSetting->setEnabled(checked);
    ui->pushButtonApply->setEnabled(true);
}

void MainWindow::clickedAddWatermark(bool checked)
{
    ui->pushButtonWatermarkSetting->setEnabled(checked);
    ui->pushButtonApply->setEnabled(true);
}

// ------------------------------------------------------------------ compare

bool MainWindow::compareScanShortcutMenu(tagTASK_SHORTCUT &task)
{
    return scanShortcutEquals(m_profile, task.ScanProfile);
}

bool MainWindow::compareApplicatonData(tagTASK_SHORTCUT &task)
{
    const bool mail = isMailKind(m_destinations.getScanDestID(task.ScanDestinationID));
    if (m_fileTypes.getScanDestID(ui->comboBoxFileType->currentIndex()) != task.FileTypeID)
        return false;
    if (ui->lineEditSaveFilePath->text() != task.FolderPath ||
        m_nameFormats.getFileNameFormatID(ui->comboBoxFileNameFormat->currentIndex()) !=
            task.FileNameFormat ||
        ui->lineEditFileNamePrefix->text() != task.FileNamePrefix ||
        ui->checkBoxBeforeSaveFileSettingName->isChecked() != task.BeforeSaveFileSettingFileName)
        return false;
    if (mail && ui->checkBoxAfterSendFileDeleteFile->isChecked() != task.AfterSendFileDeleteFile)
        return false;
    if (ui->checkBoxBeforeSaveFileEditImage->isChecked() != task.BeforeSaveEditImage ||
        ui->checkBoxADFTrayEmptyWaiting->isChecked() != task.ADFEmptyWaiting ||
        ui->checkBoxAddKeywordToDoc->isChecked() != task.AddKeywordToDoc)
        return false;
    if (ui->checkBoxBlankPageSeparate->isChecked() != task.BlankPageSeparate ||
        (task.BlankPageSeparate && m_nBlankThreshold != task.BlankPageThreshold))
        return false;
    if (ui->checkBoxBarcodeSeparate->isChecked() != task.BarcodeSeparate)
        return false;
    if (ui->checkBoxAddWatermark->isChecked() != task.AddWatermark)
        return false;
    if (task.AddWatermark) {
        const tagWATERMARK &w = task.watermark;
        if (m_watermark.Watermark != w.Watermark || m_watermark.FontName != w.FontName ||
            m_watermark.FontSize != w.FontSize ||
            m_watermark.IncludeSystemDate != w.IncludeSystemDate ||
            m_watermark.IncludePageNumber != w.IncludePageNumber ||
            m_watermark.IncludeDateTime != w.IncludeDateTime)
            return false;
    }
    return ui->checkBoxBeforeScanDisplaySetting->isChecked() == task.BeforeScanDisplaySetting;
}

bool MainWindow::compareEmailData(tagTASK_SHORTCUT &task)
{
    return compareApplicatonData(task);
}

bool MainWindow::comparePrinterData(tagTASK_SHORTCUT &task)
{
    return m_fileTypes.getScanDestID(ui->comboBoxFileType->currentIndex()) == task.FileTypeID &&
           ui->checkBoxBeforeSaveFileEditImage->isChecked() == task.BeforeSaveEditImage &&
           ui->checkBoxADFTrayEmptyWaiting->isChecked() == task.ADFEmptyWaiting &&
           ui->checkBoxBeforeScanDisplaySetting->isChecked() == task.BeforeScanDisplaySetting &&
           ui->lineEditPrinterName->text() == task.PrinterName &&
           ui->checkBoxBeforePrintingDisplaySetting->isChecked() ==
               task.BeforePrintingDisplaySetings &&
           // Saved with the task, so compared too.
           ui->comboBoxScalePrintingPage->currentData().toInt() == task.ScalePrintPage &&
           ui->checkBoxCenterPrinting->isChecked() == task.CenterPrint;
}

bool MainWindow::compareVariableAndUIControl()
{
    tagTASK_SHORTCUT task;
    m_tasks.getCurrentTaskShortcut(task);
    if (ui->comboBoxScanDestination->currentData().toString() != task.ScanDestinationID)
        return false;
    if (!compareScanShortcutMenu(task))
        return false;
    const ScanDestFlag kind = m_destinations.getScanDestID(task.ScanDestinationID);
    if (isOutputKind(kind))
        return compareApplicatonData(task);
    if (kind == ScanDestPrinter)
        return comparePrinterData(task);
    if (isMailKind(kind))
        return compareEmailData(task);
    return true;
}

// ------------------------------------------------------------------- checks

bool MainWindow::prefixIsValid(const QString &prefix)
{
    if (prefix.isEmpty())
        return true;
    QString p = prefix;
    p.replace('\\', '*');
    const QRegExp pattern(QStringLiteral("[/:*?<>|\\r\\n\"]"), Qt::CaseSensitive, QRegExp::RegExp);
    return pattern.indexIn(p) < 0;
}

bool MainWindow::checkTheFileNamePrefixIsVaild()
{
    if (prefixIsValid(ui->lineEditFileNamePrefix->text()))
        return true;
    ErrorHandling::criticalMessage(nullptr, tr("错误"), tr("前缀含无效字符！"));
    return false;
}

bool MainWindow::checkTheFilePathIsExist(QString path)
{
    if (QDir(path).exists())
        return true;
    return QDir().mkpath(path);
}

bool MainWindow::checkTheSaveFilePathIsExist()
{
    const QString path = ui->lineEditSaveFilePath->text();
    QString problem;
    if (path.isEmpty())
        problem = tr("没有路径名称！");
    else if (!checkTheFilePathIsExist(path))
        problem = tr("无效的路径名称！");
    if (problem.isEmpty())
        return true;
    ErrorHandling::criticalMessage(this, tr("错误"), problem);
    ui->lineEditSaveFilePath->setFocus(Qt::OtherFocusReason);
    return false;
}

// ------------------------------------------------------------------ writing

bool MainWindow::saveScanShortcutMenu(tagTASK_SHORTCUT &task)
{
    task.ScanProfile = m_profile;
    return true;
}

bool MainWindow::saveApplicatonData(tagTASK_SHORTCUT &task)
{
    const bool mail = isMailKind(m_destinations.getScanDestID(task.ScanDestinationID));
    task.ScanDestinationID = ui->comboBoxScanDestination->currentData().toString();
    task.FileTypeID = static_cast<ScanFileTypeFlag>(ui->comboBoxFileType->currentData().toInt());
    task.FolderPath = ui->lineEditSaveFilePath->text();
    task.FileNameFormat =
        static_cast<FileNameFormatFlag>(ui->comboBoxFileNameFormat->currentData().toInt());
    task.FileNamePrefix = ui->lineEditFileNamePrefix->text();
    task.BeforeSaveFileSettingFileName = ui->checkBoxBeforeSaveFileSettingName->isChecked();
    if (mail)
        task.AfterSendFileDeleteFile = ui->checkBoxAfterSendFileDeleteFile->isChecked();
    task.BeforeSaveEditImage = ui->checkBoxBeforeSaveFileEditImage->isChecked();
    task.ADFEmptyWaiting = ui->checkBoxADFTrayEmptyWaiting->isChecked();
    task.AddKeywordToDoc = ui->checkBoxAddKeywordToDoc->isChecked();
    task.BlankPageSeparate = ui->checkBoxBlankPageSeparate->isChecked();
    if (task.BlankPageSeparate)
        task.BlankPageThreshold = m_nBlankThreshold;
    task.BarcodeSeparate = ui->checkBoxBarcodeSeparate->isChecked();
    task.AddWatermark = ui->checkBoxAddWatermark->isChecked();
    task.watermark = task.AddWatermark ? m_watermark : tagWATERMARK();
    task.BeforeScanDisplaySetting = ui->checkBoxBeforeScanDisplaySetting->isChecked();
    return true;
}

bool MainWindow::saveEmailData(tagTASK_SHORTCUT &task)
{
    return saveApplicatonData(task);
}

bool MainWindow::savePrinterData(tagTASK_SHORTCUT &task)
{
    task.ScanDestinationID = ui->comboBoxScanDestination->currentData().toString();
    task.PrinterName = ui->lineEditPrinterName->text();
    task.ScalePrintPage =
        static_cast<ScalePrintPageFlag>(ui->comboBoxScalePrintingPage->currentData().toInt());
    task.CenterPrint = ui->checkBoxCenterPrinting->isChecked();
    task.BeforeSaveEditImage = ui->checkBoxBeforeSaveFileEditImage->isChecked();
    task.ADFEmptyWaiting = ui->checkBoxADFTrayEmptyWaiting->isChecked();
    task.BeforePrintingDisplaySetings = ui->checkBoxBeforePrintingDisplaySetting->isChecked();
    task.BeforeScanDisplaySetting = ui->checkBoxBeforeScanDisplaySetting->isChecked();
    const QPrinter &p = m_taskPrinter;
    const int paper = static_cast<int>(p.pageLayout().pageSize().id());
    task.PageSize = paper;
    task.CollateCopies = p.collateCopies();
    task.ColorMode = p.colorMode();
    task.CopyCount = p.copyCount();
    task.Creator = p.creator();
    task.DocName = p.docName();
    task.DoubleSidedPrinting = p.duplex() != QPrinter::DuplexNone;
    task.Duplex = p.duplex();
    task.FontEmbeddingEnabled = p.fontEmbeddingEnabled();
    task.FullPage = p.fullPage();
    task.Orientation = p.pageLayout().orientation();
    task.OutputFileName = p.outputFileName();
    task.OutputFormat = p.outputFormat();
    task.PageOrder = p.pageOrder();
    task.PaperSize = paper;
    task.PaperSource = p.paperSource();
    task.PrintProgram = p.printProgram();
    task.PrintRange = p.printRange();
    return true;
}

bool MainWindow::updateUIControlToVariable()
{
    tagTASK_SHORTCUT task;
    m_tasks.getCurrentTaskShortcut(task);
    task.ScanDestinationID = ui->comboBoxScanDestination->currentData().toString();
    saveScanShortcutMenu(task);
    const ScanDestFlag kind = m_destinations.getScanDestID(task.ScanDestinationID);
    if (isOutputKind(kind))
        saveApplicatonData(task);
    else if (kind == ScanDestPrinter)
        savePrinterData(task);
    else if (isMailKind(kind))
        saveEmailData(task);
    else
        return true;
    m_tasks.setCurrentTaskShortcut(task);
    ui->pushButtonApply->setEnabled(false);
    return true;
}

void MainWindow::reportWriteFailure()
{
    QString text;
    ErrorHandling::errorCode(RC_FILE_CREATE_FAILED, text);
    ErrorHandling::criticalMessage(this, tr("错误"), text);
}

bool MainWindow::writeTasks()
{
    const bool changed = ui->pushButtonApply->isEnabled();
    updateUIControlToVariable();
    if (m_tasks.saveTaskList()) {
        ui->pushButtonApply->setEnabled(false);
        return true;
    }
    // Nothing else tells the user that the folders were not written; the
    // window and its changed mark stay as they were, so saving can be retried.
    ui->pushButtonApply->setEnabled(changed);
    reportWriteFailure();
    return false;
}

// -------------------------------------------------------------- task switch

void MainWindow::currentItemChangeCmbTaskShortcut(int index)
{
    if (index < 0 || index == m_tasks.getCurrentTaskIndex())
        return;
    const bool newTask = m_tasks.isCreateNewTaskShortcut(ui->comboBoxTaskShortcut, index);
    bool keepConnected = false;
    if (!compareVariableAndUIControl()) {
        const int answer = ErrorHandling::questionMessage(
            this, tr("确认"), tr("您的更改尚未保存，需要保存它们吗？"), ErrorHandling::YesNoCancel,
            ErrorHandling::Yes);
        if (answer == ErrorHandling::Yes) {
            // The prefix reaches the file namer: it is checked here as at Apply.
            if (!checkTheFileNamePrefixIsVaild()) {
                disconnectChangeValueControlMessages();
                ui->comboBoxTaskShortcut->setCurrentIndex(m_tasks.getCurrentTaskIndex());
                connectChangeValueControlMessages();
                return;
            }
            updateUIControlToVariable();
            keepConnected = true;
        } else if (answer != ErrorHandling::No) {
            ui->comboBoxTaskShortcut->setCurrentIndex(m_tasks.getCurrentTaskIndex());
            return;
        }
        if (newTask) {
            createNewTaskShortcut();
            ui->pushButtonApply->setEnabled(false);
            return;
        }
    } else if (newTask) {
        createNewTaskShortcut();
        return;
    }
    if (!keepConnected)
        disconnectChangeValueControlMessages();
    m_tasks.setCurrentTaskIndex(index);
    showCurrentTask(false);
}

// ------------------------------------------------------------- OK, Cancel, Apply

void MainWindow::clickedBtnOK()
{
    if (!compareVariableAndUIControl()) {
        const int answer =
            ErrorHandling::questionMessage(this, tr("确认"), tr("您的更改尚未保存，要保存他们吗？"),
                                           ErrorHandling::YesNoCancel, 0);
        if (answer == ErrorHandling::No) {
            clickedBtnCancel();
            return;
        }
        if (answer != ErrorHandling::Yes)
            return;
    }
    if (!checkTheFileNamePrefixIsVaild() || !checkTheSaveFilePathIsExist())
        return;
    if (writeTasks())
        clickedBtnCancel();
}

void MainWindow::clickedBtnCancel()
{
    hide();
    disconnectChangeValueControlMessages();
    m_tasks.setCurrentTaskIndex(0);
    ui->comboBoxTaskShortcut->setCurrentIndex(0);
    showCurrentTask(false);
    m_tray.unloadSystemTrayMenu();
    reloadTray();
}

void MainWindow::clickedBtnApply()
{
    if (m_pConsole->isScanning()) {
        ErrorHandling::warningMessage(this, tr("无法保存配置"),
                                      tr("当前正在执行扫描任务，请再扫描结束后重试！"));
        return;
    }
    if (!checkTheFileNamePrefixIsVaild() || !checkTheSaveFilePathIsExist())
        return;
    writeTasks();
}

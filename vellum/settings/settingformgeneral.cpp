// General page: colour mode, document and media type, resolution, compression
// and JPEG quality, each with its picture.

#include "settingform.h"

#include "commonfunc.h"
#include "oxadvancedlengths.h"
#include "pmessage.h"
#include "previewform.h"
#include "settingformhelpers.h"
#include "ui_settingform.h"

#include <QPalette>

namespace {

const char *const kImages = ":/settings/images/settings/";

QString picturePath(const char *name)
{
    return QString::fromLatin1(kImages) + QString::fromLatin1(name) + QStringLiteral(".png");
}

// Shows a picture scaled to its label, or nothing for a value without one.
void setPicture(QLabel *label, const QString &path)
{
    if (path.isEmpty()) {
        label->clear();
        return;
    }
    QPixmap pm(path);
    label->setAlignment(Qt::AlignCenter);
    if (pm.isNull()) {
        label->clear();
        return;
    }
    label->setPixmap(pm.scaled(label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace

using settingform::fillCombo;
using settingform::selectData;

void SettingForm::loadGeneralPageWording()
{
    ui->tabWidgetGeneral->setTabText(0, tr("一般"));
    ui->labelColorMode->setText(tr("扫描为 (&A)："));
    ui->labelColorMode->setBuddy(ui->comboBoxColorMode);
    ui->labelDocType->setText(tr("文档类型 (&D)："));
    ui->labelDocType->setBuddy(ui->comboBoxDocType);
    ui->labelMediaType->setText(tr("介质类型 (&M)："));
    ui->labelMediaType->setBuddy(ui->comboBoxMediaType);
    ui->labelResolution->setText(tr("分辨率 (&R)："));
    ui->labelResolution->setBuddy(ui->comboBoxResolution);
    ui->groupBoxCompress->setTitle(tr("压缩 (&C)："));
    ui->labelCompressType->setText(tr("类型："));
    ui->labelCompressQuality->setText(tr("质量："));

    QPalette white;
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        white.setColor(g, QPalette::Window, QColor(255, 255, 255));
    for (QLabel *l :
         {ui->labelColorModeImage, ui->labelDocTypeImage, ui->labelMediaTypeImage,
          ui->labelResolutionImage, ui->labelCompressTypeImage, ui->labelCompressQualityImage}) {
        l->setPalette(white);
        l->setAutoFillBackground(true);
    }
}

void SettingForm::createColorMode()
{
    fillCombo(ui->comboBoxColorMode,
              {{tr("彩色 (24位)"), 2}, {tr("灰阶 (8位)"), 1}, {tr("黑白 (1位)"), 0}});
}

void SettingForm::createDocType()
{
    fillCombo(
        ui->comboBoxDocType,
        {{tr("具有图形的文本"), 2}, {tr("文本"), 1}, {tr("具有照片的文本"), 3}, {tr("照片"), 0}});
}

void SettingForm::createMediaType()
{
    fillCombo(ui->comboBoxMediaType, {{tr("普通纸"), 3},
                                      {tr("薄纸"), 4},
                                      {tr("亮面纸"), 1},
                                      {tr("卡片纸"), 0},
                                      {tr("杂志"), 2}});
}

void SettingForm::createResolution()
{
    ui->comboBoxResolution->clear();
    for (int dpi : {75, 100, 150, 200, 300, 600, 1200})
        ui->comboBoxResolution->addItem(QStringLiteral("%1 dpi").arg(dpi), dpi);
}

// Rebuilds the compression list for a colour mode. A compressed choice stays
// compressed: JPEG for colour and gray, Group-4 for black-and-white.
void SettingForm::createCompressType(int colorMode)
{
    const int before = ui->comboBoxCompressType->currentIndex() >= 0
                           ? ui->comboBoxCompressType->currentData().toInt()
                           : -1;
    ui->comboBoxCompressType->clear();
    ui->comboBoxCompressType->addItem(tr("无"), 0);
    if (colorMode != 0)
        ui->comboBoxCompressType->addItem(QStringLiteral("JPEG"), 2);
    else
        ui->comboBoxCompressType->addItem(QStringLiteral("Group-4"), 1);
    if (before == 1 || before == 2)
        ui->comboBoxCompressType->setCurrentIndex(1);
    else
        ui->comboBoxCompressType->setCurrentIndex(0);
}

void SettingForm::createCompressQuality()
{
    ui->comboBoxCompressQuality->addItem(tr("草稿"), 2);
    ui->comboBoxCompressQuality->addItem(tr("好"), 3);
    ui->comboBoxCompressQuality->addItem(tr("较好"), 1);
    ui->comboBoxCompressQuality->addItem(tr("最佳"), 0);
    ui->comboBoxCompressQuality->addItem(tr("高级"), 4);
    ui->labelCompressQualityImage->clear();
}

// ---------------------------------------------------------------- pictures

void SettingForm::showColorModePicture(int mode)
{
    static const char *const names[] = {"scan-bk", "scan-grey", "scan-color"};
    setPicture(ui->labelColorModeImage,
               mode >= 0 && mode <= 2 ? picturePath(names[mode]) : QString());
}

void SettingForm::showDocTypePicture(int type)
{
    static const char *const names[] = {"doc-type-photo", "doc-type-text", "doc-type-diagram",
                                        "doc-type-text-with-photo"};
    setPicture(ui->labelDocTypeImage,
               type >= 0 && type <= 3 ? picturePath(names[type]) : QString());
}

void SettingForm::showMediaTypePicture(int type)
{
    static const char *const names[] = {"media-card", "media-glossy", "media-magazine",
                                        "media-normal", "media-thin-paper"};
    setPicture(ui->labelMediaTypeImage,
               type >= 0 && type <= 4 ? picturePath(names[type]) : QString());
}

void SettingForm::showResolutionPicture(int dpi)
{
    static const int known[] = {75, 100, 150, 200, 240, 250, 300, 400, 500, 600, 1200};
    for (int k : known)
        if (k == dpi) {
            setPicture(ui->labelResolutionImage,
                       QString::fromLatin1(kImages) + QStringLiteral("dpi-%1.png").arg(dpi));
            return;
        }
    setPicture(ui->labelResolutionImage, QString());
}

void SettingForm::showCompressionPicture(int compression)
{
    if (compression == 0)
        setPicture(ui->labelCompressTypeImage, picturePath("compress-non"));
    else if (compression == 1 || compression == 2)
        setPicture(ui->labelCompressTypeImage, picturePath("compress"));
    else
        setPicture(ui->labelCompressTypeImage, QString());
}

void SettingForm::showQualityPicture(int quality)
{
    static const char *const names[] = {"quality-best", "quality-better", "quality-draft",
                                        "quality-good", "quality-senior"};
    setPicture(ui->labelCompressQualityImage,
               quality >= 0 && quality <= 4 ? picturePath(names[quality]) : QString());
}

// ---------------------------------------------------------------- load, save, compare

bool SettingForm::updateGeneralVariableToUIControl(int index)
{
    const tagSCAN_SIDE_SETTING &b = m_settingBlocks[index];
    selectData(ui->comboBoxColorMode, int(b.colorMode));
    selectData(ui->comboBoxDocType, int(b.documentType));
    selectData(ui->comboBoxMediaType, int(b.mediaType));
    // A resolution of 0 or less would make the pixel unit divide by zero;
    // it counts as 200 dpi, as on the device page.
    m_sizeFactor = OxAdvancedLengths::pixelFactorFor(b.resolution);
    selectData(ui->comboBoxResolution, b.resolution);
    selectData(ui->comboBoxCompressType, int(b.compressionType));
    selectData(ui->comboBoxCompressQuality, int(b.jpegQuality));
    return true;
}

bool SettingForm::updateGeneralUIControlToVariable(int index)
{
    tagSCAN_SIDE_SETTING &b = m_settingBlocks[index];
    const auto data = settingform::currentValue;
    b.colorMode = ColorModeFlag(data(ui->comboBoxColorMode, b.colorMode));
    b.documentType = DocumentTypeFlag(data(ui->comboBoxDocType, b.documentType));
    b.mediaType = MediaTypeFlag(data(ui->comboBoxMediaType, b.mediaType));
    b.resolution = data(ui->comboBoxResolution, b.resolution);
    b.compressionType = CompressionTypeFlag(data(ui->comboBoxCompressType, b.compressionType));
    b.jpegQuality = CompressionJpegQualityFlag(data(ui->comboBoxCompressQuality, b.jpegQuality));
    return true;
}

bool SettingForm::compareGeneralVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    for (int i = 0; i < 4; ++i) {
        const tagSCAN_SIDE_SETTING &a = m_settingBlocks[i];
        const tagSCAN_SIDE_SETTING &p = profile.sideSettings[i];
        if (a.colorMode != p.colorMode || a.documentType != p.documentType ||
            a.mediaType != p.mediaType || a.resolution != p.resolution ||
            a.compressionType != p.compressionType || a.jpegQuality != p.jpegQuality)
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- connections

void SettingForm::connectGeneralPageMessages()
{
    connectGeneralPageChangeValueControlMessages();
}

void SettingForm::connectGeneralPageChangeValueControlMessages()
{
    if (!m_generalLinks.isEmpty())
        return;
    const auto changed = QOverload<int>::of(&QComboBox::currentIndexChanged);
    m_generalLinks
        << connect(ui->comboBoxColorMode, changed, this,
                   &SettingForm::currentItemChangeCmbColorMode)
        << connect(ui->comboBoxDocType, changed, this, &SettingForm::currentItemChangeDocumentType)
        << connect(ui->comboBoxMediaType, changed, this, &SettingForm::currentItemChangeMediaType)
        << connect(ui->comboBoxResolution, changed, this, &SettingForm::currentItemChangeResolution)
        << connect(ui->comboBoxCompressType, changed, this,
                   &SettingForm::currentItemChangeCompressionMode)
        << connect(ui->comboBoxCompressQuality, changed, this,
                   &SettingForm::currentItemChangeCompressionJpegQuality);
}

void SettingForm::disconnectGeneralPageChangeValueControlMessages()
{
    for (const QMetaObject::Connection &c : qAsConst(m_generalLinks))
        disconnect(c);
    m_generalLinks.clear();
}

// ---------------------------------------------------------------- handlers

void SettingForm::currentItemChangeCmbColorMode(int)
{
    const int mode = ui->comboBoxColorMode->currentData().toInt();
    createCompressType(mode);

    const bool relink = disconnect(m_dropoutLink);
    createColorDropout(mode);
    if (relink)
        connectDropoutHandler();

    showColorModePicture(mode);
    applyColorModeToAdjustPage(mode);
    currentItemChangeColorsfiltering(0);
    emit m_hub->settingColorModeOx(ColorModeFlag(mode));
    if (m_previewMode > 0) {
        if (m_preview->getPreviewQuality() == 1)
            judgePreviewWarning();
        else if (!m_loading)
            emit m_hub->previewAutoUpdate();
    }
}

void SettingForm::applyColorModeToAdjustPage(int mode)
{
    const bool bw = mode == 0;
    ui->groupBoxBriAndCon->setVisible(!bw);
    ui->groupBoxColBal->setVisible(mode != 0 && mode != 1);
    ui->groupBoxSharpen->setVisible(!bw);
    ui->groupBoxForBol->setVisible(!bw);
    ui->groupBoxBackSmo->setVisible(!bw);
    ui->groupBoxConversionQuality->setVisible(bw);
    ui->groupBoxFilters->setVisible(bw);
    ui->checkBoxInvertColors->setVisible(bw);
    ui->checkBoxEnhance->setVisible(bw);
    ui->groupBoxthinorthick->setVisible(bw);
}

void SettingForm::currentItemChangeDocumentType(int)
{
    showDocTypePicture(ui->comboBoxDocType->currentData().toInt());
    if (m_previewMode > 0)
        judgePreviewWarning();
}

void SettingForm::currentItemChangeMediaType(int)
{
    showMediaTypePicture(ui->comboBoxMediaType->currentData().toInt());
    if (m_previewMode > 0)
        judgePreviewWarning();
}

void SettingForm::currentItemChangeResolution(int)
{
    const int dpi = ui->comboBoxResolution->currentData().toInt();
    showResolutionPicture(dpi);
    emit m_hub->setResolution(ImageResolutionFlag(dpi));
    changedResolution(dpi);
}

void SettingForm::changedResolution(int dpi)
{
    const double newFactor = OxAdvancedLengths::pixelFactorFor(dpi);
    if (m_sizeUnit != UnitPixel) {
        m_sizeFactor = newFactor;
        return;
    }
    changedDoubleSpinboxSingleStep(newFactor / 100.0);
    double inches[13];
    readShownLengthsAsInches(inches, m_sizeFactor);
    writeLengthsToAllBlocks(inches);
    setUnitCaptions(tr("像素"));
    m_sizeFactor = newFactor;
    double shown[13];
    for (int i = 0; i < 13; ++i)
        shown[i] = inches[i] * newFactor;
    changeUnitSize(shown);
}

void SettingForm::currentItemChangeCompressionMode(int index)
{
    if (index < 0)
        return;
    const int compression = ui->comboBoxCompressType->currentData().toInt();
    if (compression == 0) {
        showCompressionPicture(0);
        ui->comboBoxCompressQuality->setEnabled(false);
        ui->labelCompressQualityImage->clear();
    } else if (compression == 2) {
        showCompressionPicture(2);
        ui->comboBoxCompressQuality->setEnabled(true);
    } else if (compression == 1) {
        showCompressionPicture(1);
        ui->comboBoxCompressQuality->setEnabled(false);
    } else {
        showCompressionPicture(-1);
    }
    currentItemChangeCompressionJpegQuality(index);
}

void SettingForm::currentItemChangeCompressionJpegQuality(int)
{
    showQualityPicture(ui->comboBoxCompressQuality->currentData().toInt());
    if (ui->comboBoxCompressType->currentData().toInt() != 2)
        ui->labelCompressQualityImage->clear();
}

// Size page: document mode, image type, scan area, predefined sizes, border,
// rotation after the scan and the character sets for automatic rotation.

#include "settingform.h"

#include "commonfunc.h"
#include "pmessage.h"
#include "settingformhelpers.h"
#include "ui_settingform.h"

#include <cmath>

using settingform::currentValue;
using settingform::fillCombo;
using settingform::kPresetCount;
using settingform::kPresets;
using settingform::PresetSize;
using settingform::selectData;

namespace {

constexpr int kFlatbed = 5;

} // namespace

void SettingForm::loadSizePageWording()
{
    ui->tabWidgetGeneral->setTabText(1, tr("尺寸"));
    ui->labelDocument->setText(tr("文档 (&D):"));
    ui->labelDocument->setBuddy(ui->comboBoxDocument);
    ui->labelImage->setText(tr("影像 (&I):"));
    ui->labelImage->setBuddy(ui->comboBoxImage);
    ui->groupBoxOutline->setTitle(tr("概要 (&O)"));
    ui->labelOrigin->setText(tr("原点(x , y):"));
    ui->labelSize->setText(tr("尺寸(W x H):"));
    ui->labelgrade1->setText(QStringLiteral(","));
    ui->labelgrade2->setText(tr("厘米"));
    ui->labelgrade3->setText(QStringLiteral("x"));
    ui->labelgrade4->setText(tr("厘米"));
    ui->labelgrade5->setText(tr("度"));
    ui->labelAngel->setText(tr("角度:"));
    ui->labelPredefinedSizes->setText(tr("预定义尺寸"));
    ui->labelUnicode->setText(tr("字符集:"));
    ui->labelBorder->setText(tr("边界 (&B): "));
    ui->labelBorder->setBuddy(ui->comboBoxBorder);
    ui->labelPostScanRotation->setText(tr("扫描后旋转 (&R):"));
    ui->labelPostScanRotation->setBuddy(ui->comboBoxPostScanRotation);
    for (QDoubleSpinBox *s :
         {ui->doubleSpinBox_x, ui->doubleSpinBox_y, ui->doubleSpinBox_W, ui->doubleSpinBox_H})
        s->setDecimals(2);
    ui->doubleSpinBoxAngle->setDecimals(4);
    ui->doubleSpinBoxAngle->setSingleStep(0.1);
}

void SettingForm::createSizeDocType()
{
    fillCombo(ui->comboBoxDocument, {{tr("自动检测和校正"), 7},
                                     {tr("自动检测"), 2},
                                     {tr("照片"), 4},
                                     {tr("手动选择"), 3},
                                     {tr("持续"), 8}});
}

void SettingForm::createSizeImage()
{
    fillCombo(ui->comboBoxImage, {{tr("整份文档"), 2}, {tr("文档部分"), 5}});
}

void SettingForm::createPredefined()
{
    ui->comboBoxPredefinedSizes->clear();
    ui->comboBoxPredefinedSizes->addItem(tr("自定义"), 1);
    for (int i = 0; i < kPresetCount; ++i)
        ui->comboBoxPredefinedSizes->addItem(tr(kPresets[i].text), i + 2);
}

// "Remove" is offered only where the document is detected and corrected.
void SettingForm::createSizeBorder(int documentMode)
{
    if (documentMode < 0)
        documentMode = currentValue(ui->comboBoxDocument, -1);
    ui->comboBoxBorder->clear();
    ui->comboBoxBorder->addItem(tr("(无)"), 6);
    ui->comboBoxBorder->addItem(tr("添加"), 2);
    if (documentMode == 7)
        ui->comboBoxBorder->addItem(tr("移除"), 1);
}

void SettingForm::createSizePostScanRotation()
{
    fillCombo(ui->comboBoxPostScanRotation, {{tr("(无)"), 0},
                                             {tr("自动"), 4},
                                             {tr("自动 - 默认为90"), 5},
                                             {tr("自动 - 默认为180"), 6},
                                             {tr("自动 - 默认为270"), 7},
                                             {QStringLiteral("90"), 1},
                                             {QStringLiteral("180"), 2},
                                             {QStringLiteral("270"), 3}});
}

// ---------------------------------------------------------------- connections

void SettingForm::connectImageTypeHandler()
{
    if (!m_imageTypeLink)
        m_imageTypeLink =
            connect(ui->comboBoxImage, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                    &SettingForm::currentItemChangeImageType);
}

void SettingForm::connectBorderHandler()
{
    if (!m_borderLink)
        m_borderLink =
            connect(ui->comboBoxBorder, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                    &SettingForm::currentItemChangeBorder);
}

void SettingForm::connectPredefinedHandler()
{
    if (!m_predefinedLink)
        m_predefinedLink = connect(ui->comboBoxPredefinedSizes,
                                   QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                                   &SettingForm::currentItemChangePredefined);
}

void SettingForm::connectSizePageChangeValueControlMessages()
{
    if (m_sizeLinks.isEmpty())
        m_sizeLinks << connect(ui->comboBoxDocument,
                               QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                               &SettingForm::currentItemChangeSizeDocType);
    connectImageTypeHandler();
    connectPredefinedHandler();
    connectBorderHandler();
    if (m_sizeLinks.size() == 1)
        m_sizeLinks << connect(ui->comboBoxPostScanRotation,
                               QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                               &SettingForm::currentItemChangePostRotate)
                    << connect(ui->listWidgetUnicode, &QListWidget::clicked, this,
                               &SettingForm::clickedListWidgetUnicode);
}

void SettingForm::disconnectSizePageChangeValueControlMessages()
{
    for (const QMetaObject::Connection &c : qAsConst(m_sizeLinks))
        disconnect(c);
    m_sizeLinks.clear();
    disconnect(m_imageTypeLink);
    disconnect(m_predefinedLink);
    disconnect(m_borderLink);
}

void SettingForm::connectSizePageMessages()
{
    connectSizePageChangeValueControlMessages();
    connect(ui->doubleSpinBox_W, &QDoubleSpinBox::editingFinished, this,
            &SettingForm::valueChangePreviewSizeW);
    connect(ui->doubleSpinBox_H, &QDoubleSpinBox::editingFinished, this,
            &SettingForm::valueChangePreviewSizeH);
    connect(ui->doubleSpinBox_x, &QDoubleSpinBox::editingFinished, this,
            &SettingForm::valueChangePreviewSizeX);
    connect(ui->doubleSpinBox_y, &QDoubleSpinBox::editingFinished, this,
            &SettingForm::valueChangePreviewSizeY);
    connect(ui->doubleSpinBoxAngle, &QDoubleSpinBox::editingFinished, this,
            &SettingForm::valueChangePreviewSizeX);
    connect(m_hub, &PMessage::settingSizePreview, this, &SettingForm::changePreviewSize);
}

// ---------------------------------------------------------------- load, save, compare

bool SettingForm::updateSizeVariableToUIControl(int index)
{
    const tagSCAN_SIDE_SETTING &b = m_settingBlocks[index];
    selectData(ui->comboBoxDocument, int(b.documentCropping));
    selectData(ui->comboBoxImage, int(b.imageCropping));
    ui->doubleSpinBox_x->setValue(toShown(b.x));
    ui->doubleSpinBox_y->setValue(toShown(b.y));
    ui->doubleSpinBox_W->setValue(toShown(b.width));
    ui->doubleSpinBox_H->setValue(toShown(b.height));
    ui->doubleSpinBoxAngle->setValue(std::isfinite(b.angle) ? b.angle : 0.0);
    selectData(ui->comboBoxPredefinedSizes, int(b.predefinedSize));
    selectData(ui->comboBoxBorder, int(b.border));
    selectData(ui->comboBoxPostScanRotation, int(b.postScanRotation));
    for (int i = 0; i < 5 && i < ui->listWidgetUnicode->count(); ++i)
        ui->listWidgetUnicode->item(i)->setSelected(b.characterSets[i]);
    return true;
}

bool SettingForm::updateSizeUIControlToVariable(int index)
{
    tagSCAN_SIDE_SETTING &b = m_settingBlocks[index];
    b.documentCropping =
        ImageCroppingModeFlag(currentValue(ui->comboBoxDocument, b.documentCropping));
    b.imageCropping = ImageCroppingModeFlag(currentValue(ui->comboBoxImage, b.imageCropping));
    b.x = toInches(ui->doubleSpinBox_x->value());
    b.y = toInches(ui->doubleSpinBox_y->value());
    b.width = toInches(ui->doubleSpinBox_W->value());
    b.height = toInches(ui->doubleSpinBox_H->value());
    b.angle = ui->doubleSpinBoxAngle->value();
    b.predefinedSize = ImagePresetFlag(currentValue(ui->comboBoxPredefinedSizes, b.predefinedSize));
    b.border = ImageCroppingModeFlag(currentValue(ui->comboBoxBorder, b.border));
    b.postScanRotation =
        ImageRotateOrthogonalFlag(currentValue(ui->comboBoxPostScanRotation, b.postScanRotation));
    for (int i = 0; i < 5 && i < ui->listWidgetUnicode->count(); ++i)
        b.characterSets[i] = ui->listWidgetUnicode->item(i)->isSelected();
    return true;
}

bool SettingForm::compareSizeVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    for (int i = 0; i < 4; ++i) {
        const tagSCAN_SIDE_SETTING &a = m_settingBlocks[i];
        const tagSCAN_SIDE_SETTING &p = profile.sideSettings[i];
        if (a.documentCropping != p.documentCropping || a.imageCropping != p.imageCropping ||
            a.predefinedSize != p.predefinedSize || a.border != p.border ||
            a.postScanRotation != p.postScanRotation || a.x != p.x || a.y != p.y ||
            a.width != p.width || a.height != p.height || a.angle != p.angle)
            return false;
        for (int k = 0; k < 5; ++k)
            if (a.characterSets[k] != p.characterSets[k])
                return false;
    }
    return true;
}

// Enabled states and the preview's frame for a loaded block; the handlers are
// disconnected during a load, so the frame sets them itself.
void SettingForm::applyLoadedSizeState(const tagSCAN_SIDE_SETTING &b)
{
    const int c = int(b.documentCropping);
    const int p = int(b.imageCropping);
    const double x = b.x, y = b.y, w = b.width, h = b.height, angle = b.angle;
    switch (c) {
    case 2:
    case 3:
        ui->comboBoxImage->setEnabled(false);
        ui->doubleSpinBoxAngle->setEnabled(true);
        break;
    case 4:
    case 7:
        ui->comboBoxImage->setEnabled(true);
        ui->doubleSpinBoxAngle->setEnabled(true);
        break;
    case 8:
        ui->comboBoxImage->setEnabled(false);
        ui->doubleSpinBoxAngle->setEnabled(false);
        ui->doubleSpinBoxAngle->setValue(0.0);
        break;
    default:
        break;
    }
    if (c == 2 || c == 4 || c == 7) {
        emit m_hub->settingToolRotateAndCenter(false);
    } else if (c == 3 || c == 8) {
        emit m_hub->settingToolRotateAndCenter(true);
        sendPreviewArea(x, y, w, h, angle);
    }
    if (p != 2) {
        ui->groupBoxOutline->setEnabled(true);
        ui->comboBoxBorder->setEnabled(false);
        emit m_hub->settingToolRotateAndCenter(true);
        sendPreviewArea(x, y, w, h, angle);
    } else {
        ui->comboBoxBorder->setEnabled(c != 4);
        if (c == 3) {
            ui->groupBoxOutline->setEnabled(true);
            emit m_hub->settingToolRotateAndCenter(true);
            sendPreviewArea(x, y, w, h, angle);
        } else {
            ui->groupBoxOutline->setEnabled(false);
            emit m_hub->settingToolRotateAndCenter(false);
        }
    }
}

// ---------------------------------------------------------------- handlers

void SettingForm::currentItemChangeSizeDocType(int)
{
    double x, y, w, h, angle;
    readAreaInches(x, y, w, h, angle);
    const bool imageLinked = disconnect(m_imageTypeLink);
    const bool borderLinked = disconnect(m_borderLink);

    const int mode = ui->comboBoxDocument->currentData().toInt();
    struct State
    {
        int mode, imageItem;
        bool image, outline, border, angle, userArea;
    };
    static const State states[] = {
        {2, 0, false, false, true, true, false}, {3, 0, false, true, true, true, true},
        {4, 0, true, false, false, true, false}, {7, 0, true, false, true, true, false},
        {8, 1, false, true, false, false, true},
    };
    for (const State &s : states) {
        if (s.mode != mode)
            continue;
        createSizeBorder(mode);
        ui->comboBoxImage->setCurrentIndex(s.imageItem);
        ui->comboBoxImage->setEnabled(s.image);
        ui->groupBoxOutline->setEnabled(s.outline);
        ui->comboBoxBorder->setEnabled(s.border);
        ui->doubleSpinBoxAngle->setEnabled(s.angle);
        if (mode == 8)
            ui->doubleSpinBoxAngle->setValue(0.0);
        emit m_hub->settingToolRotateAndCenter(s.userArea);
        if (s.userArea)
            sendPreviewArea(x, y, w, h, angle);
    }

    if (mode == 3 || mode == 8) {
        if (int(m_paperSource) == kFlatbed) {
            ui->doubleSpinBox_x->setValue(0.0);
        } else {
            const double f = getSizeTimes();
            ui->doubleSpinBox_x->setValue(CommonFunc::DoubleRound(
                (f * m_maxLength - ui->doubleSpinBox_W->value()) * 0.5, 2, true));
            emit m_hub->settingToolRotateAndCenter(true);
            sendPreviewArea(toInches(ui->doubleSpinBox_x->value()), y, w, h, angle);
        }
    }
    if (mode != 7)
        ui->comboBoxImageEdgeFillColor->setCurrentIndex(0);
    ui->comboBoxBorder->setCurrentIndex(0);

    if (imageLinked)
        connectImageTypeHandler();
    if (borderLinked)
        connectBorderHandler();
    judgePreviewAutoPreview();
}

void SettingForm::currentItemChangeImageType(int)
{
    const int t = ui->comboBoxImage->currentData().toInt();
    const int m = ui->comboBoxDocument->currentData().toInt();
    double x, y, w, h, angle;
    readAreaInches(x, y, w, h, angle);
    if (t == 2) {
        if (m == 4) {
            ui->comboBoxBorder->setEnabled(false);
            const bool linked = disconnect(m_borderLink);
            ui->comboBoxBorder->setCurrentIndex(0);
            if (linked)
                connectBorderHandler();
            ui->groupBoxOutline->setEnabled(false);
            emit m_hub->settingToolRotateAndCenter(false);
        } else if (m == 3) {
            ui->comboBoxBorder->setEnabled(true);
            ui->groupBoxOutline->setEnabled(true);
            emit m_hub->settingToolRotateAndCenter(true);
            sendPreviewArea(x, y, w, h, angle);
        } else {
            ui->comboBoxBorder->setEnabled(true);
            ui->groupBoxOutline->setEnabled(false);
            emit m_hub->settingToolRotateAndCenter(false);
        }
    } else if (t == 5) {
        ui->groupBoxOutline->setEnabled(true);
        ui->comboBoxBorder->setEnabled(false);
        ui->comboBoxImageEdgeFillColor->setCurrentIndex(0);
        if (currentValue(ui->comboBoxPredefinedSizes, 1) != 1) {
            ui->doubleSpinBox_x->setValue(0.0);
            ui->doubleSpinBox_y->setValue(0.0);
        }
        emit m_hub->settingToolRotateAndCenter(true);
        sendPreviewArea(x, y, w, h, angle);
    }
    judgePreviewAutoPreview();
    emit m_hub->imageAreaChangeMulLength(t, ui->doubleSpinBox_H->value());
}

void SettingForm::currentItemChangePredefined(int)
{
    const int value = ui->comboBoxPredefinedSizes->currentData().toInt();
    const double f = getSizeTimes();
    if (value >= 2 && value <= 24) {
        const PresetSize &p = kPresets[value - 2];
        ui->doubleSpinBox_W->setValue(f * p.width);
        ui->doubleSpinBox_H->setValue(f * p.height);
        ui->doubleSpinBox_x->setValue(0.0);
        ui->doubleSpinBox_y->setValue(0.0);
        ui->doubleSpinBoxAngle->setValue(0.0);
    }
    double x, y, w, h, angle;
    readAreaInches(x, y, w, h, angle);
    sendPreviewArea(x, y, w, h, angle);
    if (ui->comboBoxDocument->currentData().toInt() != 3 || value == 1)
        return;
    if (int(m_paperSource) == kFlatbed) {
        ui->doubleSpinBox_x->setValue(0.0);
        return;
    }
    ui->doubleSpinBox_x->setValue(
        CommonFunc::DoubleRound((f * m_maxLength - ui->doubleSpinBox_W->value()) * 0.5, 2, true));
    readAreaInches(x, y, w, h, angle);
    sendPreviewArea(x, y, w, h, angle);
}

void SettingForm::currentItemChangeBorder()
{
    judgePreviewAutoPreview();
}

void SettingForm::currentItemChangePostRotate()
{
    const int rotation = ui->comboBoxPostScanRotation->currentData().toInt();
    if (rotation >= 0 && rotation <= 3) {
        ui->labelUnicode->hide();
        ui->listWidgetUnicode->hide();
    } else if (rotation >= 4 && rotation <= 7) {
        ui->labelUnicode->show();
        ui->listWidgetUnicode->show();
    }
}

void SettingForm::clickedListWidgetUnicode(const QModelIndex &index)
{
    // At least one character set stays selected.
    if (ui->listWidgetUnicode->selectedItems().isEmpty() && index.isValid())
        if (QListWidgetItem *item = ui->listWidgetUnicode->item(index.row()))
            item->setSelected(true);
}

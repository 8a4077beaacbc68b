// Adjust page: brightness and contrast, colour balance, sharpening, boldness
// and smoothing for gray and colour; conversion quality, filters, inversion,
// text enhancement and thinning for black-and-white.

#include "settingform.h"

#include "settingformhelpers.h"
#include "ui_settingform.h"

using settingform::currentValue;
using settingform::fillCombo;
using settingform::selectData;
using settingform::storedFlag;

void SettingForm::loadAdjustPageWording()
{
    ui->tabWidgetGeneral->setTabText(2, tr("调整"));
    ui->groupBoxBriAndCon->setTitle(tr("亮度和对比度(&B)"));
    ui->labelBrightness->setText(tr("亮度："));
    ui->labelContrast->setText(tr("对比度 (&C)："));
    ui->labelContrast->setBuddy(ui->horizontalSliderContrast);
    ui->labelBriMin->setText(QStringLiteral("-50"));
    ui->labelBriMax->setText(QStringLiteral("50"));
    ui->groupBoxColBal->setTitle(tr("色彩平衡(&R)"));
    ui->labelRed->setText(tr("红色："));
    ui->labelGreen->setText(tr("绿色："));
    ui->labelBlue->setText(tr("蓝色："));
    ui->labelColAggressiveness->setText(tr("主动性："));
    ui->labelColMax->setText(QStringLiteral("50"));
    ui->labelColMin->setText(QStringLiteral("-50"));
    ui->labelColAggMin->setText(QStringLiteral("-2"));
    ui->labelColAggMax->setText(QStringLiteral("2"));
    ui->groupBoxSharpen->setTitle(tr("锐化(&N)"));
    ui->groupBoxForBol->setTitle(tr("前景明显度(&F)"));
    ui->labelForBol->setText(tr("主动性："));
    ui->labelForBolMax->setText(QStringLiteral("10"));
    ui->labelForBolMin->setText(QStringLiteral("-10"));
    ui->groupBoxBackSmo->setTitle(tr("背景平滑(&M)："));
    ui->labelBackSmo->setText(tr("主动性："));
    ui->labelBackSmoMax->setText(QStringLiteral("10"));
    ui->labelBackSmoMin->setText(QStringLiteral("-10"));
    ui->labelConversionQuality->setText(tr("转换质量(&N)："));
    ui->labelConversionQuality->setBuddy(ui->comboBoxConversionQuality);
    ui->labelConversionQualityContrast->setText(tr("对比度(&C):"));
    ui->labelConversionQualityContrast->setBuddy(ui->horizontalSliderConQuaCon);
    ui->labelContrastMax->setText(QStringLiteral("50"));
    ui->labelContrastMin->setText(QStringLiteral("-50"));
    ui->labelConversionQualityThreshold->setText(tr("阈值(&T):"));
    ui->labelConversionQualityThreshold->setBuddy(ui->horizontalSliderConQuaThre);
    ui->labelThresholdMax->setText(QStringLiteral("255"));
    ui->labelThresholdMin->setText(QStringLiteral("0"));
    ui->checkBoxEnhance->setText(tr("文本增强(&X)"));
    ui->labelthinorthick->setText(tr("变细/变粗(&G):"));
    ui->labelthinorthick->setBuddy(ui->spinBoxController);
    ui->groupBoxFilters->setTitle(tr("滤镜(&F):"));
    ui->labelFiltersNoise->setText(tr("噪音："));
    ui->labelFiltersImage->setText(tr("影像："));
    ui->checkBoxInvertColors->setText(tr("颜色反相(&I)"));
    ui->spinBoxController->setRange(-4, 4);
    ui->spinBoxController->setSingleStep(1);
}

void SettingForm::createAdjustBriAndCon()
{
    fillCombo(ui->comboBoxBriAndCon, {{tr("(无)"), 0}, {tr("自动"), 2}, {tr("手动"), 1}});
}

void SettingForm::createAdjustColor()
{
    fillCombo(ui->comboBoxColBal,
              {{tr("(无)"), 0}, {tr("自动"), 2}, {tr("自动 - 高级"), 3}, {tr("手动"), 1}});
}

void SettingForm::createAdjustSharpen()
{
    fillCombo(ui->comboBoxSharpen,
              {{tr("(无)"), 0}, {tr("正常"), 1}, {tr("高"), 2}, {tr("夸大"), 3}});
}

void SettingForm::createAdjustForBol()
{
    fillCombo(ui->comboBoxForBol, {{tr("(无)"), 0}, {tr("自动"), 2}, {tr("自动 - 高级"), 1}});
}

void SettingForm::createAdjustBackSmo()
{
    fillCombo(ui->comboBoxBackSmo, {{tr("(无)"), 0}, {tr("自动"), 2}, {tr("自动 - 高级"), 1}});
}

void SettingForm::createAdjustConversionQuality()
{
    ui->comboBoxConversionQuality->addItem(tr("最佳(iThresholding)"), 3);
    ui->comboBoxConversionQuality->addItem(tr("正常(ATP)"), 1);
    ui->comboBoxConversionQuality->addItem(tr("草稿(固定)"), 2);
    ui->labelConversionQualityContrast->setBuddy(ui->horizontalSliderConQuaCon);
    ui->labelConversionQualityThreshold->setBuddy(ui->horizontalSliderConQuaThre);
}

void SettingForm::createAdjustFilters()
{
    fillCombo(ui->comboBoxFiltersNoise,
              {{tr("(无)"), 0}, {tr("独立像素"), 1}, {tr("依多数原则"), 2}});
    fillCombo(ui->comboBoxFiltersImage, {{tr("(无)"), 0}, {tr("半色调移除"), 1}});
}

void SettingForm::createAdjustInvertColors()
{
    ui->checkBoxInvertColors->setChecked(false);
}

// ---------------------------------------------------------------- connections

void SettingForm::connectAdjustPageMessages()
{
    connectAdjustPageChangeValueControlMessages();
    const auto spinChanged = QOverload<int>::of(&QSpinBox::valueChanged);
    const std::pair<CustomSlider *, QSpinBox *> pairs[] = {
        {ui->horizontalSliderBrightness, ui->spinBoxBri},
        {ui->horizontalSliderContrast, ui->spinBoxCon},
        {ui->horizontalSliderRed, ui->spinBoxRed},
        {ui->horizontalSliderGreen, ui->spinBoxGreen},
        {ui->horizontalSliderBlue, ui->spinBoxBlue},
        {ui->horizontalSliderColAggressiveness, ui->spinBoxColAggressiveness},
        {ui->horizontalSliderForBol, ui->spinBoxForBol},
        {ui->horizontalSliderBackSmo, ui->spinBoxBackSmo},
        {ui->horizontalSliderConQuaCon, ui->spinBoxContrast},
        {ui->horizontalSliderConQuaThre, ui->spinBoxThreshold},
    };
    for (const auto &p : pairs) {
        connect(p.first, &QSlider::valueChanged, p.second, &QSpinBox::setValue);
        connect(p.second, spinChanged, p.first, &QSlider::setValue);
        connect(p.first, &CustomSlider::sliderValueChange, this,
                &SettingForm::valueChangeAdjustPage);
        connect(p.second, &QSpinBox::editingFinished, this, &SettingForm::valueChangeAdjustPage);
        connect(p.second, spinChanged, this, &SettingForm::judgeChangeValue);
    }
    // One contrast shown in two places: both sliders always agree.
    connect(ui->horizontalSliderContrast, &QSlider::valueChanged, ui->horizontalSliderConQuaCon,
            &QSlider::setValue);
    connect(ui->horizontalSliderConQuaCon, &QSlider::valueChanged, ui->horizontalSliderContrast,
            &QSlider::setValue);
}

void SettingForm::connectAdjustPageChangeValueControlMessages()
{
    if (!m_adjustLinks.isEmpty())
        return;
    const auto changed = QOverload<int>::of(&QComboBox::currentIndexChanged);
    m_adjustLinks
        << connect(ui->comboBoxBriAndCon, changed, this, &SettingForm::currentItemChangeBriAndCon)
        << connect(ui->comboBoxColBal, changed, this, &SettingForm::currentItemChangeColorBalance)
        << connect(ui->comboBoxSharpen, changed, this, &SettingForm::currentItemChangeSharpen)
        << connect(ui->comboBoxForBol, changed, this, &SettingForm::currentItemChangeForBol)
        << connect(ui->comboBoxBackSmo, changed, this, &SettingForm::currentItemChangeBackSmo)
        << connect(ui->comboBoxConversionQuality, changed, this,
                   &SettingForm::currentItemChangeConversionQuality)
        << connect(ui->comboBoxFiltersNoise, changed, this,
                   &SettingForm::currentItemChangeFilterNoise)
        << connect(ui->comboBoxFiltersImage, changed, this,
                   &SettingForm::currentItemChangeFilterImage)
        << connect(ui->checkBoxInvertColors, &QCheckBox::stateChanged, this,
                   &SettingForm::stateChangeInvertColors)
        << connect(ui->checkBoxEnhance, &QCheckBox::stateChanged, this,
                   &SettingForm::judgePreviewAutoPreview)
        << connect(ui->spinBoxController, &QSpinBox::editingFinished, this,
                   &SettingForm::valueChangeAdjustPage)
        << connect(ui->spinBoxController, QOverload<int>::of(&QSpinBox::valueChanged), this,
                   &SettingForm::judgeChangeValue);
}

void SettingForm::disconnectAdjustPageChangeValueControlMessages()
{
    for (const QMetaObject::Connection &c : qAsConst(m_adjustLinks))
        disconnect(c);
    m_adjustLinks.clear();
}

// ---------------------------------------------------------------- load, save, compare

bool SettingForm::updateAdjustVariableToUIControl(int index)
{
    const tagSCAN_SIDE_SETTING &b = m_settingBlocks[index];
    selectData(ui->comboBoxBriAndCon, int(b.brightnessContrastMode));
    selectData(ui->comboBoxColBal, int(b.colorBalanceMode));
    ui->horizontalSliderBrightness->setValue(b.brightness);
    ui->horizontalSliderContrast->setValue(b.contrast);
    ui->horizontalSliderColAggressiveness->setValue(b.colorAggressiveness);
    ui->horizontalSliderRed->setValue(b.red);
    ui->horizontalSliderGreen->setValue(b.green);
    ui->horizontalSliderBlue->setValue(b.blue);
    selectData(ui->comboBoxSharpen, int(b.sharpen));
    selectData(ui->comboBoxForBol, int(b.foregroundBoldnessMode));
    ui->horizontalSliderForBol->setValue(b.foregroundBoldness);
    selectData(ui->comboBoxBackSmo, int(b.backgroundSmoothingMode));
    ui->horizontalSliderBackSmo->setValue(b.backgroundSmoothing);
    selectData(ui->comboBoxConversionQuality, int(b.conversionQuality));
    ui->horizontalSliderConQuaCon->setValue(b.conversionContrast);
    ui->horizontalSliderConQuaThre->setValue(b.conversionThreshold);
    selectData(ui->comboBoxFiltersNoise, int(b.filterNoise));
    selectData(ui->comboBoxFiltersImage, int(b.filterImage));
    ui->checkBoxInvertColors->setChecked(storedFlag(b.invertColors));
    ui->checkBoxEnhance->setChecked(storedFlag(b.enhance));
    ui->spinBoxController->setValue(b.controller);
    return true;
}

bool SettingForm::updateAdjustUIControlToVariable(int index)
{
    tagSCAN_SIDE_SETTING &b = m_settingBlocks[index];
    b.brightnessContrastMode =
        ColorBrightnessModeFlag(currentValue(ui->comboBoxBriAndCon, b.brightnessContrastMode));
    b.colorBalanceMode = ColorBalanceModeFlag(currentValue(ui->comboBoxColBal, b.colorBalanceMode));
    b.brightness = ui->spinBoxBri->value();
    b.contrast = ui->spinBoxCon->value();
    b.colorAggressiveness = ui->spinBoxColAggressiveness->value();
    b.red = ui->spinBoxRed->value();
    b.green = ui->spinBoxGreen->value();
    b.blue = ui->spinBoxBlue->value();
    b.sharpen = ColorSharpenFlag(currentValue(ui->comboBoxSharpen, b.sharpen));
    b.foregroundBoldnessMode =
        ForegroundBoldnessModeFlag(currentValue(ui->comboBoxForBol, b.foregroundBoldnessMode));
    b.foregroundBoldness = ui->horizontalSliderForBol->value();
    b.backgroundSmoothingMode =
        BackgroundAdjustModeFlag(currentValue(ui->comboBoxBackSmo, b.backgroundSmoothingMode));
    b.backgroundSmoothing = ui->horizontalSliderBackSmo->value();
    b.conversionQuality =
        BinarizationModeFlag(currentValue(ui->comboBoxConversionQuality, b.conversionQuality));
    b.conversionContrast = ui->horizontalSliderConQuaCon->value();
    b.conversionThreshold = ui->horizontalSliderConQuaThre->value();
    b.enhance = ui->checkBoxEnhance->isChecked();
    b.controller = ui->spinBoxController->value();
    b.filterNoise = FilterNoiseFlag(currentValue(ui->comboBoxFiltersNoise, b.filterNoise));
    b.filterImage = FilterImageFlag(currentValue(ui->comboBoxFiltersImage, b.filterImage));
    b.invertColors = ui->checkBoxInvertColors->isChecked();
    return true;
}

bool SettingForm::compareAdjustVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    for (int i = 0; i < 4; ++i) {
        const tagSCAN_SIDE_SETTING &a = m_settingBlocks[i];
        const tagSCAN_SIDE_SETTING &p = profile.sideSettings[i];
        if (a.brightnessContrastMode != p.brightnessContrastMode ||
            a.colorBalanceMode != p.colorBalanceMode || a.brightness != p.brightness ||
            a.contrast != p.contrast || a.colorAggressiveness != p.colorAggressiveness ||
            a.red != p.red || a.green != p.green || a.blue != p.blue || a.sharpen != p.sharpen ||
            a.foregroundBoldnessMode != p.foregroundBoldnessMode ||
            a.foregroundBoldness != p.foregroundBoldness ||
            a.backgroundSmoothingMode != p.backgroundSmoothingMode ||
            a.backgroundSmoothing != p.backgroundSmoothing ||
            a.conversionQuality != p.conversionQuality ||
            a.conversionContrast != p.conversionContrast ||
            a.conversionThreshold != p.conversionThreshold ||
            storedFlag(a.enhance) != storedFlag(p.enhance) || a.controller != p.controller ||
            a.filterNoise != p.filterNoise || a.filterImage != p.filterImage ||
            storedFlag(a.invertColors) != storedFlag(p.invertColors))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- handlers

namespace {
void showAll(std::initializer_list<QWidget *> widgets, bool shown)
{
    for (QWidget *w : widgets)
        w->setVisible(shown);
}
} // namespace

void SettingForm::currentItemChangeBriAndCon(int)
{
    const bool manual = ui->comboBoxBriAndCon->currentData().toInt() == 1;
    showAll({ui->labelBrightness, ui->labelContrast, ui->labelBriMin, ui->labelBriMax,
             ui->horizontalSliderBrightness, ui->horizontalSliderContrast, ui->spinBoxBri,
             ui->spinBoxCon},
            manual);
    if (manual) {
        ui->horizontalSliderBrightness->setTracking(false);
        ui->horizontalSliderContrast->setTracking(false);
    }
    judgePreviewAutoPreview();
}

void SettingForm::currentItemChangeColorBalance(int)
{
    const int mode = ui->comboBoxColBal->currentData().toInt();
    const bool manual = mode == 1;
    const bool advanced = mode == 3;
    showAll({ui->labelRed, ui->labelGreen, ui->labelBlue, ui->labelColMax, ui->labelColMin,
             ui->horizontalSliderRed, ui->horizontalSliderGreen, ui->horizontalSliderBlue,
             ui->spinBoxRed, ui->spinBoxGreen, ui->spinBoxBlue},
            manual);
    showAll({ui->labelColAggressiveness, ui->labelColAggMin, ui->labelColAggMax,
             ui->horizontalSliderColAggressiveness, ui->spinBoxColAggressiveness},
            advanced);
    if (manual) {
        ui->horizontalSliderRed->setTracking(false);
        ui->horizontalSliderGreen->setTracking(false);
        ui->horizontalSliderBlue->setTracking(false);
    }
    if (advanced)
        ui->horizontalSliderColAggressiveness->setTracking(false);
    currentItemChangeColorsfiltering(0);
    judgePreviewAutoPreview();
}

void SettingForm::currentItemChangeForBol(int)
{
    const bool advanced = ui->comboBoxForBol->currentData().toInt() == 1;
    showAll({ui->labelForBol, ui->spinBoxForBol, ui->horizontalSliderForBol, ui->labelForBolMin,
             ui->labelForBolMax},
            advanced);
    if (advanced)
        ui->horizontalSliderForBol->setTracking(false);
    judgePreviewAutoPreview();
}

void SettingForm::currentItemChangeBackSmo(int)
{
    const bool advanced = ui->comboBoxBackSmo->currentData().toInt() == 1;
    showAll({ui->labelBackSmo, ui->spinBoxBackSmo, ui->horizontalSliderBackSmo, ui->labelBackSmoMin,
             ui->labelBackSmoMax},
            advanced);
    if (advanced)
        ui->horizontalSliderBackSmo->setTracking(false);
    judgePreviewAutoPreview();
}

void SettingForm::currentItemChangeConversionQuality(int)
{
    const int q = ui->comboBoxConversionQuality->currentData().toInt();
    const bool contrast = q == 3 || q == 1;
    const bool threshold = q == 1 || q == 2;
    if (q == 1 || q == 2 || q == 3) {
        for (QWidget *w : {static_cast<QWidget *>(ui->labelConversionQualityContrast),
                           static_cast<QWidget *>(ui->labelContrastMin),
                           static_cast<QWidget *>(ui->labelContrastMax),
                           static_cast<QWidget *>(ui->horizontalSliderConQuaCon),
                           static_cast<QWidget *>(ui->spinBoxContrast)})
            w->setEnabled(contrast);
        for (QWidget *w : {static_cast<QWidget *>(ui->labelConversionQualityThreshold),
                           static_cast<QWidget *>(ui->labelThresholdMin),
                           static_cast<QWidget *>(ui->labelThresholdMax),
                           static_cast<QWidget *>(ui->horizontalSliderConQuaThre),
                           static_cast<QWidget *>(ui->spinBoxThreshold)})
            w->setEnabled(threshold);
        if (contrast)
            ui->horizontalSliderConQuaCon->setTracking(false);
        if (threshold)
            ui->horizontalSliderConQuaThre->setTracking(false);
    }
    judgePreviewAutoPreview();
}

void SettingForm::currentItemChangeSharpen()
{
    judgePreviewAutoPreview();
}

void SettingForm::currentItemChangeFilterNoise()
{
    judgePreviewAutoPreview();
}

void SettingForm::currentItemChangeFilterImage()
{
    judgePreviewAutoPreview();
}

void SettingForm::stateChangeInvertColors()
{
    judgePreviewAutoPreview();
}

// Enhance page: hole filling, barcode image enhancement, edge fill with its
// margins, streak filter and colour dropout.

#include "settingform.h"

#include "settingformhelpers.h"
#include "ui_settingform.h"

#include <cmath>

using settingform::currentValue;
using settingform::fillCombo;
using settingform::selectData;
using settingform::storedFlag;

void SettingForm::loadEnhancePageWording()
{
    ui->tabWidgetGeneral->setTabText(3, tr("增强"));
    ui->groupBoxHoldFill->setTitle(tr("填充洞孔"));
    ui->checkBoxHoldFillOn->setText(tr("开启 (&F)"));
    ui->groupBoxImageEnhance->setTitle(tr("条形码图像增强(&B)"));
    ui->checkBoxOnOff->setText(tr("开启"));
    ui->groupBoxImageEdgeFill->setTitle(tr("影像边缘填充 (&I)"));
    ui->labelImageEdgeFillColor->setText(tr("颜色："));
    ui->checkBoxAllSideMatch->setText(tr("全部边匹配"));
    ui->labelAllCm->setText(tr("厘米"));
    ui->labelAsmCm->setText(tr("厘米"));
    ui->labelAsmTop->setText(tr("顶部："));
    ui->labelAsmLeftRight->setText(tr("左/右："));
    ui->labelAsmBottom->setText(tr("底部："));
    ui->groupBoxStreakFilter->setTitle(tr("条纹过滤器"));
    ui->checkBoxStreakFilterOn->setText(tr("开启 (&R)"));
    ui->labelStreakFilterAggressiveness->setText(tr("主动性："));
    ui->groupBoxColorDropout->setTitle(tr("颜色滤除 (&C)"));
    ui->labelColorDropout->setText(tr("颜色："));
    ui->labelColorDropoutAggressiveness->setText(tr("主动性："));
    ui->spinBoxStreakFilterAggessiveness->setRange(-2, 2);
    ui->spinBoxColorDropoutAggressiveness->setRange(-10, 10);
    for (QDoubleSpinBox *s :
         {ui->doubleSpinBoxAll, ui->doubleSpinBoxAsmTop, ui->doubleSpinBoxAsmBottom,
          ui->doubleSpinBoxAsmLeft, ui->doubleSpinBoxAsmRight})
        s->setDecimals(2);
    ui->groupBoxthinorthick->setStyleSheet(QStringLiteral("QGroupBox{border:none}"));
    // The two colour lists start at one x: the caption columns of both groups
    // are as wide as the widest caption of either, hidden ones included, and
    // room to spare goes to the last columns.
    int captions = 0;
    for (QLabel *caption :
         {ui->labelImageEdgeFillColor, ui->labelAsmTop, ui->labelAsmLeftRight, ui->labelAsmBottom,
          ui->labelColorDropout, ui->labelColorDropoutAggressiveness})
        captions = qMax(captions, caption->sizeHint().width());
    for (QGridLayout *grid : {ui->gridLayoutImageEdgeFill, ui->gridLayoutColorDropout}) {
        grid->setColumnMinimumWidth(0, captions);
        grid->setColumnStretch(grid->columnCount() - 1, 1);
    }
}

void SettingForm::createHoleFill()
{
    ui->checkBoxHoldFillOn->setChecked(false);
}

void SettingForm::createImageEdgeFill()
{
    fillCombo(ui->comboBoxImageEdgeFillColor, {{tr("(无)"), 0},
                                               {tr("自动"), 3},
                                               {tr("自动 - 包括裂纹"), 4},
                                               {tr("白色"), 2},
                                               {tr("黑色"), 1}});
    ui->checkBoxAllSideMatch->setChecked(false);
}

void SettingForm::createStreakFilter()
{
    ui->checkBoxStreakFilterOn->setChecked(false);
    ui->labelStreakFilterAggressiveness->hide();
    ui->spinBoxStreakFilterAggessiveness->hide();
}

// "None" is 255 here; 0 is red. Colour scans offer only the predominant colour.
void SettingForm::createColorDropout(int colorMode)
{
    if (colorMode == 2)
        fillCombo(ui->comboBoxColorDropout, {{tr("(无)"), 255}, {tr("主要"), 128}});
    else
        fillCombo(ui->comboBoxColorDropout, {{tr("(无)"), 255},
                                             {tr("主要"), 128},
                                             {tr("多个"), 129},
                                             {tr("红色"), 0},
                                             {tr("绿色"), 1},
                                             {tr("蓝色"), 2},
                                             {tr("橙色"), 3},
                                             {tr("橙色和红色"), 4}});
}

// ---------------------------------------------------------------- connections

void SettingForm::connectDropoutHandler()
{
    if (!m_dropoutLink)
        m_dropoutLink =
            connect(ui->comboBoxColorDropout, QOverload<int>::of(&QComboBox::currentIndexChanged),
                    this, &SettingForm::currentItemChangeColorDropout);
}

void SettingForm::connectEnhancePageChangeValueControlMessages()
{
    const auto changed = QOverload<int>::of(&QComboBox::currentIndexChanged);
    if (m_enhanceLinks.isEmpty())
        m_enhanceLinks << connect(ui->comboBoxImageEdgeFillColor, changed, this,
                                  &SettingForm::currentItemChangeEdgeFill);
    connectDropoutHandler();
    if (m_enhanceLinks.size() == 1)
        m_enhanceLinks << connect(ui->comboBoxColorDropout, changed, this,
                                  &SettingForm::setspinBoxColorValue);
}

void SettingForm::disconnectEnhancePageChangeValueControlMessages()
{
    for (const QMetaObject::Connection &c : qAsConst(m_enhanceLinks))
        disconnect(c);
    m_enhanceLinks.clear();
    disconnect(m_dropoutLink);
}

void SettingForm::connectEnhancePageMessages()
{
    connectEnhancePageChangeValueControlMessages();
    const auto spinChanged = QOverload<int>::of(&QSpinBox::valueChanged);
    connect(ui->checkBoxAllSideMatch, &QCheckBox::stateChanged, this,
            &SettingForm::stateChangedAllSideMatch);
    connect(ui->checkBoxStreakFilterOn, &QCheckBox::stateChanged, this,
            &SettingForm::stateChangedStreakFilter);
    connect(ui->checkBoxHoldFillOn, &QCheckBox::stateChanged, this,
            &SettingForm::stateChangedFillHold);
    for (QSpinBox *s :
         {ui->spinBoxStreakFilterAggessiveness, ui->spinBoxColorDropoutAggressiveness}) {
        connect(s, spinChanged, this, &SettingForm::judgeChangeValue);
        connect(s, &QSpinBox::editingFinished, this, &SettingForm::valueChangeAdjustPage);
    }
    for (QDoubleSpinBox *s :
         {ui->doubleSpinBoxAll, ui->doubleSpinBoxAsmTop, ui->doubleSpinBoxAsmBottom,
          ui->doubleSpinBoxAsmLeft, ui->doubleSpinBoxAsmRight})
        connect(s, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &SettingForm::judgeChangeValue);
    connect(ui->doubleSpinBoxAll, &QDoubleSpinBox::editingFinished, this,
            &SettingForm::valueChangeAllSide);
    for (QDoubleSpinBox *s : {ui->doubleSpinBoxAsmTop, ui->doubleSpinBoxAsmBottom,
                              ui->doubleSpinBoxAsmLeft, ui->doubleSpinBoxAsmRight})
        connect(s, &QDoubleSpinBox::editingFinished, this, &SettingForm::valueChangeAsmSide);
}

// ---------------------------------------------------------------- load, save, compare

bool SettingForm::updateEnhanceVariableToUIControl(int index)
{
    const tagSCAN_SIDE_SETTING &b = m_settingBlocks[index];
    ui->checkBoxHoldFillOn->setChecked(storedFlag(b.holeFill));
    ui->checkBoxOnOff->setChecked(storedFlag(b.barcodeEnhancement));
    selectData(ui->comboBoxImageEdgeFillColor, int(b.edgeFillColor));
    ui->checkBoxAllSideMatch->setChecked(storedFlag(b.allSidesMatch));
    ui->doubleSpinBoxAll->setValue(toShown(b.edgeAll));
    ui->doubleSpinBoxAsmTop->setValue(toShown(b.edgeTop));
    ui->doubleSpinBoxAsmBottom->setValue(toShown(b.edgeBottom));
    ui->doubleSpinBoxAsmLeft->setValue(toShown(b.edgeLeft));
    ui->doubleSpinBoxAsmRight->setValue(toShown(b.edgeRight));
    ui->checkBoxStreakFilterOn->setChecked(storedFlag(b.streakFilter));
    ui->spinBoxStreakFilterAggessiveness->setValue(b.streakFilterAggressiveness);
    selectData(ui->comboBoxColorDropout, int(b.colorDropout));
    ui->spinBoxColorDropoutAggressiveness->setValue(b.colorDropoutAggressiveness);
    return true;
}

bool SettingForm::updateEnhanceUIControlToVariable(int index)
{
    tagSCAN_SIDE_SETTING &b = m_settingBlocks[index];
    b.holeFill = ui->checkBoxHoldFillOn->isChecked();
    b.barcodeEnhancement = ui->checkBoxOnOff->isChecked();
    b.edgeFillColor = EdgeFillFlag(currentValue(ui->comboBoxImageEdgeFillColor, b.edgeFillColor));
    b.allSidesMatch = ui->checkBoxAllSideMatch->isChecked();
    b.edgeAll = toInches(ui->doubleSpinBoxAll->value());
    b.edgeTop = toInches(ui->doubleSpinBoxAsmTop->value());
    b.edgeBottom = toInches(ui->doubleSpinBoxAsmBottom->value());
    b.edgeLeft = toInches(ui->doubleSpinBoxAsmLeft->value());
    b.edgeRight = toInches(ui->doubleSpinBoxAsmRight->value());
    b.streakFilter = ui->checkBoxStreakFilterOn->isChecked();
    b.streakFilterAggressiveness = ui->spinBoxStreakFilterAggessiveness->value();
    b.colorDropout = EcdoEnumFlag(currentValue(ui->comboBoxColorDropout, b.colorDropout));
    b.colorDropoutAggressiveness = ui->spinBoxColorDropoutAggressiveness->value();
    return true;
}

bool SettingForm::compareEnhanceVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    for (int i = 0; i < 4; ++i) {
        const tagSCAN_SIDE_SETTING &a = m_settingBlocks[i];
        const tagSCAN_SIDE_SETTING &p = profile.sideSettings[i];
        if (storedFlag(a.holeFill) != storedFlag(p.holeFill) ||
            storedFlag(a.barcodeEnhancement) != storedFlag(p.barcodeEnhancement) ||
            a.edgeFillColor != p.edgeFillColor ||
            storedFlag(a.allSidesMatch) != storedFlag(p.allSidesMatch) || a.edgeAll != p.edgeAll ||
            a.edgeTop != p.edgeTop || a.edgeBottom != p.edgeBottom || a.edgeLeft != p.edgeLeft ||
            a.edgeRight != p.edgeRight ||
            storedFlag(a.streakFilter) != storedFlag(p.streakFilter) ||
            a.streakFilterAggressiveness != p.streakFilterAggressiveness ||
            a.colorDropout != p.colorDropout ||
            a.colorDropoutAggressiveness != p.colorDropoutAggressiveness)
            return false;
    }
    return true;
}

// ---------------------------------------------------------------- handlers

void SettingForm::currentItemChangeEdgeFill(int)
{
    const int fill = ui->comboBoxImageEdgeFillColor->currentData().toInt();
    const QList<QWidget *> sides = {ui->doubleSpinBoxAsmTop,   ui->doubleSpinBoxAsmLeft,
                                    ui->doubleSpinBoxAsmRight, ui->doubleSpinBoxAsmBottom,
                                    ui->labelAsmTop,           ui->labelAsmLeftRight,
                                    ui->labelAsmBottom,        ui->labelAsmCm};
    const QList<QWidget *> all = {ui->doubleSpinBoxAll, ui->labelAllCm};
    if (fill == 1 || fill == 2) {
        ui->checkBoxAllSideMatch->show();
        const bool match = ui->checkBoxAllSideMatch->isChecked();
        for (QWidget *w : all)
            w->setVisible(match);
        for (QWidget *w : sides)
            w->setVisible(!match);
    } else if (fill == 3) {
        // Automatic fill works on the detected whole document.
        ui->comboBoxDocument->setCurrentIndex(0);
        ui->comboBoxImage->setCurrentIndex(0);
    } else if (fill == 0 || fill == 4) {
        ui->checkBoxAllSideMatch->hide();
        ui->checkBoxAllSideMatch->setEnabled(true);
        for (QWidget *w : all)
            w->hide();
        for (QWidget *w : sides)
            w->hide();
    }
    judgePreviewAutoPreview();
}

void SettingForm::stateChangedAllSideMatch(int)
{
    const int fill = ui->comboBoxImageEdgeFillColor->currentData().toInt();
    if (fill == 1 || fill == 2) {
        const bool match = ui->checkBoxAllSideMatch->isChecked();
        ui->doubleSpinBoxAll->setVisible(match);
        ui->labelAllCm->setVisible(match);
        for (QWidget *w :
             {static_cast<QWidget *>(ui->doubleSpinBoxAsmTop),
              static_cast<QWidget *>(ui->doubleSpinBoxAsmLeft),
              static_cast<QWidget *>(ui->doubleSpinBoxAsmRight),
              static_cast<QWidget *>(ui->doubleSpinBoxAsmBottom),
              static_cast<QWidget *>(ui->labelAsmTop),
              static_cast<QWidget *>(ui->labelAsmLeftRight),
              static_cast<QWidget *>(ui->labelAsmBottom), static_cast<QWidget *>(ui->labelAsmCm)})
            w->setVisible(!match);
        if (match)
            ui->doubleSpinBoxAll->setValue(ui->doubleSpinBoxAsmTop->value());
    }
    judgePreviewAutoPreview();
}

void SettingForm::stateChangedStreakFilter(int)
{
    const bool on = ui->checkBoxStreakFilterOn->isChecked();
    ui->labelStreakFilterAggressiveness->setVisible(on);
    ui->spinBoxStreakFilterAggessiveness->setVisible(on);
    judgePreviewAutoPreview();
}

void SettingForm::stateChangedFillHold()
{
    judgePreviewAutoPreview();
}

void SettingForm::currentItemChangeColorsfiltering(int)
{
    const int mode = ui->comboBoxColorMode->currentData().toInt();
    if (mode == 2) {
        ui->labelColorDropoutAggressiveness->hide();
        ui->spinBoxColorDropoutAggressiveness->hide();
        if (ui->comboBoxColBal->currentData().toInt() != 0) {
            ui->groupBoxColorDropout->setEnabled(false);
            ui->comboBoxColorDropout->setCurrentIndex(0);
        } else {
            ui->groupBoxColorDropout->setEnabled(true);
        }
    } else {
        ui->groupBoxColorDropout->setEnabled(true);
        const int dropout = ui->comboBoxColorDropout->currentData().toInt();
        const bool aggressive = dropout == 128 || dropout == 129;
        ui->labelColorDropoutAggressiveness->setVisible(aggressive);
        ui->spinBoxColorDropoutAggressiveness->setVisible(aggressive);
    }
}

void SettingForm::currentItemChangeColorDropout(int)
{
    const int dropout = ui->comboBoxColorDropout->currentData().toInt();
    const bool colour = ui->comboBoxColorMode->currentData().toInt() == 2;
    const bool aggressive = (dropout == 128 || dropout == 129) && !colour;
    ui->labelColorDropoutAggressiveness->setVisible(aggressive);
    ui->spinBoxColorDropoutAggressiveness->setVisible(aggressive);
    if (m_previewMode > 0)
        judgePreviewWarning();
}

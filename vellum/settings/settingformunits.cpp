// Lengths: the unit they are shown in, their conversion when the unit or the
// pixel resolution changes, and the limits of the scan area, the edge-fill
// margins and the barcode search area. Profiles store inches.

#include "settingform.h"

#include "commonfunc.h"
#include "oxadvancedlengths.h"
#include "pmessage.h"
#include "settingformhelpers.h"
#include "ui_settingform.h"

#include <cmath>

namespace {
constexpr double kMaxHeight = 17.0; // inches
// Lengths beyond this many inches are not lengths of a page; loading one
// keeps it finite and far inside what a 32-bit rounding can hold.
constexpr double kLengthBound = 10000.0;
} // namespace

// An unknown unit is shown as inches and a resolution of 0 or less counts as
// 200 dpi (the rules the setting-tool panel shares), so no length ever
// divides by 0.
double SettingForm::getSizeTimes() const
{
    return OxAdvancedLengths::unitFactor(int(m_sizeUnit), m_sizeFactor);
}

QString SettingForm::unitCaption(int unit)
{
    switch (unit) {
    case 0:
        return tr("厘米");
    case 2:
        return tr("像素");
    default:
        return tr("英寸");
    }
}

void SettingForm::setUnitCaptions(const QString &caption)
{
    for (QLabel *l : {ui->labelgrade2, ui->labelgrade4, ui->labelAllCm, ui->labelAsmCm,
                      ui->labelSearchGrade2, ui->labelSearchGrade4})
        l->setText(caption);
}

// The thirteen length fields in the order of the profile's offsets.
#define LENGTH_FIELDS                                                                              \
    {                                                                                              \
        ui->doubleSpinBox_x, ui->doubleSpinBox_y, ui->doubleSpinBox_W, ui->doubleSpinBox_H,        \
            ui->doubleSpinBoxAll, ui->doubleSpinBoxAsmTop, ui->doubleSpinBoxAsmBottom,             \
            ui->doubleSpinBoxAsmLeft, ui->doubleSpinBoxAsmRight, ui->doubleSpinBoxSearchGrade1,    \
            ui->doubleSpinBoxSearchGrade2, ui->doubleSpinBoxSearchGrade3,                          \
            ui->doubleSpinBoxSearchGrade4                                                          \
    }

void SettingForm::changedDoubleSpinboxSingleStep(double step)
{
    for (QDoubleSpinBox *s : LENGTH_FIELDS)
        s->setSingleStep(step);
}

void SettingForm::changeUnitSize(const double shown[13])
{
    int i = 0;
    for (QDoubleSpinBox *s : LENGTH_FIELDS) {
        const double v = shown[i++];
        s->setValue(std::isfinite(v) ? v : 0.0);
    }
}

void SettingForm::readShownLengthsAsInches(double inches[13], double factor) const
{
    int i = 0;
    for (QDoubleSpinBox *s : LENGTH_FIELDS)
        inches[i++] = CommonFunc::DoubleRound(s->value() / factor, 2, true);
}

void SettingForm::writeLengthsToAllBlocks(const double inches[13])
{
    for (tagSCAN_SIDE_SETTING &b : m_settingBlocks) {
        b.x = inches[0];
        b.y = inches[1];
        b.width = inches[2];
        b.height = inches[3];
        b.edgeAll = inches[4];
        b.edgeTop = inches[5];
        b.edgeBottom = inches[6];
        b.edgeLeft = inches[7];
        b.edgeRight = inches[8];
        for (int k = 0; k < 4; ++k)
            b.barcodeArea[k] = inches[9 + k];
    }
}

double SettingForm::toInches(double shown) const
{
    if (!std::isfinite(shown))
        return 0.0;
    return CommonFunc::DoubleRound(shown / getSizeTimes(), 2, true);
}

double SettingForm::toShown(double inches) const
{
    if (!std::isfinite(inches))
        return 0.0;
    return qBound(-kLengthBound, inches, kLengthBound) * getSizeTimes();
}

void SettingForm::readAreaInches(double &x, double &y, double &w, double &h, double &angle) const
{
    x = toInches(ui->doubleSpinBox_x->value());
    y = toInches(ui->doubleSpinBox_y->value());
    w = toInches(ui->doubleSpinBox_W->value());
    h = toInches(ui->doubleSpinBox_H->value());
    angle = ui->doubleSpinBoxAngle->value();
}

void SettingForm::sendPreviewArea(double x, double y, double w, double h, double angle)
{
    emit m_hub->settingToolPreviewSize(x, y, w, h, angle);
}

// ---------------------------------------------------------------- unit change

void SettingForm::changedImageSizeUnit(ImageSizeUnitFlag unit)
{
    double inches[13];
    readShownLengthsAsInches(inches, getSizeTimes());
    writeLengthsToAllBlocks(inches);
    const int u = int(unit);
    if (u >= 0 && u <= 2) {
        m_sizeUnit = unit;
        setUnitCaptions(unitCaption(u));
        const double f = getSizeTimes();
        changedDoubleSpinboxSingleStep(OxAdvancedLengths::unitStep(u, m_sizeFactor));
        double shown[13];
        for (int i = 0; i < 13; ++i)
            shown[i] = inches[i] * f;
        changeUnitSize(shown);
    }
    controlEdited();
}

void SettingForm::changePreviewSize(double x, double y, double width, double height)
{
    ui->doubleSpinBox_x->setValue(toShown(x));
    ui->doubleSpinBox_y->setValue(toShown(y));
    ui->doubleSpinBox_W->setValue(toShown(width));
    ui->doubleSpinBox_H->setValue(toShown(height));
    controlEdited();
}

// ---------------------------------------------------------------- scan area

void SettingForm::valueChangePreviewSizeX()
{
    const bool linked = disconnect(m_predefinedLink);
    const double f = getSizeTimes();
    const double limit = m_maxLength * f - ui->doubleSpinBox_W->value();
    if (ui->doubleSpinBox_x->value() > limit)
        ui->doubleSpinBox_x->setValue(limit);
    valueChangePreviewSize();
    if (linked)
        connectPredefinedHandler();
}

void SettingForm::valueChangePreviewSizeY()
{
    const double f = getSizeTimes();
    const double limit = kMaxHeight * f - ui->doubleSpinBox_H->value();
    if (ui->doubleSpinBox_y->value() > limit)
        ui->doubleSpinBox_y->setValue(limit);
    valueChangePreviewSize();
}

void SettingForm::valueChangePreviewSizeW()
{
    const double f = getSizeTimes();
    const double max = m_maxLength * f - ui->doubleSpinBox_x->value();
    const double w = ui->doubleSpinBox_W->value();
    if (w > max)
        ui->doubleSpinBox_W->setValue(max);
    else if (w < f)
        ui->doubleSpinBox_W->setValue(f);
    valueChangePreviewSize();
}

void SettingForm::valueChangePreviewSizeH()
{
    const double f = getSizeTimes();
    const double max = kMaxHeight * f - ui->doubleSpinBox_y->value();
    const double h = ui->doubleSpinBox_H->value();
    if (h > max)
        ui->doubleSpinBox_H->setValue(max);
    else if (h < f)
        ui->doubleSpinBox_H->setValue(f);
    valueChangePreviewSize();
    // The device page adopts this height: send the height the form kept, not
    // the one it just refused. Shown units, as the device page expects.
    emit m_hub->currentImageHeightChange(ui->doubleSpinBox_H->value());
}

void SettingForm::valueChangePreviewSize()
{
    double x, y, w, h, angle;
    readAreaInches(x, y, w, h, angle);
    int index = 0;
    if (y == 0.0) {
        for (int i = 1; i < ui->comboBoxPredefinedSizes->count(); ++i) {
            const int value = ui->comboBoxPredefinedSizes->itemData(i).toInt();
            if (value < 2 || value > 24)
                continue;
            const settingform::PresetSize &p = settingform::kPresets[value - 2];
            if (p.width == w && p.height == h) {
                index = value - 1;
                break;
            }
        }
    }
    ui->comboBoxPredefinedSizes->setCurrentIndex(index);
    emit m_hub->settingToolPreviewSize(x, y, w, h, angle);
}

// ---------------------------------------------------------------- edge-fill margins

void SettingForm::valueChangeAllSide()
{
    const double f = getSizeTimes();
    if (ui->doubleSpinBoxAll->value() > kMaxHeight * f)
        ui->doubleSpinBoxAll->setValue(kMaxHeight * f);
    const double all = ui->doubleSpinBoxAll->value();
    ui->doubleSpinBoxAsmTop->setValue(all);
    ui->doubleSpinBoxAsmBottom->setValue(all);
    if (all <= m_maxLength * f) {
        ui->doubleSpinBoxAsmLeft->setValue(all);
        ui->doubleSpinBoxAsmRight->setValue(all);
    }
    if (m_adjustChanged)
        judgePreviewAutoPreview();
}

void SettingForm::valueChangeAsmSide()
{
    const double f = getSizeTimes();
    const double width = m_maxLength * f;
    const double height = kMaxHeight * f;
    if (ui->doubleSpinBoxAsmLeft->value() > width)
        ui->doubleSpinBoxAsmLeft->setValue(width);
    if (ui->doubleSpinBoxAsmTop->value() > height)
        ui->doubleSpinBoxAsmTop->setValue(height);
    if (ui->doubleSpinBoxAsmRight->value() > width)
        ui->doubleSpinBoxAsmRight->setValue(width);
    if (ui->doubleSpinBoxAsmBottom->value() > height)
        ui->doubleSpinBoxAsmBottom->setValue(height);
    if (m_adjustChanged)
        judgePreviewAutoPreview();
}

// ---------------------------------------------------------------- barcode search area

void SettingForm::currentItemChangeSearchArea(int)
{
    const bool part = ui->comboBoxSearchArea->currentData().toInt() == 1;
    for (QWidget *w : {static_cast<QWidget *>(ui->labelSearchOrigin),
                       static_cast<QWidget *>(ui->labelSearchSize),
                       static_cast<QWidget *>(ui->labelSearchGrade1),
                       static_cast<QWidget *>(ui->labelSearchGrade2),
                       static_cast<QWidget *>(ui->labelSearchGrade3),
                       static_cast<QWidget *>(ui->labelSearchGrade4),
                       static_cast<QWidget *>(ui->doubleSpinBoxSearchGrade1),
                       static_cast<QWidget *>(ui->doubleSpinBoxSearchGrade2),
                       static_cast<QWidget *>(ui->doubleSpinBoxSearchGrade3),
                       static_cast<QWidget *>(ui->doubleSpinBoxSearchGrade4)})
        w->setVisible(part);
}

void SettingForm::valueChangeSearchAreaSizeX()
{
    const double f = getSizeTimes();
    ui->doubleSpinBoxSearchGrade3->setValue(kMaxHeight * f -
                                            ui->doubleSpinBoxSearchGrade1->value());
    if (ui->doubleSpinBoxSearchGrade1->value() > kMaxHeight * f - f) {
        ui->doubleSpinBoxSearchGrade1->setValue(kMaxHeight * f - f);
        ui->doubleSpinBoxSearchGrade3->setValue(f);
    }
}

void SettingForm::valueChangeSearchAreaSizeY()
{
    const double f = getSizeTimes();
    ui->doubleSpinBoxSearchGrade4->setValue(kMaxHeight * f -
                                            ui->doubleSpinBoxSearchGrade2->value());
    if (ui->doubleSpinBoxSearchGrade2->value() > kMaxHeight * f - f) {
        ui->doubleSpinBoxSearchGrade2->setValue(kMaxHeight * f - f);
        ui->doubleSpinBoxSearchGrade4->setValue(f);
    }
}

void SettingForm::valueChangeSearchAreaSizeW()
{
    const double f = getSizeTimes();
    const double max = kMaxHeight * f - ui->doubleSpinBoxSearchGrade1->value();
    const double w = ui->doubleSpinBoxSearchGrade3->value();
    if (w > max)
        ui->doubleSpinBoxSearchGrade3->setValue(max);
    else if (w < f)
        ui->doubleSpinBoxSearchGrade3->setValue(f);
}

void SettingForm::valueChangeSearchAreaSizeH()
{
    const double f = getSizeTimes();
    const double max = kMaxHeight * f - ui->doubleSpinBoxSearchGrade2->value();
    const double h = ui->doubleSpinBoxSearchGrade4->value();
    if (h > max)
        ui->doubleSpinBoxSearchGrade4->setValue(max);
    else if (h < f)
        ui->doubleSpinBoxSearchGrade4->setValue(f);
}

#include "oxadvancedlengths.h"

#include "commonfunc.h"
#include "vellumglobal.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QUrl>

#include <cmath>

namespace OxAdvancedLengths {

int shownUnit(int unit)
{
    return unit >= 0 && unit <= 2 ? unit : 1;
}

double unitFactor(int unit, double pixelFactor)
{
    switch (shownUnit(unit)) {
    case 0:
        return 2.54;
    case 2:
        return pixelFactor > 0 ? pixelFactor : 200.0;
    default:
        return 1.0;
    }
}

double unitStep(int unit, double pixelFactor)
{
    switch (shownUnit(unit)) {
    case 0:
        return 0.0254;
    case 2:
        return unitFactor(2, pixelFactor) / 100.0;
    default:
        return 0.01;
    }
}

QString unitName(int unit)
{
    switch (shownUnit(unit)) {
    case 0:
        return QCoreApplication::translate("OxAdvancedSettingForm", "厘米");
    case 2:
        return QCoreApplication::translate("OxAdvancedSettingForm", "像素");
    default:
        return QCoreApplication::translate("OxAdvancedSettingForm", "英寸");
    }
}

double toInches(double shown, double factor)
{
    if (!std::isfinite(shown) || !(factor > 0))
        return 0.0;
    const double inches = shown / factor;
    // DoubleRound goes through a 32-bit integer: keep far-out values finite
    // and inside its range.
    if (std::fabs(inches) > 1.0e6)
        return inches > 0 ? 1.0e6 : -1.0e6;
    return CommonFunc::DoubleRound(inches, 2, true);
}

double pixelFactorFor(int dpi)
{
    return dpi > 0 ? double(dpi) : 200.0;
}

void boundLengths(QDoubleSpinBox *first, QDoubleSpinBox *second, double factor, double firstMax,
                  double secondMax, bool secondFollows)
{
    const double firstRead = first->value();
    const double secondRead = second->value();
    if (firstRead > firstMax * factor)
        first->setValue(firstMax * factor);
    else if (firstRead < 2.5 * factor)
        first->setValue(2.5 * factor);
    if (secondRead > secondMax * factor)
        second->setValue(secondMax * factor);
    else if (secondRead < 2.5 * factor)
        second->setValue(2.5 * factor);
    if (secondFollows && firstRead > secondRead)
        second->setValue(first->value());
}

void showLengthLabels(int lengthMode, int unit, QLabel *firstLabel, QDoubleSpinBox *second,
                      QLabel *secondLabel)
{
    if (lengthMode == 0) {
        second->setHidden(false);
        secondLabel->setHidden(false);
        firstLabel->setText(QCoreApplication::translate("OxAdvancedSettingForm", "  且"));
        secondLabel->setText(unitName(unit));
    } else {
        second->setHidden(true);
        secondLabel->setHidden(true);
        firstLabel->setText(unitName(unit));
    }
}

bool selectByData(QComboBox *combo, int value)
{
    const int index = combo->findData(value);
    if (index < 0)
        return false;
    combo->setCurrentIndex(index);
    return true;
}

int currentData(const QComboBox *combo)
{
    return combo->currentData().toInt();
}

double finiteLength(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

void openSettingsGuide()
{
    QString guide = g_VellumCfgFile.m_strSettingsGuideFile;
    // A host that embeds only the image tool form never loads the console's
    // configuration: the guide is then the one beside the program.
    if (guide.isEmpty())
        guide = QCoreApplication::applicationDirPath() + "/help/Scan_Settings_Guide_ZH_CN.pdf";
    QDesktopServices::openUrl(QUrl::fromLocalFile(guide));
}

} // namespace OxAdvancedLengths

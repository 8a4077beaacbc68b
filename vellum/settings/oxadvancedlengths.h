#ifndef OXADVANCEDLENGTHS_H
#define OXADVANCEDLENGTHS_H

#include <QString>

class QComboBox;
class QDoubleSpinBox;
class QLabel;

// Rules that the console's setting-tool panel and the exported image tool
// form share: the split-length units, their conversion through inches, the
// length bounds, the length labels, combo selection by item data and the
// settings guide.
namespace OxAdvancedLengths {

// A unit the panels do not know is shown as inches, so no factor is ever 0.
int shownUnit(int unit);
// Units per inch: 2.54 cm, 1 inch, the pixel factor (dpi) for pixels.
double unitFactor(int unit, double pixelFactor);
// Single step of the length boxes: 0.01 inch expressed in the unit.
double unitStep(int unit, double pixelFactor);
QString unitName(int unit);
// A shown length back to inches, two decimals rounded half up; a value that
// is not finite counts as 0.
double toInches(double shown, double factor);
// A pixel factor from a resolution: anything not above 0 dpi counts as 200.
double pixelFactorFor(int dpi);

// Holds both boxes to [2.5, firstMax] and [2.5, secondMax] inches in the shown
// unit. With secondFollows, a first length read above the second makes the
// second take the first's bounded value.
void boundLengths(QDoubleSpinBox *first, QDoubleSpinBox *second, double factor, double firstMax,
                  double secondMax, bool secondFollows);

// Mode 0 (between): "first 且 second unit"; any other mode: "first unit".
void showLengthLabels(int lengthMode, int unit, QLabel *firstLabel, QDoubleSpinBox *second,
                      QLabel *secondLabel);

// Selects the first item whose data equals value; false (selection kept)
// when no item carries it.
bool selectByData(QComboBox *combo, int value);
int currentData(const QComboBox *combo);

// A length from a record, safe to put into a box: not finite gives 0.
double finiteLength(double value);

// Opens the scan settings guide of the library's configuration with the
// desktop's URL handler; the outcome is not checked.
void openSettingsGuide();

} // namespace OxAdvancedLengths

#endif

#include "customdoublespinbox.h"

CustomDoubleSpinBox::CustomDoubleSpinBox(QWidget *parent) : QDoubleSpinBox(parent) {}

void CustomDoubleSpinBox::stepBy(int steps)
{
    // setValue bounds the result; the edit counts as finished even when the
    // value stood at a limit and did not move.
    setValue(value() + singleStep() * steps);
    emit editingFinished();
}

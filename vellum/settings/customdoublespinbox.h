#ifndef CUSTOMDOUBLESPINBOX_H
#define CUSTOMDOUBLESPINBOX_H

#include <QDoubleSpinBox>

// A double spin box whose arrow steps (buttons, wheel, arrow keys) count as a
// finished edit, so forms that check or store values on editingFinished see
// them as well.
class CustomDoubleSpinBox : public QDoubleSpinBox
{
    Q_OBJECT
public:
    explicit CustomDoubleSpinBox(QWidget *parent = nullptr);

    void stepBy(int steps) override;
};

#endif

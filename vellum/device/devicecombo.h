#ifndef DEVICECOMBO_H
#define DEVICECOMBO_H

#include <QComboBox>

namespace devicecombo {

// Selects the first item whose value is the record's; an unknown value keeps
// the selection, so writing back stores the item shown.
inline void select(QComboBox *combo, int value)
{
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemData(i).toInt() == value) {
            combo->setCurrentIndex(i);
            return;
        }
}

inline int value(const QComboBox *combo)
{
    return combo->currentData().toInt();
}

} // namespace devicecombo

#endif

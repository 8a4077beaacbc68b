#ifndef BUILTINPROFILES_H
#define BUILTINPROFILES_H

// The built-in profiles as a store without a file of its own makes them, and
// the table of every built-in in every size unit that the form tests load,
// show and read back.

#include "commonfunc.h"
#include "scanshortcutmenu.h"

#include <QList>
#include <QtTest>

namespace testsupport {

inline QList<tagSCAN_SHORTCUT_MENU> builtInProfiles()
{
    ScanShortcutMenu store;
    store.loadDefaultScanShortcut();
    QList<tagSCAN_SHORTCUT_MENU> out;
    tagSCAN_SHORTCUT_MENU r;
    for (int i = 0; store.getScanShortcutItem(i, r); ++i)
        out.append(r);
    return out;
}

// Columns "index" (into builtInProfiles) and "unit" (the size unit), a row
// for each of the six built-ins in each of the three units.
inline void builtInUnitRows()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("unit");
    const QList<tagSCAN_SHORTCUT_MENU> all = builtInProfiles();
    QCOMPARE(all.size(), 6);
    for (int i = 0; i < all.size(); ++i)
        for (int unit : {0, 1, 2})
            QTest::addRow("%s unit %d", qPrintable(CommonFunc::charsToString(all.at(i).name, 128)),
                          unit)
                << i << unit;
}

} // namespace testsupport

#endif

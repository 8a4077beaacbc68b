#ifndef EMULATORWIDGETTEST_H
#define EMULATORWIDGETTEST_H

#include "emulatedbus.h"

#include <QApplication>
#include <QtTest>

// main() for a widget test that plugs emulated scanners: re-executes the
// program under the umockdev preload first, then runs the test object inside
// a QApplication (windows, dialogs and modal boxes need one).
#define EMULATOR_WIDGET_TEST_MAIN(TestObject)                                                      \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        emu::EmulatedBus::ensurePreload(argc, argv);                                               \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

#endif

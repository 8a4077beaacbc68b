#ifndef EMULATORTEST_H
#define EMULATORTEST_H

#include "emulatedbus.h"

#include <QCoreApplication>
#include <QtTest>

// main() for a Qt Test program that plugs emulated scanners: re-executes the
// program under the umockdev preload first, so it also runs outside ctest.
#define EMULATOR_TEST_MAIN(TestObject)                                                         \
    int main(int argc, char **argv)                                                            \
    {                                                                                          \
        emu::EmulatedBus::ensurePreload(argc, argv);                                           \
        QCoreApplication app(argc, argv);                                                      \
        TestObject tc;                                                                         \
        QTEST_SET_MAIN_SOURCE_PATH                                                             \
        return QTest::qExec(&tc, argc, argv);                                                  \
    }

#endif

#pragma once
// One row of a table-driven test on one line: the values in column order,
// string literals standing for QString columns as they do after
// QTest::newRow(...) <<.

#include <QTest>

namespace testsupport {

template <typename... Values>
void row(const char *name, Values... values)
{
    (QTest::newRow(name) << ... << values);
}

} // namespace testsupport

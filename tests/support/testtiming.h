#ifndef TESTTIMING_H
#define TESTTIMING_H

// Every wait of the tests is scaled by one whole factor: 1 on a plain build,
// more in the sanitizer builds, whose code runs several times slower, and
// whatever CORVAN_TEST_TIME_FACTOR says when it is set at run time (ctest's
// time-outs follow the same factor). A wait is an upper bound on how long an
// event may take to come, so a larger factor costs time only when a test is
// failing anyway.
//
// Qt's waits without a stated time-out (QTRY_VERIFY, QTRY_COMPARE and
// QTRY_VERIFY2: 5 s) are redefined here to scale as well.

#include <QtTest>

namespace testsupport {

int timeFactor();

inline int scaledMs(int ms)
{
    return ms * timeFactor();
}

} // namespace testsupport

using testsupport::scaledMs;

#undef QTRY_VERIFY
#undef QTRY_VERIFY2
#undef QTRY_COMPARE
#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT((expr), scaledMs(5000))
#define QTRY_VERIFY2(expr, messageExpression) \
    QTRY_VERIFY2_WITH_TIMEOUT((expr), (messageExpression), scaledMs(5000))
#define QTRY_COMPARE(expr, expected) QTRY_COMPARE_WITH_TIMEOUT((expr), (expected), scaledMs(5000))

#endif

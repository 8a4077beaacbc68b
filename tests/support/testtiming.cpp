#include "testtiming.h"

namespace testsupport {

int timeFactor()
{
    static const int factor = [] {
        bool ok = false;
        const int fromEnvironment = qEnvironmentVariableIntValue("CORVAN_TEST_TIME_FACTOR", &ok);
        return ok && fromEnvironment > 0 ? fromEnvironment : CORVAN_TEST_TIME_FACTOR_DEFAULT;
    }();
    return factor;
}

} // namespace testsupport

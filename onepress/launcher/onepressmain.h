#ifndef ONEPRESSMAIN_H
#define ONEPRESSMAIN_H

#include "corvanglobal.h"

#include <QMutex>
#include <QStringList>
#include <QWaitCondition>

ONEPRESS_EXPORT int onepress_main(int argc, char **argv);
extern "C" ONEPRESS_EXPORT int cdrv_onepress_main(int argc, char **argv);

// Exported for callers outside the library; nothing here locks or waits on them.
class ONEPRESS_EXPORT CGoalbleValues
{
public:
    static QMutex _gMutex;
    static QWaitCondition _gWaitCondition;
};

namespace onepress {

// The trace call that support.ini's Debug/EnableLogFile selects.
struct TraceMode
{
    int mode;
    int msgType;
};
TraceMode traceModeFor(int enableLogFile, int outputMsg);
// "fusion" only when the style list holds "Fusion" exactly.
bool wantsFusion(const QStringList &styles);

} // namespace onepress

#endif // ONEPRESSMAIN_H

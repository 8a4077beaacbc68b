#include "recordfields.h"

#include "debugtrace.h"

#include <QDebug>

namespace recordfields {

bool traceEnabled()
{
    return DebugTrace::m_DebugMode != 0;
}

void traceText(const QString &text)
{
    qDebug().noquote() << text;
}

} // namespace recordfields

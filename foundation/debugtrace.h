#ifndef DEBUGTRACE_H
#define DEBUGTRACE_H

#include <QString>
#include <QtGlobal>

class ConfigFile;

// Routes the process's Qt messages: silent (0), Qt's default output (1) or
// the trace file in the system temporary location (2). Each library owns one
// instance, g_trace; the message handler itself is process-wide, so the last
// library to set a mode decides for all.
class DebugTrace
{
public:
    DebugTrace();
    ~DebugTrace();

    void setDebugMode(int mode, int msgType, bool recordFunc);
    // The mapping from support.ini's switches that every front end applies.
    void applyConfig(const ConfigFile &config);
    static void outputMessage(QtMsgType type, const QMessageLogContext &context,
                              const QString &msg);

    static int m_DebugMode;
    static int m_nMsgType;
    static bool m_bRecordFunc;
    static QString m_strLogFile;
};

extern DebugTrace g_trace;

#endif

#ifndef PROCESSES_H
#define PROCESSES_H

// Programs the tests start: run to their end, waited on for a line, and
// ended, pass or fail. Every wait here is scaled by the time factor.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace testsupport {

struct ToolRun {
    bool finished = false; // ended by itself, not by a signal or the time-out
    int code = -1;
    QByteArray out;
    QByteArray err;
};

// Runs a program to its end with `input` on its standard input; one that has
// not ended within `ms` is killed and reported unfinished.
ToolRun runTool(const QString &program, const QStringList &args, int ms = 30000,
                const QByteArray &input = QByteArray());

// Reads the process's standard output line by line until one equals `line`
// (the lines after it stay unread); false when the time ran out first.
bool waitForLine(QProcess &process, const QByteArray &line, int ms);

// Waits for the end of a process that was started. True also when the end
// came while the event loop turned before (in waitForLine, say), where
// QProcess::waitForFinished would answer false: on a busy machine a program
// that has printed its last line may well be gone by the next look.
bool waitForEnd(QProcess &process, int ms);

// Ends a running process: asked first (SIGTERM, which the scanner emulator
// passes on to its command), killed when it has not ended within `ms`.
void endProcess(QProcess &process, int ms = 5000);

// A process that is ended that way when it goes out of scope, so that a
// failing case leaves nothing running behind it (QProcess alone kills only
// the process itself, and a command under the emulator would live on).
class OwnedProcess : public QProcess
{
public:
    ~OwnedProcess() override { endProcess(*this); }
};

} // namespace testsupport

#endif

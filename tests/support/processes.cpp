#include "processes.h"
#include "testtiming.h"

namespace testsupport {

ToolRun runTool(const QString &program, const QStringList &args, int ms, const QByteArray &input)
{
    QProcess p;
    p.start(program, args);
    if (!input.isEmpty())
        p.write(input);
    p.closeWriteChannel();
    ToolRun run;
    if (!p.waitForFinished(scaledMs(ms))) {
        p.kill();
        p.waitForFinished(scaledMs(5000));
        qWarning("%s did not end in time", qPrintable(program));
    } else {
        run.finished = p.exitStatus() == QProcess::NormalExit;
        run.code = run.finished ? p.exitCode() : -1;
    }
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

bool waitForLine(QProcess &process, const QByteArray &line, int ms)
{
    QByteArray seen;
    const bool found = QTest::qWaitFor(
        [&] {
            while (process.canReadLine()) {
                const QByteArray got = process.readLine();
                seen += got;
                if (got.trimmed() == line)
                    return true;
            }
            return false;
        },
        scaledMs(ms));
    if (!found)
        qWarning("waited for \"%s\", saw: %s", line.constData(), seen.constData());
    return found;
}

bool waitForEnd(QProcess &process, int ms)
{
    return process.state() == QProcess::NotRunning || process.waitForFinished(scaledMs(ms));
}

void endProcess(QProcess &process, int ms)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(scaledMs(ms))) {
        process.kill();
        process.waitForFinished(scaledMs(ms));
    }
}

} // namespace testsupport

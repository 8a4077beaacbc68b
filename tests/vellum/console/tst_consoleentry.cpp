// The console program's single instance, between real processes.
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

#include <csignal>

namespace {

bool waitForLine(QProcess &p, const QByteArray &line, int ms)
{
    QElapsedTimer clock;
    clock.start();
    QByteArray seen;
    while (clock.elapsed() < ms) {
        p.waitForReadyRead(100);
        seen += p.readAllStandardOutput();
        if (seen.split('\n').contains(line))
            return true;
    }
    qWarning("waited for %s, saw: %s", line.constData(), seen.constData());
    return false;
}

} // namespace

class TestConsoleEntry : public QObject
{
    Q_OBJECT

private slots:
    // A second start hands "VELLUM" to the first and leaves at once with 0.
    void secondStartLeavesAndNotifiesTheFirst()
    {
        QProcess first;
        first.start(SINGLEPROBE, {"VELLUM"});
        QVERIFY(waitForLine(first, "primary", 5000));

        QElapsedTimer clock;
        clock.start();
        QProcess second;
        second.start(CONSOLE_PROGRAM, QStringList());
        QVERIFY(second.waitForFinished(5000));
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(waitForLine(first, "got VELLUM", 3000));

        // A primary killed without cleaning up: the next start takes over.
        ::kill(pid_t(first.processId()), SIGKILL);
        QVERIFY(first.waitForFinished(3000));
        QProcess console;
        console.start(CONSOLE_PROGRAM, QStringList());
        QVERIFY(console.waitForStarted());
        QTest::qWait(1500);
        QCOMPARE(console.state(), QProcess::Running);
        QProcess probe;
        probe.start(SINGLEPROBE, {"VELLUM"});
        QVERIFY(waitForLine(probe, "secondary", 6000));
        QVERIFY(probe.waitForFinished(3000));
        console.terminate();
        QVERIFY(console.waitForFinished(5000));
    }

    // Ids do not interfere: the launcher's instance beside the console's.
    void idsAreSeparate()
    {
        QProcess a, b;
        a.start(SINGLEPROBE, {"TESSACK_VR516"});
        b.start(SINGLEPROBE, {"VELLUM"});
        QVERIFY(waitForLine(a, "primary", 5000));
        QVERIFY(waitForLine(b, "primary", 5000));
        a.kill();
        b.kill();
        a.waitForFinished();
        b.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestConsoleEntry)
#include "tst_consoleentry.moc"

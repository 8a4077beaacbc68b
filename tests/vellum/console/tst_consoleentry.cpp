// The console program's single instance, between real processes.
#include "qtsingleapplication.h"
#include "support/testtiming.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <csignal>

namespace {

bool waitForLine(QProcess &p, const QByteArray &line, int ms)
{
    QElapsedTimer clock;
    clock.start();
    QByteArray seen;
    while (clock.elapsed() < ms) {
        p.waitForReadyRead(scaledMs(100));
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
        QVERIFY(second.waitForFinished(scaledMs(5000)));
        QVERIFY(clock.elapsed() < 5000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(waitForLine(first, "got VELLUM", 3000));

        // A primary killed without cleaning up: the next start takes over.
        ::kill(pid_t(first.processId()), SIGKILL);
        QVERIFY(first.waitForFinished(scaledMs(3000)));
        QProcess console;
        console.start(CONSOLE_PROGRAM, QStringList());
        QVERIFY(console.waitForStarted(scaledMs(30000)));
        QTest::qWait(1500);
        QCOMPARE(console.state(), QProcess::Running);
        QProcess probe;
        probe.start(SINGLEPROBE, {"VELLUM"});
        QVERIFY(waitForLine(probe, "secondary", 6000));
        QVERIFY(probe.waitForFinished(scaledMs(3000)));
        console.terminate();
        QVERIFY(console.waitForFinished(scaledMs(5000)));
    }

    // The console program with a scanner attached, as the README starts it:
    // it holds the instance until it is ended.
    void consoleUnderTheEmulatorHoldsTheInstance()
    {
        QProcess emulator;
        emulator.start(SCANNER_EMULATOR, {"--sheets", "5", "--multifeed", "3", "--", CONSOLE_PROGRAM});
        QVERIFY(emulator.waitForStarted(scaledMs(30000)));
        // Wait until the console holds the instance's lock, then knock.
        QElapsedTimer clock;
        clock.start();
        QLockFile lock(QtSingleApplication::lockFilePath("VELLUM"));
        while (lock.tryLock(0)) {
            lock.unlock();
            QVERIFY(clock.elapsed() < 20000);
            QTest::qWait(100);
        }
        QProcess probe;
        probe.start(SINGLEPROBE, {"VELLUM"});
        QVERIFY(waitForLine(probe, "secondary", 6000));
        QVERIFY(probe.waitForFinished(scaledMs(3000)));
        QCOMPARE(emulator.state(), QProcess::Running);
        emulator.terminate();
        QVERIFY(emulator.waitForFinished(scaledMs(10000)));
    }

    // A message only brings a shown window forward: a hidden one (the
    // launcher's task editor) stays hidden. The socket is in the user's own
    // runtime folder, not in the shared temporary one.
    void messageShowsNoHiddenWindow_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("hidden") << "hidden" << QByteArray("window hidden=1 minimized=0");
        QTest::newRow("minimized") << "minimized" << QByteArray("window hidden=0 minimized=0");
    }
    void messageShowsNoHiddenWindow()
    {
        QFETCH(QString, state);
        QProcess first;
        first.start(SINGLEPROBE, {"TESSACK_VR516", state});
        QVERIFY(waitForLine(first, "primary", scaledMs(5000)));
        const QString socket = QtSingleApplication::serverName("TESSACK_VR516");
        QVERIFY2(socket.startsWith(
                     QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + "/"),
                 qPrintable(socket));
        QVERIFY(QFileInfo(socket).exists());
        QVERIFY(QDir::temp().entryList({"corvan-*"}, QDir::System).isEmpty());
        QProcess second;
        second.start(SINGLEPROBE, {"TESSACK_VR516"});
        QVERIFY(waitForLine(second, "secondary", scaledMs(6000)));
        QFETCH(QByteArray, after);
        QVERIFY(waitForLine(first, after, scaledMs(3000)));
        QVERIFY(second.waitForFinished(scaledMs(3000)));
        first.kill();
        first.waitForFinished();
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
        a.waitForFinished(scaledMs(30000));
        b.waitForFinished(scaledMs(30000));
    }
};

QTEST_GUILESS_MAIN(TestConsoleEntry)
#include "tst_consoleentry.moc"

// The console program's single instance, between real processes.
#include "qtsingleapplication.h"
#include "support/processes.h"
#include "support/testtiming.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QtTest>

#include <csignal>

using testsupport::OwnedProcess;
using testsupport::waitForLine;
using testsupport::waitForEnd;

namespace {

// The live process that holds the instance of `id`, 0 when none does. The
// lock file is only read: a test that took the lock even for a moment could
// turn a starting program into a second instance.
qint64 instanceHolder(const QString &id)
{
    QLockFile lock(QtSingleApplication::lockFilePath(id));
    qint64 pid = 0;
    QString host, application;
    if (!lock.getLockInfo(&pid, &host, &application) || pid <= 0)
        return 0;
    return ::kill(pid_t(pid), 0) == 0 ? pid : 0;
}

} // namespace

class TestConsoleEntry : public QObject
{
    Q_OBJECT

private slots:
    // A second start hands "VELLUM" to the first and leaves with 0, without
    // waiting out its message's time-out.
    void secondStartLeavesAndNotifiesTheFirst()
    {
        OwnedProcess first;
        first.start(SINGLEPROBE, {"VELLUM"});
        QVERIFY(waitForLine(first, "primary", 5000));

        OwnedProcess second;
        second.start(CONSOLE_PROGRAM, QStringList());
        QVERIFY(second.waitForFinished(scaledMs(5000)));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(waitForLine(first, "got VELLUM", 3000));

        // A primary killed without cleaning up: the next start takes over.
        ::kill(pid_t(first.processId()), SIGKILL);
        QVERIFY(first.waitForFinished(scaledMs(3000)));
        OwnedProcess console;
        console.start(CONSOLE_PROGRAM, QStringList());
        QTRY_COMPARE_WITH_TIMEOUT(instanceHolder("VELLUM"), console.processId(), scaledMs(20000));
        OwnedProcess probe;
        probe.start(SINGLEPROBE, {"VELLUM"});
        QVERIFY(waitForLine(probe, "secondary", 6000));
        QVERIFY(waitForEnd(probe, 3000));
        QCOMPARE(console.state(), QProcess::Running);
    }

    // The console program with a scanner attached, as the README starts it:
    // it holds the instance until it is ended.
    void consoleUnderTheEmulatorHoldsTheInstance()
    {
        OwnedProcess emulator;
        emulator.start(SCANNER_EMULATOR, {"--sheets", "5", "--multifeed", "3", "--", CONSOLE_PROGRAM});
        // Once the console holds the instance, a knock is answered.
        QTRY_VERIFY_WITH_TIMEOUT(instanceHolder("VELLUM") != 0, scaledMs(20000));
        OwnedProcess probe;
        probe.start(SINGLEPROBE, {"VELLUM"});
        QVERIFY(waitForLine(probe, "secondary", 6000));
        QVERIFY(waitForEnd(probe, 3000));
        QCOMPARE(emulator.state(), QProcess::Running);
        emulator.terminate();
        QVERIFY(emulator.waitForFinished(scaledMs(10000)));
        QTRY_COMPARE(instanceHolder("VELLUM"), 0);
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
        OwnedProcess first;
        first.start(SINGLEPROBE, {"TESSACK_VR516", state});
        QVERIFY(waitForLine(first, "primary", 5000));
        const QString socket = QtSingleApplication::serverName("TESSACK_VR516");
        QVERIFY2(socket.startsWith(
                     QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + "/"),
                 qPrintable(socket));
        QVERIFY(QFileInfo(socket).exists());
        QVERIFY(QDir::temp().entryList({"corvan-*"}, QDir::System).isEmpty());
        OwnedProcess second;
        second.start(SINGLEPROBE, {"TESSACK_VR516"});
        QVERIFY(waitForLine(second, "secondary", 6000));
        QFETCH(QByteArray, after);
        QVERIFY(waitForLine(first, after, 3000));
        QVERIFY(waitForEnd(second, 3000));
    }

    // Ids do not interfere: the launcher's instance beside the console's.
    void idsAreSeparate()
    {
        OwnedProcess a, b;
        a.start(SINGLEPROBE, {"TESSACK_VR516"});
        b.start(SINGLEPROBE, {"VELLUM"});
        QVERIFY(waitForLine(a, "primary", 5000));
        QVERIFY(waitForLine(b, "primary", 5000));
    }
};

QTEST_GUILESS_MAIN(TestConsoleEntry)
#include "tst_consoleentry.moc"

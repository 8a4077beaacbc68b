// The launcher program as a process: one instance per user, a second start
// returns 0 at once, a killed instance does not block the next start; and
// the two libraries' exported entries and facade objects.

#include "support/processes.h"
#include "support/testtiming.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <dlfcn.h>
#include <signal.h>
#include <unistd.h>

namespace {

// Every run of the facade's constructor in this process, wherever it came
// from: the libraries call it through their symbol tables, and this program
// exports a definition that comes before the facade library's own.
using Constructor = void (*)(void *);
Constructor g_realConstructor = nullptr;
std::atomic<int> g_constructions{0};
void *g_constructed[8];

} // namespace

extern "C" __attribute__((visibility("default"))) void _ZN7DevgateC1Ev(void *self)
{
    const int n = g_constructions.fetch_add(1);
    if (n < 8)
        g_constructed[n] = self;
    if (g_realConstructor)
        g_realConstructor(self);
}

namespace {

QProcessEnvironment launcherEnvironment()
{
    // The instance's socket lives in the temporary folder; a socket path
    // must stay under 108 bytes, which a deep build folder's private one may
    // not.
    static QTemporaryDir shortTemp(QStringLiteral("/tmp/onepress-XXXXXX"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CORVAN_TRAY_WAIT_TRIES", "0");
    env.insert("TMPDIR", shortTemp.path());
    return env;
}

void startLauncher(QProcess &p)
{
    p.setProcessEnvironment(launcherEnvironment());
    p.setProgram(LAUNCHER_PROGRAM);
    p.start();
    QVERIFY(p.waitForStarted(scaledMs(5000)));
}

QString dynamicSymbol(const QString &library, const QString &name)
{
    const QByteArray symbols = testsupport::runTool("readelf", {"--wide", "--dyn-syms", library}).out;
    for (const QString &line : QString::fromLatin1(symbols).split('\n'))
        if (line.endsWith(" " + name))
            return line.simplified();
    return QString();
}

} // namespace

class TestLauncherProcess : public QObject
{
    Q_OBJECT
private slots:
    void oneInstance();
    void exportedEntries();
    void emulatorPressOption();
};

void TestLauncherProcess::oneInstance()
{
    const QString lock = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) +
                         QString("/corvan-TESSACK_VR516-%1.lock").arg(::getuid());
    QFile::remove(lock);
    QProcess first;
    startLauncher(first);
    // The instance lock is the first thing a start takes.
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(lock), scaledMs(10000));

    // A start while the first is still starting returns 0 and builds nothing;
    // it may wait out its message's time-out while the first is busy.
    QProcess starting;
    startLauncher(starting);
    QVERIFY(starting.waitForFinished(scaledMs(15000)));
    QCOMPARE(starting.exitStatus(), QProcess::NormalExit);
    QCOMPARE(starting.exitCode(), 0);
    QVERIFY2(first.state() == QProcess::Running, "the first start stays the primary");

    // Once the first runs its loop, a second start returns at once.
    QProcess second;
    QElapsedTimer clock;
    clock.start();
    startLauncher(second);
    QVERIFY(second.waitForFinished(scaledMs(10000)));
    QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);

    ::kill(pid_t(first.processId()), SIGKILL);
    QVERIFY(first.waitForFinished(scaledMs(5000)));

    // A start after a killed instance becomes the primary: it holds the lock.
    testsupport::OwnedProcess third;
    startLauncher(third);
    auto holder = [&lock] {
        qint64 pid = 0;
        QString host, application;
        return QLockFile(lock).getLockInfo(&pid, &host, &application) ? pid : 0;
    };
    QTRY_COMPARE_WITH_TIMEOUT(holder(), third.processId(), scaledMs(10000));
    QCOMPARE(third.state(), QProcess::Running);
}

void TestLauncherProcess::exportedEntries()
{
    void *devgate = dlopen(DEVGATE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(devgate, dlerror());
    g_realConstructor = reinterpret_cast<Constructor>(dlsym(devgate, "_ZN7DevgateC1Ev"));
    QVERIFY(g_realConstructor);
    void *onepress = dlopen(ONEPRESS_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(onepress, dlerror());
    void *vellum = dlopen(VELLUM_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    QVERIFY2(vellum, dlerror());
    QVERIFY(dlsym(onepress, "cdrv_onepress_main"));
    QVERIFY(dlsym(onepress, "_Z13onepress_mainiPPc"));
    void *ours = dlsym(onepress, "g_Devgate");
    void *theirs = dlsym(vellum, "g_Devgate");
    QVERIFY(ours && theirs);
    QVERIFY(ours != theirs);
    // Each object constructed once: a library bound to the other's object
    // would construct that one twice and leave its own raw.
    QCOMPARE(g_constructions.load(), 2);
    QVERIFY((g_constructed[0] == ours && g_constructed[1] == theirs) ||
            (g_constructed[0] == theirs && g_constructed[1] == ours));
    // Each library's own references stay on its own object.
    QVERIFY(dynamicSymbol(ONEPRESS_LIBRARY, "g_Devgate").contains("PROTECTED"));
    QVERIFY(dynamicSymbol(VELLUM_LIBRARY, "g_Devgate").contains("PROTECTED"));
    dlclose(vellum);
    dlclose(onepress);
    dlclose(devgate);
}

// The scripted panel press of scanner-emulator (the README starts the
// launcher under it): its option is checked, and a command that never
// registers ends without a press.
void TestLauncherProcess::emulatorPressOption()
{
    auto run = [](const QStringList &args, QString *err = nullptr) {
        const testsupport::ToolRun r = testsupport::runTool(EMULATOR_PROGRAM, args, 20000);
        if (err)
            *err = QString::fromUtf8(r.err);
        return r.code;
    };
    QString err;
    QCOMPARE(run({"--press", "0", "--", "true"}), 2);
    QCOMPARE(run({"--press", "21", "--", "true"}), 2);
    QCOMPARE(run({"--press", "3@x", "--", "true"}), 2);
    QCOMPARE(run({"--press", "3@0.5", "--press", "1", "--", "true"}, &err), 0);
    QVERIFY(!err.contains("pressed"));
}

QTEST_GUILESS_MAIN(TestLauncherProcess)
#include "tst_launcherprocess.moc"

// The fault soak: scan jobs back to back through the Devgate facade against
// the emulated scanner on the real libusb, each with a profile and a fault
// drawn from its own seed, each checked against what the scanner served.
//
//   tst_scansoak [--jobs N] [--seed S] [--verbose]   N jobs of run seed S
//   tst_scansoak --replay SEED                       one job alone
//
// A failing job prints its seed; --replay runs it again alone. The run
// reports the faults drawn, the time taken and the process's memory and open
// descriptors after the warm-up and at the end, and fails when they grew.
#include "configfile.h"
#include "devgate.h"
#include "emulatedbus.h"
#include "linktimeouts.h"
#include "pmessage.h"
#include "scannercommands.h"
#include "scanshortcutmenu.h"
#include "sheetfeeder.h"
#include "soakcheck.h"
#include "soakplan.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QSet>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <set>
#include <algorithm>

using namespace soak;

namespace {

constexpr int kJobLimitMs = 60000; // a job that takes longer is hung
// Jobs before memory and descriptors are first measured: the allocator's
// pools, Qt's image plugins and GLib's threads settle over the first few
// hundred jobs.
long warmUpJobs(long jobs)
{
    return std::clamp(jobs / 10, 30L, 500L);
}

long residentKiB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

QStringList openDescriptorTargets()
{
    QStringList out;
    const QDir fds(QStringLiteral("/proc/self/fd"));
    for (const QString &fd : fds.entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System))
        out << fd + " -> " + QFile::symLinkTarget(fds.filePath(fd));
    return out;
}

// The emulator's side of a released device (its request socket) closes on
// umockdev's own thread a moment later: the count settles first.
int openDescriptors()
{
    int fewest = openDescriptorTargets().size();
    for (int i = 0; i < 5; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        fewest = std::min(fewest, int(openDescriptorTargets().size()));
    }
    return fewest;
}

// What a job's fault allows as its result.
QString resultProblem(const Plan &plan, int rc)
{
    auto want = [rc](std::initializer_list<int> allowed) {
        for (int a : allowed)
            if (a == rc)
                return QString();
        QStringList list;
        for (int a : allowed)
            list << QString::number(a);
        return QString("result %1, expected one of %2").arg(rc).arg(list.join(' '));
    };
    const int response = int(plan.profile.multifeedResponse);
    switch (plan.fault) {
    case Fault::None:
    case Fault::WakingLock:
        return want({0});
    case Fault::Jam:
        return want({-22});
    case Fault::Multifed: {
        const int answer = plan.hostAnswer ? plan.hostAnswer : plan.panelAnswer;
        return response == MultifeedInteractive && answer == 2 ? want({-23}) : want({0});
    }
    case Fault::CancelEarly:
    case Fault::CancelAtPaper:
    case Fault::CancelAtAnswer:
        return want({-34});
    case Fault::CancelTimed:
        return want({0, -34});
    case Fault::Unplug:
        return rc < 0 ? QString() : QString("result %1 after the scanner left").arg(rc);
    case Fault::Stall:
    case Fault::ShortRead:
        return QString();
    case Fault::BusyLock:
        return want({-8});
    case Fault::EmptyFeeder:
        return plan.stack.sheets == 0 ? want({-35}) : want({0});
    case Fault::DiskFull:
        return want({0, -50});
    case Fault::Count:
        break;
    }
    return QString();
}

struct Soak
{
    QTemporaryDir dir;
    ConfigFile config;
    emu::EmulatedBus bus;
    Devgate gate;
    tagSCAN_SHORTCUT_MENU base{};
    bool verbose = false;
    int faultsDrawn[int(Fault::Count)] = {};
    int resultsSeen = 0;

    std::atomic<qint64> jobStarted{0};
    std::atomic<quint64> jobSeedNow{0};
    std::atomic<bool> finished{false};
    QElapsedTimer clock;

    Soak()
    {
        qputenv("XDG_CONFIG_HOME", (dir.path() + "/cfg").toUtf8());
        config.loadConfigFile(dir.path());
        gate.setConfigFile(&config);
        ScanShortcutMenu store;
        store.loadDefaultScanShortcut();
        store.getScanShortcutItem(0, base);
        clock.start();
    }

    void watch()
    {
        while (!finished.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            const qint64 started = jobStarted.load();
            if (started > 0 && clock.elapsed() - started > kJobLimitMs) {
                std::fprintf(stderr, "HANG: job seed 0x%016llx ran past %d ms\n",
                             static_cast<unsigned long long>(jobSeedNow.load()), kJobLimitMs);
                std::abort();
            }
        }
    }

    void clearFiles()
    {
        QDir temp(config.m_strTempDir);
        for (const QString &f : temp.entryList(QDir::Files))
            temp.remove(f);
        QFile::remove(config.m_strScanLogFile);
        QFile::remove(config.m_strScannedLogIni);
    }

    // Runs one job; an empty text when every check held.
    QString runJob(const Plan &plan)
    {
        clearFiles();
        emu::UsbIdentity id;
        id.busNumber = 4;
        id.deviceAddress = 2;
        auto device = std::make_shared<emu::ScannerEmulator>(id);
        emu::ScannerCommands commands(*device);
        emu::SheetFeeder feeder(commands, plan.stack);
        switch (plan.fault) {
        case Fault::BusyLock:
            device->setLockHeldByOtherHost(true);
            break;
        case Fault::WakingLock:
            device->setWaking(plan.wakingAnswers);
            break;
        case Fault::Stall:
            device->injectFault({emu::Pipe::Data, emu::Direction::In, emu::FaultKind::NoAnswer, 0,
                                 0, plan.faultSkip});
            break;
        case Fault::ShortRead:
            device->injectFault({emu::Pipe::Data, emu::Direction::In, emu::FaultKind::ShortRead,
                                 plan.shortLength, 0, plan.faultSkip});
            break;
        default:
            break;
        }
        if (!bus.plug(device))
            return "cannot plug the emulated scanner: " + QString::fromStdString(bus.errorString());
        if (!gate.openPort(QStringLiteral("4;2;"))) {
            bus.release(device);
            return "cannot open the port";
        }

        PMessage hub;
        QStringList announced;
        std::multiset<std::string> codesGiven;
        QObject::connect(
            &hub, &PMessage::scanFileName, &hub,
            [&](SCAN_SHORTCUT_MENU *, QString f, schar, QStringList codes, int, int, int, int) {
                announced << f;
                for (const QString &c : codes) {
                    if (!c.isEmpty())
                        codesGiven.insert(c.toStdString());
                }
            },
            Qt::DirectConnection);
        QObject::connect(
            &hub, &PMessage::scanningMultifeed, &hub,
            [&](QStringList) {
                if (plan.fault == Fault::CancelAtAnswer)
                    gate.cancelJob();
                else if (plan.hostAnswer)
                    gate.setMultifeedUserInput(plan.hostAnswer);
            },
            Qt::DirectConnection);
        QObject::connect(
            &hub, &PMessage::updatePaperStatus, &hub,
            [&](bool found, bool) {
                if (found && plan.fault == Fault::CancelAtPaper)
                    gate.cancelJob();
            },
            Qt::DirectConnection);

        std::mutex runMutex;
        bool running = true;
        std::thread canceller;
        if (plan.fault == Fault::CancelTimed) {
            canceller = std::thread([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(plan.cancelAfterMs));
                std::lock_guard<std::mutex> lock(runMutex);
                if (running)
                    gate.cancelJob();
            });
        }
        if (plan.fault == Fault::CancelEarly)
            gate.cancelJob();

        rlimit oldLimit{};
        const bool limitDisk = plan.fault == Fault::DiskFull;
        void (*oldHandler)(int) = nullptr;
        if (limitDisk) {
            oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            getrlimit(RLIMIT_FSIZE, &oldLimit);
            rlimit small = oldLimit;
            small.rlim_cur = plan.diskLimit;
            setrlimit(RLIMIT_FSIZE, &small);
        }
        tagSCAN_SHORTCUT_MENU profile = plan.profile;
        const qint64 started = clock.elapsed();
        const int rc = gate.startJob(&profile, &hub);
        const qint64 took = clock.elapsed() - started;
        if (limitDisk) {
            setrlimit(RLIMIT_FSIZE, &oldLimit);
            std::signal(SIGXFSZ, oldHandler);
        }
        {
            std::lock_guard<std::mutex> lock(runMutex);
            running = false;
        }
        if (canceller.joinable())
            canceller.join();

        const auto records = device->transfers(emu::Pipe::Data);
        const std::vector<uint8_t> answers = commands.hostInputs();
        const bool vanished = device->vanished();
        const bool lockHeld = device->lockHeld();
        // A cancel that came as the job ended would stay for the next one:
        // a short locked job clears it, as any next job would.
        if (plan.fault == Fault::CancelTimed || plan.fault == Fault::CancelAtPaper)
            gate.devicePower(nullptr, nullptr);
        gate.closePort();
        bus.release(device);
        ++resultsSeen;

        QStringList problems;
        if (const QString p = resultProblem(plan, rc); !p.isEmpty())
            problems << p;
        const Served served = servedImages(records);
        const Expectation expected = expectedPages(plan, served, answers, rc);
        if (rc == 0 && served.headersWithoutImage > 0)
            problems << QString("%1 page(s) whose image never came whole, yet the job succeeded")
                            .arg(served.headersWithoutImage);
        const int given = announced.size();
        if (expected.exact ? given != expected.announcements
                           : given > expected.announcements || given < expected.atLeast)
            problems << QString("%1 page file(s) announced for %2 image(s) served, %3 expected")
                            .arg(given)
                            .arg(served.images.size())
                            .arg(expected.announcements);
        // Each code once on the page (or merged sheet) it belongs to, and on
        // its grey copy; none of a page that was dropped or rejected.
        for (const std::string &code : codesGiven) {
            if (expected.barcodesGone.count(code) && !expected.barcodesOut.count(code))
                problems << QString("barcode %1 of a page that did not go out").arg(code.c_str());
            if (codesGiven.count(code) > expected.barcodesOut.count(code))
                problems << QString("barcode %1 given %2 times, %3 expected")
                                .arg(code.c_str())
                                .arg(codesGiven.count(code))
                                .arg(expected.barcodesOut.count(code));
        }
        if (expected.exact && rc == 0 && codesGiven != expected.barcodesOut)
            problems << QString("%1 barcode(s) given, %2 expected")
                            .arg(codesGiven.size())
                            .arg(expected.barcodesOut.size());
        QSet<QString> unique;
        for (const QString &f : announced) {
            if (unique.contains(f))
                problems << "announced twice: " + f;
            unique.insert(f);
            QImageReader reader(f);
            if (reader.read().isNull())
                problems << "announced page does not decode: " + f + " (" + reader.errorString() +
                                ")";
        }
        const QDir temp(config.m_strTempDir);
        for (const QString &f : temp.entryList(QDir::Files)) {
            if (!unique.contains(temp.filePath(f)))
                problems << "left behind unannounced: " + f;
        }
        if (!vanished && plan.fault != Fault::BusyLock && lockHeld)
            problems << "the scanner stays locked";
        QFile log(config.m_strScanLogFile);
        const int records_ =
            log.open(QIODevice::ReadOnly)
                ? QString::fromUtf8(log.readAll()).count(QString::fromUtf8("扫描结果："))
                : 0;
        const int wantRecords = served.scanBegun ? 1 : 0;
        if (records_ != wantRecords && !(vanished && records_ <= 1))
            problems
                << QString("%1 paper log record(s), %2 expected").arg(records_).arg(wantRecords);

        if (verbose || !problems.isEmpty())
            std::fprintf(stderr, "job seed 0x%016llx: result %d, %d page(s), %lld ms; %s\n",
                         static_cast<unsigned long long>(plan.seed), rc, given, took,
                         plan.describe().c_str());
        return problems.join("; ");
    }
};

} // namespace

int main(int argc, char **argv)
{
    emu::EmulatedBus::ensurePreload(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    long jobs = 40;
    quint64 runSeed = 20261209;
    bool replay = false;
    quint64 replaySeed = 0;
    bool verbose = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const QString next = i + 1 < args.size() ? args.at(i + 1) : QString();
        if (a == "--jobs") {
            jobs = next.toLong(), ++i;
        } else if (a == "--seed") {
            runSeed = next.toULongLong(nullptr, 0), ++i;
        } else if (a == "--replay") {
            replay = true, replaySeed = next.toULongLong(nullptr, 0), ++i;
        } else if (a == "--verbose") {
            verbose = true;
        } else {
            std::fprintf(stderr, "usage: %s [--jobs N] [--seed S] [--replay SEED] [--verbose]\n",
                         argv[0]);
            return 2;
        }
    }

    // Time-outs short enough that stalls and empty feeders cost little.
    LinkTimeouts::set(LinkTimeouts::Data, 250);
    LinkTimeouts::set(LinkTimeouts::Lock, 2000);
    LinkTimeouts::set(LinkTimeouts::PaperWait, 1500);

    Soak soak;
    soak.verbose = verbose || replay;
    std::thread watchdog([&soak] { soak.watch(); });

    int failures = 0;
    long rssStart = -1, rssEnd = -1;
    int fdStart = -1, fdEnd = -1;
    QStringList fdsAtStart;
    const long count = replay ? 1 : jobs;
    for (long i = 0; i < count; ++i) {
        const quint64 seed = replay ? replaySeed : jobSeed(runSeed, quint64(i));
        const Plan plan = drawPlan(seed, soak.base);
        ++soak.faultsDrawn[int(plan.fault)];
        soak.jobSeedNow = seed;
        soak.jobStarted = soak.clock.elapsed();
        const QString problem = soak.runJob(plan);
        soak.jobStarted = 0;
        if (!problem.isEmpty()) {
            ++failures;
            std::fprintf(stderr,
                         "FAIL job %ld seed 0x%016llx: %s\n  replay: %s --replay 0x%016llx\n", i,
                         static_cast<unsigned long long>(seed), qPrintable(problem), argv[0],
                         static_cast<unsigned long long>(seed));
        }
        if (i + 1 == warmUpJobs(count) || (count <= warmUpJobs(count) && i == 0)) {
            rssStart = residentKiB();
            fdStart = openDescriptors();
            fdsAtStart = openDescriptorTargets();
        }
        if (!replay && (i + 1) % 500 == 0)
            std::fprintf(stderr, "%ld jobs, %d failed, %lld s, %ld KiB resident, %d descriptors\n",
                         i + 1, failures, soak.clock.elapsed() / 1000, residentKiB(),
                         openDescriptors());
    }
    rssEnd = residentKiB();
    fdEnd = openDescriptors();
    soak.finished = true;
    watchdog.join();

    std::printf("%ld job(s) in %.1f s, %d failed\n", count, soak.clock.elapsed() / 1000.0,
                failures);
    std::printf("faults:");
    for (int f = 0; f < int(Fault::Count); ++f)
        std::printf(" %s %d", faultName(Fault(f)), soak.faultsDrawn[f]);
    std::printf("\nresident memory %ld KiB after the warm-up (%ld jobs), %ld KiB at the end; "
                "descriptors %d and %d\n",
                rssStart, warmUpJobs(count), rssEnd, fdStart, fdEnd);
    // Growth that a long run would turn into exhaustion. Memory may settle
    // a little higher than after the warm-up (allocator pools, Qt caches).
    if (!replay && count > warmUpJobs(count)) {
        if (fdEnd > fdStart) {
            std::printf("FAIL: open descriptors grew from %d to %d\n", fdStart, fdEnd);
            for (const QString &fd : openDescriptorTargets()) {
                if (!fdsAtStart.contains(fd))
                    std::printf("  new: %s\n", qPrintable(fd));
            }
            ++failures;
        }
        if (rssEnd - rssStart > 64 * 1024) {
            std::printf("FAIL: resident memory grew by %ld KiB\n", rssEnd - rssStart);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}

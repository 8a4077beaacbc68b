// Cost of the console window on a long scan: a 50-sheet duplex colour job
// through the offscreen window with its progress dialog, against the same
// job through the Devgate facade alone.
//
// Each side runs as its own host process under scanner-emulator (pages drawn
// once and repeated). The window side measures, on the GUI thread, the
// longest gap between ticks of a 10 ms timer (a stall), how much of that gap
// the thread itself ran (the rest it waited for a processor or a lock), and
// the time the thread spent awake per page. The window side runs several
// times: the best run shows what the console costs, the spread what the
// machine added.
//
//   bench_console [--sheets 50] [--runs 5]
//   bench_console --host facade|window SHEETS
#include "devgate.h"
#include "pmessage.h"
#include "scanmainwindow.h"
#include "scanshortcutmenu.h"
#include "vellumglobal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <cstdio>

namespace {

tagSCAN_SHORTCUT_MENU colourDuplex300()
{
    ScanShortcutMenu store;
    store.loadDefaultScanShortcut();
    tagSCAN_SHORTCUT_MENU p;
    store.getScanShortcutItem(4, p); // colour JPEG, both sides
    p.sideSettings[0].resolution = 300;
    p.sideSettings[1].resolution = 300;
    return p;
}

qint64 threadCpuUs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

QString firstPort()
{
    QList<tagUSB_DEVICE_DESCRIPTION> found;
    Devgate::enumScannerDevices(found);
    return found.isEmpty() ? QString() : found.first().portName;
}

int hostFacade(int sheets)
{
    g_VellumCfgFile.loadConfigFile(QCoreApplication::applicationDirPath());
    g_Devgate.setConfigFile(&g_VellumCfgFile);
    if (!g_Devgate.openPort(firstPort()))
        return 3;
    PMessage hub;
    std::atomic<int> images{0};
    QObject::connect(
        &hub, &PMessage::scanFileName, &hub,
        [&](SCAN_SHORTCUT_MENU *, QString f, schar, QStringList, int, int, int, int) {
            ++images;
            QFile::remove(f);
        },
        Qt::DirectConnection);
    auto profile = colourDuplex300();
    QElapsedTimer clock;
    clock.start();
    const int rc = g_Devgate.startJob(&profile, &hub);
    const double wall = clock.nsecsElapsed() / 1e9;
    g_Devgate.closePort();
    std::printf("RESULT result=%d images=%d wall=%.3f\n", rc, images.load(), wall);
    return rc == 0 && images == 2 * sheets ? 0 : 1;
}

int hostWindow(int sheets)
{
    ScanMainWindow window;
    window.show();
    if (!g_Devgate.openPort(firstPort()))
        return 3;
    std::atomic<int> images{0};
    QObject::connect(
        &window, &ScanMainWindow::scanFileNameToMain, &window,
        [&](QString f, signed char, QStringList, int, int, int, int) {
            ++images;
            // The launcher takes the pages away; keep the disk flat.
            QTimer::singleShot(0, [f] { QFile::remove(f); });
        },
        Qt::DirectConnection);

    // Stalls: the longest gap between ticks of a 10 ms timer, and the GUI
    // thread's own processor time within it.
    QElapsedTimer tick;
    qint64 longestGap = 0, stallAt = 0, stallBusyUs = 0, lastCpuUs = 0;
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QElapsedTimer clock;
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 gap = tick.restart();
        const qint64 cpu = threadCpuUs();
        if (gap > longestGap) {
            longestGap = gap;
            stallAt = clock.elapsed();
            stallBusyUs = cpu - lastCpuUs;
        }
        lastCpuUs = cpu;
    });
    // GUI time: the GUI thread's own processor time during the job.
    timespec cpuStart{}, cpuEnd{};

    int rc = -1;
    QObject::connect(&window, &ScanMainWindow::scanFinishToMain, [&] {
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuEnd);
        heartbeat.stop();
        rc = window.isCancel() ? 1 : 0;
        QCoreApplication::quit();
    });
    QTimer::singleShot(0, [&] {
        auto profile = colourDuplex300();
        tick.start();
        lastCpuUs = threadCpuUs();
        heartbeat.start(10);
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpuStart);
        clock.start();
        if (!window.startScanJob(profile))
            QCoreApplication::exit(2);
    });
    QCoreApplication::exec();
    const double wall = clock.nsecsElapsed() / 1e9;
    g_Devgate.closePort();
    const double guiMs =
        (cpuEnd.tv_sec - cpuStart.tv_sec) * 1e3 + (cpuEnd.tv_nsec - cpuStart.tv_nsec) / 1e6;
    std::printf("RESULT result=%d images=%d wall=%.3f stall_ms=%lld stall_at_ms=%lld "
                "stall_busy_ms=%.1f gui_ms_per_page=%.3f\n",
                rc, images.load(), wall, longestGap, stallAt, stallBusyUs / 1000.0,
                images ? guiMs / images : 0.0);
    return rc == 0 && images == 2 * sheets ? 0 : 1;
}

QMap<QString, QString> runHost(const QString &mode, int sheets)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(SCANNER_EMULATOR),
            {"--sheets", QString::number(sheets), "--same-pages", "--",
             QCoreApplication::applicationFilePath(), "--host", mode, QString::number(sheets)});
    QMap<QString, QString> row;
    if (!p.waitForFinished(-1))
        return row;
    for (const QString &line : QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n')) {
        if (!line.startsWith("RESULT "))
            continue;
        for (const QString &field : line.mid(7).split(' '))
            row.insert(field.section('=', 0, 0), field.section('=', 1));
    }
    row.insert("exit", QString::number(p.exitCode()));
    return row;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && QByteArray(argv[1]) == "--host") {
        const int sheets = QByteArray(argv[3]).toInt();
        if (QByteArray(argv[2]) == "facade") {
            QCoreApplication app(argc, argv);
            return hostFacade(sheets);
        }
        QApplication app(argc, argv);
        return hostWindow(sheets);
    }
    QCoreApplication app(argc, argv);
    int sheets = 50, runs = 5;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == "--sheets")
            sheets = args[i + 1].toInt();
        else if (args[i] == "--runs")
            runs = qMax(1, args[i + 1].toInt());
    }
    const auto facade = runHost("facade", sheets);
    QList<QMap<QString, QString>> windows;
    for (int r = 0; r < runs; ++r) {
        windows << runHost("window", sheets);
        if (windows.last().value("exit") != "0")
            break;
    }
    if (facade.value("exit") != "0" || windows.last().value("exit") != "0") {
        std::fprintf(stderr, "bench_console: a host failed (facade %s, window %s)\n",
                     qPrintable(facade.value("exit")), qPrintable(windows.last().value("exit")));
        return 1;
    }
    // The best run is the one with the shortest stall.
    std::sort(windows.begin(), windows.end(), [](const auto &a, const auto &b) {
        return a.value("stall_ms").toInt() < b.value("stall_ms").toInt();
    });
    const auto &window = windows.first();
    QStringList stalls;
    for (const auto &w : windows)
        stalls << w.value("stall_ms") + "/" + w.value("stall_busy_ms");
    const double fw = facade.value("wall").toDouble(), ww = window.value("wall").toDouble();
    const double images = window.value("images").toDouble();
    std::printf("%d sheets duplex, 300 dpi colour JPEG, %d images\n", sheets, int(images));
    std::printf("facade alone : %.2f s, %.1f images/s\n", fw, images / fw);
    std::printf("console      : %.2f s, %.1f images/s (%+.1f %%)\n", ww, images / ww,
                (ww / fw - 1) * 100);
    std::printf("longest GUI stall: %s ms (at %s ms into the job; the GUI thread ran %s ms of "
                "it); GUI time per page: %s ms\n",
                qPrintable(window.value("stall_ms")), qPrintable(window.value("stall_at_ms")),
                qPrintable(window.value("stall_busy_ms")),
                qPrintable(window.value("gui_ms_per_page")));
    std::printf("longest stall / GUI thread's time in it, each of %d runs, best first: %s ms\n",
                int(windows.size()),
                qPrintable(stalls.join(' ')));
    return 0;
}

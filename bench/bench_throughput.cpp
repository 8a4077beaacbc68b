// Throughput of the host side of a scan: long duplex jobs through the Devgate
// facade and the emulated libusb link, for three kinds of page.
//
// The scanner runs in a separate process (scanner-emulator, with every page
// drawn once and repeated), so this process is the host alone: its CPU time
// and peak memory are the host's, including libusb and the umockdev preload
// that stands in for the kernel's USB file system.
//
//   bench_throughput [--sheets 20,200] [--kinds jpeg,g4,grey]
//       runs each kind at each job length and prints a table;
//   bench_throughput --host KIND
//       the host side of one job (what the table's rows run).
#include "configfile.h"
#include "devgate.h"
#include "pmessage.h"
#include "scanshortcut.h"
#include "scanshortcutmenu.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <sys/resource.h>

#include <cstdio>

namespace {

struct Kind
{
    const char *name;
    const char *description;
    int builtIn;
    ColorModeFlag colour;
    CompressionTypeFlag compression;
    int resolution;
};

const Kind kKinds[] = {
    {"jpeg", "300 dpi A4 colour, JPEG", 4, ColorModeColor, CompressionJpeg, 300},
    {"g4", "300 dpi A4 bitonal, Group 4 TIFF", 2, ColorModeBlackWhite, CompressionGroup4, 300},
    {"grey", "200 dpi A4 grey, bitmap", 0, ColorModeGray, CompressionNone, 200},
};

const Kind *kindNamed(const QString &name)
{
    for (const Kind &k : kKinds) {
        if (name == QLatin1String(k.name))
            return &k;
    }
    return nullptr;
}

double cpuSeconds(const rusage &u)
{
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long rssKb()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// A one-sheet warm-up job, then one duplex job of every sheet left in the
// feeder; prints a RESULT line for the second.
int host(const Kind &kind)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    ConfigFile config;
    config.loadConfigFile(home.path());

    ScanShortcutMenu store;
    store.loadDefaultScanShortcut();
    tagSCAN_SHORTCUT_MENU profile;
    store.getScanShortcutItem(kind.builtIn, profile);
    profile.inputDocument = InputDocumentBoth;
    profile.sideStream = SideBoth;
    for (tagSCAN_SIDE_SETTING &side : profile.sideSettings) {
        side.colorMode = kind.colour;
        side.compressionType = kind.compression;
        side.resolution = kind.resolution;
    }

    QList<tagUSB_DEVICE_DESCRIPTION> found;
    if (Devgate::enumScannerDevices(found) < 1 || found.isEmpty()) {
        std::fprintf(stderr, "bench: no scanner\n");
        return 3;
    }
    Devgate gate;
    gate.setConfigFile(&config);
    if (!gate.openPort(found.first().portName)) {
        std::fprintf(stderr, "bench: cannot open the scanner\n");
        return 1;
    }

    // The pages are taken as they come, as the console would, and removed
    // so that a long job needs no more disk than a short one.
    PMessage hub;
    long long images = 0, bytes = 0;
    QObject::connect(&hub, &PMessage::scanFileName, &hub,
                     [&](SCAN_SHORTCUT_MENU *, QString file, schar, QStringList, int, int, int, int) {
                         ++images;
                         bytes += QFileInfo(file).size();
                         QFile::remove(file);
                     },
                     Qt::DirectConnection);

    // The emulator jams in place of the second sheet: the first job takes one
    // sheet, so the emulator has drawn its pages and this process has loaded
    // what it loads once, before the measured job takes the rest.
    const int warmUp = gate.startJob(&profile, &hub);
    if (warmUp != -22 || images != 2) {
        std::fprintf(stderr, "bench: the warm-up job gave %d with %lld images\n", warmUp, images);
        return 1;
    }
    images = bytes = 0;

    const long rssBefore = rssKb();
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer wall;
    wall.start();
    const int result = gate.startJob(&profile, &hub);
    const double seconds = wall.nsecsElapsed() / 1e9;
    getrusage(RUSAGE_SELF, &after);
    gate.closePort();

    std::printf("RESULT %s result=%d images=%lld bytes=%lld wall=%.3f cpu=%.3f maxrss=%ld "
                "rss_before=%ld\n",
                kind.name, result, images, bytes, seconds, cpuSeconds(after) - cpuSeconds(before),
                after.ru_maxrss, rssBefore);
    return result == 0 ? 0 : 1;
}

struct Row
{
    QString kind;
    int sheets = 0;
    long long images = 0, bytes = 0;
    double wall = 0, cpu = 0;
    long maxrss = 0, rssBefore = 0;
    bool ok = false;
};

Row runOne(const Kind &kind, int sheets)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(QStringLiteral(SCANNER_EMULATOR),
            {"--sheets", QString::number(sheets + 1), "--jam", "2", "--same-pages", "--",
             QCoreApplication::applicationFilePath(), "--host", kind.name});
    Row row;
    row.kind = kind.name;
    row.sheets = sheets;
    if (!p.waitForFinished(-1))
        return row;
    for (const QString &line : QString::fromLocal8Bit(p.readAllStandardOutput()).split('\n')) {
        if (!line.startsWith("RESULT "))
            continue;
        for (const QString &field : line.split(' ')) {
            const QString key = field.section('=', 0, 0), value = field.section('=', 1);
            if (key == "result")
                row.ok = value == "0";
            else if (key == "images")
                row.images = value.toLongLong();
            else if (key == "bytes")
                row.bytes = value.toLongLong();
            else if (key == "wall")
                row.wall = value.toDouble();
            else if (key == "cpu")
                row.cpu = value.toDouble();
            else if (key == "maxrss")
                row.maxrss = value.toLong();
            else if (key == "rss_before")
                row.rssBefore = value.toLong();
        }
    }
    row.ok = row.ok && p.exitCode() == 0 && row.images == 2LL * sheets;
    return row;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == "--host") {
        const Kind *kind = kindNamed(args[2]);
        return kind ? host(*kind) : 2;
    }

    QStringList sheetCounts{"20", "200"}, kinds{"jpeg", "g4", "grey"};
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--sheets" && i + 1 < args.size())
            sheetCounts = args[++i].split(',');
        else if (args[i] == "--kinds" && i + 1 < args.size())
            kinds = args[++i].split(',');
        else {
            std::fprintf(stderr, "usage: bench_throughput [--sheets 20,200] [--kinds jpeg,g4,grey]\n");
            return 2;
        }
    }

    QTextStream out(stdout);
    out << QString("%1 %2 %3 %4 %5 %6 %7 %8\n")
               .arg("kind", -5).arg("sheets", 6).arg("images", 6).arg("KiB/img", 8)
               .arg("img/s", 7).arg("cpu ms/img", 10).arg("peak MiB", 8).arg("before MiB", 10);
    bool allOk = true;
    for (const QString &name : kinds) {
        const Kind *kind = kindNamed(name);
        if (!kind) {
            std::fprintf(stderr, "bench: unknown kind %s\n", qPrintable(name));
            return 2;
        }
        for (const QString &count : sheetCounts) {
            const Row r = runOne(*kind, count.toInt());
            allOk = allOk && r.ok;
            const double n = r.images > 0 ? double(r.images) : 1.0;
            out << QString("%1 %2 %3 %4 %5 %6 %7 %8%9\n")
                       .arg(r.kind, -5).arg(r.sheets, 6).arg(r.images, 6)
                       .arg(r.bytes / n / 1024.0, 8, 'f', 0)
                       .arg(r.wall > 0 ? r.images / r.wall : 0.0, 7, 'f', 1)
                       .arg(1000.0 * r.cpu / n, 10, 'f', 1)
                       .arg(r.maxrss / 1024.0, 8, 'f', 1)
                       .arg(r.rssBefore / 1024.0, 10, 'f', 1)
                       .arg(r.ok ? "" : "  FAILED");
            out.flush();
        }
    }
    return allOk ? 0 : 1;
}

// scanprobe: scans once from the first scanner found, through the Devgate
// facade, with one of the built-in profiles, and prints what arrived:
//   port 1;2;
//   page SIDE WIDTHxHEIGHT RESOLUTION COLOURTYPE FILE
//   result CODE
//   pages N
//   sheets N
// Exit status 0 when the job succeeded and every page file reads back as an
// image of the announced size, 1 otherwise, 3 when no scanner is found.
#include "configfile.h"
#include "devgate.h"
#include "pmessage.h"
#include "scanshortcut.h"
#include "scanshortcutmenu.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QStringList>

#include <cstdio>

namespace {

struct Options
{
    int profile = 0;
    bool keepPages = false;
};

bool parse(const QStringList &args, Options &o)
{
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--profile" && i + 1 < args.size()) {
            bool ok = false;
            o.profile = args[++i].toInt(&ok);
            if (!ok)
                return false;
        } else if (args[i] == "--keep-pages") {
            o.keepPages = true;
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Options options;
    if (!parse(app.arguments(), options)) {
        std::fprintf(stderr, "usage: scanprobe [--profile N] [--keep-pages]\n");
        return 2;
    }

    ConfigFile config;
    config.loadConfigFile(QCoreApplication::applicationDirPath());
    ScanShortcutMenu store;
    store.loadDefaultScanShortcut();
    tagSCAN_SHORTCUT_MENU profile;
    if (!store.getScanShortcutItem(options.profile, profile)) {
        std::fprintf(stderr, "scanprobe: no built-in profile %d\n", options.profile);
        return 2;
    }

    QList<tagUSB_DEVICE_DESCRIPTION> found;
    if (Devgate::enumScannerDevices(found) < 1 || found.isEmpty()) {
        std::fprintf(stderr, "scanprobe: no scanner found\n");
        return 3;
    }
    const QString port = found.first().portName;
    std::printf("port %s\n", qPrintable(port));

    Devgate gate;
    gate.setConfigFile(&config);
    if (!gate.openPort(port)) {
        std::fprintf(stderr, "scanprobe: cannot open %s\n", qPrintable(port));
        return 1;
    }

    PMessage hub;
    int pages = 0, sheets = -1;
    bool allRead = true;
    QObject::connect(&hub, &PMessage::scanFileName, &hub,
                     [&](SCAN_SHORTCUT_MENU *, QString file, schar side, QStringList, int width,
                         int height, int resolution, int colourType) {
                         ++pages;
                         const QSize size = QImageReader(file).size();
                         const bool read = size == QSize(width, height);
                         allRead = allRead && read;
                         std::printf("page %d %dx%d %d %d %s%s\n", int(side), width, height,
                                     resolution, colourType, qPrintable(file),
                                     read ? "" : " UNREADABLE");
                         if (!options.keepPages)
                             QFile::remove(file);
                     },
                     Qt::DirectConnection);
    QObject::connect(&hub, &PMessage::scanFinish, &hub,
                     [&](SCAN_SHORTCUT_MENU *, int, int, int count, int, int) { sheets = count; },
                     Qt::DirectConnection);

    const int result = gate.startJob(&profile, &hub);
    gate.closePort();
    std::printf("result %d\npages %d\nsheets %d\n", result, pages, sheets);
    std::fflush(stdout);
    return result == 0 && allRead ? 0 : 1;
}

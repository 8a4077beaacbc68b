// The launcher's whole road against the emulated scanner: onepress_main
// starts the launcher, the console registers the button list, a panel press
// scans with the task's profile, the output worker writes a PDF into the
// task's folder, and the page files are gone. Button 1 is the colour task,
// button 3 the black-and-white one. The checks use the outside PDF tools.

#include "emulatedbus.h"
#include "eventservice.h"
#include "mainwindow.h"
#include "onepressglobal.h"
#include "onepressmain.h"
#include "scannercommands.h"
#include "scanshortcutmenu.h"
#include "sheetfeeder.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

struct Emulator
{
    emu::EmulatedBus bus;
    std::shared_ptr<emu::ScannerEmulator> device = std::make_shared<emu::ScannerEmulator>();
    emu::ScannerCommands commands{*device};
    std::unique_ptr<emu::SheetFeeder> feeder;
    emu::EventService events;

    Emulator()
    {
        events.setServerTimeout(std::chrono::milliseconds(250));
        events.attach(device);
        bus.plug(device);
    }
    ~Emulator() { events.detach(); }
    void stack(unsigned sheets, emu::Ink ink)
    {
        emu::StackScript script;
        script.sheets = sheets;
        script.ink = ink;
        feeder = std::make_unique<emu::SheetFeeder>(commands, script);
    }
};

Emulator *g_emulator = nullptr;
int g_failures = 0;
QString g_out;
int g_colourDpi = 0;
int g_bwDpi = 0;

QElapsedTimer g_clock;

void check(bool ok, const QString &what)
{
    std::fprintf(stderr, "%s: [%lld ms] %s\n", ok ? "PASS" : "FAIL", g_clock.elapsed(),
                 qPrintable(what));
    if (!ok)
        ++g_failures;
}

QString tool(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(30000);
    if (exitCode)
        *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

MainWindow *launcherWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *m = qobject_cast<MainWindow *>(w))
            return m;
    return nullptr;
}

// Turns the event loop until the condition holds or the time is up.
bool waitFor(const std::function<bool()> &condition, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    return true;
}

QStringList pdfs()
{
    return QDir(g_out).entryList({"*.pdf"}, QDir::Files, QDir::Time | QDir::Reversed);
}

QStringList pageFilesLeft()
{
    return QDir(g_ConfigFile.m_strTempDir).entryList({"*.jpg", "*.bmp", "*.tif"}, QDir::Files);
}

// Slots 0 and 2 become file tasks writing PDF into the output folder.
void prepareTasks()
{
    g_ConfigFile.loadConfigFile(QCoreApplication::applicationDirPath());
    g_out = QDir::tempPath() + "/acceptance-out";
    QDir(g_out).removeRecursively();
    QDir().mkpath(g_out);
    ScanShortcutMenu profiles;
    profiles.loadScanShortcut(&g_ConfigFile);
    TaskShortcut tasks;
    tasks.loadTaskList(&profiles);
    for (int slot : {0, 2}) {
        tagTASK_SHORTCUT t;
        tasks.enumTaskShortcut(slot, t);
        t.ScanDestinationID = ScanDestination::kFileId;
        t.FileTypeID = FileTypePdf;
        t.FolderPath = g_out;
        t.BeforeSaveFileSettingFileName = false;
        tasks.setTaskShortcut(t.TaskID, t);
        (slot == 0 ? g_colourDpi : g_bwDpi) = t.ScanProfile.sideSettings[0].resolution;
    }
    if (!tasks.saveTaskList())
        check(false, "task folders written");
}

void runTask(int button, emu::Ink ink, int expectedPdfs)
{
    MainWindow *w = launcherWindow();
    g_emulator->stack(1, ink);
    const unsigned before = g_emulator->feeder->imagesDelivered();
    g_emulator->events.pressButton(button);
    const bool done = waitFor([&] { return pdfs().size() == expectedPdfs && !w->isBusy() &&
                                           !w->isSaving(); },
                              60000);
    check(done, QString("button %1 wrote a PDF and released the run").arg(button));
    if (!done)
        return;
    const QString pdf = g_out + "/" + pdfs().last();
    int rc = -1;
    tool("qpdf", {"--check", pdf}, &rc);
    check(rc == 0, "qpdf --check " + pdf);
    const int images = int(g_emulator->feeder->imagesDelivered() - before);
    const QString info = tool("pdfinfo", {pdf});
    const QRegularExpressionMatch pages = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    check(images > 0 && pages.hasMatch() && pages.captured(1).toInt() == images,
          QString("pdfinfo counts the %1 images delivered").arg(images));
    check(pageFilesLeft().isEmpty(), "no page file left: " + pageFilesLeft().join(' '));
    const QStringList rows = tool("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts).mid(2);
    check(rows.size() == images, "pdfimages lists one image a page");
    const int dpi = ink == emu::Ink::Colour ? g_colourDpi : g_bwDpi;
    for (const QString &row : rows) {
        const QStringList f = row.simplified().split(' ');
        // page num type width height color comp bpc enc interp object ID x-ppi y-ppi size ratio
        check(f.value(8) == "jpeg", "image coded as jpeg: " + row);
        check(f.value(12).toInt() == dpi, QString("image at %1 dpi: ").arg(dpi) + row);
    }
    if (ink == emu::Ink::BlackWhite) {
        const QString png = QDir::tempPath() + "/acceptance-bw";
        tool("pdftoppm", {"-png", "-gray", "-r", "30", "-f", "1", "-l", "1", pdf, png});
        QImage page(png + "-1.png");
        if (page.isNull())
            page.load(png + "-01.png");
        check(!page.isNull(), "pdftoppm renders the first page");
        qint64 sum = 0;
        int dark = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const int v = qGray(page.pixel(x, y));
                sum += v;
                dark += v < 96;
            }
        const int pixels = qMax(1, page.width() * page.height());
        check(sum / pixels > 170, "the bitonal page is mostly white");
        check(dark > 0, "the bitonal page has black marks");
    }
}

void script()
{
    MainWindow *w = launcherWindow();
    check(w && w->isHidden(), "the launcher window exists and stays hidden");
    if (w) {
        check(waitFor([] { return g_emulator->events.registered(); }, 30000),
              "the console registered the button list");
        runTask(1, emu::Ink::Colour, 1);
        runTask(3, emu::Ink::BlackWhite, 2);
        w->setExitPrompt([](QWidget *) { return 1; });
        w->systemMenuExit();
    } else {
        QCoreApplication::exit(1);
    }
}

void startUp()
{
    // Offscreen there is no tray: the launcher's first wait would take 15 s.
    SystemTrayIcon::setDefaultWaiting([] { return true; }, [] {});
    prepareTasks();
    QTimer::singleShot(0, script);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startUp)

int main(int argc, char **argv)
{
    emu::EmulatedBus::ensurePreload(argc, argv);
    g_clock.start();
    Emulator emulator;
    if (!emulator.bus.isValid()) {
        std::fprintf(stderr, "FAIL: no emulated bus: %s\n", emulator.bus.errorString().c_str());
        return 1;
    }
    emulator.stack(2, emu::Ink::Colour);
    g_emulator = &emulator;
    const int rc = onepress_main(argc, argv);
    check(rc == 0, "onepress_main returned 0 after the confirmed exit");
    std::fprintf(stderr, "%d failure(s)\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}

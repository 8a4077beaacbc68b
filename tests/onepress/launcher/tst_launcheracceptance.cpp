// The launcher's whole road against the emulated scanner: onepress_main
// starts the launcher, the console registers the button list, a panel press
// scans with the task's profile, the output worker writes a PDF into the
// task's folder, and the page files are gone. Button 1 is the colour task,
// button 3 the black-and-white one. The checks use the outside PDF tools.
// Button 4 mails its PDF silently to an SMTP server on loopback; button 5
// writes a searchable PDF through the OCR program. The test program has
// beside it what an installed launcher has: Qt's own dialogs read Chinese,
// and Help opens the help documents laid out there.

#include "mainwindow.h"
#include "onepressglobal.h"
#include "onepressmain.h"
#include "consolelink.h"
#include "retoucher.h"
#include "support/processes.h"
#include "support/testtiming.h"
#include <QPushButton>
#include "scanmainwindow.h"
#include "scanshortcutmenu.h"
#include "../../platform/smtp/smtptestserver.h"
#include "support/desktopurls.h"
#include "support/emulatedscanner.h"
#include "support/modalanswer.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QRegularExpression>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

namespace {

struct Emulator : testsupport::EmulatedScanner
{
    void stack(unsigned sheets, emu::Ink ink)
    {
        emu::StackScript script;
        script.sheets = sheets;
        script.ink = ink;
        restack(script);
    }
};

Emulator *g_emulator = nullptr;
int g_failures = 0;
QString g_out;
int g_colourDpi = 0;
int g_bwDpi = 0;

QElapsedTimer g_clock;
smtptest::Server *g_smtp = nullptr;
QString g_mailOut;
QString g_ocrOut;
QString g_keptOut;

void check(bool ok, const QString &what)
{
    std::fprintf(stderr, "%s: [%lld ms] %s\n", ok ? "PASS" : "FAIL", g_clock.elapsed(),
                 qPrintable(what));
    if (!ok)
        ++g_failures;
}

QString tool(const QString &program, const QStringList &args, int *exitCode = nullptr)
{
    const testsupport::ToolRun r = testsupport::runTool(program, args);
    if (exitCode)
        *exitCode = r.code;
    return QString::fromUtf8(r.out + r.err);
}

// The page count pdfinfo reads in the document, -1 where it reads none.
int pdfPages(const QString &pdf)
{
    const QRegularExpressionMatch m =
        QRegularExpression("Pages:\\s+(\\d+)").match(tool("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

bool qpdfAccepts(const QString &pdf)
{
    int rc = -1;
    tool("qpdf", {"--check", pdf}, &rc);
    return rc == 0;
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
    return QTest::qWaitFor(condition, scaledMs(ms));
}

QStringList pdfs()
{
    return QDir(g_out).entryList({"*.pdf"}, QDir::Files, QDir::Time | QDir::Reversed);
}

QStringList pageFilesLeft()
{
    return QDir(g_ConfigFile.m_strTempDir).entryList({"*.jpg", "*.bmp", "*.tif"}, QDir::Files);
}

// Slots 0 and 2 become file tasks writing PDF into the output folder, slot 1
// one that opens the image editor, slots 3 to 5 ones with the colour task's
// scan settings: a mail, a searchable PDF and one that asks for keywords.
void prepareTasks()
{
    g_ConfigFile.loadConfigFile(QCoreApplication::applicationDirPath());
    g_out = QDir::tempPath() + "/acceptance-out";
    QDir(g_out).removeRecursively();
    QDir().mkpath(g_out);
    g_mailOut = g_out + "/mail";
    g_ocrOut = g_out + "/ocr";
    g_keptOut = g_out + "/kept";
    ScanShortcutMenu profiles;
    profiles.loadScanShortcut(&g_ConfigFile);
    TaskShortcut tasks;
    tasks.loadTaskList(&profiles);
    // A slot's record made a file task writing PDF into the folder unasked.
    const auto fileTask = [&tasks](int slot, const QString &folder) {
        tagTASK_SHORTCUT t;
        tasks.enumTaskShortcut(slot, t);
        t.ScanDestinationID = ScanDestination::kFileId;
        t.FileTypeID = FileTypePdf;
        t.FolderPath = folder;
        t.BeforeSaveFileSettingFileName = false;
        return t;
    };
    for (int slot : {0, 2}) {
        tagTASK_SHORTCUT t = fileTask(slot, g_out);
        tasks.setTaskShortcut(t.TaskID, t);
        (slot == 0 ? g_colourDpi : g_bwDpi) = t.ScanProfile.sideSettings[0].resolution;
    }
    tagTASK_SHORTCUT editor = fileTask(1, g_out + "/edited");
    editor.BeforeSaveEditImage = true;
    editor.ADFEmptyWaiting = false;
    tasks.setTaskShortcut(editor.TaskID, editor);
    // The mail goes out silently, without authentication.
    ScanDestination destinations;
    destinations.loadScanDestination();
    tagSCAN_DESTINATION mail;
    mail.ScanDestinationFlagID = ScanDestWebMail;
    mail.Name = "loopback mail";
    mail.ServerAddress = "127.0.0.1";
    mail.Port = g_smtp->port;
    mail.UserMailAddr = "scanner@corvan.test";
    mail.MailSize = 20;
    mail.SendNoPromptMail = true;
    mail.Recipient = "office@corvan.test";
    destinations.addScanDestination(mail);
    if (!destinations.saveScanDestination())
        check(false, "destinations written");
    const tagSCAN_SHORTCUT_MENU colour = fileTask(0, g_out).ScanProfile;
    for (int slot : {3, 4, 5}) {
        tagTASK_SHORTCUT t = fileTask(slot, slot == 3   ? g_mailOut
                                            : slot == 4 ? g_ocrOut
                                                        : g_keptOut);
        t.EnableCommand = true;
        t.ScanProfile = colour;
        if (slot == 3)
            t.ScanDestinationID = mail.ScanDestinationID;
        if (slot == 4)
            t.FileTypeID = FileTypeSearchablePdf;
        if (slot == 5)
            t.BeforeSaveEditImage = t.ADFEmptyWaiting = false;
        t.AddKeywordToDoc = slot == 5;
        tasks.setTaskShortcut(t.TaskID, t);
    }
    if (!tasks.saveTaskList())
        check(false, "task folders written");
}

// Button 2: the image editor stand-in scans through the console it was
// given. Save is pressed while that scan still runs: the document waits for
// the scan's end and holds every page of it.
void runEditorTask()
{
    MainWindow *w = launcherWindow();
    g_emulator->stack(4, emu::Ink::Colour);
    const unsigned before = g_emulator->feeder->imagesDelivered();
    g_emulator->events.pressButton(2);
    const bool scanning = waitFor(
        [&] {
            return w->retoucher() && !w->retoucher()->isHidden() && w->retoucher()->isScanning() &&
                   !w->pages().isEmpty();
        },
        60000);
    check(scanning, "the editor scans through the console and its pages reach the launcher");
    if (!scanning)
        return;
    check(!w->retoucher()->acceptButton()->isEnabled(), "Save waits for the end of the scan");
    w->retoucher()->accept();
    const QString edited = g_out + "/edited";
    const bool saved = waitFor(
        [&] {
            return QDir(edited).entryList({"*.pdf"}, QDir::Files).size() == 1 && !w->isBusy() &&
                   !w->isSaving();
        },
        60000);
    check(saved, "Save pressed during the scan saved the editor's pages");
    if (!saved)
        return;
    const int images = int(g_emulator->feeder->imagesDelivered() - before);
    const QString pdf = edited + "/" + QDir(edited).entryList({"*.pdf"}, QDir::Files).first();
    const int pages = pdfPages(pdf);
    check(images > 1 && pages == images,
          QString("the edited PDF holds all %1 pages of the scan: %2").arg(images).arg(pages));
    check(pageFilesLeft().isEmpty(), "no page file left: " + pageFilesLeft().join(' '));
    check(!w->retoucher(), "the editor is gone after it closed");
}

// Button 2 again, Discard pressed during the scan: the scan stops, nothing
// is written, no page is left, and the next task (button 3) gets only its own.
void runEditorDiscard()
{
    MainWindow *w = launcherWindow();
    g_emulator->stack(4, emu::Ink::Colour);
    g_emulator->events.pressButton(2);
    const bool scanning = waitFor(
        [&] { return w->retoucher() && w->retoucher()->isScanning() && !w->pages().isEmpty(); },
        60000);
    check(scanning, "the editor scans again");
    if (!scanning)
        return;
    w->retoucher()->rejectButton()->click();
    check(waitFor([&] { return !w->retoucher() && !w->isBusy() && !w->console()->isScanning(); },
                  60000),
          "Discard during the scan stopped it and closed the editor");
    check(pageFilesLeft().isEmpty(), "no page file left: " + pageFilesLeft().join(' '));
}

// Button 4: the PDF reaches the SMTP server, attached byte for byte.
void runMailTask()
{
    MainWindow *w = launcherWindow();
    g_emulator->stack(1, emu::Ink::Colour);
    g_emulator->events.pressButton(4);
    const bool sent =
        waitFor([&] { return g_smtp->mails() == 1 && !w->isBusy() && !w->isSaving(); }, 60000);
    check(sent, "button 4 mailed its document");
    if (!sent)
        return;
    const QStringList written = QDir(g_mailOut).entryList({"*.pdf"}, QDir::Files);
    check(written.size() == 1, "one PDF written for the mail: " + written.join(' '));
    const QJsonArray to = g_smtp->envelope(1)["to"].toArray();
    check(to.size() == 1 && to.at(0).toString() == "office@corvan.test",
          "mailed to the destination's recipient");
    QTemporaryDir parts;
    const QJsonObject message = g_smtp->message(1, parts.path());
    const QJsonArray names = message["attachments"].toArray();
    check(names.size() == 1 && !written.isEmpty() && names.at(0).toString() == written.value(0),
          "the PDF is attached under its own name");
    QFile sentFile(parts.path() + "/" + names.at(0).toString());
    QFile ours(g_mailOut + "/" + written.value(0));
    check(sentFile.open(QIODevice::ReadOnly) && ours.open(QIODevice::ReadOnly) &&
              sentFile.readAll() == ours.readAll(),
          "the attachment is the document byte for byte");
    check(g_smtp->count("AUTH") == 0, "no authentication without an account");
}

// Button 5: a searchable PDF with a text layer.
void runSearchableTask()
{
    MainWindow *w = launcherWindow();
    g_emulator->stack(1, emu::Ink::Colour);
    g_emulator->events.pressButton(5);
    const bool done = waitFor(
        [&] {
            return !QDir(g_ocrOut).entryList({"*.pdf"}, QDir::Files).isEmpty() && !w->isBusy() &&
                   !w->isSaving();
        },
        90000);
    check(done, "button 5 wrote a searchable PDF");
    if (!done)
        return;
    const QString pdf = g_ocrOut + "/" + QDir(g_ocrOut).entryList({"*.pdf"}, QDir::Files).value(0);
    check(qpdfAccepts(pdf), "qpdf --check " + pdf);
    check(tool("pdffonts", {pdf}).contains("GlyphLessFont"),
          "the OCR text layer's font is in the document");
}

// Button 6: the scanner goes away after the last sheet, while the document
// is being saved (the worker waits for its keywords): the document is
// written whole all the same, and the launcher knows the scanner is gone.
void runVanishWhileSaving()
{
    MainWindow *w = launcherWindow();
    g_emulator->stack(3, emu::Ink::Colour);
    const unsigned before = g_emulator->feeder->imagesDelivered();
    bool lostWhileSaving = false;
    testsupport::ModalAnswerer answer([&](QWidget *dialog, const testsupport::ModalSeen &seen) {
        if (seen.className == "AddKeywordsDialog") {
            const bool saving = w->isSaving();
            g_emulator->bus.unplug(g_emulator->device);
            lostWhileSaving =
                saving && waitFor([&] { return !w->isConnected(); }, 30000) && w->isSaving();
            if (auto *edit = dialog->findChild<QLineEdit *>("lineEditInfo"))
                edit->setText("kept");
        }
        testsupport::ModalAnswerer::press(dialog, "确定");
    });
    g_emulator->events.pressButton(6);
    const bool done = waitFor(
        [&] {
            return QDir(g_keptOut).entryList({"*.pdf"}, QDir::Files).size() == 1 && !w->isBusy() &&
                   !w->isSaving();
        },
        90000);
    answer.stop();
    check(lostWhileSaving, "the scanner went away while the document was being saved");
    check(done, "the document was written all the same");
    if (!done)
        return;
    const int images = int(g_emulator->feeder->imagesDelivered() - before);
    const QString pdf = g_keptOut + "/" + QDir(g_keptOut).entryList({"*.pdf"}, QDir::Files).first();
    check(qpdfAccepts(pdf) && images > 0 && pdfPages(pdf) == images,
          QString("the document is complete: %1 pages").arg(images));
    check(pageFilesLeft().isEmpty(), "no page file left: " + pageFilesLeft().join(' '));
    check(!w->isConnected(), "the scanner is marked gone");
}

void runTask(int button, emu::Ink ink, int expectedPdfs)
{
    MainWindow *w = launcherWindow();
    g_emulator->stack(1, ink);
    const unsigned before = g_emulator->feeder->imagesDelivered();
    g_emulator->events.pressButton(button);
    const bool done = waitFor(
        [&] { return pdfs().size() == expectedPdfs && !w->isBusy() && !w->isSaving(); }, 60000);
    check(done, QString("button %1 wrote a PDF and released the run").arg(button));
    if (!done)
        return;
    const QString pdf = g_out + "/" + pdfs().last();
    check(qpdfAccepts(pdf), "qpdf --check " + pdf);
    const int images = int(g_emulator->feeder->imagesDelivered() - before);
    check(images > 0 && pdfPages(pdf) == images,
          QString("pdfinfo counts the %1 images delivered").arg(images));
    check(pageFilesLeft().isEmpty(), "no page file left: " + pageFilesLeft().join(' '));
    const QStringList rows =
        tool("pdfimages", {"-list", pdf}).split('\n', Qt::SkipEmptyParts).mid(2);
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

// Qt's standard dialogs and message-box buttons, as the launcher's start-up
// left them.
void checkQtTexts()
{
    QMessageBox box(QMessageBox::Information, "", "", QMessageBox::Ok | QMessageBox::Cancel);
    check(box.button(QMessageBox::Ok)->text() == QStringLiteral("确定") &&
              box.button(QMessageBox::Cancel)->text() == QStringLiteral("取消"),
          "message-box buttons read 确定 and 取消");
    QFileDialog files;
    files.setOption(QFileDialog::DontUseNativeDialog);
    auto *name = files.findChild<QLabel *>("fileNameLabel");
    auto *type = files.findChild<QLabel *>("fileTypeLabel");
    check(name && name->text().contains(QStringLiteral("文件名")) && type &&
              type->text().contains(QStringLiteral("文件类型")),
          "the file dialog's labels are Chinese: " + (name ? name->text() : QString()));
}

// Help in the tray and in the console's settings opens the laid-out guides.
void checkHelp(MainWindow *w)
{
    testsupport::DesktopUrls desktop;
    w->tray().systemMenuHelp();
    w->console()->window()->clickedBtnHelp();
    const QString help = QCoreApplication::applicationDirPath() + "/help/";
    check(desktop.urls == QList<QUrl>{QUrl::fromLocalFile(help + "Deskscope_ZH_CN.pdf"),
                                      QUrl::fromLocalFile(help + "Scan_Settings_Guide_ZH_CN.pdf")},
          "Help opens the two help documents beside the program");
    for (const QUrl &url : desktop.urls)
        check(tool("pdfinfo", {url.toLocalFile()}).contains("Pages:"),
              url.toLocalFile() + " is a PDF");
}

void script()
{
    MainWindow *w = launcherWindow();
    check(w && w->isHidden(), "the launcher window exists and stays hidden");
    checkQtTexts();
    if (w) {
        checkHelp(w);
        check(waitFor([] { return g_emulator->events.registered(); }, 30000),
              "the console registered the button list");
        runTask(1, emu::Ink::Colour, 1);
        runEditorTask();
        runEditorDiscard();
        runTask(3, emu::Ink::BlackWhite, 2);
        runMailTask();
        runSearchableTask();
        runVanishWhileSaving();
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
    smtptest::Server smtp;
    if (!smtp.ready) {
        std::fprintf(stderr, "FAIL: no loopback SMTP server\n");
        return 1;
    }
    g_smtp = &smtp;
    const int rc = onepress_main(argc, argv);
    check(rc == 0, "onepress_main returned 0 after the confirmed exit");
    std::fprintf(stderr, "%d failure(s)\n", g_failures);
    return g_failures == 0 ? 0 : 1;
}

// The button-task run without widgets: every road from the start to the
// release, driven by a script of events over a scripted console, worker and
// window, with what is left on disk, what the worker was given, what the
// window was asked and how the run ended.

#include "fakeconsole.h"
#include "storefixture.h"
#include "support/datarows.h"
#include "taskrun.h"

#include <QtTest>

using testsupport::row;

namespace {

struct FakeWorker : RunWorker
{
    QList<tagSCAN_IMAGE_FILE> given;
    int saves = 0;
    int cancels = 0;
    void markBlankPages(const QList<tagSCAN_IMAGE_FILE> &pages, int) override { given = pages; }
    void startSave(const tagTASK_SHORTCUT &, const QList<tagSCAN_IMAGE_FILE> &pages) override
    {
        given = pages;
        ++saves;
    }
    void cancelSave() override { ++cancels; }
};

struct FakeAsker : RunAsker
{
    QStringList calls;
    QStringList moreAnswers;
    bool editorScans = true;
    Printed printed = Printed::Done;
    // Events that come while a question is open (the scanner goes, a second start).
    QMultiMap<QString, QString> meanwhile;
    std::function<void(const QString &)> event;

    void during(const QString &question)
    {
        calls << question;
        for (const QString &e : meanwhile.values(question))
            event(e);
    }
    void runStarted() override {}
    void runReleased() override {}
    bool askMorePages() override
    {
        during("more?");
        return moreAnswers.takeFirst() == "yes";
    }
    bool openEditor(const tagSCAN_SHORTCUT_MENU &) override
    {
        calls << "editor";
        return editorScans;
    }
    void closeEditor(QList<tagSCAN_IMAGE_FILE> *pages) override
    {
        calls << (pages ? "editor saves" : "editor gone");
    }
    Printed print(const QList<tagSCAN_IMAGE_FILE> &, const tagTASK_SHORTCUT &) override
    {
        during("print");
        return printed;
    }
    bool handOff(ScanDestFlag kind, const QList<tagSCAN_IMAGE_FILE> &,
                 const tagTASK_SHORTCUT &) override
    {
        during(QString("hand-off %1").arg(int(kind)));
        return true;
    }
    void showFailure(int code) override { calls << QString("box %1").arg(code); }
};

const char *const kOutcomes[] = {"none",     "dispatched", "printed", "nothing",  "cancelled",
                                 "declined", "discarded",  "failed",  "cut short"};

} // namespace

class TestTaskRun : public QObject
{
    Q_OBJECT
private slots:
    void init() { g_ConfigFile.m_nRemoveImage = 1; }
    void roads_data();
    void roads();
};

void TestTaskRun::roads_data()
{
    QTest::addColumn<QString>("task");
    // Events: start, page, end, cancel (the console's), save and discard
    // (the editor), lost (the scanner), marked, written, unwritten (nothing
    // but blank pages), failed, stopped (the progress dialog's cancel),
    // declined (a worker question), again (a second start, refused).
    QTest::addColumn<QString>("events");
    // Feeder answers, "print:failed", "<event>:<question>" for an event while it is open.
    QTest::addColumn<QString>("answers");
    QTest::addColumn<int>("pagesLeft"); // page files on disk afterwards
    QTest::addColumn<int>("saved");     // pages of the last save, -1 none
    QTest::addColumn<int>("documents");
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("outcome");

    row("scan, save, hand on", "file", "start page page end written", "", 0, 2, 1, "hand-off 1",
        "dispatched");
    row("no page", "file", "start end", "", 0, -1, 0, "", "nothing");
    row("console's cancel forgets", "file", "start page cancel", "", 1, -1, 0, "", "cancelled");
    row("settings cancelled: still scans", "settings", "start page end written", "", 0, 1, 1,
        "hand-off 1", "dispatched");
    row("feeder: yes, then no", "feeder", "start page end page end written", "yes no", 0, 2, 1,
        "more?, more?, hand-off 1", "dispatched");
    row("second start: scanning, asking, saving, handing on", "feeder",
        "start again page end again written", "no again:more? again:hand-off_1", 0, 1, 1,
        "more?, hand-off 1", "dispatched");

    row("editor: save after the scan; second starts", "editor",
        "start page again page end again save written", "", 0, 2, 1,
        "editor, editor saves, hand-off 1", "dispatched");
    row("editor: save during the scan", "editor", "start page save page page end written", "", 0, 3,
        1, "editor, editor saves, hand-off 1", "dispatched");
    row("editor: discard during the scan, then another task", "editor",
        "start page discard page end file page end written", "", 0, 1, 1,
        "editor, editor gone, hand-off 1", "dispatched");
    row("editor: discard after the scan", "editor", "start page end discard", "", 0, -1, 0,
        "editor, editor gone", "discarded");
    row("editor: no scan, save", "editor", "start save", "noscan", 0, -1, 0, "editor, editor saves",
        "nothing");

    row("lost while scanning; a late page", "file", "start page lost page end", "", 0, -1, 0, "",
        "cut short");
    row("lost during the editor's scan", "editor", "start page lost page end", "", 0, -1, 0,
        "editor, editor gone", "cut short");
    row("lost in the editor after its scan", "editor", "start page end lost save written", "", 0, 1,
        1, "editor, editor saves, hand-off 1", "dispatched");
    row("lost at the feeder question", "feeder", "start page end written", "yes lost:more?", 0, 1,
        1, "more?, hand-off 1", "dispatched");
    row("lost while marking blank pages; a second start", "blank",
        "start page page end again lost marked written", "", 0, 2, 1, "hand-off 1", "dispatched");
    row("lost while saving", "file", "start page end lost written", "", 0, 1, 1, "hand-off 1",
        "dispatched");
    row("lost while handing on", "mail", "start page end written", "lost:hand-off_5", 0, 1, 1,
        "hand-off 5", "dispatched");
    row("lost while printing", "printer", "start page end", "lost:print", 0, -1, 0, "print",
        "printed");

    row("question declined", "file", "start page end declined", "", 0, 1, 0, "", "declined");
    row("question declined after the scanner went", "file", "start page end lost declined", "", 0,
        1, 0, "", "declined");
    row("save stopped", "file", "start page end stopped", "", 0, 1, 0, "", "cancelled");
    row("save failed keeps the pages", "file", "start page end failed", "", 1, 1, 0, "box -50",
        "failed");
    row("printer dialog cancelled; a second start", "printer", "start page end",
        "print:declined again:print", 0, -1, 0, "print", "declined");
    row("printer not opened keeps the pages", "printer", "start page page end", "print:failed", 2,
        -1, 0, "print, box -50", "failed");
    row("all blank: no mail", "mail", "start page page end unwritten", "", 0, 2, 0, "",
        "dispatched");
}

void TestTaskRun::roads()
{
    QFETCH(QString, task);
    QFETCH(QString, events);
    QFETCH(QString, answers);

    LauncherDir dir;
    LoadedTasks tasks(dir);
    LoadedDestinations destinations;
    tagSCAN_DESTINATION mail;
    mail.ScanDestinationFlagID = ScanDestWebMail;
    mail.Name = "mail";
    destinations.addScanDestination(mail);
    const QString out = dir.root->filePath("out"), pagesDir = dir.root->filePath("pages");
    QDir().mkpath(out);
    QDir().mkpath(pagesDir);
    const QStringList kinds = {"file", "editor", "printer", "mail", "feeder", "blank", "settings"};
    for (int slot = 0; slot < kinds.size(); ++slot) {
        tagTASK_SHORTCUT t = slotTask(tasks, slot);
        const QString &kind = kinds.at(slot);
        t.ScanDestinationID = kind == "printer" ? ScanDestination::kPrinterId
                              : kind == "mail"  ? mail.ScanDestinationID
                                                : ScanDestination::kFileId;
        t.FileTypeID = FileTypePdf;
        t.FolderPath = out;
        t.BeforeSaveEditImage = kind == "editor";
        t.ADFEmptyWaiting = kind == "feeder";
        t.BlankPageSeparate = kind == "blank";
        t.BeforeScanDisplaySetting = kind == "settings";
        tasks.setTaskShortcut(t.TaskID, t);
    }

    FakeConsole console(&dir.profiles);
    FakeWorker worker;
    FakeAsker asker;
    TaskRun run(&console, &tasks, &destinations);
    run.setAsker(&asker);
    run.setWorker(&worker);
    for (QString a : answers.split(' ', Qt::SkipEmptyParts)) {
        if (a.contains(':') && !a.startsWith("print:"))
            asker.meanwhile.insert(a.section(':', 1).replace('_', ' '), a.section(':', 0, 0));
        else if (a == "print:failed")
            asker.printed = RunAsker::Printed::Failed;
        else if (a == "print:declined")
            asker.printed = RunAsker::Printed::Declined;
        else if (a == "noscan")
            asker.editorScans = false;
        else
            asker.moreAnswers << a;
    }

    int pageNo = 0;
    auto finishSave = [&](int result, bool cancelled, bool named) {
        QList<tagSCAN_IMAGE_FILE> pages = worker.given;
        if (named) {
            const QString doc = out + QString("/doc%1.pdf").arg(worker.saves);
            LauncherDir::write(doc, "%PDF");
            for (tagSCAN_IMAGE_FILE &p : pages)
                p.outputFileName = doc;
        }
        run.saveFinished(result, cancelled, pages);
    };
    auto event = [&](const QString &e) {
        if (e == "start" || kinds.contains(e)) {
            QVERIFY(run.start(
                TaskShortcut::slotIds().at(e == "start" ? kinds.indexOf(task) : kinds.indexOf(e))));
        } else if (e == "again") {
            QVERIFY2(!run.start(TaskShortcut::slotIds().at(0)), "a second start ran");
        } else if (e == "page") {
            const QString file = pagesDir + QString("/p%1.jpg").arg(++pageNo);
            LauncherDir::write(file, "jpeg");
            run.pageArrived(TaskRun::pageRecord(file, 0, {}, 100, 140, 200, 2));
        } else if (e == "end") {
            run.scanEnded();
        } else if (e == "cancel") {
            console.cancelled = true;
            run.scanEnded();
        } else if (e == "save" || e == "discard") {
            run.editorClosed(e == "save");
        } else if (e == "lost") {
            run.scannerLost();
        } else if (e == "marked") {
            run.blankPagesMarked(QVector<bool>(worker.given.size(), false));
        } else if (e == "written" || e == "unwritten") {
            finishSave(0, false, e == "written");
        } else if (e == "failed") {
            finishSave(-50, false, false);
        } else if (e == "stopped") {
            finishSave(0, true, false);
        } else if (e == "declined") {
            run.saveDeclined();
        } else {
            QFAIL(qPrintable("unknown event " + e));
        }
    };
    asker.event = event;
    for (const QString &e : events.split(' '))
        event(e);

    QTEST(int(QDir(pagesDir).entryList(QDir::Files).size()), "pagesLeft");
    QTEST(worker.saves ? int(worker.given.size()) : -1, "saved");
    QTEST(int(QDir(out).entryList(QDir::Files).size()), "documents");
    QTEST(asker.calls.join(", "), "asked");
    QTEST(QString(kOutcomes[int(run.lastOutcome())]), "outcome");
    QVERIFY(!run.isBusy());
    QVERIFY(run.pages().isEmpty());
}

QTEST_GUILESS_MAIN(TestTaskRun)
#include "tst_taskrun.moc"

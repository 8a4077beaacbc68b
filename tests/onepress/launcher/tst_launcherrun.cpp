// One button task from the press to the written files, over a scripted
// console and the real output worker: the button list, the presses, the
// page collector, the feeder question, the worker's questions, clean-up and
// the mended faults (refused start, saving state, failed save).

#include "checkblankpage.h"
#include "errorhandling.h"
#include "processfile.h"
#include "runfixture.h"
#include "support/guistall.h"
#include "support/modalanswer.h"
#include "support/testtiming.h"

#include <QComboBox>
#include <QLineEdit>
#include <QRegularExpression>
#include <QtTest>

#include <memory>
#include <thread>

namespace {

int pdfPages(const QString &file)
{
    const QString info = RunRig::tool("pdfinfo", {file});
    const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

} // namespace

class TestLauncherRun : public QObject
{
    Q_OBJECT
private slots:
    void init() { g_ConfigFile.m_nRemoveImage = 1; }

    void buttonList();
    void pressesRunTheirSlot();
    void collectorOnTheScanningThread();
    void feederLoopSavesEveryScan();
    void consoleCancelAsksNothing();
    void refusedStartReleases();
    void unknownTaskChangesNothing();
    void pressDuringSaveIsDropped();
    void disconnectDuringSave();
    void saveAsLoopAndKeyword();
    void groupQuestionDeclined();
    void cleanUpFollowsRemoveImage();
    void failedSaveKeepsPages();
    void destroyedWhileTheWorkerAsks();
    void blankMarkingKeepsTheTrayTurning();
};

void TestLauncherRun::buttonList()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    tagTASK_SHORTCUT t = slotTask(w.tasks(), 2);
    t.EnableCommand = false;
    rig.store(t);
    w.tasks().enumTaskShortcut(1, t);
    t.Icon = "user.png";
    rig.store(t);
    LauncherDir::write(g_ConfigFile.m_strSettingsIconsDir + "/user.png", "png");
    LauncherDir::write(g_ConfigFile.m_strAppIconsDir + "/Color-PDF.png", "png");
    w.setOnepressEvent();
    const QList<tagONEPRESS_EVENT> list = rig.console->buttons.last();
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).iconPath, g_ConfigFile.m_strAppIconsDir + "/Color-PDF.png");
    QCOMPARE(list.at(1).iconPath, g_ConfigFile.m_strSettingsIconsDir + "/user.png");
    QCOMPARE(list.at(1).buttonText, QString("黑白 PDF (灰阶)"));
    // In neither folder: the user's path all the same.
    w.tasks().enumTaskShortcut(0, t);
    t.Icon = "gone.png";
    rig.store(t);
    w.setOnepressEvent();
    QCOMPARE(rig.console->buttons.last().at(0).iconPath,
             g_ConfigFile.m_strSettingsIconsDir + "/gone.png");
    w.setOptionNumber(0);
    w.setOnepressEvent();
    QVERIFY(rig.console->buttons.last().isEmpty());
}

void TestLauncherRun::pressesRunTheirSlot()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    for (int slot = 10; slot < 20; ++slot)
        rig.fileTask(slot);
    w.setOnepressEvent();
    QCOMPARE(w.lastButtons().size(), 20);
    w.pressTouchPanel(0);
    w.pressTouchPanel(21);
    QVERIFY(rig.console->started.isEmpty());
    w.pressTouchPanel(20);
    QCOMPARE(w.currentTaskId(), TaskShortcut::slotIds().at(19));
    QCOMPARE(rig.console->started.size(), 1);
    // Busy: a burst of presses is dropped.
    w.pressTouchPanel(1);
    w.pressTouchPanel(2);
    QCOMPARE(rig.console->started.size(), 1);
    rig.console->finish(); // no pages: released
    QVERIFY(idle(w));
    w.pressTouchPanel(1);
    QCOMPARE(w.currentTaskId(), TaskShortcut::slotIds().at(0));
    QCOMPARE(rig.console->started.last(), QString("{95cebce6-4d82-49dc-bad8-199f76ebb592}"));
    rig.console->finish();

    // The list shrank while a press was queued: a button past it does nothing.
    w.setOptionNumber(3);
    w.setOnepressEvent();
    w.pressTouchPanel(5);
    QCOMPARE(rig.console->started.size(), 2);
    // Shown windows refuse presses.
    w.show();
    w.pressTouchPanel(1);
    w.hide();
    rig.console->hidden = false;
    w.pressTouchPanel(1);
    rig.console->hidden = true;
    QCOMPARE(rig.console->started.size(), 2);
}

void TestLauncherRun::collectorOnTheScanningThread()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    w.systemMenuTaskID(TaskShortcut::slotIds().at(0));
    std::thread scanning([&] {
        rig.console->deliver("/tmp/a.jpg", {"A/B:C", "X"});
        rig.console->deliver("/tmp/b.jpg", {"\"\\"});
        rig.console->deliver("/tmp/c.jpg", {"x\r\ny*?<>|z"});
        rig.console->deliver("/tmp/d.jpg");
    });
    scanning.join();
    const QList<tagSCAN_IMAGE_FILE> pages = w.pages();
    QCOMPARE(pages.size(), 4);
    QCOMPARE(pages.at(0).barcode, QString("ABC"));
    QCOMPARE(pages.at(1).barcode, QString());
    QCOMPARE(pages.at(2).barcode, QString("xyz"));
    QCOMPARE(pages.at(3).barcode, QString());
    QCOMPARE(pages.at(0).fileName, QString("/tmp/a.jpg"));
    QCOMPARE(pages.at(0).resolution, 200);
    QVERIFY(pages.at(0).outputFileName.isEmpty());
    QVERIFY(!pages.at(0).blank);
}

void TestLauncherRun::feederLoopSavesEveryScan()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    tagTASK_SHORTCUT t = rig.fileTask(0);
    t.ADFEmptyWaiting = true;
    rig.store(t);
    QStringList answers = {"是", "是", "否"};
    testsupport::ModalAnswerer answer([&](QWidget *box, const testsupport::ModalSeen &) {
        testsupport::ModalAnswerer::press(box, answers.takeFirst());
    });
    w.systemMenuTaskID(t.TaskID);
    for (int scan = 0; scan < 3; ++scan) {
        rig.console->deliver(rig.page(scan));
        rig.console->finish();
    }
    QCOMPARE(rig.console->started.size(), 3);
    QCOMPARE(answer.count(), 3);
    QCOMPARE(answer.last().title, QString("进纸器输入盘已空"));
    QCOMPARE(answer.last().text, QString("是否有其他页面要扫描？"));
    QTRY_VERIFY_WITH_TIMEOUT(idle(w), scaledMs(15000));
    const QStringList files = rig.outputs();
    QCOMPARE(files.size(), 1);
    QCOMPARE(pdfPages(rig.out() + "/" + files.first()), 3);
    QVERIFY(QDir(rig.pagesDir()).entryList(QDir::Files).isEmpty());
    QVERIFY(w.pages().isEmpty());
}

void TestLauncherRun::consoleCancelAsksNothing()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    tagTASK_SHORTCUT t = rig.fileTask(0);
    t.ADFEmptyWaiting = true;
    rig.store(t);
    testsupport::ModalAnswerer answer("是");
    w.systemMenuTaskID(t.TaskID);
    const QString page = rig.page(1);
    rig.console->deliver(page);
    rig.console->cancelled = true;
    rig.console->finish();
    QCOMPARE(answer.count(), 0);
    QVERIFY(idle(w));
    QVERIFY(w.pages().isEmpty());
    QVERIFY(QFile::exists(page)); // a cancel forgets the pages, it deletes nothing
    QVERIFY(rig.outputs().isEmpty());
}

void TestLauncherRun::refusedStartReleases()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    rig.console->acceptStart = false;
    w.systemMenuTaskID(TaskShortcut::slotIds().at(0));
    QVERIFY(idle(w));
    QVERIFY(!w.tray().menu()->actions().isEmpty());
    // A console already scanning refuses before anything is asked.
    rig.console->acceptStart = true;
    rig.console->scanningNow = true;
    w.systemMenuTaskID(TaskShortcut::slotIds().at(0));
    QCOMPARE(rig.console->started.size(), 1);
    QVERIFY(idle(w));
    rig.console->scanningNow = false;

    // A refused rescan after Yes saves what arrived.
    tagTASK_SHORTCUT t = rig.fileTask(1);
    t.ADFEmptyWaiting = true;
    rig.store(t);
    testsupport::ModalAnswerer answer("是");
    w.systemMenuTaskID(t.TaskID);
    rig.console->deliver(rig.page(1));
    rig.console->acceptStart = false;
    rig.console->finish();
    QTRY_VERIFY_WITH_TIMEOUT(idle(w), scaledMs(15000));
    QCOMPARE(rig.outputs().size(), 1);
}

void TestLauncherRun::unknownTaskChangesNothing()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    const int entries = w.tray().menu()->actions().size();
    w.systemMenuTaskID("{00000000-0000-0000-0000-000000000000}");
    QVERIFY(idle(w));
    QVERIFY(w.currentTaskId().isEmpty());
    QCOMPARE(w.tray().menu()->actions().size(), entries);
    QVERIFY(rig.console->started.isEmpty());
    QVERIFY(rig.console->selected.isEmpty());
}

void TestLauncherRun::pressDuringSaveIsDropped()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    rig.fileTask(0);
    w.setOnepressEvent();
    w.pressTouchPanel(1);
    for (int i = 0; i < 6; ++i)
        rig.console->deliver(rig.page(i));
    // The console's multifeed stop releases the busy mark before the end of scan.
    w.OnScanfinished();
    rig.console->finish();
    QVERIFY(w.isSaving());
    w.pressTouchPanel(1);
    w.systemMenuTaskID(TaskShortcut::slotIds().at(0));
    QCOMPARE(rig.console->started.size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(idle(w), scaledMs(15000));
    QCOMPARE(pdfPages(rig.out() + "/" + rig.outputs().value(0)), 6);
}

void TestLauncherRun::disconnectDuringSave()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    rig.fileTask(0);
    w.systemMenuTaskID(TaskShortcut::slotIds().at(0));
    for (int i = 0; i < 8; ++i)
        rig.console->deliver(rig.page(i));
    rig.console->finish();
    QVERIFY(w.isSaving());
    w.OnPrinterDisconnected();
    // The worker is not robbed of its list: the clean-up waits for its end.
    QVERIFY(w.isBusy() || !w.isSaving());
    QTRY_VERIFY_WITH_TIMEOUT(idle(w), scaledMs(15000));
    QVERIFY(w.pages().isEmpty());
    QVERIFY(QDir(rig.pagesDir()).entryList(QDir::Files).isEmpty());
    QVERIFY(!w.isConnected());
}

void TestLauncherRun::saveAsLoopAndKeyword()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    tagTASK_SHORTCUT t = rig.fileTask(0);
    t.BeforeSaveFileSettingFileName = true;
    t.AddKeywordToDoc = true;
    rig.store(t);
    const QString blocker = rig.dir.root->filePath("plainfile");
    LauncherDir::write(blocker, "x");
    const QString chosen = rig.out() + "/chosen.pdf";
    QStringList paths = {blocker + "/below.pdf", chosen};
    QStringList captions;
    w.setSaveFileChooser([&](const QString &caption, const QString &, const QString &) {
        captions << caption;
        return paths.takeFirst();
    });
    testsupport::ModalAnswerer answer([](QWidget *box, const testsupport::ModalSeen &) {
        if (auto *edit = box->findChild<QLineEdit *>("lineEditInfo"))
            edit->setText("  合同  ");
        testsupport::ModalAnswerer::press(box, "确定");
    });
    rig.scan(t.TaskID, {1});
    QTRY_VERIFY_WITH_TIMEOUT(idle(w), scaledMs(15000));
    QCOMPARE(captions, QStringList({"另存为", "另存为"}));
    QStringList texts;
    for (const testsupport::ModalSeen &s : answer.seen())
        texts << s.text;
    QVERIFY(texts.contains("选择的路径没有写入权限，请选择其它路径。"));
    QVERIFY(QFile::exists(chosen));
    const QString info = RunRig::tool("pdfinfo", {chosen});
    QVERIFY2(info.contains(QRegularExpression("Keywords:\\s+合同\n")), qPrintable(info));
}

void TestLauncherRun::groupQuestionDeclined()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    tagTASK_SHORTCUT t = rig.fileTask(0);
    t.BarcodeSeparate = true;
    rig.store(t);
    testsupport::ModalAnswerer answer("取消");
    w.systemMenuTaskID(t.TaskID);
    const QString p1 = rig.page(1), p2 = rig.page(2), p3 = rig.page(3);
    rig.console->deliver(p1, {"first"});
    rig.console->deliver(p2);
    rig.console->deliver(p3, {"second"});
    rig.console->finish();
    QTRY_VERIFY_WITH_TIMEOUT(idle(w), scaledMs(15000));
    QCOMPARE(answer.count(), 1);
    QCOMPARE(answer.last().title, QString("分隔结果"));
    QVERIFY(answer.last().text.startsWith("检测到2个条码\n\n图像将分隔为"));
    QVERIFY(rig.outputs().isEmpty());
    QVERIFY(!QFile::exists(p1) && !QFile::exists(p3));

    // The three texts with their numbers.
    answer.stop();
    testsupport::ModalAnswerer ok("确定");
    w.OnblankPageGroup(3, 4);
    w.OnBlankPageAndBarcodeGroup(1, 2, 3);
    w.OnBarcodeGroup(5, 6);
    QCOMPARE(ok.count(), 3);
    QCOMPARE(ok.seen().at(0).text,
             QString("检测到3个空白页\n\n图像将分隔为4组文件。\n是否要继续处理？"));
    QCOMPARE(
        ok.seen().at(1).text,
        QString("检测到1个空白页。\n检测到2个条码\n\n图像将分隔为3组文件。\n是否要继续处理？"));
    QCOMPARE(ok.seen().at(2).text,
             QString("检测到5个条码\n\n图像将分隔为6组文件。\n是否要继续处理？"));
}

void TestLauncherRun::cleanUpFollowsRemoveImage()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    g_ConfigFile.m_nRemoveImage = 0;
    w.systemMenuTaskID(TaskShortcut::slotIds().at(0));
    const QString kept = rig.page(1);
    rig.console->deliver(kept);
    w.removeListImageFiles();
    QVERIFY(QFile::exists(kept));
    QVERIFY(w.pages().isEmpty());
    g_ConfigFile.m_nRemoveImage = 1;
    rig.console->deliver(kept);
    w.removeListImageFiles();
    QVERIFY(!QFile::exists(kept));
}

void TestLauncherRun::failedSaveKeepsPages()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    tagTASK_SHORTCUT t = rig.fileTask(0);
    const QString blocker = rig.dir.root->filePath("plainfile");
    LauncherDir::write(blocker, "x");
    t.FolderPath = blocker + "/out"; // cannot be made, even as root
    rig.store(t);
    testsupport::ModalAnswerer answer("确定");
    const QString page = rig.scan(t.TaskID, {1}).first();
    QTRY_VERIFY_WITH_TIMEOUT(idle(w), scaledMs(15000));
    QVERIFY(QFile::exists(page));
    QVERIFY(w.pages().isEmpty());
    QVERIFY(RunRig::sawWriteFailure(answer));
}

void TestLauncherRun::destroyedWhileTheWorkerAsks()
{
    RunRig rig;
    tagTASK_SHORTCUT t = rig.fileTask(0);
    t.AddKeywordToDoc = true;
    rig.store(t);
    testsupport::ModalAnswerer answer("确定");
    rig.scan(t.TaskID, {1});
    QVERIFY(rig.window->isSaving());
    QPointer<QThread> thread = rig.window->workerThread();
    QElapsedTimer clock;
    clock.start();
    // The worker now waits for the keyword; the window goes without a dialog.
    rig.window.reset();
    QVERIFY(clock.elapsed() < scaledMs(10000));
    QVERIFY(thread.isNull());
    QCOMPARE(answer.count(), 0);
    QVERIFY(rig.outputs().isEmpty());
}

// Forty full-size colour pages take most of a second to weigh: the tray's
// event loop keeps turning meanwhile, presses are still dropped, and the
// marks are those of the check itself (a page with a barcode is never blank).
void TestLauncherRun::blankMarkingKeepsTheTrayTurning()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    g_ConfigFile.m_nRemoveImage = 0;
    tagTASK_SHORTCUT t = rig.fileTask(0);
    t.BlankPageSeparate = true;
    t.BlankPageThreshold = 0;
    rig.store(t);
    w.setOnepressEvent();

    QDir().mkpath(rig.pagesDir());
    const QString white = rig.pagesDir() + "/white.jpg", text = rig.pagesDir() + "/text.jpg";
    QImage img(2480, 3508, QImage::Format_RGB32);
    img.fill(Qt::white);
    QVERIFY(img.save(white, "JPG", 85));
    QPainter painter(&img);
    painter.setFont(QFont("DejaVu Sans", 40));
    for (int y = 400; y < 3100; y += 120)
        painter.drawText(300, y, "Quarterly report, page body line");
    painter.end();
    QVERIFY(img.save(text, "JPG", 85));

    QStringList files;
    QList<bool> expected;
    for (int i = 0; i < 40; ++i) {
        const QString file = rig.pagesDir() + QString("/scan%1.jpg").arg(i);
        QVERIFY(QFile::copy(i % 3 == 0 ? white : text, file));
        files << file;
        tagSCAN_IMAGE_FILE page;
        page.fileName = file;
        page.resolution = 200;
        expected << (i != 9 && CheckBlankPage::checkImageBlankPage(page, t.BlankPageThreshold));
    }
    QVERIFY(expected.count(true) >= 10 && expected.count(false) >= 10);

    QList<bool> marks;
    // The tray's loop is watched from the end of the scan until the box that
    // follows the marking comes up.
    std::unique_ptr<testsupport::StallMeter> meter;
    qint64 stalled = -1;
    QString stallReport;
    auto readMeter = [&] {
        if (meter && stalled < 0) {
            stalled = meter->longestMs();
            stallReport = meter->report();
        }
    };
    testsupport::ModalAnswerer answer([&](QWidget *box, const testsupport::ModalSeen &) {
        readMeter();
        if (marks.isEmpty())
            for (const tagSCAN_IMAGE_FILE &p : w.pages())
                marks << p.blank;
        testsupport::ModalAnswerer::press(box, "取消");
    });
    w.pressTouchPanel(1);
    for (int i = 0; i < files.size(); ++i)
        rig.console->deliver(files.at(i), i == 9 ? QStringList{"SEP"} : QStringList{});

    meter = std::make_unique<testsupport::StallMeter>();
    rig.console->finish();
    w.pressTouchPanel(1);
    QCOMPARE(rig.console->started.size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(idle(w), scaledMs(60000));
    readMeter();
    QVERIFY2(stalled < scaledMs(200), qPrintable(stallReport));
    QCOMPARE(answer.count(), 1);
    QCOMPARE(marks, expected);
    QVERIFY(rig.outputs().isEmpty());
}

QTEST_MAIN(TestLauncherRun)
#include "tst_launcherrun.moc"

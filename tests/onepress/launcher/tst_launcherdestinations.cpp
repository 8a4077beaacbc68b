// The run's hand-off roads beyond the folder: a printer task prints the pages
// itself without the output worker, an application task opens its document or
// tells where it is, and a web-mail task deletes its documents only when the
// mail went out and the settings let page files go.

#include "../../platform/smtp/smtptestserver.h"
#include "processfile.h"
#include "runfixture.h"
#include "scandestination.h"
#include "support/desktopurls.h"
#include "support/modalanswer.h"
#include "support/testtiming.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// Slot 0 becomes a file task handing its document to a new web-mail
// destination that sends to `port` on loopback without asking.
tagTASK_SHORTCUT mailTask(RunRig &rig, const QString &name, int port)
{
    tagSCAN_DESTINATION mail;
    mail.ScanDestinationFlagID = ScanDestWebMail;
    mail.Name = name;
    mail.ServerAddress = "127.0.0.1";
    mail.Port = port;
    mail.UserMailAddr = "scanner@corvan.test";
    mail.MailSize = 20;
    mail.SendNoPromptMail = true;
    mail.Recipient = "office@corvan.test";
    rig.window->destinations().addScanDestination(mail);
    tagTASK_SHORTCUT t = rig.fileTask(0);
    t.ScanDestinationID = mail.ScanDestinationID;
    return t;
}

} // namespace

class TestLauncherDestinations : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { g_ConfigFile.m_nRemoveImage = 1; }

    void printerRoadStartsNoWorker();
    void applicationOpensOrTells_data();
    void applicationOpensOrTells();
    void mailDeletesOnlyWhatWasSent_data();
    void mailDeletesOnlyWhatWasSent();
    void disconnectWhileTheMailWaits();

private:
    std::unique_ptr<smtptest::Server> m_smtp;
};

void TestLauncherDestinations::initTestCase()
{
    m_smtp.reset(new smtptest::Server);
    QVERIFY2(m_smtp->ready, "the loopback SMTP server did not start");
}

void TestLauncherDestinations::printerRoadStartsNoWorker()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    tagTASK_SHORTCUT t = rig.fileTask(0);
    t.ScanDestinationID = ScanDestination::kPrinterId;
    t.ScalePrintPage = ScalePrintFitPaper;
    t.PageSize = QPageSize::A4;
    t.PaperSize = QPageSize::A4;
    const QString printed = rig.dir.root->filePath("printed.pdf");
    t.OutputFileName = printed;
    t.OutputFormat = QPrinter::PdfFormat;
    rig.store(t);
    QSignalSpy saves(&w, &MainWindow::saveFiles);
    QSignalSpy finished(w.worker(), &ProcessFile::saveFileFinished);
    const QStringList pages = rig.scan(t.TaskID, {1, 2});
    // Printing happens on the GUI thread before the end of scan returns.
    QVERIFY(idle(w));
    QCOMPARE(saves.count(), 0);
    QTest::qWait(50);
    QCOMPARE(finished.count(), 0);
    QVERIFY(rig.outputs().isEmpty());
    const QString info = RunRig::tool("pdfinfo", {printed});
    QVERIFY2(info.contains(QRegularExpression("Pages:\\s+2\n")), qPrintable(info));
    QVERIFY(!QFile::exists(pages[0]) && !QFile::exists(pages[1]));
    QVERIFY(w.pages().isEmpty());

    // A printer that cannot be opened: the failure box, and the pages stay.
    t.OutputFileName = rig.dir.root->filePath("no/such/folder/printed.pdf");
    rig.store(t);
    testsupport::ModalAnswerer answer("确定");
    const QString p3 = rig.scan(t.TaskID, {3}).first();
    QVERIFY(idle(w));
    QVERIFY(RunRig::sawWriteFailure(answer));
    QVERIFY(QFile::exists(p3));
    answer.stop();

    // The user cancels the print dialog: that is a choice, not a failure; no
    // box, nothing printed, and the pages go.
    t.OutputFileName = printed + ".again.pdf";
    t.BeforePrintingDisplaySetings = true;
    rig.store(t);
    testsupport::ModalAnswerer cancel(""); // rejects whatever comes
    const QString p4 = rig.scan(t.TaskID, {4}).first();
    QVERIFY(idle(w));
    QCOMPARE(cancel.count(), 1);
    QCOMPARE(cancel.last().className, QString("QPrintDialog"));
    QVERIFY(!QFile::exists(p4) && !QFile::exists(t.OutputFileName));
}

// Offscreen the desktop opens nothing, as a desktop without a URL handler;
// a handler stands in for one that opens the document.
void TestLauncherDestinations::applicationOpensOrTells_data()
{
    QTest::addColumn<bool>("desktopOpens");
    QTest::newRow("opened") << true;
    QTest::newRow("nothing opens it") << false;
}

void TestLauncherDestinations::applicationOpensOrTells()
{
    QFETCH(bool, desktopOpens);
    RunRig rig;
    MainWindow &w = *rig.window;
    tagTASK_SHORTCUT t = rig.fileTask(0);
    t.ScanDestinationID = ScanDestination::kApplicationId;
    rig.store(t);
    std::unique_ptr<testsupport::DesktopUrls> desktop;
    if (desktopOpens)
        desktop.reset(new testsupport::DesktopUrls);
    testsupport::ModalAnswerer answer("确定");
    const QString p1 = rig.scan(t.TaskID, {1}).first();
    QTRY_VERIFY_WITH_TIMEOUT(idle(w), scaledMs(40000));

    QCOMPARE(rig.outputs().size(), 1);
    const QString document = QDir(rig.out()).filePath(rig.outputs().first());
    if (desktopOpens) {
        QCOMPARE(desktop->urls, QList<QUrl>{QUrl::fromLocalFile(document)});
        QCOMPARE(answer.count(), 0);
    } else {
        QCOMPARE(answer.count(), 1);
        QCOMPARE(answer.last().title, QString("无法打开文档"));
        QCOMPARE(answer.last().icon, QMessageBox::Warning);
        QVERIFY2(answer.last().text.endsWith("\n" + document), qPrintable(answer.last().text));
    }
    QVERIFY(!QFile::exists(p1));
}

void TestLauncherDestinations::mailDeletesOnlyWhatWasSent_data()
{
    QTest::addColumn<bool>("serverUp");
    QTest::addColumn<bool>("deleteAfterSend");
    QTest::addColumn<int>("removeImage");
    QTest::addColumn<bool>("documentKept");
    QTest::addColumn<bool>("pagesKept");
    QTest::newRow("sent, delete, remove") << true << true << 1 << false << false;
    QTest::newRow("sent, delete, keep images") << true << true << 0 << true << true;
    QTest::newRow("sent, no delete") << true << false << 1 << true << false;
    QTest::newRow("not sent, delete") << false << true << 1 << true << false;
}

void TestLauncherDestinations::mailDeletesOnlyWhatWasSent()
{
    QFETCH(bool, serverUp);
    QFETCH(bool, deleteAfterSend);
    QFETCH(int, removeImage);
    QFETCH(bool, documentKept);
    QFETCH(bool, pagesKept);

    RunRig rig;
    MainWindow &w = *rig.window;
    g_ConfigFile.m_nRemoveImage = removeImage;
    // Nothing listens on a free port.
    tagTASK_SHORTCUT t =
        mailTask(rig, "loopback mail", serverUp ? m_smtp->port : smtptest::freePort());
    QVERIFY(!t.ScanDestinationID.isEmpty());
    t.AfterSendFileDeleteFile = deleteAfterSend;
    rig.store(t);
    testsupport::ModalAnswerer answer("确定");
    const int mailsBefore = m_smtp->mails();
    const QStringList pages = rig.scan(t.TaskID, {1, 2});
    QTRY_VERIFY_WITH_TIMEOUT(idle(w), scaledMs(40000));

    QCOMPARE(m_smtp->mails(), mailsBefore + (serverUp ? 1 : 0));
    if (serverUp) {
        QCOMPARE(answer.count(), 0);
    } else {
        QCOMPARE(answer.count(), 1);
        QCOMPARE(answer.last().title, QString("错误"));
        QCOMPARE(answer.last().text, QString("文件发送失败！"));
    }
    QCOMPARE(rig.outputs().size(), documentKept ? 1 : 0);
    QCOMPARE(QFile::exists(pages[0]) && QFile::exists(pages[1]), pagesKept);
    QVERIFY(w.pages().isEmpty());
}

// The mail's failure box turns an event loop while the hand-off waits: the
// scanner goes away meanwhile. The page list must not be held then, or the
// disconnect's clean-up blocks the tray for good; the hand-off still ends
// the run and cleans up.
void TestLauncherDestinations::disconnectWhileTheMailWaits()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    tagTASK_SHORTCUT t = mailTask(rig, "unreachable mail", smtptest::freePort());
    rig.store(t);
    w.setOnepressEvent();

    // A blocked GUI thread never comes back to fail the test: abort instead.
    std::mutex m;
    std::condition_variable cv;
    bool over = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(m);
        if (!cv.wait_for(lock, std::chrono::milliseconds(scaledMs(30000)), [&] { return over; })) {
            std::fprintf(stderr, "the GUI thread is blocked in the mail hand-off\n");
            std::abort();
        }
    });

    int pagesSeen = -1;
    bool busyThen = false;
    testsupport::ModalAnswerer answer([&](QWidget *box, const testsupport::ModalSeen &) {
        w.OnPrinterDisconnected();
        pagesSeen = w.pages().size();
        busyThen = w.isBusy();
        w.pressTouchPanel(1);
        testsupport::ModalAnswerer::press(box, "确定");
    });
    const QStringList pages = rig.scan(t.TaskID, {1, 2});
    QTRY_VERIFY_WITH_TIMEOUT(idle(w), scaledMs(40000));
    {
        std::lock_guard<std::mutex> lock(m);
        over = true;
    }
    cv.notify_one();
    watchdog.join();

    QCOMPARE(answer.count(), 1);
    QCOMPARE(answer.last().text, QString("文件发送失败！"));
    QCOMPARE(pagesSeen, 2);
    // Still the same run: the press during the hand-off was dropped.
    QVERIFY(busyThen);
    QCOMPARE(rig.console->started.size(), 1);
    QVERIFY(!w.isConnected());
    QVERIFY(w.pages().isEmpty());
    QVERIFY(!QFile::exists(pages[0]) && !QFile::exists(pages[1]));
    QCOMPARE(rig.outputs().size(), 1);
}

QTEST_MAIN(TestLauncherDestinations)
#include "tst_launcherdestinations.moc"

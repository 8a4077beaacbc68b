// The launcher's road through the console, with the test as the launcher:
// hand over the button list, detect the scanner, hear a panel press, scan a
// built-in profile, take the pages, answer a multifed sheet, cancel, lose
// and find the scanner again. Also OK on the console against the scanner.
#include "consoletestutil.h"
#include "onepressthread.h"
#include "scanrig.h"
#include "support/emulatorwidgettest.h"
#include "support/guistall.h"
#include "support/processes.h"
#include "support/testtiming.h"

#include <QFileInfo>
#include <QMutex>

#include <functional>

using namespace emu;
using namespace consoletest;
using testsupport::ModalAnswerer;
using testsupport::ModalSeen;

namespace {

// What the launcher heard, in order, and on which thread.
struct Journal : QObject
{
    QMutex mutex;
    QStringList events;
    QList<bool> onGui;
    QStringList files;
    void note(const QString &e)
    {
        QMutexLocker lock(&mutex);
        events << e;
        onGui << (QThread::currentThread() == qApp->thread());
    }
    QStringList snapshot()
    {
        QMutexLocker lock(&mutex);
        return events;
    }
};

QList<tagONEPRESS_EVENT> twoButtons()
{
    return {{QString(), QStringLiteral("Scan")}, {QString(), QStringLiteral("Mail")}};
}

// Calls back when the watched widget is enabled again.
struct EnabledAgain : QObject
{
    std::function<void()> then;
    EnabledAgain(QWidget *w, std::function<void()> f) : then(std::move(f))
    {
        w->installEventFilter(this);
    }
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::EnabledChange && static_cast<QWidget *>(o)->isEnabled())
            then();
        return false;
    }
};

} // namespace

class TestConsoleAcceptance : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        installStampGraphics();
        OnepressThread::setOpenInterval(0);
    }

    void launcherRoad()
    {
        StackScript script;
        script.sheets = 3;
        script.duplex = false;
        script.ink = Ink::BlackWhite;
        script.multifed[2] = std::nullopt;
        ScanRig rig(script);
        ScanMainWindow &w = *rig.window;
        PMessage *hub = rig.hub;
        Journal journal;
        QSignalSpy detected(&w, &ScanMainWindow::printerDetected);
        QSignalSpy lost(&w, &ScanMainWindow::PrinterDisconnected);
        QSignalSpy noPrinter(&w, &ScanMainWindow::noPrinterDetected);

        // The launcher hands its buttons over and starts detection; the tick
        // is called rather than waited for.
        w.setOnepressEvent(twoButtons());
        w.startDetectDeviceTimer();
        QVERIFY(w.detectTimer()->isActive());
        w.startDetectDeviceThread();
        QVERIFY(!w.detectTimer()->isActive());
        QTRY_COMPARE_WITH_TIMEOUT(detected.count(), 1, scaledMs(5000));
        QTRY_VERIFY_WITH_TIMEOUT(rig.events.pollHeld(), scaledMs(5000));

        // A press of button 1 starts the task's scan, as the launcher does.
        auto profile = ScanRig::builtIn(5);
        profile.multifeedResponse = MultifeedInteractive;
        connect(hub, &PMessage::pressTouchPanel, this, [&](int n) {
            journal.note(QString("press %1").arg(n));
            QVERIFY(!w.isScanning());
            QVERIFY(w.startScanJob(profile));
        });
        connect(&w, &ScanMainWindow::scanning, this, [&] { journal.note("scanning"); });
        connect(hub, &PMessage::updatePaperStatus, this,
                [&](bool, bool done) { journal.note(done ? "paper done" : "paper wait"); });
        connect(
            hub, &PMessage::scanFileName, this,
            [&](SCAN_SHORTCUT_MENU *, QString, schar, QStringList, int, int, int, int) {
                journal.note("page");
            },
            Qt::DirectConnection);
        connect(
            &w, &ScanMainWindow::scanFileNameToMain, this,
            [&](QString f, signed char, QStringList, int, int, int, int) {
                journal.note("page to launcher");
                QMutexLocker lock(&journal.mutex);
                journal.files << f;
            },
            Qt::DirectConnection);
        connect(hub, &PMessage::scanFinish, this,
                [&](SCAN_SHORTCUT_MENU *, int, int, int, int, int) { journal.note("finish"); });
        connect(&w, &ScanMainWindow::scanFinishToMain, this,
                [&] { journal.note("finish to launcher"); });
        // The multifed sheet is accepted in the dialog.
        ModalAnswerer answerer("接受 (&A)");

        rig.events.pressButton(1);
        QTRY_VERIFY_WITH_TIMEOUT(journal.snapshot().contains("finish to launcher"),
                                 scaledMs(20000));
        const QStringList events = journal.snapshot();
        QCOMPARE(events.first(), QString("press 1"));
        QCOMPARE(events.at(1), QString("scanning"));
        QCOMPARE(events.last(), QString("finish to launcher"));
        QCOMPARE(events.at(events.size() - 2), QString("finish"));
        QCOMPARE(events.count("page"), 3);
        QCOMPARE(events.count("page to launcher"), 3);
        for (int i = 0; i < events.size(); ++i) {
            // The window hears each page first and hands it on before the
            // journal's own hub connection sees it.
            if (events[i] == "page to launcher")
                QCOMPARE(events.at(i + 1), QString("page"));
            const bool jobThread = events[i].startsWith("page");
            QCOMPARE(journal.onGui.at(i), !jobThread);
        }
        QCOMPARE(titles(answerer), QStringList{"重张进纸"});
        QCOMPARE(rig.commands.hostInputs(), std::vector<uint8_t>{1});
        for (const QString &f : journal.files)
            QVERIFY2(!QImage(f).isNull(), qPrintable(f));
        QVERIFY(!rig.device->lockHeld());
        QCOMPARE(noPrinter.count(), 0);

        // Cancel after the second page: the job ends cancelled, without a box.
        script.multifed.clear();
        script.sheets = 6;
        rig.restack(script);
        journal.events.clear();
        journal.onGui.clear();
        int pages = 0;
        auto cancelAt2 = connect(
            &w, &ScanMainWindow::scanFileNameToMain, this,
            [&](QString, signed char, QStringList, int, int, int, int) {
                if (++pages == 2)
                    QMetaObject::invokeMethod(&w, &ScanMainWindow::cannelJob, Qt::QueuedConnection);
            },
            Qt::DirectConnection);
        const int boxesBefore = answerer.count();
        rig.events.pressButton(1);
        QTRY_VERIFY_WITH_TIMEOUT(journal.snapshot().contains("finish to launcher"),
                                 scaledMs(20000));
        disconnect(cancelAt2);
        QVERIFY(pages >= 2 && pages < 6);
        QVERIFY(w.isCancel());
        QCOMPARE(answerer.count(), boxesBefore);
        QVERIFY(!rig.device->lockHeld());

        // The scanner goes away and comes back.
        rig.bus.unplug(rig.device);
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, scaledMs(10000));
        QTRY_VERIFY(!w.onepressThread());
        QVERIFY(w.detectTimer()->isActive());
        // Plugged in again, it comes back at a new address.
        UsbIdentity again;
        again.busNumber = 1;
        again.deviceAddress = 3;
        auto device = std::make_shared<ScannerEmulator>(again);
        ScannerCommands commands(*device);
        EventService service;
        service.setServerTimeout(std::chrono::milliseconds(250));
        service.attach(device);
        QVERIFY(rig.bus.plug(device));
        w.startDetectDeviceThread();
        QTRY_COMPARE_WITH_TIMEOUT(detected.count(), 2, scaledMs(35000));
        QTRY_VERIFY_WITH_TIMEOUT(service.pollHeld(), scaledMs(5000));
        QCOMPARE(lost.count(), 1);
        disconnect(hub, &PMessage::pressTouchPanel, this, nullptr);
        // The press comes on the button thread: a spy connected directly
        // would fill its list there while this thread reads it.
        QList<int> presses;
        connect(
            hub, &PMessage::pressTouchPanel, this, [&presses](int b) { presses << b; },
            Qt::QueuedConnection);
        service.pressButton(2);
        QTRY_COMPARE_WITH_TIMEOUT(presses.size(), 1, scaledMs(5000));
        QCOMPARE(presses[0], 2);
        disconnect(hub, &PMessage::pressTouchPanel, this, nullptr);

        // The launcher's shut-down.
        w.closeDialog();
        w.waitForExitSingle();
        QVERIFY(!w.onepressThread());
        QVERIFY(!g_Devgate.isOpen());
        QVERIFY(!service.registered());
        service.detach();
    }

    // The scanner leaves the bus in the middle of a scan: the job's error
    // box, the pages announced before are there, one disconnect report, and
    // detection runs again.
    void deviceLostMidScan()
    {
        StackScript script;
        script.sheets = 4;
        script.vanishAt = 3;
        ScanRig rig(script);
        ScanMainWindow &w = *rig.window;
        QSignalSpy detected(&w, &ScanMainWindow::printerDetected);
        QSignalSpy lost(&w, &ScanMainWindow::PrinterDisconnected);
        w.setOnepressEvent(twoButtons());
        w.startDetectDeviceThread();
        QTRY_COMPARE_WITH_TIMEOUT(detected.count(), 1, scaledMs(5000));
        QTRY_VERIFY_WITH_TIMEOUT(rig.events.pollHeld(), scaledMs(5000));
        ModalAnswerer answerer("确定");
        auto profile = ScanRig::builtIn(4);
        QVERIFY(rig.scanToEnd(profile));
        QCOMPARE(titles(answerer), QStringList{"错误"});
        QVERIFY(!rig.pages.isEmpty());
        QVERIFY(rig.pages.size() <= 4);
        for (const auto &page : rig.pages)
            QVERIFY2(!QImage(page.file).isNull(), qPrintable(page.file));
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, scaledMs(10000));
        QTRY_VERIFY(!w.onepressThread());
        QVERIFY(w.detectTimer()->isActive());
        QTest::qWait(300);
        QCOMPARE(lost.count(), 1);
        w.stopDetectDeviceTimer();
    }

    // The third built-in (black and white) writes Group 4 TIFF pages that an
    // outside reader accepts.
    void groupFourPagesReadByTiffinfo()
    {
        StackScript script;
        script.sheets = 1;
        script.ink = Ink::BlackWhite;
        ScanRig rig(script);
        QVERIFY(rig.open());
        auto profile = ScanRig::builtIn(2);
        QVERIFY(rig.scanToEnd(profile));
        QVERIFY(!rig.pages.isEmpty());
        for (const auto &page : rig.pages) {
            const testsupport::ToolRun tiffinfo = testsupport::runTool("tiffinfo", {page.file});
            const QString out = tiffinfo.out + tiffinfo.err;
            QVERIFY2(tiffinfo.code == 0, qPrintable(page.file + ": " + out));
            QVERIFY2(out.contains("CCITT Group 4"), qPrintable(out));
        }
    }

    // OK without edits wakes the scanner and writes its configuration, then
    // saves, while the window keeps turning however long the scanner takes
    // to wake; OK with edits answered No talks to nobody and saves nothing.
    void okAgainstTheScanner()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        ScanMainWindow &w = *rig.window;
        w.show();
        QDir(g_VellumCfgFile.m_strProfilesDir).removeRecursively();
        size_t before = rig.device->commands().size();
        rig.device->setWaking(4);
        // The stall is read when the window takes input again, as the scanner
        // calls have ended (the profiles are written after that), or else
        // when it has gone.
        testsupport::StallMeter stall;
        qint64 stalled = -1;
        QString seen;
        const auto read = [&] {
            if (stalled >= 0)
                return;
            stalled = stall.longestMs();
            seen = stall.report();
        };
        EnabledAgain enabled(&w, read);
        button(w, "pushButtonOK")->click();
        const bool waitsDisabled = !w.isHidden() && !w.isEnabled();
        QTRY_VERIFY_WITH_TIMEOUT(w.isHidden(), scaledMs(20000));
        read();
        QVERIFY2(stalled < scaledMs(100), qPrintable(seen));
        QVERIFY(waitsDisabled);
        // The profile's configuration and size list, written to the scanner.
        QList<int> written;
        const auto commands = rig.device->commands();
        for (size_t i = before; i < commands.size(); ++i)
            if (!commands[i].toHost())
                written << commands[i].opcode;
        QVERIFY(written.contains(op::kConfig));
        QVERIFY(written.contains(op::kSnapToSizeList));
        QVERIFY(written.indexOf(op::kConfig) < written.indexOf(op::kSnapToSizeList));
        QVERIFY(QFileInfo::exists(g_VellumCfgFile.m_strProfileIni));
        QVERIFY(!rig.device->lockHeld());

        QDir(g_VellumCfgFile.m_strProfilesDir).removeRecursively();
        w.show();
        inputDoc(w)->setCurrentIndex((inputDoc(w)->currentIndex() + 1) % 3);
        QVERIFY2(w.isChanged(), "the pages do not compare equal to the profile they were given");
        before = rig.device->commands().size();
        ModalAnswerer no("否");
        button(w, "pushButtonOK")->click();
        QCOMPARE(no.count(), 1);
        QVERIFY(w.isHidden());
        QCOMPARE(rig.device->commands().size(), before);
        QVERIFY(!QFileInfo::exists(g_VellumCfgFile.m_strProfileIni));
    }
};

EMULATOR_WIDGET_TEST_MAIN(TestConsoleAcceptance)
#include "tst_consoleacceptance.moc"

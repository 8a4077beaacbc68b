// The panel-button thread against the emulated scanner's event service: it
// opens the port, withdraws and registers the button list, long-polls and
// reports presses of registered buttons only. Also in the ThreadSanitizer
// run (tools/sanitize.sh): the list and flags cross from the GUI thread.
#include "onepressthread.h"
#include "pmessage.h"
#include "support/datarows.h"
#include "support/emulatedscanner.h"
#include "support/emulatorwidgettest.h"
#include "support/testtiming.h"
#include "vellumglobal.h"

#include <QSignalSpy>
#include <QTemporaryDir>

using namespace emu;
using testsupport::row;

namespace {

QList<tagONEPRESS_EVENT> buttons(const QStringList &texts)
{
    QList<tagONEPRESS_EVENT> list;
    for (const QString &t : texts)
        list.append({QString(), t});
    return list;
}

// One scanner with its event service on the emulated bus, driven through the
// console library's own facade object.
struct Rig : testsupport::EmulatedScanner
{
    PMessage hub;
    ~Rig() { g_Devgate.closePort(); }
    // Starts the thread and waits until it holds its first poll.
    bool startPolling(OnepressThread &thread)
    {
        thread.start();
        return QTest::qWaitFor([this] { return events.pollHeld(); }, scaledMs(5000));
    }
    static bool stop(OnepressThread &thread, int ms = 5000)
    {
        thread.setCancel();
        return thread.wait(scaledMs(ms));
    }
    size_t count(uint32_t type) const { return events.requests(type).size(); }
    // Event-pipe reads the host gave up on: the time-outs of its polls.
    int pollTimeouts() const
    {
        int n = 0;
        for (const TransferRecord &r : device->transfers(Pipe::Event))
            n += r.direction == Direction::In && r.outcome == TransferRecord::Outcome::TimedOut;
        return n;
    }
};

// Records each press with the thread that delivered it.
struct PressLog : QObject
{
    QList<int> presses;
    QList<QThread *> threads;
    explicit PressLog(PMessage *hub)
    {
        QObject::connect(hub, &PMessage::pressTouchPanel, this, [this](int n) {
            presses << n;
            threads << QThread::currentThread();
        });
    }
};

std::string eventReply(const std::string &event)
{
    return EventService::replyText(200, "OK", "Content-Type: application/json\r\n",
                                   "{\"Event\":\"" + event + "\",\"EventSeqNum\":\"9\"}");
}

} // namespace

class TestOnepressThread : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        g_VellumCfgFile.loadConfigFile(dir.path());
        g_Devgate.setConfigFile(&g_VellumCfgFile);
        OnepressThread::setOpenInterval(0);
    }
    void init() { OnepressThread::resetLastOpenAttempt(); }

    // Two buttons: a press of 2 arrives on the GUI thread; replies naming no
    // registered button are dropped.
    void pressesOfRegisteredButtonsOnly()
    {
        Rig rig;
        PressLog log(&rig.hub);
        QSignalSpy opened(&rig.hub, &PMessage::updateDevice);
        OnepressThread thread(buttons({"Scan", "Copy"}), &rig.hub, nullptr);
        QVERIFY(rig.startPolling(thread));
        QCOMPARE(opened.count(), 1);
        // The first withdrawal of a session asks twice.
        QCOMPARE(rig.count(event::kUnregister), size_t(2));
        QCOMPARE(rig.count(event::kRegistration), size_t(1));

        rig.events.pressButton(2);
        QTRY_COMPARE(log.presses, QList<int>{2});
        QCOMPARE(log.threads[0], QThread::currentThread());
        for (const char *bad : {"0", "3", "x"}) {
            QTRY_VERIFY(rig.events.pollHeld());
            rig.events.answerPoll(eventReply(bad));
        }
        QTRY_VERIFY(rig.events.pollHeld());
        rig.events.pressButton(1);
        QTRY_COMPARE(log.presses, (QList<int>{2, 1}));

        QVERIFY(Rig::stop(thread));
        QCOMPARE(thread.state(), int(OnepressThread::PortClosed));
        QVERIFY(!g_Devgate.isOpen());
        QVERIFY(!rig.events.registered());
        QTRY_COMPARE_WITH_TIMEOUT(rig.bus.openHandles(rig.device), 0, scaledMs(3000));
    }

    // A poll answered 404 (the scanner forgot the registration) registers
    // again without withdrawing first.
    void notRegisteredRegistersAgain()
    {
        Rig rig;
        OnepressThread thread(buttons({"Scan"}), &rig.hub, nullptr);
        QVERIFY(rig.startPolling(thread));
        rig.events.answerPoll(EventService::replyText(404, "Not Found"));
        QTRY_COMPARE_WITH_TIMEOUT(rig.count(event::kRegistration), size_t(2), scaledMs(5000));
        QCOMPARE(rig.count(event::kUnregister), size_t(2));
        QVERIFY(Rig::stop(thread));
    }

    // A refused registration withdraws once more and registers again.
    void refusedRegistrationWithdrawsAndRetries()
    {
        Rig rig;
        rig.events.scriptReply(event::kRegistration,
                               EventService::replyText(500, "Internal Server Error"));
        OnepressThread thread(buttons({"Scan"}), &rig.hub, nullptr);
        QVERIFY(rig.startPolling(thread));
        QCOMPARE(rig.count(event::kRegistration), size_t(2));
        // Two at the start; the retry's withdrawal asks twice again.
        QCOMPARE(rig.count(event::kUnregister), size_t(4));
        QVERIFY(Rig::stop(thread));
    }

    // A new list while polling: one withdrawal, then the new registration.
    void newListWhilePolling()
    {
        Rig rig;
        OnepressThread thread(buttons({"Scan"}), &rig.hub, nullptr);
        QVERIFY(rig.startPolling(thread));
        const size_t deletes = rig.count(event::kUnregister);
        thread.setParameters(buttons({"Scan", "Mail", "Archive"}));
        QTRY_COMPARE_WITH_TIMEOUT(rig.count(event::kRegistration), size_t(2), scaledMs(5000));
        QCOMPARE(rig.count(event::kUnregister), deletes + 1);
        const EventRequest last = rig.events.requests(event::kRegistration).back();
        QVERIFY(last.body.find("Archive") != std::string::npos);
        // Button 3 exists only in the new list.
        PressLog log(&rig.hub);
        QTRY_VERIFY(rig.events.pollHeld());
        rig.events.pressButton(3);
        QTRY_COMPARE(log.presses, QList<int>{3});
        QVERIFY(Rig::stop(thread));
    }

    // A transfer error on the event pipe ends the thread: one disconnect
    // report, the port closed.
    void transferErrorEndsTheThread()
    {
        Rig rig;
        OnepressThread thread(buttons({"Scan"}), &rig.hub, nullptr);
        QSignalSpy lost(&thread, &OnepressThread::usbDisconnected);
        QVERIFY(rig.startPolling(thread));
        Fault fault;
        fault.pipe = Pipe::Event;
        fault.direction = Direction::In;
        fault.kind = FaultKind::TransferError;
        rig.device->injectFault(fault);
        QVERIFY(thread.wait(scaledMs(10000)));
        QCOMPARE(lost.count(), 1);
        QVERIFY(!g_Devgate.isOpen());
        QTRY_COMPARE_WITH_TIMEOUT(rig.bus.openHandles(rig.device), 0, scaledMs(3000));
    }

    // An empty list never opens the port.
    void emptyListOpensNothing()
    {
        Rig rig;
        OnepressThread thread({}, &rig.hub, nullptr);
        QSignalSpy lost(&thread, &OnepressThread::usbDisconnected);
        thread.start();
        QVERIFY(thread.wait(scaledMs(2000)));
        QVERIFY(!g_Devgate.isOpen());
        QVERIFY(rig.events.requests().empty());
        QCOMPARE(lost.count(), 0);
    }

    // Poll time-outs and renewal, on a clock in seconds: each row lists the
    // times of the time-outs in a row (a negative time is a good reply there)
    // and which of them renew the registration, with a 60 s interval.
    void timeoutRule_data()
    {
        QTest::addColumn<QList<int>>("events");
        QTest::addColumn<QList<int>>("renewing");
        QList<int> everySecond;
        for (int t = 1; t <= 75; ++t)
            everySecond << t;
        // The eleventh (at 11 s) restarts the clock: not at 61 s but at 72 s.
        row("eleven in a row restart the clock", everySecond, QList<int>{72});
        row("slow time-outs: first past 60 s", QList<int>{30, 60, 90, 120, 150, 181},
            QList<int>{90, 181});
        row("exactly 60 s is not past", QList<int>{60}, QList<int>{});
        row("a good reply restarts the clock", QList<int>{30, -50, 100, 111}, QList<int>{111});
        // After a renewal the count starts again: the next eleventh restarts.
        QList<int> afterRenewal{61};
        for (int t = 62; t <= 72; ++t)
            afterRenewal << t;
        afterRenewal << 132 << 133;
        row("count starts again after a renewal", afterRenewal, QList<int>{61, 133});
    }
    void timeoutRule()
    {
        QFETCH(QList<int>, events);
        PollTimeoutRule rule(60000);
        rule.restart(0);
        QList<int> renewed;
        for (int t : events) {
            if (t < 0)
                rule.restart(qint64(-t) * 1000);
            else if (rule.timedOut(qint64(t) * 1000))
                renewed << t;
        }
        QTEST(renewed, "renewing");
    }

    // The thread renews by registering again, without withdrawing first. The
    // server holds polls longer than the host waits: each poll times out.
    void timeoutsRenewTheRegistration()
    {
        Rig rig;
        rig.events.setServerTimeout(std::chrono::milliseconds(30000));
        OnepressThread::setRenewInterval(0);
        OnepressThread thread(buttons({"Scan"}), &rig.hub, nullptr);
        thread.start();
        QTRY_COMPARE_WITH_TIMEOUT(rig.count(event::kRegistration), size_t(2), scaledMs(5000));
        QCOMPARE(rig.count(event::kUnregister), size_t(2));
        QVERIFY(Rig::stop(thread));
        OnepressThread::setRenewInterval(60000);
    }

    void replyEventDuringScan_data()
    {
        QTest::addColumn<bool>("flagged");
        QTest::addColumn<bool>("scanning");
        QTest::addColumn<int>("renewals");
        row("flagged during a scan", true, true, 1);
        row("not flagged", false, true, 0);
        row("no scan", true, false, 0);
    }
    // A poll time-out during a scan while the scanner has flagged a reply
    // event registers again and clears the flag; otherwise nothing renews.
    void replyEventDuringScan()
    {
        QFETCH(bool, flagged);
        QFETCH(bool, scanning);
        QFETCH(int, renewals);
        Rig rig;
        rig.events.setServerTimeout(std::chrono::milliseconds(30000));
        OnepressThread thread(buttons({"Scan"}), &rig.hub, nullptr);
        QVERIFY(rig.startPolling(thread));
        g_Devgate.setReplyEvent(flagged);
        thread.setScanFlag(scanning);
        if (renewals) {
            QTRY_COMPARE_WITH_TIMEOUT(rig.count(event::kRegistration), size_t(2), scaledMs(5000));
        } else {
            // Two time-outs of the host's poll: the first has been acted on
            // once the thread polls again.
            const int before = rig.pollTimeouts();
            QTRY_VERIFY(rig.pollTimeouts() >= before + 2);
        }
        QCOMPARE(rig.count(event::kRegistration), size_t(1 + renewals));
        QCOMPARE(rig.count(event::kUnregister), size_t(2));
        QCOMPARE(g_Devgate.getReplyEvent(), flagged && !renewals);
        QVERIFY(Rig::stop(thread));
        g_Devgate.setReplyEvent(false);
    }

    // The open throttle: a second thread right after the first waits.
    void openAttemptsAreSpaced()
    {
        Rig rig;
        OnepressThread::setOpenInterval(60000);
        OnepressThread::resetLastOpenAttempt();
        {
            OnepressThread first(buttons({"Scan"}), &rig.hub, nullptr);
            QVERIFY(rig.startPolling(first));
            QVERIFY(Rig::stop(first));
        }
        const size_t posts = rig.count(event::kRegistration);
        OnepressThread second(buttons({"Scan"}), &rig.hub, nullptr);
        second.start();
        QTest::qWait(600);
        QCOMPARE(rig.count(event::kRegistration), posts);
        QVERIFY(!g_Devgate.isOpen());
        QVERIFY(Rig::stop(second, 3000));
        OnepressThread::setOpenInterval(0);
    }
};

EMULATOR_WIDGET_TEST_MAIN(TestOnepressThread)
#include "tst_onepressthread.moc"

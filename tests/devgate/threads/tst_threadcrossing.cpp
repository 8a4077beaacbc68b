// Calls that reach a running scan job from other threads: the multifeed
// answer and the cancel that the GUI gives while the job waits, and button
// polling on the event pipe beside a scan on the data pipe of the same
// handle. Built like every test, and run under ThreadSanitizer by
// tools/sanitize.sh, which is what these cases are mostly for.
#include "devgate/facaderig.h"
#include "eventservice.h"
#include "support/testtiming.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

using namespace emu;

namespace {

// A scanner with its button-event service behind one facade. The facade goes
// before the bus (libusb before umockdev).
struct Rig : FacadeRig
{
    EventService events;

    Rig()
        : FacadeRig(3, 7)
    {
        events.attach(device);
        start();
        setPaper(true);
    }
    ~Rig() override
    {
        gate.reset();
        events.detach();
    }

    // A black-and-white front page of 1 x 0.5 inch at 200 dpi.
    void queuePage(unsigned notReadyPolls = 0, quint8 multifeed = 0)
    {
        queueRawPage(0, 0x0f, 50, notReadyPolls, multifeed);
    }

    static tagSCAN_SHORTCUT_MENU frontOnly()
    {
        auto p = builtIn(0);
        p.inputDocument = InputDocumentFront;
        p.sideStream = SideFront;
        return p;
    }
};

} // namespace

class TestThreadCrossing : public QObject
{
    Q_OBJECT
private slots:
    void multifeedAnswerFromAnotherThread_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("pagesOut");
        QTest::newRow("keep") << 1 << 0 << 2;
        QTest::newRow("stop") << 2 << -23 << 0;
    }
    // The job keeps polling while the held sheet waits; the answer comes from
    // another thread some polls later and is taken exactly once.
    void multifeedAnswerFromAnotherThread()
    {
        QFETCH(int, answer);
        Rig rig;
        QVERIFY(rig.open());
        auto profile = Rig::frontOnly();
        profile.multifeedResponse = MultifeedInteractive;
        rig.queuePage(0, 1);  // the multifed sheet
        rig.queuePage(15);    // the next one comes late: the job polls meanwhile
        std::atomic<int> asked{0};
        std::thread gui;
        connect(&rig.hub, &PMessage::scanningMultifeed, this, [&](QStringList) {
            ++asked;
            gui = std::thread([&rig, answer] {
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
                rig.gate->setMultifeedUserInput(answer);
            });
        }, Qt::DirectConnection);
        std::atomic<int> out{0};
        connect(&rig.hub, &PMessage::scanFileName, this,
                [&](SCAN_SHORTCUT_MENU *, QString, schar, QStringList, int, int, int, int) { ++out; },
                Qt::DirectConnection);
        QTEST(rig.gate->startJob(&profile, &rig.hub), "result");
        if (gui.joinable())
            gui.join();
        QCOMPARE(asked.load(), 1);
        QTEST(out.load(), "pagesOut");
        QCOMPARE(rig.scanner->hostInputs(), (std::vector<uint8_t>{uint8_t(answer)}));
        rig.gate->closePort();
    }

    // A cancel from another thread ends a job that waits for paper.
    void cancelWhileWaitingForPaper()
    {
        Rig rig;
        QVERIFY(rig.open());
        rig.device->setRecord(rec::kPaperDetected, Bytes{0});
        auto profile = Rig::frontOnly();
        profile.paperSource = PaperSourceFeeder;
        profile.autoStartScanning = 1;
        // The cancel comes once the job has asked for paper twice.
        std::thread gui([&rig] {
            QDeadlineTimer deadline(scaledMs(10000));
            while (rig.opcodeCount(op::kPaperDetected) < 2 && !deadline.hasExpired())
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            rig.gate->cancelJob();
        });
        QElapsedTimer clock;
        clock.start();
        const int rc = rig.gate->startJob(&profile, &rig.hub);
        gui.join();
        QCOMPARE(rc, -34);
        QVERIFY2(clock.elapsed() < ScanJob::paperWaitMs() / 2, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!rig.device->lockHeld());
        rig.gate->closePort();
    }

    // The button-event thread keeps polling while a scan runs on the same
    // handle: a press during the scan is reported, and every page arrives.
    void buttonPollingBesideAScan()
    {
        Rig rig;
        QVERIFY(rig.open());
        QCOMPARE(rig.gate->eventRegistration({{QString(), "scan"}}), 0);
        for (int i = 0; i < 4; ++i)
            rig.queuePage(3);
        auto profile = Rig::frontOnly();

        std::atomic<bool> scanning{true};
        std::atomic<int> result{1};
        std::atomic<int> pages{0};
        connect(&rig.hub, &PMessage::scanFileName, this,
                [&](SCAN_SHORTCUT_MENU *, QString, schar, QStringList, int, int, int, int) {
                    if (++pages == 2)
                        rig.events.pressButton(4);
                }, Qt::DirectConnection);
        std::thread job([&] {
            result = rig.gate->startJob(&profile, &rig.hub);
            scanning = false;
        });
        QString event;
        int polls = 0;
        while (event.isEmpty() && polls++ < 20) {
            if (rig.gate->getReplyEvent(event) < 0)
                break;
        }
        job.join();
        QCOMPARE(result.load(), 0);
        QCOMPARE(pages.load(), 4);
        QCOMPARE(event, QString("4"));
        QVERIFY(rig.events.protocolErrors().empty());
        QVERIFY(rig.device->protocolErrors().empty());
        QCOMPARE(rig.gate->eventUnregister(), 0);
        rig.gate->closePort();
    }

    // The console's button thread closes (or resets) the port while its own
    // poll waits on the event pipe: the poll is cancelled and fails, the
    // close does not wait the poll out, and no transfer touches the freed
    // handle (which AddressSanitizer would report).
    void closingThePortCancelsAWaitingButtonPoll_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::newRow("close") << false;
        QTest::newRow("reset") << true;
    }
    void closingThePortCancelsAWaitingButtonPoll()
    {
        QFETCH(bool, reset);
        Rig rig;
        QVERIFY(rig.open());
        QCOMPARE(rig.gate->eventRegistration({{QString(), "scan"}}), 0);
        std::atomic<int> pollResult{1};
        std::atomic<bool> polling{false};
        std::thread poller([&] {
            QString event;
            polling = true;
            pollResult = rig.gate->getReplyEvent(event);
        });
        QTRY_VERIFY_WITH_TIMEOUT(polling.load() && rig.device->pendingIn(Pipe::Event) > 0, scaledMs(5000));
        QElapsedTimer clock;
        clock.start();
        if (reset)
            QCOMPARE(rig.gate->resetDevice(), 0);
        else
            rig.gate->closePort();
        const qint64 took = clock.elapsed();
        poller.join();
        QVERIFY2(took < OxButtonEvent::transferTimeout() / 2, qPrintable(QString::number(took)));
        QVERIFY(pollResult.load() < 0);
        QCOMPARE(rig.gate->isOpen(), reset);
        rig.gate->closePort();
    }
};

EMULATOR_TEST_MAIN(TestThreadCrossing)
#include "tst_threadcrossing.moc"

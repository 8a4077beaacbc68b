#include "deviceharness.h"

#include "oxcommand.h"

#include <QElapsedTimer>

using namespace emu;

// The status read's retries against real time-outs, shortened from the
// device's 3 s so that the five retries do not take a quarter of a minute.
class TestOxCommandTimeouts : public QObject
{
    Q_OBJECT

    static constexpr int kDataMs = 400;

    struct Rig
    {
        EmulatedScanner s;
        OxCommand cmd;
        Rig()
        {
            if (s.port.openPort())
                cmd.setPort(&s.port);
        }
        ~Rig() { s.port.closePort(); }
        void stallStatusReads(int count)
        {
            // The first data-pipe read is the data phase; the stalls hit the
            // status reads after it.
            for (int i = 0; i < count; ++i)
                s.device->injectFault({Pipe::Data, Direction::In, FaultKind::NoAnswer, 0, 0, i == 0 ? 1u : 0u});
        }
    };

private slots:
    void initTestCase()
    {
        QVERIFY2(EmulatedBus::preloadActive(), "umockdev preload missing");
        LinkTimeouts::set(LinkTimeouts::Data, kDataMs);
    }
    void cleanupTestCase() { LinkTimeouts::set(LinkTimeouts::Data, 0); }

    void fourTimeoutsThenTheBlock()
    {
        Rig r;
        r.stallStatusReads(4);
        r.s.device->scriptStatus(0x01, 4);
        QElapsedTimer t;
        t.start();
        QCOMPARE(r.cmd.checkInterfaceVersion(), int(RC_MULTIFEED));
        QVERIFY(t.elapsed() >= 4 * kDataMs - 50);
        int timedOut = 0;
        for (const auto &rec : r.s.device->transfers(Pipe::Data))
            timedOut += rec.outcome == TransferRecord::Outcome::TimedOut;
        QCOMPARE(timedOut, 4);
    }

    void fiveTimeoutsFail()
    {
        Rig r;
        r.stallStatusReads(5);
        QTest::ignoreMessage(QtDebugMsg, "SCANNER_READ_FAILED -3");
        QCOMPARE(r.cmd.checkInterfaceVersion(), int(RC_READ_FAILED));
        QCOMPARE(r.s.device->transfers(Pipe::Data).size(), size_t(7));
    }

    void dataPhaseTimeout()
    {
        Rig r;
        r.s.device->injectFault({Pipe::Data, Direction::In, FaultKind::NoAnswer, 0, 0, 0});
        QTest::ignoreMessage(QtDebugMsg, "checkInterfaceVersion: -3");
        QCOMPARE(r.cmd.checkInterfaceVersion(), int(RC_READ_FAILED));
    }

    void blockWriteTimeout()
    {
        Rig r;
        r.s.device->injectFault({Pipe::Data, Direction::Out, FaultKind::NoAnswer, 0, 0, 0});
        QCOMPARE(r.cmd.checkInterfaceVersion(), int(RC_READ_FAILED));
        QCOMPARE(r.s.device->commands().size(), size_t(0));
    }
};

EMULATOR_TEST_MAIN(TestOxCommandTimeouts)
#include "tst_oxcommand_timeouts.moc"

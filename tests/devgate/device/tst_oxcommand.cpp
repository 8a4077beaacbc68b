#include "deviceharness.h"

#include "locktask.h"
#include "oxcommand.h"
#include "support/testtiming.h"

#include <QElapsedTimer>

#include <cerrno>
#include <thread>

using namespace emu;

// OxCommand end to end: product code on the real libusb, the emulated
// scanner on the other side.
class TestOxCommand : public QObject
{
    Q_OBJECT

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
        std::vector<TransferRecord> data() const { return s.device->transfers(Pipe::Data); }
        std::vector<TransferRecord> lock() const { return s.device->transfers(Pipe::Lock); }
    };

    static Bytes sts(uint8_t code) { return {'S', 'T', 'S', 0, 0, 0, 0, 0, code, 0, 0, 0}; }
    static Bytes wire(const QByteArray &b) { return Bytes(b.begin(), b.end()); }
    static Bytes hex(const char *text) { return wire(QByteArray::fromHex(text)); }

private slots:
    void initTestCase() { QVERIFY2(EmulatedBus::preloadActive(), "umockdev preload missing"); }

    void lockAndUnlockCarryTheLockId()
    {
        Rig r;
        r.s.device->setNextLockId("0123456789");
        QCOMPARE(r.cmd.lockScanner(), 0);
        QCOMPARE(r.cmd.currentLockId(), QString("0123456789"));
        QVERIFY(r.s.device->lockHeld());
        QCOMPARE(r.cmd.unlockScanner(), 0);
        QVERIFY(!r.s.device->lockHeld());

        const auto lock = r.lock();
        QCOMPARE(lock.size(), size_t(4));
        QCOMPARE(lock[0].bytes, wire(LockTask::lockTask()));
        QVERIFY(lock[1].direction == Direction::In);
        QCOMPARE(lock[2].bytes, wire(LockTask::unlockTask("0123456789")));
        QCOMPARE(lock[2].bytes.size(), size_t(166));
        QVERIFY(r.s.device->protocolErrors().empty());
        QVERIFY(r.data().empty());

        // The id is kept after an unlock: a second unlock quotes a lock the
        // device no longer holds.
        QTest::ignoreMessage(QtDebugMsg, "Scanner unlock failed");
        QCOMPARE(r.cmd.unlockScanner(), int(RC_UNLOCK_FAILED));
        QCOMPARE(r.cmd.currentLockId(), QString("0123456789"));
    }

    void lockRefusals_data()
    {
        QTest::addColumn<int>("setup");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("trace");
        QTest::newRow("held by another host") << 0 << int(RC_BUSY) << "Scanner busy";
        QTest::newRow("waking") << 1 << int(RC_WAKING) << "Scanner waking up";
        QTest::newRow("no status element") << 2 << int(RC_LOCK_FAILED) << "Scanner lock failed";
        QTest::newRow("unknown status") << 3 << int(RC_LOCK_FAILED) << "Scanner lock failed";
        QTest::newRow("reply read fails") << 4 << int(RC_READ_FAILED) << QString();
    }
    void lockRefusals()
    {
        QFETCH(int, setup);
        QFETCH(int, result);
        QFETCH(QString, trace);
        Rig r;
        switch (setup) {
        case 0: r.s.device->setLockHeldByOtherHost(true); break;
        case 1: r.s.device->setWaking(1); break;
        case 2: r.s.device->scriptLockReply("<task><lockid>1</lockid></task>"); break;
        case 3: r.s.device->scriptLockReply("<status>granted</status><lockid>1</lockid>"); break;
        case 4: r.s.device->injectFault({Pipe::Lock, Direction::In, FaultKind::TransferError, 0, EPROTO, 0}); break;
        }
        if (!trace.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, qPrintable(trace));
        QCOMPARE(r.cmd.lockScanner(), result);
        QVERIFY(r.cmd.currentLockId().isEmpty());
        // Nothing was granted, so there is nothing to give back.
        const size_t before = r.lock().size();
        QCOMPARE(r.cmd.unlockScanner(), 0);
        QCOMPARE(r.lock().size(), before);
    }

    void wakingScannerAnswersTheRetry()
    {
        Rig r;
        r.s.device->setWaking(1);
        QCOMPARE(r.cmd.lockScanner(), int(RC_WAKING));
        QCOMPARE(r.cmd.lockScanner(), 0);
        QCOMPARE(r.cmd.currentLockId().size(), 10);
        QCOMPARE(r.cmd.unlockScanner(), 0);
    }

    void failedTaskWriteDoesNotWaitForAReply()
    {
        Rig r;
        r.s.device->injectFault({Pipe::Lock, Direction::Out, FaultKind::TransferError, 0, EPROTO, 0});
        QElapsedTimer t;
        t.start();
        QCOMPARE(r.cmd.lockScanner(), int(RC_READ_FAILED));
        QVERIFY(t.elapsed() < OxCommand::lockTimeout() / 2);
        QCOMPARE(r.lock().size(), size_t(1)); // the failed write; no read
    }

    void logLockAndItsUnlock()
    {
        Rig r;
        r.s.device->setNextLockId("L0G");
        QCOMPARE(r.cmd.lockScannerForLog(), 0);
        QVERIFY(r.s.device->lockIsForLog());
        QCOMPARE(r.lock()[0].bytes.size(), size_t(241));
        QCOMPARE(r.lock()[0].bytes, wire(LockTask::logLockTask()));
        QCOMPARE(r.cmd.unlockScannerForLog(), 0);
        QCOMPARE(r.lock()[2].bytes, wire(LockTask::unlockTask("L0G")));
        QVERIFY(!r.s.device->lockHeld());
    }

    void newLockReplacesTheId()
    {
        Rig r;
        r.s.device->scriptLockReply("<status>success</status><lockid>FIRST</lockid>");
        QCOMPARE(r.cmd.lockScanner(), 0);
        r.s.device->scriptLockReply("<status>success</status><lockid>SECOND</lockid>");
        QCOMPARE(r.cmd.lockScanner(), 0);
        QCOMPARE(r.cmd.currentLockId(), QString("SECOND"));
    }

    void checkInterfaceVersionEndToEnd()
    {
        Rig r;
        QTest::ignoreMessage(QtDebugMsg, "getStatus--checkInterfaceVersion: 0");
        QCOMPARE(r.cmd.checkInterfaceVersion(), 0);
        const auto data = r.data();
        QCOMPARE(data.size(), size_t(3));
        QVERIFY(data[0].direction == Direction::Out);
        QCOMPARE(data[0].bytes, hex("434d4400 00000001 00000002 80 01 00 12 00 00 00 00"));
        QCOMPARE(data[1].bytes, hex("0001"));
        QCOMPARE(data[2].bytes, sts(0));
        QCOMPARE(r.s.device->commands().size(), size_t(1));
        QVERIFY(r.s.device->protocolErrors().empty());
    }

    void statusCodesEndToEnd_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("result");
        const QList<QPair<int, int>> table = {
            {0, 0}, {1, -20}, {2, -21}, {3, -22}, {4, -23}, {5, -24}, {6, -1}, {7, -25},
            {8, -26}, {9, -27}, {10, -28}, {11, -29}, {12, -30}, {13, -31}, {14, -1},
            {15, -32}, {16, -1}, {255, -1}};
        for (const auto &row : table)
            QTest::addRow("status %d", row.first) << row.first << row.second;
    }
    void statusCodesEndToEnd()
    {
        QFETCH(int, code);
        QFETCH(int, result);
        Rig r;
        r.s.device->scriptStatus(0x01, uint8_t(code));
        QCOMPARE(r.cmd.checkInterfaceVersion(), result);
        QCOMPARE(r.data().size(), size_t(3));
    }

    void refusalIsTheStatusBlockAlone()
    {
        Rig r;
        r.s.device->scriptReply(0x01, Reply::refused(3));
        QTest::ignoreMessage(QtDebugMsg, "SCANNER_PAPER_JAM");
        QCOMPARE(r.cmd.checkInterfaceVersion(), int(RC_PAPER_JAM));
        QCOMPARE(r.data().size(), size_t(2)); // no status read after the refusal
        QVERIFY(r.s.device->protocolErrors().empty());
    }

    void statusWithoutSignature()
    {
        Rig r;
        Reply reply = Reply::ok({0, 1});
        reply.rawStatus = hex("58595a00 00000000 00 000000");
        r.s.device->scriptReply(0x01, reply);
        QTest::ignoreMessage(QtDebugMsg, "Not command");
        QCOMPARE(r.cmd.checkInterfaceVersion(), int(RC_STATUS_SIGNATURE));
    }

    void transferFailuresOfTheExchange_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("skip");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("transfers");
        // checkInterfaceVersion reports its failed block write as a failed read.
        QTest::newRow("block write") << int(Direction::Out) << 0 << int(RC_READ_FAILED) << 1;
        QTest::newRow("data read") << int(Direction::In) << 0 << int(RC_READ_FAILED) << 2;
        // A transfer error on the status read ends it at once: one attempt.
        QTest::newRow("status read") << int(Direction::In) << 1 << int(RC_READ_FAILED) << 3;
    }
    void transferFailuresOfTheExchange()
    {
        QFETCH(int, direction);
        QFETCH(int, skip);
        QFETCH(int, result);
        QFETCH(int, transfers);
        Rig r;
        r.s.device->injectFault({Pipe::Data, Direction(direction), FaultKind::TransferError, 0, EPROTO,
                                 unsigned(skip)});
        QCOMPARE(r.cmd.checkInterfaceVersion(), result);
        QCOMPARE(r.data().size(), size_t(transfers));
    }

    void emptyStatusReadsAreRetried()
    {
        Rig r;
        for (int i = 0; i < 4; ++i)
            r.s.device->injectFault({Pipe::Data, Direction::In, FaultKind::EmptyRead, 0, 0, i == 0 ? 1u : 0u});
        r.s.device->scriptStatus(0x01, 7);
        QCOMPARE(r.cmd.checkInterfaceVersion(), int(RC_COVER_OPEN));
        QCOMPARE(r.data().size(), size_t(7)); // block, data, four empty reads, status

        Rig five;
        for (int i = 0; i < 5; ++i)
            five.s.device->injectFault({Pipe::Data, Direction::In, FaultKind::EmptyRead, 0, 0, i == 0 ? 1u : 0u});
        QTest::ignoreMessage(QtDebugMsg, "Not command");
        QCOMPARE(five.cmd.checkInterfaceVersion(), int(RC_STATUS_SIGNATURE));
        QCOMPARE(five.data().size(), size_t(7));
    }

    void cutOffStatusBlockIsNotSuccess()
    {
        Rig r;
        r.s.device->injectFault({Pipe::Data, Direction::In, FaultKind::ShortRead, 4, 0, 1});
        QCOMPARE(r.cmd.checkInterfaceVersion(), int(RC_READ_FAILED));

        Rig nine; // the status code itself arrived: it counts
        nine.s.device->scriptStatus(0x01, 5);
        nine.s.device->injectFault({Pipe::Data, Direction::In, FaultKind::ShortRead, 9, 0, 1});
        QCOMPARE(nine.cmd.checkInterfaceVersion(), int(RC_WARMING_UP));
    }

    void hotUnplugWhileWaitingForTheStatus()
    {
        Rig r;
        Reply silent = Reply::ok({0, 1});
        silent.sendStatus = false;
        r.s.device->scriptReply(0x01, silent);
        // A long data time-out, so that an unplug that waits it out shows.
        const int dataTimeout = scaledMs(10000);
        LinkTimeouts::set(LinkTimeouts::Data, dataTimeout);
        int result = 0;
        std::thread job([&] { result = r.cmd.checkInterfaceVersion(); });
        const bool waiting = QTest::qWaitFor(
            [&] { return !r.s.device->commands().empty() && r.s.device->pendingIn(Pipe::Data) > 0; },
            scaledMs(5000));
        QElapsedTimer t;
        t.start();
        r.s.bus.unplug(r.s.device);
        job.join();
        const qint64 took = t.elapsed();
        LinkTimeouts::set(LinkTimeouts::Data, 0);
        QVERIFY2(waiting, "the status read never started");
        QCOMPARE(result, int(RC_READ_FAILED));
        QVERIFY2(took < dataTimeout / 2, qPrintable(QString::number(took)));
        QCOMPARE(r.cmd.lockScanner(), int(RC_READ_FAILED));
    }

    void withoutPort()
    {
        OxCommand cmd;
        QCOMPARE(cmd.lockScanner(), int(RC_NOT_CONNECTED));
        QCOMPARE(cmd.checkInterfaceVersion(), int(RC_READ_FAILED));
        QCOMPARE(cmd.getStatus(), int(RC_READ_FAILED));
        QVERIFY(!cmd.closePort());
    }

    void buildHeaderOrder()
    {
        OxCommand cmd;
        tagCMD_HEADER h;
        cmd.buildHeader(h, 0x80, 0x50, 10, 0, 0x40, 0, 0, 4, 0);
        QCOMPARE(CommandBlock::encodeCommandBlock(h),
                 QByteArray::fromHex("434d4400 00000050 0000000a 80 50 004000000400"));
    }

    // The primitives later commands are built from, on opcodes the test
    // teaches the emulator.
    void hostToDeviceExchange()
    {
        Rig r;
        r.s.device->setCommandHandler(0x13, [](const Command &c, ScannerEmulator &) {
            return Reply::withStatus(c.data.size() == 6 ? 0 : 6);
        });
        OxCommand::Exchange x;
        x.name = "setTimeDateLocal";
        x.opcode = 0x13;
        QCOMPARE(r.cmd.exchangeOut(x, QByteArray::fromHex("0e070305 07e8")), 0);
        const Command sent = r.s.device->commands().back();
        QCOMPARE(sent.block, hex("434d4400 00000013 00000006 00 13 000000000000"));
        QCOMPARE(sent.data, hex("0e07030507e8"));
        QCOMPARE(r.data().size(), size_t(3)); // block, data, status

        r.s.device->injectFault({Pipe::Data, Direction::Out, FaultKind::TransferError, 0, EPROTO, 1});
        QTest::ignoreMessage(QtDebugMsg, "setTimeDateLocal2: -4");
        QCOMPARE(r.cmd.exchangeOut(x, QByteArray(6, 1)), int(RC_WRITE_FAILED));
        r.s.device->injectFault({Pipe::Data, Direction::Out, FaultKind::TransferError, 0, EPROTO, 0});
        QTest::ignoreMessage(QtDebugMsg, "setTimeDateLocal1: -4");
        QCOMPARE(r.cmd.exchangeOut(x, QByteArray(6, 1)), int(RC_WRITE_FAILED));

        // An empty data phase is announced and not sent.
        r.s.device->clearTransfers();
        r.s.device->setCommandHandler(0x9C, [](const Command &, ScannerEmulator &) { return Reply::ok(); });
        x.opcode = 0x9C;
        QCOMPARE(r.cmd.exchangeOut(x, QByteArray()), 0);
        QCOMPARE(r.data().size(), size_t(2));
    }

    void exchangeWithoutData()
    {
        Rig r;
        r.s.device->setCommandHandler(0x62, [](const Command &, ScannerEmulator &) { return Reply::withStatus(5); });
        OxCommand::Exchange x;
        x.name = "setDiagnosticEnd";
        x.opcode = 0x62;
        QTest::ignoreMessage(QtDebugMsg, "getStatus--setDiagnosticEnd: -24");
        QCOMPARE(r.cmd.exchangeNone(x), int(RC_WARMING_UP));
        QCOMPARE(r.s.device->commands().back().block, hex("434d4400 00000062 00000000 00 62 000000000000"));
        QVERIFY(r.s.device->protocolErrors().empty());
    }

    void replyRules()
    {
        Rig r;
        Bytes answer(34, 0x11);
        r.s.device->setCommandHandler(0x14, [&](const Command &, ScannerEmulator &) { return Reply::ok(answer); });
        OxCommand::Exchange e;
        e.name = "meters";
        e.opcode = 0x14;
        e.length = 34;
        e.rule = OxCommand::RuleE;
        QByteArray reply("untouched");
        bool handed = false;
        QCOMPARE(r.cmd.exchangeIn(e, reply, &handed), 0);
        QVERIFY(handed);
        QCOMPARE(reply, QByteArray(34, 0x11));

        // Rule E: any other length is decoded as a status block.
        answer.resize(30);
        reply = "untouched";
        QCOMPARE(r.cmd.exchangeIn(e, reply, &handed), int(RC_STATUS_SIGNATURE));
        QVERIFY(!handed);
        QCOMPARE(reply, QByteArray("untouched"));
        r.s.device->scriptReply(0x14, Reply::refused(2));
        QCOMPARE(r.cmd.exchangeIn(e, reply, &handed), int(RC_END_OF_OUTPUT));
        QVERIFY(!handed);

        // Rule A: the status block is read whatever arrived, and the whole
        // zero-filled buffer is handed over.
        r.s.device->setCommandHandler(0x34, [](const Command &, ScannerEmulator &) {
            return Reply::withStatus(2, {1, 2, 3});
        });
        OxCommand::Exchange a;
        a.name = "scanEnd";
        a.opcode = 0x34;
        a.length = 20;
        a.rule = OxCommand::RuleA;
        a.replyBuffer = 20;
        a.readTimeout = 5000;
        QCOMPARE(r.cmd.exchangeIn(a, reply, &handed), int(RC_END_OF_OUTPUT));
        QVERIFY(handed);
        QCOMPARE(reply, QByteArray::fromHex("010203") + QByteArray(17, 0));

        // Rule S into the caller's memory.
        char buffer[1024] = {};
        int arrived = -1;
        OxCommand::Exchange s;
        s.name = "checkInterfaceVersion";
        s.opcode = 0x01;
        s.length = 2;
        QCOMPARE(r.cmd.exchangeIn(s, buffer, sizeof buffer, &arrived, &handed), 0);
        QCOMPARE(arrived, 2);
        QVERIFY(handed);
        QCOMPARE(QByteArray(buffer, 2), QByteArray::fromHex("0001"));
    }
};

EMULATOR_TEST_MAIN(TestOxCommand)
#include "tst_oxcommand.moc"

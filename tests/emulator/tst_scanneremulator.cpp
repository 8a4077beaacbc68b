#include "scanneremulator.h"

#include <QtTest>

#include <cerrno>

using namespace emu;

// The device model driven directly, as a fuzzer or a unit test would: no
// USB emulation, just transfers in and out.
class TestScannerEmulator : public QObject
{
    Q_OBJECT

    static Bytes block(uint8_t opcode, uint32_t length, uint8_t direction,
                       std::array<uint8_t, 6> params = {})
    {
        Bytes b = {'C', 'M', 'D', 0, 0, 0, 0, opcode,
                   uint8_t(length >> 24), uint8_t(length >> 16), uint8_t(length >> 8), uint8_t(length),
                   direction, opcode};
        b.insert(b.end(), params.begin(), params.end());
        return b;
    }
    static Bytes sts(uint8_t code) { return {'S', 'T', 'S', 0, 0, 0, 0, 0, code, 0, 0, 0}; }
    static Bytes readIn(ScannerEmulator &dev, Pipe pipe, size_t length = 1024)
    {
        const Completion c = dev.transferIn(pipe, length);
        return c.state == Completion::State::Done ? c.data : Bytes{0xEE};
    }
    static std::string lockTask() { return "<task>\n\t<resourcelock>\n</resourcelock>\n</task>"; }
    static std::string unlockTask(const std::string &id)
    {
        return "<task>\n\t<resourceunlock>\n\t\t<lockid>" + id + "</lockid>\n\t</resourceunlock>\n</task>\n";
    }

private slots:
    void interfaceVersionIsDataThenStatus()
    {
        ScannerEmulator dev;
        QVERIFY(dev.transferOut(Pipe::Data, block(0x01, 2, 0x80, {0, 0x12, 0, 0, 0, 0})).state ==
                Completion::State::Done);
        QCOMPARE(dev.queuedIn(Pipe::Data), size_t(2));
        QCOMPARE(readIn(dev, Pipe::Data), (Bytes{0x00, 0x01}));
        QCOMPARE(readIn(dev, Pipe::Data), sts(0));
        QCOMPARE(dev.commands().size(), size_t(1));
        QCOMPARE(int(dev.commands()[0].params[1]), 0x12);
        QVERIFY(dev.protocolErrors().empty());
    }

    void hostDataPhaseIsCollectedBeforeDispatch()
    {
        ScannerEmulator dev;
        Bytes seen;
        dev.setCommandHandler(0x21, [&](const Command &c, ScannerEmulator &) {
            seen = c.data;
            return Reply::withStatus(3);
        });
        dev.transferOut(Pipe::Data, block(0x21, 5, 0x00));
        dev.transferOut(Pipe::Data, {1, 2});
        QCOMPARE(dev.queuedIn(Pipe::Data), size_t(0)); // still waiting for 3 bytes
        dev.transferOut(Pipe::Data, {3, 4, 5});
        QCOMPARE(seen, (Bytes{1, 2, 3, 4, 5}));
        QCOMPARE(readIn(dev, Pipe::Data), sts(3));
        QVERIFY(dev.protocolErrors().empty());
    }

    void scriptsOverrideHandlersOnce()
    {
        ScannerEmulator dev;
        dev.scriptStatus(0x01, 14);
        dev.scriptReply(0x01, Reply::refused(4));
        Reply raw = Reply::ok({9});
        raw.rawStatus = bytes("XYZ\0abcdefgh");
        dev.scriptReply(0x01, raw);

        dev.transferOut(Pipe::Data, block(0x01, 2, 0x80));
        QCOMPARE(readIn(dev, Pipe::Data), (Bytes{0, 1}));
        QCOMPARE(readIn(dev, Pipe::Data), sts(14));
        dev.transferOut(Pipe::Data, block(0x01, 2, 0x80));
        QCOMPARE(readIn(dev, Pipe::Data), sts(4)); // refused: the status block alone
        dev.transferOut(Pipe::Data, block(0x01, 2, 0x80));
        QCOMPARE(readIn(dev, Pipe::Data), (Bytes{9}));
        QCOMPARE(text(readIn(dev, Pipe::Data)).substr(0, 3), std::string("XYZ"));
        dev.transferOut(Pipe::Data, block(0x01, 2, 0x80)); // scripts used up: the handler again
        QCOMPARE(readIn(dev, Pipe::Data), (Bytes{0, 1}));
    }

    void unknownOpcodeIsRefusedAndNoted()
    {
        ScannerEmulator dev;
        dev.transferOut(Pipe::Data, block(0x99, 4, 0x80));
        QCOMPARE(readIn(dev, Pipe::Data), sts(status::kFailed));
        QCOMPARE(dev.queuedIn(Pipe::Data), size_t(0));
        QCOMPARE(dev.unhandledOpcodes(), (std::vector<uint8_t>{0x99}));
    }

    void hostMistakesAreProtocolErrors()
    {
        ScannerEmulator dev;
        dev.transferOut(Pipe::Data, bytes("not a block"));
        QCOMPARE(readIn(dev, Pipe::Data), sts(status::kFailed));
        QCOMPARE(dev.protocolErrors().size(), size_t(1));

        Bytes mismatched = block(0x01, 2, 0x80);
        mismatched[7] = 0x02; // opcode word differs from the opcode byte
        dev.transferOut(Pipe::Data, mismatched);
        QCOMPARE(dev.protocolErrors().size(), size_t(2));
        // The reply of that command is left unread when the next block comes.
        dev.transferOut(Pipe::Data, block(0x01, 2, 0x80));
        QCOMPARE(dev.protocolErrors().size(), size_t(3));
        QCOMPARE(dev.queuedIn(Pipe::Data), size_t(2));

        dev.setCommandHandler(0x22, [](const Command &, ScannerEmulator &) { return Reply::ok(); });
        readIn(dev, Pipe::Data);
        readIn(dev, Pipe::Data);
        dev.transferOut(Pipe::Data, block(0x22, 2, 0x00));
        dev.transferOut(Pipe::Data, {1, 2, 3});
        QCOMPARE(dev.protocolErrors().size(), size_t(4));
        QCOMPARE(dev.commands().back().data, (Bytes{1, 2}));
    }

    void lockGrantsAndChecksTheId()
    {
        ScannerEmulator dev;
        dev.setNextLockId("ABCDEFGHIJ");
        dev.transferOut(Pipe::Lock, bytes(lockTask()));
        const std::string granted = text(readIn(dev, Pipe::Lock));
        QVERIFY(granted.find("<status>success</status>") != std::string::npos);
        QVERIFY(granted.find("<lockid>ABCDEFGHIJ</lockid>") != std::string::npos);
        QVERIFY(dev.lockHeld());
        QVERIFY(!dev.lockIsForLog());

        dev.transferOut(Pipe::Lock, bytes(lockTask())); // the holder asks again
        QVERIFY(text(readIn(dev, Pipe::Lock)).find("<status>busy</status>") != std::string::npos);

        dev.transferOut(Pipe::Lock, bytes(unlockTask("WRONG")));
        QVERIFY(text(readIn(dev, Pipe::Lock)).find("<status>success</status>") == std::string::npos);
        QVERIFY(dev.lockHeld());
        QCOMPARE(dev.protocolErrors().size(), size_t(1));

        dev.transferOut(Pipe::Lock, bytes(unlockTask("ABCDEFGHIJ")));
        QVERIFY(text(readIn(dev, Pipe::Lock)).find("<status>success</status>") != std::string::npos);
        QVERIFY(!dev.lockHeld());

        // Generated ids are ten characters and differ from grant to grant.
        dev.transferOut(Pipe::Lock, bytes("<task><resourcelock><locktimeout>120</locktimeout></resourcelock></task>"));
        const std::string first = dev.lockId();
        QCOMPARE(first.size(), size_t(10));
        QVERIFY(dev.lockIsForLog());
        dev.transferOut(Pipe::Lock, bytes(unlockTask(first)));
        dev.transferOut(Pipe::Lock, bytes(lockTask()));
        QVERIFY(dev.lockId() != first);
    }

    void lockBusyWakingAndScripted()
    {
        ScannerEmulator dev;
        dev.setLockHeldByOtherHost(true);
        dev.transferOut(Pipe::Lock, bytes(lockTask()));
        QVERIFY(text(readIn(dev, Pipe::Lock)).find("<status>busy</status>") != std::string::npos);
        dev.setLockHeldByOtherHost(false);
        dev.setWaking(2);
        for (int i = 0; i < 2; ++i) {
            dev.transferOut(Pipe::Lock, bytes(lockTask()));
            QVERIFY(text(readIn(dev, Pipe::Lock)).find("<status>waking</status>") != std::string::npos);
        }
        dev.scriptLockReply("garbage");
        dev.transferOut(Pipe::Lock, bytes(lockTask()));
        QCOMPARE(text(readIn(dev, Pipe::Lock)), std::string("garbage"));
        QVERIFY(!dev.lockHeld());
        dev.transferOut(Pipe::Lock, bytes(lockTask()));
        QVERIFY(text(readIn(dev, Pipe::Lock)).find("<status>success</status>") != std::string::npos);
    }

    void faultsHitTheirTransfer()
    {
        ScannerEmulator dev;
        dev.injectFault({Pipe::Data, Direction::In, FaultKind::NoAnswer, 0, 0, 1});
        dev.injectFault({Pipe::Data, Direction::In, FaultKind::ShortRead, 3, 0, 0});
        dev.queueIn(Pipe::Data, {1, 2, 3, 4, 5});
        dev.queueIn(Pipe::Data, {6, 7});
        dev.queueIn(Pipe::Data, {8});

        QCOMPARE(readIn(dev, Pipe::Data), (Bytes{1, 2, 3, 4, 5})); // skipped once
        const uint64_t stalled = dev.submit(Pipe::Data, Direction::In, {}, 64);
        QVERIFY(dev.poll(stalled).state == Completion::State::Pending);
        QVERIFY(dev.cancel(stalled));
        // The stall took nothing; faults apply in order, so the short read
        // (3 bytes) meets this two-byte message and lets it through whole.
        QCOMPARE(readIn(dev, Pipe::Data), (Bytes{6, 7}));
        QCOMPARE(readIn(dev, Pipe::Data), (Bytes{8}));
        QCOMPARE(dev.pendingFaults(), size_t(0));

        dev.injectFault({Pipe::Data, Direction::Out, FaultKind::TransferError, 0, EPIPE, 0});
        const Completion failed = dev.transferOut(Pipe::Data, block(0x01, 2, 0x80));
        QVERIFY(failed.state == Completion::State::Failed);
        QCOMPARE(failed.error, EPIPE);
        QCOMPARE(dev.commands().size(), size_t(0)); // the block never reached the device

        dev.injectFault({Pipe::Event, Direction::In, FaultKind::EmptyRead, 0, 0, 0});
        dev.queueIn(Pipe::Event, {42});
        QCOMPARE(readIn(dev, Pipe::Event), Bytes{});
        QCOMPARE(readIn(dev, Pipe::Event), (Bytes{42}));

        const auto records = dev.transfers(Pipe::Data);
        QVERIFY(records[1].outcome == TransferRecord::Outcome::TimedOut);
        QVERIFY(records.back().outcome == TransferRecord::Outcome::Failed);
        QCOMPARE(records.back().bytes, block(0x01, 2, 0x80));
    }

    void shortReadCutsAndLosesTheRest()
    {
        ScannerEmulator dev;
        dev.injectFault({Pipe::Data, Direction::In, FaultKind::ShortRead, 3, 0, 0});
        dev.queueIn(Pipe::Data, {1, 2, 3, 4, 5});
        dev.queueIn(Pipe::Data, {6});
        QCOMPARE(readIn(dev, Pipe::Data), (Bytes{1, 2, 3}));
        QCOMPARE(readIn(dev, Pipe::Data), (Bytes{6}));
    }

    void longMessagesFollowPacketRules()
    {
        ScannerEmulator dev;
        dev.queueIn(Pipe::Data, Bytes(1500, 0xAB));
        QCOMPARE(readIn(dev, Pipe::Data, 1024).size(), size_t(1024)); // whole packets: split
        QCOMPARE(readIn(dev, Pipe::Data, 1024).size(), size_t(476));
        dev.queueIn(Pipe::Data, Bytes(20, 1));
        dev.queueIn(Pipe::Data, {2});
        const Completion c = dev.transferIn(Pipe::Data, 12); // mid-packet: overflow, message lost
        QVERIFY(c.state == Completion::State::Failed);
        QCOMPARE(c.error, EOVERFLOW);
        QCOMPARE(readIn(dev, Pipe::Data, 12), (Bytes{2}));
    }

    void vanishFailsEverything()
    {
        ScannerEmulator dev;
        const uint64_t pending = dev.submit(Pipe::Event, Direction::In, {}, 512);
        dev.injectFault({Pipe::Data, Direction::Out, FaultKind::Vanish, 0, 0, 0});
        QCOMPARE(dev.transferOut(Pipe::Data, block(0x01, 2, 0x80)).error, ENODEV);
        QVERIFY(dev.vanished());
        const Completion c = dev.poll(pending);
        QVERIFY(c.state == Completion::State::Failed);
        QCOMPARE(c.error, ESHUTDOWN);
        QCOMPARE(dev.claimInterface(0), -ENODEV);
    }

    void usbRequestsFollowTheKernelsRules()
    {
        ScannerEmulator dev;
        dev.setKernelDriver("usblp");
        std::string name;
        QCOMPARE(dev.getDriver(0, name), 0);
        QCOMPARE(name, std::string("usblp"));
        QCOMPARE(dev.setConfiguration(1), -EBUSY); // the driver holds the interface
        QCOMPARE(dev.claimInterface(0), -EBUSY);
        QCOMPARE(dev.disconnectDriver(0), 0);
        QCOMPARE(dev.getDriver(0, name), -ENODATA);
        QCOMPARE(dev.setConfiguration(1), 0);
        QCOMPARE(dev.claimInterface(0), 0);
        QCOMPARE(dev.setConfiguration(1), -EBUSY); // now we hold it
        QCOMPARE(dev.connectDriver(0), -EBUSY);
        QCOMPARE(dev.releaseInterface(0), 0);
        QCOMPARE(dev.connectDriver(0), 1);
        QCOMPARE(dev.kernelDriver(), std::string("usblp"));

        dev.failNextControl(ControlOp::Reset, EIO);
        QCOMPARE(dev.resetDevice(), -EIO);
        QCOMPARE(dev.resetDevice(), 0);
        const auto log = dev.controlLog();
        QCOMPARE(log.front(), std::string("getdriver 0"));
        QCOMPARE(log.back(), std::string("reset"));
    }

    void eventPipeIsScriptedByTheTest()
    {
        ScannerEmulator dev;
        dev.setEventHandler([](const Bytes &frame, ScannerEmulator &device) {
            Bytes reply = bytes("ack:");
            reply.insert(reply.end(), frame.begin(), frame.end());
            device.queueIn(Pipe::Event, reply);
        });
        dev.transferOut(Pipe::Event, bytes("poll"));
        QCOMPARE(text(readIn(dev, Pipe::Event)), std::string("ack:poll"));
        // A press comes whenever the device likes, with no request.
        dev.queueIn(Pipe::Event, bytes("press 3"));
        QCOMPARE(text(readIn(dev, Pipe::Event)), std::string("press 3"));
        QVERIFY(dev.commands().empty());
    }

    // Random traffic on every pipe: the model neither crashes nor hands out
    // more bytes than a transfer asked for, and keeps answering afterwards.
    void survivesRandomTraffic()
    {
        ScannerEmulator dev;
        uint32_t seed = 12345;
        auto next = [&seed] {
            seed = seed * 1103515245u + 12345u;
            return seed >> 8;
        };
        for (int i = 0; i < 3000; ++i) {
            const Pipe pipe = Pipe(1 + next() % 3);
            if (next() % 2) {
                Bytes junk(next() % 40);
                for (auto &b : junk)
                    b = uint8_t(next());
                if (!junk.empty() && next() % 3 == 0)
                    junk = block(uint8_t(next()), next() % 64, next() % 2 ? 0x80 : 0x00);
                dev.transferOut(pipe, junk);
            } else {
                const size_t length = next() % 2 ? 1024 : next() % 30;
                const Completion c = dev.transferIn(pipe, length);
                QVERIFY(c.data.size() <= length);
            }
            if (next() % 50 == 0)
                dev.injectFault({pipe, Direction(next() % 2), FaultKind(next() % 4), next() % 8, 0, 0});
        }
        // Use up the faults still armed, then start afresh.
        for (int i = 0; i < 200 && dev.pendingFaults() > 0; ++i) {
            dev.transferIn(Pipe(1 + i % 3), 1024);
            dev.transferOut(Pipe(1 + i % 3), {});
        }
        QCOMPARE(dev.pendingFaults(), size_t(0));
        dev.resetDevice();
        dev.transferOut(Pipe::Data, block(0x01, 2, 0x80));
        QCOMPARE(readIn(dev, Pipe::Data), (Bytes{0, 1}));
    }

    void descriptorsDescribeTheDevice()
    {
        UsbIdentity id;
        id.vendorId = ids::kOxVendor;
        id.productId = ids::kOxT2750k;
        ScannerEmulator dev(id);
        const Bytes d = dev.descriptors();
        QCOMPARE(d.size(), size_t(18 + 9 + 9 + 6 * 7));
        QCOMPARE(int(d[8] | d[9] << 8), int(ids::kOxVendor));
        QCOMPARE(int(d[10] | d[11] << 8), int(ids::kOxT2750k));
        QCOMPARE(int(d[18 + 2] | d[18 + 3] << 8), 60); // configuration total length
        for (int e = 0; e < 6; ++e) {
            const size_t at = 36 + size_t(e) * 7;
            QCOMPARE(int(d[at + 3]), 2); // bulk
            QCOMPARE(int(d[at + 4] | d[at + 5] << 8), 512);
        }
    }
};

QTEST_GUILESS_MAIN(TestScannerEmulator)
#include "tst_scanneremulator.moc"

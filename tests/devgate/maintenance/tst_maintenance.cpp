#include "devgate/facaderig.h"
#include "oxcommand.h"
#include "parsercommand.h"
#include "scannerconfig.h"
#include "smallrecords.h"
#include "support/testtiming.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <functional>
#include <memory>

using namespace emu;

namespace {

QByteArray qbytes(const Bytes &b) { return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size())); }

constexpr unsigned kMiB = 1024 * 1024;

// A scanner on the emulated bus behind one facade. The facade goes before the
// bus (libusb before umockdev).
struct MaintRig : FacadeRig
{
    MaintRig()
        : FacadeRig(3, 7)
    {
        start();
    }

    // A calibration image: a small black-and-white raw page.
    void queueImage(quint8 fill, int notReady = 0)
    {
        queueRawPage(0, fill, 0, unsigned(notReady), 0);
    }

    std::vector<Command> commandsOf(uint8_t opcode) const
    {
        std::vector<Command> out;
        for (const Command &c : device->commands())
            if (c.opcode == opcode)
                out.push_back(c);
        return out;
    }

    // Lock-pipe tasks the host sent that contain the given element.
    int lockTasks(const char *element) const
    {
        int n = 0;
        for (const TransferRecord &t : device->transfers(Pipe::Lock))
            if (t.direction == Direction::Out && text(t.bytes).find(element) != std::string::npos)
                ++n;
        return n;
    }
    int locks() const { return lockTasks("<resourcelock>"); }
    int unlocks() const { return lockTasks("<resourceunlock>"); }

    bool clean() const
    {
        return scanner->errors().empty() && device->protocolErrors().empty() && !device->lockHeld();
    }

    // A log of the given size whose bytes tell their own position.
    Bytes setLog(uint8_t selector, size_t size)
    {
        Bytes log(size);
        for (size_t i = 0; i < size; ++i)
            log[i] = uint8_t((i * 31 + i / 251) & 0xFF);
        device->setRecord(rec::log(selector), log);
        return log;
    }
};

using Op = std::function<int(Devgate &, tagSCAN_SHORTCUT_MENU &, PMessage &)>;

// Every maintenance operation of the facade, by name.
QList<QPair<const char *, Op>> allOperations()
{
    return {
        {"devicePower", [](Devgate &g, tagSCAN_SHORTCUT_MENU &p, PMessage &h) { return g.devicePower(&p, &h); }},
        {"deviceSource", [](Devgate &g, tagSCAN_SHORTCUT_MENU &p, PMessage &h) { return g.deviceSource(&p, &h); }},
        {"magnification", [](Devgate &g, tagSCAN_SHORTCUT_MENU &, PMessage &h) { return g.magnification(1, 1, 1, 1, &h); }},
        {"testScanner", [](Devgate &g, tagSCAN_SHORTCUT_MENU &, PMessage &) { return g.testScanner(); }},
        {"calibrateBeginTestMag", [](Devgate &g, tagSCAN_SHORTCUT_MENU &p, PMessage &h) { return g.calibrateBeginTestMag(&p, &h); }},
        {"calibrateBeginTest", [](Devgate &g, tagSCAN_SHORTCUT_MENU &p, PMessage &h) { return g.calibrateBeginTest(&p, &h); }},
        {"calibrateBeginUDDS", [](Devgate &g, tagSCAN_SHORTCUT_MENU &p, PMessage &h) { return g.calibrateBeginUDDS(&p, &h); }},
        {"timeDateLocal", [](Devgate &g, tagSCAN_SHORTCUT_MENU &, PMessage &) { tagTIME_DATE_LOCAL t; return g.timeDateLocal(t); }},
        {"logData", [](Devgate &g, tagSCAN_SHORTCUT_MENU &, PMessage &) { QByteArray l; return g.logData(0, l); }},
        {"getInquiry", [](Devgate &g, tagSCAN_SHORTCUT_MENU &, PMessage &) { tagINQUIRY i; return g.getInquiry(i); }},
    };
}

} // namespace

class TestMaintenance : public QObject
{
    Q_OBJECT
private slots:
    void closedPortAndBusyScannerSendNothing()
    {
        MaintRig rig;
        auto profile = MaintRig::builtIn(0);
        for (const auto &op : allOperations())
            QCOMPARE(op.second(*rig.gate, profile, rig.hub), -7);

        QVERIFY(rig.open());
        rig.device->setLockHeldByOtherHost(true);
        for (const auto &op : allOperations()) {
            QCOMPARE(op.second(*rig.gate, profile, rig.hub), -8);
            QVERIFY2(rig.device->commands().empty(), op.first);
            QVERIFY2(rig.unlocks() == 0, op.first);
        }
        // Each asked for the lock exactly once: busy is not retried.
        QCOMPARE(rig.locks(), allOperations().size());

        rig.device->setLockHeldByOtherHost(false);
        rig.device->scriptLockReply("<task><status>failed</status></task>");
        QCOMPARE(rig.gate->testScanner(), -11);
        QVERIFY(rig.device->commands().empty());
        QCOMPARE(rig.unlocks(), 0);
        rig.gate->closePort();
    }

    void devicePowerWaitsWhileTheScannerWakes()
    {
        MaintRig rig;
        QVERIFY(rig.open());
        rig.device->setWaking(3);
        auto profile = MaintRig::builtIn(0);
        QElapsedTimer t;
        t.start();
        QCOMPARE(rig.gate->devicePower(&profile, &rig.hub), 0);
        QVERIFY2(t.elapsed() >= 1400 && t.elapsed() < OxCommand::lockTimeout() / 2,
                 qPrintable(QString::number(t.elapsed())));
        QCOMPARE(rig.locks(), 4);
        QCOMPARE(rig.unlocks(), 1);
        QVERIFY(rig.device->commands().empty());
        QVERIFY(rig.clean());
        rig.gate->closePort();
    }

    void scannerThatNeverWakesIsAskedTenTimesThenUsed()
    {
        MaintRig rig;
        QVERIFY(rig.open());
        rig.device->setWaking(100);
        tagINQUIRY inquiry;
        QCOMPARE(rig.gate->getInquiry(inquiry), 0);
        QCOMPARE(rig.locks(), 10);
        QCOMPARE(rig.unlocks(), 0); // no lock id: nothing to give back
        QCOMPARE(rig.opcodes(), (std::vector<uint8_t>{op::kInterfaceVersion, op::kInquiry}));
        rig.gate->closePort();
    }

    void deviceSourceWritesConfigurationAndSnapList()
    {
        MaintRig rig;
        QVERIFY(rig.open());
        auto profile = MaintRig::builtIn(0);
        profile.paperSource = PaperSourceAutomatic;
        QCOMPARE(rig.gate->deviceSource(&profile, &rig.hub), 0);
        QCOMPARE(rig.opcodes(),
                 (std::vector<uint8_t>{op::kPaperDetected, op::kConfig, op::kSnapToSizeList}));

        ParserCommand parser;
        tagSCANNER_CONFIGRATION expected;
        QVERIFY(parser.mergeConfig(expected, &profile));
        QByteArray bytes;
        encodeScannerConfig(expected, bytes);
        QCOMPARE(qbytes(rig.device->record(rec::kConfig)), bytes);
        QVERIFY(rig.clean());

        // A feeder-only source does not look for paper.
        profile.paperSource = PaperSourceFeeder;
        const size_t before = rig.device->commands().size();
        QCOMPARE(rig.gate->deviceSource(&profile, &rig.hub), 0);
        const std::vector<uint8_t> all = rig.opcodes();
        const std::vector<uint8_t> second(all.begin() + long(before), all.end());
        QCOMPARE(second, (std::vector<uint8_t>{op::kConfig, op::kSnapToSizeList}));

        // A profile the configuration record cannot hold is not written.
        profile.frontX = 70000.0;
        QCOMPARE(rig.gate->deviceSource(&profile, &rig.hub), -1);
        QCOMPARE(rig.commandsOf(op::kConfig).size(), size_t(2));
        QCOMPARE(rig.unlocks(), 3);
        rig.gate->closePort();
    }

    void deviceSourceReportsTheFirstFailingCommand_data()
    {
        QTest::addColumn<int>("failing");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("commandsSent");
        QTest::newRow("paper check") << int(op::kPaperDetected) << 3 << -22 << 1;
        QTest::newRow("configuration") << int(op::kConfig) << 7 << -25 << 2;
        QTest::newRow("snap list") << int(op::kSnapToSizeList) << 14 << -1 << 3;
    }

    void deviceSourceReportsTheFirstFailingCommand()
    {
        QFETCH(int, failing);
        QFETCH(int, code);
        QFETCH(int, expected);
        QFETCH(int, commandsSent);
        MaintRig rig;
        QVERIFY(rig.open());
        auto profile = MaintRig::builtIn(0);
        profile.paperSource = PaperSourceAutomatic300;
        rig.device->scriptStatus(uint8_t(failing), uint8_t(code));
        QCOMPARE(rig.gate->deviceSource(&profile, &rig.hub), expected);
        QCOMPARE(int(rig.device->commands().size()), commandsSent);
        QCOMPARE(rig.unlocks(), 1);
        QVERIFY(rig.clean());
        rig.gate->closePort();
    }

    void magnificationWritesTheFourFactors()
    {
        MaintRig rig;
        QVERIFY(rig.open());
        Bytes original(758);
        for (size_t i = 0; i < original.size(); ++i)
            original[i] = uint8_t(i * 7 + 3);
        rig.device->setRecord(rec::kConfig, original);

        // Factors times 10000 go out rounded to the nearest unit: 0.5005 x 10000
        // is 5004.99... in binary, and truncated it would reach the scanner as 5004.
        QCOMPARE(rig.gate->magnification(1.0, 0.5005, 1.25, 1.23459, &rig.hub), 0);
        QCOMPARE(rig.opcodes(), (std::vector<uint8_t>{op::kConfig, op::kConfig}));
        QVERIFY(rig.commandsOf(op::kConfig)[0].toHost());
        QVERIFY(!rig.commandsOf(op::kConfig)[1].toHost());

        const Bytes written = rig.device->record(rec::kConfig);
        auto field = [&](size_t off) { return int(written[off]) << 8 | written[off + 1]; };
        QCOMPARE(field(537), 10000);
        QCOMPARE(field(539), 5005);
        QCOMPARE(field(541), 12500);
        QCOMPARE(field(543), 12346);

        // Everything else goes back as the device gave it.
        tagSCANNER_CONFIGRATION config;
        QVERIFY(decodeScannerConfig(qbytes(original), config));
        config.MagnificationFrontX = 10000;
        config.MagnificationFrontY = 5005;
        config.MagnificationRearX = 12500;
        config.MagnificationRearY = 12346;
        QByteArray expected;
        encodeScannerConfig(config, expected);
        QCOMPARE(qbytes(written), expected);
        QVERIFY(rig.clean());
        rig.gate->closePort();
    }

    void magnificationStopsAtAFailedReadOrAnImpossibleFactor()
    {
        MaintRig rig;
        QVERIFY(rig.open());
        rig.device->scriptStatus(op::kConfig, 8);
        QCOMPARE(rig.gate->magnification(1, 1, 1, 1, &rig.hub), -26);
        QCOMPARE(rig.opcodes(), (std::vector<uint8_t>{op::kConfig}));

        const Bytes before = rig.device->record(rec::kConfig);
        QCOMPARE(rig.gate->magnification(1, 1, 7.0, 1, &rig.hub), -1);
        QCOMPARE(rig.gate->magnification(qQNaN(), 1, 1, 1, &rig.hub), -1);
        QCOMPARE(rig.device->record(rec::kConfig), before);
        for (const Command &c : rig.commandsOf(op::kConfig))
            QVERIFY(c.toHost());
        QCOMPARE(rig.unlocks(), 3);
        rig.gate->closePort();
    }

    void testScannerEndsOnlyARunDiagnostic_data()
    {
        QTest::addColumn<int>("failing");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("expected");
        QTest::addColumn<int>("commandsSent");
        QTest::newRow("passes") << 0 << 0 << 0 << 3;
        QTest::newRow("begin") << int(op::kDiagnosticBegin) << 10 << -28 << 1;
        QTest::newRow("run") << int(op::kDiagnosticRun) << 11 << -29 << 2;
    }

    void testScannerEndsOnlyARunDiagnostic()
    {
        QFETCH(int, failing);
        QFETCH(int, code);
        QFETCH(int, expected);
        QFETCH(int, commandsSent);
        MaintRig rig;
        QVERIFY(rig.open());
        if (failing)
            rig.device->scriptStatus(uint8_t(failing), uint8_t(code));
        QCOMPARE(rig.gate->testScanner(), expected);
        QCOMPARE(int(rig.device->commands().size()), commandsSent);
        QCOMPARE(rig.commandsOf(op::kDiagnosticEnd).size(), size_t(failing ? 0 : 1));
        QCOMPARE(rig.unlocks(), 1);
        rig.gate->closePort();
    }

    void calibrationReadsEveryImage_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("beginParameter");
        QTest::newRow("Test") << 1 << 3;
        QTest::newRow("TestMag") << 2 << 4;
        QTest::newRow("UDDS") << 3 << 2;
    }

    void calibrationReadsEveryImage()
    {
        QFETCH(int, kind);
        QFETCH(int, beginParameter);
        MaintRig rig;
        QVERIFY(rig.open());
        rig.queueImage(0x11);
        rig.queueImage(0x22, 2);
        auto profile = MaintRig::builtIn(0);
        const int rc = kind == 1   ? rig.gate->calibrateBeginTest(&profile, &rig.hub)
                       : kind == 2 ? rig.gate->calibrateBeginTestMag(&profile, &rig.hub)
                                   : rig.gate->calibrateBeginUDDS(&profile, &rig.hub);
        QCOMPARE(rc, 0);

        // Without the header polls: the fixed part and the images.
        std::vector<uint8_t> sequence;
        for (uint8_t o : rig.opcodes())
            if (o != op::kRequestHeader)
                sequence.push_back(o);
        QCOMPARE(sequence, (std::vector<uint8_t>{op::kInquiry, op::kPaperDetected, op::kCalibrateBegin,
                                                 op::kCalibrateRun, op::kRequestImage,
                                                 op::kRequestImage, op::kCalibrateEnd}));
        QCOMPARE(int(rig.commandsOf(op::kCalibrateBegin)[0].params[4]), beginParameter);
        QCOMPARE(rig.scanner->pagesLeft(), size_t(0));
        QCOMPARE(rig.scanner->imageCursor(), size_t(PageFile::rowBytes(0, 200) * 100));
        QCOMPARE(rig.gate->isOpen(), true);
        QVERIFY(rig.clean());
        rig.gate->closePort();
    }

    void calibrationEndResultAndDeviceFailures()
    {
        MaintRig rig;
        QVERIFY(rig.open());
        auto profile = MaintRig::builtIn(0);

        // The sheet ends normally; the end command's own result is returned.
        rig.queueImage(0x33);
        rig.device->scriptStatus(op::kCalibrateEnd, 9);
        QCOMPARE(rig.gate->calibrateBeginTest(&profile, &rig.hub), -27);

        // A jam while the sheet runs still ends the calibration.
        rig.device->scriptReply(op::kRequestHeader, Reply::refused(status::kPaperJam));
        const size_t ends = rig.commandsOf(op::kCalibrateEnd).size();
        QCOMPARE(rig.gate->calibrateBeginTest(&profile, &rig.hub), -22);
        QCOMPARE(rig.commandsOf(op::kCalibrateEnd).size(), ends + 1);

        // A begin the device refuses: nothing of the sheet is asked for.
        rig.device->scriptStatus(op::kCalibrateBegin, 8);
        const size_t runs = rig.commandsOf(op::kCalibrateRun).size();
        QCOMPARE(rig.gate->calibrateBeginUDDS(&profile, &rig.hub), -26);
        QCOMPARE(rig.commandsOf(op::kCalibrateRun).size(), runs);
        QCOMPARE(rig.commandsOf(op::kCalibrateEnd).size(), ends + 1);

        // A flatbed calibration on a scanner without one never begins.
        profile.paperSource = PaperSourceFlatbed;
        const size_t begins = rig.commandsOf(op::kCalibrateBegin).size();
        QCOMPARE(rig.gate->calibrateBeginTest(&profile, &rig.hub), -35);
        QCOMPARE(rig.commandsOf(op::kCalibrateBegin).size(), begins);
        QCOMPARE(rig.unlocks(), 4);
        QVERIFY(rig.clean());
        rig.gate->closePort();
    }

    void cancelledCalibrationStopsAndBlocksOtherJobs()
    {
        MaintRig rig;
        QVERIFY(rig.open());
        auto profile = MaintRig::builtIn(0);
        rig.queueImage(0x44, 100000); // the device keeps answering "no image ready"
        std::atomic<int> result{1};
        QThread *worker = QThread::create(
            [&] { result = rig.gate->calibrateBeginTestMag(&profile, &rig.hub); });
        worker->start();
        QTRY_VERIFY_WITH_TIMEOUT(!rig.commandsOf(op::kRequestHeader).empty(), scaledMs(10000));

        // Another job is refused at once and sends nothing.
        const size_t others = rig.device->commands().size() - rig.commandsOf(op::kRequestHeader).size();
        auto copy = profile;
        for (const auto &op : allOperations()) {
            QElapsedTimer t;
            t.start();
            QCOMPARE(op.second(*rig.gate, copy, rig.hub), -8);
            QVERIFY(t.elapsed() < OxCommand::lockTimeout() / 2);
        }
        QCOMPARE(rig.device->commands().size() - rig.commandsOf(op::kRequestHeader).size(), others);
        QCOMPARE(rig.locks(), 1);

        rig.gate->cancelJob();
        QVERIFY(worker->wait(scaledMs(10000)));
        delete worker;
        QCOMPARE(result.load(), -34);
        QCOMPARE(rig.scanner->stopRequests(), 1u);
        QCOMPARE(rig.commandsOf(op::kCalibrateEnd).size(), size_t(1));
        QCOMPARE(rig.commandsOf(op::kRequestImage).size(), size_t(0));
        QVERIFY(rig.clean());
        rig.gate->closePort();
    }

    void timeDateLocalSetsAndReadsTheClock()
    {
        MaintRig rig;
        QVERIFY(rig.open());
        const QDateTime before = QDateTime::currentDateTime();
        tagTIME_DATE_LOCAL clock;
        QCOMPARE(rig.gate->timeDateLocal(clock), 0);
        const QDateTime after = QDateTime::currentDateTime();
        QCOMPARE(rig.opcodes(), (std::vector<uint8_t>{op::kTimeDate, op::kTimeDate}));
        QVERIFY(!rig.device->commands()[0].toHost());
        QVERIFY(rig.device->commands()[1].toHost());
        auto matches = [&](const QDateTime &d) {
            return clock.hour == d.time().hour() && clock.minute == d.time().minute() &&
                   clock.month == d.date().month() && clock.day == d.date().day() &&
                   clock.year == d.date().year();
        };
        QVERIFY(matches(before) || matches(after));

        // A refused write is not followed by a read.
        rig.device->scriptStatus(op::kTimeDate, 5);
        QCOMPARE(rig.gate->timeDateLocal(clock), -24);
        QCOMPARE(rig.commandsOf(op::kTimeDate).size(), size_t(3));
        QCOMPARE(rig.unlocks(), 2);
        rig.gate->closePort();
    }

    void getInquiryChecksTheInterfaceFirst()
    {
        MaintRig rig;
        QVERIFY(rig.open());
        tagINQUIRY inquiry;
        QCOMPARE(rig.gate->getInquiry(inquiry), 0);
        QCOMPARE(rig.opcodes(), (std::vector<uint8_t>{op::kInterfaceVersion, op::kInquiry}));
        QCOMPARE(inquiry.SerialNumber.text(), QString("EMU0000001"));
        QCOMPARE(inquiry.FirmwareVersion.text(), QString("1.0.7"));

        rig.device->scriptStatus(op::kInterfaceVersion, 14);
        QCOMPARE(rig.gate->getInquiry(inquiry), -1);
        QCOMPARE(rig.commandsOf(op::kInquiry).size(), size_t(1));
        QCOMPARE(rig.unlocks(), 2);
        rig.gate->closePort();
    }

    void logDataReadsBlocksOfTwoMiB()
    {
        MaintRig rig;
        QVERIFY(rig.open());
        const Bytes log = rig.setLog(0, 5 * kMiB);
        QByteArray out("kept:");
        QCOMPARE(rig.gate->logData(0, out), 0);
        QCOMPARE(out.left(5), QByteArray("kept:")); // appended, not replaced
        QVERIFY(out.mid(5) == qbytes(log));

        const auto begin = rig.commandsOf(op::kLogBegin);
        QCOMPARE(begin.size(), size_t(1));
        QCOMPARE(int(begin[0].params[0]), 0);
        QCOMPARE(int(begin[0].params[1]), 9);
        std::vector<uint32_t> blocks;
        for (const Command &c : rig.commandsOf(op::kLogData))
            blocks.push_back(c.length);
        QCOMPARE(blocks, (std::vector<uint32_t>{2 * kMiB, 2 * kMiB, kMiB}));
        QCOMPARE(rig.opcodes().back(), op::kLogEnd);
        // The log has a lock of its own.
        QCOMPARE(rig.lockTasks("<testonly>"), 1);
        QCOMPARE(rig.unlocks(), 1);
        QVERIFY(rig.clean());
        rig.gate->closePort();
    }

    void logDataOfSelectorFiveIsTheDeviceText()
    {
        MaintRig rig;
        QVERIFY(rig.open());
        const QString text = QStringLiteral("电源 12 h\r\n卡纸 0\r\n");
        QByteArray utf16;
        for (QChar c : text)
            utf16.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
        rig.device->setRecord(rec::log(5), FacadeRig::wire(utf16));
        rig.setLog(0, 100); // another log that must not be served

        QByteArray out;
        QCOMPARE(rig.gate->logData(5, out), 0);
        QCOMPARE(out, utf16);
        QCOMPARE(int(rig.commandsOf(op::kLogBegin)[0].params[0]), 5);

        // Zero size: begin and end only.
        rig.device->setRecord(rec::log(7), Bytes{});
        const size_t before = rig.device->commands().size();
        QCOMPARE(rig.gate->logData(7, out), 0);
        QCOMPARE(out, utf16);
        const std::vector<uint8_t> all = rig.opcodes();
        QCOMPARE(std::vector<uint8_t>(all.begin() + long(before), all.end()),
                 (std::vector<uint8_t>{op::kLogBegin, op::kLogEnd}));

        // A selector that no command can carry is refused before the lock.
        QCOMPARE(rig.gate->logData(256, out), -1);
        QCOMPARE(rig.gate->logData(-1, out), -1);
        QCOMPARE(rig.locks(), 2);
        QVERIFY(rig.clean());
        rig.gate->closePort();
    }

    void shortLogBlocksCarryOnlyWhatArrived()
    {
        MaintRig rig;
        QVERIFY(rig.open());
        const Bytes log = rig.setLog(0, 2 * kMiB + 5000);
        // A device that hands out its log at most 300000 bytes at a time.
        auto cursor = std::make_shared<size_t>(0);
        rig.device->setCommandHandler(op::kLogData, [log, cursor](const Command &c, ScannerEmulator &) {
            const size_t n = std::min<size_t>({c.length, 300000, log.size() - *cursor});
            const auto from = log.begin() + long(*cursor);
            *cursor += n;
            return Reply::ok(Bytes(from, from + long(n)));
        });
        QByteArray out;
        QCOMPARE(rig.gate->logData(0, out), 0);
        QCOMPARE(out.size(), int(log.size()));
        QVERIFY(out == qbytes(log));
        const auto blocks = rig.commandsOf(op::kLogData);
        QCOMPARE(blocks.size(), size_t(8)); // 7 x 300000 + 102152
        QCOMPARE(blocks[1].length, uint32_t(2 * kMiB + 5000 - 300000));
        rig.gate->closePort();
    }

    void brokenLogsEndWithAnError()
    {
        MaintRig rig;
        QVERIFY(rig.open());
        const Bytes log = rig.setLog(0, 5 * kMiB);

        // A block that brings nothing: -5, what came before stays.
        auto calls = std::make_shared<int>(0);
        rig.device->setCommandHandler(op::kLogData, [log, calls](const Command &c, ScannerEmulator &) {
            if (++*calls > 1)
                return Reply::ok();
            return Reply::ok(Bytes(log.begin(), log.begin() + long(c.length)));
        });
        QByteArray out;
        QCOMPARE(rig.gate->logData(0, out), -5);
        QCOMPARE(out.size(), int(2 * kMiB));
        QCOMPARE(*calls, 2);
        QCOMPARE(rig.opcodes().back(), op::kLogEnd);
        QCOMPARE(rig.unlocks(), 1);

        // A failing block ends the download with its code; logEnd still goes.
        *calls = 0;
        rig.device->setCommandHandler(op::kLogData, [log, calls](const Command &c, ScannerEmulator &) {
            Reply r = Reply::ok(Bytes(log.begin(), log.begin() + long(c.length)));
            if (++*calls == 2)
                r.status = status::kPaperJam;
            return r;
        });
        out.clear();
        QCOMPARE(rig.gate->logData(0, out), -22);
        QCOMPARE(out.size(), int(2 * kMiB));
        QCOMPARE(rig.opcodes().back(), op::kLogEnd);

        // A size no log can have is refused before any block is asked for.
        Bytes huge(4, 0xFF);
        rig.device->scriptReply(op::kLogBegin, Reply::ok(huge));
        const size_t blocks = rig.commandsOf(op::kLogData).size();
        out.clear();
        QCOMPARE(rig.gate->logData(0, out), -5);
        QVERIFY(out.isEmpty());
        QCOMPARE(rig.commandsOf(op::kLogData).size(), blocks);
        QCOMPARE(rig.opcodes().back(), op::kLogEnd);

        // A refused begin asks for nothing more, not even the end.
        rig.device->scriptStatus(op::kLogBegin, 14);
        const size_t ends = rig.commandsOf(op::kLogEnd).size();
        QCOMPARE(rig.gate->logData(0, out), -1);
        QCOMPARE(rig.commandsOf(op::kLogEnd).size(), ends);
        QCOMPARE(rig.unlocks(), 4);
        QVERIFY(!rig.device->lockHeld());
        rig.gate->closePort();
    }
};

EMULATOR_TEST_MAIN(TestMaintenance)
#include "tst_maintenance.moc"

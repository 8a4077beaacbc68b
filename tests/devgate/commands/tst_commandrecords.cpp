#include "commandrig.h"

#include "scanshortcut.h"

using namespace emu;

// The large records through their commands: the configuration round trip and
// its trace dump, the inquiry, and cameras, windows and the window order as
// the device keeps them.
class TestCommandRecords : public QObject
{
    Q_OBJECT

    // Every byte its own value, so a field read or written at the wrong place
    // or in the wrong order shows.
    static Bytes distinct(size_t size, uint8_t salt)
    {
        Bytes b(size);
        for (size_t i = 0; i < size; ++i)
            b[i] = uint8_t(i * 37 + 11 + (i >> 8) * 101) ^ salt;
        return b;
    }

    static QByteArray encoded(const tagSCANNER_CONFIGRATION &config)
    {
        QByteArray b;
        encodeScannerConfig(config, b);
        return b;
    }

    static tagSCAN_SHORTCUT_MENU profile(InputDocumentFlag input, OxAdvancedSettingSideFlag side,
                                         int preview)
    {
        tagSCAN_SHORTCUT_MENU p;
        zeroScanShortcut(p);
        p.inputDocument = input;
        p.sideStream = side;
        p.previewMode = preview;
        return p;
    }

private slots:
    void initTestCase() { QVERIFY2(EmulatedBus::preloadActive(), "umockdev preload missing"); }

    void configurationRoundTrip()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        const Bytes first = distinct(758, 0x00);
        rig.device->setRecord(rec::kConfig, first);

        tagSCANNER_CONFIGRATION config;
        QCOMPARE(rig.cmd.getConfig(config), 0);
        // A few fields read by hand from their wire places.
        QCOMPARE(int(config.AdfTimeout), first[3] << 8 | first[4]);
        QCOMPARE(config.SheetHeight, quint32(first[532]) << 24 | quint32(first[533]) << 16 |
                                         quint32(first[534]) << 8 | first[535]);
        QCOMPARE(int(config.IaStarting.units[0]), first[21] << 8 | first[22]);
        QCOMPARE(int(config.SnapToSize), int(first[757]));

        // Written back unchanged, it reaches the device byte for byte.
        QCOMPARE(rig.cmd.setConfig(config), 0);
        QCOMPARE(rig.device->record(rec::kConfig), first);

        // Every field changed, written, and read again.
        const Bytes second = distinct(758, 0x5A);
        QVERIFY(decodeScannerConfig(qbytes(second), config));
        QCOMPARE(rig.cmd.setConfig(config), 0);
        QCOMPARE(rig.device->record(rec::kConfig), second);
        tagSCANNER_CONFIGRATION again;
        QCOMPARE(rig.cmd.getConfig(again), 0);
        QCOMPARE(encoded(again), qbytes(second));
        QVERIFY(rig.clean());
    }

    void configurationDumpFollowsTheRead()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        Bytes wireConfig(758, 0);
        wireConfig[537] = 0x27; // MagnificationFrontX 10000
        wireConfig[538] = 0x10;
        wireConfig[757] = 1;
        rig.device->setRecord(rec::kConfig, wireConfig);

        tagSCANNER_CONFIGRATION config;
        QStringList lines;
        {
            TraceCapture trace;
            QCOMPARE(rig.cmd.getConfig(config), 0);
            lines = trace.lines();
        }
        QVERIFY(lines.contains("getConfig"));
        QVERIFY(lines.contains("getStatus--getConfig: 0"));
        const QStringList dump = formatConfig(config).split('\n', Qt::SkipEmptyParts);
        const int at = lines.indexOf(dump.first());
        QVERIFY(at >= 0);
        QCOMPARE(lines.mid(at, dump.size()), dump);
        QVERIFY(dump.contains("MagnificationFrontX (5000-20000): 10000"));
        QCOMPARE(dump.last(), QString("SnapToSize (0-1):1"));

        // With tracing off the command still traces its name but no dump.
        TraceCapture trace;
        DebugTrace::m_DebugMode = 0;
        QCOMPARE(rig.cmd.setConfig(config), 0);
        QVERIFY(trace.has("setConfig"));
        QVERIFY(!trace.has("SnapToSize (0-1):1"));
    }

    void refusedConfigurationLeavesTheRecord()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        tagSCANNER_CONFIGRATION config;
        config.SheetCount = 321;
        rig.device->scriptReply(op::kConfig, Reply::refused(status::kFailed));
        QCOMPARE(rig.cmd.getConfig(config), int(RC_DEVICE_FAILURE));
        QCOMPARE(int(config.SheetCount), 321);
    }

    void fullInquiry()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        Bytes inquiry(257, 0);
        const std::string firmware = "FW12345678";        // fills its 10 bytes
        const std::string serial = "SERIAL0123456789";   // fills its 16 bytes
        std::copy(firmware.begin(), firmware.end(), inquiry.begin() + 2);
        std::copy(serial.begin(), serial.end(), inquiry.begin() + 12);
        inquiry[28] = 0x00; inquiry[29] = 0x01; inquiry[30] = 0x02; inquiry[31] = 0x03; // LogTotalBytes
        inquiry[67] = 5;    // PaperSourceState
        inquiry[82] = 0x02; inquiry[83] = 0x58;                                          // 600 dpi
        inquiry[200] = 1;   // PromptToStart
        inquiry[220] = 3;   // AccessoryType
        inquiry[230] = 0x12; inquiry[233] = 0x34;                                        // SplitDocumentLengthMax
        rig.device->setRecord(rec::kInquiry, inquiry);

        tagINQUIRY record;
        QStringList lines;
        {
            TraceCapture trace;
            QCOMPARE(rig.cmd.inquiry(record), 0);
            lines = trace.lines();
        }
        QCOMPARE(record.FirmwareVersion.text(), QString::fromStdString(firmware));
        QCOMPARE(record.SerialNumber.text(), QString::fromStdString(serial));
        QCOMPARE(record.LogTotalBytes, 0x00010203u);
        QCOMPARE(int(record.PaperSourceState), 5);
        QCOMPARE(int(record.ResolutionXOptical), 600);
        QCOMPARE(int(record.PromptToStart), 1);
        QCOMPARE(int(record.AccessoryType), 3);
        QCOMPARE(record.SplitDocumentLengthMax, 0x12000034u);
        QVERIFY(lines.contains("FirmwareVersion[10]: FW12345678"));
        QVERIFY(lines.contains("Inquiry: PromptToStart =  1"));
    }

    void shortInquiryReply()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        Bytes inquiry(257, 0);
        inquiry[1] = 1;
        inquiry[67] = 5;
        inquiry[220] = 2;
        rig.device->setRecord(rec::kInquiry, inquiry);

        // 100 bytes arrive: what is beyond them reads as zero, the status counts.
        Bytes part(inquiry.begin(), inquiry.begin() + 100);
        rig.device->scriptReply(op::kInquiry, Reply::withStatus(status::kPaperJam, part));
        tagINQUIRY record;
        record.AccessoryType = 9;
        QCOMPARE(rig.cmd.inquiry(record), int(RC_PAPER_JAM));
        QCOMPARE(int(record.VersionInterface), 1);
        QCOMPARE(int(record.PaperSourceState), 5);
        QCOMPARE(int(record.AccessoryType), 0);

        // Exactly 12 bytes are a status block: the record stays as it was.
        rig.device->scriptReply(op::kInquiry, Reply::refused(status::kFailed));
        record.AccessoryType = 9;
        QCOMPARE(rig.cmd.inquiry(record), int(RC_DEVICE_FAILURE));
        QCOMPARE(int(record.AccessoryType), 9);
        QCOMPARE(rig.device->queuedIn(Pipe::Data), size_t(0));
    }

    void camerasAndWindowsAreKeptById()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        for (quint8 id : {2, 3}) {
            tagCREATE_CAMERA camera;
            camera.CameraID = id;
            camera.CameraType = id - 2;
            QCOMPARE(rig.cmd.createCamera(camera), 0);
        }
        for (quint8 id = 0; id < 4; ++id) {
            tagWINDOW_ADD window;
            window.WindowId = id;
            window.CameraId = id < 2 ? 2 : 3;
            window.ImageResolutionX = 100 * (id + 1);
            QCOMPARE(rig.cmd.windowAdd(window), 0);
        }
        QCOMPARE(rig.device->record(rec::camera(3))[1], uint8_t(1));
        const Bytes third = rig.device->record(rec::window(2));
        QCOMPARE(third.size(), size_t(87));
        QCOMPARE(int(third[2]), 3);
        QCOMPARE(third[4] << 8 | third[5], 300);
        QVERIFY(rig.clean());
    }

    void windowOrderFollowsTheProfile_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("preview");
        QTest::addColumn<QByteArray>("order");
        QTest::addColumn<int>("perSheet");
        QTest::newRow("both sides, all streams") << 2 << 3 << 0 << QByteArray("00010203") << 4;
        QTest::newRow("both sides, all streams, preview") << 2 << 3 << 1 << QByteArray("00010203") << 2;
        QTest::newRow("both sides, one stream") << 2 << 0 << 0 << QByteArray("0001ffff") << 2;
        QTest::newRow("front, colour and grey") << 0 << 9 << 0 << QByteArray("00ffffff") << 1;
        QTest::newRow("back, two streams") << 1 << 5 << 0 << QByteArray("0001ffff") << 2;
    }
    void windowOrderFollowsTheProfile()
    {
        QFETCH(int, input);
        QFETCH(int, side);
        QFETCH(int, preview);
        QFETCH(QByteArray, order);
        QFETCH(int, perSheet);
        CommandRig rig;
        QVERIFY(rig.ready);
        auto p = profile(InputDocumentFlag(input), OxAdvancedSettingSideFlag(side), preview);
        QCOMPARE(rig.cmd.setWindowOrder(&p), 0);
        QCOMPARE(qbytes(rig.device->record(rec::kWindowOrder)).toHex(), order);
        int per = 0;
        rig.cmd.getScannedFile(&per, nullptr);
        QCOMPARE(per, perSheet);
        // The count grows with every order sent, and even when sending fails.
        rig.device->scriptStatus(op::kWindowOrder, status::kFailed);
        QCOMPARE(rig.cmd.setWindowOrder(&p), int(RC_DEVICE_FAILURE));
        rig.cmd.getScannedFile(&per, nullptr);
        QCOMPARE(per, 2 * perSheet);
    }
};

EMULATOR_TEST_MAIN(TestCommandRecords)
#include "tst_commandrecords.moc"

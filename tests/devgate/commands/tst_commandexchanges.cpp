#include "commandrig.h"

#include "scanshortcut.h"

#include <QImage>
#include <QTemporaryDir>

#include <functional>

using namespace emu;

// What every command puts on the wire, and how each reply rule tells a
// refusal from data.
class TestCommandExchanges : public QObject
{
    Q_OBJECT

    struct Row
    {
        const char *name;
        std::function<int(OxCommand &)> call;
        const char *block; // the 20 bytes, hex
        const char *data;  // the host's data phase, hex; null for none
    };

    static tagSCAN_SHORTCUT_MENU profile()
    {
        tagSCAN_SHORTCUT_MENU p;
        zeroScanShortcut(p);
        return p;
    }

    static tagSCAN_SHORTCUT_MENU snapProfile(bool align, int count)
    {
        tagSCAN_SHORTCUT_MENU p = profile();
        p.alignTheSize = align;
        p.pageSizes[2] = true; // flag 3: 8.5 x 11
        p.pageSizes[6] = true; // flag 7: 8.26 x 11.69
        p.pageSizeCount = count;
        return p;
    }

    static StampRecord stamp()
    {
        StampRecord r;
        r.textStampOn = 1;
        r.textColor = 0x00FF8000;
        r.originX = 1200;
        r.counterStart = 77;
        return r;
    }

    static QByteArray stampWire()
    {
        QByteArray b;
        encodeStampRecord(stamp(), b);
        return b;
    }

    static tagCREATE_CAMERA camera()
    {
        tagCREATE_CAMERA c;
        c.CameraID = 3;
        c.CameraType = 1;
        c.BarcodeCount = 4;
        c.BarcodeRegionImageWidth = 0x01020304;
        return c;
    }

    static tagWINDOW_ADD window()
    {
        tagWINDOW_ADD w;
        w.WindowId = 2;
        w.CameraId = 3;
        w.ImageResolutionX = 300;
        w.ImageSkewAngle = 3600000;
        return w;
    }

    static const std::vector<Row> &rows()
    {
        static const QByteArray stampHex = stampWire().toHex();
        static const QByteArray cameraHex = [] { QByteArray b; encodeCreateCamera(camera(), b); return b.toHex(); }();
        static const QByteArray windowHex = [] { QByteArray b; encodeWindowAdd(window(), b); return b.toHex(); }();
        static const std::vector<Row> table = {
            {"stampInquiry", [](OxCommand &c) { return c.stampInquiry(); },
             "434d4400 0000009a 00000016 80 9a 000000000000", nullptr},
            {"getTimeDateLocal", [](OxCommand &c) { tagTIME_DATE_LOCAL t; return c.getTimeDateLocal(t); },
             "434d4400 00000013 00000006 80 13 000000000000", nullptr},
            {"setTimeDateLocal", [](OxCommand &c) {
                 return c.setTimeDateLocal(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 59)));
             },
             "434d4400 00000013 00000006 00 13 000000000000", "0e0703050 7e8"},
            {"setLanguage", [](OxCommand &c) { return c.setLanguage(); },
             "434d4400 00000091 00000000 00 91 090000000000", nullptr},
            {"setSnapToSizeList", [](OxCommand &c) { auto p = snapProfile(true, 2); return c.setSnapToSizeList(&p); },
             "434d4400 00000025 00000014 00 25 000000000000",
             "00000002 000027d8 00003390 000026b8 000036cc"},
            {"setSnapToSizeList, wrong stored count", [](OxCommand &c) {
                 auto p = snapProfile(true, 5);
                 return c.setSnapToSizeList(&p);
             },
             "434d4400 00000025 00000014 00 25 000000000000",
             "00000002 000027d8 00003390 000026b8 000036cc"},
            {"setSnapToSizeList, snapping off", [](OxCommand &c) {
                 auto p = snapProfile(false, 2);
                 return c.setSnapToSizeList(&p);
             },
             "434d4400 00000025 00000004 00 25 000000000000", "00000000"},
            {"getEcdo", [](OxCommand &c) { return c.getEcdo(); },
             "434d4400 00000016 00001e78 80 16 000000000000", nullptr},
            {"getPaperDetected", [](OxCommand &c) { bool b; return c.getPaperDetected(b); },
             "434d4400 00000017 00000001 80 17 000000000000", nullptr},
            {"StampConfig", [](OxCommand &c) { return c.StampConfig(stamp()); },
             "434d4400 0000009b 0000015a 00 9b 000000000000", stampHex.constData()},
            {"setStampText", [](OxCommand &c) { return c.setStampText(QByteArray("abc")); },
             "434d4400 00000024 00000003 00 24 000000000000", "616263"},
            {"getLowPowerModeTimeout", [](OxCommand &c) { return c.getLowPowerModeTimeout(); },
             "434d4400 00000015 00000003 80 15 000000000000", nullptr},
            {"setLowPowerModeTimeout", [](OxCommand &c) {
                 tagLOW_POWER_MODE_TIMEOUT t;
                 t.PowerSaver = 5;
                 t.PowerOff = 30;
                 t.PowerOffEnabled = 1;
                 return c.setLowPowerModeTimeout(t);
             },
             "434d4400 00000015 00000003 00 15 000000000000", "051e01"},
            {"getDiagnosticBegin", [](OxCommand &c) { tagDIAGNOSTIC_BEGIN r; return c.getDiagnosticBegin(r); },
             "434d4400 00000060 0000000e 80 60 000000000000", nullptr},
            {"getDiagnosticRun", [](OxCommand &c) { tagDIAGNOSTIC_RUN r; return c.getDiagnosticRun(r); },
             "434d4400 00000061 00000b4a 80 61 090000000000", nullptr},
            {"setDiagnosticEnd", [](OxCommand &c) { return c.setDiagnosticEnd(); },
             "434d4400 00000062 00000000 00 62 000000000000", nullptr},
            {"getcalibrateBeginUDDS", [](OxCommand &c) { tagCALIBRATE_BEGIN r; return c.getcalibrateBeginUDDS(r); },
             "434d4400 00000050 0000000a 80 50 004000000200", nullptr},
            {"getcalibrateBeginTest", [](OxCommand &c) { tagCALIBRATE_BEGIN r; return c.getcalibrateBeginTest(r); },
             "434d4400 00000050 0000000a 80 50 004000000300", nullptr},
            {"getcalibrateBeginTestMag", [](OxCommand &c) { tagCALIBRATE_BEGIN r; return c.getcalibrateBeginTestMag(r); },
             "434d4400 00000050 0000000a 80 50 004000000400", nullptr},
            {"setcalibrateRun", [](OxCommand &c) { return c.setcalibrateRun(); },
             "434d4400 00000051 00000000 00 51 000000000000", nullptr},
            {"setcalibrateEnd", [](OxCommand &c) { tagCALIBRATE_END r; return c.setcalibrateEnd(r); },
             "434d4400 00000052 00000004 80 52 000000000000", nullptr},
            {"calibrateSetData", [](OxCommand &c) { return c.calibrateSetData(); },
             "434d4400 00000054 00000004 00 54 040000000000", "0a000000"},
            {"logBegin", [](OxCommand &c) { unsigned int n; return c.logBegin(6, 9, n); },
             "434d4400 00000070 00000004 80 70 060900000000", nullptr},
            {"getLogData", [](OxCommand &c) { QByteArray d; return c.getLogData(d, 100); },
             "434d4400 00000071 00000064 80 71 000000000000", nullptr},
            {"logEnd", [](OxCommand &c) { return c.logEnd(); },
             "434d4400 00000072 00000000 00 72 000000000000", nullptr},
            {"requestOverrides", [](OxCommand &c) { return c.requestOverrides(); },
             "434d4400 00000037 00000004 80 37 000000000000", nullptr},
            {"scanBegin", [](OxCommand &c) { return c.scanBegin(); },
             "434d4400 00000030 00000008 80 30 004000000000", nullptr},
            {"scanRequestStop", [](OxCommand &c) { return c.scanRequestStop(); },
             "434d4400 00000033 00000000 00 33 000000000000", nullptr},
            {"scanEnd", [](OxCommand &c) { tagSCAN_END e; return c.scanEnd(e); },
             "434d4400 00000034 00000014 80 34 000000000000", nullptr},
            {"meters", [](OxCommand &c) { return c.meters(); },
             "434d4400 00000014 00000022 80 14 000000000000", nullptr},
            {"getUserInput", [](OxCommand &c) { int k; return c.getUserInput(k); },
             "434d4400 00000036 00000001 80 36 000000000000", nullptr},
            {"setUserInput", [](OxCommand &c) { return c.setUserInput(3); },
             "434d4400 00000036 00000001 00 36 000000000000", "03"},
            {"inquiry", [](OxCommand &c) { tagINQUIRY r; return c.inquiry(r); },
             "434d4400 00000010 00000101 80 10 000000000000", nullptr},
            {"createCamera", [](OxCommand &c) { return c.createCamera(camera()); },
             "434d4400 00000021 00000029 00 21 000000000000", cameraHex.constData()},
            {"windowAdd", [](OxCommand &c) { return c.windowAdd(window()); },
             "434d4400 00000022 00000057 00 22 000000000000", windowHex.constData()},
            {"setWindowOrder", [](OxCommand &c) {
                 auto p = profile();
                 p.inputDocument = InputDocumentBoth;
                 p.sideStream = SideAllStreamsBoth;
                 return c.setWindowOrder(&p);
             },
             "434d4400 00000023 00000004 00 23 000000000000", "00010203"},
            {"getConfig", [](OxCommand &c) { tagSCANNER_CONFIGRATION r; return c.getConfig(r); },
             "434d4400 00000020 000002f6 80 20 000000000000", nullptr},
        };
        return table;
    }

private slots:
    void initTestCase() { QVERIFY2(EmulatedBus::preloadActive(), "umockdev preload missing"); }

    void blocksAndDataPhases_data()
    {
        QTest::addColumn<int>("row");
        for (size_t i = 0; i < rows().size(); ++i)
            QTest::newRow(rows()[i].name) << int(i);
    }
    void blocksAndDataPhases()
    {
        QFETCH(int, row);
        const Row &r = rows()[size_t(row)];
        CommandRig rig;
        QVERIFY(rig.ready);
        QCOMPARE(r.call(rig.cmd), 0);
        const auto seen = rig.device->commands();
        QCOMPARE(seen.size(), size_t(1));
        QCOMPARE(qbytes(seen[0].block).toHex(), QByteArray::fromHex(r.block).toHex());
        QCOMPARE(qbytes(seen[0].data).toHex(), QByteArray::fromHex(r.data ? r.data : "").toHex());
        QVERIFY(rig.clean());
        QCOMPARE(rig.device->queuedIn(Pipe::Data), size_t(0)); // every reply was read
    }

    void setConfigSendsTheRecordItWasGiven()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        tagSCANNER_CONFIGRATION config;
        config.MagnificationFrontX = 10000;
        config.SheetHeight = 14028;
        QCOMPARE(rig.cmd.setConfig(config), 0);
        const Bytes stored = rig.device->record(rec::kConfig);
        QCOMPARE(stored.size(), size_t(758));
        QCOMPARE(qbytes(stored).mid(537, 2).toHex(), QByteArray("2710"));
        QCOMPARE(qbytes(stored).mid(532, 4).toHex(), QByteArray("000036cc"));
        QCOMPARE(qbytes(rig.device->commands()[0].block).toHex(),
                 QByteArray("434d4400000000200000" "02f6002000000000" "0000"));
    }

    void stampGraphicSendsThePictureAsPng()
    {
        QTemporaryDir dir;
        QImage picture(7, 5, QImage::Format_RGB32);
        picture.fill(qRgb(10, 200, 30));
        const QString path = dir.filePath("stamp.bmp");
        QVERIFY(picture.save(path, "BMP"));

        CommandRig rig;
        QVERIFY(rig.ready);
        QCOMPARE(rig.cmd.stampGraphic(path), 0);
        const QByteArray png = qbytes(rig.device->record(rec::kStampGraphic));
        QVERIFY(png.startsWith("\x89PNG"));
        QCOMPARE(QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32), picture);

        // A file that cannot be read still completes the exchange, with no data.
        QCOMPARE(rig.cmd.stampGraphic(dir.filePath("missing.png")), 0);
        QCOMPARE(rig.commands(op::kStampGraphic).back().length, 0u);
        QVERIFY(rig.clean());
    }

    void replyDataReachesTheCaller()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        rig.device->setRecord(rec::kTimeDate, hexBytes("17 3b 0c 1f 07e9"));
        tagTIME_DATE_LOCAL clock;
        QCOMPARE(rig.cmd.getTimeDateLocal(clock), 0);
        QCOMPARE(int(clock.hour), 23);
        QCOMPARE(int(clock.minute), 59);
        QCOMPARE(int(clock.month), 12);
        QCOMPARE(int(clock.day), 31);
        QCOMPARE(int(clock.year), 2025);

        bool paper = false;
        QCOMPARE(rig.cmd.getPaperDetected(paper), 0);
        QVERIFY(paper);
        rig.device->setRecord(rec::kPaperDetected, {2});
        QCOMPARE(rig.cmd.getPaperDetected(paper), 0);
        QVERIFY(!paper); // only 1 means paper

        rig.device->setRecord(rec::kScanEnd, hexBytes("00000001 00000002 00000003 aabbccdd 0001e240"));
        tagSCAN_END end;
        QCOMPARE(rig.cmd.scanEnd(end), 0);
        QCOMPARE(end.Value8, 3u);
        QCOMPARE(end.StampStartIndex, 123456u);

        rig.scanner.queuePanelInput(-1);
        int key = 0;
        QCOMPARE(rig.cmd.getUserInput(key), 0);
        QCOMPARE(key, -1); // the byte is signed

        rig.device->setRecord(rec::log(6), wire(QByteArray("device log text")));
        unsigned int size = 0;
        QCOMPARE(rig.cmd.logBegin(6, 9, size), 0);
        QCOMPARE(size, 15u);
        QByteArray block;
        QCOMPARE(rig.cmd.getLogData(block, 10), 0);
        QCOMPARE(block, QByteArray("device log"));
        QCOMPARE(rig.cmd.getLogData(block, 10), 0);
        QCOMPARE(block, QByteArray(" text")); // a short block is only what arrived

        Bytes run(2890);
        for (size_t i = 0; i < run.size(); ++i)
            run[i] = uint8_t(i * 13);
        rig.device->setRecord(rec::kDiagnosticRun, run);
        tagDIAGNOSTIC_RUN diagnostic;
        QCOMPARE(rig.cmd.getDiagnosticRun(diagnostic), 0);
        QVERIFY(std::equal(run.begin(), run.end(), diagnostic.bytes.begin()));
        QVERIFY(rig.clean());
    }

    void oversizedLogBlockIsRefusedWithoutTraffic()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        QByteArray block("kept");
        QCOMPARE(rig.cmd.getLogData(block, OxCommand::kMaxTransferChunk + 1), int(RC_READ_FAILED));
        QVERIFY(rig.device->commands().empty());
    }

    // Rule S: a reply of exactly 12 bytes is a status block.
    void ruleSRefusalLeavesTheRecord()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        rig.device->scriptReply(op::kPaperDetected, Reply::refused(status::kPaperJam));
        bool paper = true;
        QCOMPARE(rig.cmd.getPaperDetected(paper), int(RC_PAPER_JAM));
        QVERIFY(paper);

        tagSCANNER_CONFIGRATION config;
        config.BatchCount = 4242;
        rig.device->scriptReply(op::kConfig, Reply::refused(7));
        QCOMPARE(rig.cmd.getConfig(config), int(RC_COVER_OPEN));
        QCOMPARE(int(config.BatchCount), 4242);

        // A good status in place of the record is no record: a caller that
        // took it for success would write back or use stale values.
        rig.device->scriptReply(op::kConfig, Reply::refused(status::kGood));
        QCOMPARE(rig.cmd.getConfig(config), int(RC_READ_FAILED));
        QCOMPARE(int(config.BatchCount), 4242);

        unsigned int size = 99;
        rig.device->scriptReply(op::kLogBegin, Reply::refused(status::kFailed));
        QCOMPARE(rig.cmd.logBegin(1, 9, size), int(RC_DEVICE_FAILURE));
        rig.device->scriptReply(op::kLogBegin, Reply::refused(status::kGood));
        QCOMPARE(rig.cmd.logBegin(1, 9, size), int(RC_READ_FAILED));
        QCOMPARE(size, 99u);
        // A log size reply too short to hold the size is no size at all.
        rig.device->scriptReply(op::kLogBegin, Reply::ok({0, 1}));
        QCOMPARE(rig.cmd.logBegin(1, 9, size), int(RC_READ_FAILED));
        QCOMPARE(size, 99u);
        QCOMPARE(rig.device->queuedIn(Pipe::Data), size_t(0));
    }

    // Rule E: only a reply of the announced length is data.
    void ruleEOtherLengthIsAStatusBlock()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        rig.device->scriptReply(op::kScanBegin, Reply::refused(5));
        QCOMPARE(rig.cmd.scanBegin(), int(RC_WARMING_UP));

        rig.device->scriptReply(op::kUserInput, Reply::refused(status::kMultifeed));
        int key = 7;
        QCOMPARE(rig.cmd.getUserInput(key), int(RC_MULTIFEED));
        QCOMPARE(key, 7);
        QCOMPARE(rig.device->queuedIn(Pipe::Data), size_t(0));

        // Two bytes where one was announced: read as a (broken) status block.
        Reply two = Reply::ok({1, 2});
        two.sendStatus = false;
        rig.device->scriptReply(op::kUserInput, two);
        QCOMPARE(rig.cmd.getUserInput(key), int(RC_STATUS_SIGNATURE));
        QCOMPARE(key, 7);
    }

    // Rule A: the status block is always read; missing bytes read as zero.
    void ruleAFillsTheRecordWhateverTheStatus()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        rig.device->scriptReply(op::kScanEnd, Reply::withStatus(status::kPaperJam, hexBytes("0000000a 0000000b")));
        tagSCAN_END end;
        end.StampStartIndex = 5;
        QCOMPARE(rig.cmd.scanEnd(end), int(RC_PAPER_JAM));
        QCOMPARE(end.Value0, 10u);
        QCOMPARE(end.Value4, 11u);
        QCOMPARE(end.StampStartIndex, 0u);
        QCOMPARE(rig.device->queuedIn(Pipe::Data), size_t(0));
    }

    void statusOfAnOutCommandIsItsResult()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        rig.device->scriptStatus(op::kConfig, 8);
        QCOMPARE(rig.cmd.setConfig(tagSCANNER_CONFIGRATION()), int(RC_CALIBRATION_REQUIRED));
        rig.device->scriptStatus(op::kScanRequestStop, 14);
        QCOMPARE(rig.cmd.scanRequestStop(), int(RC_DEVICE_FAILURE));
        QVERIFY(rig.clean());
    }

    void noProfileMeansNoTraffic()
    {
        CommandRig rig;
        QVERIFY(rig.ready);
        QCOMPARE(rig.cmd.setSnapToSizeList(nullptr), int(RC_DEVICE_FAILURE));
        QCOMPARE(rig.cmd.setWindowOrder(nullptr), int(RC_DEVICE_FAILURE));
        QVERIFY(rig.device->commands().empty());
    }
};

EMULATOR_TEST_MAIN(TestCommandExchanges)
#include "tst_commandexchanges.moc"

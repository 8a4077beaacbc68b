// The sheet feeder behind whole scans through the Devgate facade: the host's
// own windows decide what is drawn, and the scripted events reach the job as
// a real scanner's would.
#include "configfile.h"
#include "devgate.h"
#include "emulatortest.h"
#include "pmessage.h"
#include "scanshortcut.h"
#include "scanshortcutmenu.h"
#include "sheetfeeder.h"
#include "support/testtiming.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace emu;

namespace {

struct PageOut
{
    QString file;
    int side = 0;
    QSize size;
    int resolution = 0;
    int colourType = 0;
};

struct FeederRig
{
    QTemporaryDir dir;
    ConfigFile config;
    EmulatedBus bus;
    std::shared_ptr<ScannerEmulator> device = std::make_shared<ScannerEmulator>();
    ScannerCommands commands{*device};
    std::unique_ptr<SheetFeeder> feeder;
    std::unique_ptr<Devgate> gate;
    PMessage hub;
    QList<PageOut> pages;
    int sheetsFinished = -1;
    int paperIndex = -1;

    explicit FeederRig(const StackScript &script)
    {
        qputenv("XDG_CONFIG_HOME", (dir.path() + "/cfg").toUtf8());
        config.loadConfigFile(dir.path());
        feeder = std::make_unique<SheetFeeder>(commands, script);
        bus.plug(device);
        gate = std::make_unique<Devgate>();
        gate->setConfigFile(&config);
        QObject::connect(&hub, &PMessage::scanFileName, &hub,
                         [this](SCAN_SHORTCUT_MENU *, QString f, schar side, QStringList, int w,
                                int h, int res, int colour) {
                             pages.append({f, int(side), QSize(w, h), res, colour});
                         }, Qt::DirectConnection);
        QObject::connect(&hub, &PMessage::scanFinish, &hub,
                         [this](SCAN_SHORTCUT_MENU *, int index, int, int sheets, int, int) {
                             paperIndex = index;
                             sheetsFinished = sheets;
                         }, Qt::DirectConnection);
    }
    ~FeederRig() { gate.reset(); }

    bool open() { return gate->openPort("1;2;"); }
    int scan(tagSCAN_SHORTCUT_MENU profile)
    {
        pages.clear();
        return gate->startJob(&profile, &hub);
    }

    static tagSCAN_SHORTCUT_MENU builtIn(int index)
    {
        ScanShortcutMenu store;
        store.loadDefaultScanShortcut();
        tagSCAN_SHORTCUT_MENU p;
        store.getScanShortcutItem(index, p);
        return p;
    }
    static tagSCAN_SHORTCUT_MENU frontOnly(ColorModeFlag colour, CompressionTypeFlag compression,
                                           int resolution = 150)
    {
        auto p = builtIn(0);
        p.inputDocument = InputDocumentFront;
        p.sideStream = SideFront;
        p.sideSettings[0].colorMode = colour;
        p.sideSettings[0].compressionType = compression;
        p.sideSettings[0].resolution = resolution;
        return p;
    }

    // The image headers the device sent, with the length of the data
    // message that followed each of them.
    struct SentHeader
    {
        Bytes bytes;
        size_t dataLength = 0;
    };
    std::vector<SentHeader> sentHeaders() const
    {
        std::vector<SentHeader> out;
        const auto in = device->transfers(Pipe::Data);
        for (size_t i = 0; i < in.size(); ++i) {
            if (in[i].direction != Direction::In || in[i].bytes.size() != ImageHeader::kWireSize)
                continue;
            SentHeader h{in[i].bytes, 0};
            // After the header: its status block, the image command block,
            // then the image data.
            for (size_t j = i + 1; j < in.size(); ++j) {
                if (in[j].direction == Direction::In && in[j].bytes.size() > 12) {
                    h.dataLength = in[j].bytes.size();
                    break;
                }
            }
            out.push_back(h);
        }
        return out;
    }
    bool clean() const
    {
        return feeder->errors().empty() && commands.errors().empty() &&
               device->protocolErrors().empty();
    }
};

uint32_t be32(const Bytes &b, size_t off)
{
    return uint32_t(b[off]) << 24 | uint32_t(b[off + 1]) << 16 | uint32_t(b[off + 2]) << 8 | b[off + 3];
}

bool allWhite(const QImage &image)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < grey.height(); ++y) {
        const uchar *row = grey.constScanLine(y);
        for (int x = 0; x < grey.width(); ++x) {
            if (row[x] < 128)
                return false;
        }
    }
    return true;
}

} // namespace

class TestSheetFeeder : public QObject
{
    Q_OBJECT
private slots:
    void duplexSheetsFollowTheWindowOrder()
    {
        StackScript script;
        script.sheets = 3;
        FeederRig rig(script);
        QVERIFY(rig.open());
        auto profile = FeederRig::builtIn(4); // colour JPEG, both sides, 200 dpi
        profile.printerIndex = 500;
        QCOMPARE(rig.scan(profile), 0);

        QCOMPARE(rig.pages.size(), 6);
        const QSize a4(pixelsOf(200, kSheetWidth1200), pixelsOf(200, kSheetHeight1200));
        for (int i = 0; i < rig.pages.size(); ++i) {
            const PageOut &p = rig.pages[i];
            QCOMPARE(p.side, i % 2);
            QCOMPARE(p.size, a4);
            QCOMPARE(p.resolution, 200);
            QVERIFY2(p.file.endsWith(".jpg"), qPrintable(p.file));
            const QImage image(p.file);
            QCOMPARE(image.size(), a4);
            QVERIFY(!image.isGrayscale());
            QVERIFY(!allWhite(image));
        }
        QCOMPARE(rig.sheetsFinished, 3);
        QCOMPARE(rig.paperIndex, 503);

        // Headers as sent: window and side alternate, the printer index
        // counts sheets from the configured start, the last image of each
        // sheet ends it, and ImageSize is what followed.
        const auto headers = rig.sentHeaders();
        QCOMPARE(int(headers.size()), 6);
        for (size_t i = 0; i < headers.size(); ++i) {
            const Bytes &h = headers[i].bytes;
            QCOMPARE(int(h[1]), int(i % 2));              // CameraType
            QCOMPARE(int(h[2]), int(i % 2));              // WindowId
            QCOMPARE(int(h[0]), i % 2 ? 3 : 2);           // CameraId
            QCOMPARE(int(h[8]), 2);                       // ImageFormat
            QCOMPARE(int(h[179]), 2);                     // CompressionMode
            QCOMPARE(be32(h, 114), uint32_t(500 + i / 2)); // PrinterIndex
            QCOMPARE(int(h[198]), int(i % 2));            // EndOfSheet
            QCOMPARE(size_t(be32(h, 4)), headers[i].dataLength);
            QVERIFY(h[191] > 0);                          // ink on the page
        }
        QCOMPARE(rig.feeder->sheetsDelivered(), 3u);
        QCOMPARE(rig.feeder->sheetsLeft(), 0u);
        QVERIFY(rig.clean());

        // An empty feeder: the sensor reads no paper, and nothing is fed.
        profile.autoStartScanning = false;
        QCOMPARE(rig.scan(profile), 0);
        QCOMPARE(rig.pages.size(), 0);
        rig.gate->closePort();
    }

    void pagesAreCodedAsTheWindowAsks_data()
    {
        QTest::addColumn<int>("colour");
        QTest::addColumn<int>("compression");
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("depth");
        QTest::newRow("raw bitonal") << int(ColorModeBlackWhite) << int(CompressionNone) << ".bmp" << 1;
        QTest::newRow("raw grey") << int(ColorModeGray) << int(CompressionNone) << ".bmp" << 8;
        QTest::newRow("raw colour") << int(ColorModeColor) << int(CompressionNone) << ".bmp" << 24;
        QTest::newRow("Group 4") << int(ColorModeBlackWhite) << int(CompressionGroup4) << ".tif" << 1;
        QTest::newRow("grey JPEG") << int(ColorModeGray) << int(CompressionJpeg) << ".jpg" << 8;
    }
    void pagesAreCodedAsTheWindowAsks()
    {
        QFETCH(int, colour);
        QFETCH(int, compression);
        QFETCH(QString, suffix);
        QFETCH(int, depth);
        StackScript script;
        script.sheets = 1;
        script.ink = Ink::Grey;
        FeederRig rig(script);
        QVERIFY(rig.open());
        QCOMPARE(rig.scan(FeederRig::frontOnly(ColorModeFlag(colour), CompressionTypeFlag(compression))), 0);
        QCOMPARE(rig.pages.size(), 1);
        const PageOut &p = rig.pages.first();
        QVERIFY2(p.file.endsWith(suffix), qPrintable(p.file));
        QCOMPARE(p.colourType, colour);
        QImage image(p.file);
        QCOMPARE(image.size(), QSize(pixelsOf(150, kSheetWidth1200), pixelsOf(150, kSheetHeight1200)));
        const bool oneChannel = image.format() == QImage::Format_Indexed8 ||
                                image.format() == QImage::Format_Grayscale8;
        QCOMPARE(image.depth() == 1 ? 1 : oneChannel ? 8 : 24, depth);
        QVERIFY(!allWhite(image));
        // The sheet number stands at the top left, in black, on white.
        const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
        // The digit "1" lights its right-hand segments only: at 150 dpi its
        // cell starts at x 75, y 60, 42 pixels wide, strokes 9 pixels thick.
        QVERIFY(qGray(grey.pixel(2, 2)) > 200);
        QVERIFY(qGray(grey.pixel(112, 75)) < 60);  // segment b
        QVERIFY(qGray(grey.pixel(112, 105)) < 60); // segment c
        QVERIFY(qGray(grey.pixel(95, 63)) > 200);  // no segment a
        QVERIFY(rig.clean());
        rig.gate->closePort();
    }

    void simplexBacksAreBlankAndCanBeDropped()
    {
        StackScript script;
        script.sheets = 2;
        script.duplex = false;
        script.samePages = true;
        FeederRig rig(script);
        QVERIFY(rig.open());
        auto profile = FeederRig::builtIn(0); // bitonal raw, both sides
        QCOMPARE(rig.scan(profile), 0);
        QCOMPARE(rig.pages.size(), 4);
        QVERIFY(!allWhite(QImage(rig.pages[0].file)));
        QVERIFY(allWhite(QImage(rig.pages[1].file)));
        // The same page each sheet when asked for.
        QFile first(rig.pages[0].file), third(rig.pages[2].file);
        QVERIFY(first.open(QIODevice::ReadOnly) && third.open(QIODevice::ReadOnly));
        QCOMPARE(first.readAll(), third.readAll());

        // Blank-page deletion by content drops the blank backs.
        StackScript again = script;
        FeederRig rig2(again);
        QVERIFY(rig2.open());
        for (auto &block : profile.sideSettings) {
            block.blankImageDeletion = BlankImageModeFlag(1);
            block.contentAmount = 0;
        }
        QCOMPARE(rig2.scan(profile), 0);
        QCOMPARE(rig2.pages.size(), 2);
        QCOMPARE(rig2.pages[0].side, 0);
        QCOMPARE(rig2.pages[1].side, 0);
        rig2.gate->closePort();
        rig.gate->closePort();
    }

    void paperWaitEndsWhenTheSensorSeesPaper()
    {
        StackScript script;
        script.sheets = 1;
        script.paperEmptyPolls = 2;
        FeederRig rig(script);
        QVERIFY(rig.open());
        auto profile = FeederRig::frontOnly(ColorModeBlackWhite, CompressionGroup4);
        profile.paperSource = PaperSourceFeeder;
        profile.autoStartScanning = true;
        QList<QPair<bool, bool>> reports;
        QObject::connect(&rig.hub, &PMessage::updatePaperStatus, &rig.hub,
                         [&](bool found, bool done) { reports << qMakePair(found, done); },
                         Qt::DirectConnection);
        QCOMPARE(rig.scan(profile), 0);
        QCOMPARE(rig.pages.size(), 1);
        // The job's first read and one poll of its wait see no paper.
        QCOMPARE(reports, (QList<QPair<bool, bool>>{{false, false}, {true, true}}));
        rig.gate->closePort();
    }

    void statusInPlaceOfHeaderEndsTheJobAndKeepsTheSheet_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("result");
        QTest::newRow("jam") << int(status::kPaperJam) << -22;
        QTest::newRow("cover open") << int(status::kCoverOpen) << -25;
    }
    void statusInPlaceOfHeaderEndsTheJobAndKeepsTheSheet()
    {
        QFETCH(int, code);
        QFETCH(int, result);
        StackScript script;
        script.sheets = 3;
        script.statusInPlaceOfHeader[2] = uint8_t(code);
        FeederRig rig(script);
        QVERIFY(rig.open());
        const auto profile = FeederRig::builtIn(2); // bitonal Group 4, both sides
        QCOMPARE(rig.scan(profile), result);
        QCOMPARE(rig.pages.size(), 2);
        QCOMPARE(rig.feeder->sheetsLeft(), 2u);
        QVERIFY(!rig.device->lockHeld());
        // Cleared, the next scan takes the rest of the stack.
        QCOMPARE(rig.scan(profile), 0);
        QCOMPARE(rig.pages.size(), 4);
        QCOMPARE(rig.sheetsFinished, 2);
        QVERIFY(rig.clean());
        rig.gate->closePort();
    }

    void multifedSheetWaitsForTheAnswer_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("pagesOut");
        QTest::addColumn<unsigned>("fed");
        QTest::addColumn<unsigned>("left");
        QTest::newRow("continue") << 1 << 0 << 6 << 3u << 0u;
        QTest::newRow("stop") << 2 << -23 << 2 << 2u << 1u;
        QTest::newRow("rescan") << 3 << 0 << 6 << 4u << 0u;
    }
    void multifedSheetWaitsForTheAnswer()
    {
        QFETCH(int, key);
        QFETCH(int, result);
        QFETCH(int, pagesOut);
        QFETCH(unsigned, fed);
        QFETCH(unsigned, left);
        StackScript script;
        script.sheets = 3;
        script.multifed[2] = int8_t(key);
        FeederRig rig(script);
        QVERIFY(rig.open());
        auto profile = FeederRig::builtIn(2);
        QCOMPARE(int(profile.multifeedResponse), int(MultifeedInteractive));
        QSignalSpy panel(&rig.hub, &PMessage::userInputFromPanel);
        QCOMPARE(rig.scan(profile), result);
        QCOMPARE(rig.pages.size(), pagesOut);
        QCOMPARE(rig.feeder->sheetsDelivered(), fed);
        QCOMPARE(rig.feeder->sheetsLeft(), left);
        QCOMPARE(panel.size(), 1);
        QCOMPARE(panel.first().first().toInt(), key);
        QCOMPARE(rig.commands.hostInputs(), (std::vector<uint8_t>{uint8_t(key)}));
        QVERIFY(rig.clean());
        rig.gate->closePort();
    }

    void vanishingMidPageFailsTheJobWithoutHanging()
    {
        StackScript script;
        script.sheets = 3;
        script.vanishAt = 2;
        FeederRig rig(script);
        QVERIFY(rig.open());
        QElapsedTimer t;
        t.start();
        const int rc = rig.scan(FeederRig::builtIn(2));
        QVERIFY2(rc < 0, qPrintable(QString::number(rc)));
        QVERIFY(t.elapsed() < scaledMs(20000));
        QCOMPARE(rig.pages.size(), 2);
        QVERIFY(rig.device->vanished());
        rig.gate->closePort();
    }

    void windowsMissingAreReported()
    {
        // Driven on the model alone: the host never asks for a header before
        // it stored its windows, so only a direct command shows this.
        ScannerEmulator device;
        ScannerCommands commands(device);
        SheetFeeder feeder(commands, StackScript());
        device.setRecord(rec::kWindowOrder, {0, 1, 0xFF, 0xFF});
        const Bytes block = {'C', 'M', 'D', 0, 0, 0, 0, op::kRequestHeader, 0, 0, 0x01, 0xCD,
                             0x80, op::kRequestHeader, 0, 0, 0, 0, 0, 0};
        QVERIFY(device.transferOut(Pipe::Data, block).state == Completion::State::Done);
        const Completion reply = device.transferIn(Pipe::Data, 512);
        QCOMPARE(int(reply.data.size()), 12); // a status block in place of the header
        QCOMPARE(int(reply.data[4 + 4]), int(status::kFailed));
        QCOMPARE(int(feeder.errors().size()), 3);
        QCOMPARE(feeder.sheetsLeft(), 1u);
    }
};

EMULATOR_TEST_MAIN(TestSheetFeeder)
#include "tst_sheetfeeder.moc"

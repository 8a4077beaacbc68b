#include "parsercommand.h"
#include "translationfixture.h"

#include <QtTest>

#include <cmath>
#include <limits>

namespace {

QByteArray configBytes(const tagSCANNER_CONFIGRATION &c)
{
    QByteArray out;
    encodeScannerConfig(c, out);
    return out;
}

QByteArray windowBytes(const tagWINDOW_ADD &w)
{
    QByteArray out;
    encodeWindowAdd(w, out);
    return out;
}

QByteArray cameraBytes(const tagCREATE_CAMERA &c)
{
    QByteArray out;
    encodeCreateCamera(c, out);
    return out;
}

// The configuration every built-in profile gives; only the multifeed answer
// and the ultrasonic sensitivity differ between them.
QByteArray builtInConfig(quint8 multifeedResponse, quint8 udds)
{
    WireBytes b(758);
    b.u8(0, 1).u8(2, 1).be16(3, 5).be16(5, 5);
    b.be16(9, 1).u8(11, 1);
    b.u8(17, 0).u8(18, 3).u8(19, 2).u8(20, 1);
    b.u8(81, 1).u8(82, 1).u8(83, 1);
    b.be32(89, 2400).u8(93, multifeedResponse).u8(94, udds);
    b.u8(104, 12);
    b.u8(140, 2).u8(151, 4).be32(154, 1).u8(158, 9).be32(160, 300);
    b.u8(528, 1).u8(529, 255);
    b.be32(532, 20400);
    b.be16(537, 10000).be16(539, 10000).be16(541, 10000).be16(543, 10000);
    b.be32(546, 7200).u8(551, 1).be32(553, 10800);
    b.be32(708, 300).be32(712, 300);
    b.u8(737, 100);
    b.u8(746, 2).be32(747, 3000).be32(751, 3000);
    return b.bytes();
}

// Window 0 or 1 of the default profile: black and white, 200 dpi, A4,
// detect-and-correct cropping, both sides.
QByteArray defaultProfileWindow(quint8 index)
{
    WireBytes b(87);
    b.u8(0, index).u8(1, 0).u8(2, index == 0 ? 2 : 3).u8(3, 0);
    b.be16(4, 200).be16(6, 200);
    b.be32(16, 9912).be32(20, 14028);
    b.u8(24, 2).u8(25, 0);
    b.u8(26, 100).u8(29, 3).u8(30, 0).u8(31, 100);
    b.u8(32, 100).u8(33, 100).u8(34, 100).u8(35, 100);
    b.u8(36, 0).u8(37, 3).u8(38, 2);
    b.u8(39, 255).u8(40, 1).u8(41, 100);
    b.u8(60, 1).u8(63, 1).u8(65, 3);
    b.be32(69, 3600000);
    b.u8(74, 100).u8(79, 100).u8(81, 100).u8(82, 100);
    b.u8(86, 255);
    return b.bytes();
}

// The photo profile's one window: colour, 300 dpi, best JPEG, front only.
QByteArray photoProfileWindow()
{
    WireBytes b(87);
    b.u8(0, 0).u8(1, 1).u8(2, 2).u8(3, 2);
    b.be16(4, 300).be16(6, 300);
    b.be32(16, 9912).be32(20, 14028);
    b.u8(24, 2).u8(25, 0);
    b.u8(26, 100).u8(31, 100);
    b.u8(32, 100).u8(33, 100).u8(34, 100).u8(35, 100);
    b.u8(36, 2).u8(37, 0).u8(38, 0);
    b.u8(39, 255).u8(40, 1).u8(41, 100);
    b.u8(63, 1).u8(65, 1);
    b.be32(69, 3600000);
    b.u8(73, 1).u8(74, 100).u8(75, 1);
    b.u8(77, 2).u8(78, 2).u8(79, 100).u8(81, 100).u8(82, 100);
    b.u8(86, 255);
    return b.bytes();
}

tagWINDOW_ADD window(const tagSCAN_SHORTCUT_MENU &p, int side, int index, quint8 accessory = 0)
{
    ParserCommand parser;
    tagINQUIRY inquiry;
    inquiry.AccessoryType = accessory;
    tagWINDOW_ADD w;
    w.WindowId = 0xEE; // must be rebuilt from zero
    if (!parser.mergeWindowAdd(w, &p, InputDocumentFlag(side), index, inquiry))
        qWarning("mergeWindowAdd refused side %d index %d", side, index);
    return w;
}

void setAllBlocks(tagSCAN_SHORTCUT_MENU &p, void (*set)(tagSCAN_SIDE_SETTING &))
{
    for (auto &s : p.sideSettings)
        set(s);
}

} // namespace

class TestTranslation : public QObject
{
    Q_OBJECT

private slots:
    void builtInConfiguration_data();
    void builtInConfiguration();
    void configTimeoutAndLengths();
    void configPreviewCounts_data();
    void configPreviewCounts();
    void configMergeAndSplit_data();
    void configMergeAndSplit();
    void magnificationRefusedWhenItWouldWrap_data();
    void magnificationRefusedWhenItWouldWrap();
    void magnificationConfig();
    void lowPowerTimeout();

    void cameraSides_data();
    void cameraSides();
    void cameraBarcodeOff();
    void cameraBarcodeOnAndScripts();
    void duplexGivesTwoCameras_data();
    void duplexGivesTwoCameras();

    void builtInWindowsByteForByte();
    void builtInWindowStreams_data();
    void builtInWindowStreams();
    void windowCropping_data();
    void windowCropping();
    void windowAreaAndUnits();
    void windowPreviewArea_data();
    void windowPreviewArea();
    void windowTone();
    void windowColourDropout();
    void windowBlankImageAndFont();
    void windowRefusesUnknownSideOrIndex();
};

void TestTranslation::builtInConfiguration_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("multifeedResponse");
    QTest::addColumn<int>("udds");
    QTest::newRow("default") << 0 << 1 << 0;
    QTest::newRow("multistream") << 1 << 8 << 2;
    QTest::newRow("bw") << 2 << 8 << 2;
    QTest::newRow("grey") << 3 << 8 << 2;
    QTest::newRow("colour") << 4 << 8 << 2;
    QTest::newRow("photo") << 5 << 8 << 0;
}

void TestTranslation::builtInConfiguration()
{
    QFETCH(int, index);
    QFETCH(int, multifeedResponse);
    QFETCH(int, udds);
    const tagSCAN_SHORTCUT_MENU p = builtInProfile(index);
    ParserCommand parser;
    tagSCANNER_CONFIGRATION c;
    c.PaperOnDemand = 1; // the merge starts from an empty record
    QVERIFY(parser.mergeConfig(c, &p, nullptr));
    const QByteArray got = configBytes(c);
    const QByteArray want = builtInConfig(quint8(multifeedResponse), quint8(udds));
    QCOMPARE(firstDifference(got, want), -1);
}

void TestTranslation::configTimeoutAndLengths()
{
    tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    p.timeout = 15;
    p.sheetHeight = 11.69;
    p.multifeedLength = 2.0;
    p.lengthLeft = 1.999;
    p.lengthRight = 0.0;
    p.multifeedLengthEnabled = true;
    p.printerIndex = 0x01020304;
    ParserCommand parser;
    tagSCANNER_CONFIGRATION c;
    QVERIFY(parser.mergeConfig(c, &p));
    const QByteArray b = configBytes(c);
    QCOMPARE(b.mid(3, 4), QByteArray::fromHex("000f000f"));
    QCOMPARE(b.mid(532, 4), QByteArray::fromHex("000036cc"));
    QCOMPARE(be32At(b, 89), 2400u);
    QCOMPARE(quint8(b[88]), quint8(1));
    QCOMPARE(be32At(b, 747), 2398u); // truncated, not rounded
    QCOMPARE(be32At(b, 751), 0u);
    QCOMPARE(b.mid(154, 4), QByteArray::fromHex("01020304"));

    p.timeout = 0x12345; // only the low 16 bits are carried
    QVERIFY(parser.mergeConfig(c, &p));
    QCOMPARE(configBytes(c).mid(3, 2), QByteArray::fromHex("2345"));
}

void TestTranslation::configPreviewCounts_data()
{
    QTest::addColumn<int>("previewMode");
    QTest::addColumn<int>("inputDocument");
    QTest::addColumn<int>("autoUpdate");
    QTest::addColumn<int>("imageCount");
    QTest::addColumn<int>("acquire");
    QTest::newRow("scan both sides") << 0 << 2 << 0 << 0 << 0;
    QTest::newRow("preview both sides") << 1 << 2 << 1 << 2 << 0;
    QTest::newRow("preview front") << 1 << 0 << 0 << 1 << 1;
    QTest::newRow("preview back") << 1 << 1 << 1 << 1 << 0;
    QTest::newRow("preview unknown side") << 1 << 7 << 0 << 0 << 1;
}

void TestTranslation::configPreviewCounts()
{
    QFETCH(int, previewMode);
    QFETCH(int, inputDocument);
    QFETCH(int, autoUpdate);
    QFETCH(int, imageCount);
    QFETCH(int, acquire);
    tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    p.previewMode = previewMode;
    p.inputDocument = InputDocumentFlag(inputDocument);
    p.previewAutoUpdate = PreviewAutoUpdateFlag(autoUpdate);
    ParserCommand parser;
    tagSCANNER_CONFIGRATION c;
    QVERIFY(parser.mergeConfig(c, &p));
    const QByteArray b = configBytes(c);
    QCOMPARE(int(be16At(b, 86)), imageCount);
    QCOMPARE(int(quint8(b[526])), previewMode);
    QCOMPARE(int(quint8(b[527])), acquire);
}

void TestTranslation::configMergeAndSplit_data()
{
    QTest::addColumn<int>("sideStream");
    QTest::addColumn<int>("inputDocument");
    QTest::addColumn<int>("combineType");
    QTest::addColumn<int>("previewMode");
    QTest::addColumn<int>("imageMerge");
    QTest::addColumn<int>("splitCount");
    // combineSite 4 and splitDocumentCount 3 throughout.
    QTest::newRow("merge front and back") << 0 << 2 << 1 << 0 << 4 << 0;
    QTest::newRow("merge, back stream") << 2 << 2 << 1 << 0 << 4 << 0;
    QTest::newRow("merge refused in preview") << 0 << 2 << 1 << 1 << 0 << 0;
    QTest::newRow("merge needs both sides") << 1 << 0 << 1 << 0 << 0 << 0;
    QTest::newRow("no combining splits") << 1 << 0 << 0 << 0 << 0 << 3;
    QTest::newRow("n-up does not split") << 0 << 0 << 2 << 0 << 0 << 0;
    QTest::newRow("three streams: neither") << 5 << 2 << 1 << 0 << 0 << 0;
    QTest::newRow("three streams, no combining") << 5 << 2 << 0 << 0 << 0 << 0;
}

void TestTranslation::configMergeAndSplit()
{
    QFETCH(int, sideStream);
    QFETCH(int, inputDocument);
    QFETCH(int, combineType);
    QFETCH(int, previewMode);
    QFETCH(int, imageMerge);
    QFETCH(int, splitCount);
    tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    p.sideStream = OxAdvancedSettingSideFlag(sideStream);
    p.inputDocument = InputDocumentFlag(inputDocument);
    p.combineType = CombineTypeFlag(combineType);
    p.previewMode = previewMode;
    p.splitDocumentCount = SplitDocumentCountFlag(3);
    ParserCommand parser;
    tagSCANNER_CONFIGRATION c;
    QVERIFY(parser.mergeConfig(c, &p));
    const QByteArray b = configBytes(c);
    QCOMPARE(int(quint8(b[536])), imageMerge);
    QCOMPARE(int(quint8(b[744])), splitCount);
}

void TestTranslation::magnificationRefusedWhenItWouldWrap_data()
{
    QTest::addColumn<double>("frontY");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("wire");
    QTest::newRow("nominal") << 10000.0 << true << 10000;
    QTest::newRow("fraction rounded up") << 9999.9 << true << 10000;
    QTest::newRow("fraction rounded down") << 9999.4 << true << 9999;
    QTest::newRow("factor 0.5005") << 0.5005 * 10000 << true << 5005;
    QTest::newRow("largest") << 65535.49 << true << 65535;
    QTest::newRow("rounds past the field") << 65535.5 << false << 0;
    QTest::newRow("zero") << 0.0 << true << 0;
    QTest::newRow("factor 6.6") << 66000.0 << false << 0;
    QTest::newRow("negative") << -10000.0 << false << 0;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << false << 0;
    QTest::newRow("infinite") << std::numeric_limits<double>::infinity() << false << 0;
}

void TestTranslation::magnificationRefusedWhenItWouldWrap()
{
    QFETCH(double, frontY);
    QFETCH(bool, accepted);
    QFETCH(int, wire);
    tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    p.frontY = frontY;
    ParserCommand parser;
    tagSCANNER_CONFIGRATION c;
    QCOMPARE(parser.mergeConfig(c, &p), accepted);
    if (accepted)
        QCOMPARE(int(be16At(configBytes(c), 539)), wire);
    quint16 v = 0x5555;
    QCOMPARE(ParserCommand::magnificationToDevice(frontY, v), accepted);
    QCOMPARE(int(v), accepted ? wire : 0x5555);
}

void TestTranslation::magnificationConfig()
{
    ParserCommand parser;
    tagSCANNER_CONFIGRATION c;
    c.PrinterIndex = 77; // a record read from the device keeps its other fields
    c.MagnificationRearY = 1234;
    tagMAGNIFICATION m;
    m.frontX = 10050.7;
    m.frontY = 9950.0;
    m.rearX = 20000.0;
    m.rearY = 5000.0;
    QVERIFY(parser.mergeMagnificationConfig(c, m));
    QByteArray b = configBytes(c);
    QCOMPARE(b.mid(537, 8), QByteArray::fromHex("2743 26de 4e20 1388"));
    QCOMPARE(be32At(b, 154), 77u);

    m.rearY = 6.6 * 10000;
    QVERIFY(!parser.mergeMagnificationConfig(c, m));
    QCOMPARE(configBytes(c), b); // refused: nothing changed, nothing wrapped
    m.rearY = -1.0;
    QVERIFY(!parser.mergeMagnificationConfig(c, m));
    QCOMPARE(configBytes(c), b);
}

void TestTranslation::lowPowerTimeout()
{
    tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    ParserCommand parser;
    tagLOW_POWER_MODE_TIMEOUT t;
    QVERIFY(parser.mergeLowPowerOffTimeOutConfig(t, &p));
    QByteArray b;
    encodeLowPowerModeTimeout(t, b);
    QCOMPARE(b, QByteArray::fromHex("0f3c01"));

    p.powerSaver = 300; // cut to one byte
    p.powerOffEnabled = false;
    QVERIFY(parser.mergeLowPowerOffTimeOutConfig(t, &p));
    encodeLowPowerModeTimeout(t, b);
    QCOMPARE(b, QByteArray::fromHex("2c3c00"));
}

void TestTranslation::cameraSides_data()
{
    QTest::addColumn<int>("side");
    QTest::addColumn<int>("cameraId");
    QTest::addColumn<int>("cameraType");
    QTest::newRow("front") << 0 << 2 << 0;
    QTest::newRow("back") << 1 << 3 << 1;
    QTest::newRow("both is no camera") << 2 << 0 << 0;
    QTest::newRow("side 3 acts as front") << 3 << 2 << 0;
    QTest::newRow("unknown") << 9 << 0 << 0;
}

void TestTranslation::cameraSides()
{
    QFETCH(int, side);
    QFETCH(int, cameraId);
    QFETCH(int, cameraType);
    const tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    ParserCommand parser;
    tagCREATE_CAMERA cam;
    QVERIFY(parser.mergeCreateCamera(cam, &p, InputDocumentFlag(side)));
    const QByteArray b = cameraBytes(cam);
    QCOMPARE(int(quint8(b[0])), cameraId);
    QCOMPARE(int(quint8(b[1])), cameraType);
    QCOMPARE(b.mid(2, 4), QByteArray::fromHex("00011400"));
}

void TestTranslation::cameraBarcodeOff()
{
    // Built-ins read no barcodes but keep all ten types switched on.
    const tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    ParserCommand parser;
    tagCREATE_CAMERA cam;
    QVERIFY(parser.mergeCreateCamera(cam, &p, InputDocumentFront));
    WireBytes want(41);
    want.u8(0, 2).u8(3, 1).u8(4, 20);
    want.be32(28, 1200).be32(32, 1200);
    want.be32(37, 0x0F); // digits, Latin, CJK and Korean; no Arabic
    QCOMPARE(firstDifference(cameraBytes(cam), want.bytes()), -1);
}

void TestTranslation::cameraBarcodeOnAndScripts()
{
    tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    tagSCAN_SIDE_SETTING &s = p.sideSettings[0];
    s.barcodeReading = true;
    // Only the even entries: Interleaved 2 of 5, Codabar, EAN-13, UPC-A, PDF417.
    for (int i = 0; i < 10; ++i)
        s.barcodeTypes[i] = (i % 2 == 0);
    s.barcodeOrientation = BarcodeSearchModeFlag(2);
    s.barcodeCount = 7;
    s.barcodeSearchArea = BarcodeSearchAreaFlag(1);
    s.barcodeArea[0] = 0.5;
    s.barcodeArea[1] = 1.0;
    s.barcodeArea[2] = 3.25;
    s.barcodeArea[3] = 2.0;
    const bool scripts[5] = {true, false, false, false, true}; // digits and Arabic
    for (int i = 0; i < 5; ++i)
        s.characterSets[i] = scripts[i];
    // Other blocks never feed the camera.
    p.sideSettings[1].barcodeReading = false;
    p.sideSettings[1].characterSets[1] = true;

    ParserCommand parser;
    tagCREATE_CAMERA cam;
    QVERIFY(parser.mergeCreateCamera(cam, &p, InputDocumentBack));
    WireBytes want(41);
    want.u8(0, 3).u8(1, 1).u8(3, 1).u8(4, 20);
    want.u8(6, 1);
    want.u8(7, 1);  // Codabar (entry 2)
    want.u8(10, 1); // EAN-13 (entry 4)
    want.u8(12, 1); // Interleaved 2 of 5 (entry 0)
    want.u8(13, 1); // UPC-A (entry 6)
    want.u8(15, 1); // PDF417 (entry 8)
    want.u8(17, 2).u8(18, 7).u8(19, 1);
    want.be32(20, 600).be32(24, 1200).be32(28, 3900).be32(32, 2400);
    want.be32(37, 0x12); // digits bit 1, Arabic bit 4
    QCOMPARE(firstDifference(cameraBytes(cam), want.bytes()), -1);

    s.characterSets[0] = false;
    s.characterSets[1] = true; // Latin alone is bit 0
    s.characterSets[4] = false;
    QVERIFY(parser.mergeCreateCamera(cam, &p, InputDocumentFront));
    QCOMPARE(cam.ImageRotateOrthogonalCharSet, 1u);
}

void TestTranslation::duplexGivesTwoCameras_data()
{
    QTest::addColumn<int>("inputDocument");
    QTest::addColumn<QVector<int>>("cameraIds");
    QTest::newRow("both sides") << 2 << QVector<int>{2, 3};
    QTest::newRow("front") << 0 << QVector<int>{2};
    QTest::newRow("back") << 1 << QVector<int>{3};
}

void TestTranslation::duplexGivesTwoCameras()
{
    QFETCH(int, inputDocument);
    QFETCH(QVector<int>, cameraIds);
    tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    p.inputDocument = InputDocumentFlag(inputDocument);
    ParserCommand parser;
    const QVector<tagCREATE_CAMERA> cams = parser.mergeCameras(&p);
    QVector<int> ids;
    for (const tagCREATE_CAMERA &c : cams)
        ids.append(c.CameraID);
    QCOMPARE(ids, cameraIds);
}

void TestTranslation::builtInWindowsByteForByte()
{
    const QList<tagSCAN_SHORTCUT_MENU> all = builtInProfiles();
    QCOMPARE(all.size(), 6);
    ParserCommand parser;
    const QVector<tagWINDOW_ADD> def = parser.mergeWindows(&all[0], tagINQUIRY());
    QCOMPARE(def.size(), 2);
    QCOMPARE(firstDifference(windowBytes(def[0]), defaultProfileWindow(0)), -1);
    QCOMPARE(firstDifference(windowBytes(def[1]), defaultProfileWindow(1)), -1);

    const QVector<tagWINDOW_ADD> photo = parser.mergeWindows(&all[5], tagINQUIRY());
    QCOMPARE(photo.size(), 1);
    QCOMPARE(firstDifference(windowBytes(photo[0]), photoProfileWindow()), -1);
}

void TestTranslation::builtInWindowStreams_data()
{
    // Per window: camera, image format, window type, compression, rotation.
    QTest::addColumn<int>("index");
    QTest::addColumn<QVector<int>>("windows");
    QTest::newRow("default") << 0 << QVector<int>{2, 0, 0, 0, 0, 3, 0, 0, 0, 0};
    QTest::newRow("multistream") << 1 << QVector<int>{2, 2, 1, 2, 4, 2, 0, 0, 1, 4,
                                                      3, 2, 1, 2, 4, 3, 0, 0, 1, 4};
    QTest::newRow("bw") << 2 << QVector<int>{2, 0, 0, 1, 4, 3, 0, 0, 1, 4};
    QTest::newRow("grey") << 3 << QVector<int>{2, 1, 1, 2, 4, 3, 1, 1, 2, 4};
    QTest::newRow("colour") << 4 << QVector<int>{2, 2, 1, 2, 4, 3, 2, 1, 2, 4};
    QTest::newRow("photo") << 5 << QVector<int>{2, 2, 1, 2, 0};
}

void TestTranslation::builtInWindowStreams()
{
    QFETCH(int, index);
    QFETCH(QVector<int>, windows);
    const tagSCAN_SHORTCUT_MENU p = builtInProfile(index);
    ParserCommand parser;
    const QVector<tagWINDOW_ADD> got = parser.mergeWindows(&p, tagINQUIRY());
    QCOMPARE(got.size() * 5, windows.size());
    for (int i = 0; i < got.size(); ++i) {
        const QByteArray b = windowBytes(got[i]);
        const QVector<int> row{quint8(b[2]), quint8(b[3]), quint8(b[1]), quint8(b[36]), quint8(b[62])};
        QCOMPARE(row, windows.mid(i * 5, 5));
        QCOMPARE(int(quint8(b[0])), i);
    }
}

void TestTranslation::windowCropping_data()
{
    QTest::addColumn<int>("c1");
    QTest::addColumn<int>("c2");
    QTest::addColumn<int>("border");
    QTest::addColumn<bool>("preview");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("deskew");
    QTest::addColumn<int>("addBorder");
    QTest::newRow("7/2/add") << 7 << 2 << 2 << false << 0 << 1 << 1;
    QTest::newRow("7/2/add preview") << 7 << 2 << 2 << true << 2 << 1 << 0;
    QTest::newRow("7/2/remove") << 7 << 2 << 1 << false << 1 << 1 << 0;
    QTest::newRow("7/2/remove preview") << 7 << 2 << 1 << true << 2 << 1 << 0;
    QTest::newRow("7/2/none") << 7 << 2 << 6 << false << 2 << 1 << 0;
    QTest::newRow("7/2/other border") << 7 << 2 << 9 << false << 0 << 0 << 0;
    QTest::newRow("2/none") << 2 << 5 << 6 << false << 2 << 0 << 0;
    QTest::newRow("2/add") << 2 << 2 << 2 << false << 2 << 0 << 1;
    QTest::newRow("2/add preview") << 2 << 2 << 2 << true << 2 << 0 << 0;
    QTest::newRow("2/remove") << 2 << 2 << 1 << false << 0 << 0 << 0;
    QTest::newRow("3/add") << 3 << 2 << 2 << false << 3 << 0 << 1;
    QTest::newRow("3/add preview") << 3 << 2 << 2 << true << 3 << 0 << 0;
    QTest::newRow("3/none") << 3 << 5 << 6 << true << 3 << 0 << 0;
    QTest::newRow("4/2") << 4 << 2 << 1 << false << 4 << 1 << 0;
    QTest::newRow("4/5") << 4 << 5 << 6 << false << 5 << 1 << 0;
    QTest::newRow("4/5 preview") << 4 << 5 << 6 << true << 2 << 1 << 0;
    QTest::newRow("7/5") << 7 << 5 << 2 << false << 6 << 1 << 0;
    QTest::newRow("7/5 preview") << 7 << 5 << 2 << true << 2 << 1 << 0;
    QTest::newRow("8") << 8 << 5 << 2 << false << 7 << 0 << 0;
    QTest::newRow("8 preview") << 8 << 2 << 6 << true << 3 << 0 << 0;
    QTest::newRow("unknown") << 5 << 2 << 6 << false << 0 << 0 << 0;
}

void TestTranslation::windowCropping()
{
    QFETCH(int, c1);
    QFETCH(int, c2);
    QFETCH(int, border);
    QFETCH(bool, preview);
    QFETCH(int, mode);
    QFETCH(int, deskew);
    QFETCH(int, addBorder);
    tagSCAN_SHORTCUT_MENU p = builtInProfile(5);
    p.previewMode = preview ? 1 : 0;
    tagSCAN_SIDE_SETTING &s = p.sideSettings[0];
    s.documentCropping = ImageCroppingModeFlag(c1);
    s.imageCropping = ImageCroppingModeFlag(c2);
    s.border = ImageCroppingModeFlag(border);
    const QByteArray b = windowBytes(window(p, 0, 0));
    QCOMPARE(int(quint8(b[24])), mode);
    QCOMPARE(int(quint8(b[63])), deskew);
    QCOMPARE(int(quint8(b[25])), addBorder);
}

void TestTranslation::windowAreaAndUnits()
{
    tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    tagSCAN_SIDE_SETTING &s = p.sideSettings[0];
    s.x = 1.25;
    s.y = 0.33;
    s.width = 8.5;
    s.height = 14.0;
    s.angle = -2.5;
    s.postScanRotation = Rotate270;
    s.edgeTop = 0.1;
    s.edgeBottom = 0.25;
    s.edgeLeft = 1.0;
    s.edgeRight = 0.0;
    s.resolution = 600;
    const QByteArray b = windowBytes(window(p, 0, 0));
    QCOMPARE(be16At(b, 4), quint16(600));
    QCOMPARE(be16At(b, 6), quint16(600));
    QCOMPARE(be32At(b, 8), 1500u);
    QCOMPARE(be32At(b, 12), 396u);
    QCOMPARE(be32At(b, 16), 10200u);
    QCOMPARE(be32At(b, 20), 16800u);
    QCOMPARE(be32At(b, 69), 3575000u);
    QCOMPARE(int(quint8(b[62])), 3);
    QCOMPARE(be32At(b, 43), 1200u); // left
    QCOMPARE(be32At(b, 47), 0u);    // right
    QCOMPARE(be32At(b, 51), 120u);  // top
    QCOMPARE(be32At(b, 55), 300u);  // bottom

    // Front-only window 1 takes its colour mode and compression from block
    // 1 and everything else from block 0, which is all the forms edit: a
    // block 1 full of stale values changes nothing but those two.
    tagSCAN_SHORTCUT_MENU stale = p;
    tagSCAN_SIDE_SETTING &s1 = stale.sideSettings[1];
    s1.colorMode = ColorModeGray;
    s1.compressionType = CompressionJpeg;
    s1.x = 2.0;
    s1.width = 3.0;
    s1.angle = 5.0;
    s1.postScanRotation = Rotate180;
    s1.documentCropping = CroppingManual;
    s1.border = ImageCroppingModeFlag(2);
    s1.resolution = 75;
    s1.brightness = -30;
    s1.contrast = 25;
    s1.red = 40;
    s1.controller = 7;
    s1.conversionThreshold = 99;
    s1.colorDropoutAggressiveness = 33;
    s1.blankImageDeletion = BlankImageModeFlag(1);
    s1.contentAmount = 77;
    s1.y = 1.5;
    s1.height = 4.0;
    s1.brightnessContrastMode = ColorBrightnessModeFlag(1);
    s1.sharpen = ColorSharpenFlag(2);
    s1.backgroundSmoothingMode = BackgroundAdjustModeFlag(1);
    s1.backgroundSmoothing = 12;
    s1.foregroundBoldnessMode = ForegroundBoldnessModeFlag(1);
    s1.foregroundBoldness = 14;
    tagSCAN_SHORTCUT_MENU fresh = p;
    fresh.sideSettings[1] = fresh.sideSettings[0];
    fresh.sideSettings[1].colorMode = ColorModeGray;
    fresh.sideSettings[1].compressionType = CompressionJpeg;
    fresh.sideSettings[1].colorDropout = s1.colorDropout;
    const QByteArray b1 = windowBytes(window(stale, 0, 1));
    QCOMPARE(b1, windowBytes(window(fresh, 0, 1)));
    QCOMPARE(int(quint8(b1[3])), 1);       // ImageFormat from block 1
    QCOMPARE(int(quint8(b1[36])), 2);      // CompressionMode from block 1
    QCOMPARE(be32At(b1, 8), be32At(b, 8)); // area from block 0
}

void TestTranslation::windowPreviewArea_data()
{
    QTest::addColumn<int>("cropping");
    QTest::addColumn<int>("accessory");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("manual, wide flatbed") << 3 << 3 << 14640 << 16800;
    QTest::newRow("manual, small flatbed") << 3 << 2 << 10320 << 16800;
    QTest::newRow("manual, no flatbed") << 3 << 0 << 10320 << 16800;
    QTest::newRow("detect keeps the profile's area") << 7 << 3 << 9912 << 14028;
}

void TestTranslation::windowPreviewArea()
{
    QFETCH(int, cropping);
    QFETCH(int, accessory);
    QFETCH(int, width);
    QFETCH(int, height);
    tagSCAN_SHORTCUT_MENU p = builtInProfile(4);
    p.previewMode = 1;
    tagSCAN_SIDE_SETTING &s = p.sideSettings[0];
    s.documentCropping = ImageCroppingModeFlag(cropping);
    s.x = 1.0;
    s.y = 2.0;
    s.angle = 1.0;
    const QByteArray b = windowBytes(window(p, 2, 0, quint8(accessory)));
    QCOMPARE(be32At(b, 8), 0u);
    QCOMPARE(be32At(b, 12), 0u);
    QCOMPARE(int(be32At(b, 16)), width);
    QCOMPARE(int(be32At(b, 20)), height);
    QCOMPARE(be32At(b, 69), cropping == 3 ? 3600000u : 3610000u);
    QCOMPARE(int(quint8(b[62])), 0); // no rotation in preview
    QCOMPARE(int(quint8(b[36])), 0); // no compression in preview
}

void TestTranslation::windowTone()
{
    // Black and white: threshold only when the conversion is not dynamic.
    tagSCAN_SHORTCUT_MENU p = builtInProfile(2);
    QByteArray b = windowBytes(window(p, 2, 0));
    QCOMPARE(int(quint8(b[29])), 3);
    QCOMPARE(int(quint8(b[30])), 0);
    p.sideSettings[0].conversionQuality = BinarizationModeFlag(1);
    p.sideSettings[0].conversionContrast = -30;
    p.sideSettings[0].controller = 5;
    b = windowBytes(window(p, 2, 0));
    QCOMPARE(int(quint8(b[29])), 1);
    QCOMPARE(int(quint8(b[30])), 90);
    QCOMPARE(int(quint8(b[31])), 70);
    QCOMPARE(int(quint8(b[82])), 105);
    p.sideSettings[0].conversionQuality = BinarizationModeFlag(2);
    b = windowBytes(window(p, 2, 0));
    QCOMPARE(int(quint8(b[31])), 100);

    // Grey: signed adjustments on the 100-centred scale; colour balance and
    // the noise filter belong to other window types.
    p = builtInProfile(3);
    setAllBlocks(p, [](tagSCAN_SIDE_SETTING &s) {
        s.brightness = -20;
        s.contrast = 50;
        s.red = 40;
    });
    b = windowBytes(window(p, 2, 1));
    QCOMPARE(int(quint8(b[1])), 1);
    QCOMPARE(int(quint8(b[35])), 80);
    QCOMPARE(int(quint8(b[31])), 150);
    QCOMPARE(int(quint8(b[34])), 100);
    QCOMPARE(int(quint8(b[60])), 0);

    // Colour: balance values, and the automatic aggressiveness only in mode 3.
    p = builtInProfile(4);
    setAllBlocks(p, [](tagSCAN_SIDE_SETTING &s) {
        s.red = 10;
        s.green = -10;
        s.blue = 50;
        s.colorAggressiveness = -2;
        s.colorBalanceMode = ColorBalanceModeFlag(3);
    });
    b = windowBytes(window(p, 2, 0));
    QCOMPARE(b.mid(32, 3), QByteArray::fromHex("965a6e"));
    QCOMPARE(int(quint8(b[78])), 3);
    QCOMPARE(int(quint8(b[79])), 98);
}

void TestTranslation::windowColourDropout()
{
    // A colour window never drops a colour.
    tagSCAN_SHORTCUT_MENU p = builtInProfile(4);
    setAllBlocks(p, [](tagSCAN_SIDE_SETTING &s) {
        s.colorDropout = EcdoEnumFlag(0x80);
        s.colorDropoutAggressiveness = 10;
    });
    QByteArray b = windowBytes(window(p, 2, 0));
    QCOMPARE(int(quint8(b[39])), 255);
    QCOMPARE(int(quint8(b[41])), 100);
    QCOMPARE(int(quint8(b[40])), 1);

    // Grey: dropout from block 0; aggressiveness only for the custom colours.
    p = builtInProfile(3);
    setAllBlocks(p, [](tagSCAN_SIDE_SETTING &s) {
        s.colorDropout = EcdoEnumFlag(2);
        s.colorDropoutAggressiveness = 10;
    });
    b = windowBytes(window(p, 2, 0));
    QCOMPARE(int(quint8(b[39])), 2);
    QCOMPARE(int(quint8(b[41])), 100);
    p.sideSettings[0].colorDropout = EcdoEnumFlag(0x81);
    b = windowBytes(window(p, 2, 1));
    QCOMPARE(int(quint8(b[39])), 0x81);
    QCOMPARE(int(quint8(b[41])), 110);
}

void TestTranslation::windowBlankImageAndFont()
{
    tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    setAllBlocks(p, [](tagSCAN_SIDE_SETTING &s) {
        s.blankImageDeletion = BlankImageModeFlag(1);
        s.contentAmount = 42;
        s.streakFilter = true;
        s.streakFilterAggressiveness = 2;
    });
    p.stampConfig.textStampOn = 1;
    QByteArray b = windowBytes(window(p, 2, 0));
    QCOMPARE(int(quint8(b[67])), 1);
    QCOMPARE(int(quint8(b[68])), 42);
    QCOMPARE(int(quint8(b[73])), 1);
    QCOMPARE(int(quint8(b[74])), 102);
    QCOMPARE(int(quint8(b[86])), 0);

    p.stampConfig.textStampOn = 0;
    p.sideSettings[0].blankImageDeletion = BlankImageModeFlag(2);
    b = windowBytes(window(p, 2, 0));
    QCOMPARE(int(quint8(b[67])), 0);
    QCOMPARE(int(quint8(b[68])), 0);
    QCOMPARE(int(quint8(b[86])), 255);
}

void TestTranslation::windowRefusesUnknownSideOrIndex()
{
    const tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    ParserCommand parser;
    tagWINDOW_ADD w;
    QVERIFY(!parser.mergeWindowAdd(w, &p, InputDocumentFront, 4, tagINQUIRY()));
    QVERIFY(!parser.mergeWindowAdd(w, &p, InputDocumentBack, -1, tagINQUIRY()));
    QVERIFY(!parser.mergeWindowAdd(w, &p, InputDocumentFlag(3), 0, tagINQUIRY()));
    QCOMPARE(windowBytes(w), QByteArray(87, '\0'));
    QVERIFY(parser.mergeWindowAdd(w, &p, InputDocumentBoth, 3, tagINQUIRY()));

    tagSCAN_SHORTCUT_MENU odd = p;
    odd.inputDocument = InputDocumentFlag(5);
    QVERIFY(parser.mergeWindows(&odd, tagINQUIRY()).isEmpty());
    QVERIFY(!parser.mergeWindowAdd(w, nullptr, InputDocumentFront, 0, tagINQUIRY()));
}

QTEST_GUILESS_MAIN(TestTranslation)
#include "tst_translation.moc"

#include "pattern.h"
#include "records.h"

#include <QtTest>

namespace {

QByteArray hex(const char *h)
{
    return QByteArray::fromHex(h);
}

void fillInquiry(tagINQUIRY &inq, Pattern &p)
{
    inq.VersionInterface = p.u16(0);
    p.latin1(inq.FirmwareVersion, 2);
    p.latin1(inq.SerialNumber, 12);
    inq.LogTotalBytes = p.u32(28);
    inq.AutoColorSupported = p.u8(33);
    inq.BackgroundAdjustSupported = p.u8(34);
    inq.EcdoCustomTotalBytes = p.u32(44);
    inq.MultifeedLengthMin = p.u32(57);
    inq.MultifeedLengthMax = p.u32(61);
    inq.PaperSourceState = p.u8(67);
    inq.PrinterPositionMin = p.u32(74);
    inq.PrinterPositionMax = p.u32(78);
    inq.ResolutionXOptical = p.u16(82);
    inq.SheetHeightMin = p.u32(85);
    inq.SheetHeightMax = p.u32(89);
    inq.SheetHeightDefault = p.u32(93);
    inq.SheetWidthMin = p.u32(97);
    inq.SheetWidthMax = p.u32(101);
    inq.DualStackingLengthDefault = p.u32(110);
    inq.DualStackingLength1Min = p.u32(114);
    inq.DualStackingLength1Max = p.u32(118);
    inq.DualStackingLength2Min = p.u32(123);
    inq.DualStackingLength2Max = p.u32(127);
    inq.OcpGraphicHeightMax = p.u32(137);
    inq.OcpGraphicWidthMax = p.u32(141);
    inq.PrinterIndexResetValueMin = p.u32(165);
    inq.PrinterIndexResetValueMax = p.u32(169);
    inq.PrintOnImagePositionXMin = p.u32(174);
    inq.PrintOnImagePositionXMax = p.u32(178);
    inq.PrintOnImagePositionYMin = p.u32(182);
    inq.PrintOnImagePositionYMax = p.u32(186);
    inq.PromptToStart = p.u8(200);
    inq.AccessoryType = p.u8(220);
    inq.SplitDocumentLengthMin = p.u32(226);
    inq.SplitDocumentLengthMax = p.u32(230);
}

void fillCamera(tagCREATE_CAMERA &cam, Pattern &p)
{
    cam.CameraID = p.u8(0);
    cam.CameraType = p.u8(1);
    cam.AutoColorDetect = p.u8(2);
    cam.AutoColorAmount = p.u8(3);
    cam.AutoColorThreshold = p.u8(4);
    cam.Background = p.u8(5);
    cam.BarcodeEnable = p.u8(6);
    cam.BarcodeTypeCodabar = p.u8(7);
    cam.BarcodeTypeCode128 = p.u8(8);
    cam.BarcodeTypeCode3of9 = p.u8(9);
    cam.BarcodeTypeEan13 = p.u8(10);
    cam.BarcodeTypeEan8 = p.u8(11);
    cam.BarcodeTypeInterleaved2of5 = p.u8(12);
    cam.BarcodeTypeUpca = p.u8(13);
    cam.BarcodeTypeUpce = p.u8(14);
    cam.BarcodeTypePdf417 = p.u8(15);
    cam.BarcodeTypeQRCode = p.u8(16);
    cam.BarcodeSearchMode = p.u8(17);
    cam.BarcodeCount = p.u8(18);
    cam.BarcodeSearchArea = p.u8(19);
    cam.BarcodeRegionImageOffsetX = p.u32(20);
    cam.BarcodeRegionImageOffsetY = p.u32(24);
    cam.BarcodeRegionImageWidth = p.u32(28);
    cam.BarcodeRegionImageHeight = p.u32(32);
    cam.AutoColorIqnoreBackground = p.u8(36);
    cam.ImageRotateOrthogonalCharSet = p.u32(37);
}

void fillWindow(tagWINDOW_ADD &win, Pattern &p)
{
    win.WindowId = p.u8(0);
    win.WindowType = p.u8(1);
    win.CameraId = p.u8(2);
    win.ImageFormat = p.u8(3);
    win.ImageResolutionX = p.u16(4);
    win.ImageResolutionY = p.u16(6);
    win.ImageOffsetX = p.u32(8);
    win.ImageOffsetY = p.u32(12);
    win.ImageWidth = p.u32(16);
    win.ImageHeight = p.u32(20);
    win.ImageCroppingMode = p.u8(24);
    win.AddBorder = p.u8(25);
    win.BackgroundAdjustAggressiveness = p.u8(26);
    win.BackgroundAdjustApplyTo = p.u8(27);
    win.BackgroundAdjustMode = p.u8(28);
    win.BinarizationMode = p.u8(29);
    win.BinarizationThreshold = p.u8(30);
    win.Contrast = p.u8(31);
    win.ColorBalanceBlue = p.u8(32);
    win.ColorBalanceGreen = p.u8(33);
    win.ColorBalanceRed = p.u8(34);
    win.ColorBrightness = p.u8(35);
    win.CompressionMode = p.u8(36);
    win.CompressionJpegQuality = p.u8(37);
    win.DocumentType = p.u8(38);
    win.Ecdo = p.u8(39);
    win.EcdoTreatAsColor = p.u8(40);
    win.EcdoAggressiveness = p.u8(41);
    win.EdgeFill = p.u8(42);
    win.EdgeFillLeft = p.u32(43);
    win.EdgeFillRight = p.u32(47);
    win.EdgeFillTop = p.u32(51);
    win.EdgeFillBottom = p.u32(55);
    win.FilterImage = p.u8(59);
    win.FilterNoise = p.u8(60);
    win.ColorOutputRomm = p.u8(61);
    win.ImageRotateOrthogonal = p.u8(62);
    win.ImageDeskew = p.u8(63);
    win.InvertColor = p.u8(64);
    win.MediaType = p.u8(65);
    win.PatchToggleState = p.u8(66);
    win.BlankImageMode = p.u8(67);
    win.BlankImageContent = p.u8(68);
    win.ImageSkewAngle = p.u32(69);
    win.StreakRemoval = p.u8(73);
    win.StreakRemovalAggressiveness = p.u8(74);
    win.ColorSharpen = p.u8(75);
    win.HoleFillEnabled = p.u8(76);
    win.ColorAutoBrightnessMode = p.u8(77);
    win.ColorBalanceMode = p.u8(78);
    win.ColorBalanceAutomaticAggressiveness = p.u8(79);
    win.ForegroundBoldnessMode = p.u8(80);
    win.ForegroundBoldnessAggressiveness = p.u8(81);
    win.ThinThickenAmount = p.u8(82);
    win.TextEnhancement = p.u8(83);
    win.BarcodeEnhancement = p.u8(84);
    win.EcdoIncludeNonDropped = p.u8(85);
    win.FontID = p.u8(86);
}

void fillHeader(tagREQUEST_HEADER &hdr, Pattern &p)
{
    hdr.CameraId = p.u8(0);
    hdr.CameraType = p.u8(1);
    hdr.WindowId = p.u8(2);
    hdr.ImageType = p.u8(3);
    hdr.ImageSize = p.u32(4);
    hdr.ImageFormat = p.u8(8);
    hdr.ImageResolutionX = p.u16(9);
    hdr.ImageResolutionY = p.u16(11);
    hdr.ImageOffsetX = p.u32(13);
    hdr.ImageOffsetY = p.u32(17);
    hdr.ImageWidth = p.u32(21);
    hdr.ImageHeight = p.u32(25);
    hdr.ImageChunkNumber = p.u16(29);
    hdr.ImageChunkLast = p.u8(31);
    hdr.Multifeed = p.u8(32);
    hdr.PatchDetected = p.u8(33);
    p.utf16(hdr.PrintedString, 34);
    hdr.PrinterIndex = p.u32(114);
    p.utf16(hdr.IAScanner, 118);
    hdr.IALevel = p.u8(178);
    hdr.CompressionMode = p.u8(179);
    hdr.AutoColorDetected = p.u8(180);
    hdr.AutoColorAmount = p.u8(181);
    hdr.AutoColorThreshold = p.u8(182);
    hdr.DropoutStatus = p.u8(183);
    hdr.InvertColor = p.u8(184);
    hdr.DeskewStatus = p.u8(185);
    hdr.ImageSkewAngle = p.u32(186);
    hdr.BlankImageMode = p.u8(190);
    hdr.BlankImageContent = p.u8(191);
    hdr.BinarizationQuality = p.u8(192);
    hdr.Reserved = p.u32(193);
    hdr.ImageMerged = p.u8(197);
    hdr.EndOfSheet = p.u8(198);
    hdr.DualStackingStack = p.u8(199);
    hdr.BarcodesFound = p.u8(200);
    hdr.IndexingDocument = p.u32(201);
    hdr.IndexingSheet = p.u32(205);
    hdr.PaperDestination = p.u8(209);
    hdr.SleeveType = p.u8(210);
    hdr.MultiImageIndex = p.u8(211);
    hdr.MultiImageTotal = p.u8(212);
    p.latin1(hdr.StampedString, 213);
    hdr.StampCount = p.u32(457);
}

// One record type's codec and field filler, so the same checks run over all.
template <class R>
struct Codec
{
    void (*encode)(const R &, QByteArray &);
    bool (*decode)(const QByteArray &, R &);
    QString (*format)(const R &);
    void (*fill)(R &, Pattern &);
};

template <class R>
void checkPatternLayout(const Codec<R> &codec, int reservedBytes)
{
    Pattern p(R::WireSize);
    R rec;
    codec.fill(rec, p);
    QCOMPARE(p.clashes(), 0);
    QCOMPARE(p.coveredBytes(), R::WireSize - reservedBytes);

    QByteArray wire;
    codec.encode(rec, wire);
    QCOMPARE(wire.size(), R::WireSize);
    const QByteArray want = p.expected();
    for (int i = 0; i < want.size(); ++i) {
        if (wire.at(i) != want.at(i))
            QFAIL(qPrintable(QString("byte %1 is %2, expected %3")
                                 .arg(i)
                                 .arg(quint8(wire.at(i)))
                                 .arg(quint8(want.at(i)))));
    }

    // Decoding the device's bytes (reserved ones included) gives the same
    // named values, and encoding them again drops only the reserved bytes.
    R decoded;
    QVERIFY(codec.decode(p.full(), decoded));
    QCOMPARE(codec.format(decoded), codec.format(rec));
    QByteArray again;
    codec.encode(decoded, again);
    QCOMPARE(again, want);
}

template <class R>
void checkTruncation(const Codec<R> &codec)
{
    Pattern p(R::WireSize);
    R source;
    codec.fill(source, p);
    QByteArray full;
    codec.encode(source, full);

    const R untouched;
    QByteArray untouchedWire;
    codec.encode(untouched, untouchedWire);
    R rec;
    for (int len = 0; len < R::WireSize; ++len) {
        QVERIFY2(!codec.decode(full.left(len), rec), qPrintable(QString::number(len)));
        QByteArray now;
        codec.encode(rec, now);
        QCOMPARE(now, untouchedWire);
    }
    QVERIFY(codec.decode(full, rec));
}

const Codec<tagINQUIRY> kInquiry{encodeInquiry, decodeInquiry, formatInquiry, fillInquiry};
const Codec<tagCREATE_CAMERA> kCamera{encodeCreateCamera, decodeCreateCamera, formatCreateCamera,
                                      fillCamera};
const Codec<tagWINDOW_ADD> kWindow{encodeWindowAdd, decodeWindowAdd, formatWindowAdd, fillWindow};
const Codec<tagREQUEST_HEADER> kHeader{encodeRequestHeader, decodeRequestHeader, formatRequestHeader,
                                       fillHeader};

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void layoutsMatchOffsets();
    void truncatedInputFails();
    void inquiryFromDeviceBytes();
    void cameraBytes();
    void windowBytes();
    void windowOrderBytes();
    void headerFromDeviceBytes();
    void headerTextFields();
    void planWindowOrder_data();
    void planWindowOrder();
    void dumps();
};

void TestRecords::layoutsMatchOffsets()
{
    // Reserved bytes of the inquiry: 257 bytes less the 35 fields' 139.
    checkPatternLayout(kInquiry, 257 - 139);
    if (QTest::currentTestFailed())
        return;
    checkPatternLayout(kCamera, 0);
    if (QTest::currentTestFailed())
        return;
    checkPatternLayout(kWindow, 0);
    if (QTest::currentTestFailed())
        return;
    checkPatternLayout(kHeader, 0);
}

void TestRecords::truncatedInputFails()
{
    checkTruncation(kInquiry);
    if (QTest::currentTestFailed())
        return;
    checkTruncation(kCamera);
    if (QTest::currentTestFailed())
        return;
    checkTruncation(kWindow);
    if (QTest::currentTestFailed())
        return;
    checkTruncation(kHeader);
    if (QTest::currentTestFailed())
        return;

    tagWINDOW_ORDER order;
    order.WindowId = {{9, 8, 7, 6}};
    for (int len = 0; len < 4; ++len) {
        QVERIFY(!decodeWindowOrder(hex("00010203").left(len), order));
        QCOMPARE(order.WindowId[0], quint8(9));
    }
}

void TestRecords::inquiryFromDeviceBytes()
{
    // A 1024-byte reply buffer with the record at its start.
    QByteArray reply(1024, '\0');
    reply.replace(0, 2, hex("0102"));
    reply.replace(2, 6, QByteArray("1.2.3\0", 6));
    reply.replace(12, 16, QByteArray("SN1234567890ABCD"));  // fills the field: no terminator
    reply.replace(28, 4, hex("00100000"));
    reply[34] = 1;
    reply[67] = 5;
    reply.replace(82, 2, hex("0258"));
    reply.replace(93, 4, hex("000036cc"));
    reply[200] = 1;
    reply[220] = 3;
    reply.replace(230, 4, hex("0001d4c0"));
    reply[256] = '\x77';  // reserved, ignored

    tagINQUIRY inq;
    QVERIFY(decodeInquiry(reply, inq));
    QCOMPARE(inq.VersionInterface, quint16(0x0102));
    QCOMPARE(inq.FirmwareVersion.text(), QString("1.2.3"));
    QCOMPARE(inq.SerialNumber.text(), QString("SN1234567890ABCD"));
    QCOMPARE(inq.LogTotalBytes, 0x100000u);
    QCOMPARE(inq.BackgroundAdjustSupported, quint8(1));
    QCOMPARE(inq.PaperSourceState, quint8(5));
    QCOMPARE(inq.ResolutionXOptical, quint16(600));
    QCOMPARE(inq.SheetHeightDefault, 14028u);
    QCOMPARE(inq.PromptToStart, quint8(1));
    QCOMPARE(inq.AccessoryType, quint8(3));
    QCOMPARE(inq.SplitDocumentLengthMax, 120000u);
    QCOMPARE(inq.SheetHeightMax, 0u);
}

void TestRecords::cameraBytes()
{
    tagCREATE_CAMERA cam;
    cam.CameraID = 2;
    cam.AutoColorAmount = 1;
    cam.AutoColorThreshold = 20;
    cam.BarcodeEnable = 1;
    cam.BarcodeTypeQRCode = 1;
    cam.BarcodeCount = 16;
    cam.BarcodeRegionImageOffsetX = 600;
    cam.BarcodeRegionImageWidth = 1200;
    cam.BarcodeRegionImageHeight = 1200;
    cam.ImageRotateOrthogonalCharSet = 0x13;
    QByteArray wire;
    encodeCreateCamera(cam, wire);
    QCOMPARE(wire, hex("02 00 00 01 14 00 01 00 00 00 00 00 00 00 00 00 01 00 10 00"
                       "00 00 02 58  00 00 00 00  00 00 04 b0  00 00 04 b0  00  00 00 00 13"));
}

void TestRecords::windowBytes()
{
    tagWINDOW_ADD win;
    win.WindowId = 1;
    win.WindowType = 1;
    win.CameraId = 3;
    win.ImageFormat = 2;
    win.ImageResolutionX = 300;
    win.ImageResolutionY = 600;
    win.ImageOffsetX = 120;
    win.ImageWidth = 10200;
    win.ImageHeight = 13200;
    win.Contrast = 150;
    win.EdgeFillTop = 2400;
    win.EdgeFillBottom = 0x01020304;
    win.FilterImage = 1;
    win.ImageSkewAngle = 3575000;
    win.StreakRemoval = 1;
    win.FontID = 255;
    QByteArray wire;
    encodeWindowAdd(win, wire);
    QCOMPARE(wire.size(), 87);
    QCOMPARE(wire.left(24), hex("01 01 03 02 01 2c 02 58 00 00 00 78 00 00 00 00"
                                "00 00 27 d8 00 00 33 90"));
    QCOMPARE(wire.at(31), char(150));
    QCOMPARE(wire.mid(43, 17), hex("00000000 00000000 00000960 01020304 01"));
    QCOMPARE(wire.mid(69, 5), hex("00368cd8 01"));
    QCOMPARE(quint8(wire.at(86)), quint8(255));

    tagWINDOW_ADD back;
    QVERIFY(decodeWindowAdd(wire, back));
    QCOMPARE(formatWindowAdd(back), formatWindowAdd(win));
}

void TestRecords::windowOrderBytes()
{
    QByteArray wire;
    encodeWindowOrder(tagWINDOW_ORDER(), wire);
    QCOMPARE(wire, hex("00ffffff"));

    tagWINDOW_ORDER order;
    order.WindowId = {{0, 1, 2, 3}};
    encodeWindowOrder(order, wire);
    QCOMPARE(wire, hex("00010203"));

    tagWINDOW_ORDER back;
    QVERIFY(decodeWindowOrder(hex("00 01 ff ff"), back));
    QCOMPARE(back.WindowId, (std::array<quint8, 4>{{0, 1, 255, 255}}));
}

void TestRecords::headerFromDeviceBytes()
{
    QByteArray reply(461, '\0');
    reply[0] = 3;
    reply[1] = 1;
    reply[2] = 2;
    reply.replace(4, 4, hex("001e8480"));
    reply[8] = 2;
    reply.replace(9, 4, hex("012c 0258"));
    reply.replace(21, 8, hex("000027d8 00003390"));
    reply.replace(29, 2, hex("fffe"));
    reply[32] = 1;
    reply.replace(34, 6, hex("0041 4e2d 0000"));  // "A中"
    reply.replace(114, 4, hex("00000007"));
    reply.replace(186, 4, hex("0036ee80"));
    reply[198] = 1;
    reply[200] = 2;
    reply.replace(201, 4, hex("3b9ac9ff"));
    reply[212] = 2;
    reply.replace(213, 10, QByteArray("Stamp 001\0", 10));
    reply.replace(457, 4, hex("00000100"));

    tagREQUEST_HEADER hdr;
    QVERIFY(decodeRequestHeader(reply, hdr));
    QCOMPARE(hdr.CameraId, quint8(3));
    QCOMPARE(hdr.CameraType, quint8(1));
    QCOMPARE(hdr.WindowId, quint8(2));
    QCOMPARE(hdr.ImageSize, 2000000u);
    QCOMPARE(hdr.ImageFormat, quint8(2));
    QCOMPARE(hdr.ImageResolutionX, quint16(300));
    QCOMPARE(hdr.ImageResolutionY, quint16(600));
    QCOMPARE(hdr.ImageWidth, 10200u);
    QCOMPARE(hdr.ImageHeight, 13200u);
    QCOMPARE(hdr.ImageChunkNumber, quint16(65534));
    QCOMPARE(hdr.Multifeed, quint8(1));
    QCOMPARE(hdr.PrintedString.text(), QString::fromUtf8("A中"));
    QCOMPARE(hdr.PrinterIndex, 7u);
    QCOMPARE(hdr.ImageSkewAngle, 3600000u);
    QCOMPARE(hdr.EndOfSheet, quint8(1));
    QCOMPARE(hdr.BarcodesFound, quint8(2));
    QCOMPARE(hdr.IndexingDocument, 999999999u);
    QCOMPARE(hdr.MultiImageTotal, quint8(2));
    QCOMPARE(hdr.StampedString.text(), QString("Stamp 001"));
    QCOMPARE(hdr.StampCount, 256u);
}

void TestRecords::headerTextFields()
{
    tagREQUEST_HEADER hdr;
    hdr.PatchDetected = 1;
    hdr.PrinterIndex = 0x11223344;
    hdr.StampCount = 0x55667788;
    // Full-length texts carry no terminator; the neighbours stay intact.
    QVERIFY(hdr.PrintedString.setText(QString(40, QChar('P'))));
    QVERIFY(hdr.StampedString.setText(QString(244, QChar('S'))));
    QByteArray wire;
    encodeRequestHeader(hdr, wire);
    QCOMPARE(wire.at(33), '\x01');
    QCOMPARE(wire.mid(34, 80), QByteArray(40, '\0').replace('\0', QByteArray("\0P", 2)));
    QCOMPARE(wire.mid(114, 4), hex("11223344"));
    QCOMPARE(wire.mid(213, 244), QByteArray(244, 'S'));
    QCOMPARE(wire.mid(457, 4), hex("55667788"));

    tagREQUEST_HEADER back;
    QVERIFY(decodeRequestHeader(wire, back));
    QCOMPARE(back.PrintedString.text(), QString(40, QChar('P')));
    QCOMPARE(back.StampedString.text(), QString(244, QChar('S')));

    // Overlong texts are cut to the field, never across a surrogate pair.
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");  // two UTF-16 units
    QVERIFY(!hdr.PrintedString.setText(QString(39, QChar('x')) + emoji));
    QCOMPARE(hdr.PrintedString.text(), QString(39, QChar('x')));
    QVERIFY(!hdr.IAScanner.setText(QString(31, QChar('i'))));
    QCOMPARE(hdr.IAScanner.text(), QString(30, QChar('i')));
    QVERIFY(!hdr.StampedString.setText(QString(300, QChar('T'))));
    QVERIFY(!hdr.StampedString.setText(QString::fromUtf8("印章")));  // not 8-bit text
    QVERIFY(hdr.StampedString.setText(QString::fromLatin1("caf\xe9")));
    encodeRequestHeader(hdr, wire);
    QCOMPARE(wire.mid(34 + 78, 2), hex("0000"));
    QCOMPARE(wire.mid(118, 60), QByteArray(30, '\0').replace('\0', QByteArray("\0i", 2)));
    QCOMPARE(wire.mid(213, 5), hex("636166e900"));
    QCOMPARE(wire.mid(457, 4), hex("55667788"));
}

void TestRecords::planWindowOrder_data()
{
    QTest::addColumn<int>("input");
    QTest::addColumn<int>("stream");
    QTest::addColumn<int>("preview");
    QTest::addColumn<QByteArray>("order");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("images");
    QTest::addColumn<bool>("both");

    QTest::newRow("both, stream 0") << 2 << 0 << 0 << hex("0001ffff") << 0 << 2 << true;
    QTest::newRow("both, stream 6") << 2 << 6 << 0 << hex("0001ffff") << 1 << 2 << true;
    QTest::newRow("both, stream 3") << 2 << 3 << 0 << hex("00010203") << 2 << 4 << true;
    QTest::newRow("both, stream 3, preview") << 2 << 3 << 1 << hex("00010203") << 2 << 2 << true;
    QTest::newRow("front, stream 1") << 0 << 1 << 0 << hex("00ffffff") << 0 << 1 << false;
    QTest::newRow("back, stream 2") << 1 << 2 << 1 << hex("00ffffff") << 0 << 1 << false;
    QTest::newRow("front, stream 9") << 0 << 9 << 0 << hex("00ffffff") << 1 << 1 << false;
    QTest::newRow("back, stream 12") << 1 << 12 << 0 << hex("00ffffff") << 1 << 1 << false;
    QTest::newRow("front, stream 5") << 0 << 5 << 0 << hex("0001ffff") << 2 << 2 << false;
    QTest::newRow("front, stream 5, preview") << 0 << 5 << 1 << hex("0001ffff") << 2 << 1 << false;
}

void TestRecords::planWindowOrder()
{
    QFETCH(int, input);
    QFETCH(int, stream);
    QFETCH(int, preview);
    QFETCH(QByteArray, order);
    QFETCH(int, mode);
    QFETCH(int, images);
    QFETCH(bool, both);

    const WindowOrderPlan plan = ::planWindowOrder(input, stream, preview);
    QByteArray wire;
    encodeWindowOrder(plan.order, wire);
    QCOMPARE(wire, order);
    QCOMPARE(plan.windowMode, mode);
    QCOMPARE(plan.imagesPerSheet, images);
    QCOMPARE(plan.bothSides, both);
}

void TestRecords::dumps()
{
    tagINQUIRY inq;
    inq.VersionInterface = 258;
    inq.BackgroundAdjustSupported = 1;
    inq.FirmwareVersion.setText("1.2.3");
    inq.PromptToStart = 1;
    const QStringList inqLines = formatInquiry(inq).split('\n');
    QCOMPARE(inqLines.size(), 35 + 1);
    QCOMPARE(inqLines.at(0), QString("VersionInterface: 258"));
    QCOMPARE(inqLines.at(1), QString("FirmwareVersion[10]: 1.2.3"));
    QCOMPARE(inqLines.at(5), QString("BackgroundAdjustSupported(0-1): 1"));
    QVERIFY(inqLines.contains("PromptToStart: 1"));

    tagWINDOW_ORDER order;
    order.WindowId = {{0, 1, 2, 255}};
    QCOMPARE(formatSetWindowOrder(order),
             QString("WindowId1: 0\nWindowId1: 1\nWindowId1: 2\nWindowId1: 255\n"));

    tagCREATE_CAMERA cam;
    cam.BarcodeRegionImageWidth = 1200;
    const QStringList camLines = formatCreateCamera(cam).split('\n');
    QCOMPARE(camLines.size(), 26 + 1);
    QVERIFY(camLines.contains("BarcodeRegionImageWidth (1/1200 inch): 1200"));

    tagWINDOW_ADD win;
    win.ImageResolutionX = 300;
    win.ImageSkewAngle = 3600000;
    win.FontID = 255;
    const QStringList winLines = formatWindowAdd(win).split('\n');
    QCOMPARE(winLines.size(), 58 + 1);
    QCOMPARE(winLines.at(4), QString("ImageResolutionX (75-1200): 300"));
    QVERIFY(winLines.contains("ImageSkewAngle (0-7200000): 3600000"));
    QCOMPARE(winLines.at(57), QString("FontID (0-15, 255): 255"));

    tagREQUEST_HEADER hdr;
    hdr.ImageResolutionX = 200;
    hdr.PrintedString.setText(QString::fromUtf8("号0001"));
    hdr.IAScanner.setText("IA");
    hdr.StampedString.setText("Stamp");
    hdr.StampCount = 42;
    const QStringList hdrLines = formatRequestHeader(hdr).split('\n');
    QCOMPARE(hdrLines.size(), 44 + 1);
    QCOMPARE(hdrLines.at(6), QString("ImageResolutionX (75-1200): 200"));
    QVERIFY(hdrLines.contains(QString::fromUtf8("PrintedString[80] : 号0001")));
    QVERIFY(hdrLines.contains("IAScanner[60]: IA"));
    QVERIFY(hdrLines.contains("StampedString: Stamp"));
    QCOMPARE(hdrLines.at(43), QString("StampCount (0-999999999): 42"));
}

QTEST_GUILESS_MAIN(TestRecords)
#include "test_records.moc"

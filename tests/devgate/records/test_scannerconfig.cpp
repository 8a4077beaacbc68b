#include "pattern.h"
#include "scannerconfig.h"

#include "debugtrace.h"

#include <QtTest>

namespace {

// Fills every field from the pattern at its wire offset.
void fillConfig(tagSCANNER_CONFIGRATION &c, Pattern &p)
{
    c.AdfAutoStart = p.u8(0);
    c.AdfHandling = p.u8(1);
    c.AdfTimeoutEnabled = p.u8(2);
    c.AdfTimeout = p.u16(3);
    c.AdfTimeoutFirstPage = p.u16(5);
    c.AdfTimeoutResponse = p.u8(7);
    c.BatchCountEnabled = p.u8(8);
    c.BatchCount = p.u16(9);
    c.BatchLevel = p.u8(11);
    c.BatchStartFunction = p.u8(12);
    c.BatchEndFunction = p.u8(13);
    c.FunctionKey1 = p.u8(14);
    c.FunctionKey2 = p.u8(15);
    c.FunctionKey3 = p.u8(16);
    c.IaFormatA = p.u8(17);
    c.IaFormatB = p.u8(18);
    c.IaFormatC = p.u8(19);
    c.IaFormatD = p.u8(20);
    p.utf16(c.IaStarting, 21);
    c.IaLevelToFollow1 = p.u8(81);
    c.IaLevelToFollow2 = p.u8(82);
    c.IaLevelToFollow3 = p.u8(83);
    c.IaCheckDigit = p.u8(84);
    c.PaperOnDemand = p.u8(85);
    c.ImageCount = p.u16(86);
    c.MultifeedLengthEnbaled = p.u8(88);
    c.MultifeedLength = p.u32(89);
    c.MultifeedResponse = p.u8(93);
    c.MultifeedUddsSensitivity = p.u8(94);
    c.MultifeedUddsSensorZoneHeight = p.u32(95);
    c.MultifeedUddsSensorLeft = p.u8(99);
    c.MultifeedUddsSensorLeftCenter = p.u8(100);
    c.MultifeedUddsSensorCenter = p.u8(101);
    c.MultifeedUddsSensorRightCenter = p.u8(102);
    c.MultifeedUddsSensorRight = p.u8(103);
    c.PaperSource = p.u8(104);
    c.PatchAlarm = p.u8(105);
    c.PatchToggleMode = p.u8(106);
    c.PatchEnabled = p.u8(107);
    c.PatchType1 = p.u8(108);
    c.PatchType2 = p.u8(109);
    c.PatchType3 = p.u8(110);
    c.PatchType4 = p.u8(111);
    c.PatchType6 = p.u8(112);
    c.PatchTransfer = p.u8(113);
    c.PatchHead1 = p.u8(114);
    c.PatchHead2 = p.u8(115);
    c.PatchHead3 = p.u8(116);
    c.PatchHead4 = p.u8(117);
    c.PrinterEnabled = p.u8(118);
    p.utf16(c.PrinterDate, 119);
    c.PrinterDateDelimiter = p.u8(139);
    c.PrinterDateFormat = p.u8(140);
    p.utf16(c.PrinterTime, 141);
    c.PrinterFont = p.u8(151);
    c.PrinterFontFormat = p.u8(152);
    c.IaPadding = p.u8(153);
    c.PrinterIndex = p.u32(154);
    c.PrinterIndexDigits = p.u8(158);
    c.PrinterIndexFormat = p.u8(159);
    c.PrinterPosition = p.u32(160);
    p.utf16(c.PrinterWriteSequence1, 164);
    p.utf16(c.PrinterWriteSequence2, 204);
    p.utf16(c.PrinterWriteSequence3, 224);
    p.utf16(c.PrinterWriteSequenceMessage1, 244);
    p.utf16(c.PrinterWriteSequenceMessage2, 324);
    p.utf16(c.PrinterWriteSequenceMessage3, 364);
    p.utf16(c.PrinterWriteSequenceMessage4, 404);
    p.utf16(c.PrinterWriteSequenceMessage5, 444);
    p.utf16(c.PrinterWriteSequenceMessage6, 484);
    c.PrinterTest = p.u8(524);
    c.CountOnlyMode = p.u8(525);
    c.PreviewMode = p.u8(526);
    c.PreviewImageAcquire = p.u8(527);
    c.PreviewQuality = p.u8(528);
    c.EcdoCustomLearn = p.u8(529);
    c.EcdoCustomClearData = p.u8(530);
    c.StapleDetection = p.u8(531);
    c.SheetHeight = p.u32(532);
    c.ImageMerge = p.u8(536);
    c.MagnificationFrontX = p.u16(537);
    c.MagnificationFrontY = p.u16(539);
    c.MagnificationRearX = p.u16(541);
    c.MagnificationRearY = p.u16(543);
    c.DualStackingEnabled = p.u8(545);
    c.DualStackingLength1 = p.u32(546);
    c.DualStackingMode = p.u8(550);
    c.DualStackingStack = p.u8(551);
    c.DualStackingLengthMode = p.u8(552);
    c.DualStackingLength2 = p.u32(553);
    c.DualStackingMultifeed = p.u8(557);
    c.DualStackingPatchTransfer = p.u8(558);
    c.DualStackingPatchType1 = p.u8(559);
    c.DualStackingPatchType2 = p.u8(560);
    c.DualStackingPatchType3 = p.u8(561);
    c.DualStackingPatchType4 = p.u8(562);
    c.DualStackingPatchType6 = p.u8(563);
    c.IndexingFormat = p.u8(564);
    p.utf16(c.IaScanner, 565);
    p.utf16(c.IaTemplateA, 625);
    p.utf16(c.IaTemplateB, 643);
    p.utf16(c.IaTemplateC, 661);
    p.utf16(c.IaTemplateD, 679);
    c.IntelligentDocumentProtection = p.u8(697);
    c.PaperJamResponse = p.u8(698);
    c.PrinterTimeFormat = p.u8(699);
    c.PrinterIndexIncrement = p.u8(700);
    c.PrinterIndexReset = p.u8(701);
    c.PrinterIndexResetValue = p.u32(702);
    c.PrintOnImageFront = p.u8(706);
    c.PrintOnImageRear = p.u8(707);
    c.PrintOnImagePositionX = p.u32(708);
    c.PrintOnImagePositionY = p.u32(712);
    c.PatchType10 = p.u8(716);
    c.PatchType11 = p.u8(717);
    c.PatchType12 = p.u8(718);
    c.PatchType13 = p.u8(719);
    c.PatchType14 = p.u8(720);
    c.PatchType15 = p.u8(721);
    c.IndexingDocument = p.u32(722);
    c.IndexingSheet = p.u32(726);
    c.IndexingPrintOnPatch = p.u8(730);
    c.DualStackingPatchType10 = p.u8(731);
    c.DualStackingPatchType11 = p.u8(732);
    c.DualStackingPatchType12 = p.u8(733);
    c.DualStackingPatchType13 = p.u8(734);
    c.DualStackingPatchType14 = p.u8(735);
    c.DualStackingPatchType15 = p.u8(736);
    c.PrinterFontResize = p.u8(737);
    c.PaperDestination = p.u8(738);
    c.AdfSeparation = p.u8(739);
    c.AdfActiveFeed = p.u8(740);
    c.FlatbedMultiDocLocate = p.u8(741);
    c.SleeveDocument = p.u8(742);
    c.SleeveMultiDocLocate = p.u8(743);
    c.SplitDocumentCount = p.u8(744);
    c.SplitDocumentDirection = p.u8(745);
    c.SplitDocumentLengthMode = p.u8(746);
    c.SplitDocumentLength1 = p.u32(747);
    c.SplitDocumentLength2 = p.u32(751);
    c.SheetCount = p.u16(755);
    c.SnapToSize = p.u8(757);
}

QByteArray hex(const char *h)
{
    return QByteArray::fromHex(h);
}

QStringList g_messages;

void captureMessage(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    g_messages.append(msg);
}

} // namespace

class TestScannerConfig : public QObject
{
    Q_OBJECT

private slots:
    void everyByteAtItsOffset();
    void knownFieldBytes();
    void decodeFillsNamedFields();
    void readModifyWriteIsByteExact();
    void decodeUsesFirstRecordOfLongerReply();
    void truncatedInputFailsAndKeepsRecord();
    void textFieldsAreUtf16BigEndian();
    void dumpLines();
    void outputConfigFollowsTraceSwitch();
};

void TestScannerConfig::everyByteAtItsOffset()
{
    Pattern p(tagSCANNER_CONFIGRATION::WireSize);
    tagSCANNER_CONFIGRATION c;
    fillConfig(c, p);
    QCOMPARE(p.clashes(), 0);
    QCOMPARE(p.coveredBytes(), 758);  // no reserved byte in this record

    QByteArray wire;
    encodeScannerConfig(c, wire);
    QCOMPARE(wire.size(), 758);
    const QByteArray want = p.full();
    for (int i = 0; i < want.size(); ++i) {
        if (wire.at(i) != want.at(i))
            QFAIL(qPrintable(QString("byte %1 is %2, expected %3")
                                 .arg(i)
                                 .arg(quint8(wire.at(i)))
                                 .arg(quint8(want.at(i)))));
    }
}

void TestScannerConfig::knownFieldBytes()
{
    tagSCANNER_CONFIGRATION c;
    c.AdfTimeout = 15;
    c.AdfTimeoutFirstPage = 15;
    c.MultifeedLength = 2400;
    c.SheetHeight = 14028;
    c.MagnificationFrontX = 10000;
    c.MagnificationRearY = 20000;
    c.PrinterIndexResetValue = 999999999;
    c.SheetCount = 32767;
    c.SnapToSize = 1;
    QByteArray wire;
    encodeScannerConfig(c, wire);

    QCOMPARE(wire.mid(3, 4), hex("000f000f"));
    QCOMPARE(wire.mid(89, 4), hex("00000960"));
    QCOMPARE(wire.mid(532, 4), hex("000036cc"));
    QCOMPARE(wire.mid(537, 2), hex("2710"));
    QCOMPARE(wire.mid(543, 2), hex("4e20"));
    QCOMPARE(wire.mid(702, 4), hex("3b9ac9ff"));
    QCOMPARE(wire.mid(755, 3), hex("7fff01"));
    // Nothing else was set: the non-zero bytes above are all there are.
    int nonZero = 0;
    for (char b : wire)
        nonZero += b != 0;
    QCOMPARE(nonZero, 17);
}

void TestScannerConfig::decodeFillsNamedFields()
{
    Pattern p(tagSCANNER_CONFIGRATION::WireSize);
    tagSCANNER_CONFIGRATION filled;
    fillConfig(filled, p);

    tagSCANNER_CONFIGRATION decoded;
    QVERIFY(decodeScannerConfig(p.full(), decoded));
    // The dump names every field, so equal dumps mean every named field got
    // the value at its own offset.
    QCOMPARE(formatConfig(decoded), formatConfig(filled));
    QCOMPARE(decoded.SheetHeight, p.u32(532));
    QCOMPARE(decoded.IaTemplateD.units, filled.IaTemplateD.units);
    QCOMPARE(decoded.PrinterWriteSequenceMessage6.units, filled.PrinterWriteSequenceMessage6.units);
}

void TestScannerConfig::readModifyWriteIsByteExact()
{
    // A device record whose texts carry bytes after their terminator and
    // whose numbers use every byte: read, change the magnification, write.
    QByteArray device = Pattern(758).full();
    device.replace(21, 4, hex("0041" "0000"));  // IaStarting "A", then a stale tail
    tagSCANNER_CONFIGRATION c;
    QVERIFY(decodeScannerConfig(device, c));
    QCOMPARE(c.IaStarting.text(), QString("A"));

    QByteArray back;
    encodeScannerConfig(c, back);
    QCOMPARE(back, device);

    c.MagnificationFrontX = 10000;
    c.MagnificationFrontY = 10001;
    c.MagnificationRearX = 9999;
    c.MagnificationRearY = 5000;
    encodeScannerConfig(c, back);
    QByteArray want = device;
    want.replace(537, 8, hex("2710" "2711" "270f" "1388"));
    QCOMPARE(back, want);
}

void TestScannerConfig::decodeUsesFirstRecordOfLongerReply()
{
    // The command layer reads into a 1024-byte buffer.
    QByteArray reply = Pattern(758).full() + QByteArray(266, '\x5a');
    tagSCANNER_CONFIGRATION c;
    QVERIFY(decodeScannerConfig(reply, c));
    QByteArray back;
    encodeScannerConfig(c, back);
    QCOMPARE(back, reply.left(758));
}

void TestScannerConfig::truncatedInputFailsAndKeepsRecord()
{
    const QByteArray full = Pattern(758).full();
    tagSCANNER_CONFIGRATION c;
    c.SheetHeight = 12345;
    c.PrinterDate.setText("keep");
    for (int len = 0; len < 758; ++len) {
        QVERIFY2(!decodeScannerConfig(full.left(len), c), qPrintable(QString::number(len)));
        QCOMPARE(c.SheetHeight, 12345u);
        QCOMPARE(c.PrinterDate.text(), QString("keep"));
    }
}

void TestScannerConfig::textFieldsAreUtf16BigEndian()
{
    tagSCANNER_CONFIGRATION c;
    // Full length: 5 units, no terminator on the wire.
    QVERIFY(c.PrinterTime.setText("12:34"));
    // Overlong: cut to the 9 units of the field.
    QVERIFY(!c.IaTemplateA.setText(QString::fromUtf8("0123456789AB")));
    QVERIFY(c.PrinterWriteSequence1.setText(QString::fromUtf8("扫描-A")));
    QByteArray wire;
    encodeScannerConfig(c, wire);

    QCOMPARE(wire.mid(141, 10), hex("00310032003a00330034"));
    QCOMPARE(wire.at(151), '\0');  // PrinterFont follows directly
    QCOMPARE(wire.mid(625, 18), hex("003000310032003300340035003600370038"));
    QCOMPARE(wire.at(643), '\0');  // IaTemplateB untouched by the overflow
    QCOMPARE(wire.mid(164, 10), hex("626b63cf002d00410000"));

    tagSCANNER_CONFIGRATION back;
    QVERIFY(decodeScannerConfig(wire, back));
    QCOMPARE(back.PrinterTime.text(), QString("12:34"));
    QCOMPARE(back.IaTemplateA.text(), QString("012345678"));
    QCOMPARE(back.PrinterWriteSequence1.text(), QString::fromUtf8("扫描-A"));
}

void TestScannerConfig::dumpLines()
{
    tagSCANNER_CONFIGRATION c;
    c.AdfHandling = 6;
    c.AdfTimeout = 120;
    c.IaStarting.setText("ABC");
    c.MultifeedLength = 2400;
    c.SheetHeight = 14028;
    c.EcdoCustomLearn = 255;
    c.DualStackingLength1 = 7200;
    c.SnapToSize = 1;
    const QStringList lines = formatConfig(c).split('\n');
    QCOMPARE(lines.size(), 142 + 1);  // one line per field, each ended by a line feed
    QVERIFY(lines.last().isEmpty());
    QCOMPARE(lines.at(0), QString("AdfAutoStart (0-1): 0"));
    QCOMPARE(lines.at(1), QString("AdfHandling (0-6): 6"));
    QCOMPARE(lines.at(3), QString("AdfTimeout (0-120): 120"));
    QVERIFY(lines.contains("IaStarting[60]: ABC"));
    QVERIFY(lines.contains("MultifeedLength: 2400"));
    QVERIFY(lines.contains("SheetHeight (2.05-120inch): 14028"));
    QVERIFY(lines.contains("EcdoCustomLearn (0-0xFF): 255"));
    QVERIFY(lines.contains("DualStackingLength1 (1/1200inch): 7200"));
    QCOMPARE(lines.at(141), QString("SnapToSize (0-1):1"));
}

void TestScannerConfig::outputConfigFollowsTraceSwitch()
{
    const int savedMode = DebugTrace::m_DebugMode;
    QtMessageHandler previous = qInstallMessageHandler(captureMessage);
    tagSCANNER_CONFIGRATION c;
    c.SheetCount = 77;

    g_messages.clear();
    DebugTrace::m_DebugMode = 0;
    outputConfig(c);
    const QStringList silent = g_messages;

    DebugTrace::m_DebugMode = 2;
    outputConfig(c);
    const QStringList traced = g_messages;

    qInstallMessageHandler(previous);
    DebugTrace::m_DebugMode = savedMode;

    QVERIFY(silent.isEmpty());
    QCOMPARE(traced.size(), 1);  // the whole dump is one message
    QCOMPARE(traced.first(), formatConfig(c));
    QVERIFY(traced.first().contains("SheetCount (0-32767): 77\n"));
}

QTEST_GUILESS_MAIN(TestScannerConfig)
#include "test_scannerconfig.moc"

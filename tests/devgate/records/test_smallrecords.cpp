#include "smallrecords.h"

#include <QtTest>

namespace {

QByteArray hex(const char *h)
{
    return QByteArray::fromHex(h);
}

QByteArray barcodeRecord(const QByteArray &text)
{
    tagBARCODE_RESULT rec;
    rec.Flags = {{1, 2, 3}};
    rec.Numbers = {{10, 20, 30, 40}};
    rec.Number = 50;
    rec.Text.setText(QString::fromLatin1(text));
    QByteArray wire;
    encodeBarcodeResult(rec, wire);
    return wire;
}

} // namespace

class TestSmallRecords : public QObject
{
    Q_OBJECT

private slots:
    void clock();
    void lowPower();
    void scanEnd();
    void barcodeRecordLayout();
    void barcodeTextsOfShortReplies();
    void snapToSizeList();
    void snapToSizeListDecode();
    void truncatedInputFails();
};

void TestSmallRecords::clock()
{
    const tagTIME_DATE_LOCAL now = timeDateLocalFrom(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 59)));
    QByteArray wire;
    encodeTimeDateLocal(now, wire);
    QCOMPARE(wire, hex("0e 07 03 05 07 e8"));

    tagTIME_DATE_LOCAL back;
    QVERIFY(decodeTimeDateLocal(hex("17 3b 0c 1f 08 34") + QByteArray(10, '\x11'), back));
    QCOMPARE(back.hour, quint8(23));
    QCOMPARE(back.minute, quint8(59));
    QCOMPARE(back.month, quint8(12));
    QCOMPARE(back.day, quint8(31));
    QCOMPARE(back.year, quint16(2100));
}

void TestSmallRecords::lowPower()
{
    tagLOW_POWER_MODE_TIMEOUT rec;
    rec.PowerSaver = 15;
    rec.PowerOff = 60;
    rec.PowerOffEnabled = 1;
    QByteArray wire;
    encodeLowPowerModeTimeout(rec, wire);
    QCOMPARE(wire, hex("0f 3c 01"));

    tagLOW_POWER_MODE_TIMEOUT back;
    QVERIFY(decodeLowPowerModeTimeout(hex("05 f0 00"), back));
    QCOMPARE(back.PowerSaver, quint8(5));
    QCOMPARE(back.PowerOff, quint8(240));
    QCOMPARE(back.PowerOffEnabled, quint8(0));
}

void TestSmallRecords::scanEnd()
{
    const QByteArray reply = hex("00000001 00000203 00040506 a1b2c3d4 3b9ac9fe");
    tagSCAN_END rec;
    QVERIFY(decodeScanEnd(reply, rec));
    QCOMPARE(rec.Value0, 1u);
    QCOMPARE(rec.Value4, 0x203u);
    QCOMPARE(rec.Value8, 0x40506u);
    QCOMPARE(rec.StampStartIndex, 999999998u);
    QByteArray wire;
    encodeScanEnd(rec, wire);
    QCOMPARE(wire, reply);  // bytes 12-15 go back as they came
}

void TestSmallRecords::barcodeRecordLayout()
{
    const QByteArray wire = barcodeRecord("4006381333931");
    QCOMPARE(wire.size(), 4117);
    QCOMPARE(wire.left(21), hex("010203 0000000a 00000014 0000001e 00000028 0032"));
    QCOMPARE(wire.mid(21, 14), QByteArray("4006381333931\0", 14));

    tagBARCODE_RESULT back;
    QVERIFY(decodeBarcodeResult(wire, back));
    QCOMPARE(back.Numbers[3], 40u);
    QCOMPARE(back.Number, quint16(50));
    QCOMPARE(back.Text.text(), QString("4006381333931"));

    // A text that fills the record ends at the record's end.
    const QByteArray longText(4096, 'Q');
    const QByteArray full = barcodeRecord(longText);
    QVERIFY(decodeBarcodeResult(full, back));
    QCOMPARE(back.Text.text().size(), 4096);
    QCOMPARE(barcodeTexts(full + barcodeRecord("next"), 2),
             QStringList({QString::fromLatin1(longText), "next"}));
}

void TestSmallRecords::barcodeTextsOfShortReplies()
{
    const QByteArray one = barcodeRecord("ABC-123");
    // Two announced, one delivered: the second text is empty.
    QCOMPARE(barcodeTexts(one, 2), QStringList({"ABC-123", QString()}));
    // A record cut inside its text keeps what arrived.
    QCOMPARE(barcodeTexts(one + barcodeRecord("XYZ").left(23), 2), QStringList({"ABC-123", "XY"}));
    // Cut inside the numbers: nothing of the text arrived.
    QCOMPARE(barcodeTexts(one + barcodeRecord("XYZ").left(10), 2), QStringList({"ABC-123", QString()}));
    QCOMPARE(barcodeTexts(QByteArray(), 3), QStringList({QString(), QString(), QString()}));
    QCOMPARE(barcodeTexts(one, 0), QStringList());
    QCOMPARE(barcodeTexts(one, -1), QStringList());
    // Latin-1 text.
    QCOMPARE(barcodeTexts(barcodeRecord("\xc4rger"), 1), QStringList({QString::fromLatin1("\xc4rger")}));
    // The most the device can announce, with nothing delivered.
    QCOMPARE(barcodeTexts(QByteArray(), 255).size(), 255);
}

void TestSmallRecords::snapToSizeList()
{
    bool sizes[kSnapPageSizeCount] = {};
    sizes[3 - 1] = true;
    sizes[7 - 1] = true;
    QCOMPARE(encodeSnapToSizeList(true, sizes),
             hex("00000002 000027d8 00003390 000026b8 000036cc"));
    QCOMPARE(encodeSnapToSizeList(false, sizes), hex("00000000"));

    bool none[kSnapPageSizeCount] = {};
    QCOMPARE(encodeSnapToSizeList(true, none), hex("00000000"));

    bool all[kSnapPageSizeCount];
    std::fill(std::begin(all), std::end(all), true);
    const QByteArray list = encodeSnapToSizeList(true, all);
    QCOMPARE(list.size(), 4 + 8 * 23);
    QCOMPARE(list.left(12), hex("00000017 00003390 00004fb0"));  // 11 x 17 first
    QCOMPARE(list.mid(4 + 8 * 5, 8), hex("000036cc 00004d7c"));  // A3
    QCOMPARE(list.right(8), hex("00000ee8 00001500"));         // last size
    QCOMPARE(snapPageSize(15).width, 12132u);
    QCOMPARE(snapPageSize(15).height, 17196u);
    QCOMPARE(snapPageSize(0).width, 0u);
    QCOMPARE(snapPageSize(24).height, 0u);
}

void TestSmallRecords::snapToSizeListDecode()
{
    QVector<SnapSize> sizes;
    QVERIFY(decodeSnapToSizeList(hex("00000002 000027d8 00003390 000026b8 000036cc"), sizes));
    QCOMPARE(sizes.size(), 2);
    QCOMPARE(sizes.at(1).width, 9912u);
    QCOMPARE(sizes.at(1).height, 14028u);
    QVERIFY(decodeSnapToSizeList(hex("00000000"), sizes));
    QVERIFY(sizes.isEmpty());

    sizes = {SnapSize{1, 2}};
    // The count and the length must agree exactly.
    QVERIFY(!decodeSnapToSizeList(hex("00000002 000027d8 00003390"), sizes));
    QVERIFY(!decodeSnapToSizeList(hex("00000001 000027d8 00003390 00"), sizes));
    QVERIFY(!decodeSnapToSizeList(hex("ffffffff 000027d8 00003390"), sizes));
    QVERIFY(!decodeSnapToSizeList(hex("000000"), sizes));
    QVERIFY(!decodeSnapToSizeList(QByteArray(), sizes));
    QCOMPARE(sizes.size(), 1);
    QCOMPARE(sizes.at(0).height, 2u);
}

void TestSmallRecords::truncatedInputFails()
{
    const QByteArray clock = hex("0e 07 03 05 07 e8");
    tagTIME_DATE_LOCAL t;
    t.year = 1999;
    for (int len = 0; len < 6; ++len)
        QVERIFY(!decodeTimeDateLocal(clock.left(len), t));
    QCOMPARE(t.year, quint16(1999));

    tagLOW_POWER_MODE_TIMEOUT lp;
    lp.PowerOff = 9;
    for (int len = 0; len < 3; ++len)
        QVERIFY(!decodeLowPowerModeTimeout(hex("0f3c01").left(len), lp));
    QCOMPARE(lp.PowerOff, quint8(9));

    const QByteArray end = hex("00000001 00000203 00040506 a1b2c3d4 3b9ac9fe");
    tagSCAN_END se;
    se.StampStartIndex = 7;
    for (int len = 0; len < 20; ++len)
        QVERIFY(!decodeScanEnd(end.left(len), se));
    QCOMPARE(se.StampStartIndex, 7u);

    const QByteArray barcode = barcodeRecord("KEEP?");
    tagBARCODE_RESULT bc;
    bc.Text.setText("kept");
    for (int len = 0; len < tagBARCODE_RESULT::WireSize; ++len) {
        if (decodeBarcodeResult(barcode.left(len), bc))
            QFAIL(qPrintable(QString("decoded from %1 bytes").arg(len)));
    }
    QCOMPARE(bc.Text.text(), QString("kept"));
}

QTEST_GUILESS_MAIN(TestSmallRecords)
#include "test_smallrecords.moc"

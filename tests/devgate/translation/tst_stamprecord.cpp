#include "parsercommand.h"
#include "stampfont.h"
#include "translationfixture.h"

#include <QtTest>

#include <cstring>

namespace {

QByteArray recordBytes(const StampRecord &r)
{
    QByteArray out;
    encodeStampRecord(r, out);
    return out;
}

void setTemplate(tagSTAMP_CONFIG &s, const char *templateSlots)
{
    std::memset(s.textTemplate, 'Z', sizeof s.textTemplate);
    std::memcpy(s.textTemplate, templateSlots, std::strlen(templateSlots));
}

// The character codes of a parsed font block, in block order.
QByteArray glyphCodes(const QByteArray &block)
{
    StampFont::Block parsed;
    QString why;
    if (!StampFont::parseFontBlock(block, parsed, &why))
        qWarning("font block rejected: %s", qPrintable(why));
    QByteArray codes;
    for (const StampFont::Glyph &g : qAsConst(parsed.glyphs))
        codes.append(char(g.metrics.charCode));
    return codes;
}

} // namespace

class TestStampRecord : public QObject
{
    Q_OBJECT

private slots:
    void builtInStamp();
    void conversions();
    void unitConversions_data();
    void unitConversions();
    void borderWithoutContentIsCleared_data();
    void borderWithoutContentIsCleared();
    void wireRoundTrip();
    void messageCharacters_data();
    void messageCharacters();
    void fontBlockFollowsTheStamp();
};

void TestStampRecord::builtInStamp()
{
    const tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    ParserCommand parser;
    StampRecord rec;
    QByteArray font("untouched");
    QVERIFY(parser.mergeStampConfig(rec, &p, font));
    QCOMPARE(font, QByteArray("untouched"));

    WireBytes want(346);
    want.u8(1, 9);
    for (int i = 0; i < 40; ++i)
        want.u8(6 + i, 'Z');
    want.u8(79, 9).u8(80, 2);
    want.be16(328, 75); // 0.063 inch
    want.u8(330, 100);
    QCOMPARE(firstDifference(recordBytes(rec), want.bytes()), -1);
}

void TestStampRecord::conversions()
{
    tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    tagSTAMP_CONFIG &s = p.stampConfig;
    s.textStampOn = 0;
    s.textSize = 12;
    s.textColor = 0x12345600u;    // red 0x12, green 0x34, blue 0x56
    s.borderColor = 0xA0B0C0FFu;  // the low byte carries nothing
    setTemplate(s, "YN T S1 6");
    setStampDateText(s, "2024/05/06");
    setStampTimeText(s, "12:34");
    setStampMessage(s, 0, "Hello");
    setStampMessage(s, 5, "ABCDEFGHIJKLMNOPQRST"); // fills the field, no terminator
    s.dateDelimiter = 3;
    s.dateFormat = 8;
    s.timeFormat = 7;
    s.counterWidth = 5;
    s.counterLeadingZero = 1;
    s.graphicStampOn = 1;
    s.graphicAlignment = 1;
    s.borderOn = 1;
    s.borderThickness = 63;
    s.opacity = 55;
    s.stampSide = 2;
    s.firstPageOnly = 1;
    s.originX = 850;
    s.originY = 1;
    s.orientation = 3;
    s.counterStart = 0xDEADBEEFu; // ignored: the profile's counter is sent
    p.stampCounter = 123456;

    ParserCommand parser;
    StampRecord rec;
    QByteArray font;
    QVERIFY(parser.mergeStampConfig(rec, &p, font));
    const QByteArray b = recordBytes(rec);
    QCOMPARE(b.size(), 346);

    WireBytes want(346);
    want.u8(1, 12).be32(2, 0x00123456u);
    const QByteArray tmpl = QByteArray("YN T S1 6").leftJustified(40, 'Z');
    for (int i = 0; i < 40; ++i)
        want.u8(6 + i, quint8(tmpl[i]));
    want.utf16be(46, "2024/05/06").u8(66, 3).u8(67, 8);
    want.utf16be(68, "12:34").u8(78, 7).u8(79, 5).u8(80, 1);
    want.utf16be(81, "Hello").utf16be(81 + 5 * 40, "ABCDEFGHIJKLMNOPQRST");
    want.u8(321, 1).u8(322, 1).u8(323, 1).be32(324, 0x00A0B0C0u);
    want.be16(328, 75).u8(330, 55).u8(331, 2).u8(332, 1);
    want.be32(333, 10200).be32(337, 12).u8(341, 3);
    want.be32(342, 123456);
    QCOMPARE(firstDifference(b, want.bytes()), -1);
    QVERIFY(font.isEmpty()); // text imprinting is off
}

void TestStampRecord::unitConversions_data()
{
    QTest::addColumn<int>("thousandths");
    QTest::addColumn<int>("thickness");
    QTest::addColumn<uint>("hundredths");
    QTest::addColumn<uint>("origin");
    QTest::newRow("typical") << 63 << 75 << 850u << 10200u;
    QTest::newRow("zero") << 0 << 0 << 0u << 0u;
    QTest::newRow("one inch") << 1000 << 1200 << 100u << 1200u;
    QTest::newRow("smallest step") << 1 << 1 << 1u << 12u;
    QTest::newRow("thickness beyond the field is held at its top") << 65535 << 65535 << 250u << 3000u;
    QTest::newRow("absurd origin does not wrap") << 10 << 12 << 0xFFFFFFFFu << 257698020u;
}

void TestStampRecord::unitConversions()
{
    QFETCH(int, thousandths);
    QFETCH(int, thickness);
    QFETCH(uint, hundredths);
    QFETCH(uint, origin);
    QCOMPARE(int(StampConvert::borderThicknessToDevice(quint16(thousandths))), thickness);
    QCOMPARE(StampConvert::originToDevice(hundredths), origin);
}

void TestStampRecord::borderWithoutContentIsCleared_data()
{
    QTest::addColumn<int>("text");
    QTest::addColumn<QByteArray>("templateSlots");
    QTest::addColumn<int>("graphic");
    QTest::addColumn<QString>("graphicFile");
    QTest::addColumn<int>("border");
    QTest::newRow("nothing at all") << 0 << QByteArray("Y") << 0 << "logo.png" << 0;
    QTest::newRow("text with content") << 1 << QByteArray("Y") << 0 << "" << 1;
    QTest::newRow("text with an empty first slot") << 1 << QByteArray("ZY") << 0 << "" << 0;
    QTest::newRow("graphic with a file") << 0 << QByteArray("Y") << 1 << "logo.png" << 1;
    QTest::newRow("graphic without a file") << 0 << QByteArray("Y") << 1 << "" << 0;
    QTest::newRow("graphic in an unknown state") << 0 << QByteArray("Y") << 2 << "" << 1;
}

void TestStampRecord::borderWithoutContentIsCleared()
{
    QFETCH(int, text);
    QFETCH(QByteArray, templateSlots);
    QFETCH(int, graphic);
    QFETCH(QString, graphicFile);
    QFETCH(int, border);
    tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    p.stampConfig.textStampOn = quint8(text);
    setTemplate(p.stampConfig, templateSlots.constData());
    p.stampConfig.graphicStampOn = quint8(graphic);
    p.stampConfig.borderOn = 1;
    setScanText(p.stampGraphicFile, graphicFile);
    ParserCommand parser;
    StampRecord rec;
    QByteArray font;
    QVERIFY(parser.mergeStampConfig(rec, &p, font));
    QCOMPARE(int(quint8(recordBytes(rec)[323])), border);
}

void TestStampRecord::wireRoundTrip()
{
    tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    setStampMessage(p.stampConfig, 2, QString::fromUtf8("Grüße"));
    p.stampConfig.originY = 1234;
    p.stampCounter = -1;
    ParserCommand parser;
    StampRecord rec;
    QByteArray font;
    QVERIFY(parser.mergeStampConfig(rec, &p, font));
    const QByteArray wire = recordBytes(rec);
    QCOMPARE(be32At(wire, 342), 0xFFFFFFFFu);

    StampRecord back;
    QVERIFY(decodeStampRecord(wire, back));
    QCOMPARE(back.messages[2].text(), QString::fromUtf8("Grüße"));
    QCOMPARE(back.originY, 14808u);
    QCOMPARE(recordBytes(back), wire);

    StampRecord untouched;
    untouched.opacity = 7;
    QVERIFY(!decodeStampRecord(wire.left(345), untouched));
    QVERIFY(!decodeStampRecord(wire + '\0', untouched));
    QCOMPARE(int(untouched.opacity), 7);
}

void TestStampRecord::messageCharacters_data()
{
    QTest::addColumn<QByteArray>("templateSlots");
    QTest::addColumn<QString>("message1");
    QTest::addColumn<QString>("message2");
    QTest::addColumn<QByteArray>("extra");
    QTest::newRow("date and counter only") << QByteArray("YS") << "ABA" << "Q" << QByteArray();
    QTest::newRow("message used twice") << QByteArray("1N1") << "ABA" << "" << QByteArray("AB");
    QTest::newRow("two messages in template order") << QByteArray("2 1") << "cab" << "bd"
                                                    << QByteArray("bdca");
    QTest::newRow("latin-1 kept above 0x7f") << QByteArray("1") << QString::fromUtf8("é1ÿ") << ""
                                             << QByteArray("\xE9" "1" "\xFF");
    QTest::newRow("beyond latin-1") << QByteArray("1") << QString::fromUtf8("x中") << ""
                                    << QByteArray("x?");
}

void TestStampRecord::messageCharacters()
{
    QFETCH(QByteArray, templateSlots);
    QFETCH(QString, message1);
    QFETCH(QString, message2);
    QFETCH(QByteArray, extra);
    tagSTAMP_CONFIG s;
    std::memset(&s, 0, sizeof s);
    setTemplate(s, templateSlots.constData());
    setStampMessage(s, 0, message1);
    setStampMessage(s, 1, message2);
    QCOMPARE(stampMessageCharacters(s), extra);
}

void TestStampRecord::fontBlockFollowsTheStamp()
{
    tagSCAN_SHORTCUT_MENU p = builtInProfile(0);
    tagSTAMP_CONFIG &s = p.stampConfig;
    s.textStampOn = 1;
    s.textSize = 9;
    s.borderOn = 1;
    setTemplate(s, "Z1N1");
    setStampMessage(s, 0, QString::fromUtf8("ABAé"));

    ParserCommand parser;
    StampRecord rec;
    QByteArray font("prefix");
    QVERIFY(parser.mergeStampConfig(rec, &p, font));
    QVERIFY(font.startsWith("prefix")); // appended, not replaced
    const QByteArray block = font.mid(6);
    QCOMPARE(glyphCodes(block), QByteArray("0123456789.:-/ AMPXAB\xE9"));
    // The block is built from the stamp as edited: border on gives the wider
    // gap even though the record drops the border (the first slot is empty).
    QCOMPARE(be32At(block, block.size() - 8), 10u);
    QCOMPARE(int(quint8(recordBytes(rec)[323])), 0);
}

QTEST_GUILESS_MAIN(TestStampRecord)
#include "tst_stamprecord.moc"

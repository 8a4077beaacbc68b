#include "freetypehelper.h"
#include "parsercommand.h"
#include "stampfont.h"

#include <QtTest>

namespace {

quint32 le32(const QByteArray &b, int off)
{
    return quint32(quint8(b[off + 3])) << 24 | quint32(quint8(b[off + 2])) << 16 |
           quint32(quint8(b[off + 1])) << 8 | quint8(b[off]);
}

quint32 be32(const QByteArray &b, int off)
{
    return quint32(quint8(b[off])) << 24 | quint32(quint8(b[off + 1])) << 16 |
           quint32(quint8(b[off + 2])) << 8 | quint8(b[off + 3]);
}

QByteArray block(int size, const QByteArray &extra, int orientation, int border)
{
    QByteArray out;
    ParserCommand parser;
    parser.stampText(out, size, extra, orientation, border);
    return out;
}

StampFont::Block parse(const QByteArray &bytes)
{
    StampFont::Block b;
    QString why;
    if (!StampFont::parseFontBlock(bytes, b, &why))
        qWarning("rejected: %s", qPrintable(why));
    return b;
}

// A block of two tiny glyphs, made by hand, for the parser tests.
QByteArray handMadeBlock()
{
    QByteArray b;
    auto le = [&b](quint32 v) {
        for (int i = 0; i < 4; ++i)
            b.append(char(v >> (8 * i)));
    };
    le(1);
    le(2);
    for (quint32 w : {3u, 0u}) { // a 3x2 glyph, then an empty one
        le('a' + w);
        for (int i = 0; i < 6; ++i)
            le(0);
        le(w);
        le(w ? 2 : 0);
        if (w)
            b.append(QByteArray::fromHex("102030405060") + QByteArray(2, '\0'));
    }
    b.append(QByteArray::fromHex("0000000b 00000005 00000009"));
    return b;
}

} // namespace

class TestStampFont : public QObject
{
    Q_OBJECT

private slots:
    void fixedCharactersOnly();
    void extraCharactersAreRenderedUnsigned();
    void rotatedMetrics();
    void gap_data();
    void gap();
    void noFontGivesEmptyGlyphs();
    void fontLookup();
    void rowsPackedByPitch();
    void parserRejectsInconsistentBlocks_data();
    void parserRejectsInconsistentBlocks();
};

void TestStampFont::fixedCharactersOnly()
{
    const QByteArray b = block(9, QByteArray(), 0, 0);
    QCOMPARE(le32(b, 0), 1u);
    QCOMPARE(le32(b, 4), 19u);

    // Walk the block by hand: every glyph's size adds up, rows are padded to
    // whole words and the padding is zero.
    int pos = 8;
    const QByteArray fixed = "0123456789.:-/ AMPX";
    for (int i = 0; i < 19; ++i) {
        QCOMPARE(int(le32(b, pos)), int(quint8(fixed[i])));
        const int width = int(le32(b, pos + 28));
        const int rows = int(le32(b, pos + 32));
        QVERIFY(width >= 0 && rows >= 0);
        if (fixed[i] != ' ') {
            QVERIFY2(width > 0 && rows > 0, fixed.mid(i, 1).constData());
            QVERIFY(int(le32(b, pos + 4)) > 0); // advance
        }
        const int pixels = width * rows;
        const int padded = (pixels + 3) / 4 * 4;
        const QByteArray bitmap = b.mid(pos + 36, pixels);
        if (pixels > 0)
            QVERIFY(bitmap.count('\0') < pixels); // some ink
        QCOMPARE(b.mid(pos + 36 + pixels, padded - pixels), QByteArray(padded - pixels, '\0'));
        pos += 36 + padded;
    }
    QCOMPARE(b.size(), pos + 12);
    const quint32 lineHeight = be32(b, pos);
    const quint32 ascender = be32(b, pos + 8);
    QCOMPARE(be32(b, pos + 4), 5u);
    QVERIFY(lineHeight >= 9 && lineHeight < 30);
    QVERIFY(ascender > 0 && ascender <= lineHeight);

    const StampFont::Block parsed = parse(b);
    QCOMPARE(parsed.glyphs.size(), 19);
    QCOMPARE(parsed.lineHeight, lineHeight);
    // Digits stand on the baseline: their top is above it.
    QVERIFY(parsed.glyphs[0].metrics.negBearingY < 0);
}

void TestStampFont::extraCharactersAreRenderedUnsigned()
{
    const QByteArray b = block(12, QByteArray("A\xE9\xFF", 3), 0, 0);
    const StampFont::Block parsed = parse(b);
    QCOMPARE(parsed.glyphs.size(), 22);
    QCOMPARE(parsed.glyphs[19].metrics.charCode, 'A');
    QCOMPARE(parsed.glyphs[20].metrics.charCode, 0xE9);
    QCOMPARE(parsed.glyphs[21].metrics.charCode, 0xFF);
    // 'A' is both a fixed and an extra character: the same glyph twice.
    QCOMPARE(parsed.glyphs[19].bitmap, parsed.glyphs[15].bitmap);
    // The accented e is taller than the plain letters around it.
    QVERIFY(parsed.glyphs[20].metrics.rows > 0);
    QVERIFY(parsed.glyphs[20].bitmap != parsed.glyphs[19].bitmap);
}

void TestStampFont::rotatedMetrics()
{
    const StampFont::Block upright = parse(block(16, QByteArray(), 0, 0));
    const StampFont::Block quarter = parse(block(16, QByteArray(), 1, 0));
    const StampFont::Block half = parse(block(16, QByteArray(), 2, 0));
    const StampFont::Block threeQuarter = parse(block(16, QByteArray(), 3, 0));
    QCOMPARE(quarter.glyphs.size(), 19);
    const int one = 1; // the digit 1: narrow and tall
    const tagFONT_TABLE_DATA &u = upright.glyphs[one].metrics;
    QVERIFY(u.rows > u.width);
    for (const StampFont::Block *turned : {&quarter, &threeQuarter}) {
        const tagFONT_TABLE_DATA &q = turned->glyphs[one].metrics;
        QVERIFY(q.width > q.rows);
        QCOMPARE(q.advance, u.crossAdvance);
        QCOMPARE(q.crossAdvance, u.advance);
        QCOMPARE(q.bearingX, 0);
        QCOMPARE(q.negBearingY, 0);
        QCOMPARE(q.vertBearingX, 0);
        QCOMPARE(q.vertBearingY, 0);
    }
    const tagFONT_TABLE_DATA &h = half.glyphs[one].metrics;
    QVERIFY(h.rows > h.width);
    QCOMPARE(h.advance, u.advance);
    QCOMPARE(h.crossAdvance, u.crossAdvance);
    QCOMPARE(h.bearingX, 0);
    QCOMPARE(h.negBearingY, 0);
}

void TestStampFont::gap_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("border");
    QTest::addColumn<int>("gap");
    QTest::newRow("border off, small") << 6 << 0 << 5;
    QTest::newRow("border off, large") << 24 << 0 << 5;
    QTest::newRow("border on, 15") << 15 << 1 << 10;
    QTest::newRow("border on, 16") << 16 << 1 << 15;
    QTest::newRow("border flag other than 1") << 16 << 2 << 5;
}

void TestStampFont::gap()
{
    QFETCH(int, size);
    QFETCH(int, border);
    QFETCH(int, gap);
    const QByteArray b = block(size, QByteArray(), 0, border);
    QCOMPARE(int(be32(b, b.size() - 8)), gap);
}

void TestStampFont::noFontGivesEmptyGlyphs()
{
    FreeTypeHelper renderer;
    renderer.setFontFiles({QStringLiteral("/nonexistent/font.ttf")});
    QCOMPARE(renderer.getLinuxFont(), QString());
    QByteArray out("x");
    StampFont::appendFontBlock(out, renderer, 10, QByteArray("Q"), 0, 1);
    QCOMPARE(out.size(), 1 + 8 + 20 * 36 + 12);
    const QByteArray b = out.mid(1);
    QCOMPARE(le32(b, 4), 20u);
    QCOMPARE(b.mid(8, 20 * 36), QByteArray(20 * 36, '\0'));
    QCOMPARE(b.right(12), QByteArray::fromHex("00000000 0000000a 00000000"));
    QCOMPARE(parse(b).glyphs.size(), 20);

    // A file that exists but is no font is treated the same way.
    QTemporaryFile bogus;
    QVERIFY(bogus.open());
    bogus.write("not a font");
    bogus.flush();
    renderer.setFontFiles({bogus.fileName()});
    QByteArray again;
    StampFont::appendFontBlock(again, renderer, 10, QByteArray("Q"), 0, 1);
    QCOMPARE(again, b);
}

void TestStampFont::fontLookup()
{
    QTemporaryDir dir;
    const QString second = dir.filePath("second.ttf");
    const QString third = dir.filePath("third.ttf");
    for (const QString &f : {second, third}) {
        QFile file(f);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    FreeTypeHelper renderer;
    renderer.setFontFiles({dir.filePath("missing.ttf"), second, third});
    QCOMPARE(renderer.getLinuxFont(), second);
    QCOMPARE(FreeTypeHelper::defaultFontFiles().first(),
             QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"));
}

void TestStampFont::rowsPackedByPitch()
{
    // Three rows of two pixels in a buffer four bytes wide: the bytes beyond
    // each row must not leak into the glyph.
    const uchar padded[] = {1, 2, 0xEE, 0xEE, 3, 4, 0xEE, 0xEE, 5, 6, 0xEE, 0xEE};
    QCOMPARE(StampFont::packGlyphRows(padded, 2, 3, 4), QByteArray::fromHex("0102030405060000"));
    // Bottom-up: the buffer starts with the last row.
    QCOMPARE(StampFont::packGlyphRows(padded, 2, 3, -4), QByteArray::fromHex("0506030401020000"));
    QCOMPARE(StampFont::packGlyphRows(padded, 4, 1, 4), QByteArray::fromHex("0102eeee"));
    QCOMPARE(StampFont::packGlyphRows(padded, 0, 3, 4), QByteArray());
    QCOMPARE(StampFont::packGlyphRows(padded, 3, 2, 2), QByteArray()); // pitch narrower than a row
}

void TestStampFont::parserRejectsInconsistentBlocks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    const QByteArray good = handMadeBlock();
    QTest::newRow("hand made") << good << true;
    QTest::newRow("one byte short") << good.left(good.size() - 1) << false;
    QTest::newRow("stray byte") << good + '\0' << false;
    QByteArray b = good;
    b[0] = 2;
    QTest::newRow("unknown version") << b << false;
    b = good;
    b[4] = 3;
    QTest::newRow("count too high") << b << false;
    b = good;
    b[7] = char(0x7F);
    QTest::newRow("absurd count") << b << false;
    b = good;
    b[4] = 1;
    QTest::newRow("count too low") << b << false;
    b = good;
    b[8 + 28] = 5; // width 5: ten pixels take three words, and the next glyph no longer fits
    QTest::newRow("width grown") << b << false;
    b = good;
    b[8 + 31] = char(0x80); // negative width
    QTest::newRow("negative width") << b << false;
    b = good;
    b[8 + 28] = char(0xFF);
    b[8 + 29] = char(0xFF);
    b[8 + 30] = char(0xFF);
    b[8 + 31] = char(0x7F);
    b[8 + 35] = char(0x7F);
    QTest::newRow("size overflowing") << b << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestStampFont::parserRejectsInconsistentBlocks()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    StampFont::Block parsed;
    QString why;
    QCOMPARE(StampFont::parseFontBlock(bytes, parsed, &why), valid);
    QCOMPARE(why.isEmpty(), valid);
    if (valid) {
        QCOMPARE(parsed.glyphs.size(), 2);
        QCOMPARE(parsed.glyphs[0].metrics.charCode, int('d'));
        QCOMPARE(parsed.glyphs[0].bitmap, QByteArray::fromHex("102030405060"));
        QCOMPARE(parsed.glyphs[1].bitmap, QByteArray());
        QCOMPARE(parsed.lineHeight, 11u);
        QCOMPARE(parsed.gap, 5u);
        QCOMPARE(parsed.ascender, 9u);
    }
}

QTEST_GUILESS_MAIN(TestStampFont)
#include "tst_stampfont.moc"

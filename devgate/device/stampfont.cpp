#include "stampfont.h"

#include "bytes.h"
#include "freetypehelper.h"

#include <cstring>

namespace StampFont {

const char kFixedCharacters[] = "0123456789.:-/ AMPX";

int gapFor(int pixelSize, int borderFlag)
{
    if (borderFlag != 1)
        return 5;
    return pixelSize <= 15 ? 10 : 15;
}

QByteArray packGlyphRows(const uchar *buffer, int width, int rows, int pitch)
{
    if (!buffer || width <= 0 || rows <= 0)
        return QByteArray();
    const qint64 stride = pitch < 0 ? -qint64(pitch) : qint64(pitch);
    if (stride < width)
        return QByteArray();
    QByteArray out(static_cast<int>(paddedSize(qint64(width) * rows)), '\0');
    for (int r = 0; r < rows; ++r) {
        const qint64 srcRow = pitch < 0 ? rows - 1 - r : r;
        std::memcpy(out.data() + qint64(r) * width, buffer + srcRow * stride,
                    static_cast<size_t>(width));
    }
    return out;
}

QByteArray encodeTableData(const tagFONT_TABLE_DATA &d)
{
    QByteArray bytes(kTableDataSize, '\0');
    ByteWriter w(bytes);
    const qint32 words[] = {d.charCode, d.advance, d.vertBearingX, d.vertBearingY, d.crossAdvance,
                            d.bearingX, d.negBearingY, d.width, d.rows};
    for (int i = 0; i < 9; ++i)
        w.le32(size_t(i) * 4, static_cast<quint32>(words[i]));
    return bytes;
}

bool decodeTableData(const QByteArray &bytes, int offset, tagFONT_TABLE_DATA &out)
{
    if (offset < 0)
        return false;
    ByteReader r(bytes);
    qint32 words[9];
    for (int i = 0; i < 9; ++i)
        words[i] = static_cast<qint32>(r.le32(size_t(offset) + size_t(i) * 4));
    if (!r.ok())
        return false;
    out.charCode = words[0];
    out.advance = words[1];
    out.vertBearingX = words[2];
    out.vertBearingY = words[3];
    out.crossAdvance = words[4];
    out.bearingX = words[5];
    out.negBearingY = words[6];
    out.width = words[7];
    out.rows = words[8];
    return true;
}

void appendFontBlock(QByteArray &out, FreeTypeHelper &renderer, int pixelSize,
                     const QByteArray &extraCharacters, int orientation, int borderFlag)
{
    const QByteArray characters = QByteArray(kFixedCharacters) + extraCharacters;

    QByteArray glyphs;
    int maxLineHeight = 0;
    int maxAscender = 0;
    for (const char c : characters) {
        int lineHeight = 0;
        int maxAdvance = 0;
        int ascender = 0;
        tagFONT_TABLE_DATA table;
        QByteArray bitmap;
        renderer.drawFont(static_cast<uchar>(c), pixelSize, table, bitmap, lineHeight, maxAdvance,
                          ascender, orientation);
        glyphs += encodeTableData(table);
        glyphs += bitmap;
        maxLineHeight = qMax(maxLineHeight, lineHeight);
        maxAscender = qMax(maxAscender, ascender);
    }

    QByteArray header(kHeaderSize, '\0');
    ByteWriter h(header);
    h.le32(0, kBlockVersion);
    h.le32(4, static_cast<quint32>(characters.size()));

    // Unlike the header, the trailer is big-endian.
    QByteArray trailer(kTrailerSize, '\0');
    ByteWriter t(trailer);
    t.be32(0, static_cast<quint32>(maxLineHeight));
    t.be32(4, static_cast<quint32>(gapFor(pixelSize, borderFlag)));
    t.be32(8, static_cast<quint32>(maxAscender));

    out += header;
    out += glyphs;
    out += trailer;
}

namespace {
bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}
} // namespace

bool parseFontBlock(const QByteArray &bytes, Block &out, QString *error)
{
    const qint64 total = bytes.size();
    if (total < kHeaderSize + kTrailerSize)
        return fail(error, QStringLiteral("font block too short: %1 bytes").arg(total));
    ByteReader r(bytes);
    out = Block();
    out.version = r.le32(0);
    const quint32 count = r.le32(4);
    if (out.version != kBlockVersion)
        return fail(error, QStringLiteral("unknown font block version %1").arg(out.version));
    // Each glyph needs at least its metrics, so a count beyond that is a lie
    // and must not drive an allocation.
    if (qint64(count) * kTableDataSize > total - kHeaderSize - kTrailerSize)
        return fail(error, QStringLiteral("glyph count %1 exceeds the block").arg(count));

    const qint64 glyphEnd = total - kTrailerSize;
    qint64 pos = kHeaderSize;
    out.glyphs.reserve(static_cast<int>(count));
    for (quint32 i = 0; i < count; ++i) {
        Glyph g;
        if (pos + kTableDataSize > glyphEnd || !decodeTableData(bytes, static_cast<int>(pos), g.metrics))
            return fail(error, QStringLiteral("glyph %1: metrics cut short").arg(i));
        pos += kTableDataSize;
        if (g.metrics.width < 0 || g.metrics.rows < 0)
            return fail(error, QStringLiteral("glyph %1: negative bitmap size").arg(i));
        const qint64 pixels = qint64(g.metrics.width) * g.metrics.rows;
        const qint64 padded = paddedSize(pixels);
        if (padded > glyphEnd - pos)
            return fail(error, QStringLiteral("glyph %1: bitmap of %2 bytes cut short").arg(i).arg(padded));
        g.bitmap = bytes.mid(static_cast<int>(pos), static_cast<int>(pixels));
        pos += padded;
        out.glyphs.append(g);
    }
    if (pos != glyphEnd)
        return fail(error, QStringLiteral("%1 stray bytes before the trailer").arg(glyphEnd - pos));
    out.lineHeight = r.be32(size_t(glyphEnd));
    out.gap = r.be32(size_t(glyphEnd) + 4);
    out.ascender = r.be32(size_t(glyphEnd) + 8);
    return true;
}

} // namespace StampFont

#ifndef STAMPFONT_H
#define STAMPFONT_H

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

class FreeTypeHelper;

// Metrics of one pre-rendered imprinter glyph. On the wire: nine signed
// 32-bit little-endian words, 36 bytes, followed by the glyph's bitmap.
struct tagFONT_TABLE_DATA
{
    qint32 charCode = 0;
    qint32 advance = 0;
    qint32 vertBearingX = 0;
    qint32 vertBearingY = 0;
    qint32 crossAdvance = 0;
    qint32 bearingX = 0;
    qint32 negBearingY = 0;
    qint32 width = 0;
    qint32 rows = 0;
};

namespace StampFont {

constexpr int kTableDataSize = 36;
constexpr int kHeaderSize = 8;
constexpr int kTrailerSize = 12;
constexpr quint32 kBlockVersion = 1;
// Every block starts with these glyphs so that date, time and counter can
// always be imprinted, whatever the messages hold.
extern const char kFixedCharacters[];

// Glyph bitmaps travel padded to whole 32-bit words.
inline qint64 paddedSize(qint64 bytes) { return (bytes + 3) & ~qint64(3); }

// The rows of a grey bitmap laid one after another, top row first, padded to
// whole words. pitch is the distance between rows in the source, wider than
// the row when the renderer pads, negative when the rows run bottom-up (the
// buffer then starts at the bottom row).
QByteArray packGlyphRows(const uchar *buffer, int width, int rows, int pitch);

// Line spacing the device leaves between imprinted lines.
int gapFor(int pixelSize, int borderFlag);

QByteArray encodeTableData(const tagFONT_TABLE_DATA &data);
// Reads 36 bytes at offset; false when they are not all there.
bool decodeTableData(const QByteArray &bytes, int offset, tagFONT_TABLE_DATA &out);

// Renders every glyph the device may need (the fixed characters, then the
// extra ones, codes taken unsigned) and appends the whole block to out.
void appendFontBlock(QByteArray &out, FreeTypeHelper &renderer, int pixelSize,
                     const QByteArray &extraCharacters, int orientation, int borderFlag);

struct Glyph
{
    tagFONT_TABLE_DATA metrics;
    QByteArray bitmap; // width x rows grey bytes, padding stripped
};

struct Block
{
    quint32 version = 0;
    QVector<Glyph> glyphs;
    quint32 lineHeight = 0;
    quint32 gap = 0;
    quint32 ascender = 0;
};

// Checks a received block: header, glyph count, every glyph's size and its
// padding, and a trailer that ends the data exactly. On failure returns false
// and says why in error (when given); out is then unspecified.
bool parseFontBlock(const QByteArray &bytes, Block &out, QString *error = nullptr);

} // namespace StampFont

#endif

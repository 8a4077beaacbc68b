#include "freetypehelper.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>


namespace {

// FreeType's 26.6 fixed-point values rounded up to whole pixels.
int ceilPixels(FT_Pos value)
{
    return static_cast<int>(value >= 0 ? (value + 63) / 64 : -((-value) / 64));
}

// The quarter turns scale by 0xFFFF, a hair under the identity's 0x10000; kept
// so that rotated glyphs stay what the devices have always been sent.
FT_Matrix matrixFor(int orientation)
{
    FT_Matrix m;
    switch (orientation) {
    case 1:
        m.xx = 0; m.xy = 65535; m.yx = -65535; m.yy = 0;
        break;
    case 2:
        m.xx = -65535; m.xy = 0; m.yx = 0; m.yy = -65535;
        break;
    case 3:
        m.xx = 0; m.xy = -65535; m.yx = 65535; m.yy = 0;
        break;
    default:
        m.xx = 0x10000; m.xy = 0; m.yx = 0; m.yy = 0x10000;
        break;
    }
    return m;
}

} // namespace

FreeTypeHelper::FreeTypeHelper(QObject *parent)
    : QObject(parent), m_fontFiles(defaultFontFiles())
{
    if (FT_Init_FreeType(&m_library) != 0) {
        m_library = nullptr;
        qDebug() << "FT_Init_FreeType failed";
    }
}

FreeTypeHelper::~FreeTypeHelper()
{
    // Releasing the library releases every face opened through it.
    if (m_library)
        FT_Done_FreeType(m_library);
}

QStringList FreeTypeHelper::defaultFontFiles()
{
    return {QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf"),
            QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"),
            QStringLiteral("/usr/share/fonts/dejavu/DejaVuSerif.ttf"),
            QStringLiteral("/usr/share/fonts/dejavu/DejaVuSans.ttf")};
}

void FreeTypeHelper::setFontFiles(const QStringList &files)
{
    m_fontFiles = files;
    if (m_face) {
        FT_Done_Face(m_face);
        m_face = nullptr;
    }
    m_faceTried = false;
}

QString FreeTypeHelper::getLinuxFont() const
{
    for (const QString &file : m_fontFiles) {
        if (QFileInfo(file).isFile())
            return file;
    }
    qDebug() << "Cannot find font file!";
    return QString();
}

bool FreeTypeHelper::openFace()
{
    if (m_faceTried)
        return m_face != nullptr;
    m_faceTried = true;
    if (!m_library)
        return false;
    const QString path = getLinuxFont();
    if (path.isEmpty())
        return false;
    const QByteArray encoded = QFile::encodeName(path);
    if (FT_New_Face(m_library, encoded.constData(), 0, &m_face) != 0) {
        m_face = nullptr;
        qDebug() << "FT_New_Face failed:" << path;
        return false;
    }
    return true;
}

void FreeTypeHelper::drawFont(uchar code, int pixelSize, tagFONT_TABLE_DATA &table,
                              QByteArray &bitmap, int &lineHeight, int &maxAdvance, int &ascender,
                              int orientation)
{
    table = tagFONT_TABLE_DATA();
    bitmap.clear();
    if (!openFace()) {
        lineHeight = maxAdvance = ascender = 0;
        return;
    }
    if (pixelSize < 1 || FT_Set_Pixel_Sizes(m_face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        qDebug() << "FT_Set_Pixel_Sizes failed:" << pixelSize;
        lineHeight = maxAdvance = ascender = 0;
        return;
    }
    FT_Matrix matrix = matrixFor(orientation);
    FT_Set_Transform(m_face, &matrix, nullptr);

    const FT_Size_Metrics &size = m_face->size->metrics;
    lineHeight = ceilPixels(size.height);
    maxAdvance = ceilPixels(size.max_advance);
    ascender = ceilPixels(size.ascender);

    if (FT_Load_Char(m_face, code, FT_LOAD_RENDER) != 0) {
        qDebug() << "FT_Load_Char failed:" << code;
        return;
    }
    const FT_GlyphSlot slot = m_face->glyph;
    const FT_Bitmap &src = slot->bitmap;
    if (src.pixel_mode != FT_PIXEL_MODE_GRAY && src.rows > 0 && src.width > 0) {
        qDebug() << "Unexpected glyph pixel mode:" << src.pixel_mode;
        return;
    }

    const FT_Glyph_Metrics &m = slot->metrics;
    table.charCode = code;
    table.width = static_cast<qint32>(src.width);
    table.rows = static_cast<qint32>(src.rows);
    if (orientation == 1 || orientation == 3) {
        table.advance = ceilPixels(m.vertAdvance);
        table.crossAdvance = ceilPixels(m.horiAdvance);
    } else if (orientation == 2) {
        table.advance = ceilPixels(m.horiAdvance);
        table.crossAdvance = ceilPixels(m.vertAdvance);
    } else {
        table.advance = ceilPixels(m.horiAdvance);
        table.vertBearingX = ceilPixels(m.vertBearingX);
        table.vertBearingY = ceilPixels(m.vertBearingY);
        table.crossAdvance = ceilPixels(m.vertAdvance);
        table.bearingX = ceilPixels(m.horiBearingX);
        table.negBearingY = -ceilPixels(m.horiBearingY);
    }

    // Rows are copied one by one at FreeType's pitch, which may be wider than
    // the glyph or negative for bottom-up bitmaps.
    bitmap = StampFont::packGlyphRows(src.buffer, static_cast<int>(src.width),
                                      static_cast<int>(src.rows), src.pitch);
    if (bitmap.isEmpty() && table.width > 0 && table.rows > 0) {
        qDebug() << "Unusable glyph bitmap:" << code;
        table = tagFONT_TABLE_DATA();
    }
}

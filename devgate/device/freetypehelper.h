#ifndef FREETYPEHELPER_H
#define FREETYPEHELPER_H

#include "stampfont.h"

#include <QObject>
#include <QStringList>

#include <ft2build.h>
#include FT_FREETYPE_H

// Renders imprinter glyphs from the system's DejaVu TrueType fonts as 8-bit
// grey bitmaps. One instance serves one font block; the FreeType library and
// the face it opens live as long as the instance.
class FreeTypeHelper : public QObject
{
    Q_OBJECT
public:
    explicit FreeTypeHelper(QObject *parent = nullptr);
    ~FreeTypeHelper() override;

    // The font files looked for, in order of preference.
    static QStringList defaultFontFiles();
    // Replaces the candidate list (used when the fonts live elsewhere).
    void setFontFiles(const QStringList &files);

    // Path of the first candidate that exists, or empty (traced).
    QString getLinuxFont() const;

    // Renders one character. Without a usable font the metrics and the size
    // outputs come back zero and the bitmap empty; a character that cannot be
    // rendered gets zero metrics and an empty bitmap as well.
    void drawFont(uchar code, int pixelSize, tagFONT_TABLE_DATA &table, QByteArray &bitmap,
                  int &lineHeight, int &maxAdvance, int &ascender, int orientation);

private:
    bool openFace();

    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
    bool m_faceTried = false;
    QStringList m_fontFiles;
};

#endif

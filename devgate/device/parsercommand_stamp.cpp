#include "parsercommand.h"

#include "freetypehelper.h"
#include "scanshortcut.h"
#include "stampfont.h"

#include <QDebug>

bool ParserCommand::mergeStampConfig(StampRecord &record, const tagSCAN_SHORTCUT_MENU *profile,
                                     QByteArray &fontBlock)
{
    record = StampRecord();
    if (!profile) {
        qDebug() << "mergeStampConfig: no profile";
        return false;
    }
    const tagSTAMP_CONFIG &stamp = profile->stampConfig;
    record = stampRecordFromProfile(stamp, profile->stampCounter);
    // The font follows the stamp as edited, border included, even when the
    // border is dropped below.
    if (record.textStampOn == 1)
        buildStampFont(stamp, fontBlock);
    clearBorderWithoutContent(record, scanText(profile->stampGraphicFile));
    return true;
}

bool ParserCommand::buildStampFont(const tagSTAMP_CONFIG &stamp, QByteArray &fontBlock)
{
    return stampText(fontBlock, stamp.textSize, stampMessageCharacters(stamp), stamp.orientation,
                     stamp.borderOn);
}

bool ParserCommand::stampText(QByteArray &out, int pixelSize, const QByteArray &extraCharacters,
                              int orientation, int borderFlag)
{
    FreeTypeHelper renderer;
    StampFont::appendFontBlock(out, renderer, pixelSize, extraCharacters, orientation, borderFlag);
    return true;
}

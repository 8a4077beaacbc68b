#ifndef STAMPRECORD_H
#define STAMPRECORD_H

// The imprinter configuration as the device receives it (command 0x9B), in
// host form, with its 346-byte wire codec, and its derivation from the
// profile's stamp block (tagSTAMP_CONFIG, which keeps host byte order and the
// editor's units).

#include "recordtext.h"

#include <array>

#include <QByteArray>
#include <QString>
#include <QtGlobal>

struct tagSTAMP_CONFIG;

struct StampRecord
{
    static constexpr int WireSize = 346;

    quint8 textStampOn = 0;               // 0
    quint8 textSize = 0;                  // 1: pixels
    quint32 textColor = 0;                // 2: 0x00RRGGBB
    std::array<quint8, 40> textTemplate{}; // 6: item codes in imprint order
    Utf16Text<10> dateText;               // 46: yyyy/MM/dd
    quint8 dateDelimiter = 0;             // 66
    quint8 dateFormat = 0;                // 67
    Utf16Text<5> timeText;                // 68: HH:mm
    quint8 timeFormat = 0;                // 78
    quint8 counterWidth = 0;              // 79
    quint8 counterLeadingZero = 0;        // 80
    std::array<Utf16Text<20>, 6> messages; // 81, 40 bytes each
    quint8 graphicStampOn = 0;            // 321
    quint8 graphicAlignment = 0;          // 322
    quint8 borderOn = 0;                  // 323
    quint32 borderColor = 0;              // 324: 0x00RRGGBB
    quint16 borderThickness = 0;          // 328: 1/1200 inch
    quint8 opacity = 0;                   // 330
    quint8 stampSide = 0;                 // 331
    quint8 firstPageOnly = 0;             // 332
    quint32 originX = 0;                  // 333: 1/1200 inch
    quint32 originY = 0;                  // 337: 1/1200 inch
    quint8 orientation = 0;               // 341: 0, 1, 2, 3 quarter turns
    quint32 counterStart = 0;             // 342
};

void encodeStampRecord(const StampRecord &rec, QByteArray &out);
// Reads exactly one record: anything but 346 bytes fails and leaves rec as it was.
bool decodeStampRecord(const QByteArray &in, StampRecord &rec);

namespace StampConvert {
// Editor units to device units (1/1200 inch), rounded as the editor shows
// them and then truncated. Values too large for the wire field are held at
// the field's maximum rather than wrapped.
quint16 borderThicknessToDevice(quint16 thousandths);
quint32 originToDevice(quint32 hundredths);
// The profile's colour number (red << 24 | green << 16 | blue << 8) as the
// device's 0x00RRGGBB.
quint32 colorToDevice(quint32 hostColor);
} // namespace StampConvert

// Every field of the device record from the profile's stamp block, units and
// colours converted; the counter start comes from the profile's counter, not
// from the block. The border flag is copied unchanged.
StampRecord stampRecordFromProfile(const tagSTAMP_CONFIG &stamp, qint32 stampCounter);

// A border around nothing would be imprinted on its own: the flag is cleared
// when neither the text side (off, or on with an empty first template slot)
// nor the graphic side (off, or on without a graphic file) will print.
void clearBorderWithoutContent(StampRecord &rec, const QString &graphicFile);

// The distinct characters of the messages that the template uses, in order
// of first use, as Latin-1 ('?' for what Latin-1 cannot carry).
QByteArray stampMessageCharacters(const tagSTAMP_CONFIG &stamp);

#endif

#include "stamprecord.h"

#include "commonfunc.h"
#include "recordfields.h"
#include "scanshortcut.h"

#include <cmath>
#include <cstddef>

using namespace recordfields;

namespace {

template <class V, class R>
void stampFields(V &v, R &r)
{
    v.field(0, r.textStampOn, "TextStampOn: ");
    v.field(1, r.textSize, "TextSize: ");
    v.field(2, r.textColor, "TextColor: ");
    v.field(6, r.textTemplate, "TextTemplate[40]: ");
    v.field(46, r.dateText, "DateText[20]: ");
    v.field(66, r.dateDelimiter, "DateDelimiter (0-4): ");
    v.field(67, r.dateFormat, "DateFormat (0-8): ");
    v.field(68, r.timeText, "TimeText[10]: ");
    v.field(78, r.timeFormat, "TimeFormat (0-8): ");
    v.field(79, r.counterWidth, "CounterWidth (1-9): ");
    v.field(80, r.counterLeadingZero, "CounterLeadingZero (0-2): ");
    for (size_t i = 0; i < 6; ++i)
        v.field(81 + 40 * i, r.messages[i], "Message[40]: ");
    v.field(321, r.graphicStampOn, "GraphicStampOn: ");
    v.field(322, r.graphicAlignment, "GraphicAlignment: ");
    v.field(323, r.borderOn, "BorderOn: ");
    v.field(324, r.borderColor, "BorderColor: ");
    v.field(328, r.borderThickness, "BorderThickness: ");
    v.field(330, r.opacity, "Opacity (0-100): ");
    v.field(331, r.stampSide, "StampSide: ");
    v.field(332, r.firstPageOnly, "FirstPageOnly: ");
    v.field(333, r.originX, "OriginX: ");
    v.field(337, r.originY, "OriginY: ");
    v.field(341, r.orientation, "Orientation (0-3): ");
    v.field(342, r.counterStart, "CounterStart: ");
}

// The texts sit at odd offsets inside the packed block, so they are read
// from its bytes (little-endian, as the profile file holds them) rather than
// through references to misaligned arrays.
template <int N>
Utf16Text<N> textAt(const tagSTAMP_CONFIG &stamp, size_t offset)
{
    ByteReader in(&stamp, sizeof stamp);
    Utf16Text<N> t;
    for (size_t i = 0; i < static_cast<size_t>(N); ++i)
        t.units[i] = static_cast<char16_t>(in.le16(offset + 2 * i));
    return t;
}

constexpr size_t kMessageOffset = offsetof(tagSTAMP_CONFIG, messages);
constexpr size_t kMessageBytes = 40;

} // namespace

void encodeStampRecord(const StampRecord &rec, QByteArray &out)
{
    encodeWith<StampRecord::WireSize>(rec, out, [](auto &v, const StampRecord &r) { stampFields(v, r); });
}

bool decodeStampRecord(const QByteArray &in, StampRecord &rec)
{
    if (in.size() != StampRecord::WireSize)
        return false;
    return decodeWith<StampRecord::WireSize>(in, rec, [](auto &v, StampRecord &r) { stampFields(v, r); });
}

namespace StampConvert {

quint16 borderThicknessToDevice(quint16 thousandths)
{
    const double inches = CommonFunc::DoubleRound(thousandths / 1000.0, 3, true);
    const double units = std::trunc(inches * 1200.0);
    return units >= 65535.0 ? quint16(65535) : static_cast<quint16>(units);
}

quint32 originToDevice(quint32 hundredths)
{
    // DoubleRound works in a 32-bit int at two decimals; beyond this the
    // origin lies hundreds of metres off the sheet anyway.
    constexpr quint32 kLargest = 21474835u;
    const double inches = CommonFunc::DoubleRound(qMin(hundredths, kLargest) / 100.0, 2, true);
    return static_cast<quint32>(std::trunc(inches * 1200.0));
}

quint32 colorToDevice(quint32 hostColor)
{
    return hostColor >> 8;
}

} // namespace StampConvert

StampRecord stampRecordFromProfile(const tagSTAMP_CONFIG &s, qint32 stampCounter)
{
    StampRecord r;
    r.textStampOn = s.textStampOn;
    r.textSize = s.textSize;
    r.textColor = StampConvert::colorToDevice(s.textColor);
    for (size_t i = 0; i < r.textTemplate.size(); ++i)
        r.textTemplate[i] = static_cast<quint8>(s.textTemplate[i]);
    r.dateText = textAt<10>(s, offsetof(tagSTAMP_CONFIG, dateText));
    r.dateDelimiter = s.dateDelimiter;
    r.dateFormat = s.dateFormat;
    r.timeText = textAt<5>(s, offsetof(tagSTAMP_CONFIG, timeText));
    r.timeFormat = s.timeFormat;
    r.counterWidth = s.counterWidth;
    r.counterLeadingZero = s.counterLeadingZero;
    for (size_t i = 0; i < r.messages.size(); ++i)
        r.messages[i] = textAt<20>(s, kMessageOffset + kMessageBytes * i);
    r.graphicStampOn = s.graphicStampOn;
    r.graphicAlignment = s.graphicAlignment;
    r.borderOn = s.borderOn;
    r.borderColor = StampConvert::colorToDevice(s.borderColor);
    r.borderThickness = StampConvert::borderThicknessToDevice(s.borderThickness);
    r.opacity = s.opacity;
    r.stampSide = s.stampSide;
    r.firstPageOnly = s.firstPageOnly;
    r.originX = StampConvert::originToDevice(s.originX);
    r.originY = StampConvert::originToDevice(s.originY);
    r.orientation = s.orientation;
    r.counterStart = static_cast<quint32>(stampCounter);
    return r;
}

void clearBorderWithoutContent(StampRecord &rec, const QString &graphicFile)
{
    if (rec.borderOn != 1)
        return;
    const bool noText = rec.textStampOn == 0 || (rec.textStampOn == 1 && rec.textTemplate[0] == 'Z');
    const bool noGraphic = rec.graphicStampOn == 0 || (rec.graphicStampOn == 1 && graphicFile.isEmpty());
    if (noText && noGraphic)
        rec.borderOn = 0;
}

QByteArray stampMessageCharacters(const tagSTAMP_CONFIG &stamp)
{
    QString used;
    for (int slot = 0; slot < 40; ++slot) {
        const char code = stamp.textTemplate[slot];
        if (code < '1' || code > '6')
            continue;
        const size_t index = static_cast<size_t>(code - '1');
        const Utf16Text<20> message = textAt<20>(stamp, kMessageOffset + kMessageBytes * index);
        used += message.text();
    }
    QString distinct;
    for (const QChar c : qAsConst(used)) {
        if (!distinct.contains(c))
            distinct.append(c);
    }
    return distinct.toLatin1();
}

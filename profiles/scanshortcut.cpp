#include "scanshortcut.h"

#include <QDebug>

#include <cstring>

tagSCAN_SHORTCUT_MENU::tagSCAN_SHORTCUT_MENU()
{
    std::memset(static_cast<void *>(name), 0, sizeof(name));
    std::memset(static_cast<void *>(id), 0, sizeof(id));
    std::memset(static_cast<void *>(iconFile), 0, sizeof(iconFile));
    std::memset(static_cast<void *>(stampGraphicFile), 0, sizeof(stampGraphicFile));
    std::memset(static_cast<void *>(multifeedSoundFile), 0, sizeof(multifeedSoundFile));
}

void zeroScanShortcut(tagSCAN_SHORTCUT_MENU &record)
{
    std::memset(static_cast<void *>(&record), 0, sizeof(record));
}

QByteArray scanShortcutToBytes(const tagSCAN_SHORTCUT_MENU &record)
{
    return QByteArray(reinterpret_cast<const char *>(&record), kScanShortcutSize);
}

namespace {

// A flag of a record read from a file may hold any byte. Read as a byte (a
// bool holding anything but 0 or 1 must never be loaded) and stored back as
// false or true, so the record only ever holds valid flags. `odd` counts the
// bytes that were neither.
void normaliseFlags(bool *flags, size_t count, int &odd)
{
    for (size_t i = 0; i < count; ++i) {
        unsigned char raw = 0;
        std::memcpy(&raw, &flags[i], 1);
        if (raw > 1)
            ++odd;
        const bool value = raw != 0;
        std::memcpy(&flags[i], &value, 1);
    }
}

template <size_t N>
void normaliseFlags(bool (&flags)[N], int &odd)
{
    normaliseFlags(flags, N, odd);
}

void normaliseFlag(bool &flag, int &odd)
{
    normaliseFlags(&flag, 1, odd);
}

void normaliseFlags(tagSCAN_SIDE_SETTING &side, int &odd)
{
    normaliseFlags(side.characterSets, odd);
    normaliseFlag(side.enhance, odd);
    normaliseFlag(side.invertColors, odd);
    normaliseFlag(side.holeFill, odd);
    normaliseFlag(side.barcodeEnhancement, odd);
    normaliseFlag(side.allSidesMatch, odd);
    normaliseFlag(side.streakFilter, odd);
    normaliseFlag(side.barcodeReading, odd);
    normaliseFlags(side.barcodeTypes, odd);
}

} // namespace

bool scanShortcutFromBytes(const QByteArray &bytes, tagSCAN_SHORTCUT_MENU &record)
{
    if (bytes.size() != kScanShortcutSize)
        return false;
    std::memcpy(static_cast<void *>(&record), bytes.constData(), kScanShortcutSize);
    int odd = 0;
    normaliseFlag(record.builtInEdited, odd);
    normaliseFlag(record.onlySavePower, odd);
    normaliseFlag(record.powerOffEnabled, odd);
    normaliseFlag(record.onlySaveTimeout, odd);
    normaliseFlag(record.deviceOn, odd);
    normaliseFlag(record.autoStartScanning, odd);
    normaliseFlag(record.countOnly, odd);
    normaliseFlags(record.debugSwitches, odd);
    normaliseFlag(record.enhancedSeparation, odd);
    normaliseFlag(record.multifeedLengthEnabled, odd);
    normaliseFlag(record.multifeedSoundEnabled, odd);
    for (tagSCAN_SIDE_SETTING &side : record.sideSettings)
        normaliseFlags(side, odd);
    normaliseFlag(record.colorOutput, odd);
    normaliseFlag(record.grayOutput, odd);
    normaliseFlag(record.blackWhiteOutput, odd);
    normaliseFlag(record.saveSize, odd);
    normaliseFlag(record.alignTheSize, odd);
    normaliseFlags(record.pageSizes, odd);
    if (odd > 0)
        qDebug() << "Profile record:" << odd << "flag bytes neither 0 nor 1, read as set";
    return true;
}

bool scanShortcutEquals(const tagSCAN_SHORTCUT_MENU &a, const tagSCAN_SHORTCUT_MENU &b)
{
    return std::memcmp(&a, &b, kScanShortcutSize) == 0;
}

QString truncatedScanText(const QString &text, int maxUnits)
{
    if (maxUnits <= 0)
        return QString();
    if (text.size() <= maxUnits)
        return text;
    QString cut = text.left(maxUnits);
    if (cut.at(cut.size() - 1).isHighSurrogate())
        cut.chop(1);
    return cut;
}

namespace {

// Reads UTF-16 units from a possibly unaligned place inside the packed block.
QString readUnits(const unsigned char *src, int units)
{
    QString out;
    for (int i = 0; i < units; ++i) {
        char16_t u;
        std::memcpy(&u, src + 2 * i, sizeof(u));
        if (u == 0)
            break;
        out.append(QChar(u));
    }
    return out;
}

void writeUnits(unsigned char *dst, int units, const QString &text)
{
    std::memset(dst, 0, static_cast<size_t>(2 * units));
    const int n = qMin(units, text.size());
    for (int i = 0; i < n; ++i) {
        const char16_t u = text.at(i).unicode();
        std::memcpy(dst + 2 * i, &u, sizeof(u));
    }
}

const unsigned char *bytesAt(const tagSTAMP_CONFIG &stamp, size_t offset)
{
    return reinterpret_cast<const unsigned char *>(&stamp) + offset;
}

unsigned char *bytesAt(tagSTAMP_CONFIG &stamp, size_t offset)
{
    return reinterpret_cast<unsigned char *>(&stamp) + offset;
}

constexpr int kDateUnits = 10;
constexpr int kTimeUnits = 5;
constexpr int kMessageUnits = 20;
constexpr int kMessageCount = 6;

} // namespace

QString stampDateText(const tagSTAMP_CONFIG &stamp)
{
    return readUnits(bytesAt(stamp, offsetof(tagSTAMP_CONFIG, dateText)), kDateUnits);
}

void setStampDateText(tagSTAMP_CONFIG &stamp, const QString &text)
{
    writeUnits(bytesAt(stamp, offsetof(tagSTAMP_CONFIG, dateText)), kDateUnits, text);
}

QString stampTimeText(const tagSTAMP_CONFIG &stamp)
{
    return readUnits(bytesAt(stamp, offsetof(tagSTAMP_CONFIG, timeText)), kTimeUnits);
}

void setStampTimeText(tagSTAMP_CONFIG &stamp, const QString &text)
{
    writeUnits(bytesAt(stamp, offsetof(tagSTAMP_CONFIG, timeText)), kTimeUnits, text);
}

QString stampMessage(const tagSTAMP_CONFIG &stamp, int index)
{
    if (index < 0 || index >= kMessageCount)
        return QString();
    const size_t at = offsetof(tagSTAMP_CONFIG, messages) + size_t(index) * 2 * kMessageUnits;
    return readUnits(bytesAt(stamp, at), kMessageUnits);
}

void setStampMessage(tagSTAMP_CONFIG &stamp, int index, const QString &text)
{
    if (index < 0 || index >= kMessageCount)
        return;
    const size_t at = offsetof(tagSTAMP_CONFIG, messages) + size_t(index) * 2 * kMessageUnits;
    writeUnits(bytesAt(stamp, at), kMessageUnits, text);
}

#ifndef SMALLRECORDS_H
#define SMALLRECORDS_H

// The small device records (clock, low power, end of scan, barcode results,
// snap-to-size list) in host form, and their wire codecs. Same rules as the
// large records: exact packed big-endian bytes out, and decoding that fails
// on short input and leaves the record untouched.

#include "recordtext.h"

#include <array>

#include <QByteArray>
#include <QDateTime>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

// Device clock (command 0x13, both directions). There is no seconds field.
struct tagTIME_DATE_LOCAL
{
    static constexpr int WireSize = 6;

    quint8 hour = 0;    // 0-23
    quint8 minute = 0;  // 0-59
    quint8 month = 0;   // 1-12
    quint8 day = 0;     // 1-31
    quint16 year = 0;
};

void encodeTimeDateLocal(const tagTIME_DATE_LOCAL &rec, QByteArray &out);
bool decodeTimeDateLocal(const QByteArray &in, tagTIME_DATE_LOCAL &rec);
// The clock record for a local date and time (seconds dropped).
tagTIME_DATE_LOCAL timeDateLocalFrom(const QDateTime &local);

// Power-saving delays (command 0x15): each value cut to one byte by the caller.
struct tagLOW_POWER_MODE_TIMEOUT
{
    static constexpr int WireSize = 3;

    quint8 PowerSaver = 0;       // minutes until power saving
    quint8 PowerOff = 0;         // minutes until power off
    quint8 PowerOffEnabled = 0;  // 1 when the power-off delay is in use
};

void encodeLowPowerModeTimeout(const tagLOW_POWER_MODE_TIMEOUT &rec, QByteArray &out);
bool decodeLowPowerModeTimeout(const QByteArray &in, tagLOW_POWER_MODE_TIMEOUT &rec);

// End-of-scan reply (command 0x34). Only the value at offset 16 has a known
// use: the imprinter index the next job starts from.
struct tagSCAN_END
{
    static constexpr int WireSize = 20;

    quint32 Value0 = 0;
    quint32 Value4 = 0;
    quint32 Value8 = 0;
    std::array<quint8, 4> Reserved{};  // bytes 12-15, kept as received
    quint32 StampStartIndex = 0;      // offset 16
};

void encodeScanEnd(const tagSCAN_END &rec, QByteArray &out);
bool decodeScanEnd(const QByteArray &in, tagSCAN_END &rec);

// One barcode found on an image (command 0x35 returns one per barcode).
// Only the text is used; the numbers are carried for completeness.
struct tagBARCODE_RESULT
{
    static constexpr int WireSize = 4117;

    std::array<quint8, 3> Flags{};     // offsets 0-2
    std::array<quint32, 4> Numbers{};  // offsets 3, 7, 11, 15
    quint16 Number = 0;                // offset 19
    Latin1Text<4096> Text;             // offset 21, ends at a NUL or the record's end
};

void encodeBarcodeResult(const tagBARCODE_RESULT &rec, QByteArray &out);
bool decodeBarcodeResult(const QByteArray &in, tagBARCODE_RESULT &rec);
// The texts of count consecutive barcode records in a reply. A record that did
// not arrive, wholly or in part, reads as if its missing bytes were zero, so
// the list always has count entries (empty for records that are absent).
QStringList barcodeTexts(const QByteArray &reply, int count);

// Snap-to-size list (command 0x25, host to device): a 32-bit count, then
// width and height of each chosen page size in 1/1200 inch.
struct SnapSize
{
    quint32 width = 0;
    quint32 height = 0;
};

constexpr int kSnapPageSizeCount = 23;

// Size of the page-size choice number flag (1-23, in the profile's order);
// a zero size for any other number.
SnapSize snapPageSize(int flag);
// The data of the list. The count is the number of choices that are set, so
// the data always carries exactly the length it announces; with alignTheSize
// off it is a single zero count. Its size() is the length to announce.
QByteArray encodeSnapToSizeList(bool alignTheSize, const bool (&pageSizes)[kSnapPageSizeCount]);
// Fails unless the input is exactly the count plus that many sizes.
bool decodeSnapToSizeList(const QByteArray &in, QVector<SnapSize> &sizes);

#endif

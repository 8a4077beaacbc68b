#include "smallrecords.h"

#include "recordfields.h"

using namespace recordfields;

namespace {

template <class V, class R>
void timeDateFields(V &v, R &r)
{
    v.field(0, r.hour, "hour: ");
    v.field(1, r.minute, "minute: ");
    v.field(2, r.month, "month: ");
    v.field(3, r.day, "day: ");
    v.field(4, r.year, "year: ");
}

template <class V, class R>
void lowPowerFields(V &v, R &r)
{
    v.field(0, r.PowerSaver, "PowerSaver: ");
    v.field(1, r.PowerOff, "PowerOff: ");
    v.field(2, r.PowerOffEnabled, "PowerOffEnabled: ");
}

template <class V, class R>
void scanEndFields(V &v, R &r)
{
    v.field(0, r.Value0, "Value0: ");
    v.field(4, r.Value4, "Value4: ");
    v.field(8, r.Value8, "Value8: ");
    v.field(12, r.Reserved, "Reserved: ");
    v.field(16, r.StampStartIndex, "StampStartIndex: ");
}

template <class V, class R>
void barcodeFields(V &v, R &r)
{
    v.field(0, r.Flags, "Flags: ");
    v.field(3, r.Numbers[0], "Number0: ");
    v.field(7, r.Numbers[1], "Number1: ");
    v.field(11, r.Numbers[2], "Number2: ");
    v.field(15, r.Numbers[3], "Number3: ");
    v.field(19, r.Number, "Number: ");
    v.field(21, r.Text, "Text: ");
}

const auto kTimeDate = [](auto &v, auto &r) { timeDateFields(v, r); };
const auto kLowPower = [](auto &v, auto &r) { lowPowerFields(v, r); };
const auto kScanEnd = [](auto &v, auto &r) { scanEndFields(v, r); };
const auto kBarcode = [](auto &v, auto &r) { barcodeFields(v, r); };

const SnapSize kSnapSizes[kSnapPageSizeCount] = {
    {13200, 20400}, {10200, 16800}, {10200, 13200}, {8700, 12600}, {6600, 10200},
    {14028, 19836}, {9912, 14028},  {6984, 9912},   {4956, 6984},  {3492, 4956},
    {11808, 16668}, {8304, 11808},  {5904, 8304},   {4152, 5904},  {12132, 17196},
    {8592, 12132},  {6036, 8592},   {4296, 6036},   {3012, 4296},  {10812, 15300},
    {7644, 10812},  {5376, 7644},   {3816, 5376},
};

} // namespace

void encodeTimeDateLocal(const tagTIME_DATE_LOCAL &rec, QByteArray &out)
{
    encodeWith<tagTIME_DATE_LOCAL::WireSize>(rec, out, kTimeDate);
}

bool decodeTimeDateLocal(const QByteArray &in, tagTIME_DATE_LOCAL &rec)
{
    return decodeWith<tagTIME_DATE_LOCAL::WireSize>(in, rec, kTimeDate);
}

tagTIME_DATE_LOCAL timeDateLocalFrom(const QDateTime &local)
{
    tagTIME_DATE_LOCAL rec;
    const QDate d = local.date();
    const QTime t = local.time();
    rec.hour = static_cast<quint8>(t.hour());
    rec.minute = static_cast<quint8>(t.minute());
    rec.month = static_cast<quint8>(d.month());
    rec.day = static_cast<quint8>(d.day());
    rec.year = static_cast<quint16>(d.year());
    return rec;
}

void encodeLowPowerModeTimeout(const tagLOW_POWER_MODE_TIMEOUT &rec, QByteArray &out)
{
    encodeWith<tagLOW_POWER_MODE_TIMEOUT::WireSize>(rec, out, kLowPower);
}

bool decodeLowPowerModeTimeout(const QByteArray &in, tagLOW_POWER_MODE_TIMEOUT &rec)
{
    return decodeWith<tagLOW_POWER_MODE_TIMEOUT::WireSize>(in, rec, kLowPower);
}

void encodeScanEnd(const tagSCAN_END &rec, QByteArray &out)
{
    encodeWith<tagSCAN_END::WireSize>(rec, out, kScanEnd);
}

bool decodeScanEnd(const QByteArray &in, tagSCAN_END &rec)
{
    return decodeWith<tagSCAN_END::WireSize>(in, rec, kScanEnd);
}

void encodeBarcodeResult(const tagBARCODE_RESULT &rec, QByteArray &out)
{
    encodeWith<tagBARCODE_RESULT::WireSize>(rec, out, kBarcode);
}

bool decodeBarcodeResult(const QByteArray &in, tagBARCODE_RESULT &rec)
{
    return decodeWith<tagBARCODE_RESULT::WireSize>(in, rec, kBarcode);
}

QStringList barcodeTexts(const QByteArray &reply, int count)
{
    const int recordSize = tagBARCODE_RESULT::WireSize;
    const int textOffset = 21;
    QStringList texts;
    for (int i = 0; i < count; ++i) {
        // Only the text part is scanned; bytes past the reply's end count as zero.
        const qint64 start = static_cast<qint64>(i) * recordSize + textOffset;
        const qint64 end = qMin<qint64>(static_cast<qint64>(i + 1) * recordSize, reply.size());
        int len = 0;
        while (start + len < end && reply.at(static_cast<int>(start + len)) != '\0')
            ++len;
        texts.append(len ? QString::fromLatin1(reply.constData() + start, len) : QString());
    }
    return texts;
}

SnapSize snapPageSize(int flag)
{
    if (flag < 1 || flag > kSnapPageSizeCount)
        return SnapSize();
    return kSnapSizes[flag - 1];
}

QByteArray encodeSnapToSizeList(bool alignTheSize, const bool (&pageSizes)[kSnapPageSizeCount])
{
    QVector<SnapSize> chosen;
    if (alignTheSize) {
        for (int i = 0; i < kSnapPageSizeCount; ++i) {
            if (pageSizes[i])
                chosen.append(kSnapSizes[i]);
        }
    }
    QByteArray out(4 + 8 * chosen.size(), '\0');
    ByteWriter w(out);
    w.be32(0, static_cast<uint32_t>(chosen.size()));
    for (int i = 0; i < chosen.size(); ++i) {
        w.be32(4 + 8 * static_cast<size_t>(i), chosen.at(i).width);
        w.be32(8 + 8 * static_cast<size_t>(i), chosen.at(i).height);
    }
    Q_ASSERT(w.ok());
    return out;
}

bool decodeSnapToSizeList(const QByteArray &in, QVector<SnapSize> &sizes)
{
    ByteReader r(in);
    const quint64 count = r.be32(0);
    if (!r.ok() || static_cast<quint64>(in.size()) != 4 + 8 * count)
        return false;
    QVector<SnapSize> out;
    out.reserve(static_cast<int>(count));
    for (quint64 i = 0; i < count; ++i) {
        SnapSize s;
        s.width = r.be32(4 + 8 * i);
        s.height = r.be32(8 + 8 * i);
        out.append(s);
    }
    if (!r.ok())
        return false;
    sizes = out;
    return true;
}

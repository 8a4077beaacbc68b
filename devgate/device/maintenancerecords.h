#ifndef MAINTENANCERECORDS_H
#define MAINTENANCERECORDS_H

// Replies of the diagnostic and calibration commands. The host does not
// interpret them, so they are kept exactly as the device sent them; bytes
// that did not arrive read as zero.

#include <QByteArray>
#include <QtGlobal>

#include <algorithm>
#include <array>

template <int Size>
struct RawDeviceRecord
{
    static constexpr int WireSize = Size;
    std::array<quint8, Size> bytes{};

    // The first WireSize bytes of a reply, zero-padded when it is shorter.
    void assign(const QByteArray &reply)
    {
        bytes.fill(0);
        const int n = std::min(reply.size(), Size);
        std::copy(reply.constBegin(), reply.constBegin() + n, bytes.begin());
    }
};

struct tagDIAGNOSTIC_BEGIN : RawDeviceRecord<14> {};
struct tagDIAGNOSTIC_RUN : RawDeviceRecord<2890> {};
struct tagCALIBRATE_BEGIN : RawDeviceRecord<10> {};
struct tagCALIBRATE_END : RawDeviceRecord<4> {};

#endif

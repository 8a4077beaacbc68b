#ifndef DEVICEHARNESS_H
#define DEVICEHARNESS_H

#include "emulatortest.h"
#include "usbport.h"

#include <memory>

// One emulated scanner on an emulated bus, and a USBPort for it. Members are
// destroyed in reverse order: the port (and its libusb context) goes before
// the bus, as umockdev requires.
struct EmulatedScanner
{
    emu::EmulatedBus bus;
    std::shared_ptr<emu::ScannerEmulator> device;
    USBPort port;

    explicit EmulatedScanner(uint16_t productId = emu::ids::kVR516, uint8_t busNumber = 3,
                             uint8_t address = 7)
    {
        emu::UsbIdentity id;
        id.productId = productId;
        id.busNumber = busNumber;
        id.deviceAddress = address;
        device = std::make_shared<emu::ScannerEmulator>(id);
        plugged = bus.plug(device);
        port.setPort(QStringLiteral("%1;%2;").arg(busNumber).arg(address));
    }
    bool plugged = false;
};

inline QByteArray qbytes(const emu::Bytes &b)
{
    return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size()));
}

#endif

#ifndef EMULATEDBUS_H
#define EMULATEDBUS_H

#include "scanneremulator.h"

#include <memory>
#include <string>

// Puts ScannerEmulator models on an emulated USB bus (a umockdev testbed), so
// the product's USBPort runs unchanged on the real libusb: enumeration and
// descriptors come from the testbed's sysfs, and every usbdevfs ioctl on a
// device node is answered by its model.
//
// The process must run under libumockdev-preload.so.0 (ensurePreload re-executes
// it so). One bus per process at a time; close every libusb context that saw
// the bus before the bus goes. Plain C++: the GLib side stays in the .cpp.
namespace emu {

class EmulatedBus
{
public:
    EmulatedBus();
    ~EmulatedBus();
    EmulatedBus(const EmulatedBus &) = delete;
    EmulatedBus &operator=(const EmulatedBus &) = delete;

    static bool preloadActive();
    // Re-executes the program with the preload when it is missing; returns
    // when the preload is active, or when the re-exec was not possible.
    static void ensurePreload(int argc, char **argv);

    bool isValid() const;
    std::string errorString() const;

    // Attaches the device at its identity's bus number and address. False
    // when that place is taken or the testbed refuses the device.
    bool plug(const std::shared_ptr<ScannerEmulator> &device);
    // Hot-unplug: transfers in flight fail, every later request on an open
    // handle fails with ENODEV, and the device leaves the bus.
    void unplug(const std::shared_ptr<ScannerEmulator> &device);
    // Unplugs the device and frees its place for another at the same bus
    // number and address (long runs plug thousands of devices in turn). Only
    // once the host has closed every handle on it.
    void release(const std::shared_ptr<ScannerEmulator> &device);
    // Host handles (open device files) on the device right now.
    int openHandles(const std::shared_ptr<ScannerEmulator> &device);

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};

} // namespace emu

#endif

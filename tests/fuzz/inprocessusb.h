#ifndef INPROCESSUSB_H
#define INPROCESSUSB_H

#include <cstdint>
#include <functional>

// An in-process stand-in for libusb, linked into the fuzz targets that drive
// the product's own USBPort: the libusb functions USBPort calls are defined
// in inprocessusb.cpp, so the linker binds USBPort to them instead of the
// shared library. The bus holds one scanner (bus 1, address 2, port key
// "1;2;") whose every bulk transfer goes to the handler set here,
// synchronously and in the calling thread: no kernel, no umockdev, no event
// thread, no real time-outs, which is what makes thousands of whole scans a
// second possible and every run reproducible.
namespace inprocessusb {

// Answers one bulk transfer. endpoint: 0x01..0x03 host to device,
// 0x81..0x83 device to host. For IN, fill at most `length` bytes of data and
// set *transferred. Returns a libusb result code (0, LIBUSB_ERROR_TIMEOUT,
// LIBUSB_ERROR_IO, ...).
using TransferHandler =
    std::function<int(uint8_t endpoint, unsigned char *data, int length, int *transferred)>;

void setTransferHandler(TransferHandler handler);

// Opens and closes seen since the last reset; a fuzz run checks that every
// handle it caused to be opened was closed again.
int openHandles();

} // namespace inprocessusb

#endif

#ifndef SCANNERCOMMANDS_H
#define SCANNERCOMMANDS_H

#include "scanneremulator.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

// The scanner's command set on top of a ScannerEmulator: installs a handler
// for every opcode of the command table, serving and keeping real records.
//
// Records live in the emulator's named records (ScannerEmulator::record), as
// wire bytes: what a test sets is served, what the host writes is kept and
// served back (the configuration written with 0x20 answers the next read).
// Cameras and windows are kept by the id in their first byte.
//
// Pages are queued with their header, barcodes and image data. The header
// poll (0x31) hands out the next page's header, after that page's "no image
// ready" answers, and answers "end of output" once no page is left; the
// barcode (0x35) and image (0x32) commands then serve that page, the image
// from a cursor in whatever chunk sizes the host asks for.
//
// The panel's user input (0x36 read) comes from a queue (0 when it is empty);
// the answers the host sends (0x36 write) are recorded. Any status on any
// command, and status blocks in place of data, are scripted with the
// emulator's own scriptStatus / scriptReply.
//
// Each handler checks the direction and the announced length against the
// command table; a mismatch is refused (status 6) and listed in errors().
//
// Handlers keep only shared state, so this object may go before the emulator.
namespace emu {

namespace op {
constexpr uint8_t kInterfaceVersion = 0x01;
constexpr uint8_t kInquiry = 0x10;
constexpr uint8_t kTimeDate = 0x13;
constexpr uint8_t kMeters = 0x14;
constexpr uint8_t kLowPower = 0x15;
constexpr uint8_t kEcdo = 0x16;
constexpr uint8_t kPaperDetected = 0x17;
constexpr uint8_t kConfig = 0x20;
constexpr uint8_t kCreateCamera = 0x21;
constexpr uint8_t kWindowAdd = 0x22;
constexpr uint8_t kWindowOrder = 0x23;
constexpr uint8_t kStampText = 0x24;
constexpr uint8_t kSnapToSizeList = 0x25;
constexpr uint8_t kScanBegin = 0x30;
constexpr uint8_t kRequestHeader = 0x31;
constexpr uint8_t kRequestImage = 0x32;
constexpr uint8_t kScanRequestStop = 0x33;
constexpr uint8_t kScanEnd = 0x34;
constexpr uint8_t kRequestBarcode = 0x35;
constexpr uint8_t kUserInput = 0x36;
constexpr uint8_t kRequestOverrides = 0x37;
constexpr uint8_t kCalibrateBegin = 0x50;
constexpr uint8_t kCalibrateRun = 0x51;
constexpr uint8_t kCalibrateEnd = 0x52;
constexpr uint8_t kCalibrateSetData = 0x54;
constexpr uint8_t kDiagnosticBegin = 0x60;
constexpr uint8_t kDiagnosticRun = 0x61;
constexpr uint8_t kDiagnosticEnd = 0x62;
constexpr uint8_t kLogBegin = 0x70;
constexpr uint8_t kLogData = 0x71;
constexpr uint8_t kLogEnd = 0x72;
constexpr uint8_t kLanguage = 0x91;
constexpr uint8_t kStampInquiry = 0x9A;
constexpr uint8_t kStampConfig = 0x9B;
constexpr uint8_t kStampGraphic = 0x9C;
} // namespace op

// Status codes beyond those of scanneremulator.h.
namespace status {
constexpr uint8_t kEndOfOutput = 2;
constexpr uint8_t kPaperJam = 3;
constexpr uint8_t kMultifeed = 4;
} // namespace status

// Names of the records kept in the emulator.
namespace rec {
constexpr const char *kInquiry = "inquiry";                 // 257 bytes, served by 0x10
constexpr const char *kConfig = "config";                   // 758 bytes, 0x20 both ways
constexpr const char *kTimeDate = "timeDate";               // 6 bytes, 0x13 both ways
constexpr const char *kLowPower = "lowPower";               // 3 bytes, 0x15 both ways
constexpr const char *kPaperDetected = "paperDetected";     // 1 byte, 0x17
constexpr const char *kMeters = "meters";                   // 34 bytes
constexpr const char *kEcdo = "ecdo";                       // 7800 bytes
constexpr const char *kOverrides = "overrides";             // 4 bytes
constexpr const char *kStampInquiry = "stampInquiry";       // 22 bytes
constexpr const char *kScanBegin = "scanBegin";             // 8 bytes
constexpr const char *kScanEnd = "scanEnd";                 // 20 bytes
constexpr const char *kDiagnosticBegin = "diagnosticBegin"; // 14 bytes
constexpr const char *kDiagnosticRun = "diagnosticRun";     // 2890 bytes
constexpr const char *kCalibrateBegin = "calibrateBegin";   // 10 bytes
constexpr const char *kCalibrateEnd = "calibrateEnd";       // 4 bytes
constexpr const char *kWindowOrder = "windowOrder";         // 4 bytes as written
constexpr const char *kSnapToSizeList = "snapToSizeList";   // as written
constexpr const char *kStampConfig = "stampConfig";         // 346 bytes as written
constexpr const char *kStampText = "stampText";             // font block as written
constexpr const char *kStampGraphic = "stampGraphic";       // PNG as written
constexpr const char *kCalibrateData = "calibrateData";     // 4 bytes as written
std::string camera(uint8_t id);  // 41 bytes as written
std::string window(uint8_t id);  // 87 bytes as written
std::string log(uint8_t selector); // served by 0x70/0x71
} // namespace rec

constexpr size_t kRequestHeaderSize = 461;
constexpr size_t kBarcodeRecordSize = 4117;
constexpr size_t kBarcodeTextOffset = 21;

// One page the device will deliver.
struct Page
{
    Bytes header;                      // the 461 wire bytes of its image header
    Bytes image;                       // its image data
    std::vector<std::string> barcodes; // texts, one 4117-byte record each
    unsigned notReadyPolls = 0;        // "no image ready" answers before its header
    unsigned emptyChunks = 0;          // image commands answered with no data first
};

// A barcode record with the text at its place and a few numbers around it.
Bytes barcodeRecord(const std::string &text);

class ScannerCommands
{
public:
    explicit ScannerCommands(ScannerEmulator &device);

    ScannerEmulator &device() const { return m_device; }

    // --- pages --------------------------------------------------------------
    void queuePage(const Page &page);
    size_t pagesLeft() const;           // queued, header not yet handed out
    size_t imageCursor() const;         // bytes of the current page served so far
    size_t imageRequests() const;       // image commands of the current page

    // --- panel --------------------------------------------------------------
    void queuePanelInput(int8_t key);   // next answers of 0x36 reads
    std::vector<uint8_t> hostInputs() const; // bytes the host sent with 0x36 writes

    // --- scan state -----------------------------------------------------------
    bool scanning() const;              // between scanBegin and scanEnd
    unsigned stopRequests() const;      // scanRequestStop commands seen

    // --- the host's mistakes --------------------------------------------------
    std::vector<std::string> errors() const;

    struct State;

private:
    ScannerEmulator &m_device;
    std::shared_ptr<State> m_state;
};

} // namespace emu

#endif

#ifndef SHEETFEEDER_H
#define SHEETFEEDER_H

#include "scannercommands.h"
#include "sheetimages.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A stack of sheets in the emulated scanner's feeder. On top of
// ScannerCommands it takes over the paper sensor (0x17), the image header
// (0x31) and the image data (0x32): each sheet becomes one image per entry of
// the window order the host stored, drawn and coded as that window asks
// (sheetimages.h), with a header carrying the window's side, format,
// compression, resolution and size, ImageSize equal to the data length, and
// PrinterIndex counting from the index in the configuration the host wrote.
// Pages are drawn when their header is asked for, so a long job holds one
// page at a time.
//
// A scan begins where the host reads the paper sensor while no scan runs; a
// sheet left half delivered by the previous scan has then left the feeder.
// After the last sheet the sensor reads empty and the header answers "end of
// output"; so it does once a scan has handed out the configuration's
// ImageCount images (a preview: one sheet), the rest staying in the feeder.
//
// Scripted events, by sheet number (from 1):
// - paper empty: the sensor reads empty for the first N polls;
// - multifed: every header of the sheet says so; with a panel answer the
//   panel reports that key once the sheet is out. What follows depends on
//   the configured multifeed response: continue (0, 4), stop after the sheet
//   (1-3), or, for interactive recovery (8), "end of output" until the host
//   answers: 1 goes on, 2 stops, 3 feeds the same sheet again;
// - a status (3 jam, 7 cover open) in place of the sheet's first header, once;
//   the sheet stays in the feeder;
// - vanish: the device leaves the bus while the sheet's first image moves.
//
// When the host's camera for a side reads barcodes, each printed page of that
// side carries one, "SHEET-<number>-<side>" (side F or B), served by 0x35.
//
// Handlers keep only shared state, so this object may go before the device.
namespace emu {

struct StackScript
{
    unsigned sheets = 1;
    bool duplex = true;   // printed on both sides; otherwise the backs are blank
    Ink ink = Ink::Colour;
    unsigned paperEmptyPolls = 0;
    std::map<unsigned, std::optional<int8_t>> multifed; // sheet -> panel answer
    std::map<unsigned, uint8_t> statusInPlaceOfHeader;  // sheet -> status code
    unsigned vanishAt = 0;                               // 0: never
    // Draw each distinct page once and hand the same data out for every
    // sheet (benchmarks: the device's drawing is not what is measured).
    bool samePages = false;
    // Keep the device's transfer and command logs; a long-running emulator
    // clears them at each sheet instead, so they do not grow with the job.
    bool keepTrafficLog = true;
};

namespace status {
constexpr uint8_t kCoverOpen = 7;
} // namespace status

// Offsets in the 758-byte configuration record the feeder reads.
namespace config {
constexpr size_t kImageCount = 86;
constexpr size_t kMultifeedResponse = 93;
constexpr size_t kPrinterIndex = 154;
} // namespace config

class SheetFeeder
{
public:
    SheetFeeder(ScannerCommands &commands, const StackScript &script);

    unsigned sheetsLeft() const;      // not yet fed
    unsigned sheetsDelivered() const; // every image handed out
    unsigned imagesDelivered() const; // headers handed out
    // What the feeder could not serve (no window order, unusable windows).
    std::vector<std::string> errors() const;

    struct State;

private:
    std::shared_ptr<State> m_state;
};

} // namespace emu

#endif

#ifndef SHEETIMAGES_H
#define SHEETIMAGES_H

#include "scanneremulator.h"

#include <cstdint>
#include <optional>

// The pictures the emulated scanner delivers, and the image header that
// announces each of them. Pages are drawn without fonts (blocks of strokes
// for text, seven-segment digits for the sheet number), so they need no
// GUI application, and they compress the way printed documents do.
//
// The window record is read here from its wire bytes, independently of the
// host's codecs, so that a wrong offset on either side shows up in tests.
namespace emu {

// What is printed on a sheet (the window still decides how it is delivered).
enum class Ink { Colour, Grey, BlackWhite };

// The fields of a stored 87-byte window record that shape its image.
struct WindowSpec
{
    static constexpr size_t kWireSize = 87;

    uint8_t windowId = 0;
    uint8_t cameraId = 0;
    uint8_t imageFormat = 0; // 0 black and white, 1 grey, 2 colour
    uint16_t resolutionX = 0;
    uint16_t resolutionY = 0;
    uint32_t offsetX = 0; // 1/1200 inch
    uint32_t offsetY = 0;
    uint32_t width = 0;   // 1/1200 inch; 0 takes the sheet's own size
    uint32_t height = 0;
    uint8_t compression = 0; // 0 raw rows, 1 Group 4, 2 JPEG
    uint8_t jpegQuality = 0;
    uint8_t blankImageMode = 0;

    // Nothing for a record too short to be one, or with no resolution.
    static std::optional<WindowSpec> decode(const Bytes &record);
};

// A4 portrait, what the feeder holds unless a window names its own size.
constexpr uint32_t kSheetWidth1200 = 9912;  // 8.26 inch
constexpr uint32_t kSheetHeight1200 = 14028; // 11.69 inch

// Pixels of a length at a resolution, truncated (as the host computes them).
int pixelsOf(uint16_t dpi, uint32_t units1200);

// One delivered image, as the device sends it.
struct PageImage
{
    Bytes data;
    uint8_t format = 0;      // what the data holds (as the window's ImageFormat)
    uint8_t compression = 0; // how it is coded: 0 raw rows, 1 Group 4, 2 JPEG
    uint32_t width1200 = 0;  // the image's size in 1/1200 inch
    uint32_t height1200 = 0;
    uint8_t blankContent = 0; // ink on the page in percent, 0 for a blank page
};

// Draws side 0 (front) or 1 (back) of sheet `sheet` (from 1) as the window
// asks for it, blank when `blank`, and codes it: JPEG for grey or colour
// windows that ask for it, Group 4 for black-and-white windows that ask for
// it, raw rows otherwise. Raw black-and-white rows carry 1 for white; Group
// 4 data is a single strip of a min-is-white image, most significant bit
// first. Nothing when the page is too large to be drawn.
std::optional<PageImage> renderPage(const WindowSpec &window, Ink ink, unsigned sheet, int side,
                                    bool blank);

// The 461-byte image header (all fields big-endian, zero where not set).
struct ImageHeader
{
    static constexpr size_t kWireSize = 461;

    uint8_t cameraId = 0;
    uint8_t cameraType = 0; // 0 front, 1 back
    uint8_t windowId = 0;
    uint32_t imageSize = 0;
    uint8_t imageFormat = 0;
    uint16_t resolutionX = 0;
    uint16_t resolutionY = 0;
    uint32_t offsetX = 0;
    uint32_t offsetY = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint8_t multifeed = 0;
    uint32_t printerIndex = 0;
    uint8_t compression = 0;
    uint8_t blankImageMode = 0;
    uint8_t blankImageContent = 0;
    uint8_t endOfSheet = 0;
    uint8_t barcodesFound = 0;
    uint8_t multiImageIndex = 0;
    uint8_t multiImageTotal = 1;

    Bytes encode() const;
};

} // namespace emu

#endif

#include "sheetimages.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <QRect>
#include <QTemporaryFile>

#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>

namespace emu {

namespace {

uint16_t be16(const Bytes &b, size_t off)
{
    return uint16_t(b[off] << 8 | b[off + 1]);
}

uint32_t be32(const Bytes &b, size_t off)
{
    return uint32_t(b[off]) << 24 | uint32_t(b[off + 1]) << 16 | uint32_t(b[off + 2]) << 8 |
           uint32_t(b[off + 3]);
}

void put16(Bytes &b, size_t off, uint16_t v)
{
    b[off] = uint8_t(v >> 8);
    b[off + 1] = uint8_t(v);
}

void put32(Bytes &b, size_t off, uint32_t v)
{
    for (size_t i = 0; i < 4; ++i)
        b[off + i] = uint8_t(v >> (8 * (3 - i)));
}

// A page drawn at the window's resolution: 3 channels for colour windows,
// 1 (grey) otherwise.
class Canvas
{
public:
    Canvas(int width, int height, int channels, uint16_t dpiX, uint16_t dpiY)
        : m_width(width), m_height(height), m_channels(channels), m_dpiX(dpiX), m_dpiY(dpiY),
          m_pixels(size_t(width) * size_t(height) * size_t(channels), 0xFF)
    {
    }

    int width() const { return m_width; }
    int height() const { return m_height; }
    int channels() const { return m_channels; }
    const std::vector<uint8_t> &pixels() const { return m_pixels; }
    std::vector<uint8_t> &pixels() { return m_pixels; }

    uint16_t dpiX() const { return m_dpiX; }
    uint16_t dpiY() const { return m_dpiY; }
    int x(double inch) const { return int(std::lround(inch * m_dpiX)); }
    int y(double inch) const { return int(std::lround(inch * m_dpiY)); }

    void fill(int x0, int y0, int x1, int y1, uint8_t r, uint8_t g, uint8_t b)
    {
        x0 = std::clamp(x0, 0, m_width);
        x1 = std::clamp(x1, 0, m_width);
        y0 = std::clamp(y0, 0, m_height);
        y1 = std::clamp(y1, 0, m_height);
        if (x0 >= x1 || y0 >= y1)
            return;
        const size_t stride = size_t(m_width) * size_t(m_channels);
        for (int row = y0; row < y1; ++row) {
            uint8_t *p = m_pixels.data() + size_t(row) * stride + size_t(x0) * size_t(m_channels);
            if (m_channels == 1) {
                std::fill(p, p + (x1 - x0), luminance(r, g, b));
                continue;
            }
            for (int col = x0; col < x1; ++col, p += 3) {
                p[0] = r;
                p[1] = g;
                p[2] = b;
            }
        }
    }

    // Share of the page that is ink (darker than mid grey), in percent,
    // rounded up, so any mark at all counts.
    uint8_t inkPercent() const
    {
        size_t ink = 0;
        for (size_t i = 0; i < m_pixels.size(); i += size_t(m_channels)) {
            const uint8_t v = m_channels == 1
                                  ? m_pixels[i]
                                  : luminance(m_pixels[i], m_pixels[i + 1], m_pixels[i + 2]);
            ink += v < 128;
        }
        const size_t total = size_t(m_width) * size_t(m_height);
        if (ink == 0 || total == 0)
            return 0;
        return uint8_t(std::min<size_t>(100, (ink * 100 + total - 1) / total));
    }

    static uint8_t luminance(uint8_t r, uint8_t g, uint8_t b)
    {
        return uint8_t((r * 299 + g * 587 + b * 114) / 1000);
    }

private:
    int m_width, m_height, m_channels;
    uint16_t m_dpiX, m_dpiY;
    std::vector<uint8_t> m_pixels;
};

// Deterministic per page, so the same sheet always looks the same.
class Random
{
public:
    explicit Random(uint32_t seed) : m_state(seed ? seed : 0x9E3779B9u) {}
    uint32_t next()
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    double unit() { return (next() & 0xFFFFFF) / double(0x1000000); }

private:
    uint32_t m_state;
};

// Segments a..g of the seven-segment digits 0-9.
const uint8_t kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

void drawDigit(Canvas &c, int left, int top, int digit)
{
    const int w = c.x(0.28), h = c.y(0.5), t = std::max(1, c.x(0.06));
    const int mid = top + h / 2;
    const uint8_t s = kSegments[digit % 10];
    auto bar = [&](int bit, int x0, int y0, int x1, int y1) {
        if (s & (1 << bit))
            c.fill(x0, y0, x1, y1, 0, 0, 0);
    };
    bar(0, left, top, left + w, top + t);                 // a
    bar(1, left + w - t, top, left + w, mid);             // b
    bar(2, left + w - t, mid, left + w, top + h);         // c
    bar(3, left, top + h - t, left + w, top + h);         // d
    bar(4, left, mid, left + t, top + h);                 // e
    bar(5, left, top, left + t, mid);                     // f
    bar(6, left, mid - t / 2, left + w, mid + t - t / 2); // g
}

// The sheet number in digits, a filled square for the front and an open one
// for the back, so a person can tell the pages apart.
void drawLabel(Canvas &c, unsigned sheet, int side)
{
    const std::string digits = std::to_string(sheet);
    int left = c.x(0.5);
    const int top = c.y(0.4);
    for (char d : digits) {
        drawDigit(c, left, top, d - '0');
        left += c.x(0.38);
    }
    const int box = c.x(0.3), t = std::max(1, c.x(0.05));
    left += c.x(0.2);
    c.fill(left, top + c.y(0.1), left + box, top + c.y(0.1) + box, 0, 0, 0);
    if (side != 0)
        c.fill(left + t, top + c.y(0.1) + t, left + box - t, top + c.y(0.1) + box - t, 255, 255, 255);
}

// Lines of "words": runs of glyph-like strokes with ascenders and bars; lines
// above `besideBottom` end at `besideLeft`, clear of a picture.
void drawText(Canvas &c, Random &rnd, int top, int bottom, int besideLeft, int besideBottom)
{
    const int left = c.x(0.75), fullRight = c.width() - c.x(0.75);
    const int pitch = std::max(4, c.y(0.2)), xHeight = std::max(2, c.y(0.08));
    const int cell = std::max(2, c.x(0.035)), stroke = std::max(1, c.x(0.012));
    for (int base = top + pitch; base < bottom; base += pitch) {
        // Paragraphs end with a short line and a gap.
        const int right = base - pitch < besideBottom ? std::min(fullRight, besideLeft) : fullRight;
        const bool lastOfParagraph = rnd.next() % 7 == 0;
        const int lineEnd = lastOfParagraph ? left + int((right - left) * (0.2 + 0.5 * rnd.unit()))
                                            : right;
        for (int x = left; x < lineEnd;) {
            const int letters = 2 + int(rnd.next() % 9);
            for (int l = 0; l < letters && x + cell <= lineEnd; ++l, x += cell) {
                const uint32_t shape = rnd.next();
                const int rise = (shape & 7) == 0 ? xHeight * 6 / 10 : 0;
                c.fill(x, base - xHeight - rise, x + stroke, base, 0, 0, 0);
                if (shape & 0x10)
                    c.fill(x, base - xHeight, x + cell - stroke, base - xHeight + stroke, 0, 0, 0);
                if (shape & 0x20)
                    c.fill(x, base - stroke, x + cell - stroke, base, 0, 0, 0);
            }
            x += cell * 2;
        }
        if (lastOfParagraph)
            base += pitch / 2;
    }
}

// A heading band and a photograph-like block, in colour or grey; gives the
// block's place.
QRect drawPictures(Canvas &c, Random &rnd, Ink ink, unsigned sheet)
{
    const uint8_t hue = uint8_t(sheet * 47);
    auto tone = [&](int r, int g, int b) {
        if (ink == Ink::Colour)
            return std::array<uint8_t, 3>{uint8_t(r), uint8_t(g), uint8_t(b)};
        const uint8_t v = Canvas::luminance(uint8_t(r), uint8_t(g), uint8_t(b));
        return std::array<uint8_t, 3>{v, v, v};
    };
    const auto band = tone(40 + hue % 160, 90, 200 - hue % 120);
    c.fill(c.x(2.3), c.y(0.45), c.width() - c.x(0.75), c.y(0.75), band[0], band[1], band[2]);

    const int x0 = c.width() - c.x(3.0), y0 = c.y(1.3);
    const int w = c.x(2.2), h = c.y(1.6);
    const int step = std::max(1, c.x(0.02));
    for (int yy = 0; yy < h; yy += step) {
        for (int xx = 0; xx < w; xx += step) {
            const int noise = int(rnd.next() % 24);
            const auto px = tone(60 + 180 * xx / w + noise, 40 + 160 * yy / h, 200 - 150 * xx / w + noise);
            c.fill(x0 + xx, y0 + yy, x0 + xx + step, y0 + yy + step, px[0], px[1], px[2]);
        }
    }
    return QRect(x0, y0, w, h);
}

int jpegQualityFor(uint8_t level)
{
    switch (level) {
    case 0: return 95; // best
    case 1: return 90; // better
    case 2: return 50; // draft
    case 4: return 85; // high
    default: return 75; // good
    }
}

// Rows of one bit per pixel, most significant bit first; `inkBit` is the
// bit value of ink (black).
Bytes packBits(const Canvas &c, bool inkBit)
{
    const size_t row = (size_t(c.width()) + 7) / 8;
    Bytes out(row * size_t(c.height()), inkBit ? 0x00 : 0xFF);
    const uint8_t *src = c.pixels().data();
    for (int y = 0; y < c.height(); ++y) {
        uint8_t *dst = out.data() + size_t(y) * row;
        for (int x = 0; x < c.width(); ++x, ++src) {
            if (*src < 128) {
                if (inkBit)
                    dst[x >> 3] |= uint8_t(0x80 >> (x & 7));
                else
                    dst[x >> 3] &= uint8_t(~(0x80 >> (x & 7)));
            }
        }
    }
    return out;
}

std::optional<Bytes> encodeJpeg(const Canvas &c, int quality)
{
    QImage image(c.pixels().data(), c.width(), c.height(), c.width() * c.channels(),
                 c.channels() == 3 ? QImage::Format_RGB888 : QImage::Format_Grayscale8);
    // A scanner states the window's resolution in the JFIF header.
    image.setDotsPerMeterX(int(std::lround(c.dpiX() / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(c.dpiY() / 0.0254)));
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image))
        return std::nullopt;
    return Bytes(out.begin(), out.end());
}

// libtiff codes the page into a scratch file; its one strip is the data a
// scanner sends.
std::optional<Bytes> encodeGroup4(const Canvas &c)
{
    QTemporaryFile scratch;
    if (!scratch.open())
        return std::nullopt;
    const QByteArray path = scratch.fileName().toLocal8Bit();
    scratch.close();

    const Bytes rows = packBits(c, true);
    const size_t rowBytes = (size_t(c.width()) + 7) / 8;
    TIFF *out = TIFFOpen(path.constData(), "w");
    if (!out)
        return std::nullopt;
    TIFFSetField(out, TIFFTAG_IMAGEWIDTH, uint32_t(c.width()));
    TIFFSetField(out, TIFFTAG_IMAGELENGTH, uint32_t(c.height()));
    TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, uint32_t(c.height()));
    TIFFSetField(out, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(out, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    TIFFSetField(out, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(out, TIFFTAG_GROUP4OPTIONS, 0);
    bool ok = true;
    std::vector<uint8_t> line(rowBytes);
    for (int y = 0; ok && y < c.height(); ++y) {
        std::copy_n(rows.data() + size_t(y) * rowBytes, rowBytes, line.data());
        ok = TIFFWriteScanline(out, line.data(), uint32_t(y), 0) == 1;
    }
    TIFFClose(out);
    if (!ok)
        return std::nullopt;

    TIFF *in = TIFFOpen(path.constData(), "r");
    if (!in)
        return std::nullopt;
    std::optional<Bytes> strip;
    uint64_t *counts = nullptr;
    if (TIFFNumberOfStrips(in) == 1 && TIFFGetField(in, TIFFTAG_STRIPBYTECOUNTS, &counts) &&
        counts && counts[0] > 0) {
        Bytes data(static_cast<size_t>(counts[0]));
        if (TIFFReadRawStrip(in, 0, data.data(), tmsize_t(data.size())) == tmsize_t(data.size()))
            strip = std::move(data);
    }
    TIFFClose(in);
    return strip;
}

} // namespace

std::optional<WindowSpec> WindowSpec::decode(const Bytes &r)
{
    if (r.size() < kWireSize)
        return std::nullopt;
    WindowSpec w;
    w.windowId = r[0];
    w.cameraId = r[2];
    w.imageFormat = r[3];
    w.resolutionX = be16(r, 4);
    w.resolutionY = be16(r, 6);
    w.offsetX = be32(r, 8);
    w.offsetY = be32(r, 12);
    w.width = be32(r, 16);
    w.height = be32(r, 20);
    w.compression = r[36];
    w.jpegQuality = r[37];
    w.blankImageMode = r[67];
    if (w.resolutionX == 0 || w.resolutionY == 0)
        return std::nullopt;
    return w;
}

int pixelsOf(uint16_t dpi, uint32_t units1200)
{
    return int(uint64_t(dpi) * units1200 / 1200);
}

std::optional<PageImage> renderPage(const WindowSpec &window, Ink ink, unsigned sheet, int side,
                                    bool blank)
{
    PageImage page;
    page.width1200 = window.width ? window.width : kSheetWidth1200;
    page.height1200 = window.height ? window.height : kSheetHeight1200;
    const int width = pixelsOf(window.resolutionX, page.width1200);
    const int height = pixelsOf(window.resolutionY, page.height1200);
    // Larger than any sheet the feeder takes (17 inch at 1200 dpi, squared).
    constexpr int64_t kMaxPixels = int64_t(20400) * 20400;
    if (width <= 0 || height <= 0 || int64_t(width) * height > kMaxPixels)
        return std::nullopt;

    const uint8_t format = window.imageFormat > 2 ? 2 : window.imageFormat;
    std::optional<Canvas> canvas;
    try {
        canvas.emplace(width, height, format == 2 ? 3 : 1, window.resolutionX, window.resolutionY);
    } catch (const std::bad_alloc &) {
        return std::nullopt;
    }
    Canvas &c = *canvas;
    if (!blank) {
        Random rnd(uint32_t(sheet) * 2654435761u + uint32_t(side) * 40503u + 1);
        drawLabel(c, sheet, side);
        QRect picture;
        if (ink != Ink::BlackWhite)
            picture = drawPictures(c, rnd, ink, sheet);
        const int clear = c.x(0.15);
        drawText(c, rnd, c.y(1.0), c.height() - c.y(0.75),
                 picture.isNull() ? c.width() : picture.left() - clear,
                 picture.isNull() ? 0 : picture.bottom() + clear);
    }
    if (format == 0) {
        // A black-and-white window sees the page through a threshold.
        for (uint8_t &v : c.pixels())
            v = v < 128 ? 0 : 255;
    }
    page.blankContent = c.inkPercent();
    page.format = format;

    std::optional<Bytes> data;
    if (window.compression == 2) {
        page.compression = 2;
        data = encodeJpeg(c, jpegQualityFor(window.jpegQuality));
    } else if (window.compression == 1 && format == 0) {
        page.compression = 1;
        data = encodeGroup4(c);
    } else if (format == 0) {
        data = packBits(c, false);
    } else {
        data = std::move(c.pixels());
    }
    if (!data || data->empty())
        return std::nullopt;
    page.data = std::move(*data);
    return page;
}

Bytes ImageHeader::encode() const
{
    Bytes b(kWireSize, 0);
    b[0] = cameraId;
    b[1] = cameraType;
    b[2] = windowId;
    put32(b, 4, imageSize);
    b[8] = imageFormat;
    put16(b, 9, resolutionX);
    put16(b, 11, resolutionY);
    put32(b, 13, offsetX);
    put32(b, 17, offsetY);
    put32(b, 21, width);
    put32(b, 25, height);
    put16(b, 29, 1); // the image comes in one chunk
    b[31] = 1;
    b[32] = multifeed;
    put32(b, 114, printerIndex);
    b[179] = compression;
    b[190] = blankImageMode;
    b[191] = blankImageContent;
    b[198] = endOfSheet;
    b[200] = barcodesFound;
    b[211] = multiImageIndex;
    b[212] = multiImageTotal;
    return b;
}

} // namespace emu

#ifndef PAGETESTUTIL_H
#define PAGETESTUTIL_H

// Helpers shared by the page tests: device-like image data and the check
// that the TIFF reader Qt needs for merging TIFF pages is installed.

#include "pagefile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <QTemporaryDir>

#include <tiffio.h>

#include <functional>
#include <vector>

namespace pagetest {

// A header for a page of `width` x `height` pixels at `dpi`.
inline PageHeader header(int width, int height, int dpi, int imageFormat, int compression)
{
    PageHeader h;
    h.imageFormat = imageFormat;
    h.resolutionX = h.resolutionY = dpi;
    h.imageWidth = quint32(width) * 1200 / quint32(dpi);
    h.imageHeight = quint32(height) * 1200 / quint32(dpi);
    h.compressionMode = compression;
    return h;
}

// Black where the pattern says so: a frame, a diagonal and a block in the
// top-left corner, so turns and offsets show.
inline bool patternBlack(int x, int y, int width, int height)
{
    return x == 0 || y == 0 || x == width - 1 || y == height - 1 || x == y ||
           (x < width / 4 && y < height / 8);
}

// Group 4 data of the pattern, as the device sends it: the one strip of a
// min-is-white TIFF coded by libtiff.
inline QByteArray g4Strip(int width, int height)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath("g4.tif"));
    TIFF *tif = TIFFOpen(path.constData(), "w");
    if (!tif)
        return QByteArray();
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(height));
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    std::vector<unsigned char> row(size_t((width + 7) / 8));
    for (int y = 0; y < height; ++y) {
        std::fill(row.begin(), row.end(), 0);
        for (int x = 0; x < width; ++x)
            if (patternBlack(x, y, width, height))
                row[size_t(x / 8)] |= 0x80 >> (x % 8);
        TIFFWriteScanline(tif, row.data(), uint32_t(y), 0);
    }
    TIFFClose(tif);

    tif = TIFFOpen(path.constData(), "r");
    if (!tif)
        return QByteArray();
    QByteArray strip(int(TIFFRawStripSize(tif, 0)), '\0');
    const tmsize_t got = TIFFReadRawStrip(tif, 0, strip.data(), strip.size());
    TIFFClose(tif);
    return got == strip.size() ? strip : QByteArray();
}

// Raw device rows for a colour type, filled by `value(x, y)` (a grey level;
// colour pages get it in red and half of it in blue).
inline QByteArray rawRows(int imageFormat, int width, int height,
                          const std::function<int(int, int)> &value)
{
    const qint64 rowBytes = PageFile::rowBytes(imageFormat, width);
    QByteArray data(int(rowBytes * height), '\0');
    for (int y = 0; y < height; ++y) {
        unsigned char *row = reinterpret_cast<unsigned char *>(data.data()) + y * rowBytes;
        for (int x = 0; x < width; ++x) {
            const int v = value(x, y);
            if (imageFormat == 2) {
                row[3 * x] = uchar(v);
                row[3 * x + 1] = uchar(255 - v);
                row[3 * x + 2] = uchar(v / 2);
            } else if (imageFormat == 1) {
                row[x] = uchar(v);
            } else if (v > 127) {
                row[x / 8] |= 0x80 >> (x % 8); // bit 1 is white
            }
        }
    }
    return data;
}

inline bool tiffReaderInstalled()
{
    return QImageReader::supportedImageFormats().contains("tiff");
}

} // namespace pagetest

// A missing TIFF plugin silently turns every TIFF page into a load failure;
// the tests say so instead of skipping.
#define REQUIRE_TIFF_PLUGIN()                                                                    \
    do {                                                                                         \
        if (!pagetest::tiffReaderInstalled())                                                    \
            QFAIL("Qt has no TIFF image plugin: install qt5-image-formats-plugins");             \
    } while (false)

#endif

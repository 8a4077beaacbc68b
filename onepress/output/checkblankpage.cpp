#include "checkblankpage.h"

#include <QDebug>
#include <QImage>
#include <QImageReader>
#include <QRect>
#include <QtAlgorithms>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

int clampSensitivity(int sensitivity)
{
    return (sensitivity < -1 || sensitivity > 1) ? 0 : sensitivity;
}

int greyOf(const uchar *pixel, int bytesPerPixel)
{
    if (bytesPerPixel == 1)
        return pixel[0];
    return static_cast<int>(0.11 * pixel[0] + 0.59 * pixel[1] + 0.3 * pixel[2]);
}

// Pixels as the histograms read them: one byte per pixel for grey, else the
// first three bytes in memory order (blue, green, red on this machine).
bool readsAsItIs(const QImage &image)
{
    return image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_RGB32 ||
           image.format() == QImage::Format_ARGB32;
}

QImage histogramReady(const QImage &image)
{
    if (readsAsItIs(image))
        return image;
    switch (image.format()) {
    case QImage::Format_Indexed8:
        return image.allGray() ? image.convertToFormat(QImage::Format_Grayscale8)
                               : image.convertToFormat(QImage::Format_RGB32);
    default:
        return image.convertToFormat(QImage::Format_RGB32);
    }
}

// Bins the pixels of `area` the way the colour rule weighs them: grey
// v = 0.11 * first + 0.59 * second + 0.3 * third byte, cut to an integer, and
// only bands that start below 256 / g are counted. `image` is one of the
// layouts histogramReady passes through.
void colourHistogram(const QImage &image, const QRect &area, int g, quint64 (&c)[256])
{
    const int bands = 256 / g;
    const int bpp = image.depth() / 8;
    // The largest grey that still lands in a counted band.
    const int vmax = ((bands - 1) / g) * g + g - 1;
    // 11 * b + 59 * g + 30 * r above this is a grey over vmax whatever the
    // rounding of the real-valued weights (they err by far less than 1/100),
    // so such a pixel, the paper of most pages, is passed over with integer
    // arithmetic alone; the others are weighed exactly as the rule says.
    const int skipAbove = 100 * (vmax + 1);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar *line = image.constScanLine(y) + area.left() * bpp;
        const uchar *end = line + area.width() * bpp;
        if (bpp == 1) {
            for (const uchar *p = line; p < end; ++p) {
                const int v = *p;
                if (v <= vmax)
                    ++c[(v / g) * g];
            }
            continue;
        }
        for (const uchar *p = line; p < end; p += bpp) {
            if (11 * p[0] + 59 * p[1] + 30 * p[2] > skipAbove)
                continue;
            const int idx = (greyOf(p, bpp) / g) * g;
            if (idx < bands)
                ++c[idx];
        }
    }
}

// The colour rule over `area` of a histogramReady image.
bool colourBlank(const QImage &image, const QRect &area, int sensitivity)
{
    const int g = clampSensitivity(sensitivity) + 3;
    quint64 c[256] = {};
    colourHistogram(image, area, g, c);
    for (int k = 0; k < 256; ++k)
        qDebug().noquote() << QStringLiteral("Blank check histogram %1: %2").arg(k).arg(c[k]);
    bool rising = c[0] < c[1];
    int turns = 0;
    for (int k = 1; k <= 84; ++k) {
        if (rising && c[k - 1] > c[k]) {
            ++turns;
            rising = false;
        } else if (!rising && c[k - 1] <= c[k]) {
            ++turns;
            rising = true;
        }
    }
    return turns <= 1;
}

// The part of a page inside a margin of m pixels, taken as QImage::copy
// takes it: nothing is left when it has no width or no height, except that a
// rectangle of neither stands for the whole page.
bool innerPart(const QImage &image, int m, QRect &inner)
{
    inner = image.rect();
    if (m <= 0)
        return true;
    const QRect part(m, m, image.width() - 2 * m, image.height() - 2 * m);
    if (part.isNull())
        return true;
    if (part.width() <= 0 || part.height() <= 0)
        return false;
    inner = part;
    return true;
}

// Bytes of one row of a 1-bit image from pixel `x` on, in the image's own bit
// order, as they would lie in a copy starting at that pixel.
class BitRow
{
public:
    BitRow(const QImage &image, int x, int bytes)
        : m_image(image), m_first(x / 8), m_shift(x % 8),
          m_msbFirst(image.format() == QImage::Format_Mono), m_buffer(m_shift ? bytes : 0)
    {
    }
    const uchar *row(int y)
    {
        const uchar *line = m_image.constScanLine(y) + m_first;
        if (m_shift == 0)
            return line;
        // The byte after the last one read still holds a pixel of the row,
        // since the part ends inside it at the latest.
        for (std::size_t b = 0; b < m_buffer.size(); ++b) {
            const uint lo = line[b], hi = line[b + 1];
            m_buffer[b] = static_cast<uchar>(m_msbFirst ? ((lo << 8 | hi) << m_shift) >> 8
                                                        : (lo | hi << 8) >> m_shift);
        }
        return m_buffer.data();
    }

private:
    const QImage &m_image;
    int m_first;
    int m_shift;
    bool m_msbFirst;
    std::vector<uchar> m_buffer;
};

// The page's verdict; a page that could not be read is not blank.
bool weighPage(const QImage &image, int resolution, int sensitivity)
{
    if (image.isNull())
        return false;
    QRect inner;
    if (!innerPart(image, static_cast<int>((resolution / 2) * 0.3), inner))
        return false;
    sensitivity = clampSensitivity(sensitivity);
    // The page is weighed inside its margin where it lies: a copy of the
    // inner part would only cost time (a 300 dpi A4 colour page is 35 MB).
    if (image.depth() == 1) {
        QImage grey;
        CheckBlankPage::bwToGray(image, inner, grey);
        return CheckBlankPage::IsBlankPageForBW(grey, sensitivity);
    }
    if (readsAsItIs(image))
        return colourBlank(image, inner, sensitivity);
    return CheckBlankPage::IsBlankPageForColorGray(
        inner == image.rect() ? image : image.copy(inner), sensitivity);
}

// A page that cannot be read is not blank; `decoded` is reused when the
// next page has the same size and format.
bool weighFile(const QString &fileName, QImage &decoded, int resolution, int sensitivity)
{
    if (!QImageReader(fileName).read(&decoded))
        decoded = QImage();
    return weighPage(decoded, resolution, sensitivity);
}

} // namespace

CheckBlankPage::CheckBlankPage(QObject *parent) : QObject(parent) {}

bool CheckBlankPage::checkImageBlankPage(tagSCAN_IMAGE_FILE &page, int sensitivity)
{
    QImage decoded;
    return weighFile(page.fileName, decoded, page.resolution, sensitivity);
}

QVector<bool> CheckBlankPage::markBlankPages(const QList<tagSCAN_IMAGE_FILE> &pages,
                                             int sensitivity, const std::atomic<bool> *stop)
{
    // Pages checked one after the other are decoded into the same memory: a
    // fresh 35 MB for each 300 dpi A4 colour page, handed out and cleared by
    // the system, costs as much as the decoding itself. The memory goes when
    // the marking ends, on the thread that marked, with no event left behind.
    QVector<bool> marks(pages.size(), false);
    QImage decoded;
    for (int i = 0; i < pages.size() && !(stop && stop->load()); ++i) {
        const tagSCAN_IMAGE_FILE &page = pages.at(i);
        if (page.barcode.isEmpty())
            marks[i] = weighFile(page.fileName, decoded, page.resolution, sensitivity);
    }
    return marks;
}

bool CheckBlankPage::bwToGray(const QImage &source, QImage &target)
{
    if (source.isNull() || source.depth() > 1)
        return false;
    return bwToGray(source, source.rect(), target);
}

bool CheckBlankPage::bwToGray(const QImage &src, const QRect &area, QImage &target)
{
    if (src.isNull() || src.depth() > 1 || !src.rect().contains(area))
        return false;
    // A row counts whole bytes only, and the bits of an unfinished block at
    // a row's end are carried into the next row's first block of the band.
    const int tw = area.width() / 16;
    const int th = area.height() / 16;
    QImage out(tw, th, QImage::Format_Indexed8);
    if (out.isNull() && (tw > 0 && th > 0))
        return false;
    QVector<QRgb> table(256);
    for (int i = 0; i < 256; ++i)
        table[i] = qRgba(i, i, i, 255);
    out.setColorTable(table);
    out.fill(0);
    const int bytes = area.width() / 8;
    BitRow rows(src, area.left(), bytes);
    for (int band = 0; band + 15 < area.height(); band += 16) {
        uchar *dst = out.scanLine(band / 16);
        int count = 0;
        for (int row = band; row < band + 16; ++row) {
            // Blocks are two whole bytes wide, so the bit order inside a
            // byte does not change a block's count.
            const uchar *line = rows.row(area.top() + row);
            for (int b = 0; b < bytes; ++b) {
                count += 8 - qPopulationCount(line[b]);
                if (b & 1) {
                    const int index = b / 2;
                    if (index < tw) {
                        const int sum = dst[index] + count;
                        dst[index] = static_cast<uchar>(sum > 255 ? 255 : sum);
                    }
                    count = 0;
                }
            }
        }
    }
    target = out;
    return true;
}

bool CheckBlankPage::IsBlankPageForBW(const QImage &grey, int sensitivity)
{
    if (grey.isNull())
        return false;
    sensitivity = clampSensitivity(sensitivity);
    const quint64 q = sensitivity == -1 ? 2 : sensitivity == 1 ? 32 : 16;
    quint64 c[256] = {};
    const QImage image = grey.depth() == 8 ? grey : histogramReady(grey);
    const int bpp = image.depth() / 8;
    for (int y = 0; y < image.height(); ++y) {
        const uchar *line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x)
            ++c[greyOf(line + x * bpp, bpp)];
    }
    bool rising = c[0] < c[1];
    int turns = 0;
    for (int k = 1; k < 256; ++k) {
        const quint64 a = c[k - 1] / q;
        const quint64 b = c[k] / q;
        if (rising && b < a) {
            ++turns;
            rising = false;
        } else if (!rising && b >= a) {
            ++turns;
            rising = true;
        }
    }
    qDebug() << "Blank check (black and white): turns" << turns;
    return turns <= 1;
}

bool CheckBlankPage::IsBlankPageForColorGray(const QImage &source, int sensitivity)
{
    if (source.isNull())
        return false;
    const QImage image = histogramReady(source);
    return colourBlank(image, image.rect(), sensitivity);
}

#include "checkblankpage.h"

#include <QDebug>
#include <QImage>

#include <cstdint>

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
QImage histogramReady(const QImage &image)
{
    switch (image.format()) {
    case QImage::Format_Grayscale8:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        return image;
    case QImage::Format_Indexed8:
        return image.allGray() ? image.convertToFormat(QImage::Format_Grayscale8)
                               : image.convertToFormat(QImage::Format_RGB32);
    default:
        return image.convertToFormat(QImage::Format_RGB32);
    }
}

} // namespace

CheckBlankPage::CheckBlankPage(QObject *parent) : QObject(parent) {}

bool CheckBlankPage::checkImageBlankPage(tagSCAN_IMAGE_FILE &page, int sensitivity)
{
    QImage image(page.fileName);
    if (image.isNull())
        return false;
    const int m = static_cast<int>((page.resolution / 2) * 0.3);
    if (m > 0)
        image = image.copy(m, m, image.width() - 2 * m, image.height() - 2 * m);
    if (image.isNull())
        return false;
    sensitivity = clampSensitivity(sensitivity);
    if (image.depth() == 1) {
        QImage grey;
        bwToGray(image, grey);
        return IsBlankPageForBW(grey, sensitivity);
    }
    return IsBlankPageForColorGray(image, sensitivity);
}

bool CheckBlankPage::bwToGray(const QImage &source, QImage &target)
{
    if (source.isNull() || source.depth() > 1)
        return false;
    // Blocks are two whole bytes wide, so the bit order inside a byte does
    // not change a block's count.
    const QImage &src = source;
    const int tw = src.width() / 16;
    const int th = src.height() / 16;
    QImage out(tw, th, QImage::Format_Indexed8);
    if (out.isNull() && (tw > 0 && th > 0))
        return false;
    QVector<QRgb> table(256);
    for (int i = 0; i < 256; ++i)
        table[i] = qRgba(i, i, i, 255);
    out.setColorTable(table);
    out.fill(0);
    const int bytes = src.width() / 8;
    for (int band = 0; band + 15 < src.height(); band += 16) {
        uchar *dst = out.scanLine(band / 16);
        int count = 0;
        for (int row = band; row < band + 16; ++row) {
            const uchar *line = src.constScanLine(row);
            int pixel = 0;
            for (int b = 0; b < bytes; ++b) {
                const uchar byte = line[b];
                for (int bit = 0; bit < 8; ++bit) {
                    ++pixel;
                    if (!((byte >> bit) & 1))
                        ++count;
                    if (pixel % 16 == 0) {
                        const int index = pixel / 16 - 1;
                        if (index < tw) {
                            const int sum = dst[index] + count;
                            dst[index] = static_cast<uchar>(sum > 255 ? 255 : sum);
                        }
                        count = 0;
                    }
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
    sensitivity = clampSensitivity(sensitivity);
    const int g = sensitivity + 3;
    const int bands = 256 / g;
    quint64 c[256] = {};
    const QImage image = histogramReady(source);
    const int bpp = image.depth() / 8;
    for (int y = 0; y < image.height(); ++y) {
        const uchar *line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const int v = greyOf(line + x * bpp, bpp);
            // The bands are consecutive: v falls into the band starting at
            // the multiple of g below it, when that start is binned at all.
            const int idx = (v / g) * g;
            if (idx < bands)
                ++c[idx];
        }
    }
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

#include "processimage.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// Two greys belong to the same background when they are this close.
const int kNear = 64;
// Counts below this are noise when a row's background is looked for.
const int kMinPixels = 11;

bool near(int a, int b, int distance = kNear)
{
    return std::abs(a - b) <= distance;
}

// Grey of a pixel whose first three bytes are blue, green and red.
inline int pixelGrey(const unsigned char *p)
{
    return (11 * p[2] + 16 * p[1] + 5 * p[0]) / 32;
}

// The value in [from, to] with the highest count of at least `minimum`;
// the lower value wins a tie. -1 when none qualifies.
int mostFrequent(const int *counts, int from, int to, int minimum, int skip = -1)
{
    int best = -1;
    int bestCount = 0;
    for (int v = from; v <= to; ++v) {
        if (v == skip || counts[v] < minimum)
            continue;
        if (counts[v] > bestCount) {
            best = v;
            bestCount = counts[v];
        }
    }
    return best;
}

int lowestPresent(const int *counts)
{
    for (int v = 0; v < 256; ++v)
        if (counts[v] > 0)
            return v;
    return 255;
}

} // namespace

ProcessImage::ProcessImage(QObject *parent)
    : QObject(parent),
      m_bSaveSize(true),
      m_nCombineScaling(CombineScalingFlag(0)),
      m_nCombineType(CombineTypeFlag(0)),
      m_nMergeWidth(0),
      m_nMergeHeight(0)
{
}

void ProcessImage::setParameters(bool saveSize, CombineScalingFlag scaling, CombineTypeFlag type)
{
    m_bSaveSize = saveSize;
    m_nCombineScaling = scaling;
    m_nCombineType = type;
}

int ProcessImage::getFileListCount() const
{
    return m_listImageFile.size();
}

int ProcessImage::groupSize(int combineType)
{
    switch (combineType) {
    case CombineTwo:
        return 2;
    case CombineFour:
        return 4;
    case CombineNine:
        return 9;
    default:
        return 0;
    }
}

void ProcessImage::addImageFile(QString file, signed char side, QStringList barcodes, int width,
                                int height, int resolution, int colourMode)
{
    m_listImageFile.append(
        tagSCAN_IMAGE_FILE::page(file, side, barcodes, width, height, resolution, colourMode));
}

QList<tagSCAN_IMAGE_FILE> ProcessImage::takeImages()
{
    QList<tagSCAN_IMAGE_FILE> pages;
    pages.swap(m_listImageFile);
    return pages;
}

void ProcessImage::removeImages()
{
    for (const tagSCAN_IMAGE_FILE &page : qAsConst(m_listImageFile))
        QFile::remove(page.fileName);
    m_listImageFile.clear();
}

bool ProcessImage::gridFor(Grid &grid) const
{
    int w0 = 0, h0 = 0;
    grid.resolution = 200;
    if (!m_listImageFile.isEmpty()) {
        w0 = m_listImageFile.first().width;
        h0 = m_listImageFile.first().height;
        grid.resolution = m_listImageFile.first().resolution;
    }
    grid.landscape = h0 < w0;
    switch (m_nCombineType) {
    case CombineTwo:
        grid.rows = 1;
        grid.columns = 2;
        break;
    case CombineFour:
        grid.rows = grid.columns = 2;
        break;
    case CombineNine:
        grid.rows = grid.columns = 3;
        break;
    default:
        qDebug() << "Cannot process this combine type" << int(m_nCombineType);
        return false;
    }
    if (grid.landscape)
        std::swap(grid.rows, grid.columns);
    return true;
}

bool ProcessImage::MergeBmpFile(QString output)
{
    Grid grid;
    if (!gridFor(grid))
        return false;
    return m_bSaveSize ? mergeActualSize(grid, output) : mergeFixedSheet(grid, output);
}

QImage ProcessImage::turnedForReference(const QImage &page, bool landscape) const
{
    int angle = 0;
    if (landscape && page.height() >= page.width())
        angle = 270;
    else if (!landscape && page.height() < page.width())
        angle = 90;
    if (angle == 0)
        return page;
    return page.transformed(QTransform().rotate(angle), Qt::FastTransformation);
}

QImage ProcessImage::blankCanvas(int width, int height, int resolution)
{
    m_nMergeWidth = width;
    m_nMergeHeight = height;
    if (width <= 0 || height <= 0)
        return QImage();
    QImage canvas(width, height, QImage::Format_RGB32);
    if (canvas.isNull())
        return canvas;
    canvas.fill(Qt::white);
    const int dpm = PageFile::dotsPerMeter(resolution);
    canvas.setDotsPerMeterX(dpm);
    canvas.setDotsPerMeterY(dpm);
    return canvas;
}

bool ProcessImage::writeCanvas(const QImage &canvas, const QString &output) const
{
    if (!PageFile::writeImageFile(canvas, output, QFileInfo(output).suffix().toLatin1())) {
        qDebug() << "Cannot write merged page" << output;
        return false;
    }
    return true;
}

bool ProcessImage::mergeActualSize(const Grid &grid, const QString &output)
{
    QList<QImage> pages;
    for (const tagSCAN_IMAGE_FILE &page : qAsConst(m_listImageFile)) {
        QImage image(page.fileName);
        if (image.isNull()) {
            qDebug() << "Cannot load page for merging" << page.fileName;
            return false;
        }
        pages.append(image);
    }

    const bool square = grid.rows == grid.columns;
    int cellWidth = 0, cellHeight = 0, sheetWidth = 0, sheetHeight = 0;
    if (square) {
        for (const QImage &image : qAsConst(pages)) {
            const int longSide = std::max(image.width(), image.height());
            const int shortSide = std::min(image.width(), image.height());
            cellWidth = std::max(cellWidth, grid.landscape ? longSide : shortSide);
            cellHeight = std::max(cellHeight, grid.landscape ? shortSide : longSide);
        }
        sheetWidth = grid.columns * cellWidth;
        sheetHeight = grid.rows * cellHeight;
    } else {
        for (const QImage &image : qAsConst(pages)) {
            if (grid.landscape) {
                sheetHeight += image.height();
                sheetWidth = std::max(sheetWidth, image.width());
            } else {
                sheetWidth += image.width();
                sheetHeight = std::max(sheetHeight, image.height());
            }
        }
        // A lone page keeps the second place free beside or below it.
        if (pages.size() == 1) {
            if (sheetWidth > sheetHeight)
                sheetHeight += pages.last().height();
            else
                sheetWidth += pages.last().width();
        }
    }

    QImage canvas = blankCanvas(sheetWidth, sheetHeight, grid.resolution);
    bool ok = !canvas.isNull();
    if (!ok)
        qDebug() << "Cannot build a merged sheet of" << sheetWidth << "x" << sheetHeight;
    if (ok) {
        QPainter painter(&canvas);
        int advance = 0;
        for (int k = 0; k < pages.size(); ++k) {
            const QImage turned = turnedForReference(pages.at(k), grid.landscape);
            if (turned.isNull()) {
                qDebug() << "Cannot turn page for merging" << m_listImageFile.at(k).fileName;
                ok = false;
                break;
            }
            int x = 0, y = 0;
            if (square) {
                x = (k % grid.columns) * cellWidth;
                y = (k / grid.columns) * cellHeight;
            } else if (grid.landscape) {
                y = advance;
                advance += turned.height();
            } else {
                x = advance;
                advance += turned.width();
            }
            painter.drawImage(x, y, turned);
        }
    }
    pages.clear();
    if (ok)
        ok = writeCanvas(canvas, output);
    // Only pages that made it onto a written sheet go; after a failure they
    // stay collected for the caller to give out as they are.
    if (ok)
        removeImages();
    return ok;
}

bool ProcessImage::mergeFixedSheet(const Grid &grid, const QString &output)
{
    const qint64 r = grid.resolution;
    const bool a4 = m_nCombineScaling == CombineScalingA4;
    const int shortSide = int(r * (a4 ? 9921 : 14031) / 1200);
    const int longSide = int(r * (a4 ? 14031 : 19842) / 1200);
    const bool square = grid.rows == grid.columns;
    // Four or nine pages keep the pages' orientation; two pages lie beside
    // (or above) each other on a sheet turned the other way.
    const bool portraitSheet = square ? !grid.landscape : grid.landscape;
    const int sheetWidth = portraitSheet ? shortSide : longSide;
    const int sheetHeight = portraitSheet ? longSide : shortSide;
    const int cellWidth = sheetWidth / grid.columns;
    const int cellHeight = sheetHeight / grid.rows;

    QImage canvas = blankCanvas(sheetWidth, sheetHeight, grid.resolution);
    bool ok = !canvas.isNull();
    if (!ok)
        qDebug() << "Cannot build a merged sheet of" << sheetWidth << "x" << sheetHeight;
    if (ok) {
        QPainter painter(&canvas);
        for (int k = 0; k < m_listImageFile.size(); ++k) {
            const QString &file = m_listImageFile.at(k).fileName;
            QImage image(file);
            if (!image.isNull())
                image = turnedForReference(image, grid.landscape);
            if (!image.isNull())
                image = image.scaled(cellWidth, cellHeight, Qt::KeepAspectRatio,
                                     Qt::FastTransformation);
            if (image.isNull()) {
                qDebug() << "Cannot place page on the merged sheet" << file;
                ok = false;
                break;
            }
            int x = 0, y = 0;
            if (square) {
                x = (k % grid.columns) * cellWidth;
                y = (k / grid.columns) * cellHeight;
            } else if (grid.landscape) {
                y = k * cellHeight;
            } else {
                x = k * cellWidth;
            }
            painter.drawImage(x, y, image);
        }
    }
    if (ok)
        ok = writeCanvas(canvas, output);
    if (ok)
        removeImages();
    return ok;
}

bool ProcessImage::RemoveBackGround(QString file)
{
    qDebug() << "RemoveBackGround";
    QImage image(file);
    if (image.isNull() || image.depth() < 24)
        return false;
    RemoveBackGround(image.bits(), image.bytesPerLine(), image.width(), image.height(),
                     image.depth() / 8);

    // Written aside and swapped in, so a failed save leaves the page intact.
    const bool saved = PageFile::writeImageFile(image, file, QFileInfo(file).suffix().toLatin1());
    qDebug() << (saved ? "true" : "false");
    return saved;
}

bool ProcessImage::RemoveBackGround(unsigned char *bits, int bytesPerLine, int width, int height,
                                    int bytesPerPixel)
{
    if (!bits || bytesPerPixel < 3 || width < 0 || height < 0 ||
        qint64(bytesPerLine) < qint64(width) * bytesPerPixel)
        return false;

    std::vector<tagTColorInfo> rows(static_cast<size_t>(height));
    int rowsOf[256] = {};

    // Pass 1: each row's own background grey.
    for (int i = 0; i < height; ++i) {
        const unsigned char *line = bits + qint64(i) * bytesPerLine;
        int hist[256] = {};
        for (int x = 0; x < width; ++x)
            ++hist[pixelGrey(line + qint64(x) * bytesPerPixel)];

        const int found = mostFrequent(hist, 1, 254, kMinPixels);
        int p = found < 0 ? 255 : found;
        int nearCount = 0;
        if (p >= 245) {
            if (found >= 0) {
                // Near-white paper: look for a darker background instead.
                int d = mostFrequent(hist, 0, 244, kMinPixels);
                if (d < 0)
                    d = lowestPresent(hist);
                p = 255 - d > 10 ? d : 255;
            }
        } else {
            for (int g = 0; g < 256; ++g)
                if (near(g, p))
                    nearCount += hist[g];
        }
        const int white = hist[255];
        if (p != 255 && white > 0 && white >= nearCount)
            p = 255;
        rows[size_t(i)].colour = static_cast<unsigned char>(p);
        rows[size_t(i)].count = p == 255 ? white : nearCount;
        ++rowsOf[p];
    }

    // Pass 2: the page's background from the rows'.
    int q = mostFrequent(rowsOf, 1, 254, 2);
    int s = 0;
    if (q < 0) {
        q = lowestPresent(rowsOf);
    } else {
        for (const tagTColorInfo &row : rows)
            if (row.colour != 255 && near(row.colour, q))
                ++s;
        if (q <= 10) {
            // A very dark "background" is more likely text or a border.
            int q2 = mostFrequent(rowsOf, 0, 254, 2, q);
            if (q2 < 0)
                q2 = lowestPresent(rowsOf);
            int s2 = 0;
            for (const tagTColorInfo &row : rows)
                if (near(row.colour, q2))
                    ++s2;
            if (s < s2)
                q = q2;
        }
    }
    const int whiteRows = rowsOf[255];
    if (whiteRows > 0 && (s <= whiteRows || s < height / 3))
        return true;
    if (q >= 245)
        return true;

    int first = 0;
    for (int i = 0; i < height; ++i) {
        if (rows[size_t(i)].colour == q) {
            first = i;
            break;
        }
    }
    const int limit = height / 5;
    for (int i = 0; i < height; ++i) {
        const int k = rows[size_t(i)].colour;
        const bool white = k == 255;
        if (!((near(k, q) || white) && (near(k, q, 32) || std::abs(first - i) <= limit || white)))
            continue;
        const int reference = white ? q : k;
        unsigned char *line = bits + qint64(i) * bytesPerLine;
        for (int x = 0; x < width; ++x) {
            unsigned char *p = line + qint64(x) * bytesPerPixel;
            if (near(pixelGrey(p), reference))
                p[0] = p[1] = p[2] = 255;
        }
    }
    return true;
}

#ifndef OUTPUTTESTUTIL_H
#define OUTPUTTESTUTIL_H

// Page files and outside-tool runs shared by the output pipeline's tests.

#include "pagefile.h"
#include "support/fulldisk.h"
#include "support/processes.h"
#include "support/testtiming.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QStringList>

#include <tiffio.h>

namespace outtest {

using testsupport::inFullDiskChild;

inline QImage whitePage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// A page with a picture that is not symmetric in any direction, so a flipped
// or colour-swapped copy is told apart: red block top-left, blue bottom-right.
inline QImage drawPage(int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    QImage image = whitePage(w, h);
    QPainter p(&image);
    p.fillRect(0, 0, w / 4, h / 5, QColor(255, 0, 0));
    p.fillRect(w - w / 3, h - h / 4, w / 3, h / 4, QColor(0, 0, 255));
    p.setPen(Qt::black);
    for (int y = h / 3; y < h / 2; y += 12)
        p.drawLine(w / 8, y, w - w / 8, y);
    p.end();
    return format == QImage::Format_RGB32 ? image : image.convertToFormat(format);
}

// An A4 300 dpi page of office text, its words differing from page to page.
inline QImage textPage(int number)
{
    static const char *const kWords[] = {
        "invoice",  "delivery", "amount",    "customer", "account", "payment", "order",  "total",
        "contract", "address",  "signature", "quantity", "service", "office",  "report", "date"};
    QImage image = whitePage(2480, 3508);
    image.setDotsPerMeterX(11811);
    image.setDotsPerMeterY(11811);
    QPainter p(&image);
    p.setPen(Qt::black);
    p.setFont(QFont("DejaVu Sans", 11));
    p.drawText(250, 300, QStringLiteral("Page %1").arg(number));
    unsigned seed = 2654435761u * unsigned(number + 1);
    for (int y = 450; y < 3250; y += 70) {
        QString line;
        while (line.size() < 80) {
            seed = seed * 1103515245u + 12345u;
            line += QString::fromLatin1(kWords[(seed >> 16) % 16]) + ' ';
            if ((seed >> 8) % 5 == 0)
                line += QString::number((seed >> 12) % 10000) + ' ';
        }
        p.drawText(250, y, line);
    }
    p.end();
    return image;
}

inline QString writePage(const QString &path, const QImage &image, const char *format = nullptr,
                         int dpi = 300)
{
    QImage copy = image;
    copy.setDotsPerMeterX(qRound(dpi / 0.0254));
    copy.setDotsPerMeterY(qRound(dpi / 0.0254));
    copy.save(path, format);
    return path;
}

// A bitonal page written by libtiff as one Group 4 strip, 0 = black as the
// scanner writes it (min-is-white).
inline bool writeG4Tiff(const QString &path, const QImage &image, int dpi = 300)
{
    const QImage mono = image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    TIFF *tif = TIFFOpen(path.toLocal8Bit().constData(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, mono.width());
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, mono.height());
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, mono.height());
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, float(dpi));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, float(dpi));
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    // Qt's Mono has 1 = colour table entry 1; make 1 mean black.
    const bool oneIsBlack = qGray(mono.color(1)) < 128;
    QByteArray row((mono.width() + 7) / 8, 0);
    for (int y = 0; y < mono.height(); ++y) {
        const uchar *src = mono.constScanLine(y);
        for (int i = 0; i < row.size(); ++i)
            row[i] = static_cast<char>(oneIsBlack ? src[i] : ~src[i]);
        if (TIFFWriteScanline(tif, row.data(), static_cast<uint32_t>(y), 0) < 0) {
            TIFFClose(tif);
            return false;
        }
    }
    TIFFClose(tif);
    return true;
}

inline tagSCAN_IMAGE_FILE page(const QString &file, int w, int h, int dpi = 300,
                               const QString &barcode = QString(), bool blank = false)
{
    tagSCAN_IMAGE_FILE p;
    p.fileName = file;
    p.width = w;
    p.height = h;
    p.resolution = dpi;
    p.barcode = barcode;
    p.blank = blank;
    return p;
}

// The file's bytes; empty when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// A bash script that may be run; returns its path, empty when it could not
// be written.
inline QString writeScript(const QString &path, const QString &body)
{
    if (!writeFile(path, ("#!/bin/bash\n" + body).toUtf8()) ||
        !QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner))
        return QString();
    return path;
}

// The arguments a fake program wrote, each ended by a NUL byte.
inline QStringList recordedArguments(const QString &path)
{
    QStringList out;
    const QList<QByteArray> parts = readFile(path).split('\0');
    for (int i = 0; i + 1 < parts.size(); ++i)
        out << QString::fromUtf8(parts.at(i));
    return out;
}

// A folder's files, hidden ones too, by name.
inline QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// The file name each page's output got, empty where it got none.
inline QStringList outputNames(const QList<tagSCAN_IMAGE_FILE> &pages)
{
    QStringList names;
    for (const tagSCAN_IMAGE_FILE &p : pages)
        names << QFileInfo(p.outputFileName).fileName();
    return names;
}

struct ToolResult
{
    int code = -1;
    QString out;
};

// Output and error together, as a reader of the tool's report sees them.
inline ToolResult run(const QString &program, const QStringList &args, int timeoutMs = 30000)
{
    const testsupport::ToolRun r = testsupport::runTool(program, args, timeoutMs);
    return {r.code, QString::fromUtf8(r.out + r.err)};
}

} // namespace outtest

#endif

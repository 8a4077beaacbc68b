// The PDF savers of the output worker: one document per group (type 2) and
// one per page (type 10).

#include "processfile.h"

#include "generatefilename.h"
#include "onepressglobal.h"
#include "pdfhandler.h"
#include "taskshortcut.h"

#include <FreeImage.h>

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>

#include <cstring>

namespace {

// A bitonal page as 8-bit grey, eight pixels a byte through a table: Qt's
// own conversion takes several times as long on an A4 page.
QImage monoToGrey(const QImage &mono)
{
    QImage grey(mono.size(), QImage::Format_Grayscale8);
    if (grey.isNull())
        return grey;
    const uchar value0 = static_cast<uchar>(qGray(mono.color(0)));
    const uchar value1 = static_cast<uchar>(qGray(mono.color(1)));
    const bool lsb = mono.format() == QImage::Format_MonoLSB;
    uchar table[256][8];
    for (int b = 0; b < 256; ++b)
        for (int i = 0; i < 8; ++i) {
            const int bit = lsb ? (b >> i) & 1 : (b >> (7 - i)) & 1;
            table[b][i] = bit ? value1 : value0;
        }
    const int width = mono.width();
    const int whole = width / 8;
    for (int y = 0; y < mono.height(); ++y) {
        const uchar *src = mono.constScanLine(y);
        uchar *dst = grey.scanLine(y);
        for (int x = 0; x < whole; ++x)
            memcpy(dst + 8 * x, table[src[x]], 8);
        for (int x = whole * 8; x < width; ++x)
            dst[x] = table[src[x / 8]][x % 8];
    }
    grey.setDotsPerMeterX(mono.dotsPerMeterX());
    grey.setDotsPerMeterY(mono.dotsPerMeterY());
    return grey;
}

} // namespace

QString ProcessFile::tempJpegFile() const
{
    if (!g_ConfigFile.m_strJpegFile.isEmpty())
        return g_ConfigFile.m_strJpegFile;
    return QDir::tempPath() +
           QStringLiteral("/IMGJPEG-%1.jpg").arg(reinterpret_cast<quintptr>(this));
}

QString ProcessFile::jpegForPdf(const QString &pageFile, bool viaFreeImage, bool convert)
{
    if (!convert && PdfHandler::isCompleteJpeg(pageFile))
        return pageFile;
    // The temporary JPEG is removed first: a conversion that fails must not
    // leave the previous page's picture to be taken in its place.
    const QString temp = tempJpegFile();
    QFile::remove(temp);
    if (QFile::exists(temp))
        return QString();
    bool ok;
    if (viaFreeImage) {
        ok = saveImageToFreeImage(pageFile, temp, FIF_JPEG) == 0;
    } else {
        QImage image = loadPageImage(pageFile);
        if ((image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB) &&
            image.colorCount() >= 2)
            image = monoToGrey(image);
        else if (image.format() == QImage::Format_Mono || image.format() == QImage::Format_MonoLSB)
            image = image.convertToFormat(QImage::Format_Grayscale8);
        else if (image.hasAlphaChannel())
            image = image.convertToFormat(QImage::Format_RGB32);
        ok = !image.isNull() && image.save(temp, "jpg");
    }
    if (!ok) {
        qDebug() << "Can not convert the page file to JPEG:" << pageFile;
        QFile::remove(temp);
        return QString();
    }
    return temp;
}

int ProcessFile::savePdfInOneFile(tagTASK_SHORTCUT &, GenerateFileName &gen)
{
    PdfHandler pdf;
    forEachGroup(gen, [&](QList<tagSCAN_IMAGE_FILE> &group) {
        const QString output = group.first().outputFileName;
        bool skip = output.isEmpty() || !pdf.openFile(m_strKeyWord);
        if (skip)
            fail(-50);
        for (const tagSCAN_IMAGE_FILE &page : qAsConst(group)) {
            if (!skip) {
                const int before = pdf.pageCount();
                QString jpeg = jpegForPdf(page.fileName, false, false);
                bool ok = !jpeg.isEmpty() &&
                          pdf.addPage(page.width, page.height, page.resolution, jpeg, output);
                // A JPEG the PDF library does not take as it is goes in converted.
                if (!ok && jpeg == page.fileName && pdf.pageCount() == before) {
                    jpeg = jpegForPdf(page.fileName, false, true);
                    ok = !jpeg.isEmpty() &&
                         pdf.addPage(page.width, page.height, page.resolution, jpeg, output);
                }
                if (!ok) {
                    fail(-50);
                    skip = true;
                }
            }
            pagesDone(1);
        }
        // The file gets every page the document took, also when the group
        // ended early.
        if (pdf.pageCount() > 0 && !pdf.flush(output))
            fail(-50);
        if (pdf.writtenPageCount() == 0)
            unannounce(output);
    });
    pdf.closeFile();
    QFile::remove(tempJpegFile());
    finishSaver();
    return m_nResult;
}

int ProcessFile::savePdfOnePageOneFile(GenerateFileName &gen)
{
    forEachPage(gen, [&](QList<tagSCAN_IMAGE_FILE> &group, int i) {
        const tagSCAN_IMAGE_FILE &page = group.at(i);
        if (!pageFileUsable(page.fileName, "file is not exsit", "file size is zero")) {
            unannounce(page.outputFileName);
            return;
        }
        PdfHandler pdf;
        QString jpeg = jpegForPdf(page.fileName, true, false);
        bool ok = !page.outputFileName.isEmpty() && !jpeg.isEmpty() && pdf.openFile(m_strKeyWord) &&
                  pdf.addPage(page.width, page.height, page.resolution, jpeg, page.outputFileName);
        if (!ok && !page.outputFileName.isEmpty() && jpeg == page.fileName) {
            jpeg = jpegForPdf(page.fileName, true, true);
            ok = !jpeg.isEmpty() && pdf.openFile(m_strKeyWord) &&
                 pdf.addPage(page.width, page.height, page.resolution, jpeg, page.outputFileName);
        }
        if (!ok) {
            fail(-50);
            unannounce(page.outputFileName);
        }
        pdf.closeFile();
    });
    QFile::remove(tempJpegFile());
    finishSaver();
    return m_nResult;
}

#include "pagefile.h"

#include "commonfunc.h"
#include "filehelper.h"

#include <QBuffer>
#include <QDateTime>
#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QMutex>

#include <cstring>
#include <limits>
#include <mutex>

#include <tiffio.h>

// The placeholder images live in the library's resource collection; a static
// archive drops its registration unless someone references it.
static void initDevgateResources()
{
    static std::once_flag once;
    std::call_once(once, [] { Q_INIT_RESOURCE(devgate); });
}

namespace {

// Names already handed out are never handed out again, even when the
// clock stands still or goes back.
const int kMaxNameAttempts = 100000;

QString stampText(const QDateTime &stamp)
{
    const QDate d = stamp.date();
    const QTime t = stamp.time();
    return QString("%1%2%3_%4%5%6%7")
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(t.hour(), 2, 10, QLatin1Char('0'))
        .arg(t.minute(), 2, 10, QLatin1Char('0'))
        .arg(t.second(), 2, 10, QLatin1Char('0'))
        .arg(t.msec(), 3, 10, QLatin1Char('0'));
}

} // namespace

bool PageFile::writeFileBytes(const QByteArray &data, const QString &fileName)
{
    if (!FileHelper::replaceFile(fileName, data)) {
        qDebug() << "Cannot write page file" << fileName;
        return false;
    }
    return true;
}

bool PageFile::writeImageFile(const QImage &image, const QString &fileName,
                              const QByteArray &format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (!writer.write(image)) {
        qDebug() << "Cannot encode page" << fileName << writer.errorString();
        return false;
    }
    return writeFileBytes(bytes, fileName);
}

int PageHeader::pixelWidth() const
{
    return PageFile::pagePixels(resolutionX, imageWidth);
}

int PageHeader::pixelHeight() const
{
    return PageFile::pagePixels(resolutionY, imageHeight);
}

int PageFile::pagePixels(int resolution, quint32 units1200)
{
    const double pixels = double(resolution) * double(units1200) / 1200.0;
    // A size no image can have is reported as no size at all.
    if (pixels < 0 || pixels > double(std::numeric_limits<int>::max()))
        return 0;
    return int(pixels);
}

int PageFile::dotsPerMeter(int resolution)
{
    return int(CommonFunc::DoubleRound(resolution * 39.37007874015748, 0, true));
}

QString PageFile::extension(SaveFileTypeFlag type)
{
    switch (type) {
    case SaveFileBitmap:
        return QStringLiteral(".bmp");
    case SaveFileJpeg:
        return QStringLiteral(".jpg");
    case SaveFileTiff:
        return QStringLiteral(".tif");
    }
    qDebug() << "DOES NOT support file type:" << int(type);
    return QStringLiteral(".bmp");
}

SaveFileTypeFlag PageFile::typeForCompression(int compressionMode)
{
    switch (compressionMode) {
    case 1:
        return SaveFileTiff;
    case 2:
        return SaveFileJpeg;
    default:
        return SaveFileBitmap;
    }
}

int PageFile::getValidFileName(SaveFileTypeFlag type, QString directory, QString &name)
{
    if (directory.isEmpty())
        return NoDirectory;
    if (!directory.endsWith(QLatin1Char('/')))
        directory += QLatin1Char('/');
    const QString ext = extension(type);
    if (!QFileInfo(directory).isDir())
        return NoDirectory;

    static QMutex mutex;
    static QDateTime lastTime;
    QMutexLocker lock(&mutex);

    QDateTime stamp = QDateTime::currentDateTime();
    // Pages of one millisecond step one second apart; comparing with the
    // last stamp handed out (not the clock's previous reading) keeps every
    // later page of the burst stepping further.
    if (lastTime.isValid() && stamp <= lastTime)
        stamp = lastTime.addSecs(1);
    QString candidate = directory + stampText(stamp) + ext;
    for (int attempt = 0; QFileInfo::exists(candidate); ++attempt) {
        if (attempt >= kMaxNameAttempts) {
            qDebug() << "No free page name in" << directory;
            return NoDirectory;
        }
        stamp = stamp.addSecs(1);
        candidate = directory + stampText(stamp) + ext;
    }
    lastTime = stamp;
    name = candidate;
    return 0;
}

qint64 PageFile::rowBytes(int imageFormat, int width)
{
    switch (imageFormat) {
    case 2:
        return qint64(width) * 3;
    case 1:
        return width;
    default:
        return (qint64(width) + 7) / 8;
    }
}

bool PageFile::pageDataUsable(SaveFileTypeFlag type, const PageHeader &header,
                              const QByteArray &data)
{
    const int width = header.pixelWidth();
    const int height = header.pixelHeight();
    switch (type) {
    case SaveFileJpeg:
        if (data.isEmpty()) {
            qDebug() << "saveJpegImage: no image data";
            return false;
        }
        return true;
    case SaveFileTiff:
        if (width <= 0 || height <= 0 || data.isEmpty()) {
            qDebug() << "TIFFMadeByGroup4: no page to write" << width << height << data.size();
            return false;
        }
        return true;
    case SaveFileBitmap:
        break;
    }
    if (width <= 0 || height <= 0) {
        qDebug() << "saveBitmapImage: page without size" << width << height;
        return false;
    }
    const qint64 row = rowBytes(header.imageFormat, width);
    // By division: rows times height passes the largest qint64 for a header
    // that claims a page of billions of pixels each way.
    if (row > qint64(data.size()) / height) {
        qDebug() << "saveBitmapImage: image data of" << data.size() << "bytes is shorter than"
                 << height << "rows of" << row << "bytes";
        return false;
    }
    return true;
}

bool PageFile::writeBitmap(const PageHeader &header, const QByteArray &data,
                           const QString &fileName)
{
    const int width = header.pixelWidth();
    const int height = header.pixelHeight();
    qDebug() << "nWidth" << width << "nHeight" << height;
    if (!pageDataUsable(SaveFileBitmap, header, data))
        return false;
    const qint64 row = rowBytes(header.imageFormat, width);

    QImage image;
    switch (header.imageFormat) {
    case 2:
        image = QImage(width, height, QImage::Format_RGB888);
        break;
    case 1: {
        image = QImage(width, height, QImage::Format_Indexed8);
        QVector<QRgb> grey(256);
        for (int i = 0; i < 256; ++i)
            grey[i] = qRgba(i, i, i, 255);
        image.setColorTable(grey);
        break;
    }
    default:
        image = QImage(width, height, QImage::Format_Mono);
        image.setColorTable({0xFF000000u, 0xFFFFFFFFu});
        break;
    }
    if (image.isNull()) {
        qDebug() << "saveBitmapImage: cannot allocate an image of" << width << "x" << height;
        return false;
    }

    const char *src = data.constData();
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), src + qint64(y) * row, size_t(row));
    image.setDotsPerMeterX(dotsPerMeter(header.resolutionX));
    image.setDotsPerMeterY(dotsPerMeter(header.resolutionY));
    qDebug() << "image width" << image.width() << "height" << image.height() << "bytesPerLine"
             << image.bytesPerLine();

    QElapsedTimer timer;
    timer.start();
    if (!writeImageFile(image, fileName, "bmp"))
        return false;
    qDebug() << "Save image times:" << timer.elapsed();
    return true;
}

bool PageFile::writeJpeg(const QByteArray &data, const QString &fileName)
{
    if (data.isEmpty()) {
        qDebug() << "saveJpegImage: no image data";
        return false;
    }
    return writeFileBytes(data, fileName);
}

bool PageFile::writeTiffGroup4(const PageHeader &header, const QByteArray &data,
                               const QString &fileName)
{
    const int width = header.pixelWidth();
    const int height = header.pixelHeight();
    if (!pageDataUsable(SaveFileTiff, header, data))
        return false;

    TIFF *tif = TIFFOpen(FileHelper::convertPath(fileName).constData(), "w");
    if (!tif) {
        qDebug() << "TIFFMadeByGroup4: cannot open" << fileName;
        return false;
    }
    const char kMaker[] = "Corvan";
    TIFFSetField(tif, TIFFTAG_SUBFILETYPE, 0);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, uint32_t(height));
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, double(header.resolutionX));
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, double(header.resolutionY));
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
    // The codec must be chosen before its own option tag exists.
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_GROUP4OPTIONS, 0);
    TIFFSetField(tif, TIFFTAG_SOFTWARE, "Corvan Deskscope");
    TIFFSetField(tif, TIFFTAG_ARTIST, kMaker);
    TIFFSetField(tif, TIFFTAG_DOCUMENTNAME, kMaker);
    TIFFSetField(tif, TIFFTAG_MAKE, kMaker);
    TIFFSetField(tif, TIFFTAG_MODEL, kMaker);
    TIFFSetField(tif, TIFFTAG_HOSTCOMPUTER, kMaker);
    TIFFSetField(tif, TIFFTAG_COPYRIGHT, kMaker);

    // The device already coded the page: it goes in as one raw strip.
    QByteArray strip = data;
    const bool written = TIFFWriteRawStrip(tif, 0, strip.data(), tmsize_t(strip.size())) ==
                             tmsize_t(strip.size()) &&
                         TIFFWriteDirectory(tif) == 1;
    TIFFClose(tif);
    // Checked on disk too: a file system that takes part of a write can
    // leave the library believing it wrote all of it.
    if (!written || QFileInfo(fileName).size() < qint64(strip.size())) {
        qDebug() << "TIFFMadeByGroup4: cannot write" << fileName;
        QFile::remove(fileName);
        return false;
    }
    return true;
}

QString PageFile::placeholderResource(SaveFileTypeFlag type)
{
    switch (type) {
    case SaveFileJpeg:
        return QStringLiteral(":/images/countonly.jpg");
    case SaveFileTiff:
        return QStringLiteral(":/images/countonly.tif");
    case SaveFileBitmap:
        break;
    }
    return QStringLiteral(":/images/countonly.bmp");
}

bool PageFile::copyPlaceholder(SaveFileTypeFlag type, const QString &fileName)
{
    initDevgateResources();
    // Copied by content: QFile::copy would carry the resource's read-only
    // permissions over to a page that later steps may rewrite.
    QFile source(placeholderResource(type));
    if (!source.open(QIODevice::ReadOnly)) {
        qDebug() << "Missing count-only page" << source.fileName();
        return false;
    }
    return writeFileBytes(source.readAll(), fileName);
}

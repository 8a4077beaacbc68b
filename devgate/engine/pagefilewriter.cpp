#include "pagefilewriter.h"

#include "pmessage.h"
#include "processimage.h"
#include "records.h"
#include "scanshortcut.h"
#include "scanpaperlog.h"

#include <QFile>
#include <QDebug>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

PageFileWriter::PageFileWriter()
    : m_paperLog(nullptr), m_hub(nullptr), m_profile(nullptr)
{
}

PageHeader PageFileWriter::headerFrom(const tagREQUEST_HEADER &header)
{
    PageHeader page;
    page.side = static_cast<signed char>(header.CameraType);
    page.imageFormat = header.ImageFormat;
    page.resolutionX = header.ImageResolutionX;
    page.resolutionY = header.ImageResolutionY;
    page.imageWidth = header.ImageWidth;
    page.imageHeight = header.ImageHeight;
    page.compressionMode = header.CompressionMode;
    page.multifeed = header.Multifeed != 0;
    return page;
}

PageRules PageFileWriter::rulesFrom(const tagSCAN_SHORTCUT_MENU &profile)
{
    PageRules rules;
    rules.countOnly = profile.countOnly;
    rules.sideStream = profile.sideStream;
    rules.multifeedResponse = profile.multifeedResponse;
    rules.combineType = profile.combineType;
    rules.removeBackground =
        profile.sideSettings[0].colorMode == 2 && profile.sideSettings[0].colorDropout == 128;
    return rules;
}

void PageFileWriter::startJob(PMessage *hub, tagSCAN_SHORTCUT_MENU *profile,
                              const PageRules &rules)
{
    m_hub = hub;
    m_profile = profile;
    m_rules = rules;
    m_heldPages.clear();
    m_groupBarcodes.clear();
}

bool PageFileWriter::holdsPage(const PageHeader &header) const
{
    return header.multifeed && m_rules.multifeedResponse != 0 && m_rules.multifeedResponse != 2;
}

bool PageFileWriter::saveImage(const PageHeader &header, const QByteArray &data,
                               const QStringList &barcodes, ProcessImage &group)
{
    QElapsedTimer timer;
    timer.start();
    bool saved = false;
    switch (header.compressionMode) {
    case 0:
        saved = saveBitmapImage(header, data, barcodes, group);
        qDebug() << "Save bitmap image time:" << timer.elapsed();
        break;
    case 2:
        saved = saveJpegImage(header, data, barcodes, group);
        qDebug() << "Save jpeg image time:" << timer.elapsed();
        break;
    case 1:
        saved = TIFFMadeByGroup4(header, data, barcodes, group);
        qDebug() << "Save tiff image time:" << timer.elapsed();
        break;
    default:
        qDebug() << "Page of unknown compression mode dropped:" << header.compressionMode;
        break;
    }
    return saved;
}

bool PageFileWriter::saveBitmapImage(const PageHeader &header, const QByteArray &data,
                                     const QStringList &barcodes, ProcessImage &group)
{
    qDebug() << "saveBitmapImage";
    return savePage(SaveFileBitmap, header, data, barcodes, group);
}

bool PageFileWriter::saveJpegImage(const PageHeader &header, const QByteArray &data,
                                   const QStringList &barcodes, ProcessImage &group)
{
    qDebug() << "saveJpegImage";
    return savePage(SaveFileJpeg, header, data, barcodes, group);
}

bool PageFileWriter::TIFFMadeByGroup4(const PageHeader &header, const QByteArray &data,
                                      const QStringList &barcodes, ProcessImage &group)
{
    qDebug() << "TIFFMadeByGroup4";
    return savePage(SaveFileTiff, header, data, barcodes, group);
}

bool PageFileWriter::makesGreyCopy(SaveFileTypeFlag type, const PageHeader &header) const
{
    if (type == SaveFileTiff || (type == SaveFileBitmap && header.imageFormat != 2))
        return false;
    switch (m_rules.sideStream) {
    case 3:
    case 4:
    case 5:
    case 6:
    case 9:
    case 12:
        return true;
    default:
        return false;
    }
}

bool PageFileWriter::savePage(SaveFileTypeFlag type, const PageHeader &header,
                              const QByteArray &data, const QStringList &barcodes,
                              ProcessImage &group)
{
    m_lastHeader = header;
    const int width = header.pixelWidth();
    const int height = header.pixelHeight();

    QString name;
    if (PageFile::getValidFileName(type, m_tempDir, name) != 0) {
        qDebug() << "Page dropped: no page name in the temporary directory" << m_tempDir;
        return false;
    }

    if (m_rules.countOnly) {
        if (!PageFile::copyPlaceholder(type, name)) {
            qDebug() << "Page dropped: cannot write the count-only page" << name;
            return false;
        }
        if (m_paperLog)
            m_paperLog->setImageWidthAndHeight(width, height);
        giveOutOrHold(header, name, barcodes, PageFile::PlaceholderWidth,
                      PageFile::PlaceholderHeight, PageFile::PlaceholderResolution);
        return true;
    }

    bool written = false;
    switch (type) {
    case SaveFileBitmap:
        written = PageFile::writeBitmap(header, data, name);
        break;
    case SaveFileJpeg:
        written = PageFile::writeJpeg(data, name);
        break;
    case SaveFileTiff:
        written = PageFile::writeTiffGroup4(header, data, name);
        break;
    }
    if (!written) {
        qDebug() << "Page dropped: cannot write" << name;
        return false;
    }
    if (m_paperLog)
        m_paperLog->setImageWidthAndHeight(width, height);

    if (holdsPage(header)) {
        saveSannedFiles(name, static_cast<signed char>(header.side), barcodes, width, height,
                        header.resolutionX, header.imageFormat);
        // A held page may still join the merge group once its sheet is
        // accepted, so its barcodes belong to the group.
        if (ProcessImage::groupSize(m_rules.combineType) > 0)
            m_groupBarcodes += barcodes;
    } else {
        multipleToOne(header, barcodes, group, name, width, height);
    }

    if (makesGreyCopy(type, header))
        convertColorToGray_K(header, name, barcodes);

    if (type != SaveFileTiff && m_rules.removeBackground) {
        ProcessImage cleaner;
        cleaner.RemoveBackGround(name);
    }
    return true;
}

void PageFileWriter::giveOut(const QString &file, int side, const QStringList &barcodes,
                             int width, int height, int resolution, int colorType)
{
    if (m_hub)
        emit m_hub->scanFileName(m_profile, file, static_cast<signed char>(side), barcodes, width,
                                 height, resolution, colorType);
}

void PageFileWriter::giveOutOrHold(const PageHeader &header, const QString &file,
                                   const QStringList &barcodes, int width, int height,
                                   int resolution)
{
    if (holdsPage(header))
        saveSannedFiles(file, static_cast<signed char>(header.side), barcodes, width, height,
                        resolution, header.imageFormat);
    else
        giveOut(file, header.side, barcodes, width, height, resolution, header.imageFormat);
}

void PageFileWriter::multipleToOne(const PageHeader &header, const QStringList &barcodes,
                                   ProcessImage &group, const QString &file, int width,
                                   int height)
{
    // A combine type that cannot merge gives pages out one by one rather
    // than collecting them into a group that never fills.
    const int size = ProcessImage::groupSize(m_rules.combineType);
    if (size == 0) {
        giveOut(file, header.side, barcodes, width, height, header.resolutionX,
                header.imageFormat);
        return;
    }
    m_groupBarcodes += barcodes;
    group.addImageFile(file, static_cast<signed char>(header.side), barcodes, width, height,
                       header.resolutionX, header.imageFormat);
    if (group.getFileListCount() == size)
        giveOutMergedGroup(group);
}

bool PageFileWriter::giveOutMergedGroup(ProcessImage &group)
{
    if (group.getFileListCount() == 0)
        return false;
    QString name;
    if (PageFile::getValidFileName(PageFile::typeForCompression(m_lastHeader.compressionMode),
                                   m_tempDir, name) != 0) {
        qDebug() << "Merged page dropped: no page name in" << m_tempDir;
        return false;
    }
    if (!group.MergeBmpFile(name)) {
        // One page that will not merge (say, an image the device sent that
        // does not load) must not cost its neighbours: the group goes out
        // page by page, as it was saved.
        qDebug() << "Merged page dropped:" << name << "- its" << group.getFileListCount()
                 << "pages go out one by one";
        for (const tagSCAN_IMAGE_FILE &page : group.takeImages())
            giveOut(page.fileName, page.side,
                    page.barcode.isEmpty() ? QStringList() : QStringList{page.barcode}, page.width,
                    page.height, page.resolution, page.colorType);
        m_groupBarcodes.clear();
        return false;
    }
    const QSize size = QImageReader(name).size();
    if (!size.isValid()) {
        qDebug() << "Merged page dropped: cannot read" << name;
        m_groupBarcodes.clear();
        return false;
    }
    giveOut(name, m_lastHeader.side, m_groupBarcodes, size.width(), size.height(),
            m_lastHeader.resolutionX, m_lastHeader.imageFormat);
    m_groupBarcodes.clear();
    return true;
}

int PageFileWriter::convertColorToGray_K(const PageHeader &header, const QString &colourFile,
                                         const QStringList &barcodes)
{
    qDebug() << "convertColorToGray_K";
    QImage colour(colourFile);
    if (colour.isNull())
        return 0;
    const QImage grey = colour.convertToFormat(QImage::Format_Grayscale8);

    const QString suffix = QFileInfo(colourFile).suffix().toLower();
    SaveFileTypeFlag type;
    if (suffix == QLatin1String("bmp")) {
        type = SaveFileBitmap;
    } else if (suffix == QLatin1String("jpg")) {
        type = SaveFileJpeg;
    } else if (suffix == QLatin1String("tif") || suffix == QLatin1String("tiff")) {
        type = SaveFileTiff;
    } else {
        qDebug() << "Cannot process this file" << colourFile;
        return 0;
    }

    const int width = header.pixelWidth();
    const int height = header.pixelHeight();
    QString greyName;
    if (PageFile::getValidFileName(type, m_tempDir, greyName) != 0) {
        qDebug() << "Grey page dropped: no page name in" << m_tempDir;
        return 0;
    }

    if (m_rules.countOnly) {
        if (!PageFile::copyPlaceholder(type, greyName)) {
            qDebug() << "Grey page dropped: cannot write the count-only page" << greyName;
            return 0;
        }
        if (m_paperLog)
            m_paperLog->setImageWidthAndHeight(width, height);
        giveOutOrHold(header, greyName, barcodes, PageFile::PlaceholderWidth,
                      PageFile::PlaceholderHeight, PageFile::PlaceholderResolution);
        return 1;
    }

    QElapsedTimer timer;
    timer.start();
    QSaveFile file(greyName);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        QImageWriter writer(&file, QFileInfo(colourFile).suffix().toLatin1());
        written = writer.write(grey) && file.commit();
        if (!written)
            file.cancelWriting();
    }
    if (!written) {
        qDebug() << "Grey page dropped: cannot write" << greyName;
        return 0;
    }
    qDebug() << "Save image times:" << timer.elapsed();
    if (m_paperLog)
        m_paperLog->setImageWidthAndHeight(width, height);
    giveOutOrHold(header, greyName, barcodes, width, height, header.resolutionX);
    return 1;
}

void PageFileWriter::saveSannedFiles(QString file, signed char side, const QStringList &barcodes,
                                     int width, int height, int resolution, int colorType)
{
    m_heldPages.append(
        tagSCAN_IMAGE_FILE::page(file, side, barcodes, width, height, resolution, colorType));
}

void PageFileWriter::discardHeldPages()
{
    for (const tagSCAN_IMAGE_FILE &page : m_heldPages) {
        if (!QFile::remove(page.fileName))
            qDebug() << "Held page could not be removed:" << page.fileName;
    }
    m_heldPages.clear();
}

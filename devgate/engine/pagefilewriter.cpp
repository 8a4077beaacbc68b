#include "pagefilewriter.h"

#include "errorhandling.h"
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
    m_fileFailure = 0;
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

void PageFileWriter::noteFileFailure(const char *what, const QString &file)
{
    qDebug() << what << file;
    m_fileFailure = RC_FILE_CREATE_FAILED;
}

bool PageFileWriter::savePage(SaveFileTypeFlag type, const PageHeader &header,
                              const QByteArray &data, const QStringList &barcodes,
                              ProcessImage &group)
{
    m_lastHeader = header;
    const int width = header.pixelWidth();
    const int height = header.pixelHeight();

    if (!m_rules.countOnly && !PageFile::pageDataUsable(type, header, data)) {
        qDebug() << "Page dropped: the image data does not make a page";
        return false;
    }
    QString name;
    if (PageFile::getValidFileName(type, m_tempDir, name) != 0) {
        noteFileFailure("Page dropped: no page name in the temporary directory", m_tempDir);
        return false;
    }

    if (m_rules.countOnly) {
        if (!PageFile::copyPlaceholder(type, name)) {
            noteFileFailure("Page dropped: cannot write the count-only page", name);
            return false;
        }
        if (m_paperLog)
            m_paperLog->setImageWidthAndHeight(width, height);
        // Placeholders are never merged, also when their sheet was held.
        giveOutOrHold(header, name, barcodes, PageFile::PlaceholderWidth,
                      PageFile::PlaceholderHeight, PageFile::PlaceholderResolution, true);
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
        noteFileFailure("Page dropped: cannot write", name);
        return false;
    }
    if (m_paperLog)
        m_paperLog->setImageWidthAndHeight(width, height);

    // Both files are final before either is given out: a receiver may read
    // a page as soon as it hears of it, and a page that completes a merge
    // group is deleted by the merge. The grey copy shows the page as the
    // scanner sent it, before its background is removed.
    QString grey;
    if (makesGreyCopy(type, header)) {
        // A grey copy the disk refuses ends the job, but its colour page,
        // already written, still goes out.
        grey = convertColorToGray_K(header, name);
    }
    if (type != SaveFileTiff && m_rules.removeBackground) {
        ProcessImage cleaner;
        cleaner.RemoveBackGround(name);
    }

    if (holdsPage(header))
        saveSannedFiles(name, static_cast<signed char>(header.side), barcodes, width, height,
                        header.resolutionX, header.imageFormat);
    else
        multipleToOne(header, barcodes, group, name, width, height);
    if (!grey.isEmpty())
        giveOutOrHold(header, grey, barcodes, width, height, header.resolutionX, true);
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
                                   int resolution, bool ownRoad)
{
    if (holdsPage(header))
        saveSannedFiles(file, static_cast<signed char>(header.side), barcodes, width, height,
                        resolution, header.imageFormat, ownRoad);
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
    // A page's barcodes belong to the sheet it is merged into, so they are
    // collected as it joins and not before.
    m_groupBarcodes += barcodes;
    group.addImageFile(file, static_cast<signed char>(header.side), barcodes, width, height,
                       header.resolutionX, header.imageFormat);
    if (group.getFileListCount() == size)
        giveOutMergedGroup(group);
}

void PageFileWriter::giveOutPageByPage(ProcessImage &group)
{
    for (const tagSCAN_IMAGE_FILE &page : group.takeImages())
        giveOut(page.fileName, page.side,
                page.barcode.isEmpty() ? QStringList() : QStringList{page.barcode}, page.width,
                page.height, page.resolution, page.colorType);
    m_groupBarcodes.clear();
}

bool PageFileWriter::giveOutMergedGroup(ProcessImage &group)
{
    if (group.getFileListCount() == 0)
        return false;
    QString name;
    if (PageFile::getValidFileName(PageFile::typeForCompression(m_lastHeader.compressionMode),
                                   m_tempDir, name) != 0) {
        noteFileFailure("Merged page not made: no page name in", m_tempDir);
        giveOutPageByPage(group);
        return false;
    }
    if (!group.MergeBmpFile(name)) {
        // One page that will not merge (say, an image the device sent that
        // does not load) must not cost its neighbours: the group goes out
        // page by page, as it was saved.
        qDebug() << "Merged page dropped:" << name << "- its" << group.getFileListCount()
                 << "pages go out one by one";
        giveOutPageByPage(group);
        return false;
    }
    // The merge deleted its sources: the sheet goes out whatever its size
    // reads as.
    QSize size = QImageReader(name).size();
    if (!size.isValid()) {
        qDebug() << "Merged page: cannot read its size back" << name;
        size = QSize(group.mergeWidth(), group.mergeHeight());
    }
    giveOut(name, m_lastHeader.side, m_groupBarcodes, size.width(), size.height(),
            m_lastHeader.resolutionX, m_lastHeader.imageFormat);
    m_groupBarcodes.clear();
    return true;
}

QString PageFileWriter::convertColorToGray_K(const PageHeader &header, const QString &colourFile)
{
    qDebug() << "convertColorToGray_K";
    QImage colour(colourFile);
    if (colour.isNull())
        return QString();
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
        return QString();
    }

    QString greyName;
    if (PageFile::getValidFileName(type, m_tempDir, greyName) != 0) {
        noteFileFailure("Grey page dropped: no page name in", m_tempDir);
        return QString();
    }

    QElapsedTimer timer;
    timer.start();
    if (!PageFile::writeImageFile(grey, greyName, QFileInfo(colourFile).suffix().toLatin1())) {
        noteFileFailure("Grey page dropped: cannot write", greyName);
        return QString();
    }
    qDebug() << "Save image times:" << timer.elapsed();
    if (m_paperLog)
        m_paperLog->setImageWidthAndHeight(header.pixelWidth(), header.pixelHeight());
    return greyName;
}

void PageFileWriter::saveSannedFiles(QString file, signed char side, const QStringList &barcodes,
                                     int width, int height, int resolution, int colorType,
                                     bool ownRoad)
{
    HeldPage held;
    held.page =
        tagSCAN_IMAGE_FILE::page(file, side, barcodes, width, height, resolution, colorType);
    held.barcodes = barcodes;
    held.ownRoad = ownRoad;
    m_heldPages.append(held);
}

QList<tagSCAN_IMAGE_FILE> PageFileWriter::heldPages() const
{
    QList<tagSCAN_IMAGE_FILE> pages;
    for (const HeldPage &held : m_heldPages)
        pages.append(held.page);
    return pages;
}

QStringList PageFileWriter::heldFileNames() const
{
    QStringList names;
    for (const HeldPage &held : m_heldPages)
        names.append(held.page.fileName);
    return names;
}

void PageFileWriter::acceptHeldPages(ProcessImage &group)
{
    const int size = ProcessImage::groupSize(m_rules.combineType);
    const QList<HeldPage> held = m_heldPages;
    m_heldPages.clear();
    for (const HeldPage &h : held) {
        const tagSCAN_IMAGE_FILE &page = h.page;
        if (size > 0 && !h.ownRoad) {
            // Every page of the accepted sheet joins the merge group, in
            // order; a full group is merged at once so none is lost.
            m_groupBarcodes += h.barcodes;
            group.addImageFile(page.fileName, static_cast<signed char>(page.side), h.barcodes,
                               page.width, page.height, page.resolution, page.colorType);
            if (group.getFileListCount() == size)
                giveOutMergedGroup(group);
        } else {
            giveOut(page.fileName, page.side, QStringList{page.barcode}, page.width, page.height,
                    page.resolution, page.colorType);
        }
    }
}

void PageFileWriter::discardHeldPages()
{
    for (const HeldPage &held : m_heldPages) {
        if (!QFile::remove(held.page.fileName))
            qDebug() << "Held page could not be removed:" << held.page.fileName;
    }
    m_heldPages.clear();
}

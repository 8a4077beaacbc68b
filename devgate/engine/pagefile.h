#ifndef PAGEFILE_H
#define PAGEFILE_H

#include <QByteArray>
#include <QImage>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// File type of a page written by the scan engine.
enum SaveFileTypeFlag : int { SaveFileBitmap = 0, SaveFileJpeg = 1, SaveFileTiff = 2 };

// One scanned page file, as the scan engine gives it out and the output side
// reads it back.
struct tagSCAN_IMAGE_FILE
{
    QString fileName;       // full path of the page file
    QString outputFileName; // filled by the output side
    QString barcode;        // first barcode text of the page, empty when none
    bool blank = false;     // blank-page mark, set by the output side
    int side = 0;           // camera side: 0 front, 1 back
    int width = 0;          // pixels
    int height = 0;         // pixels
    int resolution = 0;     // dots per inch
    int colorType = 0;      // 0 black and white, 1 grey, 2 colour

    // A page as the scan engine hands it on: its first barcode only.
    static tagSCAN_IMAGE_FILE page(const QString &file, int side, const QStringList &barcodes,
                                   int width, int height, int resolution, int colorType)
    {
        tagSCAN_IMAGE_FILE p;
        p.fileName = file;
        p.barcode = barcodes.isEmpty() ? QString() : barcodes.first();
        p.side = side;
        p.width = width;
        p.height = height;
        p.resolution = resolution;
        p.colorType = colorType;
        return p;
    }
};
typedef tagSCAN_IMAGE_FILE SCAN_IMAGE_FILE;

// What a page writer needs of a device image header, already in host order.
// The scan job fills it from the header that preceded the image data.
struct PageHeader
{
    int side = 0;            // camera side: 0 front, 1 back
    int imageFormat = 0;     // 0 black and white, 1 grey, 2 colour
    int resolutionX = 0;     // dots per inch
    int resolutionY = 0;     // dots per inch
    quint32 imageWidth = 0;  // 1/1200 inch
    quint32 imageHeight = 0; // 1/1200 inch
    int compressionMode = 0; // 0 raw rows, 1 Group 4, 2 JPEG
    bool multifeed = false;  // the sheet was reported multifed

    int pixelWidth() const;
    int pixelHeight() const;
};

// Stateless page-file services: names, the three writers and the count-only
// placeholders. Every writer either leaves a complete file behind or none.
class PageFile
{
public:
    // Result of getValidFileName when no usable directory was given.
    enum { NoDirectory = 206 };

    // Pixels of a length in 1/1200 inch at a resolution, truncated.
    static int pagePixels(int resolution, quint32 units1200);
    // Dots per metre for a resolution in dots per inch, rounded half up.
    static int dotsPerMeter(int resolution);

    static QString extension(SaveFileTypeFlag type);
    // File type for a header's compression mode: 0 bitmap, 1 TIFF, 2 JPEG.
    static SaveFileTypeFlag typeForCompression(int compressionMode);

    // A fresh page path in `directory` (0), or NoDirectory with `name` left
    // unchanged. Names are time stamps; a stamp never repeats within the
    // process and never names a file that already exists.
    static int getValidFileName(SaveFileTypeFlag type, QString directory, QString &name);

    // All of data under fileName, or no change on disk. A file that the file
    // system took only in part counts as not written.
    static bool writeFileBytes(const QByteArray &data, const QString &fileName);
    // An image coded in format (as QImageWriter names them), then written as
    // writeFileBytes does.
    static bool writeImageFile(const QImage &image, const QString &fileName,
                               const QByteArray &format);

    // Whether the data can make a page of the header's size at all: what a
    // writer refuses before it touches the disk.
    static bool pageDataUsable(SaveFileTypeFlag type, const PageHeader &header,
                               const QByteArray &data);

    // Raw device rows (black and white, grey or RGB) to a BMP file. The data
    // must hold at least height full rows.
    static bool writeBitmap(const PageHeader &header, const QByteArray &data,
                            const QString &fileName);
    // JPEG data exactly as the device sent it.
    static bool writeJpeg(const QByteArray &data, const QString &fileName);
    // Group 4 coded data from the device wrapped as a one-strip TIFF.
    static bool writeTiffGroup4(const PageHeader &header, const QByteArray &data,
                                const QString &fileName);

    // Count-only pages: a fixed image stands for each page.
    static QString placeholderResource(SaveFileTypeFlag type);
    static bool copyPlaceholder(SaveFileTypeFlag type, const QString &fileName);
    enum { PlaceholderWidth = 600, PlaceholderHeight = 600, PlaceholderResolution = 96 };

    // Bytes of one device row for a colour type and width in pixels.
    static qint64 rowBytes(int imageFormat, int width);
};

Q_DECLARE_METATYPE(tagSCAN_IMAGE_FILE)

#endif

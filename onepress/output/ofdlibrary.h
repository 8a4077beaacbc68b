#ifndef OFDLIBRARY_H
#define OFDLIBRARY_H

#include "corvanglobal.h"
#include "pagefile.h"

#include <QList>
#include <QObject>
#include <QStringList>

// Writes one OFD document from page image files: the XML parts and copies of
// the images in a temporary folder, packed into a zip container.
class ONEPRESS_EXPORT OfdLibrary : public QObject
{
    Q_OBJECT
public:
    explicit OfdLibrary(QObject *parent = nullptr);

    // 0, or -1 when the document could not be written (nothing is then left
    // under the output path).
    int imageToOfd(QList<tagSCAN_IMAGE_FILE> pages, QString outputPath, QString keywords);
    int ofdInit(const QString &folder, const QString &keywords);
    int ofdAddJpegToOfd(const QString &folder, const QList<tagSCAN_IMAGE_FILE> &pages,
                        const QString &outputPath);
    int ofdExport(const QString &folder, const QStringList &entries, int count,
                  const QString &zipPath);
    static int addFileToZip(void *zip, char *buffer, int bufferSize, const QByteArray &source,
                            const QByteArray &entry);
    static bool writeFile(const QString &path, const QByteArray &bytes);
    static QString getImageFormat(const tagSCAN_IMAGE_FILE &page);
    static int getJPEGWH(const QString &file, int &width, int &height);
    static bool isLittelEndian();
    static quint16 BLEndianUshort(quint16 value);
    static quint16 toBigEndian(quint16 value);

    // Millimetres of a pixel length at a resolution (0 counts as 300), at
    // least 1.
    static int millimetres(int pixels, int resolution);
    // Text as XML character data: markup characters escaped, characters XML
    // does not allow dropped.
    static QString xmlText(const QString &text);
};

#endif

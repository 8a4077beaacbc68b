#include "ofdlibrary.h"

#include "filehelper.h"

#include <minizip/zip.h>

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const char kNamespace[] = "xmlns:ofd=\"http://www.ofdspec.org/2016\"";

QString suffixOf(const QString &file)
{
    const QString name = QFileInfo(file).fileName();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QString resourceName(int i, const tagSCAN_IMAGE_FILE &page)
{
    return QStringLiteral("%1.%2").arg(i).arg(suffixOf(page.fileName));
}

} // namespace

OfdLibrary::OfdLibrary(QObject *parent) : QObject(parent) {}

int OfdLibrary::millimetres(int pixels, int resolution)
{
    const int res = resolution > 0 ? resolution : 300;
    const int mm = static_cast<int>(std::lround(pixels * 25.4 / res));
    return mm < 1 ? 1 : mm;
}

QString OfdLibrary::xmlText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const ushort u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
            continue;
        }
        if (c.isSurrogate() || (u < 0x20 && u != 0x9 && u != 0xA && u != 0xD) || u == 0xFFFE ||
            u == 0xFFFF)
            continue;
        if (c == QLatin1Char('&'))
            out += QLatin1String("&amp;");
        else if (c == QLatin1Char('<'))
            out += QLatin1String("&lt;");
        else if (c == QLatin1Char('>'))
            out += QLatin1String("&gt;");
        else
            out += c;
    }
    return out;
}

QString OfdLibrary::getImageFormat(const tagSCAN_IMAGE_FILE &page)
{
    const QString suffix = suffixOf(page.fileName).toLower();
    if (suffix == QLatin1String("bmp"))
        return QStringLiteral("BMP");
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return QStringLiteral("JPEG");
    if (suffix == QLatin1String("tif") || suffix == QLatin1String("tiff"))
        return QStringLiteral("TIFF");
    if (suffix == QLatin1String("png"))
        return QStringLiteral("PNG");
    return QString();
}

bool OfdLibrary::writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool ok = f.write(bytes) == bytes.size();
    f.close();
    return ok && f.error() == QFileDevice::NoError;
}

int OfdLibrary::imageToOfd(QList<tagSCAN_IMAGE_FILE> pages, QString outputPath, QString keywords)
{
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/qzofd.XXXXXX"));
    if (!folder.isValid())
        return -1;
    if (ofdInit(folder.path(), keywords) != 0)
        return -1;
    return ofdAddJpegToOfd(folder.path(), pages, outputPath);
}

int OfdLibrary::ofdInit(const QString &folder, const QString &keywords)
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("Doc_0/Pages")) || !dir.mkpath(QStringLiteral("Doc_0/Res")))
        return -1;
    const QString words =
        keywords.isEmpty()
            ? QString()
            : QStringLiteral("<ofd:Keywords><ofd:Keyword>%1</ofd:Keyword></ofd:Keywords>")
                  .arg(xmlText(keywords));
    const QString xml =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><ofd:OFD %1 Version=\"1.1\" DocType=\"OFD\">"
            "<ofd:DocBody><ofd:DocInfo><ofd:Creator>Corvan_Deskscope_OFD_Creator</ofd:Creator>%2"
            "</ofd:DocInfo><ofd:DocRoot>Doc_0/Document.xml</ofd:DocRoot></ofd:DocBody></ofd:OFD>")
            .arg(QLatin1String(kNamespace), words);
    return writeFile(folder + QStringLiteral("/OFD.xml"), xml.toUtf8()) ? 0 : -1;
}

int OfdLibrary::ofdAddJpegToOfd(const QString &folder, const QList<tagSCAN_IMAGE_FILE> &pages,
                                const QString &outputPath)
{
    QStringList entries{QStringLiteral("OFD.xml"), QStringLiteral("Doc_0/Document.xml"),
                        QStringLiteral("Doc_0/DocumentRes.xml")};
    QStringList medias;
    QStringList pageLines;
    int maxId = 0;
    for (int i = 0; i < pages.size(); ++i) {
        const tagSCAN_IMAGE_FILE &page = pages.at(i);
        const QString pageDir = QStringLiteral("Doc_0/Pages/Page_%1").arg(i);
        const QString content = pageDir + QStringLiteral("/Content.xml");
        const QString resource = QStringLiteral("Doc_0/Res/") + resourceName(i, page);
        entries << content << resource;
        if (!QDir(folder).mkpath(pageDir) ||
            !QFile::copy(page.fileName, folder + QLatin1Char('/') + resource)) {
            qDebug() << "Can not copy the page file" << page.fileName;
            return -1;
        }
        const int resId = 4 * i + 1, layerId = 4 * i + 2, imageId = 4 * i + 3, pageId = 4 * i + 4;
        medias << QStringLiteral("<ofd:MultiMedia ID=\"%1\" Type=\"Image\" "
                                 "Format=\"%2\"><ofd:MediaFile>%3</ofd:MediaFile></ofd:MultiMedia>")
                      .arg(resId)
                      .arg(getImageFormat(page), xmlText(resourceName(i, page)));
        const int w = millimetres(page.width, page.resolution);
        const int h = millimetres(page.height, page.resolution);
        const QString xml =
            QStringLiteral(
                "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ofd:Page %1>\n"
                "<ofd:Area><ofd:PhysicalBox>0 0 %2 "
                "%3</ofd:PhysicalBox>\n</ofd:Area>\n<ofd:Content>\n"
                "<ofd:Layer ID=\"%4\" Type=\"Body\"><ofd:ImageObject ID=\"%5\" CTM=\"%2 0 0 %3 0 "
                "0\" "
                "Boundary=\"0 0 %2 %3\" ResourceID=\"%6\"/></ofd:Layer></ofd:Content>\n</ofd:Page>")
                .arg(QLatin1String(kNamespace))
                .arg(w)
                .arg(h)
                .arg(layerId)
                .arg(imageId)
                .arg(resId);
        if (!writeFile(folder + QLatin1Char('/') + content, xml.toUtf8()))
            return -1;
        pageLines << QStringLiteral("<ofd:Page ID=\"%1\" BaseLoc=\"Pages/Page_%2/Content.xml\"/>")
                         .arg(pageId)
                         .arg(i);
        maxId = pageId;
    }
    QString document =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ofd:Document %1>\n<ofd:CommonData>\n"
            "<ofd:MaxUnitID>%2</ofd:MaxUnitID>\n<ofd:PageArea>\n"
            "<ofd:PhysicalBox>0 0 210 297</ofd:PhysicalBox>\n</ofd:PageArea>\n"
            "<ofd:DocumentRes>DocumentRes.xml</ofd:DocumentRes>\n</ofd:CommonData>\n<ofd:Pages>\n")
            .arg(QLatin1String(kNamespace))
            .arg(maxId);
    for (const QString &line : qAsConst(pageLines))
        document += line + QLatin1Char('\n');
    document += QStringLiteral("</ofd:Pages>\n</ofd:Document>");
    QString res = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ofd:Res %1 "
                                 "BaseLoc=\"Res\">\n<ofd:MultiMedias>\n")
                      .arg(QLatin1String(kNamespace));
    for (const QString &line : qAsConst(medias))
        res += line + QLatin1Char('\n');
    res += QStringLiteral("</ofd:MultiMedias>\n</ofd:Res>");
    if (!writeFile(folder + QStringLiteral("/Doc_0/Document.xml"), document.toUtf8()) ||
        !writeFile(folder + QStringLiteral("/Doc_0/DocumentRes.xml"), res.toUtf8()))
        return -1;
    return ofdExport(folder, entries, entries.size(), outputPath);
}

int OfdLibrary::addFileToZip(void *zip, char *buffer, int bufferSize, const QByteArray &source,
                             const QByteArray &entry)
{
    qDebug() << "addFileToZip";
    const QDateTime now = QDateTime::currentDateTime();
    zip_fileinfo info;
    memset(&info, 0, sizeof(info));
    info.tmz_date.tm_sec = static_cast<uInt>(now.time().second());
    info.tmz_date.tm_min = static_cast<uInt>(now.time().minute());
    info.tmz_date.tm_hour = static_cast<uInt>(now.time().hour());
    info.tmz_date.tm_mday = static_cast<uInt>(now.date().day());
    info.tmz_date.tm_mon = static_cast<uInt>(now.date().month() - 1);
    info.tmz_date.tm_year = static_cast<uInt>(now.date().year());
    zipFile zf = static_cast<zipFile>(zip);
    if (zipOpenNewFileInZip(zf, entry.constData(), &info, nullptr, 0, nullptr, 0, nullptr,
                            Z_DEFLATED, Z_DEFAULT_COMPRESSION) != ZIP_OK) {
        qDebug() << "========error in opening" << entry << "in zipfile========";
        return -1;
    }
    FILE *in = fopen(source.constData(), "rb");
    if (!in) {
        qDebug() << "========error in opening" << source << "for reading=======";
        zipCloseFileInZip(zf);
        return -1;
    }
    int result = 0;
    for (;;) {
        memset(buffer, 0, static_cast<size_t>(bufferSize));
        const size_t n = fread(buffer, 1, static_cast<size_t>(bufferSize), in);
        if (n > 0 && zipWriteInFileInZip(zf, buffer, static_cast<unsigned>(n)) != ZIP_OK) {
            qDebug() << "error in writing" << entry << "in the zipfile";
            result = -1;
            break;
        }
        if (n < static_cast<size_t>(bufferSize)) {
            if (ferror(in))
                result = -1;
            break;
        }
    }
    fclose(in);
    if (zipCloseFileInZip(zf) != ZIP_OK && result == 0) {
        qDebug() << "error in closing" << entry << "in the zipfile";
        result = -1;
    }
    return result;
}

int OfdLibrary::ofdExport(const QString &folder, const QStringList &entries, int count,
                          const QString &zipPath)
{
    std::vector<char> buffer(16384);
    // Written beside the output name and moved there only when whole, so a
    // failure leaves nothing under the output name.
    const bool written = FileHelper::replaceFile(zipPath, [&](const QString &part) {
        zipFile zf = zipOpen(FileHelper::convertPath(part).constData(), APPEND_STATUS_CREATE);
        if (!zf) {
            qDebug() << "open zip error" << zipPath;
            return false;
        }
        int result = 0;
        for (int i = 0; i < count && i < entries.size(); ++i) {
            const QString source = folder + QLatin1Char('/') + entries.at(i);
            if (addFileToZip(zf, buffer.data(), static_cast<int>(buffer.size()),
                             FileHelper::convertPath(source), entries.at(i).toUtf8()) != 0) {
                result = -1;
                break;
            }
        }
        if (zipClose(zf, nullptr) != ZIP_OK && result == 0) {
            qDebug() << "error in closing" << zipPath;
            result = -1;
        }
        return result == 0;
    });
    return written ? 0 : -1;
}

bool OfdLibrary::isLittelEndian()
{
    const quint16 one = 1;
    unsigned char first;
    memcpy(&first, &one, 1);
    return first == 1;
}

quint16 OfdLibrary::BLEndianUshort(quint16 value)
{
    return static_cast<quint16>((value >> 8) | (value << 8));
}

quint16 OfdLibrary::toBigEndian(quint16 value)
{
    return isLittelEndian() ? BLEndianUshort(value) : value;
}

int OfdLibrary::getJPEGWH(const QString &file, int &width, int &height)
{
    width = 0;
    height = 0;
    const QByteArray path = FileHelper::convertPath(file);
    FILE *f = fopen(path.constData(), "rb");
    if (!f) {
        fprintf(stderr, "open %s error!\n", path.constData());
        return -1;
    }
    unsigned char buffer[7000];
    memset(buffer, 0, sizeof(buffer));
    const size_t got = fread(buffer, 1, sizeof(buffer), f);
    if (got < sizeof(buffer) && !feof(f))
        fprintf(stderr, "read jpeg file error\n");
    fclose(f);
    auto be16 = [&](size_t at) { return static_cast<quint16>((buffer[at] << 8) | buffer[at + 1]); };
    if (got < 2 || be16(0) != 0xFFD8)
        fprintf(stderr, "%s not a jpeg file\n", path.constData());
    size_t pos = 2;
    // Every read stays inside the bytes actually read.
    while (pos + 4 <= got) {
        const quint16 marker = be16(pos);
        if (marker == 0xFFC0) {
            if (pos + 9 > got)
                break;
            height = be16(pos + 5);
            width = be16(pos + 7);
            return 0;
        }
        if ((marker >> 8) != 0xFF)
            fprintf(stderr, "tag error\n");
        pos += static_cast<size_t>(be16(pos + 2)) + 2;
    }
    fprintf(stderr, "not find 0xFFC0 tag\n");
    return 0;
}

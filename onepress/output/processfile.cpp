#include "processfile.h"

#include "filehelper.h"
#include "generatefilename.h"
#include "pdfocrhander.h"
#include "taskshortcut.h"
#include "watermark.h"

#include <FreeImage.h>

#include <QBuffer>
#include <QDate>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QThread>

#include <cstdarg>
#include <cstdio>

#include <tiffio.h>

ONEPRESS_EXPORT int nSleepTime = 1;

namespace {

// The image libraries' own complaints (FreeImage's TIFF reader asks libtiff
// for a few dozen tags it does not know on every load) go to the trace, not
// to standard error.
void traceTiffMessage(const char *module, const char *format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    qDebug() << "libtiff:" << (module ? module : "") << text;
}

void traceFreeImageMessage(FREE_IMAGE_FORMAT fif, const char *message)
{
    const char *format = fif == FIF_UNKNOWN ? nullptr : FreeImage_GetFormatFromFIF(fif);
    qDebug() << "FreeImage:" << (format ? format : "") << message;
}

struct FreeImageInit
{
    FreeImageInit()
    {
        FreeImage_Initialise(FALSE);
        FreeImage_SetOutputMessage(traceFreeImageMessage);
        // libtiff's handlers are the process's: set after FreeImage's start.
        TIFFSetErrorHandler(traceTiffMessage);
        TIFFSetWarningHandler(traceTiffMessage);
    }
};

void ensureFreeImage()
{
    static FreeImageInit init;
    (void)init;
}

FIBITMAP *loadFreeImage(const QString &file)
{
    ensureFreeImage();
    const QByteArray path = FileHelper::convertPath(file);
    FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(path.constData(), 0);
    if (fif == FIF_UNKNOWN)
        fif = FreeImage_GetFIFFromFilename(path.constData());
    if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(fif))
        return nullptr;
    return FreeImage_Load(fif, path.constData(), 0);
}

void setIptc(FIBITMAP *dib, const QString &keyword)
{
    FreeImage_SetMetadataKeyValue(FIMD_IPTC, dib, "By-line", "Corvan");
    FreeImage_SetMetadataKeyValue(FIMD_IPTC, dib, "Caption-Abstract", "Corvan");
    FreeImage_SetMetadataKeyValue(FIMD_IPTC, dib, "OriginatingProgram", "Corvan Deskscope");
    FreeImage_SetMetadataKeyValue(FIMD_IPTC, dib, "ExifCameraInfo", "Corvan");
    if (!keyword.isEmpty())
        FreeImage_SetMetadataKeyValue(FIMD_IPTC, dib, "Keywords", keyword.toUtf8().constData());
}

// TIFF files get their IPTC block from rewriteTiffIptc: FreeImage writes a
// quarter of it, and reading such a page back (which its multi-page writer
// does) runs past the end of the block.
void clearIptc(FIBITMAP *dib) { FreeImage_SetMetadata(FIMD_IPTC, dib, nullptr, nullptr); }

QByteArray iptcRecord(int tag, const QByteArray &value)
{
    QByteArray r;
    r.append(char(0x1C)).append(char(0x02)).append(char(tag));
    r.append(char((value.size() >> 8) & 0xFF)).append(char(value.size() & 0xFF));
    return r + value;
}

// The IPTC block as FreeImage would write it: record version, then the fields.
QByteArray iptcBlock(const QString &keyword)
{
    QByteArray block = iptcRecord(0, QByteArray("\x00\x02", 2));
    if (!keyword.isEmpty())
        block += iptcRecord(25, keyword.toUtf8());
    block += iptcRecord(65, "Corvan Deskscope");
    block += iptcRecord(80, "Corvan");
    block += iptcRecord(120, "Corvan");
    block += iptcRecord(232, "Corvan");
    while (block.size() % 4)
        block.append(char(0));
    return block;
}

// FreeImage writes a TIFF's IPTC tag with a quarter of its length; every
// directory of the file gets the whole block again.
bool rewriteTiffIptc(const QString &path, const QString &keyword)
{
    const QByteArray block = iptcBlock(keyword);
    TIFF *tif = TIFFOpen(FileHelper::convertPath(path).constData(), "r+");
    if (!tif)
        return false;
    bool ok = true;
    const tdir_t count = TIFFNumberOfDirectories(tif);
    for (tdir_t i = 0; i < count && ok; ++i) {
        ok = TIFFSetDirectory(tif, i) &&
             TIFFSetField(tif, TIFFTAG_RICHTIFFIPTC, static_cast<uint32_t>(block.size()),
                          block.constData()) &&
             TIFFRewriteDirectory(tif);
    }
    TIFFClose(tif);
    return ok;
}

bool saveDib(FIBITMAP *dib, const QString &target, FREE_IMAGE_FORMAT fif, const QString &keyword)
{
    FIMEMORY *mem = FreeImage_OpenMemory(nullptr, 0);
    if (!mem)
        return false;
    bool ok = FreeImage_SaveToMemory(fif, dib, mem, 0);
    if (ok) {
        BYTE *data = nullptr;
        DWORD size = 0;
        ok = FreeImage_AcquireMemory(mem, &data, &size) && size > 0 &&
             FileHelper::replaceFile(
                 target, QByteArray(reinterpret_cast<const char *>(data), static_cast<int>(size)),
                 [&](const QString &part) {
                     return fif != FIF_TIFF || rewriteTiffIptc(part, keyword);
                 });
    }
    FreeImage_CloseMemory(mem);
    return ok;
}

// JPEG takes only 8-bit grey and 24-bit colour.
FIBITMAP *jpegReady(FIBITMAP *dib)
{
    const unsigned bpp = FreeImage_GetBPP(dib);
    FIBITMAP *converted = nullptr;
    if (bpp == 1 || (bpp == 8 && FreeImage_GetColorType(dib) != FIC_MINISBLACK))
        converted = bpp == 1 ? FreeImage_ConvertToGreyscale(dib) : FreeImage_ConvertTo24Bits(dib);
    else if (bpp != 8 && bpp != 24)
        converted = FreeImage_ConvertTo24Bits(dib);
    if (!converted)
        return dib;
    FreeImage_Unload(dib);
    return converted;
}

} // namespace

ProcessFile::ProcessFile(QObject *parent)
    : QObject(parent), m_task(new tagTASK_SHORTCUT), m_ocr(new PdfOcrHander(nullptr))
{
}

ProcessFile::~ProcessFile() = default;

void ProcessFile::setListImageFiles(const QList<tagSCAN_IMAGE_FILE> &list)
{
    m_listImageFiles = list;
}

int ProcessFile::setParameters(tagTASK_SHORTCUT &task)
{
    *m_task = task;
    m_strKeyWord.clear();
    // Once per run: a cancel that comes between two OCR runs still counts.
    m_bCancel = false;
    m_ocr->m_bCancel = false;
    m_nResult = 0;
    return 0;
}

void ProcessFile::setKeyWord(QString keyword)
{
    m_strKeyWord = keyword;
}
void ProcessFile::setSavePath(QString path)
{
    m_strSavePath = path;
}
void ProcessFile::setContinue(bool goOn)
{
    m_bContinue = goOn;
}

void ProcessFile::cancelSaveProcess()
{
    m_bCancel = true;
    m_ocr->m_bCancel = true;
    emit canceling();
}

void ProcessFile::fail(int code)
{
    int expected = 0;
    m_nResult.compare_exchange_strong(expected, code);
}

void ProcessFile::unannounce(const QString &outputName)
{
    if (outputName.isEmpty())
        return;
    for (tagSCAN_IMAGE_FILE &record : m_listImageFiles) {
        if (record.outputFileName == outputName)
            record.outputFileName.clear();
    }
}

void ProcessFile::finishSaver()
{
    if (nSleepTime > 0)
        QThread::sleep(static_cast<unsigned long>(nSleepTime));
    emit saveFileFinished();
}

void ProcessFile::OnStartSaveFile()
{
    const int result = saveFiles();
    if (result != 0)
        fail(result);
}

void ProcessFile::configGenerateFile(GenerateFileName &gen, QString folder, QString prefix,
                                     bool saveAs)
{
    // Only an absolute folder is used: an empty or relative one would put the
    // documents wherever the process happens to stand.
    m_bFolderOk = !folder.isEmpty() && QDir::isAbsolutePath(folder);
    if (m_bFolderOk && !QDir(folder).exists())
        QDir().mkpath(folder);
    m_bFolderOk = m_bFolderOk && QFileInfo(folder).isDir();
    gen.setParameters(folder, prefix, saveAs, m_task->FileTypeID, m_task->FileNameFormat,
                      m_task->BarcodeSeparate, m_task->BlankPageSeparate);
}

QString ProcessFile::getSaveFileFilter() const
{
    switch (m_task->FileTypeID) {
    case 1:
    case 2:
    case 9:
    case 10:
        return QObject::tr("(*.pdf)");
    case 6:
        return QObject::tr("(*.tif)");
    case 7:
        return QObject::tr("(*.jpg, *.tif)");
    case 8:
        return QObject::tr("(*.png)");
    case 11:
        return QObject::tr("(*.bmp)");
    case 12:
        return QObject::tr("(*.ofd)");
    case 13:
        return QObject::tr("(*.txt)");
    default:
        return QString();
    }
}

int ProcessFile::requestUserInfo(GenerateFileName &gen)
{
    const tagTASK_SHORTCUT &task = *m_task;
    if (task.BlankPageSeparate || task.BarcodeSeparate) {
        int blanks = 0, barcodes = 0, groups = 0;
        gen.getStatisticsInfo(blanks, barcodes, groups);
        m_bContinue = false;
        if (task.BlankPageSeparate && task.BarcodeSeparate)
            emit blankPageAndBarcodeGroup(blanks, barcodes, groups);
        else if (task.BlankPageSeparate)
            emit blankPageGroup(blanks, groups);
        else
            emit barcodeGroup(barcodes, groups);
        if (!m_bContinue) {
            emit userCancelSaveFile();
            return -51;
        }
        m_bContinue = false;
    }
    // With every page dropped as blank nothing will be written: nothing to ask.
    if (gen.groupCount() == 0)
        return 0;

    const bool split = task.BlankPageSeparate || task.BarcodeSeparate;
    const bool barcodeName = task.FileNameFormat == 3 || task.FileNameFormat == 4;
    if (task.BeforeSaveFileSettingFileName && (!barcodeName || !split)) {
        const QString proposal = gen.getSavedFileName();
        m_bContinue = false;
        emit showSaveDialog(proposal, getSaveFileFilter());
        if (!m_bContinue) {
            emit userCancelSaveFile();
            return -51;
        }
        // Only the last suffix is the type's: "v1.2 report.pdf" is named
        // "v1.2 report", not "v1".
        const QFileInfo chosen(m_strSavePath);
        const QFileInfo proposed(proposal);
        if (chosen.completeBaseName() != proposed.completeBaseName() ||
            chosen.path() != proposed.path())
            configGenerateFile(gen, chosen.path(), chosen.completeBaseName(), true);
    }

    const int type = task.FileTypeID;
    if (task.AddKeywordToDoc && type >= 0 && type <= 12 && ((0x16C6 >> type) & 1)) {
        m_bContinue = false;
        emit showKeyWordsDialog();
        if (!m_bContinue) {
            emit userCancelSaveFile();
            return -51;
        }
    }
    return 0;
}

int ProcessFile::saveFiles()
{
    GenerateFileName gen(m_listImageFiles);
    configGenerateFile(gen, m_task->FolderPath, m_task->FileNamePrefix, false);
    if (requestUserInfo(gen) == -51)
        return -51;

    if (!m_bFolderOk) {
        qDebug() << "Output folder is not usable:" << m_task->FolderPath;
        fail(-50);
        int total = 0, groups = 0;
        gen.getStatisticsInfo(total, groups);
        emit saveFileStart(0, total);
        finishSaver();
        return -50;
    }
    switch (m_task->FileTypeID) {
    case 1:
        return saveOcrPdfInOneFile(*m_task, gen);
    case 2:
        return savePdfInOneFile(*m_task, gen);
    case 6:
        return saveMultiTifFile(*m_task, gen);
    case 7:
        return saveJpegTifFile(*m_task, gen);
    case 8:
        return savePngFile(*m_task, gen);
    case 9:
        return saveOcrOnePageOneFile(*m_task, gen);
    case 10:
        return savePdfOnePageOneFile(gen);
    case 11:
        return saveBmpFile(*m_task, gen);
    case 12:
        return saveOfdFile(*m_task, gen);
    case 13:
        return saveTxtFile(*m_task, gen);
    default:
        // No writer for this type; the launcher still needs an end.
        qDebug() << "No writer for file type" << m_task->FileTypeID;
        fail(-50);
        finishSaver();
        return -50;
    }
}

// ---- image I/O -------------------------------------------------------------

bool ProcessFile::loadImageFromFreeImage(QString file, QImage &image)
{
    FIBITMAP *dib = loadFreeImage(file);
    if (!dib)
        return false;
    unsigned bpp = FreeImage_GetBPP(dib);
    if (FreeImage_GetImageType(dib) != FIT_BITMAP ||
        (bpp != 1 && bpp != 8 && bpp != 24 && bpp != 32)) {
        FIBITMAP *converted = FreeImage_ConvertTo24Bits(dib);
        FreeImage_Unload(dib);
        if (!converted)
            return false;
        dib = converted;
        bpp = 24;
    }
    const int w = static_cast<int>(FreeImage_GetWidth(dib));
    const int h = static_cast<int>(FreeImage_GetHeight(dib));
    QImage::Format format = bpp == 1    ? QImage::Format_Mono
                            : bpp == 8  ? QImage::Format_Indexed8
                            : bpp == 24 ? QImage::Format_RGB888
                                        : QImage::Format_ARGB32;
    QImage out(w, h, format);
    if (out.isNull()) {
        FreeImage_Unload(dib);
        return false;
    }
    if (bpp <= 8) {
        const unsigned colours = FreeImage_GetColorsUsed(dib);
        const RGBQUAD *pal = FreeImage_GetPalette(dib);
        QVector<QRgb> table;
        for (unsigned i = 0; i < colours && pal; ++i)
            table << qRgb(pal[i].rgbRed, pal[i].rgbGreen, pal[i].rgbBlue);
        out.setColorTable(table);
    }
    const int rowBytes = bpp == 1 ? (w + 7) / 8 : w * static_cast<int>(bpp / 8);
    for (int y = 0; y < h; ++y) {
        // FreeImage keeps its rows bottom-up.
        const BYTE *src = FreeImage_GetScanLine(dib, h - 1 - y);
        uchar *dst = out.scanLine(y);
        if (bpp == 24) {
            for (int x = 0; x < w; ++x) {
                dst[3 * x] = src[3 * x + FI_RGBA_RED];
                dst[3 * x + 1] = src[3 * x + FI_RGBA_GREEN];
                dst[3 * x + 2] = src[3 * x + FI_RGBA_BLUE];
            }
        } else if (bpp == 32) {
            QRgb *line = reinterpret_cast<QRgb *>(dst);
            for (int x = 0; x < w; ++x)
                line[x] = qRgba(src[4 * x + FI_RGBA_RED], src[4 * x + FI_RGBA_GREEN],
                                src[4 * x + FI_RGBA_BLUE], src[4 * x + FI_RGBA_ALPHA]);
        } else {
            memcpy(dst, src, static_cast<size_t>(rowBytes));
        }
    }
    FreeImage_Unload(dib);
    image = out;
    return true;
}

QImage ProcessFile::loadPageImage(const QString &file)
{
    QImage image(file);
    if (image.isNull())
        loadImageFromFreeImage(file, image);
    return image;
}

int ProcessFile::saveImageToFreeImage(QString source, QString target, int fif)
{
    FIBITMAP *dib = loadFreeImage(source);
    if (!dib) {
        qDebug() << "Can not load the page file" << source;
        return -52;
    }
    if (fif == FIF_JPEG)
        dib = jpegReady(dib);
    if (fif == FIF_TIFF) {
        clearIptc(dib);
    } else if (fif != FIF_BMP) {
        setIptc(dib, m_strKeyWord);
        if (FreeImage_GetMetadataCount(FIMD_IPTC, dib) == 0)
            qDebug() << "Get the mdhandle is error";
    }
    const bool ok = saveDib(dib, target, static_cast<FREE_IMAGE_FORMAT>(fif), m_strKeyWord);
    FreeImage_Unload(dib);
    if (!ok)
        qDebug() << "Can not write" << target;
    return ok ? 0 : -50;
}

int ProcessFile::saveImageToFreeImage(QString target, QImage &image, int fif)
{
    ensureFreeImage();
    QByteArray bmp;
    {
        QBuffer buffer(&bmp);
        buffer.open(QIODevice::WriteOnly);
        const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
        if (rgb.isNull() || !rgb.save(&buffer, "BMP"))
            return -52;
    }
    FIMEMORY *mem =
        FreeImage_OpenMemory(reinterpret_cast<BYTE *>(bmp.data()), static_cast<DWORD>(bmp.size()));
    FIBITMAP *dib = mem ? FreeImage_LoadFromMemory(FIF_BMP, mem, 0) : nullptr;
    if (mem)
        FreeImage_CloseMemory(mem);
    if (!dib)
        return -52;
    if (fif == FIF_TIFF)
        clearIptc(dib);
    else
        setIptc(dib, m_strKeyWord);
    const bool ok = saveDib(dib, target, static_cast<FREE_IMAGE_FORMAT>(fif), m_strKeyWord);
    FreeImage_Unload(dib);
    if (!ok)
        qDebug() << "Can not write" << target;
    return ok ? 0 : -50;
}

// ---- savers ----------------------------------------------------------------

void ProcessFile::forEachGroup(GenerateFileName &gen,
                               const std::function<void(QList<tagSCAN_IMAGE_FILE> &)> &fn)
{
    int groups = 0;
    m_nPagesTotal = 0;
    m_nPagesDone = 0;
    gen.getStatisticsInfo(m_nPagesTotal, groups);
    emit saveFileStart(0, m_nPagesTotal);
    for (int g = 0; g < groups && !m_bCancel; ++g) {
        QList<tagSCAN_IMAGE_FILE> group;
        gen.getImageList(g, group);
        fn(group);
    }
}

void ProcessFile::pagesDone(int pages, bool ocrProgress)
{
    m_nPagesDone += pages;
    if (m_bCancel)
        return;
    if (ocrProgress)
        emit ocrValueChanged(m_nPagesDone, m_nPagesTotal);
    else
        emit saveFileValueChanged(m_nPagesDone, m_nPagesTotal);
}

void ProcessFile::forEachPage(GenerateFileName &gen,
                              const std::function<void(QList<tagSCAN_IMAGE_FILE> &, int)> &fn)
{
    forEachGroup(gen, [&](QList<tagSCAN_IMAGE_FILE> &group) {
        for (int i = 0; i < group.size(); ++i) {
            fn(group, i);
            pagesDone(1);
        }
    });
}

bool ProcessFile::pageFileUsable(const QString &file, const char *missingLog, const char *emptyLog)
{
    const QFileInfo info(file);
    if (!info.exists()) {
        qDebug() << missingLog << file;
        fail(-52);
        return false;
    }
    if (info.size() == 0) {
        qDebug() << emptyLog << file;
        fail(-52);
        return false;
    }
    return true;
}

int ProcessFile::saveMultiTifFile(tagTASK_SHORTCUT &, GenerateFileName &gen)
{
    ensureFreeImage();
    forEachGroup(gen, [&](QList<tagSCAN_IMAGE_FILE> &group) {
        const QString target = group.first().outputFileName;
        bool opened = false;
        int appended = 0;
        // The document replaces the target only once it reads back whole.
        const bool ok =
            !target.isEmpty() && FileHelper::replaceFile(target, [&](const QString &part) {
                FIMULTIBITMAP *multi = FreeImage_OpenMultiBitmap(
                    FIF_TIFF, FileHelper::convertPath(part).constData(), TRUE, FALSE, FALSE, 0);
                opened = multi != nullptr;
                if (!multi)
                    return false;
                for (const tagSCAN_IMAGE_FILE &page : qAsConst(group)) {
                    if (pageFileUsable(page.fileName, "file is not exist", "file size is zero")) {
                        FIBITMAP *dib = loadFreeImage(page.fileName);
                        if (dib) {
                            clearIptc(dib);
                            FreeImage_AppendPage(multi, dib);
                            FreeImage_Unload(dib);
                            ++appended;
                        } else {
                            qDebug() << "Can not load the page file" << page.fileName;
                            fail(-52);
                        }
                    }
                    pagesDone(1);
                }
                bool whole = FreeImage_CloseMultiBitmap(multi, 0) && appended > 0 &&
                             rewriteTiffIptc(part, m_strKeyWord);
                if (whole) {
                    FIMULTIBITMAP *check = FreeImage_OpenMultiBitmap(
                        FIF_TIFF, FileHelper::convertPath(part).constData(), FALSE, TRUE, FALSE, 0);
                    whole = check && FreeImage_GetPageCount(check) == appended;
                    if (check)
                        FreeImage_CloseMultiBitmap(check, 0);
                }
                return whole;
            });
        if (!opened) {
            qDebug() << "Can not create" << target;
            fail(-50);
            unannounce(target);
            for (int i = 0; i < group.size(); ++i)
                pagesDone(1);
            return;
        }
        if (!ok) {
            unannounce(target);
            if (appended > 0) {
                qDebug() << "Can not write" << target;
                fail(-50);
            }
        }
    });
    finishSaver();
    return m_nResult;
}

int ProcessFile::saveJpegTifFile(tagTASK_SHORTCUT &task, GenerateFileName &gen)
{
    int pageNumber = 0;
    QString lastGroupFirst;
    forEachPage(gen, [&](QList<tagSCAN_IMAGE_FILE> &group, int i) {
        if (i == 0)
            pageNumber = 0;
        ++pageNumber;
        const tagSCAN_IMAGE_FILE &page = group.at(i);
        const int fif =
            QFileInfo(page.fileName).suffix() == QLatin1String("jpg") ? FIF_JPEG : FIF_TIFF;
        if (page.outputFileName.isEmpty()) {
            fail(-50);
            return;
        }
        if (!task.AddWatermark) {
            const int r = pageFileUsable(page.fileName, "File is not exist, can not save",
                                         "File size is zero, can not save")
                              ? saveImageToFreeImage(page.fileName, page.outputFileName, fif)
                              : -52;
            if (r != 0) {
                fail(r);
                unannounce(page.outputFileName);
            }
            return;
        }
        const tagWATERMARK &wm = task.watermark;
        const QString date = wm.IncludeSystemDate
                                 ? QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))
                                 : QString();
        const QString number = wm.IncludePageNumber
                                   ? QStringLiteral("%1").arg(pageNumber, 3, 10, QLatin1Char('0'))
                                   : QString();
        const QString stamp =
            wm.IncludeDateTime
                ? QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
                : QString();
        if (!pageFileUsable(page.fileName, "File not exist, can not save.",
                            "File size is zero, can not save to disk")) {
            unannounce(page.outputFileName);
            return;
        }
        QImage image = loadPageImage(page.fileName);
        int r = -52;
        if (!image.isNull()) {
            Watermark::setWatermark(image, number, stamp, wm.Watermark, date, wm.FontName,
                                    wm.FontSize);
            r = saveImageToFreeImage(page.outputFileName, image, fif);
        } else {
            qDebug() << "Can not load the page file" << page.fileName;
        }
        if (r != 0) {
            fail(r);
            unannounce(page.outputFileName);
        }
    });
    finishSaver();
    return m_nResult;
}

int ProcessFile::savePerPageImages(GenerateFileName &gen, int fif)
{
    forEachPage(gen, [&](QList<tagSCAN_IMAGE_FILE> &group, int i) {
        const tagSCAN_IMAGE_FILE &page = group.at(i);
        if (page.outputFileName.isEmpty()) {
            fail(-50);
            return;
        }
        const int r =
            pageFileUsable(page.fileName,
                           fif == FIF_PNG ? "file is not exist, can not save" : "file is not exist",
                           "file size is zero")
                ? saveImageToFreeImage(page.fileName, page.outputFileName, fif)
                : -52;
        if (r != 0) {
            fail(r);
            unannounce(page.outputFileName);
        }
    });
    finishSaver();
    return m_nResult;
}

int ProcessFile::savePngFile(tagTASK_SHORTCUT &, GenerateFileName &gen)
{
    return savePerPageImages(gen, FIF_PNG);
}

int ProcessFile::saveBmpFile(tagTASK_SHORTCUT &, GenerateFileName &gen)
{
    return savePerPageImages(gen, FIF_BMP);
}

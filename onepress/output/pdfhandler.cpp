#include "pdfhandler.h"

#include "filehelper.h"

#include <hpdf.h>

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>

#include <cstdlib>

PdfHandler::PdfHandler(QObject *parent) : QObject(parent) {}

PdfHandler::~PdfHandler()
{
    closeFile();
}

void PdfHandler::closeFile()
{
    if (m_doc) {
        HPDF_Free(m_doc);
        m_doc = nullptr;
    }
    m_pages = 0;
    m_writtenPages = 0;
    m_halfMadePage = false;
    m_lastWriteNs = 0;
    m_sinceWrite.invalidate();
}

bool PdfHandler::openFile(QString keywords)
{
    closeFile();
    m_doc = HPDF_New(nullptr, nullptr);
    if (!m_doc)
        return false;
    addPdfDate();
    if (HPDF_SetCompressionMode(m_doc, HPDF_COMP_ALL) != HPDF_OK)
        qDebug() << "Call HPDF_SetCompressionMode error:" << HPDF_GetError(m_doc);
    if (!keywords.isEmpty()) {
        if (HPDF_UseUTFEncodings(m_doc) != HPDF_OK || HPDF_SetCurrentEncoder(m_doc, "UTF-8") != HPDF_OK ||
            HPDF_SetInfoAttr(m_doc, HPDF_INFO_KEYWORDS, keywords.toUtf8().constData()) != HPDF_OK)
            qDebug() << "Call HPDF_SetInfoAttr (keywords) error:" << HPDF_GetError(m_doc);
    }
    HPDF_ResetError(m_doc);
    return true;
}

void PdfHandler::addPdfDate()
{
    if (!m_doc)
        return;
    const QDateTime now = QDateTime::currentDateTime();
    const int s = now.offsetFromUtc();
    HPDF_Date date;
    date.year = now.date().year();
    date.month = now.date().month();
    date.day = now.date().day();
    date.hour = now.time().hour();
    date.minutes = now.time().minute();
    date.seconds = now.time().second();
    date.ind = s > 0 ? '+' : (s < 0 ? '-' : 'Z');
    date.off_hour = std::abs(s) / 3600;
    date.off_minutes = (std::abs(s) % 3600) / 60;
    if (HPDF_SetInfoDateAttr(m_doc, HPDF_INFO_CREATION_DATE, date) != HPDF_OK ||
        HPDF_SetInfoDateAttr(m_doc, HPDF_INFO_MOD_DATE, date) != HPDF_OK) {
        qDebug() << "Call HPDF_SetInfoDateAttr error:" << HPDF_GetError(m_doc);
        HPDF_ResetError(m_doc);
    }
}

bool PdfHandler::addPage(int width, int height, int resolution, QString jpegFile,
                         QString outputFile)
{
    if (!m_doc)
        return false;
    if (HPDF_SetInfoAttr(m_doc, HPDF_INFO_CREATOR, QObject::tr("Corvan").toUtf8().constData()) != HPDF_OK) {
        qDebug() << "Call HPDF_SetInfoAttr (creator) error:" << HPDF_GetError(m_doc);
        HPDF_ResetError(m_doc);
    }
    return addPdfPage(width, height, resolution, jpegFile, outputFile);
}

bool PdfHandler::addPdfPage(int width, int height, int resolution, QString jpegFile,
                            QString outputFile)
{
    if (!m_doc || m_halfMadePage)
        return false;
    // A resolution or size left out comes from the image itself.
    if (resolution <= 0 || width <= 0 || height <= 0) {
        QImageReader reader(jpegFile);
        const QImage image = resolution <= 0 ? reader.read() : QImage();
        const QSize size = image.isNull() ? reader.size() : image.size();
        if (resolution <= 0) {
            const int dpi = image.isNull() ? 0 : qRound(image.dotsPerMeterX() * 0.0254);
            resolution = dpi > 0 ? dpi : 200;
        }
        if (width <= 0)
            width = size.width();
        if (height <= 0)
            height = size.height();
    }
    // The image is loaded before its page is made, so a page file the
    // loader refuses leaves no empty page behind.
    HPDF_Image image =
        HPDF_LoadJpegImageFromFile(m_doc, FileHelper::convertPath(jpegFile).constData());
    if (!image) {
        qDebug() << "Call HPDF_Page_DrawImage error:" << HPDF_GetError(m_doc);
        HPDF_ResetError(m_doc);
        return false;
    }
    HPDF_Page page = HPDF_AddPage(m_doc);
    if (!page) {
        qDebug() << "Call HPDF_AddPage error:" << HPDF_GetError(m_doc);
        HPDF_ResetError(m_doc);
        return false;
    }
    // From here on a failure leaves a half-made page in the document: it is
    // never written, so the file keeps the last whole document.
    const auto halfMade = [this](const char *call, HPDF_STATUS code) {
        qDebug() << call << code;
        HPDF_ResetError(m_doc);
        m_halfMadePage = true;
        return false;
    };
    const HPDF_REAL s = static_cast<HPDF_REAL>(72.0f / static_cast<float>(resolution));
    if (HPDF_Page_Concat(page, s, 0, 0, s, 0, 0) != HPDF_OK)
        return halfMade("Call HPDF_Page_Concat error:", HPDF_GetError(m_doc));
    HPDF_STATUS rc = HPDF_Page_SetWidth(page, static_cast<HPDF_REAL>(width * 72.0 / resolution));
    if (rc != HPDF_OK)
        return halfMade("Call HPDF_Page_SetWidth error:", rc);
    rc = HPDF_Page_SetHeight(page, static_cast<HPDF_REAL>(height * 72.0 / resolution));
    if (rc != HPDF_OK)
        return halfMade("Call HPDF_Page_SetHeight error:", rc);
    rc = HPDF_Page_DrawImage(page, image, 0, 0, static_cast<HPDF_REAL>(HPDF_Image_GetWidth(image)),
                             static_cast<HPDF_REAL>(HPDF_Image_GetHeight(image)));
    if (rc != HPDF_OK)
        return halfMade("Call HPDF_Page_DrawImage error:", rc);
    ++m_pages;
    return writeDue() ? save(outputFile) : true;
}

bool PdfHandler::writeDue() const
{
    return m_writtenPages == 0 || m_sinceWrite.nsecsElapsed() >= 3 * m_lastWriteNs;
}

bool PdfHandler::flush(const QString &outputFile)
{
    if (!m_doc || m_halfMadePage)
        return false;
    return m_writtenPages == m_pages || save(outputFile);
}

bool PdfHandler::save(const QString &outputFile)
{
    QElapsedTimer clock;
    clock.start();
    HPDF_STATUS rc = HPDF_OK;
    const bool ok = FileHelper::replaceFile(outputFile, [&](const QString &part) {
        rc = HPDF_SaveToFile(m_doc, FileHelper::convertPath(part).constData());
        if (rc != HPDF_OK)
            return false;
        // The last buffered write is flushed on close, which the library does
        // not check: a document must end with its end-of-file marker.
        QFile written(part);
        bool whole = written.open(QIODevice::ReadOnly) && written.size() > 16;
        if (whole) {
            written.seek(written.size() - 16);
            whole = written.read(16).contains("%%EOF");
        }
        if (!whole)
            rc = HPDF_FILE_IO_ERROR;
        return whole;
    });
    if (!ok) {
        qDebug() << "Call HPDF_SaveToFile error:" << rc;
        HPDF_ResetError(m_doc);
        return false;
    }
    m_writtenPages = m_pages;
    m_lastWriteNs = clock.nsecsElapsed();
    m_sinceWrite.start();
    return true;
}

bool PdfHandler::isCompleteJpeg(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly) || f.size() < 4)
        return false;
    const QByteArray head = f.read(3);
    if (head != QByteArray("\xFF\xD8\xFF", 3))
        return false;
    const qint64 tail = qMin<qint64>(f.size(), 64);
    f.seek(f.size() - tail);
    return f.read(tail).contains(QByteArray("\xFF\xD9", 2));
}

#ifndef PDFHANDLER_H
#define PDFHANDLER_H

#include "corvanglobal.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

struct _HPDF_Doc_Rec;

// Image-only PDF documents: one JPEG page image per page, shown at its
// scanned size. Each write goes to a temporary file beside the document that
// replaces it only when complete, so the file on disk is always a whole
// document. Writing rewrites every earlier page, so it is not done after
// every page: after the first page, and then whenever the document has gone
// unwritten for three times as long as its last write took. That keeps the
// writes to a fixed share of the job, however long the document grows.
// flush() writes what is still missing from the file.
class ONEPRESS_EXPORT PdfHandler : public QObject
{
    Q_OBJECT
public:
    explicit PdfHandler(QObject *parent = nullptr);
    ~PdfHandler() override;

    bool openFile(QString keywords);
    bool addPage(int width, int height, int resolution, QString jpegFile, QString outputFile);
    bool addPdfPage(int width, int height, int resolution, QString jpegFile, QString outputFile);
    void addPdfDate();
    // Writes the document when it holds pages the file does not; true when
    // the file holds every page added. A document left with a half-made
    // page by a failed addPage is never written again.
    bool flush(const QString &outputFile);
    void closeFile();

    int pageCount() const { return m_pages; }
    int writtenPageCount() const { return m_writtenPages; }

    // Whether a file holds a JPEG stream that is complete (start and end
    // markers): such pages go into the document as they are.
    static bool isCompleteJpeg(const QString &file);

private:
    bool save(const QString &outputFile);
    bool writeDue() const;

    _HPDF_Doc_Rec *m_doc = nullptr;
    int m_pages = 0;        // in the open document
    int m_writtenPages = 0; // of those, in the file
    bool m_halfMadePage = false;
    qint64 m_lastWriteNs = 0;
    QElapsedTimer m_sinceWrite; // since the last write ended
};

#endif

#ifndef PDFHANDLER_H
#define PDFHANDLER_H

#include "corvanglobal.h"

#include <QObject>
#include <QString>

struct _HPDF_Doc_Rec;

// Image-only PDF documents: one JPEG page image per page, shown at its
// scanned size. The document is written after every added page, so the file
// on disk always holds every page added so far; each write goes to a
// temporary file beside it that replaces the document only when complete.
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
    void closeFile();

    // Whether a file holds a JPEG stream that is complete (start and end
    // markers): such pages go into the document as they are.
    static bool isCompleteJpeg(const QString &file);

private:
    bool save(const QString &outputFile);

    _HPDF_Doc_Rec *m_doc = nullptr;
};

#endif

#ifndef PDFOCRHANDER_H
#define PDFOCRHANDER_H

#include "corvanglobal.h"

#include <QObject>
#include <QProcessEnvironment>
#include <QStringList>

#include <atomic>

// Runs the OCR program over page images: one searchable PDF of a whole
// document, one of a single image, or one text file. Blocks the calling
// (worker) thread; m_bCancel ends a run, and every program it started,
// within about a second. A run that does not succeed leaves the target as it
// was and nothing of its own behind.
class ONEPRESS_EXPORT PdfOcrHander : public QObject
{
    Q_OBJECT
public:
    explicit PdfOcrHander(QObject *parent = nullptr);
    ~PdfOcrHander() override;

    void setImageInput(QString path);
    void setPdfOutputFile(QString path);
    void setTxtOutputFile(QString path);
    void setPdfKeyword(QString keywords);
    int getImageFiles() const { return m_images.size(); }
    void clear();
    void clearTxtFile();

    bool createPdfFile();
    bool createSinglePdfFile();
    bool createOcrTxtFile();

    // Folder holding the OCR program; the library's application directory
    // unless set (tests).
    static QString appDir();
    static void setAppDir(const QString &dir);
    // Output path without its last suffix; the document is that with
    // ".pdf" or ".txt".
    static QString outputBase(const QString &outputPath);

    // Raised by the owner's cancel; cleared by the owner before a run, not
    // by the run, so a cancel that came before a run starts also counts.
    std::atomic<bool> m_bCancel{false};

private:
    bool run(const QString &input, const QString &outputPath, bool pdf, bool withKeywords);
    // The OCR program writing base + ".pdf" or ".txt"; false when it did not
    // start, failed or was cancelled.
    bool runProgram(const QString &input, const QString &base, bool pdf, bool withKeywords);
    bool writeListFile(class QTemporaryFile &file);
    // Every file whose name begins with that of `base`.
    static void removeRunFiles(const QString &base);

    QStringList m_images;
    QString m_strPdfOutput;
    QString m_strTxtOutput;
    QString m_strKeywords;
};

#endif

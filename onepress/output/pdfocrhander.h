#ifndef PDFOCRHANDER_H
#define PDFOCRHANDER_H

#include "corvanglobal.h"

#include <QObject>
#include <QProcessEnvironment>
#include <QStringList>

#include <atomic>

// Runs the OCR program over page images: one searchable PDF of a whole
// document, one of a single image, or one text file. Blocks the calling
// (worker) thread; m_bCancel ends a run within about a second.
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
    // Output path without its last suffix: where the program is told to write.
    static QString outputBase(const QString &outputPath);

    std::atomic<bool> m_bCancel{false};

private:
    bool run(const QString &input, const QString &outputPath, bool pdf, bool withKeywords,
             const QString &expectedOutput);
    bool writeListFile(class QTemporaryFile &file);

    QStringList m_images;
    QString m_strPdfOutput;
    QString m_strTxtOutput;
    QString m_strKeywords;
};

#endif

#ifndef PROCESSFILE_H
#define PROCESSFILE_H

#include "corvanglobal.h"
#include "pagefile.h"

#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

struct tagTASK_SHORTCUT;
class GenerateFileName;
class PdfOcrHander;
class QImage;
class QPixmap;

// Seconds a saver waits before it reports the end of its run; tests set 0.
extern ONEPRESS_EXPORT int nSleepTime;

// The output worker: turns the pages of one finished button task into output
// files on a thread of its own. The launcher hands it the page list and the
// task, then starts it through OnStartSaveFile; questions go out as blocking
// signals that the launcher answers with setContinue/setSavePath/setKeyWord.
class ONEPRESS_EXPORT ProcessFile : public QObject
{
    Q_OBJECT
public:
    explicit ProcessFile(QObject *parent = nullptr);
    ~ProcessFile() override;

    // The run works on its own copy of the page records; after the end
    // signal it holds the output names the run gave them.
    void setListImageFiles(const QList<tagSCAN_IMAGE_FILE> &list);
    QList<tagSCAN_IMAGE_FILE> listImageFiles() const { return m_listImageFiles; }
    int setParameters(tagTASK_SHORTCUT &task);
    void setKeyWord(QString keyword);
    void setSavePath(QString path);
    void setContinue(bool goOn);
    // GUI thread, while a run goes on: the run stops at its next group.
    void cancelSaveProcess();

    // Read by the launcher after saveFileFinished().
    bool isCancel() const { return m_bCancel.load(); }
    // 0, or the run's first failure: -50 a document not written (a failed
    // OCR run included), -51 a question declined, -52 a page file not read.
    int saveResult() const { return m_nResult.load(); }

    // The worker's image I/O, public for the savers' writers and tests.
    // 0, -52 the source could not be read, -50 the target not written; a
    // target is either complete or absent.
    int saveImageToFreeImage(QString source, QString target, int fif);
    int saveImageToFreeImage(QString target, QImage &image, int fif);
    // Top-down rows in Qt's byte order, with the palette; false when the file
    // is no image FreeImage reads.
    static bool loadImageFromFreeImage(QString file, QImage &image);
    // A page image through Qt, else through FreeImage.
    static QImage loadPageImage(const QString &file);

public slots:
    void OnStartSaveFile();

signals:
    void showSaveDialog(QString defaultPath, QString filter);
    void showKeyWordsDialog();
    void saveFileStart(int done, int total);
    void saveFileValueChanged(int done, int total);
    void ocrValueChanged(int done, int total);
    void saveFileFinished();
    void userCancelSaveFile();
    void blankPageGroup(int blankPages, int groups);
    void blankPageAndBarcodeGroup(int blankPages, int barcodes, int groups);
    void barcodeGroup(int barcodes, int groups);
    void canceling();
    void startOcring();

private:
    int saveFiles();
    int requestUserInfo(GenerateFileName &gen);
    void configGenerateFile(GenerateFileName &gen, QString folder, QString prefix, bool saveAs);
    QString getSaveFileFilter() const;
    void fail(int code);
    // An OCR document that was not written: a failure unless cancelled.
    void ocrNotWritten();
    void finishSaver();
    // A document that was not written is taken off the launcher's list.
    void unannounce(const QString &outputName);
    QString tempJpegFile() const;
    // The page as a JPEG the PDF writer embeds: the page file itself when it
    // is a complete JPEG (unless `convert`), else a conversion; empty when
    // that failed.
    QString jpegForPdf(const QString &pageFile, bool viaFreeImage, bool convert);

    int saveOcrPdfInOneFile(tagTASK_SHORTCUT &task, GenerateFileName &gen);
    int savePdfInOneFile(tagTASK_SHORTCUT &task, GenerateFileName &gen);
    int saveMultiTifFile(tagTASK_SHORTCUT &task, GenerateFileName &gen);
    int saveJpegTifFile(tagTASK_SHORTCUT &task, GenerateFileName &gen);
    int savePngFile(tagTASK_SHORTCUT &task, GenerateFileName &gen);
    int saveOcrOnePageOneFile(tagTASK_SHORTCUT &task, GenerateFileName &gen);
    int savePdfOnePageOneFile(GenerateFileName &gen);
    int saveBmpFile(tagTASK_SHORTCUT &task, GenerateFileName &gen);
    int saveOfdFile(tagTASK_SHORTCUT &task, GenerateFileName &gen);
    int saveTxtFile(tagTASK_SHORTCUT &task, GenerateFileName &gen);
    int savePerPageImages(GenerateFileName &gen, int fif);
    bool pageFileUsable(const QString &file, const char *missingLog, const char *emptyLog);
    // The saver frame: the start signal, then every group with cancel tested
    // between groups; pagesDone() counts pages and reports the progress.
    void forEachGroup(GenerateFileName &gen,
                      const std::function<void(QList<tagSCAN_IMAGE_FILE> &)> &fn);
    void pagesDone(int pages, bool ocrProgress = false);
    // The same frame, page by page, progress after each page.
    void forEachPage(GenerateFileName &gen,
                     const std::function<void(QList<tagSCAN_IMAGE_FILE> &, int)> &fn);
    int m_nPagesTotal = 0; // of the running saver (worker thread only)
    int m_nPagesDone = 0;

    std::unique_ptr<tagTASK_SHORTCUT> m_task;
    QList<tagSCAN_IMAGE_FILE> m_listImageFiles;
    QString m_strKeyWord;
    QString m_strSavePath;
    std::atomic<bool> m_bContinue{false};
    std::unique_ptr<PdfOcrHander> m_ocr;
    std::atomic<bool> m_bCancel{false};
    std::atomic<int> m_nResult{0};
    bool m_bFolderOk = false;
};

#endif

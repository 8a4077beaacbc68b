#ifndef SCANNINGDIALOG_H
#define SCANNINGDIALOG_H

#include "pmessage.h"

#include <QDialog>
#include <QTimer>

#include <memory>

namespace Ui {
class ScanningDialog;
}

// Progress of a scan (pages, sheets, the last page's thumbnail, Cancel) or
// of a calibration (a line of running dots, no way out).
class ScanningDialog : public QDialog
{
    Q_OBJECT
public:
    // kind: 1 for a scan, else the calibration type.
    ScanningDialog(int kind, bool isScan, PMessage *hub, QWidget *parent = nullptr);
    ~ScanningDialog() override;

    bool isCancel() const { return m_cancelled; }
    int pageCount() const { return m_pages; }
    int sheetCount() const { return m_sheets; }
    void setScanFileName(signed char side, QString file, int inputDocumentType);

public slots:
    void cancelScanningJob(PMessage::CancelOwnerFlag owner);
    void clickedBtnCancel();
    void handleTimeOut();
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Ui::ScanningDialog *ui;
    PMessage *m_hub;
    int m_pages = 0;
    int m_sheets = 0;
    QString m_dots = "...";
    int m_kind;
    bool m_isScan;
    bool m_cancelled = false;
    QTimer m_timer;
    // Pages can arrive faster than pictures decode: only the newest one of a
    // burst is drawn.
    struct ThumbnailQueue;
    std::shared_ptr<ThumbnailQueue> m_thumbnails;

    void queueThumbnail(const QString &file);
    void showThumbnail(const QImage &image);
};

#endif

#include "scanningdialog.h"

#include "dialoghelpers.h"
#include "ui_scanningdialog.h"
#include "vellumglobal.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QPointer>
#include <QThreadPool>

#include <mutex>

namespace {

// Only a thumbnail is needed: the reader scales while decoding, so a large
// page never sits in memory at full size.
QImage readThumbnail(const QString &file, const QSize &box)
{
    QImageReader reader(file);
    QSize full = reader.size();
    if (full.isValid() && !full.isEmpty()) {
        full.scale(box, Qt::KeepAspectRatio);
        reader.setScaledSize(full);
    }
    QImage image = reader.read();
    if (!image.isNull() && image.size() != full)
        image = image.scaled(box, Qt::KeepAspectRatio, Qt::FastTransformation);
    return image;
}

} // namespace

ScanningDialog::ScanningDialog(int kind, bool isScan, PMessage *hub, QWidget *parent)
    : QDialog(parent), ui(new Ui::ScanningDialog), m_hub(hub), m_kind(kind), m_isScan(isScan),
      m_thumbnails(std::make_shared<ThumbnailQueue>())
{
    ui->setupUi(this);
    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint);
    flags |= Qt::CustomizeWindowHint | Qt::WindowStaysOnTopHint;
    if (!m_isScan)
        flags &= ~Qt::WindowCloseButtonHint;
    setWindowFlags(flags);

    if (m_isScan) {
        setWindowTitle(tr("正在扫描"));
        ui->labelPages->setText(tr("张：%1").arg(QString()));
        ui->labelSheets->setText(tr("页数：%1").arg(QString()));
        ui->pushButtonCancel->setText(tr("取消"));
    } else {
        setWindowTitle(tr("校准"));
        ui->labelPages->setText(tr("正在进行校准，请稍后%1").arg(m_dots));
        ui->labelSheets->hide();
        ui->labelImage->hide();
        ui->pushButtonCancel->hide();
        m_timer.setInterval(1000);
        connect(&m_timer, &QTimer::timeout, this, &ScanningDialog::handleTimeOut);
        m_timer.start();
    }
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &ScanningDialog::clickedBtnCancel);
    if (m_hub)
        connect(m_hub, &PMessage::cancelScanningJob, this, &ScanningDialog::cancelScanningJob);
    dialoghelpers::centreOnDesktop(this);
}

ScanningDialog::~ScanningDialog()
{
    delete ui;
}

void ScanningDialog::setScanFileName(signed char side, QString file, int inputDocumentType)
{
    ++m_pages;
    QString sideWord;
    if (inputDocumentType == 2) {
        if (side == 0) {
            sideWord = tr("正面");
            ++m_sheets;
        } else {
            sideWord = tr("背面");
        }
    } else if ((inputDocumentType == 0 || inputDocumentType == 3) && side == 0) {
        sideWord = tr("正面");
        ++m_sheets;
    } else if (inputDocumentType == 1 && side == 1) {
        sideWord = tr("背面");
        ++m_sheets;
    }
    ui->labelPages->setText(tr("张：%1").arg(m_sheets));
    ui->labelSheets->setText(tr("页数：%1（%2）").arg(m_pages).arg(sideWord));

    queueThumbnail(file);
}

// Decoding a page takes longer than a frame: a pool thread reads the
// thumbnails, one page at a time, and of the pages that came meanwhile only
// the newest. It goes on by itself while pages are waiting, so the GUI
// thread meets the pool only when the reader had nothing left to do. The
// dialog may be gone by the time a picture is ready.
struct ScanningDialog::ThumbnailQueue
{
    std::mutex mutex;
    QString pending;
    bool reading = false;
};

void ScanningDialog::queueThumbnail(const QString &file)
{
    {
        std::lock_guard<std::mutex> lock(m_thumbnails->mutex);
        m_thumbnails->pending = file;
        if (m_thumbnails->reading)
            return;
        m_thumbnails->reading = true;
    }
    const QSize box = ui->labelImage->size();
    const QPointer<ScanningDialog> self(this);
    QThreadPool::globalInstance()->start([queue = m_thumbnails, self, box] {
        for (;;) {
            QString file;
            {
                std::lock_guard<std::mutex> lock(queue->mutex);
                if (queue->pending.isEmpty()) {
                    queue->reading = false;
                    return;
                }
                file.swap(queue->pending);
            }
            const QImage image = readThumbnail(file, box);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self, image] {
                    if (self)
                        self->showThumbnail(image);
                },
                Qt::QueuedConnection);
        }
    });
}

void ScanningDialog::showThumbnail(const QImage &image)
{
    ui->labelImage->setAlignment(Qt::AlignCenter);
    ui->labelImage->setScaledContents(true);
    if (image.isNull())
        ui->labelImage->clear();
    else
        ui->labelImage->setPixmap(QPixmap::fromImage(image));
}

void ScanningDialog::cancelScanningJob(PMessage::CancelOwnerFlag)
{
    m_cancelled = true;
    ui->pushButtonCancel->setEnabled(false);
}

void ScanningDialog::clickedBtnCancel()
{
    reject();
}

void ScanningDialog::handleTimeOut()
{
    if (m_dots.size() < 4)
        m_dots += ".";
    else
        m_dots = ".";
    ui->labelPages->setText(tr("正在进行校准，请稍后%1").arg(m_dots));
}

// Cancel asks the job to stop; the window stays until the job has ended.
void ScanningDialog::reject()
{
    g_Devgate.cancelJob();
    if (m_hub) {
        emit m_hub->cancelScanningJob(PMessage::CancelByDialog);
        emit m_hub->updatePreviewMode();
    }
}

void ScanningDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

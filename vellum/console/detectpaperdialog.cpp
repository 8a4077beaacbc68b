#include "detectpaperdialog.h"

#include "dialoghelpers.h"
#include "ui_detectpaperdialog.h"
#include "vellumglobal.h"

#include <QKeyEvent>

DetectPaperDialog::DetectPaperDialog(PMessage *hub, QWidget *parent)
    : QDialog(parent), ui(new Ui::DetectPaperDialog), m_hub(hub)
{
    ui->setupUi(this);
    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint);
    setWindowFlags(flags | Qt::CustomizeWindowHint);

    setWindowTitle(tr("Corvan扫描仪"));
    ui->plainTextEditInfo->setReadOnly(true);
    ui->plainTextEditInfo->setEnabled(false);
    ui->plainTextEditInfo->setFrameShape(QFrame::StyledPanel);
    ui->plainTextEditInfo->setStyleSheet(
        "background-color: rgb(255, 255, 255);color: rgb(0, 0, 0);");
    showRemaining();
    ui->pushButtonCancel->setText(tr("取消"));
    dialoghelpers::showPicture(ui->labelExclamationMark,
                               ":/paper/images/paper/exclamation-mark.png");
    dialoghelpers::showPicture(ui->labelADFEmpty, ":/paper/images/paper/adf-empty.png");
    startDetectDeviceTimer();

    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &DetectPaperDialog::reject);
    if (m_hub)
        connect(m_hub, &PMessage::cancelScanningJob, this, &DetectPaperDialog::cancelingJob);
    dialoghelpers::centreOnDesktop(this);
}

DetectPaperDialog::~DetectPaperDialog()
{
    delete ui;
}

void DetectPaperDialog::showRemaining()
{
    ui->plainTextEditInfo->setPlainText(
        tr("托盘进纸器中未找到纸张\n\n等待 %1...").arg(m_remainingSeconds));
}

void DetectPaperDialog::startDetectDeviceTimer()
{
    connect(&m_timer, &QTimer::timeout, this, &DetectPaperDialog::timerPaperDetect,
            Qt::UniqueConnection);
    m_timer.start(1000);
}

void DetectPaperDialog::stopDetectDeviceTimer()
{
    disconnect(&m_timer, &QTimer::timeout, this, &DetectPaperDialog::timerPaperDetect);
    m_timer.stop();
}

void DetectPaperDialog::timerPaperDetect()
{
    --m_remainingSeconds;
    showRemaining();
    if (m_remainingSeconds < 1) {
        stopDetectDeviceTimer();
        reject();
    }
}

void DetectPaperDialog::cancelingJob()
{
    if (!ui->pushButtonCancel->isChecked())
        ui->pushButtonCancel->setEnabled(false);
}

// Cancels the job but stays on screen: the console removes the dialog once
// the job reports that the wait for paper is over.
void DetectPaperDialog::reject()
{
    g_Devgate.cancelJob();
    if (m_hub) {
        emit m_hub->cancelScanningJob(PMessage::CancelByDialog);
        emit m_hub->updatePreviewMode();
    }
}

void DetectPaperDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

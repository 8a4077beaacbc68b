#ifndef DETECTPAPERDIALOG_H
#define DETECTPAPERDIALOG_H

#include "pmessage.h"

#include <QDialog>
#include <QTimer>

namespace Ui {
class DetectPaperDialog;
}

// "No paper in the feeder": counts 20 seconds down and then cancels the job,
// unless paper arrives first (the console then removes the dialog).
class DetectPaperDialog : public QDialog
{
    Q_OBJECT
public:
    DetectPaperDialog(PMessage *hub, QWidget *parent = nullptr);
    ~DetectPaperDialog() override;

    int remainingSeconds() const { return m_remainingSeconds; }
    void startDetectDeviceTimer();
    void stopDetectDeviceTimer();
    void disconnectMessages() {}

public slots:
    void timerPaperDetect();
    void cancelingJob();
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showRemaining();

    Ui::DetectPaperDialog *ui;
    QTimer m_timer;
    int m_remainingSeconds = 20;
    PMessage *m_hub;
};

#endif

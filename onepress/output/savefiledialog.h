#ifndef SAVEFILEDIALOG_H
#define SAVEFILEDIALOG_H

#include "corvanglobal.h"

#include <QDialog>

class QTimer;
namespace Ui {
class SaveFileDialog;
}

// Progress window of the output worker: page being written, the OCR clock,
// the cancelling text and a cancel button. Modeless; never closes itself.
class ONEPRESS_EXPORT SaveFileDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SaveFileDialog(QWidget *parent = nullptr);
    ~SaveFileDialog() override;

    void setProgressBar(int total);
    void setSaveFileAmount(int done, int total);
    void setOCRProgress(int done, int total);
    void setCancelText();
    void setOCRStatus();
    void reset();
    void adjustWindow();

signals:
    void userCancel();

public slots:
    void OnUserCancel();
    void OnTimeOut();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Escape must not hide the window while the worker runs.
    void reject() override;

private:
    void loadSaveFileDialog();
    void showOcrClock();

    Ui::SaveFileDialog *ui;
    QTimer *m_timer;
    QString m_strDots;
    int m_nElapsed;
};

#endif

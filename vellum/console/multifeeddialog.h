#ifndef MULTIFEEDDIALOG_H
#define MULTIFEEDDIALOG_H

#include "scanshortcut.h"

#include <QDialog>
#include <QStringList>

class PMessage;

namespace Ui {
class MultifeedDialog;
}

// Shows the images of a multifed sheet and sends the user's answer to the
// job: 1 keep them, 2 stop, 3 rescan. The scanner's panel may answer instead.
class MultifeedDialog : public QDialog
{
    Q_OBJECT
public:
    MultifeedDialog(tagSCAN_SHORTCUT_MENU &profile, QStringList files, PMessage *hub,
                    QWidget *parent = nullptr);
    ~MultifeedDialog() override;

    void disconnectMessages();

public slots:
    void clickedBtnTips();
    void clickedBtnAccept();
    void clickedBtnRescan();
    void clickedBtnStop();
    void userInputFromPanel();
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void loadScannedImage();
    // Sends the answer at most once per dialog: the job takes one answer.
    void answer(int code);

    Ui::MultifeedDialog *ui;
    PMessage *m_hub;
    QStringList m_files;
    bool m_answered = false;
    bool m_panelAnswered = false;
};

#endif

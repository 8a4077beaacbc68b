#ifndef RETOUCHER_H
#define RETOUCHER_H

// The image editor the launcher opens before saving: it scans with the
// task's profile through the console it was given, so the pages reach the
// launcher by the console's page signal, and it says when it closes. It
// closes only once its scan has ended: Save waits for the last page, Discard
// stops the scan first.

#include "pagefile.h"
#include "scanshortcut.h"

#include <QDialog>
#include <QList>

#include <memory>

class PMessage;
class QLabel;
class QPushButton;
class ScanMainWindow;

class __attribute__((visibility("default"))) Retoucher : public QDialog
{
    Q_OBJECT
public:
    Retoucher(ScanMainWindow *console, PMessage *hub, QWidget *parent = nullptr);
    ~Retoucher() override;

    void setTaskShortcut(tagSCAN_SHORTCUT_MENU profile);
    // Starts a scan of the profile given through the console; false when it
    // refused, or there is no console or no profile.
    bool triggeredStartJob();
    // The pages to save stay as the launcher collected them.
    void getImageFiles(QList<tagSCAN_IMAGE_FILE> &pages);

    QPushButton *acceptButton() const { return m_pAccept; }
    QPushButton *rejectButton() const { return m_pReject; }

    bool isScanning() const { return m_scanning; }

public slots:
    // During the scan the answer is kept and given when the scan has ended.
    void accept() override;
    void reject() override;

signals:
    void closeRetoucher(bool accepted);

private:
    enum class Answer { None, Save, Discard };
    void scanEnded();
    void showState();

    bool m_scanning = false;
    Answer m_answer = Answer::None;
    ScanMainWindow *m_pConsole;
    PMessage *m_pHub;
    std::unique_ptr<tagSCAN_SHORTCUT_MENU> m_profile;
    QLabel *m_pInfo;
    QPushButton *m_pAccept;
    QPushButton *m_pReject;
};

#endif // RETOUCHER_H

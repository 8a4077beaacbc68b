#ifndef RETOUCHER_H
#define RETOUCHER_H

// The image editor the launcher opens before saving: it scans with the
// task's profile through the console it was given, so the pages reach the
// launcher by the console's page signal, and it says when it closes.

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

public slots:
    void accept() override;
    void reject() override;

signals:
    void closeRetoucher(bool accepted);

private:
    ScanMainWindow *m_pConsole;
    PMessage *m_pHub;
    std::unique_ptr<tagSCAN_SHORTCUT_MENU> m_profile;
    QLabel *m_pInfo;
    QPushButton *m_pAccept;
    QPushButton *m_pReject;
};

#endif // RETOUCHER_H

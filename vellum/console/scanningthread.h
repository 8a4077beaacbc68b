#ifndef SCANNINGTHREAD_H
#define SCANNINGTHREAD_H

#include "scanshortcut.h"

#include <QThread>

class PMessage;

// Runs one scan job with its own copy of the profile.
class ScanningThread : public QThread
{
    Q_OBJECT
public:
    ScanningThread(PMessage *hub, QObject *parent = nullptr);

    void setScanParameter(tagSCAN_SHORTCUT_MENU &profile);
    const tagSCAN_SHORTCUT_MENU &scanParameter() const { return m_record; }
    int result() const { return m_result; }

protected:
    void run() override;

private:
    PMessage *m_hub;
    tagSCAN_SHORTCUT_MENU m_record;
    int m_result = 0;
};

#endif

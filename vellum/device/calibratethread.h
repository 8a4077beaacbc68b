#ifndef CALIBRATETHREAD_H
#define CALIBRATETHREAD_H

#include "scanshortcut.h"

#include <QThread>

class PMessage;

// One calibration on its own thread: the console makes one per run, hands it
// a copy of the profile and the type (1 magnification, 2 magnification test,
// 3 UDDS), and hears the outcome as PMessage::calibrateStatus.
class calibrateThread : public QThread
{
    Q_OBJECT
public:
    calibrateThread(PMessage *hub, QObject *parent = nullptr);

    void setCalibrateParamete(tagSCAN_SHORTCUT_MENU &profile, int type);

protected:
    void run() override;

private:
    void calibrateIndex(int type);

    PMessage *m_hub;
    tagSCAN_SHORTCUT_MENU m_profile;
    int m_type = 0;
};

#endif

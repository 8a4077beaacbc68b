// Minimal version of the calibration thread, to be completed.
#ifndef CALIBRATETHREAD_H
#define CALIBRATETHREAD_H

#include "scanshortcut.h"

#include <QThread>

class PMessage;

class calibrateThread : public QThread
{
    Q_OBJECT
public:
    calibrateThread(PMessage *hub, QObject *parent = nullptr);

    void setCalibrateParamete(tagSCAN_SHORTCUT_MENU &profile, int type);

protected:
    void run() override;

private:
    PMessage *m_hub;
    tagSCAN_SHORTCUT_MENU m_profile;
    int m_type = 0;
};

#endif

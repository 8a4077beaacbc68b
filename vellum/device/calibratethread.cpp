#include "calibratethread.h"

#include "pmessage.h"
#include "vellumglobal.h"

calibrateThread::calibrateThread(PMessage *hub, QObject *parent) : QThread(parent), m_hub(hub)
{
    zeroScanShortcut(m_profile);
}

void calibrateThread::setCalibrateParamete(tagSCAN_SHORTCUT_MENU &profile, int type)
{
    m_profile = profile;
    m_type = type;
}

void calibrateThread::run()
{
    if (m_type >= 1 && m_type <= 3)
        calibrateIndex(m_type);
}

void calibrateThread::calibrateIndex(int type)
{
    int result = -1;
    switch (type) {
    case 1:
        result = g_Devgate.calibrateBeginTest(&m_profile, m_hub);
        break;
    case 2:
        result = g_Devgate.calibrateBeginTestMag(&m_profile, m_hub);
        break;
    case 3:
        result = g_Devgate.calibrateBeginUDDS(&m_profile, m_hub);
        break;
    default:
        return;
    }
    // Reaches the console's GUI thread through the hub's queued connection.
    if (m_hub)
        emit m_hub->calibrateStatus(type, result == 0);
}

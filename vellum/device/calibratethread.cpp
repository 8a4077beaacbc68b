// Minimal version of the calibration thread, to be completed.
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
    int result;
    switch (m_type) {
    case 1: result = g_Devgate.calibrateBeginTest(&m_profile, m_hub); break;
    case 2: result = g_Devgate.calibrateBeginTestMag(&m_profile, m_hub); break;
    case 3: result = g_Devgate.calibrateBeginUDDS(&m_profile, m_hub); break;
    default: return;
    }
    emit m_hub->calibrateStatus(m_type, result == 0);
}

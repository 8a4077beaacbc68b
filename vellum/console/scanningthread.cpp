#include "scanningthread.h"

#include "pmessage.h"
#include "vellumglobal.h"

ScanningThread::ScanningThread(PMessage *hub, QObject *parent) : QThread(parent), m_hub(hub) {}

void ScanningThread::setScanParameter(tagSCAN_SHORTCUT_MENU &profile)
{
    m_record = profile;
}

// A failure is shown by the console; the blocking connection keeps this
// thread until the box is closed.
void ScanningThread::run()
{
    m_result = g_Devgate.startJob(&m_record, m_hub);
    if (m_result != 0)
        emit m_hub->postErrorCode(m_result);
}

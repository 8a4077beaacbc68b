#include "onepressthread.h"

#include "pmessage.h"
#include "vellumglobal.h"

#include <QDebug>
#include <QElapsedTimer>

QTime OnepressThread::m_lastTime = QTime(0, 0, 0, 0);
std::atomic<int> OnepressThread::s_openInterval{30000};
std::atomic<int> OnepressThread::s_renewInterval{60000};

bool PollTimeoutRule::timedOut(qint64 nowMs)
{
    if (++m_count == 11)
        m_since = nowMs;
    if (nowMs - m_since > m_renewMs) {
        restart(nowMs);
        return true;
    }
    return false;
}

OnepressThread::OnepressThread(QList<tagONEPRESS_EVENT> list, PMessage *hub,
                               ScanningThread *scanning, QObject *parent)
    : QThread(parent), m_hub(hub), m_scanningThread(scanning), m_list(list)
{
}

OnepressThread::~OnepressThread()
{
    wait();
    m_ended.load(std::memory_order_acquire);
}

void OnepressThread::setOpenInterval(int ms)
{
    s_openInterval = ms;
}

int OnepressThread::openInterval()
{
    return s_openInterval;
}

void OnepressThread::resetLastOpenAttempt()
{
    m_lastTime = QTime(0, 0, 0, 0);
}

void OnepressThread::setRenewInterval(int ms)
{
    s_renewInterval = ms;
}

void OnepressThread::setParameters(QList<tagONEPRESS_EVENT> list)
{
    {
        QMutexLocker lock(&m_listMutex);
        m_list = list;
    }
    if (m_state != PortClosed)
        m_reregister = true;
}

void OnepressThread::setScanFlag(bool scanning)
{
    m_scanFlag = scanning;
}

void OnepressThread::setCancel()
{
    m_cancel = true;
}

void OnepressThread::sleepUnlessCancelled(int ms)
{
    for (int slept = 0; slept < ms && !m_cancel; slept += 50)
        QThread::msleep(50);
}

// The first withdrawal of a session asks twice (a third time when the second
// fails): the scanner may still hold a registration of an earlier session.
void OnepressThread::withdraw(bool twiceOrThrice)
{
    g_Devgate.eventUnregister();
    if (twiceOrThrice && g_Devgate.eventUnregister() != 0)
        g_Devgate.eventUnregister();
}

void OnepressThread::run()
{
    struct EndMark
    {
        std::atomic<bool> &ended;
        ~EndMark() { ended.store(true, std::memory_order_release); }
    } endMark{m_ended};
    qDebug() << "run";
    QList<tagONEPRESS_EVENT> list;
    {
        QMutexLocker lock(&m_listMutex);
        list = m_list;
    }
    if (list.isEmpty()) {
        qDebug() << "Onepress list is empty!!!";
        return;
    }

    QElapsedTimer clock;
    clock.start();
    PollTimeoutRule timeouts(s_renewInterval);
    timeouts.restart(clock.elapsed());
    bool parametersChanged = false;
    for (;;) {
        const QTime now = QTime::currentTime();
        if (m_cancel)
            break;
        if (m_reregister.exchange(false) && m_state != PortClosed) {
            m_state = Withdraw;
            parametersChanged = true;
        }
        const int state = m_state;
        if (state == PortClosed) {
            if (qAbs(m_lastTime.msecsTo(now)) < s_openInterval) {
                sleepUnlessCancelled(1000);
                continue;
            }
            m_lastTime = now;
            QList<tagUSB_DEVICE_DESCRIPTION> devices;
            Devgate::enumScannerDevices(devices);
            if (devices.isEmpty()) {
                // The open throttle spaces the next attempt; do not spin
                // meanwhile when it is short.
                sleepUnlessCancelled(50);
                continue;
            }
            if (!g_Devgate.openPort(devices.first().portName))
                break;
            emit m_hub->updateDevice();
            emit openUsbSuccess();
            m_state = Withdraw;
        } else if (state == Withdraw) {
            withdraw(!parametersChanged);
            parametersChanged = false;
            m_state = Register;
        } else if (state == Register) {
            {
                QMutexLocker lock(&m_listMutex);
                list = m_list;
            }
            const int rc = g_Devgate.eventRegistration(list);
            if (rc == 0 || rc == -3) {
                m_registeredCount = list.size();
                m_state = Poll;
            } else if (rc == -60) {
                m_state = Withdraw;
            } else {
                qDebug() << "eventRegistration failed, Error code:" << rc;
                break;
            }
        } else if (state == Poll) {
            QString reply;
            const int rc = g_Devgate.getReplyEvent(reply);
            if (rc == 0) {
                timeouts.restart(clock.elapsed());
                qDebug() << "read OK";
                if (!reply.isEmpty()) {
                    qDebug() << reply;
                    bool ok = false;
                    const int button = reply.trimmed().toInt(&ok);
                    // Only a button of the registered list is reported.
                    if (ok && button >= 1 && button <= m_registeredCount)
                        emit m_hub->pressTouchPanel(button);
                    else
                        qDebug() << "no such button, reply dropped:" << reply;
                }
            } else if (rc == -3) {
                m_replyEvent = g_Devgate.getReplyEvent();
                if (m_replyEvent && m_scanFlag) {
                    m_replyEvent = false;
                    m_scanFlag = false;
                    m_state = Register;
                    g_Devgate.setReplyEvent(false);
                } else {
                    if (timeouts.timedOut(clock.elapsed()))
                        m_state = Register;
                    qDebug() << "getReplyEvent() timeout";
                }
            } else if (rc == -36) {
                qDebug() << "device need register again";
                m_state = Register;
            } else {
                qDebug() << "device is disconnect, Error code:" << rc;
                emit usbDisconnected();
                m_state = PortClosed;
                break;
            }
        }
    }

    if (m_state != PortClosed)
        emit usbDisconnected();
    if (g_Devgate.isOpen()) {
        withdraw(true);
        g_Devgate.closePort();
    }
    m_state = PortClosed;
    qDebug() << "Exit onepress thread";
}

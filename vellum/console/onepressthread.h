#ifndef ONEPRESSTHREAD_H
#define ONEPRESSTHREAD_H

#include "buttoneventcodec.h"

#include <QList>
#include <QMutex>
#include <QThread>
#include <QTime>

#include <atomic>

class PMessage;
class ScanningThread;

// When poll time-outs call for a fresh registration: the eleventh time-out in
// a row restarts the clock, and the first time-out more than the renewal
// interval after the clock's last start (thread start, good reply, eleventh
// time-out or renewal) renews it. Times are milliseconds of one clock.
class PollTimeoutRule
{
public:
    explicit PollTimeoutRule(qint64 renewMs) : m_renewMs(renewMs) {}
    void restart(qint64 nowMs)
    {
        m_since = nowMs;
        m_count = 0;
    }
    // True when this time-out renews the registration.
    bool timedOut(qint64 nowMs);
    int count() const { return m_count; }

private:
    qint64 m_renewMs;
    qint64 m_since = 0;
    int m_count = 0;
};

// Owns the scanner's port while it runs: opens it, registers the panel's
// button list, long-polls for presses and reports each on the hub. Ends when
// the port is lost, the registration is refused or it is asked to stop.
class OnepressThread : public QThread
{
    Q_OBJECT
public:
    enum State { PortClosed = 0, Withdraw = 1, Register = 2, Poll = 4 };

    OnepressThread(QList<tagONEPRESS_EVENT> list, PMessage *hub, ScanningThread *scanning,
                   QObject *parent = nullptr);
    ~OnepressThread() override;

    // Called from the GUI thread; run() takes them up on its next pass.
    void setParameters(QList<tagONEPRESS_EVENT> list);
    void setScanFlag(bool scanning);
    void setCancel();
    int state() const { return m_state.load(); }

    // Least time between two attempts to open the port, for all threads of
    // the class (30 s; tests shorten it).
    static void setOpenInterval(int ms);
    static int openInterval();
    static void resetLastOpenAttempt();
    // Time-outs renew the registration after this long (60 s; tests shorten it).
    static void setRenewInterval(int ms);

signals:
    void openUsbSuccess();
    void noUsbfound();
    void usbDisconnected();

protected:
    void run() override;

private:
    void withdraw(bool twiceOrThrice);
    void sleepUnlessCancelled(int ms);

    std::atomic<bool> m_cancel{false};
    std::atomic<int> m_state{PortClosed};
    PMessage *m_hub;
    ScanningThread *m_scanningThread;
    QMutex m_listMutex;
    QList<tagONEPRESS_EVENT> m_list;
    // A new list given while registered: withdraw once and register it.
    std::atomic<bool> m_reregister{false};
    bool m_replyEvent = false;
    std::atomic<bool> m_scanFlag{false};
    int m_registeredCount = 0;
    // Set last thing in run(): whoever sees it set sees everything run() did.
    std::atomic<bool> m_ended{false};

    static QTime m_lastTime;
    static std::atomic<int> s_openInterval;
    static std::atomic<int> s_renewInterval;
};

#endif

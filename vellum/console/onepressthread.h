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
    int m_timeoutCount = 0;
    int m_registeredCount = 0;
    // Set last thing in run(): whoever sees it set sees everything run() did.
    std::atomic<bool> m_ended{false};

    static QTime m_lastTime;
    static std::atomic<int> s_openInterval;
};

#endif

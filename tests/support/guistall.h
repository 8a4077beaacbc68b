#ifndef GUISTALL_H
#define GUISTALL_H

// Measures how long the GUI thread's event loop stood still while the meter
// lives: a 10 ms timer notes the gaps between two of its turns. A gap counts
// only the time the thread ran or was blocked (in a device call, a wait):
// the time it stood ready in the scheduler's run queue is taken off, so a
// busy machine's starvation is not read as a GUI thread that waited on
// something. Where the kernel keeps no per-thread scheduling figures the
// whole gap counts.

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdio>

namespace testsupport {

class StallMeter : public QObject
{
public:
    StallMeter()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { note(); });
        m_clock.start();
        m_lastWaitNs = runQueueWaitNs();
        m_timer.start();
    }
    // The longest gap so far less the thread's run-queue wait in it, the gap
    // still open included. Read on the GUI thread.
    qint64 longestMs() const
    {
        return qMax(m_longestOwn, ownGap(m_clock.elapsed(), runQueueWaitNs()));
    }
    // The longest gap as the clock on the wall saw it.
    qint64 longestWallMs() const { return qMax(m_longestWall, m_clock.elapsed() - m_last); }
    QString report() const
    {
        return QString("GUI thread stood still %1 ms of its own (%2 ms on the wall)")
            .arg(longestMs())
            .arg(longestWallMs());
    }

private:
    // The calling thread's time spent ready to run but not running, from
    // /proc/thread-self/schedstat ("run wait slices"); 0 where unknown.
    static qint64 runQueueWaitNs()
    {
        FILE *f = std::fopen("/proc/thread-self/schedstat", "r");
        if (!f)
            return 0;
        unsigned long long run = 0, wait = 0;
        const int read = std::fscanf(f, "%llu %llu", &run, &wait);
        std::fclose(f);
        return read == 2 ? qint64(wait) : 0;
    }

    qint64 ownGap(qint64 now, qint64 waitNs) const
    {
        return now - m_last - (waitNs - m_lastWaitNs) / 1000000;
    }

    void note()
    {
        const qint64 now = m_clock.elapsed();
        const qint64 wait = runQueueWaitNs();
        m_longestWall = qMax(m_longestWall, now - m_last);
        m_longestOwn = qMax(m_longestOwn, ownGap(now, wait));
        m_last = now;
        m_lastWaitNs = wait;
    }

    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_last = 0;
    qint64 m_lastWaitNs = 0;
    qint64 m_longestOwn = 0;
    qint64 m_longestWall = 0;
};

} // namespace testsupport

#endif

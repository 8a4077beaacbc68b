#ifndef GUISTALL_H
#define GUISTALL_H

// Measures how long the GUI thread's event loop stood still while the meter
// lives: a 10 ms timer notes the longest gap between two of its turns.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

namespace testsupport {

class StallMeter : public QObject
{
public:
    StallMeter()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { note(); });
        m_clock.start();
        m_timer.start();
    }
    // The longest gap so far, the one still open included.
    qint64 longestMs() const { return qMax(m_longest, m_clock.elapsed() - m_last); }

private:
    void note()
    {
        const qint64 now = m_clock.elapsed();
        m_longest = qMax(m_longest, now - m_last);
        m_last = now;
    }

    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

} // namespace testsupport

#endif

#ifndef LINKTIMEOUTS_H
#define LINKTIMEOUTS_H

#include <QByteArray>
#include <QtGlobal>

#include <atomic>

// Time-outs of the scanner link and the paper wait, in milliseconds. The
// defaults are what the device needs; a test that drives time-outs on
// purpose shortens them so that it does not wait minutes in real time:
// through the environment of the process (read once, at the first use, so
// child programs such as the event release tool follow too) or, inside the
// device library's own tests, through set().
//
//   CORVAN_LOCK_TIMEOUT_MS        lock pipe                       20000
//   CORVAN_DATA_TIMEOUT_MS        data pipe                        3000
//   CORVAN_EVENT_TIMEOUT_MS       event pipe                       3000
//   CORVAN_EVENT_DRAIN_TIMEOUT_MS event pipe, draining stale frames 1000
//   CORVAN_PAPER_WAIT_MS          wait for paper before a scan    30000
//
// Header only: the event release tool compiles the event-pipe code without
// the rest of the library.
class LinkTimeouts
{
public:
    enum Kind { Lock, Data, Event, EventDrain, PaperWait, KindCount };

    static int get(Kind kind)
    {
        std::atomic<int> &slot = values()[kind];
        int ms = slot.load();
        if (ms > 0)
            return ms;
        ms = fromEnvironment(kind);
        slot.store(ms);
        return ms;
    }

    // A value of 0 or below goes back to the environment's or the default.
    static void set(Kind kind, int ms) { values()[kind].store(ms > 0 ? ms : 0); }

    static int defaultOf(Kind kind)
    {
        static const int defaults[KindCount] = {20000, 3000, 3000, 1000, 30000};
        return defaults[kind];
    }

private:
    static std::atomic<int> *values()
    {
        static std::atomic<int> table[KindCount] = {};
        return table;
    }

    static int fromEnvironment(Kind kind)
    {
        static const char *const names[KindCount] = {
            "CORVAN_LOCK_TIMEOUT_MS", "CORVAN_DATA_TIMEOUT_MS", "CORVAN_EVENT_TIMEOUT_MS",
            "CORVAN_EVENT_DRAIN_TIMEOUT_MS", "CORVAN_PAPER_WAIT_MS"};
        bool ok = false;
        const int ms = qEnvironmentVariableIntValue(names[kind], &ok);
        return ok && ms > 0 ? ms : defaultOf(kind);
    }
};

#endif

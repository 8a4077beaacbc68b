#ifndef JOBSTEP_H
#define JOBSTEP_H

#include <QDebug>
#include <QElapsedTimer>

// One command step of a job, traced with its name and the milliseconds it
// took: the trace is how a slow or stuck device is found in the field.
template <typename Fn>
int timedStep(const char *name, Fn &&fn)
{
    QElapsedTimer timer;
    timer.start();
    const int rc = fn();
    qDebug() << name << timer.elapsed();
    return rc;
}

#endif

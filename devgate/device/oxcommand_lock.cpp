#include "oxcommand.h"

#include "locktask.h"
#include "usbport.h"

#include <QDebug>

int OxCommand::lockScanner()
{
    return lock("lockScanner", LockTask::lockTask());
}

int OxCommand::lockScannerForLog()
{
    return lock("lockScannerForLog", LockTask::logLockTask());
}

int OxCommand::unlockScanner()
{
    return unlock("unlockScanner");
}

int OxCommand::unlockScannerForLog()
{
    return unlock("unlockScannerForLog");
}

int OxCommand::lock(const char *name, const QByteArray &task)
{
    qDebug() << name;
    if (!port)
        return RC_NOT_CONNECTED;
    // A task that never reached the device cannot be answered: report the
    // missing reply now instead of waiting out the 20 s read for it.
    const int written = port->write(USBPort::Lock, task.constData(), task.size(), lockTimeout());
    if (written != task.size()) {
        qDebug() << name << written;
        return RC_READ_FAILED;
    }
    char reply[LockTask::kReplyBufferSize] = {};
    const int got = port->read(USBPort::Lock, reply, sizeof reply, lockTimeout());
    if (got < 0)
        return RC_READ_FAILED;

    const LockTask::Reply parsed = LockTask::parseLockReply(LockTask::replyText(reply, sizeof reply));
    switch (parsed.status) {
    case LockTask::Status::Success:
        lockId = parsed.lockId;
        return RC_OK;
    case LockTask::Status::Busy:
        qDebug() << "Scanner busy";
        return RC_BUSY;
    case LockTask::Status::Waking:
        qDebug() << "Scanner waking up";
        return RC_WAKING;
    case LockTask::Status::Failed:
        break;
    }
    qDebug() << "Scanner lock failed";
    return RC_LOCK_FAILED;
}

int OxCommand::unlock(const char *name)
{
    qDebug() << name;
    if (lockId.isEmpty())
        return RC_OK;
    if (!port)
        return RC_NOT_CONNECTED;
    const QByteArray task = LockTask::unlockTask(lockId);
    const int written = port->write(USBPort::Lock, task.constData(), task.size(), lockTimeout());
    if (written != task.size()) {
        qDebug() << name << written;
        return RC_READ_FAILED;
    }
    char reply[LockTask::kReplyBufferSize] = {};
    if (port->read(USBPort::Lock, reply, sizeof reply, lockTimeout()) < 0)
        return RC_READ_FAILED;
    if (LockTask::unlockSucceeded(LockTask::replyText(reply, sizeof reply)))
        return RC_OK;
    qDebug() << "Scanner unlock failed";
    return RC_UNLOCK_FAILED;
}

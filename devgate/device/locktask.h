#ifndef LOCKTASK_H
#define LOCKTASK_H

#include <QByteArray>
#include <QString>

#include <cstddef>

// The XML task texts of the lock pipe and the reading of their replies. The
// `bytes` attributes are part of the fixed texts and are sent as they stand;
// the device does not check them against the real lengths.
namespace LockTask {

constexpr int kReplyBufferSize = 1024;

QByteArray lockTask();
QByteArray logLockTask();
QByteArray unlockTask(const QString &lockId);

enum class Status { Success, Busy, Waking, Failed };

struct Reply
{
    Status status = Status::Failed;
    QString lockId; // only for Success; empty when the reply names none
};

// The reply text is the bytes before the first zero byte, as Latin-1.
QString replyText(const char *data, size_t size);
Reply parseLockReply(const QString &text);
bool unlockSucceeded(const QString &text);

} // namespace LockTask

#endif

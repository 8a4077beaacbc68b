#include "locktask.h"

#include <algorithm>

namespace LockTask {

QByteArray lockTask()
{
    return QByteArrayLiteral("<task bytes='00000000000000000130' id='00000000000000000001' "
                             "reply='00000000000000000000'>\n\t<resourcelock>\n</resourcelock>\n"
                             "</task>");
}

QByteArray logLockTask()
{
    return QByteArrayLiteral(
        "<task id='00000000000000000000' reply='00000000000000000000' "
        "bytes='00000000000000000256'>\r\n<resourcelock>\r\n<testonly>false</testonly>\r\n"
        "<locktimeout>120</locktimeout>\r\n<skiplocknotification>true</skiplocknotification>\r\n"
        "</resourcelock></task>");
}

QByteArray unlockTask(const QString &lockId)
{
    return QStringLiteral("<task bytes='00000000000000000166' id='00000000000000000001' "
                          "reply='00000000000000000000'>\n\t<resourceunlock>\n\t\t<lockid>%1"
                          "</lockid>\n\t</resourceunlock>\n</task>\n")
        .arg(lockId)
        .toLatin1();
}

QString replyText(const char *data, size_t size)
{
    if (!data)
        return QString();
    const char *end = std::find(data, data + size, '\0');
    return QString::fromLatin1(data, static_cast<int>(end - data));
}

Reply parseLockReply(const QString &text)
{
    static const QString open = QStringLiteral("<status>");
    static const QString close = QStringLiteral("</status>");
    Reply reply;
    const int start = text.indexOf(open);
    // The closing tag is looked for after the opening one: a stray closing
    // tag earlier in the text must not make a bogus element.
    const int end = start < 0 ? -1 : text.indexOf(close, start + open.size());
    if (end < 0)
        return reply;
    const QString element = text.mid(start, end + close.size() - start);
    if (element == QLatin1String("<status>success</status>")) {
        reply.status = Status::Success;
        const int idStart = text.indexOf(QLatin1String("<lockid>"));
        const int idEnd = idStart < 0 ? -1 : text.indexOf(QLatin1String("</lockid>"), idStart);
        if (idEnd >= 0)
            reply.lockId = text.mid(idStart + 8, idEnd - idStart - 8);
    } else if (element == QLatin1String("<status>busy</status>")) {
        reply.status = Status::Busy;
    } else if (element == QLatin1String("<status>waking</status>")) {
        reply.status = Status::Waking;
    }
    return reply;
}

bool unlockSucceeded(const QString &text)
{
    return text.contains(QLatin1String("<status>success</status>"));
}

} // namespace LockTask

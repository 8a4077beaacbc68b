#include "buttoneventcodec.h"

#include "bytes.h"

#include <QBuffer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

namespace ButtonEventCodec {

const char kClientId[] = "dcba948e-5066-4c36-a552-0ff354f2e2e8";

QByteArray frame(FrameType type, const QByteArray &text)
{
    QByteArray out(8, '\0');
    ByteWriter w(out);
    w.le32(0, static_cast<quint32>(text.size() + 8));
    w.le32(4, type);
    return out + text;
}

quint32 replyType(const QByteArray &reply)
{
    if (reply.size() <= 7)
        return FrameInvalid;
    return ByteReader(reply).le32(4);
}

QString replyText(const QByteArray &reply)
{
    if (reply.size() <= 8)
        return QString();
    QByteArray text = reply.mid(8);
    const int zero = text.indexOf('\0');
    if (zero >= 0)
        text.truncate(zero);
    return QString::fromLatin1(text);
}

void splitHeaderBody(const QString &text, QString &head, QString &body)
{
    const int split = text.indexOf("\r\n\r\n");
    if (split < 0) {
        head = text;
        body.clear();
        return;
    }
    head = text.left(split);
    body = text.mid(split + 4);
}

QString status(const QString &head)
{
    const QStringList lines = head.split("\r\n");
    for (const QString &line : lines) {
        const int colon = line.indexOf(':');
        if (colon < 0 || line.left(colon).toUpper() != "STATUS")
            continue;
        const int second = line.indexOf(':', colon + 1);
        QString value = (second < 0 ? line.mid(colon + 1) : line.mid(colon + 1, second - colon - 1))
                            .trimmed();
        const int blank = value.indexOf(' ');
        return blank < 0 ? value : value.left(blank);
    }
    return QString();
}

bool hasTimeoutMarker(const QString &head)
{
    const QStringList lines = head.split("\r\n");
    for (const QString &line : lines) {
        const QStringList pieces = line.split('.');
        if (pieces.size() > 1 && pieces.at(1).toUpper().contains("TCM"))
            return true;
    }
    return false;
}

QString percentEncode(const QString &text)
{
    return QString::fromLatin1(text.toUtf8().toPercentEncoding(QByteArray(), QByteArray(), '%'));
}

QString buttonImage(const QString &iconPath)
{
    QImage image(iconPath);
    if (image.isNull())
        return QString();
    const QImage scaled = image.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    scaled.save(&buffer, "PNG");
    return QString::fromLatin1(png.toBase64(QByteArray::Base64UrlEncoding));
}

QByteArray registrationBody(const QList<tagONEPRESS_EVENT> &buttons, const QString &displayString)
{
    QJsonArray list;
    int number = 1;
    for (const tagONEPRESS_EVENT &button : buttons) {
        QJsonObject entry;
        entry["ButtonNumber"] = QString::number(number++);
        entry["Image"] = buttonImage(button.iconPath);
        entry["OcpGraphicLocation"] = "Left";
        entry["PaperSource"] = "ADF";
        entry["Text"] = percentEncode(button.buttonText);
        list.append(entry);
    }
    QJsonObject root;
    root["DisplayImage"] = "";
    root["DisplayString"] = displayString;
    root["EventButtons"] = list;
    root["EventSeqNum"] = "0";
    root["EventType"] = "SetOcpButtons";
    root["JobInfoId"] = "8738";
    root["PCID"] = QString::fromLatin1(kClientId);
    root["SecurityPin"] = "";
    return QJsonDocument(root).toJson(QJsonDocument::Compact);
}

QByteArray registrationRequest(const QByteArray &body)
{
    const QString head = QString("POST http://usb/api/scanner/event HTTP/1.1\r\n"
                                 "Host: USB\r\n"
                                 "Content-Length: %1\r\n"
                                 "Content-Type: application/json; charset=UTF-8\r\n"
                                 "\r\n")
                             .arg(body.size());
    return frame(FrameRegistration, head.toLatin1() + body);
}

QByteArray longPollRequest(int eventSeqNum)
{
    const QString head = QString("GET http://usb/api/scanner/event?PCID=%1&EventSeqNum=%2"
                                 "&Timeout=30&LP HTTP/1.1\r\n"
                                 "Host: USB\r\n"
                                 "\r\n")
                             .arg(QString::fromLatin1(kClientId))
                             .arg(eventSeqNum);
    return frame(FrameLongPoll, head.toLatin1());
}

QByteArray unregisterRequest()
{
    const QString head = QString("DELETE http://usb/api/scanner/event?PCID=%1 HTTP/1.1\r\n"
                                 "Host: USB\r\n"
                                 "Accept: text/html, */*; q=0.01\r\n"
                                 "\r\n")
                             .arg(QString::fromLatin1(kClientId));
    return frame(FrameUnregister, head.toLatin1());
}

QByteArray settingsConfigRequest()
{
    return frame(FrameRegistration, QByteArray("GET http://usb/api/config/settings HTTP/1.1\r\n"
                                               "Host: USB\r\n"
                                               "\r\n"));
}

PollReply parsePollReply(const QString &text)
{
    PollReply reply;
    QString head, body;
    splitHeaderBody(text, head, body);
    reply.status = status(head).toInt();
    reply.timeoutMarker = hasTimeoutMarker(head);
    if (reply.status == 200) {
        const QJsonObject root = QJsonDocument::fromJson(body.toLatin1()).object();
        reply.event = root.value("Event").toString();
        // A sequence number that is not a JSON string counts as 0.
        reply.eventSeqNum = root.value("EventSeqNum").toString().toInt();
    }
    return reply;
}

} // namespace ButtonEventCodec

#ifndef BUTTONEVENTCODEC_H
#define BUTTONEVENTCODEC_H

#include <QByteArray>
#include <QList>
#include <QString>

// One button assignment for the scanner's panel; list position k (from 1)
// is panel button k.
struct tagONEPRESS_EVENT {
    QString iconPath;
    QString buttonText;
};

// The event pipe's frames and their HTTP/1.1 texts, with no I/O, so that
// every reply the scanner may send can be parsed and tested directly.
namespace ButtonEventCodec {

enum FrameType : quint32 {
    FrameUnregister = 56,
    FrameRegistration = 57,
    FrameLongPoll = 69,
    FrameInvalid = 255,
};

extern const char kClientId[];

// Little-endian length (text + 8) and type words, then the text.
QByteArray frame(FrameType type, const QByteArray &text);

// Type word of a reply; 255 for a reply of 7 bytes or fewer.
quint32 replyType(const QByteArray &reply);
// Reply text from offset 8 to the first zero byte, as Latin-1.
QString replyText(const QByteArray &reply);
// Splits at the first "\r\n\r\n"; without it the whole text is the head.
void splitHeaderBody(const QString &text, QString &head, QString &body);
// Value of the first "STATUS:" header line, up to its first blank; empty if none.
QString status(const QString &head);
// True when a head line holds "TCM" (any case) in its second dot-separated piece.
bool hasTimeoutMarker(const QString &head);

QString percentEncode(const QString &text);
// 64 x 64 PNG of the icon in URL-safe Base64 (fill kept); empty if unreadable.
QString buttonImage(const QString &iconPath);
QByteArray registrationBody(const QList<tagONEPRESS_EVENT> &buttons, const QString &displayString);

QByteArray registrationRequest(const QByteArray &body);
QByteArray longPollRequest(int eventSeqNum);
QByteArray unregisterRequest();
QByteArray settingsConfigRequest();

struct PollReply {
    int status = 0;
    QString event;
    int eventSeqNum = 0;
    bool timeoutMarker = false;
};
// Parses a poll answer text; event and sequence number only for status 200.
PollReply parsePollReply(const QString &text);

} // namespace ButtonEventCodec

#endif

#ifndef OXBUTTONEVENT_H
#define OXBUTTONEVENT_H

#include "buttoneventcodec.h"
#include "linktimeouts.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <atomic>

class USBPort;

// The scanner's panel-button channel on the event pipe: registration (POST),
// long poll (GET) and withdrawal (DELETE), one frame per transfer. The
// console's button-event thread drives it; it takes no lock, so it runs
// beside a scan job that uses the lock and data pipes of the same handle.
class OxButtonEvent : public QObject
{
    Q_OBJECT
public:
    explicit OxButtonEvent(QObject *parent = nullptr);

    bool setPort(USBPort *port);
    int eventRegistration(QList<tagONEPRESS_EVENT> buttons);
    int getReplyEvent(QString &event);
    int eventUnregister();
    bool getReplyEvent() const { return m_bReplyEvent.load(); }
    void setReplyEvent(bool reply) { m_bReplyEvent.store(reply); }
    int eventSeqNum() const { return m_nEventSeqNum; }

    // 3000 and 1000 ms unless a test shortened them (LinkTimeouts).
    static int transferTimeout() { return LinkTimeouts::get(LinkTimeouts::Event); }
    static int drainTimeout() { return LinkTimeouts::get(LinkTimeouts::EventDrain); }
    static const int kReplyBuffer = 1048576;

private:
    QByteArray requestEventRegistration(const QList<tagONEPRESS_EVENT> &buttons);
    QByteArray requestTimeout();
    QByteArray requestUnregister();
    QByteArray requestSettingsConfig();
    int replyEventRegistration(const QByteArray &reply);
    int replyTimeout(const QByteArray &reply, QString &event);
    void replyUnregister(const QByteArray &reply);
    void replySettingsConfig(const QByteArray &reply);
    void flushUsbBuffer();
    void outputScannerResponse(const QByteArray &reply);
    int writeFrame(const QByteArray &frame);
    int readFrame(QByteArray &reply, int timeout);

    std::atomic<bool> m_bReplyEvent{false};
    USBPort *m_pUsbPort = nullptr;
    int m_nEventSeqNum = 0;
};

#endif

#include "oxbuttonevent.h"

#include "usbport.h"

#include <QDebug>
#include <QDir>

using namespace ButtonEventCodec;

// The event release tool carries its own build of this file with
// OXBUTTONEVENT_RELEASE_TRACE: its unregistration path and the public calls
// leave out their entry lines and the raw reply dump, which only help when
// the console's thread is followed in the trace log.
#ifdef OXBUTTONEVENT_RELEASE_TRACE
#define ENTRY_TRACE(name) \
    do {                  \
    } while (false)
#else
#define ENTRY_TRACE(name) qDebug() << name
#endif

OxButtonEvent::OxButtonEvent(QObject *parent)
    : QObject(parent)
{
}

bool OxButtonEvent::setPort(USBPort *port)
{
    m_pUsbPort = port;
    return true;
}

int OxButtonEvent::writeFrame(const QByteArray &frame)
{
    if (!m_pUsbPort)
        return -7;
    const int rc =
        m_pUsbPort->write(USBPort::Event, frame.constData(), frame.size(), transferTimeout());
    return rc < 0 ? rc : 0;
}

int OxButtonEvent::readFrame(QByteArray &reply, int timeout)
{
    if (!m_pUsbPort)
        return -7;
    reply.resize(kReplyBuffer);
    const int rc = m_pUsbPort->read(USBPort::Event, reply.data(), reply.size(), timeout);
    reply.resize(rc < 0 ? 0 : rc);
    return rc;
}

void OxButtonEvent::outputScannerResponse(const QByteArray &reply)
{
    if (reply.size() >= 9)
        qDebug().noquote() << QString::fromLatin1(reply.mid(8));
}

QByteArray OxButtonEvent::requestEventRegistration(const QList<tagONEPRESS_EVENT> &buttons)
{
    qDebug() << "requestEventRegistration";
    m_nEventSeqNum = 0;
    const QString home = QDir::homePath();
    const QString displayString = home.mid(home.lastIndexOf('/') + 1);
    return registrationRequest(registrationBody(buttons, displayString));
}

QByteArray OxButtonEvent::requestTimeout()
{
    qDebug() << "requestTimeout";
    return longPollRequest(m_nEventSeqNum);
}

QByteArray OxButtonEvent::requestUnregister()
{
    qDebug() << "requestUnregister";
    return unregisterRequest();
}

QByteArray OxButtonEvent::requestSettingsConfig()
{
    qDebug() << "requestSettingsConfig";
    return settingsConfigRequest();
}

int OxButtonEvent::replyEventRegistration(const QByteArray &reply)
{
    qDebug() << "replyEventRegistration";
    // The status is looked for in the whole text, body included; the reply
    // itself was dumped when it was read.
    if (status(replyText(reply)) != "200") {
        qDebug() << "Cannot parse image data";
        return -60;
    }
    return 0;
}

int OxButtonEvent::replyTimeout(const QByteArray &reply, QString &event)
{
    qDebug() << "replyTimeout";
    const PollReply poll = parsePollReply(replyText(reply));
    switch (poll.status) {
    case 200:
        event = poll.event;
        m_nEventSeqNum = poll.eventSeqNum;
        qDebug() << "Event:" << event;
        break;
    case 404:
        qDebug() << "Please call Verrin";
        return -36;
    case 408:
        m_bReplyEvent.store(poll.timeoutMarker);
        break;
    case 409:
    case 420:
    case 429:
        break;
    default:
        qDebug() << "FW Status:" << poll.status;
        break;
    }
    return 0;
}

void OxButtonEvent::replyUnregister(const QByteArray &reply)
{
    ENTRY_TRACE("replyUnregister");
    QString head, body;
    splitHeaderBody(replyText(reply), head, body);
    status(head);
}

void OxButtonEvent::replySettingsConfig(const QByteArray &reply)
{
    qDebug() << "replySettingsConfig";
    outputScannerResponse(reply);
}

void OxButtonEvent::flushUsbBuffer()
{
    ENTRY_TRACE("flushUsbBuffer");
    QByteArray stale;
    readFrame(stale, drainTimeout());
}

int OxButtonEvent::eventRegistration(QList<tagONEPRESS_EVENT> buttons)
{
    ENTRY_TRACE("eventRegistration");
    int rc = writeFrame(requestEventRegistration(buttons));
    if (rc < 0)
        return rc;
    QByteArray reply;
    rc = readFrame(reply, transferTimeout());
    if (rc < 0)
        return rc;
    outputScannerResponse(reply);
    rc = replyEventRegistration(reply);
    if (rc != 0)
        return rc;
    // The first poll goes out at once: exactly one poll is outstanding while
    // the host is registered. Without it no press would ever be reported and
    // the caller would only see poll time-outs, so a failed write is handed up.
    return writeFrame(requestTimeout());
}

int OxButtonEvent::getReplyEvent(QString &event)
{
    ENTRY_TRACE("getReplyEvent");
    QByteArray reply;
    const int rc = readFrame(reply, transferTimeout());
    if (rc < 0)
        return rc;
    outputScannerResponse(reply);
    switch (replyType(reply)) {
    case FrameLongPoll: {
        const int handled = replyTimeout(reply, event);
        if (handled != 0)
            return handled; // 404: the registration is gone, no new poll
        return writeFrame(requestTimeout());
    }
    case FrameRegistration:
        replyEventRegistration(reply);
        return 0;
    case FrameUnregister:
        replyUnregister(reply);
        return 0;
    default:
        return 0;
    }
}

int OxButtonEvent::eventUnregister()
{
    ENTRY_TRACE("eventUnregister");
    flushUsbBuffer();
    int rc = writeFrame(requestUnregister());
    if (rc < 0)
        return rc;
    QByteArray reply;
    rc = readFrame(reply, transferTimeout());
    if (rc < 0)
        return rc;
#ifndef OXBUTTONEVENT_RELEASE_TRACE
    outputScannerResponse(reply);
#endif
    replyUnregister(reply);
    return 0;
}

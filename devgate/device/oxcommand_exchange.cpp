#include "oxcommand.h"

#include "usbport.h"

#include <QDebug>

#include <algorithm>
#include <cstring>

using namespace CommandBlock;

namespace {
// Below this many bytes the status code of a status block did not arrive.
constexpr int kStatusCodeEnd = 9;
} // namespace

void OxCommand::buildHeader(tagCMD_HEADER &header, quint8 direction, quint8 opcode,
                            quint32 length, quint8 p0, quint8 p1, quint8 p2, quint8 p3,
                            quint8 p4, quint8 p5)
{
    Params params;
    const quint8 values[6] = {p0, p1, p2, p3, p4, p5};
    std::copy(std::begin(values), std::end(values), std::begin(params.p));
    header = makeHeader(direction, opcode, length, params);
}

int OxCommand::parseStatus(QByteArray &reply)
{
    return parseStatus(decodeStatusBlock(reply.constData(), static_cast<size_t>(reply.size())));
}

int OxCommand::parseStatus(tagSTS_HEADER status)
{
    qDebug() << "parseStatus";
    const StatusMeaning meaning = statusMeaning(status);
    if (!meaning.traceText.isEmpty())
        qDebug().noquote() << meaning.traceText;
    return meaning.result;
}

int OxCommand::getStatus()
{
    qDebug() << "getStatus";
    char block[kStatusBlockSize];
    int got = 0;
    for (int attempt = 0; attempt < kStatusReadAttempts; ++attempt) {
        std::memset(block, 0, sizeof block);
        got = readData(block, sizeof block);
        if (got > 0 && got < kStatusCodeEnd) {
            // A cut-off block lacks its status code; read as zero it would
            // report success for a command whose outcome never arrived.
            qDebug() << "SCANNER_READ_FAILED" << got;
            return RC_READ_FAILED;
        }
        if (got > 0) {
            QByteArray reply(block, sizeof block);
            return parseStatus(reply);
        }
        if (got == RC_IO_ERROR) {
            qDebug() << "SCANNER_IO_ERROR" << got;
            qDebug() << "SCANNER_READ_FAILED" << got;
            return RC_READ_FAILED;
        }
    }
    if (got < 0) {
        qDebug() << "SCANNER_READ_FAILED" << got;
        return RC_READ_FAILED;
    }
    std::memset(block, 0, sizeof block);
    QByteArray empty(block, sizeof block);
    return parseStatus(empty);
}

void OxCommand::drainStaleReplies()
{
    m_staleReplies = false;
    // Whole packets, so that a long reply is taken in parts and not lost in
    // an overflow; a bound, so that a device that keeps talking cannot hold
    // the next command for ever.
    QByteArray sink(kDrainBuffer, '\0');
    const int timeout = qMin(dataTimeout(), kDrainTimeoutMs);
    for (int i = 0; i < kDrainReads; ++i) {
        const int got = port->read(USBPort::Data, sink.data(), sink.size(), timeout);
        if (got < 0)
            return;
        qDebug() << "Stale reply of" << got << "bytes discarded";
    }
}

int OxCommand::writeCommandBlock(const tagCMD_HEADER &header)
{
    if (!port)
        return RC_NOT_CONNECTED;
    // After a read that failed, the reply it waited for (and the status
    // after it) may still arrive: the next command must not take them for
    // its own.
    if (m_staleReplies)
        drainStaleReplies();
    char block[kCommandBlockSize];
    encodeCommandBlock(header, block, sizeof block);
    return port->write(USBPort::Data, block, sizeof block, dataTimeout());
}

int OxCommand::writeData(const char *data, int length, int timeout)
{
    if (!port)
        return RC_NOT_CONNECTED;
    return port->write(USBPort::Data, data, length, timeout > 0 ? timeout : dataTimeout());
}

int OxCommand::readData(char *buffer, int length, int timeout)
{
    if (!port)
        return RC_NOT_CONNECTED;
    const int got =
        port->read(USBPort::Data, buffer, length, timeout > 0 ? timeout : dataTimeout());
    if (got < 0)
        m_staleReplies = true;
    return got;
}

QString OxCommand::failText(const Exchange &x, const char *override, const char *outSuffix) const
{
    if (override)
        return QString::fromLatin1(override);
    return QString::fromLatin1(x.name) + QLatin1String(outSuffix) + QLatin1Char(':');
}

int OxCommand::traceStatusResult(const Exchange &x, int status)
{
    if (x.traceStatus)
        qDebug().noquote() << QStringLiteral("getStatus--%1:").arg(QLatin1String(x.name)) << status;
    return status;
}

int OxCommand::exchangeIn(const Exchange &x, char *buffer, int size, int *arrived, bool *handedOver)
{
    if (arrived)
        *arrived = 0;
    if (handedOver)
        *handedOver = false;
    qDebug() << x.name;

    const int written = writeCommandBlock(makeHeader(kDirectionIn, x.opcode, x.length, x.params));
    if (written != kCommandBlockSize) {
        if (x.traceBlockFailure)
            qDebug().noquote() << failText(x, x.blockFailText, "") << written;
        return x.blockFailResult;
    }
    const int got = readData(buffer, size, x.readTimeout);
    if (got < 0) {
        if (x.traceDataFailure)
            qDebug().noquote() << failText(x, x.dataFailText, "") << got;
        return RC_READ_FAILED;
    }
    if (arrived)
        *arrived = got;
    return afterInPhase(x, buffer, got, handedOver);
}

int OxCommand::afterInPhase(const Exchange &x, const char *buffer, int arrived, bool *handedOver)
{
    bool statusBlockInPlaceOfData = false;
    switch (x.rule) {
    case RuleS:
        statusBlockInPlaceOfData = arrived == kStatusBlockSize;
        break;
    case RuleE:
        statusBlockInPlaceOfData = static_cast<quint32>(arrived) != x.length;
        break;
    case RuleA:
        break;
    }
    if (statusBlockInPlaceOfData)
        return parseStatus(decodeStatusBlock(buffer, static_cast<size_t>(arrived)));

    const int status = traceStatusResult(x, getStatus());
    if (handedOver)
        *handedOver = true;
    return status;
}

int OxCommand::exchangeIn(const Exchange &x, QByteArray &reply, bool *handedOver)
{
    QByteArray buffer(qMax(x.replyBuffer, 0), '\0');
    int arrived = 0;
    bool delivered = false;
    const int result = exchangeIn(x, buffer.data(), buffer.size(), &arrived, &delivered);
    if (delivered) {
        if (x.rule != RuleA)
            buffer.truncate(arrived);
        reply = buffer;
    }
    if (handedOver)
        *handedOver = delivered;
    return result;
}

int OxCommand::exchangeOut(const Exchange &x, const QByteArray &data)
{
    qDebug() << x.name;
    const int length = data.size();
    const int written =
        writeCommandBlock(makeHeader(kDirectionOut, x.opcode, static_cast<quint32>(length), x.params));
    if (written != kCommandBlockSize) {
        if (x.traceBlockFailure)
            qDebug().noquote() << failText(x, x.blockFailText, "1") << written;
        return x.blockFailResult;
    }
    // An empty data phase is announced as length 0 and not sent at all.
    if (length > 0) {
        const int sent = writeData(data.constData(), length);
        if (sent != length) {
            if (x.traceDataFailure)
                qDebug().noquote() << failText(x, x.dataFailText, "2") << sent;
            return RC_WRITE_FAILED;
        }
    }
    return traceStatusResult(x, getStatus());
}

int OxCommand::exchangeNone(const Exchange &x)
{
    qDebug() << x.name;
    const int written = writeCommandBlock(makeHeader(kDirectionOut, x.opcode, 0, x.params));
    if (written != kCommandBlockSize) {
        if (x.traceBlockFailure)
            qDebug().noquote() << failText(x, x.blockFailText, "") << written;
        return x.blockFailResult;
    }
    return traceStatusResult(x, getStatus());
}

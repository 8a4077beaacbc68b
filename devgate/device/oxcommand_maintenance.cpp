#include "oxcommand.h"

#include "bytes.h"

#include <QDebug>

// Diagnostics, calibration and the device log: the commands of the
// maintenance jobs. Their replies are kept as received.

namespace {

OxCommand::Exchange row(const char *name, quint8 opcode, quint32 length = 0,
                        OxCommand::ReplyRule rule = OxCommand::RuleS)
{
    OxCommand::Exchange x;
    x.name = name;
    x.opcode = opcode;
    x.length = length;
    x.rule = rule;
    return x;
}


// A status block of code 0 in place of a record's data is success without a
// record: the caller would go on with whatever its record held before.
int noRecordIsAFailure(const char *name, int rc, bool handed)
{
    if (handed || rc != 0)
        return rc;
    qDebug() << name << ": status block in place of the record";
    return RC_READ_FAILED;
}

} // namespace

int OxCommand::getDiagnosticBegin(tagDIAGNOSTIC_BEGIN &)
{
    // The device's 14 bytes are read to complete the exchange; nothing in
    // them is used.
    QByteArray reply;
    return exchangeIn(row("getDiagnosticBegin", 0x60, tagDIAGNOSTIC_BEGIN::WireSize), reply);
}

int OxCommand::getDiagnosticRun(tagDIAGNOSTIC_RUN &run)
{
    Exchange x = row("getDiagnosticRun", 0x61, tagDIAGNOSTIC_RUN::WireSize);
    x.params.p[0] = 9;
    x.replyBuffer = 10240;
    QByteArray reply;
    bool handed = false;
    const int rc = exchangeIn(x, reply, &handed);
    if (handed)
        run.assign(reply);
    return noRecordIsAFailure("getDiagnosticRun", rc, handed);
}

int OxCommand::setDiagnosticEnd()
{
    return exchangeNone(row("setDiagnosticEnd", 0x62));
}

namespace {

OxCommand::Exchange calibrateBegin(const char *name, quint8 which)
{
    OxCommand::Exchange x = row(name, 0x50, tagCALIBRATE_BEGIN::WireSize);
    x.params.p[1] = 0x40;
    x.params.p[4] = which;
    return x;
}

} // namespace

int OxCommand::getcalibrateBeginUDDS(tagCALIBRATE_BEGIN &begin)
{
    QByteArray reply;
    bool handed = false;
    const int rc = exchangeIn(calibrateBegin("getcalibrateBeginUDDS", 2), reply, &handed);
    if (handed)
        begin.assign(reply);
    return noRecordIsAFailure("getcalibrateBeginUDDS", rc, handed);
}

int OxCommand::getcalibrateBeginTest(tagCALIBRATE_BEGIN &begin)
{
    QByteArray reply;
    bool handed = false;
    const int rc = exchangeIn(calibrateBegin("getcalibrateBeginTest", 3), reply, &handed);
    if (handed)
        begin.assign(reply);
    return noRecordIsAFailure("getcalibrateBeginTest", rc, handed);
}

int OxCommand::getcalibrateBeginTestMag(tagCALIBRATE_BEGIN &begin)
{
    QByteArray reply;
    bool handed = false;
    const int rc = exchangeIn(calibrateBegin("getcalibrateBeginTestMag", 4), reply, &handed);
    if (handed)
        begin.assign(reply);
    return noRecordIsAFailure("getcalibrateBeginTestMag", rc, handed);
}

int OxCommand::setcalibrateRun()
{
    return exchangeNone(row("setcalibrateRun", 0x51));
}

int OxCommand::setcalibrateEnd(tagCALIBRATE_END &end)
{
    QByteArray reply;
    bool handed = false;
    const int rc = exchangeIn(row("setcalibrateEnd", 0x52, tagCALIBRATE_END::WireSize), reply, &handed);
    if (handed)
        end.assign(reply);
    return noRecordIsAFailure("setcalibrateEnd", rc, handed);
}

int OxCommand::calibrateSetData()
{
    // The block announces four bytes, so four are sent: a shorter data phase
    // would leave the device waiting for the rest and the pipe out of step.
    Exchange x = row("calibrateSetData", 0x54);
    x.params.p[0] = 4;
    x.blockFailText = "calibrateSetData:";
    x.dataFailText = "calibrateSetData:";
    QByteArray data(4, '\0');
    data[0] = 0x0A;
    return exchangeOut(x, data);
}

int OxCommand::logBegin(unsigned char selector, unsigned char second, unsigned int &size)
{
    Exchange x = row("logBegin", 0x70, 4);
    x.params.p[0] = selector;
    x.params.p[1] = second;
    QByteArray reply;
    bool handed = false;
    const int rc = exchangeIn(x, reply, &handed);
    if (!handed)
        return noRecordIsAFailure("logBegin", rc, handed);
    ByteReader r(reply);
    const quint32 value = r.be32(0);
    if (!r.ok()) {
        qDebug() << "logBegin: reply too short for the log size" << reply.size();
        return rc != 0 ? rc : RC_READ_FAILED;
    }
    size = value;
    return rc;
}

int OxCommand::getLogData(QByteArray &data, unsigned int length)
{
    if (length > static_cast<unsigned int>(kMaxTransferChunk)) {
        qDebug() << "getLogData: block too large" << length;
        return RC_READ_FAILED;
    }
    const int size = static_cast<int>(length);
    data = QByteArray(size, '\0');
    Exchange x = row("getLogData", 0x71, length, RuleA);
    int arrived = 0;
    bool handed = false;
    const int rc = exchangeIn(x, data.data(), size, &arrived, &handed);
    // Only what the device delivered is log: padding a short block would put
    // bytes into the log that the device never wrote.
    data.truncate(handed ? arrived : 0);
    return rc;
}

int OxCommand::logEnd()
{
    return exchangeNone(row("logEnd", 0x72));
}

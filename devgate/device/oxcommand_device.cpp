#include "oxcommand.h"

#include "scanshortcut.h"

#include <QBuffer>
#include <QDebug>
#include <QImage>

// The small commands: clock, language, power saving, paper sensor, ECDO,
// meters, imprinter uploads, scan control and the panel's user input. Each is
// one row of the command table handed to the exchange primitives.

namespace {

OxCommand::Exchange inRow(const char *name, quint8 opcode, quint32 length, OxCommand::ReplyRule rule,
                          int replyBuffer = OxCommand::kDefaultReplyBuffer)
{
    OxCommand::Exchange x;
    x.name = name;
    x.opcode = opcode;
    x.length = length;
    x.rule = rule;
    x.replyBuffer = replyBuffer;
    return x;
}

OxCommand::Exchange plainRow(const char *name, quint8 opcode)
{
    OxCommand::Exchange x;
    x.name = name;
    x.opcode = opcode;
    return x;
}

} // namespace

int OxCommand::stampInquiry()
{
    QByteArray reply;
    return exchangeIn(inRow("stampInquiry", 0x9A, 22, RuleS), reply);
}

int OxCommand::getTimeDateLocal(tagTIME_DATE_LOCAL &clock)
{
    QByteArray reply;
    bool handed = false;
    const int rc = exchangeIn(inRow("getTimeDateLocal", 0x13, tagTIME_DATE_LOCAL::WireSize, RuleA,
                                    tagTIME_DATE_LOCAL::WireSize),
                              reply, &handed);
    // Rule A hands over the whole zero-filled buffer, so it always decodes.
    if (handed)
        decodeTimeDateLocal(reply, clock);
    return rc;
}

int OxCommand::setTimeDateLocal()
{
    return setTimeDateLocal(QDateTime::currentDateTime());
}

int OxCommand::setTimeDateLocal(const QDateTime &local)
{
    QByteArray data;
    encodeTimeDateLocal(timeDateLocalFrom(local), data);
    return exchangeOut(plainRow("setTimeDateLocal", 0x13), data);
}

int OxCommand::setLanguage()
{
    Exchange x = plainRow("setLanguage", 0x91);
    x.params.p[0] = 9;
    return exchangeNone(x);
}

int OxCommand::setSnapToSizeList(const tagSCAN_SHORTCUT_MENU *profile)
{
    if (!profile) {
        qDebug() << "setSnapToSizeList: no profile";
        return RC_DEVICE_FAILURE;
    }
    const QByteArray data = encodeSnapToSizeList(profile->alignTheSize, profile->pageSizes);
    // The list announces the sizes it carries; a stored count that disagrees
    // would desynchronise the data pipe if it were announced instead.
    const int sent = (data.size() - 4) / 8;
    if (profile->alignTheSize && profile->pageSizeCount != sent)
        qDebug() << "setSnapToSizeList: pageSizeCount" << profile->pageSizeCount
                 << "differs from the sizes chosen" << sent;
    return exchangeOut(plainRow("setSnapToSizeList", 0x25), data);
}

int OxCommand::getEcdo()
{
    QByteArray reply;
    return exchangeIn(inRow("getEcdo", 0x16, 7800, RuleS, 10240), reply);
}

int OxCommand::getPaperDetected(bool &paperPresent)
{
    QByteArray reply;
    bool handed = false;
    const int rc = exchangeIn(inRow("getPaperDetected", 0x17, 1, RuleS), reply, &handed);
    if (handed) {
        paperPresent = !reply.isEmpty() && reply.at(0) == 1;
        qDebug() << (paperPresent ? "Detect paper on ADF" : "DO NOT detect paper on ADF");
    }
    return rc;
}

int OxCommand::getLowPowerModeTimeout()
{
    QByteArray reply;
    return exchangeIn(inRow("getLowPowerModeTimeout", 0x15, 3, RuleS), reply);
}

int OxCommand::setLowPowerModeTimeout(const tagLOW_POWER_MODE_TIMEOUT &timeout)
{
    QByteArray data;
    encodeLowPowerModeTimeout(timeout, data);
    return exchangeOut(plainRow("setLowPowerModeTimeout", 0x15), data);
}

int OxCommand::requestOverrides()
{
    QByteArray reply;
    return exchangeIn(inRow("requestOverrides", 0x37, 4, RuleS), reply);
}

int OxCommand::meters()
{
    QByteArray reply;
    return exchangeIn(inRow("meters", 0x14, 34, RuleE), reply);
}

int OxCommand::StampConfig(const StampRecord &record)
{
    QByteArray data;
    encodeStampRecord(record, data);
    return exchangeOut(plainRow("StampConfig", 0x9B), data);
}

int OxCommand::setStampText(const QByteArray &fontBlock)
{
    Exchange x = plainRow("setStampText", 0x24);
    x.traceStatus = false;
    return exchangeOut(x, fontBlock);
}

int OxCommand::stampGraphic(QString path)
{
    // A file that cannot be loaded is sent as an empty graphic, so the
    // device still gets a complete exchange.
    QByteArray png;
    const QImage image(path);
    if (!image.isNull()) {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
    } else {
        qDebug() << "stampGraphic: cannot load" << path;
    }
    return exchangeOut(plainRow("stampGraphic", 0x9C), png);
}

int OxCommand::scanBegin()
{
    Exchange x = inRow("scanBegin", 0x30, 8, RuleE);
    x.params.p[1] = 0x40;
    x.readTimeout = dataTimeout() * 2; // 6000 ms with the default
    x.blockFailText = "scanBegin write data:";
    x.dataFailText = "scanBegin read data:";
    QByteArray reply;
    return exchangeIn(x, reply);
}

int OxCommand::scanRequestStop()
{
    return exchangeNone(plainRow("scanRequestStop", 0x33));
}

int OxCommand::scanEnd(tagSCAN_END &end)
{
    Exchange x = inRow("scanEnd", 0x34, tagSCAN_END::WireSize, RuleA, tagSCAN_END::WireSize);
    x.readTimeout = dataTimeout() * 5 / 3; // 5000 ms with the default
    x.blockFailText = "scanEnd write data:";
    x.dataFailText = "scanEnd read data:";
    QByteArray reply;
    bool handed = false;
    const int rc = exchangeIn(x, reply, &handed);
    if (handed)
        decodeScanEnd(reply, end);
    return rc;
}

int OxCommand::getUserInput(int &key)
{
    Exchange x = inRow("getUserInput", 0x36, 1, RuleE);
    x.traceStatus = false;
    QByteArray reply;
    bool handed = false;
    const int rc = exchangeIn(x, reply, &handed);
    // Rule E hands over only a reply of exactly the announced byte.
    if (handed && reply.size() == 1)
        key = static_cast<signed char>(reply.at(0));
    return rc;
}

int OxCommand::setUserInput(char key)
{
    Exchange x = plainRow("setUserInput", 0x36);
    x.traceBlockFailure = false;
    x.traceDataFailure = false;
    return exchangeOut(x, QByteArray(1, key));
}

void OxCommand::getScannedFile(int *perSheet, int *thisSheet) const
{
    if (perSheet)
        *perSheet = imagesPerSheet;
    if (thisSheet)
        *thisSheet = imagesThisSheet;
}

void OxCommand::resetScannedFile()
{
    imagesThisSheet = 0;
}

void OxCommand::setSleeveDocument(int value)
{
    sleeveDocument = value;
}

void OxCommand::setMultifeedUserInput(int key)
{
    m_nUserInputKey.store(key);
}

void OxCommand::setCancelFlag(bool cancel)
{
    m_bCancel.store(cancel);
}

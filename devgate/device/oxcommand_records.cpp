#include "oxcommand.h"

#include "scanshortcut.h"

#include <QDebug>
#include <QThread>

using namespace CommandBlock;

// The commands that carry the large records: inquiry, cameras, windows,
// window order, image headers and the scanner configuration. The records are
// host values; their codecs write and read the device's byte order.

namespace {

constexpr quint8 kOpInquiry = 0x10;
constexpr quint8 kOpConfig = 0x20;
constexpr quint8 kOpCreateCamera = 0x21;
constexpr quint8 kOpWindowAdd = 0x22;
constexpr quint8 kOpWindowOrder = 0x23;
constexpr quint8 kOpRequestHeader = 0x31;
constexpr int kMultifeedInteractive = 8;  // MultifeedResponseFlag: the user decides
constexpr int kAnswerStop = 2;

// A reply handed over by rule S is cut to what arrived; the record's fields
// beyond that read as zero.
QByteArray padded(QByteArray reply, int size)
{
    if (reply.size() < size)
        reply.append(QByteArray(size - reply.size(), '\0'));
    return reply;
}

OxCommand::Exchange readRow(const char *name, quint8 opcode, int length)
{
    OxCommand::Exchange x;
    x.name = name;
    x.opcode = opcode;
    x.length = static_cast<quint32>(length);
    x.rule = OxCommand::RuleS;
    return x;
}

OxCommand::Exchange writeRow(const char *name, quint8 opcode)
{
    OxCommand::Exchange x;
    x.name = name;
    x.opcode = opcode;
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

int OxCommand::inquiry(tagINQUIRY &record)
{
    QByteArray reply;
    bool handed = false;
    const int rc = exchangeIn(readRow("inquiry", kOpInquiry, tagINQUIRY::WireSize), reply, &handed);
    if (!handed)
        return noRecordIsAFailure("inquiry", rc, handed);
    // The codec reads each text to its field's end at most, so a text that
    // fills its field never runs into the next one.
    decodeInquiry(padded(reply, tagINQUIRY::WireSize), record);
    outputInquiry(record);
    qDebug() << "Inquiry: PromptToStart = " << record.PromptToStart;
    return rc;
}

int OxCommand::createCamera(const tagCREATE_CAMERA &camera)
{
    outputCreateCamera(camera);
    QByteArray data;
    encodeCreateCamera(camera, data);
    return exchangeOut(writeRow("createCamera", kOpCreateCamera), data);
}

int OxCommand::windowAdd(const tagWINDOW_ADD &window)
{
    outputWindowAdd(window);
    QByteArray data;
    encodeWindowAdd(window, data);
    return exchangeOut(writeRow("windowAdd", kOpWindowAdd), data);
}

int OxCommand::setWindowOrder(const tagSCAN_SHORTCUT_MENU *profile)
{
    if (!profile) {
        qDebug() << "setWindowOrder: no profile";
        return RC_DEVICE_FAILURE;
    }
    const WindowOrderPlan plan =
        planWindowOrder(profile->inputDocument, profile->sideStream, profile->previewMode);
    // The counting state follows the order even when sending it fails.
    windowMode = plan.windowMode;
    bothSides = plan.bothSides;
    imagesPerSheet += plan.imagesPerSheet;
    outputSetWindowOrder(plan.order);
    QByteArray data;
    encodeWindowOrder(plan.order, data);
    return exchangeOut(writeRow("setWindowOrder", kOpWindowOrder), data);
}

int OxCommand::getConfig(tagSCANNER_CONFIGRATION &config)
{
    QByteArray reply;
    bool handed = false;
    const int rc =
        exchangeIn(readRow("getConfig", kOpConfig, tagSCANNER_CONFIGRATION::WireSize), reply, &handed);
    if (!handed)
        return noRecordIsAFailure("getConfig", rc, handed);
    decodeScannerConfig(padded(reply, tagSCANNER_CONFIGRATION::WireSize), config);
    outputConfig(config);
    return rc;
}

int OxCommand::setConfig(const tagSCANNER_CONFIGRATION &config)
{
    outputConfig(config);
    QByteArray data;
    encodeScannerConfig(config, data);
    return exchangeOut(writeRow("setConfig", kOpConfig), data);
}

// Polls for the next image header. The device answers a poll with the
// 461-byte header or with a status block in its place:
//   no image ready   -> pause and poll again, or -34 once a cancel is asked;
//   end of output    -> while a complete multifed sheet (one the user was
//                       asked about) waits for its interactive
//                       answer, pause and poll again (a cancel there is
//                       answered "stop" for the user); else -21;
//   success, no data -> pause and poll again;
//   anything else    -> that code.
// Before each poll of a multifed sheet (detect 1) the answer is exchanged
// with the panel; once one is known it is returned instead of a header.
int OxCommand::requestHeader(tagREQUEST_HEADER &header, int detect, int *answer, int /*preview*/,
                             int multifeedResponse)
{
    qDebug() << "requestHeader";
    for (;;) {
        if (detect == 1) {
            int known = 0;
            const int rc = detectMultifeed(&known);
            if (rc < 0)
                return rc;
            if (known != 0) {
                if (answer)
                    *answer = known;
                return 0;
            }
        }

        if (writeCommandBlock(makeHeader(kDirectionIn, kOpRequestHeader, tagREQUEST_HEADER::WireSize))
            != kCommandBlockSize)
            return RC_WRITE_FAILED;
        QByteArray buffer(kDefaultReplyBuffer, '\0');
        const int got = readData(buffer.data(), buffer.size());
        if (got < 0)
            return RC_READ_FAILED;

        if (got == tagREQUEST_HEADER::WireSize) {
            const int status = getStatus();
            qDebug() << "getStatus--requestHeader:" << status;
            decodeRequestHeader(buffer, header);
            outputRequestHeader(header);
            multiImageTotal = header.MultiImageTotal;
            if (status == 0 && header.ImageSize > imageSizeLimit(header)) {
                qDebug() << "requestHeader: ImageSize" << header.ImageSize
                         << "exceeds what the image can need" << imageSizeLimit(header);
                return RC_READ_FAILED;
            }
            return status;
        }

        const int rc = parseStatus(decodeStatusBlock(buffer.constData(), static_cast<size_t>(got)));
        if (rc == RC_NO_PAPER) { // no image ready yet
            if (m_bCancel.load())
                return RC_CANCELLED;
        } else if (rc == RC_END_OF_OUTPUT) {
            if (detect != 1 || multifeedResponse != kMultifeedInteractive)
                return RC_END_OF_OUTPUT;
            // Only a complete sheet has been put to the user; the rest of an
            // incomplete one will not come after the end of output, and no
            // answer would ever end the wait.
            if (imagesThisSheet != imagesPerSheet) {
                qDebug() << "requestHeader: end of output inside a multifed sheet," << imagesThisSheet
                         << "of" << imagesPerSheet << "images";
                return RC_END_OF_OUTPUT;
            }
            if (m_bCancel.load()) {
                // The device waits for the user's answer to the multifed
                // sheet; a cancelled job gives it the answer "stop".
                qDebug() << "requestHeader: cancelled while the multifeed answer is awaited";
                const int sent = setUserInput(static_cast<char>(kAnswerStop));
                if (answer)
                    *answer = kAnswerStop;
                return sent == 0 ? 0 : RC_READ_FAILED;
            }
        } else if (rc != 0) {
            return rc;
        } else if (m_bCancel.load()) {
            // A device that keeps answering success without a header must
            // not hold a cancelled job for ever.
            return RC_CANCELLED;
        }
        QThread::msleep(kPollPauseMs);
    }
}

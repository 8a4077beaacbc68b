#include "oxcommand.h"

#include "pmessage.h"

#include <QDebug>

#include <algorithm>

using namespace CommandBlock;

// Image data, barcode results and the counting and answering of multifed
// sheets.

namespace {

constexpr quint8 kOpRequestImage = 0x32;
constexpr quint8 kOpRequestBarcode = 0x35;
constexpr qint64 kUnitsPerInch = 1200;
// File headers, palettes and compression tables on top of the pixels.
constexpr qint64 kHeaderAllowance = 64 * 1024;

qint64 pixels(quint32 length, quint16 dpi)
{
    return (static_cast<qint64>(length) * dpi + kUnitsPerInch - 1) / kUnitsPerInch;
}

} // namespace

qint64 OxCommand::imageSizeLimit(const tagREQUEST_HEADER &header)
{
    const qint64 width = pixels(header.ImageWidth, header.ImageResolutionX);
    const qint64 height = pixels(header.ImageHeight, header.ImageResolutionY);
    // 0 black-and-white, 1 grey, 2 colour; an unknown format is allowed colour.
    const qint64 bits = header.ImageFormat == 0 ? 1 : header.ImageFormat == 1 ? 8 : 24;
    // Rows padded to 32 bits, as a bitmap stores them. Each factor is below
    // 2^32, and the product is held at the cap before it can overflow.
    const qint64 rowBytes = ((width * bits + 31) / 32) * 4;
    if (height != 0 && rowBytes > kMaxImageBytes / height)
        return kMaxImageBytes;
    // Compressed data can outgrow the raw pixels of a small or noisy image.
    return std::min(kMaxImageBytes, 2 * rowBytes * height + kHeaderAllowance);
}

int OxCommand::requestImage(const tagREQUEST_HEADER &header, QByteArray &data,
                            CombineTypeFlag combine, int preview)
{
    qDebug() << "requestImage";
    const qint64 total = header.ImageSize;
    if (total == 0)
        return RC_DEVICE_FAILURE;
    const qint64 limit = imageSizeLimit(header);
    if (total > limit) {
        qDebug() << "requestImage: ImageSize" << total << "exceeds what the image can need" << limit;
        return RC_READ_FAILED;
    }
    if (data.size() != total)
        data = QByteArray(static_cast<int>(total), '\0');

    qint64 received = 0;
    int emptyReads = 0;
    int status = 0;
    while (received < total) {
        const int chunk = static_cast<int>(std::min<qint64>(total - received, kMaxTransferChunk));
        if (writeCommandBlock(makeHeader(kDirectionIn, kOpRequestImage, static_cast<quint32>(chunk)))
            != kCommandBlockSize)
            return RC_WRITE_FAILED;
        qDebug() << "nRequestSize" << chunk;
        const int got = readData(data.data() + received, chunk);
        if (got < 0)
            return RC_READ_FAILED;
        qDebug() << "Total receive image data: " << got;
        received += got;
        status = getStatus();
        qDebug() << "getStatus--requestImage:" << status;
        // A failed chunk spoils the page however the rest goes.
        if (status != 0)
            return status;
        // A device that keeps delivering nothing would hold the loop for ever.
        emptyReads = got == 0 ? emptyReads + 1 : 0;
        if (emptyReads >= kEmptyChunkLimit) {
            qDebug() << "requestImage: no data in" << emptyReads << "reads," << received << "of"
                     << total;
            return RC_READ_FAILED;
        }
    }

    if (header.Multifeed == 1) {
        const int mode = multiImageTotal == 2 ? 2 : multiImageTotal == 3 ? 3 : 0;
        multifeedAndSpliteMode(mode, combine, preview);
    }
    return status;
}

int OxCommand::requestBarcode(unsigned char count, QStringList &texts)
{
    qDebug() << "requestBarcode";
    if (count == 0)
        return 0;
    const int length = count * tagBARCODE_RESULT::WireSize;
    if (writeCommandBlock(makeHeader(kDirectionIn, kOpRequestBarcode, static_cast<quint32>(length)))
        != kCommandBlockSize) {
        qDebug() << "requestBarcode:" << RC_WRITE_FAILED;
        return RC_WRITE_FAILED;
    }
    QByteArray reply(length, '\0');
    const int got = readData(reply.data(), length);
    if (got < 0) {
        qDebug() << "requestBarcode:" << got;
        return RC_READ_FAILED;
    }
    // Records that did not arrive read as zero and give empty texts, so the
    // list always grows by count entries.
    for (const QString &text : barcodeTexts(reply, count)) {
        qDebug().noquote() << text;
        texts.append(text);
    }
    const int status = getStatus();
    qDebug() << "getStatus--requestBarcode:" << status;
    return status;
}

void OxCommand::multifeedAndSpliteMode(int mode, CombineTypeFlag combine, int preview)
{
    if (imagesThisSheet == imagesPerSheet)
        imagesThisSheet = 0;
    switch (mode) {
    case 2:
        if (bothSides) {
            imagesPerSheet = 4;
            imagesThisSheet += preview ? 2 : 1;
        } else {
            imagesPerSheet = preview ? 1 : 2;
            imagesThisSheet += 1;
        }
        break;
    case 3:
        if (bothSides) {
            imagesPerSheet = 6;
            imagesThisSheet += preview ? 3 : 1;
        } else {
            imagesPerSheet = preview ? 1 : 3;
            imagesThisSheet += 1;
        }
        break;
    default:
        if (combine != CombineFrontBack) {
            imagesThisSheet += 1;
        } else if (windowMode == 0 || windowMode == 1) {
            imagesThisSheet += bothSides ? 2 : 1;
        } else if (windowMode == 2) {
            imagesThisSheet += bothSides ? 4 : 2;
        }
        break;
    }
}

int OxCommand::detectMultifeed(int *answer)
{
    qDebug() << "detectMultifeed";
    if (imagesThisSheet != imagesPerSheet)
        return 0;

    // Taken in one step, so an answer the GUI gives meanwhile is not lost.
    const int hostKey = answer ? m_nUserInputKey.exchange(0) : m_nUserInputKey.load();
    if (hostKey != 0) {
        if (answer)
            *answer = hostKey;
        return setUserInput(static_cast<char>(hostKey)) == 0 ? 0 : RC_READ_FAILED;
    }

    int panelKey = 0;
    if (getUserInput(panelKey) < 0)
        return RC_READ_FAILED;
    if (panelKey == 0)
        return 0;
    if (message)
        emit message->userInputFromPanel(panelKey);
    if (answer)
        *answer = panelKey;
    return setUserInput(static_cast<char>(panelKey)) == 0 ? 0 : RC_READ_FAILED;
}

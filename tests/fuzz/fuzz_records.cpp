// The device's records as they arrive: inquiry, image header, barcode
// results, scan end, scanner configuration, the small records and the
// imprinter font block. The first byte picks the record; the rest is the
// reply. Each decoded record is also traced (formatted) and encoded again,
// and the header's sizes are taken as the scan job takes them.
#include "fuzzsupport.h"
#include "oxcommand.h"
#include "pagefile.h"
#include "pagefilewriter.h"
#include "records.h"
#include "scannerconfig.h"
#include "smallrecords.h"
#include "stampfont.h"

#include <QFile>

namespace {

// decode(encode(r)) gives r back: what is kept of a reply is kept exactly.
template <typename Record, typename Decode, typename Encode>
void roundTrip(const Record &rec, Decode decode, Encode encode)
{
    QByteArray first;
    encode(rec, first);
    Record again;
    FUZZ_CHECK(decode(first, again));
    QByteArray second;
    encode(again, second);
    FUZZ_CHECK(first == second);
}

void imageHeader(const QByteArray &reply)
{
    tagREQUEST_HEADER header;
    if (!decodeRequestHeader(reply, header))
        return;
    formatRequestHeader(header);
    roundTrip(header, decodeRequestHeader, encodeRequestHeader);
    const qint64 limit = OxCommand::imageSizeLimit(header);
    FUZZ_CHECK(limit > 0 && limit <= OxCommand::kMaxImageBytes);
    const PageHeader page = PageFileWriter::headerFrom(header);
    const int width = page.pixelWidth();
    const int height = page.pixelHeight();
    FUZZ_CHECK(width >= 0 && height >= 0);
    FUZZ_CHECK(PageFile::rowBytes(page.imageFormat, width) >= 0);
    PageFile::dotsPerMeter(page.resolutionX);

    // What follows the header is the page's data: written as the scan job
    // writes it, a whole file or none.
    const QByteArray data = reply.mid(tagREQUEST_HEADER::WireSize);
    if (data.isEmpty())
        return;
    static const QString file = fuzz::privateHome() + "/tmp/page";
    bool written = false;
    switch (page.compressionMode) {
    case 1:
        written = PageFile::writeTiffGroup4(page, data, file);
        break;
    case 2:
        written = PageFile::writeJpeg(data, file);
        break;
    default:
        written = PageFile::writeBitmap(page, data, file);
        break;
    }
    FUZZ_CHECK(written == QFile::exists(file));
    QFile::remove(file);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::silence();
    if (size == 0)
        return 0;
    const QByteArray reply(reinterpret_cast<const char *>(data) + 1, int(size - 1));
    switch (data[0] % 10) {
    case 0: {
        tagINQUIRY rec;
        if (decodeInquiry(reply, rec)) {
            formatInquiry(rec);
            roundTrip(rec, decodeInquiry, encodeInquiry);
        }
        break;
    }
    case 1:
        imageHeader(reply);
        break;
    case 2: {
        // The count comes from the image header, the records from the reply.
        const int count = reply.isEmpty() ? 0 : quint8(reply[0]);
        const QStringList texts = barcodeTexts(reply.mid(1), count);
        FUZZ_CHECK(texts.size() == count);
        tagBARCODE_RESULT rec;
        if (decodeBarcodeResult(reply, rec))
            roundTrip(rec, decodeBarcodeResult, encodeBarcodeResult);
        break;
    }
    case 3: {
        tagSCAN_END rec;
        if (decodeScanEnd(reply, rec))
            roundTrip(rec, decodeScanEnd, encodeScanEnd);
        break;
    }
    case 4: {
        tagSCANNER_CONFIGRATION rec;
        if (decodeScannerConfig(reply, rec)) {
            formatConfig(rec);
            roundTrip(rec, decodeScannerConfig, encodeScannerConfig);
        }
        break;
    }
    case 5: {
        tagTIME_DATE_LOCAL rec;
        if (decodeTimeDateLocal(reply, rec))
            roundTrip(rec, decodeTimeDateLocal, encodeTimeDateLocal);
        break;
    }
    case 6: {
        tagLOW_POWER_MODE_TIMEOUT rec;
        if (decodeLowPowerModeTimeout(reply, rec))
            roundTrip(rec, decodeLowPowerModeTimeout, encodeLowPowerModeTimeout);
        break;
    }
    case 7: {
        QVector<SnapSize> sizes;
        decodeSnapToSizeList(reply, sizes);
        break;
    }
    case 8: {
        StampFont::Block block;
        QString error;
        if (!StampFont::parseFontBlock(reply, block, &error))
            FUZZ_CHECK(!error.isEmpty());
        break;
    }
    case 9: {
        // Records the host sends and the device may echo back.
        tagCREATE_CAMERA camera;
        if (decodeCreateCamera(reply, camera)) {
            formatCreateCamera(camera);
            roundTrip(camera, decodeCreateCamera, encodeCreateCamera);
        }
        tagWINDOW_ADD window;
        if (decodeWindowAdd(reply, window)) {
            formatWindowAdd(window);
            roundTrip(window, decodeWindowAdd, encodeWindowAdd);
        }
        tagWINDOW_ORDER order;
        if (decodeWindowOrder(reply, order))
            roundTrip(order, decodeWindowOrder, encodeWindowOrder);
        break;
    }
    }
    return 0;
}

#include "soakcheck.h"

#include "commandblock.h"
#include "processimage.h"

#include <QByteArray>

#include <cstring>
#include <optional>

namespace soak {

namespace {

constexpr uint8_t kOpScanBegin = 0x30;
constexpr uint8_t kOpRequestHeader = 0x31;
constexpr uint8_t kOpRequestImage = 0x32;
constexpr uint8_t kOpRequestBarcode = 0x35;
constexpr uint8_t kOpUserInput = 0x36;
constexpr size_t kBarcodeRecord = 4117;
constexpr size_t kBarcodeText = 21;
constexpr size_t kHeaderSize = 461;
constexpr int kStatusAttempts = 5; // as the host's status read
constexpr size_t kStatusCodeEnd = 9;

bool isCommandBlock(const emu::Bytes &b)
{
    return b.size() == 20 && b[0] == 'C' && b[1] == 'M' && b[2] == 'D' && b[3] == 0;
}

// One command's replies as the host reads them.
struct Exchange
{
    enum Phase { Data, Status, Over } phase = Data;
    uint8_t opcode = 0;
    emu::Bytes data;
    bool dataArrived = false;
    int attempts = 0;
    bool lastEmpty = false;
    bool statusGood = false;
};

// Feeds one data-pipe read to the exchange; true once its status is known.
bool take(Exchange &x, const emu::TransferRecord &r)
{
    const bool completed = r.outcome == emu::TransferRecord::Outcome::Completed;
    if (x.phase == Exchange::Data) {
        if (!completed) {
            x.phase = Exchange::Over;
            return true;
        }
        x.data = r.bytes;
        x.dataArrived = true;
        // A header poll answered by a status block in place of the header
        // ends there.
        if (x.opcode == kOpRequestHeader && r.bytes.size() != kHeaderSize) {
            x.phase = Exchange::Over;
            return true;
        }
        x.phase = Exchange::Status;
        return false;
    }
    if (x.phase != Exchange::Status)
        return false;
    ++x.attempts;
    if (completed && r.bytes.size() >= kStatusCodeEnd) {
        const tagSTS_HEADER status = CommandBlock::decodeStatusBlock(
            reinterpret_cast<const char *>(r.bytes.data()), r.bytes.size());
        x.statusGood = CommandBlock::statusMeaning(status).result == 0;
        x.phase = Exchange::Over;
        return true;
    }
    if ((completed && !r.bytes.empty()) || r.outcome == emu::TransferRecord::Outcome::Failed) {
        x.phase = Exchange::Over;
        return true;
    }
    x.lastEmpty = completed;
    if (x.attempts >= kStatusAttempts) {
        // Five empty reads read as a zero block, which is success.
        x.statusGood = x.lastEmpty;
        x.phase = Exchange::Over;
        return true;
    }
    return false;
}

bool greyCopyMade(const tagSCAN_SHORTCUT_MENU &p, const tagREQUEST_HEADER &h)
{
    switch (int(p.sideStream)) {
    case 3:
    case 4:
    case 5:
    case 6:
    case 9:
    case 12:
        break;
    default:
        return false;
    }
    return h.CompressionMode == 2 || (h.CompressionMode == 0 && h.ImageFormat == 2);
}

bool keptByBlankRule(const tagSCAN_SHORTCUT_MENU &p, const tagREQUEST_HEADER &h)
{
    const tagSCAN_SIDE_SETTING &s = p.sideSettings[0];
    if (s.blankImageDeletion == 1)
        return int(h.BlankImageContent) > s.contentAmount;
    if (s.blankImageDeletion == 2)
        return h.ImageSize > quint32(s.finalImageSize) * 1000u;
    return true;
}

} // namespace

Served servedImages(const std::vector<emu::TransferRecord> &records)
{
    Served served;
    std::optional<Exchange> x;
    std::optional<tagREQUEST_HEADER> header; // taken by the host, image still coming
    quint64 received = 0;
    std::vector<std::string> barcodes; // of the header being read
    auto headerLost = [&] {
        if (header)
            ++served.headersWithoutImage;
        header.reset();
        received = 0;
        barcodes.clear();
    };

    for (size_t i = 0; i < records.size(); ++i) {
        const emu::TransferRecord &r = records[i];
        if (r.direction == emu::Direction::Out) {
            if (!isCommandBlock(r.bytes))
                continue;
            x = Exchange();
            x->opcode = r.bytes[13];
            if (x->opcode == kOpScanBegin)
                served.scanBegun = true;
            if (x->opcode == kOpRequestHeader || x->opcode == kOpUserInput)
                served.headerPolls.push_back(i);
            continue;
        }
        if (!x || (x->opcode != kOpRequestHeader && x->opcode != kOpRequestImage &&
                   x->opcode != kOpRequestBarcode))
            continue;
        if (!take(*x, r))
            continue;
        if (x->opcode == kOpRequestHeader) {
            if (x->dataArrived && x->data.size() == kHeaderSize && x->statusGood) {
                headerLost();
                tagREQUEST_HEADER h;
                decodeRequestHeader(
                    QByteArray(reinterpret_cast<const char *>(x->data.data()), int(x->data.size())),
                    h);
                header = h;
                barcodes.clear();
            }
        } else if (x->opcode == kOpRequestBarcode) {
            if (header && x->dataArrived && x->statusGood) {
                // As the host reads them: a record cut short counts with what
                // arrived of it, the rest read as zero.
                emu::Bytes data = x->data;
                data.resize((data.size() + kBarcodeRecord - 1) / kBarcodeRecord * kBarcodeRecord,
                            0);
                for (size_t at = 0; at < data.size(); at += kBarcodeRecord) {
                    const char *text =
                        reinterpret_cast<const char *>(data.data()) + at + kBarcodeText;
                    const size_t n = strnlen(text, kBarcodeRecord - kBarcodeText);
                    if (n > 0)
                        barcodes.emplace_back(text, n);
                }
            }
        } else if (header) {
            if (!x->dataArrived || !x->statusGood) {
                headerLost();
            } else {
                received += x->data.size();
                if (received == header->ImageSize) {
                    served.images.push_back({*header, barcodes, i});
                    header.reset();
                    received = 0;
                } else if (received > header->ImageSize) {
                    headerLost();
                }
            }
        }
        x.reset();
    }
    headerLost();
    return served;
}

Expectation expectedPages(const Plan &plan, const Served &served,
                          const std::vector<uint8_t> &answers, int result)
{
    const tagSCAN_SHORTCUT_MENU &p = plan.profile;
    Expectation e;
    const int response = int(p.multifeedResponse);
    const bool holds = response != 0 && response != 2;

    // The held sheet's fate: what the device was answered, or for "pause and
    // keep the image" whether the job asked for another header.
    bool heldGoOut = false;
    size_t lastHeld = 0;
    for (const Served::Image &image : served.images) {
        if (image.header.Multifeed != 0)
            lastHeld = image.lastRecord;
    }
    if (response == MultifeedInteractive) {
        heldGoOut = !answers.empty() && answers.front() == 1;
    } else if (response == MultifeedPauseKeepImage) {
        bool asked = false;
        for (size_t poll : served.headerPolls)
            asked = asked || poll > lastHeld;
        heldGoOut = asked && result != -34;
        if (result == -34)
            e.exact = false;
    }

    int placeholders = 0, greys = 0, joined = 0;
    for (const Served::Image &image : served.images) {
        const tagREQUEST_HEADER &h = image.header;
        auto gone = [&] { e.barcodesGone.insert(image.barcodes.begin(), image.barcodes.end()); };
        if (!keptByBlankRule(p, h)) {
            gone();
            continue;
        }
        if (h.Multifeed != 0 && holds && !heldGoOut && e.exact) {
            gone();
            continue;
        }
        e.barcodesOut.insert(image.barcodes.begin(), image.barcodes.end());
        if (p.countOnly) {
            ++placeholders;
            continue;
        }
        ++joined;
        if (greyCopyMade(p, h)) {
            ++greys;
            e.barcodesOut.insert(image.barcodes.begin(), image.barcodes.end());
        }
    }
    const int size = ProcessImage::groupSize(p.combineType);
    e.announcements = placeholders + greys + (size > 0 ? (joined + size - 1) / size : joined);
    // A disk that refuses the merged sheet gets the group's pages one by
    // one instead; a refused page is not given out at all.
    if (plan.fault == Fault::DiskFull) {
        e.exact = false;
        // A job the disk let finish lost nothing: its pages went out merged
        // or, where the sheet was refused, one by one.
        if (result == 0)
            e.atLeast = e.announcements;
        e.announcements = placeholders + greys + joined;
    }
    return e;
}

} // namespace soak

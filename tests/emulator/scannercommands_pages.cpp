#include "scannercommands.h"

#include "scannercommands_state.h"

#include <algorithm>

// The scan: image headers, image data from a cursor, barcodes, the panel's
// user input and the device log.
namespace emu {

using namespace detail;

namespace {
constexpr size_t kMaxChunk = 2 * 1024 * 1024;
}

Bytes barcodeRecord(const std::string &text)
{
    Bytes b(kBarcodeRecordSize, 0);
    b[0] = 1;                     // the three leading bytes and the numbers are
    b[1] = 2;                     // not the text: filled so that a reader that
    b[2] = 3;                     // takes the text from the wrong place shows it
    putBe32(b, 3, 0x41424344);
    putBe32(b, 15, uint32_t(text.size()));
    b[19] = 0x45;
    b[20] = 0x46;
    const size_t n = std::min(text.size(), kBarcodeRecordSize - kBarcodeTextOffset);
    std::copy(text.begin(), text.begin() + long(n), b.begin() + long(kBarcodeTextOffset));
    return b;
}

void ScannerCommands::queuePage(const Page &page)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->pages.push_back(page);
}

size_t ScannerCommands::pagesLeft() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->pages.size();
}

size_t ScannerCommands::imageCursor() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->cursor;
}

size_t ScannerCommands::imageRequests() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->imageRequests;
}

void ScannerCommands::queuePanelInput(int8_t key)
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->panel.push_back(key);
}

std::vector<uint8_t> ScannerCommands::hostInputs() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->hostInputs;
}

bool ScannerCommands::scanning() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->scanning;
}

unsigned ScannerCommands::stopRequests() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->stops;
}

void installScanHandlers(ScannerEmulator &d, std::shared_ptr<ScannerCommands::State> s)
{
    d.setCommandHandler(op::kRequestHeader, [s](const Command &c, ScannerEmulator &) {
        std::string why;
        if (!expect(*s, c, true, long(kRequestHeaderSize), why))
            return refuse(*s, c, why);
        std::lock_guard<std::mutex> lock(s->mutex);
        if (s->pages.empty())
            return Reply::refused(status::kEndOfOutput);
        Page &next = s->pages.front();
        if (next.notReadyPolls > 0) {
            --next.notReadyPolls;
            return Reply::refused(status::kNoImageReady);
        }
        s->current = std::move(next);
        s->pages.pop_front();
        s->cursor = 0;
        s->imageRequests = 0;
        Bytes header = s->current->header;
        header.resize(kRequestHeaderSize, 0);
        return Reply::ok(header);
    });

    d.setCommandHandler(op::kRequestImage, [s](const Command &c, ScannerEmulator &) {
        std::string why;
        if (!expect(*s, c, true, -1, why))
            return refuse(*s, c, why);
        if (c.length == 0 || c.length > kMaxChunk)
            return refuse(*s, c, "image chunk of " + std::to_string(c.length) + " bytes");
        std::unique_lock<std::mutex> lock(s->mutex);
        if (!s->current) {
            lock.unlock();
            return refuse(*s, c, "image data asked before any header");
        }
        ++s->imageRequests;
        Page &page = *s->current;
        if (page.emptyChunks > 0) {
            --page.emptyChunks;
            return Reply::ok();
        }
        const size_t left = page.image.size() - s->cursor;
        if (left == 0) {
            lock.unlock();
            return refuse(*s, c, "image data asked past the image's end");
        }
        const size_t n = std::min<size_t>(left, c.length);
        const auto from = page.image.begin() + long(s->cursor);
        s->cursor += n;
        return Reply::ok(Bytes(from, from + long(n)));
    });

    d.setCommandHandler(op::kRequestBarcode, [s](const Command &c, ScannerEmulator &) {
        std::string why;
        if (!expect(*s, c, true, -1, why))
            return refuse(*s, c, why);
        if (c.length == 0 || c.length % kBarcodeRecordSize != 0)
            return refuse(*s, c, "barcode length " + std::to_string(c.length));
        std::unique_lock<std::mutex> lock(s->mutex);
        if (!s->current) {
            lock.unlock();
            return refuse(*s, c, "barcodes asked before any header");
        }
        const size_t asked = c.length / kBarcodeRecordSize;
        const auto &texts = s->current->barcodes;
        Bytes data;
        for (size_t i = 0; i < std::min(asked, texts.size()); ++i) {
            const Bytes one = barcodeRecord(texts[i]);
            data.insert(data.end(), one.begin(), one.end());
        }
        return Reply::ok(data);
    });

    d.setCommandHandler(op::kUserInput, [s](const Command &c, ScannerEmulator &) {
        std::string why;
        if (!expect(*s, c, c.toHost(), 1, why))
            return refuse(*s, c, why);
        std::lock_guard<std::mutex> lock(s->mutex);
        if (!c.toHost()) {
            s->hostInputs.push_back(c.data[0]);
            return Reply::ok();
        }
        int8_t key = 0;
        if (!s->panel.empty()) {
            key = s->panel.front();
            s->panel.pop_front();
        }
        return Reply::ok({uint8_t(key)});
    });

    d.setCommandHandler(op::kLogBegin, [s](const Command &c, ScannerEmulator &device) {
        std::string why;
        if (!expect(*s, c, true, 4, why))
            return refuse(*s, c, why);
        const Bytes log = device.record(rec::log(c.params[0]));
        std::lock_guard<std::mutex> lock(s->mutex);
        s->logSelector = c.params[0];
        s->logCursor = 0;
        Bytes size(4, 0);
        putBe32(size, 0, uint32_t(log.size()));
        return Reply::ok(size);
    });
    d.setCommandHandler(op::kLogData, [s](const Command &c, ScannerEmulator &device) {
        std::string why;
        if (!expect(*s, c, true, -1, why))
            return refuse(*s, c, why);
        std::lock_guard<std::mutex> lock(s->mutex);
        const Bytes log = device.record(rec::log(s->logSelector));
        const size_t n = std::min<size_t>(c.length, log.size() - std::min(s->logCursor, log.size()));
        const auto from = log.begin() + long(std::min(s->logCursor, log.size()));
        s->logCursor += n;
        return Reply::ok(Bytes(from, from + long(n)));
    });
    d.setCommandHandler(op::kLogEnd, [s](const Command &c, ScannerEmulator &) {
        std::string why;
        if (!expect(*s, c, false, 0, why))
            return refuse(*s, c, why);
        std::lock_guard<std::mutex> lock(s->mutex);
        s->logCursor = 0;
        return Reply::ok();
    });
}

} // namespace emu

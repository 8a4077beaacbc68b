#include "sheetfeeder.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace emu {

namespace {

constexpr size_t kMaxChunk = 2 * 1024 * 1024;
constexpr uint8_t kUnusedWindow = 0xFF;
constexpr uint8_t kAnswerStop = 2;
constexpr uint8_t kAnswerRescan = 3;

uint16_t be16At(const Bytes &b, size_t off)
{
    if (off + 2 > b.size())
        return 0;
    return uint16_t(uint16_t(b[off]) << 8 | b[off + 1]);
}

uint32_t be32At(const Bytes &b, size_t off)
{
    if (off + 4 > b.size())
        return 0;
    return uint32_t(b[off]) << 24 | uint32_t(b[off + 1]) << 16 | uint32_t(b[off + 2]) << 8 |
           uint32_t(b[off + 3]);
}

// One window of the sheet being fed, with the side its camera scans.
struct SheetWindow
{
    WindowSpec spec;
    uint8_t cameraType = 0;
    bool readsBarcodes = false; // the camera's BarcodeEnable
    Bytes record; // as stored: the key of a page drawn once for every sheet
};

// Offset of BarcodeEnable in the 41-byte camera record.
constexpr size_t kCameraBarcodeEnable = 6;

struct SheetRun
{
    unsigned number = 0;
    bool multifed = false;
    std::optional<int8_t> panelKey;
    bool vanish = false;
    uint32_t printerIndex = 0;
    std::vector<SheetWindow> windows;
    size_t next = 0; // index of the next image
};

} // namespace

struct SheetFeeder::State
{
    explicit State(ScannerCommands &c, const StackScript &s) : commands(c), script(s) {}

    ScannerCommands &commands;
    mutable std::mutex mutex;
    StackScript script;
    unsigned nextSheet = 1; // number of the sheet on top of the stack
    unsigned delivered = 0;
    unsigned images = 0;
    std::vector<std::string> errors;

    bool scanStartPending = true;
    uint32_t printerCounter = 0;
    unsigned imageLimit = 0; // the configuration's ImageCount; 0: no limit
    unsigned imagesThisScan = 0;
    bool stopped = false;        // the device ended this scan's output
    bool awaitingAnswer = false; // interactive multifeed recovery
    size_t answersBefore = 0;
    unsigned multifedSheet = 0;

    std::optional<SheetRun> sheet;
    std::shared_ptr<const PageImage> page;
    std::vector<std::string> barcodes; // of the page being delivered
    size_t cursor = 0;
    bool vanishPending = false;
    std::map<std::string, std::shared_ptr<const PageImage>> drawn;

    Reply refuse(const Command &c, const std::string &why)
    {
        char op[8];
        std::snprintf(op, sizeof op, "0x%02X", c.opcode);
        errors.push_back(std::string(op) + ": " + why);
        return Reply::refused(status::kFailed);
    }
    Reply paperSensor(const Command &c, ScannerEmulator &device);
    Reply header(const Command &c, ScannerEmulator &device);
    Reply image(const Command &c, ScannerEmulator &device);
    Reply barcode(const Command &c);
    void beginScan(ScannerEmulator &device);
    bool startSheet(ScannerEmulator &device);
    std::shared_ptr<const PageImage> draw(const SheetWindow &w, unsigned sheetNumber);
    void sheetOut(ScannerEmulator &device);
};

SheetFeeder::SheetFeeder(ScannerCommands &commands, const StackScript &script)
    : m_state(std::make_shared<State>(commands, script))
{
    ScannerEmulator &device = commands.device();
    const auto s = m_state;
    device.setCommandHandler(op::kPaperDetected, [s](const Command &c, ScannerEmulator &d) {
        return s->paperSensor(c, d);
    });
    device.setCommandHandler(op::kRequestHeader, [s](const Command &c, ScannerEmulator &d) {
        return s->header(c, d);
    });
    device.setCommandHandler(op::kRequestImage, [s](const Command &c, ScannerEmulator &d) {
        return s->image(c, d);
    });
    device.setCommandHandler(op::kRequestBarcode,
                             [s](const Command &c, ScannerEmulator &) { return s->barcode(c); });
}

unsigned SheetFeeder::sheetsLeft() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->script.sheets + 1 - std::min(m_state->nextSheet, m_state->script.sheets + 1);
}

unsigned SheetFeeder::sheetsDelivered() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->delivered;
}

unsigned SheetFeeder::imagesDelivered() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->images;
}

std::vector<std::string> SheetFeeder::errors() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->errors;
}

Reply SheetFeeder::State::paperSensor(const Command &c, ScannerEmulator &)
{
    // Read before this lock: the command set's state is never taken the
    // other way round.
    const bool idle = !commands.scanning();
    std::lock_guard<std::mutex> lock(mutex);
    if (!c.toHost() || c.length != 1)
        return refuse(c, "paper sensor read of " + std::to_string(c.length) + " bytes");
    if (idle)
        scanStartPending = true;
    bool present = nextSheet <= script.sheets;
    if (present && script.paperEmptyPolls > 0) {
        --script.paperEmptyPolls;
        present = false;
    }
    return Reply::ok({uint8_t(present ? 1 : 0)});
}

void SheetFeeder::State::beginScan(ScannerEmulator &device)
{
    scanStartPending = false;
    const Bytes config = device.record(rec::kConfig);
    printerCounter = be32At(config, config::kPrinterIndex);
    imageLimit = be16At(config, config::kImageCount);
    imagesThisScan = 0;
    stopped = false;
    awaitingAnswer = false;
    sheet.reset(); // what was left of it went out with the last scan
    page.reset();
}

bool SheetFeeder::State::startSheet(ScannerEmulator &device)
{
    const Bytes order = device.record(rec::kWindowOrder);
    SheetRun run;
    for (uint8_t id : order) {
        if (id == kUnusedWindow)
            continue;
        SheetWindow w;
        w.record = device.record(rec::window(id));
        const auto spec = WindowSpec::decode(w.record);
        if (!spec) {
            errors.push_back("window " + std::to_string(id) + " of the window order is not stored");
            continue;
        }
        w.spec = *spec;
        const Bytes camera = device.record(rec::camera(spec->cameraId));
        w.cameraType = camera.size() >= 2 ? camera[1] : uint8_t(spec->cameraId == 3 ? 1 : 0);
        w.readsBarcodes = camera.size() > kCameraBarcodeEnable && camera[kCameraBarcodeEnable] == 1;
        run.windows.push_back(std::move(w));
    }
    if (run.windows.empty()) {
        errors.push_back("no window to deliver: the window order names no stored window");
        return false;
    }
    run.number = nextSheet++;
    run.printerIndex = printerCounter++;
    if (auto m = script.multifed.find(run.number); m != script.multifed.end()) {
        run.multifed = true;
        run.panelKey = m->second;
        script.multifed.erase(m);
    }
    if (script.vanishAt == run.number) {
        run.vanish = true;
        script.vanishAt = 0;
    }
    if (!script.keepTrafficLog)
        device.clearTransfers();
    sheet = std::move(run);
    return true;
}

std::shared_ptr<const PageImage> SheetFeeder::State::draw(const SheetWindow &w, unsigned number)
{
    const bool blank = !script.duplex && w.cameraType == 1;
    std::string key;
    if (script.samePages) {
        key = std::string(w.record.begin(), w.record.end()) + char(w.cameraType) + char(blank);
        if (auto found = drawn.find(key); found != drawn.end())
            return found->second;
    }
    auto image = renderPage(w.spec, script.ink, number, w.cameraType, blank);
    if (!image)
        return nullptr;
    auto shared = std::make_shared<const PageImage>(std::move(*image));
    if (script.samePages)
        drawn[key] = shared;
    return shared;
}

// The sheet's last header went out: what the device does next follows the
// configured multifeed response.
void SheetFeeder::State::sheetOut(ScannerEmulator &device)
{
    ++delivered;
    const SheetRun run = std::move(*sheet);
    sheet.reset();
    if (!run.multifed)
        return;
    if (run.panelKey)
        commands.queuePanelInput(*run.panelKey);
    const Bytes config = device.record(rec::kConfig);
    const uint8_t response = config.size() > config::kMultifeedResponse
                                 ? config[config::kMultifeedResponse]
                                 : 0;
    if (response == 8) {
        awaitingAnswer = true;
        answersBefore = commands.hostInputs().size();
        multifedSheet = run.number;
    } else if (response >= 1 && response <= 3) {
        stopped = true;
    }
}

Reply SheetFeeder::State::header(const Command &c, ScannerEmulator &device)
{
    const std::vector<uint8_t> answers = commands.hostInputs();
    std::lock_guard<std::mutex> lock(mutex);
    if (!c.toHost() || c.length != ImageHeader::kWireSize)
        return refuse(c, "header read of " + std::to_string(c.length) + " bytes");
    if (scanStartPending)
        beginScan(device);

    if (awaitingAnswer) {
        if (answers.size() <= answersBefore)
            return Reply::refused(status::kEndOfOutput);
        awaitingAnswer = false;
        const uint8_t answer = answers[answersBefore];
        if (answer == kAnswerStop)
            stopped = true;
        else if (answer == kAnswerRescan)
            nextSheet = multifedSheet; // the user put the sheets back
    }
    if (stopped || (imageLimit != 0 && imagesThisScan >= imageLimit))
        return Reply::refused(status::kEndOfOutput);

    if (!sheet) {
        if (nextSheet > script.sheets)
            return Reply::refused(status::kEndOfOutput);
        if (auto s = script.statusInPlaceOfHeader.find(nextSheet);
            s != script.statusInPlaceOfHeader.end()) {
            const uint8_t code = s->second;
            script.statusInPlaceOfHeader.erase(s);
            return Reply::refused(code);
        }
        if (!startSheet(device))
            return Reply::refused(status::kFailed);
    }

    SheetRun &run = *sheet;
    const SheetWindow &w = run.windows[run.next];
    page = draw(w, run.number);
    cursor = 0;
    if (!page) {
        errors.push_back("sheet " + std::to_string(run.number) + ": window " +
                         std::to_string(w.spec.windowId) + " cannot be drawn");
        sheet.reset();
        return Reply::refused(status::kFailed);
    }
    vanishPending = run.vanish && run.next == 0;
    barcodes.clear();
    const bool blankSide = !script.duplex && w.cameraType == 1;
    if (w.readsBarcodes && !blankSide)
        barcodes.push_back("SHEET-" + std::to_string(run.number) +
                           (w.cameraType == 1 ? "-B" : "-F"));

    ImageHeader h;
    h.cameraId = w.spec.cameraId;
    h.cameraType = w.cameraType;
    h.windowId = w.spec.windowId;
    h.imageSize = uint32_t(page->data.size());
    h.imageFormat = page->format;
    h.resolutionX = w.spec.resolutionX;
    h.resolutionY = w.spec.resolutionY;
    h.offsetX = w.spec.offsetX;
    h.offsetY = w.spec.offsetY;
    h.width = page->width1200;
    h.height = page->height1200;
    h.multifeed = run.multifed ? 1 : 0;
    h.printerIndex = run.printerIndex;
    h.compression = page->compression;
    h.blankImageMode = w.spec.blankImageMode;
    h.blankImageContent = page->blankContent;
    h.endOfSheet = run.next + 1 == run.windows.size() ? 1 : 0;
    h.barcodesFound = uint8_t(barcodes.size());
    ++images;
    ++imagesThisScan;
    if (++run.next == run.windows.size())
        sheetOut(device);
    return Reply::ok(h.encode());
}

Reply SheetFeeder::State::image(const Command &c, ScannerEmulator &device)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!c.toHost() || c.length == 0 || c.length > kMaxChunk)
        return refuse(c, "image chunk of " + std::to_string(c.length) + " bytes");
    if (!page)
        return refuse(c, "image data asked before any header");
    const size_t left = page->data.size() - cursor;
    if (left == 0)
        return refuse(c, "image data asked past the image's end");
    if (vanishPending) {
        // The chunk's data never arrives: the device is gone as it moves.
        vanishPending = false;
        device.injectFault({Pipe::Data, Direction::In, FaultKind::Vanish, 0, 0, 0});
    }
    const size_t n = std::min<size_t>(left, c.length);
    const auto from = page->data.begin() + long(cursor);
    cursor += n;
    return Reply::ok(Bytes(from, from + long(n)));
}

Reply SheetFeeder::State::barcode(const Command &c)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!c.toHost() || c.length == 0 || c.length % kBarcodeRecordSize != 0)
        return refuse(c, "barcode read of " + std::to_string(c.length) + " bytes");
    Bytes data;
    const size_t asked = c.length / kBarcodeRecordSize;
    for (size_t i = 0; i < std::min(asked, barcodes.size()); ++i) {
        const Bytes one = barcodeRecord(barcodes[i]);
        data.insert(data.end(), one.begin(), one.end());
    }
    return Reply::ok(data);
}

} // namespace emu

#include "scannercommands.h"

#include "scannercommands_state.h"

#include <cstdio>

// Handlers of the commands that move fixed records, the configuration and the
// imprinter uploads; scannercommands_pages.cpp has the scan itself.
namespace emu {

std::string rec::camera(uint8_t id) { return "camera/" + std::to_string(id); }
std::string rec::window(uint8_t id) { return "window/" + std::to_string(id); }
std::string rec::log(uint8_t selector) { return "log/" + std::to_string(selector); }

namespace detail {

std::string hex(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

uint32_t be32(const Bytes &b, size_t off)
{
    if (off + 4 > b.size())
        return 0;
    return uint32_t(b[off]) << 24 | uint32_t(b[off + 1]) << 16 | uint32_t(b[off + 2]) << 8 |
           uint32_t(b[off + 3]);
}

void putBe32(Bytes &b, size_t off, uint32_t v)
{
    for (size_t i = 0; i < 4; ++i)
        b[off + i] = uint8_t(v >> (8 * (3 - i)));
}

Reply refuse(State &state, const Command &c, const std::string &why)
{
    state.error(hex(c.opcode) + ": " + why);
    return Reply::refused(status::kFailed);
}

bool expect(State &state, const Command &c, bool toHost, long length, std::string &why)
{
    if (c.toHost() != toHost) {
        why = toHost ? "expected a device-to-host command" : "expected a host-to-device command";
        return false;
    }
    if (length >= 0 && c.length != uint32_t(length)) {
        why = "announced length " + std::to_string(c.length) + ", expected " + std::to_string(length);
        return false;
    }
    if (!toHost && c.data.size() != c.length) {
        why = "data phase of " + std::to_string(c.data.size()) + " bytes";
        return false;
    }
    (void)state;
    return true;
}

bool paramsAre(const Command &c, std::array<uint8_t, 6> expected)
{
    return c.params == expected;
}

// The record as the device holds it, cut or zero-padded to size.
Bytes held(ScannerEmulator &device, const std::string &name, size_t size)
{
    Bytes b = device.record(name);
    b.resize(size, 0);
    return b;
}

} // namespace detail

using namespace detail;

void State::error(const std::string &what)
{
    std::lock_guard<std::mutex> lock(mutex);
    errors.push_back(what);
}

namespace {

using Handler = ScannerEmulator::CommandHandler;

// A fixed-size record read by the host.
Handler serve(std::shared_ptr<State> state, const char *name, size_t size,
              std::array<uint8_t, 6> params = {})
{
    return [state, name, size, params](const Command &c, ScannerEmulator &device) {
        std::string why;
        if (!expect(*state, c, true, long(size), why))
            return refuse(*state, c, why);
        if (!paramsAre(c, params))
            return refuse(*state, c, "unexpected parameter bytes");
        return Reply::ok(held(device, name, size));
    };
}

// A record written by the host, kept as written; size -1 takes any length.
Handler keep(std::shared_ptr<State> state, std::string name, long size,
             std::array<uint8_t, 6> params = {})
{
    return [state, name, size, params](const Command &c, ScannerEmulator &device) {
        std::string why;
        if (!expect(*state, c, false, size, why))
            return refuse(*state, c, why);
        if (!paramsAre(c, params))
            return refuse(*state, c, "unexpected parameter bytes");
        device.setRecord(name, c.data);
        return Reply::ok();
    };
}

// A command without a data phase.
Handler plain(std::shared_ptr<State> state, std::array<uint8_t, 6> params = {},
              std::function<void()> effect = {})
{
    return [state, params, effect](const Command &c, ScannerEmulator &) {
        std::string why;
        if (!expect(*state, c, false, 0, why))
            return refuse(*state, c, why);
        if (!paramsAre(c, params))
            return refuse(*state, c, "unexpected parameter bytes");
        if (effect)
            effect();
        return Reply::ok();
    };
}

// One opcode, two directions.
Handler bothWays(Handler in, Handler out)
{
    return [in, out](const Command &c, ScannerEmulator &device) {
        return c.toHost() ? in(c, device) : out(c, device);
    };
}

void setDefault(ScannerEmulator &device, const std::string &name, Bytes value)
{
    if (device.record(name).empty())
        device.setRecord(name, std::move(value));
}

Bytes text(Bytes b, size_t off, const std::string &s)
{
    std::copy(s.begin(), s.end(), b.begin() + long(off));
    return b;
}

void defaultRecords(ScannerEmulator &device)
{
    Bytes inquiry(257, 0);
    inquiry[1] = 0x01;                         // VersionInterface
    inquiry = text(inquiry, 2, "1.0.7");       // FirmwareVersion
    inquiry = text(inquiry, 12, "EMU0000001");  // SerialNumber
    inquiry[67] = 1;                           // no flatbed
    setDefault(device, rec::kInquiry, inquiry);

    Bytes config(758, 0);
    for (size_t off : {537u, 539u, 541u, 543u}) { // magnifications 1.0
        config[off] = 0x27;
        config[off + 1] = 0x10;
    }
    setDefault(device, rec::kConfig, config);

    setDefault(device, rec::kTimeDate, {12, 0, 1, 1, 0x07, 0xE8});
    setDefault(device, rec::kLowPower, {15, 60, 1});
    setDefault(device, rec::kPaperDetected, {1});
    setDefault(device, rec::kMeters, Bytes(34, 0));
    setDefault(device, rec::kEcdo, Bytes(7800, 0));
    setDefault(device, rec::kOverrides, Bytes(4, 0));
    setDefault(device, rec::kStampInquiry, Bytes(22, 0));
    setDefault(device, rec::kScanBegin, Bytes(8, 0));
    setDefault(device, rec::kScanEnd, Bytes(20, 0));
    setDefault(device, rec::kDiagnosticBegin, Bytes(14, 0));
    setDefault(device, rec::kDiagnosticRun, Bytes(2890, 0));
    setDefault(device, rec::kCalibrateBegin, Bytes(10, 0));
    setDefault(device, rec::kCalibrateEnd, Bytes(4, 0));
}

} // namespace

ScannerCommands::ScannerCommands(ScannerEmulator &device)
    : m_device(device), m_state(std::make_shared<State>())
{
    defaultRecords(device);
    const auto s = m_state;
    ScannerEmulator &d = device;

    d.setCommandHandler(op::kInquiry, serve(s, rec::kInquiry, 257));
    d.setCommandHandler(op::kTimeDate, bothWays(serve(s, rec::kTimeDate, 6), keep(s, rec::kTimeDate, 6)));
    d.setCommandHandler(op::kMeters, serve(s, rec::kMeters, 34));
    d.setCommandHandler(op::kLowPower, bothWays(serve(s, rec::kLowPower, 3), keep(s, rec::kLowPower, 3)));
    d.setCommandHandler(op::kEcdo, serve(s, rec::kEcdo, 7800));
    d.setCommandHandler(op::kPaperDetected, serve(s, rec::kPaperDetected, 1));
    d.setCommandHandler(op::kConfig, bothWays(serve(s, rec::kConfig, 758), keep(s, rec::kConfig, 758)));
    d.setCommandHandler(op::kCreateCamera, [s](const Command &c, ScannerEmulator &device) {
        std::string why;
        if (!expect(*s, c, false, 41, why))
            return refuse(*s, c, why);
        device.setRecord(rec::camera(c.data[0]), c.data);
        return Reply::ok();
    });
    d.setCommandHandler(op::kWindowAdd, [s](const Command &c, ScannerEmulator &device) {
        std::string why;
        if (!expect(*s, c, false, 87, why))
            return refuse(*s, c, why);
        device.setRecord(rec::window(c.data[0]), c.data);
        return Reply::ok();
    });
    d.setCommandHandler(op::kWindowOrder, keep(s, rec::kWindowOrder, 4));
    d.setCommandHandler(op::kStampText, keep(s, rec::kStampText, -1));
    d.setCommandHandler(op::kSnapToSizeList, [s](const Command &c, ScannerEmulator &device) {
        std::string why;
        if (!expect(*s, c, false, -1, why))
            return refuse(*s, c, why);
        // The count must describe exactly the data that follows it.
        const uint32_t count = be32(c.data, 0);
        if (c.data.size() < 4 || c.data.size() != 4 + 8 * size_t(count))
            return refuse(*s, c, "snap list of " + std::to_string(c.data.size()) +
                                     " bytes announces " + std::to_string(count) + " sizes");
        device.setRecord(rec::kSnapToSizeList, c.data);
        return Reply::ok();
    });
    d.setCommandHandler(op::kScanBegin, [s](const Command &c, ScannerEmulator &device) {
        std::string why;
        if (!expect(*s, c, true, 8, why))
            return refuse(*s, c, why);
        if (!paramsAre(c, {0, 0x40, 0, 0, 0, 0}))
            return refuse(*s, c, "unexpected parameter bytes");
        std::lock_guard<std::mutex> lock(s->mutex);
        s->scanning = true;
        return Reply::ok(held(device, rec::kScanBegin, 8));
    });
    d.setCommandHandler(op::kScanRequestStop, plain(s, {}, [s] {
                            std::lock_guard<std::mutex> lock(s->mutex);
                            ++s->stops;
                        }));
    d.setCommandHandler(op::kScanEnd, [s](const Command &c, ScannerEmulator &device) {
        std::string why;
        if (!expect(*s, c, true, 20, why))
            return refuse(*s, c, why);
        std::lock_guard<std::mutex> lock(s->mutex);
        s->scanning = false;
        return Reply::ok(held(device, rec::kScanEnd, 20));
    });
    d.setCommandHandler(op::kRequestOverrides, serve(s, rec::kOverrides, 4));
    d.setCommandHandler(op::kCalibrateBegin, [s](const Command &c, ScannerEmulator &device) {
        std::string why;
        if (!expect(*s, c, true, 10, why))
            return refuse(*s, c, why);
        if (c.params[1] != 0x40 || c.params[4] < 2 || c.params[4] > 4 || c.params[0] || c.params[2] ||
            c.params[3] || c.params[5])
            return refuse(*s, c, "unexpected parameter bytes");
        return Reply::ok(held(device, rec::kCalibrateBegin, 10));
    });
    d.setCommandHandler(op::kCalibrateRun, plain(s));
    d.setCommandHandler(op::kCalibrateEnd, serve(s, rec::kCalibrateEnd, 4));
    d.setCommandHandler(op::kCalibrateSetData, keep(s, rec::kCalibrateData, 4, {4, 0, 0, 0, 0, 0}));
    d.setCommandHandler(op::kDiagnosticBegin, serve(s, rec::kDiagnosticBegin, 14));
    d.setCommandHandler(op::kDiagnosticRun, serve(s, rec::kDiagnosticRun, 2890, {9, 0, 0, 0, 0, 0}));
    d.setCommandHandler(op::kDiagnosticEnd, plain(s));
    d.setCommandHandler(op::kLanguage, plain(s, {9, 0, 0, 0, 0, 0}));
    d.setCommandHandler(op::kStampInquiry, serve(s, rec::kStampInquiry, 22));
    d.setCommandHandler(op::kStampConfig, keep(s, rec::kStampConfig, 346));
    d.setCommandHandler(op::kStampGraphic, keep(s, rec::kStampGraphic, -1));
    installScanHandlers(d, s);
}

std::vector<std::string> ScannerCommands::errors() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->errors;
}

} // namespace emu

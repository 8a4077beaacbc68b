#ifndef SCANNERCOMMANDS_STATE_H
#define SCANNERCOMMANDS_STATE_H

// Internal to the command set: the state its handlers share, and helpers.
#include "scannercommands.h"

#include <array>
#include <mutex>
#include <optional>

namespace emu {

// Handlers run under the emulator's lock and then take this one; the test
// thread takes only this one, so the two are always taken in that order.
struct ScannerCommands::State
{
    mutable std::mutex mutex;
    std::deque<Page> pages;
    std::optional<Page> current;
    size_t cursor = 0;
    size_t imageRequests = 0;
    std::deque<int8_t> panel;
    std::vector<uint8_t> hostInputs;
    bool scanning = false;
    unsigned stops = 0;
    uint8_t logSelector = 0;
    size_t logCursor = 0;
    std::vector<std::string> errors;

    void error(const std::string &what); // takes the lock
};

namespace detail {
using State = ScannerCommands::State;
std::string hex(unsigned value);
uint32_t be32(const Bytes &b, size_t off);
void putBe32(Bytes &b, size_t off, uint32_t v);
Reply refuse(State &state, const Command &c, const std::string &why);
// Direction and announced length (-1: any) as the command table has them;
// why says what is wrong otherwise.
bool expect(State &state, const Command &c, bool toHost, long length, std::string &why);
bool paramsAre(const Command &c, std::array<uint8_t, 6> expected);
Bytes held(ScannerEmulator &device, const std::string &name, size_t size);
} // namespace detail

void installScanHandlers(ScannerEmulator &device, std::shared_ptr<ScannerCommands::State> state);

} // namespace emu

#endif

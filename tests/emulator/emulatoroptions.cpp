#include "emulatoroptions.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace emu {

const char *const kEmulatorUsage =
    "usage: scanner-emulator [options] -- COMMAND [ARGS...]\n"
    "Attaches an emulated scanner with a stack of sheets and runs COMMAND\n"
    "against it; exits with COMMAND's exit status once COMMAND has ended.\n"
    "\n"
    "  --model NAME         VR512, VR516 (default), VR540 or T2750K\n"
    "  --sheets N           sheets in the feeder (default 10)\n"
    "  --simplex            sheets printed on the front only (backs are blank)\n"
    "  --ink MODE           what is printed: colour (default), grey or bw\n"
    "  --paper-empty N      the paper sensor reads empty for the first N polls\n"
    "  --multifeed S[:KEY]  sheet S is multifed; the panel answers KEY\n"
    "                       (1 continue, 2 stop, 3 rescan) once it is out\n"
    "  --jam S              a paper jam in place of sheet S's first header\n"
    "  --cover-open S       an open cover in place of sheet S's first header\n"
    "  --vanish S           the scanner leaves the bus during sheet S's first image\n"
    "  --same-pages         draw each page once and repeat it (fast, for benchmarks)\n"
    "  --press N[@SECONDS]  press panel button N once the host has registered its\n"
    "                       buttons, after SECONDS more (default 0); repeatable\n"
    "  --help               this text\n";

namespace {

bool number(const std::string &text, unsigned long max, unsigned long &value)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(uint8_t(c)); }))
        return false;
    errno = 0;
    value = std::strtoul(text.c_str(), nullptr, 10);
    return errno == 0 && value <= max;
}

std::string upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](char c) { return char(std::toupper(uint8_t(c))); });
    return s;
}

} // namespace

bool identityForModel(const std::string &name, UsbIdentity &identity)
{
    const std::string n = upper(name);
    UsbIdentity id;
    if (n == "VR512") {
        id.productId = ids::kVR512;
    } else if (n == "VR516") {
        id.productId = ids::kVR516;
    } else if (n == "VR540") {
        id.productId = ids::kVR540;
    } else if (n == "T2750K") {
        id.vendorId = ids::kOxVendor;
        id.productId = ids::kOxT2750k;
    } else {
        return false;
    }
    identity = id;
    return true;
}

bool parseEmulatorOptions(const std::vector<std::string> &args, EmulatorOptions &o,
                          std::string &error)
{
    o = EmulatorOptions();
    o.script.sheets = 10;
    // Events name sheets; they are checked against the stack once it is known.
    std::vector<std::pair<std::string, unsigned>> events;
    size_t i = 0;
    auto value = [&](const std::string &option, std::string &out) {
        if (i + 1 >= args.size()) {
            error = option + " needs a value";
            return false;
        }
        out = args[++i];
        return true;
    };
    auto sheetValue = [&](const std::string &option, unsigned &sheet) {
        std::string text;
        unsigned long n = 0;
        if (!value(option, text))
            return false;
        if (!number(text, 1000000, n) || n == 0) {
            error = option + ": not a sheet number: " + text;
            return false;
        }
        sheet = unsigned(n);
        events.emplace_back(option, sheet);
        return true;
    };

    for (; i < args.size(); ++i) {
        const std::string &a = args[i];
        std::string text;
        unsigned sheet = 0;
        unsigned long n = 0;
        if (a == "--") {
            o.command.assign(args.begin() + long(i) + 1, args.end());
            break;
        } else if (a == "--help" || a == "-h") {
            o.help = true;
            return true;
        } else if (a == "--model") {
            if (!value(a, text))
                return false;
            if (!identityForModel(text, o.identity)) {
                error = "unknown model: " + text;
                return false;
            }
            o.model = upper(text);
        } else if (a == "--sheets") {
            if (!value(a, text))
                return false;
            if (!number(text, 1000000, n)) {
                error = "--sheets: not a number of sheets: " + text;
                return false;
            }
            o.script.sheets = unsigned(n);
        } else if (a == "--simplex") {
            o.script.duplex = false;
        } else if (a == "--ink") {
            if (!value(a, text))
                return false;
            const std::string mode = upper(text);
            if (mode == "COLOUR" || mode == "COLOR")
                o.script.ink = Ink::Colour;
            else if (mode == "GREY" || mode == "GRAY")
                o.script.ink = Ink::Grey;
            else if (mode == "BW")
                o.script.ink = Ink::BlackWhite;
            else {
                error = "--ink: colour, grey or bw, not " + text;
                return false;
            }
        } else if (a == "--paper-empty") {
            if (!value(a, text))
                return false;
            if (!number(text, 1000000, n)) {
                error = "--paper-empty: not a number of polls: " + text;
                return false;
            }
            o.script.paperEmptyPolls = unsigned(n);
        } else if (a == "--multifeed") {
            if (!value(a, text))
                return false;
            const size_t colon = text.find(':');
            std::optional<int8_t> key;
            if (colon != std::string::npos) {
                if (!number(text.substr(colon + 1), 127, n) || n == 0) {
                    error = "--multifeed: not a panel key: " + text.substr(colon + 1);
                    return false;
                }
                key = int8_t(n);
            }
            if (!number(text.substr(0, colon), 1000000, n) || n == 0) {
                error = "--multifeed: not a sheet number: " + text.substr(0, colon);
                return false;
            }
            o.script.multifed[unsigned(n)] = key;
            events.emplace_back(a, unsigned(n));
        } else if (a == "--jam" || a == "--cover-open") {
            if (!sheetValue(a, sheet))
                return false;
            o.script.statusInPlaceOfHeader[sheet] =
                a == "--jam" ? status::kPaperJam : status::kCoverOpen;
        } else if (a == "--vanish") {
            if (!sheetValue(a, sheet))
                return false;
            o.script.vanishAt = sheet;
        } else if (a == "--same-pages") {
            o.script.samePages = true;
        } else if (a == "--press") {
            if (!value(a, text))
                return false;
            const size_t at = text.find('@');
            EmulatorOptions::Press press;
            if (!number(text.substr(0, at), 20, n) || n == 0) {
                error = "--press: not a button from 1 to 20: " + text.substr(0, at);
                return false;
            }
            press.button = int(n);
            if (at != std::string::npos) {
                const std::string delay = text.substr(at + 1);
                char *end = nullptr;
                errno = 0;
                press.seconds = std::strtod(delay.c_str(), &end);
                if (delay.empty() || errno != 0 || *end != '\0' || press.seconds < 0 ||
                    press.seconds > 86400) {
                    error = "--press: not a number of seconds: " + delay;
                    return false;
                }
            }
            o.presses.push_back(press);
        } else {
            error = "unknown option: " + a;
            return false;
        }
    }
    for (const auto &[option, s] : events) {
        if (s > o.script.sheets) {
            error = option + ": sheet " + std::to_string(s) + " is not in a stack of " +
                    std::to_string(o.script.sheets);
            return false;
        }
    }
    if (o.command.empty()) {
        error = "no command to run (put it after --)";
        return false;
    }
    // A program that runs for a long time must not keep every transfer.
    o.script.keepTrafficLog = false;
    return true;
}

} // namespace emu

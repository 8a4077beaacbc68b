#ifndef EMULATOROPTIONS_H
#define EMULATOROPTIONS_H

#include "sheetfeeder.h"

#include <string>
#include <vector>

// The command line of scanner-emulator:
//   scanner-emulator [options] -- COMMAND ARGS...
namespace emu {

struct EmulatorOptions
{
    std::string model = "VR516";
    UsbIdentity identity;
    StackScript script;
    std::vector<std::string> command;
    bool help = false;
    // --press N[@SECONDS]: panel button N, SECONDS after the host registered.
    struct Press
    {
        int button = 1;
        double seconds = 0;
    };
    std::vector<Press> presses;
};

// Models by name (case does not matter): VR512, VR516, VR540, T2750K.
bool identityForModel(const std::string &name, UsbIdentity &identity);

// False with `error` set for an unknown option, a bad value or a missing
// command. Sheet numbers count from 1 and must lie within the stack.
bool parseEmulatorOptions(const std::vector<std::string> &args, EmulatorOptions &options,
                          std::string &error);

extern const char *const kEmulatorUsage;

} // namespace emu

#endif

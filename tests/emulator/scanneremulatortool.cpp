// scanner-emulator: attaches an emulated scanner with a stack of sheets and
// runs a command against it. The command runs under the umockdev preload with
// UMOCKDEV_DIR naming this process's testbed, so its libusb sees the scanner;
// this process serves the device until the command ends.
#include "emulatedbus.h"
#include "emulatoroptions.h"
#include "eventservice.h"

#include <QCoreApplication>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char **environ;

namespace {

volatile sig_atomic_t g_child = 0;

void forward(int signal)
{
    if (g_child > 0)
        kill(pid_t(g_child), signal);
}

int run(const std::vector<std::string> &command)
{
    std::vector<char *> argv;
    for (const std::string &a : command)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);

    // The child starts with default signal handling whatever is set here.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int s : {SIGINT, SIGQUIT, SIGTERM, SIGHUP})
        sigaddset(&defaults, s);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], nullptr, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        std::fprintf(stderr, "scanner-emulator: cannot run %s: %s\n", argv[0], std::strerror(rc));
        return 127;
    }
    g_child = pid;

    // Ctrl-C reaches the whole terminal group: the command decides whether it
    // ends, and the device stays until it has. Termination is passed on.
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGQUIT, SIG_IGN);
    std::signal(SIGTERM, forward);
    std::signal(SIGHUP, forward);

    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            std::perror("scanner-emulator: waitpid");
            return 127;
        }
    }
    g_child = 0;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 127;
}

} // namespace

int main(int argc, char **argv)
{
    emu::EmulatedBus::ensurePreload(argc, argv);
    // Only the marker of the re-exec stays here; the command gets the
    // preload itself.
    unsetenv("EMU_PRELOAD_REEXEC");

    std::vector<std::string> args(argv + 1, argv + argc);
    emu::EmulatorOptions options;
    std::string error;
    if (!emu::parseEmulatorOptions(args, options, error)) {
        std::fprintf(stderr, "scanner-emulator: %s\n%s", error.c_str(), emu::kEmulatorUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(emu::kEmulatorUsage, stdout);
        return 0;
    }

    // Image plug-ins (JPEG) are found through the application's paths.
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);

    emu::EmulatedBus bus;
    if (!bus.isValid()) {
        std::fprintf(stderr, "scanner-emulator: %s\n", bus.errorString().c_str());
        return 2;
    }
    auto device = std::make_shared<emu::ScannerEmulator>(options.identity);
    emu::ScannerCommands commands(*device);
    emu::SheetFeeder feeder(commands, options.script);
    if (!bus.plug(device)) {
        std::fprintf(stderr, "scanner-emulator: %s\n", bus.errorString().c_str());
        return 2;
    }
    if (!getenv("UMOCKDEV_DIR")) {
        std::fprintf(stderr, "scanner-emulator: the testbed did not name its directory\n");
        return 2;
    }
    // The panel's event service, and the scripted presses: each waits until
    // the host has registered its buttons.
    emu::EventService events;
    events.attach(device);
    std::atomic<bool> commandEnded{false};
    std::thread presser([&] {
        for (const emu::EmulatorOptions::Press &press : options.presses) {
            while (!commandEnded && !events.registered())
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const auto due = std::chrono::steady_clock::now() +
                             std::chrono::duration<double>(press.seconds);
            while (!commandEnded && std::chrono::steady_clock::now() < due)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (commandEnded)
                return;
            events.pressButton(press.button);
            std::fprintf(stderr, "scanner-emulator: panel button %d pressed\n", press.button);
        }
    });

    const emu::UsbIdentity id = device->identity();
    std::fprintf(stderr, "scanner-emulator: %s on port %u;%u; with %u sheet(s)\n",
                 options.model.c_str(), id.busNumber, id.deviceAddress, options.script.sheets);

    const int result = run(options.command);
    commandEnded = true;
    presser.join();
    events.detach();

    std::fprintf(stderr, "scanner-emulator: %u sheet(s) and %u image(s) delivered, %u left\n",
                 feeder.sheetsDelivered(), feeder.imagesDelivered(), feeder.sheetsLeft());
    for (const std::string &e : feeder.errors())
        std::fprintf(stderr, "scanner-emulator: %s\n", e.c_str());
    for (const std::string &e : commands.errors())
        std::fprintf(stderr, "scanner-emulator: host: %s\n", e.c_str());
    for (const std::string &e : device->protocolErrors())
        std::fprintf(stderr, "scanner-emulator: protocol: %s\n", e.c_str());
    return result;
}

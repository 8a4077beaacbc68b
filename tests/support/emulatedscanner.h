#ifndef EMULATEDSCANNER_H
#define EMULATEDSCANNER_H

// A scanner on the emulated bus with its button-event service, plugged in
// from construction until the end, and a feeder once a stack is put in. The
// service answers a poll with nothing after a quarter of a second, so that a
// host's read is seen waiting soon after it began.

#include "emulatedbus.h"
#include "eventservice.h"
#include "scannercommands.h"
#include "sheetfeeder.h"

#include <chrono>
#include <memory>

namespace testsupport {

struct EmulatedScanner
{
    emu::EmulatedBus bus;
    std::shared_ptr<emu::ScannerEmulator> device = std::make_shared<emu::ScannerEmulator>();
    emu::ScannerCommands commands{*device};
    std::unique_ptr<emu::SheetFeeder> feeder; // none until the first stack
    emu::EventService events;

    EmulatedScanner()
    {
        events.setServerTimeout(std::chrono::milliseconds(250));
        events.attach(device);
        bus.plug(device);
    }
    ~EmulatedScanner() { events.detach(); }
    EmulatedScanner(const EmulatedScanner &) = delete;
    EmulatedScanner &operator=(const EmulatedScanner &) = delete;

    // A new stack in the feeder; what was left of the old one is gone.
    void restack(const emu::StackScript &script)
    {
        feeder = std::make_unique<emu::SheetFeeder>(commands, script);
    }
};

} // namespace testsupport

#endif

#ifndef SOAKPLAN_H
#define SOAKPLAN_H

#include "scanshortcut.h"
#include "sheetfeeder.h"

#include <cstdint>
#include <random>
#include <string>

// One job of the soak, drawn from its own seed: a profile from across the
// space the console can build, a stack of sheets, and at most one fault.
namespace soak {

enum class Fault {
    None,
    Jam,            // a jam in place of a sheet's first header
    Multifed,       // a multifed sheet, answered by the host or the panel
    CancelEarly,    // cancel before the job's thread reached startJob
    CancelAtPaper,  // cancel when the paper is reported, before any page
    CancelTimed,    // cancel from another thread at a random moment
    CancelAtAnswer, // cancel while the multifeed answer is awaited
    Unplug,         // the scanner leaves the bus while a sheet's image moves
    Stall,          // a data-pipe read that never completes (the host times out)
    ShortRead,      // a data-pipe read that brings only part of its message
    BusyLock,       // another host holds the scanner
    WakingLock,     // the scanner answers "waking" a few times first
    EmptyFeeder,    // no paper (or paper only after some polls)
    DiskFull,       // the temporary folder takes only a small file
    Count
};
const char *faultName(Fault fault);

struct Plan
{
    uint64_t seed = 0;
    tagSCAN_SHORTCUT_MENU profile{};
    emu::StackScript stack;
    Fault fault = Fault::None;
    unsigned faultSheet = 0;    // Jam, Multifed, Unplug: the sheet it hits
    int hostAnswer = 0;         // Multifed with response 8: the host's answer (0: the panel's)
    int panelAnswer = 0;        // Multifed: the panel's key, 0 for none
    unsigned faultSkip = 0;     // Stall, ShortRead: data-pipe reads that pass first
    unsigned shortLength = 0;   // ShortRead: bytes that arrive
    unsigned cancelAfterMs = 0; // CancelTimed
    int wakingAnswers = 0;      // WakingLock
    unsigned diskLimit = 0;     // DiskFull: largest file size in bytes

    std::string describe() const;
};

// The plan of the job with this seed; the same seed gives the same plan.
Plan drawPlan(uint64_t seed, const tagSCAN_SHORTCUT_MENU &base);

// The seed of job `index` of a run with `runSeed`.
uint64_t jobSeed(uint64_t runSeed, uint64_t index);

} // namespace soak

#endif

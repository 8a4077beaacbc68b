#ifndef SOAKCHECK_H
#define SOAKCHECK_H

#include "records.h"
#include "scanneremulator.h"
#include "soakplan.h"

#include <set>
#include <string>
#include <vector>

// What the emulated scanner served in one job, read back from its record of
// the data pipe, and what the host must have made of it.
namespace soak {

struct Served
{
    struct Image
    {
        tagREQUEST_HEADER header;
        std::vector<std::string> barcodes;
        size_t lastRecord = 0; // index of the record that ended it
    };
    std::vector<Image> images;       // data and status complete
    int headersWithoutImage = 0;     // headers the host took whose image it never got whole
    bool scanBegun = false;          // a scanBegin went out
    std::vector<size_t> headerPolls; // record index of every header request block
};

// Walks the data pipe as the host's exchanges use it: per command block a
// data phase, then the status, retried after time-outs and empty reads as
// the host does; whatever the host read after giving up is stale and not
// counted.
Served servedImages(const std::vector<emu::TransferRecord> &records);

struct Expectation
{
    int announcements = 0;
    bool exact = true; // false: at most `announcements` (the fate of some pages is open)
    int atLeast = 0;   // fewest announcements that lose nothing, when not exact
    std::multiset<std::string> barcodesOut; // codes of the pages that go out (grey copies too)
    std::set<std::string> barcodesGone;     // codes of pages dropped or rejected
};

// The pages the host must give out for what was served: originals, grey
// copies, count-only placeholders and merged sheets, after the blank rule
// and the answers to multifed sheets (`answers`: what the device received).
Expectation expectedPages(const Plan &plan, const Served &served,
                          const std::vector<uint8_t> &answers, int result);

} // namespace soak

#endif

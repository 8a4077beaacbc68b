#include "soakplan.h"

#include <sstream>

namespace soak {

namespace {

// The streams a side choice allows, with the colour modes of blocks 0 and 1
// that make sense for each (-1: drawn freely).
struct Stream
{
    InputDocumentFlag input;
    OxAdvancedSettingSideFlag side;
    int block0;
    int block1;
};

const Stream kStreams[] = {
    // one stream
    {InputDocumentFront, SideFront, -1, -1},
    {InputDocumentBack, SideBack, -1, -1},
    {InputDocumentBoth, SideBoth, -1, -1},
    // colour plus its grey copy
    {InputDocumentFront, SideColorGrayFront, ColorModeColor, -1},
    {InputDocumentBack, SideColorGrayBack, ColorModeColor, -1},
    {InputDocumentBoth, SideColorGrayBoth, ColorModeColor, -1},
    // two streams a side
    {InputDocumentFront, SideColorBwFront, ColorModeColor, ColorModeBlackWhite},
    {InputDocumentBack, SideGrayBwBack, ColorModeGray, ColorModeBlackWhite},
    {InputDocumentBoth, SideColorBwBoth, ColorModeColor, ColorModeBlackWhite},
    {InputDocumentBoth, SideGrayBwBoth, ColorModeGray, ColorModeBlackWhite},
};

const int kMultifeedResponses[] = {
    MultifeedContinue,       MultifeedStop,        MultifeedStopKeepImage, MultifeedStopLeavePaper,
    MultifeedPauseKeepImage, MultifeedInteractive, MultifeedInteractive,   MultifeedInteractive};

// How often each fault is drawn, in parts of the whole. Slow faults (real
// waits of half a second and more) are drawn less.
const int kWeights[int(Fault::Count)] = {
    /*None*/ 20,         /*Jam*/ 8,
    /*Multifed*/ 16,     /*CancelEarly*/ 3,
    /*CancelAtPaper*/ 3,
    /*CancelTimed*/ 6,   /*CancelAtAnswer*/ 4,
    /*Unplug*/ 6,        /*Stall*/ 6,
    /*ShortRead*/ 6,
    /*BusyLock*/ 3,      /*WakingLock*/ 2,
    /*EmptyFeeder*/ 2,   /*DiskFull*/ 5};

class Draw
{
public:
    explicit Draw(uint64_t seed) : m_rng(seed) {}
    int in(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_rng); }
    bool chance(int percent) { return in(0, 99) < percent; }
    template <typename T, size_t N>
    const T &pick(const T (&items)[N])
    {
        return items[size_t(in(0, int(N) - 1))];
    }
    Fault fault()
    {
        int total = 0;
        for (int w : kWeights)
            total += w;
        int r = in(0, total - 1);
        for (int i = 0; i < int(Fault::Count); ++i) {
            if (r < kWeights[i])
                return Fault(i);
            r -= kWeights[i];
        }
        return Fault::None;
    }

private:
    std::mt19937_64 m_rng;
};

int compressionFor(Draw &d, int colourMode)
{
    if (colourMode == ColorModeBlackWhite)
        return d.chance(50) ? CompressionGroup4 : CompressionNone;
    return d.chance(60) ? CompressionJpeg : CompressionNone;
}

} // namespace

const char *faultName(Fault fault)
{
    static const char *const names[int(Fault::Count)] = {"none",
                                                         "jam",
                                                         "multifed",
                                                         "cancel-early",
                                                         "cancel-at-paper",
                                                         "cancel-timed",
                                                         "cancel-at-answer",
                                                         "unplug",
                                                         "stall",
                                                         "short-read",
                                                         "busy-lock",
                                                         "waking-lock",
                                                         "empty-feeder",
                                                         "disk-full"};
    return names[int(fault)];
}

uint64_t jobSeed(uint64_t runSeed, uint64_t index)
{
    // splitmix64: neighbouring jobs get unrelated seeds.
    uint64_t z = runSeed + 0x9E3779B97F4A7C15ull * (index + 1);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

Plan drawPlan(uint64_t seed, const tagSCAN_SHORTCUT_MENU &base)
{
    Draw d(seed);
    Plan plan;
    plan.seed = seed;
    tagSCAN_SHORTCUT_MENU &p = plan.profile;
    p = base;

    const Stream &stream = d.pick(kStreams);
    p.inputDocument = stream.input;
    p.sideStream = stream.side;
    const int resolution = d.pick({100, 150, 200});
    const double width = d.in(12, 30) / 10.0, height = d.in(12, 30) / 10.0;
    for (int b = 0; b < 2; ++b) {
        tagSCAN_SIDE_SETTING &s = p.sideSettings[b];
        const int fixed = b == 0 ? stream.block0 : stream.block1;
        const int mode = fixed >= 0 ? fixed : d.in(0, 2);
        s.colorMode = ColorModeFlag(mode);
        s.compressionType = CompressionTypeFlag(compressionFor(d, mode));
        s.resolution = resolution;
        s.x = s.y = 0;
        s.width = width;
        s.height = height;
        s.angle = 0;
        s.documentCropping = CroppingManual;
        s.colorDropout = EcdoEnumFlag(255);
        s.blankImageDeletion = BlankImageModeFlag(0);
    }
    tagSCAN_SIDE_SETTING &s0 = p.sideSettings[0];
    s0.barcodeReading = d.chance(30);
    switch (d.in(0, 3)) {
    case 0:
        s0.blankImageDeletion = BlankImageModeFlag(1);
        s0.contentAmount = d.in(0, 12);
        break;
    case 1:
        s0.blankImageDeletion = BlankImageModeFlag(2);
        s0.finalImageSize = d.in(0, 40);
        break;
    default:
        break;
    }
    p.combineType =
        d.chance(55)
            ? CombineOff
            : CombineTypeFlag(d.pick({CombineFrontBack, CombineTwo, CombineFour, CombineNine}));
    p.combineScaling = CombineScalingFlag(d.in(0, 1));
    p.saveSize = d.chance(50);
    p.countOnly = d.chance(8);
    p.multifeedResponse = MultifeedResponseFlag(d.pick(kMultifeedResponses));
    p.previewMode = 0;
    p.paperSource = PaperSourceFeeder;
    p.autoStartScanning = true;
    p.printerIndex = d.chance(5) ? 0x7FFFFFF0 + d.in(0, 15) : d.in(0, 100000);
    p.stampConfig.textStampOn = 0;
    p.stampConfig.graphicStampOn = 0;

    emu::StackScript &stack = plan.stack;
    stack.sheets = unsigned(d.in(1, 5));
    stack.duplex = d.chance(70);
    stack.ink = emu::Ink(d.in(0, 2));

    plan.fault = d.fault();
    const unsigned someSheet = unsigned(d.in(1, int(stack.sheets)));
    switch (plan.fault) {
    case Fault::Jam:
        plan.faultSheet = someSheet;
        stack.statusInPlaceOfHeader[someSheet] = 3;
        break;
    case Fault::CancelAtAnswer:
        p.multifeedResponse = MultifeedInteractive;
        plan.faultSheet = someSheet;
        stack.multifed[someSheet] = std::nullopt;
        break;
    case Fault::Multifed:
        plan.faultSheet = someSheet;
        if (p.multifeedResponse == MultifeedInteractive && d.chance(70)) {
            plan.hostAnswer = d.in(1, 3);
            stack.multifed[someSheet] = std::nullopt;
        } else {
            plan.panelAnswer = d.in(1, 3);
            stack.multifed[someSheet] = int8_t(plan.panelAnswer);
        }
        break;
    case Fault::Unplug:
        plan.faultSheet = someSheet;
        stack.vanishAt = someSheet;
        break;
    case Fault::Stall:
    case Fault::ShortRead:
        // The command sequence reads about twenty replies before the scan.
        plan.faultSkip = unsigned(d.in(0, 20 + int(stack.sheets) * 8));
        plan.shortLength = unsigned(d.in(0, 600));
        break;
    case Fault::CancelTimed:
        plan.cancelAfterMs = unsigned(d.in(0, 400));
        break;
    case Fault::WakingLock:
        plan.wakingAnswers = d.in(1, 3);
        break;
    case Fault::EmptyFeeder:
        if (d.chance(50))
            stack.sheets = 0;
        else
            stack.paperEmptyPolls = unsigned(d.in(1, 2));
        break;
    case Fault::DiskFull:
        plan.diskLimit = unsigned(d.in(1, 12)) * 1024;
        break;
    default:
        break;
    }
    return plan;
}

std::string Plan::describe() const
{
    const tagSCAN_SHORTCUT_MENU &p = profile;
    std::ostringstream out;
    out << "fault " << faultName(fault);
    if (faultSheet)
        out << " at sheet " << faultSheet;
    if (hostAnswer)
        out << " host answer " << hostAnswer;
    if (panelAnswer)
        out << " panel answer " << panelAnswer;
    if (fault == Fault::Stall || fault == Fault::ShortRead)
        out << " after " << faultSkip << " reads";
    out << "; input " << int(p.inputDocument) << " stream " << int(p.sideStream) << " modes "
        << int(p.sideSettings[0].colorMode) << "/" << int(p.sideSettings[1].colorMode)
        << " compression " << int(p.sideSettings[0].compressionType) << "/"
        << int(p.sideSettings[1].compressionType) << " " << p.sideSettings[0].resolution
        << " dpi, combine " << int(p.combineType) << ", blank "
        << int(p.sideSettings[0].blankImageDeletion) << ", count-only " << p.countOnly
        << ", multifeed response " << int(p.multifeedResponse) << ", barcodes "
        << p.sideSettings[0].barcodeReading << "; " << stack.sheets << " sheets"
        << (stack.duplex ? " duplex" : " simplex") << " ink " << int(stack.ink);
    return out.str();
}

} // namespace soak

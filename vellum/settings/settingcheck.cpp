// Whether the scanner can deliver a profile's combination of resolution,
// colour mode, compression, quality, area, sides, streams and combining.
// Only 600 and 1200 dpi are ever refused. Sizes equal to a limit pass.

#include "settingform.h"

namespace {

enum : int {
    Allowed = 0,
    LowerResolutionOrA5 = -71,
    GrayNeedsCompression = -72,
    GrayLowerQuality = -73,
    CombineMustBeOff = -74,
    LowerResolutionOrSize = -75,
    FrontBlackWhiteSize = -76,
    ColourNeedsOneSide = -77,
};

int combineTest(const tagSCAN_SHORTCUT_MENU &p)
{
    return p.combineType != 0 ? CombineMustBeOff : Allowed;
}

// Front side with a black-and-white stream (streams 4 and 10).
bool frontWithBlackWhite(const tagSCAN_SHORTCUT_MENU &p)
{
    return p.sideStream == 4 || p.sideStream == 10;
}

int frontBlackWhiteTest(double w, double h)
{
    return (w > 8.27 || h > 5.83) ? FrontBlackWhiteSize : Allowed;
}

} // namespace

int SettingForm::checkSettingCombination(const tagSCAN_SHORTCUT_MENU &p)
{
    const tagSCAN_SIDE_SETTING &b = p.sideSettings[0];
    const int mode = int(b.colorMode);
    const int dpi = b.resolution;
    const bool compressed = b.compressionType != 0;
    const bool highQuality = b.jpegQuality == 4;
    const bool part = b.imageCropping == 5;
    const bool bothSides = p.inputDocument == 2;
    const double w = b.width, h = b.height;

    if (mode == 2 && dpi == 1200) {
        if (!compressed) {
            if (bothSides)
                return ColourNeedsOneSide;
            if (!part)
                return LowerResolutionOrA5;
            if (frontWithBlackWhite(p))
                return frontBlackWhiteTest(w, h);
            if (w > 5.82 || h > 8.26)
                return LowerResolutionOrA5;
            return combineTest(p);
        }
        if (highQuality) {
            if (bothSides)
                return ColourNeedsOneSide;
            if (!part)
                return LowerResolutionOrSize;
            if (frontWithBlackWhite(p))
                return frontBlackWhiteTest(w, h);
            if (w > 11.69 || h > 9.84)
                return LowerResolutionOrSize;
            return combineTest(p);
        }
        if (!part)
            return LowerResolutionOrA5;
        if (frontWithBlackWhite(p))
            return frontBlackWhiteTest(w, h);
        if (w > 11.69 || h > 9.84)
            return LowerResolutionOrSize;
        return combineTest(p);
    }
    if (mode == 1 && dpi == 1200) {
        if (!compressed)
            return GrayNeedsCompression;
        if (highQuality)
            return GrayLowerQuality;
        return combineTest(p);
    }
    if (mode == 0 && dpi == 1200)
        return combineTest(p);
    if (mode == 2 && dpi == 600) {
        if (!compressed)
            return combineTest(p);
        return (p.combineType != 0 && highQuality) ? CombineMustBeOff : Allowed;
    }
    return Allowed;
}

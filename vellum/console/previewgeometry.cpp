#include "previewgeometry.h"

#include <cmath>

namespace preview {

namespace {

// The centimetre ruler counts 12 steps a centimetre: 12 x 2.54 / 24 steps
// for each base pixel.
constexpr double kCentimetreStep = 1.27;
constexpr int kShortTick = 16;
constexpr int kMiddleTick = 14;
constexpr int kLongTick = -1;

// Tick spacing in loop steps for the short, middle and long marks of a unit.
struct UnitSteps
{
    int shortStep, middleStep, longStep;
};

int tickEnd(long long i, const UnitSteps &s)
{
    if (i % s.longStep == 0)
        return kLongTick;
    if (i % s.middleStep == 0)
        return kMiddleTick;
    if (i % s.shortStep == 0)
        return kShortTick;
    return 0;
}

QPoint labelPlace(RulerAxis axis, int along, int acrossOffset)
{
    // Top ruler labels stand below the ticks' ends; left ruler labels beside them.
    return axis == RulerAxis::Top ? QPoint(along + acrossOffset, 11) : QPoint(4, along - 3);
}

} // namespace

QVector<RulerTick> rulerTicks(RulerAxis axis, int unit, int zoom, int scroll, int formExtent,
                              int resolution)
{
    QVector<RulerTick> ticks;
    // The top ruler covers the form, the left one the bed's whole length.
    const long long span =
        axis == RulerAxis::Top ? (long long)zoom * formExtent : (long long)zoom * kBedLength;

    if (unit == UnitInch || unit == UnitPixel) {
        const UnitSteps steps = unit == UnitInch ? UnitSteps{6, 12, 24} : UnitSteps{12, 24, 48};
        for (long long i = scroll; i < scroll + span; ++i) {
            const int end = tickEnd(i, steps);
            if (end == 0)
                continue;
            RulerTick t;
            t.pos = int(zoom * (i - scroll));
            t.end = end;
            if (end == kLongTick) {
                const unsigned value =
                    unit == UnitInch ? unsigned(i / 24) : unsigned((i / 48) * 2 * resolution);
                t.label = QString::number(value);
                t.labelAt = labelPlace(axis, t.pos, unit == UnitInch ? -10 : -20);
            }
            ticks.append(t);
        }
    } else if (unit == UnitCentimetre) {
        const UnitSteps steps{6, 12, 24};
        const long long first = (long long)(scroll * kCentimetreStep);
        const double limit = scroll * kCentimetreStep + span * kCentimetreStep;
        for (long long i = first; i < limit; ++i) {
            const int end = tickEnd(i, steps);
            if (end == 0)
                continue;
            RulerTick t;
            const double along = zoom * double(i - first) / kCentimetreStep;
            t.pos = int(along);
            t.end = end;
            if (end == kLongTick) {
                t.label = QString::number(unsigned((i / 24) * 2));
                t.labelAt = axis == RulerAxis::Top ? QPoint(int(along - 10), 11)
                                                   : QPoint(4, int(along - 3));
            }
            ticks.append(t);
        }
    }
    return ticks;
}

QRect frameRect(double areaX, double areaY, double areaWidth, double areaHeight, int zoom,
                int hScroll, int vScroll)
{
    if (zoom <= 1)
        return QRect(int(areaX), int(areaY), int(areaWidth), int(areaHeight));
    return QRect(int(areaX - double(zoom) * hScroll), int(areaY - double(zoom) * vScroll),
                 int(zoom * areaWidth), int(zoom * areaHeight));
}

QPoint bedPoint(double x, double y)
{
    return QPoint(int(std::floor(x + 0.5)) - kBedLeft, int(std::floor(y + 0.5)) - kBedTop);
}

int clampAxis(int value, int lower, int upper)
{
    if (upper < lower)
        return lower;
    return value < lower ? lower : (value > upper ? upper : value);
}

int dragMaxX(double bedWidth, double areaWidth, int zoom)
{
    return int((bedWidth * kPixelsPerInch - areaWidth) * zoom + kBedLeft);
}

int dragMaxY(double areaHeight, int zoom)
{
    return int((kBedLength - areaHeight) * zoom + kBedTop);
}

AreaInches areaToInches(double areaX, double areaY, double areaWidth, double areaHeight, int zoom)
{
    AreaInches a;
    a.x = (areaX - kBedLeft) / kPixelsPerInch / zoom;
    a.y = (areaY - kBedTop) / kPixelsPerInch / zoom;
    a.width = areaWidth / kPixelsPerInch;
    a.height = areaHeight / kPixelsPerInch;
    return a;
}

QSize scaledImageSize(const QSize &image, int zoom, bool afterShrink, int resolution)
{
    if (image.isEmpty() || resolution <= 0)
        return QSize();
    const long long w = (long long)image.width() * kPixelsPerInch * zoom / resolution;
    const long long h =
        afterShrink ? (long long)zoom * ((long long)image.height() * kPixelsPerInch / resolution)
                    : (long long)image.height() * kPixelsPerInch * zoom / resolution;
    QSize s = image;
    s.scale(QSize(int(w), int(h)), Qt::KeepAspectRatio);
    return s.expandedTo(QSize(1, 1));
}

QSize zoomOneImageSize(const QSize &image, int resolution)
{
    if (image.isEmpty() || resolution <= 0)
        return QSize();
    QSize s = image;
    s.scale(QSize(int((long long)image.width() * 32 / resolution),
                  int((long long)image.height() * kPixelsPerInch / resolution)),
            Qt::KeepAspectRatio);
    return s.expandedTo(QSize(1, 1));
}

} // namespace preview

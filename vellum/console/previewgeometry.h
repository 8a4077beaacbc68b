#ifndef PREVIEWGEOMETRY_H
#define PREVIEWGEOMETRY_H

// The arithmetic of the preview page, kept apart from the widget so that the
// rulers, the frame and the drag rules can be checked as numbers. One inch of
// bed is 24 base pixels; on screen a base pixel is `zoom` pixels wide. The
// bed's top-left corner sits at form coordinates (29, 70).

#include "scanflags.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

namespace preview {

constexpr int kBedLeft = 29;
constexpr int kBedTop = 70;
constexpr int kPixelsPerInch = 24;
constexpr int kBedLength = 408; // 17 inches in base pixels
constexpr double kBedWidthInches = 12.08;
constexpr int kPreviewResolution = 300;
constexpr int kMinZoom = 1;
constexpr int kMaxZoom = 32;

// One ruler tick: `pos` along the ruler, drawn from coordinate 19 (the edge
// next to the image) to `end` (16 short, 14 middle, -1 long); long ticks
// carry a label drawn at `labelAt` (ruler coordinates).
struct RulerTick
{
    int pos = 0;
    int end = 0;
    QString label;
    QPoint labelAt;
};

enum class RulerAxis { Top, Left };

// The ticks of one ruler. `formExtent` is the form's width (the top ruler
// runs across the form; the left one runs along the bed's length and ignores
// it). An unknown unit gives no ticks: only the border is drawn.
QVector<RulerTick> rulerTicks(RulerAxis axis, int unit, int zoom, int scroll, int formExtent,
                              int resolution = kPreviewResolution);

// Where the frame of the user-defined area is drawn on the form.
QRect frameRect(double areaX, double areaY, double areaWidth, double areaHeight, int zoom,
                int hScroll, int vScroll);

// A form position rounded to whole pixels, halves towards +infinity, then made
// relative to the bed's corner.
QPoint bedPoint(double x, double y);

// One axis of a drag: the pointer's place kept within lower..upper. When the
// frame is larger than the bed the upper bound falls below the lower one and
// the frame stays at the bed's edge.
int clampAxis(int value, int lower, int upper);

// Upper bound of the frame's corner on each axis while dragging.
int dragMaxX(double bedWidth, double areaWidth, int zoom);
int dragMaxY(double areaHeight, int zoom);

// The frame in inches for the settings form: x, y, width, height.
struct AreaInches
{
    double x = 0, y = 0, width = 0, height = 0;
};
AreaInches areaToInches(double areaX, double areaY, double areaWidth, double areaHeight, int zoom);

// Size of the image scaled to a zoom, keeping its aspect ratio within the box
// the zoom step asks for. `afterShrink` selects the box height computed after
// a Shrink step (whole base pixels first), which differs by truncation.
QSize scaledImageSize(const QSize &image, int zoom, bool afterShrink,
                      int resolution = kPreviewResolution);
// The box the zoom-1 picture is fitted into.
QSize zoomOneImageSize(const QSize &image, int resolution = kPreviewResolution);

} // namespace preview

#endif

#include "parsercommand.h"

#include "scanshortcut.h"

#include <QDebug>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

// A bool read from a profile file may hold any byte; anything but 0 is on.
quint8 flag(const bool &b)
{
    unsigned char raw;
    std::memcpy(&raw, &b, 1);
    return raw ? 1 : 0;
}

quint8 low8(int v)
{
    return static_cast<quint8>(v);
}

quint16 low16(int v)
{
    return static_cast<quint16>(v);
}

// 10000 x angle + 3600000: 3600000 is the device's "no rotation".
quint32 skewAngle(double angle)
{
    const double v = 10000.0 * angle + 3600000.0;
    if (!std::isfinite(v))
        return 3600000u;
    const double t = std::trunc(v);
    if (t <= double(std::numeric_limits<qint64>::min()) || t >= double(std::numeric_limits<qint64>::max()))
        return 3600000u;
    return static_cast<quint32>(static_cast<qint64>(t));
}

struct Cropping
{
    quint8 mode = 0;
    quint8 deskew = 0;
    quint8 addBorder = 0;
};

// documentCropping c1, imageCropping c2, border b; p in preview.
Cropping croppingFor(int c1, int c2, int b, bool p)
{
    if (c1 == 7 && c2 == 2 && b == 2)
        return {quint8(p ? 2 : 0), 1, quint8(p ? 0 : 1)};
    if (c1 == 7 && c2 == 2 && b == 1)
        return {quint8(p ? 2 : 1), 1, 0};
    if (c1 == 7 && c2 == 2 && b == 6)
        return {2, 1, 0};
    if (c1 == 2 && b == 6)
        return {2, 0, 0};
    if (c1 == 2 && b == 2)
        return {2, 0, quint8(p ? 0 : 1)};
    if (c1 == 3 && b == 2)
        return {3, 0, quint8(p ? 0 : 1)};
    if (c1 == 3 && b == 6)
        return {3, 0, 0};
    if (c1 == 4 && c2 == 2)
        return {4, 1, 0};
    if (c1 == 4 && c2 == 5)
        return {quint8(p ? 2 : 5), 1, 0};
    if (c1 == 7 && c2 == 5)
        return {quint8(p ? 2 : 6), 1, 0};
    if (c1 == 8)
        return {quint8(p ? 3 : 7), 0, 0};
    return {};
}

// Whole-bed preview area, 1/1200 inch: 14 inches long, 8.6 inches wide, or
// 12.2 inches on the wide flatbed accessory.
constexpr quint32 kPreviewBedHeight = 16800;
constexpr quint32 kPreviewBedWidth = 10320;
constexpr quint32 kPreviewWideBedWidth = 14640;
constexpr quint8 kWideFlatbedAccessory = 3;

} // namespace

ParserCommand::ParserCommand(QObject *parent) : QObject(parent) {}

quint32 ParserCommand::deviceLength(double inches)
{
    const double t = std::trunc(inches * 1200.0);
    if (!std::isfinite(t) || t <= double(std::numeric_limits<qint64>::min()) ||
        t >= double(std::numeric_limits<qint64>::max()))
        return 0;
    return static_cast<quint32>(static_cast<qint64>(t));
}

quint8 ParserCommand::deviceScale(int value)
{
    return static_cast<quint8>(low8(value) + 100);
}

bool ParserCommand::magnificationToDevice(double scaled, quint16 &out)
{
    // Rounded, not truncated: a factor such as 0.5005 times 10000 is
    // 5004.999... in binary and must still reach the scanner as 5005.
    const double rounded = std::floor(scaled + 0.5);
    if (!(rounded >= 0.0 && rounded <= 65535.0))
        return false;
    out = static_cast<quint16>(rounded);
    return true;
}

bool ParserCommand::mergeConfig(tagSCANNER_CONFIGRATION &c, const tagSCAN_SHORTCUT_MENU *profile,
                                const tagINQUIRY *)
{
    c = tagSCANNER_CONFIGRATION();
    if (!profile) {
        qDebug() << "mergeConfig: no profile";
        return false;
    }
    const tagSCAN_SHORTCUT_MENU &p = *profile;
    const bool preview = p.previewMode != 0;
    const bool singleStream = p.sideStream == 0 || p.sideStream == 1 || p.sideStream == 2;

    c.AdfAutoStart = flag(p.autoStartScanning);
    c.AdfHandling = low8(p.handlingAction);
    c.AdfTimeoutEnabled = flag(p.deviceOn);
    c.AdfTimeout = low16(p.timeout);
    c.AdfTimeoutFirstPage = low16(p.timeout);
    c.AdfTimeoutResponse = low8(p.timeoutAction);
    c.BatchCountEnabled = 0;
    c.BatchCount = 1;
    c.BatchLevel = 1;
    c.IaFormatA = 0;
    c.IaFormatB = 3;
    c.IaFormatC = 2;
    c.IaFormatD = 1;
    c.IaLevelToFollow1 = 1;
    c.IaLevelToFollow2 = 1;
    c.IaLevelToFollow3 = 1;
    c.PaperOnDemand = 0;
    if (preview) {
        if (p.inputDocument == InputDocumentBoth)
            c.ImageCount = 2;
        else if (p.inputDocument == InputDocumentFront || p.inputDocument == InputDocumentBack)
            c.ImageCount = 1;
    }
    c.MultifeedLengthEnbaled = flag(p.multifeedLengthEnabled);
    c.MultifeedLength = deviceLength(p.multifeedLength);
    c.MultifeedResponse = low8(p.multifeedResponse);
    c.MultifeedUddsSensitivity = low8(p.multifeedUddsSensitivity);
    c.PaperSource = low8(p.paperSource);
    c.PrinterDateFormat = 2;
    c.PrinterFont = 4;
    c.PrinterIndex = static_cast<quint32>(p.printerIndex);
    c.PrinterIndexDigits = 9;
    c.PrinterPosition = 300;
    c.CountOnlyMode = 0;
    c.PreviewMode = low8(p.previewMode);
    c.PreviewImageAcquire = (preview && p.previewAutoUpdate == 0) ? 1 : 0;
    c.PreviewQuality = low8(p.previewQuality);
    c.EcdoCustomLearn = 255;
    c.EcdoCustomClearData = 0;
    c.SheetHeight = deviceLength(p.sheetHeight);
    if (singleStream && p.inputDocument == InputDocumentBoth && p.combineType == CombineFrontBack &&
        p.previewMode != 1)
        c.ImageMerge = low8(p.combineSite);
    c.DualStackingLength1 = 7200;
    c.DualStackingStack = 1;
    c.DualStackingLength2 = 10800;
    c.IntelligentDocumentProtection = low8(p.documentProtection);
    c.PaperJamResponse = low8(p.paperJamResponse);
    c.PrintOnImagePositionX = 300;
    c.PrintOnImagePositionY = 300;
    c.PrinterFontResize = 100;
    c.AdfSeparation = 0;
    c.AdfActiveFeed = 0;
    c.FlatbedMultiDocLocate = 0;
    c.SleeveMultiDocLocate = 0;
    if (singleStream && p.combineType == CombineOff)
        c.SplitDocumentCount = low8(p.splitDocumentCount);
    c.SplitDocumentLengthMode = low8(p.splitDocumentLengthMode);
    c.SplitDocumentLength1 = deviceLength(p.lengthLeft);
    c.SplitDocumentLength2 = deviceLength(p.lengthRight);
    c.SheetCount = 0;
    c.SnapToSize = flag(p.alignTheSize);

    // A factor that does not fit would reach the device as some other factor.
    const bool fits = magnificationToDevice(p.frontX, c.MagnificationFrontX) &&
                      magnificationToDevice(p.frontY, c.MagnificationFrontY) &&
                      magnificationToDevice(p.rearX, c.MagnificationRearX) &&
                      magnificationToDevice(p.rearY, c.MagnificationRearY);
    if (!fits) {
        qDebug() << "mergeConfig: magnification out of range:" << p.frontX << p.frontY << p.rearX
                 << p.rearY;
        return false;
    }
    return true;
}

int ParserCommand::convertConfig(tagSCANNER_CONFIGRATION &)
{
    qDebug() << "convertConfig";
    return 0;
}

bool ParserCommand::mergeCreateCamera(tagCREATE_CAMERA &cam, const tagSCAN_SHORTCUT_MENU *profile,
                                      InputDocumentFlag side)
{
    cam = tagCREATE_CAMERA();
    if (!profile) {
        qDebug() << "mergeCreateCamera: no profile";
        return false;
    }
    switch (static_cast<int>(side)) {
    case 0:
    case 3:
        cam.CameraID = 2;
        cam.CameraType = 0;
        break;
    case 1:
        cam.CameraID = 3;
        cam.CameraType = 1;
        break;
    default:
        break;
    }
    cam.AutoColorDetect = 0;
    cam.AutoColorAmount = 1;
    cam.AutoColorThreshold = 20;
    cam.Background = 0;
    cam.AutoColorIqnoreBackground = 0;

    // Barcodes and scripts are set once for the whole sheet, from block 0.
    const tagSCAN_SIDE_SETTING &s = profile->sideSettings[0];
    if (flag(s.barcodeReading)) {
        cam.BarcodeEnable = 1;
        cam.BarcodeTypeInterleaved2of5 = flag(s.barcodeTypes[0]);
        cam.BarcodeTypeCode3of9 = flag(s.barcodeTypes[1]);
        cam.BarcodeTypeCodabar = flag(s.barcodeTypes[2]);
        cam.BarcodeTypeCode128 = flag(s.barcodeTypes[3]);
        cam.BarcodeTypeEan13 = flag(s.barcodeTypes[4]);
        cam.BarcodeTypeEan8 = flag(s.barcodeTypes[5]);
        cam.BarcodeTypeUpca = flag(s.barcodeTypes[6]);
        cam.BarcodeTypeUpce = flag(s.barcodeTypes[7]);
        cam.BarcodeTypePdf417 = flag(s.barcodeTypes[8]);
        cam.BarcodeTypeQRCode = flag(s.barcodeTypes[9]);
        cam.BarcodeSearchMode = low8(s.barcodeOrientation);
        cam.BarcodeCount = low8(s.barcodeCount);
        cam.BarcodeSearchArea = low8(s.barcodeSearchArea);
        cam.BarcodeRegionImageOffsetX = deviceLength(s.barcodeArea[0]);
        cam.BarcodeRegionImageOffsetY = deviceLength(s.barcodeArea[1]);
        cam.BarcodeRegionImageWidth = deviceLength(s.barcodeArea[2]);
        cam.BarcodeRegionImageHeight = deviceLength(s.barcodeArea[3]);
    } else {
        cam.BarcodeRegionImageWidth = 1200;
        cam.BarcodeRegionImageHeight = 1200;
    }
    cam.ImageRotateOrthogonalCharSet = quint32(flag(s.characterSets[1])) |
                                       quint32(flag(s.characterSets[0])) << 1 |
                                       quint32(flag(s.characterSets[2])) << 2 |
                                       quint32(flag(s.characterSets[3])) << 3 |
                                       quint32(flag(s.characterSets[4])) << 4;
    return true;
}

bool ParserCommand::mergeWindowAdd(tagWINDOW_ADD &w, const tagSCAN_SHORTCUT_MENU *profile,
                                   InputDocumentFlag side, int index, const tagINQUIRY &inquiry)
{
    w = tagWINDOW_ADD();
    if (!profile || index < 0 || index > 3) {
        qDebug() << "mergeWindowAdd: no window" << index << "for side" << int(side);
        return false;
    }
    const tagSCAN_SHORTCUT_MENU &p = *profile;
    int block = 0;
    switch (static_cast<int>(side)) {
    case InputDocumentFront:
        w.CameraId = 2;
        block = index;
        break;
    case InputDocumentBack:
        w.CameraId = 3;
        block = index;
        break;
    case InputDocumentBoth:
        if (p.sideStream == SideBoth || p.sideStream == SideColorGrayBoth) {
            w.CameraId = index == 0 ? 2 : 3;
        } else {
            w.CameraId = index <= 1 ? 2 : 3;
            block = (index == 1 || index == 3) ? 1 : 0;
        }
        break;
    default:
        qDebug() << "mergeWindowAdd: unknown side" << int(side);
        return false;
    }
    w.WindowId = low8(index);

    // The chosen block decides only the image format, the compression and
    // which colour mode's settings apply; every value comes from block 0,
    // the one the settings forms edit.
    const tagSCAN_SIDE_SETTING &s = p.sideSettings[block];
    const tagSCAN_SIDE_SETTING &s0 = p.sideSettings[0];
    const bool preview = p.previewMode == 1;

    w.ImageFormat = low8(s.colorMode);
    w.CompressionMode = preview ? 0 : low8(s.compressionType);
    w.CompressionJpegQuality = low8(s0.jpegQuality);
    w.DocumentType = low8(s0.documentType);
    w.MediaType = low8(s0.mediaType);
    w.ImageResolutionX = low16(s0.resolution);
    w.ImageResolutionY = low16(s0.resolution);

    const Cropping crop = croppingFor(s0.documentCropping, s0.imageCropping, s0.border, preview);
    w.ImageCroppingMode = crop.mode;
    w.ImageDeskew = crop.deskew;
    w.AddBorder = crop.addBorder;

    if (!preview) {
        w.ImageOffsetX = deviceLength(s0.x);
        w.ImageOffsetY = deviceLength(s0.y);
        w.ImageRotateOrthogonal = low8(s0.postScanRotation);
    }
    if (preview && s0.documentCropping == CroppingManual) {
        w.ImageHeight = kPreviewBedHeight;
        w.ImageWidth = inquiry.AccessoryType == kWideFlatbedAccessory ? kPreviewWideBedWidth
                                                                        : kPreviewBedWidth;
        w.ImageSkewAngle = 3600000u;
    } else {
        w.ImageWidth = deviceLength(s0.width);
        w.ImageHeight = deviceLength(s0.height);
        w.ImageSkewAngle = skewAngle(s0.angle);
    }

    if (s.colorMode == ColorModeColor) {
        w.ColorBalanceMode = low8(s0.colorBalanceMode);
        w.ColorBalanceAutomaticAggressiveness =
            s0.colorBalanceMode == 3 ? deviceScale(s0.colorAggressiveness) : 100;
        w.ColorBalanceRed = deviceScale(s0.red);
        w.ColorBalanceGreen = deviceScale(s0.green);
        w.ColorBalanceBlue = deviceScale(s0.blue);
    } else {
        w.ColorBalanceMode = 0;
        w.ColorBalanceAutomaticAggressiveness = 100;
        w.ColorBalanceRed = w.ColorBalanceGreen = w.ColorBalanceBlue = 100;
    }

    if (s.colorMode == ColorModeBlackWhite) {
        w.WindowType = 0;
        w.ThinThickenAmount = deviceScale(s0.controller);
        w.Contrast = s0.conversionQuality == 2 ? 100 : deviceScale(s0.conversionContrast);
        w.ColorBrightness = 100;
        w.ColorAutoBrightnessMode = 0;
        w.ColorSharpen = 0;
        w.BackgroundAdjustMode = 0;
        w.BackgroundAdjustAggressiveness = 100;
        w.ForegroundBoldnessMode = 0;
        w.ForegroundBoldnessAggressiveness = 100;
        w.FilterImage = low8(s0.filterImage);
        w.FilterNoise = low8(s0.filterNoise);
        w.BinarizationMode = low8(s0.conversionQuality);
        w.BinarizationThreshold = s0.conversionQuality == 3 ? 0 : low8(s0.conversionThreshold);
    } else {
        w.WindowType = 1;
        w.ThinThickenAmount = 100;
        w.Contrast = deviceScale(s0.contrast);
        w.ColorBrightness = deviceScale(s0.brightness);
        w.ColorAutoBrightnessMode = low8(s0.brightnessContrastMode);
        w.ColorSharpen = low8(s0.sharpen);
        w.BackgroundAdjustMode = low8(s0.backgroundSmoothingMode);
        w.BackgroundAdjustAggressiveness = deviceScale(s0.backgroundSmoothing);
        w.ForegroundBoldnessMode = low8(s0.foregroundBoldnessMode);
        w.ForegroundBoldnessAggressiveness = deviceScale(s0.foregroundBoldness);
        w.FilterImage = w.FilterNoise = w.BinarizationMode = w.BinarizationThreshold = 0;
    }

    // Enhancement is one setting for every window of the sheet.
    w.BackgroundAdjustApplyTo = 0;
    w.InvertColor = flag(s0.invertColors);
    w.TextEnhancement = flag(s0.enhance);
    w.HoleFillEnabled = flag(s0.holeFill);
    w.BarcodeEnhancement = flag(s0.barcodeEnhancement);
    w.EdgeFill = low8(s0.edgeFillColor);
    w.EdgeFillTop = deviceLength(s0.edgeTop);
    w.EdgeFillBottom = deviceLength(s0.edgeBottom);
    w.EdgeFillLeft = deviceLength(s0.edgeLeft);
    w.EdgeFillRight = deviceLength(s0.edgeRight);
    if (flag(s0.streakFilter)) {
        w.StreakRemoval = 1;
        w.StreakRemovalAggressiveness = deviceScale(s0.streakFilterAggressiveness);
    } else {
        w.StreakRemoval = 0;
        w.StreakRemovalAggressiveness = 100;
    }

    w.EcdoTreatAsColor = 1;
    if (s.colorMode == ColorModeColor) {
        w.Ecdo = 255;
        w.EcdoAggressiveness = 100;
    } else {
        w.Ecdo = low8(s0.colorDropout);
        const bool tuned = s0.colorDropout == 0x81 || s.colorDropout == 0x80;
        w.EcdoAggressiveness = tuned ? deviceScale(s0.colorDropoutAggressiveness) : 100;
    }

    if (s0.blankImageDeletion == 1) {
        w.BlankImageMode = 1;
        w.BlankImageContent = low8(s0.contentAmount);
    }

    w.ColorOutputRomm = 0;
    w.PatchToggleState = 0;
    w.EcdoIncludeNonDropped = 0;
    w.FontID = p.stampConfig.textStampOn == 1 ? 0 : 255;
    return true;
}

QVector<tagCREATE_CAMERA> ParserCommand::mergeCameras(const tagSCAN_SHORTCUT_MENU *profile)
{
    QVector<tagCREATE_CAMERA> cameras;
    if (!profile)
        return cameras;
    const QVector<InputDocumentFlag> sides =
        profile->inputDocument == InputDocumentBoth
            ? QVector<InputDocumentFlag>{InputDocumentFront, InputDocumentBack}
            : QVector<InputDocumentFlag>{profile->inputDocument};
    for (const InputDocumentFlag side : sides) {
        tagCREATE_CAMERA camera;
        mergeCreateCamera(camera, profile, side);
        cameras.append(camera);
    }
    return cameras;
}

QVector<tagWINDOW_ADD> ParserCommand::mergeWindows(const tagSCAN_SHORTCUT_MENU *profile,
                                                   const tagINQUIRY &inquiry)
{
    QVector<tagWINDOW_ADD> windows;
    if (!profile)
        return windows;
    const int side = profile->inputDocument;
    const int stream = profile->sideStream;
    int count = 0;
    switch (side) {
    case InputDocumentFront:
        count = (stream == SideFront || stream == SideColorGrayFront) ? 1 : 2;
        break;
    case InputDocumentBack:
        count = (stream == SideBack || stream == SideColorGrayBack) ? 1 : 2;
        break;
    case InputDocumentBoth:
        count = (stream == SideBoth || stream == SideColorGrayBoth) ? 2 : 4;
        break;
    default:
        qDebug() << "windowAdd error" << side;
        return windows;
    }
    for (int index = 0; index < count; ++index) {
        tagWINDOW_ADD window;
        mergeWindowAdd(window, profile, profile->inputDocument, index, inquiry);
        windows.append(window);
    }
    return windows;
}

bool ParserCommand::mergeLowPowerOffTimeOutConfig(tagLOW_POWER_MODE_TIMEOUT &t,
                                                  const tagSCAN_SHORTCUT_MENU *profile)
{
    t = tagLOW_POWER_MODE_TIMEOUT();
    if (!profile) {
        qDebug() << "mergeLowPowerOffTimeOutConfig: no profile";
        return false;
    }
    t.PowerSaver = low8(profile->powerSaver);
    t.PowerOff = low8(profile->powerOff);
    t.PowerOffEnabled = flag(profile->powerOffEnabled);
    return true;
}

bool ParserCommand::mergeMagnificationConfig(tagSCANNER_CONFIGRATION &config,
                                             const tagMAGNIFICATION &factors)
{
    quint16 fx = 0, fy = 0, rx = 0, ry = 0;
    if (!magnificationToDevice(factors.frontX, fx) || !magnificationToDevice(factors.frontY, fy) ||
        !magnificationToDevice(factors.rearX, rx) || !magnificationToDevice(factors.rearY, ry)) {
        qDebug() << "mergeMagnificationConfig: magnification out of range:" << factors.frontX
                 << factors.frontY << factors.rearX << factors.rearY;
        return false;
    }
    config.MagnificationFrontX = fx;
    config.MagnificationFrontY = fy;
    config.MagnificationRearX = rx;
    config.MagnificationRearY = ry;
    return true;
}

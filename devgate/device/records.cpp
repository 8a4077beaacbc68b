#include "records.h"

#include "recordfields.h"

using namespace recordfields;

namespace {

template <class V, class R>
void inquiryFields(V &v, R &r)
{
    v.field(0, r.VersionInterface, "VersionInterface: ");
    v.field(2, r.FirmwareVersion, "FirmwareVersion[10]: ");
    v.field(12, r.SerialNumber, "SerialNumber[16]: ");
    v.field(28, r.LogTotalBytes, "LogTotalBytes: ");
    v.field(33, r.AutoColorSupported, "AutoColorSupported: ");
    v.field(34, r.BackgroundAdjustSupported, "BackgroundAdjustSupported(0-1): ");
    v.field(44, r.EcdoCustomTotalBytes, "EcdoCustomTotalBytes: ");
    v.field(57, r.MultifeedLengthMin, "MultifeedLengthMin: ");
    v.field(61, r.MultifeedLengthMax, "MultifeedLengthMax: ");
    v.field(67, r.PaperSourceState, "PaperSourceState: ");
    v.field(74, r.PrinterPositionMin, "PrinterPositionMin: ");
    v.field(78, r.PrinterPositionMax, "PrinterPositionMax: ");
    v.field(82, r.ResolutionXOptical, "ResolutionXOptical: ");
    v.field(85, r.SheetHeightMin, "SheetHeightMin: ");
    v.field(89, r.SheetHeightMax, "SheetHeightMax: ");
    v.field(93, r.SheetHeightDefault, "SheetHeightDefault: ");
    v.field(97, r.SheetWidthMin, "SheetWidthMin: ");
    v.field(101, r.SheetWidthMax, "SheetWidthMax: ");
    v.field(110, r.DualStackingLengthDefault, "DualStackingLengthDefault: ");
    v.field(114, r.DualStackingLength1Min, "DualStackingLength1Min: ");
    v.field(118, r.DualStackingLength1Max, "DualStackingLength1Max: ");
    v.field(123, r.DualStackingLength2Min, "DualStackingLength2Min: ");
    v.field(127, r.DualStackingLength2Max, "DualStackingLength2Max: ");
    v.field(137, r.OcpGraphicHeightMax, "OcpGraphicHeightMax: ");
    v.field(141, r.OcpGraphicWidthMax, "OcpGraphicWidthMax: ");
    v.field(165, r.PrinterIndexResetValueMin, "PrinterIndexResetValueMin: ");
    v.field(169, r.PrinterIndexResetValueMax, "PrinterIndexResetValueMax: ");
    v.field(174, r.PrintOnImagePositionXMin, "PrintOnImagePositionXMin: ");
    v.field(178, r.PrintOnImagePositionXMax, "PrintOnImagePositionXMax: ");
    v.field(182, r.PrintOnImagePositionYMin, "PrintOnImagePositionYMin: ");
    v.field(186, r.PrintOnImagePositionYMax, "PrintOnImagePositionYMax: ");
    v.field(200, r.PromptToStart, "PromptToStart: ");
    v.field(220, r.AccessoryType, "AccessoryType: ");
    v.field(226, r.SplitDocumentLengthMin, "SplitDocumentLengthMin: ");
    v.field(230, r.SplitDocumentLengthMax, "SplitDocumentLengthMax: ");
}

template <class V, class R>
void createCameraFields(V &v, R &r)
{
    v.field(0, r.CameraID, "CameraID (0-254): ");
    v.field(1, r.CameraType, "CameraType (0-1): ");
    v.field(2, r.AutoColorDetect, "AutoColorDetect (0-2): ");
    v.field(3, r.AutoColorAmount, "AutoColorAmount (1-200): ");
    v.field(4, r.AutoColorThreshold, "AutoColorThreshold (0-100): ");
    v.field(5, r.Background, "Background (0-1): ");
    v.field(6, r.BarcodeEnable, "BarcodeEnable (0-1): ");
    v.field(7, r.BarcodeTypeCodabar, "BarcodeTypeCodabar (0-1): ");
    v.field(8, r.BarcodeTypeCode128, "BarcodeTypeCode128 (0-1): ");
    v.field(9, r.BarcodeTypeCode3of9, "BarcodeTypeCode3of9 (0-1): ");
    v.field(10, r.BarcodeTypeEan13, "BarcodeTypeEan13 (0-1): ");
    v.field(11, r.BarcodeTypeEan8, "BarcodeTypeEan8 (0-1): ");
    v.field(12, r.BarcodeTypeInterleaved2of5, "BarcodeTypeInterleaved2of5 (0-1): ");
    v.field(13, r.BarcodeTypeUpca, "BarcodeTypeUpca (0-1): ");
    v.field(14, r.BarcodeTypeUpce, "BarcodeTypeUpce (0-1): ");
    v.field(15, r.BarcodeTypePdf417, "BarcodeTypePdf417 (0-1): ");
    v.field(16, r.BarcodeTypeQRCode, "BarcodeTypeQRCode (0-1): ");
    v.field(17, r.BarcodeSearchMode, "BarcodeSearchMode (0-2): ");
    v.field(18, r.BarcodeCount, "BarcodeCount (1-16): ");
    v.field(19, r.BarcodeSearchArea, "BarcodeSearchArea (0-1): ");
    v.field(20, r.BarcodeRegionImageOffsetX, "BarcodeRegionImageOffsetX (1/1200 inch): ");
    v.field(24, r.BarcodeRegionImageOffsetY, "BarcodeRegionImageOffsetY (1/1200 inch): ");
    v.field(28, r.BarcodeRegionImageWidth, "BarcodeRegionImageWidth (1/1200 inch): ");
    v.field(32, r.BarcodeRegionImageHeight, "BarcodeRegionImageHeight (1/1200 inch): ");
    v.field(36, r.AutoColorIqnoreBackground, "AutoColorIqnoreBackground (0-1): ");
    v.field(37, r.ImageRotateOrthogonalCharSet, "ImageRotateOrthogonalCharSet: ");
}

template <class V, class R>
void windowAddFields(V &v, R &r)
{
    v.field(0, r.WindowId, "WindowId (0-250, 251-254): ");
    v.field(1, r.WindowType, "WindowType (0-1): ");
    v.field(2, r.CameraId, "CameraId (0-250, 251-254): ");
    v.field(3, r.ImageFormat, "ImageFormat (0-2): ");
    v.field(4, r.ImageResolutionX, "ImageResolutionX (75-1200): ");
    v.field(6, r.ImageResolutionY, "ImageResolutionY (75-1200): ");
    v.field(8, r.ImageOffsetX, "ImageOffsetX (0-1.66 inch): ");
    v.field(12, r.ImageOffsetY, "ImageOffsetY (0-4.16 inch): ");
    v.field(16, r.ImageWidth, "ImageWidth (0-8.6 inch): ");
    v.field(20, r.ImageHeight, "ImageHeight (0-14 inch): ");
    v.field(24, r.ImageCroppingMode, "ImageCroppingMode (0-7): ");
    v.field(25, r.AddBorder, "AddBorder (0-1): ");
    v.field(26, r.BackgroundAdjustAggressiveness, "BackgroundAdjustAggressiveness (90-110): ");
    v.field(27, r.BackgroundAdjustApplyTo, "BackgroundAdjustApplyTo (0-2): ");
    v.field(28, r.BackgroundAdjustMode, "BackgroundAdjustMode (0-3): ");
    v.field(29, r.BinarizationMode, "BinarizationMode (0-5): ");
    v.field(30, r.BinarizationThreshold, "BinarizationThreshold (0-255): ");
    v.field(31, r.Contrast, "Contrast (50-150): ");
    v.field(32, r.ColorBalanceBlue, "ColorBalanceBlue (50-150): ");
    v.field(33, r.ColorBalanceGreen, "ColorBalanceGreen (50-150): ");
    v.field(34, r.ColorBalanceRed, "ColorBalanceRed (50-150): ");
    v.field(35, r.ColorBrightness, "ColorBrightness (50-150): ");
    v.field(36, r.CompressionMode, "CompressionMode (0-3): ");
    v.field(37, r.CompressionJpegQuality, "CompressionJpegQuality (0-4): ");
    v.field(38, r.DocumentType, "DocumentType (0-3): ");
    v.field(39, r.Ecdo, "Ecdo (0-FFh): ");
    v.field(40, r.EcdoTreatAsColor, "EcdoTreatAsColor (0-1): ");
    v.field(41, r.EcdoAggressiveness, "EcdoAggressiveness (90-110): ");
    v.field(42, r.EdgeFill, "EdgeFill (0-4): ");
    v.field(43, r.EdgeFillLeft, "EdgeFillLeft (1/1200 inch): ");
    v.field(47, r.EdgeFillRight, "EdgeFillRight (1/1200 inch): ");
    v.field(51, r.EdgeFillTop, "EdgeFillTop (1/1200 inch): ");
    v.field(55, r.EdgeFillBottom, "EdgeFillBottom (1/1200 inch): ");
    v.field(59, r.FilterImage, "FilterImage (0-1): ");
    v.field(60, r.FilterNoise, "FilterNoise (0-3): ");
    v.field(61, r.ColorOutputRomm, "ColorOutputRomm (0-1): ");
    v.field(62, r.ImageRotateOrthogonal, "ImageRotateOrthogonal (0-7): ");
    v.field(63, r.ImageDeskew, "ImageDeskew (0-1): ");
    v.field(64, r.InvertColor, "InvertColor (0-1): ");
    v.field(65, r.MediaType, "MediaType (0-4): ");
    v.field(66, r.PatchToggleState, "PatchToggleState (0-2): ");
    v.field(67, r.BlankImageMode, "BlankImageMode (0-1): ");
    v.field(68, r.BlankImageContent, "BlankImageContent (0-100): ");
    v.field(69, r.ImageSkewAngle, "ImageSkewAngle (0-7200000): ");
    v.field(73, r.StreakRemoval, "StreakRemoval (0-1): ");
    v.field(74, r.StreakRemovalAggressiveness, "StreakRemovalAggressiveness (98-102): ");
    v.field(75, r.ColorSharpen, "ColorSharpen (0-3): ");
    v.field(76, r.HoleFillEnabled, "HoleFillEnabled (0-1): ");
    v.field(77, r.ColorAutoBrightnessMode, "ColorAutoBrightnessMode (0-2): ");
    v.field(78, r.ColorBalanceMode, "ColorBalanceMode (0-3): ");
    v.field(79, r.ColorBalanceAutomaticAggressiveness,
            "ColorBalanceAutomaticAggressiveness (98-102): ");
    v.field(80, r.ForegroundBoldnessMode, "ForegroundBoldnessMode (0-2): ");
    v.field(81, r.ForegroundBoldnessAggressiveness, "ForegroundBoldnessAggressiveness (90-110): ");
    v.field(82, r.ThinThickenAmount, "ThinThickenAmount: ");
    v.field(83, r.TextEnhancement, "TextEnhancement (0-1): ");
    v.field(84, r.BarcodeEnhancement, "BarcodeEnhancement (0-1): ");
    v.field(85, r.EcdoIncludeNonDropped, "EcdoIncludeNonDropped (0-1): ");
    v.field(86, r.FontID, "FontID (0-15, 255): ");
}

// The trace has always labelled all four slots "WindowId1"; the lines keep
// their order, so the slot is still plain from the position.
template <class V, class R>
void windowOrderFields(V &v, R &r)
{
    v.field(0, r.WindowId[0], "WindowId1: ");
    v.field(1, r.WindowId[1], "WindowId1: ");
    v.field(2, r.WindowId[2], "WindowId1: ");
    v.field(3, r.WindowId[3], "WindowId1: ");
}

template <class V, class R>
void requestHeaderFields(V &v, R &r)
{
    v.field(0, r.CameraId, "CameraId (0-254): ");
    v.field(1, r.CameraType, "CameraType (0-1): ");
    v.field(2, r.WindowId, "WindowId: ");
    v.field(3, r.ImageType, "ImageType (0-6, 10-15, 128): ");
    v.field(4, r.ImageSize, "ImageSize: ");
    v.field(8, r.ImageFormat, "ImageFormat (0-2): ");
    v.field(9, r.ImageResolutionX, "ImageResolutionX (75-1200): ");
    v.field(11, r.ImageResolutionY, "ImageResolutionY (75-1200): ");
    v.field(13, r.ImageOffsetX, "ImageOffsetX (1/1200 inch): ");
    v.field(17, r.ImageOffsetY, "ImageOffsetY (1/1200 inch): ");
    v.field(21, r.ImageWidth, "ImageWidth (1/1200 inch): ");
    v.field(25, r.ImageHeight, "ImageHeight (1/1200 inch): ");
    v.field(29, r.ImageChunkNumber, "ImageChunkNumber (1-65535): ");
    v.field(31, r.ImageChunkLast, "ImageChunkLast (0-1): ");
    v.field(32, r.Multifeed, "Multifeed (0-1): ");
    v.field(33, r.PatchDetected, "PatchDetected (0-1): ");
    v.field(34, r.PrintedString, "PrintedString[80] : ");
    v.field(114, r.PrinterIndex, "PrinterIndex: ");
    v.field(118, r.IAScanner, "IAScanner[60]: ");
    v.field(178, r.IALevel, "IALevel (0-3): ");
    v.field(179, r.CompressionMode, "CompressionMode (0-3): ");
    v.field(180, r.AutoColorDetected, "AutoColorDetected (0-1): ");
    v.field(181, r.AutoColorAmount, "AutoColorAmount (1-200): ");
    v.field(182, r.AutoColorThreshold, "AutoColorThreshold (0-100): ");
    v.field(183, r.DropoutStatus, "DropoutStatus (0-255): ");
    v.field(184, r.InvertColor, "InvertColor (0-1): ");
    v.field(185, r.DeskewStatus, "DeskewStatus (0-2): ");
    v.field(186, r.ImageSkewAngle, "ImageSkewAngle (0-7200000): ");
    v.field(190, r.BlankImageMode, "BlankImageMode (0-1): ");
    v.field(191, r.BlankImageContent, "BlankImageContent (0-100): ");
    v.field(192, r.BinarizationQuality, "BinarizationQuality (0-1): ");
    v.field(193, r.Reserved, "Reserved: ");
    v.field(197, r.ImageMerged, "ImageMerged (0-1): ");
    v.field(198, r.EndOfSheet, "EndOfSheet (0-1): ");
    v.field(199, r.DualStackingStack, "DualStackingStack (1, 2): ");
    v.field(200, r.BarcodesFound, "BarcodesFound (0-16): ");
    v.field(201, r.IndexingDocument, "IndexingDocument (0-999999999): ");
    v.field(205, r.IndexingSheet, "IndexingSheet (0-999999999): ");
    v.field(209, r.PaperDestination, "PaperDestination (0-3): ");
    v.field(210, r.SleeveType, "SleeveType (0-1): ");
    v.field(211, r.MultiImageIndex, "MultiImageIndex: ");
    v.field(212, r.MultiImageTotal, "MultiImageTotal: ");
    v.field(213, r.StampedString, "StampedString: ");
    v.field(457, r.StampCount, "StampCount (0-999999999): ");
}

// Generic lambdas so one field list serves the const (encode, dump) and the
// mutable (decode) record alike.
const auto kInquiry = [](auto &v, auto &r) { inquiryFields(v, r); };
const auto kCreateCamera = [](auto &v, auto &r) { createCameraFields(v, r); };
const auto kWindowAdd = [](auto &v, auto &r) { windowAddFields(v, r); };
const auto kWindowOrder = [](auto &v, auto &r) { windowOrderFields(v, r); };
const auto kRequestHeader = [](auto &v, auto &r) { requestHeaderFields(v, r); };

} // namespace

void encodeInquiry(const tagINQUIRY &rec, QByteArray &out)
{
    encodeWith<tagINQUIRY::WireSize>(rec, out, kInquiry);
}

bool decodeInquiry(const QByteArray &in, tagINQUIRY &rec)
{
    return decodeWith<tagINQUIRY::WireSize>(in, rec, kInquiry);
}

void encodeCreateCamera(const tagCREATE_CAMERA &rec, QByteArray &out)
{
    encodeWith<tagCREATE_CAMERA::WireSize>(rec, out, kCreateCamera);
}

bool decodeCreateCamera(const QByteArray &in, tagCREATE_CAMERA &rec)
{
    return decodeWith<tagCREATE_CAMERA::WireSize>(in, rec, kCreateCamera);
}

void encodeWindowAdd(const tagWINDOW_ADD &rec, QByteArray &out)
{
    encodeWith<tagWINDOW_ADD::WireSize>(rec, out, kWindowAdd);
}

bool decodeWindowAdd(const QByteArray &in, tagWINDOW_ADD &rec)
{
    return decodeWith<tagWINDOW_ADD::WireSize>(in, rec, kWindowAdd);
}

void encodeWindowOrder(const tagWINDOW_ORDER &rec, QByteArray &out)
{
    encodeWith<tagWINDOW_ORDER::WireSize>(rec, out, kWindowOrder);
}

bool decodeWindowOrder(const QByteArray &in, tagWINDOW_ORDER &rec)
{
    return decodeWith<tagWINDOW_ORDER::WireSize>(in, rec, kWindowOrder);
}

void encodeRequestHeader(const tagREQUEST_HEADER &rec, QByteArray &out)
{
    encodeWith<tagREQUEST_HEADER::WireSize>(rec, out, kRequestHeader);
}

bool decodeRequestHeader(const QByteArray &in, tagREQUEST_HEADER &rec)
{
    return decodeWith<tagREQUEST_HEADER::WireSize>(in, rec, kRequestHeader);
}

WindowOrderPlan planWindowOrder(int inputDocument, int sideStream, int preview)
{
    const quint8 unused = tagWINDOW_ORDER::Unused;
    WindowOrderPlan plan;
    plan.bothSides = inputDocument == 2;
    std::array<quint8, 4> &id = plan.order.WindowId;
    id = {{0, unused, unused, unused}};
    if (plan.bothSides) {
        plan.imagesPerSheet = 2;
        if (sideStream == 0 || sideStream == 6) {
            id[1] = 1;
            plan.windowMode = sideStream == 0 ? 0 : 1;
        } else {
            id[1] = 1;
            id[2] = 2;
            id[3] = 3;
            plan.windowMode = 2;
            plan.imagesPerSheet = preview ? 2 : 4;
        }
    } else {
        plan.imagesPerSheet = 1;
        if (sideStream == 1 || sideStream == 2) {
            plan.windowMode = 0;
        } else if (sideStream == 9 || sideStream == 12) {
            plan.windowMode = 1;
        } else {
            id[1] = 1;
            plan.windowMode = 2;
            plan.imagesPerSheet = preview ? 1 : 2;
        }
    }
    return plan;
}

QString formatInquiry(const tagINQUIRY &rec) { return dumpWith(rec, kInquiry); }
QString formatCreateCamera(const tagCREATE_CAMERA &rec) { return dumpWith(rec, kCreateCamera); }
QString formatWindowAdd(const tagWINDOW_ADD &rec) { return dumpWith(rec, kWindowAdd); }
QString formatSetWindowOrder(const tagWINDOW_ORDER &rec) { return dumpWith(rec, kWindowOrder); }
QString formatRequestHeader(const tagREQUEST_HEADER &rec) { return dumpWith(rec, kRequestHeader); }

void outputInquiry(const tagINQUIRY &rec)
{
    if (traceEnabled())
        traceText(formatInquiry(rec));
}

void outputCreateCamera(const tagCREATE_CAMERA &rec)
{
    if (traceEnabled())
        traceText(formatCreateCamera(rec));
}

void outputWindowAdd(const tagWINDOW_ADD &rec)
{
    if (traceEnabled())
        traceText(formatWindowAdd(rec));
}

void outputSetWindowOrder(const tagWINDOW_ORDER &rec)
{
    if (traceEnabled())
        traceText(formatSetWindowOrder(rec));
}

void outputRequestHeader(const tagREQUEST_HEADER &rec)
{
    if (traceEnabled())
        traceText(formatRequestHeader(rec));
}

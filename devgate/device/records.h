#ifndef RECORDS_H
#define RECORDS_H

// Device records of the scan pipeline in host form, and their wire codecs.
//
// The structs hold plain host values; nothing here is ever laid onto the
// wire. encode...() builds the exact packed big-endian bytes, decode...()
// reads them back from the first bytes of a reply (shorter input fails and
// leaves the record untouched). Reserved bytes are written as zero and
// ignored on reading.

#include "recordtext.h"

#include <array>

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// What the scanner is and can do (command 0x10, device to host).
struct tagINQUIRY
{
    static constexpr int WireSize = 257;

    quint16 VersionInterface = 0;           // 0
    Latin1Text<10> FirmwareVersion;         // 2
    Latin1Text<16> SerialNumber;            // 12
    quint32 LogTotalBytes = 0;              // 28
    quint8 AutoColorSupported = 0;          // 33
    quint8 BackgroundAdjustSupported = 0;   // 34
    quint32 EcdoCustomTotalBytes = 0;       // 44
    quint32 MultifeedLengthMin = 0;         // 57
    quint32 MultifeedLengthMax = 0;         // 61
    quint8 PaperSourceState = 0;            // 67: 1 no flatbed, 5 may fall back to it
    quint32 PrinterPositionMin = 0;         // 74
    quint32 PrinterPositionMax = 0;         // 78
    quint16 ResolutionXOptical = 0;         // 82
    quint32 SheetHeightMin = 0;             // 85
    quint32 SheetHeightMax = 0;             // 89
    quint32 SheetHeightDefault = 0;         // 93
    quint32 SheetWidthMin = 0;              // 97
    quint32 SheetWidthMax = 0;              // 101
    quint32 DualStackingLengthDefault = 0;  // 110
    quint32 DualStackingLength1Min = 0;     // 114
    quint32 DualStackingLength1Max = 0;     // 118
    quint32 DualStackingLength2Min = 0;     // 123
    quint32 DualStackingLength2Max = 0;     // 127
    quint32 OcpGraphicHeightMax = 0;        // 137
    quint32 OcpGraphicWidthMax = 0;         // 141
    quint32 PrinterIndexResetValueMin = 0;  // 165
    quint32 PrinterIndexResetValueMax = 0;  // 169
    quint32 PrintOnImagePositionXMin = 0;   // 174
    quint32 PrintOnImagePositionXMax = 0;   // 178
    quint32 PrintOnImagePositionYMin = 0;   // 182
    quint32 PrintOnImagePositionYMax = 0;   // 186
    quint8 PromptToStart = 0;               // 200: 1 the device waits for paper itself
    quint8 AccessoryType = 0;               // 220: 2 or 3 flatbed model, else none
    quint32 SplitDocumentLengthMin = 0;     // 226
    quint32 SplitDocumentLengthMax = 0;     // 230
};

// Image pipeline of one side (command 0x21, host to device).
struct tagCREATE_CAMERA
{
    static constexpr int WireSize = 41;

    quint8 CameraID = 0;  // 2 front, 3 back
    quint8 CameraType = 0;  // 0 front, 1 back
    quint8 AutoColorDetect = 0;
    quint8 AutoColorAmount = 0;
    quint8 AutoColorThreshold = 0;
    quint8 Background = 0;
    quint8 BarcodeEnable = 0;
    quint8 BarcodeTypeCodabar = 0;
    quint8 BarcodeTypeCode128 = 0;
    quint8 BarcodeTypeCode3of9 = 0;
    quint8 BarcodeTypeEan13 = 0;
    quint8 BarcodeTypeEan8 = 0;
    quint8 BarcodeTypeInterleaved2of5 = 0;
    quint8 BarcodeTypeUpca = 0;
    quint8 BarcodeTypeUpce = 0;
    quint8 BarcodeTypePdf417 = 0;
    quint8 BarcodeTypeQRCode = 0;
    quint8 BarcodeSearchMode = 0;
    quint8 BarcodeCount = 0;
    quint8 BarcodeSearchArea = 0;
    quint32 BarcodeRegionImageOffsetX = 0;  // 1/1200 inch
    quint32 BarcodeRegionImageOffsetY = 0;
    quint32 BarcodeRegionImageWidth = 0;
    quint32 BarcodeRegionImageHeight = 0;
    quint8 AutoColorIqnoreBackground = 0;
    quint32 ImageRotateOrthogonalCharSet = 0;  // bit set of scripts for orientation
};

// One output window of a camera (command 0x22, host to device).
struct tagWINDOW_ADD
{
    static constexpr int WireSize = 87;

    quint8 WindowId = 0;
    quint8 WindowType = 0;   // 0 black-and-white, 1 grey or colour
    quint8 CameraId = 0;
    quint8 ImageFormat = 0;  // 0 black-and-white, 1 grey, 2 colour
    quint16 ImageResolutionX = 0;
    quint16 ImageResolutionY = 0;
    quint32 ImageOffsetX = 0;  // 1/1200 inch
    quint32 ImageOffsetY = 0;
    quint32 ImageWidth = 0;
    quint32 ImageHeight = 0;
    quint8 ImageCroppingMode = 0;
    quint8 AddBorder = 0;
    quint8 BackgroundAdjustAggressiveness = 0;
    quint8 BackgroundAdjustApplyTo = 0;
    quint8 BackgroundAdjustMode = 0;
    quint8 BinarizationMode = 0;
    quint8 BinarizationThreshold = 0;
    quint8 Contrast = 0;
    quint8 ColorBalanceBlue = 0;
    quint8 ColorBalanceGreen = 0;
    quint8 ColorBalanceRed = 0;
    quint8 ColorBrightness = 0;
    quint8 CompressionMode = 0;
    quint8 CompressionJpegQuality = 0;
    quint8 DocumentType = 0;
    quint8 Ecdo = 0;
    quint8 EcdoTreatAsColor = 0;
    quint8 EcdoAggressiveness = 0;
    quint8 EdgeFill = 0;
    quint32 EdgeFillLeft = 0;  // 1/1200 inch
    quint32 EdgeFillRight = 0;
    quint32 EdgeFillTop = 0;
    quint32 EdgeFillBottom = 0;
    quint8 FilterImage = 0;
    quint8 FilterNoise = 0;
    quint8 ColorOutputRomm = 0;
    quint8 ImageRotateOrthogonal = 0;
    quint8 ImageDeskew = 0;
    quint8 InvertColor = 0;
    quint8 MediaType = 0;
    quint8 PatchToggleState = 0;
    quint8 BlankImageMode = 0;
    quint8 BlankImageContent = 0;
    quint32 ImageSkewAngle = 0;  // 3600000 is no rotation
    quint8 StreakRemoval = 0;
    quint8 StreakRemovalAggressiveness = 0;
    quint8 ColorSharpen = 0;
    quint8 HoleFillEnabled = 0;
    quint8 ColorAutoBrightnessMode = 0;
    quint8 ColorBalanceMode = 0;
    quint8 ColorBalanceAutomaticAggressiveness = 0;
    quint8 ForegroundBoldnessMode = 0;
    quint8 ForegroundBoldnessAggressiveness = 0;
    quint8 ThinThickenAmount = 0;
    quint8 TextEnhancement = 0;
    quint8 BarcodeEnhancement = 0;
    quint8 EcdoIncludeNonDropped = 0;
    quint8 FontID = 0;  // 255: no imprinter font
};

// Delivery order of the windows of one sheet (command 0x23, host to device).
struct tagWINDOW_ORDER
{
    static constexpr int WireSize = 4;
    static constexpr quint8 Unused = 0xFF;

    std::array<quint8, 4> WindowId{{0, Unused, Unused, Unused}};
};

// Header that precedes each delivered image (command 0x31, device to host).
struct tagREQUEST_HEADER
{
    static constexpr int WireSize = 461;

    quint8 CameraId = 0;
    quint8 CameraType = 0;
    quint8 WindowId = 0;
    quint8 ImageType = 0;
    quint32 ImageSize = 0;  // bytes of image data that follow
    quint8 ImageFormat = 0;
    quint16 ImageResolutionX = 0;
    quint16 ImageResolutionY = 0;
    quint32 ImageOffsetX = 0;  // 1/1200 inch
    quint32 ImageOffsetY = 0;
    quint32 ImageWidth = 0;
    quint32 ImageHeight = 0;
    quint16 ImageChunkNumber = 0;
    quint8 ImageChunkLast = 0;
    quint8 Multifeed = 0;
    quint8 PatchDetected = 0;
    Utf16Text<40> PrintedString;
    quint32 PrinterIndex = 0;
    Utf16Text<30> IAScanner;
    quint8 IALevel = 0;
    quint8 CompressionMode = 0;
    quint8 AutoColorDetected = 0;
    quint8 AutoColorAmount = 0;
    quint8 AutoColorThreshold = 0;
    quint8 DropoutStatus = 0;
    quint8 InvertColor = 0;
    quint8 DeskewStatus = 0;
    quint32 ImageSkewAngle = 0;
    quint8 BlankImageMode = 0;
    quint8 BlankImageContent = 0;
    quint8 BinarizationQuality = 0;
    quint32 Reserved = 0;
    quint8 ImageMerged = 0;
    quint8 EndOfSheet = 0;
    quint8 DualStackingStack = 0;
    quint8 BarcodesFound = 0;
    quint32 IndexingDocument = 0;
    quint32 IndexingSheet = 0;
    quint8 PaperDestination = 0;
    quint8 SleeveType = 0;
    quint8 MultiImageIndex = 0;
    quint8 MultiImageTotal = 0;
    Latin1Text<244> StampedString;
    quint32 StampCount = 0;
};

void encodeInquiry(const tagINQUIRY &rec, QByteArray &out);
bool decodeInquiry(const QByteArray &in, tagINQUIRY &rec);
void encodeCreateCamera(const tagCREATE_CAMERA &rec, QByteArray &out);
bool decodeCreateCamera(const QByteArray &in, tagCREATE_CAMERA &rec);
void encodeWindowAdd(const tagWINDOW_ADD &rec, QByteArray &out);
bool decodeWindowAdd(const QByteArray &in, tagWINDOW_ADD &rec);
void encodeWindowOrder(const tagWINDOW_ORDER &rec, QByteArray &out);
bool decodeWindowOrder(const QByteArray &in, tagWINDOW_ORDER &rec);
void encodeRequestHeader(const tagREQUEST_HEADER &rec, QByteArray &out);
bool decodeRequestHeader(const QByteArray &in, tagREQUEST_HEADER &rec);

// The window order for a scan, with what it implies for the sheet counting
// of the command object: inputDocument 0 front, 1 back, 2 both sides;
// sideStream the profile's side and stream choice; preview non-zero while a
// preview scan runs.
struct WindowOrderPlan
{
    tagWINDOW_ORDER order;
    int windowMode = 0;     // 0, 1 or 2
    int imagesPerSheet = 0;  // to add to the command object's count
    bool bothSides = false;
};
WindowOrderPlan planWindowOrder(int inputDocument, int sideStream, int preview);

// Field-by-field trace dumps: format...() gives the text (one line per field,
// in record order, values in decimal, texts as text); output...() writes it
// as one debug message when tracing is switched on.
QString formatInquiry(const tagINQUIRY &rec);
QString formatCreateCamera(const tagCREATE_CAMERA &rec);
QString formatWindowAdd(const tagWINDOW_ADD &rec);
QString formatSetWindowOrder(const tagWINDOW_ORDER &rec);
QString formatRequestHeader(const tagREQUEST_HEADER &rec);
void outputInquiry(const tagINQUIRY &rec);
void outputCreateCamera(const tagCREATE_CAMERA &rec);
void outputWindowAdd(const tagWINDOW_ADD &rec);
void outputSetWindowOrder(const tagWINDOW_ORDER &rec);
void outputRequestHeader(const tagREQUEST_HEADER &rec);

#endif

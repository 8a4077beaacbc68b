#ifndef SCANSHORTCUT_H
#define SCANSHORTCUT_H

// The scan profile record. The 4456 bytes of tagSCAN_SHORTCUT_MENU are a file
// format (one raw record per profile file, and the launcher's per-task device
// file), so every size and offset below is pinned with a static_assert. All
// multi-byte values are little-endian host values; padding and reserved bytes
// are explicit members so that a zeroed record is a well-defined record.

#include "commonfunc.h"
#include "scanflags.h"

#include <QByteArray>
#include <QChar>
#include <QMetaType>
#include <QString>

#include <cstddef>
#include <type_traits>

// Imprinter configuration in host form (346 bytes, packed). Texts are UTF-16
// in host order, colours are red << 24 | green << 16 | blue << 8, the border
// thickness is in thousandths of an inch, the origin in hundredths of an inch.
// The device link converts this into the big-endian wire record.
struct __attribute__((packed)) tagSTAMP_CONFIG
{
    quint8 textStampOn;          // 1 on, 0 off
    quint8 textSize;             // font size in pixels
    quint32 textColor;
    char textTemplate[40];       // item codes: 'Y' 'T' 'S' '1'..'6' 'N' ' ' 'Z'
    char16_t dateText[10];       // yyyy/MM/dd, all zero when unused
    quint8 dateDelimiter;
    quint8 dateFormat;
    char16_t timeText[5];        // HH:mm
    quint8 timeFormat;
    quint8 counterWidth;         // digits, 1 to 9
    quint8 counterLeadingZero;   // 0 spaces, 1 not shown, 2 zeros
    char16_t messages[6][20];
    quint8 graphicStampOn;
    quint8 graphicAlignment;
    quint8 borderOn;
    quint32 borderColor;
    quint16 borderThickness;     // thousandths of an inch
    quint8 opacity;              // 0 to 100
    quint8 stampSide;
    quint8 firstPageOnly;
    quint32 originX;             // hundredths of an inch
    quint32 originY;             // hundredths of an inch
    quint8 orientation;          // 0, 1, 2, 3 = 0, 90, 180, 270 degrees
    quint32 counterStart;        // the scan takes the profile's stampCounter instead
};
typedef tagSTAMP_CONFIG STAMP_CONFIG;

static_assert(sizeof(tagSTAMP_CONFIG) == 346, "stamp block size");
static_assert(std::is_standard_layout<tagSTAMP_CONFIG>::value, "stamp block layout");
static_assert(offsetof(tagSTAMP_CONFIG, textStampOn) == 0, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, textSize) == 1, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, textColor) == 2, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, textTemplate) == 6, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, dateText) == 46, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, dateDelimiter) == 66, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, dateFormat) == 67, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, timeText) == 68, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, timeFormat) == 78, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, counterWidth) == 79, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, counterLeadingZero) == 80, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, messages) == 81, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, graphicStampOn) == 321, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, graphicAlignment) == 322, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, borderOn) == 323, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, borderColor) == 324, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, borderThickness) == 328, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, opacity) == 330, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, stampSide) == 331, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, firstPageOnly) == 332, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, originX) == 333, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, originY) == 337, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, orientation) == 341, "stamp offset");
static_assert(offsetof(tagSTAMP_CONFIG, counterStart) == 342, "stamp offset");

// One of the four per-side setting blocks of a profile (320 bytes).
struct tagSCAN_SIDE_SETTING
{
    ColorModeFlag colorMode;
    DocumentTypeFlag documentType;
    MediaTypeFlag mediaType;
    qint32 resolution;                          // dots per inch
    CompressionTypeFlag compressionType;
    CompressionJpegQualityFlag jpegQuality;
    ImageCroppingModeFlag documentCropping;
    ImageCroppingModeFlag imageCropping;
    double x;                                   // inches
    double y;
    double width;
    double height;
    double angle;
    ImagePresetFlag predefinedSize;
    ImageCroppingModeFlag border;
    ImageRotateOrthogonalFlag postScanRotation;
    bool characterSets[5];
    quint8 padding89[3];
    ColorBrightnessModeFlag brightnessContrastMode;
    ColorBalanceModeFlag colorBalanceMode;
    qint32 brightness;
    qint32 contrast;
    qint32 colorAggressiveness;
    qint32 red;
    qint32 green;
    qint32 blue;
    ColorSharpenFlag sharpen;
    ForegroundBoldnessModeFlag foregroundBoldnessMode;
    qint32 foregroundBoldness;
    BackgroundAdjustModeFlag backgroundSmoothingMode;
    qint32 backgroundSmoothing;
    BinarizationModeFlag conversionQuality;
    qint32 conversionContrast;
    qint32 conversionThreshold;
    bool enhance;
    quint8 padding157[3];
    qint32 controller;
    FilterNoiseFlag filterNoise;
    FilterImageFlag filterImage;
    bool invertColors;
    bool holeFill;
    bool barcodeEnhancement;
    quint8 padding175[1];
    EdgeFillFlag edgeFillColor;
    bool allSidesMatch;
    quint8 padding181[3];
    double edgeAll;                             // inches
    double edgeTop;
    double edgeBottom;
    double edgeLeft;
    double edgeRight;
    bool streakFilter;
    quint8 padding225[3];
    qint32 streakFilterAggressiveness;
    EcdoEnumFlag colorDropout;
    qint32 colorDropoutAggressiveness;
    BlankImageModeFlag blankImageDeletion;
    qint32 contentAmount;
    qint32 finalImageSize;
    bool barcodeReading;
    bool barcodeTypes[10];
    quint8 padding263[1];
    qint32 barcodeCount;
    BarcodeSearchModeFlag barcodeOrientation;
    BarcodeSearchAreaFlag barcodeSearchArea;
    quint8 padding276[4];
    double barcodeArea[4];                      // x, y, width, height in inches
    ScanDoubleCurrentOutputFlag doubleCurrentOutput;
    quint8 padding316[4];
};
typedef tagSCAN_SIDE_SETTING SCAN_SIDE_SETTING;

#define SIDE_OFFSET(field, off) \
    static_assert(offsetof(tagSCAN_SIDE_SETTING, field) == (off), "setting block offset of " #field)
static_assert(sizeof(tagSCAN_SIDE_SETTING) == 320, "setting block size");
static_assert(std::is_standard_layout<tagSCAN_SIDE_SETTING>::value, "setting block layout");
SIDE_OFFSET(colorMode, 0);
SIDE_OFFSET(documentType, 4);
SIDE_OFFSET(mediaType, 8);
SIDE_OFFSET(resolution, 12);
SIDE_OFFSET(compressionType, 16);
SIDE_OFFSET(jpegQuality, 20);
SIDE_OFFSET(documentCropping, 24);
SIDE_OFFSET(imageCropping, 28);
SIDE_OFFSET(x, 32);
SIDE_OFFSET(y, 40);
SIDE_OFFSET(width, 48);
SIDE_OFFSET(height, 56);
SIDE_OFFSET(angle, 64);
SIDE_OFFSET(predefinedSize, 72);
SIDE_OFFSET(border, 76);
SIDE_OFFSET(postScanRotation, 80);
SIDE_OFFSET(characterSets, 84);
SIDE_OFFSET(padding89, 89);
SIDE_OFFSET(brightnessContrastMode, 92);
SIDE_OFFSET(colorBalanceMode, 96);
SIDE_OFFSET(brightness, 100);
SIDE_OFFSET(contrast, 104);
SIDE_OFFSET(colorAggressiveness, 108);
SIDE_OFFSET(red, 112);
SIDE_OFFSET(green, 116);
SIDE_OFFSET(blue, 120);
SIDE_OFFSET(sharpen, 124);
SIDE_OFFSET(foregroundBoldnessMode, 128);
SIDE_OFFSET(foregroundBoldness, 132);
SIDE_OFFSET(backgroundSmoothingMode, 136);
SIDE_OFFSET(backgroundSmoothing, 140);
SIDE_OFFSET(conversionQuality, 144);
SIDE_OFFSET(conversionContrast, 148);
SIDE_OFFSET(conversionThreshold, 152);
SIDE_OFFSET(enhance, 156);
SIDE_OFFSET(padding157, 157);
SIDE_OFFSET(controller, 160);
SIDE_OFFSET(filterNoise, 164);
SIDE_OFFSET(filterImage, 168);
SIDE_OFFSET(invertColors, 172);
SIDE_OFFSET(holeFill, 173);
SIDE_OFFSET(barcodeEnhancement, 174);
SIDE_OFFSET(padding175, 175);
SIDE_OFFSET(edgeFillColor, 176);
SIDE_OFFSET(allSidesMatch, 180);
SIDE_OFFSET(padding181, 181);
SIDE_OFFSET(edgeAll, 184);
SIDE_OFFSET(edgeTop, 192);
SIDE_OFFSET(edgeBottom, 200);
SIDE_OFFSET(edgeLeft, 208);
SIDE_OFFSET(edgeRight, 216);
SIDE_OFFSET(streakFilter, 224);
SIDE_OFFSET(padding225, 225);
SIDE_OFFSET(streakFilterAggressiveness, 228);
SIDE_OFFSET(colorDropout, 232);
SIDE_OFFSET(colorDropoutAggressiveness, 236);
SIDE_OFFSET(blankImageDeletion, 240);
SIDE_OFFSET(contentAmount, 244);
SIDE_OFFSET(finalImageSize, 248);
SIDE_OFFSET(barcodeReading, 252);
SIDE_OFFSET(barcodeTypes, 253);
SIDE_OFFSET(padding263, 263);
SIDE_OFFSET(barcodeCount, 264);
SIDE_OFFSET(barcodeOrientation, 268);
SIDE_OFFSET(barcodeSearchArea, 272);
SIDE_OFFSET(padding276, 276);
SIDE_OFFSET(barcodeArea, 280);
SIDE_OFFSET(doubleCurrentOutput, 312);
SIDE_OFFSET(padding316, 316);
#undef SIDE_OFFSET

// One scan profile: 4456 bytes, copied by value everywhere and written raw.
struct tagSCAN_SHORTCUT_MENU
{
    // Zeroes the five text arrays only; code that builds a record from nothing
    // calls zeroScanShortcut() first.
    tagSCAN_SHORTCUT_MENU();

    QChar name[128];
    QChar id[64];                               // braced UUID; also the file name
    QChar iconFile[512];
    QChar stampGraphicFile[256];
    bool builtInEdited;
    quint8 padding1921[3];
    InputDocumentFlag inputDocument;
    AdfPaperSourceFlag paperSource;
    bool onlySavePower;
    quint8 padding1933[3];
    qint32 powerSaver;                          // minutes
    qint32 powerOff;                            // minutes
    bool powerOffEnabled;
    bool onlySaveTimeout;
    bool deviceOn;                              // timeout group: 1946 to 1955
    bool autoStartScanning;
    qint32 timeout;                             // seconds
    AdfTimeoutResponseFlag timeoutAction;
    qint32 printerIndex;
    qint32 stampCounter;
    DiagnosticsEquipmentFlag diagnosticsEquipment;
    bool countOnly;
    quint8 reserved1969[7];
    double frontX;                              // magnification x 10000
    double frontY;
    double rearX;
    double rearY;
    DiagnosticsLogRecordFlag debugLogRecord;
    bool debugSwitches[3];
    quint8 padding2015[1];
    DiagnosticsModelFlag debugModel;
    DiagnosticsFlatbedFlag debugFlatbed;
    DiagnosticsLogFlag diagnosticsLog;
    AdfActiveFeedFlag activeFeed;
    AdfHandlingFlag handlingAction;
    IntelligentDocumentProtectionFlag documentProtection;
    PaperJamreSponseFlag paperJamResponse;
    bool enhancedSeparation;
    quint8 padding2045[3];
    double sheetHeight;                         // inches
    MultifeedUddsSensitivityFlag multifeedUddsSensitivity;
    bool multifeedLengthEnabled;
    quint8 padding2061[3];
    double multifeedLength;                     // inches
    MultifeedResponseFlag multifeedResponse;
    bool multifeedSoundEnabled;
    quint8 padding2077[1];
    QChar multifeedSoundFile[256];
    quint8 padding2590[2];
    qint32 previewMode;
    PreviewQualityFlag previewQuality;
    PreviewAutoUpdateFlag previewAutoUpdate;
    ImageSizeUnitFlag sizeUnit;
    tagSCAN_SIDE_SETTING sideSettings[4];
    OxAdvancedSettingSideFlag sideStream;
    bool colorOutput;
    bool grayOutput;
    bool blackWhiteOutput;
    quint8 padding3895[1];
    CombineTypeFlag combineType;
    bool saveSize;
    quint8 padding3901[3];
    ImageMergeModeFlag combineSite;
    CombineScalingFlag combineScaling;
    SplitDocumentCountFlag splitDocumentCount;
    SplitDocumentLengthModeFlag splitDocumentLengthMode;
    double lengthLeft;                          // inches
    double lengthRight;
    bool alignTheSize;
    bool pageSizes[23];
    qint32 pageSizeCount;
    quint8 imageToolSettings[108];              // owned by the image tool form
    tagSTAMP_CONFIG stampConfig;
    quint8 reserved4418[38];
};
typedef tagSCAN_SHORTCUT_MENU SCAN_SHORTCUT_MENU;

Q_DECLARE_METATYPE(tagSCAN_SHORTCUT_MENU)

constexpr int kScanShortcutSize = 4456;

#define REC_OFFSET(field, off) \
    static_assert(offsetof(tagSCAN_SHORTCUT_MENU, field) == (off), "record offset of " #field)
static_assert(sizeof(tagSCAN_SHORTCUT_MENU) == kScanShortcutSize, "record size");
static_assert(std::is_standard_layout<tagSCAN_SHORTCUT_MENU>::value, "record layout");
static_assert(std::is_trivially_copyable<tagSCAN_SHORTCUT_MENU>::value, "record is copied raw");
static_assert(sizeof(QChar) == 2 && sizeof(bool) == 1 && sizeof(double) == 8, "field widths");
static_assert(sizeof(InputDocumentFlag) == 4 && sizeof(MultifeedResponseFlag) == 4, "enum width");
REC_OFFSET(name, 0);
REC_OFFSET(id, 256);
REC_OFFSET(iconFile, 384);
REC_OFFSET(stampGraphicFile, 1408);
REC_OFFSET(builtInEdited, 1920);
REC_OFFSET(padding1921, 1921);
REC_OFFSET(inputDocument, 1924);
REC_OFFSET(paperSource, 1928);
REC_OFFSET(onlySavePower, 1932);
REC_OFFSET(padding1933, 1933);
REC_OFFSET(powerSaver, 1936);
REC_OFFSET(powerOff, 1940);
REC_OFFSET(powerOffEnabled, 1944);
REC_OFFSET(onlySaveTimeout, 1945);
REC_OFFSET(deviceOn, 1946);
REC_OFFSET(autoStartScanning, 1947);
REC_OFFSET(timeout, 1948);
REC_OFFSET(timeoutAction, 1952);
REC_OFFSET(printerIndex, 1956);
REC_OFFSET(stampCounter, 1960);
REC_OFFSET(diagnosticsEquipment, 1964);
REC_OFFSET(countOnly, 1968);
REC_OFFSET(reserved1969, 1969);
REC_OFFSET(frontX, 1976);
REC_OFFSET(frontY, 1984);
REC_OFFSET(rearX, 1992);
REC_OFFSET(rearY, 2000);
REC_OFFSET(debugLogRecord, 2008);
REC_OFFSET(debugSwitches, 2012);
REC_OFFSET(padding2015, 2015);
REC_OFFSET(debugModel, 2016);
REC_OFFSET(debugFlatbed, 2020);
REC_OFFSET(diagnosticsLog, 2024);
REC_OFFSET(activeFeed, 2028);
REC_OFFSET(handlingAction, 2032);
REC_OFFSET(documentProtection, 2036);
REC_OFFSET(paperJamResponse, 2040);
REC_OFFSET(enhancedSeparation, 2044);
REC_OFFSET(padding2045, 2045);
REC_OFFSET(sheetHeight, 2048);
REC_OFFSET(multifeedUddsSensitivity, 2056);
REC_OFFSET(multifeedLengthEnabled, 2060);
REC_OFFSET(padding2061, 2061);
REC_OFFSET(multifeedLength, 2064);
REC_OFFSET(multifeedResponse, 2072);
REC_OFFSET(multifeedSoundEnabled, 2076);
REC_OFFSET(padding2077, 2077);
REC_OFFSET(multifeedSoundFile, 2078);
REC_OFFSET(padding2590, 2590);
REC_OFFSET(previewMode, 2592);
REC_OFFSET(previewQuality, 2596);
REC_OFFSET(previewAutoUpdate, 2600);
REC_OFFSET(sizeUnit, 2604);
REC_OFFSET(sideSettings, 2608);
REC_OFFSET(sideSettings[1], 2928);
REC_OFFSET(sideSettings[2], 3248);
REC_OFFSET(sideSettings[3], 3568);
REC_OFFSET(sideStream, 3888);
REC_OFFSET(colorOutput, 3892);
REC_OFFSET(grayOutput, 3893);
REC_OFFSET(blackWhiteOutput, 3894);
REC_OFFSET(padding3895, 3895);
REC_OFFSET(combineType, 3896);
REC_OFFSET(saveSize, 3900);
REC_OFFSET(padding3901, 3901);
REC_OFFSET(combineSite, 3904);
REC_OFFSET(combineScaling, 3908);
REC_OFFSET(splitDocumentCount, 3912);
REC_OFFSET(splitDocumentLengthMode, 3916);
REC_OFFSET(lengthLeft, 3920);
REC_OFFSET(lengthRight, 3928);
REC_OFFSET(alignTheSize, 3936);
REC_OFFSET(pageSizes, 3937);
REC_OFFSET(pageSizeCount, 3960);
REC_OFFSET(imageToolSettings, 3964);
REC_OFFSET(stampConfig, 4072);
REC_OFFSET(reserved4418, 4418);
#undef REC_OFFSET

// The bytes that reset(false) keeps from the live profile: device General page
// to the multifeed sound file.
constexpr int kScanShortcutDeviceBegin = 1928;
constexpr int kScanShortcutDeviceEnd = 2592;   // exclusive
static_assert(offsetof(tagSCAN_SHORTCUT_MENU, paperSource) == kScanShortcutDeviceBegin, "");
static_assert(offsetof(tagSCAN_SHORTCUT_MENU, previewMode) == kScanShortcutDeviceEnd, "");

// Sets all 4456 bytes, padding included, to zero.
void zeroScanShortcut(tagSCAN_SHORTCUT_MENU &record);
// The raw file form of a record, exactly 4456 bytes.
QByteArray scanShortcutToBytes(const tagSCAN_SHORTCUT_MENU &record);
// Fills the record from a file's content; false (record untouched) unless the
// content is exactly 4456 bytes.
bool scanShortcutFromBytes(const QByteArray &bytes, tagSCAN_SHORTCUT_MENU &record);
// Byte-for-byte comparison of two records, padding included.
bool scanShortcutEquals(const tagSCAN_SHORTCUT_MENU &a, const tagSCAN_SHORTCUT_MENU &b);

// Text of a fixed UTF-16 field: up to the first zero or the end of the array.
template <std::size_t N>
inline QString scanText(const QChar (&field)[N])
{
    return CommonFunc::charsToString(field, static_cast<int>(N));
}

// Writes a text into a fixed UTF-16 field. At most N - 1 units are kept, so a
// stored text always ends in a zero; a surrogate pair is never cut in half.
QString truncatedScanText(const QString &text, int maxUnits);
template <std::size_t N>
inline void setScanText(QChar (&field)[N], const QString &text)
{
    CommonFunc::copyStringToChars(truncatedScanText(text, static_cast<int>(N) - 1), field,
                                  static_cast<int>(sizeof(field)));
}

// The texts of the stamp block, which sit at odd offsets inside the packed
// block. Each may fill its whole array (no terminating zero needed); reading
// stops at the first zero. A message index outside 0..5 reads as empty and is
// not written.
QString stampDateText(const tagSTAMP_CONFIG &stamp);
void setStampDateText(tagSTAMP_CONFIG &stamp, const QString &text);
QString stampTimeText(const tagSTAMP_CONFIG &stamp);
void setStampTimeText(tagSTAMP_CONFIG &stamp, const QString &text);
QString stampMessage(const tagSTAMP_CONFIG &stamp, int index);
void setStampMessage(tagSTAMP_CONFIG &stamp, int index, const QString &text);

#endif

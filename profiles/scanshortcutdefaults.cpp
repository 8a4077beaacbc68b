#include "scanshortcutmenu.h"

#include <QObject>

#include <cstring>

// The six built-in profiles and the group setters they are made with. The
// built-in ids are fixed: they are how a stored profile is recognised as a
// built-in later on.

namespace {

struct BuiltIn
{
    const char *name;
    const char *id;
    const char *icon;
    InputDocumentFlag inputDocument;
    ScanDoubleCurrentOutputFlag doubleOutput;
    // general group of blocks 0 and 2
    ColorModeFlag colorOne;
    DocumentTypeFlag documentType;
    MediaTypeFlag mediaType;
    int resolution;
    CompressionTypeFlag compressionOne;
    CompressionJpegQualityFlag jpegQuality;
    // general group of blocks 1 and 3 (the document type, media, resolution
    // and JPEG quality are the same as above in every built-in)
    ColorModeFlag colorTwo;
    CompressionTypeFlag compressionTwo;
    ImageRotateOrthogonalFlag rotation;
    ColorSharpenFlag sharpen;
    bool streakFilter;
    bool colorOutput, grayOutput, blackWhiteOutput;
    OxAdvancedSettingSideFlag sideStream;
    MultifeedUddsSensitivityFlag udds;
    MultifeedResponseFlag multifeedResponse;
};

const BuiltIn kBuiltIns[] = {
    {QT_TRANSLATE_NOOP("QObject", "默认值"), "{f9a5ceee-7d8f-460e-bfa9-0f9af28274b2}",
     "default.png", InputDocumentBoth, ScanDoubleCurrentOutputFlag(1), ColorModeBlackWhite,
     DocumentTextGraphics, MediaPlain, 200, CompressionNone, JpegGood, ColorModeBlackWhite,
     CompressionNone, RotateNone, SharpenNone, false, false, false, true, SideBoth, UddsNone,
     MultifeedStop},
    {QT_TRANSLATE_NOOP("QObject", "多流 Clearleaf 文档"), "{d89a279b-67ce-499b-a796-146cbb7c41cc}",
     "color.png", InputDocumentBoth, ScanDoubleCurrentOutputFlag(2), ColorModeColor,
     DocumentTextGraphics, MediaPlain, 200, CompressionJpeg, JpegGood, ColorModeBlackWhite,
     CompressionGroup4, RotateAuto, SharpenNone, false, true, true, true, SideAllStreamsBoth,
     UddsMedium, MultifeedInteractive},
    {QT_TRANSLATE_NOOP("QObject", "黑白 Clearleaf 文档"), "{a28ec109-2829-494e-b349-77fb7e1b1148}",
     "bk.png", InputDocumentBoth, ScanDoubleCurrentOutputFlag(1), ColorModeBlackWhite,
     DocumentTextGraphics, MediaPlain, 200, CompressionGroup4, JpegGood, ColorModeBlackWhite,
     CompressionJpeg, RotateAuto, SharpenNone, false, false, false, true, SideBoth, UddsMedium,
     MultifeedInteractive},
    {QT_TRANSLATE_NOOP("QObject", "灰阶 Clearleaf 文档"), "{a28ec109-2830-494e-b349-77fb7e1b1148}",
     "grey-gradient.png", InputDocumentBoth, ScanDoubleCurrentOutputFlag(1), ColorModeGray,
     DocumentTextGraphics, MediaPlain, 200, CompressionJpeg, JpegGood, ColorModeBlackWhite,
     CompressionGroup4, RotateAuto, SharpenNone, false, false, true, false, SideBoth, UddsMedium,
     MultifeedInteractive},
    {QT_TRANSLATE_NOOP("QObject", "彩色 Clearleaf 文档"), "{95cebce6-4d82-49dc-bad8-199f76ebb592}",
     "color.png", InputDocumentBoth, ScanDoubleCurrentOutputFlag(1), ColorModeColor,
     DocumentTextGraphics, MediaPlain, 200, CompressionJpeg, JpegGood, ColorModeBlackWhite,
     CompressionGroup4, RotateAuto, SharpenNone, false, true, false, false, SideBoth, UddsMedium,
     MultifeedInteractive},
    {QT_TRANSLATE_NOOP("QObject", "彩色照片"), "{9bcfbc7a-2bd6-4b69-a9d0-fb292fe99a02}",
     "color-photo.png", InputDocumentFront, DoubleCurrentNone, ColorModeColor, DocumentPhoto,
     MediaGlossy, 300, CompressionJpeg, JpegBest, ColorModeBlackWhite, CompressionGroup4,
     RotateNone, SharpenNormal, true, true, false, false, SideFront, UddsNone,
     MultifeedInteractive},
};

void setGeneral(tagSCAN_SIDE_SETTING &block, ColorModeFlag colorMode,
                DocumentTypeFlag documentType, MediaTypeFlag mediaType, int resolution,
                CompressionTypeFlag compression, CompressionJpegQualityFlag jpegQuality)
{
    block.colorMode = colorMode;
    block.documentType = documentType;
    block.mediaType = mediaType;
    block.resolution = resolution;
    block.compressionType = compression;
    block.jpegQuality = jpegQuality;
}

void buildBuiltIn(const BuiltIn &b, tagSCAN_SHORTCUT_MENU &r)
{
    using M = ScanShortcutMenu;
    zeroScanShortcut(r);
    M::loadDefaultScanShortcutIcon(r, QObject::tr(b.name), QString::fromLatin1(b.id),
                                   QString::fromLatin1(b.icon), b.inputDocument);
    M::loadDefaultOutputType(r, b.doubleOutput);
    M::loadDefaultPreview(r, PreviewModeOff, PreviewQualityHigh, PreviewAutoUpdateOn,
                          UnitCentimetre);
    M::loadDefaultSettingGenaralOne(r, b.colorOne, b.documentType, b.mediaType, b.resolution,
                                    b.compressionOne, b.jpegQuality);
    M::loadDefaultSettingGenaralTwo(r, b.colorTwo, b.documentType, b.mediaType, b.resolution,
                                    b.compressionTwo, b.jpegQuality);
    M::loadDefaultSettingSize(r, CroppingDetectCorrect, CroppingDetect, 0.0, 0.0, 8.26, 11.69,
                              0.0, PresetA4, CroppingNone, b.rotation,
                              {true, true, true, true, false});
    M::loadDefaultSettingAdjust(r, ColorBrightnessModeFlag(2), ColorBalanceModeFlag(2), 0, 0, 0,
                                0, 0, 0, b.sharpen, ForegroundBoldnessNone, 0,
                                BackgroundAdjustNone, 0, BinarizationModeFlag(3), 0, 90, false, 0,
                                FilterNoiseDefault, FilterImageNone, false);
    M::loadDefaultSettingEnhance(r, false, false, EdgeFillNone, true, 0.0, 0.0, 0.0, 0.0, 0.0,
                                 b.streakFilter, 0, ColorDropoutNone, 0);
    std::array<bool, 10> barcodeTypes;
    barcodeTypes.fill(true);
    M::loadDefaultSettingDetect(r, BlankImageOff, false, barcodeTypes, 1, 1, 1,
                                BarcodeSearchDefault, BarcodeAreaWhole, {0.0, 0.0, 17.0, 17.0});
    std::array<bool, 23> pageSizes{};
    pageSizes[5] = true;
    pageSizes[6] = true;
    M::loadDefaultOxAdvancedSetting(r, b.colorOutput, b.grayOutput, b.blackWhiteOutput,
                                    CombineOff, false, ImageMergeModeFlag(4), CombineScalingA3,
                                    SplitOff, SplitDocumentLengthModeFlag(2), 2.5, 2.5,
                                    b.sideStream, false, pageSizes, 2);
    M::loadDefaultDeviceGeneralPageSetting(r, PaperSourceAutomatic300, false, 15, 60, true, false,
                                           true, true, 5, TimeoutStop, 1);
    M::loadDefaultDiagnoseGeneralSettingADF(r, DiagnosticsFeeder, false, false, 10000, 10000,
                                            10000, 10000);
    M::loadDefaultDiagnoseDebugSetting(r, DiagnosticsLogRecordFlag(1), {false, false, false},
                                       DiagnosticsModelFlag(1), DiagnosticsFlatbedFlag(1));
    M::loadDefaultDiagnoseLogSetting(r, DiagnosticsLogGeneral);
    M::loadDefaultDeviceTransportSetting(r, ActiveFeedNone, HandlingNormal, ProtectionNone,
                                         PaperJamStop, true, 17.0);
    M::loadDefaultDeviceStampTextPage(r);
    M::loadDefaultDeviceStampGraphicSetting(r, false, StampGraphicLeft,
                                            QStringLiteral("zz020 Globe ASIA 200x200.png"));
    M::loadDefaultDeviceStampLayOutSetting(r, false, StampSideDefault, StampOrientation0, false,
                                           100);
    M::loadDefaultDeviceBackToThePaperSetting(r, b.udds, false, 2.0, b.multifeedResponse, false);
}

} // namespace

bool ScanShortcutMenu::isBuiltInId(const QString &id)
{
    for (const BuiltIn &b : kBuiltIns) {
        if (id == QLatin1String(b.id))
            return true;
    }
    return false;
}

void ScanShortcutMenu::loadDefaultScanShortcut()
{
    for (const BuiltIn &b : kBuiltIns) {
        tagSCAN_SHORTCUT_MENU r;
        buildBuiltIn(b, r);
        m_profiles.append(r);
        m_defaults.append(r);
    }
}

void ScanShortcutMenu::loadDefaultScanShortcutIcon(tagSCAN_SHORTCUT_MENU &r, QString name,
                                                   QString id, QString icon,
                                                   InputDocumentFlag inputDocument)
{
    setScanText(r.name, name);
    setScanText(r.id, id);
    setScanText(r.iconFile, icon);
    r.builtInEdited = false;
    r.inputDocument = inputDocument;
}

void ScanShortcutMenu::loadDefaultOutputType(tagSCAN_SHORTCUT_MENU &r,
                                             ScanDoubleCurrentOutputFlag output)
{
    r.sideSettings[0].doubleCurrentOutput = output;
}

void ScanShortcutMenu::loadDefaultPreview(tagSCAN_SHORTCUT_MENU &r, PreviewModeFlag,
                                          PreviewQualityFlag quality,
                                          PreviewAutoUpdateFlag autoUpdate,
                                          ImageSizeUnitFlag unit)
{
    // The preview mode belongs to a working copy during a preview scan, never
    // to a stored profile.
    r.previewQuality = quality;
    r.previewAutoUpdate = autoUpdate;
    r.sizeUnit = unit;
}

void ScanShortcutMenu::loadDefaultSettingGenaralOne(tagSCAN_SHORTCUT_MENU &r,
                                                    ColorModeFlag colorMode,
                                                    DocumentTypeFlag documentType,
                                                    MediaTypeFlag mediaType, int resolution,
                                                    CompressionTypeFlag compression,
                                                    CompressionJpegQualityFlag jpegQuality)
{
    for (int i : {0, 2})
        setGeneral(r.sideSettings[i], colorMode, documentType, mediaType, resolution,
                   compression, jpegQuality);
}

void ScanShortcutMenu::loadDefaultSettingGenaralTwo(tagSCAN_SHORTCUT_MENU &r,
                                                    ColorModeFlag colorMode,
                                                    DocumentTypeFlag documentType,
                                                    MediaTypeFlag mediaType, int resolution,
                                                    CompressionTypeFlag compression,
                                                    CompressionJpegQualityFlag jpegQuality)
{
    for (int i : {1, 3})
        setGeneral(r.sideSettings[i], colorMode, documentType, mediaType, resolution,
                   compression, jpegQuality);
}

void ScanShortcutMenu::loadDefaultSettingSize(tagSCAN_SHORTCUT_MENU &r,
                                              ImageCroppingModeFlag documentCropping,
                                              ImageCroppingModeFlag imageCropping, double x,
                                              double y, double width, double height,
                                              double angle, ImagePresetFlag predefinedSize,
                                              ImageCroppingModeFlag border,
                                              ImageRotateOrthogonalFlag postScanRotation,
                                              const std::array<bool, 5> &characterSets)
{
    for (tagSCAN_SIDE_SETTING &s : r.sideSettings) {
        s.documentCropping = documentCropping;
        s.imageCropping = imageCropping;
        s.x = x;
        s.y = y;
        s.width = width;
        s.height = height;
        s.angle = angle;
        s.predefinedSize = predefinedSize;
        s.border = border;
        s.postScanRotation = postScanRotation;
        for (size_t i = 0; i < characterSets.size(); ++i)
            s.characterSets[i] = characterSets[i];
    }
}

void ScanShortcutMenu::loadDefaultSettingAdjust(
    tagSCAN_SHORTCUT_MENU &r, ColorBrightnessModeFlag brightnessContrastMode,
    ColorBalanceModeFlag colorBalanceMode, int brightness, int contrast, int colorAggressiveness,
    int red, int green, int blue, ColorSharpenFlag sharpen,
    ForegroundBoldnessModeFlag foregroundBoldnessMode, int foregroundBoldness,
    BackgroundAdjustModeFlag backgroundSmoothingMode, int backgroundSmoothing,
    BinarizationModeFlag conversionQuality, int conversionContrast, int conversionThreshold,
    bool enhance, int controller, FilterNoiseFlag filterNoise, FilterImageFlag filterImage,
    bool invertColors)
{
    for (tagSCAN_SIDE_SETTING &s : r.sideSettings) {
        s.brightnessContrastMode = brightnessContrastMode;
        s.colorBalanceMode = colorBalanceMode;
        s.brightness = brightness;
        s.contrast = contrast;
        s.colorAggressiveness = colorAggressiveness;
        s.red = red;
        s.green = green;
        s.blue = blue;
        s.sharpen = sharpen;
        s.foregroundBoldnessMode = foregroundBoldnessMode;
        s.foregroundBoldness = foregroundBoldness;
        s.backgroundSmoothingMode = backgroundSmoothingMode;
        s.backgroundSmoothing = backgroundSmoothing;
        s.conversionQuality = conversionQuality;
        s.conversionContrast = conversionContrast;
        s.conversionThreshold = conversionThreshold;
        s.enhance = enhance;
        s.controller = controller;
        s.filterNoise = filterNoise;
        s.filterImage = filterImage;
        s.invertColors = invertColors;
    }
}

void ScanShortcutMenu::loadDefaultSettingEnhance(tagSCAN_SHORTCUT_MENU &r, bool holeFill,
                                                 bool barcodeEnhancement,
                                                 EdgeFillFlag edgeFillColor, bool allSidesMatch,
                                                 double edgeAll, double edgeTop,
                                                 double edgeBottom, double edgeLeft,
                                                 double edgeRight, bool streakFilter,
                                                 int streakFilterAggressiveness,
                                                 EcdoEnumFlag colorDropout,
                                                 int colorDropoutAggressiveness)
{
    for (tagSCAN_SIDE_SETTING &s : r.sideSettings) {
        s.holeFill = holeFill;
        s.barcodeEnhancement = barcodeEnhancement;
        s.edgeFillColor = edgeFillColor;
        s.allSidesMatch = allSidesMatch;
        s.edgeAll = edgeAll;
        s.edgeTop = edgeTop;
        s.edgeBottom = edgeBottom;
        s.edgeLeft = edgeLeft;
        s.edgeRight = edgeRight;
        s.streakFilter = streakFilter;
        s.streakFilterAggressiveness = streakFilterAggressiveness;
        s.colorDropout = colorDropout;
        s.colorDropoutAggressiveness = colorDropoutAggressiveness;
    }
}

void ScanShortcutMenu::loadDefaultSettingDetect(tagSCAN_SHORTCUT_MENU &r,
                                                BlankImageModeFlag blankImageDeletion,
                                                bool barcodeReading,
                                                const std::array<bool, 10> &barcodeTypes,
                                                int contentAmount, int finalImageSize,
                                                int barcodeCount,
                                                BarcodeSearchModeFlag barcodeOrientation,
                                                BarcodeSearchAreaFlag barcodeSearchArea,
                                                const std::array<double, 4> &barcodeArea)
{
    for (tagSCAN_SIDE_SETTING &s : r.sideSettings) {
        s.blankImageDeletion = blankImageDeletion;
        s.barcodeReading = barcodeReading;
        for (size_t i = 0; i < barcodeTypes.size(); ++i)
            s.barcodeTypes[i] = barcodeTypes[i];
        s.contentAmount = contentAmount;
        s.finalImageSize = finalImageSize;
        s.barcodeCount = barcodeCount;
        s.barcodeOrientation = barcodeOrientation;
        s.barcodeSearchArea = barcodeSearchArea;
        for (size_t i = 0; i < barcodeArea.size(); ++i)
            s.barcodeArea[i] = barcodeArea[i];
    }
}

void ScanShortcutMenu::loadDefaultOxAdvancedSetting(
    tagSCAN_SHORTCUT_MENU &r, bool colorOutput, bool grayOutput, bool blackWhiteOutput,
    CombineTypeFlag combineType, bool saveSize, ImageMergeModeFlag combineSite,
    CombineScalingFlag combineScaling, SplitDocumentCountFlag splitDocumentCount,
    SplitDocumentLengthModeFlag splitDocumentLengthMode, double lengthLeft, double lengthRight,
    OxAdvancedSettingSideFlag sideStream, bool alignTheSize,
    const std::array<bool, 23> &pageSizes, int pageSizeCount)
{
    r.colorOutput = colorOutput;
    r.grayOutput = grayOutput;
    r.blackWhiteOutput = blackWhiteOutput;
    r.combineType = combineType;
    r.saveSize = saveSize;
    r.combineSite = combineSite;
    r.combineScaling = combineScaling;
    r.splitDocumentCount = splitDocumentCount;
    r.splitDocumentLengthMode = splitDocumentLengthMode;
    r.lengthLeft = lengthLeft;
    r.lengthRight = lengthRight;
    r.sideStream = sideStream;
    r.alignTheSize = alignTheSize;
    for (size_t i = 0; i < pageSizes.size(); ++i)
        r.pageSizes[i] = pageSizes[i];
    r.pageSizeCount = pageSizeCount;
}

void ScanShortcutMenu::loadDefaultDeviceGeneralPageSetting(
    tagSCAN_SHORTCUT_MENU &r, AdfPaperSourceFlag paperSource, bool onlySavePower, int powerSaver,
    int powerOff, bool powerOffEnabled, bool onlySaveTimeout, bool deviceOn,
    bool autoStartScanning, int timeout, AdfTimeoutResponseFlag timeoutAction, int printerIndex)
{
    r.paperSource = paperSource;
    r.onlySavePower = onlySavePower;
    r.powerSaver = powerSaver;
    r.powerOff = powerOff;
    r.powerOffEnabled = powerOffEnabled;
    r.onlySaveTimeout = onlySaveTimeout;
    r.deviceOn = deviceOn;
    r.autoStartScanning = autoStartScanning;
    r.timeout = timeout;
    r.timeoutAction = timeoutAction;
    r.printerIndex = printerIndex;
}

void ScanShortcutMenu::loadDefaultDiagnoseGeneralSettingADF(tagSCAN_SHORTCUT_MENU &r,
                                                            DiagnosticsEquipmentFlag equipment,
                                                            bool countOnly, bool, int frontX,
                                                            int frontY, int rearX, int rearY)
{
    r.diagnosticsEquipment = equipment;
    r.countOnly = countOnly;
    r.frontX = frontX;
    r.frontY = frontY;
    r.rearX = rearX;
    r.rearY = rearY;
}

void ScanShortcutMenu::loadDefaultDiagnoseDebugSetting(tagSCAN_SHORTCUT_MENU &r,
                                                       DiagnosticsLogRecordFlag logRecord,
                                                       const std::array<bool, 3> &switches,
                                                       DiagnosticsModelFlag model,
                                                       DiagnosticsFlatbedFlag flatbed)
{
    r.debugLogRecord = logRecord;
    for (size_t i = 0; i < switches.size(); ++i)
        r.debugSwitches[i] = switches[i];
    r.debugModel = model;
    r.debugFlatbed = flatbed;
}

void ScanShortcutMenu::loadDefaultDiagnoseLogSetting(tagSCAN_SHORTCUT_MENU &r,
                                                     DiagnosticsLogFlag log)
{
    r.diagnosticsLog = log;
}

void ScanShortcutMenu::loadDefaultDeviceTransportSetting(
    tagSCAN_SHORTCUT_MENU &r, AdfActiveFeedFlag activeFeed, AdfHandlingFlag handlingAction,
    IntelligentDocumentProtectionFlag protection, PaperJamreSponseFlag paperJamResponse,
    bool enhancedSeparation, double sheetHeight)
{
    r.activeFeed = activeFeed;
    r.handlingAction = handlingAction;
    r.documentProtection = protection;
    r.paperJamResponse = paperJamResponse;
    r.enhancedSeparation = enhancedSeparation;
    r.sheetHeight = sheetHeight;
}

void ScanShortcutMenu::loadDefaultDeviceStampTextPage(tagSCAN_SHORTCUT_MENU &r)
{
    tagSTAMP_CONFIG &s = r.stampConfig;
    s.textStampOn = 0;
    s.textSize = 9;
    s.textColor = 0;
    // 'Z' marks a free template slot; a fresh profile has no items.
    std::memset(s.textTemplate, 'Z', sizeof(s.textTemplate));
    s.dateDelimiter = 0;
    s.dateFormat = 0;
    s.timeFormat = 0;
    s.counterWidth = 9;
    s.counterLeadingZero = 2;
}

void ScanShortcutMenu::loadDefaultDeviceStampGraphicSetting(tagSCAN_SHORTCUT_MENU &r,
                                                            bool graphicOn,
                                                            StampGraphicAlignmentFlag alignment,
                                                            QString graphicFile)
{
    r.stampConfig.graphicStampOn = graphicOn ? 1 : 0;
    r.stampConfig.graphicAlignment = static_cast<quint8>(alignment);
    setScanText(r.stampGraphicFile, graphicFile);
}

void ScanShortcutMenu::loadDefaultDeviceStampLayOutSetting(tagSCAN_SHORTCUT_MENU &r,
                                                           bool firstPageOnly, StampSideFlag side,
                                                           StampOrientationFlag orientation,
                                                           bool borderOn, int opacity)
{
    tagSTAMP_CONFIG &s = r.stampConfig;
    s.firstPageOnly = firstPageOnly ? 1 : 0;
    s.stampSide = static_cast<quint8>(side);
    s.orientation = static_cast<quint8>(orientation);
    s.borderOn = borderOn ? 1 : 0;
    s.opacity = static_cast<quint8>(opacity);
    s.borderThickness = 63;
    s.originX = 0;
    s.originY = 0;
}

void ScanShortcutMenu::loadDefaultDeviceBackToThePaperSetting(
    tagSCAN_SHORTCUT_MENU &r, MultifeedUddsSensitivityFlag sensitivity, bool lengthEnabled,
    double length, MultifeedResponseFlag response, bool soundEnabled)
{
    r.multifeedUddsSensitivity = sensitivity;
    r.multifeedLengthEnabled = lengthEnabled;
    r.multifeedLength = length;
    r.multifeedResponse = response;
    r.multifeedSoundEnabled = soundEnabled;
    setScanText(r.multifeedSoundFile, QStringLiteral("tada.wav"));
}

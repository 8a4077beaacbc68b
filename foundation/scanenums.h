#ifndef SCANENUMS_H
#define SCANENUMS_H

// Enumerations stored inside the 4456-byte profile record and passed in hub
// signals. Every one is a 32-bit value in the record; values outside the
// named ones may occur in files and must survive a round trip. They live with
// the hub so that the foundation needs nothing of the profile model above it;
// the model reaches them through scanflags.h.

enum InputDocumentFlag : int { InputDocumentFront = 0, InputDocumentBack = 1, InputDocumentBoth = 2 };
enum AdfPaperSourceFlag : int {
    PaperSourceFeeder = 0, PaperSourceFeeder100 = 1, PaperSourceFlatbed = 5,
    PaperSourceAutomatic = 6, PaperSourceAutomatic100 = 7, PaperSourceFeeder300 = 11,
    PaperSourceAutomatic300 = 12
};
enum AdfTimeoutResponseFlag : int { TimeoutStop = 0, TimeoutPause = 1, TimeoutPauseWaitPaper = 2 };
enum DiagnosticsEquipmentFlag : int { DiagnosticsFeeder = 1, DiagnosticsFlatbed = 2 };
enum DiagnosticsLogRecordFlag : int { DiagnosticsLogRecordDefault = 1 };
enum DiagnosticsModelFlag : int { DiagnosticsModelDefault = 1 };
enum DiagnosticsFlatbedFlag : int { DiagnosticsFlatbedDefault = 1 };
enum DiagnosticsLogFlag : int {
    DiagnosticsLogOperator = 0, DiagnosticsLogCounters = 5, DiagnosticsLogGeneral = 6,
    DiagnosticsLogScan = 7
};
enum AdfActiveFeedFlag : int { ActiveFeedNone = 0, ActiveFeedGentle = 1, ActiveFeedNormal = 2 };
enum AdfHandlingFlag : int {
    HandlingNormal = 0, HandlingImprovedStacking = 1, HandlingBestStacking = 2, HandlingSpecial = 4
};
enum IntelligentDocumentProtectionFlag : int {
    ProtectionNone = 0, ProtectionMinimum = 1, ProtectionNormal = 2, ProtectionMaximum = 3
};
enum PaperJamreSponseFlag : int { PaperJamStop = 0, PaperJamPause = 1 };
enum MultifeedUddsSensitivityFlag : int {
    UddsNone = 0, UddsLow = 1, UddsMedium = 2, UddsHigh = 3
};
enum MultifeedResponseFlag : int {
    MultifeedContinue = 0, MultifeedStop = 1, MultifeedStopKeepImage = 2,
    MultifeedStopLeavePaper = 3, MultifeedPauseKeepImage = 4, MultifeedInteractive = 8
};
enum PreviewModeFlag : int { PreviewModeOff = 0, PreviewModeOn = 1 };
enum PreviewQualityFlag : int { PreviewQualityNormal = 0, PreviewQualityHigh = 1 };
enum PreviewAutoUpdateFlag : int { PreviewAutoUpdateOff = 0, PreviewAutoUpdateOn = 1 };
enum ImageSizeUnitFlag : int { UnitCentimetre = 0, UnitInch = 1, UnitPixel = 2 };
enum OxAdvancedSettingSideFlag : int {
    SideBoth = 0, SideFront = 1, SideBack = 2,
    SideAllStreamsBoth = 3, SideAllStreamsFront = 4, SideAllStreamsBack = 5,
    SideColorGrayBoth = 6, SideColorBwBoth = 7, SideGrayBwBoth = 8,
    SideColorGrayFront = 9, SideColorBwFront = 10, SideGrayBwFront = 11,
    SideColorGrayBack = 12, SideColorBwBack = 13, SideGrayBwBack = 14
};
enum CombineTypeFlag : int {
    CombineOff = 0, CombineFrontBack = 1, CombineTwo = 2, CombineFour = 3, CombineNine = 4
};
enum ImageMergeModeFlag : int { ImageMergeDefault = 4 };
enum CombineScalingFlag : int { CombineScalingA3 = 0, CombineScalingA4 = 1 };
enum SplitDocumentCountFlag : int { SplitOff = 0, SplitTwo = 2, SplitThree = 3 };
enum SplitDocumentLengthModeFlag : int { SplitLengthDefault = 2 };
enum ColorModeFlag : int { ColorModeBlackWhite = 0, ColorModeGray = 1, ColorModeColor = 2 };
enum DocumentTypeFlag : int {
    DocumentPhoto = 0, DocumentText = 1, DocumentTextGraphics = 2, DocumentTextPhoto = 3
};
enum MediaTypeFlag : int { MediaCard = 0, MediaGlossy = 1, MediaMagazine = 2, MediaPlain = 3, MediaThin = 4 };
enum CompressionTypeFlag : int { CompressionNone = 0, CompressionGroup4 = 1, CompressionJpeg = 2 };
enum CompressionJpegQualityFlag : int {
    JpegBest = 0, JpegBetter = 1, JpegDraft = 2, JpegGood = 3, JpegHigh = 4
};
enum ImageCroppingModeFlag : int {
    CroppingRemove = 1, CroppingDetect = 2, CroppingManual = 3, CroppingPhoto = 4,
    CroppingPart = 5, CroppingNone = 6, CroppingDetectCorrect = 7, CroppingContinuous = 8
};
enum ImagePresetFlag : int { PresetCustom = 0, PresetCustom2 = 1, PresetA4 = 8 };
enum ImageRotateOrthogonalFlag : int {
    RotateNone = 0, Rotate90 = 1, Rotate180 = 2, Rotate270 = 3, RotateAuto = 4,
    RotateAuto90 = 5, RotateAuto180 = 6, RotateAuto270 = 7
};
enum ColorBrightnessModeFlag : int { BrightnessModeDefault = 2 };
enum ColorBalanceModeFlag : int { BalanceModeDefault = 2 };
enum ColorSharpenFlag : int { SharpenNone = 0, SharpenNormal = 1 };
enum ForegroundBoldnessModeFlag : int { ForegroundBoldnessNone = 0 };
enum BackgroundAdjustModeFlag : int { BackgroundAdjustNone = 0 };
enum BinarizationModeFlag : int { BinarizationDefault = 3 };
enum FilterNoiseFlag : int { FilterNoiseNone = 0, FilterNoiseDefault = 1 };
enum FilterImageFlag : int { FilterImageNone = 0 };
enum EdgeFillFlag : int { EdgeFillNone = 0 };
enum EcdoEnumFlag : int { ColorDropoutNone = 255 };
enum BlankImageModeFlag : int { BlankImageOff = 0 };
enum BarcodeSearchModeFlag : int { BarcodeSearchDefault = 0 };
enum BarcodeSearchAreaFlag : int { BarcodeAreaWhole = 0 };
enum ScanDoubleCurrentOutputFlag : int { DoubleCurrentNone = 0 };
enum StampGraphicAlignmentFlag : int { StampGraphicLeft = 0 };
enum StampSideFlag : int { StampSideDefault = 0 };
enum StampOrientationFlag : int {
    StampOrientation0 = 0, StampOrientation90 = 1, StampOrientation180 = 2, StampOrientation270 = 3
};
// A resolution in dots per inch, as stored in a setting block.
enum ImageResolutionFlag : int {
    Resolution75 = 75, Resolution100 = 100, Resolution150 = 150, Resolution200 = 200,
    Resolution300 = 300, Resolution600 = 600, Resolution1200 = 1200
};

// Enumerations of the image tool settings form that hub signals only carry.
enum PerImageFlag : int { PerImageDefault = 0 };
enum AdvancedColorCountFlag : int { AdvancedColorCountDefault = 0 };
enum SettingToolSideFlag : int { SettingToolSideDefault = 0 };

#endif

#ifndef SCANSHORTCUTMENU_H
#define SCANSHORTCUTMENU_H

#include "scanshortcut.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>

class ConfigFile;
class QListWidget;

// The user's scan profiles: the live list in display order, the six built-ins
// as built at the last load, and the current index. Profiles live in memory
// between loadScanShortcut() and saveScanShortcut(); on disk they are
// "profile.ini" (group UICfg) plus one raw 4456-byte file per profile, named
// by the profile's id.
class ScanShortcutMenu : public QObject
{
    Q_OBJECT

public:
    explicit ScanShortcutMenu(QObject *parent = nullptr);

    void initialVariant();

    void loadScanShortcut(ConfigFile *config);
    // Writes every profile file and "profile.ini" atomically, then deletes the
    // files of profiles no longer listed. False when anything could not be
    // written; the previous files stay usable in that case.
    bool saveScanShortcut();
    void loadCfgFromFile(QStringList &ids, QList<tagSCAN_SHORTCUT_MENU> &out);
    void setCurrentIndexFromCfg();
    void loadDefaultScanShortcut();

    bool addScanShortcut(tagSCAN_SHORTCUT_MENU &record, QString name, QString icon);
    bool setCurrentScanIndex(QString id);
    void setCurrentScanIndex(int index);
    int getCurrentScanIndex();
    int getScanShortcutCount();
    bool findScanShortcut(tagSCAN_SHORTCUT_MENU &record, QString id);
    // False (record untouched) when there is no current profile.
    bool getCurrentScanShortcut(tagSCAN_SHORTCUT_MENU &record);
    bool getScanShortcutItem(int index, tagSCAN_SHORTCUT_MENU &record);
    bool updateScanShortcut(tagSCAN_SHORTCUT_MENU &record, QString name, QString icon);
    bool setCurrentScanShortcut(tagSCAN_SHORTCUT_MENU &record);
    bool removeScanShortcut(QString id);
    void removeScanShortcut();
    bool resetScanShortcut(bool all);
    bool defaultIsChanged();

    bool loadScanShortcutToControl(QListWidget *list);
    bool updateScanShortcutToControl(QListWidget *list, QString id);
    bool addScanShortcutToControl(QListWidget *list);
    // Sets every item's icon and text from the profile its id names (items
    // whose id no profile carries stay as they are).
    bool refreshScanShortcutControl(QListWidget *list);
    bool renameScanShortcutToControl(QListWidget *list);
    bool copyScanShortcut(tagSCAN_SHORTCUT_MENU &record, int index);

    // True when an id can safely name a file in the profiles directory: not
    // empty, no path separator, no "..", and short enough to fit the id field
    // with its terminating zero.
    static bool isSafeProfileId(const QString &id);
    static bool isBuiltInId(const QString &id);

    // Group setters that fill a record; the built-ins are made with them.
    static void loadDefaultScanShortcutIcon(tagSCAN_SHORTCUT_MENU &r, QString name, QString id,
                                            QString icon, InputDocumentFlag inputDocument);
    static void loadDefaultOutputType(tagSCAN_SHORTCUT_MENU &r,
                                      ScanDoubleCurrentOutputFlag output);
    static void loadDefaultPreview(tagSCAN_SHORTCUT_MENU &r, PreviewModeFlag mode,
                                   PreviewQualityFlag quality, PreviewAutoUpdateFlag autoUpdate,
                                   ImageSizeUnitFlag unit);
    static void loadDefaultSettingGenaralOne(tagSCAN_SHORTCUT_MENU &r, ColorModeFlag colorMode,
                                             DocumentTypeFlag documentType,
                                             MediaTypeFlag mediaType, int resolution,
                                             CompressionTypeFlag compression,
                                             CompressionJpegQualityFlag jpegQuality);
    static void loadDefaultSettingGenaralTwo(tagSCAN_SHORTCUT_MENU &r, ColorModeFlag colorMode,
                                             DocumentTypeFlag documentType,
                                             MediaTypeFlag mediaType, int resolution,
                                             CompressionTypeFlag compression,
                                             CompressionJpegQualityFlag jpegQuality);
    static void loadDefaultSettingSize(tagSCAN_SHORTCUT_MENU &r,
                                       ImageCroppingModeFlag documentCropping,
                                       ImageCroppingModeFlag imageCropping, double x, double y,
                                       double width, double height, double angle,
                                       ImagePresetFlag predefinedSize,
                                       ImageCroppingModeFlag border,
                                       ImageRotateOrthogonalFlag postScanRotation,
                                       const std::array<bool, 5> &characterSets);
    static void loadDefaultSettingAdjust(
        tagSCAN_SHORTCUT_MENU &r, ColorBrightnessModeFlag brightnessContrastMode,
        ColorBalanceModeFlag colorBalanceMode, int brightness, int contrast,
        int colorAggressiveness, int red, int green, int blue, ColorSharpenFlag sharpen,
        ForegroundBoldnessModeFlag foregroundBoldnessMode, int foregroundBoldness,
        BackgroundAdjustModeFlag backgroundSmoothingMode, int backgroundSmoothing,
        BinarizationModeFlag conversionQuality, int conversionContrast, int conversionThreshold,
        bool enhance, int controller, FilterNoiseFlag filterNoise, FilterImageFlag filterImage,
        bool invertColors);
    static void loadDefaultSettingEnhance(tagSCAN_SHORTCUT_MENU &r, bool holeFill,
                                          bool barcodeEnhancement, EdgeFillFlag edgeFillColor,
                                          bool allSidesMatch, double edgeAll, double edgeTop,
                                          double edgeBottom, double edgeLeft, double edgeRight,
                                          bool streakFilter, int streakFilterAggressiveness,
                                          EcdoEnumFlag colorDropout,
                                          int colorDropoutAggressiveness);
    static void loadDefaultSettingDetect(tagSCAN_SHORTCUT_MENU &r,
                                         BlankImageModeFlag blankImageDeletion,
                                         bool barcodeReading,
                                         const std::array<bool, 10> &barcodeTypes,
                                         int contentAmount, int finalImageSize,
                                         int barcodeCount,
                                         BarcodeSearchModeFlag barcodeOrientation,
                                         BarcodeSearchAreaFlag barcodeSearchArea,
                                         const std::array<double, 4> &barcodeArea);
    static void loadDefaultOxAdvancedSetting(
        tagSCAN_SHORTCUT_MENU &r, bool colorOutput, bool grayOutput, bool blackWhiteOutput,
        CombineTypeFlag combineType, bool saveSize, ImageMergeModeFlag combineSite,
        CombineScalingFlag combineScaling, SplitDocumentCountFlag splitDocumentCount,
        SplitDocumentLengthModeFlag splitDocumentLengthMode, double lengthLeft,
        double lengthRight, OxAdvancedSettingSideFlag sideStream, bool alignTheSize,
        const std::array<bool, 23> &pageSizes, int pageSizeCount);
    static void loadDefaultDeviceGeneralPageSetting(
        tagSCAN_SHORTCUT_MENU &r, AdfPaperSourceFlag paperSource, bool onlySavePower,
        int powerSaver, int powerOff, bool powerOffEnabled, bool onlySaveTimeout, bool deviceOn,
        bool autoStartScanning, int timeout, AdfTimeoutResponseFlag timeoutAction,
        int printerIndex);
    static void loadDefaultDiagnoseGeneralSettingADF(tagSCAN_SHORTCUT_MENU &r,
                                                     DiagnosticsEquipmentFlag equipment,
                                                     bool countOnly, bool unused, int frontX,
                                                     int frontY, int rearX, int rearY);
    static void loadDefaultDiagnoseDebugSetting(tagSCAN_SHORTCUT_MENU &r,
                                                DiagnosticsLogRecordFlag logRecord,
                                                const std::array<bool, 3> &switches,
                                                DiagnosticsModelFlag model,
                                                DiagnosticsFlatbedFlag flatbed);
    static void loadDefaultDiagnoseLogSetting(tagSCAN_SHORTCUT_MENU &r, DiagnosticsLogFlag log);
    static void loadDefaultDeviceTransportSetting(tagSCAN_SHORTCUT_MENU &r,
                                                  AdfActiveFeedFlag activeFeed,
                                                  AdfHandlingFlag handlingAction,
                                                  IntelligentDocumentProtectionFlag protection,
                                                  PaperJamreSponseFlag paperJamResponse,
                                                  bool enhancedSeparation, double sheetHeight);
    static void loadDefaultDeviceStampTextPage(tagSCAN_SHORTCUT_MENU &r);
    static void loadDefaultDeviceStampGraphicSetting(tagSCAN_SHORTCUT_MENU &r, bool graphicOn,
                                                     StampGraphicAlignmentFlag alignment,
                                                     QString graphicFile);
    static void loadDefaultDeviceStampLayOutSetting(tagSCAN_SHORTCUT_MENU &r, bool firstPageOnly,
                                                    StampSideFlag side,
                                                    StampOrientationFlag orientation,
                                                    bool borderOn, int opacity);
    static void loadDefaultDeviceBackToThePaperSetting(tagSCAN_SHORTCUT_MENU &r,
                                                       MultifeedUddsSensitivityFlag sensitivity,
                                                       bool lengthEnabled, double length,
                                                       MultifeedResponseFlag response,
                                                       bool soundEnabled);

private:
    QString profileFilePath(const QString &id) const;
    QString profileIniPath() const;
    QStringList idsFromProfileIni() const;
    int currentIndexInIni() const;
    bool composeProfileIni(const QStringList &ids, int currentIndex, QByteArray &text) const;
    int indexOfId(const QString &id) const;
    void clampCurrentIndex();

    QList<tagSCAN_SHORTCUT_MENU> m_profiles;
    QList<tagSCAN_SHORTCUT_MENU> m_defaults;
    int m_currentIndex;
    ConfigFile *m_config;
    // Listed profiles whose file is there but could not be loaded: a save
    // drops them from the list but leaves their files alone.
    QStringList m_unreadableIds;
};

#endif

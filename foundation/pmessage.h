#ifndef PMESSAGE_H
#define PMESSAGE_H

#include "scanenums.h"

#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>

struct tagSCAN_SHORTCUT_MENU;
typedef tagSCAN_SHORTCUT_MENU SCAN_SHORTCUT_MENU;
typedef signed char schar;

// The suite's signal hub. Windows, threads and the scan engine never hold
// pointers to each other for notifications: they emit on one shared hub.
// The order of the signals is the index order of the meta-object.
class PMessage : public QObject
{
    Q_OBJECT
public:
    enum CancelOwnerFlag : int { CancelByDialog = 0, CancelByConsole = 1 };
    Q_ENUM(CancelOwnerFlag)

    explicit PMessage(QObject *parent = nullptr);

    // Makes every signal argument type usable in queued connections.
    static void registerMetaTypes();

signals:
    void controlValueChanged();
    void showDiagnosticsForm();
    void hideDiagnosticsForm();
    void showSettingToolForm();
    void hideSettingToolForm();
    void calibrateEnsureBtn(int nCalibrateIndex);
    void changedInputDocTypeSettingToolToMain(InputDocumentFlag inputDocId, bool bChecked);
    void changedInputDocTypeMainToSettingTool(InputDocumentFlag inputDocId);
    void postErrorCode(int nErrorCode);
    void calibrateStatus(int nCalIndex, bool bResult);
    void currentIndexChangeScanShortcut();
    void createTwoSideOrFrontOrBack(InputDocumentFlag InputDocumentID, PerImageFlag PerImageID,
                                    bool bCreate, AdvancedColorCountFlag AdvancedColorCountID,
                                    QString itemText1, QString itemText2, QString itemText3,
                                    QString itemText4);
    void changedImageSizeUnit(ImageSizeUnitFlag ImageSizeUnitID);
    void settingToolRotateAndCenter(bool bEnableeh);
    void settingToolPreviewSize(double sizex, double sizey, double sizew, double sizeh,
                                double sizeangle);
    void settingSizePreview(double sizex, double sizey, double sizew, double sizeh);
    void changedPaperSource(AdfPaperSourceFlag AdfPaperSourceID);
    void changedInputAdvancedToMain(AdfPaperSourceFlag AdfPaperSourceID);
    void settingColorMode(ColorModeFlag ColorModeID, SettingToolSideFlag SettingToolSideID,
                          int colorCount);
    void settingColorModeOx(ColorModeFlag ColorModeID);
    void sendPreviewFilename(SCAN_SHORTCUT_MENU *pstScanShortcut, QString strFilrname);
    void clearPreviewFilaname();
    void updatePreviewMode();
    void changedPreivewQuality(PreviewQualityFlag PreviewQualityID);
    void changedPreivewAutoUpdate(PreviewAutoUpdateFlag PreviewAutoUpdateID);
    void changedImageUnits(ImageSizeUnitFlag ImageSizeUnitID);
    void startPreviewScan();
    void changePreviewMode(bool type);
    void sendPreviewMode(int previewMode);
    void sendBlankImageContent(int number, uchar BlankImageContent);
    void changedPaperIndex(int paperIndex);
    void updateStampIndexValue(bool checkedEnable);
    void clickedLearn();
    void sendAutoColorValue(int AutoColorMinAmount, int AutoColorThreshold);
    void saveAdvancedSetting();
    void previewAutoUpdate();
    void setResolution(ImageResolutionFlag ImageResolutionID);
    void manyCurrentControl(bool colorEnable, bool grayEnable, bool blackwhiteEnable,
                            int checkedCount, InputDocumentFlag InputDocumentID);
    void imageAreaChangeMulLength(int nIndex, double imageHeight);
    void currentImageHeightChange(double imageHeight);
    void updateDevice();
    void updatePaperStatus(bool bExistPaper, bool bStop);
    void scanFinish(SCAN_SHORTCUT_MENU *pstScanShortcut, int paperIndex, int stampStartIndex,
                    int scanAmount, int AutoColorMinAmount, int AutoColorThreshold);
    void scanFileName(SCAN_SHORTCUT_MENU *pstScanShortcut, QString strFileName,
                      schar nCameraType, QStringList listBarcode, int nWidth, int nHeight,
                      int nRes, int nColorMode);
    void cancelScanningJob(PMessage::CancelOwnerFlag id);
    void pressTouchPanel(int nIndex);
    void userInputFromPanel(int nKey);
    void scanningMultifeed(QStringList listFiles);
};

Q_DECLARE_OPAQUE_POINTER(SCAN_SHORTCUT_MENU *)
Q_DECLARE_METATYPE(SCAN_SHORTCUT_MENU *)
Q_DECLARE_METATYPE(InputDocumentFlag)
Q_DECLARE_METATYPE(PerImageFlag)
Q_DECLARE_METATYPE(AdvancedColorCountFlag)
Q_DECLARE_METATYPE(ImageSizeUnitFlag)
Q_DECLARE_METATYPE(AdfPaperSourceFlag)
Q_DECLARE_METATYPE(ColorModeFlag)
Q_DECLARE_METATYPE(SettingToolSideFlag)
Q_DECLARE_METATYPE(PreviewQualityFlag)
Q_DECLARE_METATYPE(PreviewAutoUpdateFlag)
Q_DECLARE_METATYPE(ImageResolutionFlag)

#endif

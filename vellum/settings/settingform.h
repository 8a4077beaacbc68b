#ifndef SETTINGFORM_H
#define SETTINGFORM_H

// The console's scan settings page: five tabs (General, Size, Adjust,
// Enhance, Detection) over a local copy of the profile's four per-side
// setting blocks, a side/stream selector that only displays, the button to
// the setting-tool page and the preview. Block 0 is the one edited; the other
// blocks change only where a rule says so (block 1's compression, and the
// lengths of all four blocks when the unit or the resolution in pixels
// changes). GUI thread only.

#include "scanshortcut.h"

#include <QMetaObject>
#include <QTimer>
#include <QVector>
#include <QWidget>

class PMessage;
class PreviewForm;
class QComboBox;
class QModelIndex;
namespace Ui {
class SettingForm;
}

class SettingForm : public QWidget
{
    Q_OBJECT
public:
    SettingForm(PMessage *hub, QWidget *parent = nullptr);
    ~SettingForm() override;

    // Profile in, profile out, dirty check (true when nothing differs).
    void updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    int updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    // The console brackets every load with these. While connected, each edit
    // also tells the console through PMessage::controlValueChanged.
    void connectAllChangeValueControlMessages();
    void disconnectAllChangeValueControlMessages();
    void resetDialogIndex();
    int getcurrentIndex();
    void updateFlatbedType(int flatbedType);
    // 0 when block 0's combination can be scanned, else -71 to -77.
    int judgeSettingIsReasonable(tagSCAN_SHORTCUT_MENU profile);
    static int checkSettingCombination(const tagSCAN_SHORTCUT_MENU &profile);

    // The unit factor: shown length = inches x factor. Never 0.
    double getSizeTimes() const;
    PreviewForm *previewForm() const { return m_preview; }
    Ui::SettingForm *form() const { return ui; }

public slots:
    // Hub.
    void manyCurrentControl(bool colour, bool gray, bool blackWhite, int count,
                            InputDocumentFlag input);
    void changedImageSizeUnit(ImageSizeUnitFlag unit);
    void getPreviewMode(int previewMode);
    void getBlankImageContent(int side, uchar amount);
    void changeCurrentIndex();
    void changePaperSource(AdfPaperSourceFlag source);
    void changePreviewSize(double x, double y, double width, double height);

    // Frame.
    void clickedBtnSettingTool();
    void setBlankImageContent();
    void setspinBoxColorValue(int);
    void judgeChangeValue();
    void valueChangeAdjustPage();
    void judgePreviewAutoPreview();
    void judgePreviewWarning();

    // General page.
    void currentItemChangeCmbColorMode(int);
    void currentItemChangeDocumentType(int);
    void currentItemChangeMediaType(int);
    void currentItemChangeResolution(int);
    void currentItemChangeCompressionMode(int index);
    void currentItemChangeCompressionJpegQuality(int);
    void changedResolution(int dpi);

    // Size page and area fields.
    void currentItemChangeSizeDocType(int);
    void currentItemChangeImageType(int);
    void currentItemChangePredefined(int);
    void currentItemChangeBorder();
    void currentItemChangePostRotate();
    void clickedListWidgetUnicode(const QModelIndex &index);
    void valueChangePreviewSizeX();
    void valueChangePreviewSizeY();
    void valueChangePreviewSizeW();
    void valueChangePreviewSizeH();
    void valueChangePreviewSize();
    void valueChangeAllSide();
    void valueChangeAsmSide();
    void valueChangeSearchAreaSizeX();
    void valueChangeSearchAreaSizeY();
    void valueChangeSearchAreaSizeW();
    void valueChangeSearchAreaSizeH();
    void currentItemChangeSearchArea(int);

    // Adjust page.
    void currentItemChangeBriAndCon(int);
    void currentItemChangeColorBalance(int);
    void currentItemChangeForBol(int);
    void currentItemChangeBackSmo(int);
    void currentItemChangeConversionQuality(int);
    void currentItemChangeSharpen();
    void currentItemChangeFilterNoise();
    void currentItemChangeFilterImage();
    void stateChangeInvertColors();
    void currentItemChangeColorsfiltering(int);

    // Enhance page.
    void currentItemChangeEdgeFill(int);
    void stateChangedAllSideMatch(int);
    void stateChangedStreakFilter(int);
    void stateChangedFillHold();
    void currentItemChangeColorDropout(int);

    // Detection page.
    void currentItemChangeBlankImageDeletion(int);
    void valueChangeBlankPage();
    void stateChangedBarcodeReading(int);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Set-up.
    void initDialog();
    void loadGeneralPageWording();
    void createSettingSides();
    void createColorMode();
    void createDocType();
    void createMediaType();
    void createResolution();
    void createCompressType(int colorMode);
    void createCompressQuality();
    void loadSizePageWording();
    void createSizeDocType();
    void createSizeImage();
    void createPredefined();
    void createSizeBorder(int documentMode = -1);
    void createSizePostScanRotation();
    void loadAdjustPageWording();
    void createAdjustBriAndCon();
    void createAdjustColor();
    void createAdjustSharpen();
    void createAdjustForBol();
    void createAdjustBackSmo();
    void createAdjustConversionQuality();
    void createAdjustFilters();
    void createAdjustInvertColors();
    void loadEnhancePageWording();
    void createHoleFill();
    void createImageEdgeFill();
    void createStreakFilter();
    void createColorDropout(int colorMode);
    void loadDetectPageWording();
    void createBlankImageDeletion();
    void createBarcodeReading();
    void loadSettingToolWording();

    // Connections.
    void connectMessages();
    void connectGeneralPageMessages();
    void connectSizePageMessages();
    void connectAdjustPageMessages();
    void connectEnhancePageMessages();
    void connectDetectPageMessages();
    void connectGeneralPageChangeValueControlMessages();
    void disconnectGeneralPageChangeValueControlMessages();
    void connectSizePageChangeValueControlMessages();
    void disconnectSizePageChangeValueControlMessages();
    void connectAdjustPageChangeValueControlMessages();
    void disconnectAdjustPageChangeValueControlMessages();
    void connectEnhancePageChangeValueControlMessages();
    void disconnectEnhancePageChangeValueControlMessages();
    void connectDetectPageChangeValueControlMessages();
    void disconnectDetectPageChangeValueControlMessages();
    void connectChangeNotifications();
    void controlEdited();
    void connectDropoutHandler();
    void connectImageTypeHandler();
    void connectBorderHandler();
    void connectPredefinedHandler();

    // Load, write-back and compare, per page, on block `index` of the copy.
    void initcontrol(const tagSCAN_SHORTCUT_MENU &profile);
    void boundStoredLengths();
    bool updateGeneralVariableToUIControl(int index);
    bool updateGeneralUIControlToVariable(int index);
    bool compareGeneralVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateSizeVariableToUIControl(int index);
    bool updateSizeUIControlToVariable(int index);
    bool compareSizeVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateAdjustVariableToUIControl(int index);
    bool updateAdjustUIControlToVariable(int index);
    bool compareAdjustVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateEnhanceVariableToUIControl(int index);
    bool updateEnhanceUIControlToVariable(int index);
    bool compareEnhanceVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateDetectVariableToUIControl(int index);
    bool updateDetectUIControlToVariable(int index);
    bool compareDetectVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void writePagesToBlock(int index);

    // Pictures and visibility shared by the load and the handlers.
    void showColorModePicture(int mode);
    void showDocTypePicture(int type);
    void showMediaTypePicture(int type);
    void showResolutionPicture(int dpi);
    void showCompressionPicture(int compression);
    void showQualityPicture(int quality);
    void applyColorModeToAdjustPage(int mode);
    void applyLoadedSizeState(const tagSCAN_SIDE_SETTING &block);

    // Units and lengths.
    static QString unitCaption(int unit);
    void setUnitCaptions(const QString &caption);
    void changedDoubleSpinboxSingleStep(double step);
    void changeUnitSize(const double shown[13]);
    void readShownLengthsAsInches(double inches[13], double factor) const;
    void writeLengthsToAllBlocks(const double inches[13]);
    double toInches(double shown) const;
    double toShown(double inches) const;
    void sendPreviewArea(double x, double y, double w, double h, double angle);
    void readAreaInches(double &x, double &y, double &w, double &h, double &angle) const;

    Ui::SettingForm *ui;
    PMessage *m_hub;
    PreviewForm *m_preview = nullptr;
    tagSCAN_SIDE_SETTING m_settingBlocks[4];
    int m_currentIndex;
    int m_previewMode;
    int m_blankContentAmount;
    double m_maxLength;
    AdfPaperSourceFlag m_paperSource;
    ImageSizeUnitFlag m_sizeUnit;
    double m_sizeFactor;
    bool m_adjustChanged;

    // Value-change connections of each page, so a disconnect removes exactly
    // these and a second connect does not double them.
    QVector<QMetaObject::Connection> m_generalLinks, m_sizeLinks, m_adjustLinks, m_enhanceLinks,
        m_detectLinks;
    QMetaObject::Connection m_dropoutLink, m_imageTypeLink, m_borderLink, m_predefinedLink;
    bool m_notifyChanges = false;
    // Set while a profile is loaded: the handlers the load runs to set
    // visibility ask for no preview update and no rescan.
    bool m_loading = false;
    QTimer m_changeTimer;
};

#endif

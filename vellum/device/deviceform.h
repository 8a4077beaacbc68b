#ifndef DEVICEFORM_H
#define DEVICEFORM_H

#include "devicestampgraphic.h"
#include "scanshortcut.h"

#include <QColor>
#include <QList>
#include <QMetaObject>
#include <QWidget>

class PMessage;
class PreviewForm;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QRegularExpressionValidator;
class Ui_DeviceForm;

// The console's Device tab: the device part of the current profile on the
// General, Transport, Imprinter and Multifeed pages. Lengths are stored in
// inches and shown in the console's unit.
class DeviceForm : public QWidget
{
    Q_OBJECT
public:
    // Largest value of the length spin boxes: the longest lengths the page
    // clamps to still fit in pixels at the highest resolution.
    static constexpr double MaxLengthShown = 1000000.0;

    DeviceForm(PMessage *hub, QWidget *parent = nullptr);
    ~DeviceForm() override;

    bool updateDeviceVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateDeviceUIcontrolToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void connectAllChangeValueControlMessages();
    void disconnectAllChangeValueControlMessages();
    void resetDialogIndex();
    void updatePaperSourceState(int paperSource);
    void updateStampIndexAndCounter(tagSCAN_SHORTCUT_MENU &profile);
    // The graphics library's list around a settings package: written before
    // an export reads it, read again after an import added graphics to it
    // (else the page would write its old list over theirs when it closes).
    void saveStampGraphicList();
    void reloadStampGraphicList();

    bool updateDeviceGeneralPageVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateDeviceGeneralPageUIcontrolToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareDeviceGeneralPageVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateDeviceTransportPageVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateDeviceTransportPageUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareDeviceTransportVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateDeviceStampPageTextVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateDeviceStampPageTextUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareDeviceStampPageTextVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateDeviceStampPageGraphicVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateDeviceStampPageGraphicUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareDeviceStampPageGraphicVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateDeviceStampPageLayOutVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateDeviceStampPageLayOutUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareDeviceStampPageLayOutVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateDeviceBackToThePaperPageVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateDeviceBackToThePaperPageUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareDeviceBackToThePaperPageVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);

    void connectGeneralPageChangeValueControlMessages();
    void disconnectGeneralPageChangeValueControlMessages();
    void connectBackToThePagerChangeValueControlMessage();
    void disconnectBackToThePagerChangeValueControlMessage();

    // Factor from inches to the unit shown.
    double getSizeTimes() const;
    // The template summary of a stamp block, as the Text page shows it.
    static QString stampTextPreview(const tagSTAMP_CONFIG &stamp);
    // A stamp colour as the block packs it, and back.
    static quint32 packStampColor(const QColor &color);
    static QColor unpackStampColor(quint32 packed);

    const tagSTAMP_CONFIG &stampConfig() const { return m_stStampConfig; }
    DeviceStampGraphic &stampGraphic() { return m_stampGraphic; }
    int unit() const { return m_nUnit; }
    double resolution() const { return m_dResolution; }

public slots:
    void clickedBtnDiagnostics();
    void currentItemChangePaperSource();
    void changedPaperIndex();
    void scanFinish(tagSCAN_SHORTCUT_MENU *profile, int paperIndex, int stampStartIndex);
    void changedImageSizeUnit(ImageSizeUnitFlag unit);
    void changedResolution(ImageResolutionFlag resolution);
    void sheetHeightRange();

    void currentItemChangeBackToThePaper();
    void currentItemChangeLengthEnabled();
    void bttpPageState();
    void multifeedLengthRange();
    void imageAreaChangeMulLength(int imageArea, double height);
    void currentImageHeightChange(double height);

    void clickedOpenMessage();
    void clickedOpenColorDialog();
    void clickedOpenColorDialog2();
    void clickedOpenDocument();
    void clickedBtnDeletePicture();
    void checkStateChangeStampText();
    void checkStateChangeStampGraphic();
    void checkStateChangeStampBorder();
    void stampPositionXRange();
    void stampPositionYRange();
    void stampBorderThicknessRange();
    void checkStampIndexFormat();
    void updateStampIndexValue(bool checkedEnable);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void initDialog();
    void connectGeneralPageMessages();
    void loadDeviceGeneralPage();
    void loadDeviceTransportPage();
    void loadDeviceBackToThePaperPage();
    void loadDeviceStampPage();
    void StampPageConnectMessage();
    void loadDeviceStampPageWording();
    void loadDeviceStampText();
    void loadDeviceStampGraphic();
    void loadDeviceStampLayout();
    void createStampText();
    void createStampGraphic();
    void createStampLayout();
    void checkStateChangeDevicePowerOff();
    void checkStateChangeDeviceOn();

    void applyUnitLook();
    void changeUnitSize(double sheet, double x, double y, double thickness, double multifeed,
                        bool unitChanged);
    void reshowLengths(int unit, double resolution);
    void setLength(QDoubleSpinBox *spin, double inches);
    double readLength(const QDoubleSpinBox *spin, int decimals = 2) const;
    void paintSwatch(QPushButton *swatch, const QColor &color);
    void refreshStampPreview();
    void updateStampCounterVisibility();
    void applyStampIndexValidator();
    void notifyEdited();
    void applyMultifeedRules();
    quint32 stampHundredths(const QDoubleSpinBox *spin) const;
    quint16 stampThousandths() const;

    Ui_DeviceForm *ui;
    PMessage *m_hub;
    tagSTAMP_CONFIG m_stStampConfig;
    QColor m_textColor;
    QColor m_borderColor;
    // The colours the swatches show: their palettes follow the style sheet
    // only once polished, so comparisons use these.
    QColor m_textSwatchColor;
    QColor m_borderSwatchColor;
    DeviceStampGraphic m_stampGraphic;
    PreviewForm *m_pStampPreview;
    QRegularExpressionValidator *m_pStampIndexValidator;
    int m_nPaperSourceState;
    int m_nImageArea;
    double m_dImageHeight;
    int m_nUnit;
    double m_dResolution;

    QMetaObject::Connection m_connPaperSource;
    QMetaObject::Connection m_connSensitivity;
    QMetaObject::Connection m_connResolution;
    QList<QMetaObject::Connection> m_editConnections;
};

#endif

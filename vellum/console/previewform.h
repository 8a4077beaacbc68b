#ifndef PREVIEWFORM_H
#define PREVIEWFORM_H

#include "scanshortcut.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <initializer_list>

class PMessage;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QScrollBar;

// The last preview scan on a scaled picture of the scanner bed, with rulers,
// zoom, three menus (quality, automatic update, unit) and the frame of a
// user-defined scan area. The settings page and the device page each build
// one on the same hub, so a menu choice in one shows in the other.
class PreviewForm : public QWidget
{
    Q_OBJECT
public:
    PreviewForm(PMessage *hub, QWidget *parent = nullptr);

    bool updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile);
    bool updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile);
    bool compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile);
    void updateFlatbedType(int flatbedType);
    int getPreviewQuality();
    void hideControlforDevice();

    // Read-only view of the state, for the pages that embed the form and tests.
    int zoom() const { return m_zoom; }
    int horizontalScroll() const { return m_hScroll; }
    int verticalScroll() const { return m_vScroll; }
    double areaX() const { return m_areaX; }
    double areaY() const { return m_areaY; }
    double areaWidth() const { return m_areaWidth; }
    double areaHeight() const { return m_areaHeight; }
    double areaAngle() const { return m_areaAngle; }
    bool areaShown() const { return m_areaShown; }
    int previewMode() const { return m_previewMode; }
    int previewUnits() const { return int(m_previewUnits); }
    int previewAutoUpdate() const { return int(m_previewAutoUpdate); }
    QString previewFilename() const { return m_previewFilename; }
    QSize sourceImageSize() const { return QSize(m_imageWidth, m_imageHeight); }
    // Size the preview picture has on screen at the current zoom.
    QSize scaledImageSize() const { return m_scaledSize; }

public slots:
    void getPreviewFilename(SCAN_SHORTCUT_MENU *pstScanShortcut, QString strFilename);
    void clearPreviewFilename();
    void getPreviewMode(int previewMode);
    void triggeredPreivewQualityNormal();
    void triggeredPreivewQualityHigh();
    void triggeredAutoUpdateOpen();
    void triggeredAutoUpdateClose();
    void triggeredUnitsInches();
    void triggeredUnitsCentimeters();
    void triggeredUnitsPixels();
    void setPreviewQuality(PreviewQualityFlag quality);
    void setPreviewAutoUpdate(PreviewAutoUpdateFlag autoUpdate);
    void setPreviewUnits(ImageSizeUnitFlag unit);
    void clickedBtnSettingMagnify();
    void clickedBtnSettingShrink();
    void clickedBtnSettingRotate();
    void clickedBtnSettingCenter();
    void valueChangedHorizon(int value);
    void valueChangedVertical(int value);
    void enableStateChangedRotateAndCenter(bool bEnable);
    void settingToolPreviewSize(double sizex, double sizey, double sizew, double sizeh,
                                double sizeangle);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    enum class ZoomStep { Magnify, Shrink };

    void buildForm();
    QPushButton *makeButton(const char *name, const QString &icon, QSize iconSize,
                            const QString &tip);
    QMenu *makeMenu(QPushButton *button, std::initializer_list<QAction **> actions,
                    const QStringList &texts);
    void connectSignals();
    void placeButtons(bool compact);
    void layoutContainer();
    void applyZoomStep(ZoomStep step);
    void chooseQuality(PreviewQualityFlag quality);
    void chooseAutoUpdate(PreviewAutoUpdateFlag autoUpdate);
    void chooseUnit(QAction *chosen, ImageSizeUnitFlag unit);
    void judgePreviewWarning();
    void paintRuler(QLabel *ruler, bool top);
    void paintBedOutline(QPainter &painter);
    void paintImage(QPainter &painter);
    void paintFrame();
    void emitAreaInInches();

    static void tick(std::initializer_list<QAction *> actions, QAction *chosen);

    // Form widgets (children of the form).
    QWidget *m_container = nullptr;
    QLabel *m_rulerX = nullptr;
    QLabel *m_rulerY = nullptr;
    QScrollBar *m_hBar = nullptr;
    QScrollBar *m_vBar = nullptr;
    QLabel *m_blank = nullptr;
    QPushButton *m_btnMagnify = nullptr;
    QPushButton *m_btnShrink = nullptr;
    QPushButton *m_btnRotate = nullptr;
    QPushButton *m_btnCenter = nullptr;
    QPushButton *m_btnQuality = nullptr;
    QPushButton *m_btnAutoUpdate = nullptr;
    QPushButton *m_btnUnits = nullptr;

    PMessage *m_hub;

    QMenu *m_menuQuality = nullptr;
    QMenu *m_menuAutoUpdate = nullptr;
    QMenu *m_menuUnits = nullptr;
    QAction *m_actQualityNormal = nullptr;
    QAction *m_actQualityHigh = nullptr;
    QAction *m_actAutoOpen = nullptr;
    QAction *m_actAutoClose = nullptr;
    QAction *m_actInches = nullptr;
    QAction *m_actCentimeters = nullptr;
    QAction *m_actPixels = nullptr;

    int m_zoom = 1;
    int m_hScroll = 0;
    int m_vScroll = 0;
    int m_formWidth = 0;
    int m_formHeight = 0;
    QImage m_sourceImage;
    // The picture is drawn scaled to this size straight from the source, so
    // only the visible part is ever scaled: a full copy at zoom 32 would take
    // hundreds of megabytes for an A4 page.
    QSize m_scaledSize;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    int m_previewResolution;
    double m_areaX = 0;
    double m_areaY = 0;
    double m_dragAnchorX = 0;
    double m_dragAnchorY = 0;
    double m_areaAngle = 0;
    double m_areaWidth = 0;
    double m_areaHeight = 0;
    double m_bedWidth;
    bool m_areaShown = false;
    QString m_previewFilename;
    PreviewQualityFlag m_previewQuality = PreviewQualityNormal;
    PreviewAutoUpdateFlag m_previewAutoUpdate = PreviewAutoUpdateOn;
    ImageSizeUnitFlag m_previewUnits = UnitInch;
    int m_previewMode = 0;
};

#endif

#include "previewform.h"

#include "pmessage.h"
#include "previewgeometry.h"
#include "previewrescan.h"

#include <QAction>
#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

using namespace preview;

namespace {

constexpr int kRulerSize = 20;
constexpr int kContainerLeft = 9;
constexpr int kContainerTop = 50;
constexpr int kButtonTop = 8;
constexpr int kButtonHeight = 31;
const char *const kMenuButtonStyle = "QPushButton::menu-indicator{image:none;}";

} // namespace

// The tool buttons' pictures, registered also in static builds.
static void initPreviewResources()
{
    Q_INIT_RESOURCE(preview);
}

PreviewForm::PreviewForm(PMessage *hub, QWidget *parent)
    : QWidget(parent), m_hub(hub), m_previewResolution(kPreviewResolution),
      m_bedWidth(kBedWidthInches)
{
    initPreviewResources();
    buildForm();
    connectSignals();
    placeButtons(false);
    layoutContainer();
    m_formWidth = width();
    m_formHeight = height();
    for (QLabel *ruler : {m_rulerX, m_rulerY}) {
        ruler->setStyleSheet("QLabel{background-color:rgb(255,255,255);}");
        ruler->installEventFilter(this);
    }
}

void PreviewForm::buildForm()
{
    setObjectName("PreviewForm");
    resize(349, 526);

    m_container = new QWidget(this);
    m_container->setObjectName("widget");
    m_rulerX = new QLabel(m_container);
    m_rulerX->setObjectName("labelx");
    m_rulerY = new QLabel(m_container);
    m_rulerY->setObjectName("labely");
    m_hBar = new QScrollBar(Qt::Horizontal, m_container);
    m_hBar->setObjectName("horizontalScrollBar");
    m_vBar = new QScrollBar(Qt::Vertical, m_container);
    m_vBar->setObjectName("verticalScrollBar");
    m_blank = new QLabel(m_container);
    m_blank->setObjectName("labelblank");
    m_blank->setStyleSheet("QWidget#labelblank{\n \nbackground:transparent;\n}");

    m_btnMagnify = makeButton("pushButtonSettingMagnify", ":/settings/images/settings/magnify.png",
                              QSize(31, 31), tr("放大"));
    m_btnShrink = makeButton("pushButtonSettingShrink", ":/settings/images/settings/shrink.png",
                             QSize(31, 31), tr("缩小"));
    m_btnRotate = makeButton("pushButtonSettingRotate", ":/settings/images/settings/rotate.png",
                             QSize(31, 31), tr("旋转轮廓"));
    m_btnCenter = makeButton("pushButtonSettingCenter", ":/settings/images/settings/center.png",
                             QSize(31, 31), tr("置中轮廓"));
    m_btnQuality =
        makeButton("pushButtonPreviewQuality", ":/settings/images/settings/preview-quality.png",
                   QSize(44, 31), tr("预览质量"));
    m_btnAutoUpdate =
        makeButton("pushButtonAutoUpdate", ":/settings/images/settings/auto-update.png",
                   QSize(44, 31), tr("自动预览更新"));
    m_btnUnits = makeButton("pushButtonUnits", ":/settings/images/settings/units.png",
                            QSize(44, 31), tr("单位"));

    m_menuQuality =
        makeMenu(m_btnQuality, {&m_actQualityNormal, &m_actQualityHigh}, {tr("正常"), tr("高")});
    m_menuAutoUpdate =
        makeMenu(m_btnAutoUpdate, {&m_actAutoOpen, &m_actAutoClose}, {tr("开启"), tr("关闭")});
    m_menuUnits = makeMenu(m_btnUnits, {&m_actInches, &m_actCentimeters, &m_actPixels},
                           {tr("英寸"), tr("厘米"), tr("像素")});
    m_actQualityNormal->setChecked(true);
    m_actAutoOpen->setChecked(true);
    m_actInches->setChecked(true);

    m_btnShrink->setEnabled(false);
    m_btnRotate->setEnabled(false);
    m_btnCenter->setEnabled(false);
}

QPushButton *PreviewForm::makeButton(const char *name, const QString &icon, QSize iconSize,
                                     const QString &tip)
{
    auto *b = new QPushButton(this);
    b->setObjectName(name);
    b->setFlat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setIcon(QIcon(icon));
    b->setIconSize(iconSize);
    b->setToolTip(tip);
    return b;
}

QMenu *PreviewForm::makeMenu(QPushButton *button, std::initializer_list<QAction **> actions,
                             const QStringList &texts)
{
    auto *menu = new QMenu(this);
    int i = 0;
    for (QAction **slot : actions) {
        *slot = menu->addAction(texts.at(i++));
        (*slot)->setCheckable(true);
    }
    button->setMenu(menu);
    button->setStyleSheet(kMenuButtonStyle);
    return menu;
}

void PreviewForm::connectSignals()
{
    connect(m_actQualityNormal, &QAction::triggered, this,
            &PreviewForm::triggeredPreivewQualityNormal);
    connect(m_actQualityHigh, &QAction::triggered, this, &PreviewForm::triggeredPreivewQualityHigh);
    connect(m_actAutoOpen, &QAction::triggered, this, &PreviewForm::triggeredAutoUpdateOpen);
    connect(m_actAutoClose, &QAction::triggered, this, &PreviewForm::triggeredAutoUpdateClose);
    connect(m_actInches, &QAction::triggered, this, &PreviewForm::triggeredUnitsInches);
    connect(m_actCentimeters, &QAction::triggered, this, &PreviewForm::triggeredUnitsCentimeters);
    connect(m_actPixels, &QAction::triggered, this, &PreviewForm::triggeredUnitsPixels);
    connect(m_btnMagnify, &QPushButton::clicked, this, &PreviewForm::clickedBtnSettingMagnify);
    connect(m_btnShrink, &QPushButton::clicked, this, &PreviewForm::clickedBtnSettingShrink);
    connect(m_btnRotate, &QPushButton::clicked, this, &PreviewForm::clickedBtnSettingRotate);
    connect(m_btnCenter, &QPushButton::clicked, this, &PreviewForm::clickedBtnSettingCenter);
    connect(m_hBar, &QScrollBar::valueChanged, this, &PreviewForm::valueChangedHorizon);
    connect(m_vBar, &QScrollBar::valueChanged, this, &PreviewForm::valueChangedVertical);
    if (!m_hub)
        return;
    connect(m_hub, &PMessage::sendPreviewFilename, this, &PreviewForm::getPreviewFilename);
    connect(m_hub, &PMessage::clearPreviewFilaname, this, &PreviewForm::clearPreviewFilename);
    connect(m_hub, &PMessage::sendPreviewMode, this, &PreviewForm::getPreviewMode);
    connect(m_hub, &PMessage::changedPreivewQuality, this, &PreviewForm::setPreviewQuality);
    connect(m_hub, &PMessage::changedPreivewAutoUpdate, this, &PreviewForm::setPreviewAutoUpdate);
    connect(m_hub, &PMessage::changedImageUnits, this, &PreviewForm::setPreviewUnits);
    connect(m_hub, &PMessage::settingToolRotateAndCenter, this,
            &PreviewForm::enableStateChangedRotateAndCenter);
    connect(m_hub, &PMessage::settingToolPreviewSize, this, &PreviewForm::settingToolPreviewSize);
}

void PreviewForm::placeButtons(bool compact)
{
    m_btnMagnify->setGeometry(30, kButtonTop, 31, kButtonHeight);
    m_btnShrink->setGeometry(62, kButtonTop, 31, kButtonHeight);
    if (compact) {
        m_btnQuality->setGeometry(94, kButtonTop, 44, kButtonHeight);
        m_btnAutoUpdate->setGeometry(139, kButtonTop, 44, kButtonHeight);
        m_btnUnits->setGeometry(184, kButtonTop, 44, kButtonHeight);
        return;
    }
    m_btnRotate->setGeometry(94, kButtonTop, 31, kButtonHeight);
    m_btnCenter->setGeometry(126, kButtonTop, 31, kButtonHeight);
    m_btnQuality->setGeometry(158, kButtonTop, 44, kButtonHeight);
    m_btnAutoUpdate->setGeometry(203, kButtonTop, 44, kButtonHeight);
    m_btnUnits->setGeometry(248, kButtonTop, 44, kButtonHeight);
}

void PreviewForm::hideControlforDevice()
{
    m_btnRotate->hide();
    m_btnCenter->hide();
    placeButtons(true);
}

// --- profile exchange ---------------------------------------------------------

void PreviewForm::tick(std::initializer_list<QAction *> actions, QAction *chosen)
{
    for (QAction *a : actions)
        a->setChecked(a == chosen);
}

bool PreviewForm::updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    setPreviewQuality(profile.previewQuality);
    setPreviewAutoUpdate(profile.previewAutoUpdate);
    setPreviewUnits(profile.sizeUnit);
    update();
    return true;
}

bool PreviewForm::updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile)
{
    if (m_actQualityNormal->isChecked())
        profile.previewQuality = PreviewQualityNormal;
    else if (m_actQualityHigh->isChecked())
        profile.previewQuality = PreviewQualityHigh;
    if (m_actAutoOpen->isChecked())
        profile.previewAutoUpdate = PreviewAutoUpdateOn;
    else if (m_actAutoClose->isChecked())
        profile.previewAutoUpdate = PreviewAutoUpdateOff;
    if (m_actInches->isChecked())
        profile.sizeUnit = UnitInch;
    else if (m_actCentimeters->isChecked())
        profile.sizeUnit = UnitCentimetre;
    else if (m_actPixels->isChecked())
        profile.sizeUnit = UnitPixel;
    return true;
}

bool PreviewForm::compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    return m_previewUnits == profile.sizeUnit && m_previewQuality == profile.previewQuality &&
           m_previewAutoUpdate == profile.previewAutoUpdate;
}

int PreviewForm::getPreviewQuality()
{
    if (m_actQualityNormal->isChecked())
        return 0;
    return m_actQualityHigh->isChecked() ? 1 : 0;
}

void PreviewForm::updateFlatbedType(int flatbedType)
{
    Q_UNUSED(flatbedType)
    m_bedWidth = kBedWidthInches;
}

// --- menus --------------------------------------------------------------------

void PreviewForm::setPreviewQuality(PreviewQualityFlag quality)
{
    if (quality != PreviewQualityNormal && quality != PreviewQualityHigh)
        return;
    tick({m_actQualityNormal, m_actQualityHigh},
         quality == PreviewQualityNormal ? m_actQualityNormal : m_actQualityHigh);
    m_previewQuality = quality;
}

void PreviewForm::setPreviewAutoUpdate(PreviewAutoUpdateFlag autoUpdate)
{
    if (autoUpdate != PreviewAutoUpdateOn && autoUpdate != PreviewAutoUpdateOff)
        return;
    tick({m_actAutoOpen, m_actAutoClose},
         autoUpdate == PreviewAutoUpdateOn ? m_actAutoOpen : m_actAutoClose);
    m_previewAutoUpdate = autoUpdate;
}

void PreviewForm::setPreviewUnits(ImageSizeUnitFlag unit)
{
    QAction *chosen = unit == UnitInch         ? m_actInches
                      : unit == UnitCentimetre ? m_actCentimeters
                      : unit == UnitPixel      ? m_actPixels
                                               : nullptr;
    if (!chosen)
        return;
    tick({m_actInches, m_actCentimeters, m_actPixels}, chosen);
    m_previewUnits = unit;
    update();
    m_rulerX->update();
    m_rulerY->update();
}

void PreviewForm::chooseQuality(PreviewQualityFlag quality)
{
    setPreviewQuality(quality);
    if (m_hub)
        emit m_hub->changedPreivewQuality(quality);
    judgePreviewWarning();
}

void PreviewForm::chooseAutoUpdate(PreviewAutoUpdateFlag autoUpdate)
{
    setPreviewAutoUpdate(autoUpdate);
    if (m_hub)
        emit m_hub->changedPreivewAutoUpdate(autoUpdate);
    judgePreviewWarning();
}

void PreviewForm::chooseUnit(QAction *chosen, ImageSizeUnitFlag unit)
{
    // The settings form converts its lengths on the first signal; the other
    // preview follows the second. A unit never asks for a new preview.
    tick({m_actInches, m_actCentimeters, m_actPixels}, chosen);
    if (m_hub)
        emit m_hub->changedImageSizeUnit(unit);
    setPreviewUnits(unit);
    if (m_hub)
        emit m_hub->changedImageUnits(unit);
}

void PreviewForm::triggeredPreivewQualityNormal()
{
    chooseQuality(PreviewQualityNormal);
}

void PreviewForm::triggeredPreivewQualityHigh()
{
    chooseQuality(PreviewQualityHigh);
}

void PreviewForm::triggeredAutoUpdateOpen()
{
    chooseAutoUpdate(PreviewAutoUpdateOn);
}

void PreviewForm::triggeredAutoUpdateClose()
{
    chooseAutoUpdate(PreviewAutoUpdateOff);
}

void PreviewForm::triggeredUnitsInches()
{
    chooseUnit(m_actInches, UnitInch);
}

void PreviewForm::triggeredUnitsCentimeters()
{
    chooseUnit(m_actCentimeters, UnitCentimetre);
}

void PreviewForm::triggeredUnitsPixels()
{
    chooseUnit(m_actPixels, UnitPixel);
}

void PreviewForm::getPreviewMode(int previewMode)
{
    m_previewMode = previewMode;
}

void PreviewForm::judgePreviewWarning()
{
    if (m_previewMode <= 0)
        return;
    // Asked once per preview image: the counter is only set again by the
    // console's next preview scan.
    m_previewMode = 0;
    askRescan(this, m_hub);
}

// --- preview image and zoom ---------------------------------------------------

void PreviewForm::getPreviewFilename(SCAN_SHORTCUT_MENU *pstScanShortcut, QString strFilename)
{
    Q_UNUSED(pstScanShortcut)
    m_previewFilename = strFilename;
    QImage loaded;
    if (!strFilename.isEmpty())
        loaded.load(strFilename);
    // One 32-bit form for every page kind (one-bit G4, grey, colour), so that
    // drawing a scaled part never converts the whole page again.
    m_sourceImage = loaded.isNull() ? QImage() : loaded.convertToFormat(QImage::Format_RGB32);
    m_imageWidth = m_sourceImage.width();
    m_imageHeight = m_sourceImage.height();
    update();
    // A Magnify step and a Shrink step would leave the zoom as it is and
    // rebuild the picture, scroll ranges and buttons; done in one step so
    // that the largest zoom does not pass through 64 and re-enable Magnify.
    applyZoomStep(ZoomStep::Shrink);
}

void PreviewForm::clearPreviewFilename()
{
    getPreviewFilename(nullptr, QString());
}

void PreviewForm::clickedBtnSettingMagnify()
{
    if (m_zoom >= kMaxZoom)
        return;
    m_zoom *= 2;
    applyZoomStep(ZoomStep::Magnify);
}

void PreviewForm::clickedBtnSettingShrink()
{
    if (m_zoom <= kMinZoom)
        return;
    m_zoom /= 2;
    applyZoomStep(ZoomStep::Shrink);
}

void PreviewForm::applyZoomStep(ZoomStep step)
{
    m_formWidth = width();
    m_formHeight = height();
    m_btnMagnify->setEnabled(m_zoom <= 16);
    m_btnShrink->setEnabled(m_zoom > 1);

    const double bedPixels = kPixelsPerInch * m_bedWidth * m_zoom;
    if (bedPixels > m_formWidth - 20) {
        m_hBar->setEnabled(true);
    } else {
        m_hBar->setEnabled(false);
        m_hBar->setValue(0);
    }
    if (kBedLength * m_zoom < m_formHeight - 19) {
        m_vBar->setEnabled(false);
        m_vBar->setValue(0);
    } else {
        m_vBar->setEnabled(true);
    }
    m_hBar->setRange(0, int((m_zoom - 1) * kPixelsPerInch * m_bedWidth / m_zoom));
    m_vBar->setRange(0, (m_zoom - 1) * kBedLength / m_zoom);
    m_hBar->setValue(0);
    m_vBar->setValue(0);
    m_hScroll = 0;
    m_vScroll = 0;

    m_scaledSize = m_sourceImage.isNull()
                       ? QSize()
                       : preview::scaledImageSize(m_sourceImage.size(), m_zoom,
                                                  step == ZoomStep::Shrink, m_previewResolution);
    update();
    m_rulerX->update();
    m_rulerY->update();
}

void PreviewForm::valueChangedHorizon(int value)
{
    m_hScroll = value;
    update();
    m_rulerX->update();
}

void PreviewForm::valueChangedVertical(int value)
{
    m_vScroll = value;
    update();
    m_rulerY->update();
}

// --- scan-area frame ------------------------------------------------------------

void PreviewForm::enableStateChangedRotateAndCenter(bool bEnable)
{
    m_btnRotate->setEnabled(bEnable);
    m_btnCenter->setEnabled(bEnable);
    m_areaShown = bEnable;
    update();
}

void PreviewForm::settingToolPreviewSize(double sizex, double sizey, double sizew, double sizeh,
                                         double sizeangle)
{
    // The settings form sends this whenever its numbers change, including in
    // answer to our own settingSizePreview: emitting here would loop.
    m_areaAngle = sizeangle;
    m_areaWidth = sizew * kPixelsPerInch;
    m_areaHeight = sizeh * kPixelsPerInch;
    m_areaX = sizex * kPixelsPerInch * m_zoom + kBedLeft;
    m_areaY = sizey * kPixelsPerInch * m_zoom + kBedTop;
    update();
}

void PreviewForm::clickedBtnSettingRotate()
{
    std::swap(m_areaWidth, m_areaHeight);
    update();
    emitAreaInInches();
}

void PreviewForm::clickedBtnSettingCenter()
{
    m_areaX = (kPixelsPerInch * m_bedWidth * 0.5 - 0.5 * m_areaWidth) * m_zoom + kBedLeft;
    update();
    emitAreaInInches();
}

void PreviewForm::emitAreaInInches()
{
    if (!m_hub)
        return;
    const AreaInches a = areaToInches(m_areaX, m_areaY, m_areaWidth, m_areaHeight, m_zoom);
    emit m_hub->settingSizePreview(a.x, a.y, a.width, a.height);
}

void PreviewForm::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint p = bedPoint(event->localPos().x(), event->localPos().y());
    if (m_dragAnchorX < p.x() && p.x() < m_dragAnchorX + m_areaWidth * m_zoom &&
        m_dragAnchorY < p.y() && p.y() < m_dragAnchorY + m_zoom * m_areaHeight) {
        m_areaX = p.x();
        m_areaY = p.y();
    }
}

void PreviewForm::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = bedPoint(event->localPos().x(), event->localPos().y());
    m_areaX = clampAxis(p.x(), kBedLeft, dragMaxX(m_bedWidth, m_areaWidth, m_zoom));
    m_areaY = clampAxis(p.y(), kBedTop, dragMaxY(m_areaHeight, m_zoom));
    update();
    emitAreaInInches();
}

void PreviewForm::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragAnchorX = m_areaX;
    m_dragAnchorY = m_areaY;
}

// --- layout and painting ----------------------------------------------------------

void PreviewForm::layoutContainer()
{
    m_container->setGeometry(kContainerLeft, kContainerTop, width() - kContainerLeft,
                             height() - kContainerTop);
    const int w = m_container->width();
    const int h = m_container->height();
    m_rulerX->setGeometry(kRulerSize, 0, w - 2 * kRulerSize, kRulerSize);
    m_rulerY->setGeometry(0, kRulerSize, kRulerSize, h - 2 * kRulerSize);
    m_hBar->setGeometry(kRulerSize, h - kRulerSize, w - 2 * kRulerSize, kRulerSize);
    m_vBar->setGeometry(w - kRulerSize, kRulerSize, kRulerSize, h - 2 * kRulerSize);
    m_blank->setGeometry(w - kRulerSize, h - kRulerSize, kRulerSize, kRulerSize);
}

void PreviewForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutContainer();
    m_formWidth = width();
    m_formHeight = height();
    m_hBar->setEnabled(m_formWidth <= 32 * m_bedWidth * m_zoom);
    m_vBar->setEnabled(kBedLength * m_zoom >= m_formHeight);
    m_hBar->setValue(0);
    m_vBar->setValue(0);
    update();
}

bool PreviewForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        if (watched == m_rulerX)
            paintRuler(m_rulerX, true);
        else if (watched == m_rulerY)
            paintRuler(m_rulerY, false);
    }
    return QWidget::eventFilter(watched, event);
}

void PreviewForm::paintRuler(QLabel *ruler, bool top)
{
    m_formWidth = width();
    m_formHeight = height();
    QPainter painter(ruler);
    painter.setPen(QPen(Qt::black, 0.5, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    QFont font = painter.font();
    font.setPixelSize(10);
    painter.setFont(font);

    const QVector<RulerTick> ticks =
        rulerTicks(top ? RulerAxis::Top : RulerAxis::Left, int(m_previewUnits), m_zoom,
                   top ? m_hScroll : m_vScroll, m_formWidth, m_previewResolution);
    if (top) {
        painter.drawLine(0, 19, m_formWidth, 19);
        painter.drawLine(0, 0, m_formWidth, 0);
        painter.drawLine(0, 19, 0, 0);
    } else {
        painter.drawLine(19, 0, 19, m_formHeight);
        painter.drawLine(0, 0, 0, m_formHeight);
        painter.drawLine(19, 0, 0, 0);
    }
    for (const RulerTick &t : ticks) {
        if (top)
            painter.drawLine(t.pos, 19, t.pos, t.end);
        else
            painter.drawLine(19, t.pos, t.end, t.pos);
        if (!t.label.isEmpty())
            painter.drawText(t.labelAt, t.label);
    }
}

void PreviewForm::paintBedOutline(QPainter &painter)
{
    QPen pen(Qt::black, 1);
    pen.setDashPattern({5, 3, 5, 3});
    painter.setPen(pen);
    const int bedRight = int(kPixelsPerInch * m_bedWidth * m_zoom + kBedLeft);
    const int bedBottom = kBedLength * m_zoom + kBedTop;
    // When the bed is larger than the form the edges follow the scrolled
    // picture, so they show where the bed really ends.
    const int right = bedRight - m_zoom * m_hScroll;
    const int bottom = bedBottom - m_zoom * m_vScroll;
    if (right >= kBedLeft)
        painter.drawLine(right, kBedTop, right, bottom);
    if (bottom >= kBedTop)
        painter.drawLine(kBedLeft, bottom, right, bottom);
}

void PreviewForm::paintImage(QPainter &painter)
{
    if (m_sourceImage.isNull())
        return;
    painter.save();
    painter.setClipRect(QRect(kBedLeft, kBedTop, 32767, 32767));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (m_zoom <= 1) {
        const QSize size = zoomOneImageSize(m_sourceImage.size(), m_previewResolution);
        painter.drawImage(QRect(QPoint(kBedLeft, kBedTop), size), m_sourceImage);
    } else {
        // Drawing the source into the scaled rectangle, clipped to the form,
        // scales only the pixels that show.
        const QRect target(kBedLeft - m_zoom * m_hScroll, kBedTop - m_zoom * m_vScroll,
                           m_scaledSize.width(), m_scaledSize.height());
        painter.setClipRect(QRect(kBedLeft, kBedTop, width(), height()), Qt::IntersectClip);
        painter.drawImage(target, m_sourceImage);
    }
    painter.restore();
}

void PreviewForm::paintFrame()
{
    QPainter painter(this);
    painter.setClipRect(QRect(kBedLeft, kBedTop, 32767, 32767));
    painter.drawRect(
        frameRect(m_areaX, m_areaY, m_areaWidth, m_areaHeight, m_zoom, m_hScroll, m_vScroll));
}

void PreviewForm::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    m_formWidth = width();
    m_formHeight = height();
    {
        QPainter painter(this);
        paintBedOutline(painter);
        paintImage(painter);
    }
    if (m_areaShown)
        paintFrame();
}

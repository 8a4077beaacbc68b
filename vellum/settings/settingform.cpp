#include "settingform.h"

#include "oxadvancedlengths.h"
#include "pmessage.h"
#include "previewform.h"
#include "previewrescan.h"
#include "ui_settingform.h"

#include <QAbstractSlider>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QListWidget>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSpinBox>

#include <cmath>
#include <cstring>

namespace {
// The preview takes the form's width beyond the settings column.
constexpr int kSettingsColumnWidth = 430;
// No page is longer than this many inches; more is a damaged value.
constexpr double kLengthLimit = 10000.0;
} // namespace

SettingForm::SettingForm(PMessage *hub, QWidget *parent)
    : QWidget(parent), ui(new Ui::SettingForm), m_hub(hub)
{
    // The pictures live in the library; a static build needs them pulled in.
    Q_INIT_RESOURCE(settings);
    ui->setupUi(this);
    if (!m_hub)
        m_hub = new PMessage(this);
    std::memset(static_cast<void *>(m_settingBlocks), 0, sizeof(m_settingBlocks));
    m_currentIndex = 0;
    m_previewMode = 0;
    m_blankContentAmount = 0;
    m_maxLength = 12.08;
    m_paperSource = AdfPaperSourceFlag(0);
    m_sizeUnit = ImageSizeUnitFlag(0);
    m_sizeFactor = 200.0;
    m_adjustChanged = false;

    // One notice per edit, sent once the edit's rules have all run.
    m_changeTimer.setSingleShot(true);
    m_changeTimer.setInterval(0);
    connect(&m_changeTimer, &QTimer::timeout, this, [this] {
        if (m_notifyChanges)
            emit m_hub->controlValueChanged();
    });

    initDialog();
    m_preview = new PreviewForm(m_hub, ui->SettingPreviewwidget);
    connectChangeNotifications();
}

SettingForm::~SettingForm()
{
    delete ui;
}

void SettingForm::initDialog()
{
    loadGeneralPageWording();
    createSettingSides();
    createColorMode();
    createDocType();
    createMediaType();
    createResolution();
    createCompressType(2);
    createCompressQuality();
    loadSizePageWording();
    createSizeDocType();
    createSizeImage();
    createPredefined();
    createSizeBorder();
    createSizePostScanRotation();
    loadAdjustPageWording();
    createAdjustBriAndCon();
    createAdjustColor();
    createAdjustSharpen();
    createAdjustForBol();
    createAdjustBackSmo();
    createAdjustConversionQuality();
    createAdjustFilters();
    createAdjustInvertColors();
    loadEnhancePageWording();
    createHoleFill();
    createImageEdgeFill();
    createStreakFilter();
    createColorDropout(2);
    loadDetectPageWording();
    createBlankImageDeletion();
    createBarcodeReading();
    ui->tabWidgetGeneral->setCurrentIndex(0);
    loadSettingToolWording();
    for (QScrollArea *area :
         {ui->scrollArea, ui->scrollArea_2, ui->scrollArea_3, ui->scrollArea_4}) {
        area->setStyleSheet(QStringLiteral("QScrollArea {background-color:transparent;}"));
        area->setFrameShape(QFrame::NoFrame);
    }
    connectMessages();
}

void SettingForm::createSettingSides()
{
    static const char *const texts[] = {QT_TR_NOOP("两侧"),
                                        QT_TR_NOOP("前"),
                                        QT_TR_NOOP("后"),
                                        QT_TR_NOOP("两侧:彩色/灰阶/黑白"),
                                        QT_TR_NOOP("前:彩色/灰阶/黑白"),
                                        QT_TR_NOOP("后:彩色/灰阶/黑白"),
                                        QT_TR_NOOP("两侧:彩色/灰阶"),
                                        QT_TR_NOOP("两侧:彩色/黑白"),
                                        QT_TR_NOOP("两侧:灰度/黑白"),
                                        QT_TR_NOOP("前:彩色/灰阶"),
                                        QT_TR_NOOP("前:彩色/黑白"),
                                        QT_TR_NOOP("前:灰度/黑白"),
                                        QT_TR_NOOP("后:彩色/灰阶"),
                                        QT_TR_NOOP("后:彩色/黑白"),
                                        QT_TR_NOOP("后:灰阶/黑白")};
    ui->comboBoxSide->clear();
    for (int i = 0; i < 15; ++i)
        ui->comboBoxSide->addItem(tr(texts[i]), i);
    // The selector only displays what the setting-tool page chose.
    ui->comboBoxSide->setEnabled(false);
}

void SettingForm::loadSettingToolWording()
{
    ui->labelSide->setText(tr("侧 (&E)："));
    ui->labelSide->setBuddy(ui->comboBoxSide);
    ui->pushButtonTool->setIcon(QIcon(QStringLiteral(":/settings/images/settings/setting.png")));
    ui->pushButtonTool->setIconSize(QSize(28, 28));
    ui->pushButtonTool->setToolTip(tr("高级影像设置…"));
}

// ---------------------------------------------------------------- connections

void SettingForm::connectMessages()
{
    connectGeneralPageMessages();
    connectSizePageMessages();
    connectAdjustPageMessages();
    connectEnhancePageMessages();
    connectDetectPageMessages();
    connect(ui->pushButtonTool, &QPushButton::clicked, this, &SettingForm::clickedBtnSettingTool);
    connect(m_hub, &PMessage::manyCurrentControl, this, &SettingForm::manyCurrentControl);
    connect(m_hub, &PMessage::changedImageSizeUnit, this, &SettingForm::changedImageSizeUnit);
    connect(m_hub, &PMessage::sendPreviewMode, this, &SettingForm::getPreviewMode);
    connect(m_hub, &PMessage::sendBlankImageContent, this, &SettingForm::getBlankImageContent);
    connect(m_hub, &PMessage::currentIndexChangeScanShortcut, this,
            &SettingForm::changeCurrentIndex);
    connect(m_hub, &PMessage::changedPaperSource, this, &SettingForm::changePaperSource);
}

void SettingForm::connectAllChangeValueControlMessages()
{
    connectGeneralPageChangeValueControlMessages();
    connectSizePageChangeValueControlMessages();
    connectAdjustPageChangeValueControlMessages();
    connectEnhancePageChangeValueControlMessages();
    connectDetectPageChangeValueControlMessages();
    m_notifyChanges = true;
}

void SettingForm::disconnectAllChangeValueControlMessages()
{
    disconnectGeneralPageChangeValueControlMessages();
    disconnectSizePageChangeValueControlMessages();
    disconnectAdjustPageChangeValueControlMessages();
    disconnectEnhancePageChangeValueControlMessages();
    disconnectDetectPageChangeValueControlMessages();
    m_notifyChanges = false;
    m_changeTimer.stop();
}

// Every control of the pages reports an edit; the notice itself waits until
// the event loop turns, so the console compares the state after all rules.
void SettingForm::connectChangeNotifications()
{
    for (QComboBox *c : findChildren<QComboBox *>())
        connect(c, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &SettingForm::controlEdited);
    for (QSpinBox *s : findChildren<QSpinBox *>())
        connect(s, QOverload<int>::of(&QSpinBox::valueChanged), this, &SettingForm::controlEdited);
    for (QDoubleSpinBox *s : findChildren<QDoubleSpinBox *>()) {
        connect(s, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &SettingForm::controlEdited);
        connect(s, &QDoubleSpinBox::editingFinished, this, &SettingForm::controlEdited);
    }
    for (QAbstractSlider *s : ui->tabWidgetGeneral->findChildren<QAbstractSlider *>()) {
        if (qobject_cast<QScrollBar *>(s))
            continue;
        connect(s, &QAbstractSlider::valueChanged, this, &SettingForm::controlEdited);
    }
    for (QCheckBox *c : findChildren<QCheckBox *>())
        connect(c, &QCheckBox::stateChanged, this, &SettingForm::controlEdited);
    for (QListWidget *l : findChildren<QListWidget *>())
        connect(l, &QListWidget::itemSelectionChanged, this, &SettingForm::controlEdited);
}

void SettingForm::controlEdited()
{
    if (m_notifyChanges && !m_loading)
        m_changeTimer.start();
}

// ---------------------------------------------------------------- load, save, compare

void SettingForm::updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    m_loading = true;
    m_sizeUnit = profile.sizeUnit;
    const int side = ui->comboBoxSide->findData(int(profile.sideStream));
    if (side >= 0)
        ui->comboBoxSide->setCurrentIndex(side);

    const tagSCAN_SIDE_SETTING &b = profile.sideSettings[m_currentIndex];
    setUnitCaptions(unitCaption(m_sizeUnit));
    changedDoubleSpinboxSingleStep(OxAdvancedLengths::unitStep(
        int(m_sizeUnit), OxAdvancedLengths::pixelFactorFor(b.resolution)));

    std::memcpy(static_cast<void *>(m_settingBlocks), profile.sideSettings,
                sizeof(m_settingBlocks));
    boundStoredLengths();
    initcontrol(profile);
    m_preview->updateVariableToUIControl(profile);
    m_adjustChanged = false;
    m_loading = false;
}

// A damaged profile may carry lengths that are not lengths (NaN, infinite,
// negative or vast). The blocks that are never shown pass through the copy, so
// they are bounded here: such a profile then saves finite lengths, and reads
// as changed until it is saved.
void SettingForm::boundStoredLengths()
{
    const auto bound = [](double &v) {
        if (!std::isfinite(v) || v < 0)
            v = 0.0;
        else if (v > kLengthLimit)
            v = kLengthLimit;
    };
    for (tagSCAN_SIDE_SETTING &b : m_settingBlocks) {
        for (double *v : {&b.x, &b.y, &b.width, &b.height, &b.edgeAll, &b.edgeTop, &b.edgeBottom,
                          &b.edgeLeft, &b.edgeRight, &b.barcodeArea[0], &b.barcodeArea[1],
                          &b.barcodeArea[2], &b.barcodeArea[3]})
            bound(*v);
        if (!std::isfinite(b.angle))
            b.angle = 0.0;
    }
}

void SettingForm::initcontrol(const tagSCAN_SHORTCUT_MENU &profile)
{
    const tagSCAN_SIDE_SETTING &b = profile.sideSettings[m_currentIndex];

    ui->comboBoxCompressType->clear();
    ui->comboBoxCompressType->addItem(tr("无"), 0);
    if (b.colorMode != 0)
        ui->comboBoxCompressType->addItem(QStringLiteral("JPEG"), 2);
    else
        ui->comboBoxCompressType->addItem(QStringLiteral("Group-4"), 1);
    createSizeBorder(int(b.documentCropping));
    createColorDropout(int(b.colorMode));

    updateGeneralVariableToUIControl(m_currentIndex);
    updateSizeVariableToUIControl(m_currentIndex);
    updateAdjustVariableToUIControl(m_currentIndex);
    updateEnhanceVariableToUIControl(m_currentIndex);
    updateDetectVariableToUIControl(m_currentIndex);

    showColorModePicture(int(b.colorMode));
    showDocTypePicture(int(b.documentType));
    showMediaTypePicture(int(b.mediaType));
    showResolutionPicture(b.resolution);
    showCompressionPicture(int(b.compressionType));
    ui->comboBoxCompressQuality->setEnabled(b.compressionType == 2);
    showQualityPicture(b.compressionType == 2 ? int(b.jpegQuality) : -1);

    applyColorModeToAdjustPage(int(b.colorMode));
    applyLoadedSizeState(b);

    currentItemChangePostRotate();
    currentItemChangeBriAndCon(0);
    currentItemChangeColorBalance(0);
    currentItemChangeColorsfiltering(0);
    currentItemChangeForBol(0);
    currentItemChangeBackSmo(0);
    currentItemChangeConversionQuality(0);
    currentItemChangeEdgeFill(0);
    currentItemChangeColorDropout(0);
    currentItemChangeBlankImageDeletion(0);
    currentItemChangeSearchArea(0);

    const bool barcodes = ui->checkBoxBarcodeReading->isChecked();
    for (QWidget *w :
         {static_cast<QWidget *>(ui->labelBarcodeReadingType),
          static_cast<QWidget *>(ui->listWidgetBarcodeReadingType),
          static_cast<QWidget *>(ui->labelHowMany), static_cast<QWidget *>(ui->spinBoxHowMany),
          static_cast<QWidget *>(ui->labelOrienation),
          static_cast<QWidget *>(ui->comboBoxOrienation),
          static_cast<QWidget *>(ui->groupBoxSearchArea)})
        w->setVisible(barcodes);
}

void SettingForm::writePagesToBlock(int index)
{
    updateGeneralUIControlToVariable(index);
    updateSizeUIControlToVariable(index);
    updateAdjustUIControlToVariable(index);
    updateEnhanceUIControlToVariable(index);
    updateDetectUIControlToVariable(index);
}

int SettingForm::updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile)
{
    writePagesToBlock(m_currentIndex);
    if (ui->comboBoxSide->currentIndex() >= 0)
        profile.sideStream = OxAdvancedSettingSideFlag(ui->comboBoxSide->currentData().toInt());
    // The second block's compression follows the first: JPEG on the first
    // side goes with Group-4 on the second, none with none.
    if (m_settingBlocks[0].compressionType == 2)
        m_settingBlocks[1].compressionType = CompressionTypeFlag(1);
    else if (m_settingBlocks[0].compressionType == 0)
        m_settingBlocks[1].compressionType = CompressionTypeFlag(0);
    std::memcpy(static_cast<void *>(profile.sideSettings), m_settingBlocks,
                sizeof(m_settingBlocks));
    m_preview->updateUIControlToVariable(profile);
    return 1;
}

bool SettingForm::compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    if (ui->comboBoxSide->currentData().toInt() != int(profile.sideStream))
        return false;
    writePagesToBlock(m_currentIndex);
    if (!compareGeneralVariableAndUIControl(profile) || !compareSizeVariableAndUIControl(profile) ||
        !compareAdjustVariableAndUIControl(profile) ||
        !compareEnhanceVariableAndUIControl(profile) || !compareDetectVariableAndUIControl(profile))
        return false;
    if (m_settingBlocks[0].doubleCurrentOutput != profile.sideSettings[0].doubleCurrentOutput)
        return false;
    return m_preview->compareVariableAndUIControl(profile);
}

int SettingForm::judgeSettingIsReasonable(tagSCAN_SHORTCUT_MENU profile)
{
    return checkSettingCombination(profile);
}

void SettingForm::resetDialogIndex()
{
    ui->tabWidgetGeneral->setCurrentIndex(0);
}

int SettingForm::getcurrentIndex()
{
    return m_currentIndex;
}

void SettingForm::updateFlatbedType(int flatbedType)
{
    m_maxLength = 12.08;
    m_preview->updateFlatbedType(flatbedType);
}

// ---------------------------------------------------------------- hub slots

void SettingForm::manyCurrentControl(bool colour, bool gray, bool blackWhite, int count,
                                     InputDocumentFlag input)
{
    // Column by input side: both, front, back.
    int column;
    switch (int(input)) {
    case 2:
        column = 0;
        break;
    case 0:
        column = 1;
        break;
    case 1:
        column = 2;
        break;
    default:
        return;
    }
    int index = -1;
    if (count <= 1) {
        static const int single[] = {0, 1, 2};
        index = single[column];
    } else if (colour && gray && blackWhite) {
        static const int all[] = {3, 4, 5};
        index = all[column];
    } else if (colour && gray) {
        static const int cg[] = {6, 9, 12};
        index = cg[column];
    } else if (colour && blackWhite) {
        static const int cb[] = {7, 10, 13};
        index = cb[column];
    } else if (gray && blackWhite) {
        static const int gb[] = {8, 11, 14};
        index = gb[column];
    }
    if (index >= 0)
        ui->comboBoxSide->setCurrentIndex(index);
}

void SettingForm::getPreviewMode(int previewMode)
{
    m_previewMode = previewMode;
    ui->pushButtonContentAmount->setEnabled(previewMode > 0);
}

void SettingForm::getBlankImageContent(int side, uchar amount)
{
    if (side == 0)
        m_blankContentAmount = amount;
}

void SettingForm::changeCurrentIndex()
{
    m_currentIndex = 0;
}

void SettingForm::changePaperSource(AdfPaperSourceFlag source)
{
    m_paperSource = source;
}

// ---------------------------------------------------------------- frame slots

void SettingForm::clickedBtnSettingTool()
{
    emit m_hub->showSettingToolForm();
    emit m_hub->changePreviewMode(false);
}

void SettingForm::setBlankImageContent()
{
    ui->spinBoxContentAmount->setValue(m_blankContentAmount);
    ui->pushButtonContentAmount->setEnabled(false);
}

void SettingForm::setspinBoxColorValue(int)
{
    ui->spinBoxColorDropoutAggressiveness->setValue(0);
}

void SettingForm::judgeChangeValue()
{
    m_adjustChanged = true;
}

void SettingForm::valueChangeAdjustPage()
{
    if (m_adjustChanged)
        judgePreviewAutoPreview();
}

void SettingForm::judgePreviewAutoPreview()
{
    m_adjustChanged = false;
    if (m_loading)
        return;
    if (m_previewMode > 0)
        emit m_hub->previewAutoUpdate();
}

void SettingForm::judgePreviewWarning()
{
    if (m_loading || m_previewMode <= 0)
        return;
    m_previewMode = 0;
    preview::askRescan(this, m_hub);
}

void SettingForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QSize s = size();
    const QSize previewSize(s.width() - kSettingsColumnWidth, s.height() - 10);
    ui->SettingPreviewwidget->resize(previewSize);
    if (m_preview)
        m_preview->resize(previewSize);
    const QRect tabs = ui->tabWidgetGeneral->geometry();
    ui->tabWidgetGeneral->resize(tabs.width(), s.height() - tabs.y() - 5);
}

void SettingForm::keyPressEvent(QKeyEvent *event)
{
    // Keys stop here so that Return or Escape never reach the console window.
    event->accept();
}

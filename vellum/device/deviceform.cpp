#include "deviceform.h"

#include "commonfunc.h"
#include "customdoublespinbox.h"
#include "devicecombo.h"
#include "deviceformui.h"
#include "pmessage.h"
#include "previewform.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QResizeEvent>
#include <QSignalBlocker>

#include <cmath>
#include <cstring>

using devicecombo::select;
using devicecombo::value;

namespace {

constexpr double kDefaultResolution = 200.0;

QString unitWord(int unit)
{
    switch (unit) {
    case UnitInch:
        return DeviceForm::tr("英寸");
    case UnitPixel:
        return DeviceForm::tr("像素");
    default:
        return DeviceForm::tr("厘米");
    }
}

// A resolution the pixel unit can divide by: anything else counts as 200.
double usableResolution(double dpi)
{
    return std::isfinite(dpi) && dpi > 0 ? dpi : kDefaultResolution;
}

} // namespace

DeviceForm::DeviceForm(PMessage *hub, QWidget *parent)
    : QWidget(parent), ui(new Ui_DeviceForm), m_hub(hub), m_textColor(0, 0, 0),
      m_borderColor(0, 0, 0), m_textSwatchColor(0, 0, 0), m_borderSwatchColor(0, 0, 0),
      m_pStampPreview(nullptr), m_pStampIndexValidator(nullptr), m_nPaperSourceState(0),
      m_nImageArea(0), m_dImageHeight(0.0), m_nUnit(UnitCentimetre),
      m_dResolution(kDefaultResolution)
{
    // The page's pictures live in the library's own resources.
    Q_INIT_RESOURCE(device);
    std::memset(static_cast<void *>(&m_stStampConfig), 0, sizeof(m_stStampConfig));
    std::memset(m_stStampConfig.textTemplate, 'Z', sizeof(m_stStampConfig.textTemplate));
    ui->setupUi(this);
    m_pStampPreview = new PreviewForm(hub, ui->DevicePreviewwidget);
    m_pStampPreview->hideControlforDevice();
    initDialog();
}

DeviceForm::~DeviceForm()
{
    m_stampGraphic.saveStampConfig();
    delete ui;
}

void DeviceForm::initDialog()
{
    connectGeneralPageMessages();
    loadDeviceGeneralPage();
    loadDeviceTransportPage();
    loadDeviceStampPage();
    loadDeviceBackToThePaperPage();
    m_stampGraphic.loadStampConfig();
    m_stampGraphic.loadDefaultGraphicsToControl(ui->listWidgetDeviceStampGraphicFileName);
}

void DeviceForm::connectGeneralPageMessages()
{
    connect(ui->pushButtonDeviceDiagnostics, &QPushButton::clicked, this,
            &DeviceForm::clickedBtnDiagnostics);
    connect(ui->checkBoxDeviceOn, &QCheckBox::stateChanged, this,
            &DeviceForm::checkStateChangeDeviceOn);
    connect(ui->checkBoxDevicePowerOff, &QCheckBox::stateChanged, this,
            &DeviceForm::checkStateChangeDevicePowerOff);
    connect(ui->tabWidgetDevice, &QTabWidget::tabBarClicked, this, &DeviceForm::bttpPageState);
    connect(ui->lineEditStartValue, &QLineEdit::textChanged, this, &DeviceForm::changedPaperIndex);
    connect(ui->lineEditStampStartValue, &QLineEdit::textEdited, this,
            &DeviceForm::checkStampIndexFormat);
    connect(ui->doubleSpinBoxSheetHeight, &QDoubleSpinBox::editingFinished, this,
            &DeviceForm::sheetHeightRange);
    connect(ui->doubleSpinBoxDeviceStampPositionX, &QDoubleSpinBox::editingFinished, this,
            &DeviceForm::stampPositionXRange);
    connect(ui->doubleSpinBoxDeviceStampPositionY, &QDoubleSpinBox::editingFinished, this,
            &DeviceForm::stampPositionYRange);
    connect(ui->doubleSpinBoxDeviceStampThickNess, &QDoubleSpinBox::editingFinished, this,
            &DeviceForm::stampBorderThicknessRange);
    connect(ui->doubleSpinBoxDeviceMultifeedLengthEnabled, &QDoubleSpinBox::editingFinished, this,
            &DeviceForm::multifeedLengthRange);
    if (!m_hub)
        return;
    connect(m_hub, &PMessage::scanFinish, this, &DeviceForm::scanFinish);
    connect(m_hub, &PMessage::changedImageSizeUnit, this, &DeviceForm::changedImageSizeUnit);
    connect(m_hub, &PMessage::imageAreaChangeMulLength, this,
            &DeviceForm::imageAreaChangeMulLength);
    connect(m_hub, &PMessage::currentImageHeightChange, this,
            &DeviceForm::currentImageHeightChange);
    connect(m_hub, &PMessage::updateStampIndexValue, this, &DeviceForm::updateStampIndexValue);
}

void DeviceForm::loadDeviceGeneralPage()
{
    ui->tabWidgetDevice->setTabText(0, tr("一般"));
    ui->labelDevicePaperSource->setText(tr("进纸来源 (&R):"));
    ui->groupBoxDevicePower->setTitle(tr("电源 (&W)"));
    ui->labelDevicePowerSaver->setText(tr("节能模式："));
    ui->labelDevicePowerSaverMinute->setText(tr("分钟"));
    ui->checkBoxDevicePowerOff->setText(tr("关闭电源："));
    ui->labelDevicePowerOffMinute->setText(tr("分钟"));
    ui->checkBoxDeviceOnlySavePower->setText(tr("仅保存至此“设置快捷方式”"));
    ui->groupBoxDeviceFeeder->setTitle(tr("文档送纸器"));
    ui->groupBoxDeviceTimeout->setTitle(tr("超时"));
    ui->checkBoxDeviceOn->setText(tr("开启 (&F)"));
    ui->labelDeviceTimeoutSecond->setText(tr("秒"));
    ui->labelDeviceTimeoutAction->setText(tr("超时发生时的操作："));
    ui->checkBoxDeviceAutoStartScanning->setText(tr("自动开始扫描 (&A)"));
    ui->checkBoxDeviceOnlySaveTimeout->setText(tr("仅保存至此“设置快捷方式”"));
    ui->groupBoxDevicePaperCounter->setTitle(tr("纸张计数器 (&C)"));
    ui->labelStartValue->setText(tr("起始值："));
    ui->groupBoxDeviceStampCounter->setTitle(tr("戳记计数器 (&C)"));
    ui->labelStampStartValue->setText(tr("起始值："));
    ui->pushButtonDeviceDiagnostics->setText(tr("诊断 (&D)..."));
    ui->groupBoxDevicePower->hide();

    const struct
    {
        const char *text;
        int value;
    } sources[] = {{"自动", 6},       {"自动 - 100 张", 7}, {"自动 - 300 张", 12},
                   {"文档进纸器", 0}, {"100 张", 1},        {"300 张", 11},
                   {"平板", 5}};
    for (const auto &s : sources)
        ui->comboBoxDevicePaperSource->addItem(tr(s.text), s.value);

    ui->spinBoxDevicePowerSaver->setRange(1, 120);
    ui->spinBoxDevicePowerSaver->setSingleStep(5);
    ui->spinBoxDevicePowerSaver->setValue(15);
    ui->spinBoxDevicePowerOff->setRange(0, 240);
    ui->spinBoxDevicePowerOff->setSingleStep(5);
    ui->spinBoxDevicePowerOff->setValue(60);
    ui->checkBoxDeviceOn->setChecked(true);
    ui->horizontalSliderDeviceTimeout->setRange(0, 120);
    ui->spinBoxDeviceTimeoutSetting->setRange(0, 120);
    ui->spinBoxDeviceTimeoutSetting->setValue(2);
    ui->horizontalSliderDeviceTimeout->setValue(2);
    connect(ui->spinBoxDeviceTimeoutSetting, QOverload<int>::of(&QSpinBox::valueChanged),
            ui->horizontalSliderDeviceTimeout, &QSlider::setValue);
    connect(ui->horizontalSliderDeviceTimeout, &QSlider::valueChanged,
            ui->spinBoxDeviceTimeoutSetting, &QSpinBox::setValue);
    ui->labelDeviceTimeoutMin->setText("0");
    ui->labelDeviceTimeoutMax->setText("120");
    ui->labelDeviceTimeoutMax->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ui->comboBoxDeviceTimeoutAction->addItem(tr("暂停扫描"), 1);
    ui->comboBoxDeviceTimeoutAction->addItem(tr("暂停扫描-等待纸张"), 2);
    ui->comboBoxDeviceTimeoutAction->addItem(tr("停止扫描"), 0);
    ui->checkBoxDeviceAutoStartScanning->setChecked(true);
    ui->lineEditStartValue->setText("1");
    ui->lineEditStampStartValue->setText("1");
    checkStateChangeDevicePowerOff();
    checkStateChangeDeviceOn();
}

void DeviceForm::loadDeviceTransportPage()
{
    ui->tabWidgetDevice->setTabText(1, tr("传送器"));
    ui->labelHandlingAction->setText(tr("处理 (&N)"));
    ui->groupBoxDocumentLength->setTitle(tr("文档长度 (&L)"));
    ui->labelSheetHeight->setText(tr("最长:"));
    ui->labelSheetHeightUnit->setText(tr("厘米"));
    ui->labelDeviceActiveFeed->setText(tr("主动进纸："));
    ui->checkBoxDeviceEnhancedSeparation->setText(tr("增强分页"));
    ui->labelDocumentProtection->setText(tr("智能文档保护 (&D)："));
    ui->labelPaperJamreSponse->setText(tr("发生卡纸时的操作 (&A)："));
    ui->labelDeviceActiveFeed->hide();
    ui->comboBoxDeviceActiveFeed->hide();
    ui->checkBoxDeviceEnhancedSeparation->hide();

    ui->comboBoxHandlingAction->addItem(tr("正常"), 0);
    ui->comboBoxHandlingAction->addItem(tr("改进的堆叠"), 1);
    ui->comboBoxHandlingAction->addItem(tr("最佳堆叠"), 2);
    ui->comboBoxHandlingAction->addItem(tr("特殊"), 4);
    ui->comboBoxDeviceActiveFeed->addItem(tr("（无）"), 0);
    ui->comboBoxDeviceActiveFeed->addItem(tr("轻柔"), 1);
    ui->comboBoxDeviceActiveFeed->addItem(tr("正常"), 2);
    ui->comboBoxInetlligentDocumentProtection->addItem(tr("(无)"), 0);
    ui->comboBoxInetlligentDocumentProtection->addItem(tr("最小"), 1);
    ui->comboBoxInetlligentDocumentProtection->addItem(tr("正常"), 2);
    ui->comboBoxInetlligentDocumentProtection->addItem(tr("最大"), 3);
    ui->comboBoxPaperJamreSponse->addItem(tr("停止扫描"), 0);
    ui->comboBoxPaperJamreSponse->addItem(tr("暂停扫描"), 1);

    QDoubleSpinBox *sheet = ui->doubleSpinBoxSheetHeight;
    sheet->setRange(0, MaxLengthShown);
    sheet->setDecimals(2);
    sheet->setAccelerated(true);
    sheet->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    sheet->setGroupSeparatorShown(true);
    sheet->setSingleStep(0.02);
}

void DeviceForm::checkStateChangeDevicePowerOff()
{
    const bool on = ui->checkBoxDevicePowerOff->isChecked();
    ui->spinBoxDevicePowerOff->setEnabled(on);
    ui->labelDevicePowerOffMinute->setEnabled(on);
}

void DeviceForm::checkStateChangeDeviceOn()
{
    const bool on = ui->checkBoxDeviceOn->isChecked();
    ui->horizontalSliderDeviceTimeout->setEnabled(on);
    ui->spinBoxDeviceTimeoutSetting->setEnabled(on);
    ui->labelDeviceTimeoutAction->setEnabled(on);
    ui->comboBoxDeviceTimeoutAction->setEnabled(on);
}

// ---- profile exchange -----------------------------------------------------

bool DeviceForm::updateDeviceVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    m_dResolution = usableResolution(profile.sideSettings[0].resolution);
    // A unit this page does not know is shown as inches rather than as a
    // factor of zero, which would show every length as 0.
    const int unit = profile.sizeUnit;
    m_nUnit = (unit == UnitCentimetre || unit == UnitInch || unit == UnitPixel) ? unit : UnitInch;
    applyUnitLook();
    updateDeviceGeneralPageVariableToUIControl(profile);
    updateDeviceTransportPageVariableToUIControl(profile);
    updateDeviceStampPageTextVariableToUIControl(profile);
    updateDeviceStampPageGraphicVariableToUIControl(profile);
    updateDeviceStampPageLayOutVariableToUIControl(profile);
    updateDeviceBackToThePaperPageVariableToUIControl(profile);
    m_pStampPreview->updateVariableToUIControl(profile);
    return true;
}

bool DeviceForm::updateDeviceUIcontrolToVariable(tagSCAN_SHORTCUT_MENU &profile)
{
    updateDeviceGeneralPageUIcontrolToVariable(profile);
    updateDeviceTransportPageUIControlToVariable(profile);
    updateDeviceStampPageTextUIControlToVariable(profile);
    updateDeviceStampPageGraphicUIControlToVariable(profile);
    updateDeviceStampPageLayOutUIControlToVariable(profile);
    updateDeviceBackToThePaperPageUIControlToVariable(profile);
    return true;
}

bool DeviceForm::compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    return compareDeviceGeneralPageVariableAndUIControl(profile) &&
           compareDeviceTransportVariableAndUIControl(profile) &&
           compareDeviceStampPageTextVariableAndUIControl(profile) &&
           compareDeviceStampPageGraphicVariableAndUIControl(profile) &&
           compareDeviceStampPageLayOutVariableAndUIControl(profile) &&
           compareDeviceBackToThePaperPageVariableAndUIControl(profile);
}

bool DeviceForm::updateDeviceGeneralPageVariableToUIControl(tagSCAN_SHORTCUT_MENU &p)
{
    if (m_nPaperSourceState == 1)
        ui->comboBoxDevicePaperSource->setCurrentIndex(1);
    else
        select(ui->comboBoxDevicePaperSource, p.paperSource);
    select(ui->comboBoxDeviceTimeoutAction, p.timeoutAction);
    ui->checkBoxDeviceOnlySavePower->setChecked(p.onlySavePower);
    ui->checkBoxDeviceOnlySaveTimeout->setChecked(p.onlySaveTimeout);
    ui->spinBoxDevicePowerSaver->setValue(p.powerSaver);
    ui->spinBoxDevicePowerOff->setValue(p.powerOff);
    ui->checkBoxDevicePowerOff->setChecked(p.powerOffEnabled);
    ui->checkBoxDeviceOn->setChecked(p.deviceOn);
    ui->checkBoxDeviceAutoStartScanning->setChecked(p.autoStartScanning);
    ui->spinBoxDeviceTimeoutSetting->setValue(p.timeout);
    return true;
}

bool DeviceForm::updateDeviceGeneralPageUIcontrolToVariable(tagSCAN_SHORTCUT_MENU &p)
{
    p.paperSource = AdfPaperSourceFlag(value(ui->comboBoxDevicePaperSource));
    p.timeoutAction = AdfTimeoutResponseFlag(value(ui->comboBoxDeviceTimeoutAction));
    p.onlySavePower = ui->checkBoxDeviceOnlySavePower->isChecked();
    p.onlySaveTimeout = ui->checkBoxDeviceOnlySaveTimeout->isChecked();
    p.powerSaver = ui->spinBoxDevicePowerSaver->value();
    p.powerOff = ui->spinBoxDevicePowerOff->value();
    p.powerOffEnabled = ui->checkBoxDevicePowerOff->isChecked();
    p.deviceOn = ui->checkBoxDeviceOn->isChecked();
    p.autoStartScanning = ui->checkBoxDeviceAutoStartScanning->isChecked();
    p.timeout = ui->spinBoxDeviceTimeoutSetting->value();
    return true;
}

bool DeviceForm::compareDeviceGeneralPageVariableAndUIControl(tagSCAN_SHORTCUT_MENU &p)
{
    if (m_nPaperSourceState != 1 && p.paperSource != value(ui->comboBoxDevicePaperSource))
        return false;
    return p.timeoutAction == value(ui->comboBoxDeviceTimeoutAction) &&
           p.onlySavePower == ui->checkBoxDeviceOnlySavePower->isChecked() &&
           p.powerSaver == ui->spinBoxDevicePowerSaver->value() &&
           p.powerOff == ui->spinBoxDevicePowerOff->value() &&
           p.powerOffEnabled == ui->checkBoxDevicePowerOff->isChecked() &&
           p.onlySaveTimeout == ui->checkBoxDeviceOnlySaveTimeout->isChecked() &&
           p.deviceOn == ui->checkBoxDeviceOn->isChecked() &&
           p.autoStartScanning == ui->checkBoxDeviceAutoStartScanning->isChecked() &&
           p.timeout == ui->spinBoxDeviceTimeoutSetting->value();
}

bool DeviceForm::updateDeviceTransportPageVariableToUIControl(tagSCAN_SHORTCUT_MENU &p)
{
    select(ui->comboBoxHandlingAction, p.handlingAction);
    select(ui->comboBoxDeviceActiveFeed, p.activeFeed);
    select(ui->comboBoxInetlligentDocumentProtection, p.documentProtection);
    select(ui->comboBoxPaperJamreSponse, p.paperJamResponse);
    ui->checkBoxDeviceEnhancedSeparation->setChecked(p.enhancedSeparation);
    setLength(ui->doubleSpinBoxSheetHeight, p.sheetHeight);
    return true;
}

bool DeviceForm::updateDeviceTransportPageUIControlToVariable(tagSCAN_SHORTCUT_MENU &p)
{
    p.handlingAction = AdfHandlingFlag(value(ui->comboBoxHandlingAction));
    p.activeFeed = AdfActiveFeedFlag(value(ui->comboBoxDeviceActiveFeed));
    p.documentProtection =
        IntelligentDocumentProtectionFlag(value(ui->comboBoxInetlligentDocumentProtection));
    p.paperJamResponse = PaperJamreSponseFlag(value(ui->comboBoxPaperJamreSponse));
    p.enhancedSeparation = ui->checkBoxDeviceEnhancedSeparation->isChecked();
    p.sheetHeight = readLength(ui->doubleSpinBoxSheetHeight);
    return true;
}

bool DeviceForm::compareDeviceTransportVariableAndUIControl(tagSCAN_SHORTCUT_MENU &p)
{
    return p.handlingAction == value(ui->comboBoxHandlingAction) &&
           p.activeFeed == value(ui->comboBoxDeviceActiveFeed) &&
           p.documentProtection == value(ui->comboBoxInetlligentDocumentProtection) &&
           p.paperJamResponse == value(ui->comboBoxPaperJamreSponse) &&
           readLength(ui->doubleSpinBoxSheetHeight) == p.sheetHeight &&
           p.enhancedSeparation == ui->checkBoxDeviceEnhancedSeparation->isChecked();
}

// ---- change notifications -------------------------------------------------

void DeviceForm::connectGeneralPageChangeValueControlMessages()
{
    if (!m_connPaperSource)
        m_connPaperSource = connect(ui->comboBoxDevicePaperSource,
                                    QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                                    &DeviceForm::currentItemChangePaperSource);
}

void DeviceForm::disconnectGeneralPageChangeValueControlMessages()
{
    disconnect(m_connPaperSource);
    m_connPaperSource = QMetaObject::Connection();
}

void DeviceForm::connectAllChangeValueControlMessages()
{
    connectGeneralPageChangeValueControlMessages();
    connectBackToThePagerChangeValueControlMessage();
    if (m_hub && !m_connResolution)
        m_connResolution =
            connect(m_hub, &PMessage::setResolution, this, &DeviceForm::changedResolution);
    if (!m_editConnections.isEmpty())
        return;
    // Every edit of a stored value tells the console to compare again.
    auto edited = [this] { notifyEdited(); };
    for (QComboBox *c : findChildren<QComboBox *>())
        m_editConnections << connect(c, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                                     edited);
    for (QCheckBox *c : findChildren<QCheckBox *>())
        m_editConnections << connect(c, &QCheckBox::toggled, this, edited);
    for (QSpinBox *s : findChildren<QSpinBox *>())
        m_editConnections << connect(s, QOverload<int>::of(&QSpinBox::valueChanged), this, edited);
    for (QDoubleSpinBox *s : findChildren<QDoubleSpinBox *>())
        m_editConnections << connect(s, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                                     edited);
    m_editConnections << connect(ui->listWidgetDeviceStampGraphicFileName,
                                 &QListWidget::currentRowChanged, this, edited);
}

void DeviceForm::disconnectAllChangeValueControlMessages()
{
    disconnectGeneralPageChangeValueControlMessages();
    disconnectBackToThePagerChangeValueControlMessage();
    disconnect(m_connResolution);
    m_connResolution = QMetaObject::Connection();
    for (const QMetaObject::Connection &c : qAsConst(m_editConnections))
        disconnect(c);
    m_editConnections.clear();
}

void DeviceForm::notifyEdited()
{
    if (m_hub && !m_editConnections.isEmpty())
        emit m_hub->controlValueChanged();
}

void DeviceForm::resetDialogIndex()
{
    ui->tabWidgetDevice->setCurrentIndex(0);
    ui->tabWidgetStamp->setCurrentIndex(0);
}

void DeviceForm::updatePaperSourceState(int paperSource)
{
    m_nPaperSourceState = paperSource;
    const bool locked = paperSource == 1;
    ui->comboBoxDevicePaperSource->setEnabled(!locked);
    if (locked) {
        QSignalBlocker block(ui->comboBoxDevicePaperSource);
        ui->comboBoxDevicePaperSource->setCurrentIndex(1);
    }
}

void DeviceForm::clickedBtnDiagnostics()
{
    if (m_hub)
        emit m_hub->showDiagnosticsForm();
}

void DeviceForm::currentItemChangePaperSource()
{
    if (m_hub)
        emit m_hub->changedPaperSource(AdfPaperSourceFlag(value(ui->comboBoxDevicePaperSource)));
}

void DeviceForm::changedPaperIndex()
{
    if (m_hub)
        emit m_hub->changedPaperIndex(ui->lineEditStartValue->text().toInt());
}

void DeviceForm::scanFinish(tagSCAN_SHORTCUT_MENU *, int paperIndex, int stampStartIndex)
{
    ui->lineEditStartValue->setText(QString::number(paperIndex));
    ui->lineEditStampStartValue->setText(QString::number(stampStartIndex));
}

// ---- units ----------------------------------------------------------------

double DeviceForm::getSizeTimes() const
{
    switch (m_nUnit) {
    case UnitCentimetre:
        return 2.54;
    case UnitPixel:
        return m_dResolution;
    default:
        return 1.0;
    }
}

void DeviceForm::applyUnitLook()
{
    const QString word = unitWord(m_nUnit);
    for (QLabel *l : {ui->labelSheetHeightUnit, ui->labelDeviceStampPositionUnit,
                      ui->labelDeviceStampThickNessUnit, ui->labelDeviceMultifeedLengthUnit})
        l->setText(word);
    const double step = 0.01 * getSizeTimes();
    for (QDoubleSpinBox *s :
         {static_cast<QDoubleSpinBox *>(ui->doubleSpinBoxSheetHeight),
          static_cast<QDoubleSpinBox *>(ui->doubleSpinBoxDeviceStampPositionX),
          static_cast<QDoubleSpinBox *>(ui->doubleSpinBoxDeviceStampPositionY),
          static_cast<QDoubleSpinBox *>(ui->doubleSpinBoxDeviceStampThickNess),
          static_cast<QDoubleSpinBox *>(ui->doubleSpinBoxDeviceMultifeedLengthEnabled)})
        s->setSingleStep(step);
}

void DeviceForm::setLength(QDoubleSpinBox *spin, double inches)
{
    double v = inches * getSizeTimes();
    // A damaged record shows the nearest bound instead of a number the
    // spin box cannot hold.
    if (std::isnan(v))
        v = spin->minimum();
    else if (std::isinf(v))
        v = v > 0 ? spin->maximum() : spin->minimum();
    spin->setValue(qBound(spin->minimum(), v, spin->maximum()));
}

double DeviceForm::readLength(const QDoubleSpinBox *spin, int decimals) const
{
    return CommonFunc::DoubleRound(spin->value() / getSizeTimes(), decimals, true);
}

void DeviceForm::changeUnitSize(double sheet, double x, double y, double thickness,
                                double multifeed, bool unitChanged)
{
    Q_UNUSED(unitChanged)
    setLength(ui->doubleSpinBoxSheetHeight, sheet);
    setLength(ui->doubleSpinBoxDeviceStampPositionX, x);
    setLength(ui->doubleSpinBoxDeviceStampPositionY, y);
    setLength(ui->doubleSpinBoxDeviceStampThickNess, thickness);
    if (m_nImageArea == 5)
        ui->doubleSpinBoxDeviceMultifeedLengthEnabled->setValue(m_dImageHeight);
    else
        setLength(ui->doubleSpinBoxDeviceMultifeedLengthEnabled, multifeed);
}

// Shows the five lengths and the remembered image height in another unit or
// at another resolution, each converted through inches.
void DeviceForm::reshowLengths(int unit, double resolution)
{
    const double sheet = readLength(ui->doubleSpinBoxSheetHeight);
    const double x = readLength(ui->doubleSpinBoxDeviceStampPositionX);
    const double y = readLength(ui->doubleSpinBoxDeviceStampPositionY);
    const double thickness = readLength(ui->doubleSpinBoxDeviceStampThickNess, 3);
    const double multifeed = readLength(ui->doubleSpinBoxDeviceMultifeedLengthEnabled);
    // The remembered image height is a length in the unit shown too.
    const double imageHeight = CommonFunc::DoubleRound(m_dImageHeight / getSizeTimes(), 2, true);
    const bool changed = unit != m_nUnit || resolution != m_dResolution;
    m_nUnit = unit;
    m_dResolution = resolution;
    applyUnitLook();
    m_dImageHeight = CommonFunc::DoubleRound(imageHeight * getSizeTimes(), 2, true);
    changeUnitSize(sheet, x, y, thickness, multifeed, changed);
}

void DeviceForm::changedImageSizeUnit(ImageSizeUnitFlag unit)
{
    if (unit != UnitCentimetre && unit != UnitInch && unit != UnitPixel)
        return;
    reshowLengths(unit, m_dResolution);
}

void DeviceForm::changedResolution(ImageResolutionFlag resolution)
{
    const double dpi = usableResolution(resolution);
    if (m_nUnit != UnitPixel) {
        m_dResolution = dpi;
        return;
    }
    reshowLengths(m_nUnit, dpi);
}

void DeviceForm::sheetHeightRange()
{
    const double f = getSizeTimes();
    QDoubleSpinBox *spin = ui->doubleSpinBoxSheetHeight;
    if (spin->value() < 2.5 * f)
        spin->setValue(2.5 * f);
    else if (spin->value() > 160 * f)
        spin->setValue(160 * f);
}

// ---- geometry and keys ----------------------------------------------------

void DeviceForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QSize preview(width() - 430, height() - 50);
    ui->DevicePreviewwidget->resize(preview);
    m_pStampPreview->resize(preview);
    ui->tabWidgetStamp->resize(ui->tabWidgetStamp->width(), qMax(200, height() - 60));
}

void DeviceForm::keyPressEvent(QKeyEvent *event)
{
    // Keys stop here rather than reaching the console window.
    event->accept();
}

// Multifeed page of the Device tab: ultrasonic and length detection and the
// action on a multifeed, following the settings form's image area.
#include "deviceform.h"

#include "commonfunc.h"
#include "customdoublespinbox.h"
#include "devicecombo.h"
#include "deviceformui.h"

#include <cmath>

using devicecombo::select;
using devicecombo::value;

namespace {
// The settings form's image area for part of the document.
constexpr int kAreaPart = 5;
} // namespace

void DeviceForm::loadDeviceBackToThePaperPage()
{
    ui->tabWidgetDevice->setTabText(3, tr("重张进纸"));
    ui->labelDeviceMultifeedLength->setText(tr("长度检测 (&L)"));
    ui->checkBoxDeviceMultifeedLengthEnabled->setText(tr("开启"));
    ui->groupBoxDeviceMultifeedUdds->setTitle(tr("超声波检测 (&U)"));
    ui->groupBoxDeviceMultifeedUdds->setStyleSheet("QGroupBox{border:none}");
    // Drawn without a border the group keeps no room for its title: its row
    // begins below the title's line.
    QLayout *udds = ui->groupBoxDeviceMultifeedUdds->layout();
    QMargins margins = udds->contentsMargins();
    margins.setTop(margins.top() + ui->groupBoxDeviceMultifeedUdds->fontMetrics().height());
    udds->setContentsMargins(margins);
    ui->labelDeviceMultifeedUddsSensitivity->setText(tr("灵敏度："));
    ui->labelDeviceMultifeedLengthUnit->setText(tr("厘米"));
    ui->labelDeviceMultifeedResponse->setText(tr("重张进纸时的操作 (&A)"));
    // Sound on multifeed is not offered.
    ui->checkBoxDeviceMultifeedSoundEnabled->hide();
    ui->lineEditDeviceMultifeedSoundEnabled->hide();
    ui->pushButtonDeviceMultifeedBrowse->hide();

    QDoubleSpinBox *length = ui->doubleSpinBoxDeviceMultifeedLengthEnabled;
    length->setRange(0, MaxLengthShown);
    length->setDecimals(2);

    connect(ui->checkBoxDeviceMultifeedLengthEnabled, &QCheckBox::stateChanged, this,
            &DeviceForm::currentItemChangeLengthEnabled);
    connectBackToThePagerChangeValueControlMessage();
    currentItemChangeLengthEnabled();

    QComboBox *sensitivity = ui->comboBoxDeviceMultifeedUddsSensitivity;
    sensitivity->addItem(tr("(无)"), 0);
    sensitivity->addItem(tr("低"), 1);
    sensitivity->addItem(tr("中等"), 2);
    sensitivity->addItem(tr("高"), 3);
    QComboBox *response = ui->comboBoxDeviceMultifeedResponse;
    response->addItem(tr("停止扫描"), 1);
    response->addItem(tr("停止扫描-生成图像"), 2);
    response->addItem(tr("停止扫描-将纸张留在路径中"), 3);
    response->addItem(tr("继续扫描"), 0);
    response->addItem(tr("暂停扫描-生成图像"), 4);
    response->addItem(tr("交互重张进纸恢复"), 8);
}

void DeviceForm::connectBackToThePagerChangeValueControlMessage()
{
    if (!m_connSensitivity)
        m_connSensitivity = connect(ui->comboBoxDeviceMultifeedUddsSensitivity,
                                    QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                                    &DeviceForm::currentItemChangeBackToThePaper);
}

void DeviceForm::disconnectBackToThePagerChangeValueControlMessage()
{
    disconnect(m_connSensitivity);
    m_connSensitivity = QMetaObject::Connection();
}

bool DeviceForm::updateDeviceBackToThePaperPageVariableToUIControl(tagSCAN_SHORTCUT_MENU &p)
{
    select(ui->comboBoxDeviceMultifeedUddsSensitivity, p.multifeedUddsSensitivity);
    select(ui->comboBoxDeviceMultifeedResponse, p.multifeedResponse);
    ui->checkBoxDeviceMultifeedLengthEnabled->setChecked(p.multifeedLengthEnabled);
    setLength(ui->doubleSpinBoxDeviceMultifeedLengthEnabled, p.multifeedLength);
    currentItemChangeBackToThePaper();
    return true;
}

bool DeviceForm::updateDeviceBackToThePaperPageUIControlToVariable(tagSCAN_SHORTCUT_MENU &p)
{
    p.multifeedUddsSensitivity =
        MultifeedUddsSensitivityFlag(value(ui->comboBoxDeviceMultifeedUddsSensitivity));
    p.multifeedResponse = MultifeedResponseFlag(value(ui->comboBoxDeviceMultifeedResponse));
    p.multifeedLength = readLength(ui->doubleSpinBoxDeviceMultifeedLengthEnabled);
    p.multifeedLengthEnabled = ui->checkBoxDeviceMultifeedLengthEnabled->isChecked();
    return true;
}

bool DeviceForm::compareDeviceBackToThePaperPageVariableAndUIControl(tagSCAN_SHORTCUT_MENU &p)
{
    return p.multifeedUddsSensitivity == value(ui->comboBoxDeviceMultifeedUddsSensitivity) &&
           p.multifeedResponse == value(ui->comboBoxDeviceMultifeedResponse) &&
           readLength(ui->doubleSpinBoxDeviceMultifeedLengthEnabled) == p.multifeedLength &&
           p.multifeedLengthEnabled == ui->checkBoxDeviceMultifeedLengthEnabled->isChecked();
}

void DeviceForm::currentItemChangeLengthEnabled()
{
    const bool length = ui->checkBoxDeviceMultifeedLengthEnabled->isChecked();
    ui->doubleSpinBoxDeviceMultifeedLengthEnabled->setEnabled(length);
    ui->labelDeviceMultifeedLengthUnit->setEnabled(length);
    const bool action = length || value(ui->comboBoxDeviceMultifeedUddsSensitivity) != 0;
    ui->labelDeviceMultifeedResponse->setEnabled(action);
    ui->comboBoxDeviceMultifeedResponse->setEnabled(action);
}

void DeviceForm::currentItemChangeBackToThePaper()
{
    const bool sensing = value(ui->comboBoxDeviceMultifeedUddsSensitivity) != 0;
    const bool length = ui->checkBoxDeviceMultifeedLengthEnabled->isChecked();
    if (sensing) {
        ui->labelDeviceMultifeedResponse->setEnabled(true);
        ui->comboBoxDeviceMultifeedResponse->setEnabled(true);
    } else if (!length) {
        ui->labelDeviceMultifeedResponse->setEnabled(false);
        ui->comboBoxDeviceMultifeedResponse->setEnabled(false);
    }
}

void DeviceForm::applyMultifeedRules()
{
    currentItemChangeLengthEnabled();
    currentItemChangeBackToThePaper();
}

// A flatbed scan has no feeder, so nothing on this page applies to it.
void DeviceForm::bttpPageState()
{
    if (ui->tabWidgetDevice->currentIndex() != 0)
        return;
    const bool flatbed = value(ui->comboBoxDevicePaperSource) == PaperSourceFlatbed;
    QWidget *const all[] = {ui->labelDeviceMultifeedUddsSensitivity,
                            ui->comboBoxDeviceMultifeedUddsSensitivity,
                            ui->labelDeviceMultifeedLength,
                            ui->checkBoxDeviceMultifeedLengthEnabled,
                            ui->doubleSpinBoxDeviceMultifeedLengthEnabled,
                            ui->labelDeviceMultifeedLengthUnit,
                            ui->labelDeviceMultifeedResponse,
                            ui->comboBoxDeviceMultifeedResponse};
    if (flatbed) {
        for (QWidget *w : all)
            w->setEnabled(false);
        return;
    }
    ui->labelDeviceMultifeedUddsSensitivity->setEnabled(true);
    ui->comboBoxDeviceMultifeedUddsSensitivity->setEnabled(true);
    ui->labelDeviceMultifeedLength->setEnabled(true);
    ui->checkBoxDeviceMultifeedLengthEnabled->setEnabled(true);
    applyMultifeedRules();
}

void DeviceForm::multifeedLengthRange()
{
    const double f = getSizeTimes();
    double lower;
    double upper;
    if (f > 199.95 && f < 200.05) {
        lower = 400;
        upper = 2800;
    } else if (f >= 2.5 && f <= 2.6) {
        lower = 5.08;
        upper = 43.18;
    } else {
        // Inches, and pixels at any other resolution: 2 to 17 inches.
        lower = 2 * f;
        upper = 17 * f;
    }
    if (m_nImageArea == kAreaPart)
        lower = m_dImageHeight;
    QDoubleSpinBox *spin = ui->doubleSpinBoxDeviceMultifeedLengthEnabled;
    if (spin->value() < lower)
        spin->setValue(lower);
    else if (spin->value() > upper)
        spin->setValue(upper);
}

void DeviceForm::imageAreaChangeMulLength(int imageArea, double height)
{
    if (!std::isfinite(height))
        return;
    m_nImageArea = imageArea;
    m_dImageHeight = CommonFunc::DoubleRound(qBound(0.0, height, MaxLengthShown), 2, true);
    QDoubleSpinBox *spin = ui->doubleSpinBoxDeviceMultifeedLengthEnabled;
    if (imageArea != kAreaPart || m_dImageHeight > spin->value())
        spin->setValue(m_dImageHeight);
}

void DeviceForm::currentImageHeightChange(double height)
{
    if (!std::isfinite(height))
        return;
    m_dImageHeight = CommonFunc::DoubleRound(qBound(0.0, height, MaxLengthShown), 2, true);
    QDoubleSpinBox *spin = ui->doubleSpinBoxDeviceMultifeedLengthEnabled;
    if (m_nImageArea == kAreaPart && m_dImageHeight > spin->value())
        spin->setValue(m_dImageHeight);
}

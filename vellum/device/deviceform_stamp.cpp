// Imprinter pages of the Device tab (text, graphic, layout) and the stamp
// counter of the General page.
#include "deviceform.h"

#include "changemessagedialog.h"
#include "commonfunc.h"
#include "customdoublespinbox.h"
#include "devicecombo.h"
#include "deviceformui.h"
#include "errorhandling.h"
#include "pmessage.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpressionValidator>

#include <cmath>
#include <cstring>
#include <limits>

using devicecombo::select;
using devicecombo::value;

namespace {

const char kSwatchStyle[] = "background-color: rgb(%1, %2, %3);border:0px";
constexpr int kTemplateSlots = 40;
constexpr int kGraphicNameUnits = 255;

// Round to the nearest unit: truncating 0.29 x 100 would give 28.
template <typename T>
T toUnits(double value, double scale)
{
    const double v = std::round(value * scale);
    if (!(v > 0))
        return 0;
    if (v >= double(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return T(v);
}

QString storedGraphicName(const tagSCAN_SHORTCUT_MENU &p)
{
    return CommonFunc::charsToString(p.stampGraphicFile, kGraphicNameUnits);
}

} // namespace

quint32 DeviceForm::packStampColor(const QColor &color)
{
    return quint32(color.red()) << 24 | quint32(color.green()) << 16 | quint32(color.blue()) << 8;
}

QColor DeviceForm::unpackStampColor(quint32 packed)
{
    return QColor(int((packed >> 24) & 0xff), int((packed >> 16) & 0xff),
                  int((packed >> 8) & 0xff));
}

QString DeviceForm::stampTextPreview(const tagSTAMP_CONFIG &s)
{
    QString text;
    for (int slot = 0; slot < kTemplateSlots && s.textTemplate[slot] != 'Z'; ++slot) {
        switch (s.textTemplate[slot]) {
        case ' ':
            text += " ";
            break;
        case '1':
        case '2':
        case '3':
        case '4':
        case '5':
        case '6':
            text += stampMessage(s, s.textTemplate[slot] - '1');
            break;
        case 'N':
            text += "\r\n";
            break;
        case 'S':
            text += ChangeMessageDialog::getCounterFormat(s.counterWidth, s.counterLeadingZero);
            break;
        case 'T': {
            const QString stored = stampTimeText(s);
            text += ChangeMessageDialog::getTimeFormat(stored.contains(':'), s.timeFormat,
                                                       QTime::fromString(stored, "HH:mm"));
            break;
        }
        case 'Y': {
            const QString stored = stampDateText(s);
            text += ChangeMessageDialog::getDateFormat(s.dateDelimiter, s.dateFormat,
                                                       stored.contains('/'),
                                                       QDate::fromString(stored, "yyyy/MM/dd"));
            break;
        }
        default:
            break;
        }
    }
    return text;
}

void DeviceForm::loadDeviceStampPage()
{
    StampPageConnectMessage();
    checkStateChangeStampText();
    checkStateChangeStampGraphic();
    checkStateChangeStampBorder();
    loadDeviceStampPageWording();
    loadDeviceStampText();
    loadDeviceStampGraphic();
    loadDeviceStampLayout();
    createStampText();
    createStampGraphic();
    createStampLayout();
    m_pStampIndexValidator = new QRegularExpressionValidator(this);
}

void DeviceForm::StampPageConnectMessage()
{
    connect(ui->pushButtonDeviceStampTextRename, &QPushButton::clicked, this,
            &DeviceForm::clickedOpenMessage);
    connect(ui->pushButtonDeviceStampTextColor, &QPushButton::clicked, this,
            &DeviceForm::clickedOpenColorDialog);
    connect(ui->pushButtonDeviceStampTextColorSelect, &QPushButton::clicked, this,
            &DeviceForm::clickedOpenColorDialog);
    connect(ui->pushButtonDeviceStampBorderColorHex, &QPushButton::clicked, this,
            &DeviceForm::clickedOpenColorDialog2);
    connect(ui->pushButtonDeviceStampBorderColorSelect, &QPushButton::clicked, this,
            &DeviceForm::clickedOpenColorDialog2);
    connect(ui->pushButtonDeviceStampGraphicAdd, &QPushButton::clicked, this,
            &DeviceForm::clickedOpenDocument);
    connect(ui->pushButtonDeviceStampGraphicDelete, &QPushButton::clicked, this,
            &DeviceForm::clickedBtnDeletePicture);
    connect(ui->checkBoxDeviceStampText, &QCheckBox::stateChanged, this,
            &DeviceForm::checkStateChangeStampText);
    connect(ui->checkBoxDeviceStampGraphicOn, &QCheckBox::stateChanged, this,
            &DeviceForm::checkStateChangeStampGraphic);
    connect(ui->checkBoxDeviceStampBorder, &QCheckBox::stateChanged, this,
            &DeviceForm::checkStateChangeStampBorder);
}

void DeviceForm::loadDeviceStampPageWording()
{
    ui->tabWidgetDevice->setTabText(2, tr("戳记"));
    ui->tabWidgetStamp->setTabText(0, tr("文本"));
    ui->tabWidgetStamp->setTabText(1, tr("图形"));
    ui->tabWidgetStamp->setTabText(2, tr("布局"));
}

void DeviceForm::loadDeviceStampText()
{
    ui->checkBoxDeviceStampText->setText(tr("开启 (&O)"));
    ui->labelDeviceStampTextMessage->setText(tr("信息 (&M)："));
    ui->pushButtonDeviceStampTextRename->setText(QString());
    ui->pushButtonDeviceStampTextRename->setToolTip(tr("更改"));
    ui->groupBoxDeviceStampFont->setTitle(tr("字体 (&N)"));
    ui->labelDeviceStampTextSize->setText(tr("尺寸："));
    ui->labelDeviceStampTextPoint->setText(tr("点"));
    ui->labelDeviceStampTextColor->setText(tr("颜色："));
    ui->pushButtonDeviceStampTextColor->setText(QString());
    ui->pushButtonDeviceStampTextColorSelect->setText(tr("选择..."));
}

void DeviceForm::loadDeviceStampGraphic()
{
    ui->checkBoxDeviceStampGraphicOn->setText(tr("开启 (&O)"));
    ui->pushButtonDeviceStampGraphicAdd->setText(QString());
    ui->pushButtonDeviceStampGraphicAdd->setToolTip(tr("添加"));
    ui->pushButtonDeviceStampGraphicDelete->setText(QString());
    ui->pushButtonDeviceStampGraphicDelete->setToolTip(tr("删除"));
    ui->labelDeviceStampGraphicAlignment->setText(tr("对齐 (&A)："));
}

void DeviceForm::loadDeviceStampLayout()
{
    ui->checkBoxDeviceStampFirstPageOnly->setText(tr("仅限首页 (&F)"));
    ui->labelDeviceStampSide->setText(tr("侧 (&S)："));
    ui->labelDeviceStampPosition->setText(tr("原点 (x,y)(&O)："));
    ui->labelDeviceStampPositionComma->setText(",");
    ui->labelDeviceStampPositionUnit->setText(tr("厘米"));
    ui->labelDeviceStampOrientation->setText(tr("方向 (&R)："));
    ui->labelDeviceStampDegree->setText(tr("度"));
    ui->groupBoxDeviceStampBorder->setTitle(tr("边界"));
    ui->checkBoxDeviceStampBorder->setText(tr("开启 (&B)"));
    ui->labelDeviceStampBorderColor->setText(tr("颜色："));
    ui->pushButtonDeviceStampBorderColorHex->setText(QString());
    ui->pushButtonDeviceStampBorderColorSelect->setText(tr("选择..."));
    ui->labelDeviceStampThickNess->setText(tr("厚度："));
    ui->labelDeviceStampThickNessUnit->setText(tr("厘米"));
    ui->labelDeviceOpacity->setText(tr("不透明度：(&Y)"));
    ui->labelDeviceOpacityPercent->setText("%");
}

void DeviceForm::createStampText()
{
    ui->pushButtonDeviceStampTextRename->setIcon(QIcon(":/ui/images/rename.png"));
    ui->spinBoxDeviceStampTextSize->setRange(6, 24);
    ui->pushButtonDeviceStampTextColor->setStyleSheet("QPushButton{background-color:black;}");
}

void DeviceForm::createStampGraphic()
{
    ui->pushButtonDeviceStampGraphicAdd->setIcon(QIcon(":/ui/images/add.png"));
    ui->pushButtonDeviceStampGraphicDelete->setIcon(QIcon(":/ui/images/delete.png"));
    ui->comboBoxDeviceStampGraphicAlignment->addItem(tr("文本左侧"), 0);
    ui->comboBoxDeviceStampGraphicAlignment->addItem(tr("文本右侧"), 1);
}

void DeviceForm::createStampLayout()
{
    ui->comboBoxDeviceStampSide->addItem(tr("双面"), 2);
    ui->comboBoxDeviceStampSide->addItem(tr("前"), 0);
    ui->comboBoxDeviceStampSide->addItem(tr("后"), 1);
    ui->comboBoxDeviceStampOrientation->addItem("0", 0);
    ui->comboBoxDeviceStampOrientation->addItem("90", 1);
    ui->comboBoxDeviceStampOrientation->addItem("180", 2);
    ui->comboBoxDeviceStampOrientation->addItem("270", 3);
    for (QDoubleSpinBox *s :
         {static_cast<QDoubleSpinBox *>(ui->doubleSpinBoxDeviceStampPositionX),
          static_cast<QDoubleSpinBox *>(ui->doubleSpinBoxDeviceStampPositionY)}) {
        s->setRange(0, MaxLengthShown);
        s->setDecimals(2);
        s->setSingleStep(0.02);
    }
    ui->doubleSpinBoxDeviceStampThickNess->setRange(0, 10000);
    ui->doubleSpinBoxDeviceStampThickNess->setDecimals(3);
    ui->pushButtonDeviceStampBorderColorHex->setStyleSheet("QPushButton{background-color:black;}");
    ui->spinBoxDeviceOpacity->setRange(0, 100);
    ui->spinBoxDeviceOpacity->setValue(100);
}

// ---- enabling -------------------------------------------------------------

void DeviceForm::checkStateChangeStampText()
{
    const bool on = ui->checkBoxDeviceStampText->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(ui->pushButtonDeviceStampTextRename),
                       static_cast<QWidget *>(ui->labelDeviceStampTextMessage),
                       static_cast<QWidget *>(ui->textEditDeviceStampTextMessage),
                       static_cast<QWidget *>(ui->groupBoxDeviceStampFont),
                       static_cast<QWidget *>(ui->labelDeviceStampTextSize),
                       static_cast<QWidget *>(ui->spinBoxDeviceStampTextSize),
                       static_cast<QWidget *>(ui->labelDeviceStampTextPoint),
                       static_cast<QWidget *>(ui->labelDeviceStampTextColor),
                       static_cast<QWidget *>(ui->pushButtonDeviceStampTextColor),
                       static_cast<QWidget *>(ui->pushButtonDeviceStampTextColorSelect)})
        w->setEnabled(on);
    updateStampCounterVisibility();
    // The counter's width comes from the template only while text is on.
    if (m_pStampIndexValidator)
        applyStampIndexValidator();
}

void DeviceForm::checkStateChangeStampGraphic()
{
    const bool on = ui->checkBoxDeviceStampGraphicOn->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(ui->pushButtonDeviceStampGraphicAdd),
                       static_cast<QWidget *>(ui->pushButtonDeviceStampGraphicDelete),
                       static_cast<QWidget *>(ui->listWidgetDeviceStampGraphicFileName),
                       static_cast<QWidget *>(ui->labelDeviceStampGraphicAlignment),
                       static_cast<QWidget *>(ui->comboBoxDeviceStampGraphicAlignment)})
        w->setEnabled(on);
    updateStampCounterVisibility();
}

void DeviceForm::checkStateChangeStampBorder()
{
    const bool on = ui->checkBoxDeviceStampBorder->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(ui->labelDeviceStampBorderColor),
                       static_cast<QWidget *>(ui->pushButtonDeviceStampBorderColorHex),
                       static_cast<QWidget *>(ui->pushButtonDeviceStampBorderColorSelect),
                       static_cast<QWidget *>(ui->labelDeviceStampThickNess),
                       static_cast<QWidget *>(ui->doubleSpinBoxDeviceStampThickNess),
                       static_cast<QWidget *>(ui->labelDeviceStampThickNessUnit)})
        w->setEnabled(on);
}

void DeviceForm::updateStampCounterVisibility()
{
    const bool shown =
        ui->checkBoxDeviceStampText->isChecked() || ui->checkBoxDeviceStampGraphicOn->isChecked();
    ui->groupBoxDeviceStampCounter->setHidden(!shown);
    ui->labelStampStartValue->setHidden(!shown);
}

// ---- profile exchange -----------------------------------------------------

void DeviceForm::paintSwatch(QPushButton *swatch, const QColor &color)
{
    swatch->setStyleSheet(
        QString(kSwatchStyle).arg(color.red()).arg(color.green()).arg(color.blue()));
    if (swatch == ui->pushButtonDeviceStampTextColor)
        m_textSwatchColor = color;
    else
        m_borderSwatchColor = color;
}

void DeviceForm::refreshStampPreview()
{
    ui->textEditDeviceStampTextMessage->setPlainText(stampTextPreview(m_stStampConfig));
}

bool DeviceForm::updateDeviceStampPageTextVariableToUIControl(tagSCAN_SHORTCUT_MENU &p)
{
    m_stStampConfig = p.stampConfig;
    ui->checkBoxDeviceStampText->setChecked(m_stStampConfig.textStampOn != 0);
    ui->spinBoxDeviceStampTextSize->setValue(m_stStampConfig.textSize);
    paintSwatch(ui->pushButtonDeviceStampTextColor, unpackStampColor(m_stStampConfig.textColor));
    paintSwatch(ui->pushButtonDeviceStampBorderColorHex,
                unpackStampColor(m_stStampConfig.borderColor));
    refreshStampPreview();
    applyStampIndexValidator();
    return true;
}

bool DeviceForm::updateDeviceStampPageTextUIControlToVariable(tagSCAN_SHORTCUT_MENU &p)
{
    p.stampConfig = m_stStampConfig;
    p.stampConfig.textSize = quint8(ui->spinBoxDeviceStampTextSize->value());
    p.stampConfig.textStampOn = ui->checkBoxDeviceStampText->isChecked() ? 1 : 0;
    return true;
}

bool DeviceForm::compareDeviceStampPageTextVariableAndUIControl(tagSCAN_SHORTCUT_MENU &p)
{
    const tagSTAMP_CONFIG &s = p.stampConfig;
    if (s.textSize != ui->spinBoxDeviceStampTextSize->value() ||
        (s.textStampOn != 0) != ui->checkBoxDeviceStampText->isChecked() ||
        packStampColor(m_textSwatchColor) != s.textColor ||
        packStampColor(m_borderSwatchColor) != s.borderColor)
        return false;
    // Template, formats, fixed date and time, and the six messages: the
    // bytes from the template slots to the end of message 6.
    const size_t from = offsetof(tagSTAMP_CONFIG, textTemplate);
    const size_t to = offsetof(tagSTAMP_CONFIG, graphicStampOn);
    return std::memcmp(reinterpret_cast<const char *>(&m_stStampConfig) + from,
                       reinterpret_cast<const char *>(&s) + from, to - from) == 0;
}

bool DeviceForm::updateDeviceStampPageGraphicVariableToUIControl(tagSCAN_SHORTCUT_MENU &p)
{
    select(ui->comboBoxDeviceStampGraphicAlignment, p.stampConfig.graphicAlignment);
    ui->checkBoxDeviceStampGraphicOn->setChecked(p.stampConfig.graphicStampOn != 0);
    QListWidget *list = ui->listWidgetDeviceStampGraphicFileName;
    const QString stored = storedGraphicName(p);
    int row = -1;
    for (int i = 0; i < list->count() && row < 0; ++i)
        if (list->item(i)->data(Qt::UserRole).toString() == stored)
            row = i;
    if (row < 0 && list->count() > 0)
        row = 0;
    list->setCurrentRow(row);
    return true;
}

bool DeviceForm::updateDeviceStampPageGraphicUIControlToVariable(tagSCAN_SHORTCUT_MENU &p)
{
    p.stampConfig.graphicAlignment = quint8(value(ui->comboBoxDeviceStampGraphicAlignment));
    p.stampConfig.graphicStampOn = ui->checkBoxDeviceStampGraphicOn->isChecked() ? 1 : 0;
    std::memset(static_cast<void *>(p.stampGraphicFile), 0, sizeof(p.stampGraphicFile));
    const QListWidgetItem *item = ui->listWidgetDeviceStampGraphicFileName->currentItem();
    if (item)
        setScanText(p.stampGraphicFile, item->data(Qt::UserRole).toString());
    return true;
}

bool DeviceForm::compareDeviceStampPageGraphicVariableAndUIControl(tagSCAN_SHORTCUT_MENU &p)
{
    if (p.stampConfig.graphicAlignment != value(ui->comboBoxDeviceStampGraphicAlignment) ||
        (p.stampConfig.graphicStampOn != 0) != ui->checkBoxDeviceStampGraphicOn->isChecked())
        return false;
    const QListWidgetItem *item = ui->listWidgetDeviceStampGraphicFileName->currentItem();
    const QString shown =
        item ? truncatedScanText(item->data(Qt::UserRole).toString(), kGraphicNameUnits)
             : QString();
    return shown == storedGraphicName(p);
}

quint32 DeviceForm::stampHundredths(const QDoubleSpinBox *spin) const
{
    return toUnits<quint32>(readLength(spin), 100);
}

quint16 DeviceForm::stampThousandths() const
{
    return toUnits<quint16>(readLength(ui->doubleSpinBoxDeviceStampThickNess, 3), 1000);
}

bool DeviceForm::updateDeviceStampPageLayOutVariableToUIControl(tagSCAN_SHORTCUT_MENU &p)
{
    const tagSTAMP_CONFIG &s = p.stampConfig;
    select(ui->comboBoxDeviceStampOrientation, s.orientation);
    select(ui->comboBoxDeviceStampSide, s.stampSide);
    ui->checkBoxDeviceStampFirstPageOnly->setChecked(s.firstPageOnly != 0);
    ui->checkBoxDeviceStampBorder->setChecked(s.borderOn != 0);
    ui->spinBoxDeviceOpacity->setValue(s.opacity);
    setLength(ui->doubleSpinBoxDeviceStampPositionX, s.originX / 100.0);
    setLength(ui->doubleSpinBoxDeviceStampPositionY, s.originY / 100.0);
    setLength(ui->doubleSpinBoxDeviceStampThickNess, s.borderThickness / 1000.0);
    return true;
}

bool DeviceForm::updateDeviceStampPageLayOutUIControlToVariable(tagSCAN_SHORTCUT_MENU &p)
{
    tagSTAMP_CONFIG &s = p.stampConfig;
    s.stampSide = quint8(value(ui->comboBoxDeviceStampSide));
    s.orientation = quint8(value(ui->comboBoxDeviceStampOrientation));
    s.originX = stampHundredths(ui->doubleSpinBoxDeviceStampPositionX);
    s.originY = stampHundredths(ui->doubleSpinBoxDeviceStampPositionY);
    s.borderThickness = stampThousandths();
    s.opacity = quint8(ui->spinBoxDeviceOpacity->value());
    s.firstPageOnly = ui->checkBoxDeviceStampFirstPageOnly->isChecked() ? 1 : 0;
    s.borderOn = ui->checkBoxDeviceStampBorder->isChecked() ? 1 : 0;
    return true;
}

bool DeviceForm::compareDeviceStampPageLayOutVariableAndUIControl(tagSCAN_SHORTCUT_MENU &p)
{
    const tagSTAMP_CONFIG &s = p.stampConfig;
    return s.stampSide == value(ui->comboBoxDeviceStampSide) &&
           s.orientation == value(ui->comboBoxDeviceStampOrientation) &&
           s.originX == stampHundredths(ui->doubleSpinBoxDeviceStampPositionX) &&
           s.originY == stampHundredths(ui->doubleSpinBoxDeviceStampPositionY) &&
           s.borderThickness == stampThousandths() &&
           s.opacity == ui->spinBoxDeviceOpacity->value() &&
           (s.firstPageOnly != 0) == ui->checkBoxDeviceStampFirstPageOnly->isChecked() &&
           (s.borderOn != 0) == ui->checkBoxDeviceStampBorder->isChecked();
}

// ---- clamps ---------------------------------------------------------------

void DeviceForm::stampPositionXRange()
{
    QDoubleSpinBox *spin = ui->doubleSpinBoxDeviceStampPositionX;
    if (spin->value() > 8.5 * getSizeTimes())
        spin->setValue(8.5 * getSizeTimes());
}

void DeviceForm::stampPositionYRange()
{
    QDoubleSpinBox *spin = ui->doubleSpinBoxDeviceStampPositionY;
    if (spin->value() > 120 * getSizeTimes())
        spin->setValue(120 * getSizeTimes());
}

void DeviceForm::stampBorderThicknessRange()
{
    const double f = getSizeTimes();
    QDoubleSpinBox *spin = ui->doubleSpinBoxDeviceStampThickNess;
    if (spin->value() < 0.063 * f)
        spin->setValue(0.063 * f);
    else if (spin->value() > 0.25 * f)
        spin->setValue(0.25 * f);
}

// ---- dialogs --------------------------------------------------------------

void DeviceForm::clickedOpenMessage()
{
    ChangeMessageDialog dialog(&m_stStampConfig, m_hub, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    refreshStampPreview();
    applyStampIndexValidator();
    notifyEdited();
}

void DeviceForm::clickedOpenColorDialog()
{
    // Start from what the swatch shows, so a dialog that is cancelled, or
    // confirmed unchanged, never alters the profile.
    QColorDialog dialog(m_textSwatchColor, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_textColor = dialog.currentColor();
    m_stStampConfig.textColor = packStampColor(m_textColor);
    paintSwatch(ui->pushButtonDeviceStampTextColor, m_textColor);
    notifyEdited();
}

void DeviceForm::clickedOpenColorDialog2()
{
    QColorDialog dialog(m_borderSwatchColor, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_borderColor = dialog.currentColor();
    m_stStampConfig.borderColor = packStampColor(m_borderColor);
    paintSwatch(ui->pushButtonDeviceStampBorderColorHex, m_borderColor);
    notifyEdited();
}

void DeviceForm::clickedOpenDocument()
{
    const QString path = QFileDialog::getOpenFileName(
        this, tr("打开"), m_stampGraphic.appStampDir(), "All Supported Formats(*.png)");
    if (path.isEmpty())
        return;
    if (m_stampGraphic.addStampGraphic(path))
        m_stampGraphic.loadGraphicsToControl(ui->listWidgetDeviceStampGraphicFileName);
}

void DeviceForm::saveStampGraphicList()
{
    m_stampGraphic.saveStampConfig();
}

void DeviceForm::reloadStampGraphicList()
{
    m_stampGraphic.initialVariant();
    m_stampGraphic.loadStampConfig();
    ui->listWidgetDeviceStampGraphicFileName->clear();
    m_stampGraphic.loadDefaultGraphicsToControl(ui->listWidgetDeviceStampGraphicFileName);
}

void DeviceForm::clickedBtnDeletePicture()
{
    QListWidget *list = ui->listWidgetDeviceStampGraphicFileName;
    const int row = list->currentRow();
    if (row < 0)
        return;
    const QString name = list->item(row)->data(Qt::UserRole).toString();
    const int answer = ErrorHandling::questionMessage(
        this, tr("确认删除"),
        tr("如果删除“%1”，其将无法用于配置任何文件。\n确定要删除“%1”？").arg(name),
        ErrorHandling::YesNo, ErrorHandling::No);
    if (answer != ErrorHandling::Yes)
        return;
    m_stampGraphic.deleteStampGraphic(name);
    delete list->takeItem(row);
}

// ---- stamp counter --------------------------------------------------------

void DeviceForm::applyStampIndexValidator()
{
    const int width = ui->checkBoxDeviceStampText->isChecked() ? m_stStampConfig.counterWidth : 9;
    if (width < 1 || width > 9) {
        ui->lineEditStampStartValue->setValidator(nullptr);
        return;
    }
    // Up to `width` digits without a leading zero, or 0 itself.
    const QString pattern =
        width == 1 ? QStringLiteral("^([0-9])$") : QString("^(0|[1-9][0-9]{0,%1})$").arg(width - 1);
    m_pStampIndexValidator->setRegularExpression(QRegularExpression(pattern));
    ui->lineEditStampStartValue->setValidator(m_pStampIndexValidator);
}

void DeviceForm::checkStampIndexFormat()
{
    applyStampIndexValidator();
}

void DeviceForm::updateStampIndexValue(bool checkedEnable)
{
    if (!checkedEnable)
        ui->lineEditStampStartValue->clear();
}

void DeviceForm::updateStampIndexAndCounter(tagSCAN_SHORTCUT_MENU &profile)
{
    profile.stampCounter = ui->lineEditStampStartValue->text().toInt();
}

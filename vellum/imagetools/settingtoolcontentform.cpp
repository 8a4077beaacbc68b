#include "settingtoolcontentform.h"
#include "ui_settingtoolcontentform.h"

#include "imagetoolrecord.h"
#include "oxadvancedlengths.h"
#include "pmessage.h"

namespace L = OxAdvancedLengths;

SettingToolContentForm::SettingToolContentForm(PMessage *hub, QWidget *parent)
    : QWidget(parent), ui(new Ui::SettingToolContentForm), m_hub(hub)
{
    ui->setupUi(this);
    initDialog();
}

SettingToolContentForm::~SettingToolContentForm()
{
    delete ui;
}

void SettingToolContentForm::initDialog()
{
    // The sensitivity list is connected before it is filled: filling selects
    // "低" and applies its preset once.
    connectMessage();
    loadToolContentSettingPageWording();
    currentItemInputImageSide(InputDocumentBoth, false);
    createToolContentSensitivity();
}

void SettingToolContentForm::connectMessage()
{
    connect(ui->comboBoxContentSensitivityt, QOverload<int>::of(&QComboBox::currentIndexChanged),
            this, &SettingToolContentForm::currentItemContentSensitivity);
    connect(ui->horizontalSliderContentColorAmountt, &QSlider::valueChanged,
            ui->spinBoxContentColorAmountt, &QSpinBox::setValue);
    connect(ui->spinBoxContentColorAmountt, QOverload<int>::of(&QSpinBox::valueChanged),
            ui->horizontalSliderContentColorAmountt, &QSlider::setValue);
    connect(ui->horizontalSliderContentColorThresholdt, &QSlider::valueChanged,
            ui->spinBoxContentColorThresholdt, &QSpinBox::setValue);
    connect(ui->spinBoxContentColorThresholdt, QOverload<int>::of(&QSpinBox::valueChanged),
            ui->horizontalSliderContentColorThresholdt, &QSlider::setValue);
    if (m_hub)
        connect(m_hub, &PMessage::changedInputDocTypeSettingToolToMain, this,
                &SettingToolContentForm::currentItemInputImageSide);
    connect(ui->pushButtonContentLearnt, &QPushButton::clicked, this,
            &SettingToolContentForm::clickedLearn);
    if (m_hub)
        connect(m_hub, &PMessage::sendAutoColorValue, this,
                &SettingToolContentForm::setAutoColorValue);
}

void SettingToolContentForm::loadToolContentSettingPageWording()
{
    ui->labelContentSidet->setText(tr("侧 (&E)："));
    ui->labelContentSensitivityt->setText(tr("灵敏度 (&N)："));
    ui->labelContentColorAmountt->setText(tr("色彩数量 (&A)："));
    ui->labelContentColorAmountMint->setText(QStringLiteral("1"));
    ui->labelContentColorAmountMaxt->setText(QStringLiteral("200"));
    ui->labelContentColorThresholdt->setText(tr("色彩阈值 (&T)："));
    ui->labelContentColorThresholdMint->setText(QStringLiteral("0"));
    ui->labelContentColorThresholdMaxt->setText(QStringLiteral("100"));
    ui->textEditContentt->setPlainText(
        tr("要让扫描仪了解自定义内容设置，你需要至少五份代表性彩色文档。这些文档是您希望扫描仪自动"
           "检测，并保存为彩色灰度影像的文档。\n将代表性文档放入输出托盘，然后单机“了解”。"));
    ui->textEditContentt->setReadOnly(true);
    ui->pushButtonContentLearnt->setText(tr("了解 (&L)…"));
    ui->labelContentSidet->setBuddy(ui->comboBoxContentSidet);
    ui->labelContentSensitivityt->setBuddy(ui->comboBoxContentSensitivityt);
    ui->labelContentColorAmountt->setBuddy(ui->horizontalSliderContentColorAmountt);
    ui->labelContentColorThresholdt->setBuddy(ui->horizontalSliderContentColorThresholdt);
}

void SettingToolContentForm::createToolContentSide()
{
    ui->comboBoxContentSidet->clear();
    ui->comboBoxContentSidet->addItem(tr("两侧"), 0);
    ui->comboBoxContentSidet->addItem(tr("前"), 1);
    ui->comboBoxContentSidet->addItem(tr("后"), 2);
}

void SettingToolContentForm::createToolContentSensitivity()
{
    ui->comboBoxContentSensitivityt->clear();
    ui->comboBoxContentSensitivityt->addItem(tr("低"), 0);
    ui->comboBoxContentSensitivityt->addItem(tr("中"), 2);
    ui->comboBoxContentSensitivityt->addItem(tr("高"), 3);
    ui->comboBoxContentSensitivityt->addItem(tr("自定义"), 1);
}

void SettingToolContentForm::currentItemInputImageSide(InputDocumentFlag inputDocId, bool bChecked)
{
    QComboBox *side = ui->comboBoxContentSidet;
    switch (inputDocId) {
    case InputDocumentBoth:
        if (bChecked) {
            side->clear();
            side->addItem(tr("前"), 1);
            side->addItem(tr("后"), 2);
            side->setEnabled(true);
        } else {
            createToolContentSide();
            side->setCurrentIndex(0);
            side->setEnabled(false);
        }
        break;
    case InputDocumentFront:
        createToolContentSide();
        side->setCurrentIndex(1);
        side->setEnabled(false);
        break;
    case InputDocumentBack:
        createToolContentSide();
        side->setCurrentIndex(2);
        side->setEnabled(false);
        break;
    default:
        break;
    }
}

void SettingToolContentForm::currentItemContentSensitivity(int)
{
    const int sensitivity = L::currentData(ui->comboBoxContentSensitivityt);
    int preset = -1;
    if (sensitivity == 0)
        preset = 9;
    else if (sensitivity == 2)
        preset = 47;
    else if (sensitivity == 3)
        preset = 116;
    const bool custom = preset < 0;
    for (QWidget *w : std::initializer_list<QWidget *>{
             ui->horizontalSliderContentColorAmountt, ui->horizontalSliderContentColorThresholdt,
             ui->spinBoxContentColorAmountt, ui->spinBoxContentColorThresholdt,
             ui->labelContentColorAmountt, ui->labelContentColorThresholdt,
             ui->labelContentColorAmountMint, ui->labelContentColorAmountMaxt,
             ui->labelContentColorThresholdMint, ui->labelContentColorThresholdMaxt})
        w->setEnabled(custom);
    ui->textEditContentt->setHidden(!custom);
    ui->pushButtonContentLearnt->setHidden(!custom);
    if (!custom) {
        ui->horizontalSliderContentColorAmountt->setValue(preset);
        ui->horizontalSliderContentColorThresholdt->setValue(20);
    }
}

void SettingToolContentForm::initAdvancedSettingContent(InputDocumentFlag inputDocId)
{
    if (inputDocId == InputDocumentBoth)
        ui->comboBoxContentSidet->setCurrentIndex(0);
    else if (inputDocId == InputDocumentFront)
        ui->comboBoxContentSidet->setCurrentIndex(1);
    else if (inputDocId == InputDocumentBack)
        ui->comboBoxContentSidet->setCurrentIndex(2);
    ui->comboBoxContentSensitivityt->setCurrentIndex(0);
}

void SettingToolContentForm::clickedLearn()
{
    if (!m_hub)
        return;
    emit m_hub->saveAdvancedSetting();
    emit m_hub->clickedLearn();
}

void SettingToolContentForm::setAutoColorValue(int AutoColorMinAmount, int AutoColorThreshold)
{
    ui->spinBoxContentColorAmountt->setValue(AutoColorMinAmount);
    ui->spinBoxContentColorThresholdt->setValue(AutoColorThreshold);
}

bool SettingToolContentForm::updateVariableToUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    const ImageToolSettings s = readImageToolSettings(profile);
    L::selectByData(ui->comboBoxContentSidet, s.contentSide);
    L::selectByData(ui->comboBoxContentSensitivityt, s.contentSensitivity);
    // Set last, so stored values win over the preset of the sensitivity.
    ui->spinBoxContentColorAmountt->setValue(s.colorAmount);
    ui->spinBoxContentColorThresholdt->setValue(s.colorThreshold);
    return true;
}

bool SettingToolContentForm::updateUIControlToVariable(tagSCAN_SHORTCUT_MENU &profile)
{
    ImageToolSettings s = readImageToolSettings(profile);
    s.contentSide = L::currentData(ui->comboBoxContentSidet);
    s.contentSensitivity = L::currentData(ui->comboBoxContentSensitivityt);
    s.colorAmount = ui->spinBoxContentColorAmountt->value();
    s.colorThreshold = ui->spinBoxContentColorThresholdt->value();
    writeImageToolSettings(profile, s);
    return true;
}

bool SettingToolContentForm::compareVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    const ImageToolSettings s = readImageToolSettings(profile);
    return s.contentSide == L::currentData(ui->comboBoxContentSidet) &&
           s.contentSensitivity == L::currentData(ui->comboBoxContentSensitivityt) &&
           s.colorAmount == ui->spinBoxContentColorAmountt->value() &&
           s.colorThreshold == ui->spinBoxContentColorThresholdt->value();
}

// Detection page: blank image deletion and barcode reading.

#include "settingform.h"

#include "settingformhelpers.h"
#include "ui_settingform.h"

using settingform::currentValue;
using settingform::fillCombo;
using settingform::selectData;
using settingform::storedFlag;

void SettingForm::loadDetectPageWording()
{
    ui->tabWidgetGeneral->setTabText(4, tr("检测"));
    ui->groupBoxBlankImageDeletion->setTitle(tr("空白图像删除(&B)"));
    ui->labelFinalImageSize->setText(tr("最终图像尺寸："));
    ui->labelFinalImageSizeUnit->setText(QStringLiteral("KB"));
    ui->labelContentAmount->setText(tr("内容数量："));
    ui->labelContentAmountUnit->setText(QStringLiteral("%"));
    ui->pushButtonContentAmount->setIcon(QIcon(QStringLiteral(":/ui/images/preview.png")));
    ui->pushButtonContentAmount->setText(QString());
    ui->pushButtonContentAmount->setEnabled(false);
    ui->groupBoxBarcodeReading->setTitle(tr("条形码读取"));
    ui->checkBoxBarcodeReading->setText(tr("开启 (&R)"));
    ui->labelBarcodeReadingType->setText(tr("类型："));
    ui->labelHowMany->setText(tr("数量 (&M)："));
    ui->labelHowMany->setBuddy(ui->spinBoxHowMany);
    ui->labelOrienation->setText(tr("方向 (&O)："));
    ui->labelOrienation->setBuddy(ui->comboBoxOrienation);
    ui->groupBoxSearchArea->setTitle(tr("搜索区域(&S)"));
    ui->labelSearchOrigin->setText(tr("原点 (x , y)："));
    ui->labelSearchSize->setText(tr("尺寸 (W x H)："));
    ui->labelSearchGrade1->setText(QStringLiteral(","));
    ui->labelSearchGrade3->setText(QStringLiteral("x"));
    ui->labelSearchGrade2->setText(tr("厘米"));
    ui->labelSearchGrade4->setText(tr("厘米"));
    ui->spinBoxHowMany->setRange(1, 6);
    for (QDoubleSpinBox *s : {ui->doubleSpinBoxSearchGrade1, ui->doubleSpinBoxSearchGrade2,
                              ui->doubleSpinBoxSearchGrade3, ui->doubleSpinBoxSearchGrade4})
        s->setDecimals(2);
    // Barcode names are shown as they stand.
    for (const char *name : {"Interleaved 2 of 5", "Code 3 of 9", "Codabar", "Code 128", "EAN -13",
                             "EAN -8", "UPC-A", "UPC-E", "PDF417", "QR Code"})
        ui->listWidgetBarcodeReadingType->addItem(QString::fromLatin1(name));
    for (const QString &set :
         {tr("数字"), tr("拉丁语"), tr("中文/日文"), tr("韩文"), tr("阿拉伯文")})
        ui->listWidgetUnicode->addItem(set);
}

void SettingForm::createBlankImageDeletion()
{
    fillCombo(ui->comboBoxBlankImageDeletion,
              {{tr("(无)"), 0}, {tr("基于文档内容"), 1}, {tr("基于尺寸"), 2}});
}

void SettingForm::createBarcodeReading()
{
    fillCombo(ui->comboBoxOrienation, {{tr("水平"), 1}, {tr("垂直"), 2}, {tr("两侧"), 0}});
    fillCombo(ui->comboBoxSearchArea, {{tr("整个文档"), 0}, {tr("部分文档"), 1}});
}

// ---------------------------------------------------------------- connections

void SettingForm::connectDetectPageChangeValueControlMessages()
{
    if (!m_detectLinks.isEmpty())
        return;
    const auto changed = QOverload<int>::of(&QComboBox::currentIndexChanged);
    m_detectLinks << connect(ui->comboBoxBlankImageDeletion, changed, this,
                             &SettingForm::currentItemChangeBlankImageDeletion)
                  << connect(ui->comboBoxSearchArea, changed, this,
                             &SettingForm::currentItemChangeSearchArea);
}

void SettingForm::disconnectDetectPageChangeValueControlMessages()
{
    for (const QMetaObject::Connection &c : qAsConst(m_detectLinks))
        disconnect(c);
    m_detectLinks.clear();
}

void SettingForm::connectDetectPageMessages()
{
    connectDetectPageChangeValueControlMessages();
    const auto spinChanged = QOverload<int>::of(&QSpinBox::valueChanged);
    connect(ui->checkBoxBarcodeReading, &QCheckBox::stateChanged, this,
            &SettingForm::stateChangedBarcodeReading);
    connect(ui->pushButtonContentAmount, &QPushButton::clicked, this,
            &SettingForm::setBlankImageContent);
    connect(ui->spinBoxContentAmount, spinChanged, this, &SettingForm::valueChangeBlankPage);
    connect(ui->spinBoxFinalImageSize, spinChanged, this, &SettingForm::valueChangeBlankPage);
    connect(ui->doubleSpinBoxSearchGrade3, &QDoubleSpinBox::editingFinished, this,
            &SettingForm::valueChangeSearchAreaSizeW);
    connect(ui->doubleSpinBoxSearchGrade4, &QDoubleSpinBox::editingFinished, this,
            &SettingForm::valueChangeSearchAreaSizeH);
    connect(ui->doubleSpinBoxSearchGrade1, &QDoubleSpinBox::editingFinished, this,
            &SettingForm::valueChangeSearchAreaSizeX);
    connect(ui->doubleSpinBoxSearchGrade2, &QDoubleSpinBox::editingFinished, this,
            &SettingForm::valueChangeSearchAreaSizeY);
}

// ---------------------------------------------------------------- load, save, compare

bool SettingForm::updateDetectVariableToUIControl(int index)
{
    const tagSCAN_SIDE_SETTING &b = m_settingBlocks[index];
    selectData(ui->comboBoxBlankImageDeletion, int(b.blankImageDeletion));
    ui->spinBoxContentAmount->setValue(b.contentAmount);
    ui->spinBoxFinalImageSize->setValue(b.finalImageSize);
    // The check box's handler selects every type when it turns on, so the
    // stored selection is applied after it.
    ui->checkBoxBarcodeReading->setChecked(storedFlag(b.barcodeReading));
    for (int i = 0; i < 10 && i < ui->listWidgetBarcodeReadingType->count(); ++i)
        ui->listWidgetBarcodeReadingType->item(i)->setSelected(storedFlag(b.barcodeTypes[i]));
    ui->spinBoxHowMany->setValue(b.barcodeCount);
    selectData(ui->comboBoxOrienation, int(b.barcodeOrientation));
    selectData(ui->comboBoxSearchArea, int(b.barcodeSearchArea));
    ui->doubleSpinBoxSearchGrade1->setValue(toShown(b.barcodeArea[0]));
    ui->doubleSpinBoxSearchGrade2->setValue(toShown(b.barcodeArea[1]));
    ui->doubleSpinBoxSearchGrade3->setValue(toShown(b.barcodeArea[2]));
    ui->doubleSpinBoxSearchGrade4->setValue(toShown(b.barcodeArea[3]));
    return true;
}

bool SettingForm::updateDetectUIControlToVariable(int index)
{
    tagSCAN_SIDE_SETTING &b = m_settingBlocks[index];
    b.blankImageDeletion =
        BlankImageModeFlag(currentValue(ui->comboBoxBlankImageDeletion, b.blankImageDeletion));
    b.contentAmount = ui->spinBoxContentAmount->value();
    b.finalImageSize = ui->spinBoxFinalImageSize->value();
    b.barcodeReading = ui->checkBoxBarcodeReading->isChecked();
    for (int i = 0; i < 10 && i < ui->listWidgetBarcodeReadingType->count(); ++i)
        b.barcodeTypes[i] = ui->listWidgetBarcodeReadingType->item(i)->isSelected();
    b.barcodeCount = ui->spinBoxHowMany->value();
    b.barcodeOrientation =
        BarcodeSearchModeFlag(currentValue(ui->comboBoxOrienation, b.barcodeOrientation));
    b.barcodeSearchArea =
        BarcodeSearchAreaFlag(currentValue(ui->comboBoxSearchArea, b.barcodeSearchArea));
    b.barcodeArea[0] = toInches(ui->doubleSpinBoxSearchGrade1->value());
    b.barcodeArea[1] = toInches(ui->doubleSpinBoxSearchGrade2->value());
    b.barcodeArea[2] = toInches(ui->doubleSpinBoxSearchGrade3->value());
    b.barcodeArea[3] = toInches(ui->doubleSpinBoxSearchGrade4->value());
    return true;
}

bool SettingForm::compareDetectVariableAndUIControl(tagSCAN_SHORTCUT_MENU &profile)
{
    for (int i = 0; i < 4; ++i) {
        const tagSCAN_SIDE_SETTING &a = m_settingBlocks[i];
        const tagSCAN_SIDE_SETTING &p = profile.sideSettings[i];
        if (a.blankImageDeletion != p.blankImageDeletion || a.contentAmount != p.contentAmount ||
            a.finalImageSize != p.finalImageSize ||
            storedFlag(a.barcodeReading) != storedFlag(p.barcodeReading) ||
            a.barcodeCount != p.barcodeCount || a.barcodeOrientation != p.barcodeOrientation ||
            a.barcodeSearchArea != p.barcodeSearchArea)
            return false;
        for (int k = 0; k < 10; ++k)
            if (storedFlag(a.barcodeTypes[k]) != storedFlag(p.barcodeTypes[k]))
                return false;
        for (int k = 0; k < 4; ++k)
            if (a.barcodeArea[k] != p.barcodeArea[k])
                return false;
    }
    return true;
}

// ---------------------------------------------------------------- handlers

void SettingForm::currentItemChangeBlankImageDeletion(int)
{
    const int mode = ui->comboBoxBlankImageDeletion->currentData().toInt();
    const bool bySize = mode == 2;
    const bool byContent = mode == 1;
    for (QWidget *w : {static_cast<QWidget *>(ui->labelFinalImageSize),
                       static_cast<QWidget *>(ui->labelFinalImageSizeUnit),
                       static_cast<QWidget *>(ui->spinBoxFinalImageSize)})
        w->setVisible(bySize);
    for (QWidget *w : {static_cast<QWidget *>(ui->spinBoxContentAmount),
                       static_cast<QWidget *>(ui->labelContentAmount),
                       static_cast<QWidget *>(ui->labelContentAmountUnit),
                       static_cast<QWidget *>(ui->pushButtonContentAmount)})
        w->setVisible(byContent);
    if (byContent)
        judgePreviewAutoPreview();
}

void SettingForm::valueChangeBlankPage()
{
    if (ui->spinBoxContentAmount->value() > 100)
        ui->spinBoxContentAmount->setValue(100);
    else if (ui->spinBoxContentAmount->value() < 0)
        ui->spinBoxContentAmount->setValue(0);
    if (ui->spinBoxFinalImageSize->value() > 1000)
        ui->spinBoxFinalImageSize->setValue(1000);
    else if (ui->spinBoxFinalImageSize->value() <= 0)
        ui->spinBoxFinalImageSize->setValue(1);
}

void SettingForm::stateChangedBarcodeReading(int)
{
    const bool on = ui->checkBoxBarcodeReading->isChecked();
    for (QWidget *w :
         {static_cast<QWidget *>(ui->labelBarcodeReadingType),
          static_cast<QWidget *>(ui->labelHowMany), static_cast<QWidget *>(ui->labelOrienation),
          static_cast<QWidget *>(ui->spinBoxHowMany),
          static_cast<QWidget *>(ui->comboBoxOrienation),
          static_cast<QWidget *>(ui->groupBoxSearchArea),
          static_cast<QWidget *>(ui->listWidgetBarcodeReadingType)})
        w->setVisible(on);
    if (on)
        ui->listWidgetBarcodeReadingType->selectAll();
}

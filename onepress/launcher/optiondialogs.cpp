#include "optiondialogs.h"

#include "errorhandling.h"
#include "launcherprompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

void optionFlags(QDialog *d)
{
    Qt::WindowFlags flags = d->windowFlags();
    flags &= ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
               Qt::WindowContextHelpButtonHint);
    d->setWindowFlags(flags | Qt::CustomizeWindowHint);
    d->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
}

QHBoxLayout *okCancel(QDialog *d, QPushButton *&ok, QPushButton *&cancel)
{
    auto *row = new QHBoxLayout();
    row->setObjectName("horizontalLayout");
    row->addStretch();
    ok = new QPushButton(QObject::tr("确定"), d);
    ok->setObjectName("pushButtonOK");
    cancel = new QPushButton(QObject::tr("取消"), d);
    cancel->setObjectName("pushButtonCancel");
    row->addWidget(ok);
    row->addWidget(cancel);
    QObject::connect(cancel, &QPushButton::clicked, d, &QDialog::reject);
    return row;
}

} // namespace

OcrSettingDialog::OcrSettingDialog(QWidget *parent) : QDialog(parent)
{
    resize(311, 268);
    optionFlags(this);
    setWindowTitle(tr("OCR设置"));
    auto *g = new QGridLayout(this);
    m_pLabel = new QLabel(tr("OCR语言"), this);
    m_pLabel->setObjectName("labelOcrLanguage");
    m_pList = new QListWidget(this);
    m_pList->setObjectName("listWidgetLanguage");
    auto *item = new QListWidgetItem(tr("简体中文"), m_pList);
    item->setData(Qt::UserRole, item->text());
    m_pList->setCurrentRow(0);
    QPushButton *ok, *cancel;
    g->addWidget(m_pLabel, 0, 0);
    g->addWidget(m_pList, 1, 0);
    g->addLayout(okCancel(this, ok, cancel), 2, 0);
    connect(ok, &QPushButton::clicked, this, &OcrSettingDialog::accept);
    centreOnDesktop(this);
}

BlankImageSizeDialog::BlankImageSizeDialog(int threshold, QWidget *parent)
    : QDialog(parent), m_nThreshold(threshold)
{
    resize(299, 143);
    optionFlags(this);
    setWindowTitle(tr("空白图像大小"));
    auto *g2 = new QGridLayout(this);
    auto *info = new QLabel(tr("调整阈值以确定空白图像："), this);
    info->setObjectName("labelInfo");
    auto *g = new QGridLayout();
    m_pSlider = new QSlider(Qt::Horizontal, this);
    m_pSlider->setObjectName("horizontalSlider");
    m_pSlider->setPageStep(1);
    m_pSlider->setTickPosition(QSlider::TicksBelow);
    m_pSlider->setRange(-1, 1);
    auto *low = new QLabel(tr("低"), this);
    low->setObjectName("labelLow");
    auto *high = new QLabel(tr("高"), this);
    high->setObjectName("labelHigh");
    g->addWidget(m_pSlider, 0, 0, 1, 3);
    g->addWidget(low, 1, 0);
    g->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 1, 1);
    g->addWidget(high, 1, 2);
    QPushButton *ok, *cancel;
    g2->addWidget(info, 0, 0);
    g2->addLayout(g, 1, 0);
    g2->addItem(new QSpacerItem(20, 10, QSizePolicy::Minimum, QSizePolicy::Expanding), 2, 0);
    g2->addLayout(okCancel(this, ok, cancel), 3, 0);
    connect(ok, &QPushButton::clicked, this, &BlankImageSizeDialog::clickedBtnOK);
    // The slider's range shows a stored value outside it at the nearer end.
    m_pSlider->setValue(threshold);
    centreOnDesktop(this);
}

void BlankImageSizeDialog::clickedBtnOK()
{
    m_nThreshold = m_pSlider->value();
    accept();
}

const int WatermarkSettingDialog::kSizes[16] = {8,  9,  10, 11, 12, 14, 16, 18,
                                                20, 22, 24, 26, 28, 36, 48, 72};

void Ui_WatermarkSettingDialog::setupUi(QDialog *d)
{
    d->resize(395, 275);
    auto *v = new QVBoxLayout(d);
    v->setObjectName("verticalLayout");
    labelCharacters = new QLabel(d);
    labelCharacters->setObjectName("labelCharacters");
    lineEditWatermark = new QLineEdit(d);
    lineEditWatermark->setObjectName("lineEditWatermark");
    checkBoxIncludeSystemDate = new QCheckBox(d);
    checkBoxIncludeSystemDate->setObjectName("checkBoxIncludeSystemDate");
    groupBoxAdvSetting = new QGroupBox(d);
    groupBoxAdvSetting->setObjectName("groupBoxAdvSetting");
    auto *g = new QGridLayout(groupBoxAdvSetting);
    labelFontName = new QLabel(groupBoxAdvSetting);
    labelFontName->setObjectName("labelFontName");
    fontComboBox = new QFontComboBox(groupBoxAdvSetting);
    fontComboBox->setObjectName("fontComboBox");
    fontComboBox->setEditable(false);
    labelFontSize = new QLabel(groupBoxAdvSetting);
    labelFontSize->setObjectName("labelFontSize");
    comboBoxFontSize = new QComboBox(groupBoxAdvSetting);
    comboBoxFontSize->setObjectName("comboBoxFontSize");
    g->addWidget(labelFontName, 1, 0);
    g->addWidget(fontComboBox, 1, 1);
    g->addWidget(labelFontSize, 2, 0);
    g->addWidget(comboBoxFontSize, 2, 1);
    checkBoxPageNumber = new QCheckBox(d);
    checkBoxPageNumber->setObjectName("checkBoxPageNumber");
    checkBoxDateTime = new QCheckBox(d);
    checkBoxDateTime->setObjectName("checkBoxDateTime");
    v->addWidget(labelCharacters);
    v->addWidget(lineEditWatermark);
    v->addWidget(checkBoxIncludeSystemDate);
    v->addWidget(groupBoxAdvSetting);
    v->addWidget(checkBoxPageNumber);
    v->addWidget(checkBoxDateTime);
    v->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    v->addLayout(okCancel(d, pushButtonOK, pushButtonCancel));
    QWidget::setTabOrder(lineEditWatermark, checkBoxIncludeSystemDate);
    QWidget::setTabOrder(checkBoxIncludeSystemDate, checkBoxPageNumber);
    QWidget::setTabOrder(checkBoxPageNumber, checkBoxDateTime);
    QWidget::setTabOrder(checkBoxDateTime, pushButtonOK);
    QWidget::setTabOrder(pushButtonOK, pushButtonCancel);
}

WatermarkSettingDialog::WatermarkSettingDialog(tagWATERMARK watermark, QWidget *parent)
    : QDialog(parent), ui(new Ui_WatermarkSettingDialog), m_watermark(watermark)
{
    ui->setupUi(this);
    optionFlags(this);
    setWindowTitle(tr("水印设置"));
    ui->labelCharacters->setText(tr("请输入您的水印文字"));
    ui->checkBoxIncludeSystemDate->setText(tr("包含系统日期"));
    ui->groupBoxAdvSetting->setTitle(tr("高级设置"));
    ui->labelFontName->setText(tr("字体名称"));
    ui->labelFontSize->setText(tr("字体尺寸"));
    ui->checkBoxPageNumber->setText(tr("包含页码（页眉）"));
    ui->checkBoxDateTime->setText(tr("包含系统日期和时间（页脚）"));
    ui->lineEditWatermark->setMaxLength(60);
    for (int size : kSizes)
        ui->comboBoxFontSize->addItem(QString::number(size));
    connect(ui->pushButtonOK, &QPushButton::clicked, this, &WatermarkSettingDialog::clickedBtnOK);
    updateVariableToControl();
    centreOnDesktop(this);
}

WatermarkSettingDialog::~WatermarkSettingDialog()
{
    delete ui;
}

void WatermarkSettingDialog::updateVariableToControl()
{
    ui->lineEditWatermark->setText(m_watermark.Watermark);
    ui->checkBoxIncludeSystemDate->setChecked(m_watermark.IncludeSystemDate);
    if (!m_watermark.FontName.isEmpty()) {
        QFont font = ui->fontComboBox->currentFont();
        font.setFamily(m_watermark.FontName);
        ui->fontComboBox->setCurrentFont(font);
    } else {
        ui->fontComboBox->setCurrentFont(font());
    }
    const int at = ui->comboBoxFontSize->findText(QString::number(m_watermark.FontSize));
    ui->comboBoxFontSize->setCurrentIndex(at >= 0 ? at : 0);
    ui->checkBoxPageNumber->setChecked(m_watermark.IncludePageNumber);
    ui->checkBoxDateTime->setChecked(m_watermark.IncludeDateTime);
}

void WatermarkSettingDialog::clickedBtnOK()
{
    if (ui->lineEditWatermark->text().isEmpty() && !ui->checkBoxIncludeSystemDate->isChecked()) {
        ErrorHandling::criticalMessage(this, tr("确认"),
                                       tr("请输入水印文字或者选择包含系统日期。"));
        return;
    }
    m_watermark.Watermark = ui->lineEditWatermark->text();
    m_watermark.IncludeSystemDate = ui->checkBoxIncludeSystemDate->isChecked();
    m_watermark.FontName = ui->fontComboBox->currentFont().family();
    m_watermark.FontSize = ui->comboBoxFontSize->currentText().toInt();
    m_watermark.IncludePageNumber = ui->checkBoxPageNumber->isChecked();
    m_watermark.IncludeDateTime = ui->checkBoxDateTime->isChecked();
    accept();
}

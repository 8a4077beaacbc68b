#include "adjustingdialog.h"

#include "dialoghelpers.h"
#include "errorhandling.h"
#include "pmessage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextEdit>

AdjustingDialog::AdjustingDialog(int type, PMessage *hub, QWidget *parent)
    : QDialog(parent), m_hub(hub)
{
    setObjectName("AdjustingDialog");
    m_labelType = new QLabel(this);
    m_labelType->setObjectName("labelType");
    m_comboBoxType = new QComboBox(this);
    m_comboBoxType->setObjectName("comboBoxType");
    m_pushButtonClean = new QPushButton(this);
    m_pushButtonClean->setObjectName("pushButtonClean");
    m_pushButtonClean->setFixedSize(20, 20);
    m_pushButtonClean->setFocusPolicy(Qt::NoFocus);
    m_pushButtonClean->setStyleSheet(
        "QPushButton#pushButtonClean{border-image:url(:/ui/images/reset.png)}");
    m_textEditType = new QTextEdit(this);
    m_textEditType->setObjectName("textEditType");
    m_textEditType->setReadOnly(true);
    m_pushButtonEnsure = new QPushButton(this);
    m_pushButtonEnsure->setObjectName("pushButtonEnsure");
    m_pushButtonExit = new QPushButton(this);
    m_pushButtonExit->setObjectName("pushButtonExit");
    m_labelType->setBuddy(m_comboBoxType);

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_labelType, 0, 0);
    grid->addWidget(m_comboBoxType, 0, 1);
    grid->addWidget(m_pushButtonClean, 0, 2);
    grid->addWidget(m_textEditType, 1, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_pushButtonEnsure);
    buttons->addWidget(m_pushButtonExit);
    grid->addLayout(buttons, 2, 0, 1, 3);
    resize(360, 220);

    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint);
    setWindowFlags(flags | Qt::CustomizeWindowHint);
    connect(m_pushButtonEnsure, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_pushButtonEnsure, &QPushButton::clicked, this, &AdjustingDialog::clickedBtnEnsure);
    connect(m_pushButtonExit, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pushButtonClean, &QPushButton::clicked, this, &AdjustingDialog::clickedBtnClearAway);
    connect(m_comboBoxType, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &AdjustingDialog::changeExplain);
    loadWordingList();
    m_comboBoxType->addItem(tr("放大倍率"), 1);
    m_comboBoxType->addItem(tr("测试放大倍率"), 2);
    m_comboBoxType->addItem(tr("UDDS"), 3);
    if (type >= 1 && type <= m_comboBoxType->count())
        m_comboBoxType->setCurrentIndex(type - 1);

    dialoghelpers::centreOnDesktop(this);
}

AdjustingDialog::~AdjustingDialog() = default;

void AdjustingDialog::loadWordingList()
{
    setWindowTitle(tr("校准"));
    m_labelType->setText(tr("类型 (&T)："));
    m_pushButtonClean->setToolTip(tr("清除"));
    m_pushButtonEnsure->setText(tr("确定 (&K)"));
    m_pushButtonExit->setText(tr("取消"));
}

void AdjustingDialog::changeExplain(int index)
{
    const int type = m_comboBoxType->itemData(index).toInt();
    if (type == 3)
        m_textEditType->setPlainText(
            tr("请将 A4 尺寸 75-80 g/m2 或 Letter 尺寸的 20 磅证券纸放入输入托盘，"
               "确保他位于输入托盘的中央并处于纵向方向(即短的一边先送进)。"));
    else
        m_textEditType->setPlainText(
            tr("选择“确定”前，请打印“放大倍率校准”文档并按照文档提供的说明进行。"));
    m_pushButtonClean->setVisible(type == 1);
}

void AdjustingDialog::clickedBtnEnsure()
{
    if (m_hub)
        emit m_hub->calibrateEnsureBtn(m_comboBoxType->currentData().toInt());
}

void AdjustingDialog::clickedBtnClearAway()
{
    const int answer = ErrorHandling::questionMessage(
        this, tr("确认删除"),
        tr("此操作将清除所有的放大倍率修正值。\n确定要清除放大倍率修正值吗？"),
        ErrorHandling::YesNo, ErrorHandling::Yes);
    if (answer == ErrorHandling::Yes)
        emit changeMagnification();
}

#include "buttonoptiondialog.h"

#include "launcherprompts.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

void Ui_ButtonOptionDialog::setupUi(QDialog *dialog)
{
    dialog->resize(358, 116);
    auto *v = new QVBoxLayout(dialog);
    auto *row = new QHBoxLayout();
    labelButtonsInfo = new QLabel(dialog);
    labelButtonsInfo->setObjectName("labelButtonsInfo");
    comboBoxButtonsCount = new QComboBox(dialog);
    comboBoxButtonsCount->setObjectName("comboBoxButtonsCount");
    row->addWidget(labelButtonsInfo);
    row->addWidget(comboBoxButtonsCount);
    v->addLayout(row);
    auto *bottom = new QHBoxLayout();
    bottom->addStretch();
    pushButtonOK = new QPushButton(dialog);
    pushButtonOK->setObjectName("pushButtonOK");
    pushButtonCancel = new QPushButton(dialog);
    pushButtonCancel->setObjectName("pushButtonCancel");
    bottom->addWidget(pushButtonOK);
    bottom->addWidget(pushButtonCancel);
    v->addLayout(bottom);
}

ButtonOptionDialog::ButtonOptionDialog(int *optionNumber, QWidget *parent)
    : QDialog(parent), ui(new Ui_ButtonOptionDialog), m_pOptionNumber(optionNumber)
{
    ui->setupUi(this);
    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
               Qt::WindowContextHelpButtonHint);
    setWindowFlags(flags | Qt::CustomizeWindowHint);
    setWindowTitle(tr("选项"));
    ui->labelButtonsInfo->setText(tr("设置需要启动的按钮数："));
    ui->pushButtonOK->setText(tr("确定"));
    ui->pushButtonCancel->setText(tr("取消"));
    for (int i = 1; i <= 20; ++i)
        ui->comboBoxButtonsCount->addItem(QString::number(i));
    const int at = ui->comboBoxButtonsCount->findText(QString::number(*m_pOptionNumber));
    if (at >= 0)
        ui->comboBoxButtonsCount->setCurrentIndex(at);
    connect(ui->pushButtonOK, &QPushButton::clicked, this, &ButtonOptionDialog::clickedBtnOK);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &ButtonOptionDialog::reject);
    centreOnDesktop(this);
}

ButtonOptionDialog::~ButtonOptionDialog()
{
    delete ui;
}

void ButtonOptionDialog::clickedBtnOK()
{
    *m_pOptionNumber = ui->comboBoxButtonsCount->currentText().toInt();
    accept();
}

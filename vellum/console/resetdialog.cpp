#include "resetdialog.h"

#include "dialoghelpers.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

ResetDialog::ResetDialog(QWidget *parent) : QDialog(parent)
{
    resize(371, 129);
    auto *grid = new QGridLayout(this);
    m_warning = new QLabel(this);
    m_warning->setObjectName("labelWarning");
    m_warning->setWordWrap(true);
    m_checkBox = new QCheckBox(this);
    m_checkBox->setObjectName("checkBoxResetSettings");
    auto *buttons = new QHBoxLayout;
    buttons->setObjectName("horizontalLayout");
    m_yes = new QPushButton(this);
    m_yes->setObjectName("pushButtonYes");
    m_no = new QPushButton(this);
    m_no->setObjectName("pushButtonNo");
    buttons->addStretch();
    buttons->addWidget(m_yes);
    buttons->addWidget(m_no);
    grid->addWidget(m_warning, 0, 0);
    grid->addWidget(m_checkBox, 1, 0);
    grid->addLayout(buttons, 2, 0);

    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
               Qt::WindowContextHelpButtonHint);
    setWindowFlags(flags | Qt::CustomizeWindowHint);
    setWindowTitle(tr("恢复"));
    m_warning->setText(
        tr("此操作会将所有提供的“设置快捷方式”恢复为其原始工厂设置。\n确定要继续吗？"));
    m_checkBox->setText(tr("包括在“设置快捷方式”中共享的设置"));
    m_yes->setText(tr("是"));
    m_no->setText(tr("否"));
    connect(m_yes, &QPushButton::clicked, this, &ResetDialog::clickedBtnYes);
    connect(m_no, &QPushButton::clicked, this, &QDialog::reject);
    dialoghelpers::centreOnDesktop(this);
}

void ResetDialog::clickedBtnYes()
{
    m_include = m_checkBox->isChecked();
    accept();
}

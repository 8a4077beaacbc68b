#include "launcherprompts.h"

#include "errorhandling.h"
#include "scandestination.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

void Ui_PromptForm::setupUi(QDialog *dialog, const QString &labelName, const QString &editName,
                            int width, int height, bool withEdit)
{
    dialog->resize(width, height);
    dialog->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    verticalLayout = new QVBoxLayout(dialog);
    verticalLayout->setObjectName("verticalLayout");
    label = new QLabel(dialog);
    label->setObjectName(labelName);
    verticalLayout->addWidget(label);
    if (withEdit) {
        lineEdit = new QLineEdit(dialog);
        lineEdit->setObjectName(editName);
        verticalLayout->addWidget(lineEdit);
        verticalLayout->addItem(
            new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding));
    }
    horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName("horizontalLayout");
    horizontalLayout->addItem(
        new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    pushButtonOK = new QPushButton(dialog);
    pushButtonOK->setObjectName("pushButtonOK");
    pushButtonOK->setText("IDS_OK");
    horizontalLayout->addWidget(pushButtonOK);
    pushButtonCancel = new QPushButton(dialog);
    pushButtonCancel->setObjectName("pushButtonCancel");
    pushButtonCancel->setText("IDS_CANCEL");
    horizontalLayout->addWidget(pushButtonCancel);
    verticalLayout->addLayout(horizontalLayout);
}

void centreOnDesktop(QWidget *w)
{
    const QRect desktop = QApplication::desktop()->geometry();
    w->move((desktop.width() - w->width()) / 2, (desktop.height() - w->height()) / 2);
}

namespace {

void promptFlags(QDialog *d, bool withoutMinimise)
{
    Qt::WindowFlags flags = d->windowFlags();
    flags &= ~(Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint);
    if (withoutMinimise)
        flags &= ~Qt::WindowMinimizeButtonHint;
    d->setWindowFlags(flags | Qt::CustomizeWindowHint);
}

} // namespace

// ------------------------------------------------------------------- save as

SaveAsDialog::SaveAsDialog(ScanDestination *store, QString name, QWidget *parent)
    : QDialog(parent), ui(new Ui_SaveAsDialog), m_pStore(store), m_strName(name)
{
    ui->setupUi(this, "labelName", "lineEditName", 298, 107);
    ui->lineEdit->setMaxLength(75);
    ui->lineEdit->setText(name);
    initDialog();
    adjustWindow();
}

SaveAsDialog::~SaveAsDialog()
{
    delete ui;
}

void SaveAsDialog::initDialog()
{
    promptFlags(this, true);
    loadWordingList();
    connectMessages();
}

void SaveAsDialog::loadWordingList()
{
    setWindowTitle(tr("另存为"));
    ui->label->setText(tr("目的地名称："));
    ui->pushButtonOK->setText(tr("确定"));
    ui->pushButtonCancel->setText(tr("取消"));
}

void SaveAsDialog::connectMessages()
{
    connect(ui->pushButtonOK, &QPushButton::clicked, this, &SaveAsDialog::clickedBtnOK);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &SaveAsDialog::reject);
}

void SaveAsDialog::adjustWindow()
{
    centreOnDesktop(this);
}

void SaveAsDialog::clickedBtnOK()
{
    const QString name = ui->lineEdit->text().trimmed();
    QString problem;
    if (name.isEmpty())
        problem = tr("请输入目的地名称！");
    else if (m_pStore && m_pStore->findScanDestination(name))
        problem = tr("此目的地已经存在，请输入其他的名称");
    if (!problem.isEmpty()) {
        ErrorHandling::criticalMessage(this, tr("错误"), problem);
        ui->lineEdit->setFocus();
        return;
    }
    m_strName = name;
    accept();
}

// ------------------------------------------------------------------ keywords

AddKeywordsDialog::AddKeywordsDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui_AddKeywordsDialog)
{
    ui->setupUi(this, "labelInfo", "lineEditInfo", 304, 105);
    ui->lineEdit->setMaxLength(10);
    initDialog();
    adjustWindow();
}

AddKeywordsDialog::~AddKeywordsDialog()
{
    delete ui;
}

void AddKeywordsDialog::initDialog()
{
    promptFlags(this, false);
    loadWordingList();
    connectMessages();
}

void AddKeywordsDialog::loadWordingList()
{
    setWindowTitle(tr("关键词"));
    ui->label->setText(tr("请输入关键词，该关键词将会添加至文档文件"));
    ui->pushButtonOK->setText(tr("确定"));
    ui->pushButtonCancel->setText(tr("取消"));
}

void AddKeywordsDialog::connectMessages()
{
    connect(ui->pushButtonOK, &QPushButton::clicked, this, &AddKeywordsDialog::clickedBtnOK);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &AddKeywordsDialog::reject);
}

void AddKeywordsDialog::adjustWindow()
{
    centreOnDesktop(this);
}

QString AddKeywordsDialog::getKeywords() const
{
    return ui->lineEdit->text();
}

void AddKeywordsDialog::clickedBtnOK()
{
    if (ui->lineEdit->text().trimmed().isEmpty()) {
        ErrorHandling::informationMessage(this, tr("信息"), tr("请输入关键词或者短句。"));
        return;
    }
    accept();
}

// ------------------------------------------------------------- detect result

DetectResultDialog::DetectResultDialog(QWidget *parent)
    : QDialog(parent), ui(new Ui_DetectResultDialog)
{
    ui->setupUi(this, "labelInfo", QString(), 388, 131, false);
    promptFlags(this, true);
    setWindowTitle(QString());
    ui->pushButtonOK->setText(tr("确定"));
    ui->pushButtonCancel->setText(tr("取消"));
    connect(ui->pushButtonOK, &QPushButton::clicked, this, &DetectResultDialog::clickedBtnOK);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &DetectResultDialog::reject);
}

DetectResultDialog::~DetectResultDialog()
{
    delete ui;
}

void DetectResultDialog::clickedBtnOK() {}

#include "destinationdialogs.h"

#include "errorhandling.h"
#include "launcherprompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

template <typename T>
T *make(QWidget *parent, const char *name)
{
    T *w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

void dialogFlags(QDialog *d, bool withoutMinimise)
{
    Qt::WindowFlags flags = d->windowFlags();
    flags &= ~(Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint);
    if (withoutMinimise)
        flags &= ~Qt::WindowMinimizeButtonHint;
    d->setWindowFlags(flags | Qt::CustomizeWindowHint);
}

bool refuse(QWidget *parent, QWidget *focus, const QString &text)
{
    ErrorHandling::criticalMessage(parent, QObject::tr("错误"), text);
    focus->setFocus();
    return false;
}

} // namespace

// ----------------------------------------------------------------- web mail

void Ui_WebMailDialog::setupUi(QDialog *d)
{
    d->resize(334, 397);
    d->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    auto *v = new QVBoxLayout(d);
    v->setObjectName("verticalLayout");
    auto *row = new QHBoxLayout();
    labelDestName = make<QLabel>(d, "labelDestName");
    lineEditDestName = make<QLineEdit>(d, "lineEditDestName");
    row->addWidget(labelDestName);
    row->addWidget(lineEditDestName);
    v->addLayout(row);
    groupBoxSendUserInfo = make<QGroupBox>(d, "groupBoxSendUserInfo");
    auto *g2 = new QGridLayout(groupBoxSendUserInfo);
    labelUserName = make<QLabel>(groupBoxSendUserInfo, "labelUserName");
    lineEditUserName = make<QLineEdit>(groupBoxSendUserInfo, "lineEditUserName");
    labelUserAddress = make<QLabel>(groupBoxSendUserInfo, "labelUserAddress");
    lineEditUserAddress = make<QLineEdit>(groupBoxSendUserInfo, "lineEditUserAddress");
    g2->addWidget(labelUserName, 0, 0);
    g2->addWidget(lineEditUserName, 0, 1);
    g2->addWidget(labelUserAddress, 1, 0);
    g2->addWidget(lineEditUserAddress, 1, 1);
    v->addWidget(groupBoxSendUserInfo);
    groupBoxSMTPSetting = make<QGroupBox>(d, "groupBoxSMTPSetting");
    QWidget *s = groupBoxSMTPSetting;
    auto *g4 = new QGridLayout(s);
    auto *g = new QGridLayout();
    labelServerAddress = make<QLabel>(s, "labelServerAddress");
    lineEditServerAddress = make<QLineEdit>(s, "lineEditServerAddress");
    labelServerPort = make<QLabel>(s, "labelServerPort");
    lineEditServerPort = make<QLineEdit>(s, "lineEditServerPort");
    labelEncryptType = make<QLabel>(s, "labelEncryptType");
    comboBoxEncryptType = make<QComboBox>(s, "comboBoxEncryptType");
    g->addWidget(labelServerAddress, 0, 0);
    g->addWidget(lineEditServerAddress, 0, 1);
    g->addWidget(labelServerPort, 1, 0);
    g->addWidget(lineEditServerPort, 1, 1);
    g->addWidget(labelEncryptType, 2, 0);
    g->addWidget(comboBoxEncryptType, 2, 1);
    g4->addLayout(g, 0, 0);
    checkBoxServerAuth = make<QCheckBox>(s, "checkBoxServerAuth");
    g4->addWidget(checkBoxServerAuth, 1, 0);
    auto *g3 = new QGridLayout();
    labelAccount = make<QLabel>(s, "labelAccount");
    lineEditAccount = make<QLineEdit>(s, "lineEditAccount");
    labelPassword = make<QLabel>(s, "labelPassword");
    lineEditPassword = make<QLineEdit>(s, "lineEditPassword");
    lineEditPassword->setEchoMode(QLineEdit::Password);
    labelAttachFileSize = make<QLabel>(s, "labelAttachFileSize");
    lineEditAttachFileSize = make<QLineEdit>(s, "lineEditAttachFileSize");
    labelUnit = make<QLabel>(s, "labelUnit");
    g3->addWidget(labelAccount, 0, 0);
    g3->addWidget(lineEditAccount, 0, 1, 1, 2);
    g3->addWidget(labelPassword, 1, 0);
    g3->addWidget(lineEditPassword, 1, 1, 1, 2);
    g3->addWidget(labelAttachFileSize, 2, 0);
    g3->addWidget(lineEditAttachFileSize, 2, 1);
    g3->addWidget(labelUnit, 2, 2);
    g4->addLayout(g3, 2, 0);
    v->addWidget(groupBoxSMTPSetting);
    auto *row2 = new QHBoxLayout();
    checkBoxSendMailTo = make<QCheckBox>(d, "checkBoxSendMailTo");
    lineEditSendMailTo = make<QLineEdit>(d, "lineEditSendMailTo");
    row2->addWidget(checkBoxSendMailTo);
    row2->addWidget(lineEditSendMailTo);
    v->addLayout(row2);
    auto *row3 = new QHBoxLayout();
    row3->addStretch();
    pushButtonOK = make<QPushButton>(d, "pushButtonOK");
    pushButtonCancel = make<QPushButton>(d, "pushButtonCancel");
    row3->addWidget(pushButtonOK);
    row3->addWidget(pushButtonCancel);
    v->addLayout(row3);
    QWidget *order[] = {lineEditDestName,       lineEditUserName,   lineEditUserAddress,
                        lineEditServerAddress,  lineEditServerPort, comboBoxEncryptType,
                        checkBoxServerAuth,     lineEditAccount,    lineEditPassword,
                        lineEditAttachFileSize, checkBoxSendMailTo, lineEditSendMailTo,
                        pushButtonOK,           pushButtonCancel};
    for (size_t i = 1; i < sizeof order / sizeof order[0]; ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

WebMailDialog::WebMailDialog(bool create, ScanDestination *store, tagSCAN_DESTINATION *record,
                             QWidget *parent)
    : QDialog(parent), ui(new Ui_WebMailDialog), m_bCreate(create), m_pStore(store),
      m_pRecord(record)
{
    ui->setupUi(this);
    dialogFlags(this, false);
    setWindowTitle(tr("Web邮件"));
    ui->labelDestName->setText(tr("目的地名称"));
    ui->groupBoxSendUserInfo->setTitle(tr("发送者信息"));
    ui->labelUserName->setText(tr("姓名："));
    ui->labelUserAddress->setText(tr("回复地址："));
    ui->groupBoxSMTPSetting->setTitle(tr("SMTP服务器设置"));
    ui->labelServerAddress->setText(tr("服务器地址："));
    ui->labelServerPort->setText(tr("端口："));
    ui->labelEncryptType->setText(tr("使用下列加密连接类型："));
    ui->checkBoxServerAuth->setText(tr("我的服务器需要验证"));
    ui->labelAccount->setText(tr("账户名称："));
    ui->labelPassword->setText(tr("密码："));
    ui->labelAttachFileSize->setText(tr("最大附件大小："));
    ui->labelUnit->setText(tr("MB"));
    ui->checkBoxSendMailTo->setText(tr("发送无提示邮件至："));
    ui->pushButtonOK->setText(tr("确定"));
    ui->pushButtonCancel->setText(tr("取消"));
    const QRegularExpression digits("[0-9]+");
    ui->lineEditServerPort->setValidator(new QRegularExpressionValidator(digits, this));
    ui->lineEditServerPort->setMaxLength(5);
    ui->lineEditAttachFileSize->setValidator(new QRegularExpressionValidator(digits, this));
    ui->lineEditAttachFileSize->setMaxLength(3);
    ui->comboBoxEncryptType->addItem(tr("无"), int(EncryptNone));
    ui->comboBoxEncryptType->addItem(tr("SSL"), int(EncryptSsl));
    ui->comboBoxEncryptType->addItem(tr("TLS"), int(EncryptTls));
    connect(ui->pushButtonOK, &QPushButton::clicked, this, &WebMailDialog::clickedBtnOK);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &WebMailDialog::reject);
    connect(ui->checkBoxServerAuth, &QCheckBox::clicked, this, &WebMailDialog::checkedServerAuth);
    connect(ui->checkBoxSendMailTo, &QCheckBox::clicked, this, &WebMailDialog::checkedSendMailTo);
    updateVariableToControl();
    centreOnDesktop(this);
}

WebMailDialog::~WebMailDialog()
{
    ui->lineEditPassword->clear();
    delete ui;
}

void WebMailDialog::updateVariableToControl()
{
    if (m_bCreate || !m_pRecord) {
        ui->lineEditServerPort->setText("25");
        ui->lineEditAttachFileSize->setText("10");
        ui->comboBoxEncryptType->setCurrentIndex(0);
        checkedServerAuth(false);
        checkedSendMailTo(false);
        return;
    }
    const tagSCAN_DESTINATION &r = *m_pRecord;
    ui->lineEditDestName->setText(r.Name);
    ui->lineEditUserName->setText(r.UserName);
    ui->lineEditUserAddress->setText(r.UserMailAddr);
    ui->lineEditServerAddress->setText(r.ServerAddress);
    ui->lineEditServerPort->setText(QString::number(r.Port));
    ui->comboBoxEncryptType->setCurrentIndex(
        r.EncryptTypeID >= 0 && r.EncryptTypeID <= 2 ? r.EncryptTypeID : -1);
    ui->checkBoxServerAuth->setChecked(r.NeedAuth);
    ui->lineEditAccount->setText(r.NeedAuth ? r.Account : QString());
    ui->lineEditPassword->setText(r.NeedAuth ? r.Password : QString());
    checkedServerAuth(r.NeedAuth);
    ui->lineEditAttachFileSize->setText(QString::number(r.MailSize));
    ui->checkBoxSendMailTo->setChecked(r.SendNoPromptMail);
    if (r.SendNoPromptMail)
        ui->lineEditSendMailTo->setText(r.Recipient);
    checkedSendMailTo(r.SendNoPromptMail);
}

void WebMailDialog::checkedServerAuth(bool on)
{
    ui->lineEditAccount->setEnabled(on);
    ui->lineEditPassword->setEnabled(on);
}

void WebMailDialog::checkedSendMailTo(bool on)
{
    ui->lineEditSendMailTo->setEnabled(on);
}

void WebMailDialog::clickedBtnOK()
{
    const QString name = ui->lineEditDestName->text().trimmed();
    if (name.isEmpty()) {
        refuse(this, ui->lineEditDestName, tr("请输入目的地名称！"));
        return;
    }
    if (ui->lineEditServerAddress->text().trimmed().isEmpty()) {
        refuse(this, ui->lineEditServerAddress, tr("请输入SMTP服务器。"));
        return;
    }
    if (ui->checkBoxSendMailTo->isChecked() && ui->lineEditSendMailTo->text().trimmed().isEmpty()) {
        refuse(this, ui->lineEditSendMailTo, tr("请输入至少一个收件人。"));
        return;
    }
    if (m_bCreate && m_pStore && m_pStore->findScanDestination(name)) {
        refuse(this, ui->lineEditDestName, tr("此目的地已经存在，请输入其他的名称"));
        return;
    }
    updateControlToVariable();
    accept();
}

void WebMailDialog::updateControlToVariable()
{
    if (!m_pRecord)
        return;
    tagSCAN_DESTINATION &r = *m_pRecord;
    r.Name = ui->lineEditDestName->text().trimmed();
    r.UserName = ui->lineEditUserName->text().trimmed();
    r.UserMailAddr = ui->lineEditUserAddress->text().trimmed();
    r.ServerAddress = ui->lineEditServerAddress->text().trimmed();
    r.Port = ui->lineEditServerPort->text().toInt();
    r.EncryptTypeID = ui->comboBoxEncryptType->currentIndex() < 0
                          ? 0
                          : ui->comboBoxEncryptType->currentData().toInt();
    r.NeedAuth = ui->checkBoxServerAuth->isChecked();
    r.Account = r.NeedAuth ? ui->lineEditAccount->text().trimmed() : QString();
    r.Password = r.NeedAuth ? ui->lineEditPassword->text().trimmed() : QString();
    r.MailSize = ui->lineEditAttachFileSize->text().toInt();
    r.SendNoPromptMail = ui->checkBoxSendMailTo->isChecked();
    r.Recipient = r.SendNoPromptMail ? ui->lineEditSendMailTo->text().trimmed() : QString();
}

// ------------------------------------------------------- custom application

void Ui_CustomApplicationDialog::setupUi(QDialog *d)
{
    d->resize(400, 218);
    d->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    auto *g = new QGridLayout(d);
    g->setObjectName("gridLayout");
    labelDestName = make<QLabel>(d, "labelDestName");
    lineEditDestName = make<QLineEdit>(d, "lineEditDestName");
    labelPath = make<QLabel>(d, "labelPath");
    lineEditPath = make<QLineEdit>(d, "lineEditPath");
    pushButtonBrowse = make<QPushButton>(d, "pushButtonBrowse");
    labelParams = make<QLabel>(d, "labelParams");
    lineEditParams = make<QLineEdit>(d, "lineEditParams");
    pushButtonOK = make<QPushButton>(d, "pushButtonOK");
    pushButtonCancel = make<QPushButton>(d, "pushButtonCancel");
    g->addWidget(labelDestName, 0, 0);
    g->addWidget(lineEditDestName, 1, 0, 1, 2);
    g->addWidget(labelPath, 2, 0);
    g->addWidget(lineEditPath, 3, 0, 1, 2);
    g->addWidget(pushButtonBrowse, 3, 2);
    g->addWidget(labelParams, 4, 0);
    g->addWidget(lineEditParams, 5, 0, 1, 2);
    g->addItem(new QSpacerItem(20, 40, QSizePolicy::Minimum, QSizePolicy::Expanding), 6, 0);
    g->addItem(new QSpacerItem(217, 20, QSizePolicy::Expanding, QSizePolicy::Minimum), 7, 0);
    g->addWidget(pushButtonOK, 7, 1);
    g->addWidget(pushButtonCancel, 7, 2);
    QWidget::setTabOrder(lineEditDestName, lineEditPath);
    QWidget::setTabOrder(lineEditPath, pushButtonOK);
    QWidget::setTabOrder(pushButtonOK, pushButtonCancel);
    QWidget::setTabOrder(pushButtonCancel, pushButtonBrowse);
}

CustomApplicationDialog::CustomApplicationDialog(bool create, ScanDestination *store,
                                                 tagSCAN_DESTINATION *record, QWidget *parent)
    : QDialog(parent), ui(new Ui_CustomApplicationDialog), m_bCreate(create), m_pStore(store),
      m_pRecord(record)
{
    ui->setupUi(this);
    dialogFlags(this, true);
    setWindowTitle(tr("自定义"));
    ui->labelDestName->setText(tr("目的地名称："));
    ui->labelPath->setText(tr("键入应用程序的路径："));
    ui->pushButtonBrowse->setText(tr("浏览..."));
    ui->labelParams->setText(tr("键入应用程序的启动参数(可空)"));
    ui->pushButtonOK->setText(tr("确定"));
    ui->pushButtonCancel->setText(tr("取消"));
    ui->lineEditDestName->setMaxLength(75);
    connect(ui->pushButtonBrowse, &QPushButton::clicked, this,
            &CustomApplicationDialog::clickedBtnBrowse);
    connect(ui->pushButtonOK, &QPushButton::clicked, this, &CustomApplicationDialog::clickedBtnOK);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &CustomApplicationDialog::reject);
    if (!m_bCreate && m_pRecord) {
        ui->lineEditDestName->setText(m_pRecord->Name);
        ui->lineEditPath->setText(m_pRecord->ExecutableFile);
        QString params = m_pRecord->Parameter;
        params.remove(ScanDestination::kImageNameToken, Qt::CaseSensitive);
        ui->lineEditParams->setText(params.trimmed());
    }
    centreOnDesktop(this);
}

CustomApplicationDialog::~CustomApplicationDialog()
{
    delete ui;
}

void CustomApplicationDialog::clickedBtnBrowse()
{
    QFileDialog dialog(this, tr("打开可执行文件"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    ui->lineEditPath->setText(dialog.selectedFiles().first());
}

void CustomApplicationDialog::clickedBtnOK()
{
    const QString name = ui->lineEditDestName->text().trimmed();
    const QString path = ui->lineEditPath->text().trimmed();
    if (name.isEmpty()) {
        refuse(this, ui->lineEditDestName, tr("请输入目的地名称！"));
        return;
    }
    if (path.isEmpty()) {
        refuse(this, ui->lineEditPath, tr("没有路径名称！"));
        return;
    }
    if (!QFile::exists(path)) {
        refuse(this, ui->lineEditPath, tr("无效的路径名称！"));
        return;
    }
    if (m_bCreate && m_pStore && m_pStore->findScanDestination(name)) {
        refuse(this, ui->lineEditDestName, tr("此目的地已经存在，请输入其他的名称"));
        return;
    }
    if (m_pRecord) {
        const QString params = ui->lineEditParams->text().trimmed();
        m_pRecord->Name = name;
        m_pRecord->ExecutableFile = path;
        m_pRecord->Parameter = params.isEmpty() ? ScanDestination::kImageNameToken
                                                : params + " " + ScanDestination::kImageNameToken;
    }
    accept();
}

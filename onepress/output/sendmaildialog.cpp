#include "sendmaildialog.h"

#include "emailaddress.h"
#include "errorhandling.h"
#include "ui_sendmaildialog.h"

#include <QGuiApplication>
#include <QScreen>

SendMailDialog::SendMailDialog(QWidget *parent) : QDialog(parent), ui(new Ui::SendMailDialog)
{
    ui->setupUi(this);
    setWindowTitle(tr("Web邮件信息"));
    ui->labelRecipient->setText(tr("收件人："));
    ui->labelCC->setText(tr("抄送人："));
    ui->labelBcc->setText(tr("密件抄送："));
    ui->labelSubject->setText(tr("主题："));
    ui->labelAttachment->setText(tr("附件："));
    ui->pushButtonSend->setText(tr("发送"));
    ui->pushButtonCancel->setText(tr("取消"));
    resize(393, 264);
    setWindowFlags((windowFlags() & ~Qt::WindowContextHelpButtonHint) | Qt::CustomizeWindowHint |
                   Qt::WindowMaximizeButtonHint);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect desktop = screen->geometry();
        move((desktop.width() - width()) / 2, (desktop.height() - height()) / 2);
    }
    connect(ui->pushButtonSend, &QPushButton::clicked, this, &SendMailDialog::clickedBtnSend);
    connect(ui->pushButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
}

SendMailDialog::~SendMailDialog()
{
    delete ui;
}

void SendMailDialog::setAttachments(QString text)
{
    ui->lineEditAttachment->setText(text);
}

void SendMailDialog::getParameters(QString &to, QString &cc, QString &bcc, QString &subject,
                                   QString &text) const
{
    to = m_strTo;
    cc = m_strCc;
    bcc = m_strBcc;
    subject = m_strSubject;
    text = m_strText;
}

bool SendMailDialog::validEmailAddress(QStringList addresses)
{
    for (const QString &address : addresses) {
        if (!EmailAddress::isValidAddress(address)) {
            ErrorHandling::informationMessage(this, tr("信息"),
                                              QStringLiteral("\"%1\"").arg(address) +
                                                  tr("是无效的电子邮件地址。"));
            return false;
        }
    }
    return true;
}

void SendMailDialog::clickedBtnSend()
{
    m_strTo = ui->lineEditRecipient->text().trimmed();
    m_strCc = ui->lineEditCC->text().trimmed();
    m_strBcc = ui->lineEditBCC->text().trimmed();
    m_strSubject = ui->lineEditSubject->text();
    m_strText = ui->plainTextEditContents->toPlainText();
    const struct
    {
        const QString &value;
        QLineEdit *edit;
    } fields[] = {
        {m_strTo, ui->lineEditRecipient}, {m_strCc, ui->lineEditCC}, {m_strBcc, ui->lineEditBCC}};
    for (const auto &field : fields) {
        if (!field.value.isEmpty() &&
            !validEmailAddress(field.value.split(QLatin1Char(';'), Qt::KeepEmptyParts))) {
            field.edit->setFocus();
            return;
        }
    }
    if (m_strTo.isEmpty() && m_strCc.isEmpty() && m_strBcc.isEmpty()) {
        ErrorHandling::informationMessage(this, tr("信息"), tr("请输入至少一个收件人。"));
        return;
    }
    accept();
}

#include "webmailhelper.h"

#include "emailaddress.h"
#include "errorhandling.h"
#include "mimeattachment.h"
#include "mimemessage.h"
#include "mimetext.h"
#include "scandestination.h"
#include "sendmaildialog.h"
#include "smtpclient.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>

WebMailHelper::WebMailHelper(QList<tagSCAN_IMAGE_FILE> &pages, const tagSCAN_DESTINATION &dest,
                             QWidget *parent)
    : QWidget(parent), m_pages(&pages), m_dest(new tagSCAN_DESTINATION(dest))
{
}

WebMailHelper::~WebMailHelper() = default;

QStringList WebMailHelper::documents() const
{
    QStringList files;
    for (const tagSCAN_IMAGE_FILE &page : *m_pages) {
        if (!page.outputFileName.isEmpty())
            files << page.outputFileName;
    }
    return files;
}

bool WebMailHelper::validFileSize()
{
    qint64 total = 0;
    for (const QString &file : documents())
        total += QFileInfo(file).size();
    return m_dest->MailSize >= total / 1048576;
}

bool WebMailHelper::sendMail()
{
    if (!validFileSize()) {
        ErrorHandling::informationMessage(this, tr("信息"), tr("文件尺寸过大，无法发送邮件。"));
        return false;
    }
    const tagSCAN_DESTINATION &d = *m_dest;
    QString to, cc, bcc, subject, text;
    if (d.SendNoPromptMail) {
        to = d.Recipient;
    } else {
        QString attachments;
        for (const QString &file : documents())
            attachments += QFileInfo(file).fileName() + QStringLiteral("; ");
        SendMailDialog dialog(this);
        dialog.setAttachments(attachments);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        dialog.getParameters(to, cc, bcc, subject, text);
    }
    if (!sendMail(d.ServerAddress, d.Port, d.EncryptTypeID, d.Account, d.Password, d.UserMailAddr,
                  d.UserName, to, cc, bcc, subject, text)) {
        ErrorHandling::criticalMessage(this, tr("错误"), tr("文件发送失败！"));
        return false;
    }
    return true;
}

bool WebMailHelper::sendMail(QString host, int port, int security, QString account,
                             QString password, QString senderAddr, QString senderName, QString to,
                             QString cc, QString bcc, QString subject, QString text)
{
    // A security value outside the three kinds is sent as the strictest one.
    const SmtpClient::ConnectionType type = security == 0   ? SmtpClient::TcpConnection
                                            : security == 1 ? SmtpClient::SslConnection
                                                            : SmtpClient::TlsConnection;
    SmtpClient client(host, port, type);
    client.setUser(account);
    client.setPassword(password);

    MimeMessage message(true);
    message.setHeaderEncoding(MimePart::Base64);
    message.setSubject(subject.isEmpty() ? QStringLiteral("Documents") : subject);
    message.setSender(new EmailAddress(senderAddr, senderName));
    // Parts are kept as given; the client trims them and skips empty ones on
    // the wire.
    for (const QString &a :
         to.isEmpty() ? QStringList() : to.split(QLatin1Char(';'), Qt::KeepEmptyParts))
        message.addRecipient(new EmailAddress(a, QString()), MimeMessage::To);
    for (const QString &a :
         cc.isEmpty() ? QStringList() : cc.split(QLatin1Char(';'), Qt::KeepEmptyParts))
        message.addCc(new EmailAddress(a, QString()));
    for (const QString &a :
         bcc.isEmpty() ? QStringList() : bcc.split(QLatin1Char(';'), Qt::KeepEmptyParts))
        message.addBcc(new EmailAddress(a, QString()));
    if (!text.isEmpty())
        message.addPart(new MimeText(text));
    for (const QString &file : documents())
        message.addPart(new MimeAttachment(new QFile(file)));

    bool ok = false;
    if (!client.connectToHost()) {
        qDebug() << "connectToHost() error" << client.lastError();
    } else {
        bool loggedIn = client.login();
        if (!loggedIn) {
            client.setAuthMethod(client.getAuthMethod() == SmtpClient::AuthPlain
                                     ? SmtpClient::AuthLogin
                                     : SmtpClient::AuthPlain);
            loggedIn = client.login();
        }
        if (!loggedIn)
            qDebug() << "login() error" << client.lastError();
        else if (!client.sendMail(message))
            qDebug() << "sendMail error" << client.lastError();
        else
            ok = true;
    }
    client.quit();
    return ok;
}

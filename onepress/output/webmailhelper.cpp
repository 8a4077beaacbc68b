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
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <atomic>

namespace {

// Everything one mail needs, as plain values: the session's thread touches
// no object of the GUI thread.
struct MailSession
{
    QString host;
    int port;
    int security;
    QString account;
    QString password;
    QString senderAddr;
    QString senderName;
    QString to;
    QString cc;
    QString bcc;
    QString subject;
    QString text;
    QStringList files;
};

struct MailOutcome
{
    bool sent = false;
    QString failure; // the call that failed, for the trace
    QString error;
};

// One connection: connect, log in (once more with the other method when
// refused), send, quit.
MailOutcome runSession(const MailSession &m)
{
    // A security value outside the three kinds is sent as the strictest one.
    const SmtpClient::ConnectionType type = m.security == 0   ? SmtpClient::TcpConnection
                                            : m.security == 1 ? SmtpClient::SslConnection
                                                              : SmtpClient::TlsConnection;
    SmtpClient client(m.host, m.port, type);
    client.setUser(m.account);
    client.setPassword(m.password);

    MimeMessage message(true);
    message.setHeaderEncoding(MimePart::Base64);
    message.setSubject(m.subject.isEmpty() ? QStringLiteral("Documents") : m.subject);
    message.setSender(new EmailAddress(m.senderAddr, m.senderName));
    // Parts are kept as given; the client trims them and skips empty ones on
    // the wire.
    for (const QString &a :
         m.to.isEmpty() ? QStringList() : m.to.split(QLatin1Char(';'), Qt::KeepEmptyParts))
        message.addRecipient(new EmailAddress(a, QString()), MimeMessage::To);
    for (const QString &a :
         m.cc.isEmpty() ? QStringList() : m.cc.split(QLatin1Char(';'), Qt::KeepEmptyParts))
        message.addCc(new EmailAddress(a, QString()));
    for (const QString &a :
         m.bcc.isEmpty() ? QStringList() : m.bcc.split(QLatin1Char(';'), Qt::KeepEmptyParts))
        message.addBcc(new EmailAddress(a, QString()));
    if (!m.text.isEmpty())
        message.addPart(new MimeText(m.text));
    // The file objects are made here, on the thread that reads them.
    for (const QString &file : m.files)
        message.addPart(new MimeAttachment(new QFile(file)));

    MailOutcome outcome;
    if (!client.connectToHost()) {
        outcome.failure = QStringLiteral("connectToHost() error");
    } else {
        bool loggedIn = client.login();
        if (!loggedIn) {
            client.setAuthMethod(client.getAuthMethod() == SmtpClient::AuthPlain
                                     ? SmtpClient::AuthLogin
                                     : SmtpClient::AuthPlain);
            loggedIn = client.login();
        }
        if (!loggedIn)
            outcome.failure = QStringLiteral("login() error");
        else if (!client.sendMail(message))
            outcome.failure = QStringLiteral("sendMail error");
        else
            outcome.sent = true;
    }
    if (!outcome.sent)
        outcome.error = client.lastError();
    client.quit();
    return outcome;
}

} // namespace

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
    MailSession session{host, port, security, account, password, senderAddr, senderName,
                        to,   cc,   bcc,      subject, text,     documents()};
    // The session can take a time-out per step against a server that
    // accepts and never answers: it runs on a thread of its own while this
    // (GUI) thread turns its events, so the tray and its windows stay alive.
    MailOutcome outcome;
    std::atomic<bool> done{false};
    std::unique_ptr<QThread> worker(QThread::create([&session, &outcome, &done] {
        outcome = runSession(session);
        done.store(true, std::memory_order_release);
    }));
    QEventLoop loop;
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    worker->start();
    loop.exec();
    // Only an application that is quitting ends the loop early; the session
    // is still bounded by its time-outs.
    worker->wait();
    // The outcome is read through the flag: wait() orders it already, but
    // inside QtCore, where the thread checker cannot see it.
    if (!done.load(std::memory_order_acquire))
        return false;
    if (!outcome.failure.isEmpty())
        qDebug() << outcome.failure.toUtf8().constData() << outcome.error;
    return outcome.sent;
}

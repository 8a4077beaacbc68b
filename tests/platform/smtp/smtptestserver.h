#ifndef SMTPTESTSERVER_H
#define SMTPTESTSERVER_H

// The loopback SMTP server of the mail tests (aiosmtpd, run by Debian's own
// Python), a certificate made by openssl, and the stored mail read back.

#include "support/processes.h"
#include "support/testtiming.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#ifndef SMTP_TEST_SCRIPTS
#define SMTP_TEST_SCRIPTS "."
#endif

namespace smtptest {

inline int freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// A certificate for localhost and 127.0.0.1; returns false when openssl fails.
inline bool makeCertificate(const QString &dir)
{
    return testsupport::runTool("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes",
                                            "-days", "2", "-subj", "/CN=localhost", "-addext",
                                            "subjectAltName=DNS:localhost,IP:127.0.0.1", "-keyout",
                                            dir + "/key.pem", "-out", dir + "/cert.pem"})
               .code == 0;
}

class Server
{
public:
    explicit Server(const QStringList &extra = {})
    {
        port = freePort();
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start("/usr/bin/python3",
                        QStringList{QString(SMTP_TEST_SCRIPTS) + "/smtpserver.py", "--port",
                                    QString::number(port), "--dir", dir.path()} +
                            extra);
        ready =
            m_process.waitForReadyRead(scaledMs(15000)) && m_process.readAll().contains("READY");
    }
    ~Server()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(scaledMs(5000))) {
            m_process.kill();
            m_process.waitForFinished(scaledMs(30000));
        }
    }
    QStringList commands() const
    {
        QFile f(dir.path() + "/commands.log");
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    int count(const QString &prefix) const
    {
        int n = 0;
        for (const QString &c : commands())
            n += c.startsWith(prefix) ? 1 : 0;
        return n;
    }
    int mails() const { return QDir(dir.path()).entryList({"mail*.eml"}).size(); }
    QJsonObject envelope(int n) const
    {
        QFile f(dir.path() + QStringLiteral("/mail%1.json").arg(n));
        f.open(QIODevice::ReadOnly);
        return QJsonDocument::fromJson(f.readAll()).object();
    }
    // The envelope's recipients of message n.
    QVariantList recipients(int n) const { return envelope(n)["to"].toArray().toVariantList(); }
    // Parsed message n; its attachments land in `out`.
    QJsonObject message(int n, const QString &out) const
    {
        const QStringList args = {QString(SMTP_TEST_SCRIPTS) + "/mailparts.py",
                                  dir.path() + QStringLiteral("/mail%1.eml").arg(n), out};
        return QJsonDocument::fromJson(testsupport::runTool("/usr/bin/python3", args, 15000).out)
            .object();
    }

    QTemporaryDir dir;
    int port = 0;
    bool ready = false;

private:
    QProcess m_process;
};

} // namespace smtptest

#endif

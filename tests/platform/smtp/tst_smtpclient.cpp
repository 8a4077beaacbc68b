// The SMTP client layer against a real SMTP server on loopback: what goes
// over the wire, TLS both ways with certificate checks, and dead servers.

#include "emailaddress.h"
#include "mimeattachment.h"
#include "mimemessage.h"
#include "mimetext.h"
#include "smtpclient.h"
#include "smtptestserver.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

class TestSmtpClient : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_tmp;

    QString file(const QString &name, const QByteArray &bytes)
    {
        QFile f(m_tmp.path() + "/" + name);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return f.fileName();
    }
    static bool send(SmtpClient &client, MimeMessage &message)
    {
        return client.connectToHost() && client.login() && client.sendMail(message);
    }
    static void fill(MimeMessage &m)
    {
        m.setHeaderEncoding(MimePart::Base64);
        m.setSender(new EmailAddress("scanner@corvan.test", QStringLiteral("扫描仪")));
        m.addRecipient(new EmailAddress("a@x.test"));
        m.setSubject("s");
    }

private slots:
    void initTestCase() { SmtpClient::setDefaultTimeouts(3000, 3000); }

    void messageOnTheWire()
    {
        smtptest::Server server;
        QVERIFY(server.ready);
        QByteArray binary;
        for (int i = 0; i < 70000; ++i)
            binary.append(char(i * 7 % 256));
        const QString a = file(QStringLiteral("报告 1.pdf"), binary);
        const QString b = file("plain.txt", ".leading dot\r\n.\r\nlast");
        SmtpClient client("127.0.0.1", server.port, SmtpClient::TcpConnection);
        MimeMessage m;
        m.setHeaderEncoding(MimePart::Base64);
        m.setSender(new EmailAddress("scanner@corvan.test", QStringLiteral("扫描仪 VR516")));
        m.addRecipient(new EmailAddress(" a@x.test"));
        m.addRecipient(new EmailAddress(""));
        m.addRecipient(new EmailAddress("b@y.test"));
        m.addCc(new EmailAddress("c@z.test"));
        m.addBcc(new EmailAddress("hidden@w.test"));
        const QString subject =
            QStringLiteral("扫描文件 — a long subject that needs more than one encoded word 2026");
        m.setSubject(subject);
        m.addPart(new MimeText(QStringLiteral("正文\nbody")));
        m.addPart(new MimeAttachment(new QFile(a)));
        m.addPart(new MimeAttachment(new QFile(b)));
        QVERIFY2(send(client, m), qPrintable(client.lastError()));
        client.quit();

        QCOMPARE(server.mails(), 1);
        const QJsonObject env = server.envelope(1);
        QCOMPARE(env["from"].toString(), QString("scanner@corvan.test"));
        QCOMPARE(server.recipients(1),
                 QVariantList({"a@x.test", "b@y.test", "c@z.test", "hidden@w.test"}));
        QTemporaryDir out;
        const QJsonObject msg = server.message(1, out.path());
        QCOMPARE(msg["subject"].toString(), subject);
        QVERIFY(msg["raw_subject_line"].toString().startsWith("Subject: =?UTF-8?B?"));
        QVERIFY(msg["from"].toString().contains(QStringLiteral("扫描仪 VR516")));
        QVERIFY(msg["to"].toString().contains("a@x.test") &&
                msg["to"].toString().contains("b@y.test"));
        QVERIFY(msg["cc"].toString().contains("c@z.test"));
        QVERIFY(!msg["bcc_header"].toBool());
        QCOMPARE(msg["content_type"].toString(), QString("multipart/mixed"));
        QCOMPARE(msg["text"].toString(), QStringLiteral("正文\nbody"));
        QCOMPARE(msg["attachments"].toArray().toVariantList(),
                 QVariantList({QStringLiteral("报告 1.pdf"), "plain.txt"}));
        QFile got(out.path() + QStringLiteral("/报告 1.pdf"));
        QVERIFY(got.open(QIODevice::ReadOnly));
        QCOMPARE(got.readAll(), binary);
        QFile gotText(out.path() + "/plain.txt");
        QVERIFY(gotText.open(QIODevice::ReadOnly));
        QCOMPARE(gotText.readAll(), QByteArray(".leading dot\r\n.\r\nlast"));
        // One connection, no authentication without a user.
        QCOMPARE(server.count("CONNECT"), 1);
        QCOMPARE(server.count("AUTH"), 0);
    }

    void authenticationMethods_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("loggedIn");
        QTest::addColumn<QString>("auth");
        QTest::newRow("plain") << 0 << "secret" << true << "AUTH PLAIN";
        QTest::newRow("login") << 1 << "secret" << true << "AUTH LOGIN";
        QTest::newRow("wrong password") << 0 << "wrong" << false << "AUTH PLAIN";
    }
    void authenticationMethods()
    {
        QFETCH(int, method);
        QFETCH(QString, password);
        smtptest::Server server({"--user", "me", "--password", "secret"});
        QVERIFY(server.ready);
        SmtpClient client("127.0.0.1", server.port);
        client.setUser("me");
        client.setPassword(password);
        client.setAuthMethod(static_cast<SmtpClient::AuthMethod>(method));
        QVERIFY(client.connectToHost());
        QTEST(client.login(), "loggedIn");
        // Asking again with the same method does not try again.
        QTEST(client.login(), "loggedIn");
        MimeMessage m;
        fill(m);
        QTEST(client.sendMail(m), "loggedIn");
        client.quit();
        QFETCH(QString, auth);
        QCOMPARE(server.count("AUTH"), 1);
        QCOMPARE(server.count(auth), 1);
        QCOMPARE(server.count("CONNECT"), 1);
    }

    void tls_data()
    {
        QTest::addColumn<bool>("implicit");
        QTest::addColumn<bool>("trusted");
        QTest::addColumn<bool>("plainClient");
        QTest::newRow("starttls") << false << true << false;
        QTest::newRow("implicit tls") << true << true << false;
        QTest::newRow("starttls, certificate not trusted") << false << false << false;
        QTest::newRow("implicit, certificate not trusted") << true << false << false;
        QTest::newRow("plainClientAgainstRequiredStarttls") << false << false << true;
    }
    void tls()
    {
        QFETCH(bool, implicit);
        QFETCH(bool, trusted);
        QFETCH(bool, plainClient);
        QTemporaryDir certs;
        QVERIFY(smtptest::makeCertificate(certs.path()));
        QStringList args{"--cert", certs.path() + "/cert.pem", "--key", certs.path() + "/key.pem"};
        if (implicit)
            args << "--implicit-tls";
        smtptest::Server server(args);
        QVERIFY(server.ready);
        SmtpClient client("localhost", server.port,
                          plainClient ? SmtpClient::TcpConnection
                          : implicit  ? SmtpClient::SslConnection
                                      : SmtpClient::TlsConnection);
        if (trusted)
            client.setCaFile(certs.path() + "/cert.pem");
        MimeMessage m;
        fill(m);
        QCOMPARE(send(client, m), trusted);
        client.quit();
        QCOMPARE(server.mails(), trusted ? 1 : 0);
        if (!implicit && trusted)
            QCOMPARE(server.count("STARTTLS"), 1);
        // Never a plain fallback.
        QCOMPARE(server.count("MAIL"), trusted ? 1 : 0);
    }

    void deadServers()
    {
        // Nothing listening.
        SmtpClient refused("127.0.0.1", smtptest::freePort());
        QVERIFY(!refused.connectToHost());
        QVERIFY(!refused.login());

        // Accepting, never answering: the response time-out ends it.
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        QList<QTcpSocket *> held;
        connect(&silent, &QTcpServer::newConnection,
                [&] { held << silent.nextPendingConnection(); });
        SmtpClient client("127.0.0.1", silent.serverPort());
        client.setResponseTimeout(1000);
        QElapsedTimer t;
        t.start();
        bool connected = true;
        QThread *worker = QThread::create([&] { connected = client.connectToHost(); });
        worker->start();
        while (!worker->wait(20))
            QCoreApplication::processEvents();
        delete worker;
        QVERIFY(!connected);
        QVERIFY2(t.elapsed() < 10000, qPrintable(QString::number(t.elapsed())));
    }

    void unreadableAttachmentFails()
    {
        smtptest::Server server;
        QVERIFY(server.ready);
        SmtpClient client("127.0.0.1", server.port);
        MimeMessage m;
        fill(m);
        m.addPart(new MimeAttachment(new QFile(m_tmp.path() + "/absent.pdf")));
        QVERIFY(client.connectToHost());
        QVERIFY(client.login());
        QVERIFY(!client.sendMail(m));
        client.quit();
        QCOMPARE(server.mails(), 0);
    }
};

QTEST_GUILESS_MAIN(TestSmtpClient)
#include "tst_smtpclient.moc"

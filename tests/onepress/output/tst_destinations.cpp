// Destinations of written documents: the desktop hand-off (default handler,
// mail clients, the user's program), SMTP mail through the web-mail helper
// and its compose dialog, and printing into PDF files.

#include "../../platform/smtp/smtptestserver.h"
#include "outputtestutil.h"
#include "printjob.h"
#include "processhelper.h"
#include "scandestination.h"
#include "sendmaildialog.h"
#include "smtpclient.h"
#include "support/datarows.h"
#include "support/desktopurls.h"
#include "support/modalanswer.h"
#include "support/testtiming.h"
#include "taskshortcut.h"
#include "webmailhelper.h"

#include <QJsonArray>
#include <QLineEdit>
#include <QPrinter>
#include <QTcpSocket>
#include <QtTest>

using outtest::page;
using testsupport::row;

class TestDestinations : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_tmp;

    QString file(const QString &name, int size = 100)
    {
        const QString path = m_tmp.path() + "/" + name;
        outtest::writeFile(path, QByteArray(size, 'x'));
        return path;
    }
    // A fake program that writes its arguments NUL-separated to `out`.
    QString fakeProgram(const QString &name, const QString &out)
    {
        return outtest::writeScript(
            m_tmp.path() + "/" + name,
            QStringLiteral("for a in \"$@\"; do printf '%s\\0' \"$a\"; done > '%1'\n").arg(out));
    }
    static QStringList argvOf(const QString &path) { return outtest::recordedArguments(path); }
    QList<tagSCAN_IMAGE_FILE> documents(const QStringList &outputs)
    {
        QList<tagSCAN_IMAGE_FILE> list;
        for (const QString &o : outputs) {
            tagSCAN_IMAGE_FILE p;
            p.fileName = "/pages/x.jpg";
            p.outputFileName = o;
            list << p;
        }
        return list;
    }
    static void enterAddresses(SendMailDialog &dialog, const QString &to, const QString &cc,
                               const QString &bcc)
    {
        dialog.findChild<QLineEdit *>("lineEditRecipient")->setText(to);
        dialog.findChild<QLineEdit *>("lineEditCC")->setText(cc);
        dialog.findChild<QLineEdit *>("lineEditBCC")->setText(bcc);
    }
    tagSCAN_DESTINATION mailDestination(int port)
    {
        tagSCAN_DESTINATION d;
        d.ScanDestinationFlagID = ScanDestWebMail;
        d.ServerAddress = "127.0.0.1";
        d.Port = port;
        d.UserMailAddr = "scanner@corvan.test";
        d.UserName = QStringLiteral("扫描仪");
        d.MailSize = 5;
        d.SendNoPromptMail = true;
        d.Recipient = "a@x.test;";
        return d;
    }

private slots:
    void initTestCase() { SmtpClient::setDefaultTimeouts(3000, 3000); }

    void desktopHandlerOpensTheFirstDocument()
    {
        testsupport::DesktopUrls recorder;
        QList<tagSCAN_IMAGE_FILE> list = documents({"", "/a/x 1.jpg", "/a/y.jpg"});
        QVERIFY(ProcessHelper::openUrl(list));
        QCOMPARE(recorder.urls, QList<QUrl>({QUrl::fromLocalFile("/a/x 1.jpg")}));
        QList<tagSCAN_IMAGE_FILE> none = documents({"", ""});
        QVERIFY(!ProcessHelper::openUrl(none));
        QCOMPARE(recorder.urls.size(), 1);
    }

    void mailClients()
    {
        const QString out = m_tmp.path() + "/mail.argv";
        const QString thunderbird = fakeProgram("thunderbird", out);
        const QString claws = fakeProgram("claws-mail", out);
        const QString odd = QStringLiteral("/a/it's,odd.pdf");
        QList<tagSCAN_IMAGE_FILE> list = documents({"/a/x.pdf", "", odd});

        ProcessHelper::setMailClients({m_tmp.path() + "/absent", thunderbird, claws});
        QVERIFY(ProcessHelper::startSystemMail(list));
        QCOMPARE(
            argvOf(out),
            QStringList({"-compose", "attachment='file:///a/x.pdf,file:///a/it%27s%2Codd.pdf'"}));
        // The name arrives whole when the URL is read back.
        QCOMPARE(QUrl::fromPercentEncoding("/a/it%27s%2Codd.pdf"), odd);

        ProcessHelper::setMailClients({m_tmp.path() + "/absent", claws});
        QVERIFY(ProcessHelper::startSystemMail(list));
        QCOMPARE(argvOf(out), QStringList({"--attach", "/a/x.pdf", odd}));

        // No client at all: false and the box.
        ProcessHelper::setMailClients({m_tmp.path() + "/absent"});
        testsupport::ModalAnswerer answer(QStringLiteral("OK"));
        QVERIFY(!ProcessHelper::startSystemMail(list));
        QCOMPARE(answer.count(), 1);
        QCOMPARE(answer.last().title, QStringLiteral("错误"));
        QCOMPARE(answer.last().text, QStringLiteral("文件发送失败！"));
        // Nothing to attach: no client, no box.
        QList<tagSCAN_IMAGE_FILE> none = documents({""});
        QVERIFY(!ProcessHelper::startSystemMail(none));
        QCOMPARE(answer.count(), 1);
    }

    void customProgram_data()
    {
        QTest::addColumn<QString>("parameter");
        QTest::addColumn<QStringList>("argv");
        row("token in the middle", "-o <%IMAGE_NAME%> -v",
            QStringList({"-o", "/d/s,1'.pdf", "-v"}));
        row("token inside an argument", "--file=<%IMAGE_NAME%>",
            QStringList({"--file=<%IMAGE_NAME%>"}));
        row("double space keeps an empty argument", "a  <%IMAGE_NAME%> <%IMAGE_NAME%>",
            QStringList({"a", "", "/d/s,1'.pdf", "<%IMAGE_NAME%>"}));
        row("no parameter", "", QStringList({""}));
        row("shell characters stay text", "$(touch pwned) <%IMAGE_NAME%>",
            QStringList({"$(touch", "pwned)", "/d/s,1'.pdf"}));
    }
    void customProgram()
    {
        QFETCH(QString, parameter);
        const QString out = m_tmp.path() + "/custom.argv";
        QFile::remove(out);
        tagSCAN_DESTINATION d;
        d.ExecutableFile = fakeProgram("custom", out);
        d.Parameter = parameter;
        QList<tagSCAN_IMAGE_FILE> list = documents({"", "/d/s,1'.pdf", "/d/t.pdf"});
        QVERIFY(ProcessHelper::startDetached(list, d));
        QFETCH(QStringList, argv);
        QTRY_COMPARE(argvOf(out), argv);
        QVERIFY(!QFile::exists("pwned"));
        d.ExecutableFile = m_tmp.path() + "/absent";
        QVERIFY(!ProcessHelper::startDetached(list, d));
    }

    void silentWebMail()
    {
        smtptest::Server server;
        QVERIFY(server.ready);
        // 5 MiB + 1 byte with a limit of 5 MB still goes.
        const QString a = file("a.pdf", 5 * 1048576);
        const QString b = file("b.pdf", 1);
        QList<tagSCAN_IMAGE_FILE> list = documents({a, "", b});
        WebMailHelper helper(list, mailDestination(server.port));
        QVERIFY(helper.validFileSize());
        QVERIFY(helper.sendMail());
        QCOMPARE(server.mails(), 1);
        QCOMPARE(server.recipients(1), QVariantList({"a@x.test"}));
        QTemporaryDir out;
        const QJsonObject msg = server.message(1, out.path());
        QCOMPARE(msg["subject"].toString(), QString("Documents"));
        QCOMPARE(msg["attachments"].toArray().toVariantList(), QVariantList({"a.pdf", "b.pdf"}));
        QCOMPARE(QFileInfo(out.path() + "/a.pdf").size(), qint64(5 * 1048576));
        QCOMPARE(server.count("AUTH"), 0);

        // Two more bytes: over the limit, nothing sent.
        const QString c = file("c.pdf", 1048576);
        list = documents({a, c});
        WebMailHelper big(list, mailDestination(server.port));
        testsupport::ModalAnswerer answer(QStringLiteral("OK"));
        QVERIFY(!big.sendMail());
        QCOMPARE(answer.last().text, QStringLiteral("文件尺寸过大，无法发送邮件。"));
        QCOMPARE(server.mails(), 1);
    }

    void loginRetriesWithTheOtherMethod_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("sent");
        row("plain refused, login accepted", "secret", true);
        row("wrong password", "wrong", false);
    }
    void loginRetriesWithTheOtherMethod()
    {
        QFETCH(QString, password);
        QFETCH(bool, sent);
        smtptest::Server server({"--user", "me", "--password", "secret", "--refuse-plain"});
        QVERIFY(server.ready);
        tagSCAN_DESTINATION d = mailDestination(server.port);
        d.Account = "me";
        d.Password = password;
        d.Recipient = "a@x.test; b@y.test";
        QList<tagSCAN_IMAGE_FILE> list = documents({file("doc.pdf")});
        WebMailHelper helper(list, d);
        testsupport::ModalAnswerer answer(QStringLiteral("OK"));
        QCOMPARE(helper.sendMail(), sent);
        QCOMPARE(server.count("AUTH"), 2);
        QCOMPARE(server.count("AUTH PLAIN"), 1);
        QCOMPARE(server.count("AUTH LOGIN"), 1);
        QCOMPARE(server.mails(), sent ? 1 : 0);
        if (sent) {
            QCOMPARE(server.recipients(1), QVariantList({"a@x.test", "b@y.test"}));
            QCOMPARE(answer.count(), 0);
        } else {
            QCOMPARE(answer.last().title, QStringLiteral("错误"));
            QCOMPARE(answer.last().text, QStringLiteral("文件发送失败！"));
        }
        QVERIFY(QFile::exists(list[0].outputFileName));
    }

    void deadServerFailsWithTheBox()
    {
        QList<tagSCAN_IMAGE_FILE> list = documents({file("doc.pdf")});
        WebMailHelper helper(list, mailDestination(smtptest::freePort()));
        testsupport::ModalAnswerer answer(QStringLiteral("OK"));
        QVERIFY(!helper.sendMail());
        QCOMPARE(answer.last().text, QStringLiteral("文件发送失败！"));
    }

    // A server that accepts and never answers: the window keeps turning
    // while the mail waits out its time-out on one connection, then the box.
    void silentServerKeepsTheWindowTurning()
    {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
        QList<QTcpSocket *> held;
        connect(&silent, &QTcpServer::newConnection, [&] {
            while (silent.hasPendingConnections())
                held << silent.nextPendingConnection();
        });
        // The window must turn much more often than once a time-out.
        const int timeoutMs = 2000;
        SmtpClient::setDefaultTimeouts(timeoutMs, timeoutMs);
        QList<tagSCAN_IMAGE_FILE> list = documents({file("doc.pdf")});
        WebMailHelper helper(list, mailDestination(silent.serverPort()));
        QElapsedTimer clock;
        QList<qint64> ticks;
        QTimer tick;
        tick.setInterval(10);
        connect(&tick, &QTimer::timeout, [&] { ticks << clock.elapsed(); });
        testsupport::ModalAnswerer answer(QStringLiteral("OK"));
        clock.start();
        tick.start();
        const bool sent = helper.sendMail();
        const qint64 took = clock.elapsed();
        tick.stop();
        SmtpClient::setDefaultTimeouts(3000, 3000);
        QVERIFY(!sent);
        QCOMPARE(answer.count(), 1);
        QCOMPARE(answer.last().text, QStringLiteral("文件发送失败！"));
        QCOMPARE(held.size(), 1);
        QVERIFY2(took >= timeoutMs - 100 && took < scaledMs(10000),
                 qPrintable(QString::number(took)));
        QVERIFY(!ticks.isEmpty());
        qint64 gap = qMax(ticks.first(), took - ticks.last());
        for (int i = 1; i < ticks.size(); ++i)
            gap = qMax(gap, ticks[i] - ticks[i - 1]);
        QVERIFY2(gap < timeoutMs / 2,
                 qPrintable(QStringLiteral("%1 ms without an event").arg(gap)));
        QVERIFY(QFile::exists(list[0].outputFileName));
        qDeleteAll(held);
    }

    void composeMode()
    {
        smtptest::Server server;
        QVERIFY(server.ready);
        tagSCAN_DESTINATION d = mailDestination(server.port);
        d.SendNoPromptMail = false;
        QList<tagSCAN_IMAGE_FILE> list = documents({file("a.pdf"), "", file("b.pdf")});
        QString attachments;
        testsupport::ModalAnswerer answer([&](QWidget *w, const testsupport::ModalSeen &) {
            auto *dialog = qobject_cast<SendMailDialog *>(w);
            if (!dialog) {
                w->close();
                return;
            }
            attachments = dialog->findChild<QLineEdit *>("lineEditAttachment")->text();
            enterAddresses(*dialog, " to@x.test ", "c1@x.test; c2@x.test", "hid@x.test");
            dialog->clickedBtnSend();
        });
        WebMailHelper helper(list, d);
        QVERIFY(helper.sendMail());
        QCOMPARE(attachments, QString("a.pdf; b.pdf; "));
        QCOMPARE(server.recipients(1),
                 QVariantList({"to@x.test", "c1@x.test", "c2@x.test", "hid@x.test"}));
        QTemporaryDir out;
        const QJsonObject msg = server.message(1, out.path());
        QVERIFY(!msg["bcc_header"].toBool());
        QCOMPARE(msg["subject"].toString(), QString("Documents"));

        // Cancelled: nothing sent, no box.
        testsupport::ModalAnswerer cancel([](QWidget *w, const testsupport::ModalSeen &) {
            static_cast<QDialog *>(w)->reject();
        });
        answer.stop();
        QVERIFY(!helper.sendMail());
        QCOMPARE(server.mails(), 1);
    }

    void sendButtonChecksAddresses_data()
    {
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("cc");
        QTest::addColumn<QString>("bcc");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("box");
        const QString invalid = QStringLiteral("是无效的电子邮件地址。");
        row("trailing semicolon", "a@x;", "", "", false, "\"\"" + invalid);
        row("space after semicolon", "a@x; b@y", "", "", true, "");
        row("invalid cc", "a@x", "nobody", "", false, "\"nobody\"" + invalid);
        row("no recipient", " ", "", "", false, QStringLiteral("请输入至少一个收件人。"));
        // What would end a header or an SMTP command and start another.
        row("line break in to", "a@x\r\nBcc: c@z", "", "", false, "\"a@x\r\nBcc: c@z\"" + invalid);
        row("angle brackets in cc", "a@x", "b@y>,<c@z", "", false, "\"b@y>,<c@z\"" + invalid);
        row("space in bcc", "", "", "b@y c@z", false, "\"b@y c@z\"" + invalid);
    }
    void sendButtonChecksAddresses()
    {
        QFETCH(QString, to);
        QFETCH(QString, cc);
        QFETCH(QString, bcc);
        QFETCH(bool, accepted);
        QFETCH(QString, box);
        SendMailDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Web邮件信息"));
        QCOMPARE(dialog.size(), QSize(393, 264));
        dialog.setAttachments("a.pdf; b.pdf; ");
        dialog.show();
        QCOMPARE(dialog.size(), QSize(393, 264));
        dialog.grab().save(QDir::tempPath() + "/sendmaildialog.png");
        dialog.hide();
        enterAddresses(dialog, to, cc, bcc);
        testsupport::ModalAnswerer answer(QStringLiteral("OK"));
        dialog.clickedBtnSend();
        QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
        QCOMPARE(answer.count(), box.isEmpty() ? 0 : 1);
        if (!box.isEmpty()) {
            QCOMPARE(answer.last().title, QStringLiteral("信息"));
            QCOMPARE(answer.last().text, box);
        }
    }

    // An address stored in destination.ini goes through the same check when
    // the mail is sent: a bad one fails the send, nothing reaches the server.
    void storedAddressCannotInject_data()
    {
        QTest::addColumn<QString>("sender");
        QTest::addColumn<QString>("recipient");
        row("recipient with a header", "scanner@corvan.test", "a@x.test\r\nBcc: hidden@y.test");
        row("recipient with a command", "scanner@corvan.test",
            "a@x.test>\r\nRCPT TO:<hidden@y.test");
        row("sender with a header", "scanner@corvan.test\r\nBcc: hidden@y.test", "a@x.test");
    }
    void storedAddressCannotInject()
    {
        QFETCH(QString, sender);
        QFETCH(QString, recipient);
        smtptest::Server server;
        QVERIFY(server.ready);
        tagSCAN_DESTINATION d = mailDestination(server.port);
        d.UserMailAddr = sender;
        d.Recipient = recipient;
        QList<tagSCAN_IMAGE_FILE> list = documents({file("doc.pdf")});
        WebMailHelper helper(list, d);
        testsupport::ModalAnswerer answer(QStringLiteral("OK"));
        QVERIFY(!helper.sendMail());
        QCOMPARE(answer.last().text, QStringLiteral("文件发送失败！"));
        QCOMPARE(server.mails(), 0);
        const QString log = server.commands().join('\n');
        QVERIFY2(!log.contains("hidden") && !log.contains("RCPT"), qPrintable(log));
    }

    void printing()
    {
        // Three A4 pages at 200 dpi, the second missing.
        QImage a4 = outtest::drawPage(1654, 2339);
        const QString one = outtest::writePage(m_tmp.path() + "/p1.png", a4, "png", 200);
        QImage noDensity = a4;
        noDensity.setDotsPerMeterX(0);
        noDensity.setDotsPerMeterY(0);
        const QString three = m_tmp.path() + "/p3.bmp";
        QVERIFY(noDensity.save(three));
        QList<tagSCAN_IMAGE_FILE> list{page(one, 1654, 2339, 200),
                                       page(m_tmp.path() + "/gone.png", 1, 1, 200),
                                       page(three, 1654, 2339, 200)};
        auto print = [&](int mode, bool centre) {
            tagTASK_SHORTCUT t;
            const QString pdf =
                m_tmp.path() + QStringLiteral("/print-%1-%2.pdf").arg(mode).arg(centre);
            t.OutputFileName = pdf;
            t.OutputFormat = QPrinter::PdfFormat;
            t.PaperSize = QPageSize::A3;
            t.ColorMode = QPrinter::Color;
            t.FullPage = true;
            PrintJob job(list);
            job.setParameters(t);
            const bool printed = mode == 1   ? job.printImageAuto(centre)
                                 : mode == 2 ? job.printImageAdjust()
                                             : job.printImageDonotAdjust(centre);
            return printed ? pdf : QString();
        };
        const QString auto1 = print(1, true);
        const QString none3 = print(3, true);
        const QString topLeft = print(3, false);
        const QString info = outtest::run("pdfinfo", {auto1}).out;
        QVERIFY(info.contains(QRegularExpression("Pages:\\s+3\\b")));
        QVERIFY2(info.contains("(A3)"), qPrintable(info));
        // Rendered at 20 dpi: sheet 2 blank; the page 8.27 in wide; modes 1 and 3 alike.
        auto render = [&](const QString &pdf, int n) {
            const QString base = pdf + QString::number(n);
            outtest::run("pdftoppm", {"-r", "20", "-f", QString::number(n), "-l",
                                      QString::number(n), "-singlefile", "-png", pdf, base});
            return QImage(base + ".png");
        };
        const QImage sheet1 = render(auto1, 1);
        QVERIFY(!sheet1.isNull());
        QCOMPARE(sheet1, render(none3, 1));
        const QImage sheet2 = render(auto1, 2);
        QVERIFY(sheet2 == [&] {
            QImage w(sheet2.size(), sheet2.format());
            w.fill(Qt::white);
            return w;
        }());
        // The red block spans a quarter of 8.27 in; centred on 11.69 in paper.
        auto redSpan = [](const QImage &img, int row) {
            int first = -1, last = -1;
            for (int x = 0; x < img.width(); ++x) {
                const QColor c = img.pixelColor(x, row);
                if (c.red() > 200 && c.green() < 80) {
                    if (first < 0)
                        first = x;
                    last = x;
                }
            }
            return qMakePair(first, last);
        };
        const QImage tl = render(topLeft, 1);
        const auto tlSpan = redSpan(tl, 3);
        QCOMPARE(tlSpan.first, 0);
        QVERIFY2(qAbs(tlSpan.second + 1 - qRound(8.27 / 4 * 20)) <= 1,
                 qPrintable(QString::number(tlSpan.second)));
        const int margin = qRound((11.69 - 8.27) / 2 * 20);
        const auto centred = redSpan(sheet1, qRound((16.54 - 11.69) / 2 * 20) + 3);
        QVERIFY2(qAbs(centred.first - margin) <= 1, qPrintable(QString::number(centred.first)));
        // The page without a stored density is printed at its scanned 200 dpi.
        QCOMPARE(redSpan(render(topLeft, 3), 3), tlSpan);
    }

    // A PDF target that cannot be written and a queue that is not there: the
    // job prints nothing and says so.
    void unopenablePrinterPrintsNothing()
    {
        QList<tagSCAN_IMAGE_FILE> list{page(file("x.png"), 1, 1)};
        tagTASK_SHORTCUT t;
        t.OutputFileName = m_tmp.path() + "/no/such/folder/out.pdf";
        t.OutputFormat = QPrinter::PdfFormat;
        PrintJob job(list);
        job.setParameters(t);
        QVERIFY(!job.printImageAdjust());
        QVERIFY(!QFile::exists(t.OutputFileName));
        t.OutputFileName.clear();
        t.OutputFormat = QPrinter::NativeFormat;
        t.PrinterName = "offline-queue";
        PrintJob queue(list);
        queue.setParameters(t);
        QVERIFY(!queue.printImageDonotAdjust(true));
    }
};

QTEST_MAIN(TestDestinations)
#include "tst_destinations.moc"

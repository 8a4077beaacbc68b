#include "buttoneventcodec.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace ButtonEventCodec;

namespace {

// Reads a request frame the way an HTTP server would: length and type words,
// request line, header map, body of Content-Length bytes.
struct Request {
    quint32 length = 0, type = 0;
    QString requestLine;
    QMap<QString, QString> headers;
    QByteArray body;
    bool ok = false;
};

Request parseRequest(const QByteArray &frame)
{
    Request r;
    if (frame.size() < 8)
        return r;
    auto le = [&](int off) {
        return quint32(uchar(frame[off])) | quint32(uchar(frame[off + 1])) << 8 |
               quint32(uchar(frame[off + 2])) << 16 | quint32(uchar(frame[off + 3])) << 24;
    };
    r.length = le(0);
    r.type = le(4);
    const QByteArray text = frame.mid(8);
    const int end = text.indexOf("\r\n\r\n");
    if (end < 0)
        return r;
    const QList<QByteArray> lines = text.left(end).split('\n');
    r.requestLine = QString::fromLatin1(lines.value(0)).trimmed();
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const int colon = line.indexOf(':');
        r.headers.insert(QString::fromLatin1(line.left(colon)), QString::fromLatin1(line.mid(colon + 1)).trimmed());
    }
    r.body = text.mid(end + 4);
    r.ok = !r.headers.contains("Content-Length") || r.headers["Content-Length"].toInt() == r.body.size();
    return r;
}

QByteArray reply(quint32 type, const QByteArray &text)
{
    return frame(FrameType(type), text);
}

} // namespace

class TestButtonEventCodec : public QObject
{
    Q_OBJECT
private slots:
    void registrationFrameReadsBackAsHttp()
    {
        QTemporaryDir dir;
        QImage icon(10, 30, QImage::Format_RGB32);
        icon.fill(Qt::red);
        QVERIFY(icon.save(dir.path() + "/a.png"));
        const QList<tagONEPRESS_EVENT> buttons = {{dir.path() + "/a.png", QString::fromUtf8("扫描 A&B")},
                                                  {dir.path() + "/missing.png", "A&B c"}};
        const QByteArray f = registrationRequest(registrationBody(buttons, "alice"));
        const Request r = parseRequest(f);
        QVERIFY(r.ok);
        QCOMPARE(int(r.length), f.size());
        QCOMPARE(r.type, 57u);
        QCOMPARE(r.requestLine, QString("POST http://usb/api/scanner/event HTTP/1.1"));
        QCOMPARE(r.headers.value("Host"), QString("USB"));
        QCOMPARE(r.headers.value("Content-Type"), QString("application/json; charset=UTF-8"));

        QJsonParseError err;
        const QJsonObject root = QJsonDocument::fromJson(r.body, &err).object();
        QCOMPARE(err.error, QJsonParseError::NoError);
        QVERIFY(!r.body.contains(' ')); // compact
        QCOMPARE(root.keys(), (QStringList{"DisplayImage", "DisplayString", "EventButtons", "EventSeqNum",
                                           "EventType", "JobInfoId", "PCID", "SecurityPin"}));
        QCOMPARE(root["DisplayString"].toString(), QString("alice"));
        QCOMPARE(root["EventSeqNum"].toString(), QString("0"));
        QCOMPARE(root["EventType"].toString(), QString("SetOcpButtons"));
        QCOMPARE(root["JobInfoId"].toString(), QString("8738"));
        QCOMPARE(root["PCID"].toString(), QString("dcba948e-5066-4c36-a552-0ff354f2e2e8"));
        const QJsonArray list = root["EventButtons"].toArray();
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0].toObject()["ButtonNumber"].toString(), QString("1"));
        QCOMPARE(list[1].toObject()["ButtonNumber"].toString(), QString("2"));
        QCOMPARE(list[0].toObject()["Text"].toString(), QString("%E6%89%AB%E6%8F%8F%20A%26B"));
        QCOMPARE(list[1].toObject()["Text"].toString(), QString("A%26B%20c"));
        QCOMPARE(list[1].toObject()["Image"].toString(), QString());
        QCOMPARE(list[0].toObject()["PaperSource"].toString(), QString("ADF"));
        QCOMPARE(list[0].toObject()["OcpGraphicLocation"].toString(), QString("Left"));

        const QString b64 = list[0].toObject()["Image"].toString();
        QVERIFY(!b64.contains('+') && !b64.contains('/'));
        QImage back;
        QVERIFY(back.loadFromData(QByteArray::fromBase64(b64.toLatin1(), QByteArray::Base64UrlEncoding), "PNG"));
        QCOMPARE(back.size(), QSize(64, 64));
        QCOMPARE(QColor(back.pixel(32, 32)), QColor(Qt::red));
    }

    void contentLengthCountsUtf8Bytes()
    {
        const QByteArray body = registrationBody({{"", QString::fromUtf8("é")}}, QString::fromUtf8("用户"));
        const Request r = parseRequest(registrationRequest(body));
        QCOMPARE(r.headers.value("Content-Length").toInt(), body.size());
        QVERIFY(body.size() > QString::fromUtf8(body).size());
    }

    void pollAndUnregisterRequests()
    {
        Request r = parseRequest(longPollRequest(17));
        QCOMPARE(r.type, 69u);
        QCOMPARE(r.requestLine, QString("GET http://usb/api/scanner/event?PCID=dcba948e-5066-4c36-a552-0ff354f2e2e8"
                                        "&EventSeqNum=17&Timeout=30&LP HTTP/1.1"));
        QCOMPARE(r.headers.keys(), QStringList{"Host"});
        r = parseRequest(unregisterRequest());
        QCOMPARE(r.type, 56u);
        QCOMPARE(r.requestLine, QString("DELETE http://usb/api/scanner/event?PCID=dcba948e-5066-4c36-a552-0ff354f2e2e8 HTTP/1.1"));
        QCOMPARE(r.headers.value("Accept"), QString("text/html, */*; q=0.01"));
    }

    void replyFraming()
    {
        QCOMPARE(replyType(QByteArray(7, 'x')), 255u);
        QCOMPARE(replyType(QByteArray()), 255u);
        QCOMPARE(replyType(reply(69, "")), 69u);
        QCOMPARE(replyText(reply(69, QByteArray("abc\0def", 7))), QString("abc"));
        QCOMPARE(replyText(QByteArray(8, '\0')), QString());
    }

    void statusLine_data()
    {
        QTest::addColumn<QString>("head");
        QTest::addColumn<QString>("status");
        QTest::newRow("reason phrase") << "HTTP/1.1 200 OK\r\nSTATUS: 200 OK" << "200";
        QTest::newRow("lower case key") << "HTTP/1.1 500 x\r\nstatus:408" << "408";
        QTest::newRow("only http line") << "HTTP/1.1 200 OK\r\nHost: USB" << "";
        QTest::newRow("first wins") << "Status: 404\r\nStatus: 200" << "404";
        QTest::newRow("second colon") << "Status: 409:extra" << "409";
        QTest::newRow("key with blank") << "X-Status: 200\r\nSTATUS : 1" << "";
    }
    void statusLine()
    {
        QFETCH(QString, head);
        QTEST(status(head), "status");
    }

    void timeoutMarker()
    {
        QVERIFY(hasTimeoutMarker("HTTP/1.1 408\r\nX-Info: a.xTcMx.b"));
        QVERIFY(hasTimeoutMarker("Server: fw.tcm"));
        QVERIFY(!hasTimeoutMarker("Server: tcm.fw"));
        QVERIFY(!hasTimeoutMarker("Server: a.b.tcm"));
    }

    void pollReplies()
    {
        PollReply p = parsePollReply("STATUS: 200\r\n\r\n{\"Event\":\"3\",\"EventSeqNum\":\"17\"}");
        QCOMPARE(p.status, 200);
        QCOMPARE(p.event, QString("3"));
        QCOMPARE(p.eventSeqNum, 17);
        p = parsePollReply("STATUS: 200\r\n\r\n{\"Event\":\"3\",\"EventSeqNum\":17}");
        QCOMPARE(p.eventSeqNum, 0);
        p = parsePollReply("STATUS: 200\r\n\r\n{not json");
        QCOMPARE(p.event, QString());
        QCOMPARE(p.eventSeqNum, 0);
        p = parsePollReply("STATUS: 408\r\nX: y.TCM");
        QCOMPARE(p.status, 408);
        QVERIFY(p.timeoutMarker);
        QCOMPARE(parsePollReply("no head at all").status, 0);
    }
};

QTEST_GUILESS_MAIN(TestButtonEventCodec)
#include "tst_buttoneventcodec.moc"

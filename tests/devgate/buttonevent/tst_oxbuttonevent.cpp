#include "devgate/device/deviceharness.h"
#include "eventservice.h"
#include "httpreading.h"
#include "oxbuttonevent.h"
#include "support/testtiming.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutex>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <cerrno>
#include <thread>

using namespace emu;

namespace {

// Trace lines written while a test runs.
QMutex g_traceMutex;
QStringList g_trace;

void captureTrace(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    QMutexLocker lock(&g_traceMutex);
    g_trace << msg;
}

bool traced(const QString &prefix)
{
    QMutexLocker lock(&g_traceMutex);
    for (const QString &line : qAsConst(g_trace)) {
        if (line.startsWith(prefix))
            return true;
    }
    return false;
}

// The device with its event service, and the channel on an open port.
// Members go in reverse: channel, service, then port, device and bus.
struct Rig
{
    EmulatedScanner scanner;
    EventService service;
    OxButtonEvent channel;

    explicit Rig(EventService::Settings settings = EventService::Settings()) : service(settings)
    {
        service.attach(scanner.device);
        opened = scanner.port.openPort();
        channel.setPort(&scanner.port);
    }
    ~Rig() { scanner.port.closePort(); }
    bool opened = false;

    std::vector<TransferRecord> event(Direction direction) const
    {
        std::vector<TransferRecord> out;
        for (const TransferRecord &r : scanner.device->transfers(Pipe::Event)) {
            if (r.direction == direction)
                out.push_back(r);
        }
        return out;
    }
    std::vector<EventRequest> polls() const { return service.requests(event::kLongPoll); }
    QString lastPollSeq() const
    {
        const auto p = polls();
        return p.empty() ? QString() : QString::fromStdString(p.back().query("EventSeqNum").value_or("?"));
    }
    // Registered and polling, the first poll held by the device.
    bool registered()
    {
        return opened && channel.eventRegistration({{QString(), "scan"}}) == 0 && service.pollHeld();
    }
    bool clean() const { return service.protocolErrors().empty() && scanner.device->protocolErrors().empty(); }
};

// The host's wait for an event answer. The emulated device's own answers to
// a held poll come after 150 ms; what lies between is the time its thread
// may take on a busy machine.
int eventTimeoutMs()
{
    return scaledMs(1500);
}

QString errors(const Rig &rig)
{
    QStringList out;
    for (const std::string &e : rig.service.protocolErrors())
        out << QString::fromStdString(e);
    return out.join("; ");
}

} // namespace

// OxButtonEvent on the real libusb against the emulated scanner's event service.
class TestOxButtonEvent : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(EmulatedBus::preloadActive(), "umockdev preload missing");
        // Short time-outs: the rules are the same, the waits are not minutes.
        LinkTimeouts::set(LinkTimeouts::Event, eventTimeoutMs());
        LinkTimeouts::set(LinkTimeouts::EventDrain, 200);
    }
    void init()
    {
        QMutexLocker lock(&g_traceMutex);
        g_trace.clear();
        qInstallMessageHandler(captureTrace);
    }
    void cleanup() { qInstallMessageHandler(nullptr); }

    // The service's own rules, on the model alone: the other tests lean on
    // them to catch a host that polls twice or frames badly.
    void serviceRejectsWhatTheDeviceWould()
    {
        auto dev = std::make_shared<ScannerEmulator>();
        EventService service;
        service.attach(dev);
        auto send = [&](const QByteArray &frame) { dev->transferOut(Pipe::Event, Bytes(frame.begin(), frame.end())); };
        auto answer = [&] { return qbytes(dev->transferIn(Pipe::Event, 1 << 20).data); };

        send(ButtonEventCodec::longPollRequest(0));
        QCOMPARE(ButtonEventCodec::status(ButtonEventCodec::replyText(answer())), QString("404"));
        QVERIFY(service.protocolErrors().empty()); // not registered: an answer, not a mistake

        send(ButtonEventCodec::registrationRequest(ButtonEventCodec::registrationBody({}, "u")));
        QCOMPARE(ButtonEventCodec::status(ButtonEventCodec::replyText(answer())), QString("200"));
        QCOMPARE(service.clientId(), std::string(ButtonEventCodec::kClientId));
        send(ButtonEventCodec::longPollRequest(0));
        send(ButtonEventCodec::longPollRequest(0));
        QCOMPARE(service.protocolErrors().size(), size_t(1));

        QByteArray twoInOne = ButtonEventCodec::unregisterRequest();
        twoInOne += twoInOne;
        send(twoInOne);
        QCOMPARE(service.protocolErrors().size(), size_t(2));
        QVERIFY(!service.registered());
    }

    void registrationIsOneHttpRequestFollowedByThePoll()
    {
        QTemporaryDir dir;
        QImage icon(10, 30, QImage::Format_RGB32);
        icon.fill(Qt::blue);
        QVERIFY(icon.save(dir.path() + "/icon.png"));
        Rig rig;
        QVERIFY(rig.opened);

        QCOMPARE(rig.channel.eventRegistration({{dir.path() + "/icon.png", QString::fromUtf8("扫描")},
                                                {dir.path() + "/gone.png", "A&B c"}}),
                 0);
        const auto out = rig.event(Direction::Out);
        QCOMPARE(out.size(), size_t(2)); // registration, then the first poll; one frame per transfer

        const HttpRequest post = readHttpRequest(qbytes(out[0].bytes));
        QVERIFY2(post.error.isEmpty(), qPrintable(post.error));
        QCOMPARE(post.type, 57u);
        QCOMPARE(post.method + " " + post.target, QByteArray("POST http://usb/api/scanner/event"));
        QCOMPARE(post.headerNames(), (QList<QByteArray>{"Host", "Content-Length", "Content-Type"}));
        QCOMPARE(post.header("Host"), QByteArray("USB"));
        QCOMPARE(post.header("Content-Type"), QByteArray("application/json; charset=UTF-8"));

        QJsonParseError parseError;
        const QJsonDocument doc = QJsonDocument::fromJson(post.body, &parseError);
        QCOMPARE(parseError.error, QJsonParseError::NoError);
        QCOMPARE(doc.toJson(QJsonDocument::Compact), post.body); // compact, keys in order
        const QJsonObject root = doc.object();
        QCOMPARE(root["DisplayString"].toString(), QDir::homePath().section('/', -1));
        QCOMPARE(root["EventSeqNum"].toString(), QString("0"));
        QCOMPARE(root["PCID"].toString(), QString(ButtonEventCodec::kClientId));
        const QJsonArray buttons = root["EventButtons"].toArray();
        QCOMPARE(buttons.size(), 2);
        QCOMPARE(buttons[0].toObject()["ButtonNumber"].toString(), QString("1"));
        QCOMPARE(buttons[1].toObject()["ButtonNumber"].toString(), QString("2"));
        QCOMPARE(buttons[0].toObject()["Text"].toString(), QString("%E6%89%AB%E6%8F%8F"));
        QCOMPARE(buttons[1].toObject()["Text"].toString(), QString("A%26B%20c"));
        QCOMPARE(buttons[1].toObject()["Image"].toString(), QString());
        QImage sent;
        QVERIFY(sent.loadFromData(QByteArray::fromBase64(buttons[0].toObject()["Image"].toString().toLatin1(),
                                                         QByteArray::Base64UrlEncoding),
                                  "PNG"));
        QCOMPARE(sent.size(), QSize(64, 64));
        QCOMPARE(QColor(sent.pixel(0, 63)), QColor(Qt::blue));

        const HttpRequest get = readHttpRequest(qbytes(out[1].bytes));
        QVERIFY2(get.error.isEmpty(), qPrintable(get.error));
        QCOMPARE(get.type, 69u);
        QCOMPARE(get.method, QByteArray("GET"));
        const QUrlQuery query(QUrl(QString::fromLatin1(get.target)));
        QCOMPARE(query.queryItemValue("PCID"), QString(ButtonEventCodec::kClientId));
        QCOMPARE(query.queryItemValue("EventSeqNum"), QString("0"));
        QCOMPARE(query.queryItemValue("Timeout"), QString("30"));
        QVERIFY(query.hasQueryItem("LP"));

        QVERIFY(rig.service.registered());
        QVERIFY(rig.service.pollHeld());
        QVERIFY2(rig.clean(), qPrintable(errors(rig)));
    }

    void registrationRefused_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<int>("rc");
        QTest::newRow("status 500") << QString::fromStdString(EventService::replyText(500, "Internal Error")) << -60;
        QTest::newRow("only the HTTP status line") << "HTTP/1.1 200 OK\r\nHost: USB\r\n\r\n" << -60;
        QTest::newRow("status 2000") << "STATUS: 2000\r\n\r\n" << -60;
        // The status is looked for in the whole text, not only in the head.
        QTest::newRow("STATUS line after the head") << "HTTP/1.1 200 OK\r\n\r\nSTATUS: 200" << 0;
    }
    void registrationRefused()
    {
        QFETCH(QString, reply);
        QFETCH(int, rc);
        Rig rig;
        rig.service.scriptReply(event::kRegistration, reply.toStdString());
        QCOMPARE(rig.channel.eventRegistration({{QString(), "a"}}), rc);
        QCOMPARE(rig.polls().size(), size_t(rc == 0 ? 1 : 0));
        QCOMPARE(traced("Cannot parse image data"), rc != 0);
    }

    void registrationTransferFailuresAreHandedUp()
    {
        {
            Rig rig;
            rig.scanner.device->injectFault({Pipe::Event, Direction::Out, FaultKind::TransferError, 0, EPROTO, 0});
            QCOMPARE(rig.channel.eventRegistration({{QString(), "a"}}), -4);
            QVERIFY(rig.service.requests().empty());
            QVERIFY(rig.event(Direction::In).empty()); // no read after a failed write
        }
        {
            Rig rig;
            rig.service.scriptReply(event::kRegistration, std::nullopt);
            QElapsedTimer clock;
            clock.start();
            QCOMPARE(rig.channel.eventRegistration({{QString(), "a"}}), -3);
            QVERIFY(clock.elapsed() >= OxButtonEvent::transferTimeout() - 100);
            QVERIFY(rig.polls().empty());
        }
        {
            // The device took the registration but the first poll never went
            // out: no press could ever be reported, so this is no success.
            Rig rig;
            rig.scanner.device->injectFault({Pipe::Event, Direction::Out, FaultKind::TransferError, 0, EPIPE, 1});
            QCOMPARE(rig.channel.eventRegistration({{QString(), "a"}}), -4);
            QVERIFY(rig.service.registered());
            QVERIFY(!rig.service.pollHeld());
        }
    }

    void pressIsReportedAndItsSequenceNumberPolledNext()
    {
        EventService::Settings settings;
        settings.lastEventSeqNum = 16;
        Rig rig(settings);
        QVERIFY(rig.registered());

        // The poll is held until the press, which comes from another thread
        // while the host waits in its read.
        std::thread press([&rig] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            rig.service.pressButton(3);
        });
        QElapsedTimer clock;
        clock.start();
        QString event;
        const int rc = rig.channel.getReplyEvent(event);
        const qint64 waited = clock.elapsed();
        press.join();
        QCOMPARE(rc, 0);
        QVERIFY2(waited >= 250, qPrintable(QString::number(waited)));
        QCOMPARE(event, QString("3"));
        QVERIFY(traced("Event:"));
        QCOMPARE(rig.polls().size(), size_t(2));
        QCOMPARE(rig.lastPollSeq(), QString("17"));
        QVERIFY(rig.service.pollHeld());

        rig.service.pressButton(5);
        QCOMPARE(rig.channel.getReplyEvent(event), 0);
        QCOMPARE(event, QString("5"));
        QCOMPARE(rig.lastPollSeq(), QString("18"));

        // A sequence number that is not a JSON string counts as 0.
        rig.service.answerPoll(EventService::replyText(200, "OK", "", "{\"Event\":\"2\",\"EventSeqNum\":19}"));
        QCOMPARE(rig.channel.getReplyEvent(event), 0);
        QCOMPARE(event, QString("2"));
        QCOMPARE(rig.lastPollSeq(), QString("0"));

        // A new registration starts again from 0.
        QCOMPARE(rig.channel.eventRegistration({{QString(), "a"}}), 0);
        QCOMPARE(rig.channel.eventSeqNum(), 0);
        QCOMPARE(rig.lastPollSeq(), QString("0"));
        QVERIFY2(rig.clean(), qPrintable(errors(rig)));
    }

    void pollAnswers_data()
    {
        QTest::addColumn<QString>("answer"); // empty: the device's own server time-out
        QTest::addColumn<bool>("marker");
        QTest::addColumn<int>("rc");
        QTest::addColumn<bool>("repoll");
        QTest::addColumn<bool>("flagBefore");
        QTest::addColumn<bool>("flagAfter");
        QTest::addColumn<QString>("trace");

        auto text = [](int status) { return QString::fromStdString(EventService::replyText(status, "x")); };
        QTest::newRow("408 with marker") << QString() << true << 0 << true << false << true << QString();
        QTest::newRow("408 without marker") << QString() << false << 0 << true << true << false << QString();
        QTest::newRow("408 marker in any case") << "STATUS: 408\r\nVia: a.xTcMx\r\n\r\n" << false << 0 << true
                                                << false << true << QString();
        QTest::newRow("409") << text(409) << false << 0 << true << true << true << QString();
        QTest::newRow("420") << text(420) << false << 0 << true << false << false << QString();
        QTest::newRow("429") << text(429) << false << 0 << true << true << true << QString();
        QTest::newRow("500") << text(500) << false << 0 << true << false << false << "FW Status: 500";
        QTest::newRow("no status") << "HTTP/1.1 200 OK\r\n\r\n" << false << 0 << true << false << false
                                   << "FW Status: 0";
        QTest::newRow("404") << text(404) << false << -36 << false << true << true << "Please call Verrin";
    }
    void pollAnswers()
    {
        QFETCH(QString, answer);
        QFETCH(bool, marker);
        QFETCH(int, rc);
        QFETCH(bool, repoll);
        QFETCH(bool, flagBefore);
        QFETCH(bool, flagAfter);
        QFETCH(QString, trace);

        EventService::Settings settings;
        settings.serverTimeout = std::chrono::milliseconds(150);
        settings.timeoutMarker = marker;
        Rig rig(settings);
        if (!answer.isEmpty())
            rig.service.setServerTimeout(std::chrono::seconds(30));
        QVERIFY(rig.registered());
        rig.channel.setReplyEvent(flagBefore);
        if (!answer.isEmpty())
            rig.service.answerPoll(answer.toStdString());

        QString event = "untouched";
        QCOMPARE(rig.channel.getReplyEvent(event), rc);
        QCOMPARE(event, QString("untouched"));
        QCOMPARE(rig.channel.getReplyEvent(), flagAfter);
        QCOMPARE(rig.polls().size(), size_t(repoll ? 2 : 1));
        QCOMPARE(rig.service.pollHeld(), repoll);
        QCOMPARE(rig.lastPollSeq(), QString("0"));
        if (!trace.isEmpty())
            QVERIFY(traced(trace));
        else
            QVERIFY(!traced("FW Status:"));
        QVERIFY2(rig.clean(), qPrintable(errors(rig)));
    }

    void framesThatAreNoPollAnswer_data()
    {
        QTest::addColumn<QByteArray>("frame"); // empty: a transfer that brings 0 bytes
        QTest::newRow("empty transfer") << QByteArray();
        QTest::newRow("7 bytes") << QByteArray::fromHex("0f000000450000");
        QTest::newRow("late registration answer")
            << qbytes(EventService::frame(event::kRegistration, EventService::replyText(200, "OK")));
        QTest::newRow("late refused registration")
            << qbytes(EventService::frame(event::kRegistration, EventService::replyText(500, "x")));
        QTest::newRow("late unregistration answer")
            << qbytes(EventService::frame(event::kUnregister, EventService::replyText(200, "OK")));
        QTest::newRow("unknown type") << qbytes(EventService::frame(70, EventService::replyText(200, "OK")));
    }
    void framesThatAreNoPollAnswer()
    {
        QFETCH(QByteArray, frame);
        Rig rig;
        QVERIFY(rig.registered());
        if (frame.isEmpty())
            rig.scanner.device->injectFault({Pipe::Event, Direction::In, FaultKind::EmptyRead, 0, 0, 0});
        else
            rig.scanner.device->queueIn(Pipe::Event, Bytes(frame.begin(), frame.end()));
        QString event = "untouched";
        QCOMPARE(rig.channel.getReplyEvent(event), 0);
        QCOMPARE(event, QString("untouched"));
        // The device still holds the one poll it has: no second one is sent.
        QCOMPARE(rig.polls().size(), size_t(1));
        QVERIFY(rig.service.pollHeld());
        QVERIFY2(rig.clean(), qPrintable(errors(rig)));
    }

    void pollTransferFailuresAreHandedUp()
    {
        {
            Rig rig;
            QVERIFY(rig.registered());
            QElapsedTimer clock;
            clock.start();
            QString event;
            QCOMPARE(rig.channel.getReplyEvent(event), -3); // the device holds the poll for 30 s
            QVERIFY(clock.elapsed() >= OxButtonEvent::transferTimeout() - 100);
            QCOMPARE(rig.polls().size(), size_t(1));
        }
        {
            Rig rig;
            QVERIFY(rig.registered());
            rig.scanner.device->injectFault({Pipe::Event, Direction::In, FaultKind::TransferError, 0, EPROTO, 0});
            QString event;
            QCOMPARE(rig.channel.getReplyEvent(event), -4);
            QCOMPARE(rig.polls().size(), size_t(1));
        }
        {
            // The press is reported in the text, but the poll that should
            // follow it failed: the caller has to know.
            Rig rig;
            QVERIFY(rig.registered());
            rig.service.pressButton(4);
            rig.scanner.device->injectFault({Pipe::Event, Direction::Out, FaultKind::TransferError, 0, EPROTO, 0});
            QString event;
            QCOMPARE(rig.channel.getReplyEvent(event), -4);
            QCOMPARE(event, QString("4"));
            QVERIFY(!rig.service.pollHeld());
        }
    }

    void unregistrationDrainsThenDeletes()
    {
        Rig rig;
        QVERIFY(rig.registered());
        rig.service.pressButton(2); // answers the held poll: a frame the host never read
        rig.scanner.device->clearTransfers();

        QCOMPARE(rig.channel.eventUnregister(), 0);
        const auto all = rig.scanner.device->transfers(Pipe::Event);
        QCOMPARE(all.size(), size_t(3));
        QCOMPARE(all[0].direction, Direction::In); // the drain took the stale answer
        QCOMPARE(ButtonEventCodec::replyType(qbytes(all[0].bytes)), 69u);
        QVERIFY(text(all[0].bytes).find("\"Event\":\"2\"") != std::string::npos);
        QCOMPARE(all[1].direction, Direction::Out);
        QCOMPARE(all[2].direction, Direction::In);
        QCOMPARE(ButtonEventCodec::replyType(qbytes(all[2].bytes)), 56u);

        const HttpRequest del = readHttpRequest(qbytes(all[1].bytes));
        QVERIFY2(del.error.isEmpty(), qPrintable(del.error));
        QCOMPARE(del.type, 56u);
        QCOMPARE(del.method + " " + del.target,
                 "DELETE http://usb/api/scanner/event?PCID=" + QByteArray(ButtonEventCodec::kClientId));
        QCOMPARE(del.header("Accept"), QByteArray("text/html, */*; q=0.01"));
        QVERIFY(!rig.service.registered());
        for (const char *line : {"eventUnregister", "flushUsbBuffer", "requestUnregister", "replyUnregister"})
            QVERIFY2(traced(line), line);
        QVERIFY2(rig.clean(), qPrintable(errors(rig)));

        // Nothing stale: the drain waits out its own shorter time-out. The
        // transfer time-out is made long here, so that the bound tells the two
        // apart on a busy machine too.
        LinkTimeouts::set(LinkTimeouts::Event, scaledMs(10000));
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(rig.channel.eventUnregister(), 0);
        const qint64 took = clock.elapsed();
        LinkTimeouts::set(LinkTimeouts::Event, eventTimeoutMs());
        QVERIFY2(took >= OxButtonEvent::drainTimeout() - 100, qPrintable(QString::number(took)));
        QVERIFY2(took < scaledMs(10000) / 2, qPrintable(QString::number(took)));
        QCOMPARE(rig.service.requests(event::kUnregister).size(), size_t(2));
    }

    void unregistrationOutcomes()
    {
        {
            Rig rig; // the answer's status is never acted on
            rig.service.scriptReply(event::kUnregister, EventService::replyText(404, "Not Found"));
            QCOMPARE(rig.channel.eventUnregister(), 0);
        }
        {
            Rig rig;
            rig.scanner.device->injectFault({Pipe::Event, Direction::Out, FaultKind::TransferError, 0, EPROTO, 0});
            QCOMPARE(rig.channel.eventUnregister(), -4);
            QCOMPARE(rig.event(Direction::In).size(), size_t(1)); // the drain only
        }
        {
            Rig rig;
            rig.service.scriptReply(event::kUnregister, std::nullopt);
            QCOMPARE(rig.channel.eventUnregister(), -3);
        }
        {
            Rig rig; // the drain's failure is dropped; the reply's is not
            rig.scanner.device->injectFault({Pipe::Event, Direction::In, FaultKind::TransferError, 0, EPROTO, 0});
            rig.scanner.device->injectFault({Pipe::Event, Direction::In, FaultKind::TransferError, 0, EPROTO, 0});
            QCOMPARE(rig.channel.eventUnregister(), -4);
            QCOMPARE(rig.service.requests(event::kUnregister).size(), size_t(1));
        }
    }
};

EMULATOR_TEST_MAIN(TestOxButtonEvent)
#include "tst_oxbuttonevent.moc"

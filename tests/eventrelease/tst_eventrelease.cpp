#include "buttoneventcodec.h"
#include "emulatortest.h"
#include "eventservice.h"
#include "support/processes.h"
#include "support/testtiming.h"
#include "usbport.h"


#include <cerrno>

using namespace emu;

namespace {

std::shared_ptr<ScannerEmulator> scanner(uint16_t vendor, uint16_t product, uint8_t address)
{
    UsbIdentity id;
    id.vendorId = vendor;
    id.productId = product;
    id.busNumber = 4;
    id.deviceAddress = address;
    return std::make_shared<ScannerEmulator>(id);
}

// The installed program, run as its own process. It reaches the scanners
// that this process emulates through the umockdev preload and the testbed
// directory, both inherited through the environment.
using Run = testsupport::ToolRun;

Run runEventRelease()
{
    return testsupport::runTool(QStringLiteral(EVENTRELEASE_PROGRAM), QStringList(), 60000);
}

bool untouched(const ScannerEmulator &dev)
{
    return dev.controlLog().empty() && dev.transfers().empty();
}

std::vector<std::string> controlLog(const ScannerEmulator &dev)
{
    return dev.controlLog();
}

bool contains(const std::vector<std::string> &log, const std::string &line)
{
    return std::find(log.begin(), log.end(), line) != log.end();
}

std::vector<TransferRecord> eventTransfers(const ScannerEmulator &dev, Direction direction)
{
    std::vector<TransferRecord> out;
    for (const TransferRecord &r : dev.transfers(Pipe::Event)) {
        if (r.direction == direction)
            out.push_back(r);
    }
    return out;
}

// The state a console leaves behind: registered, one poll held, and the
// answer to that poll (a press) still waiting in the pipe.
void leaveRegistered(ScannerEmulator &dev, EventService &service)
{
    const QByteArray reg =
        ButtonEventCodec::registrationRequest(ButtonEventCodec::registrationBody({{QString(), "scan"}}, "u"));
    dev.transferOut(Pipe::Event, Bytes(reg.begin(), reg.end()));
    dev.transferIn(Pipe::Event, 1 << 20);
    const QByteArray poll = ButtonEventCodec::longPollRequest(0);
    dev.transferOut(Pipe::Event, Bytes(poll.begin(), poll.end()));
    service.pressButton(1);
    dev.releaseInterface(0); // the model's own transfers claimed it for client 0
    dev.clearTransfers();
}

} // namespace

class TestEventRelease : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(EmulatedBus::preloadActive(), "umockdev preload missing");
        QVERIFY(QFile::exists(QStringLiteral(EVENTRELEASE_PROGRAM)));
    }

    void noSupportedScannerExitsAfterEnumeration()
    {
        {
            EmulatedBus bus;
            QVERIFY(bus.isValid());
            const Run run = runEventRelease();
            QVERIFY(run.finished);
            QCOMPARE(run.code, 0);
        }
        // The model the library admits under its SupportAllModel switch is
        // no scanner for this program, and neither is an unknown product.
        EmulatedBus bus;
        auto debugModel = scanner(ids::kOxVendor, ids::kOxT2750k, 2);
        auto unknown = scanner(ids::kVendor, 0x0316, 3);
        QVERIFY(bus.plug(debugModel));
        QVERIFY(bus.plug(unknown));
        const Run run = runEventRelease();
        QVERIFY(run.finished);
        QCOMPARE(run.code, 0);
        QVERIFY(untouched(*debugModel));
        QVERIFY(untouched(*unknown));
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.err, QByteArray()); // the transport writes no trace lines here
    }

    void onlyTheFirstListedScannerIsReleased()
    {
        EmulatedBus bus;
        auto a = scanner(ids::kVendor, ids::kVR512, 5);
        auto b = scanner(ids::kVendor, ids::kVR540, 6);
        auto other = scanner(ids::kOxVendor, ids::kOxT2750k, 7);
        QVERIFY(bus.plug(a));
        QVERIFY(bus.plug(other));
        QVERIFY(bus.plug(b));
        EventService serviceA, serviceB;
        serviceA.attach(a);
        serviceB.attach(b);

        QList<tagUSB_DEVICE_DESCRIPTION> listed;
        QCOMPARE(USBPort::enumScannerDevices(listed), 2);
        const bool aFirst = listed.first().portName == "4;5;";
        auto &first = aFirst ? a : b;
        auto &second = aFirst ? b : a;
        EventService &service = aFirst ? serviceA : serviceB;
        leaveRegistered(*first, service);
        QVERIFY(service.registered());

        const Run run = runEventRelease();
        QVERIFY(run.finished);
        QCOMPARE(run.code, 0);
        QVERIFY(!service.registered());
        // The first request's drain took the stale press; its reply answered
        // it, and so did the second's: no third request.
        QCOMPARE(service.requests(event::kUnregister).size(), size_t(2));
        QVERIFY(service.protocolErrors().empty());
        QVERIFY(untouched(*second));
        QVERIFY(untouched(*other));

        // Opened as the library opens, and closed at exit by the port's destructor.
        const auto log = controlLog(*first);
        QVERIFY(contains(log, "claim 0"));
        QVERIFY(contains(log, "reset"));
        QCOMPARE(log.back(), std::string("release 0"));
        QVERIFY(!first->interfaceClaimed());
        // The emulator learns that the program closed the device when umockdev's
        // thread sees its socket close, which may come after the program ended.
        QTRY_COMPARE(bus.openHandles(first), 0);

        // Only the device link's lines, and only those the program keeps.
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.err.count("requestUnregister"), 2);
        for (const char *line : {"eventUnregister", "flushUsbBuffer", "replyUnregister", "openDataPort",
                                 "enumScannerDevices", "BulkInLockPort", "HTTP/1.1"})
            QVERIFY2(!run.err.contains(line), line);
    }

    void secondReplyEndsTheRun()
    {
        EmulatedBus bus;
        auto dev = scanner(ids::kVendor, ids::kVR516, 8);
        QVERIFY(bus.plug(dev));
        EventService service;
        service.attach(dev);
        service.scriptReply(event::kUnregister, std::nullopt); // the first request's reply times out

        const Run run = runEventRelease();
        QVERIFY(run.finished);
        QCOMPARE(run.code, 0);
        QCOMPARE(service.requests(event::kUnregister).size(), size_t(2));
    }

    void lastRequestDecidesTheStatus_data()
    {
        QTest::addColumn<bool>("thirdWriteFails");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("requestsSeen");
        QTest::newRow("second and third time out") << false << 253 << 3;
        QTest::newRow("third write fails") << true << 252 << 2;
    }
    void lastRequestDecidesTheStatus()
    {
        QFETCH(bool, thirdWriteFails);
        QFETCH(int, status);
        QFETCH(int, requestsSeen);
        EmulatedBus bus;
        auto dev = scanner(ids::kVendor, ids::kVR516, 9);
        QVERIFY(bus.plug(dev));
        EventService service;
        service.attach(dev);
        for (int i = 0; i < 3; ++i)
            service.scriptReply(event::kUnregister, std::nullopt);
        if (thirdWriteFails)
            dev->injectFault({Pipe::Event, Direction::Out, FaultKind::TransferError, 0, EPROTO, 2});

        const Run run = runEventRelease();
        QVERIFY(run.finished);
        QCOMPARE(run.code, status);
        QCOMPARE(int(service.requests(event::kUnregister).size()), requestsSeen);
        QCOMPARE(eventTransfers(*dev, Direction::Out).size(), size_t(3));
        QTRY_COMPARE(bus.openHandles(dev), 0);
    }

    void openingFails_data()
    {
        QTest::addColumn<int>("op");
        QTest::newRow("claim refused") << int(ControlOp::Claim);
        QTest::newRow("reset fails") << int(ControlOp::Reset);
    }
    void openingFails()
    {
        QFETCH(int, op);
        EmulatedBus bus;
        auto dev = scanner(ids::kVendor, ids::kVR516, 10);
        QVERIFY(bus.plug(dev));
        EventService service;
        service.attach(dev);
        dev->failNextControl(ControlOp(op), EBUSY);

        const Run run = runEventRelease();
        QVERIFY(run.finished);
        QCOMPARE(run.code, 255);
        QVERIFY(dev->transfers().empty());
        QVERIFY(!dev->interfaceClaimed());
        QTRY_COMPARE(bus.openHandles(dev), 0);
    }
};

EMULATOR_TEST_MAIN(TestEventRelease)
#include "tst_eventrelease.moc"

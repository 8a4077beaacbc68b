#include "deviceharness.h"
#include "support/testtiming.h"

#include "configfile.h"
#include "errorhandling.h"

#include <QElapsedTimer>

#include <cerrno>
#include <thread>

using namespace emu;

// USBPort on the real libusb against emulated scanners.
class TestUsbPort : public QObject
{
    Q_OBJECT

    ConfigFile m_config;

    static std::shared_ptr<ScannerEmulator> device(uint16_t vid, uint16_t pid, uint8_t bus, uint8_t address)
    {
        UsbIdentity id;
        id.vendorId = vid;
        id.productId = pid;
        id.busNumber = bus;
        id.deviceAddress = address;
        return std::make_shared<ScannerEmulator>(id);
    }
    static QStringList describe(const QList<tagUSB_DEVICE_DESCRIPTION> &list)
    {
        QStringList out;
        for (const auto &d : list)
            out << d.portName + "=" + d.modelName;
        out.sort();
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(EmulatedBus::preloadActive(), "umockdev preload missing");
        g_pConfigFile = &m_config;
    }
    void cleanupTestCase() { g_pConfigFile = nullptr; }
    void init() { m_config.m_nSupportAllModel = 0; }

    void enumerationListsSupportedModels_data()
    {
        QTest::addColumn<int>("supportAll");
        QTest::addColumn<bool>("config");
        QTest::addColumn<QStringList>("expected");
        const QStringList base = {"1;2;=VR512", "1;3;=VR516", "2;12;=VR540"};
        QTest::newRow("switch 0") << 0 << true << base;
        QTest::newRow("switch 1") << 1 << true << (base + QStringList{"2;5;=Ox T2750k"});
        QTest::newRow("switch 2") << 2 << true << base;
        QTest::newRow("no configuration") << 1 << false << base;
    }
    void enumerationListsSupportedModels()
    {
        QFETCH(int, supportAll);
        QFETCH(bool, config);
        QFETCH(QStringList, expected);
        m_config.m_nSupportAllModel = supportAll;
        if (!config)
            g_pConfigFile = nullptr;

        EmulatedBus bus;
        QVERIFY(bus.plug(device(ids::kVendor, ids::kVR512, 1, 2)));
        QVERIFY(bus.plug(device(ids::kVendor, ids::kVR516, 1, 3)));
        QVERIFY(bus.plug(device(ids::kVendor, ids::kVR540, 2, 12)));
        QVERIFY(bus.plug(device(ids::kOxVendor, ids::kOxT2750k, 2, 5)));
        QVERIFY(bus.plug(device(ids::kOxVendor, 0x103B, 2, 6)));   // the debug vendor, other product
        QVERIFY(bus.plug(device(ids::kVendor, 0x0316, 2, 7)));     // our vendor, unknown product
        QVERIFY(bus.plug(device(0x1234, ids::kVR516, 2, 8)));      // our product id, other vendor

        QList<tagUSB_DEVICE_DESCRIPTION> list;
        list.append(tagUSB_DEVICE_DESCRIPTION{"kept;", "earlier"}); // enumeration appends
        const int n = USBPort::enumScannerDevices(list);
        g_pConfigFile = &m_config;
        QCOMPARE(n, expected.size() + 1);
        QCOMPARE(list.first().portName, QString("kept;"));
        list.removeFirst();
        QCOMPARE(describe(list), expected);
    }

    void enumerationWithNothingAttached()
    {
        EmulatedBus bus;
        QVERIFY(bus.plug(device(0x1234, 0x5678, 1, 2)));
        QList<tagUSB_DEVICE_DESCRIPTION> list;
        QCOMPARE(USBPort::enumScannerDevices(list), 0);
        QVERIFY(list.isEmpty());
    }

    void openClaimsAndCloseReleases()
    {
        EmulatedScanner s;
        QVERIFY(s.plugged);
        QVERIFY(!s.port.isOpen());
        QVERIFY(s.port.openPort());
        QVERIFY(s.port.isOpen());
        QVERIFY(s.device->interfaceClaimed());
        QCOMPARE(s.device->configuration(), 1);
        const auto log = s.device->controlLog();
        // No driver was bound: nothing detached; reset last, after the claim.
        QVERIFY(std::find(log.begin(), log.end(), "disconnect 0") == log.end());
        const auto at = [&](const char *op) { return std::find(log.begin(), log.end(), op) - log.begin(); };
        QVERIFY(at("setconfig 1") < at("claim 0"));
        QVERIFY(at("claim 0") < at("setinterface 0 0"));
        QVERIFY(at("setinterface 0 0") < at("reset"));
        QVERIFY(at("reset") < long(log.size()));

        QCOMPARE(s.bus.openHandles(s.device), 1);
        QCOMPARE(s.port.closePort(), 1);
        QVERIFY(!s.port.isOpen());
        QVERIFY(!s.device->interfaceClaimed());
        QTRY_COMPARE(s.bus.openHandles(s.device), 0);
        const auto after = s.device->controlLog();
        QVERIFY(std::find(after.begin(), after.end(), "connect 0") == after.end());
        QCOMPARE(s.port.closePort(), 1); // closing a closed port is harmless

        // The key survives close, and a second open of an open port leaves
        // one claim behind, not two.
        QVERIFY(s.port.openDataPort());
        QVERIFY(s.port.openDataPort());
        QVERIFY(s.device->interfaceClaimed());
        QTRY_COMPARE(s.bus.openHandles(s.device), 1);
        s.port.closePort();
        QVERIFY(!s.device->interfaceClaimed());
        QTRY_COMPARE(s.bus.openHandles(s.device), 0);
    }

    void kernelDriverIsDetachedAndGivenBack()
    {
        EmulatedScanner s;
        s.device->setKernelDriver("usblp");
        QVERIFY(s.port.openPort());
        QCOMPARE(s.device->kernelDriver(), std::string());
        s.port.closePort();
        QCOMPARE(s.device->kernelDriver(), std::string("usblp"));

        // The detach flag stays with the port object: a later open that found
        // no driver still re-attaches at close.
        s.device->setKernelDriver("");
        QVERIFY(s.port.openPort());
        s.port.closePort();
        const auto log = s.device->controlLog();
        QCOMPARE(std::count(log.begin(), log.end(), std::string("connect 0")), long(2));
    }

    void openFailuresUndoEverything_data()
    {
        QTest::addColumn<int>("op");
        QTest::newRow("set configuration") << int(ControlOp::SetConfiguration);
        QTest::newRow("claim") << int(ControlOp::Claim);
        QTest::newRow("alternate setting") << int(ControlOp::SetInterface);
        QTest::newRow("reset") << int(ControlOp::Reset);
    }
    void openFailuresUndoEverything()
    {
        QFETCH(int, op);
        EmulatedScanner s;
        s.device->setKernelDriver("usblp");
        s.device->failNextControl(ControlOp(op), EIO);
        QVERIFY(!s.port.openPort());
        QVERIFY(!s.port.isOpen());
        QVERIFY(!s.device->interfaceClaimed());
        QCOMPARE(s.device->kernelDriver(), std::string("usblp"));
        QVERIFY(s.port.openPort()); // nothing left behind that blocks the next try
        s.port.closePort();
    }

    void detachFailureLetsTheClaimDecide()
    {
        EmulatedScanner s;
        s.device->setKernelDriver("usblp");
        s.device->failNextControl(ControlOp::Disconnect, EPERM);
        QVERIFY(!s.port.openPort()); // the driver still holds the interface
        QVERIFY(!s.port.isOpen());
        QCOMPARE(s.device->kernelDriver(), std::string("usblp"));
    }

    void keysThatOpenNothing()
    {
        EmulatedScanner s;
        USBPort port;
        QVERIFY(!port.setPort(QString()));
        QVERIFY(!port.openPort());
        QVERIFY(!port.openDataPort());
        QVERIFY(port.setPort("3;8;"));
        QVERIFY(!port.openPort());
        QVERIFY(!port.isOpen());
        QVERIFY(port.setPort("3;7"));
        QVERIFY(!port.openPort());
        QCOMPARE(s.device->controlLog().size(), size_t(0));
        char buffer[4];
        QCOMPARE(port.read(USBPort::Data, buffer, 4, 100), int(RC_NOT_CONNECTED));
        QCOMPARE(port.write(USBPort::Data, buffer, 4, 100), int(RC_NOT_CONNECTED));
        QCOMPARE(port.resetDevice(), int(RC_NOT_CONNECTED));
    }

    void endpointTable()
    {
        QCOMPARE(int(USBPort::getPort(USBPort::Lock, USBPort::Out)), 0x01);
        QCOMPARE(int(USBPort::getPort(USBPort::Lock, USBPort::In)), 0x81);
        QCOMPARE(int(USBPort::getPort(USBPort::Data, USBPort::Out)), 0x02);
        QCOMPARE(int(USBPort::getPort(USBPort::Data, USBPort::In)), 0x82);
        QCOMPARE(int(USBPort::getPort(USBPort::Event, USBPort::Out)), 0x03);
        QCOMPARE(int(USBPort::getPort(USBPort::Event, USBPort::In)), 0x83);
        QCOMPARE(int(USBPort::getPort(USBPort::PortType(0), USBPort::In)), 0);
        QCOMPARE(int(USBPort::getPort(USBPort::PortType(4), USBPort::Out)), 0);
    }

    void transfersMoveExactBytes()
    {
        EmulatedScanner s;
        QVERIFY(s.port.openPort());
        const QByteArray block = QByteArray::fromHex("434d4400000000010000000280010012 00000000");
        QCOMPARE(s.port.write(USBPort::Data, block.constData(), block.size(), 1000), 20);
        char reply[1024];
        QCOMPARE(s.port.read(USBPort::Data, reply, sizeof reply, 1000), 2);
        QCOMPARE(QByteArray(reply, 2), QByteArray::fromHex("0001"));
        QCOMPARE(s.port.read(USBPort::Data, reply, sizeof reply, 1000), 12);
        QCOMPARE(QByteArray(reply, 4), QByteArray("STS\0", 4));

        s.device->queueIn(Pipe::Event, {7, 8, 9});
        QCOMPARE(s.port.read(USBPort::Event, reply, 3, 1000), 3);
        QCOMPARE(s.port.write(USBPort::Event, "abc", 3, 1000), 3);
        const auto events = s.device->transfers(Pipe::Event);
        QCOMPARE(events.size(), size_t(2));
        QVERIFY(events[1].direction == Direction::Out);
        QCOMPARE(text(events[1].bytes), std::string("abc"));
        QVERIFY(s.device->protocolErrors().empty());
        s.port.closePort();
    }

    void transferFailures()
    {
        EmulatedScanner s;
        QVERIFY(s.port.openPort());
        char buffer[64];

        QElapsedTimer t;
        t.start();
        QCOMPARE(s.port.read(USBPort::Lock, buffer, sizeof buffer, 150), int(RC_IO_TIMEOUT));
        QVERIFY(t.elapsed() >= 140);
        QVERIFY(s.device->transfers().back().outcome == TransferRecord::Outcome::TimedOut);

        s.device->injectFault({Pipe::Data, Direction::Out, FaultKind::NoAnswer, 0, 0, 0});
        QCOMPARE(s.port.write(USBPort::Data, "x", 1, 150), int(RC_IO_ERROR)); // a write time-out is an error

        s.device->injectFault({Pipe::Data, Direction::Out, FaultKind::TransferError, 0, EPROTO, 0});
        QCOMPARE(s.port.write(USBPort::Data, "x", 1, 1000), int(RC_IO_ERROR));
        s.device->injectFault({Pipe::Data, Direction::Out, FaultKind::TransferError, 0, EPIPE, 0});
        QCOMPARE(s.port.write(USBPort::Data, "x", 1, 1000), int(RC_IO_ERROR));
        s.device->injectFault({Pipe::Lock, Direction::In, FaultKind::TransferError, 0, EPROTO, 0});
        QCOMPARE(s.port.read(USBPort::Lock, buffer, sizeof buffer, 1000), int(RC_IO_ERROR));

        s.device->injectFault({Pipe::Event, Direction::In, FaultKind::ShortRead, 5, 0, 0});
        s.device->queueIn(Pipe::Event, Bytes(40, 1));
        QCOMPARE(s.port.read(USBPort::Event, buffer, sizeof buffer, 1000), 5);
        s.device->injectFault({Pipe::Event, Direction::In, FaultKind::EmptyRead, 0, 0, 0});
        QCOMPARE(s.port.read(USBPort::Event, buffer, sizeof buffer, 1000), 0);

        // A message longer than a buffer that ends mid-packet overflows.
        s.device->queueIn(Pipe::Event, Bytes(100, 2));
        QCOMPARE(s.port.read(USBPort::Event, buffer, 12, 1000), int(RC_IO_ERROR));

        // After all that the port still works.
        s.device->queueIn(Pipe::Lock, {1});
        QCOMPARE(s.port.read(USBPort::Lock, buffer, sizeof buffer, 1000), 1);
        s.port.closePort();
    }

    void pipesWorkAtTheSameTime()
    {
        EmulatedScanner s;
        QVERIFY(s.port.openPort());
        int eventResult = 0;
        std::thread poller([&] {
            char reply[512];
            eventResult = s.port.read(USBPort::Event, reply, sizeof reply, 5000);
        });
        // The data pipe keeps working while the event read waits.
        const QByteArray block = QByteArray::fromHex("434d4400000000010000000280010012000000000000");
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(s.port.write(USBPort::Data, block.constData(), 20, 1000), 20);
            char reply[1024];
            QCOMPARE(s.port.read(USBPort::Data, reply, sizeof reply, 1000), 2);
            QCOMPARE(s.port.read(USBPort::Data, reply, sizeof reply, 1000), 12);
        }
        s.device->queueIn(Pipe::Event, bytes("press"));
        poller.join();
        QCOMPARE(eventResult, 5);
        s.port.closePort();
    }

    void hotUnplugMidTransfer()
    {
        EmulatedScanner s;
        QVERIFY(s.port.openPort());
        int result = 0;
        const int readTimeout = scaledMs(10000);
        std::thread reader([&] {
            char reply[1024];
            result = s.port.read(USBPort::Data, reply, sizeof reply, readTimeout);
        });
        const bool reading =
            QTest::qWaitFor([&] { return s.device->pendingIn(Pipe::Data) > 0; }, scaledMs(5000));
        QElapsedTimer t;
        t.start();
        s.bus.unplug(s.device);
        reader.join();
        const qint64 took = t.elapsed();
        QVERIFY2(reading, "the read never started");
        QCOMPARE(result, int(RC_IO_ERROR));
        QVERIFY2(took < readTimeout / 2, qPrintable(QString::number(took)));
        QCOMPARE(s.port.write(USBPort::Lock, "x", 1, 1000), int(RC_IO_ERROR));
        QVERIFY(s.port.isOpen()); // the handle stays until closed
        QCOMPARE(s.port.closePort(), 1);
        QVERIFY(!s.port.isOpen());
        QVERIFY(!s.port.openPort()); // gone from the bus
        QList<tagUSB_DEVICE_DESCRIPTION> list;
        QCOMPARE(USBPort::enumScannerDevices(list), 0);
    }

    void unplugByFault()
    {
        EmulatedScanner s;
        QVERIFY(s.port.openPort());
        s.device->injectFault({Pipe::Data, Direction::In, FaultKind::Vanish, 0, 0, 0});
        char reply[16];
        QCOMPARE(s.port.read(USBPort::Data, reply, sizeof reply, 1000), int(RC_IO_ERROR));
        QCOMPARE(s.port.read(USBPort::Data, reply, sizeof reply, 1000), int(RC_IO_ERROR));
        s.port.closePort();
    }

    // Figures for the record: set-up of a bus, open and one exchange; and the
    // rate of 2 MiB reads, the size of an image chunk.
    void measurements()
    {
        QElapsedTimer t;
        t.start();
        qint64 openMs = 0;
        {
            EmulatedScanner s;
            QVERIFY(s.port.openPort());
            const QByteArray block = QByteArray::fromHex("434d4400000000010000000280010012000000000000");
            QCOMPARE(s.port.write(USBPort::Data, block.constData(), 20, 1000), 20);
            char reply[1024];
            QCOMPARE(s.port.read(USBPort::Data, reply, sizeof reply, 1000), 2);
            openMs = t.elapsed();

            const int chunk = 2 * 1024 * 1024;
            const int chunks = 16;
            QByteArray buffer(chunk, '\0');
            for (int i = 0; i < chunks; ++i)
                s.device->queueIn(Pipe::Event, Bytes(size_t(chunk), uint8_t(i)));
            QElapsedTimer rate;
            rate.start();
            for (int i = 0; i < chunks; ++i) {
                QCOMPARE(s.port.read(USBPort::Event, buffer.data(), chunk, 5000), chunk);
                QCOMPARE(int(uchar(buffer[chunk - 1])), i);
            }
            const double seconds = qMax<qint64>(rate.nsecsElapsed(), 1) / 1e9;
            qInfo("bus set-up + open + one exchange: %lld ms", openMs);
            qInfo("bulk IN, %d x 2 MiB: %.1f MB/s", chunks, chunks * chunk / seconds / 1e6);
            s.port.closePort();
        }
        QVERIFY(openMs < scaledMs(5000));
    }
};

EMULATOR_TEST_MAIN(TestUsbPort)
#include "tst_usbport.moc"

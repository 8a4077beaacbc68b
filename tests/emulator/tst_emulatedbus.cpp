#include "emulatortest.h"
#include "support/testtiming.h"

#include <libusb.h>

#include <QElapsedTimer>
#include <thread>

using namespace emu;

// The adapter seen from plain libusb, without any product code: identity and
// descriptors reach libusb through sysfs, and URBs reach the model.
class TestEmulatedBus : public QObject
{
    Q_OBJECT

    static std::shared_ptr<ScannerEmulator> scanner(uint16_t vid, uint16_t pid, uint8_t address)
    {
        UsbIdentity id;
        id.vendorId = vid;
        id.productId = pid;
        id.busNumber = 3;
        id.deviceAddress = address;
        return std::make_shared<ScannerEmulator>(id);
    }

    // Opens the emulated device at 3/address and claims interface 0.
    struct Handle
    {
        libusb_context *ctx = nullptr;
        libusb_device_handle *h = nullptr;
        explicit Handle(uint8_t address)
        {
            libusb_init(&ctx);
            libusb_device **list = nullptr;
            const ssize_t n = libusb_get_device_list(ctx, &list);
            for (ssize_t i = 0; i < n; ++i) {
                if (libusb_get_bus_number(list[i]) == 3 && libusb_get_device_address(list[i]) == address)
                    libusb_open(list[i], &h);
            }
            libusb_free_device_list(list, 1);
            if (h)
                libusb_claim_interface(h, 0);
        }
        ~Handle()
        {
            if (h)
                libusb_close(h);
            libusb_exit(ctx);
        }
        int bulk(unsigned char ep, Bytes &data, int timeout = 1000)
        {
            int done = 0;
            const int rc = libusb_bulk_transfer(h, ep, data.data(), static_cast<int>(data.size()), &done, timeout);
            data.resize(static_cast<size_t>(done));
            return rc;
        }
    };

private slots:
    void initTestCase() { QVERIFY2(EmulatedBus::preloadActive(), "umockdev preload missing"); }

    void identityAndDescriptorsReachLibusb()
    {
        EmulatedBus bus;
        QVERIFY2(bus.isValid(), bus.errorString().c_str());
        QVERIFY(bus.plug(scanner(ids::kVendor, ids::kVR512, 4)));
        QVERIFY(bus.plug(scanner(0x1234, 0x5678, 9)));
        QVERIFY(!bus.plug(scanner(ids::kVendor, ids::kVR540, 9))); // the place is taken

        libusb_context *ctx = nullptr;
        QCOMPARE(libusb_init(&ctx), 0);
        libusb_device **list = nullptr;
        const ssize_t n = libusb_get_device_list(ctx, &list);
        QMap<int, QPair<int, int>> seen;
        for (ssize_t i = 0; i < n; ++i) {
            libusb_device_descriptor dd;
            QCOMPARE(libusb_get_device_descriptor(list[i], &dd), 0);
            seen[libusb_get_device_address(list[i])] = {dd.idVendor, dd.idProduct};
            QCOMPARE(int(libusb_get_bus_number(list[i])), 3);
            libusb_config_descriptor *cfg = nullptr;
            QCOMPARE(libusb_get_active_config_descriptor(list[i], &cfg), 0);
            QCOMPARE(int(cfg->bConfigurationValue), 1);
            QCOMPARE(int(cfg->interface[0].altsetting[0].bNumEndpoints), 6);
            QList<int> addresses;
            for (int e = 0; e < 6; ++e) {
                const auto &ep = cfg->interface[0].altsetting[0].endpoint[e];
                addresses << ep.bEndpointAddress;
                QCOMPARE(int(ep.wMaxPacketSize), 512);
                QCOMPARE(ep.bmAttributes & 3, int(LIBUSB_TRANSFER_TYPE_BULK));
            }
            QCOMPARE(addresses, (QList<int>{0x01, 0x81, 0x02, 0x82, 0x03, 0x83}));
            libusb_free_config_descriptor(cfg);
        }
        libusb_free_device_list(list, 1);
        libusb_exit(ctx);
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[4], qMakePair(int(ids::kVendor), int(ids::kVR512)));
        QCOMPARE(seen[9], qMakePair(0x1234, 0x5678));
    }

    void eachMessageIsOneTransfer()
    {
        EmulatedBus bus;
        auto dev = scanner(ids::kVendor, ids::kVR516, 5);
        QVERIFY(bus.plug(dev));
        Handle h(5);
        QVERIFY(h.h);

        Bytes block = {'C', 'M', 'D', 0, 0, 0, 0, 1, 0, 0, 0, 2, 0x80, 1, 0, 0x12, 0, 0, 0, 0};
        QCOMPARE(h.bulk(0x02, block), 0);
        QCOMPARE(block.size(), size_t(20));
        Bytes reply(1024);
        QCOMPARE(h.bulk(0x82, reply), 0);
        QCOMPARE(reply, (Bytes{0x00, 0x01})); // the data alone, not data and status
        Bytes status(1024);
        QCOMPARE(h.bulk(0x82, status), 0);
        QCOMPARE(status, (Bytes{'S', 'T', 'S', 0, 0, 0, 0, 0, 0, 0, 0, 0}));

        // A 2 MiB message still arrives as one URB.
        Bytes big(2 * 1024 * 1024);
        for (size_t i = 0; i < big.size(); ++i)
            big[i] = static_cast<uint8_t>(i * 7);
        dev->queueIn(Pipe::Event, big);
        Bytes got(big.size());
        QCOMPARE(h.bulk(0x83, got, 5000), 0);
        QVERIFY(got == big);
        QCOMPARE(dev->transfers(Pipe::Event).size(), size_t(1));
        QVERIFY(dev->protocolErrors().empty());
    }

    void timeoutDiscardsTheUrb()
    {
        EmulatedBus bus;
        auto dev = scanner(ids::kVendor, ids::kVR516, 6);
        QVERIFY(bus.plug(dev));
        Handle h(6);
        QVERIFY(h.h);
        Bytes nothing(64);
        QElapsedTimer t;
        t.start();
        QCOMPARE(h.bulk(0x81, nothing, 200), int(LIBUSB_ERROR_TIMEOUT));
        QVERIFY(t.elapsed() >= 190 && t.elapsed() < scaledMs(2000));
        const auto records = dev->transfers();
        QCOMPARE(records.size(), size_t(1));
        QVERIFY(records[0].outcome == TransferRecord::Outcome::TimedOut);

        // The discarded URB took nothing: a later message goes to the next read.
        dev->queueIn(Pipe::Lock, bytes("late"));
        Bytes got(64);
        QCOMPARE(h.bulk(0x81, got), 0);
        QCOMPARE(text(got), std::string("late"));
    }

    void unplugFailsTheTransferInFlight()
    {
        EmulatedBus bus;
        auto dev = scanner(ids::kVendor, ids::kVR516, 7);
        QVERIFY(bus.plug(dev));
        Handle h(7);
        QVERIFY(h.h);
        int rc = 1;
        const int readTimeout = scaledMs(10000);
        std::thread reader([&] {
            Bytes buffer(512);
            rc = h.bulk(0x83, buffer, readTimeout);
        });
        const bool reading =
            QTest::qWaitFor([&] { return dev->pendingIn(Pipe::Event) > 0; }, scaledMs(5000));
        QElapsedTimer t;
        t.start();
        bus.unplug(dev);
        reader.join();
        const qint64 took = t.elapsed();
        QVERIFY2(reading, "the read never started");
        QCOMPARE(rc, int(LIBUSB_ERROR_NO_DEVICE));
        QVERIFY2(took < readTimeout / 2, qPrintable(QString::number(took)));
        Bytes more(12);
        QCOMPARE(h.bulk(0x02, more), int(LIBUSB_ERROR_NO_DEVICE));

        libusb_context *ctx = nullptr;
        libusb_init(&ctx);
        libusb_device **list = nullptr;
        const ssize_t n = libusb_get_device_list(ctx, &list);
        libusb_free_device_list(list, 1);
        libusb_exit(ctx);
        QCOMPARE(n, ssize_t(0));
    }
};

EMULATOR_TEST_MAIN(TestEmulatedBus)
#include "tst_emulatedbus.moc"

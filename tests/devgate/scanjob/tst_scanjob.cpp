#include "configfile.h"
#include "devgate.h"
#include "emulatortest.h"
#include "pagefile.h"
#include "pmessage.h"
#include "records.h"
#include "scannercommands.h"
#include "scanshortcut.h"
#include "scanshortcutmenu.h"

#include <QFile>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

using namespace emu;

namespace {

Bytes wire(const QByteArray &b) { return Bytes(b.begin(), b.end()); }

// A scanner on the emulated bus behind one facade, with a configuration in a
// private directory. The facade goes before the bus (libusb before umockdev).
struct ScanRig
{
    QTemporaryDir dir;
    ConfigFile config;
    EmulatedBus bus;
    std::shared_ptr<ScannerEmulator> device;
    std::unique_ptr<ScannerCommands> scanner;
    std::unique_ptr<Devgate> gate;
    PMessage hub;

    ScanRig()
    {
        qputenv("XDG_CONFIG_HOME", (dir.path() + "/cfg").toUtf8());
        config.loadConfigFile(dir.path());
        UsbIdentity id;
        id.busNumber = 2;
        id.deviceAddress = 5;
        device = std::make_shared<ScannerEmulator>(id);
        scanner = std::make_unique<ScannerCommands>(*device);
        bus.plug(device);
        gate = std::make_unique<Devgate>();
        gate->setConfigFile(&config);
        setPaper(true);
    }
    ~ScanRig() { gate.reset(); }

    bool open() { return gate->openPort("2;5;"); }
    void setPaper(bool present) { device->setRecord(rec::kPaperDetected, Bytes{uint8_t(present ? 1 : 0)}); }

    // A raw black-and-white page of 1 x 0.5 inch at 200 dpi on the given side.
    void queueBwPage(int side, quint8 blankContent = 50, int notReady = 0)
    {
        tagREQUEST_HEADER h;
        h.CameraType = quint8(side);
        h.ImageFormat = 0;
        h.ImageResolutionX = h.ImageResolutionY = 200;
        h.ImageWidth = 1200;
        h.ImageHeight = 600;
        h.CompressionMode = 0;
        h.BlankImageContent = blankContent;
        const qint64 bytes = PageFile::rowBytes(0, 200) * 100;
        h.ImageSize = quint32(bytes);
        Page p;
        QByteArray hb;
        encodeRequestHeader(h, hb);
        p.header = wire(hb);
        p.image.assign(size_t(bytes), 0x0f);
        p.notReadyPolls = unsigned(notReady);
        scanner->queuePage(p);
    }

    static tagSCAN_SHORTCUT_MENU builtIn(int index)
    {
        ScanShortcutMenu store;
        store.loadDefaultScanShortcut();
        tagSCAN_SHORTCUT_MENU p;
        store.getScanShortcutItem(index, p);
        return p;
    }

    int opcodeCount(uint8_t opcode) const
    {
        int n = 0;
        for (const Command &c : device->commands())
            n += c.opcode == opcode;
        return n;
    }
};

} // namespace

class TestScanJob : public QObject
{
    Q_OBJECT
private slots:
    void guardsWithClosedPort()
    {
        ScanRig rig;
        auto profile = ScanRig::builtIn(0);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), -7);
        QCOMPARE(rig.gate->eventUnregister(), -7);
        QCOMPARE(rig.gate->resetDevice(), -7);
        rig.gate->setReplyEvent(true);
        QVERIFY(rig.gate->getReplyEvent());
        QVERIFY(!rig.gate->openPort(""));
        QVERIFY(!rig.gate->isOpen());
        QList<tagUSB_DEVICE_DESCRIPTION> found;
        QCOMPARE(Devgate::enumScannerDevices(found), 1);
        QCOMPARE(found.value(0).portName, QString("2;5;"));
        QVERIFY(rig.device->commands().empty());
    }

    void duplexScanGivesPagesSignalsAndLog()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        rig.queueBwPage(0);
        rig.queueBwPage(1);
        auto profile = ScanRig::builtIn(0); // black and white, both sides, raw
        QStringList files;
        QList<int> sides;
        connect(&rig.hub, &PMessage::scanFileName, this,
                [&](SCAN_SHORTCUT_MENU *, QString f, schar side, QStringList, int w, int h, int res, int) {
                    files << f;
                    sides << side;
                    QCOMPARE(w, 200);
                    QCOMPARE(h, 100);
                    QCOMPARE(res, 200);
                }, Qt::DirectConnection);
        QSignalSpy finish(&rig.hub, &PMessage::scanFinish);

        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(files.size(), 2);
        QCOMPARE(sides, (QList<int>{0, 1}));
        for (const QString &f : files) {
            QImage page(f);
            QVERIFY2(!page.isNull(), qPrintable(f));
            QCOMPARE(page.size(), QSize(200, 100));
            QVERIFY(f.startsWith(rig.config.m_strTempDir));
        }
        QCOMPARE(finish.size(), 1);
        // Two windows for a duplex black-and-white profile, one scan, one end.
        QCOMPARE(rig.opcodeCount(op::kCreateCamera), 2);
        QCOMPARE(rig.opcodeCount(op::kScanBegin), 1);
        QCOMPARE(rig.opcodeCount(op::kScanEnd), 1);
        QVERIFY(!rig.device->lockHeld());
        QVERIFY(rig.scanner->errors().empty());
        QFile log(rig.config.m_strScanLogFile);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(!log.readAll().isEmpty());
        rig.gate->closePort();
    }

    void blankPagesAreDroppedByContentAmount()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        auto profile = ScanRig::builtIn(0);
        for (auto &block : profile.sideSettings) {
            block.blankImageDeletion = BlankImageModeFlag(1);
            block.contentAmount = 40;
        }
        rig.queueBwPage(0, 40); // equal: dropped
        rig.queueBwPage(1, 41); // above: kept
        QSignalSpy pages(&rig.hub, &PMessage::scanFileName);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(pages.size(), 1);
        rig.gate->closePort();
    }

    void failureBeforeScanBeginUnlocksWithoutScanEnd()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        rig.device->scriptStatus(op::kConfig, 3);
        auto profile = ScanRig::builtIn(0);
        QSignalSpy finish(&rig.hub, &PMessage::scanFinish);
        const int rc = rig.gate->startJob(&profile, &rig.hub);
        QVERIFY(rc < 0);
        QCOMPARE(rig.opcodeCount(op::kScanEnd), 0);
        QCOMPARE(finish.size(), 0);
        QVERIFY(!rig.device->lockHeld());
        rig.gate->closePort();
    }

    void secondJobIsBusyAndCancelEndsTheFirst()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        auto profile = ScanRig::builtIn(0);
        // The page is announced only after many "no image ready" polls, so the
        // first job sits in its header poll.
        rig.queueBwPage(0, 50, 100000);
        std::atomic<int> first{1};
        QThread *worker = QThread::create([&] { first = rig.gate->startJob(&profile, &rig.hub); });
        worker->start();
        QTRY_VERIFY_WITH_TIMEOUT(rig.opcodeCount(op::kRequestHeader) > 0, 10000);

        QElapsedTimer t;
        t.start();
        auto other = ScanRig::builtIn(1);
        QCOMPARE(rig.gate->startJob(&other, &rig.hub), -8);
        QVERIFY(t.elapsed() < 1000);

        QSignalSpy finish(&rig.hub, &PMessage::scanFinish);
        rig.gate->cancelJob();
        QVERIFY(worker->wait(10000));
        delete worker;
        QCOMPARE(first.load(), -34);
        QCOMPARE(rig.scanner->stopRequests(), 1u);
        QCOMPARE(rig.opcodeCount(op::kScanEnd), 1);
        QCOMPARE(finish.size(), 1);
        rig.gate->closePort();
    }

    void closePortWaitsForTheRunningJob()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        rig.setPaper(false); // the job waits for paper
        auto profile = ScanRig::builtIn(0);
        std::atomic<int> result{1};
        QThread *worker = QThread::create([&] { result = rig.gate->startJob(&profile, &rig.hub); });
        worker->start();
        QTRY_VERIFY_WITH_TIMEOUT(rig.opcodeCount(op::kPaperDetected) > 1, 10000);
        QThread *canceller = QThread::create([&] {
            QThread::msleep(300);
            rig.gate->cancelJob();
        });
        canceller->start();
        rig.gate->closePort(); // returns only once the job released the mutex
        QVERIFY(canceller->wait(5000));
        delete canceller;
        QCOMPARE(result.load(), -34);
        QVERIFY(!rig.gate->isOpen());
        QVERIFY(worker->wait(5000));
        delete worker;
    }
};

EMULATOR_TEST_MAIN(TestScanJob)
#include "tst_scanjob.moc"

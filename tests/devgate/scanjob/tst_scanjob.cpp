#include "devgate/facaderig.h"
#include "oxcommand.h"
#include "support/testtiming.h"

#include <QBuffer>
#include <QDir>
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

// The scan tests' scanner: paper in the feeder unless a test says otherwise.
struct ScanRig : FacadeRig
{
    ScanRig()
        : FacadeRig(2, 5)
    {
        start();
        setPaper(true);
    }

    // A raw black-and-white page of 1 x 0.5 inch at 200 dpi on the given side.
    void queueBwPage(int side, quint8 blankContent = 50, int notReady = 0, quint8 multifeed = 0)
    {
        queueRawPage(side, 0x0f, blankContent, unsigned(notReady), multifeed);
    }

    // A page of the given colour type: JPEG bytes (compression 2) or raw rows.
    void queueImagePage(int side, int format, int compression, int resolution)
    {
        tagREQUEST_HEADER h;
        h.CameraType = quint8(side);
        h.ImageFormat = quint8(format);
        h.ImageResolutionX = h.ImageResolutionY = quint16(resolution);
        h.ImageWidth = 2400; // 2 x 1 inch
        h.ImageHeight = 1200;
        h.CompressionMode = quint8(compression);
        h.BlankImageContent = 50;
        h.PrinterIndex = 1; // the first sheet of a job counted from 1
        const int w = resolution * 2, hgt = resolution;
        QByteArray data;
        if (compression == 2) {
            QImage img(w, hgt, format == 2 ? QImage::Format_RGB888 : QImage::Format_Grayscale8);
            img.fill(QColor(200, 40, 40));
            QBuffer buf(&data);
            buf.open(QIODevice::WriteOnly);
            img.save(&buf, "JPEG");
        } else {
            data = QByteArray(int(PageFile::rowBytes(format, w) * hgt), char(0x80));
        }
        h.ImageSize = quint32(data.size());
        Page p;
        QByteArray hb;
        encodeRequestHeader(h, hb);
        p.header = wire(hb);
        p.image.assign(data.begin(), data.end());
        scanner->queuePage(p);
    }

    void setInquiry(quint8 paperSourceState, quint8 promptToStart = 0)
    {
        tagINQUIRY inquiry;
        inquiry.PaperSourceState = paperSourceState;
        inquiry.PromptToStart = promptToStart;
        QByteArray b;
        encodeInquiry(inquiry, b);
        device->setRecord(rec::kInquiry, wire(b));
    }

    static tagSCAN_SHORTCUT_MENU frontOnly()
    {
        auto p = builtIn(0);
        p.inputDocument = InputDocumentFront;
        p.sideStream = SideFront;
        return p;
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
        QTRY_VERIFY_WITH_TIMEOUT(rig.opcodeCount(op::kRequestHeader) > 0, scaledMs(10000));

        QElapsedTimer t;
        t.start();
        auto other = ScanRig::builtIn(1);
        QCOMPARE(rig.gate->startJob(&other, &rig.hub), -8);
        QVERIFY(t.elapsed() < OxCommand::lockTimeout() / 2);

        QSignalSpy finish(&rig.hub, &PMessage::scanFinish);
        rig.gate->cancelJob();
        QVERIFY(worker->wait(scaledMs(10000)));
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
        QTRY_VERIFY_WITH_TIMEOUT(rig.opcodeCount(op::kPaperDetected) > 1, scaledMs(10000));
        QThread *canceller = QThread::create([&] {
            QThread::msleep(300);
            rig.gate->cancelJob();
        });
        canceller->start();
        rig.gate->closePort(); // returns only once the job released the mutex
        QVERIFY(canceller->wait(scaledMs(5000)));
        delete canceller;
        QCOMPARE(result.load(), -34);
        QVERIFY(!rig.gate->isOpen());
        QVERIFY(worker->wait(scaledMs(5000)));
        delete worker;
    }

    void wakingScannerIsRetriedThenScanned()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        rig.device->setWaking(3);
        rig.queueBwPage(0);
        auto profile = ScanRig::frontOnly();
        QElapsedTimer t;
        t.start();
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QVERIFY2(t.elapsed() >= 1400, "three waking answers are 500 ms apart");
        QVERIFY(!rig.device->lockHeld());
        rig.gate->closePort();
    }

    void previewReportsContentAndKeepsEveryPage()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        rig.setPaper(false); // a preview with auto update never waits for paper
        auto profile = ScanRig::builtIn(0);
        profile.previewMode = 1;
        profile.previewAutoUpdate = PreviewAutoUpdateOn;
        for (auto &block : profile.sideSettings)
            block.blankImageDeletion = BlankImageModeFlag(1), block.contentAmount = 99;
        rig.queueBwPage(0, 7);
        rig.queueBwPage(1, 9);
        QList<QPair<int, int>> content;
        connect(&rig.hub, &PMessage::sendBlankImageContent, this,
                [&](int n, uchar c) { content << qMakePair(n, int(c)); }, Qt::DirectConnection);
        QSignalSpy pages(&rig.hub, &PMessage::scanFileName);
        QSignalSpy finish(&rig.hub, &PMessage::scanFinish);
        const QByteArray logBefore = QFile(rig.config.m_strScanLogFile).exists() ? QByteArray("x") : QByteArray();
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(content, (QList<QPair<int, int>>{{0, 7}, {1, 9}}));
        QCOMPARE(pages.size(), 2);
        QCOMPARE(finish.size(), 1);
        // The index is repeated as the amount and no log record is written.
        QCOMPARE(finish.at(0).at(1).toInt(), finish.at(0).at(3).toInt());
        QVERIFY(logBefore.isEmpty() && !QFile::exists(rig.config.m_strScanLogFile));
        rig.gate->closePort();
    }

    void fourUpMergesFullGroupsAndTheRestAtTheEnd()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        auto profile = ScanRig::frontOnly();
        profile.combineType = CombineFour;
        for (int i = 0; i < 5; ++i)
            rig.queueBwPage(0);
        QStringList files;
        connect(&rig.hub, &PMessage::scanFileName, this,
                [&](SCAN_SHORTCUT_MENU *, QString f, schar, QStringList, int, int, int, int) { files << f; },
                Qt::DirectConnection);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(files.size(), 2);
        for (const QString &f : files)
            QVERIFY2(!QImage(f).isNull(), qPrintable(f));
        rig.gate->closePort();
    }

    void multifedSheetAnswers_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("pagesOut");
        QTest::addColumn<bool>("heldFilesKept");
        QTest::newRow("keep") << 1 << 0 << 2 << true;      // held page, then the next sheet
        QTest::newRow("stop") << 2 << -23 << 0 << false;
        QTest::newRow("rescan") << 3 << 0 << 1 << false;   // only the next sheet
    }
    void multifedSheetAnswers()
    {
        QFETCH(int, answer);
        ScanRig rig;
        QVERIFY(rig.open());
        auto profile = ScanRig::frontOnly();
        profile.multifeedResponse = MultifeedInteractive;
        rig.queueBwPage(0, 50, 0, 1); // multifed sheet
        rig.queueBwPage(0);           // the next sheet
        QStringList held;
        connect(&rig.hub, &PMessage::scanningMultifeed, this, [&](QStringList files) {
            held = files;
            rig.gate->setMultifeedUserInput(answer); // the user answers at once
        }, Qt::DirectConnection);
        QStringList out;
        QMap<QString, int> barcodeEntries;
        connect(&rig.hub, &PMessage::scanFileName, this,
                [&](SCAN_SHORTCUT_MENU *, QString f, schar, QStringList codes, int, int, int, int) {
                    out << f;
                    barcodeEntries[f] = codes.size();
                }, Qt::DirectConnection);
        QTEST(rig.gate->startJob(&profile, &rig.hub), "result");
        QCOMPARE(held.size(), 1);
        QTEST(int(out.size()), "pagesOut");
        QTEST(QFile::exists(held.value(0)), "heldFilesKept");
        // A kept held page goes out, with exactly one barcode entry.
        QCOMPARE(out.contains(held.value(0)), answer == 1);
        if (answer == 1)
            QCOMPARE(barcodeEntries.value(held.value(0)), 1);
        QCOMPARE(rig.scanner->hostInputs(), (std::vector<uint8_t>{uint8_t(answer)}));
        rig.gate->closePort();
    }

    void flatbedWithoutFlatbedFailsAtOnce()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        rig.setInquiry(1);
        auto profile = ScanRig::frontOnly();
        profile.paperSource = PaperSourceFlatbed;
        QSignalSpy paper(&rig.hub, &PMessage::updatePaperStatus);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), -35);
        QCOMPARE(paper.size(), 0);
        QCOMPARE(rig.opcodeCount(op::kScanBegin), 0);
        rig.gate->closePort();
    }

    void paperWaitRules()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        rig.setPaper(false);
        // Automatic source with a flatbed to fall back to: scans at once.
        rig.setInquiry(5);
        auto profile = ScanRig::frontOnly();
        profile.paperSource = PaperSourceAutomatic;
        profile.autoStartScanning = true;
        QList<QPair<bool, bool>> reports;
        connect(&rig.hub, &PMessage::updatePaperStatus, this,
                [&](bool found, bool done) { reports << qMakePair(found, done); }, Qt::DirectConnection);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(reports, (QList<QPair<bool, bool>>{{true, true}}));

        // Auto start off: one final report, and the job goes on without paper.
        reports.clear();
        rig.setInquiry(0);
        profile.paperSource = PaperSourceFeeder;
        profile.autoStartScanning = false;
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(reports, (QList<QPair<bool, bool>>{{false, true}}));
        rig.gate->closePort();
    }

    void countOnlyGivesPlaceholderPages()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        auto profile = ScanRig::frontOnly();
        profile.countOnly = true;
        rig.queueBwPage(0);
        QStringList files;
        connect(&rig.hub, &PMessage::scanFileName, this,
                [&](SCAN_SHORTCUT_MENU *, QString f, schar, QStringList, int, int, int, int) { files << f; },
                Qt::DirectConnection);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(files.size(), 1);
        QCOMPARE(QImage(files.value(0)).size(), QSize(PageFile::PlaceholderWidth, PageFile::PlaceholderHeight));
        rig.gate->closePort();
    }
    void busyLockEndsTheJobAtOnce()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        rig.device->setLockHeldByOtherHost(true);
        auto profile = ScanRig::frontOnly();
        QElapsedTimer t;
        t.start();
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), -8);
        QVERIFY(t.elapsed() < OxCommand::lockTimeout() / 2);
        QVERIFY(rig.device->commands().empty());
        rig.gate->closePort();
    }

    void acceptedMultifedSheetJoinsTheMergeGroupWhole()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        auto profile = ScanRig::builtIn(0); // both sides: two images a sheet
        profile.combineType = CombineTwo;
        profile.multifeedResponse = MultifeedInteractive;
        rig.queueBwPage(0, 50, 0, 1);
        rig.queueBwPage(1, 50, 0, 1);
        connect(&rig.hub, &PMessage::scanningMultifeed, this,
                [&](QStringList) { rig.gate->setMultifeedUserInput(1); }, Qt::DirectConnection);
        QList<QSize> out;
        connect(&rig.hub, &PMessage::scanFileName, this,
                [&](SCAN_SHORTCUT_MENU *, QString f, schar, QStringList, int, int, int, int) {
                    out << QImage(f).size();
                }, Qt::DirectConnection);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        // Both pages of the sheet in one merged page, not the last one alone.
        QCOMPARE(out.size(), 1);
        QVERIFY(out[0].width() * out[0].height() >= 2 * 200 * 100);
        rig.gate->closePort();
    }

    void unansweredHeldPagesAreRemovedAtTheEnd()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        auto profile = ScanRig::frontOnly();
        profile.multifeedResponse = MultifeedStop; // pages held, never answered
        rig.queueBwPage(0, 50, 0, 1);
        QSignalSpy pages(&rig.hub, &PMessage::scanFileName);
        rig.gate->startJob(&profile, &rig.hub);
        QCOMPARE(pages.size(), 0);
        QCOMPARE(QDir(rig.config.m_strTempDir).entryList(QDir::Files), QStringList());
        rig.gate->closePort();
    }

    void jobWithoutPagesCountsNoSheet()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        auto profile = ScanRig::frontOnly();
        profile.printerIndex = 7;
        QSignalSpy finish(&rig.hub, &PMessage::scanFinish);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(finish.size(), 1);
        QCOMPARE(finish.at(0).at(1).toInt(), 7); // index not advanced
        QCOMPARE(finish.at(0).at(3).toInt(), 0); // no sheet
        rig.gate->closePort();
    }
    void paperArrivingAfterPolls()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        rig.setPaper(false);
        rig.queueBwPage(0);
        auto profile = ScanRig::frontOnly();
        profile.autoStartScanning = true;
        QList<QPair<bool, bool>> reports;
        connect(&rig.hub, &PMessage::updatePaperStatus, this, [&](bool found, bool done) {
            reports << qMakePair(found, done);
            if (reports.size() == 2)
                rig.setPaper(true); // the user puts paper in the tray
        }, Qt::DirectConnection);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(reports, (QList<QPair<bool, bool>>{{false, false}, {false, false}, {true, true}}));
        rig.gate->closePort();
    }

    void jamInPlaceOfAHeaderEndsCleanly()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        rig.device->scriptStatus(op::kRequestHeader, status::kPaperJam);
        auto profile = ScanRig::frontOnly();
        QSignalSpy pages(&rig.hub, &PMessage::scanFileName);
        QSignalSpy finish(&rig.hub, &PMessage::scanFinish);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), -22);
        QCOMPARE(pages.size(), 0);
        QCOMPARE(rig.opcodeCount(op::kScanEnd), 1);
        QCOMPARE(finish.size(), 1);
        QVERIFY(!rig.device->lockHeld());
        rig.gate->closePort();
    }

    void panelAnswersTheMultifedSheet()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        auto profile = ScanRig::frontOnly();
        profile.multifeedResponse = MultifeedInteractive;
        rig.queueBwPage(0, 50, 0, 1);
        rig.queueBwPage(0);
        rig.scanner->queuePanelInput(3); // rescan, chosen on the scanner
        QStringList held, out;
        connect(&rig.hub, &PMessage::scanningMultifeed, this, [&](QStringList f) { held = f; },
                Qt::DirectConnection);
        connect(&rig.hub, &PMessage::scanFileName, this,
                [&](SCAN_SHORTCUT_MENU *, QString f, schar, QStringList, int, int, int, int) { out << f; },
                Qt::DirectConnection);
        QSignalSpy panel(&rig.hub, &PMessage::userInputFromPanel);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(held.size(), 1);
        QVERIFY(!QFile::exists(held.value(0)));
        QCOMPARE(out.size(), 1);
        // The console hears the panel's answer, and the device gets it echoed.
        QCOMPARE(panel.size(), 1);
        QCOMPARE(panel.at(0).at(0).toInt(), 3);
        QCOMPARE(rig.scanner->hostInputs(), (std::vector<uint8_t>{3}));
        rig.gate->closePort();
    }

    void deviceVanishingMidJobAnnouncesOnlyWrittenPages()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        for (int i = 0; i < 3; ++i)
            rig.queueBwPage(0);
        auto profile = ScanRig::frontOnly();
        QStringList out;
        connect(&rig.hub, &PMessage::scanFileName, this,
                [&](SCAN_SHORTCUT_MENU *, QString f, schar, QStringList, int, int, int, int) {
                    out << f;
                    if (out.size() == 1) {
                        Fault gone;
                        gone.pipe = Pipe::Data;
                        gone.direction = Direction::In;
                        gone.kind = FaultKind::Vanish;
                        gone.skip = 1; // the next header arrives, its image never does
                        rig.device->injectFault(gone);
                    }
                }, Qt::DirectConnection);
        const int rc = rig.gate->startJob(&profile, &rig.hub);
        QVERIFY2(rc < 0, qPrintable(QString::number(rc)));
        QCOMPARE(out.size(), 1);
        QVERIFY(QFile::exists(out.value(0)));
        rig.gate->closePort();
    }
    void colourAndGreyDuplexScans_data()
    {
        QTest::addColumn<int>("builtIn");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("compression");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("colour jpeg") << 4 << 2 << 2 << "jpg";
        QTest::newRow("grey jpeg") << 3 << 1 << 2 << "jpg";
        QTest::newRow("grey bitmap") << 3 << 1 << 0 << "bmp";
    }
    void colourAndGreyDuplexScans()
    {
        QFETCH(int, builtIn);
        QFETCH(int, format);
        QFETCH(int, compression);
        QFETCH(QString, suffix);
        ScanRig rig;
        QVERIFY(rig.open());
        auto profile = ScanRig::builtIn(builtIn);
        profile.sideStream = SideBoth; // one stream a side: two windows
        for (auto &block : profile.sideSettings)
            block.compressionType = CompressionTypeFlag(compression);
        rig.queueImagePage(0, format, compression, 200);
        rig.queueImagePage(1, format, compression, 200);
        QStringList order;
        connect(&rig.hub, &PMessage::updatePaperStatus, this,
                [&](bool f, bool d) { order << QString("paper %1 %2").arg(f).arg(d); }, Qt::DirectConnection);
        connect(&rig.hub, &PMessage::scanFileName, this,
                [&](SCAN_SHORTCUT_MENU *p, QString f, schar side, QStringList, int w, int h, int res, int colour) {
                    QCOMPARE(p, &profile);
                    QVERIFY2(f.endsWith("." + suffix), qPrintable(f));
                    const QImage img(f);
                    QCOMPARE(img.size(), QSize(400, 200));
                    QCOMPARE(img.isGrayscale(), format == 1);
                    order << QString("page %1 %2x%3 %4 %5").arg(side).arg(w).arg(h).arg(res).arg(colour);
                }, Qt::DirectConnection);
        connect(&rig.hub, &PMessage::scanFinish, this,
                [&](SCAN_SHORTCUT_MENU *, int index, int, int sheets, int, int) {
                    order << QString("finish %1 %2").arg(index).arg(sheets);
                }, Qt::DirectConnection);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(order, (QStringList{"paper 1 1",
                                     QString("page 0 400x200 200 %1").arg(format),
                                     QString("page 1 400x200 200 %1").arg(format),
                                     "finish 2 1"}));
        const std::vector<uint8_t> expected = {
            op::kInterfaceVersion, op::kInquiry, op::kStampInquiry, op::kTimeDate, op::kTimeDate,
            op::kLanguage, op::kConfig, op::kSnapToSizeList, op::kConfig, op::kEcdo,
            op::kPaperDetected, op::kPaperDetected, op::kStampConfig, op::kRequestOverrides,
            op::kCreateCamera, op::kCreateCamera, op::kWindowAdd, op::kWindowAdd, op::kWindowOrder,
            op::kScanBegin, op::kRequestHeader, op::kRequestImage, op::kRequestHeader,
            op::kRequestImage, op::kRequestHeader, op::kScanEnd};
        QCOMPARE(rig.opcodes(), expected);
        QVERIFY(rig.scanner->errors().empty());
        rig.gate->closePort();
    }

    void cancelledJobIsLoggedAsCancelled()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        rig.queueBwPage(0, 50, 100000);
        auto profile = ScanRig::frontOnly();
        std::atomic<int> result{1};
        std::unique_ptr<QThread> worker(
            QThread::create([&] { result = rig.gate->startJob(&profile, &rig.hub); }));
        worker->start();
        QTRY_VERIFY_WITH_TIMEOUT(rig.opcodeCount(op::kRequestHeader) > 0, scaledMs(10000));
        rig.gate->cancelJob();
        QVERIFY(worker->wait(scaledMs(10000)));
        QCOMPARE(result.load(), -34);
        QFile log(rig.config.m_strScanLogFile);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(log.readAll()).contains(QString::fromUtf8("用户取消扫描")));
        QVERIFY(!rig.device->lockHeld());
        rig.gate->closePort();
    }

    void tenWakingAnswersThenTheJobGoesOn()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        rig.device->setWaking(10);
        auto profile = ScanRig::frontOnly();
        QElapsedTimer t;
        t.start();
        rig.gate->startJob(&profile, &rig.hub);
        QVERIFY(t.elapsed() >= 4500);
        QCOMPARE(rig.opcodes().front(), op::kInterfaceVersion);
        rig.gate->closePort();
    }
};

EMULATOR_TEST_MAIN(TestScanJob)
#include "tst_scanjob.moc"

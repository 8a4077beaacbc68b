// Scan jobs whose pages take the longer roads: N-up groups with grey copies
// and multifed sheets, barcodes of merged sheets, a disk that refuses a page,
// a scanner that leaves, a cancel that comes early. Each case checks the
// files on disk against what the job announced: every page out once, each
// merged sheet with its own barcodes, nothing left behind.
#include "devgate/facaderig.h"
#include "errorhandling.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QSet>
#include <QSignalSpy>
#include <QtTest>

#include <sys/resource.h>

#include <csignal>

using namespace emu;

namespace {

struct Given
{
    QString file;
    int side;
    QStringList barcodes;
    int colorType;
};

struct Rig : FacadeRig
{
    QList<Given> given;

    Rig() : FacadeRig(2, 9)
    {
        start();
        setPaper(true);
        QObject::connect(
            &hub, &PMessage::scanFileName, &hub,
            [this](SCAN_SHORTCUT_MENU *, QString f, schar side, QStringList codes, int, int, int,
                   int colour) {
                given.append({f, side, codes, colour});
            },
            Qt::DirectConnection);
    }

    // Answers every multifed sheet as the console would, from the signal.
    void answerMultifedSheets(int answer)
    {
        QObject::connect(
            &hub, &PMessage::scanningMultifeed, &hub,
            [this, answer](QStringList) { gate->setMultifeedUserInput(answer); },
            Qt::DirectConnection);
    }

    static tagSCAN_SHORTCUT_MENU profile(InputDocumentFlag input, OxAdvancedSettingSideFlag side,
                                         CombineTypeFlag combine)
    {
        auto p = builtIn(0);
        p.inputDocument = input;
        p.sideStream = side;
        p.combineType = combine;
        return p;
    }

    static PageSpec colourJpeg(quint8 multifeed = 0, std::vector<std::string> codes = {})
    {
        PageSpec s;
        s.format = 2;
        s.compression = 2;
        s.width = 160;
        s.height = 80;
        s.multifeed = multifeed;
        s.barcodes = std::move(codes);
        return s;
    }
    static PageSpec bw(quint8 multifeed = 0, std::vector<std::string> codes = {})
    {
        PageSpec s;
        s.multifeed = multifeed;
        s.barcodes = std::move(codes);
        return s;
    }

    QStringList filesLeft() const
    {
        QStringList out;
        for (const QString &f : QDir(config.m_strTempDir).entryList(QDir::Files))
            out << QDir(config.m_strTempDir).filePath(f);
        return out;
    }

    // Every announced file exists and decodes, none twice, and the
    // temporary folder holds exactly these.
    QString announcedOnceAndNothingLeft() const
    {
        QSet<QString> seen;
        for (const Given &g : given) {
            if (seen.contains(g.file))
                return "announced twice: " + g.file;
            seen.insert(g.file);
            if (!QImageReader(g.file).canRead())
                return "does not decode: " + g.file;
        }
        const QStringList left = filesLeft();
        if (QSet<QString>(left.begin(), left.end()) != seen)
            return QString("left behind: %1, announced: %2")
                .arg(left.join(','))
                .arg(QStringList(seen.values()).join(','));
        return QString();
    }

    int greyPagesGiven() const
    {
        int n = 0;
        for (const Given &g : given)
            n += QImage(g.file).isGrayscale();
        return n;
    }
};

#define CHECK_FILES(rig)                                                                           \
    do {                                                                                           \
        const QString problem = (rig).announcedOnceAndNothingLeft();                               \
        QVERIFY2(problem.isEmpty(), qPrintable(problem));                                          \
    } while (0)

} // namespace

class TestScanJobFaults : public QObject
{
    Q_OBJECT
private slots:
    // The grey copy of a page that completes a 2-up group used to be lost:
    // the merge had deleted the colour file it is made from.
    void greyCopiesOfMergedPages()
    {
        Rig rig;
        QVERIFY(rig.open());
        for (int i = 0; i < 3; ++i)
            rig.queuePage(Rig::colourJpeg());
        auto profile = Rig::profile(InputDocumentFront, SideColorGrayFront, CombineTwo);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        // Three grey copies, a merged sheet of two pages and one of the third.
        QCOMPARE(rig.given.size(), 5);
        QCOMPARE(rig.greyPagesGiven(), 3);
        CHECK_FILES(rig);
        rig.gate->closePort();
    }

    // Held grey copies of an accepted multifed sheet go out on their own;
    // only its colour pages join the group.
    void acceptedMultifedSheetKeepsGreyCopiesOutOfTheGroup()
    {
        Rig rig;
        QVERIFY(rig.open());
        rig.answerMultifedSheets(1);
        rig.queuePage(Rig::colourJpeg(1));
        rig.queuePage(Rig::colourJpeg());
        auto profile = Rig::profile(InputDocumentFront, SideColorGrayFront, CombineTwo);
        profile.multifeedResponse = MultifeedInteractive;
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(rig.given.size(), 3);
        QCOMPARE(rig.greyPagesGiven(), 2);
        CHECK_FILES(rig);
        rig.gate->closePort();
    }

    void barcodesBelongToTheirMergedSheet_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<QList<QStringList>>("sheets");
        // Front only with two windows: the multifed sheet brings two pages,
        // the first completes the group of "A", the second starts the next.
        QTest::newRow("held pages span a group boundary")
            << 1 << 0 << QList<QStringList>{{"A", "B"}, {"C", "D"}};
        // A rescanned sheet's codes must not reach the next merged sheet.
        QTest::newRow("rescanned sheet") << 3 << 0 << QList<QStringList>{{"A", "D"}};
        // Nor a stopped sheet's the group merged at the end.
        QTest::newRow("stopped sheet") << 2 << -23 << QList<QStringList>{{"A"}};
    }
    void barcodesBelongToTheirMergedSheet()
    {
        QFETCH(int, answer);
        QFETCH(QList<QStringList>, sheets);
        Rig rig;
        QVERIFY(rig.open());
        rig.answerMultifedSheets(answer);
        rig.queuePage(Rig::bw(0, {"A"}));
        rig.queuePage(Rig::bw(1, {"B"}));
        rig.queuePage(Rig::bw(1, {"C"}));
        rig.queuePage(Rig::bw(0, {"D"}));
        auto profile = Rig::profile(InputDocumentFront, SideColorBwFront, CombineTwo);
        profile.multifeedResponse = MultifeedInteractive;
        QTEST(rig.gate->startJob(&profile, &rig.hub), "result");
        QList<QStringList> got;
        for (const Given &g : rig.given)
            got << g.barcodes;
        QCOMPARE(got, sheets);
        CHECK_FILES(rig);
        rig.gate->closePort();
    }

    // Pause and keep the image: the held sheet goes out before the next one,
    // also when the scan ends right after it.
    void pauseKeepImageGivesHeldPagesOut()
    {
        Rig rig;
        QVERIFY(rig.open());
        rig.queuePage(Rig::bw(1, {"M"}));
        rig.queuePage(Rig::bw(0, {"N"}));
        rig.queuePage(Rig::bw(1, {"O"}));
        auto profile = Rig::profile(InputDocumentFront, SideFront, CombineOff);
        profile.multifeedResponse = MultifeedPauseKeepImage;
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QList<QStringList> got;
        for (const Given &g : rig.given)
            got << g.barcodes;
        QCOMPARE(got, (QList<QStringList>{{"M"}, {"N"}, {"O"}}));
        CHECK_FILES(rig);
        rig.gate->closePort();
    }

    // A full disk: the page is not announced, the feeder is stopped as for a
    // cancel, the job ends with the file-creation code and is logged failed.
    void pageTheDiskRefusesEndsTheJob()
    {
        Rig rig;
        QVERIFY(rig.open());
        rig.queuePage(Rig::bw());
        rig.queuePage(Rig::bw());
        auto profile = Rig::profile(InputDocumentFront, SideFront, CombineOff);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 2048; // below a page, above the log's lines
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const int rc = rig.gate->startJob(&profile, &rig.hub);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(rc, int(RC_FILE_CREATE_FAILED));
        QVERIFY(rig.given.isEmpty());
        QCOMPARE(rig.scanner->stopRequests(), 1u);
        QCOMPARE(rig.opcodeCount(op::kScanEnd), 1);
        QVERIFY(!rig.device->lockHeld());
        CHECK_FILES(rig);
        QFile log(rig.config.m_strScanLogFile);
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(log.readAll()).contains(QString::fromUtf8("扫描失败")));
        rig.gate->closePort();
    }

    // An unplugged scanner is no empty feeder: the wait ends at its first
    // failed poll instead of after the whole paper time-out.
    void unpluggedScannerEndsThePaperWait()
    {
        Rig rig;
        QVERIFY(rig.open());
        rig.setPaper(false);
        auto profile = Rig::profile(InputDocumentFront, SideFront, CombineOff);
        profile.autoStartScanning = true;
        QList<QPair<bool, bool>> reports;
        QObject::connect(
            &rig.hub, &PMessage::updatePaperStatus, &rig.hub,
            [&](bool found, bool done) {
                reports << qMakePair(found, done);
                if (reports.size() == 2)
                    rig.device->injectFault(
                        {Pipe::Data, Direction::In, FaultKind::TransferError, 0, EPROTO, 0});
            },
            Qt::DirectConnection);
        QElapsedTimer clock;
        clock.start();
        const int rc = rig.gate->startJob(&profile, &rig.hub);
        QVERIFY2(ScanJob::isTransferFailure(rc), qPrintable(QString::number(rc)));
        QVERIFY2(clock.elapsed() < ScanJob::paperWaitMs() / 2, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(reports.last(), qMakePair(false, true));
        QCOMPARE(rig.opcodeCount(op::kScanBegin), 0);
        rig.gate->closePort();
    }

    // No paper within the wait: -35, after one last report, with no scan.
    void emptyFeederTimesOut()
    {
        LinkTimeouts::set(LinkTimeouts::PaperWait, 1200);
        Rig rig;
        QVERIFY(rig.open());
        rig.setPaper(false);
        auto profile = Rig::profile(InputDocumentFront, SideFront, CombineOff);
        profile.autoStartScanning = true;
        QSignalSpy paper(&rig.hub, &PMessage::updatePaperStatus);
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), int(RC_FEEDER_EMPTY));
        LinkTimeouts::set(LinkTimeouts::PaperWait, 0);
        QVERIFY(clock.elapsed() >= 1200);
        QCOMPARE(paper.last().at(0).toBool(), false);
        QCOMPARE(paper.last().at(1).toBool(), true);
        QCOMPARE(rig.opcodeCount(op::kScanBegin), 0);
        QVERIFY(!rig.device->lockHeld());
        rig.gate->closePort();
    }

    // A cancel given before the job's thread reached startJob is kept: no
    // sheet is fed. It is gone once that job has ended.
    void cancelBeforeTheJobStarts()
    {
        Rig rig;
        QVERIFY(rig.open());
        rig.queuePage(Rig::bw());
        auto profile = Rig::profile(InputDocumentFront, SideFront, CombineOff);
        rig.gate->cancelJob();
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), int(RC_CANCELLED));
        QCOMPARE(rig.opcodeCount(op::kScanBegin), 0);
        QVERIFY(!rig.device->lockHeld());
        QVERIFY(rig.given.isEmpty());
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(rig.given.size(), 1);
        rig.gate->closePort();
    }

    // The imprinter counter wraps at 32 bits; a device value at the top of
    // the signed range must not overflow the job's arithmetic.
    void imprinterIndexAtTheTopOfItsRange()
    {
        Rig rig;
        QVERIFY(rig.open());
        auto page = Rig::bw();
        page.printerIndex = 0x7FFFFFFF;
        rig.queuePage(page);
        auto profile = Rig::profile(InputDocumentFront, SideFront, CombineOff);
        profile.printerIndex = 0x7FFFFFFE;
        QSignalSpy finish(&rig.hub, &PMessage::scanFinish);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(finish.size(), 1);
        QCOMPARE(quint32(finish.at(0).at(1).toInt()), 0x80000000u);
        QCOMPARE(finish.at(0).at(3).toInt(), 2);
        rig.gate->closePort();
    }

    void blankPagesBySizeAtTheBoundary_data()
    {
        QTest::addColumn<int>("finalImageSize");
        QTest::addColumn<int>("pagesOut");
        // The page's data is 3000 bytes: kept only when above size x 1000.
        QTest::newRow("below") << 2 << 1;
        QTest::newRow("equal") << 3 << 0;
        QTest::newRow("above") << 4 << 0;
    }
    void blankPagesBySizeAtTheBoundary()
    {
        QFETCH(int, finalImageSize);
        Rig rig;
        QVERIFY(rig.open());
        auto page = Rig::bw();
        page.width = 240; // 30 bytes a row, 100 rows
        rig.queuePage(page);
        auto profile = Rig::profile(InputDocumentFront, SideFront, CombineOff);
        profile.sideSettings[0].blankImageDeletion = BlankImageModeFlag(2);
        profile.sideSettings[0].finalImageSize = finalImageSize;
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QTEST(int(rig.given.size()), "pagesOut");
        CHECK_FILES(rig);
        rig.gate->closePort();
    }

    void imprinterRecordsFollowTheProfile_data()
    {
        QTest::addColumn<bool>("graphicFile");
        QTest::addColumn<bool>("textOn");
        QTest::addColumn<int>("graphics");
        QTest::addColumn<int>("fonts");
        QTest::newRow("graphic present") << true << false << 1 << 0;
        QTest::newRow("graphic missing") << false << false << 0 << 0;
        QTest::newRow("text imprinting") << false << true << 0 << 1;
    }
    void imprinterRecordsFollowTheProfile()
    {
        QFETCH(bool, graphicFile);
        QFETCH(bool, textOn);
        Rig rig;
        QVERIFY(rig.open());
        auto profile = Rig::profile(InputDocumentFront, SideFront, CombineOff);
        profile.stampConfig.graphicStampOn = 1;
        profile.stampConfig.textStampOn = textOn ? 1 : 0;
        setScanText(profile.stampGraphicFile, "logo.png");
        if (graphicFile) {
            QImage logo(40, 20, QImage::Format_RGB32);
            logo.fill(Qt::black);
            QVERIFY(logo.save(rig.config.m_strStampDir + "/logo.png"));
        }
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QTEST(rig.opcodeCount(op::kStampGraphic), "graphics");
        QTEST(rig.opcodeCount(op::kStampText), "fonts");
        rig.gate->closePort();
    }

    // No window for an unknown input: the job still runs to its end.
    void unknownInputDocumentSendsNoWindow()
    {
        Rig rig;
        QVERIFY(rig.open());
        auto profile = Rig::profile(InputDocumentFlag(3), SideFront, CombineOff);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(rig.opcodeCount(op::kWindowAdd), 0);
        QCOMPARE(rig.opcodeCount(op::kScanBegin), 1);
        QCOMPARE(rig.opcodeCount(op::kScanEnd), 1);
        QVERIFY(QFile::exists(rig.config.m_strScanLogFile));
        rig.gate->closePort();
    }

    // A profile the configuration cannot express never reaches the device.
    void refusedConfigurationIsNotWritten()
    {
        Rig rig;
        QVERIFY(rig.open());
        auto profile = Rig::profile(InputDocumentFront, SideFront, CombineOff);
        profile.frontX = 7.0 * 10000; // past the 16-bit field
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), int(RC_DEVICE_FAILURE));
        QCOMPARE(rig.opcodeCount(op::kConfig), 1); // read, never written
        QCOMPARE(rig.opcodeCount(op::kScanBegin), 0);
        QVERIFY(!rig.device->lockHeld());
        rig.gate->closePort();
    }

    // A page's file is final when it is announced: a receiver that copies
    // it at once (the console's preview) must see the background removed,
    // and the grey copy made from it must already exist.
    void pagesAreFinalWhenAnnounced()
    {
        Rig rig;
        QVERIFY(rig.open());
        Rig::PageSpec page;
        page.format = 2;
        page.fill = 200; // a light grey background to remove
        rig.queuePage(page);
        auto profile = Rig::profile(InputDocumentFront, SideColorGrayFront, CombineOff);
        profile.sideSettings[0].colorMode = ColorModeColor;
        profile.sideSettings[0].colorDropout = EcdoEnumFlag(128);
        QMap<QString, QByteArray> atAnnouncement;
        QObject::connect(
            &rig.hub, &PMessage::scanFileName, &rig.hub,
            [&](SCAN_SHORTCUT_MENU *, QString f, schar, QStringList, int, int, int, int) {
                QFile file(f);
                QVERIFY(file.open(QIODevice::ReadOnly));
                atAnnouncement[f] = file.readAll();
            },
            Qt::DirectConnection);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(atAnnouncement.size(), 2);
        for (auto it = atAnnouncement.cbegin(); it != atAnnouncement.cend(); ++it) {
            QFile file(it.key());
            QVERIFY(file.open(QIODevice::ReadOnly));
            QVERIFY2(file.readAll() == it.value(), qPrintable(it.key()));
        }
        const QImage colour(rig.given.first().file);
        QCOMPARE(colour.pixel(5, 5) & 0xFFFFFFu, 0xFFFFFFu); // background gone
        CHECK_FILES(rig);
        rig.gate->closePort();
    }

    // Front and back combined counts a front-only sheet's two images as two
    // each, so the sheet reads as complete after its first image. A header
    // that then comes without an answer must not cost the held first page.
    void unansweredHeldPagesWaitForTheAnswer()
    {
        Rig rig;
        QVERIFY(rig.open());
        rig.queuePage(Rig::bw(1, {"A"}));
        rig.queuePage(Rig::bw(1, {"B"}));
        auto profile = Rig::profile(InputDocumentFront, SideColorBwFront, CombineFrontBack);
        profile.multifeedResponse = MultifeedInteractive;
        QObject::connect(
            &rig.hub, &PMessage::scanningMultifeed, &rig.hub,
            [&](QStringList held) {
                if (held.size() == 2) // the user answers once both are shown
                    rig.gate->setMultifeedUserInput(1);
            },
            Qt::DirectConnection);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QList<QStringList> got;
        for (const Given &g : rig.given)
            got << g.barcodes;
        QCOMPARE(got, (QList<QStringList>{{"A"}, {"B"}}));
        CHECK_FILES(rig);
        rig.gate->closePort();
    }

    // Count-only placeholders are never merged, also when their sheet was
    // held and then accepted.
    void acceptedCountOnlyPagesStayPlaceholders()
    {
        Rig rig;
        QVERIFY(rig.open());
        rig.answerMultifedSheets(1);
        rig.queuePage(Rig::bw(1));
        rig.queuePage(Rig::bw());
        auto profile = Rig::profile(InputDocumentFront, SideFront, CombineTwo);
        profile.multifeedResponse = MultifeedInteractive;
        profile.countOnly = true;
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QCOMPARE(rig.given.size(), 2);
        for (const Given &g : rig.given)
            QCOMPARE(QImageReader(g.file).size(),
                     QSize(PageFile::PlaceholderWidth, PageFile::PlaceholderHeight));
        CHECK_FILES(rig);
        rig.gate->closePort();
    }

    // A panel answer that comes in place of the next header when the profile
    // does not ask the user: there is no header to handle, the next one is read.
    void panelAnswerOutsideRecoveryReadsTheNextHeader_data()
    {
        QTest::addColumn<int>("response");
        QTest::newRow("continue") << int(MultifeedContinue);
        QTest::newRow("pause and keep") << int(MultifeedPauseKeepImage);
    }
    void panelAnswerOutsideRecoveryReadsTheNextHeader()
    {
        QFETCH(int, response);
        Rig rig;
        QVERIFY(rig.open());
        rig.queuePage(Rig::bw(1, {"M"}));
        rig.queuePage(Rig::bw(0, {"N"}));
        rig.scanner->queuePanelInput(1);
        auto profile = Rig::profile(InputDocumentFront, SideFront, CombineOff);
        profile.multifeedResponse = MultifeedResponseFlag(response);
        QCOMPARE(rig.gate->startJob(&profile, &rig.hub), 0);
        QList<QStringList> got;
        for (const Given &g : rig.given)
            got << g.barcodes;
        QCOMPARE(got, (QList<QStringList>{{"M"}, {"N"}}));
        CHECK_FILES(rig);
        rig.gate->closePort();
    }
};

EMULATOR_TEST_MAIN(TestScanJobFaults)
#include "tst_scanjobfaults.moc"

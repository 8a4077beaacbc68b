// Scans driven by the console window against the emulated scanner: progress,
// pages to the launcher, preview, colour learning, the feeder and multifeed
// questions, error boxes and shutting down in the middle of a job.
#include "consoletestutil.h"
#include "detectpaperdialog.h"
#include "diagnosticsform.h"
#include "linktimeouts.h"
#include "multifeeddialog.h"
#include "previewupdatedialog.h"
#include "profileoffsets.h"
#include "scanningdialog.h"
#include "scanrig.h"
#include "support/emulatorwidgettest.h"
#include "support/testtiming.h"

#include <QElapsedTimer>
#include <QLabel>

#include <thread>

using namespace emu;
using namespace consoletest;
using testsupport::ModalAnswerer;
using testsupport::ModalSeen;

namespace {

// Reads the progress labels as the dialog is closed at the job's end.
struct ProgressWatch : QObject
{
    QString pages, sheets;
    int thumbnails = 0;
    ProgressWatch() { qApp->installEventFilter(this); }
    ~ProgressWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *o, QEvent *e) override
    {
        auto *d = qobject_cast<ScanningDialog *>(o);
        if (d && e->type() == QEvent::Hide) {
            pages = d->findChild<QLabel *>("labelPages")->text();
            sheets = d->findChild<QLabel *>("labelSheets")->text();
            thumbnails = d->pageCount();
        }
        return false;
    }
};

// Titles of the multifeed dialogs shown and their results as they closed.
struct MultifeedWatch : QObject
{
    QStringList shown;
    QList<int> results;
    MultifeedWatch() { qApp->installEventFilter(this); }
    ~MultifeedWatch() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject *o, QEvent *e) override
    {
        auto *d = qobject_cast<MultifeedDialog *>(o);
        if (d && e->type() == QEvent::Show) {
            shown << d->windowTitle();
            connect(d, &QDialog::finished, this, [this](int r) { results << r; });
        }
        return false;
    }
};

// A console whose settings page shows the second side.
struct SideOneWindow : ScanMainWindow
{
    int previewSideIndex() const override { return 1; }
};

tagSCAN_SHORTCUT_MENU duplexColour()
{
    return ScanRig::builtIn(4); // colour JPEG, both sides
}

} // namespace

class TestConsoleScan : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installStampGraphics(); }

    // Three duplex sheets: six pages to the launcher on the scanning thread,
    // the progress counting three sheets and six pages, then the end.
    void duplexScanWithProgress()
    {
        ScanRig rig(ScanRig::sheets(3));
        QVERIFY(rig.open());
        ProgressWatch watch;
        QSignalSpy scanning(rig.window.get(), &ScanMainWindow::scanning);
        auto profile = duplexColour();
        QVERIFY(rig.window->startScanJob(profile));
        QVERIFY(rig.window->isScanning());
        QCOMPARE(scanning.count(), 1);
        QVERIFY(rig.window->scanningDialog());
        QTRY_COMPARE_WITH_TIMEOUT(rig.finishedToMain, 1, scaledMs(20000));
        QCOMPARE(rig.pages.size(), 6);
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(rig.pages[i].side, i % 2);
            QVERIFY(rig.pages[i].thread != QThread::currentThread());
            QVERIFY(QImage(rig.pages[i].file).width() > 0);
        }
        QCOMPARE(watch.pages, QString("张：3"));
        QCOMPARE(watch.sheets, QString("页数：6（背面）"));
        QVERIFY(!rig.window->isScanning());
        QVERIFY(!rig.window->isCancel());
        QVERIFY(!rig.window->scanningDialog());
        QVERIFY(!rig.device->lockHeld());
    }

    // A scanner held by another host: the error box, then the end signal.
    void busyScannerShowsBoxThenEnds()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        rig.device->setLockHeldByOtherHost(true);
        QList<int> order; // 1 box, 2 end signal
        ModalAnswerer answerer([&](QWidget *w, const ModalSeen &) {
            order << 1;
            ModalAnswerer::press(w, "确定") || (qobject_cast<QDialog *>(w)->reject(), true);
        });
        QObject::connect(rig.window.get(), &ScanMainWindow::scanFinishToMain, rig.window.get(),
                         [&] { order << 2; });
        auto profile = duplexColour();
        QVERIFY(rig.scanToEnd(profile));
        QCOMPARE(order, (QList<int>{1, 2}));
        QCOMPARE(answerer.last().title, QString("错误"));
        QVERIFY(rig.pages.isEmpty());
    }

    // A start while a scan runs is refused; the running scan goes on.
    void secondStartRefused()
    {
        ScanRig rig(ScanRig::sheets(2));
        QVERIFY(rig.open());
        auto profile = duplexColour();
        QVERIFY(rig.window->startScanJob(profile));
        QVERIFY(!rig.window->startScanJob(profile));
        QTRY_COMPARE_WITH_TIMEOUT(rig.finishedToMain, 1, scaledMs(20000));
        QCOMPARE(rig.pages.size(), 4);
    }

    // Two previews in a row: the preview file holds the second page each
    // time, and no end signal goes to the launcher; a launcher scan after
    // the preview still gets its end signal.
    void previewReplacesFileAndStaysQuiet()
    {
        StackScript script;
        script.sheets = 1;
        ScanRig rig(script);
        QVERIFY(rig.open());
        QSignalSpy shown(rig.hub, &PMessage::sendPreviewFilename);
        const QString preview = g_VellumCfgFile.m_strPreviewBitmap;
        QFile::remove(preview);
        QList<QByteArray> contents;
        for (int round = 0; round < 2; ++round) {
            rig.restack(script);
            // What the preview showed before: the new page must replace it.
            QFile old(preview);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("an older preview");
            old.close();
            rig.window->clickedBtnPreview();
            QTRY_VERIFY_WITH_TIMEOUT(!rig.window->isScanning() && shown.count() == round + 1,
                                     scaledMs(20000));
            QTRY_VERIFY(!rig.window->scanningDialog());
            QFile f(preview);
            QVERIFY(f.open(QIODevice::ReadOnly));
            contents << f.readAll();
        }
        for (const QByteArray &c : contents) {
            QVERIFY(c != "an older preview");
            QVERIFY(!QImage::fromData(c).isNull());
        }
        QTest::qWait(100);
        QCOMPARE(rig.finishedToMain, 0);
        QVERIFY(rig.pages.isEmpty());

        script.sheets = 1;
        rig.restack(script);
        auto profile = duplexColour();
        QVERIFY(rig.scanToEnd(profile));
    }

    // An automatic preview update whose job never reaches the scanner sends
    // no end of its own: the update notice still goes when the thread ends,
    // nothing stays modal, and the next update shows the notice again.
    void previewUpdateNoticeEndsWithTheThread_data()
    {
        QTest::addColumn<QString>("refusal");
        QTest::newRow("port closed") << "port";
        QTest::newRow("scanner held by another host") << "lock";
        QTest::newRow("facade busy") << "facade";
    }
    void previewUpdateNoticeEndsWithTheThread()
    {
        QFETCH(QString, refusal);
        StackScript script;
        if (refusal == "facade")
            script.paperEmptyPolls = 100000;
        ScanRig rig(script);
        if (refusal != "port")
            QVERIFY(rig.open());
        rig.device->setLockHeldByOtherHost(refusal == "lock");
        // The facade kept busy by a job waiting for paper on another thread.
        std::thread other;
        PMessage otherHub;
        if (refusal == "facade") {
            other = std::thread([&otherHub] {
                auto p = duplexColour();
                p.paperSource = PaperSourceFeeder;
                p.autoStartScanning = true;
                g_Devgate.startJob(&p, &otherHub);
            });
            QTRY_VERIFY_WITH_TIMEOUT(rig.device->lockHeld(), scaledMs(20000));
        }
        ModalAnswerer boxes([](QWidget *w, const ModalSeen &) {
            if (qobject_cast<QMessageBox *>(w))
                ModalAnswerer::press(w, "确定");
        });
        for (int round = 1; round <= 2; ++round) {
            rig.window->previewAutoUpdate();
            auto *notice = rig.window->findChild<PreviewUpdateDialog *>();
            QVERIFY(notice && !notice->isHidden());
            QTRY_VERIFY_WITH_TIMEOUT(!rig.window->isScanning(), scaledMs(20000));
            QTRY_VERIFY(!rig.window->findChild<PreviewUpdateDialog *>());
            QVERIFY(!QApplication::activeModalWidget());
        }
        if (other.joinable()) {
            g_Devgate.cancelJob();
            other.join();
        }
        QVERIFY(rig.pages.isEmpty());
    }

    void learning_data()
    {
        QTest::addColumn<int>("sheets");
        QTest::addColumn<bool>("sent");
        QTest::newRow("five sheets") << 5 << true;
        QTest::newRow("four sheets") << 4 << false;
    }
    void learning()
    {
        QFETCH(int, sheets);
        QFETCH(bool, sent);
        StackScript script;
        script.sheets = unsigned(sheets);
        script.duplex = false;
        ScanRig rig(script);
        QVERIFY(rig.open());
        QSignalSpy values(rig.hub, &PMessage::sendAutoColorValue);
        ModalAnswerer answerer("确定");
        emit rig.hub->clickedLearn();
        QTRY_VERIFY_WITH_TIMEOUT(answerer.count() == 1, scaledMs(20000));
        QTRY_VERIFY(!rig.window->isScanning());
        QCOMPARE(rig.window->learnedSheets(), sheets);
        QCOMPARE(answerer.last().title, QString("Corvan扫描仪"));
        QCOMPARE(values.count(), sent ? 1 : 0);
        if (sent) {
            QCOMPARE(
                answerer.last().text,
                QString("请使用%1的“色彩总量”及%"
                        "2的“色彩阈值”数值，以让扫描仪自动检测，并将类似文档保存为彩色或灰阶图像。")
                    .arg(values[0][0].toInt())
                    .arg(values[0][1].toInt()));
        } else {
            QCOMPARE(answerer.last().text, QString("为确定要符合您的特定文档集使用的“色彩总量”数值"
                                                   "，您必须放入至少五份具有代表性的彩色文档。"));
        }
        QTest::qWait(100);
        QCOMPARE(rig.finishedToMain, 0);
        QVERIFY(rig.pages.isEmpty());
    }

    // No paper: the feeder dialog counts down; at 0 the job is cancelled once
    // and the dialog goes when the job reports the end of the wait.
    void feederCountdownCancelsOnce()
    {
        StackScript script;
        script.sheets = 1;
        script.paperEmptyPolls = 100000;
        ScanRig rig(script);
        QVERIFY(rig.open());
        QSignalSpy cancels(rig.hub, &PMessage::cancelScanningJob);
        auto profile = duplexColour();
        profile.paperSource = PaperSourceFeeder;
        profile.autoStartScanning = true;
        ModalAnswerer answerer("确定");
        QVERIFY(rig.window->startScanJob(profile));
        QTRY_VERIFY_WITH_TIMEOUT(rig.window->detectPaperDialog(), scaledMs(10000));
        DetectPaperDialog *dialog = rig.window->detectPaperDialog();
        for (int i = 0; i < 20; ++i)
            dialog->timerPaperDetect();
        QCOMPARE(cancels.count(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(rig.finishedToMain, 1, scaledMs(20000));
        QVERIFY(!rig.window->detectPaperDialog());
        QCOMPARE(cancels.count(), 1);
        QVERIFY(rig.window->isCancel());
        QVERIFY(rig.pages.isEmpty());
        QVERIFY(!rig.device->lockHeld());
    }

    void multifeedAnswers_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("sent");
        QTest::addColumn<bool>("stopped");
        QTest::newRow("accept") << "接受 (&A)" << 1 << false;
        QTest::newRow("rescan") << "重扫 (&R)" << 3 << false;
        QTest::newRow("stop") << "停止 (&S)" << 2 << true;
        QTest::newRow("escape") << "escape" << 2 << true;
        QTest::newRow("close box") << "close" << 2 << true;
    }
    // The scanner gets exactly the answer given in the dialog.
    void multifeedAnswers()
    {
        QFETCH(QString, action);
        QFETCH(int, sent);
        QFETCH(bool, stopped);
        StackScript script;
        script.sheets = 2;
        script.multifed[1] = std::nullopt;
        ScanRig rig(script);
        QVERIFY(rig.open());
        QSignalSpy stoppedSpy(rig.window.get(), &ScanMainWindow::scanFinished);
        auto profile = duplexColour();
        profile.multifeedResponse = MultifeedInteractive;
        QStringList boxes;
        ModalAnswerer answerer([&](QWidget *w, const ModalSeen &seen) {
            if (qobject_cast<QMessageBox *>(w)) { // the job's end, when stopped
                boxes << seen.text;
                ModalAnswerer::press(w, "确定");
            } else if (action == "escape")
                QTest::keyClick(w, Qt::Key_Escape);
            else if (action == "close")
                w->close();
            else
                ModalAnswerer::press(w, action);
        });
        QVERIFY(rig.scanToEnd(profile));
        QCOMPARE(answerer.count() - boxes.size(), 1);
        QCOMPARE(answerer.seen().first().title, QString("重张进纸"));
        QCOMPARE(rig.commands.hostInputs(), std::vector<uint8_t>{uint8_t(sent)});
        QCOMPARE(stoppedSpy.count(), stopped ? 1 : 0);
        QVERIFY(!rig.device->lockHeld());
    }

    // The scanner's panel answers a multifed sheet: the dialog shows and
    // closes as accepted, the host sends no answer of its own, the job goes
    // on. The emulated panel answers as soon as it is asked, usually before
    // the dialog exists; the answer must still close it.
    void multifeedPanelAnswer()
    {
        StackScript script;
        script.sheets = 2;
        script.multifed[1] = int8_t(1);
        ScanRig rig(script);
        QVERIFY(rig.open());
        QSignalSpy stopped(rig.window.get(), &ScanMainWindow::scanFinished);
        QSignalSpy panel(rig.hub, &PMessage::userInputFromPanel);
        MultifeedWatch watch;
        bool forced = false;
        QTimer guard; // a dialog left open would wait forever
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, [&] {
            if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                forced = true;
                d->done(QDialog::Accepted);
            }
        });
        guard.start(scaledMs(5000));
        auto profile = duplexColour();
        profile.multifeedResponse = MultifeedInteractive;
        QVERIFY(rig.scanToEnd(profile));
        QCOMPARE(panel.count(), 1);
        QVERIFY(!forced);
        QCOMPARE(watch.shown, QStringList{"重张进纸"});
        QCOMPARE(watch.results, QList<int>{QDialog::Accepted});
        // The job hands the panel's key back to the scanner; the dialog adds
        // no answer of its own.
        QCOMPARE(rig.commands.hostInputs(), std::vector<uint8_t>{1});
        QCOMPARE(stopped.count(), 0);
        QCOMPARE(rig.pages.size(), 4);
        QVERIFY(!rig.device->lockHeld());

        // The question and the panel's answer both sent before the GUI
        // thread runs: the dialog is made after the answer went out.
        guard.start(scaledMs(3000));
        PMessage *hub = rig.hub;
        std::thread job([hub] {
            emit hub->scanningMultifeed(QStringList());
            emit hub->userInputFromPanel(1);
        });
        job.join();
        QTRY_COMPARE(watch.results.size(), 2);
        QVERIFY(!forced);
        QCOMPARE(watch.results.last(), int(QDialog::Accepted));
        QCOMPARE(stopped.count(), 0);

        // An answer that the open dialog hears itself and through the window
        // closes it once.
        QTimer::singleShot(0, [hub] { emit hub->userInputFromPanel(1); });
        rig.window->scanningMultifeed(QStringList());
        QTRY_COMPARE(watch.results.size(), 3);
        QVERIFY(!forced);
    }

    // The scanner's serial number and firmware text reach the diagnostics
    // page bounded by their fields: a full 16-byte serial has no zero after it.
    void deviceTextsFillTheirFields()
    {
        ScanRig rig;
        QVERIFY(rig.open());
        Bytes inquiry = rig.device->record(rec::kInquiry);
        const std::string firmware = "FW-9.87.65", serial = "SN0123456789ABCD";
        std::copy(firmware.begin(), firmware.end(), inquiry.begin() + 2);
        std::copy(serial.begin(), serial.end(), inquiry.begin() + 12);
        inquiry[28] = 'X'; // the next field starts at once
        rig.device->setRecord(rec::kInquiry, inquiry);
        emit rig.hub->updateDevice();
        QTRY_COMPARE(rig.window->deviceInquiry().SerialNumber.text(),
                     QString::fromStdString(serial));
        int rc = 0;
        const QString report = rig.window->diagnosticsForm()->deviceReport(rc);
        QVERIFY2(report.contains("序列号:               SN0123456789ABCD\n"), qPrintable(report));
        QVERIFY2(report.contains("固件:                 FW-9.87.65\n"), qPrintable(report));
    }

    // A preview feeds one sheet: the scanner stops after one image a side.
    // With the settings page on side index 1 only the second page shows;
    // with every page asked for, each in turn.
    void previewSideIndex_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<bool>("everyPage");
        QTest::addColumn<QList<int>>("shown"); // page numbers, from 1
        QTest::newRow("both sides, side index 1")
            << int(InputDocumentBoth) << false << QList<int>{2};
        QTest::newRow("both sides, every page")
            << int(InputDocumentBoth) << true << QList<int>{1, 2};
        QTest::newRow("front, every page") << int(InputDocumentFront) << true << QList<int>{1};
    }
    void previewSideIndex()
    {
        QFETCH(int, input);
        QFETCH(bool, everyPage);
        QFETCH(QList<int>, shown);
        ScanRig rig(ScanRig::sheets(3), [] { return new SideOneWindow; });
        QVERIFY(rig.open());
        QStringList pages;
        QList<QByteArray> previews;
        connect(
            rig.hub, &PMessage::scanFileName, rig.window.get(),
            [&](SCAN_SHORTCUT_MENU *, QString file, schar, QStringList, int, int, int, int) {
                pages << file;
            },
            Qt::DirectConnection);
        connect(
            rig.hub, &PMessage::sendPreviewFilename, rig.window.get(),
            [&](SCAN_SHORTCUT_MENU *, QString path) {
                QFile f(path);
                previews << (f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray());
            },
            Qt::DirectConnection);
        auto profile = ScanRig::builtIn(4);
        profile.inputDocument = InputDocumentFlag(input);
        profile.sideStream = input == InputDocumentBoth ? SideBoth : SideFront;
        profile.previewMode = 1;
        profilebytes::setByte(profile, profilebytes::kShowEveryPreviewPage, everyPage ? 1 : 0);
        // A fresh window: its preview page counter starts at 0.
        QVERIFY(rig.window->startScanJob(profile));
        QTRY_VERIFY_WITH_TIMEOUT(!rig.window->isScanning(), scaledMs(20000));
        QTRY_VERIFY(!rig.window->scanningDialog());
        QCOMPARE(pages.size(), input == InputDocumentBoth ? 2 : 1);
        QCOMPARE(rig.feeder->sheetsLeft(), 2u);
        QCOMPARE(previews.size(), shown.size());
        for (int i = 0; i < shown.size(); ++i) {
            QFile page(pages[shown[i] - 1]);
            QVERIFY(page.open(QIODevice::ReadOnly));
            QVERIFY2(previews[i] == page.readAll(), qPrintable(QString::number(i)));
        }
    }

    void shutdownMidJob_data()
    {
        QTest::addColumn<bool>("paperWait");
        QTest::newRow("while pages flow") << false;
        QTest::newRow("in the paper wait") << true;
    }
    // closeDialog and waitForExitSingle during a job: the job is cut short
    // (sheets are left in the feeder, the paper wait is not waited out) and
    // the scanner's lock released.
    void shutdownMidJob()
    {
        QFETCH(bool, paperWait);
        StackScript script;
        script.sheets = 40;
        if (paperWait)
            script.paperEmptyPolls = 100000;
        ScanRig rig(script);
        QVERIFY(rig.open());
        auto profile = duplexColour();
        profile.paperSource = PaperSourceFeeder;
        profile.autoStartScanning = true;
        ModalAnswerer answerer("确定");
        QVERIFY(rig.window->startScanJob(profile));
        if (paperWait)
            QTRY_VERIFY_WITH_TIMEOUT(rig.window->detectPaperDialog(), scaledMs(10000));
        else
            QTRY_VERIFY_WITH_TIMEOUT(rig.pages.size() >= 2, scaledMs(20000));
        QElapsedTimer clock;
        clock.start();
        rig.window->closeDialog();
        rig.window->waitForExitSingle();
        const qint64 took = clock.elapsed();
        QVERIFY2(took < LinkTimeouts::get(LinkTimeouts::PaperWait) / 2,
                 qPrintable(QString::number(took)));
        QVERIFY(rig.feeder->sheetsLeft() > 0);
        QVERIFY(!rig.window->isScanning());
        QTRY_VERIFY(!rig.device->lockHeld());
    }
};

EMULATOR_WIDGET_TEST_MAIN(TestConsoleScan)
#include "tst_consolescan.moc"

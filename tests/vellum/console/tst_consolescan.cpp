// Scans driven by the console window against the emulated scanner: progress,
// pages to the launcher, preview, colour learning, the feeder and multifeed
// questions, error boxes and shutting down in the middle of a job.
#include "consoletestutil.h"
#include "detectpaperdialog.h"
#include "scanningdialog.h"
#include "scanrig.h"
#include "support/emulatorwidgettest.h"

#include <QElapsedTimer>
#include <QLabel>

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
        StackScript script;
        script.sheets = 3;
        ScanRig rig(script);
        QVERIFY(rig.open());
        ProgressWatch watch;
        QSignalSpy scanning(rig.window.get(), &ScanMainWindow::scanning);
        auto profile = duplexColour();
        QVERIFY(rig.window->startScanJob(profile));
        QVERIFY(rig.window->isScanning());
        QCOMPARE(scanning.count(), 1);
        QVERIFY(rig.window->scanningDialog());
        QTRY_COMPARE_WITH_TIMEOUT(rig.finishedToMain, 1, 20000);
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
        StackScript script;
        ScanRig rig(script);
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
        QVERIFY(rig.window->startScanJob(profile));
        QTRY_COMPARE_WITH_TIMEOUT(rig.finishedToMain, 1, 20000);
        QCOMPARE(order, (QList<int>{1, 2}));
        QCOMPARE(answerer.last().title, QString("错误"));
        QVERIFY(rig.pages.isEmpty());
    }

    // A start while a scan runs is refused; the running scan goes on.
    void secondStartRefused()
    {
        StackScript script;
        script.sheets = 2;
        ScanRig rig(script);
        QVERIFY(rig.open());
        auto profile = duplexColour();
        QVERIFY(rig.window->startScanJob(profile));
        QVERIFY(!rig.window->startScanJob(profile));
        QTRY_COMPARE_WITH_TIMEOUT(rig.finishedToMain, 1, 20000);
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
                                     20000);
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
        QVERIFY(rig.window->startScanJob(profile));
        QTRY_COMPARE_WITH_TIMEOUT(rig.finishedToMain, 1, 20000);
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
        QTRY_VERIFY_WITH_TIMEOUT(answerer.count() == 1, 20000);
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
        QTRY_VERIFY_WITH_TIMEOUT(rig.window->detectPaperDialog(), 10000);
        DetectPaperDialog *dialog = rig.window->detectPaperDialog();
        for (int i = 0; i < 20; ++i)
            dialog->timerPaperDetect();
        QCOMPARE(cancels.count(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(rig.finishedToMain, 1, 20000);
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
        QVERIFY(rig.window->startScanJob(profile));
        QTRY_COMPARE_WITH_TIMEOUT(rig.finishedToMain, 1, 20000);
        QCOMPARE(answerer.count() - boxes.size(), 1);
        QCOMPARE(answerer.seen().first().title, QString("重张进纸"));
        QCOMPARE(rig.commands.hostInputs(), std::vector<uint8_t>{uint8_t(sent)});
        QCOMPARE(stoppedSpy.count(), stopped ? 1 : 0);
        QVERIFY(!rig.device->lockHeld());
    }

    void shutdownMidJob_data()
    {
        QTest::addColumn<bool>("paperWait");
        QTest::newRow("while pages flow") << false;
        QTest::newRow("in the paper wait") << true;
    }
    // closeDialog and waitForExitSingle during a job: back within 5 s, the
    // scanner's lock released.
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
            QTRY_VERIFY_WITH_TIMEOUT(rig.window->detectPaperDialog(), 10000);
        else
            QTRY_VERIFY_WITH_TIMEOUT(rig.pages.size() >= 2, 20000);
        QElapsedTimer clock;
        clock.start();
        rig.window->closeDialog();
        rig.window->waitForExitSingle();
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!rig.window->isScanning());
        QTRY_VERIFY(!rig.device->lockHeld());
    }
};

EMULATOR_WIDGET_TEST_MAIN(TestConsoleScan)
#include "tst_consolescan.moc"

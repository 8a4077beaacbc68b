// The diagnostics page, the calibration thread and the device-log package
// against the emulated scanner, through the console's own facade g_Devgate.
#include "calibratethread.h"
#include "devicesaveasdialog.h"
#include "diagnosticsform.h"
#include "emulatedbus.h"
#include "errorhandling.h"
#include "pmessage.h"
#include "records.h"
#include "scannercommands.h"
#include "scannerconfig.h"
#include "scanshortcutmenu.h"
#include "smallrecords.h"
#include "support/modalanswer.h"
#include "support/processes.h"
#include "support/testtiming.h"
#include "vellumglobal.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest>

#include <memory>

using namespace emu;
using testsupport::ModalAnswerer;
using testsupport::ModalSeen;

namespace {

const char kPort[] = "3;7;";

QByteArray utf16be(const QString &text)
{
    QByteArray out;
    for (QChar c : text)
        out.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    return out;
}

Bytes wire(const QByteArray &b)
{
    return Bytes(b.begin(), b.end());
}

QByteArray qbytes(const Bytes &b)
{
    return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size()));
}

// A counter list of n lines; each line a device label padded to the width
// the report cuts, then the value.
QString counters(int n)
{
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines << QString("Counter %1").arg(i).leftJustified(40, '.') + QString::number(100 + i);
    return lines.join('\n');
}

QTextEdit *logView(DiagnosticsForm &f)
{
    return f.findChild<QTextEdit *>("textEditLog");
}
QComboBox *logCombo(DiagnosticsForm &f)
{
    return f.findChild<QComboBox *>("comboBoxLog");
}

void click(QWidget &parent, const char *name)
{
    parent.findChild<QPushButton *>(name)->click();
}

// The device-log dialog with a folder typed in, left through one of its
// buttons; what it showed and how it ended.
struct LogDialogEnd
{
    QString title;
    bool hidden;
    int result;
};
LogDialogEnd saveDeviceLogs(const QString &folder, const char *button = "pushButtonSave")
{
    DeviceSaveAsDialog dialog;
    dialog.findChild<QLineEdit *>("lineEditFolder")->setText(folder);
    click(dialog, button);
    return {dialog.windowTitle(), dialog.isHidden(), dialog.result()};
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The scanner on the emulated bus, opened by the console's facade.
struct Scanner
{
    emu::EmulatedBus bus;
    std::shared_ptr<ScannerEmulator> device;
    std::unique_ptr<ScannerCommands> commands;

    Scanner()
    {
        UsbIdentity id;
        id.busNumber = 3;
        id.deviceAddress = 7;
        device = std::make_shared<ScannerEmulator>(id);
        commands = std::make_unique<ScannerCommands>(*device);
        bus.plug(device);
    }
    ~Scanner() { g_Devgate.closePort(); }
    bool open() { return g_Devgate.openPort(kPort); }
};

} // namespace

class TestDiagnostics : public QObject
{
    Q_OBJECT
    QTemporaryDir m_home;

private slots:
    void initTestCase()
    {
        QVERIFY(EmulatedBus::preloadActive());
        qputenv("XDG_CONFIG_HOME", (m_home.path() + "/cfg").toUtf8());
        QDir().mkpath(m_home.path() + "/app");
        g_VellumCfgFile.loadConfigFile(m_home.path() + "/app");
        g_Devgate.setConfigFile(&g_VellumCfgFile);
        PMessage::registerMetaTypes();
    }

    void reportFromTheScanner_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("accessory");
        QTest::addColumn<QStringList>("expected");
        // Each device line is 40 characters of label, then the value: the
        // report keeps what follows the first 31, 35, 37 or 39 of them.
        const QStringList eight{
            QStringLiteral("开机:.........102 小时"), QStringLiteral("传送:.........103 小时"),
            QStringLiteral("正面灯管:.....104 小时"), QStringLiteral("背面灯管:.....105 小时"),
            QStringLiteral("扫描总页数:...106"),      QStringLiteral("首次扫描:.....107")};
        QTest::newRow("3 lines") << 3 << 3 << QStringList(eight.mid(0, 1));
        QTest::newRow("8 lines") << 8 << 2 << eight;
        QTest::newRow("33 lines") << 33 << 7
                                  << QStringList(eight +
                                                 QStringList{QStringLiteral("重张进纸计数:.132")});
    }
    void reportFromTheScanner()
    {
        QFETCH(int, lines);
        QFETCH(int, accessory);
        QFETCH(QStringList, expected);
        Scanner scanner;
        QVERIFY(scanner.open());
        scanner.device->setRecord(rec::log(5), wire(utf16be(counters(lines))));
        Bytes inquiryRecord = scanner.device->record(rec::kInquiry);
        inquiryRecord.at(220) = uint8_t(accessory);
        scanner.device->setRecord(rec::kInquiry, inquiryRecord);
        // The page gets the model and the inquiry's texts as the console hands them on.
        PMessage hub;
        DiagnosticsForm page(&hub);
        page.setModelName("VR516");
        tagINQUIRY inquiry;
        QCOMPARE(g_Devgate.getInquiry(inquiry), 0);
        page.updatePaperSourceState(0, inquiry.SerialNumber.text(), inquiry.FirmwareVersion.text(),
                                    inquiry.AccessoryType);
        ModalAnswerer ok(QStringLiteral("确定"));
        click(page, "pushButtonReFresh");
        QCOMPARE(ok.count(), 1);
        QCOMPARE(ok.last().title, QStringLiteral("刷新日志"));
        QCOMPARE(ok.last().text, QStringLiteral("刷新成功!"));

        tagTIME_DATE_LOCAL clock;
        QVERIFY(decodeTimeDateLocal(qbytes(scanner.device->record(rec::kTimeDate)), clock));
        QString report = QStringLiteral("Corvan VR516 Scanners\n\n"
                                        "版本信息:             5.0.13\n\n"
                                        "扫描仪机型:           VR516 (USBSCAN/2.0)\n"
                                        "序列号:               EMU0000001\n"
                                        "固件:                 1.0.7\n");
        if (accessory == 3)
            report += QStringLiteral("附件:                 QF-300\n");
        if (accessory == 2)
            report += QStringLiteral("附件:                 QF-200\n");
        report += QStringLiteral("\n日期 / 时间:          ") + QString("%1/%2/%3 %4:%5\n")
                                                                   .arg(clock.year)
                                                                   .arg(clock.month)
                                                                   .arg(clock.day)
                                                                   .arg(clock.hour)
                                                                   .arg(clock.minute);
        report += expected.join('\n') + "\n";
        QCOMPARE(logView(page)->toPlainText(), report);
        QVERIFY(logView(page)->isReadOnly());
    }

    void failuresShowTheirCode_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("done") << 0;
        QTest::newRow("not connected") << -7;
        QTest::newRow("busy") << -8;
    }
    void failuresShowTheirCode()
    {
        QFETCH(int, code);
        Scanner scanner;
        if (code != -7)
            QVERIFY(scanner.open());
        if (code == -8)
            scanner.device->setLockHeldByOtherHost(true);
        PMessage hub;
        DiagnosticsForm page(&hub);
        QString codeText;
        ErrorHandling::errorCode(code, codeText);

        ModalAnswerer ok(QStringLiteral("确定"));
        click(page, "pushButtonScanner");
        QCOMPARE(ok.count(), 1);
        QCOMPARE(ok.last().title, QStringLiteral("扫描仪..."));
        QCOMPARE(ok.last().text, code == 0 ? QStringLiteral("扫描仪测试成功") : codeText);
        QCOMPARE(ok.last().icon, code == 0 ? QMessageBox::Information : QMessageBox::Critical);

        click(page, "pushButtonReFresh");
        QCOMPARE(ok.count(), 2);
        QCOMPARE(ok.last().text, code == 0 ? QStringLiteral("刷新成功!") : codeText);
        if (code != 0) {
            // The clock could not be read: a dash, and no counter lines.
            QVERIFY(
                logView(page)->toPlainText().endsWith(QStringLiteral("日期 / 时间:          —\n")));
        }

        // Set: the factors as shown go to the scanner, rounded to the unit.
        page.findChild<QDoubleSpinBox *>("doubleSpinBoxFrontX")->setValue(0.5005);
        page.findChild<QDoubleSpinBox *>("doubleSpinBoxFrontY")->setValue(1.0);
        page.findChild<QDoubleSpinBox *>("doubleSpinBoxRearX")->setValue(1.25);
        page.findChild<QDoubleSpinBox *>("doubleSpinBoxRearY")->setValue(2.0);
        click(page, "pushButtonSetUp");
        QCOMPARE(ok.count(), code == 0 ? 2 : 3);
        if (code != 0) {
            QCOMPARE(ok.last().text, codeText);
            return;
        }
        tagSCANNER_CONFIGRATION config;
        QVERIFY(decodeScannerConfig(qbytes(scanner.device->record(rec::kConfig)), config));
        QCOMPARE(int(config.MagnificationFrontX), 5005);
        QCOMPARE(int(config.MagnificationFrontY), 10000);
        QCOMPARE(int(config.MagnificationRearX), 12500);
        QCOMPARE(int(config.MagnificationRearY), 20000);
    }

    void operatorLogAndScanLogViews()
    {
        Scanner scanner;
        QVERIFY(scanner.open());
        // An odd byte count: the last byte is dropped.
        const QString text = QStringLiteral("操作员 log\nline 2");
        scanner.device->setRecord(rec::log(0), wire(utf16be(text) + "\x41"));
        PMessage hub;
        DiagnosticsForm page(&hub);
        logCombo(page)->setCurrentIndex(1);
        QCOMPARE(logView(page)->toPlainText(), text);

        // The scan log file up to its first NUL; none at all shows nothing.
        QFile log(g_VellumCfgFile.m_strScanLogFile);
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write(QStringLiteral("2026/12/09 10 页\n").toUtf8() + QByteArray("\0hidden", 7));
        log.close();
        logCombo(page)->setCurrentIndex(2);
        QCOMPARE(logView(page)->toPlainText(), QStringLiteral("2026/12/09 10 页\n"));

        // Saving the scan log view: a text file, replaced whole; Cancel writes nothing.
        const QString target = m_home.path() + "/saved.txt";
        ModalAnswerer save(
            [&](QWidget *w, const ModalSeen &) { testsupport::answerFileDialog(w, target); });
        click(page, "pushButtonSaveAs");
        QCOMPARE(save.count(), 1);
        QCOMPARE(save.last().title, QStringLiteral("另存为"));
        QCOMPARE(QString::fromUtf8(readFile(target)), QStringLiteral("2026/12/09 10 页\n"));
        save.stop();
        QFile::remove(target);
        ModalAnswerer cancel(
            [&](QWidget *w, const ModalSeen &) { testsupport::answerFileDialog(w, QString()); });
        click(page, "pushButtonSaveAs");
        QCOMPARE(cancel.count(), 1);
        QVERIFY(!QFileInfo::exists(target));
        cancel.stop();

        QFile::remove(g_VellumCfgFile.m_strScanLogFile);
        logCombo(page)->setCurrentIndex(1);
        logCombo(page)->setCurrentIndex(2);
        QCOMPARE(logView(page)->toPlainText(), QString());
    }

    void deviceLogPackage()
    {
        Scanner scanner;
        QVERIFY(scanner.open());
        QTemporaryDir folder;
        QMap<int, QByteArray> logs;
        for (int kind : {0, 5, 1, 2, 4, 3}) {
            logs[kind] = utf16be(QString("log %1 日志\n").arg(kind));
            scanner.device->setRecord(rec::log(uint8_t(kind)), wire(logs[kind]));
        }
        const QString eklog = folder.path() + "/corvan.eklog";
        const LogDialogEnd saved = saveDeviceLogs(folder.path());
        QCOMPARE(saved.title, QStringLiteral("另存为"));
        QVERIFY(saved.hidden);
        // The same bytes as the six logs through iconv, in the package's order.
        QByteArray expected;
        for (int kind : {0, 5, 1, 2, 4, 3}) {
            const testsupport::ToolRun iconv =
                testsupport::runTool("iconv", {"-f", "UTF-16BE", "-t", "UTF-8"}, 30000, logs[kind]);
            QCOMPARE(iconv.code, 0);
            expected += iconv.out;
        }
        QCOMPARE(readFile(eklog), expected);

        // A second save replaces the first.
        scanner.device->setRecord(rec::log(0), wire(utf16be("new")));
        saveDeviceLogs(folder.path());
        QVERIFY(readFile(eklog).startsWith("new"));

        // Cancel, an empty folder field, a folder that is not there: nothing written.
        QFile::remove(eklog);
        QCOMPARE(saveDeviceLogs(folder.path(), "pushButtonExit").result, int(QDialog::Rejected));
        ModalAnswerer ok(QStringLiteral("确定"));
        for (const QString &where : {QString(), folder.path() + "/missing"})
            saveDeviceLogs(where);
        QCOMPARE(ok.count(), 2);
        QVERIFY(!QFileInfo::exists(eklog));
        QVERIFY(!QFileInfo::exists("/corvan.eklog"));

        // No log can be read: the code is shown and nothing is written.
        g_Devgate.closePort();
        saveDeviceLogs(folder.path());
        QCOMPARE(ok.count(), 3);
        QString notConnected;
        ErrorHandling::errorCode(-7, notConnected);
        QCOMPARE(ok.last().text, notConnected);
        QVERIFY(!QFileInfo::exists(eklog));
    }

    void calibrationReportsOnTheGuiThread()
    {
        Scanner scanner;
        QVERIFY(scanner.open());
        PMessage hub;
        QList<QPair<int, bool>> heard;
        QList<QThread *> threads;
        connect(&hub, &PMessage::calibrateStatus, this, [&](int type, bool ok) {
            heard << qMakePair(type, ok);
            threads << QThread::currentThread();
        });
        // Two calibration images, as the scanner sends them.
        for (int i = 0; i < 2; ++i) {
            Page page;
            tagREQUEST_HEADER h;
            h.CameraType = 0;
            h.ImageFormat = 0;
            h.ImageResolutionX = h.ImageResolutionY = 200;
            h.ImageWidth = 1200;
            h.ImageHeight = 600;
            h.ImageSize = 25 * 100;
            QByteArray hb;
            encodeRequestHeader(h, hb);
            page.header = wire(hb);
            page.image.assign(25 * 100, uint8_t(0x33));
            scanner.commands->queuePage(page);
        }
        ScanShortcutMenu store;
        store.loadDefaultScanShortcut();
        tagSCAN_SHORTCUT_MENU profile;
        QVERIFY(store.getScanShortcutItem(0, profile));

        calibrateThread thread(&hub);
        thread.setCalibrateParamete(profile, 1);
        thread.start();
        QTRY_COMPARE_WITH_TIMEOUT(heard.size(), 1, scaledMs(20000));
        QVERIFY(thread.wait(scaledMs(5000)));
        QCOMPARE(heard.at(0), qMakePair(1, true));
        QCOMPARE(threads.at(0), QThread::currentThread());
        QCOMPARE(scanner.commands->pagesLeft(), size_t(0));

        // With the port closed the same calibration fails.
        g_Devgate.closePort();
        calibrateThread closed(&hub);
        closed.setCalibrateParamete(profile, 1);
        closed.start();
        QTRY_COMPARE_WITH_TIMEOUT(heard.size(), 2, scaledMs(10000));
        QVERIFY(closed.wait(scaledMs(5000)));
        QCOMPARE(heard.at(1), qMakePair(1, false));

        // Another type does nothing.
        calibrateThread other(&hub);
        other.setCalibrateParamete(profile, 4);
        other.start();
        QVERIFY(other.wait(scaledMs(5000)));
        QCoreApplication::processEvents();
        QCOMPARE(heard.size(), 2);
    }
};

int main(int argc, char **argv)
{
    emu::EmulatedBus::ensurePreload(argc, argv);
    QApplication app(argc, argv);
    TestDiagnostics tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_diagnostics.moc"

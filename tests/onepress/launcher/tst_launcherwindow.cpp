// The launcher's start-up helpers, option.ini, the tray menu and the
// window's life cycle, with a scripted console; and the small prompts.

#include "aboutdialog.h"
#include "consolelink.h"
#include "launcherprompts.h"
#include "onepressmain.h"
#include "retoucher.h"
#include "runfixture.h"
#include "savefiledialog.h"
#include "scanmainwindow.h"
#include "support/desktopurls.h"
#include "support/modalanswer.h"
#include "support/testtiming.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QtTest>

namespace {

QStringList menuTexts(QMenu *menu)
{
    QStringList t;
    for (QAction *a : menu->actions())
        t << (a->isSeparator() ? QStringLiteral("|") : a->text());
    return t;
}

} // namespace

class TestLauncherWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(onepress); }
    void traceModes_data();
    void traceModes();
    void styleChoice();
    void optionNumber_data();
    void optionNumber();

    void trayMenus();
    void trayEntryTextsAndSignals();
    void trayWaitsOnceThenAsksWithoutSleeping();
    void trayPopupStaysOnScreen();

    void windowStartUp();
    void closeOnlyHides();
    void scannerStates();
    void confirmedExitWritesOptions();
    void consoleHiddenAsByCancel();
    void helpDocument();

    void saveAsPrompt();
    void keywordsPrompt();
    void detectResultDialog();
    void editorStandIn();
};

void TestLauncherWindow::traceModes_data()
{
    QTest::addColumn<int>("enable");
    QTest::addColumn<int>("msg");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("msgType");
    QTest::newRow("file") << 1 << 3 << 2 << 3;
    QTest::newRow("qt") << 2 << 3 << 1 << 0;
    QTest::newRow("zero") << 0 << 3 << 0 << 0;
    QTest::newRow("three") << 3 << 3 << 0 << 0;
    QTest::newRow("negative") << -1 << 3 << 0 << 0;
}

void TestLauncherWindow::traceModes()
{
    QFETCH(int, enable);
    QFETCH(int, msg);
    const onepress::TraceMode t = onepress::traceModeFor(enable, msg);
    QTEST(t.mode, "mode");
    QTEST(t.msgType, "msgType");
}

void TestLauncherWindow::styleChoice()
{
    QVERIFY(onepress::wantsFusion({"Windows", "Fusion"}));
    QVERIFY(!onepress::wantsFusion({"Windows", "fusion"}));
    QVERIFY(!onepress::wantsFusion({}));
}

void TestLauncherWindow::optionNumber_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("expected");
    QTest::newRow("missing") << QByteArray() << 20;
    QTest::newRow("0") << QByteArray("[Buttons]\nOptionNumber=0\n") << 0;
    QTest::newRow("7") << QByteArray("[Buttons]\nOptionNumber=7\n") << 7;
    QTest::newRow("21") << QByteArray("[Buttons]\nOptionNumber=21\n") << 20;
    QTest::newRow("-1") << QByteArray("[Buttons]\nOptionNumber=-1\n") << 20;
    QTest::newRow("abc") << QByteArray("[Buttons]\nOptionNumber=abc\n") << 0;
}

void TestLauncherWindow::optionNumber()
{
    QFETCH(QByteArray, content);
    LauncherDir dir;
    if (!content.isNull())
        LauncherDir::write(g_ConfigFile.m_strOptionIni, content);
    QTEST(MainWindow::readOptionNumber(g_ConfigFile.m_strOptionIni), "expected");
}

void TestLauncherWindow::trayMenus()
{
    LauncherDir dir;
    LoadedTasks tasks(dir);
    SystemTrayIcon tray;
    tray.setTrayProbe([] { return true; });
    tray.loadSystemTrayMenu(&tasks, false, 20);
    QCOMPARE(menuTexts(tray.menu()),
             QStringList({"选项...", "帮助...", "关于...", "|", "退出..."}));
    QCOMPARE(tray.trayIcon()->toolTip(), QString("CorvanDeskscope VR516 - 未就绪"));
    QVERIFY(!tray.trayIcon()->icon().isNull());

    tray.loadSystemTrayMenu(&tasks, true, 0);
    QCOMPARE(menuTexts(tray.menu()), QStringList({"|", "配置...", "打印...", "|", "选项...",
                                                  "帮助...", "关于...", "|", "退出..."}));
    QCOMPARE(tray.menu()->defaultAction(), tray.configAction());
    QCOMPARE(tray.trayIcon()->toolTip(), QString("CorvanDeskscope VR516"));

    // Slots 0, 1 and 3 enabled, 2 disabled: numbered by slot.
    tagTASK_SHORTCUT t = slotTask(tasks, 2);
    t.EnableCommand = false;
    tasks.setTaskShortcut(t.TaskID, t);
    tray.loadSystemTrayMenu(&tasks, true, 4);
    const QStringList texts = menuTexts(tray.menu());
    QCOMPARE(texts.mid(0, 4),
             QStringList({"1. 彩色 PDF", "2. 黑白 PDF (灰阶)", "4. 彩色照片 JPEG", "|"}));
    QCOMPARE(tray.showCount(), 1);
    // An icon from the application's folder, else the user's; none leaves it empty.
    const QByteArray png = LauncherDir::read(":/filetype/images/Color-PDF.png");
    QVERIFY(png.startsWith("\x89PNG"));
    LauncherDir::write(g_ConfigFile.m_strAppIconsDir + "/Color-PDF.png", png);
    tray.loadSystemTrayMenu(&tasks, true, 2);
    QVERIFY(!tray.menu()->actions().at(0)->icon().isNull());
    QVERIFY(tray.menu()->actions().at(1)->icon().isNull());
}

void TestLauncherWindow::trayEntryTextsAndSignals()
{
    QCOMPARE(SystemTrayIcon::entryText(12, QString(30, QChar('x'))),
             QString("12. ") + QString(16, QChar('x')) + "...");
    const QString exact = "9. " + QString(20, QChar('y'));
    QCOMPARE(exact.size(), 23);
    QCOMPARE(SystemTrayIcon::entryText(9, QString(20, QChar('y'))), exact);

    LauncherDir dir;
    LoadedTasks tasks(dir);
    tagTASK_SHORTCUT t = slotTask(tasks, 11);
    t.EnableCommand = true;
    t.Name = QString(30, QChar('n'));
    tasks.setTaskShortcut(t.TaskID, t);
    SystemTrayIcon tray;
    tray.setTrayProbe([] { return true; });
    QSignalSpy chosen(&tray, &SystemTrayIcon::systemMenuTaskID);
    QSignalSpy activated(&tray, &SystemTrayIcon::activedSystemTray);
    for (int i = 0; i < 3; ++i)
        tray.loadSystemTrayMenu(&tasks, true, 20);
    QAction *entry12 = tray.menu()->actions().at(10);
    QCOMPARE(entry12->text(), QString("12. nnnnnnnnnnnnnnnn..."));
    entry12->trigger();
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).toString(), t.TaskID);
    emit tray.trayIcon()->activated(QSystemTrayIcon::Trigger);
    QCOMPARE(activated.count(), 1);
}

void TestLauncherWindow::trayWaitsOnceThenAsksWithoutSleeping()
{
    LauncherDir dir;
    LoadedTasks tasks(dir);
    SystemTrayIcon tray;
    bool there = false;
    int asks = 0, sleeps = 0;
    tray.setTrayProbe([&] {
        ++asks;
        return there;
    });
    tray.setSleeper([&] { ++sleeps; });
    tray.setRetryInterval(20);
    QSignalSpy ready(&tray, &SystemTrayIcon::systemTrayReady);
    tray.loadSystemTrayMenu(&tasks, true, 20);
    QCOMPARE(asks, 15);
    QCOMPARE(sleeps, 15);
    QVERIFY(tray.checkTimer()->isActive());
    QVERIFY(!tray.isShown());
    // Rebuilds while the timer runs: one ask each, no sleep.
    tray.loadSystemTrayMenu(&tasks, true, 20);
    tray.loadSystemTrayMenu(&tasks, false, 20);
    QCOMPARE(asks, 17);
    QCOMPARE(sleeps, 15);
    QVERIFY(tray.menu()->actions().isEmpty());
    there = true;
    QTRY_COMPARE(ready.count(), 1);
    QVERIFY(!tray.checkTimer()->isActive());
    tray.loadSystemTrayMenu(&tasks, true, 20);
    QVERIFY(tray.isShown());
    QCOMPARE(sleeps, 15);
}

void TestLauncherWindow::trayPopupStaysOnScreen()
{
    const QRect desktop(0, 0, 1024, 768);
    QCOMPARE(SystemTrayIcon::menuPosition({500, 760}, {200, 300}, desktop), QPoint(500, 460));
    QCOMPARE(SystemTrayIcon::menuPosition({1000, 760}, {200, 300}, desktop), QPoint(824, 460));
    // Tray at the top edge: the menu opens below the cursor.
    QCOMPARE(SystemTrayIcon::menuPosition({1000, 10}, {200, 300}, desktop), QPoint(824, 10));
}

void TestLauncherWindow::windowStartUp()
{
    RunRig rig(false);
    MainWindow &w = *rig.window;
    QVERIFY(w.isHidden());
    QCOMPARE(rig.console->detectionStarts, 1);
    QVERIFY(rig.console->hidden);
    QCOMPARE(rig.console->buttons.size(), 1);
    QCOMPARE(rig.console->buttons.at(0).size(), 10);
    QCOMPARE(rig.console->buttons.at(0).at(0).buttonText, QString("彩色 PDF"));
    QVERIFY(!w.form()->pushButtonApply->isEnabled());
    QVERIFY(w.form()->pushButtonTest->isHidden());
    QCOMPARE(w.form()->comboBoxTaskShortcut->count(), 11);
    QVERIFY(w.workerThread()->isRunning());
    QVERIFY(!QGuiApplication::quitOnLastWindowClosed());
    QVERIFY(w.saveFileDialog()->isHidden());
    QVERIFY(!w.saveFileDialog()->parent());
    // Not connected yet: the basic entries only.
    QCOMPARE(menuTexts(w.tray().menu()).size(), 5);
    QCOMPARE(rig.sleeps, 0);
}

void TestLauncherWindow::closeOnlyHides()
{
    RunRig rig(false);
    MainWindow &w = *rig.window;
    w.OnPrinterConnected();
    QVERIFY(!w.tray().menu()->actions().isEmpty());
    w.systemMenuConfig();
    QVERIFY(!w.isHidden());
    QVERIFY(w.tray().menu()->actions().isEmpty());
    w.form()->pushButtonApply->setEnabled(true);
    w.hide();
    w.show();
    QVERIFY(!w.form()->pushButtonApply->isEnabled());
    QVERIFY(w.tray().menu()->actions().isEmpty());
    QVERIFY(!w.close());
    QVERIFY(w.isHidden());
    QVERIFY(!w.tray().menu()->actions().isEmpty());
    QVERIFY(!w.isExiting());
    // The loop runs on: a queued call still arrives.
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    QTRY_VERIFY(ran);
}

// The real console hidden by the launcher (a disconnect) after an automatic
// preview update: left as its Cancel leaves it, so the next task's scan
// shows its progress and asks about multifeeds.
void TestLauncherWindow::consoleHiddenAsByCancel()
{
    std::unique_ptr<ConsoleLink> link(createScanMainWindowLink(nullptr));
    std::unique_ptr<ScanMainWindow> console(link->window());
    {
        testsupport::ModalAnswerer ok("确定");
        console->previewAutoUpdate(); // the closed port refuses it
        QTRY_VERIFY(!console->isScanning());
    }
    QVERIFY(!console->showProgress());
    console->show();
    link->hide();
    QVERIFY(console->isHidden());
    QVERIFY(console->showProgress());
    QCOMPARE(console->previewScan(), 0);
    link.reset();
}

void TestLauncherWindow::scannerStates()
{
    RunRig rig(false);
    MainWindow &w = *rig.window;
    w.OnPrinterConnected();
    QVERIFY(w.isConnected());
    QVERIFY(menuTexts(w.tray().menu()).contains("配置..."));
    w.systemMenuTaskID(TaskShortcut::slotIds().at(0));
    QVERIFY(w.isBusy());
    QTemporaryDir tmp;
    const QString page = tmp.filePath("p1.jpg");
    LauncherDir::write(page, "x");
    rig.console->deliver(page);
    QCOMPARE(w.pages().size(), 1);
    w.show();
    rig.console->hidden = false;
    w.OnPrinterDisconnected();
    QVERIFY(!w.isBusy());
    QVERIFY(!w.isConnected());
    QVERIFY(w.isHidden());
    QVERIFY(rig.console->hidden);
    QVERIFY(w.pages().isEmpty());
    QVERIFY(!QFile::exists(page)); // RemoveImage defaults to 1
    QVERIFY(!menuTexts(w.tray().menu()).contains("配置..."));

    w.show();
    w.OnNoPrinter();
    QVERIFY(w.isHidden());
    w.systemMenuTaskID(TaskShortcut::slotIds().at(0));
    QVERIFY(w.isBusy());
    // The multifeed stop: the run ends with the end of its scan, which follows.
    w.OnScanfinished();
    QVERIFY(w.isBusy());
    rig.console->finish();
    QVERIFY(!w.isBusy());
}

void TestLauncherWindow::confirmedExitWritesOptions()
{
    RunRig rig(false);
    MainWindow &w = *rig.window;
    QVERIFY(!QFile::exists(g_ConfigFile.m_strOptionIni));
    w.setExitPrompt([](QWidget *) { return 0; });
    w.systemMenuExit();
    QVERIFY(!w.isExiting());
    QVERIFY(rig.console->calls.isEmpty());
    w.setExitPrompt([](QWidget *) { return 1; });
    QSignalSpy exited(&w, &MainWindow::exitConfirmed);
    w.systemMenuExit();
    QCOMPARE(exited.count(), 1);
    QVERIFY(w.isExiting());
    QCOMPARE(rig.console->calls, QStringList({"closeDialog", "waitForExitSingle", "close"}));
    QSettings ini(g_ConfigFile.m_strOptionIni, QSettings::IniFormat);
    QCOMPARE(ini.value("Buttons/OptionNumber").toInt(), 20);
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

void TestLauncherWindow::helpDocument()
{
    RunRig rig(false);
    testsupport::DesktopUrls recorder;
    g_ConfigFile.m_strHelpFile = rig.dir.root->filePath("help/Deskscope_ZH_CN.pdf");
    rig.window->clickedBtnHelp();
    QVERIFY(recorder.urls.isEmpty());
    LauncherDir::write(g_ConfigFile.m_strHelpFile, "%PDF-1.4");
    rig.window->clickedBtnHelp();
    QCOMPARE(recorder.urls, QList<QUrl>({QUrl::fromLocalFile(g_ConfigFile.m_strHelpFile)}));
}

void TestLauncherWindow::saveAsPrompt()
{
    LauncherDir dir;
    LoadedDestinations dest;
    SaveAsDialog dialog(&dest, "文件");
    QCOMPARE(dialog.windowTitle(), QString("另存为"));
    QCOMPARE(dialog.form()->lineEdit->maxLength(), 75);
    QCOMPARE(dialog.form()->lineEdit->objectName(), QString("lineEditName"));
    testsupport::ModalAnswerer answer("确定");
    dialog.clickedBtnOK();
    QCOMPARE(answer.last().text, QString("此目的地已经存在，请输入其他的名称"));
    QCOMPARE(answer.last().title, QString("错误"));
    dialog.form()->lineEdit->setText("   ");
    dialog.clickedBtnOK();
    QCOMPARE(answer.last().text, QString("请输入目的地名称！"));
    QCOMPARE(dialog.result(), 0);
    dialog.form()->lineEdit->setText("  文件 2 ");
    dialog.clickedBtnOK();
    QCOMPARE(answer.count(), 2);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QString name;
    dialog.getNewDestName(name);
    QCOMPARE(name, QString("文件 2"));
}

void TestLauncherWindow::keywordsPrompt()
{
    AddKeywordsDialog dialog;
    QCOMPARE(dialog.windowTitle(), QString("关键词"));
    QCOMPARE(dialog.form()->lineEdit->maxLength(), 10);
    testsupport::ModalAnswerer answer("确定");
    dialog.form()->lineEdit->setText("   ");
    dialog.clickedBtnOK();
    QCOMPARE(answer.last().title, QString("信息"));
    QCOMPARE(answer.last().text, QString("请输入关键词或者短句。"));
    QCOMPARE(dialog.result(), 0);
    dialog.form()->lineEdit->setText(" 合同 ");
    dialog.clickedBtnOK();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.getKeywords(), QString(" 合同 "));
}

void TestLauncherWindow::detectResultDialog()
{
    DetectResultDialog dialog;
    QCOMPARE(dialog.size(), QSize(388, 131));
    QVERIFY(dialog.windowTitle().isEmpty());
    dialog.show();
    dialog.clickedBtnOK();
    QVERIFY(!dialog.isHidden());
    dialog.form()->pushButtonCancel->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestLauncherWindow::editorStandIn()
{
    Retoucher editor(nullptr, nullptr, nullptr);
    QSignalSpy closed(&editor, &Retoucher::closeRetoucher);
    QVERIFY(!editor.triggeredStartJob());
    QList<tagSCAN_IMAGE_FILE> pages{tagSCAN_IMAGE_FILE(), tagSCAN_IMAGE_FILE()};
    pages[0].fileName = "a";
    editor.getImageFiles(pages);
    QCOMPARE(pages.size(), 2);
    QCOMPARE(pages.at(0).fileName, QString("a"));
    editor.show();
    editor.acceptButton()->click();
    QCOMPARE(closed.count(), 1);
    QCOMPARE(closed.at(0).at(0).toBool(), true);
    editor.show();
    editor.rejectButton()->click();
    QCOMPARE(closed.at(1).at(0).toBool(), false);
}

QTEST_MAIN(TestLauncherWindow)
#include "tst_launcherwindow.moc"

// The editor's destination and option dialogs, the exit dialog against fake
// start-at-login helpers, the button count, the task-list labels, and the
// editor actions that open them.

#include "buttonoptiondialog.h"
#include "errorhandling.h"
#include "destinationdialogs.h"
#include "exithintdialog.h"
#include "launcherprompts.h"
#include "optiondialogs.h"
#include "printshortcut.h"
#include "runfixture.h"
#include "support/guistall.h"
#include "support/modalanswer.h"
#include "taskshortcutdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QSlider>
#include <QtTest>

namespace {

QStringList g_trace;
void captureTrace(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    g_trace << msg;
}

// Fake helpers in a folder: each records its arguments and standard input
// and prints what the test says.
struct FakeHelpers
{
    QTemporaryDir dir;
    explicit FakeHelpers(const QByteArray &checkOutput, const QByteArray &switchOutput = "Success",
                         int sleepSeconds = 0)
    {
        write("checkstart", "printf '" + checkOutput + "'\n");
        // A slow helper sleeps in short steps, so that a helper that is
        // stopped leaves no sleep behind it.
        const QByteArray body =
            (sleepSeconds ? "i=0; while [ $i -lt " + QByteArray::number(sleepSeconds * 10) +
                                " ]; do sleep 0.1; i=$((i+1)); done\n"
                          : "") +
            "printf '%s' \"$#\" > \"$0.argc\"\ncat > \"$0.stdin\"\nprintf '" + switchOutput + "'\n";
        write("autostart", body);
        write("removestart", body);
        StartLoginHelpers::setFolder(dir.path());
    }
    ~FakeHelpers() { StartLoginHelpers::setFolder(QString()); }
    void write(const QString &name, const QByteArray &body)
    {
        const QString path = dir.filePath("corvan-deskscope-vr516-" + name);
        LauncherDir::write(path, "#!/bin/sh\n" + body);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                        QFileDevice::ExeOwner);
    }
    QByteArray read(const QString &name, const char *what) const
    {
        return LauncherDir::read(dir.filePath("corvan-deskscope-vr516-" + name + "." + what));
    }
};

// The exit dialog as it opens over the helpers, with password dialogs
// answered by the given passwords (rejected once they run out) and other
// boxes by OK.
struct ExitAttempt
{
    explicit ExitAttempt(const QStringList &given = {}) : passwords(given) {}
    QCheckBox *autoRun() { return dialog.form()->checkBoxAutoRun; }
    // Sets the start-at-login box, presses OK; the dialog's result.
    int press(bool start)
    {
        autoRun()->setChecked(start);
        dialog.clickedBtnOK();
        return dialog.result();
    }

    QStringList passwords;
    int passwordDialogs = 0;
    QStringList boxes;
    testsupport::ModalAnswerer answerer{[this](QWidget *w, const testsupport::ModalSeen &seen) {
        if (auto *pwd = qobject_cast<ConfirmPwdDialog *>(w)) {
            ++passwordDialogs;
            if (passwords.isEmpty()) {
                pwd->reject();
                return;
            }
            pwd->form()->lineEditPwd->setText(passwords.takeFirst());
            pwd->clickedBtnOK();
            return;
        }
        boxes << seen.text;
        testsupport::ModalAnswerer::press(w, "确定");
    }};
    ExitHintDialog dialog;
};

} // namespace

class TestLauncherDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(onepress); }

    void webMailDialog();
    void customApplicationDialog();
    void watermarkDialog();
    void thresholdAndOcr();
    void exitReadsTheHelper_data();
    void exitReadsTheHelper();
    void exitSwitchesWithThePasswordOnStdin();
    void exitHelpersThatFail();
    void exitWithTheInstalledHelpers();
    void buttonCount();
    void labels();
    void editorActions();
    void formSizesAndGrabs();
};

void TestLauncherDialogs::webMailDialog()
{
    LauncherDir dir;
    LoadedDestinations store;
    tagSCAN_DESTINATION record;
    record.Name = "untouched";
    testsupport::ModalAnswerer answer("确定");
    {
        WebMailDialog d(true, &store, &record);
        Ui_WebMailDialog *ui = d.form();
        QCOMPARE(ui->lineEditServerPort->text(), QString("25"));
        QCOMPARE(ui->lineEditAttachFileSize->text(), QString("10"));
        QCOMPARE(ui->comboBoxEncryptType->currentText(), QString("无"));
        QVERIFY(!ui->lineEditAccount->isEnabled() && !ui->lineEditPassword->isEnabled());
        QVERIFY(!ui->lineEditSendMailTo->isEnabled());
        QCOMPARE(ui->lineEditServerPort->maxLength(), 5);
        QCOMPARE(ui->lineEditAttachFileSize->maxLength(), 3);
        QTest::keyClicks(ui->lineEditServerPort, "12a9");
        QCOMPARE(ui->lineEditServerPort->text(), QString("25129"));
        QTest::keyClicks(ui->lineEditServerPort, "7");
        QCOMPARE(ui->lineEditServerPort->text(), QString("25129"));
        ui->lineEditDestName->setText("  ");
        d.clickedBtnOK();
        QCOMPARE(answer.last().text, QString("请输入目的地名称！"));
        ui->lineEditDestName->setText("电子邮件");
        d.clickedBtnOK();
        QCOMPARE(answer.last().text, QString("请输入SMTP服务器。"));
        ui->lineEditServerAddress->setText(" smtp.example.org ");
        ui->checkBoxSendMailTo->setChecked(true);
        d.clickedBtnOK();
        QCOMPARE(answer.last().text, QString("请输入至少一个收件人。"));
        ui->checkBoxSendMailTo->setChecked(false);
        d.clickedBtnOK();
        QCOMPARE(answer.last().text, QString("此目的地已经存在，请输入其他的名称"));
        QCOMPARE(record.Name, QString("untouched"));
        ui->lineEditDestName->setText(" Office ");
        ui->lineEditAccount->setText("left over");
        ui->lineEditSendMailTo->setText("x@example.org");
        ui->lineEditServerPort->clear();
        ui->lineEditAttachFileSize->clear();
        d.clickedBtnOK();
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }
    QCOMPARE(QVariantList({record.Name, record.ServerAddress, record.Port, record.MailSize}),
             QVariantList({"Office", "smtp.example.org", 0, 0}));
    QVERIFY(!record.NeedAuth && record.Account.isEmpty() && record.Password.isEmpty());
    QVERIFY(!record.SendNoPromptMail && record.Recipient.isEmpty());

    // Modify mode: a stored encryption of 7 shows no entry and is stored as 0.
    record.EncryptTypeID = 7;
    record.NeedAuth = true;
    record.Account = "me";
    record.Password = "pw";
    {
        WebMailDialog d(false, &store, &record);
        QCOMPARE(d.form()->comboBoxEncryptType->currentIndex(), -1);
        QVERIFY(d.form()->lineEditPassword->isEnabled());
        d.form()->lineEditPassword->setText("  sec ret  ");
        d.form()->lineEditDestName->setText("文件"); // a duplicate name is not checked here
        d.clickedBtnOK();
        QCOMPARE(d.result(), int(QDialog::Accepted));
    }
    QCOMPARE(record.EncryptTypeID, 0);
    QCOMPARE(record.Password, QString("sec ret"));
    QCOMPARE(record.Name, QString("文件"));
}

void TestLauncherDialogs::customApplicationDialog()
{
    LauncherDir dir;
    LoadedDestinations store;
    tagSCAN_DESTINATION record;
    testsupport::ModalAnswerer answer("确定");
    auto run = [&](bool create, const QString &name, const QString &path, const QString &params) {
        CustomApplicationDialog d(create, &store, &record);
        d.form()->lineEditDestName->setText(name);
        d.form()->lineEditPath->setText(path);
        d.form()->lineEditParams->setText(params);
        d.clickedBtnOK();
        return d.result() == QDialog::Accepted;
    };
    QVERIFY(!run(true, "Viewer", "", ""));
    QCOMPARE(answer.last().text, QString("没有路径名称！"));
    QVERIFY(!run(true, "Viewer", "ls", "")); // a bare name is tested as typed
    QCOMPARE(answer.last().text, QString("无效的路径名称！"));
    QVERIFY(!run(true, "应用程序", "/bin/ls", ""));
    QCOMPARE(answer.last().text, QString("此目的地已经存在，请输入其他的名称"));
    QVERIFY(run(true, " Viewer ", "/usr/bin", "")); // a directory passes
    QCOMPARE(record.Parameter, ScanDestination::kImageNameToken);
    QVERIFY(run(true, "Viewer2", " /bin/ls ", " -l  -a "));
    QCOMPARE(record.ExecutableFile, QString("/bin/ls"));
    QCOMPARE(record.Parameter, QString("-l  -a <%IMAGE_NAME%>"));
    QVERIFY(run(true, "Viewer3", "/bin/ls", "a <%IMAGE_NAME%> b"));
    QCOMPARE(record.Parameter, QString("a <%IMAGE_NAME%> b <%IMAGE_NAME%>"));
    CustomApplicationDialog again(false, &store, &record);
    QCOMPARE(again.form()->lineEditParams->text(), QString("a  b"));
    QCOMPARE(again.form()->lineEditDestName->maxLength(), 75);
}

void TestLauncherDialogs::watermarkDialog()
{
    testsupport::ModalAnswerer answer("确定");
    tagWATERMARK w;
    w.Watermark.clear();
    w.FontSize = 5;
    w.FontName.clear();
    WatermarkSettingDialog d(w);
    QCOMPARE(d.form()->comboBoxFontSize->currentText(), QString("8"));
    QCOMPARE(d.form()->comboBoxFontSize->count(), 16);
    QCOMPARE(d.form()->lineEditWatermark->maxLength(), 60);
    d.clickedBtnOK();
    QCOMPARE(answer.last().title, QString("确认"));
    QCOMPARE(answer.last().text, QString("请输入水印文字或者选择包含系统日期。"));
    d.form()->checkBoxIncludeSystemDate->setChecked(true);
    d.clickedBtnOK();
    QCOMPARE(d.result(), int(QDialog::Accepted));
    tagWATERMARK out;
    d.getWatermark(out);
    QVERIFY(out.Watermark.isEmpty());
    QCOMPARE(out.FontSize, 8);
    QCOMPARE(out.FontName, d.font().family());
    QVERIFY(!out.FontName.isEmpty());

    w.FontSize = 100;
    w.Watermark = "  机密  ";
    WatermarkSettingDialog blanks(w);
    QCOMPARE(blanks.form()->comboBoxFontSize->currentText(), QString("8"));
    blanks.form()->comboBoxFontSize->setCurrentText("48");
    blanks.clickedBtnOK();
    blanks.getWatermark(out);
    QCOMPARE(out.Watermark, QString("  机密  "));
    QCOMPARE(out.FontSize, 48);
}

void TestLauncherDialogs::thresholdAndOcr()
{
    BlankImageSizeDialog high(5);
    QCOMPARE(high.slider()->value(), 1);
    high.clickedBtnOK();
    QCOMPARE(high.getBlankPageThreshold(), 1);
    BlankImageSizeDialog low(-5);
    low.clickedBtnOK();
    QCOMPARE(low.getBlankPageThreshold(), -1);
    BlankImageSizeDialog cancelled(0);
    cancelled.slider()->setValue(1);
    cancelled.reject();
    QCOMPARE(cancelled.getBlankPageThreshold(), 0);
    OcrSettingDialog ocr;
    QCOMPARE(ocr.languages()->count(), 1);
    QCOMPARE(ocr.languages()->currentItem()->text(), QString("简体中文"));
}

void TestLauncherDialogs::exitReadsTheHelper_data()
{
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<bool>("checked");
    QTest::newRow("on") << QByteArray("1\\n") << true;
    QTest::newRow("off") << QByteArray("0") << false;
    QTest::newRow("nothing") << QByteArray() << false;
    QTest::newRow("last piece decides") << QByteArray("0\\\\\\\\1") << true;
    // Nothing after a NUL is read: of "0\" NUL "\1" only "0\" counts, whose last piece is empty.
    QTest::newRow("cut at NUL") << QByteArray("0\\\\\\0\\\\1") << false;
}

void TestLauncherDialogs::exitReadsTheHelper()
{
    QFETCH(QByteArray, output);
    FakeHelpers helpers(output);
    ExitHintDialog d;
    QTEST(d.form()->checkBoxAutoRun->isChecked(), "checked");
    QCOMPARE(d.windowTitle(), QString("退出Onepress"));
}

void TestLauncherDialogs::exitSwitchesWithThePasswordOnStdin()
{
    g_trace.clear();
    QtMessageHandler old = qInstallMessageHandler(captureTrace);
    {
        // A helper taking its time: the event loop turns meanwhile.
        FakeHelpers helpers("0", "Success", 1);
        ExitAttempt exit({"a  b c"});
        testsupport::StallMeter stall;
        const int result = exit.press(true);
        QVERIFY2(stall.longestMs() < scaledMs(100), qPrintable(stall.report()));
        QCOMPARE(result, int(QDialog::Accepted));
        QCOMPARE(exit.passwordDialogs, 1);
        QCOMPARE(helpers.read("autostart", "argc"), QByteArray("0"));
        QCOMPARE(helpers.read("autostart", "stdin"), QByteArray("a  b c\n"));
        QVERIFY(exit.boxes.isEmpty());
    }
    {
        // Unchanged box: no password asked.
        FakeHelpers helpers("1");
        ExitAttempt exit;
        exit.dialog.clickedBtnOK();
        QCOMPARE(exit.passwordDialogs, 0);
        QCOMPARE(exit.dialog.result(), int(QDialog::Accepted));
    }
    {
        // Three wrong passwords: three boxes, the exit goes on.
        FakeHelpers helpers("1", "Failure");
        ExitAttempt exit({"x", "y", "z", "never asked"});
        const int result = exit.press(false);
        QCOMPARE(exit.passwordDialogs, 3);
        QCOMPARE(exit.boxes,
                 QStringList({"密码错误!请重试.", "密码错误!请重试.", "密码错误!请重试."}));
        QCOMPARE(helpers.read("removestart", "stdin"), QByteArray("z\n"));
        QCOMPARE(result, int(QDialog::Accepted));
    }
    {
        // Cancel at the password: nothing run, the exit goes on.
        FakeHelpers helpers("0");
        ExitAttempt exit;
        const int result = exit.press(true);
        QCOMPARE(exit.passwordDialogs, 1);
        QVERIFY(helpers.read("autostart", "argc").isNull());
        QCOMPARE(result, int(QDialog::Accepted));
    }
    qInstallMessageHandler(old);
    for (const QString &line : g_trace)
        QVERIFY2(!line.contains("a  b c") && !line.contains("never asked"), qPrintable(line));
}

void TestLauncherDialogs::exitHelpersThatFail()
{
    {
        // No helpers at all: unchecked, and a switch attempt is refused.
        StartLoginHelpers::setFolder("/nonexistent-helpers");
        ExitAttempt exit({"p"});
        QVERIFY(!exit.autoRun()->isChecked());
        exit.press(true);
        QCOMPARE(exit.boxes, QStringList({"密码错误!请重试."}));
        StartLoginHelpers::setFolder(QString());
    }
    {
        // A helper past the bound is stopped there.
        FakeHelpers helpers("0", "Success", 20);
        StartLoginHelpers::setTimeoutMs(300);
        ExitAttempt exit({"p"});
        QElapsedTimer clock;
        clock.start();
        exit.press(true);
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(exit.boxes, QStringList({"密码错误!请重试."}));
        StartLoginHelpers::setTimeoutMs(30000);
    }
    {
        // The folder comes from support.ini when the test sets none.
        LauncherDir dir;
        g_ConfigFile.m_strSupportIni = dir.root->filePath("support.ini");
        LauncherDir::write(g_ConfigFile.m_strSupportIni,
                           "[PATH_CONFIG]\nStartLoginHelpers=/opt/helpers\n");
        QCOMPARE(StartLoginHelpers::checkStartPath(),
                 QString("/opt/helpers/corvan-deskscope-vr516-checkstart"));
        QFile::remove(g_ConfigFile.m_strSupportIni);
        QCOMPARE(StartLoginHelpers::folder(), QString("/usr/local/sbin"));
    }
    ConfirmPwdDialog empty;
    empty.clickedBtnOK();
    QCOMPARE(empty.result(), 0);
    QCOMPARE(empty.form()->lineEditPwd->echoMode(), QLineEdit::Password);
}

// The helpers as they are installed, over a private autostart folder; only
// the account check is a stand-in, which takes "a  b c" whole and ended by NUL.
void TestLauncherDialogs::exitWithTheInstalledHelpers()
{
    const QString helpers = STARTLOGIN_HELPERS;
    LauncherDir::write(helpers + "/check-password",
                       "#!/bin/sh\nprintf '%s' \"$*\" > \"$0.args\"\n"
                       "printf 'a  b c\\0' > \"$0.expected\"\n"
                       "cat > \"$0.got\"\ncmp -s \"$0.expected\" \"$0.got\"\n");
    QFile::setPermissions(helpers + "/check-password",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QTemporaryDir config;
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    const QString entry = config.filePath("autostart/corvan-onepress.desktop");
    StartLoginHelpers::setFolder(helpers);
    {
        ExitAttempt exit({"a b c", "a  b c"});
        QVERIFY(!exit.autoRun()->isChecked());
        exit.press(true);
        QCOMPARE(exit.boxes, QStringList({"密码错误!请重试."}));
        QCOMPARE(exit.passwordDialogs, 2);
        QVERIFY(QFileInfo(entry).isFile());
        QVERIFY(LauncherDir::read(entry).contains("Exec=corvan-onepress"));
        QVERIFY(LauncherDir::read(helpers + "/check-password.args").endsWith(" nullok"));
    }
    {
        ExitAttempt exit({"a  b c"});
        QVERIFY(exit.autoRun()->isChecked());
        exit.press(false);
        QVERIFY(exit.boxes.isEmpty());
        QVERIFY(!QFileInfo::exists(entry));
    }
    StartLoginHelpers::setFolder(QString());
    qputenv("XDG_CONFIG_HOME", oldConfig);
}

void TestLauncherDialogs::buttonCount()
{
    // Through the window, which keeps its one dialog between openings.
    RunRig rig;
    MainWindow &w = *rig.window;
    w.setOptionNumber(7);
    QStringList shown;
    // One answerer per opening: the dialog is the same widget both times.
    auto answer = [&shown](bool accept) {
        return std::make_unique<testsupport::ModalAnswerer>(
            [&shown, accept](QWidget *d, const testsupport::ModalSeen &) {
                auto *b = qobject_cast<ButtonOptionDialog *>(d);
                if (!b) {
                    d->close();
                    return;
                }
                shown << b->form()->comboBoxButtonsCount->currentText();
                b->form()->comboBoxButtonsCount->setCurrentText("12");
                if (accept)
                    b->clickedBtnOK();
                else
                    b->reject();
            });
    };
    const int sent = rig.console->buttons.size();
    {
        auto cancel = answer(false);
        w.systemMenuOption();
    }
    QCOMPARE(w.optionNumber(), 7);
    QCOMPARE(rig.console->buttons.size(), sent);
    {
        auto ok = answer(true);
        w.systemMenuOption();
    }
    QCOMPARE(shown, QStringList({"7", "12"}));
    QCOMPARE(w.optionNumber(), 12);
    QCOMPARE(rig.console->buttons.size(), sent + 1);

    int zero = 0;
    ButtonOptionDialog first(&zero);
    QCOMPARE(first.form()->comboBoxButtonsCount->count(), 20);
    QCOMPARE(first.form()->comboBoxButtonsCount->itemText(19), QString("20"));
    QCOMPARE(first.form()->comboBoxButtonsCount->currentText(), QString("1"));
}

void TestLauncherDialogs::labels()
{
    QCOMPARE(PrintShortcutDialog::gridFor(700, 1000), qMakePair(2, 3));
    QCOMPARE(PrintShortcutDialog::gridFor(500, 1000).second, 2);
    QCOMPARE(PrintShortcutDialog::gridFor(399, 1000).second, 1);
    QCOMPARE(PrintShortcutDialog::gridFor(700, 759).first, 1);
    QCOMPARE(PrintShortcutDialog::cardPositions(700, 1000, false, 2, 3),
             QList<QPoint>({QPoint(250, 310)}));
    const QList<QPoint> six = PrintShortcutDialog::cardPositions(700, 1000, true, 2, 3);
    QCOMPARE(six.size(), 6);
    QCOMPARE(six.at(0), QPoint(25, 80));
    QCOMPARE(six.at(5), QPoint(2 * 200 + 3 * 25, 380 + 2 * 80));
    QVERIFY(PrintShortcutDialog::cardPositions(700, 1000, true, 3, 1).isEmpty());

    QStringList names = {"A", "B", "C"};
    PrintShortcutDialog d(names);
    QCOMPARE(d.form()->lineEditPrinterName->text(), QPrinterInfo::defaultPrinterName());
    // No printer here at all: printing at once neither hangs nor fails loudly.
    if (QPrinterInfo::defaultPrinterName().isEmpty())
        d.clickedBtnPrinting();
    QVERIFY(!d.form()->comboBoxRow->isEnabled());
    d.form()->checkBoxPrintOnePage->click();
    QVERIFY(d.form()->comboBoxRow->isEnabled());
    d.applyPrintableArea(500, 700);
    QCOMPARE(d.form()->comboBoxRow->count(), 1);
    QCOMPARE(d.form()->comboBoxColumn->count(), 2);
    const QString pdf = QDir::tempPath() + "/labels.pdf";
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    d.printDocument(&printer);
    QVERIFY(RunRig::tool("pdfinfo", {pdf}).contains(QRegularExpression("Pages:\\s+1\\n")));
    const QString text = RunRig::tool("pdftotext", {pdf, "-"}).remove(' ');
    QVERIFY2(text.contains("快捷键索引"), qPrintable(text));
    QVERIFY(text.contains("1.A") && text.contains("3.C"));
}

void TestLauncherDialogs::editorActions()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    Ui_MainWindow *ui = w.form();
    QCOMPARE(w.scanToMenu()->actions().size(), 2);
    QCOMPARE(w.scanToMenu()->actions().at(0)->text(), QString("Web邮件..."));
    QCOMPARE(ui->pushButtonCreateNewMenu->menu(), w.scanToMenu());
    QCOMPARE(w.scanToMenu()->actions().at(1)->text(), QString("自定义应用程序..."));
    QCOMPARE(ui->pushButtonAbout->styleSheet(),
             QString("QPushButton#pushButtonAbout{border-image:url(:/ui/images/about_qvo.png)}"));
    QCOMPARE(ui->pushButtonHelp->styleSheet(),
             QString("QPushButton#pushButtonHelp{border-image:url(:/ui/images/help_qvo.png)}"));
    for (QPushButton *b : {ui->pushButtonCreateNewMenu, ui->pushButtonSaveAs, ui->pushButtonModify,
                           ui->pushButtonDelete}) {
        QCOMPARE(b->styleSheet(), QString("border:none;"));
        QVERIFY(!b->icon().isNull());
    }

    // The new-task item, cancelled: the selector returns.
    {
        testsupport::ModalAnswerer cancel;
        ui->comboBoxTaskShortcut->setCurrentIndex(ui->comboBoxTaskShortcut->count() - 1);
        QCOMPARE(ui->comboBoxTaskShortcut->currentIndex(), 0);
    }
    // Accepted: the new task is shown and offered to the panel.
    {
        testsupport::ModalAnswerer named([](QWidget *d, const testsupport::ModalSeen &) {
            if (auto *t = qobject_cast<TaskShortcutDialog *>(d)) {
                t->form()->lineEditText->setText("Invoices");
                t->clickedBtnOK();
            }
        });
        const int sent = rig.console->buttons.size();
        ui->comboBoxTaskShortcut->setCurrentIndex(ui->comboBoxTaskShortcut->count() - 1);
        QCOMPARE(w.tasks().getCurrentTaskIndex(), 10);
        QCOMPARE(ui->comboBoxTaskShortcut->currentText(), QString("11. Invoices"));
        QCOMPARE(rig.console->buttons.size(), sent + 1);
        QCOMPARE(rig.console->buttons.last().size(), 11);
    }
    // Rename without a change sends the list again.
    {
        testsupport::ModalAnswerer ok("确定");
        const int sent = rig.console->buttons.size();
        w.clickedBtnTaskRename();
        QCOMPARE(rig.console->buttons.size(), sent + 1);
    }
    // A new web-mail destination: selected last, its layout shown, Apply on.
    {
        testsupport::ModalAnswerer mail([](QWidget *d, const testsupport::ModalSeen &) {
            if (auto *m = qobject_cast<WebMailDialog *>(d)) {
                m->form()->lineEditDestName->setText("Office mail");
                m->form()->lineEditServerAddress->setText("smtp.example.org");
                m->clickedBtnOK();
            }
        });
        ui->pushButtonApply->setEnabled(false);
        w.clickedWebMailMenu();
        QCOMPARE(ui->comboBoxScanDestination->currentIndex(), 4);
        QCOMPARE(ui->comboBoxScanDestination->currentText(), QString("Office mail"));
        QVERIFY(!ui->checkBoxAfterSendFileDeleteFile->isHidden());
        QVERIFY(ui->pushButtonApply->isEnabled());
        QVERIFY(ui->pushButtonDelete->isEnabled());
        QVERIFY(LauncherDir::read(ScanDestination::iniPath()).contains("Office mail"));
    }
    // Save as: a copy under the new name, selected last, destination.ini written.
    {
        testsupport::ModalAnswerer named([](QWidget *d, const testsupport::ModalSeen &) {
            if (auto *s = qobject_cast<SaveAsDialog *>(d)) {
                QCOMPARE(s->form()->lineEdit->text(), QString("Office mail"));
                s->form()->lineEdit->setText(" Home mail ");
                s->clickedBtnOK();
            }
        });
        w.clickedBtnSaveAs();
        QCOMPARE(ui->comboBoxScanDestination->count(), 6);
        QCOMPARE(ui->comboBoxScanDestination->currentText(), QString("Home mail"));
        QVERIFY(LauncherDir::read(ScanDestination::iniPath()).contains("Home mail"));
    }
    // Modify: a web-mail destination opens the web-mail dialog over a copy.
    {
        QString opened;
        testsupport::ModalAnswerer modify([&](QWidget *d, const testsupport::ModalSeen &) {
            opened = d->metaObject()->className();
            if (auto *m = qobject_cast<WebMailDialog *>(d)) {
                QCOMPARE(m->form()->lineEditDestName->text(), QString("Home mail"));
                m->form()->lineEditDestName->setText("Home");
                m->clickedBtnOK();
            }
        });
        w.clickedBtnModify();
        QCOMPARE(opened, QString("WebMailDialog"));
        QCOMPARE(ui->comboBoxScanDestination->currentText(), QString("Home"));
        const QByteArray ini = LauncherDir::read(ScanDestination::iniPath());
        QVERIFY(ini.contains("Home") && !ini.contains("Home mail"));
    }
    // Delete it again: the next test expects the web-mail destination last.
    {
        testsupport::ModalAnswerer yes("是");
        w.clickedBtnDelete();
        QCOMPARE(ui->comboBoxScanDestination->currentText(), QString("Office mail"));
    }
    // The OCR dialog stores nothing but marks the task changed; a cancelled
    // printer set-up changes neither the name nor the mark.
    {
        ui->pushButtonApply->setEnabled(false);
        testsupport::ModalAnswerer cancel;
        const QString printer = ui->lineEditPrinterName->text();
        w.clickedBtnOcrFileSetting();
        QVERIFY(!ui->pushButtonApply->isEnabled());
        w.clickedBtnPrinterSetting();
        QCOMPARE(ui->lineEditPrinterName->text(), printer);
        QVERIFY(!ui->pushButtonApply->isEnabled());
        cancel.stop();
        testsupport::ModalAnswerer ok("确定");
        w.clickedBtnOcrFileSetting();
        QCOMPARE(ok.last().title, QString("OCR设置"));
        QVERIFY(ui->pushButtonApply->isEnabled());
    }
    // Deleting the last destination selects the new last and writes everything.
    {
        testsupport::ModalAnswerer yes("是");
        QTest::qWait(20);
        const LauncherDir::Snapshot before = rig.dir.snapshot();
        ui->lineEditSaveFilePath->setText(rig.out());
        w.clickedBtnDelete();
        QCOMPARE(yes.last().text, QString("确定要删除此目的地吗？"));
        QCOMPARE(ui->comboBoxScanDestination->count(), 4);
        QCOMPARE(ui->comboBoxScanDestination->currentIndex(), 3);
        QVERIFY(!LauncherDir::read(ScanDestination::iniPath()).contains("Office mail"));
        const LauncherDir::Snapshot after = rig.dir.snapshot();
        const QString slot0 = TaskShortcut::slotIds().at(0) + "/command.ini";
        QVERIFY(after.files.value(slot0) != before.files.value(slot0));
        tagTASK_SHORTCUT t = currentTask(w.tasks());
        QCOMPARE(t.ScanDestinationID, ScanDestination::kEmailId);
    }
    // Delete with a prefix the file namer would refuse: the stored prefix
    // stays; a destination.ini that cannot be written is reported.
    {
        tagSCAN_DESTINATION extra;
        extra.ScanDestinationFlagID = ScanDestCustomApplication;
        extra.Name = "Viewer";
        w.destinations().addScanDestination(extra);
        ui->comboBoxScanDestination->setCurrentIndex(ui->comboBoxScanDestination->count() - 1);
        tagTASK_SHORTCUT before = currentTask(w.tasks());
        ui->lineEditFileNamePrefix->setText("bad/prefix");
        testsupport::ModalAnswerer yes("是");
        w.clickedBtnDelete();
        QCOMPARE(yes.last().text, QString("前缀含无效字符！"));
        tagTASK_SHORTCUT after = currentTask(w.tasks());
        QCOMPARE(after.FileNamePrefix, before.FileNamePrefix);
        QVERIFY(ui->pushButtonApply->isEnabled());
        ui->lineEditFileNamePrefix->setText(before.FileNamePrefix);
        yes.stop();

        w.destinations().addScanDestination(extra);
        ui->comboBoxScanDestination->setCurrentIndex(ui->comboBoxScanDestination->count() - 1);
        const QString settings = g_ConfigFile.m_strSettingsDir;
        LauncherDir::write(rig.dir.root->filePath("plainfile"), "x");
        g_ConfigFile.m_strSettingsDir = rig.dir.root->filePath("plainfile");
        testsupport::ModalAnswerer boxes([](QWidget *box, const testsupport::ModalSeen &) {
            if (!testsupport::ModalAnswerer::press(box, "是"))
                testsupport::ModalAnswerer::press(box, "确定");
        });
        w.clickedBtnDelete();
        g_ConfigFile.m_strSettingsDir = settings;
        QVERIFY2(RunRig::isWriteFailure(boxes.last()), qPrintable(boxes.last().text));
    }
    // The folder browser: Documents for a missing folder; a pick below a file refused.
    {
        QStringList starts;
        QString pick = rig.dir.root->filePath("plain/below");
        LauncherDir::write(rig.dir.root->filePath("plain"), "x");
        w.setFolderChooser([&](const QString &caption, const QString &start) {
            starts << caption + "|" + start;
            return pick;
        });
        testsupport::ModalAnswerer ok("确定");
        ui->lineEditSaveFilePath->setText("/no/such/folder");
        w.clickedBtnBrowsePath();
        QCOMPARE(starts.last(), "浏览文件夹|" + QStandardPaths::writableLocation(
                                                    QStandardPaths::DocumentsLocation));
        QCOMPARE(ok.last().text, QString("选择的路径没有写入权限，请选择其它路径。"));
        QCOMPARE(ui->lineEditSaveFilePath->text(), QString("/no/such/folder"));
        pick = rig.out();
        w.clickedBtnBrowsePath();
        QCOMPARE(ui->lineEditSaveFilePath->text(), rig.out());
    }
    // Settings buttons: the threshold and watermark reach the working values.
    {
        testsupport::ModalAnswerer setting([](QWidget *d, const testsupport::ModalSeen &) {
            if (auto *b = qobject_cast<BlankImageSizeDialog *>(d)) {
                b->slider()->setValue(1);
                b->clickedBtnOK();
            } else if (auto *m = qobject_cast<WatermarkSettingDialog *>(d)) {
                m->form()->lineEditWatermark->setText("Draft");
                m->clickedBtnOK();
            }
        });
        w.clickedBlankPageSetting();
        QCOMPARE(w.workingThreshold(), 1);
        w.clickedWatermarkSetting();
        QCOMPARE(w.workingWatermark().Watermark, QString("Draft"));
    }
}

// Each form at its start size, and a picture of it under the test's
// temporary directory to look at.
void TestLauncherDialogs::formSizesAndGrabs()
{
    LauncherDir dir;
    LoadedDestinations store;
    LoadedTasks tasks(dir);
    tagSCAN_DESTINATION record;
    int option = 7;
    QStringList names = {"A", "B"};
    FakeHelpers helpers("0");
    struct Form
    {
        QString name;
        std::unique_ptr<QDialog> dialog;
        QSize size;
    };
    std::vector<Form> forms;
    forms.push_back(
        {"webmail", std::make_unique<WebMailDialog>(true, &store, &record), {334, 397}});
    forms.push_back({"customapp",
                     std::make_unique<CustomApplicationDialog>(true, &store, &record),
                     {400, 218}});
    forms.push_back(
        {"watermark", std::make_unique<WatermarkSettingDialog>(tagWATERMARK()), {395, 275}});
    forms.push_back({"threshold", std::make_unique<BlankImageSizeDialog>(0), {299, 143}});
    forms.push_back({"ocr", std::make_unique<OcrSettingDialog>(), {311, 268}});
    forms.push_back({"taskname", std::make_unique<TaskShortcutDialog>(true, &tasks), {306, 218}});
    forms.push_back({"buttons", std::make_unique<ButtonOptionDialog>(&option), {358, 116}});
    forms.push_back({"exit", std::make_unique<ExitHintDialog>(), {324, 118}});
    forms.push_back({"password", std::make_unique<ConfirmPwdDialog>(), {276, 123}});
    forms.push_back({"labels", std::make_unique<PrintShortcutDialog>(names), {400, 210}});
    // The widgets each form names, the buttons shared by all.
    const QMap<QString, QString> widgets = {
        {"webmail", "labelDestName lineEditDestName groupBoxSendUserInfo labelUserName "
                    "lineEditUserName labelUserAddress lineEditUserAddress groupBoxSMTPSetting "
                    "labelServerAddress lineEditServerAddress labelServerPort lineEditServerPort "
                    "labelEncryptType comboBoxEncryptType checkBoxServerAuth labelAccount "
                    "lineEditAccount labelPassword lineEditPassword labelAttachFileSize "
                    "lineEditAttachFileSize labelUnit checkBoxSendMailTo lineEditSendMailTo"},
        {"customapp", "labelDestName lineEditDestName labelPath lineEditPath pushButtonBrowse "
                      "labelParams lineEditParams"},
        {"watermark", "labelCharacters lineEditWatermark checkBoxIncludeSystemDate "
                      "groupBoxAdvSetting labelFontName fontComboBox labelFontSize "
                      "comboBoxFontSize checkBoxPageNumber checkBoxDateTime"},
        {"threshold", "labelInfo horizontalSlider labelLow labelHigh"},
        {"ocr", "labelOcrLanguage listWidgetLanguage"},
        {"taskname", "labelText lineEditText labelGraphicsText labelImage pushButtonBrowse"},
        {"buttons", "labelButtonsInfo comboBoxButtonsCount"},
        {"exit", "labelInfo checkBoxAutoRun"},
        {"password", "labelInfo lineEditPwd"},
        {"labels", "labelPrinterName lineEditPrinterName pushButtonSettings groupBoxOption "
                   "checkBoxPrintOnePage labelRow comboBoxRow labelColumn comboBoxColumn "
                   "pushButtonPreview pushButtonPrinting"}};
    for (Form &f : forms) {
        for (const QString &name :
             (widgets.value(f.name) + " pushButtonOK pushButtonCancel").split(' ')) {
            if (f.name == "labels" && name == "pushButtonOK")
                continue;
            QVERIFY2(f.dialog->findChild<QWidget *>(name), qPrintable(f.name + ": " + name));
        }
        QCOMPARE(f.dialog->size(), f.size);
        f.dialog->show();
        QVERIFY(f.dialog->grab().save(QDir::tempPath() + "/" + f.name + ".png"));
        f.dialog->hide();
    }
}

QTEST_MAIN(TestLauncherDialogs)
#include "tst_launcherdialogs.moc"

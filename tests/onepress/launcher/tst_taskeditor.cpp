// The task editor on the launcher window: its form, layout by destination
// kind and file type, the checks, write-back, task switch, OK, Cancel and
// Apply, and the task name dialog.

#include "errorhandling.h"
#include "runfixture.h"
#include "scanmainwindow.h"
#include "support/datarows.h"
#include "support/modalanswer.h"
#include "taskshortcutdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCryptographicHash>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOptionGroupBox>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>

#include <memory>

using testsupport::row;

namespace {

QByteArray pngBytes(QColor colour)
{
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return bytes;
}

QString g_pick;
QString pickFile(QWidget *, const QString &, const QString &, const QString &)
{
    return g_pick;
}

// Shows a page of the first tab widget of that name under the widget (its
// own before those of its pages) and lays it out.
QWidget *showTab(QWidget *in, const char *tabs, int index)
{
    auto *widget = in->findChild<QTabWidget *>(tabs);
    widget->setCurrentIndex(index);
    QApplication::processEvents();
    return widget->currentWidget();
}

// The application's font at a point size while it lives.
struct PointSize
{
    QFont before = QApplication::font();
    explicit PointSize(int points)
    {
        QFont font = before;
        font.setPointSize(points);
        QApplication::setFont(font);
    }
    ~PointSize() { QApplication::setFont(before); }
};

// Selects a destination of the given kind in the editor (notifications on).
void chooseDestination(MainWindow &w, const QString &id)
{
    QComboBox *box = w.form()->comboBoxScanDestination;
    box->setCurrentIndex(box->findData(id));
}

} // namespace

class TestTaskEditor : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Q_INIT_RESOURCE(onepress); }
    void init() { g_ConfigFile.m_nAutoTest = 0; }

    void formInventory();
    void layoutAtItsSize_data();
    void layoutAtItsSize();
    void layoutByKind_data();
    void layoutByKind();
    void layoutAtDesktopFonts_data();
    void layoutAtDesktopFonts();
    void unknownDestinationShowsAsFile();
    void fileTypeRules_data();
    void fileTypeRules();
    void prefixTable_data();
    void prefixTable();
    void folderChecks();
    void scanOptionsRuleEachOtherOut();
    void writeBack();
    void taskSwitch();
    void applyAndOkDuringAScan();
    void okAsksAboutChanges();
    void failedWriteShowsTheBox();
    void nameDialog();
    void testButtonFollowsAutoTest();
};

void TestTaskEditor::formInventory()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    Ui_MainWindow *ui = w.form();
    QCOMPARE(w.size(), QSize(616, 559));
    // Every child with its class and, where it has one, its text from the
    // wording list (a file task is shown, so the two kind-dependent boxes read
    // their file texts); "tip:" marks a tool tip.
    const struct
    {
        const char *name, *cls, *text;
    } inventory[] = {
        {"labelTaskShortcut", "QLabel", "任务快捷键："},
        {"comboBoxTaskShortcut", "QComboBox", nullptr},
        {"pushButtonTaskRename", "QPushButton", "重命名..."},
        {"pushButtonAbout", "QPushButton", "tip:关于"},
        {"pushButtonHelp", "QPushButton", "tip:帮助"},
        {"groupBoxScanTo", "QGroupBox", "扫描至"},
        {"labelDestAddress", "QLabel", "目的地："},
        {"labelDestAddressImage", "QLabel", nullptr},
        {"comboBoxScanDestination", "QComboBox", nullptr},
        {"pushButtonCreateNewMenu", "QPushButton", "tip:新建"},
        {"pushButtonSaveAs", "QPushButton", "tip:另存为"},
        {"pushButtonModify", "QPushButton", "tip:修改"},
        {"pushButtonDelete", "QPushButton", "tip:删除"},
        {"labelFileType", "QLabel", "文件类型："},
        {"labelFileTypeImage", "QLabel", nullptr},
        {"comboBoxFileType", "QComboBox", nullptr},
        {"pushButtonOcrFileSetting", "QPushButton", "设置..."},
        {"labelSaveFilePath", "QLabel", "文件夹："},
        {"lineEditSaveFilePath", "QLineEdit", nullptr},
        {"pushButtonBrowsePath", "QPushButton", "浏览..."},
        {"labelFileNameFormat", "QLabel", "文件名格式："},
        {"comboBoxFileNameFormat", "QComboBox", nullptr},
        {"labelFileNamePrefix", "QLabel", "文件名前缀："},
        {"lineEditFileNamePrefix", "QLineEdit", nullptr},
        {"checkBoxAfterSendFileDeleteFile", "QCheckBox", "发送后删除文件"},
        {"checkBoxBeforeSaveFileSettingName", "QCheckBox", "保存之前先设定文件名称"},
        {"labelPrinterName", "QLabel", "打印机名称："},
        {"lineEditPrinterName", "QLineEdit", nullptr},
        {"pushButtonPrinterSetting", "QPushButton", "设置..."},
        {"checkBoxBeforePrintingDisplaySetting", "QCheckBox", "打印前显示设置"},
        {"labelScalePrintingPage", "QLabel", "页面缩放："},
        {"comboBoxScalePrintingPage", "QComboBox", nullptr},
        {"checkBoxCenterPrinting", "QCheckBox", "居中"},
        {"groupBoxScanOption", "QGroupBox", "扫描选项"},
        {"checkBoxBeforeSaveFileEditImage", "QCheckBox", "保存之前先编辑影像"},
        {"checkBoxBlankPageSeparate", "QCheckBox", "空白页面后分隔"},
        {"pushButtonBlankPageSetting", "QPushButton", "设置..."},
        {"checkBoxADFTrayEmptyWaiting", "QCheckBox", "进纸器已空时请等待其他页面"},
        {"checkBoxBarcodeSeparate", "QCheckBox", "按条码分隔"},
        {"checkBoxAddKeywordToDoc", "QCheckBox", "添加关键词至文档文件"},
        {"checkBoxAddWatermark", "QCheckBox", "添加水印"},
        {"pushButtonWatermarkSetting", "QPushButton", "设置..."},
        {"groupBoxScanAs", "QGroupBox", "扫描为"},
        {"labelSettingShortcut", "QLabel", "设置快捷键："},
        {"labelSettingShortcutImage", "QLabel", nullptr},
        {"lineEditSettingShortcut", "QLineEdit", nullptr},
        {"pushButtonSettingShortcut", "QPushButton", "设置..."},
        {"checkBoxBeforeScanDisplaySetting", "QCheckBox", "扫描前显示设置"},
        {"pushButtonTest", "QPushButton", "测试"},
        {"pushButtonOK", "QPushButton", "确定"},
        {"pushButtonCancel", "QPushButton", "取消"},
        {"pushButtonApply", "QPushButton", "应用"},
    };
    for (const auto &item : inventory) {
        QWidget *found = w.findChild<QWidget *>(item.name);
        QVERIFY2(found, item.name);
        QCOMPARE(QString(found->metaObject()->className()), QString(item.cls));
        if (!item.text)
            continue;
        QString expected = QString::fromUtf8(item.text);
        QString shown;
        if (expected.startsWith("tip:")) {
            expected.remove(0, 4);
            shown = found->toolTip();
        } else if (auto *group = qobject_cast<QGroupBox *>(found)) {
            shown = group->title();
        } else if (auto *label = qobject_cast<QLabel *>(found)) {
            shown = label->text();
        } else {
            shown = static_cast<QAbstractButton *>(found)->text();
        }
        QVERIFY2(shown == expected, item.name);
    }
    for (QWidget *b : {(QWidget *)ui->pushButtonAbout, (QWidget *)ui->pushButtonHelp,
                       (QWidget *)ui->pushButtonCreateNewMenu, (QWidget *)ui->pushButtonSaveAs,
                       (QWidget *)ui->pushButtonModify, (QWidget *)ui->pushButtonDelete})
        QCOMPARE(b->minimumSize(), QSize(24, 24));
    for (QLabel *l :
         {ui->labelDestAddressImage, ui->labelFileTypeImage, ui->labelSettingShortcutImage})
        QCOMPARE(l->maximumSize(), QSize(32, 32));
    QCOMPARE(ui->lineEditFileNamePrefix->maxLength(), 20);
    QVERIFY(ui->lineEditPrinterName->isReadOnly());
    QCOMPARE(ui->comboBoxTaskShortcut->maxVisibleItems(), 20);
    QCOMPARE(ui->checkBoxBeforeScanDisplaySetting->maximumWidth(), 200);
    QCOMPARE(ui->pushButtonAbout->focusPolicy(), Qt::NoFocus);
    QCOMPARE(w.windowTitle(), QString("Corvan扫描仪"));
    // Tab order: the whole list; the two picture buttons take no focus, so
    // Tab passes over them, as it does in any form that lists them.
    const QList<QWidget *> tabOrder = {ui->comboBoxTaskShortcut,
                                       ui->pushButtonTaskRename,
                                       ui->pushButtonAbout,
                                       ui->pushButtonHelp,
                                       ui->comboBoxScanDestination,
                                       ui->comboBoxFileType,
                                       ui->lineEditSaveFilePath,
                                       ui->comboBoxFileNameFormat,
                                       ui->lineEditFileNamePrefix,
                                       ui->lineEditPrinterName,
                                       ui->checkBoxBeforePrintingDisplaySetting,
                                       ui->comboBoxScalePrintingPage,
                                       ui->checkBoxBeforeSaveFileEditImage,
                                       ui->checkBoxBlankPageSeparate,
                                       ui->pushButtonBlankPageSetting,
                                       ui->checkBoxADFTrayEmptyWaiting,
                                       ui->checkBoxBarcodeSeparate,
                                       ui->checkBoxAddKeywordToDoc,
                                       ui->checkBoxAddWatermark,
                                       ui->pushButtonWatermarkSetting,
                                       ui->lineEditSettingShortcut,
                                       ui->pushButtonSettingShortcut,
                                       ui->checkBoxBeforeScanDisplaySetting,
                                       ui->pushButtonOK,
                                       ui->pushButtonCancel,
                                       ui->pushButtonApply};
    QList<QWidget *> tabbed;
    for (QWidget *widget : tabOrder)
        if (widget->focusPolicy() & Qt::TabFocus)
            tabbed << widget;
    QCOMPARE(tabbed.size(), tabOrder.size() - 2);
    for (int i = 1; i < tabbed.size(); ++i) {
        QWidget *next = tabbed.at(i - 1)->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        QVERIFY2(next == tabbed.at(i), qPrintable(tabbed.at(i - 1)->objectName()));
    }
    // Default task 0: the colour profile's name and an application destination.
    QCOMPARE(ui->comboBoxScanDestination->currentData().toString(),
             ScanDestination::kApplicationId);
    QVERIFY(!ui->lineEditSettingShortcut->text().isEmpty());
    QVERIFY(!ui->labelSettingShortcutImage->pixmap(Qt::ReturnByValue).isNull());
    w.show();
    const QString grab = QDir::tempPath() + "/editor.png";
    QVERIFY(w.grab().save(grab));
    qInfo() << "editor grab:" << grab;
    w.hide();
}

void TestTaskEditor::layoutAtItsSize_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<int>("points");
    for (int points : {10, 11}) {
        QTest::newRow(qPrintable(QString("file %1pt").arg(points)))
            << ScanDestination::kFileId << points;
        QTest::newRow(qPrintable(QString("printer %1pt").arg(points)))
            << ScanDestination::kPrinterId << points;
        QTest::newRow(qPrintable(QString("mail %1pt").arg(points)))
            << ScanDestination::kEmailId << points;
    }
}

// The window keeps 616 x 559 for every kind's layout at the desktops' usual
// font sizes, with no row squeezed below what its widgets need.
void TestTaskEditor::layoutAtItsSize()
{
    QFETCH(QString, id);
    QFETCH(int, points);
    const PointSize font(points);
    g_ConfigFile.m_nAutoTest = 1; // the widest button row
    RunRig rig;
    MainWindow &w = *rig.window;
    chooseDestination(w, id);
    w.show();
    QApplication::processEvents();
    QVERIFY2(
        w.minimumSizeHint().width() <= 616 && w.minimumSizeHint().height() <= 559,
        qPrintable(
            QString("%1 x %2").arg(w.minimumSizeHint().width()).arg(w.minimumSizeHint().height())));
    QCOMPARE(w.size(), QSize(616, 559));
    for (QWidget *child : w.centralWidget()->findChildren<QWidget *>()) {
        if (child->isHidden() || child->objectName().isEmpty())
            continue;
        const QSize need = child->minimumSizeHint()
                               .expandedTo(child->minimumSize())
                               .boundedTo(child->maximumSize());
        QVERIFY2(child->height() >= need.height(), qPrintable(child->objectName()));
    }
    const QString grab =
        QDir::tempPath() + QString("/editor-%1-%2pt.png")
                               .arg(QString(QTest::currentDataTag()).section(' ', 0, 0))
                               .arg(points);
    QVERIFY(w.grab().save(grab));
    w.hide();
}

void TestTaskEditor::layoutAtDesktopFonts_data()
{
    QTest::addColumn<QString>("place");
    QTest::addColumn<int>("points");
    for (int points : {9, 10, 12})
        for (const char *place : {"name format", "ultrasonic", "colour lists", "device report"})
            QTest::newRow(qPrintable(QString("%1 %2pt").arg(place).arg(points)))
                << QString(place) << points;
}

// Where a desktop's fonts showed a list touching its neighbour's caption, a
// borderless group's title over its first row, two colour lists out of line
// and the device report's values out of column: the launcher's task editor
// and the console's pages at their own sizes, each grabbed into the build
// tree.
void TestTaskEditor::layoutAtDesktopFonts()
{
    QFETCH(QString, place);
    QFETCH(int, points);
    const PointSize font(points);
    // Where a widget is in another; one not laid out there is nowhere.
    const auto at = [](const QWidget *w, const QWidget *in) {
        return w && w->isVisibleTo(in)
                   ? QRect(w->mapTo(const_cast<QWidget *>(in), QPoint()), w->size())
                   : QRect();
    };
    std::unique_ptr<RunRig> editor;
    std::unique_ptr<ScanMainWindow> console;
    QWidget *window = nullptr;
    if (place == "name format") {
        editor.reset(new RunRig);
        window = editor->window.get();
        chooseDestination(*editor->window, ScanDestination::kFileId);
    } else {
        console.reset(new ScanMainWindow(nullptr));
        window = console.get();
    }
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QWidget *tabs = window->findChild<QWidget *>("pageMainPage");
    QRect a, b; // the two that must keep apart or in line
    bool apart = false;
    if (place == "name format") {
        a = at(editor->window->form()->comboBoxFileNameFormat, window);
        b = at(editor->window->form()->labelFileNamePrefix, window);
        apart = b.left() - a.right() > 4;
    } else if (place == "ultrasonic") {
        showTab(tabs, "tabWidget", 2);
        QWidget *page = showTab(window, "tabWidgetDevice", 3);
        auto *group = page->findChild<QGroupBox *>("groupBoxDeviceMultifeedUdds");
        QStyleOptionGroupBox option;
        option.initFrom(group);
        option.text = group->title();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        a = group->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel,
                                           group);
        b = at(group->findChild<QLabel *>("labelDeviceMultifeedUddsSensitivity"), group);
        apart = b.top() > a.bottom();
    } else if (place == "colour lists") {
        showTab(tabs, "tabWidget", 1);
        QWidget *page = showTab(window->findChild<QWidget *>("SettingForm"), "tabWidgetGeneral", 3);
        a = at(page->findChild<QComboBox *>("comboBoxImageEdgeFillColor"), window);
        b = at(page->findChild<QComboBox *>("comboBoxColorDropout"), window);
        apart = a.left() == b.left();
    } else {
        console->showDiagnosticsPage();
        QWidget *page = showTab(window->findChild<QWidget *>("DiagnosticsForm"), "tabWidget", 1);
        testsupport::ModalAnswerer ok("确定");
        window->findChild<QPushButton *>("pushButtonReFresh")->click();
        QApplication::processEvents();
        // Every value of the report, told before any scanner was, begins at
        // one x: where each line's run of blanks after its caption ends.
        auto *log = page->findChild<QTextEdit *>("textEditLog");
        QList<int> column;
        for (QTextBlock line = log->document()->begin(); line.isValid(); line = line.next()) {
            const auto m = QRegularExpression("^\\S[^:]*:\\s{2,}\\S").match(line.text());
            QTextCursor value(line);
            value.setPosition(line.position() + m.capturedLength() - 1);
            if (m.hasMatch())
                column << log->cursorRect(value).left();
        }
        QVERIFY2(column.size() >= 5, qPrintable(log->toPlainText()));
        for (int x : column)
            QVERIFY2(qAbs(x - column.first()) <= 1, qPrintable(log->toPlainText()));
        a = b = log->geometry();
        apart = true;
    }
    QString seen;
    QDebug(&seen) << a << b;
    QVERIFY2(!a.isEmpty() && !b.isEmpty() && apart, qPrintable(seen));
    const QString dir = QCoreApplication::applicationDirPath() + "/layout-grabs";
    QDir().mkpath(dir);
    QVERIFY(window->grab().save(dir + "/" + QString(QTest::currentDataTag()).replace(' ', '-') +
                                ".png"));
}

void TestTaskEditor::layoutByKind_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("fileGroup");
    QTest::addColumn<bool>("printerGroup");
    QTest::addColumn<bool>("afterSend");
    QTest::addColumn<QString>("editText");
    row("file", ScanDestination::kFileId, true, false, false, "保存之前先编辑影像");
    row("app", ScanDestination::kApplicationId, true, false, false, "保存之前先编辑影像");
    row("printer", ScanDestination::kPrinterId, false, true, false, "打印之前先编辑影像");
    row("mail client", ScanDestination::kEmailId, true, false, false, "发送之前先编辑影像");
    row("web mail", "webmail", true, false, true, "发送之前先编辑影像");
}

void TestTaskEditor::layoutByKind()
{
    QFETCH(QString, id);
    RunRig rig;
    MainWindow &w = *rig.window;
    Ui_MainWindow *ui = w.form();
    if (id == "webmail") {
        tagSCAN_DESTINATION d;
        d.ScanDestinationFlagID = ScanDestWebMail;
        d.Name = "Mail";
        w.destinations().addScanDestination(d);
        id = d.ScanDestinationID;
    }
    chooseDestination(w, id);
    // Task 0 is shown with the application destination: choosing it again is no change.
    QCOMPARE(ui->pushButtonApply->isEnabled(), id != ScanDestination::kApplicationId);
    QTEST(!ui->comboBoxFileType->isHidden(), "fileGroup");
    QTEST(!ui->lineEditFileNamePrefix->isHidden(), "fileGroup");
    QTEST(!ui->checkBoxAddWatermark->isHidden(), "fileGroup");
    QTEST(!ui->lineEditPrinterName->isHidden(), "printerGroup");
    QTEST(!ui->checkBoxCenterPrinting->isHidden(), "printerGroup");
    QTEST(!ui->checkBoxAfterSendFileDeleteFile->isHidden(), "afterSend");
    QTEST(ui->checkBoxBeforeSaveFileEditImage->text(), "editText");
    QVERIFY(!ui->groupBoxScanAs->isHidden());
    const bool own = id != ScanDestination::kFileId && id != ScanDestination::kApplicationId &&
                     id != ScanDestination::kPrinterId && id != ScanDestination::kEmailId;
    QCOMPARE(ui->pushButtonDelete->isEnabled(), own);
    QCOMPARE(ui->pushButtonSaveAs->isEnabled(), own);
}

// A task naming a destination the store no longer has is laid out and loaded
// as a file task; saving stores the destination the box shows.
void TestTaskEditor::unknownDestinationShowsAsFile()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    Ui_MainWindow *ui = w.form();
    chooseDestination(w, ScanDestination::kPrinterId);
    tagTASK_SHORTCUT t = rig.fileTask(0);
    t.ScanDestinationID = "{00000000-0000-0000-0000-000000000000}";
    t.FileNamePrefix = "kept";
    rig.store(t);
    w.showCurrentTask();
    QVERIFY(!ui->comboBoxFileType->isHidden());
    QVERIFY(ui->lineEditPrinterName->isHidden());
    QCOMPARE(ui->lineEditFileNamePrefix->text(), QString("kept"));
    QCOMPARE(ui->comboBoxScanDestination->currentData().toString(), ScanDestination::kPrinterId);
    w.updateUIControlToVariable();
    w.tasks().getCurrentTaskShortcut(t);
    QCOMPARE(t.ScanDestinationID, ScanDestination::kPrinterId);
}

void TestTaskEditor::fileTypeRules_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("ocr");
    QTest::addColumn<bool>("watermark");
    QTest::addColumn<bool>("keywords");
    row("searchable", 1, true, false, true);
    row("pdf", 2, false, false, true);
    row("jpeg/tiff", 7, false, true, true);
    row("png", 8, false, false, false);
    row("single searchable", 9, true, false, true);
    row("bmp", 11, false, false, false);
    row("ofd", 12, false, false, true);
    row("txt", 13, true, false, false);
}

void TestTaskEditor::fileTypeRules()
{
    QFETCH(int, type);
    RunRig rig;
    MainWindow &w = *rig.window;
    Ui_MainWindow *ui = w.form();
    // From JPEG with the watermark and keywords on.
    ui->comboBoxFileType->setCurrentIndex(ui->comboBoxFileType->findData(7));
    ui->checkBoxAddWatermark->setChecked(true);
    ui->checkBoxAddKeywordToDoc->setChecked(true);
    ui->comboBoxFileType->setCurrentIndex(ui->comboBoxFileType->findData(type));
    QTEST(ui->pushButtonOcrFileSetting->isEnabled(), "ocr");
    QTEST(ui->checkBoxAddWatermark->isEnabled(), "watermark");
    QTEST(ui->checkBoxAddWatermark->isChecked(), "watermark");
    QTEST(ui->checkBoxAddKeywordToDoc->isEnabled(), "keywords");
    QTEST(ui->checkBoxAddKeywordToDoc->isChecked(), "keywords");
    QVERIFY(!ui->labelFileTypeImage->pixmap(Qt::ReturnByValue).isNull());
}

void TestTaskEditor::prefixTable_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<bool>("valid");
    row("backslash", "a\\b", false);
    for (const char *c : {"/", ":", "*", "?", "<", ">", "|", "\"", "\r", "\n"})
        QTest::newRow(qPrintable(QString("char %1").arg(int(c[0]))))
            << QString("x%1y").arg(c) << false;
    row("spaces", "my scan ", true);
    row("chinese", "扫描", true);
    row("empty", "", true);
}

void TestTaskEditor::prefixTable()
{
    QFETCH(QString, prefix);
    QFETCH(bool, valid);
    QCOMPARE(MainWindow::prefixIsValid(prefix), valid);
}

void TestTaskEditor::folderChecks()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    Ui_MainWindow *ui = w.form();
    testsupport::ModalAnswerer answer("确定");
    const QString fresh = rig.dir.root->filePath("new/deeper");
    ui->lineEditSaveFilePath->setText(fresh);
    w.clickedBtnApply();
    QVERIFY(QFileInfo(fresh).isDir());
    tagTASK_SHORTCUT t = currentTask(w.tasks());
    QCOMPARE(t.FolderPath, fresh);
    QCOMPARE(answer.count(), 0);

    LauncherDir::write(rig.dir.root->filePath("plain"), "x");
    ui->lineEditSaveFilePath->setText(rig.dir.root->filePath("plain/below"));
    w.clickedBtnApply();
    QCOMPARE(answer.last().text, QString("无效的路径名称！"));
    QVERIFY(ui->pushButtonApply->isEnabled());
    ui->lineEditFileNamePrefix->setText("a/b");
    w.clickedBtnApply();
    QCOMPARE(answer.last().text, QString("前缀含无效字符！"));
    QCOMPARE(answer.last().title, QString("错误"));

    // A printer task's hidden, empty folder is refused too.
    ui->lineEditFileNamePrefix->clear();
    chooseDestination(w, ScanDestination::kPrinterId);
    ui->lineEditSaveFilePath->clear();
    w.clickedBtnApply();
    QCOMPARE(answer.last().text, QString("没有路径名称！"));
}

void TestTaskEditor::scanOptionsRuleEachOtherOut()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    Ui_MainWindow *ui = w.form();
    QCheckBox *edit = ui->checkBoxBeforeSaveFileEditImage;
    QCheckBox *wait = ui->checkBoxADFTrayEmptyWaiting;
    tagTASK_SHORTCUT t = rig.fileTask(0);
    t.BeforeSaveEditImage = true;
    t.ADFEmptyWaiting = false;
    rig.store(t);
    w.showCurrentTask();
    QVERIFY(edit->isChecked() && edit->isEnabled());
    QVERIFY(!wait->isChecked() && !wait->isEnabled());
    edit->click();
    QVERIFY(wait->isEnabled() && !wait->isChecked());
    QVERIFY(ui->pushButtonApply->isEnabled());
    wait->click();
    QVERIFY(!edit->isEnabled() && !edit->isChecked());
    wait->click();
    QVERIFY(edit->isEnabled());
    // Shown with the feeder wait on, the edit box is locked.
    t.BeforeSaveEditImage = false;
    t.ADFEmptyWaiting = true;
    rig.store(t);
    w.showCurrentTask();
    QVERIFY(wait->isChecked() && wait->isEnabled());
    QVERIFY(!edit->isChecked() && !edit->isEnabled());
}

void TestTaskEditor::writeBack()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    Ui_MainWindow *ui = w.form();
    // A task with the watermark and a threshold; unchecked boxes at save.
    tagTASK_SHORTCUT t = rig.fileTask(0, FileTypeJpegTiff);
    t.AddWatermark = true;
    t.watermark.Watermark = "机密";
    t.watermark.FontSize = 48;
    t.watermark.IncludeSystemDate = true;
    t.watermark.IncludePageNumber = true;
    t.watermark.IncludeDateTime = true;
    t.BlankPageSeparate = true;
    t.BlankPageThreshold = -1;
    rig.store(t);
    w.showCurrentTask();
    QCOMPARE(w.workingThreshold(), -1);
    QVERIFY(ui->checkBoxAddWatermark->isChecked());
    ui->checkBoxAddWatermark->setChecked(false);
    ui->checkBoxBlankPageSeparate->setChecked(false);
    w.setWorkingThreshold(1);
    QVERIFY(w.updateUIControlToVariable());
    tagTASK_SHORTCUT back = currentTask(w.tasks());
    QVERIFY(!back.AddWatermark);
    QCOMPARE(back.watermark.Watermark, QString());
    QCOMPARE(back.watermark.FontName, QString("SimSun"));
    QCOMPARE(back.watermark.FontSize, 22);
    QVERIFY(!back.watermark.IncludeSystemDate && !back.watermark.IncludePageNumber &&
            !back.watermark.IncludeDateTime);
    QCOMPARE(back.BlankPageThreshold, -1);
    QVERIFY(w.compareVariableAndUIControl());

    // Keywords on with PNG: shown checked and disabled, kept at save.
    t = rig.fileTask(0, FileTypePng);
    t.AddKeywordToDoc = true;
    rig.store(t);
    w.showCurrentTask();
    QVERIFY(ui->checkBoxAddKeywordToDoc->isChecked());
    QVERIFY(!ui->checkBoxAddKeywordToDoc->isEnabled());
    w.updateUIControlToVariable();
    w.tasks().getCurrentTaskShortcut(back);
    QVERIFY(back.AddKeywordToDoc);

    // A printer task's snapshot goes through the task printer and back.
    t.ScanDestinationID = ScanDestination::kPrinterId;
    t.PrinterName = "Office";
    t.PageSize = QPageSize::A5;
    t.PaperSize = QPageSize::A5;
    t.CopyCount = 3;
    t.Orientation = QPageLayout::Landscape;
    t.ColorMode = QPrinter::GrayScale;
    t.ScalePrintPage = ScalePrintNone;
    t.CenterPrint = false;
    t.DocName = "labels";
    rig.store(t);
    w.showCurrentTask();
    QCOMPARE(ui->lineEditPrinterName->text(), QString("Office"));
    QVERIFY(w.compareVariableAndUIControl());
    w.updateUIControlToVariable();
    w.tasks().getCurrentTaskShortcut(back);
    // No print queue here: the snapshot printer is a PDF printer, which has no duplex.
    QCOMPARE(QVariantList({back.PageSize, back.PaperSize, back.CopyCount, back.Orientation,
                           back.ColorMode, back.DocName, int(back.ScalePrintPage)}),
             QVariantList({int(QPageSize::A5), int(QPageSize::A5), 3, int(QPageLayout::Landscape),
                           int(QPrinter::GrayScale), "labels", int(ScalePrintNone)}));
    // A scaling-only change counts as a change.
    ui->comboBoxScalePrintingPage->setCurrentIndex(0);
    QVERIFY(!w.compareVariableAndUIControl());
}

void TestTaskEditor::taskSwitch()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    Ui_MainWindow *ui = w.form();
    QStringList answers;
    testsupport::ModalAnswerer answer([&](QWidget *box, const testsupport::ModalSeen &) {
        testsupport::ModalAnswerer::press(box, answers.isEmpty() ? "确定" : answers.takeFirst());
    });
    // No change: the switch is silent.
    ui->comboBoxTaskShortcut->setCurrentIndex(1);
    QCOMPARE(w.tasks().getCurrentTaskIndex(), 1);
    QCOMPARE(answer.count(), 0);
    QVERIFY(!ui->pushButtonApply->isEnabled());

    // Cancel: back on task 1, edit kept in the form.
    ui->lineEditSaveFilePath->setText("/tmp/changed");
    answers = QStringList{"取消"};
    ui->comboBoxTaskShortcut->setCurrentIndex(2);
    QCOMPARE(answer.last().title, QString("确认"));
    QCOMPARE(answer.last().text, QString("您的更改尚未保存，需要保存它们吗？"));
    QCOMPARE(answer.last().defaultButton, QString("是"));
    QCOMPARE(w.tasks().getCurrentTaskIndex(), 1);
    QCOMPARE(ui->comboBoxTaskShortcut->currentIndex(), 1);

    // No: dropped.
    answers = QStringList{"否"};
    ui->comboBoxTaskShortcut->setCurrentIndex(2);
    QCOMPARE(w.tasks().getCurrentTaskIndex(), 2);
    tagTASK_SHORTCUT t = slotTask(w.tasks(), 1);
    QVERIFY(t.FolderPath != "/tmp/changed");

    // Yes with a bad prefix: refused, the selector returns, nothing stored.
    ui->lineEditFileNamePrefix->setText("a:b");
    answers = QStringList{"是", "确定"};
    ui->comboBoxTaskShortcut->setCurrentIndex(3);
    QCOMPARE(answer.last().text, QString("前缀含无效字符！"));
    QCOMPARE(w.tasks().getCurrentTaskIndex(), 2);
    QCOMPARE(ui->comboBoxTaskShortcut->currentIndex(), 2);
    w.tasks().enumTaskShortcut(2, t);
    QVERIFY(t.FileNamePrefix.isEmpty());

    // Yes with a good prefix: stored in memory, not on disk.
    const LauncherDir::Snapshot before = rig.dir.snapshot();
    ui->lineEditFileNamePrefix->setText("scan_");
    answers = QStringList{"是"};
    ui->comboBoxTaskShortcut->setCurrentIndex(3);
    QCOMPARE(w.tasks().getCurrentTaskIndex(), 3);
    w.tasks().enumTaskShortcut(2, t);
    QCOMPARE(t.FileNamePrefix, QString("scan_"));
    QCOMPARE(rig.dir.snapshot().files, before.files);

    // A printer task whose page scaling alone was chosen: Apply comes on and
    // the switch asks.
    tagTASK_SHORTCUT printer = currentTask(w.tasks());
    printer.ScanDestinationID = ScanDestination::kPrinterId;
    printer.ScalePrintPage = ScalePrintAuto;
    printer.FolderPath = rig.out();
    rig.store(printer);
    w.showCurrentTask();
    QVERIFY(!ui->pushButtonApply->isEnabled());
    QComboBox *scaling = ui->comboBoxScalePrintingPage;
    const int none = scaling->findData(int(ScalePrintNone));
    scaling->setCurrentIndex(none);
    emit scaling->activated(none);
    QVERIFY(ui->pushButtonApply->isEnabled());
    const int asked = answer.count();
    answers = QStringList{"否"};
    ui->comboBoxTaskShortcut->setCurrentIndex(4);
    QCOMPARE(answer.count(), asked + 1);
    QCOMPARE(answer.last().text, QString("您的更改尚未保存，需要保存它们吗？"));
    QCOMPARE(w.tasks().getCurrentTaskIndex(), 4);

    // Cancel hides, shows task 0 again.
    w.show();
    w.clickedBtnCancel();
    QVERIFY(w.isHidden());
    QCOMPARE(w.tasks().getCurrentTaskIndex(), 0);
    QCOMPARE(ui->comboBoxTaskShortcut->currentIndex(), 0);
}

void TestTaskEditor::applyAndOkDuringAScan()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    Ui_MainWindow *ui = w.form();
    testsupport::ModalAnswerer answer("确定");
    QTest::qWait(20);
    const LauncherDir::Snapshot before = rig.dir.snapshot();
    rig.console->scanningNow = true;
    ui->lineEditFileNamePrefix->setText("during");
    w.clickedBtnApply();
    QCOMPARE(answer.last().title, QString("无法保存配置"));
    QCOMPARE(answer.last().text, QString("当前正在执行扫描任务，请再扫描结束后重试！"));
    QCOMPARE(rig.dir.snapshot().files, before.files);
    // OK does not look at the scan, and saves even without a change.
    ui->lineEditFileNamePrefix->setText(QString());
    QVERIFY(w.compareVariableAndUIControl());
    w.show();
    w.clickedBtnOK();
    QVERIFY(w.isHidden());
    QVERIFY(rig.dir.snapshot().files != before.files);
}

void TestTaskEditor::okAsksAboutChanges()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    Ui_MainWindow *ui = w.form();
    QString reply;
    testsupport::ModalAnswerer answer([&reply](QWidget *box, const testsupport::ModalSeen &) {
        testsupport::ModalAnswerer::press(box, reply);
    });
    w.show();
    ui->lineEditFileNamePrefix->setText("asked");
    // Cancel: the window stays with the edit.
    reply = "取消";
    w.clickedBtnOK();
    QCOMPARE(answer.last().title, QString("确认"));
    QCOMPARE(answer.last().text, QString("您的更改尚未保存，要保存他们吗？"));
    QCOMPARE(answer.last().buttons.size(), 3);
    QVERIFY(!w.isHidden());
    QCOMPARE(ui->lineEditFileNamePrefix->text(), QString("asked"));
    // No: closed as Cancel does, nothing stored.
    reply = "否";
    w.clickedBtnOK();
    QVERIFY(w.isHidden());
    tagTASK_SHORTCUT t = slotTask(w.tasks(), 0);
    QVERIFY(t.FileNamePrefix.isEmpty());
    // Yes: checked, stored and written.
    w.show();
    ui->lineEditFileNamePrefix->setText("asked");
    reply = "是";
    w.clickedBtnOK();
    QVERIFY(w.isHidden());
    LoadedTasks reread(rig.dir);
    reread.enumTaskShortcut(0, t);
    QCOMPARE(t.FileNamePrefix, QString("asked"));
}

void TestTaskEditor::failedWriteShowsTheBox()
{
    RunRig rig;
    MainWindow &w = *rig.window;
    testsupport::ModalAnswerer answer("确定");
    LauncherDir::write(rig.dir.root->filePath("plain"), "x");
    g_ConfigFile.m_strSettingsDir = rig.dir.root->filePath("plain");
    w.show();
    w.form()->lineEditFileNamePrefix->setText("x");
    QVERIFY(w.form()->pushButtonApply->isEnabled());
    w.clickedBtnApply();
    QVERIFY2(RunRig::isWriteFailure(answer.last()), qPrintable(answer.last().text));
    QVERIFY(w.form()->pushButtonApply->isEnabled());
    w.clickedBtnOK();
    QCOMPARE(answer.count(), 2);
    QVERIFY(!w.isHidden());
}

void TestTaskEditor::nameDialog()
{
    LauncherDir dir;
    LoadedTasks tasks(dir);
    TaskShortcutDialog::setFileChooser(pickFile);
    testsupport::ModalAnswerer answer("确定");

    TaskShortcutDialog create(true, &tasks);
    QCOMPARE(create.windowTitle(), QString("新建快捷键"));
    QCOMPARE(create.form()->lineEditText->maxLength(), 75);
    QString name, icon;
    create.getTaskShortcutInfo(name, icon);
    QCOMPARE(icon, QString("Color-PDF.png"));
    create.form()->lineEditText->setText("   ");
    create.clickedBtnOK();
    QCOMPARE(answer.last().text, QString("名称不应该是空的！"));
    create.form()->lineEditText->setText("彩色 PDF");
    create.clickedBtnOK();
    QCOMPARE(answer.last().text, QString("任务快捷键名称已存在！"));
    QCOMPARE(create.form()->lineEditText->selectedText(), QString("彩色 PDF"));
    // The name of a disabled slot, or another case, is free.
    tagTASK_SHORTCUT t = slotTask(tasks, 2);
    t.EnableCommand = false;
    tasks.setTaskShortcut(t.TaskID, t);
    create.form()->lineEditText->setText(" 单色 PDF (黑色) ");
    create.clickedBtnOK();
    QCOMPARE(create.result(), int(QDialog::Accepted));
    create.getTaskShortcutInfo(name, icon);
    QCOMPARE(name, QString("单色 PDF (黑色)"));

    // Pictures: MD5 names, one file per content and suffix as typed.
    const QByteArray red = pngBytes(Qt::red);
    const QString md5 =
        QString::fromLatin1(QCryptographicHash::hash(red, QCryptographicHash::Md5).toHex());
    LauncherDir::write(dir.root->filePath("a.png"), red);
    LauncherDir::write(dir.root->filePath("b.png"), red);
    LauncherDir::write(dir.root->filePath("c.PNG"), red);
    TaskShortcutDialog rename(false, &tasks);
    QCOMPARE(rename.windowTitle(), QString("重命名快捷键"));
    QCOMPARE(rename.form()->lineEditText->text(), QString("彩色 PDF"));
    rename.getTaskShortcutInfo(name, icon);
    QVERIFY(icon.isEmpty());
    // Picks the file in the dialog; the icon it then holds.
    const auto browse = [&](const QString &file) {
        g_pick = dir.root->filePath(file);
        rename.clickedBtnBrowse();
        rename.getTaskShortcutInfo(name, icon);
        return icon;
    };
    browse("a.png");
    QCOMPARE(browse("b.png"), md5 + ".png");
    QCOMPARE(browse("c.PNG"), md5 + ".PNG");
    QCOMPARE(QDir(g_ConfigFile.m_strSettingsIconsDir).entryList(QDir::Files).size(), 2);
    // Not a picture: the box, nothing changed.
    LauncherDir::write(dir.root->filePath("d.png"), "not a picture");
    const int boxes = answer.count();
    QCOMPARE(browse("d.png"), md5 + ".PNG");
    QCOMPARE(answer.count(), boxes + 1);
    QCOMPARE(answer.last().title, QString("警告"));
    QCOMPARE(answer.last().text, QString("图像文件读取失败！"));
    // An icon folder that cannot be made keeps the previous name.
    const QString iconsDir = g_ConfigFile.m_strSettingsIconsDir;
    LauncherDir::write(dir.root->filePath("blocked"), "x");
    g_ConfigFile.m_strSettingsIconsDir = dir.root->filePath("blocked/icons");
    LauncherDir::write(dir.root->filePath("e.png"), pngBytes(Qt::blue));
    QCOMPARE(browse("e.png"), md5 + ".PNG");
    g_ConfigFile.m_strSettingsIconsDir = iconsDir;
    // Its own name: accepted with an empty name.
    rename.form()->lineEditText->setText(" 彩色 PDF ");
    rename.clickedBtnOK();
    QCOMPARE(rename.result(), int(QDialog::Accepted));
    rename.getTaskShortcutInfo(name, icon);
    QVERIFY(name.isEmpty());
    TaskShortcutDialog::setFileChooser(nullptr);
}

void TestTaskEditor::testButtonFollowsAutoTest()
{
    {
        RunRig rig;
        QVERIFY(rig.window->form()->pushButtonTest->isHidden());
        QVERIFY(!rig.window->form()->pushButtonTest->isEnabled());
    }
    g_ConfigFile.m_nAutoTest = 1;
    RunRig rig;
    QVERIFY(!rig.window->form()->pushButtonTest->isHidden());
    QVERIFY(rig.window->form()->pushButtonTest->isEnabled());
}

QTEST_MAIN(TestTaskEditor)
#include "tst_taskeditor.moc"

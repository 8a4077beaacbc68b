// The console window without a scanner: its form, change detection, page
// switching, closing and the profile commands with what they leave on disk.
#include "consoletestutil.h"
#include "detectpaperdialog.h"
#include "deviceform.h"
#include "diagnosticsform.h"
#include "oxadvancedsettingform.h"
#include "settingform.h"
#include "multifeeddialog.h"
#include "pmessage.h"
#include "scanningdialog.h"
#include "scanshortcutdialog.h"
#include "support/datarows.h"
#include "support/desktopurls.h"
#include "support/testtiming.h"

#include <QAction>
#include <QCryptographicHash>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QThreadPool>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <sys/stat.h>
#include <thread>

using namespace consoletest;
using testsupport::row;

using testsupport::ModalAnswerer;
using testsupport::ModalSeen;

// The window can only tell an edit from a load when every page reads back
// what it was given.
static bool pagesEqualAfterLoad(ScanMainWindow &w)
{
    tagSCAN_SHORTCUT_MENU loaded;
    w.getCurrentScanShortcutMenu(loaded);
    return w.deviceForm()->compareVariableAndUIControl(loaded);
}

class TestConsoleWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScanMainWindow> window;
    PMessage *hub = nullptr;

    // A modal answerer that fills Save As / Rename with a name and presses OK,
    // and answers any message box with its first button text given.
    static ModalAnswerer::Handler nameThen(const QString &name, QStringList *boxes)
    {
        return [name, boxes](QWidget *w, const ModalSeen &seen) {
            if (qobject_cast<QMessageBox *>(w)) {
                *boxes << seen.text;
                ModalAnswerer::press(w, "确定");
                return;
            }
            auto *edit = w->findChild<QLineEdit *>("lineEditShortcutName");
            // After an error the name dialog is active again: give up.
            if (!edit || !boxes->isEmpty()) {
                qobject_cast<QDialog *>(w)->reject();
                return;
            }
            edit->setText(name);
            // Pressed from a fresh event: an error box then runs its own loop
            // while the answerer's timer is free to fire again.
            QPointer<QWidget> dialog(w);
            QTimer::singleShot(0, [dialog] {
                if (dialog)
                    ModalAnswerer::press(dialog, "确定");
            });
        };
    }

private slots:
    void initTestCase()
    {
        installStampGraphics();
        g_VellumCfgFile.loadConfigFile(QCoreApplication::applicationDirPath());
        QVERIFY(
            g_VellumCfgFile.m_strProfilesDir.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")) ||
            g_VellumCfgFile.m_strProfilesDir.startsWith(QDir::homePath()));
    }

    // One window for every case (building its pages is what costs): each
    // case starts from the built-in profiles on the main page, unedited.
    void init()
    {
        const QString profiles = g_VellumCfgFile.m_strProfilesDir;
        if (!profiles.isEmpty() && QFileInfo(profiles).isAbsolute())
            QDir(profiles).removeRecursively();
        if (!window) {
            window = std::make_unique<ScanMainWindow>();
            window->getMessages(&hub);
        } else {
            ScanMainWindow &w = *window;
            w.disconnectAllChangeValueControlMessages();
            ScanShortcutMenu *store = w.getScanShortcutMenu();
            store->loadScanShortcut(&g_VellumCfgFile);
            list(w)->clear();
            store->loadScanShortcutToControl(list(w));
            store->setCurrentScanIndex(0);
            list(w)->setCurrentRow(0);
            w.connectAllChangeValueControlMessages();
            w.clickedBtnReset();
            w.reload();
            inputDoc(w)->setEnabled(true);
        }
        window->show();
        QCOMPARE(list(*window)->count(), 6);
        QVERIFY(!window->isChanged());
    }
    void cleanupTestCase() { window.reset(); }

    void formInventory()
    {
        ScanMainWindow &w = *window;
        QVERIFY(w.width() >= 796 && w.height() >= 675);
        QCOMPARE(w.windowTitle(), QString("Corvan扫描仪"));
        auto *stack = child<QStackedWidget>(&w, "stackedWidget");
        QCOMPARE(stack->count(), 3);
        QCOMPARE(stack->widget(0), static_cast<QWidget *>(w.diagnosticsForm()));
        QCOMPARE(stack->widget(1), static_cast<QWidget *>(w.oxAdvancedSettingForm()));
        QCOMPARE(stack->widget(2)->objectName(), QString("pageMainPage"));
        QCOMPARE(stack->currentIndex(), 2);
        auto *tabs = mainTabs(w);
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(0), QString("主页"));
        QCOMPARE(tabs->tabText(1), QString("设置"));
        QCOMPARE(tabs->tabText(2), QString("设备"));
        QCOMPARE(tabs->widget(1), static_cast<QWidget *>(w.settingForm()));
        QCOMPARE(tabs->widget(2), static_cast<QWidget *>(w.deviceForm()));
        QVERIFY(button(w, "pushButtonScan")->isHidden());
        QVERIFY(button(w, "pushButtonOK")->isDefault());

        const QList<QPair<const char *, QString>> texts = {
            {"pushButtonSave", "保存 (&V)"},   {"pushButtonSaveAs", "另存为 (&A)..."},
            {"pushButtonDelete", "删除 (&D)"}, {"pushButtonRename", "重命名 (&R)..."},
            {"pushButtonReset", "重设"},       {"pushButtonPreview", "预览 (&P)"},
            {"pushButtonOK", "确定 (&K)"},     {"pushButtonCancel", "取消"}};
        for (const auto &t : texts)
            QCOMPARE(button(w, t.first)->text(), t.second);
        for (const char *flat : {"pushButtonSave", "pushButtonSaveAs", "pushButtonDelete",
                                 "pushButtonRename", "pushButtonReset", "pushButtonSettingMenu"})
            QVERIFY(button(w, flat)->isFlat());
        QCOMPARE(button(w, "pushButtonAbout")->toolTip(), QString("关于"));
        QCOMPARE(button(w, "pushButtonHelp")->toolTip(), QString("帮助"));
        QCOMPARE(child<QLabel>(&w, "labelInputDoc")->text(), QString("输入文件是 (&I)："));
        QCOMPARE(child<QLabel>(&w, "labelInputDocDes")->text(), QString("向上放置文档"));

        QComboBox *combo = inputDoc(w);
        QCOMPARE(combo->count(), 3);
        const QStringList items = {"双面", "单面 - 正面", "单面 - 背面"};
        const QList<int> data = {2, 0, 1};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(combo->itemText(i), items[i]);
            QCOMPARE(combo->itemData(i).toInt(), data[i]);
        }
        QMenu *menu = w.settingMenu();
        QCOMPARE(menu->actions().size(), 3);
        QCOMPARE(menu->actions()[0]->text(), QString("恢复..."));
        QCOMPARE(menu->actions()[1]->text(), QString("导入..."));
        QCOMPARE(menu->actions()[2]->text(), QString("导出..."));

        // A fresh window lists the built-ins, the first current and unchanged.
        QCOMPARE(list(w)->count(), 6);
        QCOMPARE(list(w)->currentRow(), 0);
        QVERIFY(!button(w, "pushButtonSave")->isEnabled());
        QVERIFY(!button(w, "pushButtonReset")->isEnabled());
        QVERIFY(button(w, "pushButtonDelete")->isEnabled());
        grab(&w, "console-main");
    }

    // An edit marks the item and enables Save and Reset; editing back clears both.
    void editAndRevert()
    {
        ScanMainWindow &w = *window;
        QVERIFY(pagesEqualAfterLoad(w));
        const QString name = list(w)->currentItem()->text();
        QComboBox *combo = inputDoc(w);
        const int original = combo->currentIndex();
        combo->setCurrentIndex((original + 1) % 3);
        QVERIFY(w.isChanged());
        QCOMPARE(list(w)->currentItem()->text(), QString("*%1 <已更改>").arg(name));
        QVERIFY(button(w, "pushButtonSave")->isEnabled());
        QVERIFY(button(w, "pushButtonReset")->isEnabled());
        QVERIFY(!button(w, "pushButtonDelete")->isEnabled());
        QVERIFY(!button(w, "pushButtonRename")->isEnabled());
        QVERIFY(!w.settingMenu()->actions()[1]->isEnabled());
        combo->setCurrentIndex(original);
        QVERIFY(!w.isChanged());
        QCOMPARE(list(w)->currentItem()->text(), name);
        QVERIFY(!button(w, "pushButtonSave")->isEnabled());
        QVERIFY(!button(w, "pushButtonReset")->isEnabled());
    }

    void paperSourceFiveLocksFrontOnly()
    {
        ScanMainWindow &w = *window;
        QComboBox *combo = inputDoc(w);
        combo->setCurrentIndex(2);
        emit hub->changedPaperSource(AdfPaperSourceFlag(5));
        QCOMPARE(combo->currentIndex(), 1);
        QVERIFY(!combo->isEnabled());
        emit hub->changedPaperSource(AdfPaperSourceFlag(1));
        QVERIFY(combo->isEnabled());
        QCOMPARE(combo->currentIndex(), 1);
    }

    // The first close on the diagnostics page returns to the main page; the
    // second discards the edit and closes.
    void twoClosesOnDiagnosticsPage()
    {
        ScanMainWindow &w = *window;
        QVERIFY(pagesEqualAfterLoad(w));
        auto *stack = child<QStackedWidget>(&w, "stackedWidget");
        inputDoc(w)->setCurrentIndex((inputDoc(w)->currentIndex() + 1) % 3);
        QVERIFY(w.isChanged());
        emit hub->showDiagnosticsForm();
        QCOMPARE(stack->currentIndex(), 0);
        QVERIFY(mainTabs(w)->isHidden());
        QVERIFY(button(w, "pushButtonOK")->isHidden());
        w.close();
        QVERIFY(!w.isHidden());
        QCOMPARE(stack->currentIndex(), 2);
        QVERIFY(!mainTabs(w)->isHidden());
        w.close();
        QVERIFY(w.isHidden());
        QVERIFY(!w.isChanged());
    }

    // Escape after an automatic preview update (here one the closed port
    // refuses) leaves the window as Cancel does: no preview state, and the
    // next scan opens its progress dialog and asks about multifeeds.
    void escapeIsCancel()
    {
        ScanMainWindow &w = *window;
        {
            ModalAnswerer ok("确定");
            w.previewAutoUpdate();
            QVERIFY(!w.showProgress());
            QTRY_VERIFY(!w.isScanning());
        }
        QCOMPARE(w.previewCount(), 1);
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isHidden());
        QVERIFY(w.showProgress());
        QCOMPARE(w.previewCount(), 0);
        QCOMPARE(w.previewScan(), 0);
    }

    void barcodeTypesFilledOnlyWhenNoneSet_data()
    {
        QTest::addColumn<int>("setIndex");
        QTest::addColumn<int>("expectedSet");
        row("none set: all ten", -1, 10);
        row("first set: unchanged", 0, 1);
        row("last set: unchanged", 9, 1);
    }
    void barcodeTypesFilledOnlyWhenNoneSet()
    {
        QFETCH(int, setIndex);
        tagSCAN_SHORTCUT_MENU p;
        zeroScanShortcut(p);
        if (setIndex >= 0)
            p.sideSettings[0].barcodeTypes[setIndex] = true;
        ScanMainWindow::updateBarcodeStatus(p);
        int set = 0;
        for (bool b : p.sideSettings[0].barcodeTypes)
            set += b;
        QTEST(set, "expectedSet");
        QCOMPARE(reinterpret_cast<const quint8 *>(&p)[2861],
                 quint8(setIndex >= 0 ? setIndex == 0 : 1));
    }

    void helpOpensSettingsGuide()
    {
        {
            testsupport::DesktopUrls catcher;
            button(*window, "pushButtonHelp")->click();
            QCOMPARE(catcher.urls.size(), 1);
            QVERIFY(catcher.urls[0].toLocalFile().endsWith("/help/Scan_Settings_Guide_ZH_CN.pdf"));
        }
        QSignalSpy about(window.get(), &ScanMainWindow::showAboutDialog);
        button(*window, "pushButtonAbout")->click();
        QCOMPARE(about.count(), 1);
    }

    // Save changes the store only; OK writes the list and the profiles.
    void saveThenOkWritesFiles()
    {
        ScanMainWindow &w = *window;
        QVERIFY(pagesEqualAfterLoad(w));
        const QStringList before = profileFiles();
        inputDoc(w)->setCurrentIndex((inputDoc(w)->currentIndex() + 1) % 3);
        const int chosen = inputDoc(w)->currentData().toInt();
        button(w, "pushButtonSave")->click();
        QVERIFY(!w.isChanged());
        QCOMPARE(profileFiles(), before);
        tagSCAN_SHORTCUT_MENU p;
        w.getCurrentScanShortcutMenu(p);
        QCOMPARE(int(p.inputDocument), chosen);

        button(w, "pushButtonOK")->click();
        QTRY_VERIFY(w.isHidden());
        const QStringList after = profileFiles();
        QVERIFY(after.contains("profile.ini"));
        QCOMPARE(after.size(), 7);
        QFile file(g_VellumCfgFile.m_strProfilesDir + "/" + scanText(p.id));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.size(), qint64(kScanShortcutSize));
        tagSCAN_SHORTCUT_MENU onDisk;
        QVERIFY(scanShortcutFromBytes(file.readAll(), onDisk));
        QCOMPARE(int(onDisk.inputDocument), chosen);
    }

    void saveAsNames_data()
    {
        QTest::addColumn<bool>("saveAs");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // empty: refused
        QTest::addColumn<QString>("error");
        const QString dup = "“%1”已存在。\n请输入不同的名称。";
        row("save as: new name, trimmed", true, "  Ours  ", "Ours", "");
        row("save as: spaces only", true, "   ", "", "快捷键名称不应该是空的！");
        row("save as: duplicate", true, "@first", "", dup);
        row("save as: duplicate, spaces around", true, " Mine ", "", dup);
        row("save as: other case is another name", true, "MINE", "MINE", "");
        row("rename: duplicate accepted", false, "@second", "@second", "");
        row("rename: trimmed", false, " New name ", "New name", "");
        row("rename: empty", false, "", "", "快捷键名称不应该是空的！");
    }
    void saveAsNames()
    {
        QFETCH(bool, saveAs);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(QString, error);
        ScanMainWindow &w = *window;
        // "@first" and "@second" stand for the names of the first two profiles.
        tagSCAN_SHORTCUT_MENU first, second;
        w.getScanShortcutMenu()->getScanShortcutItem(0, first);
        w.getScanShortcutMenu()->getScanShortcutItem(1, second);
        auto expand = [&](QString s) {
            s.replace("@first", scanText(first.name));
            return s.replace("@second", scanText(second.name));
        };
        typed = expand(typed);
        stored = expand(stored);
        // A profile named "Mine" next to the built-ins.
        ScanShortcutMenu *store = w.getScanShortcutMenu();
        tagSCAN_SHORTCUT_MENU mine;
        store->getScanShortcutItem(0, mine);
        store->addScanShortcut(mine, "Mine", QString());
        store->addScanShortcutToControl(list(w));
        // Save As copies "Mine", which reads no barcode types: the copy keeps
        // none. Rename renames a built-in.
        const int source = saveAs ? 6 : 2;
        store->setCurrentScanIndex(source);
        tagSCAN_SHORTCUT_MENU edited;
        store->getCurrentScanShortcut(edited);
        for (bool &type : edited.sideSettings[0].barcodeTypes)
            type = false;
        if (saveAs)
            store->setCurrentScanShortcut(edited);
        list(w)->setCurrentRow(source);
        w.reload();
        const int count = w.getScanShortcutMenu()->getScanShortcutCount();
        QStringList boxes;
        ModalAnswerer answerer(nameThen(typed, &boxes));
        button(w, saveAs ? "pushButtonSaveAs" : "pushButtonRename")->click();
        if (stored.isEmpty()) {
            QCOMPARE(boxes.size(), 1);
            QCOMPARE(boxes[0], error.contains("%1") ? error.arg(typed.trimmed()) : error);
            QCOMPARE(w.getScanShortcutMenu()->getScanShortcutCount(), count);
            return;
        }
        QVERIFY(boxes.isEmpty());
        QCOMPARE(currentName(w), stored);
        QCOMPARE(list(w)->currentItem()->text(), stored);
        QCOMPARE(w.getScanShortcutMenu()->getScanShortcutCount(), count + (saveAs ? 1 : 0));
        QCOMPARE(list(w)->count(), count + (saveAs ? 1 : 0));
        QCOMPARE(list(w)->currentRow(), saveAs ? count : 2);
        tagSCAN_SHORTCUT_MENU now;
        w.getCurrentScanShortcutMenu(now);
        for (bool type : now.sideSettings[0].barcodeTypes)
            QVERIFY(!saveAs || !type);
        // A renamed built-in differs from its default at once.
        QCOMPARE(w.settingMenu()->actions().at(0)->isEnabled(), !saveAs);
    }

    void iconNameIsTheFilesDigest()
    {
        const QString dir = QDir::tempPath() + "/icons-test";
        QVERIFY(QDir::tempPath() != QDir::currentPath());
        QDir(dir).removeRecursively();
        const QString image = QDir::tempPath() + "/picked.png";
        QImage picture(20, 10, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(image));
        QProcess md5;
        md5.start("md5sum", {image});
        QVERIFY(md5.waitForFinished(scaledMs(30000)));
        const QString digest = QString::fromLatin1(md5.readAllStandardOutput()).section(' ', 0, 0);
        QCOMPARE(digest.size(), 32);

        QCOMPARE(ScanShortcutDialog::storeIconFile(image, dir), digest + ".png");
        QCOMPARE(ScanShortcutDialog::storeIconFile(image, dir), digest + ".png");
        QCOMPARE(QDir(dir).entryList(QDir::Files), QStringList{digest + ".png"});

        // Not an image, or unreadable: no icon, nothing stored.
        const QString text = QDir::tempPath() + "/notes.png";
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not a picture");
        f.close();
        QVERIFY(ScanShortcutDialog::storeIconFile(text, dir).isEmpty());
        QVERIFY(
            ScanShortcutDialog::storeIconFile(QDir::tempPath() + "/missing.png", dir).isEmpty());
        QCOMPARE(QDir(dir).entryList(QDir::Files).size(), 1);
    }

    void deleteRemovesOneFile()
    {
        ScanMainWindow &w = *window;
        button(w, "pushButtonOK")->click(); // writes every profile
        QTRY_VERIFY(w.isHidden());
        window->show();
        const QStringList before = profileFiles();
        list(w)->setCurrentRow(3);
        const QString id = list(w)->currentItem()->data(Qt::UserRole).toString();
        const QString name = list(w)->currentItem()->text();
        ModalAnswerer no("否");
        button(w, "pushButtonDelete")->click();
        QCOMPARE(titles(no), QStringList{"确认删除"});
        QCOMPARE(no.last().text, QString("您确定要删除“%1”吗？").arg(name));
        QCOMPARE(profileFiles(), before);
        no.stop();

        ModalAnswerer yes("是");
        button(w, "pushButtonDelete")->click();
        QCOMPARE(yes.count(), 1);
        QStringList expected = before;
        expected.removeAll(id);
        QCOMPARE(profileFiles(), expected);
        QCOMPARE(list(w)->count(), 5);
        QVERIFY(list(w)->currentItem());
    }

    void deleteLastProfileWarns()
    {
        ScanMainWindow &w = *window;
        // Delete down to one profile by the store directly, then ask the window.
        while (list(w)->count() > 1)
            delete list(w)->takeItem(1);
        ModalAnswerer answerer;
        button(w, "pushButtonDelete")->click();
        QCOMPARE(titles(answerer), QStringList{"警告"});
        QCOMPARE(answerer.last().text, QString("不能删除最后一个预定义选项。"));
        QCOMPARE(w.getScanShortcutMenu()->getScanShortcutCount(), 6);
    }

    // The package's name gets its suffix; a folder that cannot be written
    // shows the box after the file dialog.
    void exportSuffix_data()
    {
        QTest::addColumn<QString>("typed"); // in the export folder, or a full path
        QTest::addColumn<QStringList>("written");
        QTest::addColumn<QStringList>("boxes");
        const QStringList saveAs = {"另存为"};
        row("no suffix", "x", QStringList{"x.wqv"}, saveAs);
        row("wqv", "x.wqv", QStringList{"x.wqv"}, saveAs);
        row("WQV", "x.WQV", QStringList{"x.WQV.wqv"}, saveAs);
        row("exportToUnwritableFolderShowsTheBox", "/proc/no-such-dir/x.wqv", QStringList(),
            QStringList{"另存为", "错误"});
    }
    void exportSuffix()
    {
        QFETCH(QString, typed);
        const QString dir = QDir::tempPath() + "/export";
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        ModalAnswerer answerer([&](QWidget *w, const ModalSeen &) {
            if (qobject_cast<QFileDialog *>(w))
                testsupport::answerFileDialog(w, typed.startsWith('/') ? typed : dir + "/" + typed);
            else if (auto *d = qobject_cast<QDialog *>(w))
                d->reject();
        });
        window->settingMenu()->actions()[2]->trigger();
        QTEST(titles(answerer), "boxes");
        if (answerer.count() == 2)
            QCOMPARE(answerer.seen()[1].text, QString("文件导出失败，请查看保存路径！"));
        QTEST(QDir(dir).entryList(QDir::Files), "written");
        // Export saved the store first.
        QVERIFY(profileFiles().contains("profile.ini"));
    }

    // Switching with unsaved edits: Yes stores them, No drops them, Cancel
    // keeps the edited profile selected with its edits.
    void switchWithEdits_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("stored");
        QTest::addColumn<int>("rowAfter");
        row("yes", "是", true, 1);
        row("no", "否", false, 1);
        row("cancel", "取消", false, 0);
    }
    void switchWithEdits()
    {
        QFETCH(QString, answer);
        ScanMainWindow &w = *window;
        QVERIFY(pagesEqualAfterLoad(w));
        tagSCAN_SHORTCUT_MENU original;
        w.getScanShortcutMenu()->getScanShortcutItem(0, original);
        const int edited = (inputDoc(w)->currentIndex() + 1) % 3;
        inputDoc(w)->setCurrentIndex(edited);
        const int editedData = inputDoc(w)->currentData().toInt();
        QVERIFY(w.isChanged());
        QFETCH(int, rowAfter);
        ModalAnswerer answerer(answer);
        list(w)->setCurrentRow(1);
        QTRY_COMPARE(list(w)->currentRow(), rowAfter);
        QCOMPARE(titles(answerer), QStringList{"确认更改"});
        QCOMPARE(
            answerer.last().text,
            QString("将失去对“%1”快捷键的更改。\n您要保存更改吗？").arg(scanText(original.name)));
        tagSCAN_SHORTCUT_MENU first;
        w.getScanShortcutMenu()->getScanShortcutItem(0, first);
        QFETCH(bool, stored);
        QCOMPARE(int(first.inputDocument), stored ? editedData : int(original.inputDocument));
        QCOMPARE(list(w)->item(0)->text(),
                 answer == "取消" ? QString("*%1 <已更改>").arg(scanText(original.name))
                                  : scanText(original.name));
        if (answer == "取消") {
            QVERIFY(w.isChanged());
            QCOMPARE(inputDoc(w)->currentIndex(), edited);
        } else {
            QVERIFY(!w.isChanged());
        }
    }

    // Yes to the switch question with a setting the scanner cannot scan: the
    // warning, the Settings tab, nothing stored, the edited profile kept.
    void switchWithRejectedSetting()
    {
        ScanMainWindow &w = *window;
        ScanShortcutMenu *store = w.getScanShortcutMenu();
        // Find a colour setting and an input choice that the check refuses.
        int rejectedRow = -1, code = 0;
        for (int dpi : {1200, 600}) {
            tagSCAN_SHORTCUT_MENU p;
            store->getScanShortcutItem(4, p);
            for (tagSCAN_SIDE_SETTING &side : p.sideSettings) {
                side.resolution = dpi;
                side.compressionType = CompressionNone;
            }
            store->setCurrentScanIndex(0);
            store->setCurrentScanShortcut(p);
            w.reload();
            for (int row = 0; row < 3 && rejectedRow < 0; ++row) {
                tagSCAN_SHORTCUT_MENU r;
                zeroScanShortcut(r);
                w.settingForm()->updateUIControlToVariable(r);
                w.oxAdvancedSettingForm()->updateUIControlToVariable(r);
                r.inputDocument = InputDocumentFlag(inputDoc(w)->itemData(row).toInt());
                const int c = w.settingForm()->judgeSettingIsReasonable(r);
                if (c >= -77 && c <= -71 && inputDoc(w)->currentIndex() != row) {
                    rejectedRow = row;
                    code = c;
                }
            }
            if (rejectedRow >= 0)
                break;
        }
        QVERIFY2(rejectedRow >= 0, "no setting the check refuses could be made from the pages");
        tagSCAN_SHORTCUT_MENU stored;
        store->getScanShortcutItem(0, stored);
        inputDoc(w)->setCurrentIndex(rejectedRow);
        QVERIFY(w.isChanged());
        QStringList texts;
        QString warning;
        ModalAnswerer answerer([&](QWidget *box, const ModalSeen &seen) {
            texts << seen.title;
            if (seen.title == "警告")
                warning = seen.text;
            ModalAnswerer::press(box, seen.title == "确认更改" ? "是" : "确定");
        });
        list(w)->setCurrentRow(1);
        QTRY_COMPARE(list(w)->currentRow(), 0);
        QCOMPARE(texts, (QStringList{"确认更改", "警告"}));
        // The warning names what to change for the refusal the check gave.
        const QMap<int, QString> remedy{{-71, "上限为A5"},        {-72, "更改为压缩模式"},
                                        {-73, "降低压缩质量"},    {-74, "关闭合并功能"},
                                        {-75, "29.7cm * 25.0cm"}, {-76, "取消多流输出中黑白选项"},
                                        {-77, "修改为单面扫描"}};
        QVERIFY2(warning.contains(remedy.value(code, "?")), qPrintable(QString::number(code)));
        QCOMPARE(mainTabs(w)->currentIndex(), 1);
        tagSCAN_SHORTCUT_MENU after;
        store->getScanShortcutItem(0, after);
        QVERIFY(scanShortcutEquals(after, stored));
        QVERIFY(w.isChanged());
        QCOMPARE(inputDoc(w)->currentIndex(), rejectedRow);
    }

    // Resume brings a deleted built-in back, in the store and in the list,
    // and a renamed one's name back on its item and in the switch question.
    void resumeRestoresBuiltIns()
    {
        ScanMainWindow &w = *window;
        QAction *resume = w.settingMenu()->actions().at(0);
        const QString firstName = list(w)->item(0)->text();
        QStringList boxes;
        {
            ModalAnswerer rename(nameThen("Renamed", &boxes));
            button(w, "pushButtonRename")->click();
        }
        QCOMPARE(list(w)->item(0)->text(), QString("Renamed"));
        list(w)->setCurrentRow(3);
        ModalAnswerer yes("是");
        button(w, "pushButtonDelete")->click();
        QCOMPARE(list(w)->count(), 5);
        QVERIFY(resume->isEnabled());
        yes.stop();
        list(w)->setCurrentRow(0);
        ModalAnswerer answerer(
            [](QWidget *d, const ModalSeen &) { ModalAnswerer::press(d, "是"); });
        w.clickedResumeMenu();
        QCOMPARE(titles(answerer), QStringList{"恢复"});
        QCOMPARE(w.getScanShortcutMenu()->getScanShortcutCount(), 6);
        QCOMPARE(list(w)->count(), 6);
        QCOMPARE(list(w)->item(0)->text(), firstName);
        QVERIFY(!w.isChanged());
        answerer.stop();

        QVERIFY(pagesEqualAfterLoad(w));
        inputDoc(w)->setCurrentIndex((inputDoc(w)->currentIndex() + 1) % 3);
        ModalAnswerer no("否");
        list(w)->setCurrentRow(1);
        QTRY_COMPARE(no.count(), 1);
        QCOMPARE(no.last().text,
                 QString("将失去对“%1”快捷键的更改。\n您要保存更改吗？").arg(firstName));
        QVERIFY(boxes.isEmpty());
    }

    // A damaged package: the box, and the list as it was.
    void importDamagedPackage()
    {
        ScanMainWindow &w = *window;
        const QString package = QDir::tempPath() + "/damaged.wqv";
        QFile f(package);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(300, '\x5a'));
        f.close();
        const int rows = list(w)->count();
        ModalAnswerer answerer([&](QWidget *box, const ModalSeen &seen) {
            if (qobject_cast<QFileDialog *>(box))
                testsupport::answerFileDialog(box, package);
            else
                ModalAnswerer::press(box, seen.title == "警告" ? "是" : "确定");
        });
        w.settingMenu()->actions()[1]->trigger();
        QCOMPARE(titles(answerer), (QStringList{"警告", "打开", "错误"}));
        QCOMPARE(answerer.seen()[0].defaultButton, QString("否"));
        QCOMPARE(answerer.seen()[2].text, QString("文件导入失败，请确认文件是否已经损坏！"));
        QCOMPARE(list(w)->count(), rows);
    }

    // Every picture the console names is compiled in.
    void picturesExist()
    {
        for (const char *name :
             {"about", "help", "save", "save-as", "delete", "rename", "reset", "arrow", "resume",
              "import", "export", "duplex", "single-front", "single-contrary", "warning"})
            QVERIFY2(!QImage(QString(":/ui/images/%1.png").arg(name)).isNull(), name);
        for (const char *path :
             {":/paper/images/paper/exclamation-mark.png", ":/paper/images/paper/adf-empty.png",
              ":/paper/images/paper/countonly.jpg"})
            QVERIFY2(!QImage(path).isNull(), path);
    }

    void okWithEditsAnsweredNoSavesNothing()
    {
        ScanMainWindow &w = *window;
        QVERIFY(pagesEqualAfterLoad(w));
        inputDoc(w)->setCurrentIndex((inputDoc(w)->currentIndex() + 1) % 3);
        ModalAnswerer answerer("否");
        button(w, "pushButtonOK")->click();
        QCOMPARE(titles(answerer), QStringList{"确认更改"});
        QVERIFY(w.isHidden());
        QVERIFY(!w.isChanged());
        QVERIFY(profileFiles().isEmpty());
    }

    void dialogs()
    {
        // Feeder empty: Escape does nothing, the countdown reaches 0 and
        // cancels once, the dialog stays until the console removes it.
        DetectPaperDialog paper(hub, nullptr);
        QCOMPARE(paper.size(), QSize(338, 201));
        auto *info = child<QPlainTextEdit>(&paper, "plainTextEditInfo");
        QCOMPARE(info->toPlainText(), QString("托盘进纸器中未找到纸张\n\n等待 20..."));
        QSignalSpy cancels(hub, &PMessage::cancelScanningJob);
        paper.show();
        QTest::keyClick(&paper, Qt::Key_Escape);
        QVERIFY(!paper.isHidden());
        for (int i = 0; i < 19; ++i)
            paper.timerPaperDetect();
        QCOMPARE(info->toPlainText(), QString("托盘进纸器中未找到纸张\n\n等待 1..."));
        QCOMPARE(cancels.count(), 0);
        paper.timerPaperDetect();
        QCOMPARE(info->toPlainText(), QString("托盘进纸器中未找到纸张\n\n等待 0..."));
        QCOMPARE(cancels.count(), 1);
        QCOMPARE(cancels[0][0].value<PMessage::CancelOwnerFlag>(), PMessage::CancelByDialog);
        QVERIFY(!child<QPushButton>(&paper, "pushButtonCancel")->isEnabled());
        QVERIFY(!paper.isHidden());
        grab(&paper, "detect-paper");

        // Progress of a duplex scan: sheets on fronts, pages on every side.
        ScanningDialog progress(1, true, hub, nullptr);
        QCOMPARE(progress.size(), QSize(369, 289));
        QCOMPARE(progress.windowTitle(), QString("正在扫描"));
        for (int sheet = 0; sheet < 3; ++sheet) {
            progress.setScanFileName(0, ":/paper/images/paper/countonly.jpg", 2);
            progress.setScanFileName(1, ":/paper/images/paper/countonly.jpg", 2);
        }
        QCOMPARE(child<QLabel>(&progress, "labelPages")->text(), QString("张：3"));
        QCOMPARE(child<QLabel>(&progress, "labelSheets")->text(), QString("页数：6（背面）"));
        QTRY_VERIFY(!child<QLabel>(&progress, "labelImage")->pixmap(Qt::ReturnByValue).isNull());
        grab(&progress, "scanning");

        // A page slow to read (a pipe whose writer waits until the GUI has
        // turned) holds neither the GUI thread nor a dialog closed meanwhile.
        const QString slowPage =
            QDir::tempPath() +
            QStringLiteral("/slow-page-%1.jpg").arg(QCoreApplication::applicationPid());
        QFile::remove(slowPage);
        QCOMPARE(mkfifo(QFile::encodeName(slowPage).constData(), 0600), 0);
        std::atomic<bool> turned{false};
        bool waitedOut = false;
        std::mutex mutex;
        std::condition_variable turning;
        std::thread writer([&] {
            QFile pipe(slowPage); // opens once the page is being read
            pipe.open(QIODevice::WriteOnly);
            std::unique_lock<std::mutex> lock(mutex);
            waitedOut = !turning.wait_for(lock, std::chrono::milliseconds(scaledMs(10000)),
                                          [&] { return turned.load(); });
            QFile page(":/paper/images/paper/countonly.jpg");
            page.open(QIODevice::ReadOnly);
            pipe.write(page.readAll());
        });
        auto *slow = new ScanningDialog(1, true, hub, nullptr);
        slow->setScanFileName(0, slowPage, 2);
        QTimer::singleShot(0, [&] {
            std::lock_guard<std::mutex> lock(mutex);
            turned = true;
            turning.notify_all();
        });
        QTRY_VERIFY(turned.load());
        delete slow;
        writer.join();
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QFile::remove(slowPage);
        QVERIFY(!waitedOut);

        ScanningDialog calibration(3, false, hub, nullptr);
        QCOMPARE(calibration.windowTitle(), QString("校准"));
        QStringList dots;
        for (int i = 0; i < 5; ++i) {
            calibration.handleTimeOut();
            dots
                << child<QLabel>(&calibration, "labelPages")->text().remove("正在进行校准，请稍后");
        }
        QCOMPARE(dots, (QStringList{"....", ".", "..", "...", "...."}));
        QVERIFY(child<QPushButton>(&calibration, "pushButtonCancel")->isHidden());
    }
};

QTEST_MAIN(TestConsoleWindow)
#include "tst_consolewindow.moc"

// The launcher's stores: the twenty task slots with their folders, the
// destination list with destination.ini, and the three output option lists.

#include "outputoptions.h"
#include "scandestination.h"
#include "storefixture.h"
#include "support/fulldisk.h"
#include "support/testtiming.h"
#include "taskshortcut.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QThread>
#include <QtTest>

#include <sys/stat.h>

namespace {

bool sameTask(const tagTASK_SHORTCUT &a, const tagTASK_SHORTCUT &b)
{
    return a.EnableCommand == b.EnableCommand && a.TaskID == b.TaskID && a.Name == b.Name &&
           a.Icon == b.Icon && a.ScanDestinationID == b.ScanDestinationID &&
           a.FileTypeID == b.FileTypeID && a.FileNameFormat == b.FileNameFormat &&
           a.FolderPath == b.FolderPath && a.FileNamePrefix == b.FileNamePrefix &&
           a.BeforeSaveFileSettingFileName == b.BeforeSaveFileSettingFileName &&
           a.AfterSendFileDeleteFile == b.AfterSendFileDeleteFile &&
           a.PrinterName == b.PrinterName &&
           a.BeforePrintingDisplaySetings == b.BeforePrintingDisplaySetings &&
           a.ScalePrintPage == b.ScalePrintPage && a.CenterPrint == b.CenterPrint &&
           a.PageSize == b.PageSize && a.CollateCopies == b.CollateCopies &&
           a.ColorMode == b.ColorMode && a.CopyCount == b.CopyCount && a.Creator == b.Creator &&
           a.DocName == b.DocName && a.DoubleSidedPrinting == b.DoubleSidedPrinting &&
           a.Duplex == b.Duplex && a.FontEmbeddingEnabled == b.FontEmbeddingEnabled &&
           a.FullPage == b.FullPage && a.Orientation == b.Orientation &&
           a.OutputFileName == b.OutputFileName && a.OutputFormat == b.OutputFormat &&
           a.PageOrder == b.PageOrder && a.PaperSize == b.PaperSize &&
           a.PaperSource == b.PaperSource && a.PrintProgram == b.PrintProgram &&
           a.PrintRange == b.PrintRange && a.BeforeSaveEditImage == b.BeforeSaveEditImage &&
           a.ADFEmptyWaiting == b.ADFEmptyWaiting && a.AddKeywordToDoc == b.AddKeywordToDoc &&
           a.BlankPageSeparate == b.BlankPageSeparate &&
           a.BlankPageThreshold == b.BlankPageThreshold && a.BarcodeSeparate == b.BarcodeSeparate &&
           a.AddWatermark == b.AddWatermark && a.watermark.Watermark == b.watermark.Watermark &&
           a.watermark.IncludeSystemDate == b.watermark.IncludeSystemDate &&
           a.watermark.FontName == b.watermark.FontName &&
           a.watermark.FontSize == b.watermark.FontSize &&
           a.watermark.IncludePageNumber == b.watermark.IncludePageNumber &&
           a.watermark.IncludeDateTime == b.watermark.IncludeDateTime &&
           scanShortcutEquals(a.ScanProfile, b.ScanProfile) &&
           a.BeforeScanDisplaySetting == b.BeforeScanDisplaySetting;
}

QString slotFolder(const LauncherDir &dir, int slot)
{
    return dir.settings(TaskShortcut::slotIds().at(slot));
}

QStringList itemTexts(const QComboBox &box)
{
    QStringList t;
    for (int i = 0; i < box.count(); ++i)
        t << box.itemText(i);
    return t;
}

} // namespace

class TestLauncherStores : public QObject
{
    Q_OBJECT
private slots:
    void firstStartWritesTwentySlots();
    void commandIniReadDefaults_data();
    void commandIniReadDefaults();
    void commandIniRoundTripAndRawForm();
    void damagedSlotFallsBackAlone();
    void valuesOutsideTheListsReadAsDefaults();
    void newTaskTakesFirstFreeSlot();
    void comboListings();
    void rangeChecks();
    void failedTaskWriteIsReported();
    void fullDiskKeepsTheOldFiles();

    void destinationBuiltIns();
    void destinationSaveRenumbersAndProtects();
    void destinationDamagedCount_data();
    void destinationDamagedCount();
    void destinationDeleteAndCopy();
    void destinationSaveBelowAFileFails();

    void optionLists();
};

void TestLauncherStores::firstStartWritesTwentySlots()
{
    LauncherDir dir;
    QDir(TaskShortcut::defaultOutputFolder()).removeRecursively();
    LoadedTasks tasks(dir);
    QCOMPARE(tasks.count(), 20);
    QVERIFY(QFileInfo(TaskShortcut::defaultOutputFolder()).isDir());
    for (int slot = 0; slot < 20; ++slot) {
        QVERIFY(QFileInfo(slotFolder(dir, slot) + "/command.ini").isFile());
        QCOMPARE(QFileInfo(slotFolder(dir, slot) + "/device.cfg").size(), qint64(4456));
        tagTASK_SHORTCUT t;
        QVERIFY(tasks.enumTaskShortcut(slot, t));
        QCOMPARE(t.EnableCommand, slot < 10);
        QCOMPARE(t.TaskID, TaskShortcut::slotIds().at(slot));
        QCOMPARE(t.FolderPath, TaskShortcut::defaultOutputFolder());
        QVERIFY(t.BeforeSaveFileSettingFileName);
        QCOMPARE(t.CenterPrint, true);
    }
    tagTASK_SHORTCUT t = slotTask(tasks, 3);
    QCOMPARE(t.Name, QString("彩色照片 JPEG"));
    QCOMPARE(t.ScanDestinationID, ScanDestination::kFileId);
    QCOMPARE(t.FileTypeID, FileTypeJpegTiff);
    QCOMPARE(scanText(t.ScanProfile.id), QString("{9bcfbc7a-2bd6-4b69-a9d0-fb292fe99a02}"));
    tasks.enumTaskShortcut(8, t);
    QVERIFY(t.BeforeSaveEditImage && t.BeforeScanDisplaySetting);
    tasks.enumTaskShortcut(15, t);
    QVERIFY(t.Name.isEmpty() && t.ScanDestinationID.isEmpty());
    QCOMPARE(t.Icon, QString("Color-PDF.png"));

    const LauncherDir::Snapshot before = dir.snapshot();
    LoadedTasks again(dir);
    for (int slot = 0; slot < 20; ++slot) {
        tagTASK_SHORTCUT a, b;
        tasks.enumTaskShortcut(slot, a);
        again.enumTaskShortcut(slot, b);
        QVERIFY2(sameTask(a, b), qPrintable(QString("slot %1").arg(slot)));
    }
    // An intact set is read, not rewritten.
    QCOMPARE(dir.snapshot().files, before.files);
}

void TestLauncherStores::commandIniReadDefaults_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("FileTypeID") << "FileTypeID" << QVariant(2);
    QTest::newRow("FileNameFormat") << "FileNameFormat" << QVariant(1);
    QTest::newRow("ScalePrintPage") << "ScalePrintPage" << QVariant(1);
    QTest::newRow("PaperSource") << "PaperSource" << QVariant(6);
    QTest::newRow("CopyCount") << "CopyCount" << QVariant(1);
    QTest::newRow("FontName") << "FontName" << QVariant("SimSun");
    QTest::newRow("FontSize") << "FontSize" << QVariant(22);
    QTest::newRow("CenterPrint") << "CenterPrint" << QVariant(false);
    QTest::newRow("EnableCommand") << "EnableCommand" << QVariant(false);
    QTest::newRow("Name") << "Name" << QVariant("");
}

// The fields a command.ini key sets, by the key's name.
QVariantMap keyedFields(const tagTASK_SHORTCUT &t)
{
    return {{"FileTypeID", int(t.FileTypeID)},
            {"FileNameFormat", int(t.FileNameFormat)},
            {"ScalePrintPage", int(t.ScalePrintPage)},
            {"PaperSource", t.PaperSource},
            {"CopyCount", t.CopyCount},
            {"FontName", t.watermark.FontName},
            {"FontSize", t.watermark.FontSize},
            {"CenterPrint", t.CenterPrint},
            {"EnableCommand", t.EnableCommand},
            {"Name", t.Name}};
}

void TestLauncherStores::commandIniReadDefaults()
{
    QFETCH(QString, field);
    QFETCH(QVariant, expected);
    LauncherDir dir;
    const QString id = TaskShortcut::slotIds().at(0);
    LauncherDir::write(dir.settings(id + "/command.ini"), QByteArray());
    tagSCAN_SHORTCUT_MENU p;
    QVERIFY(dir.profiles.findScanShortcut(p, "{95cebce6-4d82-49dc-bad8-199f76ebb592}"));
    LauncherDir::write(dir.settings(id + "/device.cfg"), scanShortcutToBytes(p));

    // A working record full of other values: every key overwrites its field.
    tagTASK_SHORTCUT t;
    t.FileTypeID = FileTypeOfd;
    t.FileNameFormat = FileNameBarcodeTime;
    t.ScalePrintPage = ScalePrintNone;
    t.PaperSource = 1;
    t.CopyCount = 9;
    t.watermark.FontName = "Serif";
    t.watermark.FontSize = 72;
    t.CenterPrint = true;
    t.EnableCommand = true;
    t.Name = "old";
    TaskShortcut tasks;
    QVERIFY(tasks.loadUserTaskList(dir.settings(), id, t));
    QCOMPARE(keyedFields(t).value(field), expected);
    QCOMPARE(t.TaskID, id);
    QVERIFY(scanShortcutEquals(t.ScanProfile, p));
}

void TestLauncherStores::commandIniRoundTripAndRawForm()
{
    LauncherDir dir;
    LoadedTasks tasks(dir);
    tagTASK_SHORTCUT t = slotTask(tasks, 4);
    t.Name = "收据 “A” = B; C";
    t.FileNamePrefix = "scan_";
    t.BeforePrintingDisplaySetings = true;
    t.ScalePrintPage = ScalePrintNone;
    t.PrinterName = "Office";
    t.PageSize = 5;
    t.PaperSize = 5;
    t.CopyCount = 3;
    t.ADFEmptyWaiting = true;
    t.BlankPageSeparate = true;
    t.BlankPageThreshold = -1;
    t.AddWatermark = true;
    t.watermark.Watermark = "机密 %1";
    t.watermark.FontSize = 48;
    t.watermark.IncludeDateTime = true;
    QVERIFY(tasks.setTaskShortcut(t.TaskID, t));
    QVERIFY(tasks.saveTaskList());

    LoadedTasks again(dir);
    tagTASK_SHORTCUT back;
    QVERIFY(again.enumTaskShortcut(t.TaskID, back));
    QVERIFY(sameTask(t, back));

    const QByteArray raw = LauncherDir::read(dir.settings(t.TaskID + "/command.ini"));
    QVERIFY(raw.contains("[%General]"));
    QVERIFY(raw.contains("BeforePrintingDisplaySetings=true"));
    QVERIFY(raw.contains("[Watermark]"));
}

void TestLauncherStores::damagedSlotFallsBackAlone()
{
    LauncherDir dir;
    {
        LoadedTasks tasks(dir);
        // Slot 3 carries user settings that must survive a damaged profile.
        tagTASK_SHORTCUT t = slotTask(tasks, 3);
        t.Name = "Receipts";
        tasks.setTaskShortcut(t.TaskID, t);
        QVERIFY(tasks.saveTaskList(dir.settings(), t));
    }
    QByteArray cfg3 = LauncherDir::read(slotFolder(dir, 3) + "/device.cfg");
    cfg3.chop(1);
    LauncherDir::write(slotFolder(dir, 3) + "/device.cfg", cfg3);
    QVERIFY(QFile::remove(slotFolder(dir, 5) + "/command.ini"));
    QVERIFY(QFile::remove(slotFolder(dir, 7) + "/device.cfg"));
    const LauncherDir::Snapshot before = dir.snapshot();
    QThread::msleep(20); // a rewrite would show in the modification times

    LoadedTasks tasks(dir);
    QCOMPARE(tasks.count(), 20);
    const LauncherDir::Snapshot after = dir.snapshot();
    const QStringList touched = {TaskShortcut::slotIds().at(3), TaskShortcut::slotIds().at(5),
                                 TaskShortcut::slotIds().at(7)};
    for (auto it = before.files.cbegin(); it != before.files.cend(); ++it) {
        const bool mayChange = touched.contains(it.key().section('/', 0, 0));
        if (!mayChange)
            QVERIFY2(after.files.value(it.key()) == it.value(), qPrintable(it.key()));
    }
    tagTASK_SHORTCUT t, def;
    tasks.enumTaskShortcut(3, t);
    QCOMPARE(t.Name, QString("Receipts")); // its command.ini values kept
    QCOMPARE(scanText(t.ScanProfile.id), QString("{9bcfbc7a-2bd6-4b69-a9d0-fb292fe99a02}"));
    QCOMPARE(QFileInfo(slotFolder(dir, 3) + "/device.cfg").size(), qint64(4456));
    tasks.enumTaskShortcut(5, t);
    QCOMPARE(t.Name, QString("黑白单页 TIFF (灰阶)"));
    QVERIFY(QFileInfo(slotFolder(dir, 5) + "/command.ini").isFile());
    QCOMPARE(QFileInfo(slotFolder(dir, 7) + "/device.cfg").size(), qint64(4456));
    // The next start reads all twenty without touching anything.
    const LauncherDir::Snapshot settled = dir.snapshot();
    LoadedTasks third(dir);
    QCOMPARE(dir.snapshot().files, settled.files);

    // Damaged flag bytes in a right-sized profile read as the profile store reads them.
    QByteArray cfg0 = LauncherDir::read(slotFolder(dir, 0) + "/device.cfg");
    tagSCAN_SHORTCUT_MENU expected;
    QVERIFY(scanShortcutFromBytes(cfg0, expected));
    tagTASK_SHORTCUT zero;
    QVERIFY(third.loadUserTaskList(dir.settings(), TaskShortcut::slotIds().at(0), zero));
    QVERIFY(scanShortcutEquals(zero.ScanProfile, expected));
}

void TestLauncherStores::valuesOutsideTheListsReadAsDefaults()
{
    LauncherDir dir;
    LoadedTasks tasks(dir);
    const QString id = TaskShortcut::slotIds().at(2);
    {
        QSettings ini(dir.settings(id + "/command.ini"), QSettings::IniFormat);
        ini.setValue("Destination/FileTypeID", 5);
        ini.setValue("Destination/FileNameFormat", 9);
        ini.setValue("Print/ScalePrintPage", 4);
        ini.setValue("General/Icon", "../x.png");
    }
    tagTASK_SHORTCUT t;
    QVERIFY(tasks.loadUserTaskList(dir.settings(), id, t));
    QCOMPARE(
        QVariantList({int(t.FileTypeID), int(t.FileNameFormat), int(t.ScalePrintPage), t.Icon}),
        QVariantList({int(FileTypePdf), int(FileNameDateSequence), int(ScalePrintAuto), ""}));
    {
        QSettings ini(dir.settings(id + "/command.ini"), QSettings::IniFormat);
        ini.setValue("Print/ScalePrintPage", 0);
        ini.setValue("Destination/FileTypeID", "abc");
        ini.setValue("General/Icon", "mine.png");
    }
    QVERIFY(tasks.loadUserTaskList(dir.settings(), id, t));
    QCOMPARE(QVariantList({int(t.ScalePrintPage), int(t.FileTypeID), t.Icon}),
             QVariantList({int(ScalePrintAuto), int(FileTypePdf), "mine.png"}));
}

void TestLauncherStores::newTaskTakesFirstFreeSlot()
{
    LauncherDir dir;
    LoadedTasks tasks(dir);
    tagTASK_SHORTCUT before = slotTask(tasks, 10);
    QVERIFY(tasks.createNewTaskShortcut("Invoices", "abc.png"));
    QCOMPARE(tasks.getCurrentTaskIndex(), 10);
    tagTASK_SHORTCUT t;
    QVERIFY(tasks.getCurrentTaskShortcut(t));
    QVERIFY(t.EnableCommand);
    QCOMPARE(QStringList({t.TaskID, t.Name, t.Icon, t.ScanDestinationID}),
             QStringList({TaskShortcut::slotIds().at(10), "Invoices", "abc.png",
                          ScanDestination::kApplicationId}));
    QCOMPARE(t.FileTypeID, FileTypeSearchablePdf);
    QVERIFY(scanShortcutEquals(t.ScanProfile, before.ScanProfile)); // old profile kept
    // Nothing saved.
    QSettings ini(slotFolder(dir, 10) + "/command.ini", QSettings::IniFormat);
    QCOMPARE(ini.value("General/EnableCommand").toBool(), false);

    for (int i = 11; i < 20; ++i)
        tasks.createNewTaskShortcut(QString("T%1").arg(i), "x.png");
    tasks.setCurrentTaskIndex(4);
    tagTASK_SHORTCUT last = slotTask(tasks, 19);
    QVERIFY(tasks.createNewTaskShortcut("Overflow", "y.png"));
    QCOMPARE(tasks.getCurrentTaskIndex(), 4);
    tagTASK_SHORTCUT still = slotTask(tasks, 19);
    QVERIFY(sameTask(last, still));
}

void TestLauncherStores::comboListings()
{
    LauncherDir dir;
    LoadedTasks tasks(dir);
    // Five named tasks, then nameless ones.
    for (int i = 5; i < 10; ++i) {
        tagTASK_SHORTCUT t = slotTask(tasks, i);
        t.Name.clear();
        tasks.setTaskShortcut(t.TaskID, t);
    }
    QComboBox all;
    all.addItem("kept");
    tasks.loadTaskListToControl(&all, 20);
    QCOMPARE(all.count(), 7);
    QCOMPARE(all.itemText(1), QString("1. 彩色 PDF"));
    QCOMPARE(all.itemData(5).toString(), TaskShortcut::slotIds().at(4));
    QCOMPARE(all.itemText(6), QString("<新建...>"));
    QVERIFY(tasks.isCreateNewTaskShortcut(&all, 6));
    QVERIFY(!tasks.isCreateNewTaskShortcut(&all, 5));
    QComboBox five;
    tasks.loadTaskListToControl(&five, 5);
    QCOMPARE(five.count(), 5);
    QVERIFY(!tasks.isCreateNewTaskShortcut(&five, 4));

    // The marker at 18 and 19: a new task in slot 18 is inserted before the
    // marker, one at 19 is not.
    LoadedTasks full(dir);
    for (int i = 10; i < 18; ++i)
        full.createNewTaskShortcut(QString("N%1").arg(i), "n.png");
    QComboBox box;
    full.loadTaskListToControl(&box, 20);
    QCOMPARE(box.count(), 19);
    full.createNewTaskShortcut("N18", "n.png");
    full.updateTaskListToControl(&box);
    QCOMPARE(box.count(), 20);
    QCOMPARE(box.itemText(18), QString("19. N18"));
    QVERIFY(full.isCreateNewTaskShortcut(&box, 19));
    full.createNewTaskShortcut("N19", "n.png");
    full.updateTaskListToControl(&box);
    QCOMPARE(box.count(), 20);

    full.setCurrentTaskIndex(2);
    tagTASK_SHORTCUT t;
    full.getCurrentTaskShortcut(t);
    t.Name = "Renamed";
    full.setCurrentTaskShortcut(t);
    full.renameTaskShortcutName(&box);
    QCOMPARE(box.itemText(2), QString("3. Renamed"));
    QCOMPARE(itemTexts(box).size(), 20);
}

void TestLauncherStores::rangeChecks()
{
    LauncherDir dir;
    LoadedTasks tasks(dir);
    tagTASK_SHORTCUT t;
    t.Name = "untouched";
    QVERIFY(!tasks.enumTaskShortcut(20, t));
    QVERIFY(!tasks.enumTaskShortcut(-1, t));
    QVERIFY(!tasks.copyTaskShortcut(t, 20));
    QVERIFY(!tasks.enumTaskShortcut(QString("{nope}"), t));
    QVERIFY(!tasks.setTaskShortcut(QString("{nope}"), t));
    QCOMPARE(t.Name, QString("untouched"));
    tasks.setCurrentTaskIndex(6);
    tasks.setCurrentTaskIndex(20);
    tasks.setCurrentTaskIndex(-1);
    QCOMPARE(tasks.getCurrentTaskIndex(), 6);
}

void TestLauncherStores::failedTaskWriteIsReported()
{
    LauncherDir dir;
    LoadedTasks tasks(dir);
    tagTASK_SHORTCUT t = slotTask(tasks, 0);
    // A settings "directory" that is a regular file (root ignores permission bits).
    const QString blocker = dir.root->filePath("blocker");
    LauncherDir::write(blocker, "x");
    QVERIFY(!tasks.saveTaskList(blocker + "/sub", t));
    g_ConfigFile.m_strSettingsDir = blocker;
    QVERIFY(!tasks.saveTaskList());
}

// The disk fills while a task and the destinations are written: the writes
// fail, every file stays as it was with nothing left beside it, and the next
// start reads the user's own profile, not the slot's default.
void TestLauncherStores::fullDiskKeepsTheOldFiles()
{
    LauncherDir dir;
    LoadedTasks tasks(dir);
    LoadedDestinations dest;
    for (const char *name : {"first", "second"}) {
        tagSCAN_DESTINATION d;
        d.ScanDestinationFlagID = ScanDestWebMail;
        d.Name = name;
        d.Recipient = "office@corvan.test";
        dest.addScanDestination(d);
    }
    QVERIFY(dest.saveScanDestination());
    tagTASK_SHORTCUT t = slotTask(tasks, 0);
    // The user's own profile, not the one the slot would fall back to.
    QVERIFY(dir.profiles.getScanShortcutItem(2, t.ScanProfile));
    QVERIFY(tasks.saveTaskList(dir.settings(), t));
    const tagSCAN_SHORTCUT_MENU mine = t.ScanProfile;
    const QString folder = slotFolder(dir, 0);
    const QStringList files = {folder + "/command.ini", folder + "/device.cfg",
                               ScanDestination::iniPath()};
    QList<QByteArray> before;
    for (const QString &f : files)
        before << LauncherDir::read(f);
    QVERIFY(!before.contains(QByteArray()));

    t.Name = "changed";
    QVERIFY(dir.profiles.getScanShortcutItem(3, t.ScanProfile));
    QVERIFY(!scanShortcutEquals(t.ScanProfile, mine));
    dest.deleteScanDestination(dest.count() - 1);
    const int written = testsupport::inFullDiskChild(512, [&] {
        return (tasks.saveTaskList(dir.settings(), t) ? 1 : 0) |
               (dest.saveScanDestination() ? 2 : 0);
    });
    QCOMPARE(written, 0);
    for (int i = 0; i < files.size(); ++i)
        QVERIFY2(LauncherDir::read(files.at(i)) == before.at(i), qPrintable(files.at(i)));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
             QStringList({"command.ini", "device.cfg"}));
    LoadedTasks again(dir);
    tagTASK_SHORTCUT read = slotTask(again, 0);
    QVERIFY(scanShortcutEquals(read.ScanProfile, mine));
}

// ---------------------------------------------------------------- destinations

void TestLauncherStores::destinationBuiltIns()
{
    LauncherDir dir;
    LoadedDestinations dest;
    QComboBox box;
    dest.loadScanDestinationToControl(&box);
    QCOMPARE(itemTexts(box), QStringList({"文件", "应用程序", "打印机/传真打印机", "电子邮件"}));
    QCOMPARE(box.itemData(1).toString(), ScanDestination::kApplicationId);
    QCOMPARE(dest.getScanDestID(ScanDestination::kPrinterId), ScanDestPrinter);
    // Ids are compared exactly: another case is another id.
    QCOMPARE(dest.getScanDestIndex(ScanDestination::kEmailId.toUpper()), -1);
    QCOMPARE(dest.getScanDestID(ScanDestination::kEmailId.toLower()), ScanDestFile);
    QCOMPARE(dest.getScanDestID(99), ScanDestFile);
    QCOMPARE(dest.getScanDestID(-1), ScanDestFile);
    QVERIFY(dest.findScanDestination("文件"));
    QVERIFY(!dest.findScanDestination("Foo"));
    QLabel label;
    QVERIFY(!dest.loadIcon(&label, 4));
    QVERIFY(dest.loadIcon(&label, 0));
}

void TestLauncherStores::destinationSaveRenumbersAndProtects()
{
    LauncherDir dir;
    LoadedDestinations dest;
    QComboBox box;
    dest.loadScanDestinationToControl(&box);
    const QString password = QString::fromUtf8("pässwörd 密码 \u00e9");
    for (const char *name : {"One", "Two", "Three"}) {
        tagSCAN_DESTINATION d;
        d.ScanDestinationFlagID = ScanDestWebMail;
        d.Name = name;
        d.ServerAddress = "smtp.example.org";
        d.Port = 587;
        d.Password = password;
        QVERIFY(dest.addScanDestination(d));
        QVERIFY(d.ScanDestinationID.startsWith('{') && d.ScanDestinationID.endsWith('}'));
        QCOMPARE(d.Icon, QString(":/scanto/images/email.png"));
    }
    QCOMPARE(box.count(), 7);
    QVERIFY(dest.saveScanDestination());
    QVERIFY(dest.deleteScanDestination(4)); // "One"
    QCOMPARE(box.count(), 6);
    QVERIFY(dest.saveScanDestination());

    const QString path = ScanDestination::iniPath();
    struct stat st;
    QCOMPARE(stat(QFile::encodeName(path).constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 0777), 0600);
    {
        QSettings ini(path, QSettings::IniFormat);
        ini.setIniCodec("UTF-8");
        ini.beginGroup("Application");
        QCOMPARE(ini.value("Num").toInt(), 2);
        QCOMPARE(ini.value("Name1").toString(), QString("Two"));
        QCOMPARE(ini.value("Name2").toString(), QString("Three"));
        QVERIFY(!ini.contains("Name3"));
        QVERIFY(!ini.contains("Port3"));
    }
    QVERIFY(LauncherDir::read(path).contains("@ByteArray(cMOkc3N3w7ZyZCDlr4bnoIEgw6k=)"));
    QVERIFY(!LauncherDir::read(path).contains(password.toUtf8()));

    LoadedDestinations back;
    QCOMPARE(back.count(), 6);
    tagSCAN_DESTINATION d;
    QVERIFY(back.entry(5, d));
    QCOMPARE(d.Name, QString("Three"));
    QCOMPARE(d.Password, password);
    QCOMPARE(d.Port, 587);
    QVERIFY(!d.BuiltIn);

    // No user entries left: the group stays without keys.
    QComboBox box2;
    back.loadScanDestinationToControl(&box2);
    QVERIFY(back.deleteScanDestination(5));
    QVERIFY(back.deleteScanDestination(4));
    QVERIFY(back.saveScanDestination());
    QSettings ini(path, QSettings::IniFormat);
    ini.beginGroup("Application");
    QVERIFY(ini.childKeys().isEmpty());
}

void TestLauncherStores::destinationDamagedCount_data()
{
    QTest::addColumn<QByteArray>("num");
    QTest::addColumn<int>("entries");
    QTest::newRow("huge") << QByteArray("2147483647") << 2;
    QTest::newRow("negative") << QByteArray("-3") << 2;
    QTest::newRow("not a number") << QByteArray("many") << 2;
    QTest::newRow("one") << QByteArray("1") << 1;
    QTest::newRow("zero") << QByteArray("0") << 0;
}

void TestLauncherStores::destinationDamagedCount()
{
    QFETCH(QByteArray, num);
    QFETCH(int, entries);
    LauncherDir dir;
    LauncherDir::write(
        ScanDestination::iniPath(),
        "[Application]\nNum=" + num +
            "\nName1=Only a name\nName2=Second\nPassword2=@ByteArray(!!notbase64)\n");
    ScanDestination dest;
    QElapsedTimer clock;
    clock.start();
    dest.loadScanDestination();
    QVERIFY(clock.elapsed() < scaledMs(2000));
    QCOMPARE(dest.count(), 4 + entries);
    if (entries == 0)
        return;
    tagSCAN_DESTINATION d;
    QVERIFY(dest.entry(4, d));
    QCOMPARE(QVariantList({d.Name, int(d.ScanDestinationFlagID), d.Port, d.MailSize}),
             QVariantList({"Only a name", int(ScanDestCustomApplication), 25, 10}));
    if (entries == 2) {
        QVERIFY(dest.entry(5, d));
        QCOMPARE(d.Password, QString());
    }
}

void TestLauncherStores::destinationDeleteAndCopy()
{
    LauncherDir dir;
    LoadedDestinations dest;
    QComboBox box;
    dest.loadScanDestinationToControl(&box);
    tagSCAN_DESTINATION mail;
    mail.ScanDestinationFlagID = ScanDestWebMail;
    mail.Name = "Mail";
    mail.ServerAddress = "smtp.example.org";
    mail.Account = "me";
    mail.Password = "secret";
    dest.addScanDestination(mail);
    QVERIFY(!dest.deleteScanDestination(0)); // built-in
    QVERIFY(!dest.deleteScanDestination(3));
    QVERIFY(!dest.deleteScanDestination(5)); // the size
    QVERIFY(!dest.deleteScanDestination(-1));
    QCOMPARE(dest.count(), 5);
    QCOMPARE(box.count(), 5);

    QVERIFY(dest.addScanDestination(4, "Mail copy"));
    QVERIFY(!dest.addScanDestination(6, "Past the end"));
    tagSCAN_DESTINATION copy;
    QVERIFY(dest.entry(5, copy));
    QCOMPARE(QStringList({copy.Name, copy.ServerAddress, copy.Account, copy.Password}),
             QStringList({"Mail copy", mail.ServerAddress, mail.Account, mail.Password}));
    QCOMPARE(copy.ScanDestinationFlagID, ScanDestWebMail);
    QVERIFY(copy.ScanDestinationID != mail.ScanDestinationID);
    QCOMPARE(box.itemText(5), QString("Mail copy"));

    copy.Name = "Renamed";
    QVERIFY(dest.updateScanDestination(5, copy));
    QVERIFY(!dest.updateScanDestination(6, copy));
    QCOMPARE(box.itemText(5), QString("Renamed"));
    dest.setScanDestionCurrentIndex(copy.ScanDestinationID);
    QCOMPARE(box.currentIndex(), 5);

    // A second box is brought in step after an addition and a deletion.
    QComboBox other;
    dest.updateScanDestinationToControl(&other);
    QCOMPARE(other.count(), 6);
    QVERIFY(dest.deleteScanDestination(4));
    dest.updateScanDestinationToControl(&other);
    QCOMPARE(itemTexts(other), itemTexts(box));
}

void TestLauncherStores::destinationSaveBelowAFileFails()
{
    LauncherDir dir;
    LauncherDir::write(dir.root->filePath("plain"), "x");
    g_ConfigFile.m_strSettingsDir = dir.root->filePath("plain");
    LoadedDestinations dest;
    QCOMPARE(dest.count(), 4);
    QVERIFY(!dest.saveScanDestination());
}

// ---------------------------------------------------------------- option lists

void TestLauncherStores::optionLists()
{
    ScanFileType types;
    types.loadFileTypeList();
    QComboBox typeBox;
    types.loadFileTypeListToControl(&typeBox);
    QList<int> values;
    for (int i = 0; i < typeBox.count(); ++i)
        values << typeBox.itemData(i).toInt();
    QCOMPARE(values, QList<int>({1, 2, 6, 7, 8, 9, 10, 11, 12, 13}));
    QCOMPARE(types.getScanDestID(2), FileTypeMultiPageTiff);
    QCOMPARE(types.getScanDestID(10), FileTypePdf);
    QCOMPARE(typeBox.itemText(0), QString("PDF - 可搜索"));

    QLabel label;
    QPushButton ocr;
    types.setFileTypeCurrentIndex(&label, &ocr, FileTypeSearchablePdf);
    QVERIFY(ocr.isEnabled());
    types.setFileTypeCurrentIndex(&label, &ocr, FileTypeOfd);
    QVERIFY(ocr.isEnabled());
    QCOMPARE(typeBox.currentIndex(), 8);
    types.setFileTypeCurrentIndex(&label, &ocr, FileTypePdf);
    QVERIFY(!ocr.isEnabled());
    types.setFileTypeCurrentIndex(&label, &ocr, FileTypeOfd);
    QVERIFY(!ocr.isEnabled());
    types.setFileTypeCurrentIndex(&label, &ocr, FileTypeSearchablePdfSingle);
    QVERIFY(ocr.isEnabled());
    types.setFileTypeCurrentIndex(&label, &ocr, FileTypeTxt);
    QVERIFY(ocr.isEnabled());
    QVERIFY(!types.loadIcon(&label, &ocr, static_cast<ScanFileTypeFlag>(3)));
    QVERIFY(ocr.isEnabled());
    QCOMPARE(typeBox.currentIndex(), 9);
    ScanFileType empty;
    QVERIFY(!empty.loadIcon(&label, &ocr, FileTypePdf));

    FileNameFormat formats;
    formats.loadFileNameFormatList();
    QComboBox formatBox;
    formats.loadFileFormatListToControl(&formatBox);
    QCOMPARE(itemTexts(formatBox),
             QStringList({"日期和顺序号", "日期和时间戳记", "条码和序列号", "条码和时间戳记"}));
    formats.setFileNameFormatCurrentIndex(FileNameBarcodeSequence);
    QCOMPARE(formatBox.currentIndex(), 2);
    formats.setFileNameFormatCurrentIndex(static_cast<FileNameFormatFlag>(5));
    QCOMPARE(formatBox.currentIndex(), 2);
    QCOMPARE(formats.getFileNameFormatID(3), FileNameBarcodeTime);

    ScalePrintPage scales;
    scales.loadScaleStyleList();
    QComboBox scaleBox;
    scales.loadScaleStyleListToControl(&scaleBox);
    QCOMPARE(itemTexts(scaleBox), QStringList({"自动", "调整到适合的纸张尺寸", "无"}));
    QCOMPARE(scaleBox.itemData(2).toInt(), 3);
    scales.setScalePrintPageCurrentIndex(ScalePrintNone);
    QCOMPARE(scaleBox.currentIndex(), 2);
    QCOMPARE(scales.getScaleStyleID(0), ScalePrintAuto);
}

QTEST_MAIN(TestLauncherStores)
#include "tst_launcherstores.moc"

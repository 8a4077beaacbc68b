#include "profilestorefixture.h"

#include <QFileInfo>
#include <QImage>
#include <QListWidget>
#include <QRegularExpression>
#include <QtTest>

#include <cstring>
#include <unistd.h>

class TestProfileStore : public QObject
{
    Q_OBJECT

private slots:
    void loadWithoutListGivesBuiltIns();
    void saveWritesRecordsAndListThenReloads();
    void saveDeletesFilesOfReidentifiedProfilesOnly();
    void wrongSizedAndMissingFilesAreSkipped();
    void countDisagreeingWithItems_data();
    void countDisagreeingWithItems();
    void currentIndexClampedAtLoad_data();
    void currentIndexClampedAtLoad();
    void unsafeIdsFromTheListNeverReachOtherFiles();
    void unsafeIdsInMemoryAreNotWritten();
    void recordIdFollowsItsFileName();
    void repeatedIdsLoadOnce();
    void resetWithoutDeviceKeepsDeviceBytes();
    void resetAllRestoresWholeRecord();
    void deletedBuiltInIsReportedAndReappended();
    void timeoutGroupSpreadsUnlessKeptPerProfile();
    void failedRecordWriteKeepsPreviousFiles();
    void readOnlyDirectoryKeepsPreviousState();
    void currentIndexStaysInsideTheList();
    void addGivesFreshBracedIds();
    void listWidgetItems();
};

void TestProfileStore::loadWithoutListGivesBuiltIns()
{
    ProfileDir dir;
    ScanShortcutMenu store;
    QCOMPARE(store.getCurrentScanIndex(), -1);
    tagSCAN_SHORTCUT_MENU r;
    QVERIFY(!store.getCurrentScanShortcut(r));   // no list yet: nothing to copy

    // Without a list file the index is left as it was: -1 on a new store.
    store.loadScanShortcut(&dir.config);
    QCOMPARE(idsOf(store), builtInIds());
    QCOMPARE(store.getCurrentScanIndex(), -1);
    QVERIFY(!store.defaultIsChanged());
    store.setCurrentScanIndex(0);
    QVERIFY(store.getCurrentScanShortcut(r));
    QCOMPARE(scanText(r.id), builtInIds().first());

    // An index inside the built-ins stays; one past them is clamped.
    store.setCurrentScanIndex(4);
    store.loadScanShortcut(&dir.config);
    QCOMPARE(store.getCurrentScanIndex(), 4);
    store.addScanShortcut(r, "seventh", QString());
    QCOMPARE(store.getCurrentScanIndex(), 6);
    store.loadScanShortcut(&dir.config);
    QCOMPARE(store.getCurrentScanIndex(), 0);
}

void TestProfileStore::saveWritesRecordsAndListThenReloads()
{
    ProfileDir dir;
    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    tagSCAN_SHORTCUT_MENU added = profileAt(store, 5);
    added.sideSettings[0].resolution = 600;
    QVERIFY(store.addScanShortcut(added, QString::fromUtf8("发票"), "mine.png"));
    QVERIFY(store.saveScanShortcut());

    const QStringList ids = idsOf(store);
    QCOMPARE(ids.size(), 7);
    QCOMPARE(dir.iniItems(), ids);
    QCOMPARE(dir.iniCurrentIndex(), 6);
    for (int i = 0; i < ids.size(); ++i)
        QCOMPARE(dir.read(ids.at(i)), scanShortcutToBytes(profileAt(store, i)));
    // Only the records, the list and the directories the configuration made.
    QStringList expected = ids;
    expected << "profile.ini" << "icons";
    const QStringList present = QDir(dir.config.m_strProfilesDir)
                                    .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    QCOMPARE(QSet<QString>(present.begin(), present.end()),
             QSet<QString>(expected.begin(), expected.end()));

    ScanShortcutMenu again;
    again.loadScanShortcut(&dir.config);
    QCOMPARE(idsOf(again), ids);
    QCOMPARE(again.getCurrentScanIndex(), 6);
    for (int i = 0; i < ids.size(); ++i)
        QVERIFY(scanShortcutEquals(profileAt(again, i), profileAt(store, i)));
    QCOMPARE(scanText(profileAt(again, 6).name), QString::fromUtf8("发票"));
    QCOMPARE(scanText(profileAt(again, 6).iconFile), QStringLiteral("mine.png"));
    QCOMPARE(profileAt(again, 6).sideSettings[0].resolution, 600);
    QVERIFY(!again.defaultIsChanged());
}

void TestProfileStore::saveDeletesFilesOfReidentifiedProfilesOnly()
{
    ProfileDir dir;
    const QString user = "{00000000-0000-0000-0000-00000000000a}";
    dir.writeRecord(user, userProfile(user, "u"));
    dir.write("stray", "not listed");
    dir.writeIni(1, {user});

    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    QCOMPARE(idsOf(store), QStringList{user});
    tagSCAN_SHORTCUT_MENU r;
    QVERIFY(store.getCurrentScanShortcut(r));
    const QString renamed = "{00000000-0000-0000-0000-00000000000b}";
    setScanText(r.id, renamed);
    QVERIFY(store.setCurrentScanShortcut(r));
    QVERIFY(store.saveScanShortcut());

    QVERIFY(!QFileInfo::exists(dir.path(user)));
    QCOMPARE(dir.read(renamed), scanShortcutToBytes(r));
    QCOMPARE(dir.read("stray"), QByteArray("not listed"));
    QCOMPARE(dir.iniItems(), QStringList{renamed});
}

void TestProfileStore::wrongSizedAndMissingFilesAreSkipped()
{
    ProfileDir dir;
    const QStringList ids = {"{s-4455}", "{good-1}", "{s-4457}", "{missing}", "{good-2}"};
    dir.write(ids[0], QByteArray(4455, '\0'));
    dir.writeRecord(ids[1], userProfile(ids[1], "one"));
    dir.write(ids[2], scanShortcutToBytes(userProfile(ids[2], "x")) + QByteArray(1, '\0'));
    dir.writeRecord(ids[4], userProfile(ids[4], "two"));
    QDir(dir.config.m_strProfilesDir).mkdir("{dir}");   // a directory by that name
    dir.writeIni(7, ids + QStringList{"{dir}"}, 1);

    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    QCOMPARE(idsOf(store), (QStringList{"{good-1}", "{good-2}"}));
    QCOMPARE(scanText(profileAt(store, 1).name), QStringLiteral("two"));
    QCOMPARE(store.getCurrentScanIndex(), 1);

    // A save lists only what was loaded, but the damaged files stay on disk
    // for the user to recover; a later save keeps them too.
    const QByteArray damaged = dir.read(ids[2]);
    QVERIFY(store.saveScanShortcut());
    QCOMPARE(dir.iniItems(), (QStringList{"{good-1}", "{good-2}"}));
    QCOMPARE(dir.read(ids[0]), QByteArray(4455, '\0'));
    QCOMPARE(dir.read(ids[2]), damaged);
    QVERIFY(store.saveScanShortcut());
    QVERIFY(QFileInfo::exists(dir.path(ids[0])));

    // A list naming nothing readable keeps the built-ins.
    dir.writeIni(2, {"{s-4455}", "{missing}"});
    store.loadScanShortcut(&dir.config);
    QCOMPARE(idsOf(store), builtInIds());
}

void TestProfileStore::countDisagreeingWithItems_data()
{
    QTest::addColumn<QVariant>("count");   // invalid: no Count key
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QStringList>("expected");
    const QString a = "{a}", b = "{b}";
    QTest::newRow("count 0, no items") << QVariant(0) << QStringList() << builtInIds();
    QTest::newRow("no count, no items") << QVariant() << QStringList() << builtInIds();
    QTest::newRow("no count, items") << QVariant() << QStringList{a, b} << QStringList{a, b};
    QTest::newRow("count below items") << QVariant(1) << QStringList{a, b} << QStringList{a, b};
    QTest::newRow("count above items") << QVariant(9) << QStringList{a, b} << QStringList{a, b};
    QTest::newRow("huge count") << QVariant(2147483647) << QStringList{a} << QStringList{a};
    QTest::newRow("negative count") << QVariant(-7) << QStringList{a} << QStringList{a};
    QTest::newRow("count not a number") << QVariant("many") << QStringList{b} << QStringList{b};
    QTest::newRow("gaps and empties") << QVariant(4) << QStringList{QString(), "", a, b}
                                      << QStringList{a, b};
}

void TestProfileStore::countDisagreeingWithItems()
{
    QFETCH(QVariant, count);
    QFETCH(QStringList, items);
    QFETCH(QStringList, expected);
    ProfileDir dir;
    for (const QString &id : {QString("{a}"), QString("{b}")})
        dir.writeRecord(id, userProfile(id, id));
    dir.writeIni(count, items);

    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    QCOMPARE(idsOf(store), expected);
    // A list file with nothing in it is not written at all: no list, so the
    // index stays where a new store has it.
    const bool listed = QFileInfo::exists(dir.config.m_strProfileIni);
    QCOMPARE(store.getCurrentScanIndex(), listed ? 0 : -1);
}

void TestProfileStore::currentIndexClampedAtLoad_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("expected");
    QTest::newRow("inside") << QVariant(2) << 2;
    QTest::newRow("last") << QVariant(3) << 3;
    QTest::newRow("equal to count") << QVariant(4) << 0;
    QTest::newRow("far past") << QVariant(100000) << 0;
    QTest::newRow("negative") << QVariant(-3) << 0;
    QTest::newRow("not a number") << QVariant("abc") << 0;
    QTest::newRow("missing") << QVariant() << 0;
}

void TestProfileStore::currentIndexClampedAtLoad()
{
    QFETCH(QVariant, stored);
    QFETCH(int, expected);
    ProfileDir dir;
    const QStringList ids = {"{a}", "{b}", "{c}", "{d}"};
    for (const QString &id : ids)
        dir.writeRecord(id, userProfile(id, id));
    dir.writeIni(4, ids, stored);

    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    QCOMPARE(store.getScanShortcutCount(), 4);
    QCOMPARE(store.getCurrentScanIndex(), expected);
    tagSCAN_SHORTCUT_MENU r;
    QVERIFY(store.getCurrentScanShortcut(r));
    QCOMPARE(scanText(r.id), ids.at(expected));

    // Reading the index alone clamps the same way.
    store.setCurrentScanIndex(1);
    store.setCurrentIndexFromCfg();
    QCOMPARE(store.getCurrentScanIndex(), expected);
}

void TestProfileStore::unsafeIdsFromTheListNeverReachOtherFiles()
{
    ProfileDir dir;
    const QString outside = dir.root->filePath("evil");
    {
        QFile f(outside);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(scanShortcutToBytes(userProfile("../evil", "evil")));
    }
    const QString good = "{good}";
    const QString tooLong = "{" + QString(62, 'x') + "}";   // 64 units
    dir.writeRecord(good, userProfile(good, "good"));
    dir.writeIni(7, {"../evil", "a/b", "..", "x\\y", tooLong, good, "./../evil"});

    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    QCOMPARE(idsOf(store), QStringList{good});

    QVERIFY(store.saveScanShortcut());
    QVERIFY(QFileInfo::exists(outside));
    QCOMPARE(dir.iniItems(), QStringList{good});

    dir.writeIni(2, {"../evil", good});
    store.removeScanShortcut();
    QVERIFY(QFileInfo::exists(outside));
    QVERIFY(!QFileInfo::exists(dir.path(good)));   // the listed, safe one is deleted
}

void TestProfileStore::unsafeIdsInMemoryAreNotWritten()
{
    ProfileDir dir;
    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    store.setCurrentScanIndex(0); // as the console does after a load
    tagSCAN_SHORTCUT_MENU r;
    QVERIFY(store.getCurrentScanShortcut(r));
    setScanText(r.id, "../escaped");
    QVERIFY(store.setCurrentScanShortcut(r));

    QVERIFY(!store.saveScanShortcut());   // reported, not silently dropped
    QVERIFY(!QFileInfo::exists(dir.root->filePath("escaped")));
    QCOMPARE(dir.iniItems(), builtInIds().mid(1));
    for (const QString &id : builtInIds().mid(1))
        QCOMPARE(dir.read(id).size(), 4456);

    const QString outside = dir.root->filePath("escaped");
    {
        QFile f(outside);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep");
    }
    QVERIFY(store.removeScanShortcut("../escaped"));
    QCOMPARE(store.getScanShortcutCount(), 5);
    QVERIFY(QFileInfo::exists(outside));
}

void TestProfileStore::recordIdFollowsItsFileName()
{
    ProfileDir dir;
    dir.writeRecord("{file-name}", userProfile("{inner}", "n"));
    dir.writeRecord("{other}", userProfile("{inner}", "m"));
    dir.writeIni(2, {"{file-name}", "{other}"});

    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    QCOMPARE(idsOf(store), (QStringList{"{file-name}", "{other}"}));
    QVERIFY(store.saveScanShortcut());
    // Both profiles survive the save; neither overwrote the other.
    QCOMPARE(scanText(profileAt(store, 0).name), QStringLiteral("n"));
    ScanShortcutMenu again;
    again.loadScanShortcut(&dir.config);
    QCOMPARE(idsOf(again), (QStringList{"{file-name}", "{other}"}));
    QCOMPARE(scanText(profileAt(again, 1).name), QStringLiteral("m"));
}

void TestProfileStore::repeatedIdsLoadOnce()
{
    ProfileDir dir;
    dir.writeRecord("{a}", userProfile("{a}", "a"));
    dir.writeRecord("{b}", userProfile("{b}", "b"));
    dir.writeIni(3, {"{a}", "{b}", "{a}"});
    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    QCOMPARE(idsOf(store), (QStringList{"{a}", "{b}"}));
}

void TestProfileStore::resetWithoutDeviceKeepsDeviceBytes()
{
    ProfileDir dir;
    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    const tagSCAN_SHORTCUT_MENU original = profileAt(store, 1);
    store.setCurrentScanIndex(1);

    tagSCAN_SHORTCUT_MENU edited = original;
    edited.sideSettings[0].colorMode = ColorModeGray;
    edited.colorOutput = false;
    edited.previewQuality = PreviewQualityNormal;
    edited.paperSource = PaperSourceFlatbed;
    edited.stampCounter = 42;
    edited.frontX = 10040.0;
    edited.multifeedResponse = MultifeedContinue;
    edited.onlySaveTimeout = true;
    setScanText(edited.multifeedSoundFile, "beep.wav");
    QVERIFY(store.setCurrentScanShortcut(edited));
    QCOMPARE(edited.builtInEdited, true);   // marked in the caller's copy too
    QVERIFY(store.defaultIsChanged());

    QVERIFY(store.resetScanShortcut(false));
    const tagSCAN_SHORTCUT_MENU after = profileAt(store, 1);
    const auto *a = reinterpret_cast<const unsigned char *>(&after);
    const auto *e = reinterpret_cast<const unsigned char *>(&edited);
    const auto *o = reinterpret_cast<const unsigned char *>(&original);
    QCOMPARE(std::memcmp(a + 1928, e + 1928, 2592 - 1928), 0);
    QCOMPARE(std::memcmp(a, o, 1928), 0);
    QCOMPARE(std::memcmp(a + 2592, o + 2592, 4456 - 2592), 0);
    QCOMPARE(after.builtInEdited, false);
    QCOMPARE(int(after.sideSettings[0].colorMode), int(ColorModeColor));
    QCOMPARE(scanText(after.multifeedSoundFile), QStringLiteral("beep.wav"));
    QCOMPARE(store.getScanShortcutCount(), 6);
    QCOMPARE(store.getCurrentScanIndex(), 1);
}

void TestProfileStore::resetAllRestoresWholeRecord()
{
    ProfileDir dir;
    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    tagSCAN_SHORTCUT_MENU user = profileAt(store, 0);
    QVERIFY(store.addScanShortcut(user, "mine", QString()));
    tagSCAN_SHORTCUT_MENU userEdited = user;
    userEdited.paperSource = PaperSourceFeeder;
    userEdited.onlySaveTimeout = true;
    QVERIFY(store.setCurrentScanShortcut(userEdited));

    store.setCurrentScanIndex(0);
    tagSCAN_SHORTCUT_MENU edited = profileAt(store, 0);
    edited.paperSource = PaperSourceFlatbed;
    edited.sideSettings[2].resolution = 1200;
    edited.onlySaveTimeout = true;
    QVERIFY(store.setCurrentScanShortcut(edited));

    QVERIFY(store.resetScanShortcut(true));
    QVERIFY(!store.defaultIsChanged());
    QCOMPARE(int(profileAt(store, 0).paperSource), int(PaperSourceAutomatic300));
    // Profiles that are not built-ins are never touched by a reset.
    QVERIFY(scanShortcutEquals(profileAt(store, 6), userEdited));
}

void TestProfileStore::deletedBuiltInIsReportedAndReappended()
{
    ProfileDir dir;
    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    QVERIFY(store.saveScanShortcut());
    const QString removed = builtInIds().at(2);
    QVERIFY(store.removeScanShortcut(removed));
    QVERIFY(!QFileInfo::exists(dir.path(removed)));
    QCOMPARE(store.getScanShortcutCount(), 5);
    QVERIFY(store.defaultIsChanged());

    QVERIFY(store.resetScanShortcut(false));
    QStringList expected = builtInIds();
    expected.removeAt(2);
    expected.append(removed);
    QCOMPARE(idsOf(store), expected);
    QVERIFY(!store.defaultIsChanged());
}

void TestProfileStore::timeoutGroupSpreadsUnlessKeptPerProfile()
{
    ProfileDir dir;
    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    store.setCurrentScanIndex(3);

    tagSCAN_SHORTCUT_MENU kept = profileAt(store, 3);
    kept.onlySaveTimeout = true;
    kept.timeout = 77;
    QVERIFY(store.setCurrentScanShortcut(kept));
    QCOMPARE(profileAt(store, 0).timeout, 5);
    QCOMPARE(profileAt(store, 3).timeout, 77);

    tagSCAN_SHORTCUT_MENU shared = profileAt(store, 3);
    shared.onlySaveTimeout = false;
    shared.timeout = 30;
    shared.deviceOn = false;
    shared.autoStartScanning = false;
    shared.timeoutAction = TimeoutPauseWaitPaper;
    shared.powerSaver = 99;   // not part of the group
    QVERIFY(store.setCurrentScanShortcut(shared));
    for (int i = 0; i < store.getScanShortcutCount(); ++i) {
        const tagSCAN_SHORTCUT_MENU p = profileAt(store, i);
        QCOMPARE(p.timeout, 30);
        QCOMPARE(p.deviceOn, false);
        QCOMPARE(p.autoStartScanning, false);
        QCOMPARE(int(p.timeoutAction), int(TimeoutPauseWaitPaper));
        QCOMPARE(p.powerSaver, i == 3 ? 99 : 15);
    }
}

void TestProfileStore::failedRecordWriteKeepsPreviousFiles()
{
    ProfileDir dir;
    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    store.setCurrentScanIndex(2);
    QVERIFY(store.saveScanShortcut());
    const QByteArray iniBefore = dir.read("profile.ini");

    // Re-identify one profile (its old file becomes unreferenced once a new
    // list is in place), drop another, and add one whose file cannot be
    // written because a directory holds its name.
    store.setCurrentScanIndex(1);
    tagSCAN_SHORTCUT_MENU edited = profileAt(store, 1);
    setScanText(edited.id, "{re-identified}");
    QVERIFY(store.setCurrentScanShortcut(edited));
    tagSCAN_SHORTCUT_MENU added = profileAt(store, 0);
    QVERIFY(store.addScanShortcut(added, "new", QString()));
    const QString blocked = scanText(added.id);
    QVERIFY(QDir(dir.config.m_strProfilesDir).mkpath(blocked + "/sub"));

    QVERIFY(!store.saveScanShortcut());
    QCOMPARE(dir.read("profile.ini"), iniBefore);
    QCOMPARE(dir.read(builtInIds().at(1)).size(), 4456);
    QVERIFY(QFileInfo(dir.path(blocked)).isDir());
    const QStringList leftovers = QDir(dir.config.m_strProfilesDir)
                                      .entryList(QStringList{".*"}, QDir::Files | QDir::Hidden);
    QVERIFY2(leftovers.isEmpty(), qPrintable(leftovers.join(' ')));

    ScanShortcutMenu again;
    again.loadScanShortcut(&dir.config);
    QCOMPARE(idsOf(again), builtInIds());
    QCOMPARE(again.getCurrentScanIndex(), 2);

    // Once the obstacle is gone the same store saves everything.
    QVERIFY(QDir(dir.path(blocked)).removeRecursively());
    QVERIFY(store.saveScanShortcut());
    QVERIFY(!QFileInfo::exists(dir.path(builtInIds().at(1))));
    again.loadScanShortcut(&dir.config);
    QCOMPARE(idsOf(again), idsOf(store));
}

void TestProfileStore::readOnlyDirectoryKeepsPreviousState()
{
    if (::geteuid() == 0)
        QSKIP("file permissions do not bind the superuser");
    ProfileDir dir;
    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    QVERIFY(store.saveScanShortcut());
    QMap<QString, QByteArray> before;
    for (const QString &id : builtInIds())
        before.insert(id, dir.read(id));
    const QByteArray iniBefore = dir.read("profile.ini");

    // A new profile, an edited one and a re-identified one, whose old file the
    // save would delete once the new list is in place.
    tagSCAN_SHORTCUT_MENU added = profileAt(store, 0);
    QVERIFY(store.addScanShortcut(added, "new", QString()));
    store.setCurrentScanIndex(1);
    tagSCAN_SHORTCUT_MENU edited = profileAt(store, 1);
    edited.sideSettings[0].resolution = 75;
    setScanText(edited.id, "{re-identified}");
    QVERIFY(store.setCurrentScanShortcut(edited));

    QFile::setPermissions(dir.config.m_strProfilesDir,
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool saved = store.saveScanShortcut();
    QFile::setPermissions(dir.config.m_strProfilesDir, QFileDevice::ReadOwner
                              | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!saved);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        QCOMPARE(dir.read(it.key()), it.value());
    QCOMPARE(dir.read("profile.ini"), iniBefore);
    QVERIFY(!QFileInfo::exists(dir.path(scanText(added.id))));

    ScanShortcutMenu again;
    again.loadScanShortcut(&dir.config);
    QCOMPARE(idsOf(again), builtInIds());
}

void TestProfileStore::currentIndexStaysInsideTheList()
{
    ProfileDir dir;
    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    store.setCurrentScanIndex(100);
    QCOMPARE(store.getCurrentScanIndex(), 5);
    store.setCurrentScanIndex(-4);
    QCOMPARE(store.getCurrentScanIndex(), 0);
    QVERIFY(store.setCurrentScanIndex(builtInIds().at(3)));
    QCOMPARE(store.getCurrentScanIndex(), 3);
    QVERIFY(!store.setCurrentScanIndex(QStringLiteral("{nope}")));
    QCOMPARE(store.getCurrentScanIndex(), 3);

    store.setCurrentScanIndex(5);
    QVERIFY(store.removeScanShortcut(builtInIds().at(5)));
    QCOMPARE(store.getCurrentScanIndex(), 4);
    QVERIFY(store.removeScanShortcut(QStringLiteral("{nope}")));
    QCOMPARE(store.getScanShortcutCount(), 5);

    for (const QString &id : builtInIds())
        store.removeScanShortcut(id);
    QCOMPARE(store.getScanShortcutCount(), 0);
    QCOMPARE(store.getCurrentScanIndex(), -1);
    tagSCAN_SHORTCUT_MENU r = userProfile("{x}", "x");
    const tagSCAN_SHORTCUT_MENU before = r;
    QVERIFY(!store.getCurrentScanShortcut(r));
    QVERIFY(!store.getScanShortcutItem(0, r));
    QVERIFY(!store.getScanShortcutItem(-1, r));
    QVERIFY(!store.findScanShortcut(r, "{x}"));
    QVERIFY(scanShortcutEquals(r, before));
    QVERIFY(!store.setCurrentScanShortcut(r));   // no slot to store into
    QVERIFY(!store.updateScanShortcut(r, "n", QString()));
    QCOMPARE(store.getScanShortcutCount(), 0);
}

void TestProfileStore::addGivesFreshBracedIds()
{
    ProfileDir dir;
    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    tagSCAN_SHORTCUT_MENU a = profileAt(store, 2);
    tagSCAN_SHORTCUT_MENU b = profileAt(store, 2);
    QVERIFY(store.addScanShortcut(a, "A", "a.png"));
    QVERIFY(store.addScanShortcut(b, "B", QString()));
    const QRegularExpression uuid(
        "^\\{[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}\\}$");
    QVERIFY(uuid.match(scanText(a.id)).hasMatch());
    QVERIFY(scanText(a.id) != scanText(b.id));
    QCOMPARE(scanText(b.iconFile), QStringLiteral("bk.png"));   // kept when no icon given
    QCOMPARE(store.getCurrentScanIndex(), 7);
    tagSCAN_SHORTCUT_MENU found;
    QVERIFY(store.findScanShortcut(found, scanText(a.id)));
    QCOMPARE(scanText(found.name), QStringLiteral("A"));
    QCOMPARE(scanText(found.iconFile), QStringLiteral("a.png"));
}

void TestProfileStore::listWidgetItems()
{
    ProfileDir dir;
    QImage icon(4, 4, QImage::Format_RGB32);
    icon.fill(Qt::red);
    QVERIFY(icon.save(dir.config.m_strProfileIconsDir + "/bk.png"));

    ScanShortcutMenu store;
    store.loadScanShortcut(&dir.config);
    QListWidget list;
    QVERIFY(store.loadScanShortcutToControl(&list));
    QCOMPARE(list.count(), 6);
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(list.item(i)->data(Qt::UserRole).toString(), builtInIds().at(i));
        QCOMPARE(list.item(i)->text(), scanText(profileAt(store, i).name));
    }
    QVERIFY(!list.item(2)->icon().isNull());
    QVERIFY(list.item(0)->icon().isNull());   // default.png is nowhere

    tagSCAN_SHORTCUT_MENU added = profileAt(store, 0);
    QVERIFY(store.addScanShortcut(added, "added", QString()));
    QVERIFY(store.addScanShortcutToControl(&list));
    QVERIFY(store.addScanShortcutToControl(&list));   // nothing new the second time
    QCOMPARE(list.count(), 7);
    QCOMPARE(list.item(6)->text(), QStringLiteral("added"));

    list.setCurrentRow(6);
    QVERIFY(store.updateScanShortcut(added, "renamed", "bk.png"));
    QVERIFY(store.updateScanShortcutToControl(&list, scanText(added.id)));
    QCOMPARE(list.currentRow(), 6);
    QCOMPARE(list.item(6)->text(), QStringLiteral("renamed"));
    QVERIFY(!list.item(6)->icon().isNull());

    QListWidget none;
    QVERIFY(store.updateScanShortcutToControl(&none, scanText(added.id)));   // no current item
    QVERIFY(!store.loadScanShortcutToControl(nullptr));
}

QTEST_MAIN(TestProfileStore)
#include "tst_profilestore.moc"

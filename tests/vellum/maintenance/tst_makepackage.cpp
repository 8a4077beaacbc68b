// The settings package: export and import round trip, an independent reader
// and writer (Python's standard library), and hostile packages that must
// change nothing.
#include "deviceform.h"
#include "makepackage.h"
#include "packagehome.h"
#include "pmessage.h"
#include "support/processes.h"
#include "vellumglobal.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QListWidget>
#include <QtEndian>
#include <QtTest>

#include <iterator>
#include <utility>

namespace {

QString python()
{
    return QFileInfo::exists("/usr/bin/python3") ? QString("/usr/bin/python3") : QString("python3");
}

QString runScript(const QStringList &args, const QByteArray &input = QByteArray(),
                  int *exitCode = nullptr)
{
    const testsupport::ToolRun r =
        testsupport::runTool(python(), QStringList{QStringLiteral(PACKAGE_SCRIPT)} + args, 30000, input);
    if (exitCode)
        *exitCode = r.code;
    return QString::fromUtf8(r.out);
}

QString md5(const QByteArray &b)
{
    return QCryptographicHash::hash(b, QCryptographicHash::Md5).toHex();
}

QByteArray bytesOf(int n, int seed)
{
    QByteArray b(n, 0);
    for (int i = 0; i < n; ++i)
        b[i] = char((i * 131 + seed * 7 + i / 7) & 0xFF);
    return b;
}

// A package with its checksum made right again after a change.
QByteArray resealed(QByteArray package)
{
    const quint16 crc = MakePackage::packageChecksum(package.mid(8));
    package[6] = char(crc & 0xFF);
    package[7] = char(crc >> 8);
    return package;
}

QByteArray withHeaderLength(QByteArray package, quint32 length)
{
    qToBigEndian<quint32>(length, package.data() + 8);
    return resealed(package);
}

QJsonObject profileObject(const QString &name, const QByteArray &config, const QString &icon,
                          const QByteArray &iconBytes)
{
    const auto b64 = [](const QByteArray &b) {
        return QString::fromLatin1(
            b.toBase64(QByteArray::Base64UrlEncoding | QByteArray::KeepTrailingEquals));
    };
    return QJsonObject{{"ConfigName", name},
                       {"Config", b64(config)},
                       {"IconName", icon},
                       {"Icon", b64(iconBytes)}};
}

QJsonObject document(const QJsonArray &profiles, const QJsonArray &stamps = QJsonArray())
{
    return QJsonObject{{"Profiles", profiles}, {"StampFiles", stamps}};
}

const char kIdA[] = "{0a1b2c3d-0000-4000-8000-00000000000a}";
const char kIdB[] = "{0a1b2c3d-0000-4000-8000-00000000000b}";
const char kIdC[] = "{0a1b2c3d-0000-4000-8000-00000000000c}";

// The good package of the hostile table, and the helpers that spoil it.
struct Hostile
{
    const QByteArray config = bytesOf(4456, 5);
    const QJsonObject goodProfile = profileObject(kIdA, config, "a.png", "icon");
    const QJsonObject goodStamp{{"IconName", "s.png"}, {"Icon", "c3RhbXA="}};
    const QByteArray good =
        MakePackage::composePackage(document(QJsonArray{goodProfile}, QJsonArray{goodStamp}));

    static QByteArray withProfile(const QJsonObject &p)
    {
        return MakePackage::composePackage(document(QJsonArray{p}));
    }
    QByteArray named(const QString &configName) const
    {
        return withProfile(profileObject(configName, config, "", ""));
    }
    QByteArray icon(const QString &iconName) const
    {
        return withProfile(profileObject(kIdA, config, iconName, "i"));
    }
    static QByteArray withStampName(const QString &name)
    {
        return MakePackage::composePackage(document(
            QJsonArray{}, QJsonArray{QJsonObject{{"IconName", name}, {"Icon", "c3RhbXA="}}}));
    }
    static QByteArray withJson(const QByteArray &json)
    {
        return resealed(MakePackage::composePackage(QJsonObject()).left(6) + QByteArray(2, 0) +
                        qCompress(json, -1));
    }
    QByteArray withField(const char *key, const QJsonValue &v) const
    {
        QJsonObject p = goodProfile;
        p.insert(key, v);
        return withProfile(p);
    }
    quint32 declared() const { return qFromBigEndian<quint32>(good.constData() + 8); }
};

// Config bytes whose standard Base64 holds the character the URL alphabet
// writes otherwise.
QByteArray standardBase64(const Hostile &h, char first, QChar expected)
{
    QByteArray b = h.config;
    b[0] = first;
    b[1] = char(0xEF);
    b[2] = char(0xBE);
    const QString text = QString::fromLatin1(b.toBase64());
    [&] { QVERIFY(text.contains(expected)); }();
    return h.withField("Config", text);
}

// A maker may check what it built; the test stops when that check failed.
using HostileMaker = QByteArray (*)(const Hostile &);
const std::pair<const char *, HostileMaker> kHostile[] = {
    {"empty file", [](const Hostile &) { return QByteArray(); }},
    {"5 bytes", [](const Hostile &) { return QByteArray("CORVA"); }},
    {"11 bytes", [](const Hostile &h) { return h.good.left(11); }},
    {"lower-case magic", [](const Hostile &h) { return "corvan" + h.good.mid(6); }},
    {"wrong checksum",
     [](const Hostile &h) {
         QByteArray package = h.good;
         package[6] = char(package[6] ^ 0x5A);
         return package;
     }},
    {"declared length over the cap",
     [](const Hostile &h) { return withHeaderLength(h.good, settingspackage::kMaxJsonSize + 1); }},
    {"declared length one short",
     [](const Hostile &h) { return withHeaderLength(h.good, h.declared() - 1); }},
    {"declared length one long",
     [](const Hostile &h) { return withHeaderLength(h.good, h.declared() + 1); }},
    {"zlib bomb",
     [](const Hostile &h) {
         // 40 MB of blanks in a stream of a few kilobytes, claiming 100 bytes.
         const QByteArray bomb = qCompress(QByteArray(40 * 1024 * 1024, ' '), 9);
         [&] { QVERIFY(bomb.size() < 100 * 1024); }();
         return withHeaderLength(h.good.left(8) + bomb, 100);
     }},
    {"truncated stream",
     [](const Hostile &h) { return resealed(h.good.left(h.good.size() - 10)); }},
    {"trailing bytes", [](const Hostile &h) { return resealed(h.good + "tail"); }},
    {"not JSON", [](const Hostile &) { return Hostile::withJson("{\"Profiles\":["); }},
    {"JSON array", [](const Hostile &) { return Hostile::withJson("[]"); }},
    {"no StampFiles", [](const Hostile &) { return Hostile::withJson("{\"Profiles\":[]}"); }},
    {"Profiles not an array",
     [](const Hostile &) { return Hostile::withJson("{\"Profiles\":{},\"StampFiles\":[]}"); }},
    {"profile not an object",
     [](const Hostile &) { return Hostile::withJson("{\"Profiles\":[1],\"StampFiles\":[]}"); }},
    {"Config a number", [](const Hostile &h) { return h.withField("Config", 4456); }},
    {"Config 4455 bytes",
     [](const Hostile &h) {
         return Hostile::withProfile(profileObject(kIdA, h.config.left(4455), "a.png", "i"));
     }},
    {"standard alphabet plus", [](const Hostile &h) { return standardBase64(h, char(0xFB), '+'); }},
    {"standard alphabet slash",
     [](const Hostile &h) { return standardBase64(h, char(0xFF), '/'); }},
    {"Base64 without padding", [](const Hostile &h) { return h.withField("Icon", "aWNvbg"); }},
    {"Base64 with a space", [](const Hostile &h) { return h.withField("Icon", "aWNv bg=="); }},
    {"traversal ConfigName",
     [](const Hostile &h) { return h.named("../../.config/autostart/x.desktop"); }},
    {"ConfigName with backslash", [](const Hostile &h) { return h.named("..\\x"); }},
    {"ConfigName profile.ini", [](const Hostile &h) { return h.named("profile.ini"); }},
    {"ConfigName Profile.INI", [](const Hostile &h) { return h.named("Profile.INI"); }},
    {"ConfigName icons", [](const Hostile &h) { return h.named("icons"); }},
    {"ConfigName dot-dot", [](const Hostile &h) { return h.named(".."); }},
    {"icon name traversal", [](const Hostile &h) { return h.icon("../../x.png"); }},
    {"icon name with NUL", [](const Hostile &h) { return h.icon(QString("a") + QChar(0) + "b"); }},
    {"icon name with newline", [](const Hostile &h) { return h.icon("a\nb.png"); }},
    {"icon name 256 bytes", [](const Hostile &h) { return h.icon(QString(252, 'x') + ".png"); }},
    {"stamp name slash", [](const Hostile &) { return Hostile::withStampName("../s.png"); }},
    {"stamp name dot", [](const Hostile &) { return Hostile::withStampName("."); }},
    {"stamp name empty", [](const Hostile &) { return Hostile::withStampName(""); }},
    {"one bad name among good ones",
     [](const Hostile &h) {
         return MakePackage::composePackage(document(
             QJsonArray{h.goodProfile, profileObject(kIdB, h.config, "ok.png", "i")},
             QJsonArray{h.goodStamp, QJsonObject{{"IconName", "x/../../y"}, {"Icon", ""}}}));
     }},
    {"ConfigName a settings lock file",
     [](const Hostile &h) { return h.named("stampconfig.ini.lock"); }},
};

} // namespace

class TestMakePackage : public QObject
{
    Q_OBJECT

    // A source configuration: three profiles (icon in the user's folder, icon
    // in the application's twain folder, no icon), a graphic of the device
    // page's library and one listed only by an earlier import.
    void fillSource(PackageHome &h)
    {
        h.addRecord(0, "甲 profile", kIdA, "alpha.png");
        h.addRecord(1, "beta", kIdB, "beta.png");
        h.addRecord(2, "gamma", kIdC, "");
        h.writeProfileList({kIdA, kIdB, kIdC});
        PackageHome::writeFile(h.config.m_strProfileIconsDir + "/alpha.png", bytesOf(700, 1));
        PackageHome::writeFile(h.config.m_strTwainDir + "/beta.png", bytesOf(301, 2));
        PackageHome::writeFile(h.config.m_strStampDir + "/logo-印.png", bytesOf(999, 3));
        PackageHome::writeFile(h.config.m_strStampDir + "/old.png", bytesOf(64, 4));
        QSettings ini(h.config.m_strStampConfigIni, QSettings::IniFormat);
        ini.setValue("Graphics/count", 1);
        ini.setValue("Graphics/name1", h.config.m_strStampDir + "/logo-印.png");
        ini.setValue("StampCfg/Count", 2);
        ini.setValue("StampCfg/Item0", "old.png");
        ini.setValue("StampCfg/Item1", "logo-印.png");
    }

private slots:
    void checksumIsX25()
    {
        QCOMPARE(MakePackage::packageChecksum("123456789"), quint16(0x906E));
        QCOMPARE(runScript({"crc", "123456789"}).trimmed(), QStringLiteral("0x906e"));
    }

    void exportAndImportRoundTrip()
    {
        PackageHome source;
        fillSource(source);
        const QString package = source.dir.path() + "/all.wqv";
        MakePackage packer;
        QCOMPARE(packer.exportPackage(&source.config, package), 0);

        // The independent reader sees every file, in list order.
        int exitCode = -1;
        const QStringList lines =
            runScript({"read", package}, {}, &exitCode).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(exitCode, 0);
        const auto rec = [&](const char *id) {
            return md5(PackageHome::readFile(source.config.m_strProfilesDir + "/" + id));
        };
        QCOMPARE(
            lines,
            (QStringList{QString("P %1 %2 alpha.png %3").arg(kIdA, rec(kIdA), md5(bytesOf(700, 1))),
                         QString("P %1 %2 beta.png %3").arg(kIdB, rec(kIdB), md5(bytesOf(301, 2))),
                         QString("P %1 %2 - %3").arg(kIdC, rec(kIdC), md5(QByteArray())),
                         QString("S logo-印.png %1").arg(md5(bytesOf(999, 3))),
                         QString("S old.png %1").arg(md5(bytesOf(64, 4)))}));

        PackageHome target;
        QCOMPARE(packer.importPackage(&target.config, package), 0);
        for (const char *id : {kIdA, kIdB, kIdC})
            QCOMPARE(PackageHome::readFile(target.config.m_strProfilesDir + "/" + id),
                     PackageHome::readFile(source.config.m_strProfilesDir + "/" + id));
        QCOMPARE(PackageHome::readFile(target.config.m_strProfileIconsDir + "/alpha.png"),
                 bytesOf(700, 1));
        QCOMPARE(PackageHome::readFile(target.config.m_strProfileIconsDir + "/beta.png"),
                 bytesOf(301, 2));
        QCOMPARE(PackageHome::readFile(target.config.m_strStampDir + "/logo-印.png"),
                 bytesOf(999, 3));
        QCOMPARE(PackageHome::readFile(target.config.m_strStampDir + "/old.png"), bytesOf(64, 4));
        QCOMPARE(target.profileList(), (QStringList{kIdA, kIdB, kIdC}));
        QCOMPARE(target.stampList(), (QStringList{"logo-印.png", "old.png"}));
        QCOMPARE(target.graphicsList(), (QStringList{target.config.m_strStampDir + "/logo-印.png",
                                                     target.config.m_strStampDir + "/old.png"}));

        // The profile store reads the imported list.
        ScanShortcutMenu store;
        store.loadScanShortcut(&target.config);
        QCOMPARE(store.getScanShortcutCount(), 3);
        tagSCAN_SHORTCUT_MENU first;
        QVERIFY(store.getScanShortcutItem(0, first));
        QCOMPARE(scanText(first.name), QStringLiteral("甲 profile"));

        // A second import gives the same list; records are rewritten, icons
        // and graphics the user may have changed since are not.
        PackageHome::writeFile(target.config.m_strProfileIconsDir + "/alpha.png", "mine");
        PackageHome::writeFile(target.config.m_strProfilesDir + "/" + kIdA, "stale");
        QCOMPARE(packer.importPackage(&target.config, package), 0);
        QCOMPARE(target.profileList(), (QStringList{kIdA, kIdB, kIdC}));
        QCOMPARE(PackageHome::readFile(target.config.m_strProfileIconsDir + "/alpha.png"),
                 QByteArray("mine"));
        QCOMPARE(PackageHome::readFile(target.config.m_strProfilesDir + "/" + kIdA),
                 PackageHome::readFile(source.config.m_strProfilesDir + "/" + kIdA));
        QCOMPARE(target.graphicsList().size(), 2);

        // An icon the application ships under that name is never shadowed.
        PackageHome shipped;
        PackageHome::writeFile(shipped.config.m_strTwainDir + "/alpha.png", "shipped");
        QCOMPARE(packer.importPackage(&shipped.config, package), 0);
        QVERIFY(!QFileInfo::exists(shipped.config.m_strProfileIconsDir + "/alpha.png"));
    }

    void packageOfTheIndependentWriterImports()
    {
        PackageHome source;
        fillSource(source);
        const QString package = source.dir.path() + "/python.wqv";
        const QString recA = source.config.m_strProfilesDir + "/" + kIdA;
        const QString recC = source.config.m_strProfilesDir + "/" + kIdC;
        const QJsonObject manifest{
            {"Profiles", QJsonArray{QJsonObject{{"ConfigName", kIdC},
                                                {"ConfigFile", recC},
                                                {"IconName", ""},
                                                {"IconFile", ""}},
                                    QJsonObject{{"ConfigName", kIdA},
                                                {"ConfigFile", recA},
                                                {"IconName", "alpha.png"},
                                                {"IconFile", source.config.m_strProfileIconsDir +
                                                                 "/alpha.png"}}}},
            {"StampFiles",
             QJsonArray{QJsonObject{{"IconName", "old.png"},
                                    {"IconFile", source.config.m_strStampDir + "/old.png"}}}}};
        int exitCode = -1;
        runScript({"write", package}, QJsonDocument(manifest).toJson(), &exitCode);
        QCOMPARE(exitCode, 0);

        PackageHome target;
        MakePackage packer;
        QCOMPARE(packer.importPackage(&target.config, package), 0);
        QCOMPARE(target.profileList(), (QStringList{kIdC, kIdA}));
        QCOMPARE(PackageHome::readFile(target.config.m_strProfilesDir + "/" + kIdA),
                 PackageHome::readFile(recA));
        QCOMPARE(PackageHome::readFile(target.config.m_strProfileIconsDir + "/alpha.png"),
                 bytesOf(700, 1));
        QCOMPARE(target.stampList(), QStringList{"old.png"});
    }

    // The device page keeps its graphics library in memory: the console has
    // it write the list before a package reads it and read the list again
    // after an import added to it, which the page would otherwise overwrite
    // with its old list when it closes.
    void deviceLibraryAroundThePackage()
    {
        PackageHome source;
        g_VellumCfgFile.loadConfigFile(source.dir.path() + "/app");
        source.writeProfileList({});
        const QString picture = source.dir.path() + "/mark.png";
        QImage mark(40, 30, QImage::Format_RGB32);
        mark.fill(Qt::darkGreen);
        QVERIFY(mark.save(picture));
        const QString package = source.dir.path() + "/graphics.wqv";
        MakePackage packer;
        {
            PMessage hub;
            DeviceForm page(&hub);
            QVERIFY(page.stampGraphic().addStampGraphic(picture));
            page.saveStampGraphicList();
            QCOMPARE(packer.exportPackage(&source.config, package), 0);
        }
        MakePackage::Contents contents;
        QCOMPARE(MakePackage::parsePackage(PackageHome::readFile(package), contents), 0);
        QCOMPARE(contents.stamps.size(), 1);
        QCOMPARE(contents.stamps.at(0).name, QStringLiteral("mark.png"));

        PackageHome target;
        g_VellumCfgFile.loadConfigFile(target.dir.path() + "/app");
        const QString imported = target.config.m_strStampDir + "/mark.png";
        {
            PMessage hub;
            DeviceForm page(&hub);
            page.saveStampGraphicList();
            QCOMPARE(packer.importPackage(&target.config, package), 0);
            page.reloadStampGraphicList();
            auto *list = page.findChild<QListWidget *>("listWidgetDeviceStampGraphicFileName");
            QVERIFY(list);
            QCOMPARE(list->count(), 1);
            QCOMPARE(list->item(0)->data(Qt::UserRole).toString(), QStringLiteral("mark.png"));
        }
        QCOMPARE(target.graphicsList(), QStringList{imported});
    }

    void exportRules()
    {
        PackageHome h;
        MakePackage packer;
        const QString package = h.dir.path() + "/out.wqv";
        // No profile list: nothing to export, no file.
        QCOMPARE(packer.exportPackage(&h.config, package), -52);
        QVERIFY(!QFileInfo::exists(package));

        // An empty list and no stamp list: two empty arrays, which import.
        h.writeProfileList({});
        QCOMPARE(packer.exportPackage(&h.config, package), 0);
        MakePackage::Contents contents;
        QCOMPARE(MakePackage::parsePackage(PackageHome::readFile(package), contents), 0);
        QVERIFY(contents.profiles.isEmpty() && contents.stamps.isEmpty());
        QCOMPARE(runScript({"read", package}), QString());

        // Unsafe names in the user's own files are never sent; a record of
        // the wrong size and a missing icon are skipped or sent empty.
        h.addRecord(0, "ok", kIdA, "../../secret.png");
        h.addRecord(1, "missing icon", kIdB, "nowhere.png");
        PackageHome::writeFile(h.config.m_strProfilesDir + "/short", QByteArray(4455, 'x'));
        PackageHome::writeFile(h.dir.path() + "/cfg/outside", bytesOf(4456, 9));
        h.writeProfileList({kIdA, "../outside", "short", "profile.ini", "", kIdB});
        QCOMPARE(packer.exportPackage(&h.config, package), 0);
        QCOMPARE(MakePackage::parsePackage(PackageHome::readFile(package), contents), 0);
        QCOMPARE(contents.profiles.size(), 2);
        QCOMPARE(contents.profiles.at(0).configName, QString(kIdA));
        QCOMPARE(contents.profiles.at(0).iconName, QString());
        QCOMPARE(contents.profiles.at(1).iconName, QStringLiteral("nowhere.png"));
        QVERIFY(contents.profiles.at(1).icon.isEmpty());

        // A folder that cannot take the file: -50, an earlier package stays.
        QCOMPARE(packer.exportPackage(&h.config, h.dir.path() + "/no/such/folder/x.wqv"), -50);
        const QByteArray before = PackageHome::readFile(package);
        QDir().mkpath(h.dir.path() + "/taken.wqv");
        QCOMPARE(packer.exportPackage(&h.config, h.dir.path() + "/taken.wqv"), -50);
        QCOMPARE(PackageHome::readFile(package), before);
    }

    void failedWriteStopsBeforeTheProfileList()
    {
        PackageHome source;
        fillSource(source);
        const QString package = source.dir.path() + "/all.wqv";
        MakePackage packer;
        QCOMPARE(packer.exportPackage(&source.config, package), 0);

        PackageHome target;
        target.addRecord(3, "kept", kIdC, "");
        target.writeProfileList({kIdC});
        const QByteArray listBefore = PackageHome::readFile(target.config.m_strProfileIni);
        // A folder where the second record would go: it cannot be written.
        QDir().mkpath(target.config.m_strProfilesDir + "/" + kIdB);
        QCOMPARE(packer.importPackage(&target.config, package), -50);
        QCOMPARE(PackageHome::readFile(target.config.m_strProfileIni), listBefore);
        QCOMPARE(target.profileList(), QStringList{kIdC});
    }

    void hostilePackagesChangeNothing_data()
    {
        QTest::addColumn<int>("kind");
        for (int i = 0; i < int(std::size(kHostile)); ++i)
            QTest::newRow(kHostile[i].first) << i;
    }
    void hostilePackagesChangeNothing()
    {
        QFETCH(int, kind);
        const QByteArray package = kHostile[kind].second(Hostile());
        if (QTest::currentTestFailed())
            return;
        MakePackage::Contents contents;
        QCOMPARE(MakePackage::parsePackage(package, contents), -52);

        PackageHome target;
        target.addRecord(0, "existing", kIdC, "");
        target.writeProfileList({kIdC});
        PackageHome::writeFile(target.dir.path() + "/hostile.wqv", package);
        const auto before = target.fingerprint();
        MakePackage packer;
        QCOMPARE(packer.importPackage(&target.config, target.dir.path() + "/hostile.wqv"), -52);
        QCOMPARE(target.fingerprint(), before);
    }

    void goodPackageOfTheHostileTableImports()
    {
        // The table's base package is itself fine: the refusals above are the
        // changes, not the base.
        const Hostile h;
        PackageHome target;
        PackageHome::writeFile(target.dir.path() + "/good.wqv", h.good);
        MakePackage packer;
        QCOMPARE(packer.importPackage(&target.config, target.dir.path() + "/good.wqv"), 0);
        QCOMPARE(PackageHome::readFile(target.config.m_strProfilesDir + "/" + kIdA), h.config);
        QCOMPARE(PackageHome::readFile(target.config.m_strStampDir + "/s.png"),
                 QByteArray("stamp"));
        QVERIFY(!QFileInfo::exists(target.dir.path() + "/missing.wqv"));
        QCOMPARE(packer.importPackage(&target.config, target.dir.path() + "/missing.wqv"), -52);
    }
};

QTEST_MAIN(TestMakePackage)
#include "tst_makepackage.moc"

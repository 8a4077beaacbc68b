#include "configfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestConfigFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    QString m_app;
    QString m_config;

    void writeSupport(const QByteArray &content)
    {
        QFile f(m_app + "/support.ini");
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }

private slots:
    void init()
    {
        QVERIFY(m_root.isValid());
        m_app = m_root.path() + "/app";
        m_config = m_root.path() + "/cfg";
        QDir(m_root.path()).removeRecursively();
        QDir().mkpath(m_app);
        qputenv("XDG_CONFIG_HOME", m_config.toUtf8());
    }

    void emptySupportIniGivesDefaultsAndCreatesTree()
    {
        writeSupport("");
        ConfigFile cfg;
        QVERIFY(cfg.loadConfigFile(m_app));
        QCOMPARE(cfg.m_nEnableLogFile, 0);
        QCOMPARE(cfg.m_nRemoveImage, 1);
        QCOMPARE(cfg.m_nSupportAllModel, 0);
        const QString base = m_config + "/Corvan/VR516";
        QCOMPARE(cfg.m_strProfilesDir, base + "/Profiles");
        QCOMPARE(cfg.m_strProfileIni, base + "/Profiles/profile.ini");
        QCOMPARE(cfg.m_strScanLogFile, base + "/Profiles/scanlog.txt");
        QCOMPARE(cfg.m_strOptionIni, base + "/Settings/option.ini");
        for (const QString &dir : {base + "/Settings", base + "/Settings/icons", base + "/Profiles",
                                   base + "/Profiles/icons", base + "/Profiles/stamp",
                                   base + "/Profiles/sound", base + "/Temp"})
            QVERIFY2(QFileInfo(dir).isDir(), qPrintable(dir));
        QCOMPARE(cfg.m_strPdfFile, base + "/Temp/IMGPDF.pdf");
        QCOMPARE(cfg.m_strTiffFile, base + "/Temp/IMGTIFF.tif");
        QCOMPARE(cfg.m_strRawFile, base + "/Temp/IMGRAW");
        QCOMPARE(cfg.m_strRawJpegFile, base + "/Temp/IMGRAWJPEG");
        QCOMPARE(cfg.m_strPreviewBitmap, base + "/Temp/{A5B02970-40CD-4b43-8427-F82F6FC20A99}.bmp");
        QCOMPARE(cfg.m_strHelpFile, m_app + "/help/Deskscope_ZH_CN.pdf");
        // Shipped directories are never created.
        for (const char *shipped : {"icons", "twain", "stamp", "sound", "help"})
            QVERIFY(!QFileInfo::exists(m_app + "/" + shipped));
    }

    void switchesAndNames_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("removeImage");
        QTest::addColumn<int>("enableLog");
        QTest::addColumn<QString>("bmpName");
        QTest::newRow("absent") << QByteArray("[Debug]\nEnableLogFile=1\n") << 1 << 1 << "IMGBMP.bmp";
        QTest::newRow("zero") << QByteArray("[Debug]\nRemoveImage=0\n") << 0 << 0 << "IMGBMP.bmp";
        QTest::newRow("not a number") << QByteArray("[Debug]\nRemoveImage=yes\nEnableLogFile=x1\n")
                                      << 0 << 0 << "IMGBMP.bmp";
        QTest::newRow("custom names") << QByteArray("[PATH_CONFIG]\nBMPFileName=page\n") << 1 << 0
                                      << "page.bmp";
    }

    void switchesAndNames()
    {
        QFETCH(QByteArray, ini);
        writeSupport(ini);
        ConfigFile cfg;
        QVERIFY(cfg.loadConfigFile(m_app));
        QTEST(cfg.m_nRemoveImage, "removeImage");
        QTEST(cfg.m_nEnableLogFile, "enableLog");
        QFETCH(QString, bmpName);
        QCOMPARE(QFileInfo(cfg.m_strBmpFile).fileName(), bmpName);
    }

    void missingSupportIniStillGivesUsablePaths()
    {
        ConfigFile cfg;
        QTest::ignoreMessage(QtDebugMsg, "Cannot find configuration file support.ini");
        QVERIFY(!cfg.loadConfigFile(m_app));
        QCOMPARE(cfg.m_nRemoveImage, 1);
        QCOMPARE(cfg.m_nEnableLogFile, 0);
        // Never the filesystem root: paths are derived and created from defaults.
        QVERIFY(!cfg.m_strTempDir.isEmpty());
        QVERIFY(QFileInfo(cfg.m_strTempDir).isDir());
        QVERIFY(QFileInfo(cfg.m_strProfilesDir).isDir());
        QCOMPARE(cfg.m_strJpegFile, m_config + "/Corvan/VR516/Temp/IMGJPEG.jpg");
    }

    void supportIniAsDirectoryCountsAsMissing()
    {
        QVERIFY(QDir().mkpath(m_app + "/support.ini"));
        ConfigFile cfg;
        QTest::ignoreMessage(QtDebugMsg, "Cannot find configuration file support.ini");
        QVERIFY(!cfg.loadConfigFile(m_app));
    }

    void backslashesBecomeSlashesExceptInTemp()
    {
        const QString odd = m_root.path() + "/a\\b";
        qputenv("XDG_CONFIG_HOME", odd.toUtf8());
        writeSupport("");
        ConfigFile cfg;
        QVERIFY(cfg.loadConfigFile(m_app));
        QCOMPARE(cfg.m_strSettingsDir, m_root.path() + "/a/b/Corvan/VR516/Settings");
        QCOMPARE(cfg.m_strProfilesDir, m_root.path() + "/a/b/Corvan/VR516/Profiles");
        QCOMPARE(cfg.m_strTempDir, odd + "/Corvan/VR516/Temp");
    }

    void existingDirectoriesAreKept()
    {
        writeSupport("");
        ConfigFile first;
        QVERIFY(first.loadConfigFile(m_app));
        QFile marker(first.m_strStampDir + "/keep.png");
        QVERIFY(marker.open(QIODevice::WriteOnly));
        marker.close();
        ConfigFile second;
        QVERIFY(second.loadConfigFile(m_app));
        QVERIFY(QFileInfo::exists(second.m_strStampDir + "/keep.png"));
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"

#include "commonfunc.h"
#include "filehelper.h"

#include "support/fulldisk.h"

#include <QTemporaryDir>
#include <QtTest>

class TestCommonFunc : public QObject
{
    Q_OBJECT
private slots:
    void doubleRound_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("n");
        QTest::addColumn<bool>("half");
        QTest::addColumn<double>("expected");
        QTest::newRow("half up") << 2.345 << 2 << true << 2.35;
        QTest::newRow("truncate") << 2.345 << 2 << false << 2.34;
        QTest::newRow("negative half") << -1.25 << 1 << true << -1.3;
        QTest::newRow("epsilon") << 7.99999 << 0 << false << 8.0;
        QTest::newRow("2.5") << 2.5 << 0 << true << 3.0;
        QTest::newRow("-2.5") << -2.5 << 0 << true << -3.0;
        QTest::newRow("inch to 1/1200") << 8.26 << 2 << true << 8.26;
    }
    void doubleRound()
    {
        QFETCH(double, x);
        QFETCH(int, n);
        QFETCH(bool, half);
        QFETCH(double, expected);
        QCOMPARE(CommonFunc::DoubleRound(x, n, half), expected);
    }

    void hexCodecs()
    {
        QString out = "stale";
        QString in;
        QVERIFY(CommonFunc::StringToHex(in, out));
        QCOMPARE(out, QString());
        in = "4g";
        out = "stale";
        QVERIFY(!CommonFunc::StringToHex(in, out));
        QCOMPARE(out, QString());
        in = "41";
        QVERIFY(CommonFunc::StringToHex(in, out));
        QCOMPARE(out, QString("A"));
        in = "410042";
        QVERIFY(CommonFunc::StringToHex(in, out));
        QCOMPARE(out, QString("A"));

        QByteArray bytes("keep");
        in = "zz";
        QVERIFY(!CommonFunc::StringToHex(in, bytes));
        QCOMPARE(bytes, QByteArray("keep"));

        CommonFunc::HexToString(255, out);
        QCOMPARE(out, QString("323535"));
        in = QString::fromUtf8("扫");
        CommonFunc::HexToString(in, out);
        QCOMPARE(out, QString("e689ab"));
        QString back;
        QVERIFY(CommonFunc::StringToHex(out, back));
        QCOMPARE(back, in);

        in = "A扫";
        QVERIFY(CommonFunc::KeywordToHex(in, out));
        QCOMPARE(out, QString("0041626b"));
    }

    void fixedFields()
    {
        QChar buf[5];
        for (QChar &c : buf)
            c = QChar('x');
        CommonFunc::copyStringToChars("abc", buf, 4);
        QCOMPARE(buf[0], QChar('a'));
        QCOMPARE(buf[1], QChar('b'));
        QCOMPARE(buf[2], QChar('x')); // only 4 bytes touched
        CommonFunc::copyStringToChars("abc", buf, 10);
        QCOMPARE(CommonFunc::charsToString(buf, 5), QString("abc"));
        QCOMPARE(buf[3], QChar(0));
        QCOMPARE(buf[4], QChar(0));
        CommonFunc::copyStringToChars("abcdefg", buf, 10);
        QCOMPARE(CommonFunc::charsToString(buf, 5), QString("abcde")); // no terminator room
    }

    void unicodeSwap()
    {
        unsigned char b[5] = {1, 2, 3, 4, 5};
        CommonFunc::unicodeSwap(b, 5);
        const unsigned char want[5] = {2, 1, 4, 3, 5};
        QVERIFY(memcmp(b, want, 5) == 0);
        CommonFunc::unicodeSwap(b, 0);
        CommonFunc::unicodeSwap(b, -3);
        QVERIFY(memcmp(b, want, 5) == 0);
    }

    void configRoundTripIsHexOnDisk()
    {
        QTemporaryDir dir;
        const QString ini = dir.path() + "/x.ini";
        CommonFunc::writeConfigFile(ini, "G/key", QString::fromUtf8("密码 1"));
        QCOMPARE(CommonFunc::readConfigFile(ini, "G/key", ""), QString::fromUtf8("密码 1"));
        QSettings raw(ini, QSettings::IniFormat);
        QCOMPARE(raw.value("G/key").toString(), QString("e5af86e7a0812031"));
        QCOMPARE(CommonFunc::readConfigFile(ini, "G/none", "not hex"), QString());
    }

    void tickCountAndPaths()
    {
        const unsigned int t = CommonFunc::getTickCount();
        QVERIFY(t <= 235959999u);
        QCOMPARE(FileHelper::convertPath(QString::fromUtf8("/tmp/扫描/a.tif")),
                 QByteArray("/tmp/扫描/a.tif"));
    }

    // A file is replaced whole or not at all, whatever writes it: on a full
    // disk (a file-size limit in a child process) the old file stays as it
    // was with nothing beside it, also where QSettings itself would take its
    // cut write for a good one; otherwise the old file's keys and its
    // permissions carry over.
    void filesReplacedWholeOrNotAtAll()
    {
        QTemporaryDir dir;
        const QString bin = dir.path() + "/a.bin", ini = dir.path() + "/a.ini";
        QFile old(bin);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(3000, 'a')) == 3000);
        old.close();
        QVERIFY(FileHelper::replaceIni(ini, [](QSettings &s) {
            s.setValue("Keep/name", QString::fromUtf8("扫描"));
            s.setValue("Edit/count", 1);
        }));
        QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const QByteArray iniBefore = readAll(ini);
        auto bigEdit = [](QSettings &s) {
            for (int i = 0; i < 60; ++i)
                s.setValue(QString("Edit/key%1").arg(i), QString(30, 'x'));
        };
        const int written = testsupport::inFullDiskChild(1000, [&] {
            return (FileHelper::replaceFile(bin, QByteArray(4000, 'b')) ? 1 : 0) |
                   (FileHelper::replaceFile(bin,
                                            [](const QString &part) {
                                                QFile f(part);
                                                return f.open(QIODevice::WriteOnly) &&
                                                       f.write(QByteArray(2000, 'c')) == 2000 &&
                                                       f.flush();
                                            })
                        ? 2
                        : 0) |
                   (FileHelper::replaceIni(ini, bigEdit) ? 4 : 0);
        });
        QCOMPARE(written, 0);
        QCOMPARE(readAll(bin), QByteArray(3000, 'a'));
        QCOMPARE(readAll(ini), iniBefore);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"a.bin", "a.ini"}));

        // A writer that finds its own result wanting leaves the old file too.
        QVERIFY(!FileHelper::replaceFile(bin, QByteArray("short"),
                                         [](const QString &part) { return QFileInfo(part).size() > 5; }));
        QCOMPARE(readAll(bin), QByteArray(3000, 'a'));
        QVERIFY(FileHelper::replaceIni(ini, bigEdit));
        QSettings back(ini, QSettings::IniFormat);
        back.setIniCodec("UTF-8");
        QCOMPARE(back.value("Keep/name").toString(), QString::fromUtf8("扫描"));
        QCOMPARE(back.value("Edit/key59").toString(), QString(30, 'x'));
        QCOMPARE(QFile::permissions(ini) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
                 QFileDevice::Permissions());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);

        // A damaged file does not block the save: what reads of it stays.
        QVERIFY(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
        old.write("[Keep]\nname=a\nstamp1 b\"\n");
        old.close();
        QVERIFY(FileHelper::replaceIni(bin, [](QSettings &s) { s.setValue("Edit/count", 2); }));
        QSettings damaged(bin, QSettings::IniFormat);
        QCOMPARE(damaged.status(), QSettings::NoError);
        QCOMPARE(damaged.value("Keep/name").toString(), QString("a"));
        QCOMPARE(damaged.value("Edit/count").toInt(), 2);
    }

private:
    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QTEST_GUILESS_MAIN(TestCommonFunc)
#include "tst_commonfunc.moc"

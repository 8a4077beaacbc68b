// The imprinter graphics library: size limits, unique copies, the list file
// and the defaults, all in private folders.
#include "devicestampgraphic.h"
#include "support/datarows.h"
#include "support/modalanswer.h"
#include "support/testtiming.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using testsupport::ModalAnswerer;
using testsupport::row;

namespace {

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xffffffffu;
    for (char ch : data) {
        crc ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void appendBE32(QByteArray &out, quint32 v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.append(char((v >> shift) & 0xff));
}

// A PNG that claims a vast size but carries no picture data.
QByteArray hugePngHeader(quint32 side)
{
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    QByteArray ihdr("IHDR");
    appendBE32(ihdr, side);
    appendBE32(ihdr, side);
    ihdr.append(char(8)).append(char(6)).append(char(0)).append(char(0)).append(char(0));
    appendBE32(png, 13);
    png += ihdr;
    appendBE32(png, crc32(ihdr));
    // A token data chunk and the end: enough for a reader to take the header.
    const QByteArray idat = QByteArray("IDAT") + QByteArray(16, '\0');
    appendBE32(png, 16);
    png += idat;
    appendBE32(png, crc32(idat));
    appendBE32(png, 0);
    png += "IEND";
    appendBE32(png, crc32("IEND"));
    return png;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestStampGraphic : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_user, m_app, m_ini, m_src;

    // The library in this case's private folders.
    struct Library : DeviceStampGraphic
    {
        explicit Library(const TestStampGraphic &t) { setLocations(t.m_user, t.m_app, t.m_ini); }
    };
    QString picture(const QString &name, int w, int h)
    {
        const QString path = m_src + "/" + name;
        QImage img(w, h, QImage::Format_ARGB32);
        img.fill(Qt::red);
        img.save(path, "PNG");
        return path;
    }
    QStringList userFiles() const { return QDir(m_user).entryList(QDir::Files, QDir::Name); }
    QStringList list(const DeviceStampGraphic &g) const
    {
        QStringList l;
        g.getGraphicList(l);
        return l;
    }

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        const QString root = m_dir.path() + "/" + QTest::currentTestFunction() + "/" +
                             QString::fromUtf8(QTest::currentDataTag());
        m_user = root + "/user/stamp";
        m_app = root + "/app/stamp";
        m_ini = root + "/user/stampconfig.ini";
        m_src = root + "/src";
        for (const QString &d : {m_user, m_app, m_src})
            QVERIFY(QDir().mkpath(d));
    }

    void sizeLimit_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<bool>("accepted");
        row("600x600", 600, 600, true);
        row("601x100", 601, 100, false);
        row("100x601", 100, 601, false);
        row("1x1", 1, 1, true);
    }
    void sizeLimit()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(bool, accepted);
        Library g(*this);
        const QString path = picture("pic.png", w, h);
        ModalAnswerer answer("确定");
        QCOMPARE(g.addStampGraphic(path), accepted);
        QCOMPARE(list(g).size(), accepted ? 1 : 0);
        QCOMPARE(userFiles().size(), accepted ? 1 : 0);
        if (accepted) {
            QCOMPARE(answer.count(), 0);
            return;
        }
        QCOMPARE(answer.count(), 1);
        QCOMPARE(answer.last().title, QString("添加图片失败"));
        QCOMPARE(answer.last().text,
                 QString("添加图片尺寸过大，请添加像素值等于或小于600x600尺寸的图片！"));
        QCOMPARE(answer.last().icon, QMessageBox::Warning);
    }

    // The size is read from the header: a picture claiming 60000 x 60000 is
    // refused without being decoded.
    void hugeHeaderRefusedCheaply()
    {
        Library g(*this);
        const QString path = m_src + "/huge.png";
        QVERIFY(writeFile(path, hugePngHeader(60000)));
        ModalAnswerer answer("确定");
        QElapsedTimer t;
        t.start();
        QVERIFY(!g.addStampGraphic(path));
        QVERIFY2(t.elapsed() < scaledMs(3000), "the header alone decides");
        QCOMPARE(answer.last().text,
                 QString("添加图片尺寸过大，请添加像素值等于或小于600x600尺寸的图片！"));
        QVERIFY(userFiles().isEmpty());
    }

    void notAPictureRefused()
    {
        Library g(*this);
        const QString path = m_src + "/x.png";
        QVERIFY(writeFile(path, "this is only text\n"));
        ModalAnswerer answer("确定");
        QVERIFY(!g.addStampGraphic(path));
        QCOMPARE(answer.count(), 1);
        QCOMPARE(answer.last().title, QString("添加图片失败"));
        QVERIFY(list(g).isEmpty());
        QVERIFY(userFiles().isEmpty());
    }

    void uniqueNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("times");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("logo") << "logo.png" << 3
                              << QStringList{"logo.png", "logo 1.png", "logo 2.png"};
        QTest::newRow("two dots") << "a.b.png" << 2 << QStringList{"a.b.png", "a 1.png"};
        // Wildcard characters are part of the name, not a pattern.
        QTest::newRow("brackets") << "logo[1].png" << 2
                                  << QStringList{"logo[1].png", "logo[1] 1.png"};
        QTest::newRow("star") << "s*.png" << 2 << QStringList{"s*.png", "s* 1.png"};
    }
    void uniqueNames()
    {
        QFETCH(QString, name);
        QFETCH(int, times);
        QFETCH(QStringList, stored);
        Library g(*this);
        const QString path = picture(name, 50, 40);
        for (int i = 0; i < times; ++i)
            QVERIFY(g.addStampGraphic(path));
        QStringList expected;
        for (const QString &s : stored)
            expected << m_user + "/" + s;
        QCOMPARE(list(g), expected);
        QStringList files = userFiles();
        files.sort();
        stored.sort();
        QCOMPARE(files, stored);
    }

    // Two adds of one name are two files: deleting one leaves the other's
    // picture in place.
    void deleteKeepsTheOtherCopy()
    {
        Library g(*this);
        const QString path = picture("logo[1].png", 20, 20);
        QVERIFY(g.addStampGraphic(path));
        QVERIFY(g.addStampGraphic(path));
        QVERIFY(g.deleteStampGraphic("logo[1].png"));
        QCOMPARE(list(g), QStringList{m_user + "/logo[1] 1.png"});
        QCOMPARE(userFiles(), QStringList{"logo[1] 1.png"});
        QVERIFY(!g.deleteStampGraphic("logo[1].png"));
    }

    void deleteUnknownNameDeletesNothing()
    {
        Library g(*this);
        QVERIFY(g.addStampGraphic(picture("keep.png", 10, 10)));
        QVERIFY(writeFile(m_user + "/other.png", QByteArray()));
        QVERIFY(!g.deleteStampGraphic("other.png"));
        QVERIFY(!g.deleteStampGraphic("../stampconfig.ini"));
        QCOMPARE(userFiles(), (QStringList{"keep.png", "other.png"}));
        QCOMPARE(list(g).size(), 1);
    }

    void damagedListFile_data()
    {
        QTest::addColumn<QString>("group");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("empty name2") << "count=3\nname1=/a/one.png\nname2=\nname3=/a/three.png\n"
                                     << QStringList{"/a/one.png", "/a/three.png"};
        QTest::newRow("negative count") << "count=-4\nname1=/a/one.png\n" << QStringList{};
        QTest::newRow("huge count") << "count=2147483647\nname1=/a/one.png\nname7=/a/seven.png\n"
                                    << QStringList{"/a/one.png", "/a/seven.png"};
        QTest::newRow("beyond count") << "count=1\nname1=/a/one.png\nname2=/a/two.png\n"
                                      << QStringList{"/a/one.png"};
        QTest::newRow("not a number") << "count=many\nname1=/a/one.png\n" << QStringList{};
        QTest::newRow("numbered order") << "count=3\nname3=/a/c.png\nname1=/a/a.png\n"
                                        << QStringList{"/a/a.png", "/a/c.png"};
    }
    void damagedListFile()
    {
        QFETCH(QString, group);
        QFETCH(QStringList, expected);
        QVERIFY(writeFile(m_ini, "[Graphics]\n" + group.toUtf8()));
        Library g(*this);
        QElapsedTimer t;
        t.start();
        g.loadStampConfig();
        QVERIFY(t.elapsed() < scaledMs(2000));
        // Entries whose file is gone are kept.
        QCOMPARE(list(g), expected);
        QVERIFY(g.saveStampConfig());
        QSettings ini(m_ini, QSettings::IniFormat);
        ini.beginGroup("Graphics");
        QCOMPARE(ini.value("count").toInt(), expected.size());
        QStringList keys = ini.childKeys();
        keys.removeAll("count");
        QCOMPARE(keys.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(ini.value(QString("name%1").arg(i + 1)).toString(), expected.at(i));
    }

    // Only group "Graphics" is rewritten: every other line of the file stays
    // byte for byte, and no key of a longer earlier list survives.
    void saveRewritesOnlyItsGroup()
    {
        const QByteArray before = "; kept comment\n"
                                  "[StampCfg]\n"
                                  "count=1\n"
                                  "stamp1=\"a, b\"\n"
                                  "\n"
                                  "[Graphics]\n"
                                  "count=5\nname1=/x/1.png\nname2=/x/2.png\nname3=/x/3.png\n"
                                  "name4=/x/4.png\nname5=/x/5.png\n"
                                  "\n"
                                  "[Zeta]\r\n"
                                  "key = spaced value\r\n";
        QVERIFY(writeFile(m_ini, before));
        Library g(*this);
        g.loadStampConfig();
        QCOMPARE(list(g).size(), 5);
        QVERIFY(g.deleteStampGraphic("2.png"));
        QVERIFY(g.deleteStampGraphic("4.png"));
        QVERIFY(g.deleteStampGraphic("5.png"));
        QVERIFY(g.saveStampConfig());

        const QByteArray after = readFile(m_ini);
        QVERIFY(after.startsWith("; kept comment\n[StampCfg]\ncount=1\nstamp1=\"a, b\"\n\n"));
        QVERIFY(after.contains("\n[Zeta]\r\nkey = spaced value\r\n"));
        QSettings ini(m_ini, QSettings::IniFormat);
        QCOMPARE(ini.value("StampCfg/stamp1").toString(), QString("a, b"));
        ini.beginGroup("Graphics");
        QCOMPARE(ini.childKeys().size(), 3);
        QCOMPARE(ini.value("count").toInt(), 2);
        QCOMPARE(ini.value("name1").toString(), QString("/x/1.png"));
        QCOMPARE(ini.value("name2").toString(), QString("/x/3.png"));
        QVERIFY(!ini.contains("name3"));
    }

    // A damaged line of another group (an unclosed quote) would swallow a
    // group appended after it: the list must still read back.
    void damagedOtherGroupDoesNotHideTheList()
    {
        QVERIFY(
            writeFile(m_ini, "[StampCfg]\nstamp1=\"open\n\n[Graphics]\ncount=1\nname1=/x/1.png\n"));
        Library g(*this);
        g.loadStampConfig();
        QVERIFY(g.addStampGraphic(picture("new.png", 10, 10)));
        QVERIFY(g.saveStampConfig());
        Library again(*this);
        again.loadStampConfig();
        QCOMPARE(list(again), list(g));
    }

    // Paths with separators and non-ASCII letters come back as written.
    void listRoundTrip()
    {
        Library g(*this);
        QVERIFY(g.addStampGraphic(picture("戳记, \"a\";b.png", 10, 10)));
        QVERIFY(g.saveStampConfig());
        Library again(*this);
        again.loadStampConfig();
        QCOMPARE(list(again), list(g));
    }

    void defaultsOnFirstUse()
    {
        const QStringList names = DeviceStampGraphic::defaultGraphicNames();
        QCOMPARE(names.size(), 12);
        for (const QString &n : names)
            QVERIFY(QFile::copy(QString(CORVAN_STAMP_SOURCE_DIR) + "/" + n, m_app + "/" + n));
        // One default is missing from the application folder; the user
        // already has a picture of another default's name.
        QVERIFY(QFile::remove(m_app + "/" + names.at(4)));
        QVERIFY(writeFile(m_user + "/" + names.at(0), "the user's own"));

        Library g(*this);
        g.loadStampConfig();
        QStringList expected;
        for (int i = 0; i < names.size(); ++i)
            if (i != 4)
                expected << m_user + "/" + names.at(i);
        QCOMPARE(list(g), expected);
        QCOMPARE(readFile(m_user + "/" + names.at(0)), QByteArray("the user's own"));
        QVERIFY(!QFile::exists(m_ini));

        QListWidget widget;
        g.loadDefaultGraphicsToControl(&widget);
        QCOMPARE(widget.count(), 11);
        QCOMPARE(widget.item(1)->data(Qt::UserRole).toString(), names.at(1));
        QCOMPARE(widget.item(1)->text(), QString());
        QCOMPARE(widget.item(1)->data(Qt::SizeHintRole).toSize(), QSize(200, 200));
        QCOMPARE(widget.iconSize(), QSize(300, 300));

        // A user graphic appended later shows at most 350 x 350 and is selected.
        QVERIFY(g.addStampGraphic(picture("big.png", 500, 120)));
        QVERIFY(g.loadGraphicsToControl(&widget));
        QCOMPARE(widget.count(), 12);
        QCOMPARE(widget.currentRow(), 11);
        QCOMPARE(widget.item(11)->data(Qt::SizeHintRole).toSize(), QSize(350, 120));
        QCOMPARE(widget.iconSize(), QSize(350, 350));
    }
};

QTEST_MAIN(TestStampGraphic)
#include "tst_stampgraphic.moc"

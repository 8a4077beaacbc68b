#include "scanshortcut.h"
#include "scanshortcutmenu.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <new>

namespace {

const unsigned char *bytesOf(const tagSCAN_SHORTCUT_MENU &r)
{
    return reinterpret_cast<const unsigned char *>(&r);
}

tagSCAN_SHORTCUT_MENU firstBuiltIn()
{
    ScanShortcutMenu store;
    store.loadDefaultScanShortcut();
    tagSCAN_SHORTCUT_MENU r;
    if (!store.getScanShortcutItem(0, r))
        qFatal("no built-in profile");
    return r;
}

} // namespace

class TestScanShortcutRecord : public QObject
{
    Q_OBJECT

private slots:
    void builtInRoundTripsThroughAFile();
    void bytesConversionRejectsWrongSizes();
    void flagBytesFromAFileAreReadAsSet();
    void fieldsLandAtFileOffsets();
    void constructorZeroesTheTextArrays();
    void textFieldsKeepOneUnitForTheZero();
    void textFieldsReadUpToZeroOrEnd();
    void stampTextsAtOddOffsets();
};

void TestScanShortcutRecord::builtInRoundTripsThroughAFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    tagSCAN_SHORTCUT_MENU written = firstBuiltIn();
    written.stampConfig.textColor = 0x12345600u;
    written.sideSettings[3].barcodeArea[2] = 12.75;

    QFile out(dir.filePath("record"));
    QVERIFY(out.open(QIODevice::WriteOnly));
    QCOMPARE(out.write(scanShortcutToBytes(written)), qint64(4456));
    out.close();
    QCOMPARE(QFileInfo(out.fileName()).size(), qint64(4456));

    QFile in(out.fileName());
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QByteArray content = in.readAll();
    QCOMPARE(content, QByteArray(reinterpret_cast<const char *>(&written), 4456));

    tagSCAN_SHORTCUT_MENU read;
    std::memset(static_cast<void *>(&read), 0xAB, sizeof(read));
    QVERIFY(scanShortcutFromBytes(content, read));
    QVERIFY(scanShortcutEquals(read, written));
    QCOMPARE(scanText(read.name), QString::fromUtf8("默认值"));
    QCOMPARE(read.sideSettings[3].barcodeArea[2], 12.75);
}

void TestScanShortcutRecord::bytesConversionRejectsWrongSizes()
{
    tagSCAN_SHORTCUT_MENU r = firstBuiltIn();
    const tagSCAN_SHORTCUT_MENU before = r;
    QVERIFY(!scanShortcutFromBytes(QByteArray(4455, '\x01'), r));
    QVERIFY(!scanShortcutFromBytes(QByteArray(4457, '\x01'), r));
    QVERIFY(!scanShortcutFromBytes(QByteArray(), r));
    QVERIFY(scanShortcutEquals(r, before));
}

// A file may hold any byte where the record keeps a flag: it is read as set,
// and the record then holds a valid true; no other byte changes.
void TestScanShortcutRecord::flagBytesFromAFileAreReadAsSet()
{
    const tagSCAN_SHORTCUT_MENU base = firstBuiltIn();
    QByteArray file = scanShortcutToBytes(base);
    const int autoStart = int(offsetof(tagSCAN_SHORTCUT_MENU, autoStartScanning));
    const int pageSize = int(offsetof(tagSCAN_SHORTCUT_MENU, pageSizes)) + 22;
    const int barcodeType = int(offsetof(tagSCAN_SHORTCUT_MENU, sideSettings))
                            + 3 * int(sizeof(tagSCAN_SIDE_SETTING))
                            + int(offsetof(tagSCAN_SIDE_SETTING, barcodeTypes)) + 9;
    file[autoStart] = char(0xE9);
    file[pageSize] = char(2);
    file[barcodeType] = char(0xFF);

    tagSCAN_SHORTCUT_MENU r;
    QVERIFY(scanShortcutFromBytes(file, r));
    QVERIFY(r.autoStartScanning);
    QVERIFY(r.pageSizes[22]);
    QVERIFY(r.sideSettings[3].barcodeTypes[9]);
    QByteArray expected = file;
    expected[autoStart] = expected[pageSize] = expected[barcodeType] = char(1);
    QCOMPARE(scanShortcutToBytes(r), expected);
}

void TestScanShortcutRecord::fieldsLandAtFileOffsets()
{
    // Little-endian file form, checked through the bytes rather than the
    // struct, so that a layout change cannot hide behind itself.
    tagSCAN_SHORTCUT_MENU r;
    zeroScanShortcut(r);
    for (int i = 0; i < 4456; ++i)
        QCOMPARE(int(bytesOf(r)[i]), 0);

    r.timeout = 0x01020304;
    r.sheetHeight = 17.0;
    r.sideSettings[2].resolution = 300;
    r.sideSettings[1].doubleCurrentOutput = ScanDoubleCurrentOutputFlag(7);
    r.stampConfig.borderThickness = 0x0102;
    r.stampConfig.counterStart = 0xA1B2C3D4u;
    r.imageToolSettings[107] = 0x5C;
    setScanText(r.multifeedSoundFile, QStringLiteral("a"));

    const unsigned char *b = bytesOf(r);
    QCOMPARE(int(b[1948]), 0x04);
    QCOMPARE(int(b[1951]), 0x01);
    double height;
    std::memcpy(&height, b + 2048, 8);
    QCOMPARE(height, 17.0);
    QCOMPARE(int(b[2608 + 2 * 320 + 12]), 300 & 0xFF);
    QCOMPARE(int(b[2608 + 2 * 320 + 13]), 300 >> 8);
    QCOMPARE(int(b[2608 + 320 + 312]), 7);
    QCOMPARE(int(b[4400]), 0x02);
    QCOMPARE(int(b[4401]), 0x01);
    QCOMPARE(int(b[4414]), 0xD4);
    QCOMPARE(int(b[4417]), 0xA1);
    QCOMPARE(int(b[3964 + 107]), 0x5C);
    QCOMPARE(int(b[2078]), int('a'));
    QCOMPARE(int(b[2079]), 0);
}

void TestScanShortcutRecord::constructorZeroesTheTextArrays()
{
    alignas(tagSCAN_SHORTCUT_MENU) unsigned char storage[sizeof(tagSCAN_SHORTCUT_MENU)];
    std::memset(storage, 0xAA, sizeof(storage));
    auto *r = new (storage) tagSCAN_SHORTCUT_MENU;
    const struct { int offset, bytes; } texts[] = {
        {0, 256}, {256, 128}, {384, 1024}, {1408, 512}, {2078, 512}};
    for (const auto &t : texts) {
        for (int i = 0; i < t.bytes; ++i)
            QCOMPARE(int(storage[t.offset + i]), 0);
    }
    QVERIFY(scanText(r->name).isEmpty());
    QVERIFY(scanText(r->multifeedSoundFile).isEmpty());
    r->~tagSCAN_SHORTCUT_MENU();
}

void TestScanShortcutRecord::textFieldsKeepOneUnitForTheZero()
{
    tagSCAN_SHORTCUT_MENU r;
    zeroScanShortcut(r);
    QString longName;
    for (int i = 0; i < 128; ++i)
        longName.append(QChar(u'a' + i % 26));
    setScanText(r.name, longName);
    QCOMPARE(scanText(r.name), longName.left(127));
    QVERIFY(r.name[127].isNull());
    QVERIFY(r.id[0].isNull());   // nothing spilled into the next field

    // A shorter text clears what a longer one left behind.
    setScanText(r.name, QStringLiteral("ab"));
    QCOMPARE(scanText(r.name), QStringLiteral("ab"));
    QVERIFY(r.name[2].isNull() && r.name[100].isNull());

    // A character outside the BMP that would straddle the limit is dropped whole.
    QString withPair = QString(62, QLatin1Char('x'));
    withPair.append(QString::fromUcs4(U"\U0001F600"));
    QCOMPARE(withPair.size(), 64);
    setScanText(r.id, withPair);
    QCOMPARE(scanText(r.id), QString(62, QLatin1Char('x')));
}

void TestScanShortcutRecord::textFieldsReadUpToZeroOrEnd()
{
    tagSCAN_SHORTCUT_MENU r;
    zeroScanShortcut(r);
    for (QChar &c : r.id)
        c = QLatin1Char('k');
    // A file may hold a full array without a zero; reading stops at its end.
    QCOMPARE(scanText(r.id), QString(64, QLatin1Char('k')));
    r.id[5] = QChar(0);
    QCOMPARE(scanText(r.id), QString(5, QLatin1Char('k')));
}

void TestScanShortcutRecord::stampTextsAtOddOffsets()
{
    tagSCAN_SHORTCUT_MENU r;
    zeroScanShortcut(r);
    tagSTAMP_CONFIG &s = r.stampConfig;

    setStampMessage(s, 2, QStringLiteral("HELLO"));
    const unsigned char *b = bytesOf(r);
    const int message2 = 4072 + 81 + 2 * 40;
    QCOMPARE(int(b[message2]), int('H'));
    QCOMPARE(int(b[message2 + 1]), 0);
    QCOMPARE(int(b[message2 + 8]), int('O'));
    QCOMPARE(stampMessage(s, 2), QStringLiteral("HELLO"));

    // Stamp texts may use their whole array.
    const QString full = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
    setStampMessage(s, 5, full + QStringLiteral("overflow"));
    QCOMPARE(stampMessage(s, 5), full);
    QCOMPARE(int(s.graphicStampOn), 0);   // first byte after the messages

    setStampMessage(s, 6, QStringLiteral("ignored"));
    setStampMessage(s, -1, QStringLiteral("ignored"));
    QVERIFY(stampMessage(s, 6).isEmpty());
    QCOMPARE(int(s.graphicStampOn), 0);
    QCOMPARE(int(s.counterLeadingZero), 0);

    setStampDateText(s, QStringLiteral("2024/02/29"));
    setStampTimeText(s, QStringLiteral("23:59"));
    QCOMPARE(stampDateText(s), QStringLiteral("2024/02/29"));
    QCOMPARE(stampTimeText(s), QStringLiteral("23:59"));
    QCOMPARE(int(b[4072 + 46]), int('2'));
    QCOMPARE(int(b[4072 + 68 + 8]), int('9'));
    QCOMPARE(int(s.dateDelimiter), 0);
    QCOMPARE(int(s.timeFormat), 0);
}

QTEST_GUILESS_MAIN(TestScanShortcutRecord)
#include "tst_scanshortcutrecord.moc"

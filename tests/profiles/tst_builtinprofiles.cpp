#include "scanshortcutmenu.h"
#include "support/builtinprofiles.h"

#include <QtTest>

#include <cstring>

namespace {

QList<tagSCAN_SHORTCUT_MENU> builtIns()
{
    return testsupport::builtInProfiles();
}

const unsigned char *bytesOf(const tagSCAN_SHORTCUT_MENU &r)
{
    return reinterpret_cast<const unsigned char *>(&r);
}

} // namespace

class TestBuiltInProfiles : public QObject
{
    Q_OBJECT

private slots:
    void identities_data();
    void identities();
    void differingFields_data();
    void differingFields();
    void commonFields();
    void stampBytes();
    void paddingStaysZero();
    void liveAndDefaultListsAgree();
    void loadAppendsWithoutClearing();
};

void TestBuiltInProfiles::identities_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("icon");
    QTest::addColumn<int>("inputDocument");
    QTest::newRow("default") << 0 << "{f9a5ceee-7d8f-460e-bfa9-0f9af28274b2}"
                             << QString::fromUtf8("默认值") << "default.png" << 2;
    QTest::newRow("multistream") << 1 << "{d89a279b-67ce-499b-a796-146cbb7c41cc}"
                                 << QString::fromUtf8("多流 Clearleaf 文档") << "color.png" << 2;
    QTest::newRow("bw") << 2 << "{a28ec109-2829-494e-b349-77fb7e1b1148}"
                        << QString::fromUtf8("黑白 Clearleaf 文档") << "bk.png" << 2;
    QTest::newRow("grey") << 3 << "{a28ec109-2830-494e-b349-77fb7e1b1148}"
                          << QString::fromUtf8("灰阶 Clearleaf 文档") << "grey-gradient.png" << 2;
    QTest::newRow("colour") << 4 << "{95cebce6-4d82-49dc-bad8-199f76ebb592}"
                            << QString::fromUtf8("彩色 Clearleaf 文档") << "color.png" << 2;
    QTest::newRow("photo") << 5 << "{9bcfbc7a-2bd6-4b69-a9d0-fb292fe99a02}"
                           << QString::fromUtf8("彩色照片") << "color-photo.png" << 0;
}

void TestBuiltInProfiles::identities()
{
    QFETCH(int, index);
    QFETCH(QString, id);
    QFETCH(QString, name);
    QFETCH(QString, icon);
    QFETCH(int, inputDocument);
    const QList<tagSCAN_SHORTCUT_MENU> all = builtIns();
    QCOMPARE(all.size(), 6);
    const tagSCAN_SHORTCUT_MENU &r = all.at(index);
    QCOMPARE(scanText(r.id), id);
    QCOMPARE(scanText(r.name), name);
    QCOMPARE(scanText(r.iconFile), icon);
    QCOMPARE(int(r.inputDocument), inputDocument);
    QCOMPARE(r.builtInEdited, false);
    QVERIFY(ScanShortcutMenu::isBuiltInId(id));
}

void TestBuiltInProfiles::differingFields_data()
{
    QTest::addColumn<int>("index");
    // doubleCurrentOutput, blocks 0/2 colour, doc, media, dpi, compression, jpeg,
    // blocks 1/3 colour, compression, rotation, sharpen, streak
    QTest::addColumn<QVector<int>>("blocks");
    // colour, grey, bw outputs, sideStream, udds, response
    QTest::addColumn<QVector<int>>("tail");
    QTest::newRow("1") << 0 << QVector<int>{1, 0, 2, 3, 200, 0, 3, 0, 0, 0, 0, 0}
                       << QVector<int>{0, 0, 1, 0, 0, 1};
    QTest::newRow("2") << 1 << QVector<int>{2, 2, 2, 3, 200, 2, 3, 0, 1, 4, 0, 0}
                       << QVector<int>{1, 1, 1, 3, 2, 8};
    QTest::newRow("3") << 2 << QVector<int>{1, 0, 2, 3, 200, 1, 3, 0, 2, 4, 0, 0}
                       << QVector<int>{0, 0, 1, 0, 2, 8};
    QTest::newRow("4") << 3 << QVector<int>{1, 1, 2, 3, 200, 2, 3, 0, 1, 4, 0, 0}
                       << QVector<int>{0, 1, 0, 0, 2, 8};
    QTest::newRow("5") << 4 << QVector<int>{1, 2, 2, 3, 200, 2, 3, 0, 1, 4, 0, 0}
                       << QVector<int>{1, 0, 0, 0, 2, 8};
    QTest::newRow("6") << 5 << QVector<int>{0, 2, 0, 1, 300, 2, 0, 0, 1, 0, 1, 1}
                       << QVector<int>{1, 0, 0, 1, 0, 8};
}

void TestBuiltInProfiles::differingFields()
{
    QFETCH(int, index);
    QFETCH(QVector<int>, blocks);
    QFETCH(QVector<int>, tail);
    const tagSCAN_SHORTCUT_MENU r = builtIns().at(index);

    QCOMPARE(int(r.sideSettings[0].doubleCurrentOutput), blocks[0]);
    for (int b = 1; b < 4; ++b)
        QCOMPARE(int(r.sideSettings[b].doubleCurrentOutput), 0);
    for (int b = 0; b < 4; ++b) {
        const tagSCAN_SIDE_SETTING &s = r.sideSettings[b];
        const bool first = b % 2 == 0;
        QCOMPARE(int(s.colorMode), first ? blocks[1] : blocks[7]);
        QCOMPARE(int(s.compressionType), first ? blocks[5] : blocks[8]);
        QCOMPARE(int(s.documentType), blocks[2]);
        QCOMPARE(int(s.mediaType), blocks[3]);
        QCOMPARE(int(s.resolution), blocks[4]);
        QCOMPARE(int(s.jpegQuality), blocks[6]);
        QCOMPARE(int(s.postScanRotation), blocks[9]);
        QCOMPARE(int(s.sharpen), blocks[10]);
        QCOMPARE(int(s.streakFilter), blocks[11]);
    }
    QCOMPARE(int(r.colorOutput), tail[0]);
    QCOMPARE(int(r.grayOutput), tail[1]);
    QCOMPARE(int(r.blackWhiteOutput), tail[2]);
    QCOMPARE(int(r.sideStream), tail[3]);
    QCOMPARE(int(r.multifeedUddsSensitivity), tail[4]);
    QCOMPARE(int(r.multifeedResponse), tail[5]);
}

void TestBuiltInProfiles::commonFields()
{
    for (const tagSCAN_SHORTCUT_MENU &r : builtIns()) {
        QCOMPARE(int(r.previewQuality), 1);
        QCOMPARE(int(r.previewAutoUpdate), 1);
        QCOMPARE(int(r.sizeUnit), 0);
        QCOMPARE(r.previewMode, 0);
        for (const tagSCAN_SIDE_SETTING &s : r.sideSettings) {
            QCOMPARE(int(s.documentCropping), 7);
            QCOMPARE(int(s.imageCropping), 2);
            QCOMPARE(s.width, 8.26);
            QCOMPARE(s.height, 11.69);
            QCOMPARE(int(s.predefinedSize), 8);
            QCOMPARE(int(s.border), 6);
            QCOMPARE(s.characterSets[3], true);
            QCOMPARE(s.characterSets[4], false);
            QCOMPARE(int(s.brightnessContrastMode), 2);
            QCOMPARE(int(s.colorBalanceMode), 2);
            QCOMPARE(int(s.conversionQuality), 3);
            QCOMPARE(s.conversionThreshold, 90);
            QCOMPARE(int(s.filterNoise), 1);
            QCOMPARE(s.allSidesMatch, true);
            QCOMPARE(int(s.colorDropout), 255);
            QCOMPARE(s.contentAmount, 1);
            QCOMPARE(s.finalImageSize, 1);
            QCOMPARE(s.barcodeReading, false);
            QCOMPARE(s.barcodeTypes[0], true);
            QCOMPARE(s.barcodeTypes[9], true);
            QCOMPARE(s.barcodeCount, 1);
            QCOMPARE(s.barcodeArea[0], 0.0);
            QCOMPARE(s.barcodeArea[2], 17.0);
            QCOMPARE(s.barcodeArea[3], 17.0);
        }
        QCOMPARE(int(r.combineSite), 4);
        QCOMPARE(int(r.splitDocumentLengthMode), 2);
        QCOMPARE(r.lengthLeft, 2.5);
        QCOMPARE(r.lengthRight, 2.5);
        for (int i = 0; i < 23; ++i)
            QCOMPARE(r.pageSizes[i], i == 5 || i == 6);
        QCOMPARE(r.pageSizeCount, 2);

        QCOMPARE(int(r.paperSource), 12);
        QCOMPARE(r.powerSaver, 15);
        QCOMPARE(r.powerOff, 60);
        QCOMPARE(r.powerOffEnabled, true);
        QCOMPARE(r.onlySaveTimeout, false);
        QCOMPARE(r.deviceOn, true);
        QCOMPARE(r.autoStartScanning, true);
        QCOMPARE(r.timeout, 5);
        QCOMPARE(r.printerIndex, 1);
        QCOMPARE(r.stampCounter, 0);
        QCOMPARE(int(r.diagnosticsEquipment), 1);
        QCOMPARE(r.frontX, 10000.0);
        QCOMPARE(r.rearY, 10000.0);
        QCOMPARE(int(r.debugLogRecord), 1);
        QCOMPARE(int(r.debugModel), 1);
        QCOMPARE(int(r.debugFlatbed), 1);
        QCOMPARE(int(r.diagnosticsLog), 6);
        QCOMPARE(r.enhancedSeparation, true);
        QCOMPARE(r.sheetHeight, 17.0);
        QCOMPARE(r.multifeedLengthEnabled, false);
        QCOMPARE(r.multifeedLength, 2.0);
        QCOMPARE(r.multifeedSoundEnabled, false);
        QCOMPARE(scanText(r.multifeedSoundFile), QStringLiteral("tada.wav"));
        QCOMPARE(scanText(r.stampGraphicFile), QStringLiteral("zz020 Globe ASIA 200x200.png"));
    }
}

void TestBuiltInProfiles::stampBytes()
{
    for (const tagSCAN_SHORTCUT_MENU &r : builtIns()) {
        const unsigned char *b = bytesOf(r);
        QCOMPARE(int(b[4073]), 9);
        for (int i = 4078; i <= 4117; ++i)
            QCOMPARE(int(b[i]), int('Z'));
        QCOMPARE(int(b[4151]), 9);
        QCOMPARE(int(b[4152]), 2);
        QCOMPARE(int(b[4400]), 63);
        QCOMPARE(int(b[4401]), 0);
        QCOMPARE(int(b[4402]), 100);
        // Every other byte of the stamp block is zero.
        for (int i = 4072; i < 4418; ++i) {
            if (i == 4073 || (i >= 4078 && i <= 4117) || i == 4151 || i == 4152 || i == 4400
                || i == 4402)
                continue;
            QVERIFY2(b[i] == 0, qPrintable(QStringLiteral("stamp byte %1").arg(i)));
        }
    }
}

void TestBuiltInProfiles::paddingStaysZero()
{
    const struct { int offset, bytes; } gaps[] = {
        {1921, 3}, {1933, 3}, {1969, 7}, {2015, 1}, {2045, 3}, {2061, 3}, {2077, 1},
        {2590, 2}, {3895, 1}, {3901, 3}, {3964, 108}, {4418, 38}};
    const struct { int offset, bytes; } blockGaps[] = {
        {89, 3}, {157, 3}, {175, 1}, {181, 3}, {225, 3}, {263, 1}, {276, 4}, {316, 4}};
    for (const tagSCAN_SHORTCUT_MENU &r : builtIns()) {
        const unsigned char *b = bytesOf(r);
        for (const auto &g : gaps)
            for (int i = 0; i < g.bytes; ++i)
                QCOMPARE(int(b[g.offset + i]), 0);
        for (int block = 0; block < 4; ++block)
            for (const auto &g : blockGaps)
                for (int i = 0; i < g.bytes; ++i)
                    QCOMPARE(int(b[2608 + 320 * block + g.offset + i]), 0);
        // Text arrays are zero past their text.
        QVERIFY(r.name[scanText(r.name).size()].isNull());
        QVERIFY(r.iconFile[511].isNull());
    }
}

void TestBuiltInProfiles::liveAndDefaultListsAgree()
{
    ScanShortcutMenu store;
    store.loadDefaultScanShortcut();
    QCOMPARE(store.getScanShortcutCount(), 6);
    QVERIFY(!store.defaultIsChanged());

    // Two builds give identical bytes, padding included.
    const QList<tagSCAN_SHORTCUT_MENU> a = builtIns();
    const QList<tagSCAN_SHORTCUT_MENU> b = builtIns();
    for (int i = 0; i < 6; ++i)
        QVERIFY(scanShortcutEquals(a.at(i), b.at(i)));
}

void TestBuiltInProfiles::loadAppendsWithoutClearing()
{
    ScanShortcutMenu store;
    store.loadDefaultScanShortcut();
    store.loadDefaultScanShortcut();
    QCOMPARE(store.getScanShortcutCount(), 12);
    tagSCAN_SHORTCUT_MENU r;
    QVERIFY(store.getScanShortcutItem(6, r));
    QCOMPARE(scanText(r.id), QStringLiteral("{f9a5ceee-7d8f-460e-bfa9-0f9af28274b2}"));
}

QTEST_GUILESS_MAIN(TestBuiltInProfiles)
#include "tst_builtinprofiles.moc"

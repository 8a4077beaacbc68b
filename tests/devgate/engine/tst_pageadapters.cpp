#include "pagefilewriter.h"
#include "records.h"
#include "scanpaperlog.h"
#include "scanshortcut.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// The scan job hands its device header, window record and profile over as
// they are; these check that the right fields arrive.
class TestPageAdapters : public QObject
{
    Q_OBJECT
private slots:
    void headerFromDeviceHeader()
    {
        tagREQUEST_HEADER device;
        device.CameraType = 1;
        device.ImageFormat = 2;
        device.ImageResolutionX = 300;
        device.ImageResolutionY = 600;
        device.ImageWidth = 10200;
        device.ImageHeight = 13200;
        device.CompressionMode = 2;
        device.Multifeed = 1;
        const PageHeader page = PageFileWriter::headerFrom(device);
        QCOMPARE(page.side, 1);
        QCOMPARE(page.imageFormat, 2);
        QCOMPARE(page.pixelWidth(), 2550);
        QCOMPARE(page.pixelHeight(), 6600);
        QCOMPARE(page.compressionMode, 2);
        QVERIFY(page.multifeed);
    }

    void rulesFromProfile()
    {
        tagSCAN_SHORTCUT_MENU profile;
        zeroScanShortcut(profile);
        profile.countOnly = true;
        profile.sideStream = SideColorGrayFront;
        profile.multifeedResponse = MultifeedInteractive;
        profile.combineType = CombineFour;
        profile.sideSettings[0].colorMode = ColorModeColor;
        profile.sideSettings[0].colorDropout = EcdoEnumFlag(128);
        PageRules rules = PageFileWriter::rulesFrom(profile);
        QVERIFY(rules.countOnly);
        QCOMPARE(rules.sideStream, 9);
        QCOMPARE(rules.multifeedResponse, 8);
        QCOMPARE(rules.combineType, 3);
        QVERIFY(rules.removeBackground);
        // Only the first block decides background removal.
        profile.sideSettings[0].colorMode = ColorModeGray;
        profile.sideSettings[1].colorMode = ColorModeColor;
        profile.sideSettings[1].colorDropout = EcdoEnumFlag(128);
        QVERIFY(!PageFileWriter::rulesFrom(profile).removeBackground);
    }

    void logFromWindowAndProfile()
    {
        tagWINDOW_ADD window;
        window.ImageFormat = 1;
        window.ImageResolutionX = 240;
        tagSCAN_SHORTCUT_MENU profile;
        zeroScanShortcut(profile);
        profile.inputDocument = InputDocumentBoth;
        profile.sideSettings[0].documentCropping = CroppingPhoto;
        profile.sideSettings[0].imageCropping = CroppingDetect;
        const ScanLogSettings settings = ScanPaperLog::settingsFrom(&window, &profile);
        QCOMPARE(settings.imageFormat, 1);
        QCOMPARE(settings.resolution, 240);
        QCOMPARE(settings.inputDocument, 2);
        QCOMPARE(settings.documentCropping, 4);
        QCOMPARE(settings.imageCropping, 2);

        QTemporaryDir dir;
        ScanPaperLog log;
        QVERIFY(log.setLog(&window, &profile, 0, 2, dir.filePath("n.ini"), dir.filePath("l.txt"),
                           dir.path()));
        const QString record = log.recordText();
        QVERIFY(record.contains(QString::fromUtf8(" 解析度：240 dpi\n")));
        QVERIFY(record.contains(QString::fromUtf8(" 色彩模式：灰阶 (8位)\n")));
        QVERIFY(record.contains(QString::fromUtf8("扫描页数：4\n")));
        QVERIFY(record.contains(QString::fromUtf8(" 扫描区域：自动检测\n")));

        // No window was sent: a zeroed one stands in.
        const ScanLogSettings none = ScanPaperLog::settingsFrom(nullptr, &profile);
        QCOMPARE(none.imageFormat, 0);
        QCOMPARE(none.resolution, 0);
    }
};

QTEST_MAIN(TestPageAdapters)
#include "tst_pageadapters.moc"

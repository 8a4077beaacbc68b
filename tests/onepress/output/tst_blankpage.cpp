// Blank-page detection: the histogram rules on synthetic pages, and real
// pages read from files (a Group 4 TIFF through Qt's TIFF plugin).

#include "checkblankpage.h"
#include "outputtestutil.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QtTest>

class TestBlankPage : public QObject
{
    Q_OBJECT
private:
    // A white grey page with `count` pixels of each listed grey value.
    static QImage greyPage(const QList<int> &values, int count = 400)
    {
        QImage image(200, 200, QImage::Format_Grayscale8);
        image.fill(255);
        int n = 0;
        for (int v : values)
            for (int i = 0; i < count; ++i, ++n)
                image.scanLine(n / 200)[n % 200] = static_cast<uchar>(v);
        return image;
    }
    // A 1-bit page of 16 x 16 blocks, each with `zeros` pixels of bit 0.
    static QImage bitonal(int zeros)
    {
        QImage image(256, 256, QImage::Format_Mono);
        image.fill(1);
        for (int by = 0; by < 16; ++by)
            for (int bx = 0; bx < 16; ++bx)
                for (int i = 0; i < zeros; ++i)
                    image.setPixel(bx * 16 + i % 16, by * 16 + i / 16, 0);
        return image;
    }
    static bool bwBlank(const QImage &mono, int sensitivity)
    {
        QImage grey;
        if (!CheckBlankPage::bwToGray(mono, grey))
            return false;
        return CheckBlankPage::IsBlankPageForBW(grey, sensitivity);
    }

private slots:
    void greyHistogram_data()
    {
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<int>("sensitivity");
        QTest::addColumn<bool>("blank");
        QTest::newRow("all white") << QList<int>{} << 0 << true;
        QTest::newRow("only band 0") << QList<int>{0, 1, 2} << 0 << true;
        QTest::newRow("band 0 and one more") << QList<int>{1, 30} << 0 << false;
        QTest::newRow("band 84 alone") << QList<int>{85} << 0 << true;
        QTest::newRow("band 84 and band 0") << QList<int>{0, 85} << 0 << true;
        QTest::newRow("above the binned range") << QList<int>{100, 180} << 0 << true;
        QTest::newRow("sensitivity 5 is 0") << QList<int>{1, 30} << 5 << false;
        QTest::newRow("-1: bands above 84 take no part") << QList<int>{100} << -1 << true;
        QTest::newRow("-1 bins 2 tones wide") << QList<int>{0, 2} << -1 << false;
        QTest::newRow("1 bins only up to 63") << QList<int>{70} << 1 << true;
        QTest::newRow("text-like dark tones") << QList<int>{10, 20, 40, 60} << 0 << false;
    }
    void greyHistogram()
    {
        QFETCH(QList<int>, values);
        QFETCH(int, sensitivity);
        const QImage page = greyPage(values);
        QTEST(CheckBlankPage::IsBlankPageForColorGray(page, sensitivity), "blank");
        // The same page in colour reads the same.
        QTEST(CheckBlankPage::IsBlankPageForColorGray(page.convertToFormat(QImage::Format_RGB32),
                                                      sensitivity),
              "blank");
    }

    void bitonalHistogram_data()
    {
        QTest::addColumn<int>("zeros");
        QTest::addColumn<int>("sensitivity");
        QTest::addColumn<bool>("blank");
        QTest::newRow("no 0 bit") << 0 << 0 << true;
        QTest::newRow("every block full") << 256 << 0 << true;
        QTest::newRow("every block 10") << 10 << 0 << false;
        QTest::newRow("every block 10, coarse") << 10 << 1 << false;
    }
    void bitonalHistogram()
    {
        QFETCH(int, zeros);
        QFETCH(int, sensitivity);
        QTEST(bwBlank(bitonal(zeros), sensitivity), "blank");
    }

    void bitonalReduction()
    {
        // 256 blocks of one value: counter / 16 >= 1 (two turns); a quantum
        // of 32 over 16 blocks reads as nothing.
        QImage small(64, 64, QImage::Format_Mono);
        small.fill(1);
        for (int y = 0; y < 64; y += 16)
            for (int x = 0; x < 64; x += 16)
                small.setPixel(x, y, 0);
        QVERIFY(!bwBlank(small, -1)); // 16 blocks / 2
        QVERIFY(bwBlank(small, 1));   // 16 blocks / 32 = 0

        // An unfinished byte at a row end is carried into the next row's
        // first block of the band; the band's last row's carry is lost.
        QImage odd(24, 17, QImage::Format_Mono);
        odd.fill(1);
        for (int y = 0; y < 17; ++y)
            for (int x = 16; x < 24; ++x)
                odd.setPixel(x, y, 0);
        QImage grey;
        QVERIFY(CheckBlankPage::bwToGray(odd, grey));
        QCOMPARE(grey.size(), QSize(1, 1));
        QCOMPARE(int(grey.constScanLine(0)[0]), 15 * 8);
        QCOMPARE(grey.color(200), qRgba(200, 200, 200, 255));
        QVERIFY(!CheckBlankPage::bwToGray(QImage(), grey));
        QVERIFY(!CheckBlankPage::bwToGray(QImage(8, 8, QImage::Format_RGB32), grey));
    }

    void pagesFromFiles()
    {
        QVERIFY2(QImageReader::supportedImageFormats().contains("tiff"),
                 "Qt's TIFF plugin (qt5-image-formats-plugins) is missing");
        QTemporaryDir dir;
        QImage white(2480, 3508, QImage::Format_RGB32);
        white.fill(Qt::white);
        QImage specks = white;
        // Specks near the border lie in the margin and are cut away at 300 dpi.
        for (int i = 0; i < 30; ++i)
            specks.setPixel(5 + i, 5, qRgb(0, 0, 0));
        const QString g4White = dir.path() + "/white.tif", g4Text = dir.path() + "/text.tif";
        QVERIFY(outtest::writeG4Tiff(g4White, specks));
        QVERIFY(outtest::writeG4Tiff(g4Text, outtest::drawPage(2480, 3508)));
        const QString jpegText =
            outtest::writePage(dir.path() + "/text.jpg", outtest::drawPage(2480, 3508));
        tagSCAN_IMAGE_FILE page = outtest::page(g4White, 2480, 3508, 300);
        QVERIFY(CheckBlankPage::checkImageBlankPage(page, 0));
        page.fileName = g4Text;
        QVERIFY(!CheckBlankPage::checkImageBlankPage(page, 0));
        page.fileName = jpegText;
        QVERIFY(!CheckBlankPage::checkImageBlankPage(page, 0));
        // A page that cannot be loaded stays (not blank).
        page.fileName = dir.path() + "/missing.tif";
        QVERIFY(!CheckBlankPage::checkImageBlankPage(page, 1));
        // Resolution 0: no margin, so the specks count.
        page.fileName = g4White;
        page.resolution = 0;
        QImage speckled(400, 400, QImage::Format_Grayscale8);
        speckled.fill(255);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                speckled.scanLine(y)[x] = static_cast<uchar>(30 + (x % 3) * 25);
        const QString speckFile = dir.path() + "/speck.png";
        QVERIFY(speckled.save(speckFile));
        tagSCAN_IMAGE_FILE noMargin = outtest::page(speckFile, 400, 400, 0);
        QVERIFY(!CheckBlankPage::checkImageBlankPage(noMargin, 0));
        noMargin.resolution = 300; // margin 45 px cuts the corner away
        QVERIFY(CheckBlankPage::checkImageBlankPage(noMargin, 0));
    }
};

QTEST_GUILESS_MAIN(TestBlankPage)
#include "tst_blankpage.moc"

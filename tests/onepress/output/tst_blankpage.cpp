// Blank-page detection: the histogram rules on synthetic pages, and real
// pages read from files (a Group 4 TIFF through Qt's TIFF plugin).

#include "checkblankpage.h"
#include "outputtestutil.h"

#include <QImageReader>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The histogram lines the colour rule writes to the trace, caught.
QVector<QVector<quint64>> g_histograms; // one a weighed page, in order

void catchHistogram(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    static const QRegularExpression line(QStringLiteral("^Blank check histogram (\\d+): (\\d+)$"));
    const QRegularExpressionMatch m = line.match(msg);
    if (!m.hasMatch())
        return;
    const int k = m.captured(1).toInt();
    if (k == 0)
        g_histograms.append(QVector<quint64>(256, 0));
    if (!g_histograms.isEmpty() && k < 256)
        g_histograms.last()[k] = m.captured(2).toULongLong();
}

// Catches the histograms while it lives; the handler before is back even when
// a check fails midway.
struct HistogramCatcher
{
    QtMessageHandler previous = qInstallMessageHandler(catchHistogram);
    ~HistogramCatcher() { qInstallMessageHandler(previous); }
};

// The colour rule's histogram computed the plain way, pixel by pixel over a
// copy of the inner part of the page: what the fast path must give.
QVector<quint64> plainHistogram(QImage image, int margin, int sensitivity)
{
    if (margin > 0)
        image = image.copy(margin, margin, image.width() - 2 * margin, image.height() - 2 * margin);
    if (image.format() != QImage::Format_Grayscale8)
        image = image.convertToFormat(QImage::Format_RGB32);
    const int g = (sensitivity < -1 || sensitivity > 1 ? 0 : sensitivity) + 3;
    QVector<quint64> c(256, 0);
    for (int y = 0; y < image.height(); ++y) {
        const uchar *p = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            const int v =
                image.depth() == 8
                    ? p[x]
                    : static_cast<int>(0.11 * p[4 * x] + 0.59 * p[4 * x + 1] + 0.3 * p[4 * x + 2]);
            if ((v / g) * g < 256 / g)
                ++c[(v / g) * g];
        }
    }
    return c;
}

// The 16 x 16 reduction bit by bit over a copy of the part.
QImage plainReduction(const QImage &page, const QRect &part)
{
    const QImage src = page.copy(part);
    QImage out(src.width() / 16, src.height() / 16, QImage::Format_Indexed8);
    out.fill(0);
    for (int band = 0; band + 15 < src.height(); band += 16) {
        int count = 0;
        for (int row = band; row < band + 16; ++row) {
            for (int x = 0; x < src.width() / 8 * 8; ++x) {
                const uchar byte = src.constScanLine(row)[x / 8];
                count += (byte >> (x % 8)) & 1 ? 0 : 1;
                if ((x + 1) % 16 == 0) {
                    uchar &d = out.scanLine(band / 16)[x / 16];
                    d = static_cast<uchar>(qMin(255, d + count));
                    count = 0;
                }
            }
        }
    }
    return out;
}

QImage noisePage(int w, int h, QImage::Format format, quint32 seed, int darkShare)
{
    QRandomGenerator random(seed);
    QImage image(w, h, format);
    for (int y = 0; y < h; ++y) {
        uchar *line = image.scanLine(y);
        for (int i = 0; i < image.bytesPerLine(); ++i) {
            // Mostly paper, some ink of every tone.
            const bool ink = static_cast<int>(random.bounded(100)) < darkShare;
            line[i] = static_cast<uchar>(ink ? random.bounded(256) : 200 + random.bounded(56));
        }
    }
    return image;
}

} // namespace

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

    // Every colour the rule can meet, binned as the plain computation bins
    // it: the integer pass-over of light pixels never drops one it counts.
    void everyColourBinnedAsThePlainRule()
    {
        QImage all(4096, 4096, QImage::Format_RGB32);
        for (int y = 0; y < 4096; ++y) {
            QRgb *line = reinterpret_cast<QRgb *>(all.scanLine(y));
            for (int x = 0; x < 4096; ++x)
                line[x] = 0xff000000u | static_cast<quint32>(y * 4096 + x);
        }
        const HistogramCatcher catcher;
        for (int sensitivity : {-1, 0, 1}) {
            g_histograms.clear();
            CheckBlankPage::IsBlankPageForColorGray(all, sensitivity);
            QCOMPARE(g_histograms.size(), 1);
            QCOMPARE(g_histograms.at(0), plainHistogram(all, 0, sensitivity));
        }
    }

    // Pages read from files give what the plain computation over a copy of
    // their inner part gives: the same histogram for colour and grey pages,
    // the same reduction for 1-bit parts at every bit offset, and the same
    // verdict.
    void realPagesWeighedAsBefore()
    {
        QTemporaryDir dir;
        struct Kind
        {
            QString name;
            QImage image;
        };
        const QList<Kind> kinds{
            {"text.jpg", outtest::drawPage(1240, 1754)},
            {"noise.jpg", noisePage(1001, 1403, QImage::Format_RGB32, 7, 20)},
            // The same size again, other pixels: nothing of the page before
            // may be left in what is weighed.
            {"noise2.jpg", noisePage(1001, 1403, QImage::Format_RGB32, 10, 60)},
            {"dark.jpg", noisePage(640, 480, QImage::Format_RGB32, 8, 90)},
            {"grey.jpg", noisePage(777, 555, QImage::Format_Grayscale8, 9, 30)},
            {"indexed.png", outtest::drawPage(600, 800).convertToFormat(QImage::Format_Indexed8)},
        };
        QList<tagSCAN_IMAGE_FILE> files;
        QList<QImage> decoded;
        for (const Kind &kind : kinds) {
            files << outtest::page(outtest::writePage(dir.path() + "/" + kind.name, kind.image), 0,
                                   0);
            decoded << QImage(files.last().fileName);
            QVERIFY2(!decoded.last().isNull(), qPrintable(kind.name));
        }
        // Each page on its own, then all of them marked in one go, where each
        // is decoded into the memory of the page before.
        const HistogramCatcher catcher;
        for (int dpi : {0, 150, 300}) {
            for (int sensitivity : {-1, 0, 1}) {
                QVector<bool> one;
                g_histograms.clear();
                for (tagSCAN_IMAGE_FILE page : files) {
                    page.resolution = dpi;
                    one << CheckBlankPage::checkImageBlankPage(page, sensitivity);
                }
                const QVector<QVector<quint64>> alone = g_histograms;
                g_histograms.clear();
                QList<tagSCAN_IMAGE_FILE> batch = files;
                for (tagSCAN_IMAGE_FILE &page : batch)
                    page.resolution = dpi;
                QCOMPARE(CheckBlankPage::markBlankPages(batch, sensitivity), one);
                QCOMPARE(alone.size(), kinds.size());
                QCOMPARE(g_histograms.size(), kinds.size());
                for (int i = 0; i < kinds.size(); ++i) {
                    const QString what = QStringLiteral("%1 at %2 dpi, sensitivity %3")
                                             .arg(kinds.at(i).name)
                                             .arg(dpi)
                                             .arg(sensitivity);
                    const auto plain =
                        plainHistogram(decoded.at(i), static_cast<int>(dpi / 2 * 0.3), sensitivity);
                    QVERIFY2(alone.at(i) == plain, qPrintable(what));
                    QVERIFY2(g_histograms.at(i) == plain, qPrintable(what + " in a batch"));
                }
            }
        }

        // 1-bit parts in either bit order, at every offset inside a byte,
        // with odd widths (a byte carried into the next row).
        for (QImage::Format format : {QImage::Format_Mono, QImage::Format_MonoLSB}) {
            const QImage bits = noisePage(333, 250, format, 11, 50);
            for (int m = 0; m < 18; ++m) {
                const QRect part(m, m, bits.width() - 2 * m, bits.height() - 2 * m);
                QImage grey;
                QVERIFY(CheckBlankPage::bwToGray(bits, part, grey));
                const QImage plain = plainReduction(bits, part);
                QCOMPARE(grey.size(), plain.size());
                for (int y = 0; y < grey.height(); ++y)
                    QVERIFY2(memcmp(grey.constScanLine(y), plain.constScanLine(y),
                                    static_cast<size_t>(grey.width())) == 0,
                             qPrintable(QStringLiteral("format %1, margin %2, band %3")
                                            .arg(format)
                                            .arg(m)
                                            .arg(y)));
            }
            QImage grey;
            QVERIFY(!CheckBlankPage::bwToGray(bits, QRect(1, 1, bits.width(), 8), grey));
        }

        // A real Group 4 page: the verdict on the file matches the plain
        // reduction of a copy of its inner part, for both kinds of page.
        const QString g4 = dir.path() + "/lines.tif";
        QVERIFY(outtest::writeG4Tiff(g4, outtest::drawPage(1240, 1754)));
        const QImage mono(g4);
        QCOMPARE(mono.depth(), 1);
        for (int sensitivity : {-1, 0, 1}) {
            tagSCAN_IMAGE_FILE page = outtest::page(g4, 0, 0, 300);
            const QRect part(45, 45, mono.width() - 90, mono.height() - 90);
            QCOMPARE(CheckBlankPage::checkImageBlankPage(page, sensitivity),
                     CheckBlankPage::IsBlankPageForBW(plainReduction(mono, part), sensitivity));
        }
    }

    // The margin cuts a page as a copy of its inner part would: nothing left
    // is no page, and a part of no width and no height is the whole page.
    void marginLeavingNothing_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("weighed");
        QTest::newRow("wider than both margins") << QSize(91, 91) << true;
        QTest::newRow("exactly both margins") << QSize(90, 90) << true;
        QTest::newRow("no width left") << QSize(90, 200) << false;
        QTest::newRow("less than nothing") << QSize(80, 80) << false;
    }
    void marginLeavingNothing()
    {
        QFETCH(QSize, size);
        QTemporaryDir dir;
        const QString file = dir.path() + "/small.png";
        QImage dark(size, QImage::Format_Grayscale8);
        dark.fill(10);
        QVERIFY(dark.save(file));
        tagSCAN_IMAGE_FILE page = outtest::page(file, 0, 0, 300);
        g_histograms.clear();
        const HistogramCatcher catcher;
        CheckBlankPage::checkImageBlankPage(page, 0);
        QFETCH(bool, weighed);
        QCOMPARE(g_histograms.size(), weighed ? 1 : 0);
        // The plain computation cuts with QImage::copy itself.
        if (weighed)
            QCOMPARE(g_histograms.at(0), plainHistogram(dark, 45, 0));
    }
};

QTEST_GUILESS_MAIN(TestBlankPage)
#include "tst_blankpage.moc"

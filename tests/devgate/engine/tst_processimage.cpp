#include "pagefile.h"
#include "processimage.h"

#include <QFileInfo>
#include <QImage>
#include <QtTest>

namespace {

const QRgb kMarker = qRgb(0, 0, 0);

// A page file of one colour with a 10 x 10 black marker in its top-left
// corner, so turns show on the merged sheet.
QString makePage(const QTemporaryDir &dir, const QString &name, int width, int height, QRgb colour,
                 QImage::Format format = QImage::Format_RGB32)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            image.setPixel(x, y, kMarker);
    const QString file = dir.filePath(name);
    image.convertToFormat(format).save(file);
    return file;
}

QRgb at(const QImage &image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

QRgb rgb(int r, int g, int b)
{
    return qRgb(r, g, b) & 0xFFFFFF;
}

const QRgb kWhite = 0xFFFFFF;

} // namespace

class TestProcessImage : public QObject
{
    Q_OBJECT

    // Collects pages of the given sizes (colour i*40 in red) and merges them.
    QImage merge(ProcessImage &process, const QTemporaryDir &dir, const QList<QSize> &sizes,
                 int dpi, bool *ok = nullptr)
    {
        for (int i = 0; i < sizes.size(); ++i) {
            const QString file = makePage(dir, QString("page%1.png").arg(i), sizes[i].width(),
                                          sizes[i].height(), qRgb(40 * (i + 1), 100, 50));
            process.addImageFile(file, 0, {}, sizes[i].width(), sizes[i].height(), dpi, 2);
        }
        const QString output = dir.filePath("merged.png");
        const bool merged = process.MergeBmpFile(output);
        if (ok)
            *ok = merged;
        return QImage(output);
    }
    static QRgb pageColour(int i) { return rgb(40 * (i + 1), 100, 50); }

private slots:
    void groupSizes()
    {
        QCOMPARE(ProcessImage::groupSize(2), 2);
        QCOMPARE(ProcessImage::groupSize(3), 4);
        QCOMPARE(ProcessImage::groupSize(4), 9);
        QCOMPARE(ProcessImage::groupSize(1), 0);
        QCOMPARE(ProcessImage::groupSize(-2), 0);
    }

    void actualSizeTwoPortraitSideBySide()
    {
        QTemporaryDir dir;
        ProcessImage process;
        process.setParameters(true, CombineScalingA4, CombineTwo);
        bool ok = false;
        const QImage sheet = merge(process, dir, {QSize(100, 150), QSize(80, 140)}, 100, &ok);
        QVERIFY(ok);
        QCOMPARE(sheet.size(), QSize(180, 150));
        QCOMPARE(QSize(process.mergeWidth(), process.mergeHeight()), QSize(180, 150));
        QCOMPARE(sheet.dotsPerMeterX(), PageFile::dotsPerMeter(100));
        QCOMPARE(at(sheet, 50, 75), pageColour(0));
        QCOMPARE(at(sheet, 100, 0), rgb(0, 0, 0)); // second page starts where the first ends
        QCOMPARE(at(sheet, 140, 70), pageColour(1));
        QCOMPARE(at(sheet, 140, 145), kWhite);
        // The sources are gone, the sheet stays.
        QCOMPARE(process.getFileListCount(), 0);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"merged.png"});
    }

    void actualSizeTwoLandscapeStacked()
    {
        QTemporaryDir dir;
        ProcessImage process;
        process.setParameters(true, CombineScalingA4, CombineTwo);
        const QImage sheet = merge(process, dir, {QSize(150, 100), QSize(140, 80)}, 100);
        QCOMPARE(sheet.size(), QSize(150, 180));
        QCOMPARE(at(sheet, 75, 50), pageColour(0));
        QCOMPARE(at(sheet, 5, 105), rgb(0, 0, 0));
        QCOMPARE(at(sheet, 70, 150), pageColour(1));
        QCOMPARE(at(sheet, 145, 150), kWhite);
    }

    void actualSizeLonePageKeepsSecondPlaceFree()
    {
        QTemporaryDir dir;
        ProcessImage portrait;
        portrait.setParameters(true, CombineScalingA4, CombineTwo);
        QImage sheet = merge(portrait, dir, {QSize(100, 150)}, 100);
        QCOMPARE(sheet.size(), QSize(200, 150));
        QCOMPARE(at(sheet, 50, 75), pageColour(0));
        QCOMPARE(at(sheet, 150, 75), kWhite);

        QTemporaryDir dir2;
        ProcessImage landscape;
        landscape.setParameters(true, CombineScalingA4, CombineTwo);
        sheet = merge(landscape, dir2, {QSize(150, 100)}, 100);
        QCOMPARE(sheet.size(), QSize(150, 200));
        QCOMPARE(at(sheet, 75, 150), kWhite);
    }

    void actualSizeFourTurnsOddPage()
    {
        QTemporaryDir dir;
        ProcessImage process;
        process.setParameters(true, CombineScalingA4, CombineFour);
        const QImage sheet = merge(
            process, dir, {QSize(100, 150), QSize(150, 100), QSize(90, 140), QSize(90, 140)}, 100);
        // Cells: the widest short side by the longest long side.
        QCOMPARE(sheet.size(), QSize(200, 300));
        // The landscape page was turned by 90 degrees: its corner marker is
        // now top right of its cell.
        QCOMPARE(at(sheet, 195, 5), rgb(0, 0, 0));
        QCOMPARE(at(sheet, 105, 5), pageColour(1));
        QCOMPARE(at(sheet, 150, 140), pageColour(1));
        QCOMPARE(at(sheet, 5, 155), rgb(0, 0, 0));   // third page, row 2
        QCOMPARE(at(sheet, 50, 200), pageColour(2));
        QCOMPARE(at(sheet, 95, 200), kWhite);         // narrower than its cell
        QCOMPARE(at(sheet, 150, 200), pageColour(3));
    }

    void actualSizeNineWithThreePages()
    {
        QTemporaryDir dir;
        ProcessImage process;
        process.setParameters(true, CombineScalingA3, CombineNine);
        const QImage sheet =
            merge(process, dir, {QSize(60, 80), QSize(60, 80), QSize(60, 80)}, 150);
        QCOMPARE(sheet.size(), QSize(180, 240));
        for (int k = 0; k < 3; ++k)
            QCOMPARE(at(sheet, k * 60 + 30, 40), pageColour(k));
        for (int cell = 3; cell < 9; ++cell)
            QCOMPARE(at(sheet, (cell % 3) * 60 + 30, (cell / 3) * 80 + 40), kWhite);
    }

    void fixedSheetA4TwoPortraitPages()
    {
        QTemporaryDir dir;
        ProcessImage process;
        process.setParameters(false, CombineScalingA4, CombineTwo);
        const QImage sheet = merge(process, dir, {QSize(248, 350), QSize(248, 350)}, 300);
        // Landscape A4 at 300 dpi, two cells of 1753 x 2480.
        QCOMPARE(sheet.size(), QSize(3507, 2480));
        QCOMPARE(sheet.dotsPerMeterX(), 11811);
        QCOMPARE(at(sheet, 1000, 1000), pageColour(0));
        QCOMPARE(at(sheet, 1753 + 1000, 1000), pageColour(1));
        QCOMPARE(at(sheet, 1753 + 5, 5), rgb(0, 0, 0)); // scaled marker of page 2
        // Scaled with its aspect kept: 1753 x 2473, white below.
        QCOMPARE(at(sheet, 1000, 2476), kWhite);
        QCOMPARE(at(sheet, 3506, 1000), kWhite);
        QCOMPARE(process.getFileListCount(), 0);
    }

    void fixedSheetA4FourPortraitPages()
    {
        QTemporaryDir dir;
        ProcessImage process;
        process.setParameters(false, CombineScalingA4, CombineFour);
        const QImage sheet =
            merge(process, dir, {QSize(124, 175), QSize(124, 175), QSize(175, 124)}, 300);
        QCOMPARE(sheet.size(), QSize(2480, 3507)); // portrait, cells of 1240 x 1753
        QCOMPARE(at(sheet, 600, 800), pageColour(0));
        QCOMPARE(at(sheet, 1240 + 600, 800), pageColour(1));
        // The landscape third page was turned to portrait before scaling.
        QCOMPARE(at(sheet, 600, 1753 + 800), pageColour(2));
        QCOMPARE(at(sheet, 1240 + 600, 1753 + 800), kWhite);
    }

    void fixedSheetA3NineLandscapePages()
    {
        QTemporaryDir dir;
        ProcessImage process;
        process.setParameters(false, CombineScalingA3, CombineNine);
        QList<QSize> sizes;
        for (int i = 0; i < 5; ++i)
            sizes << QSize(150, 100);
        const QImage sheet = merge(process, dir, sizes, 100);
        // Landscape A3 at 100 dpi: 1653 x 1169, cells of 551 x 389.
        QCOMPARE(sheet.size(), QSize(1653, 1169));
        QCOMPARE(at(sheet, 551 + 300, 389 + 200), pageColour(4));
        QCOMPARE(at(sheet, 551 + 2, 389 + 2), rgb(0, 0, 0));
        QCOMPARE(at(sheet, 2 * 551 + 300, 389 + 200), kWhite);
    }

    void fixedSheetTwoLandscapePagesOnPortraitSheet()
    {
        QTemporaryDir dir;
        ProcessImage process;
        process.setParameters(false, CombineScalingA4, CombineTwo);
        const QImage sheet = merge(process, dir, {QSize(300, 200), QSize(300, 200)}, 200);
        // Portrait A4 at 200 dpi: 1653 x 2338, cells of 1653 x 1169.
        QCOMPARE(sheet.size(), QSize(1653, 2338));
        QCOMPARE(at(sheet, 800, 500), pageColour(0));
        QCOMPARE(at(sheet, 800, 1169 + 500), pageColour(1));
        QCOMPARE(at(sheet, 3, 1169 + 3), rgb(0, 0, 0));
    }

    void mergeFailures()
    {
        QTemporaryDir dir;
        const QString a = makePage(dir, "a.png", 50, 80, qRgb(1, 2, 3));
        const QString output = dir.filePath("out.bmp");

        ProcessImage off;
        off.setParameters(true, CombineScalingA4, CombineOff);
        off.addImageFile(a, 0, {}, 50, 80, 100, 2);
        QVERIFY(!off.MergeBmpFile(output));
        QCOMPARE(off.getFileListCount(), 1);
        QVERIFY(QFileInfo::exists(a));

        // Actual size: an unreadable page keeps the group for another try.
        ProcessImage actual;
        actual.setParameters(true, CombineScalingA4, CombineTwo);
        actual.addImageFile(a, 0, {}, 50, 80, 100, 2);
        actual.addImageFile(dir.filePath("missing.png"), 0, {}, 50, 80, 100, 2);
        QVERIFY(!actual.MergeBmpFile(output));
        QCOMPARE(actual.getFileListCount(), 2);
        QVERIFY(QFileInfo::exists(a));
        QVERIFY(!QFileInfo::exists(output));

        // Fixed sheet: the same, the good page is not thrown away with the bad.
        ProcessImage fixed;
        fixed.setParameters(false, CombineScalingA4, CombineTwo);
        fixed.addImageFile(a, 0, {}, 50, 80, 100, 2);
        fixed.addImageFile(dir.filePath("missing.png"), 0, {}, 50, 80, 100, 2);
        QVERIFY(!fixed.MergeBmpFile(output));
        QCOMPARE(fixed.getFileListCount(), 2);
        QVERIFY(QFileInfo::exists(a));
        QVERIFY(!QFileInfo::exists(output));

        // A sheet that cannot be written is a failure, not a success, and
        // its pages stay.
        const QString b = makePage(dir, "b.png", 50, 80, qRgb(1, 2, 3));
        ProcessImage unwritable;
        unwritable.setParameters(true, CombineScalingA4, CombineTwo);
        unwritable.addImageFile(b, 0, {}, 50, 80, 100, 2);
        QVERIFY(!unwritable.MergeBmpFile(dir.filePath("no/such/dir/out.bmp")));
        QCOMPARE(unwritable.getFileListCount(), 1);
        QVERIFY(QFileInfo::exists(b));
        const QList<tagSCAN_IMAGE_FILE> taken = unwritable.takeImages();
        QCOMPARE(taken.size(), 1);
        QCOMPARE(taken.first().fileName, b);
        QCOMPARE(unwritable.getFileListCount(), 0);
        QVERIFY(QFileInfo::exists(b));
    }

    void removeBackgroundWhitensLightGrey()
    {
        QTemporaryDir dir;
        const int w = 200, h = 100;
        QImage page(w, h, QImage::Format_RGB32);
        page.fill(qRgb(200, 200, 200));
        for (int y = 40; y < 50; ++y) {
            for (int x = 20; x < 60; ++x)
                page.setPixel(x, y, qRgb(30, 30, 30)); // text
            for (int x = 60; x < 80; ++x)
                page.setPixel(x, y, qRgb(150, 150, 150)); // within 64 of the background
        }
        const QString file = dir.filePath("page.png");
        QVERIFY(page.save(file));
        ProcessImage process;
        QVERIFY(process.RemoveBackGround(file));
        const QImage cleaned(file);
        QCOMPARE(cleaned.size(), page.size());
        QCOMPARE(at(cleaned, 5, 5), kWhite);
        QCOMPARE(at(cleaned, 150, 45), kWhite);
        QCOMPARE(at(cleaned, 70, 45), kWhite);
        QCOMPARE(at(cleaned, 30, 45), rgb(30, 30, 30));
    }

    void removeBackgroundLeavesWhitePagesAlone()
    {
        const int w = 200, h = 100;
        QImage page(w, h, QImage::Format_RGB32);
        page.fill(Qt::white);
        for (int y = 20; y < 80; y += 3)
            for (int x = 10; x < 50; ++x)
                page.setPixel(x, y, qRgb(100, 100, 100));
        QImage copy = page.copy();
        ProcessImage process;
        QVERIFY(process.RemoveBackGround(copy.bits(), copy.bytesPerLine(), w, h, 4));
        QCOMPARE(copy, page);
    }

    void removeBackgroundKeepsDarkBandsAsText()
    {
        // The single most common row grey is a black band, but more rows lie
        // near the paper's light greys: the paper is the background.
        const int w = 100;
        const QList<int> bands = {5, 170, 180, 190};
        const QList<int> rows = {10, 8, 8, 8};
        QImage page(w, 34, QImage::Format_RGB32);
        int y = 0;
        for (int b = 0; b < bands.size(); ++b)
            for (int r = 0; r < rows[b]; ++r, ++y)
                for (int x = 0; x < w; ++x)
                    page.setPixel(x, y, qRgb(bands[b], bands[b], bands[b]));
        ProcessImage process;
        QVERIFY(process.RemoveBackGround(page.bits(), page.bytesPerLine(), w, 34, 4));
        QCOMPARE(at(page, 50, 2), rgb(5, 5, 5));
        QCOMPARE(at(page, 50, 12), kWhite);
        QCOMPARE(at(page, 50, 20), kWhite);
        QCOMPARE(at(page, 50, 30), kWhite);
    }

    void removeBackgroundRefusesPaletteAndGrey()
    {
        QTemporaryDir dir;
        for (const QString name : {"grey.png", "mono.bmp"}) {
            const QString file = makePage(dir, name, 40, 40, qRgb(200, 200, 200),
                                          name.startsWith("grey") ? QImage::Format_Grayscale8
                                                                  : QImage::Format_Mono);
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray before = f.readAll();
            f.close();
            ProcessImage process;
            QVERIFY(!process.RemoveBackGround(file));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), before);
        }
        ProcessImage process;
        QVERIFY(!process.RemoveBackGround(dir.filePath("missing.png")));
        unsigned char pixel[4] = {};
        QVERIFY(!process.RemoveBackGround(pixel, 4, 1, 1, 1));
        QVERIFY(!process.RemoveBackGround(nullptr, 4, 1, 1, 4));
    }
};

QTEST_MAIN(TestProcessImage)
#include "tst_processimage.moc"

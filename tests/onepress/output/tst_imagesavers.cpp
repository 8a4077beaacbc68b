// The image savers checked with outside readers (tiffinfo, exiftool), the
// FreeImage loader, and the watermark's pixels.

#include "generatefilename.h"
#include "outputtestutil.h"
#include "sheetimages.h"
#include "support/datarows.h"
#include "watermark.h"
#include "workerrig.h"

#include <FreeImage.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

using outtest::page;
using testsupport::row;

class TestImageSavers : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_tmp;
    QString m_out;
    QString m_jpg, m_bmp, m_g4;

    tagTASK_SHORTCUT task(int type) { return workerTask(type, m_out, "p"); }
    QString exif(const QStringList &args, const QString &file)
    {
        return outtest::run("exiftool", QStringList(args) << file).out;
    }
    // Equal pixels, or within `tolerance` per channel (two JPEG decoders).
    static bool sameImage(const QImage &a, const QImage &b, int tolerance = 0)
    {
        const QImage x = a.convertToFormat(QImage::Format_RGB32);
        const QImage y = b.convertToFormat(QImage::Format_RGB32);
        if (x.size() != y.size())
            return false;
        for (int r = 0; r < x.height(); ++r) {
            const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(r));
            const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(r));
            for (int c = 0; c < x.width(); ++c) {
                if (qAbs(qRed(p[c]) - qRed(q[c])) > tolerance ||
                    qAbs(qGreen(p[c]) - qGreen(q[c])) > tolerance ||
                    qAbs(qBlue(p[c]) - qBlue(q[c])) > tolerance)
                    return false;
            }
        }
        return true;
    }

    // Two JPEG decoders of one file: the same picture, pixels within a little.
    static bool closeImage(const QImage &a, const QImage &b)
    {
        const QImage x = a.convertToFormat(QImage::Format_RGB32);
        const QImage y = b.convertToFormat(QImage::Format_RGB32);
        if (x.size() != y.size())
            return false;
        double sum = 0;
        for (int r = 0; r < x.height(); ++r)
            for (int c = 0; c < x.width(); ++c) {
                const QRgb p = x.pixel(c, r), q = y.pixel(c, r);
                sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) +
                       qAbs(qBlue(p) - qBlue(q));
            }
        return sum / (3.0 * x.width() * x.height()) < 2.0;
    }

    // Dots per inch across and down, of every page or image the file holds.
    static QList<double> statedResolutions(const QString &file)
    {
        QList<double> dpi;
        if (file.endsWith(".pdf")) {
            const QStringList rows = outtest::run("pdfimages", {"-list", file})
                                         .out.split('\n', Qt::SkipEmptyParts)
                                         .mid(2);
            for (const QString &row : rows) {
                const QStringList f = row.simplified().split(' ');
                dpi << f.value(12).toDouble() << f.value(13).toDouble();
            }
        } else if (file.endsWith(".tif")) {
            QRegularExpression re("Resolution: ([0-9.]+), ([0-9.]+) pixels/inch");
            auto it = re.globalMatch(outtest::run("tiffinfo", {file}).out);
            while (it.hasNext()) {
                const QRegularExpressionMatch m = it.next();
                dpi << m.captured(1).toDouble() << m.captured(2).toDouble();
            }
        } else {
            // JFIF density; PNG and BMP state pixels a metre.
            const QJsonObject tags =
                QJsonDocument::fromJson(
                    outtest::run("exiftool",
                                 {"-n", "-j", "-XResolution", "-YResolution", "-PixelsPerUnitX",
                                  "-PixelsPerUnitY", "-PixelsPerMeterX", "-PixelsPerMeterY", file})
                        .out.toUtf8())
                    .array()
                    .at(0)
                    .toObject();
            for (const QString axis : {"X", "Y"}) {
                const double perMetre =
                    tags.value("PixelsPerUnit" + axis)
                        .toDouble(tags.value("PixelsPerMeter" + axis).toDouble());
                dpi << (perMetre > 0 ? perMetre * 0.0254
                                     : tags.value(axis + "Resolution").toDouble());
            }
        }
        return dpi;
    }

private slots:
    void initTestCase()
    {
        m_out = m_tmp.path() + "/out";
        m_jpg = outtest::writePage(m_tmp.path() + "/a.jpg", outtest::drawPage(620, 877));
        m_bmp = outtest::writePage(m_tmp.path() + "/b.bmp", outtest::drawPage(620, 877));
        m_g4 = m_tmp.path() + "/c.tif";
        QVERIFY(outtest::writeG4Tiff(m_g4, outtest::drawPage(620, 877)));
        GenerateFileName::setClock([] { return QDateTime(QDate(2026, 1, 5), QTime(10, 0, 0)); });
    }
    void init() { QDir(m_out).removeRecursively(); }

    void multiPageTiffPerGroup()
    {
        WorkerRig rig;
        tagTASK_SHORTCUT t = task(6);
        t.BarcodeSeparate = true;
        QList<tagSCAN_IMAGE_FILE> list{page(m_jpg, 620, 877), page(m_bmp, 620, 877, 300, "k"),
                                       page(m_g4, 620, 877), page(m_jpg, 620, 877)};
        QVERIFY(rig.run(t, list));
        QCOMPARE(rig.worker->saveResult(), 0);
        const QString one = m_out + "/p2026-01-05 (1).tif";
        const QString two = m_out + "/p2026-01-05 (2).tif";
        QCOMPARE(outtest::run("tiffinfo", {one}).out.count("TIFF Directory"), 1);
        const QString info = outtest::run("tiffinfo", {two}).out;
        QCOMPARE(info.count("TIFF Directory"), 3);
        QVERIFY2(info.contains("CCITT Group 4"), qPrintable(info));
        QVERIFY(info.contains("Resolution: 300, 300 pixels/inch"));
        QVERIFY(exif({"-IPTC:By-line", "-s3"}, two).contains("Corvan"));
        QCOMPARE(outtest::filesIn(m_out).size(), 2); // no part files
    }

    void jpegOrTiffPerPageWithIptc()
    {
        WorkerRig rig;
        tagTASK_SHORTCUT t = task(7);
        t.AddKeywordToDoc = true;
        rig.answerer.keyword = QStringLiteral("合同 2026");
        QList<tagSCAN_IMAGE_FILE> list{page(m_jpg, 620, 877), page(m_bmp, 620, 877)};
        QVERIFY(rig.run(t, list));
        const QString jpg = m_out + "/p2026-01-05 (1) 0001.jpg";
        const QString tif = m_out + "/p2026-01-05 (1) 0002.tif";
        QCOMPARE(list[0].outputFileName, jpg);
        QVERIFY(exif({"-FileType", "-s3"}, jpg).contains("JPEG"));
        QVERIFY(exif({"-FileType", "-s3"}, tif).contains("TIFF"));
        for (const QString &f : {jpg, tif}) {
            const QString program = exif({"-IPTC:OriginatingProgram", "-s3"}, f);
            QVERIFY2(program.contains("Corvan Deskscope"), qPrintable(f + ": " + program));
            QVERIFY(exif({"-charset", "iptc=UTF8", "-IPTC:Keywords", "-s3"}, f)
                        .contains(QStringLiteral("合同 2026")));
        }
    }

    void pngAndBmp()
    {
        WorkerRig rig;
        QList<tagSCAN_IMAGE_FILE> list{page(m_jpg, 620, 877), page(m_g4, 620, 877)};
        QVERIFY(rig.run(task(8), list));
        QVERIFY(exif({"-FileType", "-s3"}, m_out + "/p2026-01-05 (1) 0002.png").contains("PNG"));
        QVERIFY(rig.run(task(11), list));
        const QString bmp = m_out + "/p2026-01-05 (1) 0001.bmp";
        QVERIFY(exif({"-FileType", "-s3"}, bmp).contains("BMP"));
        QCOMPARE(exif({"-IPTC:all", "-s3"}, bmp).trimmed(), QString());
        QVERIFY(closeImage(QImage(bmp), QImage(m_jpg)));
    }

    void oneBitPageBecomesGreyJpeg()
    {
        ProcessFile worker;
        QDir().mkpath(m_out);
        const QString out = m_out + "/g4.jpg";
        QCOMPARE(worker.saveImageToFreeImage(m_g4, out, FIF_JPEG), 0);
        QCOMPARE(exif({"-ColorComponents", "-s3"}, out).trimmed(), QString("1"));
        QCOMPARE(exif({"-BitsPerSample", "-s3"}, out).trimmed(), QString("8"));
        QCOMPARE(worker.saveImageToFreeImage(m_tmp.path() + "/none.tif", out, FIF_JPEG), -52);
    }

    void watermarkedPagesNumberedPerGroup()
    {
        WorkerRig rig;
        tagTASK_SHORTCUT t = task(7);
        t.BarcodeSeparate = true;
        t.AddWatermark = true;
        t.watermark.Watermark = "CONFIDENTIAL";
        t.watermark.IncludePageNumber = true;
        t.watermark.FontName = "DejaVu Sans";
        t.watermark.FontSize = 22;
        QList<tagSCAN_IMAGE_FILE> list{page(m_jpg, 620, 877), page(m_jpg, 620, 877),
                                       page(m_g4, 620, 877, 300, "n")};
        QVERIFY(rig.run(t, list));
        QCOMPARE(rig.worker->saveResult(), 0);
        // The same page stamped 001 in both groups, 002 once.
        const QImage first(list[0].outputFileName);
        const QImage second(list[1].outputFileName);
        const QImage third(list[2].outputFileName);
        QVERIFY(!first.isNull() && !third.isNull());
        QVERIFY(!sameImage(first, QImage(m_jpg)));
        const QRect corner(520, 0, 100, 40);
        const QImage expected = [&] {
            QImage page = ProcessFile::loadPageImage(m_g4);
            Watermark::setWatermark(page, "001", QString(), "CONFIDENTIAL", QString(),
                                    "DejaVu Sans", 22);
            return page.copy(corner);
        }();
        // Text drawn on another thread may round its edges differently.
        QVERIFY(sameImage(third.copy(corner), expected, 24));
        QVERIFY(!sameImage(first.copy(corner), second.copy(corner), 24));
    }

    void freeImageLoaderKeepsOrientationAndColours_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<int>("format");
        row("24-bit bmp", "bmp", int(QImage::Format_RGB888));
        row("8-bit palette", "bmp", int(QImage::Format_Indexed8));
        row("1-bit g4", "tif", int(QImage::Format_Mono));
        row("32-bit png", "png", int(QImage::Format_ARGB32));
    }
    void freeImageLoaderKeepsOrientationAndColours()
    {
        QFETCH(QString, suffix);
        QFETCH(int, format);
        // Odd sizes: row padding.
        const QImage source = outtest::drawPage(61, 37).convertToFormat(
            static_cast<QImage::Format>(format), Qt::ThresholdDither);
        const QString file = m_tmp.path() + "/load." + suffix;
        QVERIFY(suffix == "tif" ? outtest::writeG4Tiff(file, source) : source.save(file));
        QImage loaded;
        QVERIFY(ProcessFile::loadImageFromFreeImage(file, loaded));
        QCOMPARE(loaded.size(), source.size());
        QVERIFY(sameImage(loaded, source));
        QVERIFY(!ProcessFile::loadImageFromFreeImage(m_tmp.path() + "/absent.bmp", loaded));
    }

    void imageLibrariesSpeakToTheTrace()
    {
        // FreeImage's TIFF reader asks libtiff about tags it does not know
        // on every load of a scanned page.
        QTemporaryFile err;
        QVERIFY(err.open());
        std::fflush(stderr);
        const int saved = dup(2);
        dup2(err.handle(), 2);
        QImage loaded;
        const bool ok = ProcessFile::loadImageFromFreeImage(m_g4, loaded);
        std::fflush(stderr);
        dup2(saved, 2);
        close(saved);
        QVERIFY(ok);
        QVERIFY(err.seek(0));
        QCOMPARE(QString::fromUtf8(err.readAll()).left(200), QString());
    }

    void watermarkPixels()
    {
        const QImage blankPage = outtest::whitePage(300, 400);
        QImage page = blankPage;
        Watermark::setWatermark(page, QString(), QString(), QString(), QString(), "DejaVu Sans",
                                22);
        QCOMPARE(page, blankPage); // nothing to draw

        // 50 x 50: corner texts, no rows.
        QImage small = outtest::whitePage(50, 50);
        QPainter p(&small);
        QCOMPARE(Watermark::drawWatermark(p, 50, 50, "W", QString(), "DejaVu Sans", 22), 0);
        p.end();
        QCOMPARE(small, outtest::whitePage(50, 50));
        Watermark::setWatermark(small, "001", "2026", QString(), QString(), "DejaVu Sans", 0);
        QVERIFY(small != outtest::whitePage(50, 50));

        // A text without width ends; rows alternate.
        QImage big = blankPage;
        QPainter q(&big);
        QVERIFY(Watermark::drawWatermark(q, 300, 400, QStringLiteral("\u200b"), QString(),
                                         "DejaVu Sans", 22) == 0);
        QVERIFY(Watermark::drawWatermark(q, 300, 400, "A", "B", "DejaVu Sans", 0) > 0);
        q.end();
        QVERIFY(big != blankPage);
    }

    // The corner texts and the watermark are pixels of the page, whatever
    // density its file states.
    void watermarkIgnoresThePagesDensity()
    {
        QImage reference;
        for (int dpi : {96, 200, 300, 600}) {
            QImage page = outtest::whitePage(1240, 1754);
            const int dpm = qRound(dpi / 0.0254);
            page.setDotsPerMeterX(dpm);
            page.setDotsPerMeterY(dpm);
            Watermark::setWatermark(page, "001", QString(), "CONFIDENTIAL", QString(),
                                    "DejaVu Sans", 22);
            QCOMPARE(page.dotsPerMeterX(), dpm); // the saved file keeps it
            if (reference.isNull())
                reference = page;
            QVERIFY2(sameImage(page, reference), qPrintable(QString::number(dpi)));
        }
        // "001" in 21 point (1754 / 800 x 10) at 96 dpi: digits about 20 pixels high.
        QRect ink;
        for (int y = 0; y < 100; ++y)
            for (int x = 1040; x < 1240; ++x)
                if (qGray(reference.pixel(x, y)) < 100)
                    ink |= QRect(x, y, 1, 1);
        QVERIFY2(ink.height() >= 15 && ink.height() <= 28 && ink.width() <= 60,
                 qPrintable(QStringLiteral("%1 x %2").arg(ink.width()).arg(ink.height())));
        QVERIFY2(ink.right() < 1235 && ink.right() > 1225,
                 qPrintable(QString::number(ink.right())));
    }

    // Every output type states the resolution its pages were scanned at:
    // the emulated scanner's JPEG page (its JFIF header), a Group 4 page and
    // a raw page kept as BMP, all at 200 dpi.
    void everyTypeStatesTheScansResolution_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("watermark");
        for (int type : {2, 6, 7, 8, 9, 10, 11})
            QTest::addRow("type %d", type) << type << false;
        QTest::newRow("type 7 watermarked") << 7 << true;
    }
    void everyTypeStatesTheScansResolution()
    {
        QFETCH(int, type);
        QFETCH(bool, watermark);
        emu::WindowSpec window;
        window.imageFormat = 2;
        window.resolutionX = window.resolutionY = 200;
        window.width = window.height = 2400; // 2 inch: 400 pixels
        window.compression = 2;
        const auto scanned = emu::renderPage(window, emu::Ink::Colour, 1, 0, false);
        QVERIFY(scanned);
        const QString jpeg = m_tmp.path() + "/scan200.jpg";
        QVERIFY(outtest::writeFile(jpeg,
                                   QByteArray(reinterpret_cast<const char *>(scanned->data.data()),
                                              int(scanned->data.size()))));
        const QString g4 = m_tmp.path() + "/scan200.tif";
        QVERIFY(outtest::writeG4Tiff(g4, outtest::drawPage(400, 400), 200));
        const QString bmp = outtest::writePage(m_tmp.path() + "/scan200.bmp",
                                               outtest::drawPage(400, 400), "bmp", 200);

        WorkerRig rig;
        tagTASK_SHORTCUT t = task(type);
        t.AddWatermark = watermark;
        t.watermark.Watermark = "COPY";
        t.watermark.FontName = "DejaVu Sans";
        t.watermark.FontSize = 22;
        QList<tagSCAN_IMAGE_FILE> list;
        for (const QString &file : {jpeg, g4, bmp})
            list << page(file, 400, 400, 200);
        QVERIFY(rig.run(t, list, 60000));
        QCOMPARE(rig.worker->saveResult(), 0);
        QList<double> stated;
        for (const tagSCAN_IMAGE_FILE &p : qAsConst(list)) {
            if (!p.outputFileName.isEmpty())
                stated << statedResolutions(p.outputFileName);
        }
        QVERIFY(stated.size() >= 6);
        for (double dpi : qAsConst(stated))
            QVERIFY2(qAbs(dpi - 200) < 0.5, qPrintable(QString::number(dpi)));
    }

    void rowSpace_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<double>("factor");
        QTest::newRow("15") << 15 << 5.0;
        QTest::newRow("16") << 16 << 4.0;
        QTest::newRow("20") << 20 << 4.0;
        QTest::newRow("21") << 21 << 2.5;
    }
    void rowSpace()
    {
        QFETCH(int, size);
        QTEST(Watermark::getRowSpace(size), "factor");
    }
};

QTEST_MAIN(TestImageSavers)
#include "tst_imagesavers.moc"

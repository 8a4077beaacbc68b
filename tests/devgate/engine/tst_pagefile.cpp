#include "pagefile.h"
#include "pagetestutil.h"
#include "support/processes.h"

#include <QDateTime>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QtTest>

#include <tiffio.h>

using pagetest::header;

namespace {

QDateTime stampOf(const QString &path)
{
    return QDateTime::fromString(QFileInfo(path).completeBaseName(), "yyyyMMdd_hhmmsszzz");
}

QString tiffinfo(const QString &file)
{
    const QString tool = QStandardPaths::findExecutable("tiffinfo");
    if (tool.isEmpty())
        return QString();
    return QString::fromLocal8Bit(testsupport::runTool(tool, {file}, 10000).out);
}

} // namespace

class TestPageFile : public QObject
{
    Q_OBJECT
private slots:
    void namesNeedAnExistingDirectory()
    {
        QString name = "unchanged";
        QCOMPARE(PageFile::getValidFileName(SaveFileJpeg, QString(), name), 206);
        QCOMPARE(name, QString("unchanged"));
        QTemporaryDir dir;
        QCOMPARE(PageFile::getValidFileName(SaveFileJpeg, dir.filePath("missing"), name), 206);
        QCOMPARE(name, QString("unchanged"));
    }

    void namesFollowThePattern()
    {
        QTemporaryDir dir;
        QString plain, slashed, other;
        QCOMPARE(PageFile::getValidFileName(SaveFileJpeg, dir.path(), plain), 0);
        QCOMPARE(PageFile::getValidFileName(SaveFileTiff, dir.path() + "/", slashed), 0);
        QCOMPARE(PageFile::getValidFileName(SaveFileTypeFlag(7), dir.path(), other), 0);
        const QRegularExpression pattern("^\\d{8}_\\d{9}\\.(jpg|tif|bmp)$");
        for (const QString &name : {plain, slashed, other}) {
            QCOMPARE(QFileInfo(name).absolutePath(), QDir(dir.path()).absolutePath());
            QVERIFY2(pattern.match(QFileInfo(name).fileName()).hasMatch(), qPrintable(name));
        }
        QVERIFY(plain.endsWith(".jpg"));
        QVERIFY(slashed.endsWith(".tif"));
        QVERIFY(other.endsWith(".bmp")); // unknown types fall back to bitmap
        QVERIFY(!slashed.contains("//"));
        QVERIFY(stampOf(plain).isValid());
    }

    void burstOfNamesNeverRepeats()
    {
        QTemporaryDir dir;
        QStringList names;
        for (int i = 0; i < 40; ++i) {
            QString name;
            QCOMPARE(PageFile::getValidFileName(SaveFileBitmap, dir.path(), name), 0);
            names << name;
        }
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), names.size());
        for (int i = 1; i < names.size(); ++i) {
            const qint64 step = stampOf(names.at(i - 1)).msecsTo(stampOf(names.at(i)));
            // Either the clock moved on, or the name stepped one second.
            QVERIFY2(step > 0, qPrintable(names.at(i)));
            QVERIFY2(step < 1000 || step == 1000, qPrintable(QString::number(step)));
        }
        // Forty names in well under a second: the burst ran ahead of the clock.
        QVERIFY(stampOf(names.last()) > QDateTime::currentDateTime());
    }

    void existingFilesAreSkipped()
    {
        QTemporaryDir dir;
        QString last;
        for (int i = 0; i < 3; ++i)
            QCOMPARE(PageFile::getValidFileName(SaveFileTiff, dir.path(), last), 0);
        const QDateTime next = stampOf(last).addSecs(1);
        QVERIFY(next > QDateTime::currentDateTime());
        for (int s = 0; s < 2; ++s) {
            QFile taken(dir.filePath(next.addSecs(s).toString("yyyyMMdd_hhmmsszzz") + ".tif"));
            QVERIFY(taken.open(QIODevice::WriteOnly));
        }
        QString name;
        QCOMPARE(PageFile::getValidFileName(SaveFileTiff, dir.path(), name), 0);
        QCOMPARE(stampOf(name), next.addSecs(2));
        QVERIFY(!QFileInfo::exists(name));
    }

    void pageGeometry()
    {
        PageHeader h;
        h.resolutionX = 200;
        h.resolutionY = 300;
        h.imageWidth = 10206;  // 8.505 inch
        h.imageHeight = 14031; // 11.6925 inch
        QCOMPARE(h.pixelWidth(), 1701);
        QCOMPARE(h.pixelHeight(), 3507);
        h.imageWidth = 0xFFFFFFFFu;
        h.resolutionX = 1200;
        QCOMPARE(h.pixelWidth(), 0); // beyond any image: no size
        QCOMPARE(PageFile::dotsPerMeter(200), 7874);
        QCOMPARE(PageFile::dotsPerMeter(96), 3780);
        QCOMPARE(PageFile::rowBytes(0, 1001), qint64(126));
        QCOMPARE(PageFile::rowBytes(1, 1001), qint64(1001));
        QCOMPARE(PageFile::rowBytes(2, 1001), qint64(3003));
    }

    void bitmapWriter_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("depth");
        QTest::newRow("black and white, odd width") << 0 << 1001 << 200 << 1;
        QTest::newRow("grey, unaligned rows") << 1 << 333 << 300 << 8;
        QTest::newRow("colour") << 2 << 250 << 96 << 32;
    }
    void bitmapWriter()
    {
        QFETCH(int, format);
        QFETCH(int, width);
        QFETCH(int, dpi);
        QFETCH(int, depth);
        const int height = 60;
        auto value = [](int x, int y) { return (x * 7 + y * 3) % 256; };
        const QByteArray data = pagetest::rawRows(format, width, height, value);
        QTemporaryDir dir;
        const QString file = dir.filePath("page.bmp");
        QVERIFY(PageFile::writeBitmap(header(width, height, dpi, format, 0), data, file));

        QImageReader reader(file);
        QCOMPARE(reader.format(), QByteArray("bmp"));
        const QImage image = reader.read();
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(width, height));
        QCOMPARE(image.depth(), depth);
        QCOMPARE(image.dotsPerMeterX(), PageFile::dotsPerMeter(dpi));
        QCOMPARE(image.dotsPerMeterY(), PageFile::dotsPerMeter(dpi));
        for (int y = 0; y < height; y += 7) {
            for (int x = 0; x < width; x += 13) {
                const int v = value(x, y);
                const QRgb px = image.pixel(x, y);
                if (format == 2)
                    QCOMPARE(px & 0xFFFFFF, qRgb(v, 255 - v, v / 2) & 0xFFFFFF);
                else if (format == 1)
                    QCOMPARE(qGray(px), v);
                else
                    QCOMPARE(qGray(px), v > 127 ? 255 : 0);
            }
        }
    }

    void bitmapWriterRefusesBadInput()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("page.bmp");
        const PageHeader h = header(100, 50, 100, 1, 0);
        QByteArray data(100 * 50, '\x80');
        data.chop(1);
        QVERIFY(!PageFile::writeBitmap(h, data, file));
        QVERIFY(!PageFile::writeBitmap(header(0, 50, 100, 1, 0), data, file));
        PageHeader huge = h;
        huge.imageWidth = 0xFFFFFFFFu;
        huge.resolutionX = 1200;
        QVERIFY(!PageFile::writeBitmap(huge, data, file));
        // Billions of colour pixels each way: rows times height would pass
        // the largest 64-bit size.
        PageHeader vast = h;
        vast.imageFormat = 2;
        vast.imageWidth = vast.imageHeight = 2000000000u; // pixels at 1200 dpi
        vast.resolutionX = vast.resolutionY = 1200;
        QVERIFY(!PageFile::writeBitmap(vast, data, file));
        QVERIFY(!QFileInfo::exists(file));
        // No partial page is left where the file could not be created.
        QVERIFY(!PageFile::writeBitmap(h, QByteArray(data).append('x'), dir.filePath("none/page.bmp")));
    }

    void jpegWriterKeepsDeviceBytes()
    {
        QImage source(320, 200, QImage::Format_RGB32);
        source.fill(qRgb(200, 40, 10));
        source.setDotsPerMeterX(PageFile::dotsPerMeter(150));
        source.setDotsPerMeterY(PageFile::dotsPerMeter(150));
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(source.save(&buffer, "jpg"));

        QTemporaryDir dir;
        const QString file = dir.filePath("page.jpg");
        QVERIFY(PageFile::writeJpeg(jpeg, file));
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), jpeg);
        const QImage image(file);
        QCOMPARE(image.size(), QSize(320, 200));
        QCOMPARE(qRound(image.dotsPerMeterX() * 0.0254), 150);
        QVERIFY(!image.allGray());

        QVERIFY(!PageFile::writeJpeg(QByteArray(), dir.filePath("empty.jpg")));
        QVERIFY(!QFileInfo::exists(dir.filePath("empty.jpg")));
    }

    void tiffWriterWrapsGroup4Data()
    {
        REQUIRE_TIFF_PLUGIN();
        if (QStandardPaths::findExecutable("tiffinfo").isEmpty())
            QFAIL("tiffinfo is missing: install libtiff-tools");
        const int width = 1001, height = 700;
        const QByteArray strip = pagetest::g4Strip(width, height);
        QVERIFY(!strip.isEmpty());

        QTemporaryDir dir;
        const QString file = dir.filePath("page.tif");
        PageHeader h = header(width, height, 300, 0, 1);
        QVERIFY(PageFile::writeTiffGroup4(h, strip, file));

        const QString info = tiffinfo(file);
        QVERIFY2(info.contains(QString("Image Width: %1 Image Length: %2").arg(width).arg(height)),
                 qPrintable(info));
        QVERIFY(info.contains("Resolution: 300, 300 pixels/inch"));
        QVERIFY(info.contains("Bits/Sample: 1"));
        QVERIFY(info.contains("Compression Scheme: CCITT Group 4"));
        QVERIFY(info.contains("Photometric Interpretation: min-is-white"));
        QVERIFY(info.contains(QString("Rows/Strip: %1").arg(height)));
        QVERIFY(info.contains("Software: Corvan Deskscope"));
        QVERIFY(info.contains("Make: Corvan"));
        QVERIFY(info.contains("Copyright: Corvan"));

        // Decoded by libtiff, the page is the pattern the device coded.
        TIFF *tif = TIFFOpen(QFile::encodeName(file).constData(), "r");
        QVERIFY(tif);
        std::vector<unsigned char> row(size_t(TIFFScanlineSize(tif)));
        int mismatches = 0;
        for (int y = 0; y < height; ++y) {
            QCOMPARE(TIFFReadScanline(tif, row.data(), uint32_t(y), 0), 1);
            for (int x = 0; x < width; ++x) {
                const bool black = row[size_t(x / 8)] & (0x80 >> (x % 8));
                mismatches += black != pagetest::patternBlack(x, y, width, height);
            }
        }
        TIFFClose(tif);
        QCOMPARE(mismatches, 0);

        // And Qt reads it the same way, which the merge relies on.
        const QImage image(file);
        QCOMPARE(image.size(), QSize(width, height));
        QCOMPARE(qGray(image.pixel(0, 0)), 0);
        QCOMPARE(qGray(image.pixel(width - 2, 1)), 255);
    }

    void tiffWriterRefusesWhatItCannotWrite()
    {
        QTemporaryDir dir;
        const PageHeader h = header(100, 100, 200, 0, 1);
        const QString unopenable = dir.filePath("missing/page.tif");
        QVERIFY(!PageFile::writeTiffGroup4(h, QByteArray(10, '\1'), unopenable));
        QVERIFY(!QFileInfo::exists(unopenable));
        QVERIFY(!PageFile::writeTiffGroup4(h, QByteArray(), dir.filePath("empty.tif")));
        QVERIFY(!PageFile::writeTiffGroup4(header(0, 100, 200, 0, 1), QByteArray(10, '\1'),
                                           dir.filePath("flat.tif")));
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    }

    void placeholders_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("bitmap") << int(SaveFileBitmap) << "bmp";
        QTest::newRow("jpeg") << int(SaveFileJpeg) << "jpg";
        QTest::newRow("tiff") << int(SaveFileTiff) << "tif";
    }
    void placeholders()
    {
        QFETCH(int, type);
        QFETCH(QString, suffix);
        if (type == SaveFileTiff)
            REQUIRE_TIFF_PLUGIN();
        QTemporaryDir dir;
        const QString file = dir.filePath("count." + suffix);
        QVERIFY(PageFile::copyPlaceholder(SaveFileTypeFlag(type), file));
        QVERIFY(PageFile::placeholderResource(SaveFileTypeFlag(type)).endsWith(suffix));
        const QImage image(file);
        QCOMPARE(image.size(), QSize(PageFile::PlaceholderWidth, PageFile::PlaceholderHeight));
        // Later steps rewrite pages in place: the copy must not be read-only.
        QVERIFY(QFile::permissions(file) & QFileDevice::WriteOwner);
        QVERIFY(!PageFile::copyPlaceholder(SaveFileTypeFlag(type), dir.filePath("no/x." + suffix)));
    }
};

QTEST_MAIN(TestPageFile)
#include "tst_pagefile.moc"

#include "pagefilewriter.h"
#include "pagetestutil.h"
#include "pmessage.h"
#include "processimage.h"
#include "scanpaperlog.h"

#include <QBuffer>
#include <QFileInfo>
#include <QtTest>

using pagetest::header;

namespace {

struct Given
{
    QString file;
    int side;
    QStringList barcodes;
    int width;
    int height;
    int resolution;
    int colorType;
};

QByteArray jpegBytes(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "jpg");
    return bytes;
}

QByteArray readAll(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestPageFileWriter : public QObject
{
    Q_OBJECT

    QTemporaryDir *m_temp = nullptr;
    PMessage *m_hub = nullptr;
    PageFileWriter *m_writer = nullptr;
    QList<Given> m_given;

    void start(const PageRules &rules)
    {
        m_writer->startJob(m_hub, nullptr, rules);
    }
    QStringList filesInTemp() const
    {
        return QDir(m_temp->path()).entryList(QDir::Files);
    }

private slots:
    void init()
    {
        m_temp = new QTemporaryDir;
        m_hub = new PMessage;
        m_writer = new PageFileWriter;
        m_writer->setTempDirectory(m_temp->path());
        m_given.clear();
        connect(m_hub, &PMessage::scanFileName, this,
                [this](SCAN_SHORTCUT_MENU *, QString file, schar side, QStringList barcodes,
                       int width, int height, int resolution, int colorType) {
                    m_given.append({file, side, barcodes, width, height, resolution, colorType});
                });
    }
    void cleanup()
    {
        delete m_writer;
        delete m_hub;
        delete m_temp;
    }

    void jpegPageWithGreyCopy()
    {
        PageRules rules;
        rules.sideStream = 9;
        start(rules);
        PageHeader h = header(300, 200, 200, 2, 2);
        h.side = 1;
        const QByteArray jpeg = jpegBytes(300, 200, qRgb(220, 30, 30));
        ProcessImage group;
        QVERIFY(m_writer->saveImage(h, jpeg, {"A1"}, group));

        QCOMPARE(m_given.size(), 2);
        const Given colour = m_given.at(0), grey = m_given.at(1);
        QVERIFY(colour.file.endsWith(".jpg"));
        QCOMPARE(readAll(colour.file), jpeg);
        QVERIFY(grey.file.endsWith(".jpg"));
        QVERIFY(grey.file != colour.file);
        for (const Given &g : m_given) {
            QCOMPARE(g.side, 1);
            QCOMPARE(g.barcodes, QStringList{"A1"});
            QCOMPARE(QSize(g.width, g.height), QSize(300, 200));
            QCOMPARE(g.resolution, 200);
            QCOMPARE(g.colorType, 2);
        }
        const QImage greyImage(grey.file);
        QCOMPARE(greyImage.size(), QSize(300, 200));
        QVERIFY(greyImage.isGrayscale());
        QCOMPARE(m_writer->lastHeader().side, 1);
    }

    void greyCopyOnlyFromColourBitmaps()
    {
        PageRules rules;
        rules.sideStream = 3;
        start(rules);
        ProcessImage group;
        auto value = [](int x, int) { return x % 256; };
        QVERIFY(m_writer->saveImage(header(64, 32, 100, 1, 0), pagetest::rawRows(1, 64, 32, value),
                                    {}, group));
        QCOMPARE(m_given.size(), 1);
        QVERIFY(m_writer->saveImage(header(64, 32, 100, 2, 0), pagetest::rawRows(2, 64, 32, value),
                                    {}, group));
        QCOMPARE(m_given.size(), 3);
        QVERIFY(m_given.at(2).file.endsWith(".bmp"));
        QVERIFY(QImage(m_given.at(2).file).isGrayscale());

        // Group 4 pages are black and white already.
        QVERIFY(m_writer->saveImage(header(200, 100, 200, 0, 1), pagetest::g4Strip(200, 100), {},
                                    group));
        QCOMPARE(m_given.size(), 4);
        QVERIFY(m_given.last().file.endsWith(".tif"));
    }

    void countOnlyPagesArePlaceholders()
    {
        PageRules rules;
        rules.countOnly = true;
        rules.sideStream = 9;
        rules.combineType = 2; // count-only pages are never merged
        start(rules);
        ScanPaperLog log;
        m_writer->setPaperLog(&log);
        ProcessImage group;
        PageHeader h = header(1700, 2200, 200, 2, 2);
        h.side = 1;
        QVERIFY(m_writer->saveImage(h, QByteArray(), {"B"}, group));
        QCOMPARE(m_given.size(), 1); // and no grey copy
        const Given g = m_given.first();
        QCOMPARE(QSize(g.width, g.height), QSize(600, 600));
        QCOMPARE(g.resolution, 96);
        QCOMPARE(g.colorType, 2);
        QCOMPARE(g.side, 1);
        QCOMPARE(g.barcodes, QStringList{"B"});
        QCOMPARE(group.getFileListCount(), 0);
        QCOMPARE(readAll(g.file), readAll(":/images/countonly.jpg"));
        QVERIFY(!readAll(g.file).isEmpty());

        // The log still gets the scanned size, not the placeholder's.
        QTemporaryDir logDir;
        log.setDocumentSource(QString::fromUtf8("文档进纸器"));
        log.setLog(ScanLogSettings(), 0, 1, logDir.filePath("n.ini"), logDir.filePath("l.txt"),
                   logDir.path());
        QVERIFY(log.recordText().contains(QString::fromUtf8(" 图像尺寸：1700 * 2200像素\n")));
    }

    void multifedPagesAreHeld_data()
    {
        QTest::addColumn<int>("response");
        QTest::addColumn<bool>("held");
        QTest::newRow("continue") << 0 << false;
        QTest::newRow("stop") << 1 << true;
        QTest::newRow("stop, keep image") << 2 << false;
        QTest::newRow("interactive") << 8 << true;
    }
    void multifedPagesAreHeld()
    {
        QFETCH(int, response);
        QFETCH(bool, held);
        PageRules rules;
        rules.multifeedResponse = response;
        start(rules);
        ProcessImage group;
        PageHeader h = header(80, 40, 150, 1, 0);
        h.multifeed = true;
        h.side = 1;
        QVERIFY(m_writer->saveImage(h, QByteArray(80 * 40, '\x7f'), {"C1", "C2"}, group));
        QCOMPARE(m_given.isEmpty(), held);
        QCOMPARE(m_writer->heldPages().size(), held ? 1 : 0);
        if (held) {
            const tagSCAN_IMAGE_FILE page = m_writer->heldPages().first();
            QVERIFY(QFileInfo::exists(page.fileName));
            QCOMPARE(page.barcode, QString("C1"));
            QCOMPARE(page.side, 1);
            QCOMPARE(QSize(page.width, page.height), QSize(80, 40));
            QCOMPARE(page.resolution, 150);
            QCOMPARE(page.colorType, 1);
            QVERIFY(page.outputFileName.isEmpty());
            QVERIFY(!page.blank);
        }
        // A new job starts without the previous job's held pages.
        start(rules);
        QVERIFY(m_writer->heldPages().isEmpty());
    }

    void twoUpMergesEveryPair()
    {
        PageRules rules;
        rules.combineType = 2;
        start(rules);
        ProcessImage group;
        group.setParameters(true, CombineScalingA4, CombineTwo);
        for (int i = 0; i < 4; ++i) {
            PageHeader h = header(100, 150, 100, 1, 0);
            h.side = i % 2;
            const QByteArray rows(100 * 150, char(40 * (i + 1)));
            QVERIFY(m_writer->saveImage(h, rows, {QString("p%1").arg(i + 1)}, group));
        }
        QCOMPARE(m_given.size(), 2);
        for (int k = 0; k < 2; ++k) {
            const Given g = m_given.at(k);
            QVERIFY(g.file.endsWith(".bmp"));
            QCOMPARE(QSize(g.width, g.height), QSize(200, 150));
            QCOMPARE(QImage(g.file).size(), QSize(200, 150));
            QCOMPARE(g.side, 1); // the page that completed the group
            QCOMPARE(g.resolution, 100);
            QCOMPARE(g.colorType, 1);
            QCOMPARE(g.barcodes,
                     (QStringList{QString("p%1").arg(2 * k + 1), QString("p%1").arg(2 * k + 2)}));
        }
        const QImage second(m_given.at(1).file);
        QCOMPARE(qGray(second.pixel(10, 10)), 120);
        QCOMPARE(qGray(second.pixel(150, 10)), 160);
        // Only the merged sheets are left.
        QCOMPARE(filesInTemp().size(), 2);
        QVERIFY(m_writer->groupBarcodes().isEmpty());
    }

    void group4PagesMergeIntoATiffSheet()
    {
        REQUIRE_TIFF_PLUGIN();
        PageRules rules;
        rules.combineType = 2;
        start(rules);
        ProcessImage group;
        group.setParameters(true, CombineScalingA4, CombineTwo);
        const QByteArray strip = pagetest::g4Strip(200, 300);
        QVERIFY(!strip.isEmpty());
        for (int i = 0; i < 2; ++i)
            QVERIFY(m_writer->saveImage(header(200, 300, 200, 0, 1), strip, {}, group));
        QCOMPARE(m_given.size(), 1);
        const Given sheet = m_given.first();
        QVERIFY(sheet.file.endsWith(".tif"));
        QCOMPARE(QSize(sheet.width, sheet.height), QSize(400, 300));
        QCOMPARE(sheet.colorType, 0);
        const QImage image(sheet.file);
        QCOMPARE(image.size(), QSize(400, 300));
        // Each page's frame and corner block, side by side.
        QCOMPARE(qGray(image.pixel(5, 5)), 0);
        QCOMPARE(qGray(image.pixel(205, 5)), 0);
        QCOMPARE(qGray(image.pixel(150, 100)), 255);
        QCOMPARE(qGray(image.pixel(350, 100)), 255);
    }

    void leftoverPageMergedAtTheEnd()
    {
        PageRules rules;
        rules.combineType = 2;
        start(rules);
        ProcessImage group;
        group.setParameters(true, CombineScalingA4, CombineTwo);
        QVERIFY(!m_writer->giveOutMergedGroup(group)); // nothing collected
        const QByteArray jpeg = jpegBytes(120, 160, qRgb(0, 0, 0));
        QVERIFY(m_writer->saveImage(header(120, 160, 100, 2, 2), jpeg, {"z"}, group));
        QVERIFY(m_given.isEmpty());
        QVERIFY(m_writer->giveOutMergedGroup(group));
        QCOMPARE(m_given.size(), 1);
        QVERIFY(m_given.first().file.endsWith(".jpg"));
        QCOMPARE(QSize(m_given.first().width, m_given.first().height), QSize(240, 160));
        QCOMPARE(m_given.first().barcodes, QStringList{"z"});
    }

    // A page the device sent that does not load cannot be merged; neither
    // it nor its good neighbour may vanish: both go out as they were saved.
    void groupThatCannotMergeGoesOutPageByPage_data()
    {
        QTest::addColumn<bool>("actualSize");
        QTest::newRow("actual size") << true;
        QTest::newRow("fixed sheet") << false;
    }
    void groupThatCannotMergeGoesOutPageByPage()
    {
        QFETCH(bool, actualSize);
        PageRules rules;
        rules.combineType = 2;
        start(rules);
        ProcessImage group;
        group.setParameters(actualSize, CombineScalingA4, CombineTwo);
        const QByteArray good = jpegBytes(120, 160, qRgb(0, 0, 0));
        const QByteArray broken = good.left(good.size() / 3) + QByteArray(40, '\x55');
        QVERIFY(m_writer->saveImage(header(120, 160, 100, 2, 2), good, {"a"}, group));
        QVERIFY(m_writer->saveImage(header(120, 160, 100, 2, 2), broken, {"b"}, group));
        QCOMPARE(m_given.size(), 2);
        QCOMPARE(group.getFileListCount(), 0);
        QCOMPARE(readAll(m_given.at(0).file), good);
        QCOMPARE(readAll(m_given.at(1).file), broken);
        QCOMPARE(m_given.at(0).barcodes, QStringList{"a"});
        QCOMPARE(m_given.at(1).barcodes, QStringList{"b"});
        QCOMPARE(QSize(m_given.at(0).width, m_given.at(0).height), QSize(120, 160));
        QCOMPARE(filesInTemp().size(), 2); // no merged sheet left half made
    }

    void unwritablePagesAreDropped()
    {
        PageRules rules;
        start(rules);
        ProcessImage group;
        // Too short for 100 rows of 100 grey pixels.
        QVERIFY(!m_writer->saveImage(header(100, 100, 100, 1, 0), QByteArray(9999, 'x'), {},
                                     group));
        QVERIFY(!m_writer->saveImage(header(100, 100, 100, 0, 1), QByteArray(), {}, group));
        QVERIFY(!m_writer->saveImage(header(100, 100, 100, 1, 3), QByteArray(10000, 'x'), {},
                                     group));
        QVERIFY(m_given.isEmpty());
        QVERIFY(filesInTemp().isEmpty());

        m_writer->setTempDirectory(m_temp->filePath("gone"));
        QVERIFY(!m_writer->saveImage(header(10, 10, 100, 1, 0), QByteArray(100, 'x'), {}, group));
        QVERIFY(!m_writer->saveImage(header(10, 10, 100, 1, 2), jpegBytes(10, 10, 0), {}, group));
        QVERIFY(m_given.isEmpty());
        QVERIFY(m_writer->heldPages().isEmpty());
    }

    void backgroundRemovedFromColourPages()
    {
        PageRules rules;
        rules.removeBackground = true;
        start(rules);
        ProcessImage group;
        const int w = 120, h = 90;
        QByteArray rows(w * h * 3, char(200));
        for (int y = 30; y < 40; ++y)
            for (int x = 10; x < 110; ++x)
                std::fill_n(rows.data() + (y * w + x) * 3, 3, char(20));
        QVERIFY(m_writer->saveImage(header(w, h, 100, 2, 0), rows, {}, group));
        QCOMPARE(m_given.size(), 1);
        const QImage cleaned(m_given.first().file);
        QCOMPARE(cleaned.pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
        QCOMPARE(cleaned.pixel(50, 35) & 0xFFFFFF, qRgb(20, 20, 20) & 0xFFFFFFu);
    }
};

QTEST_MAIN(TestPageFileWriter)
#include "tst_pagefilewriter.moc"

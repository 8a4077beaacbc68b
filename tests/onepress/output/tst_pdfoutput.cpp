// PDF documents of the worker (one per group, one per page) checked with
// qpdf, pdfinfo, pdfimages and pdftoppm.

#include "generatefilename.h"
#include "outputtestutil.h"
#include "pdfhandler.h"
#include "workerrig.h"

#include <QImageWriter>
#include <QTemporaryDir>
#include <QtTest>

#include <ctime>

using outtest::page;

class TestPdfOutput : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_tmp;
    QString m_out;
    QString m_a4, m_small, m_g4, m_bmp, m_TIF, m_png, m_broken, m_truncated, m_empty;
    // A job of sixty pages, page k (from 0) 200 + k pixels wide so that
    // its place in a document shows.
    QList<tagSCAN_IMAGE_FILE> m_sixty;

    tagTASK_SHORTCUT task(int type) { return workerTask(type, m_out, "d"); }
    static QString info(const QString &pdf, const QStringList &extra = {})
    {
        return outtest::run("pdfinfo", QStringList(extra) << pdf).out;
    }
    static int pages(const QString &pdf)
    {
        const QRegularExpressionMatch m = QRegularExpression("Pages:\\s+(\\d+)").match(info(pdf));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    static bool qpdfOk(const QString &pdf)
    {
        return outtest::run("qpdf", {"--check", pdf}).code == 0;
    }
    // The image width of each page, in page order; empty when a page holds
    // no image or more than one.
    static QList<int> imageWidths(const QString &pdf)
    {
        QList<int> widths;
        const QStringList lines = outtest::run("pdfimages", {"-list", pdf}).out.split('\n');
        for (const QString &line : lines.mid(2)) {
            const QStringList cols = line.split(' ', Qt::SkipEmptyParts);
            if (cols.size() < 4)
                continue;
            if (cols[0].toInt() != widths.size() + 1)
                return {};
            widths << cols[3].toInt();
        }
        return widths;
    }
    static QList<int> widthsOf(const QList<tagSCAN_IMAGE_FILE> &pages)
    {
        QList<int> widths;
        for (const tagSCAN_IMAGE_FILE &p : pages)
            widths << p.width;
        return widths;
    }
    QStringList outFiles() const { return outtest::filesIn(m_out); }

private slots:
    void initTestCase()
    {
        m_out = m_tmp.path() + "/out";
        const QString p = m_tmp.path() + "/";
        m_a4 = outtest::writePage(p + "a4.jpg", outtest::drawPage(2480, 3508));
        m_small = outtest::writePage(p + "small.jpg", outtest::drawPage(620, 877), nullptr, 75);
        m_g4 = p + "g4.tif";
        QVERIFY(outtest::writeG4Tiff(m_g4, outtest::drawPage(620, 877), 75));
        m_TIF = p + "upper.TIF";
        QVERIFY(QFile::copy(m_g4, m_TIF));
        m_bmp = outtest::writePage(p + "b.bmp", outtest::drawPage(620, 877), nullptr, 75);
        m_png = outtest::writePage(p + "c.png", outtest::drawPage(620, 877), nullptr, 75);
        m_broken = p + "broken.bmp";
        QVERIFY(outtest::writeFile(m_broken, "BM not really a bitmap"));
        const QByteArray a4 = outtest::readFile(m_a4);
        QVERIFY(!a4.isEmpty());
        m_truncated = p + "truncated.jpg";
        QVERIFY(outtest::writeFile(m_truncated, a4.left(a4.size() / 2)));
        m_empty = p + "empty.jpg";
        QVERIFY(outtest::writeFile(m_empty, QByteArray()));
        for (int k = 0; k < 60; ++k) {
            const QString file = QStringLiteral("%1seq%2.jpg").arg(p).arg(k);
            m_sixty << page(outtest::writePage(file, outtest::drawPage(200 + k, 280), nullptr, 75),
                            200 + k, 280, 75);
        }
        GenerateFileName::setClock([] { return QDateTime(QDate(2026, 1, 5), QTime(10, 0, 0)); });
    }
    void init() { QDir(m_out).removeRecursively(); }

    void onePdfPerGroupWithEveryPageKind()
    {
        WorkerRig rig;
        tagTASK_SHORTCUT t = task(2);
        t.BarcodeSeparate = true;
        QList<tagSCAN_IMAGE_FILE> list{
            page(m_a4, 2480, 3508, 300), page(m_g4, 620, 877, 75, "g"),
            page(m_TIF, 620, 877, 75),   page(m_bmp, 620, 877, 75, "b"),
            page(m_png, 620, 877, 75),   page(m_truncated, 2480, 3508, 300)};
        QVERIFY(rig.run(t, list));
        QCOMPARE(rig.worker->saveResult(), 0);
        QCOMPARE(outFiles(), QStringList({"d2026-01-05 (1).pdf", "d2026-01-05 (2).pdf",
                                          "d2026-01-05 (3).pdf"}));
        const QString first = m_out + "/d2026-01-05 (1).pdf";
        for (const QString &f : outFiles()) {
            QVERIFY2(qpdfOk(m_out + "/" + f), qPrintable(f));
        }
        QCOMPARE(pages(first), 1);
        QCOMPARE(pages(m_out + "/d2026-01-05 (2).pdf"), 2);
        QCOMPARE(pages(m_out + "/d2026-01-05 (3).pdf"), 3);
        QVERIFY(info(first).contains("595.2 x 841.92 pts"));
        QVERIFY(info(first).contains("Creator:         Corvan"));
        QVERIFY(!info(first).contains("Keywords:"));
        const QString images = outtest::run("pdfimages", {"-list", first}).out;
        QVERIFY2(
            images.contains(QRegularExpression(
                "\\b2480\\s+3508\\s+rgb\\s+3\\s+8\\s+jpeg\\s+no\\s+\\S+\\s+\\S+\\s+300\\s+300")),
            qPrintable(images));
        // The JPEG page goes in byte for byte.
        QVERIFY(outtest::run("pdfimages", {"-all", first, m_tmp.path() + "/x"}).code == 0);
        const QByteArray extracted = outtest::readFile(m_tmp.path() + "/x-000.jpg");
        QVERIFY(!extracted.isEmpty() && extracted == outtest::readFile(m_a4));
        // The G4 page: black on white, the right way up.
        const QString base = m_tmp.path() + "/g4page";
        outtest::run("pdftoppm", {"-r", "75", "-f", "1", "-l", "1", "-singlefile", "-gray", "-png",
                                  m_out + "/d2026-01-05 (2).pdf", base});
        const QImage g4(base + ".png");
        QVERIFY(qAbs(g4.width() - 620) <= 1 && qAbs(g4.height() - 877) <= 1);
        QVERIFY(qGray(g4.pixel(20, 20)) < 100);   // red block, now black, top left
        QVERIFY(qGray(g4.pixel(600, 860)) < 100); // blue block bottom right
        QVERIFY(qGray(g4.pixel(600, 20)) > 200);  // white paper
        // No temporary JPEG or part file stays behind.
        QCOMPARE(outFiles().size(), 3);
    }

    void datesAndKeywords_data()
    {
        QTest::addColumn<QByteArray>("tz");
        QTest::addColumn<QString>("offset");
        QTest::newRow("Kolkata") << QByteArray("Asia/Kolkata") << "+05:30";
        QTest::newRow("UTC") << QByteArray("UTC") << "Z";
    }
    void datesAndKeywords()
    {
        QFETCH(QByteArray, tz);
        QFETCH(QString, offset);
        const QByteArray old = qgetenv("TZ");
        qputenv("TZ", tz);
        tzset();
        const QString pdf = m_tmp.path() + "/dates.pdf";
        PdfHandler handler;
        QVERIFY(handler.openFile(QStringLiteral("合同 发票")));
        QVERIFY(handler.addPage(620, 877, 75, m_small, pdf));
        handler.closeFile();
        qputenv("TZ", old);
        tzset();
        const QString text = info(pdf, {"-isodates", "-enc", "UTF-8"});
        QVERIFY2(text.contains(QRegularExpression("CreationDate:\\s+\\S+" +
                                                  QRegularExpression::escape(offset) + "\\n")),
                 qPrintable(text));
        QVERIFY(text.contains(
            QRegularExpression("ModDate:\\s+\\S+" + QRegularExpression::escape(offset))));
        QVERIFY(text.contains(QStringLiteral("Keywords:        合同 发票")));
        QVERIFY(qpdfOk(pdf));
    }

    void failedConversionNeverReusesThePreviousPage()
    {
        WorkerRig rig;
        // Saver 2: page 1 converts, page 2 cannot: the document keeps page 1.
        QList<tagSCAN_IMAGE_FILE> list{page(m_bmp, 620, 877, 75), page(m_broken, 620, 877, 75)};
        QVERIFY(rig.run(task(2), list));
        QCOMPARE(rig.worker->saveResult(), -50);
        QCOMPARE(pages(m_out + "/d2026-01-05 (1).pdf"), 1);
        QVERIFY(qpdfOk(m_out + "/d2026-01-05 (1).pdf"));
        // Saver 10: the broken page gets no PDF, the empty one neither.
        init();
        list << page(m_empty, 620, 877, 75) << page(m_png, 620, 877, 75);
        QVERIFY(rig.run(task(10), list));
        QCOMPARE(rig.worker->saveResult(), -50);
        QCOMPARE(outFiles(), QStringList({"d2026-01-05 (1) 0001.pdf", "d2026-01-05 (1) 0004.pdf"}));
        QVERIFY(list[1].outputFileName.isEmpty());
        QVERIFY(list[2].outputFileName.isEmpty());
        for (const QString &f : outFiles())
            QCOMPARE(pages(m_out + "/" + f), 1);
    }

    void progressiveJpegPage()
    {
        const QString progressive = m_tmp.path() + "/progressive.jpg";
        QImageWriter writer(progressive, "jpg");
        writer.setProgressiveScanWrite(true);
        QImage image = outtest::drawPage(620, 877);
        image.setDotsPerMeterX(2953);
        image.setDotsPerMeterY(2953);
        QVERIFY(writer.write(image));
        WorkerRig rig;
        QList<tagSCAN_IMAGE_FILE> list{page(progressive, 620, 877, 75),
                                       page(m_small, 620, 877, 75)};
        QVERIFY(rig.run(task(2), list));
        QCOMPARE(rig.worker->saveResult(), 0);
        QCOMPARE(pages(list[0].outputFileName), 2);
        QVERIFY(qpdfOk(list[0].outputFileName));
    }

    void resolutionLeftOut()
    {
        const QString pdf = m_tmp.path() + "/nores.pdf";
        PdfHandler handler;
        QVERIFY(handler.openFile(QString()));
        // The JPEG's own density (75 dpi) and its own size.
        QVERIFY(handler.addPage(0, 0, 0, m_small, pdf));
        QVERIFY(info(pdf).contains("595.2 x 841.92 pts"));
    }

    void sixtyPagesAllInOrder()
    {
        WorkerRig rig;
        QList<tagSCAN_IMAGE_FILE> list = m_sixty;
        QVERIFY(rig.run(task(2), list));
        QCOMPARE(rig.worker->saveResult(), 0);
        QCOMPARE(outFiles(), QStringList({"d2026-01-05 (1).pdf"}));
        const QString pdf = m_out + "/d2026-01-05 (1).pdf";
        QVERIFY(qpdfOk(pdf));
        QCOMPARE(pages(pdf), 60);
        QCOMPARE(imageWidths(pdf), widthsOf(m_sixty));
    }

    // The disk fills up after the first page, or in the middle of a long
    // document: the file keeps the last whole document, its pages in order.
    void fullDiskKeepsTheLastCompleteDocument_data()
    {
        QTest::addColumn<bool>("sixty");
        QTest::newRow("second page") << false;
        QTest::newRow("middle of sixty") << true;
    }
    void fullDiskKeepsTheLastCompleteDocument()
    {
        QFETCH(bool, sixty);
        QList<tagSCAN_IMAGE_FILE> list = m_sixty;
        if (!sixty)
            list = {page(m_small, 620, 877, 75), page(m_a4, 2480, 3508, 300)};
        // The sixty pages are written by initTestCase, which a listing of the
        // rows does not run: their sizes are read here, not in the rows.
        qint64 limit = sixty ? 0 : 200 * 1024;
        for (int k = 0; sixty && k < 30; ++k)
            limit += QFileInfo(m_sixty[k].fileName).size();
        QDir().mkpath(m_out);
        const int code = outtest::inFullDiskChild(
            rlim_t(limit), [&] { return saveOnThisThread(task(2), list) == -50 ? 0 : 1; });
        QCOMPARE(code, 0);
        QCOMPARE(outFiles(), QStringList({"d2026-01-05 (1).pdf"}));
        const QString pdf = m_out + "/d2026-01-05 (1).pdf";
        QVERIFY(qpdfOk(pdf));
        const QList<int> widths = imageWidths(pdf);
        QVERIFY(!widths.isEmpty() && widths.size() < list.size());
        QCOMPARE(widths, widthsOf(list).mid(0, widths.size()));
    }
};

QTEST_MAIN(TestPdfOutput)
#include "tst_pdfoutput.moc"

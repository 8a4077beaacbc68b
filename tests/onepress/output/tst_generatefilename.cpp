// Grouping and naming of output files: the namer's rules as tables, with a
// fixed clock and pre-seeded folders.

#include "generatefilename.h"
#include "outputtestutil.h"
#include "support/datarows.h"

#include <QTemporaryDir>
#include <QtTest>

using outtest::page;
using testsupport::row;

class TestGenerateFileName : public QObject
{
    Q_OBJECT
private:
    QDateTime m_now;
    QTemporaryDir m_dir;
    QString F() const { return m_dir.path(); }
    void touch(const QString &name) { QVERIFY(outtest::writeFile(F() + "/" + name, "x")); }
    // The name of every page, group after group; `firstOnly`: of each
    // group's first page.
    static QStringList allNames(GenerateFileName &gen, bool firstOnly = false)
    {
        QStringList out;
        QList<tagSCAN_IMAGE_FILE> group;
        for (int g = 0; gen.getImageList(g, group); ++g)
            out += outtest::outputNames(firstOnly ? group.mid(0, 1) : group);
        return out;
    }

private slots:
    void init()
    {
        m_now = QDateTime(QDate(2026, 1, 5), QTime(9, 30, 0));
        GenerateFileName::setClock([this] { return m_now; });
        for (const QString &f : outtest::filesIn(F()))
            QFile::remove(F() + "/" + f);
    }
    void cleanupTestCase() { GenerateFileName::setClock({}); }

    void grouping_data()
    {
        QTest::addColumn<QString>("pages"); // letters: b blank, x/y barcode, . plain
        QTest::addColumn<bool>("blankSplit");
        QTest::addColumn<bool>("barcodeSplit");
        QTest::addColumn<QString>("groups"); // page numbers per group
        QTest::addColumn<int>("blanks");
        QTest::addColumn<int>("barcodes");
        row("blank split", ".b.b.", true, false, "1|3|5", 2, 0);
        row("barcode split", ".x.y", false, true, "1|23|4", 0, 2);
        row("both", ".xb.y", true, true, "1|2|4|5", 1, 2);
        row("no split keeps blanks", ".b.", false, false, "123", 0, 0);
        row("all blank", "bbb", true, true, "", 3, 0);
        row("barcode first", "x..", false, true, "123", 0, 1);
    }
    void grouping()
    {
        QFETCH(QString, pages);
        QFETCH(bool, blankSplit);
        QFETCH(bool, barcodeSplit);
        QList<tagSCAN_IMAGE_FILE> list;
        for (int i = 0; i < pages.size(); ++i) {
            const QChar c = pages.at(i);
            list << page(QStringLiteral("/p/%1.jpg").arg(i + 1), 10, 10, 300,
                         (c == 'x' || c == 'y') ? QString(c) : QString(), c == 'b');
        }
        GenerateFileName gen(list);
        gen.setParameters(F(), "s", false, 2, 1, barcodeSplit, blankSplit);
        int blanks, barcodes, groups, total;
        gen.getStatisticsInfo(blanks, barcodes, groups);
        gen.getStatisticsInfo(total, groups);
        QStringList got;
        QList<tagSCAN_IMAGE_FILE> group;
        int pagesInGroups = 0;
        for (int g = 0; gen.getImageList(g, group); ++g) {
            QString s;
            for (const auto &p : group)
                s += QFileInfo(p.fileName).baseName();
            got << s;
            pagesInGroups += group.size();
        }
        QTEST(got.join('|'), "groups");
        QTEST(blanks, "blanks");
        QTEST(barcodes, "barcodes");
        QCOMPARE(total, pagesInGroups);
        QVERIFY(!gen.getImageList(groups, group));
        if (groups == 0)
            QCOMPARE(gen.getSavedFileName(), QString());
        // The caller's list keeps every page.
        QCOMPARE(list.size(), pages.size());
    }

    void barcodeNamesCountAcrossGroups()
    {
        QList<tagSCAN_IMAGE_FILE> list{page("/p/1.jpg", 1, 1), page("/p/2.jpg", 1, 1, 300, "x"),
                                       page("/p/3.jpg", 1, 1), page("/p/4.jpg", 1, 1, 300, "y")};
        GenerateFileName gen(list);
        gen.setParameters(F(), "inv", false, 2, 3, true, false);
        // Per-group names stand on each group's first page only.
        QCOMPARE(allNames(gen),
                 QStringList({"inv2026-01-05 (1).pdf", "invx (2).pdf", "", "invy (3).pdf"}));
        QCOMPARE(allNames(gen, true),
                 QStringList({"inv2026-01-05 (1).pdf", "invx (2).pdf", "invy (3).pdf"}));
        QCOMPARE(gen.getSavedFileName(), F() + "/inv2026-01-05 (1).pdf");
        // Every page of the caller's list stays, the first of each group named.
        QCOMPARE(outtest::outputNames(list),
                 QStringList({"inv2026-01-05 (1).pdf", "invx (2).pdf", "", "invy (3).pdf"}));
    }

    void orderNumbersProbeTheFolder_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("expected");
        row("empty folder", "scan", "", "scan2026-01-05 (1).pdf");
        row("second run", "scan", "scan2026-01-05 (1).pdf", "scan2026-01-05 (2).pdf");
        row("per-page names count", "scan", "SCAN2026-01-05 (1) 0003.PDF",
            "scan2026-01-05 (2).pdf");
        row("brackets", "a[1]", "a[1]2026-01-05 (1).pdf", "a[1]2026-01-05 (2).pdf");
        row("star and question", "a*?", "a*?2026-01-05 (1).pdf", "a*?2026-01-05 (2).pdf");
        row("star is literal in the prefix", "a*", "abc2026-01-05 (1).pdf", "a*2026-01-05 (1).pdf");
        row("separators cleaned", "x/../y\\z\t", "", "x_.._y_z_2026-01-05 (1).pdf");
    }
    void orderNumbersProbeTheFolder()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, existing);
        if (!existing.isEmpty())
            touch(existing);
        QList<tagSCAN_IMAGE_FILE> list{page("/p/1.jpg", 1, 1)};
        GenerateFileName gen(list);
        gen.setParameters(F(), prefix, false, 2, 1, false, false);
        QList<tagSCAN_IMAGE_FILE> group;
        QVERIFY(gen.getImageList(0, group));
        QTEST(QFileInfo(group.first().outputFileName).fileName(), "expected");
        // Every name lies directly in the folder.
        QCOMPARE(QFileInfo(group.first().outputFileName).path(), F());
        QCOMPARE(gen.getSavedFileName(), group.first().outputFileName);
    }

    void perPageSaveAsSkipsExistingNumbers()
    {
        touch("report 0002.jpg");
        QList<tagSCAN_IMAGE_FILE> list{page("/p/1.jpg", 1, 1), page("/p/2.jpg", 1, 1),
                                       page("/p/3.bmp", 1, 1)};
        GenerateFileName gen(list);
        gen.setParameters(F(), "report", true, 7, 1, false, false);
        QCOMPARE(allNames(gen),
                 QStringList({"report 0001.jpg", "report 0003.jpg", "report 0004.tif"}));
    }

    void perPageNamesWithoutSaveAs()
    {
        QList<tagSCAN_IMAGE_FILE> list{page("/p/1.JPG", 1, 1), page("/p/2.jpg", 1, 1, 300, "b"),
                                       page("/p/3.jpg", 1, 1)};
        GenerateFileName gen(list);
        gen.setParameters(F(), "r", false, 7, 3, true, false);
        // Type 7 keeps "jpg" only for the exact suffix.
        QCOMPARE(allNames(gen),
                 QStringList({"r2026-01-05 (1) 0001.tif", "rb (2) 0001.jpg", "rb (2) 0002.jpg"}));
    }

    void timestampsOneSecondPerGroup_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QStringList>("expected");
        row("date and time", 2,
            QStringList(
                {"s2026-01-05T093000.pdf", "s2026-01-05T093001.pdf", "s2026-01-05T093002.pdf"}));
        row("barcode and time", 4,
            QStringList({"s2026-01-05T093000.pdf", "sxT093001.pdf", "syT093002.pdf"}));
    }
    void timestampsOneSecondPerGroup()
    {
        QList<tagSCAN_IMAGE_FILE> list{page("/p/1.jpg", 1, 1), page("/p/2.jpg", 1, 1, 300, "x"),
                                       page("/p/3.jpg", 1, 1, 300, "y")};
        GenerateFileName gen(list);
        QFETCH(int, format);
        gen.setParameters(F(), "s", false, 2, format, true, false);
        QTEST(allNames(gen, true), "expected");
    }

    void timestampClockSetBack()
    {
        // An hour ago (before the clock went back) this second was used.
        touch("s2026-01-05T093000.pdf");
        touch("s2026-01-05T093001.pdf");
        QList<tagSCAN_IMAGE_FILE> list{page("/p/1.jpg", 1, 1), page("/p/2.jpg", 1, 1, 300, "x")};
        GenerateFileName gen(list);
        gen.setParameters(F(), "s", false, 2, 2, true, false);
        QCOMPARE(allNames(gen, true),
                 QStringList({"s2026-01-05T093002.pdf", "s2026-01-05T093003.pdf"}));
        // Per page: a used page name moves the whole group on.
        touch("s2026-01-05T093000 0002.jpg");
        QList<tagSCAN_IMAGE_FILE> pages{page("/p/1.jpg", 1, 1), page("/p/2.jpg", 1, 1)};
        GenerateFileName perPage(pages);
        perPage.setParameters(F(), "s", false, 7, 2, false, false);
        QCOMPARE(allNames(perPage),
                 QStringList({"s2026-01-05T093001 0001.jpg", "s2026-01-05T093001 0002.jpg"}));
    }

    void saveAsProposal_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("existing");
        QTest::addColumn<QString>("expected");
        row("1", 1, "p2026-01-05 (1).pdf", "p2026-01-05 (2).pdf");
        row("2", 2, "2026-01-05T093000.pdf", "p2026-01-05T093001.pdf");
        row("3", 3, "", "pw (1).pdf");
        row("4", 4, "wT093000x.pdf", "pwT093001.pdf");
        row("other", 7, "", "");
    }
    void saveAsProposal()
    {
        QFETCH(int, format);
        QFETCH(QString, existing);
        if (!existing.isEmpty())
            touch(existing);
        QList<tagSCAN_IMAGE_FILE> list{page("/p/1.jpg", 1, 1, 300, "w")};
        GenerateFileName gen(list);
        gen.setParameters(F(), "p", false, 2, format, false, false);
        QTEST(QFileInfo(gen.getSavedFileName()).fileName(), "expected");
    }

    void singleGroupSaveAsNames()
    {
        QList<tagSCAN_IMAGE_FILE> list{page("/p/1.jpg", 1, 1)};
        GenerateFileName gen(list);
        gen.setParameters(F(), "mine", true, 2, 1, false, false);
        QCOMPARE(allNames(gen), QStringList({"mine.pdf"}));
        gen.setParameters(F(), "mine", true, 2, 2, false, false);
        QCOMPARE(allNames(gen), QStringList({"mine.pdf"}));
        gen.setParameters(F(), "mine", true, 2, 9, false, false);
        QCOMPARE(allNames(gen), QStringList({""}));
    }
};

QTEST_GUILESS_MAIN(TestGenerateFileName)
#include "tst_generatefilename.moc"

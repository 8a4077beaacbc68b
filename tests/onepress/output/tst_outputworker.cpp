// The output worker through a real thread: its questions, cancel, the
// launcher's page list, and failures that must reach the launcher.

#include "generatefilename.h"
#include "outputtestutil.h"
#include "support/datarows.h"
#include "workerrig.h"

#include <QTemporaryDir>
#include <QtTest>

using outtest::page;
using testsupport::row;

#if defined(__SANITIZE_THREAD__)
#define OUTPUT_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define OUTPUT_TSAN 1
#endif
#endif

class TestOutputWorker : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_tmp;
    QString m_pages;
    QString m_out;
    QStringList m_jpeg; // eight 300 dpi JPEG pages, each its own file

    tagTASK_SHORTCUT task(int type) { return workerTask(type, m_out, "scan"); }
    QList<tagSCAN_IMAGE_FILE> pages(const QString &marks) // b blank, letter barcode, . plain
    {
        QList<tagSCAN_IMAGE_FILE> list;
        for (int i = 0; i < marks.size(); ++i) {
            const QChar c = marks.at(i);
            const bool barcode = c.isLetter() && c != 'b';
            list << page(m_jpeg.at(i % m_jpeg.size()), 400, 500, 300,
                         barcode ? QString(c) : QString(), c == 'b');
        }
        return list;
    }
    QStringList outFiles() const { return outtest::filesIn(m_out); }

private slots:
    void initTestCase()
    {
        m_pages = m_tmp.path() + "/pages";
        QDir().mkpath(m_pages);
        for (int i = 0; i < 8; ++i)
            m_jpeg << outtest::writePage(QStringLiteral("%1/p%2.jpg").arg(m_pages).arg(i),
                                         outtest::drawPage(400, 500));
        GenerateFileName::setClock([] { return QDateTime(QDate(2026, 1, 5), QTime(10, 0, 0)); });
    }
    void init()
    {
        m_out = m_tmp.path() + "/out";
        QDir(m_out).removeRecursively();
    }

    void questions_data()
    {
        QTest::addColumn<QString>("marks");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("blankSplit");
        QTest::addColumn<bool>("barcodeSplit");
        QTest::addColumn<QString>("decline"); // the question answered no
        QTest::addColumn<QStringList>("asked");
        row("all asked", ".b.", 2, 1, true, false, "",
            QStringList({"blank 1 2", "saveAs", "keywords"}));
        row("group declined", ".b.", 2, 1, true, false, "group", QStringList({"blank 1 2"}));
        row("save-as declined", "...", 2, 1, false, false, "saveAs", QStringList({"saveAs"}));
        row("keywords declined", "...", 7, 1, false, false, "keywords",
            QStringList({"saveAs", "keywords"}));
        row("both splits", ".xb.", 2, 1, true, true, "",
            QStringList({"both 1 1 3", "saveAs", "keywords"}));
        row("barcode split", ".x.", 2, 1, false, true, "",
            QStringList({"barcode 1 2", "saveAs", "keywords"}));
        row("barcode name with split: no save-as", ".x.", 2, 3, false, true, "",
            QStringList({"barcode 1 2", "keywords"}));
        row("barcode name without split", "...", 2, 4, false, false, "",
            QStringList({"saveAs", "keywords"}));
        row("png: no keywords", "...", 8, 1, false, false, "", QStringList({"saveAs"}));
        row("bmp: no keywords", "...", 11, 1, false, false, "", QStringList({"saveAs"}));
        row("text: no keywords", "...", 13, 1, false, false, "", QStringList({"saveAs"}));
        row("all blank: nothing to name", "bb", 2, 1, true, false, "", QStringList({"blank 2 0"}));
    }
    void questions()
    {
        QFETCH(QString, marks);
        QFETCH(int, type);
        QFETCH(int, format);
        QFETCH(QString, decline);
        WorkerRig rig;
        tagTASK_SHORTCUT t = task(type);
        t.FileNameFormat = static_cast<FileNameFormatFlag>(format);
        QFETCH(bool, blankSplit);
        QFETCH(bool, barcodeSplit);
        t.BlankPageSeparate = blankSplit;
        t.BarcodeSeparate = barcodeSplit;
        t.BeforeSaveFileSettingFileName = true;
        t.AddKeywordToDoc = true;
        rig.answerer.groupAnswer = decline != "group";
        rig.answerer.saveAsAnswer = decline != "saveAs";
        rig.answerer.keywordAnswer = decline != "keywords";
        QList<tagSCAN_IMAGE_FILE> list = pages(marks);
        const bool finished = rig.run(t, list);
        QCOMPARE(rig.ended, 1);
        QTEST(rig.answerer.asked, "asked");
        if (!decline.isEmpty()) {
            QVERIFY(!finished);
            QCOMPARE(rig.worker->saveResult(), -51);
            QCOMPARE(outFiles(), QStringList());
            for (const auto &p : list)
                QVERIFY(p.outputFileName.isEmpty());
        } else {
            QVERIFY(finished);
        }
        if (marks == "bb") {
            QCOMPARE(rig.worker->saveResult(), 0);
            QCOMPARE(outFiles(), QStringList());
        }
    }

    void saveAsAnswerRenames()
    {
        WorkerRig rig;
        tagTASK_SHORTCUT t = task(8);
        t.BeforeSaveFileSettingFileName = true;
        const QString other = m_tmp.path() + "/elsewhere/deeper";
        rig.answerer.savePath = other + "/letters.jpeg"; // its suffix is ignored
        QList<tagSCAN_IMAGE_FILE> list = pages("..");
        QVERIFY(rig.run(t, list));
        QCOMPARE(rig.answerer.proposal, m_out + "/scan2026-01-05 (1).png");
        QCOMPARE(rig.answerer.filter, QString("(*.png)"));
        QCOMPARE(QDir(other).entryList(QDir::Files),
                 QStringList({"letters 0001.png", "letters 0002.png"}));
        QCOMPARE(list[1].outputFileName, other + "/letters 0002.png");
        QCOMPARE(outFiles(), QStringList());

        // Keeping the proposal keeps the generated names.
        init();
        rig.answerer.savePath.clear();
        QVERIFY(rig.run(t, list));
        QCOMPARE(outFiles(),
                 QStringList({"scan2026-01-05 (1) 0001.png", "scan2026-01-05 (1) 0002.png"}));

        // Only the last suffix goes: another document named "v1" stays.
        QDir().mkpath(other);
        QVERIFY(outtest::writeFile(other + "/v1.pdf", "other document"));
        rig.answerer.savePath = other + "/v1.2 report.pdf";
        list = pages(".");
        t = task(2);
        t.BeforeSaveFileSettingFileName = true;
        QVERIFY(rig.run(t, list));
        QCOMPARE(list[0].outputFileName, other + "/v1.2 report.pdf");
        QVERIFY(QFile::exists(other + "/v1.2 report.pdf"));
        QCOMPARE(outtest::readFile(other + "/v1.pdf"), QByteArray("other document"));
    }

    void cancelDuringSecondGroup()
    {
        WorkerRig rig;
        tagTASK_SHORTCUT t = task(6);
        t.BarcodeSeparate = true;
        QList<tagSCAN_IMAGE_FILE> list = pages(".x.y.");
        // The second group's first page: cancel from inside the run, as the
        // dialog's button would between two pages.
        connect(
            rig.worker, &ProcessFile::saveFileValueChanged, rig.worker,
            [&](int done, int) {
                if (done == 2)
                    rig.worker->cancelSaveProcess();
            },
            Qt::DirectConnection);
        QSignalSpy canceling(rig.worker, &ProcessFile::canceling);
        QVERIFY(rig.run(t, list));
        QVERIFY(rig.worker->isCancel());
        QCOMPARE(canceling.size(), 1);
        QCOMPARE(outFiles(), QStringList({"scan2026-01-05 (1).tif", "scan2026-01-05 (2).tif"}));
        const auto info = outtest::run("tiffinfo", {m_out + "/scan2026-01-05 (2).tif"});
        QCOMPARE(info.out.count("TIFF Directory"), 2);
        // Every page stays in the launcher's list; the third group unnamed.
        QCOMPARE(outtest::outputNames(list),
                 QStringList({"scan2026-01-05 (1).tif", "scan2026-01-05 (2).tif", "", "", ""}));
    }

    void listKeepsEveryPageWithItsGroupsName()
    {
        WorkerRig rig;
        tagTASK_SHORTCUT t = task(6);
        t.BlankPageSeparate = true;
        QList<tagSCAN_IMAGE_FILE> list = pages(".b..b.");
        QVERIFY(rig.run(t, list));
        QCOMPARE(rig.worker->saveResult(), 0);
        QCOMPARE(outtest::outputNames(list),
                 QStringList({"scan2026-01-05 (1).tif", "", "scan2026-01-05 (2).tif", "", "",
                              "scan2026-01-05 (3).tif"}));
        for (const QString &n : outFiles())
            QVERIFY(QFile::exists(m_out + "/" + n));
        QCOMPARE(outFiles().size(), 3);
    }

    void failuresReachTheLauncher_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("missingPage");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("written");
        row("folder below a file", "file/sub", 8, false, -50, 0);
        row("empty folder", "", 8, false, -50, 0);
        row("relative folder", "relative/out", 8, false, -50, 0);
        row("png missing page", "out", 8, true, -52, 2);
        row("bmp missing page", "out", 11, true, -52, 2);
        row("jpeg missing page", "out", 7, true, -52, 2);
        row("tiff missing page", "out", 6, true, -52, 1);
        row("type outside the table", "out", 5, false, -50, 0);
    }
    void failuresReachTheLauncher()
    {
        QFETCH(QString, folder);
        QFETCH(int, type);
        QFETCH(bool, missingPage);
        QVERIFY(outtest::writeFile(m_tmp.path() + "/file", QByteArray()));
        WorkerRig rig;
        tagTASK_SHORTCUT t = task(type);
        t.FolderPath = folder.isEmpty() || folder.startsWith("relative")
                           ? folder
                           : m_tmp.path() + "/" + folder;
        if (folder == "out")
            t.FolderPath = m_out;
        QList<tagSCAN_IMAGE_FILE> list = pages("...");
        if (missingPage)
            list[1].fileName = m_pages + "/gone.jpg";
        QVERIFY(rig.run(t, list)); // always an end the launcher sees
        QTEST(rig.worker->saveResult(), "result");
        QFETCH(int, written);
        QCOMPARE(outFiles().size(), written);
        QVERIFY(!QDir("relative").exists());
        int named = 0;
        for (const auto &p : list) {
            QVERIFY(p.outputFileName.isEmpty() || QFile::exists(p.outputFileName));
            named += p.outputFileName.isEmpty() ? 0 : 1;
        }
        QCOMPARE(named, written);
    }

    void fullDiskLeavesNoPartialFile()
    {
#ifdef OUTPUT_TSAN
        QSKIP("a forked child of a threaded process is not followed by the thread sanitizer");
#endif
        // A child process whose files may not grow past 64 KiB: the first page
        // fits, the bigger second one does not.
        const QString small =
            outtest::writePage(m_pages + "/small.jpg", outtest::drawPage(100, 100));
        const QString big = outtest::writePage(m_pages + "/big.bmp", outtest::drawPage(800, 800));
        QDir().mkpath(m_out);
        const int code = outtest::inFullDiskChild(64 * 1024, [&] {
            QList<tagSCAN_IMAGE_FILE> list{page(small, 100, 100), page(big, 800, 800)};
            const int result = saveOnThisThread(task(11), list);
            const bool firstNamed = !list[0].outputFileName.isEmpty();
            const bool secondNamed = !list[1].outputFileName.isEmpty();
            return (result == -50 ? 1 : 0) | (firstNamed ? 2 : 0) | (secondNamed ? 4 : 0);
        });
        QCOMPARE(code, 1 | 2);
        QCOMPARE(outFiles(), QStringList({"scan2026-01-05 (1) 0001.bmp"}));
    }
};

QTEST_MAIN(TestOutputWorker)
#include "tst_outputworker.moc"

// Searchable PDF and text through the OCR program: its arguments, folder,
// environment and list file seen by fake programs; failures, cancel; then
// the real OCR program through our wrapper.

#include "generatefilename.h"
#include "outputtestutil.h"
#include "pdfocrhander.h"
#include "support/testtiming.h"
#include "workerrig.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <functional>
#include <memory>

using outtest::page;

// The OCR wrapper built beside the tests, over `program` as the system's OCR
// program and reading in `parts` parts where they are given; the fake
// program's folder again when the guard goes, however the test ended.
class RealWrapper
{
public:
    explicit RealWrapper(const QString &fakeDir, const QString &program = QString(),
                         const QByteArray &parts = QByteArray())
        : m_fakeDir(fakeDir)
    {
        PdfOcrHander::setAppDir(QCoreApplication::applicationDirPath());
        if (!program.isEmpty())
            qputenv("CORVAN_SYSTEM_TESSERACT", program.toUtf8());
        if (!parts.isEmpty())
            qputenv("CORVAN_OCR_PARTS", parts);
    }
    ~RealWrapper()
    {
        qunsetenv("CORVAN_SYSTEM_TESSERACT");
        qunsetenv("CORVAN_OCR_PARTS");
        PdfOcrHander::setAppDir(m_fakeDir);
    }

private:
    QString m_fakeDir;
};

// One OCR call on a thread of its own, as the output worker makes it.
struct OcrThread
{
    explicit OcrThread(const std::function<bool()> &call)
        : thread(QThread::create([this, call] { result = call(); }))
    {
        thread->start();
    }
    std::atomic<bool> result{true};
    std::unique_ptr<QThread> thread;
};

class TestOcrOutput : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_tmp;
    QString m_app; // fake application folder
    QString m_out;

    // A fake OCR program: records argv (NUL-separated), its folder, the
    // library path and the list file; then acts as `mode` says.
    void fake(const QString &mode)
    {
        const QString script =
            QStringLiteral("rec='%1'\n"
                           "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$rec/argv\"\n"
                           "pwd > \"$rec/pwd\"\n"
                           "printf '%s' \"$LD_LIBRARY_PATH\" > \"$rec/ldpath\"\n"
                           "case \"$1\" in *.txt) cp \"$1\" \"$rec/list\";; esac\n"
                           "ext=pdf; case \"$*\" in *create_txt*) ext=txt;; esac\n"
                           "case '%2' in\n"
                           "  ok) echo made > \"$2.$ext\";;\n"
                           "  fail) echo partial > \"$2.$ext\"; exit 1;;\n"
                           "  nothing) ;;\n"
                           "  slow) echo partial > \"$2.$ext\"; sleep 30;;\n"
                           "esac\n")
                .arg(m_tmp.path(), mode);
        QVERIFY(!outtest::writeScript(m_app + "/tesseract", script).isEmpty());
    }
    QStringList recordedArgv() { return outtest::recordedArguments(m_tmp.path() + "/argv"); }
    QByteArray recorded(const QString &name)
    {
        return outtest::readFile(m_tmp.path() + "/" + name);
    }
    static QStringList listFilesLeft()
    {
        return QDir(QDir::tempPath()).entryList({"scan_images*", "ocr-part-*"}, QDir::Files);
    }
    QStringList outFiles() const { return outtest::filesIn(m_out); }
    void emptyOut()
    {
        QDir(m_out).removeRecursively();
        QDir().mkpath(m_out);
    }
    // A system OCR program for the real wrapper that never ends: it starts a
    // program of its own and records both process ids.
    QString slowSystemOcr()
    {
        QFile::remove(m_tmp.path() + "/pids");
        return outtest::writeScript(m_tmp.path() + "/slow-ocr",
                                    QStringLiteral("echo partial > \"$2.pdf\"\n"
                                                   "sleep 60 &\n"
                                                   "echo $$ $! >> '%1/pids'\n"
                                                   "wait\n")
                                        .arg(m_tmp.path()));
    }
    QList<int> recordedPids()
    {
        QList<int> pids;
        for (const QString &p : QString::fromUtf8(recorded("pids"))
                                    .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
            pids << p.toInt();
        return pids;
    }
    // Waits (up to `ms`) until none of the processes is left.
    static bool allGone(const QList<int> &pids, int ms)
    {
        QElapsedTimer t;
        t.start();
        for (;;) {
            bool alive = false;
            for (int pid : pids) {
                // A zombie has given up everything but its entry.
                QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
                alive =
                    alive || (stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z "));
            }
            if (!alive)
                return true;
            if (t.elapsed() > ms)
                return false;
            QThread::msleep(20);
        }
    }
    // Processes whose command line names `text`.
    static QList<int> processesNaming(const QString &text)
    {
        QList<int> pids;
        for (const QString &pid : QDir("/proc").entryList(QDir::Dirs)) {
            QFile cmdline("/proc/" + pid + "/cmdline");
            if (pid.toInt() > 0 && pid.toInt() != QCoreApplication::applicationPid() &&
                cmdline.open(QIODevice::ReadOnly) && cmdline.readAll().contains(text.toUtf8()))
                pids << pid.toInt();
        }
        return pids;
    }
    static QStringList threePages(const QString &dir)
    {
        QStringList pages;
        for (int i = 1; i <= 3; ++i)
            pages << outtest::writePage(QStringLiteral("%1/s%2.png").arg(dir).arg(i),
                                        outtest::drawPage(60, 60));
        return pages;
    }

private slots:
    void initTestCase()
    {
        m_app = m_tmp.path() + "/app/bin";
        m_out = m_tmp.path() + "/out";
        QDir().mkpath(m_app);
        QDir().mkpath(m_out);
        PdfOcrHander::setAppDir(m_app);
        GenerateFileName::setClock([] { return QDateTime(QDate(2026, 1, 5), QTime(10, 0, 0)); });
    }

    void argumentsFolderEnvironmentAndList()
    {
        fake("ok");
        PdfOcrHander ocr;
        ocr.setPdfOutputFile(m_out + "/v1.2 report.pdf");
        ocr.setPdfKeyword("abc");
        ocr.setImageInput(QStringLiteral("/pages/页 1.png"));
        ocr.setImageInput("/pages/2.png");
        QCOMPARE(ocr.getImageFiles(), 2);
        QVERIFY(ocr.createPdfFile());
        const QString data = QFileInfo(m_app + "/../share/tessdata").absoluteFilePath();
        QStringList argv = recordedArgv();
        QVERIFY(argv.value(0).startsWith(QDir::tempPath() + "/scan_images"));
        argv.removeFirst();
        // The program writes beside the target, under a name of its own.
        QCOMPARE(argv.value(0), m_out + "/.v1.2 report.pdf.part.ocr");
        QCOMPARE(argv.mid(1),
                 QStringList({"-l", "chi_sim", "-k", "FEFF006100620063", "--tessdata-dir", data,
                              "-c", "tessedit_create_pdf=true"}));
        QCOMPARE(recorded("pwd").trimmed(), m_app.toUtf8());
        QVERIFY(recorded("ldpath").startsWith((m_app + ":").toUtf8()));
        QCOMPARE(recorded("list"), QStringLiteral("/pages/页 1.png\r\n/pages/2.png\r\n").toUtf8());
        QCOMPARE(outFiles(), QStringList({"v1.2 report.pdf"}));
        QVERIFY(listFilesLeft().isEmpty());
        QCOMPARE(QDir::currentPath(), QCoreApplication::applicationDirPath()); // ours unchanged

        ocr.clear();
        QCOMPARE(ocr.getImageFiles(), 0);
        ocr.setPdfOutputFile(m_out + "/one.pdf");
        ocr.setImageInput("/pages/3.png");
        QVERIFY(ocr.createSinglePdfFile());
        argv = recordedArgv();
        QCOMPARE(argv.value(1), m_out + "/.one.pdf.part.ocr");
        QCOMPARE(argv.mid(2, 4), QStringList({"-l", "chi_sim", "-k", "FEFF"}));
        QVERIFY(QFile::exists(m_out + "/one.pdf"));

        ocr.clearTxtFile();
        ocr.setTxtOutputFile(m_out + "/text.txt");
        ocr.setImageInput("/pages/4.png");
        QVERIFY(ocr.createOcrTxtFile());
        argv = recordedArgv();
        QVERIFY(!argv.contains("-k"));
        QCOMPARE(argv.mid(2), QStringList({"-l", "chi_sim", "--tessdata-dir", data, "-c",
                                           "tessedit_create_txt=true"}));
        QVERIFY(QFile::exists(m_out + "/text.txt"));
        ocr.clearTxtFile();
        QVERIFY(!ocr.createSinglePdfFile()); // no image
    }

    void failuresRemoveWhatTheyLeft_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("exit 1") << "fail";
        QTest::newRow("no output") << "nothing";
        QTest::newRow("no program") << "";
    }
    void failuresRemoveWhatTheyLeft()
    {
        QFETCH(QString, mode);
        if (mode.isEmpty())
            QFile::remove(m_app + "/tesseract");
        else
            fake(mode);
        // A save-as onto existing documents: they stay as they were.
        emptyOut();
        for (const char *name : {"/f.pdf", "/f.txt"})
            QVERIFY(outtest::writeFile(m_out + name, "the user's document"));
        PdfOcrHander ocr;
        ocr.setPdfOutputFile(m_out + "/f.pdf");
        ocr.setImageInput("/pages/1.png");
        QVERIFY(!ocr.createPdfFile());
        QVERIFY(!ocr.createSinglePdfFile());
        ocr.setTxtOutputFile(m_out + "/f.txt");
        QVERIFY(!ocr.createOcrTxtFile());
        QCOMPARE(outFiles(), QStringList({"f.pdf", "f.txt"}));
        for (const char *name : {"/f.pdf", "/f.txt"})
            QCOMPARE(outtest::readFile(m_out + name), QByteArray("the user's document"));
        QVERIFY(listFilesLeft().isEmpty());
    }

    void cancelEndsAHungRun()
    {
        fake("slow");
        for (int single = 0; single < 2; ++single) {
            PdfOcrHander ocr;
            ocr.setPdfOutputFile(m_out + "/slow.pdf");
            ocr.setImageInput("/pages/1.png");
            QFile::remove(m_tmp.path() + "/argv");
            QElapsedTimer t;
            t.start();
            OcrThread run([&] { return single ? ocr.createSinglePdfFile() : ocr.createPdfFile(); });
            // The cancel comes once the program runs (it sleeps 30 s).
            QTRY_VERIFY(QFile::exists(m_tmp.path() + "/argv"));
            ocr.m_bCancel = true;
            QVERIFY(run.thread->wait(scaledMs(15000)));
            QVERIFY(!run.result);
            QVERIFY2(t.elapsed() < 15000, qPrintable(QString::number(t.elapsed())));
            QVERIFY(!QFile::exists(m_out + "/slow.pdf"));
            QVERIFY(listFilesLeft().isEmpty());
        }
    }

    // A cancel ends the wrapper and every program it started, within about a
    // second, and leaves the folder as it was.
    void cancelEndsEveryProgramOfTheRun()
    {
        const RealWrapper wrapper(m_app, slowSystemOcr(), "3");
        emptyOut();
        QVERIFY(outtest::writeFile(m_out + "/doc.pdf", "the user's document"));
        PdfOcrHander ocr;
        ocr.setPdfOutputFile(m_out + "/doc.pdf");
        for (const QString &page : threePages(m_tmp.path()))
            ocr.setImageInput(page);
        OcrThread run([&] { return ocr.createPdfFile(); });
        // Three parts, each two.
        QTRY_COMPARE_WITH_TIMEOUT(recordedPids().size(), 6, scaledMs(20000));
        QElapsedTimer t;
        t.start();
        ocr.m_bCancel = true;
        QVERIFY(run.thread->wait(scaledMs(10000)));
        QVERIFY(!run.result);
        QVERIFY(allGone(recordedPids(), scaledMs(1500) - int(t.elapsed())));
        QVERIFY2(t.elapsed() < scaledMs(1500), qPrintable(QString::number(t.elapsed())));
        QCOMPARE(outFiles(), QStringList({"doc.pdf"}));
        QCOMPARE(outtest::readFile(m_out + "/doc.pdf"), QByteArray("the user's document"));
        QVERIFY(listFilesLeft().isEmpty());
    }

    // The launcher ending in the middle of a run (here killed) takes the
    // run's programs with it, and they take their files.
    void hostEndingEndsEveryProgramOfTheRun()
    {
        const RealWrapper wrapper(m_app, slowSystemOcr(), "3");
        emptyOut();
        QProcess host;
        host.start(
            QCoreApplication::applicationFilePath(),
            QStringList{"--ocr-host", QCoreApplication::applicationDirPath(), m_out + "/doc.pdf"} +
                threePages(m_tmp.path()));
        QVERIFY(host.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(recordedPids().size(), 6, scaledMs(20000));
        host.kill();
        QVERIFY(host.waitForFinished());
        QVERIFY(allGone(recordedPids(), scaledMs(2000)));
        QTRY_COMPARE_WITH_TIMEOUT(outFiles(), QStringList(), scaledMs(2000));
        // The page list is the killed process's own file in the temporary
        // folder: nothing else can know it is not in use.
        for (const QString &list : listFilesLeft())
            QFile::remove(QDir::tempPath() + "/" + list);
    }

    // Cancelled after the first page's progress: no OCR run starts after it.
    void cancelAfterTheFirstPage_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("written");
        QTest::newRow("searchable PDF per page") << 9 << 1;
        QTest::newRow("searchable PDF per group") << 1 << 0;
        QTest::newRow("text per group") << 13 << 0;
    }
    void cancelAfterTheFirstPage()
    {
        QFETCH(int, type);
        QFETCH(int, written);
        fake("ok");
        WorkerRig rig;
        tagTASK_SHORTCUT t = workerTask(type, m_out + "/c", "c");
        QDir(t.FolderPath).removeRecursively();
        QList<tagSCAN_IMAGE_FILE> list;
        for (const QString &p : threePages(m_tmp.path()))
            list << page(p, 60, 60) << page(p, 60, 60);
        auto cancelAtOne = [&](int done, int) {
            if (done == 1)
                rig.worker->cancelSaveProcess();
        };
        connect(rig.worker, &ProcessFile::ocrValueChanged, rig.worker, cancelAtOne,
                Qt::DirectConnection);
        connect(rig.worker, &ProcessFile::saveFileValueChanged, rig.worker, cancelAtOne,
                Qt::DirectConnection);
        QVERIFY(rig.run(t, list));
        QVERIFY(rig.worker->isCancel());
        QCOMPARE(rig.worker->saveResult(), 0); // a cancel, not a failure
        QCOMPARE(outtest::filesIn(t.FolderPath).size(), written);
        int named = 0;
        for (const tagSCAN_IMAGE_FILE &p : qAsConst(list))
            named += p.outputFileName.isEmpty() ? 0 : 1;
        QCOMPARE(named, written);
    }

    void workerReportsOcrFailure()
    {
        fake("fail");
        WorkerRig rig;
        tagTASK_SHORTCUT t = workerTask(FileTypeSearchablePdf, m_out + "/w", "s");
        const QString png =
            outtest::writePage(m_tmp.path() + "/p.png", outtest::drawPage(100, 100));
        QList<tagSCAN_IMAGE_FILE> list{page(png, 100, 100)};
        QSignalSpy ocring(rig.worker, &ProcessFile::startOcring);
        QVERIFY(rig.run(t, list));
        QCOMPARE(ocring.size(), 1);
        // A document not written: the launcher says so, not "cancelled".
        QCOMPARE(rig.worker->saveResult(), -50);
        QVERIFY(list[0].outputFileName.isEmpty());
        QCOMPARE(QDir(m_out + "/w").entryList(QDir::Files), QStringList());
    }

    void realOcrThroughTheWrapper()
    {
        const QString wrapper = QCoreApplication::applicationDirPath() + "/tesseract";
        QVERIFY2(QFile::exists(wrapper), "the build copies the OCR wrapper beside the tests");
        const RealWrapper real(m_app);
        QImage text = outtest::whitePage(1240, 600);
        QPainter p(&text);
        p.setPen(Qt::black);
        p.setFont(QFont("WenQuanYi Zen Hei", 48));
        p.drawText(60, 150, QStringLiteral("扫描文件"));
        p.drawText(60, 300, QStringLiteral("金额 12345"));
        p.setFont(QFont("DejaVu Sans", 40));
        p.drawText(60, 450, "INVOICE 2026");
        p.end();
        const QString page1 = outtest::writePage(m_tmp.path() + "/ocr1.png", text, "png", 150);
        WorkerRig rig;
        rig.answerer.keyword = QStringLiteral("合同 \"quoted\" ]]> 2026");
        tagTASK_SHORTCUT t = workerTask(1, m_out + "/real", "ocr");
        t.AddKeywordToDoc = true;
        auto squeeze = [](QString s) { return s.remove(QRegularExpression("\\s")); };
        for (int type : {1, 9, 13}) {
            t.FileTypeID = static_cast<ScanFileTypeFlag>(type);
            QList<tagSCAN_IMAGE_FILE> list{page(page1, 1240, 600, 150)};
            QVERIFY(rig.run(t, list, 60000));
            QCOMPARE(rig.worker->saveResult(), 0);
            const QString doc = list[0].outputFileName;
            QVERIFY2(QFile::exists(doc), qPrintable(doc));
            QString found;
            if (type == 13) {
                QFile f(doc);
                QVERIFY(f.open(QIODevice::ReadOnly));
                found = QString::fromUtf8(f.readAll());
            } else {
                QCOMPARE(outtest::run("qpdf", {"--check", doc}).code, 0);
                found = outtest::run("pdftotext", {"-enc", "UTF-8", doc, "-"}).out;
                const QString info = outtest::run("pdfinfo", {"-enc", "UTF-8", doc}).out;
                QVERIFY2(info.contains(QRegularExpression(
                             QStringLiteral("Keywords:\\s+合同 \"quoted\" \\]\\]> 2026\n"))),
                         qPrintable(info));
                QVERIFY(outtest::run("pdffonts", {doc}).out.contains("GlyphLessFont"));
            }
            QVERIFY2(squeeze(found).contains(QStringLiteral("文件")), qPrintable(found));
            QVERIFY2(squeeze(found).contains(QStringLiteral("金额12345")), qPrintable(found));
            QVERIFY2(squeeze(found).contains("2026"), qPrintable(found));
        }
    }

    // A document read in three parts: its pages in order, each page's words
    // on that page, and the same text as one part gives.
    void ocrJoinKeepsThePagesInOrder()
    {
        const QString calls = m_tmp.path() + "/calls";
        const QString shim = outtest::writeScript(
            m_tmp.path() + "/counting-ocr",
            QStringLiteral("echo \"$2\" >> '%1'\nexec /usr/bin/tesseract \"$@\"\n").arg(calls));
        QVERIFY(!shim.isEmpty());
        const RealWrapper real(m_app, shim);
        QStringList pages;
        for (int n = 1; n <= 5; ++n) {
            QImage text = outtest::whitePage(1240, 400);
            QPainter p(&text);
            p.setPen(Qt::black);
            p.setFont(QFont("DejaVu Sans", 40));
            p.drawText(60, 200, QStringLiteral("PAGE %1 WORD%2").arg(n).arg(n * 1111));
            p.end();
            pages << outtest::writePage(QStringLiteral("%1/join%2.png").arg(m_tmp.path()).arg(n),
                                        text, "png", 150);
        }
        emptyOut();
        QString texts[2];
        for (const char *parts : {"3", "1"}) {
            qputenv("CORVAN_OCR_PARTS", parts);
            QFile::remove(calls);
            PdfOcrHander ocr;
            ocr.setPdfOutputFile(m_out + "/joined.pdf");
            ocr.setPdfKeyword("abc");
            for (const QString &p : pages)
                ocr.setImageInput(p);
            QVERIFY(ocr.createPdfFile());
            ocr.setTxtOutputFile(m_out + "/joined.txt");
            QVERIFY(ocr.createOcrTxtFile());
            QCOMPARE(recorded("calls").count('\n'), 2 * QByteArray(parts).toInt());
            const QString doc = m_out + "/joined.pdf";
            QCOMPARE(outtest::run("qpdf", {"--check", doc}).code, 0);
            const QString info = outtest::run("pdfinfo", {doc}).out;
            QVERIFY2(info.contains(QRegularExpression("Pages:\\s+5\n")), qPrintable(info));
            QVERIFY(info.contains(QRegularExpression("Keywords:\\s+abc\n")));
            for (int n = 1; n <= 5; ++n) {
                QString page = outtest::run("pdftotext", {"-f", QString::number(n), "-l",
                                                          QString::number(n), doc, "-"})
                                   .out;
                page.remove(QRegularExpression("\\s"));
                QVERIFY2(page.contains(QStringLiteral("WORD%1").arg(n * 1111)), qPrintable(page));
            }
            texts[parts[0] == '1'] = QString::fromUtf8(outtest::readFile(m_out + "/joined.txt"));
            QCOMPARE(outFiles(), QStringList({"joined.pdf", "joined.txt"}));
        }
        QCOMPARE(texts[0], texts[1]);
        QVERIFY(listFilesLeft().isEmpty());
    }

    // The real OCR program over a long page: a cancel ends it within about a
    // second.
    void realOcrCancelEndsWithinASecond()
    {
        const RealWrapper real(m_app);
        emptyOut();
        PdfOcrHander ocr;
        ocr.setPdfOutputFile(m_out + "/long.pdf");
        for (int n = 1; n <= 2; ++n)
            ocr.setImageInput(
                outtest::writePage(QStringLiteral("%1/long%2.png").arg(m_tmp.path()).arg(n),
                                   outtest::textPage(n), "png", 300));
        OcrThread run([&] { return ocr.createPdfFile(); });
        // Until the OCR programs work on the pages.
        QList<int> programs;
        QTRY_VERIFY_WITH_TIMEOUT(!(programs = processesNaming(m_out)).isEmpty() &&
                                     processesNaming("/usr/bin/tesseract").size() > 0,
                                 scaledMs(20000));
        programs = processesNaming(m_out);
        QElapsedTimer t;
        t.start();
        ocr.m_bCancel = true;
        QVERIFY(run.thread->wait(scaledMs(10000)));
        QVERIFY(!run.result);
        QVERIFY(allGone(programs, scaledMs(1500) - int(t.elapsed())));
        QVERIFY2(t.elapsed() < scaledMs(1500), qPrintable(QString::number(t.elapsed())));
        QCOMPARE(outFiles(), QStringList());
    }
};

namespace {

// The launcher's part for hostEndingEndsEveryProgramOfTheRun: one
// whole-document run, in a process of its own that the test kills.
int ocrHost(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    PdfOcrHander::setAppDir(QString::fromLocal8Bit(argv[2]));
    PdfOcrHander ocr;
    ocr.setPdfOutputFile(QString::fromLocal8Bit(argv[3]));
    for (int i = 4; i < argc; ++i)
        ocr.setImageInput(QString::fromLocal8Bit(argv[i]));
    return ocr.createPdfFile() ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 4 && qstrcmp(argv[1], "--ocr-host") == 0)
        return ocrHost(argc, argv);
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestOcrOutput test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ocroutput.moc"

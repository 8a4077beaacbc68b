// Searchable PDF and text through the OCR program: its arguments, folder,
// environment and list file seen by fake programs; failures, cancel; then
// the real OCR program through our wrapper.

#include "generatefilename.h"
#include "outputtestutil.h"
#include "pdfocrhander.h"
#include "support/testtiming.h"
#include "workerrig.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFont>
#include <QTemporaryDir>
#include <QtTest>

using outtest::page;

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
            QStringLiteral("#!/bin/bash\n"
                           "rec='%1'\n"
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
        QFile f(m_app + "/tesseract");
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(script.toUtf8());
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    }
    QStringList recordedArgv()
    {
        QFile f(m_tmp.path() + "/argv");
        if (!f.open(QIODevice::ReadOnly))
            return {};
        QStringList out;
        const QList<QByteArray> parts = f.readAll().split('\0');
        for (int i = 0; i + 1 < parts.size(); ++i)
            out << QString::fromUtf8(parts.at(i));
        return out;
    }
    QByteArray recorded(const QString &name)
    {
        QFile f(m_tmp.path() + "/" + name);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }
    static QStringList listFilesLeft()
    {
        return QDir(QDir::tempPath()).entryList({"scan_images*"}, QDir::Files);
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
        QCOMPARE(argv,
                 QStringList({m_out + "/v1.2 report", "-l", "chi_sim", "-k", "FEFF006100620063",
                              "--tessdata-dir", data, "-c", "tessedit_create_pdf=true"}));
        QCOMPARE(recorded("pwd").trimmed(), m_app.toUtf8());
        QVERIFY(recorded("ldpath").startsWith((m_app + ":").toUtf8()));
        QCOMPARE(recorded("list"), QStringLiteral("/pages/页 1.png\r\n/pages/2.png\r\n").toUtf8());
        QVERIFY(QFile::exists(m_out + "/v1.2 report.pdf"));
        QVERIFY(listFilesLeft().isEmpty());
        QCOMPARE(QDir::currentPath(), QCoreApplication::applicationDirPath()); // ours unchanged

        ocr.clear();
        QCOMPARE(ocr.getImageFiles(), 0);
        ocr.setPdfOutputFile(m_out + "/one.pdf");
        ocr.setImageInput("/pages/3.png");
        QVERIFY(ocr.createSinglePdfFile());
        QCOMPARE(recordedArgv().mid(0, 6),
                 QStringList({"/pages/3.png", m_out + "/one", "-l", "chi_sim", "-k", "FEFF"}));

        ocr.clearTxtFile();
        ocr.setTxtOutputFile(m_out + "/text.txt");
        ocr.setImageInput("/pages/4.png");
        QVERIFY(ocr.createOcrTxtFile());
        argv = recordedArgv();
        QVERIFY(!argv.contains("-k"));
        QCOMPARE(argv.mid(1), QStringList({m_out + "/text", "-l", "chi_sim", "--tessdata-dir", data,
                                           "-c", "tessedit_create_txt=true"}));
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
        PdfOcrHander ocr;
        ocr.setPdfOutputFile(m_out + "/f.pdf");
        ocr.setImageInput("/pages/1.png");
        QVERIFY(!ocr.createPdfFile());
        QVERIFY(!QFile::exists(m_out + "/f.pdf"));
        QVERIFY(!ocr.createSinglePdfFile());
        QVERIFY(!QFile::exists(m_out + "/f.pdf"));
        ocr.setTxtOutputFile(m_out + "/f.txt");
        QVERIFY(!ocr.createOcrTxtFile());
        QVERIFY(!QFile::exists(m_out + "/f.txt"));
        QVERIFY(listFilesLeft().isEmpty());
    }

    void cancelEndsAHungRun()
    {
        fake("slow");
        for (int single = 0; single < 2; ++single) {
            PdfOcrHander ocr;
            ocr.setPdfOutputFile(m_out + "/slow.pdf");
            ocr.setImageInput("/pages/1.png");
            bool result = true;
            QElapsedTimer t;
            t.start();
            QThread *run = QThread::create(
                [&] { result = single ? ocr.createSinglePdfFile() : ocr.createPdfFile(); });
            run->start();
            QTest::qWait(300);
            ocr.m_bCancel = true;
            QVERIFY(run->wait(scaledMs(5000)));
            delete run;
            QVERIFY(!result);
            QVERIFY2(t.elapsed() < 2500, qPrintable(QString::number(t.elapsed())));
            QVERIFY(!QFile::exists(m_out + "/slow.pdf"));
            QVERIFY(listFilesLeft().isEmpty());
        }
    }

    void workerReportsOcrFailure()
    {
        fake("fail");
        WorkerRig rig;
        tagTASK_SHORTCUT t;
        t.FileTypeID = FileTypeSearchablePdf;
        t.FolderPath = m_out + "/w";
        t.FileNamePrefix = "s";
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
        PdfOcrHander::setAppDir(QCoreApplication::applicationDirPath());
        QImage text(1240, 600, QImage::Format_RGB32);
        text.fill(Qt::white);
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
        tagTASK_SHORTCUT t;
        t.FileNameFormat = FileNameDateSequence;
        t.FolderPath = m_out + "/real";
        t.FileNamePrefix = "ocr";
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
        PdfOcrHander::setAppDir(m_app);
    }
};

QTEST_MAIN(TestOcrOutput)
#include "tst_ocroutput.moc"

#include "errorhandling.h"
#include "scanpaperlog.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>

namespace {

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

QString readText(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Begin and finish times are "now"; the records compare with them masked.
QString masked(QString text)
{
    static const QRegularExpression time("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d");
    return text.replace(time, "<time>");
}

} // namespace

class TestScanPaperLog : public QObject
{
    Q_OBJECT

    QTemporaryDir *m_dir = nullptr;
    QString counterFile() const { return m_dir->filePath("scannedlog.ini"); }
    QString logFile() const { return m_dir->filePath("scanlog.txt"); }

    bool logJob(ScanPaperLog &log, const ScanLogSettings &settings, int result, int sheets)
    {
        return log.setLog(settings, result, sheets, counterFile(), logFile(), m_dir->path());
    }
    int storedCounter() const
    {
        return QSettings(counterFile(), QSettings::IniFormat).value("ScannedNum/Num", -1).toInt();
    }
    void storeCounter(int value) const
    {
        QSettings(counterFile(), QSettings::IniFormat).setValue("ScannedNum/Num", value);
    }

private slots:
    void init() { m_dir = new QTemporaryDir; }
    void cleanup() { delete m_dir; }

    void firstJobWritesFullRecord()
    {
        ScanPaperLog log;
        log.setScannerModelName("VR516");
        log.setDocumentSource(u("文档进纸器"));
        log.setScannedBeginTimeFromScanJob();
        log.setImageWidthAndHeight(1654, 2339);
        log.setScannedFinishTimeFromScanJob();
        ScanLogSettings settings;
        settings.imageFormat = 2;
        settings.resolution = 200;
        settings.documentCropping = 2;
        QVERIFY(logJob(log, settings, 0, 3));

        const QString expected = u("第1个扫描作业\n"
                                   "扫描结果：完成\n"
                                   "开始时间：<time>\n"
                                   "结束时间：<time>\n"
                                   "设备型号：Corvan VR516 扫描仪\n"
                                   "扫描页数：3\n"
                                   "扫描设置\n"
                                   " 解析度：200 dpi\n"
                                   " 色彩模式：彩色 (24位)\n"
                                   " 文档来源：文档进纸器\n"
                                   " 扫描区域：自动检测\n"
                                   " 图像尺寸：1654 * 2339像素\n"
                                   "\n\n\n");
        QCOMPARE(masked(readText(logFile())), expected);
        QCOMPARE(storedCounter(), 1);
        QCOMPARE(log.jobCounter(), 1);
    }

    void failedJobWritesShortRecord()
    {
        ScanPaperLog log;
        log.setScannerModelName("VR516");
        log.setDocumentSource(u("平板"));
        QVERIFY(logJob(log, ScanLogSettings(), RC_READ_FAILED, 4));
        QString reason;
        ErrorHandling::errorCode(RC_READ_FAILED, reason);
        QVERIFY(!reason.isEmpty());
        const QString expected = u("第1个扫描作业\n"
                                   "扫描结果：扫描失败\n"
                                   "失败原因：") +
                                 reason +
                                 u("\n"
                                   "设备型号：Corvan VR516 扫描仪\n"
                                   "扫描页数：1\n"
                                   "\n\n\n");
        QCOMPARE(readText(logFile()), expected);
    }

    void recordValues_data()
    {
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("imageFormat");
        QTest::addColumn<int>("inputDocument");
        QTest::addColumn<int>("documentCropping");
        QTest::addColumn<int>("imageCropping");
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("sheets");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("cancelled, both sides")
            << int(RC_CANCELLED) << 0 << 2 << 3 << 2 << u("文档进纸器") << 3
            << QStringList{u("扫描结果：用户取消扫描"), u("扫描页数：6"), u(" 色彩模式：黑白 (1位)"),
                           u(" 扫描区域：指定尺寸")};
        QTest::newRow("multifeed, flatbed")
            << int(RC_MULTIFEED) << 1 << 0 << 4 << 2 << u("平板") << 5
            << QStringList{u("扫描结果：重张进纸"), u("扫描页数：1"), u(" 色彩模式：灰阶 (8位)"),
                           u(" 扫描区域：自动检测")};
        QTest::newRow("crop mode 7 without detection")
            << 0 << 2 << 1 << 7 << 1 << u("文档进纸器") << 2
            << QStringList{u("扫描页数：2"), u(" 扫描区域：指定尺寸")};
        QTest::newRow("no pages") << 0 << 2 << 0 << 7 << 2 << u("文档进纸器") << 0
                                  << QStringList{u("扫描页数：0"), u(" 图像尺寸：0 * 0像素"),
                                                 u(" 扫描区域：自动检测")};
    }
    void recordValues()
    {
        QFETCH(int, result);
        QFETCH(int, imageFormat);
        QFETCH(int, inputDocument);
        QFETCH(int, documentCropping);
        QFETCH(int, imageCropping);
        QFETCH(QString, source);
        QFETCH(int, sheets);
        QFETCH(QStringList, lines);
        ScanPaperLog log;
        log.setDocumentSource(source);
        log.setImageWidthAndHeight(800, 600);
        ScanLogSettings settings;
        settings.imageFormat = imageFormat;
        settings.inputDocument = inputDocument;
        settings.documentCropping = documentCropping;
        settings.imageCropping = imageCropping;
        QVERIFY(logJob(log, settings, result, sheets));
        const QStringList written = readText(logFile()).split('\n');
        for (const QString &line : lines)
            QVERIFY2(written.contains(line), qPrintable(line));
    }

    void counterAdvancesAndRecordsAppend()
    {
        ScanPaperLog log;
        QVERIFY(logJob(log, ScanLogSettings(), 0, 1));
        QVERIFY(logJob(log, ScanLogSettings(), 0, 1));
        QCOMPARE(storedCounter(), 2);
        const QString text = readText(logFile());
        QVERIFY(text.startsWith(u("第1个扫描作业\n")));
        QVERIFY(text.contains(u("\n\n\n第2个扫描作业\n")));

        // Without the counter file the object's own count goes on.
        QVERIFY(QFile::remove(counterFile()));
        QVERIFY(logJob(log, ScanLogSettings(), 0, 1));
        QCOMPARE(storedCounter(), 3);

        // A new object starts from the stored count.
        ScanPaperLog other;
        QVERIFY(logJob(other, ScanLogSettings(), 0, 1));
        QCOMPARE(storedCounter(), 4);
    }

    void job2000StaysInTheLog()
    {
        storeCounter(1999);
        QFile old(logFile());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier jobs\n");
        old.close();
        ScanPaperLog log;
        QVERIFY(logJob(log, ScanLogSettings(), 0, 1));
        QVERIFY(readText(logFile()).startsWith(u("earlier jobs\n第2000个扫描作业\n")));
        QCOMPARE(storedCounter(), 2000);
        QCOMPARE(QDir(m_dir->path()).entryList({"*scanlog.txt"}).size(), 1);
    }

    // A damaged counter file never makes the count overflow or lose the log.
    void damagedCounter_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("job");
        QTest::addColumn<bool>("rolled");
        QTest::newRow("largest int") << "2147483647" << u("第1个扫描作业") << true;
        QTest::newRow("beyond a full log") << "5000" << u("第1个扫描作业") << true;
        QTest::newRow("negative") << "-7" << u("第1个扫描作业") << false;
        QTest::newRow("not a number") << "lots" << u("第1个扫描作业") << false;
    }
    void damagedCounter()
    {
        QFETCH(QString, stored);
        QFile counter(counterFile());
        QVERIFY(counter.open(QIODevice::WriteOnly));
        counter.write("[ScannedNum]\nNum=" + stored.toLatin1() + "\n");
        counter.close();
        QFile old(logFile());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier jobs\n");
        old.close();
        ScanPaperLog log;
        QVERIFY(logJob(log, ScanLogSettings(), 0, 1));
        QCOMPARE(storedCounter(), 1);
        QFETCH(QString, job);
        QFETCH(bool, rolled);
        const QString text = readText(logFile());
        QCOMPARE(text.startsWith(job), rolled);
        QCOMPARE(text.startsWith(u("earlier jobs\n") + job), !rolled);
        QCOMPARE(QDir(m_dir->path()).entryList({"*scanlog.txt"}).size(), rolled ? 2 : 1);
    }

    void job2001RollsTheLogOver()
    {
        storeCounter(2000);
        QFile old(logFile());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("2000 jobs\n");
        old.close();
        const QDateTime before = QDateTime::currentDateTime();
        ScanPaperLog log;
        QVERIFY(logJob(log, ScanLogSettings(), 0, 1));
        const QDateTime after = QDateTime::currentDateTime();

        QVERIFY(readText(logFile()).startsWith(u("第1个扫描作业\n")));
        QCOMPARE(storedCounter(), 1);
        const QStringList rolled = QDir(m_dir->path())
                                       .entryList(QDir::Files)
                                       .filter(QRegularExpression("^\\d{10}-\\d\\d-\\d\\dscanlog\\.txt$"));
        QCOMPARE(rolled.size(), 1);
        QVERIFY(rolled.first() == ScanPaperLog::rolledLogName(before) ||
                rolled.first() == ScanPaperLog::rolledLogName(after));
        QCOMPARE(readText(m_dir->filePath(rolled.first())), QString("2000 jobs\n"));

        // The next job continues the fresh log.
        QVERIFY(logJob(log, ScanLogSettings(), 0, 1));
        QVERIFY(readText(logFile()).contains(u("第2个扫描作业\n")));
        QCOMPARE(storedCounter(), 2);
    }

    void rolledNameFormat()
    {
        const QDateTime when(QDate(2026, 12, 8), QTime(14, 5, 9));
        QCOMPARE(ScanPaperLog::rolledLogName(when), QString("2026120814-05-09scanlog.txt"));
    }

    void unwritableLocationFailsCleanly()
    {
        // A regular file where a directory should be: no user can write there.
        const QString blocker = m_dir->filePath("blocker");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        ScanPaperLog log;
        QVERIFY(!log.setLog(ScanLogSettings(), 0, 1, blocker + "/scannedlog.ini",
                            blocker + "/scanlog.txt", blocker));
        QVERIFY(log.recordText().startsWith(u("第1个扫描作业\n")));
        QVERIFY(QFileInfo(blocker).isFile());

        // A writable log with an unwritable counter still keeps the record.
        QVERIFY(!log.setLog(ScanLogSettings(), 0, 1, blocker + "/scannedlog.ini", logFile(),
                            m_dir->path()));
        QVERIFY(readText(logFile()).startsWith(u("第2个扫描作业\n")));
    }
};

QTEST_MAIN(TestScanPaperLog)
#include "tst_scanpaperlog.moc"

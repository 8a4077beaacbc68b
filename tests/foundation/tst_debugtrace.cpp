#include "configfile.h"
#include "debugtrace.h"
#include "support/testtiming.h"

#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

// The trace routes the whole process's messages, so each case sets its mode
// explicitly and restores silence.
class TestDebugTrace : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;

    QString logPath() const { return m_tmp.path() + "/tessacklog_VR516.txt"; }
    QStringList logLines() const
    {
        QFile f(logPath());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }

    static ConfigFile config(int enable, int outputMsg)
    {
        ConfigFile cfg;
        cfg.m_nEnableLogFile = enable;
        cfg.m_nOutputMsg = outputMsg;
        return cfg;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        qputenv("TMPDIR", m_tmp.path().toUtf8());
    }

    void init() { QFile::remove(logPath()); }
    void cleanup() { g_trace.setDebugMode(1, 0, false); }

    void fileModeFiltersInfoByOutputMsg()
    {
        g_trace.applyConfig(config(1, 0));
        QCOMPARE(DebugTrace::m_strLogFile, logPath());
        qDebug("debug line");
        qWarning("warning line");
        qInfo("info line");
        QCOMPARE(logLines(), (QStringList{"debug line", "warning line"}));

        g_trace.applyConfig(config(1, 1));
        qInfo("info now");
        QCOMPARE(logLines().last(), QString("info now"));
    }

    void silentModesWriteNothing_data()
    {
        QTest::addColumn<int>("enable");
        QTest::newRow("0") << 0;
        QTest::newRow("3") << 3;
    }

    void silentModesWriteNothing()
    {
        QFETCH(int, enable);
        g_trace.applyConfig(config(enable, 1));
        QCOMPARE(DebugTrace::m_DebugMode, 0);
        qDebug("hidden");
        qCritical("hidden too");
        QVERIFY(!QFile::exists(logPath()));
    }

    void defaultOutputModeWritesNoFile()
    {
        g_trace.applyConfig(config(2, 1));
        QCOMPARE(DebugTrace::m_DebugMode, 1);
        qDebug("to stderr");
        QVERIFY(!QFile::exists(logPath()));
    }

    void nonAsciiAndMultiLineTextAreKeptAsUtf8()
    {
        g_trace.setDebugMode(2, 0, false);
        qDebug("%s", "扫描仪\nsecond");
        QFile f(logPath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("扫描仪\nsecond\n"));
    }

    void recordFuncPrefixesSource()
    {
        g_trace.setDebugMode(2, 0, true);
        const QMessageLogContext where("scan.cpp", 42, "int ScanJob::run()", "default");
        DebugTrace::outputMessage(QtWarningMsg, where, "jam");
        DebugTrace::outputMessage(QtWarningMsg, QMessageLogContext(), "bare");
        QCOMPARE(logLines(), (QStringList{"scan.cpp(42) : int ScanJob::run() : jam", "(0) :  : bare"}));
    }

    void appendsAcrossRuns()
    {
        g_trace.setDebugMode(2, 0, false);
        qDebug("first");
        g_trace.setDebugMode(2, 0, false);
        qDebug("second");
        QCOMPARE(logLines(), (QStringList{"first", "second"}));
    }

    void concurrentWritersNeverInterleave()
    {
        g_trace.setDebugMode(2, 0, false);
        const int threads = 6, lines = 300;
        QList<QThread *> workers;
        for (int t = 0; t < threads; ++t) {
            workers << QThread::create([t] {
                const QString payload = QString(200, QChar('a' + t));
                for (int i = 0; i < lines; ++i)
                    qDebug("%s", qPrintable(payload));
            });
            workers.last()->start();
        }
        for (QThread *w : workers) {
            QVERIFY(w->wait(scaledMs(30000)));
            delete w;
        }
        const QStringList all = logLines();
        QCOMPARE(all.size(), threads * lines);
        for (const QString &l : all) {
            QCOMPARE(l.size(), 200);
            QCOMPARE(l.count(l.at(0)), 200);
        }
    }
};

QTEST_GUILESS_MAIN(TestDebugTrace)
#include "tst_debugtrace.moc"

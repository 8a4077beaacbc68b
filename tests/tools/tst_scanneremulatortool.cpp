// scanner-emulator as a person runs it: a command of ours scans through the
// emulated scanner of another process, and the command's exit status comes
// back.
#include "emulatoroptions.h"
#include "support/testtiming.h"

#include <QProcess>
#include <QtTest>

using namespace emu;

namespace {

struct Run
{
    int exitCode = -1;
    QString out, err;
};

Run emulate(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(SCANNER_EMULATOR), args);
    Run r;
    if (!p.waitForFinished(scaledMs(90000))) {
        p.kill();
        p.waitForFinished(scaledMs(30000));
        r.err = "did not finish";
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

QStringList probe(int profile)
{
    return {"--", QStringLiteral(SCANPROBE), "--profile", QString::number(profile)};
}

bool parses(const std::vector<std::string> &args, EmulatorOptions &o, std::string &error)
{
    return parseEmulatorOptions(args, o, error);
}

} // namespace

class TestScannerEmulatorTool : public QObject
{
    Q_OBJECT
private slots:
    void optionsBuildTheStack()
    {
        EmulatorOptions o;
        std::string error;
        QVERIFY(parses({"--model", "t2750k", "--sheets", "5", "--simplex", "--ink", "grey",
                        "--paper-empty", "3", "--multifeed", "2:3", "--multifeed", "4", "--jam", "1",
                        "--cover-open", "5", "--vanish", "3", "--same-pages", "--", "prog", "--sheets", "9"},
                       o, error));
        QCOMPARE(o.identity.vendorId, ids::kOxVendor);
        QCOMPARE(o.identity.productId, ids::kOxT2750k);
        QCOMPARE(o.script.sheets, 5u);
        QVERIFY(!o.script.duplex);
        QVERIFY(o.script.ink == Ink::Grey);
        QCOMPARE(o.script.paperEmptyPolls, 3u);
        QCOMPARE(o.script.multifed.size(), size_t(2));
        QCOMPARE(int(*o.script.multifed.at(2)), 3);
        QVERIFY(!o.script.multifed.at(4).has_value());
        QCOMPARE(int(o.script.statusInPlaceOfHeader.at(1)), int(status::kPaperJam));
        QCOMPARE(int(o.script.statusInPlaceOfHeader.at(5)), int(status::kCoverOpen));
        QCOMPARE(o.script.vanishAt, 3u);
        QVERIFY(o.script.samePages);
        QVERIFY(!o.script.keepTrafficLog);
        // Everything after -- belongs to the command.
        QCOMPARE(o.command, (std::vector<std::string>{"prog", "--sheets", "9"}));
    }

    void badOptionsAreRefused_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("error");
        QTest::newRow("no command") << QStringList{"--sheets", "2"} << "no command";
        QTest::newRow("empty command") << QStringList{"--"} << "no command";
        QTest::newRow("unknown option") << QStringList{"--duplex", "--", "x"} << "unknown option";
        QTest::newRow("model") << QStringList{"--model", "VR999", "--", "x"} << "unknown model";
        QTest::newRow("sheets") << QStringList{"--sheets", "-1", "--", "x"} << "--sheets";
        QTest::newRow("missing value") << QStringList{"--sheets"} << "needs a value";
        QTest::newRow("ink") << QStringList{"--ink", "sepia", "--", "x"} << "--ink";
        QTest::newRow("sheet zero") << QStringList{"--jam", "0", "--", "x"} << "--jam";
        QTest::newRow("beyond the stack") << QStringList{"--sheets", "2", "--vanish", "3", "--", "x"}
                                          << "not in a stack of 2";
        QTest::newRow("panel key") << QStringList{"--multifeed", "1:x", "--", "x"} << "panel key";
    }
    void badOptionsAreRefused()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, error);
        std::vector<std::string> a;
        for (const QString &s : args)
            a.push_back(s.toStdString());
        EmulatorOptions o;
        std::string why;
        QVERIFY(!parses(a, o, why));
        QVERIFY2(QString::fromStdString(why).contains(error), why.c_str());
    }

    void aProgramScansThroughTheEmulator()
    {
        const Run r = emulate(QStringList{"--sheets", "3"} + probe(2));
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
        QVERIFY2(r.out.contains("port 1;2;\n"), qPrintable(r.out));
        QVERIFY(r.out.contains("result 0\npages 6\nsheets 3\n"));
        QCOMPARE(r.out.count(".tif\n"), 6);
        QVERIFY2(r.err.contains("3 sheet(s) and 6 image(s) delivered, 0 left"), qPrintable(r.err));
        QVERIFY2(!r.err.contains("host:") && !r.err.contains("protocol:"), qPrintable(r.err));
    }

    void otherModelsAndFaultsReachTheProgram()
    {
        // A jam in place of the second sheet: the job fails with it, and the
        // sheet stays in the feeder.
        Run r = emulate(QStringList{"--model", "VR540", "--sheets", "2", "--jam", "2"} + probe(0));
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains("result -22\npages 2\n"), qPrintable(r.out + r.err));
        QVERIFY(r.err.contains("VR540 on port"));
        QVERIFY2(r.err.contains("1 sheet(s) and 2 image(s) delivered, 1 left"), qPrintable(r.err));

        // Simplex colour-JPEG sheets with a multifed sheet accepted from the panel.
        r = emulate(QStringList{"--sheets", "2", "--simplex", "--multifeed", "1:1"} + probe(4));
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
        QVERIFY(r.out.contains("result 0\npages 4\nsheets 2\n"));
    }

    void theCommandsExitStatusComesBack()
    {
        QCOMPARE(emulate({"--", "sh", "-c", "exit 7"}).exitCode, 7);
        QCOMPARE(emulate({"--", "sh", "-c", "kill -TERM $$"}).exitCode, 128 + 15);
        const Run missing = emulate({"--", "/nonexistent/program"});
        QCOMPARE(missing.exitCode, 127);
        QVERIFY(missing.err.contains("cannot run"));
        const Run usage = emulate({"--sheets", "x", "--", "true"});
        QCOMPARE(usage.exitCode, 2);
        QVERIFY(usage.err.contains("usage:"));
        // The command sees the scanner through the preload and the testbed.
        const Run env = emulate({"--", "sh", "-c", "test -n \"$UMOCKDEV_DIR\" && test -e \"$UMOCKDEV_DIR/dev/bus/usb/001/002\" && echo $LD_PRELOAD"});
        QCOMPARE(env.exitCode, 0);
        QVERIFY(env.out.contains("libumockdev-preload"));
    }
};

QTEST_GUILESS_MAIN(TestScannerEmulatorTool)
#include "tst_scanneremulatortool.moc"

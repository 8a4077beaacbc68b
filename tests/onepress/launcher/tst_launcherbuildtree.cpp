// The launcher program as the README runs it from the build tree, under
// scanner-emulator: a panel press of a searchable-PDF task finds the OCR
// wrapper beside the program and writes a document with a text layer.

#include "onepressglobal.h"
#include "scandestination.h"
#include "scanshortcutmenu.h"
#include "support/processes.h"
#include "support/testtiming.h"
#include "taskshortcut.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

class TestLauncherBuildTree : public QObject
{
    Q_OBJECT
private slots:
    void searchablePdfFromThePanel();
};

void TestLauncherBuildTree::searchablePdfFromThePanel()
{
    QVERIFY2(QFile::exists(QFileInfo(LAUNCHER_PROGRAM).absolutePath() + "/tesseract"),
             "the build lays the OCR wrapper beside the launcher");
    g_ConfigFile.loadConfigFile(QCoreApplication::applicationDirPath());
    const QString out = QDir::tempPath() + "/buildtree-out";
    QDir(out).removeRecursively();
    ScanShortcutMenu profiles;
    profiles.loadScanShortcut(&g_ConfigFile);
    TaskShortcut tasks;
    tasks.loadTaskList(&profiles);
    tagTASK_SHORTCUT t;
    QVERIFY(tasks.enumTaskShortcut(0, t));
    t.ScanDestinationID = ScanDestination::kFileId;
    t.FileTypeID = FileTypeSearchablePdf;
    t.FolderPath = out;
    t.BeforeSaveFileSettingFileName = false;
    t.AddKeywordToDoc = false;
    QVERIFY(tasks.setTaskShortcut(t.TaskID, t));
    QVERIFY(tasks.saveTaskList());

    // The instance's socket must stay under 108 bytes: a short temporary
    // folder for the program.
    QTemporaryDir shortTemp(QStringLiteral("/tmp/onepress-XXXXXX"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CORVAN_TRAY_WAIT_TRIES", "0");
    env.insert("TMPDIR", shortTemp.path());
    QProcess emulator;
    emulator.setProcessEnvironment(env);
    emulator.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    emulator.start(EMULATOR_PROGRAM, {"--sheets", "1", "--simplex", "--press", "1", "--",
                                      LAUNCHER_PROGRAM});
    QVERIFY(emulator.waitForStarted(scaledMs(10000)));
    auto written = [&] { return QDir(out).entryList({"*.pdf"}, QDir::Files); };
    // The run is over once its page files are gone after the hand-off.
    auto pagesLeft = [] {
        return QDir(g_ConfigFile.m_strTempDir).entryList({"*.jpg", "*.bmp", "*.tif"}, QDir::Files);
    };
    QTRY_VERIFY_WITH_TIMEOUT(!written().isEmpty() && pagesLeft().isEmpty(), scaledMs(90000));
    emulator.terminate();
    if (!emulator.waitForFinished(scaledMs(15000))) {
        emulator.kill();
        emulator.waitForFinished(scaledMs(5000));
    }

    const QString pdf = out + "/" + written().first();
    QVERIFY2(testsupport::runTool("pdffonts", {pdf}).out.contains("GlyphLessFont"), "the OCR text layer");
    const QString text = QString::fromUtf8(testsupport::runTool("pdftotext", {"-enc", "UTF-8", pdf, "-"}).out);
    QVERIFY2(text.contains(QRegularExpression("\\w")), qPrintable(text));
}

QTEST_MAIN(TestLauncherBuildTree)
#include "tst_launcherbuildtree.moc"

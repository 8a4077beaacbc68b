// Output benchmark (a program, not a test): the worker's one-PDF-per-group
// writer over jobs of 300 dpi A4 pages, colour JPEG and bitonal Group 4, the
// blank-page check on the same pages, and the searchable PDF through the OCR
// program (0 pages leaves it out).
//
//   bench_output [--pages 20,50,200] [--kinds jpeg,g4] [--ocr 16]
//
// Each job runs in a child process of its own, so its CPU time and peak
// memory are the job's alone. The document on disk is whole at every moment
// but is not rewritten after every page: the two curves show when page k was
// done and when the file first held it.

#include "checkblankpage.h"
#include "outputtestutil.h"
#include "processfile.h"
#include "taskshortcut.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QImage a4Page(bool colour)
{
    QImage image(2480, 3508, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    if (colour) {
        QLinearGradient band(0, 0, 2480, 0);
        band.setColorAt(0, QColor(30, 90, 200));
        band.setColorAt(1, QColor(220, 120, 40));
        p.fillRect(0, 0, 2480, 500, band);
        p.fillRect(1400, 700, 900, 700, QColor(60, 160, 80));
    }
    p.setPen(Qt::black);
    p.setFont(QFont("DejaVu Sans", 14));
    for (int y = 800; y < 3300; y += 60)
        p.drawText(200, y,
                   "Lorem ipsum dolor sit amet, consectetur adipiscing elit 0123456789 " +
                       QString::number(y));
    p.end();
    return image;
}

double cpuMs(const rusage &r)
{
    return (r.ru_utime.tv_sec + r.ru_stime.tv_sec) * 1000.0 +
           (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1000.0;
}

// The job in this (child) process; prints the curve.
int runJob(const QString &pageFile, int pages, const QString &out)
{
    QList<tagSCAN_IMAGE_FILE> list;
    for (int i = 0; i < pages; ++i) {
        const QString copy = QStringLiteral("%1/page%2.%3")
                                 .arg(out + "/pages")
                                 .arg(i)
                                 .arg(QFileInfo(pageFile).suffix());
        QFile::copy(pageFile, copy);
        tagSCAN_IMAGE_FILE p;
        p.fileName = copy;
        p.width = 2480;
        p.height = 3508;
        p.resolution = 300;
        list << p;
    }
    tagTASK_SHORTCUT task;
    task.FileTypeID = FileTypePdf;
    task.FileNameFormat = FileNameDateSequence;
    task.FolderPath = out + "/doc";
    task.FileNamePrefix = "bench";
    nSleepTime = 0;
    ProcessFile worker;
    QElapsedTimer clock;
    const QList<int> marks{1, 10, 20, 50, 100, 150, 200};
    QString doneCurve, fileCurve;
    int inFile = 0; // pages the file is known to hold
    struct stat seen = {};
    // A rewrite replaces the file: a new inode, size or time means the file
    // now holds every page done so far.
    const auto noteFile = [&](int done) {
        struct stat now = {};
        if (list.isEmpty() || stat(QFile::encodeName(list.first().outputFileName), &now) != 0)
            return;
        if (now.st_ino == seen.st_ino && now.st_size == seen.st_size &&
            now.st_mtim.tv_nsec == seen.st_mtim.tv_nsec && now.st_mtim.tv_sec == seen.st_mtim.tv_sec)
            return;
        seen = now;
        for (int mark : marks)
            if (mark > inFile && mark <= done)
                fileCurve += QStringLiteral(" %1:%2s").arg(mark).arg(clock.elapsed() / 1000.0, 0,
                                                                     'f', 2);
        inFile = done;
    };
    QObject::connect(&worker, &ProcessFile::saveFileValueChanged, [&](int done, int) {
        if (marks.contains(done))
            doneCurve += QStringLiteral(" %1:%2s").arg(done).arg(clock.elapsed() / 1000.0, 0, 'f', 2);
        noteFile(done);
    });
    QObject::connect(&worker, &ProcessFile::saveFileFinished, [&] { noteFile(pages); });
    worker.setListImageFiles(list);
    worker.setParameters(task);
    clock.start();
    worker.OnStartSaveFile();
    std::printf("    page done at:       %s\n    page in the file at:%s\n", qPrintable(doneCurve),
                qPrintable(fileCurve));
    std::fflush(stdout);
    return worker.saveResult() == 0 ? 0 : 1;
}

// ---- OCR ---------------------------------------------------------------------

// Processes whose command line names `path` (the run's own OCR programs).
int processesNaming(const QString &path)
{
    int n = 0;
    for (const QString &pid : QDir("/proc").entryList(QDir::Dirs)) {
        QFile cmdline("/proc/" + pid + "/cmdline");
        if (pid.toInt() > 0 && pid.toInt() != getpid() && cmdline.open(QIODevice::ReadOnly) &&
            cmdline.readAll().contains(path.toUtf8()))
            ++n;
    }
    return n;
}

// One run of the worker on a thread of its own, as the launcher runs it;
// cancelled after `cancelMs` when that is not negative. Returns the seconds
// until its end.
double runOcrWorker(ScanFileTypeFlag type, const QStringList &pageFiles, const QString &out,
                    int cancelMs, ProcessFile &worker, QStringList *atCancel)
{
    QList<tagSCAN_IMAGE_FILE> list;
    for (const QString &file : pageFiles)
        list << outtest::page(file, 2480, 3508, 300);
    tagTASK_SHORTCUT task;
    task.FileTypeID = type;
    task.FileNameFormat = FileNameDateSequence;
    task.FolderPath = out;
    task.FileNamePrefix = "ocr";
    nSleepTime = 0;
    QThread thread;
    worker.moveToThread(&thread);
    thread.start();
    worker.setListImageFiles(list);
    worker.setParameters(task);
    QEventLoop loop;
    QObject::connect(&worker, &ProcessFile::saveFileFinished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    if (cancelMs >= 0) {
        QTimer::singleShot(cancelMs, &loop, [&] {
            if (atCancel)
                *atCancel = QDir(out).entryList(QDir::Files);
            worker.cancelSaveProcess();
        });
    }
    QMetaObject::invokeMethod(&worker, &ProcessFile::OnStartSaveFile, Qt::QueuedConnection);
    loop.exec();
    const double seconds = clock.elapsed() / 1000.0;
    thread.quit();
    thread.wait();
    return seconds;
}

// The whole-document OCR run (type 1) over `pages` text pages with every
// core and with one part; then cancels of a per-page (type 9) and of a
// whole-document run.
void ocrRows(const QString &dir, int pages)
{
    QStringList files;
    for (int i = 0; i < pages; ++i)
        files << outtest::writePage(QStringLiteral("%1/text%2.png").arg(dir).arg(i + 1),
                                    outtest::textPage(i + 1), "png", 300);
    std::printf("\nSearchable PDF (type 1) of %d A4 text pages, wall time:\n", pages);
    double seconds[2] = {0, 0};
    for (int one = 0; one < 2; ++one) {
        if (one)
            qputenv("CORVAN_OCR_PARTS", "1");
        else
            qunsetenv("CORVAN_OCR_PARTS");
        const QString out = QStringLiteral("%1/ocr%2").arg(dir).arg(one);
        ProcessFile worker;
        seconds[one] = runOcrWorker(FileTypeSearchablePdf, files, out, -1, worker, nullptr);
        const QStringList docs = QDir(out).entryList({"*.pdf"}, QDir::Files);
        QString pagesFound;
        if (docs.size() == 1) {
            QProcess info;
            info.start("pdfinfo", {out + "/" + docs.first()});
            info.waitForFinished();
            const QString text = QString::fromUtf8(info.readAllStandardOutput());
            pagesFound = QRegularExpression("Pages:\\s+(\\d+)").match(text).captured(1);
        }
        std::printf("  %-22s %6.1f s  (%s pages in the document%s)\n",
                    one ? "one part" : "all cores", seconds[one], qPrintable(pagesFound),
                    worker.saveResult() == 0 ? "" : ", failed");
        std::fflush(stdout);
    }
    qunsetenv("CORVAN_OCR_PARTS");
    std::printf("  all cores / one part: %.2f\n", seconds[0] / seconds[1]);

    std::printf("\nOCR cancel at 1.5 s:\n");
    for (ScanFileTypeFlag type : {FileTypeSearchablePdfSingle, FileTypeSearchablePdf}) {
        const QString out = QStringLiteral("%1/cancel%2").arg(dir).arg(int(type));
        const QStringList some = files.mid(0, 8);
        ProcessFile worker;
        QStringList atCancel;
        const double ended = runOcrWorker(type, some, out, 1500, worker, &atCancel);
        const int running = processesNaming(out);
        QThread::msleep(1000);
        int after = 0;
        for (const QString &name : QDir(out).entryList(QDir::Files))
            after += atCancel.contains(name) ? 0 : 1;
        std::printf("  type %-2d %d pages: run ended at %.2f s, %d document(s) written after the"
                    " cancel, result %d, cancelled %s, %d OCR process(es) at the end and %d a"
                    " second later, files in the folder: %d\n",
                    int(type), int(some.size()), ended, after, worker.saveResult(),
                    worker.isCancel() ? "yes" : "no", running, processesNaming(out),
                    int(QDir(out).entryList(QDir::Files | QDir::Hidden).size()));
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QList<int> counts{20, 50, 200};
    QStringList kinds{"jpeg", "g4"};
    int ocrPages = 16;
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--pages") {
            counts.clear();
            for (const QString &n : args[i + 1].split(','))
                counts << n.toInt();
        } else if (args[i] == "--kinds") {
            kinds = args[i + 1].split(',');
        } else if (args[i] == "--ocr") {
            ocrPages = args[i + 1].toInt();
        }
    }
    QTemporaryDir dir;
    const QString jpeg = dir.path() + "/colour.jpg";
    a4Page(true).save(jpeg, "jpg", 85);
    const QString g4 = dir.path() + "/bitonal.tif";
    outtest::writeG4Tiff(g4, a4Page(false));

    std::printf("Blank-page check (GUI thread), ms per page:\n");
    for (const QString &file : {jpeg, g4}) {
        tagSCAN_IMAGE_FILE page;
        page.fileName = file;
        page.resolution = 300;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < 10; ++i)
            CheckBlankPage::checkImageBlankPage(page, 0);
        std::printf("  %-6s %6.1f ms\n", QFileInfo(file).suffix() == "jpg" ? "jpeg" : "g4",
                    t.elapsed() / 10.0);
    }

    std::printf("\nPDF per group (type 2), one document per job:\n");
    std::printf("  kind  pages  pages/s  CPU ms/page  peak MiB  page files MiB  document MiB\n");
    for (const QString &kind : kinds) {
        const QString pageFile = kind == "jpeg" ? jpeg : g4;
        const double pageMiB = QFileInfo(pageFile).size() / 1048576.0;
        for (int n : counts) {
            const QString out = dir.path() + QStringLiteral("/%1-%2").arg(kind).arg(n);
            QDir().mkpath(out + "/pages");
            QElapsedTimer wall;
            wall.start();
            std::fflush(stdout);
            const pid_t pid = fork();
            if (pid == 0)
                _exit(runJob(pageFile, n, out));
            int status = 0;
            rusage usage;
            wait4(pid, &status, 0, &usage);
            const double seconds = wall.elapsed() / 1000.0;
            qint64 docBytes = 0;
            for (const QFileInfo &f : QDir(out + "/doc").entryInfoList(QDir::Files))
                docBytes += f.size();
            std::printf("  %-5s %5d  %7.1f  %11.1f  %8.1f  %14.1f  %12.1f%s\n", qPrintable(kind), n,
                        n / seconds, cpuMs(usage) / n, usage.ru_maxrss / 1024.0, pageMiB * n,
                        docBytes / 1048576.0,
                        WIFEXITED(status) && WEXITSTATUS(status) == 0 ? "" : "  (failed)");
            QDir(out).removeRecursively();
        }
    }
    if (ocrPages > 0)
        ocrRows(dir.path(), ocrPages);
    return 0;
}

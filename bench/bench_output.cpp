// Output benchmark (a program, not a test): the worker's one-PDF-per-group
// writer over jobs of 300 dpi A4 pages, colour JPEG and bitonal Group 4, and
// the blank-page check on the same pages.
//
//   bench_output [--pages 20,50,200] [--kinds jpeg,g4]
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
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

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
    worker.setListImageFiles(&list);
    worker.setParameters(task);
    clock.start();
    worker.OnStartSaveFile();
    std::printf("    page done at:       %s\n    page in the file at:%s\n", qPrintable(doneCurve),
                qPrintable(fileCurve));
    std::fflush(stdout);
    return worker.saveResult() == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QList<int> counts{20, 50, 200};
    QStringList kinds{"jpeg", "g4"};
    const QStringList args = app.arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--pages") {
            counts.clear();
            for (const QString &n : args[i + 1].split(','))
                counts << n.toInt();
        } else if (args[i] == "--kinds") {
            kinds = args[i + 1].split(',');
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
    return 0;
}

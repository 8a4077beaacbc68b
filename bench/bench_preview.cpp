// Preview benchmark (a program, not a test): an A4 colour preview page at
// 300 dpi in the preview page, zoomed step by step from 1 to 32, printing the
// time of each zoom step and of a paint (home and scrolled to the middle),
// and the process's memory at each zoom. Runs offscreen.
//
//   build/bench/bench_preview [--repeat N] [--full-copy]
//
// --full-copy also times making a whole scaled copy of the page at each zoom,
// which is what drawing only the visible part avoids.
#include "pmessage.h"
#include "previewform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double residentMiB()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * sysconf(_SC_PAGESIZE) / (1024 * 1024) : 0;
}

double peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

// A page with something on it everywhere, so that scaling has work to do.
QImage a4Page()
{
    QImage page(2480, 3508, QImage::Format_RGB888);
    page.fill(Qt::white);
    QPainter p(&page);
    p.fillRect(0, 0, 2480, 400, QColor(40, 90, 160));
    for (int y = 500; y < 3400; y += 60)
        p.fillRect(150, y, 2100 - (y * 7) % 600, 24, QColor(30, 30, 30));
    p.setBrush(QColor(200, 80, 60));
    p.drawEllipse(QRect(1600, 1200, 700, 700));
    return page;
}

double msSince(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

double paintMs(QWidget &form, int repeat)
{
    QImage target(form.size(), QImage::Format_ARGB32_Premultiplied);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < repeat; ++i)
        form.render(&target);
    return msSince(t) / repeat;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int repeat = 5;
    bool fullCopy = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args.at(i) == "--repeat" && i + 1 < args.size())
            repeat = qMax(1, args.at(++i).toInt());
        else if (args.at(i) == "--full-copy")
            fullCopy = true;
    }

    QTemporaryDir dir;
    const QString file = dir.path() + "/preview.bmp";
    a4Page().save(file);
    std::printf("preview page: 2480 x 3508 colour bitmap, form 349 x 526, %d paints per row\n",
                repeat);
    std::printf("start: resident %.1f MiB\n", residentMiB());

    PMessage hub;
    PreviewForm form(&hub);
    form.show();
    QElapsedTimer t;
    t.start();
    emit hub.sendPreviewFilename(nullptr, file);
    std::printf("load: %.1f ms, resident %.1f MiB\n\n", msSince(t), residentMiB());

    std::printf("%5s %12s %10s %10s %12s %12s %12s%s\n", "zoom", "picture", "step ms", "paint ms",
                "scrolled ms", "resident MiB", "peak MiB", fullCopy ? "   full copy ms / MiB" : "");
    auto *magnify = form.findChild<QPushButton *>("pushButtonSettingMagnify");
    auto *hBar = form.findChild<QScrollBar *>("horizontalScrollBar");
    auto *vBar = form.findChild<QScrollBar *>("verticalScrollBar");
    for (int zoom = 1; zoom <= 32; zoom *= 2) {
        double stepMs = 0;
        if (zoom > 1) {
            t.restart();
            magnify->click();
            stepMs = msSince(t);
        }
        const double home = paintMs(form, repeat);
        hBar->setValue(hBar->maximum() / 2);
        vBar->setValue(vBar->maximum() / 2);
        const double scrolled = paintMs(form, repeat);
        const QSize s = form.scaledImageSize();
        std::printf("%5d %5d x %-5d %10.2f %10.2f %12.2f %12.1f %12.1f", form.zoom(), s.width(),
                    s.height(), stepMs, home, scrolled, residentMiB(), peakMiB());
        if (fullCopy) {
            QImage source(file);
            source = source.convertToFormat(QImage::Format_RGB32);
            t.restart();
            const QImage copy = source.scaled(s, Qt::KeepAspectRatio, Qt::FastTransformation);
            std::printf("   %8.1f / %.0f", msSince(t), copy.sizeInBytes() / (1024.0 * 1024.0));
        }
        std::printf("\n");
    }
    return 0;
}

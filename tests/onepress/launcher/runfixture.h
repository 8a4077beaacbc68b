#ifndef RUNFIXTURE_H
#define RUNFIXTURE_H

// A launcher window over a scripted console with a tray that is always there
// and waits are counted, page images to deliver, and a helper to set up a
// slot's task.

#include "errorhandling.h"
#include "fakeconsole.h"
#include "mainwindow.h"
#include "storefixture.h"
#include "support/modalanswer.h"
#include "support/processes.h"
#include "support/testtiming.h"

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <memory>

struct RunRig
{
    // `connected`: the scanner is there from the start.
    explicit RunRig(bool connected = true)
    {
        console = new FakeConsole(&dir.profiles);
        window.reset(new MainWindow(nullptr, console, [this](SystemTrayIcon &tray) {
            tray.setTrayProbe([] { return true; });
            tray.setSleeper([this] { ++sleeps; });
        }));
        if (connected)
            window->OnPrinterConnected();
        QDir().mkpath(out());
    }

    QString out() const { return dir.root->filePath("out"); }
    QString pagesDir() const { return dir.root->filePath("pages"); }

    // A colour page file as the scan engine writes it.
    QString page(int n) const
    {
        QDir().mkpath(pagesDir());
        QImage img(200, 280, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.fillRect(20, 20 + n * 10, 120, 60, QColor(200, 30, 30));
        p.drawText(30, 150, QString("page %1").arg(n));
        p.end();
        const QString file = pagesDir() + QString("/page%1.jpg").arg(n);
        img.save(file, "JPG", 85);
        return file;
    }

    // Slot `slot` becomes a file task writing `type` into out().
    tagTASK_SHORTCUT fileTask(int slot, ScanFileTypeFlag type = FileTypePdf)
    {
        tagTASK_SHORTCUT t;
        window->tasks().enumTaskShortcut(slot, t);
        t.EnableCommand = true;
        t.ScanDestinationID = ScanDestination::kFileId;
        t.FileTypeID = type;
        t.FolderPath = out();
        t.BeforeSaveFileSettingFileName = false;
        t.BeforeSaveEditImage = false;
        t.BeforeScanDisplaySetting = false;
        window->tasks().setTaskShortcut(t.TaskID, t);
        return t;
    }
    void store(const tagTASK_SHORTCUT &t)
    {
        tagTASK_SHORTCUT copy = t;
        window->tasks().setTaskShortcut(copy.TaskID, copy);
    }

    // Starts the task, delivers the numbered pages and ends the scan; returns
    // the page files in their order.
    QStringList scan(const QString &taskId, const QList<int> &numbers)
    {
        window->systemMenuTaskID(taskId);
        QStringList files;
        for (int n : numbers)
            files << page(n);
        for (const QString &f : files)
            console->deliver(f);
        console->finish();
        return files;
    }

    QStringList outputs() const { return QDir(out()).entryList(QDir::Files, QDir::Name); }

    // The box of a file that could not be written: "错误" with its text.
    static bool isWriteFailure(const testsupport::ModalSeen &box)
    {
        QString text;
        ErrorHandling::errorCode(RC_FILE_CREATE_FAILED, text);
        return box.title == "错误" && box.text == text;
    }
    // That box, the one box of a document or print that was not made.
    static bool sawWriteFailure(const testsupport::ModalAnswerer &answer)
    {
        return answer.count() == 1 && isWriteFailure(answer.last());
    }

    static QString tool(const QString &program, const QStringList &args)
    {
        const testsupport::ToolRun r = testsupport::runTool(program, args, 20000);
        return QString::fromUtf8(r.out + r.err);
    }

    LauncherDir dir;
    FakeConsole *console;
    int sleeps = 0;
    std::unique_ptr<MainWindow> window;
};

// Neither scanning nor saving: the run is over.
inline bool idle(const MainWindow &w)
{
    return !w.isBusy() && !w.isSaving();
}

#endif

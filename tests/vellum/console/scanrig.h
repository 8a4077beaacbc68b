#ifndef SCANRIG_H
#define SCANRIG_H

#include "scanmainwindow.h"
#include "support/emulatedscanner.h"
#include "support/testtiming.h"
#include "vellumglobal.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <functional>
#include <memory>

// The console window in front of an emulated scanner with a stack of sheets,
// its port opened through the console library's facade object.
struct ScanRig : testsupport::EmulatedScanner
{
    std::unique_ptr<ScanMainWindow> window;
    PMessage *hub = nullptr;

    // Pages handed to the launcher, with the thread they came on.
    struct Page
    {
        QString file;
        int side;
        QThread *thread;
    };
    QList<Page> pages;
    int finishedToMain = 0;

    explicit ScanRig(const emu::StackScript &script = {},
                     std::function<ScanMainWindow *()> makeWindow = nullptr)
    {
        restack(script);
        window.reset(makeWindow ? makeWindow() : new ScanMainWindow);
        window->getMessages(&hub);
        QObject::connect(
            window.get(), &ScanMainWindow::scanFileNameToMain, window.get(),
            [this](QString file, signed char side, QStringList, int, int, int, int) {
                pages.append({file, int(side), QThread::currentThread()});
            },
            Qt::DirectConnection);
        QObject::connect(window.get(), &ScanMainWindow::scanFinishToMain, window.get(),
                         [this] { ++finishedToMain; });
    }
    ~ScanRig()
    {
        window.reset();
        g_Devgate.closePort();
    }

    bool open() { return g_Devgate.openPort("1;2;"); }

    // Starts a scan of profile and waits for its one end signal to the
    // launcher.
    bool scanToEnd(tagSCAN_SHORTCUT_MENU &profile)
    {
        return window->startScanJob(profile) &&
               QTest::qWaitFor([this] { return finishedToMain >= 1; }, scaledMs(20000)) &&
               finishedToMain == 1;
    }

    // A stack of n sheets, otherwise as a script starts.
    static emu::StackScript sheets(unsigned n)
    {
        emu::StackScript script;
        script.sheets = n;
        return script;
    }

    static tagSCAN_SHORTCUT_MENU builtIn(int index)
    {
        ScanShortcutMenu store;
        store.loadDefaultScanShortcut();
        tagSCAN_SHORTCUT_MENU p;
        store.getScanShortcutItem(index, p);
        return p;
    }
};

#endif

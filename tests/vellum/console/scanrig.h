#ifndef SCANRIG_H
#define SCANRIG_H

#include "emulatedbus.h"
#include "eventservice.h"
#include "scannercommands.h"
#include "scanmainwindow.h"
#include "sheetfeeder.h"
#include "vellumglobal.h"

#include <QSignalSpy>
#include <QThread>

#include <functional>
#include <memory>

// The console window in front of an emulated scanner with a stack of sheets,
// its port opened through the console library's facade object.
struct ScanRig
{
    emu::EmulatedBus bus;
    std::shared_ptr<emu::ScannerEmulator> device = std::make_shared<emu::ScannerEmulator>();
    emu::ScannerCommands commands{*device};
    std::unique_ptr<emu::SheetFeeder> feeder;
    emu::EventService events;
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

    explicit ScanRig(const emu::StackScript &script,
                     std::function<ScanMainWindow *()> makeWindow = nullptr)
    {
        feeder = std::make_unique<emu::SheetFeeder>(commands, script);
        events.setServerTimeout(std::chrono::milliseconds(250));
        events.attach(device);
        bus.plug(device);
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
        events.detach();
    }

    bool open() { return g_Devgate.openPort("1;2;"); }
    void restack(const emu::StackScript &script)
    {
        feeder = std::make_unique<emu::SheetFeeder>(commands, script);
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

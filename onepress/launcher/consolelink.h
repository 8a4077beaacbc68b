#ifndef CONSOLELINK_H
#define CONSOLELINK_H

// What the launcher asks of its embedded console, as a narrow interface: the
// real one drives a hidden ScanMainWindow; tests give a scripted one, so the
// roads the emulated scanner cannot reach (a refused start) can be driven.

#include "buttoneventcodec.h"
#include "scanshortcut.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class PMessage;
class QWidget;
class ScanMainWindow;
class ScanShortcutMenu;

class ConsoleLink : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual PMessage *messages() = 0;
    virtual ScanShortcutMenu *profiles() = 0;
    // The console window itself when there is one (the image editor scans
    // through it); null for a scripted console.
    virtual ScanMainWindow *window() = 0;

    virtual void setOnepressEvent(QList<tagONEPRESS_EVENT> buttons) = 0;
    virtual void startDetectDeviceTimer() = 0;
    virtual void setCurrentScanShortcutMenu(QString id) = 0;
    virtual void getCurrentScanShortcutMenu(tagSCAN_SHORTCUT_MENU &profile) = 0;
    virtual void reload() = 0;
    // Modal settings; 1 when the user accepted.
    virtual int exec() = 0;
    virtual bool startScanJob(tagSCAN_SHORTCUT_MENU &profile) = 0;
    virtual bool isScanning() = 0;
    virtual bool isCancel() = 0;
    virtual bool isHidden() = 0;
    virtual void hide() = 0;
    virtual void closeDialog() = 0;
    virtual void waitForExitSingle() = 0;
    virtual void close() = 0;

signals:
    void printerDetected();
    void noPrinterDetected();
    void PrinterDisconnected();
    void scanning();
    void scanFinished();
    // Emitted on the scanning thread.
    void scanFileNameToMain(QString file, signed char side, QStringList barcodes, int width,
                            int height, int resolution, int colour);
    void scanFinishToMain();
    void showAboutDialog();
};

// The real console: a ScanMainWindow made with the given parent, its signals
// passed on (the page signal directly, so it stays on the scanning thread).
ConsoleLink *createScanMainWindowLink(QWidget *parent);

#endif // CONSOLELINK_H

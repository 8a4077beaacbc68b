#ifndef FAKECONSOLE_H
#define FAKECONSOLE_H

// A scripted console for the launcher window: it records what the launcher
// asks and answers as the test sets it, with a hub of its own.

#include "consolelink.h"
#include "pmessage.h"
#include "scanshortcutmenu.h"

#include <QList>
#include <QStringList>

class FakeConsole : public ConsoleLink
{
public:
    explicit FakeConsole(ScanShortcutMenu *profiles) : m_profiles(profiles) {}

    PMessage *messages() override { return &hub; }
    ScanShortcutMenu *profiles() override { return m_profiles; }
    ScanMainWindow *window() override { return nullptr; }
    void setOnepressEvent(QList<tagONEPRESS_EVENT> list) override { buttons << list; }
    void startDetectDeviceTimer() override { ++detectionStarts; }
    void setCurrentScanShortcutMenu(QString id) override { selected << id; }
    void getCurrentScanShortcutMenu(tagSCAN_SHORTCUT_MENU &profile) override
    {
        if (!m_profiles->findScanShortcut(profile, selected.value(selected.size() - 1)))
            m_profiles->getScanShortcutItem(0, profile);
    }
    void reload() override { ++reloads; }
    int exec() override
    {
        ++execs;
        return execResult;
    }
    bool startScanJob(tagSCAN_SHORTCUT_MENU &profile) override
    {
        started << scanText(profile.id);
        return acceptStart;
    }
    bool isScanning() override { return scanningNow; }
    bool isCancel() override { return cancelled; }
    bool isHidden() override { return hidden; }
    void hide() override { hidden = true; }
    void closeDialog() override { calls << "closeDialog"; }
    void waitForExitSingle() override { calls << "waitForExitSingle"; }
    void close() override { calls << "close"; }

    // A page as the scanning thread reports it, then the end of the scan.
    void deliver(const QString &file, const QStringList &barcodes = {})
    {
        emit scanFileNameToMain(file, 0, barcodes, 100, 140, 200, 2);
    }
    void finish() { emit scanFinishToMain(); }

    PMessage hub;
    QList<QList<tagONEPRESS_EVENT>> buttons;
    QStringList selected;
    QStringList started;
    QStringList calls;
    int detectionStarts = 0;
    int reloads = 0;
    int execs = 0;
    int execResult = 0;
    bool acceptStart = true;
    bool scanningNow = false;
    bool cancelled = false;
    bool hidden = true;

private:
    ScanShortcutMenu *m_profiles;
};

#endif

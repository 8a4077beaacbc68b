#ifndef STOREFIXTURE_H
#define STOREFIXTURE_H

// A private settings directory for the launcher's stores, with the library's
// configuration object pointed at it and a profile store holding the
// built-in profiles.

#include "onepressglobal.h"
#include "scandestination.h"
#include "scanshortcutmenu.h"
#include "taskshortcut.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <memory>

struct LauncherDir
{
    LauncherDir()
    {
        root.reset(new QTemporaryDir);
        QDir(root->path()).mkpath("Settings/icons");
        QDir(root->path()).mkpath("Profiles/icons");
        QDir(root->path()).mkpath("app/icons");
        g_ConfigFile.m_strAppDir = root->filePath("app");
        g_ConfigFile.m_strAppIconsDir = root->filePath("app/icons");
        g_ConfigFile.m_strSettingsDir = root->filePath("Settings");
        g_ConfigFile.m_strSettingsIconsDir = root->filePath("Settings/icons");
        g_ConfigFile.m_strOptionIni = root->filePath("Settings/option.ini");
        g_ConfigFile.m_strProfilesDir = root->filePath("Profiles");
        g_ConfigFile.m_strProfileIni = root->filePath("Profiles/profile.ini");
        g_ConfigFile.m_strProfileIconsDir = root->filePath("Profiles/icons");
        profiles.loadScanShortcut(&g_ConfigFile);
    }

    QString settings(const QString &rel = QString()) const
    {
        return rel.isEmpty() ? g_ConfigFile.m_strSettingsDir
                             : g_ConfigFile.m_strSettingsDir + "/" + rel;
    }

    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void write(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
            qFatal("cannot write test file");
    }

    // Bytes and modification time of every file below the settings folder.
    struct Snapshot
    {
        QMap<QString, QPair<QByteArray, QDateTime>> files;
    };
    Snapshot snapshot() const
    {
        Snapshot s;
        QDir base(settings());
        const QStringList entries = allFiles(settings());
        for (const QString &p : entries)
            s.files.insert(
                base.relativeFilePath(p),
                qMakePair(read(p), QFileInfo(p).fileTime(QFileDevice::FileModificationTime)));
        return s;
    }
    static QStringList allFiles(const QString &dir)
    {
        QStringList out;
        const QFileInfoList list =
            QDir(dir).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QFileInfo &fi : list) {
            if (fi.isDir())
                out << allFiles(fi.filePath());
            else
                out << fi.filePath();
        }
        return out;
    }

    std::unique_ptr<QTemporaryDir> root;
    ScanShortcutMenu profiles;
};

// The twenty task slots as a start of the launcher reads them from `dir`.
struct LoadedTasks : TaskShortcut
{
    explicit LoadedTasks(LauncherDir &dir) { loadTaskList(&dir.profiles); }
};

// The destination list as a start reads it from the settings folder.
struct LoadedDestinations : ScanDestination
{
    LoadedDestinations() { loadScanDestination(); }
};

// A copy of one slot's record, and of the current one.
inline tagTASK_SHORTCUT slotTask(TaskShortcut &tasks, int slot)
{
    tagTASK_SHORTCUT t;
    tasks.enumTaskShortcut(slot, t);
    return t;
}
inline tagTASK_SHORTCUT currentTask(TaskShortcut &tasks)
{
    tagTASK_SHORTCUT t;
    tasks.getCurrentTaskShortcut(t);
    return t;
}

#endif

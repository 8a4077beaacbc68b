#ifndef PACKAGEHOME_H
#define PACKAGEHOME_H

// A user's whole configuration in a private folder: per-user directories made
// by ConfigFile, an application folder with "twain" and "stamp", and helpers
// to fill it with profiles, icons and graphics and to fingerprint it.

#include "configfile.h"
#include "scanshortcut.h"
#include "scanshortcutmenu.h"
#include "support/builtinprofiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QSettings>
#include <QTemporaryDir>

struct PackageHome
{
    QTemporaryDir dir;
    ConfigFile config;

    PackageHome()
    {
        qputenv("XDG_CONFIG_HOME", (dir.path() + "/cfg").toUtf8());
        QDir().mkpath(dir.path() + "/app");
        config.loadConfigFile(dir.path() + "/app");
        QDir().mkpath(config.m_strTwainDir);
        QDir().mkpath(config.m_strAppStampDir);
    }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
    static QByteArray readFile(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // A built-in profile under a new name, id and icon, stored as its file.
    tagSCAN_SHORTCUT_MENU addRecord(int builtIn, const QString &name, const QString &id,
                                    const QString &icon)
    {
        tagSCAN_SHORTCUT_MENU r = testsupport::builtInProfiles().at(builtIn);
        setScanText(r.name, name);
        setScanText(r.id, id);
        setScanText(r.iconFile, icon);
        writeFile(config.m_strProfilesDir + "/" + id, scanShortcutToBytes(r));
        return r;
    }

    void writeProfileList(const QStringList &ids)
    {
        QSettings ini(config.m_strProfileIni, QSettings::IniFormat);
        ini.beginGroup("UICfg");
        ini.setValue("Count", ids.size());
        ini.setValue("CurrentIndex", 0);
        for (int i = 0; i < ids.size(); ++i)
            ini.setValue(QString("Item%1").arg(i), ids.at(i));
    }

    QStringList list(const QString &ini, const QString &group, const QString &count,
                     const QString &item, int first) const
    {
        QSettings s(ini, QSettings::IniFormat);
        s.beginGroup(group);
        QStringList out;
        const int n = s.value(count, 0).toInt();
        for (int i = first; i < first + n; ++i)
            out << s.value(item.arg(i)).toString();
        return out;
    }
    QStringList profileList() const
    {
        return list(config.m_strProfileIni, "UICfg", "Count", "Item%1", 0);
    }
    QStringList stampList() const
    {
        return list(config.m_strStampConfigIni, "StampCfg", "Count", "Item%1", 0);
    }
    QStringList graphicsList() const
    {
        return list(config.m_strStampConfigIni, "Graphics", "count", "name%1", 1);
    }

    // Every file and folder under the private folder with its content's hash.
    QMap<QString, QByteArray> fingerprint() const
    {
        QMap<QString, QByteArray> out;
        QDirIterator it(dir.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QFileInfo info(path);
            out.insert(QDir(dir.path()).relativeFilePath(path),
                       info.isDir()
                           ? QByteArray("dir")
                           : QCryptographicHash::hash(readFile(path), QCryptographicHash::Md5));
        }
        return out;
    }
};

#endif

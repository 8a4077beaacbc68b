#ifndef PROFILESTOREFIXTURE_H
#define PROFILESTOREFIXTURE_H

#include "configfile.h"
#include "scanshortcutmenu.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>

// A private profiles directory with a configuration object pointing into it.
struct ProfileDir
{
    ProfileDir()
    {
        root.reset(new QTemporaryDir);
        QDir(root->path()).mkpath("Profiles/icons");
        QDir(root->path()).mkpath("app/twain");
        config.m_strAppDir = root->filePath("app");
        config.m_strTwainDir = root->filePath("app/twain");
        config.m_strProfilesDir = root->filePath("Profiles");
        config.m_strProfileIni = root->filePath("Profiles/profile.ini");
        config.m_strProfileIconsDir = root->filePath("Profiles/icons");
    }

    QString path(const QString &name) const { return config.m_strProfilesDir + "/" + name; }

    QByteArray read(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write test file");
    }

    void writeRecord(const QString &name, const tagSCAN_SHORTCUT_MENU &r) const
    {
        write(name, scanShortcutToBytes(r));
    }

    // Writes profile.ini by hand. A null entry of items writes no key; an
    // invalid count or current index writes no key either.
    void writeIni(const QVariant &count, const QStringList &items,
                  const QVariant &current = QVariant()) const
    {
        QFile::remove(config.m_strProfileIni);
        QSettings ini(config.m_strProfileIni, QSettings::IniFormat);
        ini.beginGroup("UICfg");
        if (count.isValid())
            ini.setValue("Count", count);
        for (int i = 0; i < items.size(); ++i) {
            if (!items.at(i).isNull())
                ini.setValue(QString("Item%1").arg(i), items.at(i));
        }
        if (current.isValid())
            ini.setValue("CurrentIndex", current);
        ini.endGroup();
        ini.sync();
    }

    QStringList iniItems() const
    {
        QSettings ini(config.m_strProfileIni, QSettings::IniFormat);
        QStringList out;
        const int count = ini.value("UICfg/Count", -1).toInt();
        for (int i = 0; i < count; ++i)
            out << ini.value(QString("UICfg/Item%1").arg(i)).toString();
        return out;
    }

    int iniCurrentIndex() const
    {
        QSettings ini(config.m_strProfileIni, QSettings::IniFormat);
        return ini.value("UICfg/CurrentIndex", -99).toInt();
    }

    QScopedPointer<QTemporaryDir> root;
    ConfigFile config;
};

inline tagSCAN_SHORTCUT_MENU profileAt(ScanShortcutMenu &store, int index)
{
    tagSCAN_SHORTCUT_MENU r;
    if (!store.getScanShortcutItem(index, r))
        qFatal("no profile at %d", index);
    return r;
}

inline QStringList idsOf(ScanShortcutMenu &store)
{
    QStringList ids;
    for (int i = 0; i < store.getScanShortcutCount(); ++i)
        ids << scanText(profileAt(store, i).id);
    return ids;
}

inline QStringList builtInIds()
{
    return {"{f9a5ceee-7d8f-460e-bfa9-0f9af28274b2}", "{d89a279b-67ce-499b-a796-146cbb7c41cc}",
            "{a28ec109-2829-494e-b349-77fb7e1b1148}", "{a28ec109-2830-494e-b349-77fb7e1b1148}",
            "{95cebce6-4d82-49dc-bad8-199f76ebb592}", "{9bcfbc7a-2bd6-4b69-a9d0-fb292fe99a02}"};
}

// A user profile with a recognisable id, built from the first built-in.
inline tagSCAN_SHORTCUT_MENU userProfile(const QString &id, const QString &name)
{
    ScanShortcutMenu store;
    store.loadDefaultScanShortcut();
    tagSCAN_SHORTCUT_MENU r = profileAt(store, 0);
    setScanText(r.id, id);
    setScanText(r.name, name);
    return r;
}

#endif

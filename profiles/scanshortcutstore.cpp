// Loading and saving the profile store: "profile.ini" and the raw record files.

#include "configfile.h"
#include "filehelper.h"
#include "scanshortcutmenu.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QSettings>
#include <QTemporaryFile>

#include <cstdio>
#include <unistd.h>

namespace {

const char kGroup[] = "UICfg";

QString itemKey(int i)
{
    return QStringLiteral("Item%1").arg(i);
}

// A value that happens to contain a comma is read back by QSettings as a list.
QString iniText(const QVariant &v)
{
    if (v.type() == QVariant::StringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

// A file written beside its target under a temporary name, renamed over the
// target once complete.
struct StagedFile
{
    QString temp;
    QString target;
};

bool stageFile(StagedFile &f, const QByteArray &bytes)
{
    const QFileInfo target(f.target);
    QTemporaryFile tmp(target.absolutePath() + QStringLiteral("/.") + target.fileName()
                       + QStringLiteral(".XXXXXX"));
    tmp.setAutoRemove(false);
    if (!tmp.open())
        return false;
    f.temp = tmp.fileName();
    // Like a file written in place: keep the old file's permissions, or give a
    // new one the usual ones rather than the temporary file's private mode.
    tmp.setPermissions(target.exists() ? QFile::permissions(f.target)
                                       : QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                             | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    const bool ok = tmp.write(bytes) == bytes.size() && tmp.flush() && ::fsync(tmp.handle()) == 0;
    tmp.close();
    if (!ok) {
        QFile::remove(f.temp);
        f.temp.clear();
    }
    return ok;
}

// rename(2) replaces the target in one step; QFile::rename refuses to.
bool commitFile(const StagedFile &f)
{
    return ::rename(QFile::encodeName(f.temp).constData(),
                    QFile::encodeName(f.target).constData()) == 0;
}

} // namespace

QString ScanShortcutMenu::profileIniPath() const
{
    return m_config ? m_config->m_strProfileIni : QString();
}

QString ScanShortcutMenu::profileFilePath(const QString &id) const
{
    return m_config->m_strProfilesDir + QLatin1Char('/') + id;
}

// Every non-empty item of UICfg in index order. All "Item<n>" keys are taken,
// whatever Count says: a Count that disagrees with the items must not make a
// listed profile disappear. Repeated ids are taken once.
QStringList ScanShortcutMenu::idsFromProfileIni() const
{
    QStringList ids;
    const QString path = profileIniPath();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return ids;

    QSettings ini(path, QSettings::IniFormat);
    ini.beginGroup(QLatin1String(kGroup));
    QMap<int, QString> items;
    for (const QString &key : ini.childKeys()) {
        if (!key.startsWith(QLatin1String("Item")))
            continue;
        bool ok = false;
        const int n = key.midRef(4).toInt(&ok);
        if (!ok || n < 0 || itemKey(n) != key)
            continue;
        items.insert(n, iniText(ini.value(key)));
    }
    bool countOk = false;
    const int count = ini.value(QStringLiteral("Count")).toInt(&countOk);
    if (countOk ? count != items.size() : !items.isEmpty())
        qWarning() << "profile.ini: Count" << ini.value(QStringLiteral("Count")).toString()
                   << "disagrees with" << items.size() << "items";

    QSet<QString> seen;
    for (const QString &id : items) {
        if (id.isEmpty())
            continue;
        if (seen.contains(id)) {
            qWarning() << "profile.ini: profile id listed twice, taken once:" << id;
            continue;
        }
        seen.insert(id);
        ids.append(id);
    }
    return ids;
}

void ScanShortcutMenu::loadScanShortcut(ConfigFile *config)
{
    initialVariant();
    m_config = config;
    loadDefaultScanShortcut();

    const QString path = profileIniPath();
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        // No list: the index stays as it was (-1 on a new store, which the
        // caller sets), unless it now points past the built-ins.
        if (m_currentIndex >= m_profiles.size())
            m_currentIndex = 0;
        return;
    }

    QStringList ids = idsFromProfileIni();
    m_currentIndex = currentIndexInIni();

    QList<tagSCAN_SHORTCUT_MENU> loaded;
    loadCfgFromFile(ids, loaded);
    if (!loaded.isEmpty())
        m_profiles = loaded;
    clampCurrentIndex();
}

void ScanShortcutMenu::loadCfgFromFile(QStringList &ids, QList<tagSCAN_SHORTCUT_MENU> &out)
{
    if (!m_config)
        return;
    for (const QString &id : ids) {
        if (!isSafeProfileId(id)) {
            qWarning() << "Profile id not usable as a file name, skipped:" << id;
            continue;
        }
        QFile file(profileFilePath(id));
        // A file that is there but cannot be loaded is kept for the user to
        // recover; only the list forgets it.
        if (QFileInfo(file).exists())
            m_unreadableIds.append(id);
        // Check the size first: a huge file of that name must not be read.
        if (!QFileInfo(file).isFile() || file.size() != kScanShortcutSize) {
            qDebug() << "Profile file missing or not a profile record, skipped:" << id;
            continue;
        }
        if (!file.open(QIODevice::ReadOnly)) {
            qDebug() << "Profile file unreadable, skipped:" << id;
            continue;
        }
        const QByteArray bytes = file.read(kScanShortcutSize + 1);
        file.close();
        tagSCAN_SHORTCUT_MENU record;
        if (!scanShortcutFromBytes(bytes, record)) {
            qDebug() << "Profile file not a profile record, skipped:" << id;
            continue;
        }
        m_unreadableIds.removeAll(id);
        // The file name is what profile.ini lists and what the next save
        // writes; an id inside the record that disagrees would make the save
        // write elsewhere and then delete this file.
        if (scanText(record.id) != id) {
            qWarning() << "Profile file" << id << "carries the id" << scanText(record.id)
                       << "- the file name is kept";
            setScanText(record.id, id);
        }
        out.append(record);
    }
}

int ScanShortcutMenu::currentIndexInIni() const
{
    QSettings ini(profileIniPath(), QSettings::IniFormat);
    return ini.value(QStringLiteral("UICfg/CurrentIndex"), 0).toInt();
}

void ScanShortcutMenu::setCurrentIndexFromCfg()
{
    const QString path = profileIniPath();
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    m_currentIndex = currentIndexInIni();
    clampCurrentIndex();
}

// The new "profile.ini" as text: the current file with its UICfg group
// replaced.
bool ScanShortcutMenu::composeProfileIni(const QStringList &ids, int currentIndex,
                                         QByteArray &text) const
{
    QFile old(profileIniPath());
    const QByteArray oldText = old.open(QIODevice::ReadOnly) ? old.readAll() : QByteArray();
    const auto edit = [&](QSettings &ini) {
        ini.remove(QLatin1String(kGroup));
        ini.beginGroup(QLatin1String(kGroup));
        ini.setValue(QStringLiteral("Count"), ids.size());
        for (int i = 0; i < ids.size(); ++i)
            ini.setValue(itemKey(i), ids.at(i));
        ini.setValue(QStringLiteral("CurrentIndex"), currentIndex);
        ini.endGroup();
    };
    const int status = FileHelper::composeIni(profileIniPath(), oldText, edit, text, false);
    // A damaged old file is dropped rather than blocking every later save.
    if (status == QSettings::FormatError)
        return FileHelper::composeIni(profileIniPath(), QByteArray(), edit, text, false) ==
               QSettings::NoError;
    return status == QSettings::NoError;
}

bool ScanShortcutMenu::saveScanShortcut()
{
    if (!m_config) {
        qWarning() << "Profiles not saved: no configuration loaded";
        return false;
    }
    QDir().mkpath(m_config->m_strProfilesDir);

    const QStringList oldIds = idsFromProfileIni();
    bool allListed = true;
    QStringList newIds;
    QSet<QString> listed;
    QString currentId;
    QList<StagedFile> staged;
    auto discardStaged = [&staged]() {
        for (const StagedFile &f : staged)
            QFile::remove(f.temp);
    };

    // Stage 1: every record and the new list go to temporary files beside
    // their targets. Nothing on disk that a load reads has changed yet, so any
    // failure here leaves the previous save fully in force.
    for (int i = 0; i < m_profiles.size(); ++i) {
        const tagSCAN_SHORTCUT_MENU &p = m_profiles.at(i);
        const QString id = scanText(p.id);
        if (!isSafeProfileId(id)) {
            qWarning() << "Profile" << scanText(p.name) << "not saved: unusable id" << id;
            allListed = false;
            continue;
        }
        if (listed.contains(id)) {
            qWarning() << "Profile" << scanText(p.name) << "not saved: id already used" << id;
            allListed = false;
            continue;
        }
        listed.insert(id);
        newIds.append(id);
        if (i == m_currentIndex)
            currentId = id;
        StagedFile f{QString(), profileFilePath(id)};
        if (!stageFile(f, scanShortcutToBytes(p))) {
            qWarning() << "Profile file not written:" << id;
            discardStaged();
            return false;
        }
        staged.append(f);
    }
    QByteArray iniText;
    StagedFile ini{QString(), profileIniPath()};
    if (!composeProfileIni(newIds, qMax(0, newIds.indexOf(currentId)), iniText)
        || !stageFile(ini, iniText)) {
        qWarning() << "profile.ini not written; profiles not saved";
        discardStaged();
        return false;
    }

    // Stage 2: rename into place, records first, so that the list never names
    // a record that is not complete on disk.
    for (int i = 0; i < staged.size(); ++i) {
        if (!commitFile(staged.at(i))) {
            qWarning() << "Profile file not replaced:" << staged.at(i).target;
            discardStaged();
            QFile::remove(ini.temp);
            return false;
        }
        staged[i].temp.clear();
    }
    if (!commitFile(ini)) {
        // The old list is still in force, and it names files that the cleanup
        // below would delete.
        qWarning() << "profile.ini not replaced; old profile files kept";
        QFile::remove(ini.temp);
        return false;
    }

    // Stage 3: only now are the files of dropped or re-identified profiles
    // unreferenced.
    for (const QString &id : oldIds) {
        if (listed.contains(id))
            continue;
        if (!isSafeProfileId(id)) {
            qWarning() << "Listed profile id not usable as a file name, not deleted:" << id;
            continue;
        }
        if (m_unreadableIds.contains(id)) {
            qWarning() << "Profile file that could not be loaded is no longer listed, kept:" << id;
            continue;
        }
        QFile::remove(profileFilePath(id));
    }
    return allListed;
}

bool ScanShortcutMenu::removeScanShortcut(QString id)
{
    const int index = indexOfId(id);
    if (index < 0)
        return true;
    m_profiles.removeAt(index);
    if (m_currentIndex >= m_profiles.size())
        m_currentIndex = m_profiles.size() - 1;
    if (m_currentIndex < 0 && !m_profiles.isEmpty())
        m_currentIndex = 0;
    if (m_config) {
        if (isSafeProfileId(id))
            QFile::remove(profileFilePath(id));
        else
            qWarning() << "Profile id not usable as a file name, no file deleted:" << id;
    }
    return true;
}

void ScanShortcutMenu::removeScanShortcut()
{
    if (!m_config)
        return;
    for (const QString &id : idsFromProfileIni()) {
        if (!isSafeProfileId(id)) {
            qWarning() << "Listed profile id not usable as a file name, not deleted:" << id;
            continue;
        }
        QFile::remove(profileFilePath(id));
    }
}

// Loading and saving the profile store: "profile.ini" and the raw record files.

#include "configfile.h"
#include "scanshortcutmenu.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>
#include <QSet>
#include <QSettings>

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
    if (!countOk || count != items.size())
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
        clampCurrentIndex();
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

bool ScanShortcutMenu::saveScanShortcut()
{
    if (!m_config) {
        qWarning() << "Profiles not saved: no configuration loaded";
        return false;
    }
    QDir().mkpath(m_config->m_strProfilesDir);

    const QStringList oldIds = idsFromProfileIni();
    bool allWritten = true;

    // Every record goes to a temporary file first and replaces its old file
    // only when complete, so an interrupted save never leaves a profile half
    // written or missing.
    QStringList newIds;
    QSet<QString> listed;
    QString currentId;
    for (int i = 0; i < m_profiles.size(); ++i) {
        const tagSCAN_SHORTCUT_MENU &p = m_profiles.at(i);
        const QString id = scanText(p.id);
        if (!isSafeProfileId(id)) {
            qWarning() << "Profile" << scanText(p.name) << "not saved: unusable id" << id;
            allWritten = false;
            continue;
        }
        if (listed.contains(id)) {
            qWarning() << "Profile" << scanText(p.name) << "not saved: id already used" << id;
            allWritten = false;
            continue;
        }
        listed.insert(id);
        newIds.append(id);
        if (i == m_currentIndex)
            currentId = id;

        QSaveFile file(profileFilePath(id));
        if (!file.open(QIODevice::WriteOnly)
            || file.write(scanShortcutToBytes(p)) != kScanShortcutSize || !file.commit()) {
            qWarning() << "Profile file not written:" << id << file.errorString();
            allWritten = false;
        }
    }

    // The list keeps naming a profile whose file could not be rewritten: its
    // previous file is still there and still loads.
    QSettings ini(profileIniPath(), QSettings::IniFormat);
    ini.setAtomicSyncRequired(true);   // written to a temporary file, then renamed
    ini.remove(QLatin1String(kGroup));
    ini.beginGroup(QLatin1String(kGroup));
    ini.setValue(QStringLiteral("Count"), newIds.size());
    for (int i = 0; i < newIds.size(); ++i)
        ini.setValue(itemKey(i), newIds.at(i));
    ini.setValue(QStringLiteral("CurrentIndex"), qMax(0, newIds.indexOf(currentId)));
    ini.endGroup();
    ini.sync();
    if (ini.status() != QSettings::NoError) {
        // The old list is still in force, and it may name files that the
        // cleanup below would delete.
        qWarning() << "profile.ini not written; old profile files kept";
        return false;
    }

    for (const QString &id : oldIds) {
        if (listed.contains(id))
            continue;
        if (!isSafeProfileId(id)) {
            qWarning() << "Listed profile id not usable as a file name, not deleted:" << id;
            continue;
        }
        QFile::remove(profileFilePath(id));
    }
    return allWritten;
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

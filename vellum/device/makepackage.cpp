#include "makepackage.h"

#include "configfile.h"
#include "devicestampgraphic.h"
#include "filehelper.h"
#include "scanshortcut.h"
#include "scanshortcutmenu.h"
#include "stampconfigfile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSettings>
#include <QTemporaryFile>

#include <zlib.h>

using namespace settingspackage;

namespace {

const char kProfileGroup[] = "UICfg";
const char kStampGroup[] = "StampCfg";

// A list group as QSettings writes it, laid over the rest of an ini file's text.
QByteArray withListGroup(const QString &existing, const QString &group, const QStringList &names)
{
    QTemporaryFile scratch(QDir::tempPath() + "/corvan-list-XXXXXX.ini");
    if (!scratch.open())
        return QByteArray();
    if (!existing.isEmpty()) {
        QFile old(existing);
        if (old.open(QIODevice::ReadOnly))
            scratch.write(old.readAll());
    }
    scratch.close();
    {
        QSettings ini(scratch.fileName(), QSettings::IniFormat);
        ini.remove(group);
        ini.beginGroup(group);
        ini.setValue("Count", names.size());
        ini.setValue("CurrentIndex", 0);
        for (int i = 0; i < names.size(); ++i)
            ini.setValue(QString("Item%1").arg(i), names.at(i));
        ini.endGroup();
        ini.sync();
        if (ini.status() != QSettings::NoError)
            return QByteArray();
    }
    QFile composed(scratch.fileName());
    return composed.open(QIODevice::ReadOnly) ? composed.readAll() : QByteArray();
}

QString firstExisting(const QStringList &folders, const QString &name)
{
    for (const QString &folder : folders) {
        const QString path = folder + "/" + name;
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

// A picture of a package goes into the user's folder only when neither the
// application's folder nor the user's has one of that name: an import never
// replaces a picture nor hides one the application ships. 0, or -50 when it
// cannot be written.
int writePictureOnce(const QString &appFolder, const QString &userFolder, const QString &name,
                     const QByteArray &bytes, const char *failure)
{
    const QString target = userFolder + "/" + name;
    if (QFileInfo::exists(target) || QFileInfo(appFolder + "/" + name).isFile())
        return 0;
    if (bytes.isEmpty()) {
        qDebug() << "Package: picture without content, not written:" << name;
        return 0;
    }
    if (!QDir().mkpath(userFolder) || !FileHelper::replaceFile(target, bytes)) {
        qDebug() << failure << name;
        return -50;
    }
    return 0;
}

QByteArray readWhole(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

MakePackage::MakePackage(QObject *parent) : QObject(parent) {}

// --- export -----------------------------------------------------------------------

QStringList MakePackage::profileListNames() const
{
    return stampconfigfile::readNumberedList(m_config->m_strProfileIni, kProfileGroup, "Count",
                                             "Item", 0);
}

QStringList MakePackage::stampListNames() const
{
    // The device page's library first, then names listed only by an earlier import.
    QStringList names;
    if (!QFileInfo::exists(m_config->m_strStampConfigIni))
        return names;
    DeviceStampGraphic library;
    library.setLocations(m_config->m_strStampDir, m_config->m_strAppStampDir,
                         m_config->m_strStampConfigIni);
    library.loadStampConfig();
    QStringList graphics;
    library.getGraphicList(graphics);
    for (const QString &path : graphics) {
        const QString name = QFileInfo(path).fileName();
        if (!names.contains(name))
            names << name;
    }
    for (const QString &name : stampconfigfile::readNumberedList(m_config->m_strStampConfigIni,
                                                                 kStampGroup, "Count", "Item", 0)) {
        if (!names.contains(name))
            names << name;
    }
    return names;
}

QString MakePackage::getProfileIcon(const QString &name)
{
    const QString path =
        firstExisting({m_config->m_strTwainDir, m_config->m_strProfileIconsDir}, name);
    if (path.isEmpty()) {
        qDebug() << "Package: profile icon not found, exported empty:" << name;
        return QString();
    }
    return encode(readWhole(path));
}

QString MakePackage::getStampIcon(const QString &name)
{
    const QString path = firstExisting({m_config->m_strAppStampDir, m_config->m_strStampDir}, name);
    if (path.isEmpty()) {
        qDebug() << "Package: stamp graphic not found, exported empty:" << name;
        return QString();
    }
    return encode(readWhole(path));
}

QJsonArray MakePackage::encodeProfile(const QStringList &names)
{
    QJsonArray array;
    for (const QString &name : names) {
        if (!isSafeConfigName(name)) {
            qDebug() << "Package: listed profile name is not a safe file name, skipped:" << name;
            continue;
        }
        QFile file(m_config->m_strProfilesDir + "/" + name);
        if (!file.open(QIODevice::ReadOnly) || file.size() != kScanShortcutSize) {
            qDebug() << "Package: profile record unreadable or of the wrong size, skipped:" << name;
            continue;
        }
        const QByteArray bytes = file.readAll();
        tagSCAN_SHORTCUT_MENU record;
        if (!scanShortcutFromBytes(bytes, record)) {
            qDebug() << "Package: profile record not read, skipped:" << name;
            continue;
        }
        QString iconName = scanText(record.iconFile);
        if (!iconName.isEmpty() && !isBareFileName(iconName)) {
            qDebug() << "Package: icon name is not a bare file name, not exported:" << iconName;
            iconName.clear();
        }
        QJsonObject o;
        o.insert("ConfigName", name);
        o.insert("Config", encode(bytes));
        o.insert("IconName", iconName);
        o.insert("Icon", iconName.isEmpty() ? QString() : getProfileIcon(iconName));
        array.append(o);
    }
    return array;
}

QJsonArray MakePackage::encodeStampGraphics()
{
    QJsonArray array;
    for (const QString &name : stampListNames()) {
        if (!isBareFileName(name)) {
            qDebug() << "Package: stamp name is not a bare file name, skipped:" << name;
            continue;
        }
        QJsonObject o;
        o.insert("IconName", name);
        o.insert("Icon", getStampIcon(name));
        array.append(o);
    }
    return array;
}

int MakePackage::saveProfiles(const QString &path, const QJsonObject &document)
{
    const QByteArray package = compose(document);
    if (package.isEmpty()) {
        qDebug() << "Package: larger than an import would accept, not written";
        return -50;
    }
    // Written whole or not at all: a failed export leaves an earlier package.
    if (!FileHelper::replaceFile(path, package)) {
        qDebug() << "Package: cannot write" << path;
        return -50;
    }
    return 0;
}

int MakePackage::exportPackage(ConfigFile *config, QString path)
{
    m_config = config;
    if (!m_config || !QFileInfo::exists(m_config->m_strProfileIni))
        return -52;
    QJsonObject document;
    document.insert("Profiles", encodeProfile(profileListNames()));
    document.insert("StampFiles", encodeStampGraphics());
    return saveProfiles(path, document);
}

// --- import -----------------------------------------------------------------------

int MakePackage::restoreProfiles(const QString &path, Contents &contents)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -52;
    // Nothing larger can hold an acceptable JSON text.
    const qint64 largest = kHeaderSize + qint64(compressBound(kMaxJsonSize));
    if (file.size() > largest)
        return -52;
    return parse(file.readAll(), contents);
}

int MakePackage::saveConfigFile(const QString &name, const QByteArray &bytes)
{
    if (bytes.size() != kScanShortcutSize)
        return -50;
    if (!FileHelper::replaceFile(m_config->m_strProfilesDir + "/" + name, bytes)) {
        qDebug() << "save config file failed" << name;
        return -50;
    }
    return 0;
}

int MakePackage::saveProfileIcon(const QString &name, const QByteArray &bytes)
{
    return writePictureOnce(m_config->m_strTwainDir, m_config->m_strProfileIconsDir, name, bytes,
                            "save config file failed");
}

int MakePackage::saveStampIcon(const QString &name, const QByteArray &bytes)
{
    return writePictureOnce(m_config->m_strAppStampDir, m_config->m_strStampDir, name, bytes,
                            "save stamp file failed");
}

int MakePackage::saveProfileList(const QStringList &names)
{
    // The new list replaces the old one in a single rename: the old file is
    // never deleted first, so a failure keeps every profile listed.
    const QByteArray text = withListGroup(QString(), kProfileGroup, names);
    if (text.isEmpty() || !FileHelper::replaceFile(m_config->m_strProfileIni, text)) {
        qDebug() << "Package: profile.ini not written";
        return -50;
    }
    return 0;
}

int MakePackage::saveStampList(const QStringList &names)
{
    const QString ini = m_config->m_strStampConfigIni;
    const QByteArray text =
        withListGroup(QFileInfo::exists(ini) ? ini : QString(), kStampGroup, names);
    if (text.isEmpty() || !FileHelper::replaceFile(ini, text)) {
        qDebug() << "Package: stamp list not written";
        return -50;
    }
    // Imported graphics join the device page's library too, so they can be chosen.
    DeviceStampGraphic library;
    library.setLocations(m_config->m_strStampDir, m_config->m_strAppStampDir, ini);
    library.loadStampConfig();
    QStringList listed;
    library.getGraphicList(listed);
    QStringList listedNames;
    for (const QString &path : listed)
        listedNames << QFileInfo(path).fileName();
    bool added = false;
    for (const QString &name : names) {
        if (listedNames.contains(name))
            continue;
        const QString user = m_config->m_strStampDir + "/" + name;
        const QString app = m_config->m_strAppStampDir + "/" + name;
        const QString source = QFileInfo(user).isFile() ? user : app;
        if (QFileInfo(source).isFile() && library.addDefaultStampGraphic(source)) {
            listedNames << name;
            added = true;
        }
    }
    if (added && !library.saveStampConfig()) {
        qDebug() << "Package: graphics library list not written";
        return -50;
    }
    return 0;
}

int MakePackage::decodeStampGraphics(const QList<Stamp> &stamps)
{
    for (const Stamp &s : stamps) {
        const int rc = saveStampIcon(s.name, s.graphic);
        if (rc != 0)
            return rc;
    }
    return 0;
}

int MakePackage::decodeProfile(const QList<Profile> &profiles)
{
    for (const Profile &p : profiles) {
        if (p.iconName.isEmpty())
            continue;
        const int rc = saveProfileIcon(p.iconName, p.icon);
        if (rc != 0)
            return rc;
    }
    for (const Profile &p : profiles) {
        const int rc = saveConfigFile(p.configName, p.config);
        if (rc != 0)
            return rc;
    }
    return 0;
}

int MakePackage::importPackage(ConfigFile *config, QString path)
{
    m_config = config;
    if (!m_config)
        return -52;
    Contents contents;
    const int checked = restoreProfiles(path, contents);
    if (checked != 0) {
        qDebug() << "Package refused, nothing imported:" << path;
        return checked;
    }
    if (!QDir().mkpath(m_config->m_strProfilesDir))
        return -50;

    int rc = decodeStampGraphics(contents.stamps);
    if (rc == 0)
        rc = decodeProfile(contents.profiles);
    if (rc != 0)
        return rc;

    QStringList profileNames;
    for (const Profile &p : contents.profiles)
        profileNames << p.configName;
    rc = saveProfileList(profileNames);
    if (rc != 0)
        return rc;
    QStringList stampNames;
    for (const Stamp &s : contents.stamps)
        stampNames << s.name;
    return saveStampList(stampNames);
}

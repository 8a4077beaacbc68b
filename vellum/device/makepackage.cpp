#include "makepackage.h"

#include "configfile.h"
#include "devicestampgraphic.h"
#include "scanshortcut.h"
#include "scanshortcutmenu.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryFile>
#include <QtEndian>

#include <zlib.h>

namespace {

const char kMagic[] = "CORVAN";
constexpr int kMagicSize = 6;
const char kProfileGroup[] = "UICfg";
const char kStampGroup[] = "StampCfg";

const QByteArray::Base64Options kBase64 =
    QByteArray::Base64UrlEncoding | QByteArray::KeepTrailingEquals;

// Files and folders the profile store and the device page keep in the
// profiles directory: a package record must never be written over them.
const QStringList &reservedNames()
{
    static const QStringList names{"profile.ini", "stampconfig.ini", "scanlog.txt",
                                   "scannedlog.ini", "icons", "stamp", "sound"};
    return names;
}

QString encode(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toBase64(kBase64));
}

// Only the canonical URL-safe form with its padding is accepted: anything
// else ("+", "/", missing padding, stray characters) is a damaged package.
bool decode(const QJsonValue &value, QByteArray &out)
{
    if (!value.isString())
        return false;
    const QByteArray text = value.toString().toLatin1();
    if (text.isEmpty()) {
        out.clear();
        return true;
    }
    const auto result = QByteArray::fromBase64Encoding(
        text, kBase64 | QByteArray::AbortOnBase64DecodingErrors);
    if (!result || result.decoded.toBase64(kBase64) != text)
        return false;
    out = result.decoded;
    return true;
}

// zlib inflation that never produces more than the declared length: a small
// stream may claim a few bytes and expand to gigabytes.
bool inflateExactly(const char *data, qint64 size, quint32 expected, QByteArray &out)
{
    if (expected == 0 || size <= 0 || size > std::numeric_limits<uInt>::max())
        return false;
    out.resize(int(expected));
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        return false;
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data));
    zs.avail_in = uInt(size);
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = uInt(expected);
    const int rc = inflate(&zs, Z_FINISH);
    const bool ok = rc == Z_STREAM_END && zs.total_out == expected && zs.avail_in == 0;
    inflateEnd(&zs);
    if (!ok)
        out.clear();
    return ok;
}

bool writeAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

// Entries "<prefix><n>" of a group in their numbered order, n from `first`
// to below first + count, empty ones skipped. Only keys that exist are
// visited, so a damaged count costs nothing.
QStringList indexedList(const QString &ini, const QString &group, const QString &countKey,
                        const QString &prefix, int first)
{
    QSettings settings(ini, QSettings::IniFormat);
    settings.beginGroup(group);
    const qlonglong count = settings.value(countKey, 0).toLongLong();
    const QRegularExpression key("^" + QRegularExpression::escape(prefix)
                                 + "(0|[1-9][0-9]{0,9})$");
    QMap<qlonglong, QString> entries;
    for (const QString &k : settings.childKeys()) {
        const QRegularExpressionMatch m = key.match(k);
        if (!m.hasMatch())
            continue;
        const qlonglong index = m.captured(1).toLongLong();
        if (index < first || index >= first + count)
            continue;
        const QString value = settings.value(k).toString();
        if (!value.isEmpty())
            entries.insert(index, value);
    }
    return entries.values();
}

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

QByteArray readWhole(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

MakePackage::MakePackage(QObject *parent) : QObject(parent) {}

quint16 MakePackage::packageChecksum(const QByteArray &bytes)
{
    return qChecksum(bytes.constData(), uint(bytes.size()), Qt::ChecksumIso3309);
}

bool MakePackage::isBareFileName(const QString &name)
{
    if (name.isEmpty() || name == "." || name == ".." || name.toUtf8().size() > kMaxNameBytes)
        return false;
    for (const QChar c : name) {
        if (c == '/' || c == '\\' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return true;
}

bool MakePackage::isSafeConfigName(const QString &name)
{
    if (!isBareFileName(name) || !ScanShortcutMenu::isSafeProfileId(name)
        || name.startsWith('.'))
        return false;
    return !reservedNames().contains(name, Qt::CaseInsensitive);
}

// --- whole package ----------------------------------------------------------------

QByteArray MakePackage::composePackage(const QJsonObject &document)
{
    const QByteArray json = QJsonDocument(document).toJson(QJsonDocument::Compact);
    if (quint64(json.size()) > kMaxJsonSize)
        return QByteArray();
    const QByteArray body = qCompress(json, -1);
    const quint16 crc = packageChecksum(body);
    QByteArray package(kMagic, kMagicSize);
    package.append(char(crc & 0xFF));
    package.append(char(crc >> 8));
    package.append(body);
    return package;
}

int MakePackage::parsePackage(const QByteArray &package, Contents &out)
{
    out = Contents();
    if (package.size() < kHeaderSize || !package.startsWith(QByteArray(kMagic, kMagicSize)))
        return -52;
    const QByteArray body = package.mid(8);
    const quint16 stored = qFromLittleEndian<quint16>(package.constData() + 6);
    if (stored != packageChecksum(body))
        return -52;
    const quint32 length = qFromBigEndian<quint32>(package.constData() + 8);
    if (length > kMaxJsonSize)
        return -52;
    QByteArray json;
    if (!inflateExactly(package.constData() + kHeaderSize, package.size() - kHeaderSize, length,
                        json))
        return -52;

    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return -52;
    const QJsonObject root = doc.object();
    const QJsonValue profiles = root.value("Profiles");
    const QJsonValue stamps = root.value("StampFiles");
    if (!profiles.isArray() || !stamps.isArray())
        return -52;

    Contents contents;
    for (const QJsonValue &v : profiles.toArray()) {
        if (!v.isObject())
            return -52;
        const QJsonObject o = v.toObject();
        Profile p;
        if (!o.value("ConfigName").isString() || !o.value("IconName").isString())
            return -52;
        p.configName = o.value("ConfigName").toString();
        p.iconName = o.value("IconName").toString();
        if (!isSafeConfigName(p.configName)
            || (!p.iconName.isEmpty() && !isBareFileName(p.iconName)))
            return -52;
        if (!decode(o.value("Config"), p.config) || !decode(o.value("Icon"), p.icon))
            return -52;
        if (p.config.size() != kScanShortcutSize)
            return -52;
        contents.profiles.append(p);
    }
    for (const QJsonValue &v : stamps.toArray()) {
        if (!v.isObject())
            return -52;
        const QJsonObject o = v.toObject();
        Stamp s;
        if (!o.value("IconName").isString())
            return -52;
        s.name = o.value("IconName").toString();
        if (!isBareFileName(s.name) || !decode(o.value("Icon"), s.graphic))
            return -52;
        contents.stamps.append(s);
    }
    out = contents;
    return 0;
}

// --- export -----------------------------------------------------------------------

QStringList MakePackage::profileListNames() const
{
    return indexedList(m_config->m_strProfileIni, kProfileGroup, "Count", "Item", 0);
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
    for (const QString &name :
         indexedList(m_config->m_strStampConfigIni, kStampGroup, "Count", "Item", 0)) {
        if (!names.contains(name))
            names << name;
    }
    return names;
}

QString MakePackage::getProfileIcon(const QString &name)
{
    const QString path = firstExisting({m_config->m_strTwainDir, m_config->m_strProfileIconsDir},
                                       name);
    if (path.isEmpty()) {
        qDebug() << "Package: profile icon not found, exported empty:" << name;
        return QString();
    }
    return encode(readWhole(path));
}

QString MakePackage::getStampIcon(const QString &name)
{
    const QString path = firstExisting({m_config->m_strAppStampDir, m_config->m_strStampDir},
                                       name);
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
            qDebug() << "Package: profile record unreadable or of the wrong size, skipped:"
                     << name;
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
    const QByteArray package = composePackage(document);
    if (package.isEmpty()) {
        qDebug() << "Package: larger than an import would accept, not written";
        return -50;
    }
    // Written whole or not at all: a failed export leaves an earlier package.
    if (!writeAtomically(path, package)) {
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
    return parsePackage(file.readAll(), contents);
}

int MakePackage::saveConfigFile(const QString &name, const QByteArray &bytes)
{
    if (bytes.size() != kScanShortcutSize)
        return -50;
    if (!writeAtomically(m_config->m_strProfilesDir + "/" + name, bytes)) {
        qDebug() << "save config file failed" << name;
        return -50;
    }
    return 0;
}

int MakePackage::saveProfileIcon(const QString &name, const QByteArray &bytes)
{
    // An icon of that name, the application's or the user's, is never replaced.
    if (!firstExisting({m_config->m_strTwainDir, m_config->m_strProfileIconsDir}, name).isEmpty())
        return 0;
    if (QFileInfo::exists(m_config->m_strProfileIconsDir + "/" + name))
        return 0;
    if (bytes.isEmpty()) {
        qDebug() << "Package: profile icon without content, not written:" << name;
        return 0;
    }
    if (!QDir().mkpath(m_config->m_strProfileIconsDir)
        || !writeAtomically(m_config->m_strProfileIconsDir + "/" + name, bytes)) {
        qDebug() << "save config file failed" << name;
        return -50;
    }
    return 0;
}

int MakePackage::saveStampIcon(const QString &name, const QByteArray &bytes)
{
    if (QFileInfo::exists(m_config->m_strStampDir + "/" + name)
        || QFileInfo(m_config->m_strAppStampDir + "/" + name).isFile())
        return 0;
    if (bytes.isEmpty()) {
        qDebug() << "Package: stamp graphic without content, not written:" << name;
        return 0;
    }
    if (!QDir().mkpath(m_config->m_strStampDir)
        || !writeAtomically(m_config->m_strStampDir + "/" + name, bytes)) {
        qDebug() << "save stamp file failed" << name;
        return -50;
    }
    return 0;
}

int MakePackage::saveProfileList(const QStringList &names)
{
    // The new list replaces the old one in a single rename: the old file is
    // never deleted first, so a failure keeps every profile listed.
    const QByteArray text = withListGroup(QString(), kProfileGroup, names);
    if (text.isEmpty() || !writeAtomically(m_config->m_strProfileIni, text)) {
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
    if (text.isEmpty() || !writeAtomically(ini, text)) {
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

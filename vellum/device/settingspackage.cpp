#include "settingspackage.h"

#include "scanshortcut.h"
#include "scanshortcutmenu.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>
#include <QtEndian>

#include <limits>

#include <zlib.h>

namespace settingspackage {

namespace {

const char kMagic[] = "CORVAN";
constexpr int kMagicSize = 6;

const QByteArray::Base64Options kBase64 =
    QByteArray::Base64UrlEncoding | QByteArray::KeepTrailingEquals;

// Files and folders the profile store and the device page keep in the
// profiles directory: a package record must never be written over them.
const QStringList &reservedNames()
{
    static const QStringList names{"profile.ini",    "stampconfig.ini", "scanlog.txt",
                                   "scannedlog.ini", "icons",           "stamp",
                                   "sound"};
    return names;
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
    const auto result =
        QByteArray::fromBase64Encoding(text, kBase64 | QByteArray::AbortOnBase64DecodingErrors);
    if (!result || result.decoded.toBase64(kBase64) != text)
        return false;
    out = result.decoded;
    return true;
}

// zlib inflation that never produces more than the declared length: a small
// stream may claim a few bytes and expand to gigabytes (qUncompress would
// keep doubling its buffer after it).
bool inflateExactly(const char *data, qint64 size, quint32 expected, QByteArray &out)
{
    if (expected == 0 || size <= 0 || size > qint64(std::numeric_limits<uInt>::max()))
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

bool parseProfile(const QJsonValue &v, Profile &p)
{
    if (!v.isObject())
        return false;
    const QJsonObject o = v.toObject();
    if (!o.value("ConfigName").isString() || !o.value("IconName").isString())
        return false;
    p.configName = o.value("ConfigName").toString();
    p.iconName = o.value("IconName").toString();
    if (!isSafeConfigName(p.configName) || (!p.iconName.isEmpty() && !isBareFileName(p.iconName)))
        return false;
    if (!decode(o.value("Config"), p.config) || !decode(o.value("Icon"), p.icon))
        return false;
    return p.config.size() == kScanShortcutSize;
}

bool parseStamp(const QJsonValue &v, Stamp &s)
{
    if (!v.isObject())
        return false;
    const QJsonObject o = v.toObject();
    if (!o.value("IconName").isString())
        return false;
    s.name = o.value("IconName").toString();
    return isBareFileName(s.name) && decode(o.value("Icon"), s.graphic);
}

} // namespace

QString encode(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toBase64(kBase64));
}

quint16 checksum(const QByteArray &bytes)
{
    return qChecksum(bytes.constData(), uint(bytes.size()), Qt::ChecksumIso3309);
}

bool isBareFileName(const QString &name)
{
    if (name.isEmpty() || name == "." || name == ".." || name.toUtf8().size() > kMaxNameBytes)
        return false;
    for (const QChar c : name) {
        if (c == '/' || c == '\\' || c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return true;
}

bool isSafeConfigName(const QString &name)
{
    if (!isBareFileName(name) || !ScanShortcutMenu::isSafeProfileId(name) || name.startsWith('.'))
        return false;
    // QSettings guards an ini file with "<file>.lock": a record written under
    // that name would hold every later write of the file for half a minute.
    QString base = name;
    if (base.endsWith(QLatin1String(".lock"), Qt::CaseInsensitive))
        base.chop(5);
    return !reservedNames().contains(base, Qt::CaseInsensitive);
}

QByteArray compose(const QJsonObject &document)
{
    const QByteArray json = QJsonDocument(document).toJson(QJsonDocument::Compact);
    if (quint64(json.size()) > kMaxJsonSize)
        return QByteArray();
    const QByteArray body = qCompress(json, -1);
    const quint16 crc = checksum(body);
    QByteArray package(kMagic, kMagicSize);
    package.append(char(crc & 0xFF));
    package.append(char(crc >> 8));
    package.append(body);
    return package;
}

QJsonObject document(const Contents &contents)
{
    QJsonArray profiles;
    for (const Profile &p : contents.profiles)
        profiles.append(QJsonObject{{"ConfigName", p.configName},
                                    {"Config", encode(p.config)},
                                    {"IconName", p.iconName},
                                    {"Icon", encode(p.icon)}});
    QJsonArray stamps;
    for (const Stamp &s : contents.stamps)
        stamps.append(QJsonObject{{"IconName", s.name}, {"Icon", encode(s.graphic)}});
    return QJsonObject{{"Profiles", profiles}, {"StampFiles", stamps}};
}

int parse(const QByteArray &package, Contents &out)
{
    out = Contents();
    if (package.size() < kHeaderSize || !package.startsWith(QByteArray(kMagic, kMagicSize)))
        return -52;
    const QByteArray body = package.mid(8);
    if (qFromLittleEndian<quint16>(package.constData() + 6) != checksum(body))
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
    const QJsonValue profiles = doc.object().value("Profiles");
    const QJsonValue stamps = doc.object().value("StampFiles");
    if (!profiles.isArray() || !stamps.isArray())
        return -52;

    Contents contents;
    for (const QJsonValue &v : profiles.toArray()) {
        Profile p;
        if (!parseProfile(v, p))
            return -52;
        contents.profiles.append(p);
    }
    for (const QJsonValue &v : stamps.toArray()) {
        Stamp s;
        if (!parseStamp(v, s))
            return -52;
        contents.stamps.append(s);
    }
    out = contents;
    return 0;
}

} // namespace settingspackage

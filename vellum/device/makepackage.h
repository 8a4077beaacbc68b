#ifndef MAKEPACKAGE_H
#define MAKEPACKAGE_H

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class ConfigFile;

// The settings package (".wqv"): every profile of "profile.ini" with its list
// icon, and the imprinter graphics, in one file that another computer can
// import.
//
//   0  6  "CORVAN"
//   6  2  CRC-16/X.25 of bytes 8..end, little-endian
//   8  4  length of the JSON text, big-endian  } exactly what qCompress
//  12  .. the JSON text as one zlib stream      } makes of the JSON text
//
// The JSON text is {"Profiles":[{"ConfigName","Config","IconName","Icon"}...],
// "StampFiles":[{"IconName","Icon"}...]}, file contents in URL-safe Base64
// with padding.
//
// A package comes from anywhere, so an import checks the whole of it in
// memory before it touches a single file: names are bare file names that
// cannot leave their folders, the checksum holds, inflation stops at the
// declared length. Then files go into place each by a temporary file and a
// rename, "profile.ini" last but one; it is never deleted first.
class MakePackage : public QObject
{
    Q_OBJECT
public:
    // One profile or graphic of a package, decoded.
    struct Profile
    {
        QString configName;
        QByteArray config;
        QString iconName;
        QByteArray icon;
    };
    struct Stamp
    {
        QString name;
        QByteArray graphic;
    };
    struct Contents
    {
        QList<Profile> profiles;
        QList<Stamp> stamps;
    };

    static constexpr int kHeaderSize = 12;
    static constexpr quint32 kMaxJsonSize = 64u * 1024 * 1024;
    static constexpr int kMaxNameBytes = 255;

    explicit MakePackage(QObject *parent = nullptr);

    // 0; -50 the package file cannot be written; -52 no "profile.ini".
    int exportPackage(ConfigFile *config, QString path);
    // 0; -52 the package cannot be read or fails any check (nothing is
    // touched then); -50 a file could not be written.
    int importPackage(ConfigFile *config, QString path);

    // The whole package from its JSON document; empty when it would be larger
    // than an import accepts.
    static QByteArray composePackage(const QJsonObject &document);
    // Every check of an import, on the package's bytes alone: 0 or -52.
    static int parsePackage(const QByteArray &package, Contents &out);
    static quint16 packageChecksum(const QByteArray &bytes);

    // A name that can only ever mean a file inside the folder it is joined to.
    static bool isBareFileName(const QString &name);
    // A record name: a bare name the profile store accepts as an id that is
    // none of the files and folders the store keeps beside the records.
    static bool isSafeConfigName(const QString &name);

private:
    QJsonArray encodeProfile(const QStringList &names);
    QJsonArray encodeStampGraphics();
    int saveProfiles(const QString &path, const QJsonObject &document);
    int restoreProfiles(const QString &path, Contents &contents);
    int decodeProfile(const QList<Profile> &profiles);
    int decodeStampGraphics(const QList<Stamp> &stamps);
    int saveConfigFile(const QString &name, const QByteArray &bytes);
    int saveProfileIcon(const QString &name, const QByteArray &bytes);
    int saveStampIcon(const QString &name, const QByteArray &bytes);
    int saveProfileList(const QStringList &names);
    int saveStampList(const QStringList &names);
    QString getProfileIcon(const QString &name);
    QString getStampIcon(const QString &name);
    QStringList profileListNames() const;
    QStringList stampListNames() const;

    ConfigFile *m_config = nullptr;
};

#endif

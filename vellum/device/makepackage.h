#ifndef MAKEPACKAGE_H
#define MAKEPACKAGE_H

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include "settingspackage.h"

class ConfigFile;

// The settings package (".wqv", format in settingspackage.h): every profile
// of "profile.ini" with its list icon, and the imprinter graphics, in one file
// that another computer can import.
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
    using Profile = settingspackage::Profile;
    using Stamp = settingspackage::Stamp;
    using Contents = settingspackage::Contents;

    explicit MakePackage(QObject *parent = nullptr);

    // 0; -50 the package file cannot be written; -52 no "profile.ini".
    int exportPackage(ConfigFile *config, QString path);
    // 0; -52 the package cannot be read or fails any check (nothing is
    // touched then); -50 a file could not be written.
    int importPackage(ConfigFile *config, QString path);

    // The format's own operations, for callers that hold a MakePackage.
    static QByteArray composePackage(const QJsonObject &document)
    {
        return settingspackage::compose(document);
    }
    static int parsePackage(const QByteArray &package, Contents &out)
    {
        return settingspackage::parse(package, out);
    }
    static quint16 packageChecksum(const QByteArray &bytes)
    {
        return settingspackage::checksum(bytes);
    }

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

#ifndef SETTINGSPACKAGE_H
#define SETTINGSPACKAGE_H

// The settings package's format, apart from any file or folder: building a
// package from its JSON document and checking and decoding one. Kept free of
// the console so that the fuzzer runs it alone.
//
//   0  6  "CORVAN"
//   6  2  CRC-16/X.25 of bytes 8..end, little-endian
//   8  4  length of the JSON text, big-endian  } exactly what qCompress
//  12  .. the JSON text as one zlib stream      } makes of the JSON text
//
// The JSON text is {"Profiles":[{"ConfigName","Config","IconName","Icon"}...],
// "StampFiles":[{"IconName","Icon"}...]}, file contents in URL-safe Base64
// with padding.

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

namespace settingspackage {

constexpr int kHeaderSize = 12;
constexpr quint32 kMaxJsonSize = 64u * 1024 * 1024;
constexpr int kMaxNameBytes = 255;

struct Profile
{
    QString configName;
    QByteArray config;
    QString iconName;
    QByteArray icon;
    bool operator==(const Profile &o) const
    {
        return configName == o.configName && config == o.config && iconName == o.iconName &&
               icon == o.icon;
    }
};
struct Stamp
{
    QString name;
    QByteArray graphic;
    bool operator==(const Stamp &o) const { return name == o.name && graphic == o.graphic; }
};
struct Contents
{
    QList<Profile> profiles;
    QList<Stamp> stamps;
};

// The whole package; empty when it would be larger than a reader accepts.
QByteArray compose(const QJsonObject &document);
// The JSON document of decoded contents (the inverse of parse).
QJsonObject document(const Contents &contents);
// Every check on the package's bytes alone: the magic, the checksum, the
// declared length within the cap and equal to what the stream inflates to,
// a JSON object with both arrays of well-typed elements, canonical Base64,
// safe names, records of the profile size. 0, or -52 with `out` empty.
int parse(const QByteArray &package, Contents &out);
quint16 checksum(const QByteArray &bytes);
QString encode(const QByteArray &bytes);

// A name that can only ever mean a file inside the folder it is joined to:
// not empty, not "." or "..", no separator, NUL or control character, at
// most 255 bytes of UTF-8.
bool isBareFileName(const QString &name);
// A record name: a bare name the profile store accepts as an id, not hidden,
// and none of the files and folders kept beside the records.
bool isSafeConfigName(const QString &name);

} // namespace settingspackage

#endif

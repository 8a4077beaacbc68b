#ifndef STAMPCONFIGFILE_H
#define STAMPCONFIGFILE_H

#include <QByteArray>
#include <QString>
#include <QStringList>

// Group "Graphics" of stampconfig.ini: "count" and "name1".."nameN". The file
// has other owners' groups too, which are never rewritten.
namespace stampconfigfile {

// Entries "<prefix><n>" of an ini file's group in their numbered order, n from
// `first` to below first + the group's `countKey`, empty ones skipped. Only
// the keys in the file are visited, so a damaged count costs nothing.
QStringList readNumberedList(const QString &iniPath, const QString &group, const QString &countKey,
                             const QString &prefix, int first);

// The non-empty names of the group, in numbered order, for the numbers from
// 1 to "count" that are present. A damaged count costs nothing: only the
// keys in the file are visited.
QStringList readGraphics(const QString &iniPath);

// The group's text as QSettings writes it (escaped the way it reads it);
// empty when it could not be made.
QByteArray graphicsGroupText(const QStringList &entries);

// The file content with every "Graphics" group removed and the given group
// text appended; every other line stays byte for byte.
QByteArray replaceGraphicsGroup(const QByteArray &content, const QByteArray &groupText);

// Replaces the group in the file by the entries. Other lines stay byte for
// byte; only when another group's damaged text (an unclosed quote) would swallow
// the new group is the whole file rewritten through QSettings instead. False
// when the file could not be read or written.
bool writeGraphics(const QString &iniPath, const QStringList &entries);

} // namespace stampconfigfile

#endif

#include "filehelper.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryFile>
#include <QVariantMap>

#include <cstdio>
#include <unistd.h>

namespace {

// Data on the disk before the rename, so that a crash or power loss right
// after it cannot leave an empty file under the target's name.
bool syncToDisk(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return ::fdatasync(file.handle()) == 0;
}

bool writeBytes(const QString &path, const QByteArray &bytes, QFileDevice::Permissions perms)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    // Before the first byte: a file that holds a password is never readable
    // by others, not even for a moment.
    if (perms && !file.setPermissions(perms))
        return false;
    const bool ok = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    return ok && file.error() == QFileDevice::NoError;
}

QVariantMap iniValues(const QSettings &ini)
{
    QVariantMap values;
    const QStringList keys = ini.allKeys();
    for (const QString &key : keys)
        values.insert(key, ini.value(key));
    return values;
}

// `bytes` in a scratch file of its own, handed to `use` through QSettings.
int overScratch(const QString &pattern, const QByteArray &bytes, bool utf8,
                const std::function<int(QSettings &, const QString &)> &use)
{
    QTemporaryFile scratch(pattern);
    if (!scratch.open() || scratch.write(bytes) != bytes.size() || !scratch.flush())
        return QSettings::AccessError;
    scratch.close();
    QSettings ini(scratch.fileName(), QSettings::IniFormat);
    if (utf8)
        ini.setIniCodec("UTF-8");
    return use(ini, scratch.fileName());
}

} // namespace

QByteArray FileHelper::convertPath(QString path)
{
    return QDir::toNativeSeparators(path).toUtf8();
}

QString FileHelper::partFileOf(const QString &target)
{
    const QFileInfo info(target);
    return QStringLiteral("%1/.%2.part").arg(info.path(), info.fileName());
}

bool FileHelper::replaceFile(const QString &target, const PartWriter &write)
{
    const QString part = partFileOf(target);
    QFile::remove(part); // a leftover of a run that was killed
    const QFileInfo old(target);
    bool ok = write(part) && QFileInfo(part).isFile();
    if (ok && old.exists())
        ok = QFile::setPermissions(part, QFile::permissions(target));
    ok = ok && syncToDisk(part) &&
         std::rename(convertPath(part).constData(), convertPath(target).constData()) == 0;
    if (!ok) {
        qDebug() << "FileHelper: not written, left as it was:" << target;
        QFile::remove(part);
    }
    return ok;
}

bool FileHelper::replaceFile(const QString &target, const QByteArray &bytes,
                             const PartWriter &finish)
{
    const QFileDevice::Permissions perms =
        QFileInfo::exists(target) ? QFile::permissions(target) : QFileDevice::Permissions();
    return replaceFile(target, [&](const QString &part) {
        return writeBytes(part, bytes, perms) && (!finish || finish(part));
    });
}

bool FileHelper::replaceIni(const QString &target, const IniEdit &edit, bool utf8)
{
    QByteArray old;
    if (QFileInfo::exists(target)) {
        QFile in(target);
        if (!in.open(QIODevice::ReadOnly))
            return false;
        old = in.readAll();
        if (in.error() != QFileDevice::NoError)
            return false;
    }
    QByteArray text;
    // A damaged old file does not block every later save: it is replaced by
    // what could be read of it with the edit made, as QSettings would.
    return composeIni(target, old, edit, text, utf8) != QSettings::AccessError &&
           replaceFile(target, text);
}

int FileHelper::composeIni(const QString &near, const QByteArray &old, const IniEdit &edit,
                           QByteArray &text, bool utf8)
{
    // Every scratch file has a name of its own: QSettings caches what it
    // read and wrote by path and would answer a later reader from there.
    const QString pattern =
        QStringLiteral("%1/.%2.XXXXXX").arg(QFileInfo(near).path(), QFileInfo(near).fileName());
    QVariantMap meant;
    // A format error sticks to the object from reading `old`; what QSettings
    // could read of it is still written out whole, and the caller decides.
    const int composed =
        overScratch(pattern, old, utf8, [&](QSettings &ini, const QString &path) -> int {
            edit(ini);
            ini.sync();
            if (ini.status() == QSettings::AccessError)
                return ini.status();
            const int status = ini.status();
            meant = iniValues(ini);
            QFile written(path);
            if (!written.open(QIODevice::ReadOnly))
                return QSettings::AccessError;
            text = written.readAll();
            return status;
        });
    // What QSettings misread of a damaged file need not read back as it
    // wrote it: only a sound one is held to its values.
    if (composed != QSettings::NoError)
        return composed;
    // Read back from a second scratch file: a text cut short loses keys or
    // values and reads differently.
    return overScratch(pattern, text, utf8, [&](QSettings &reread, const QString &) -> int {
        return reread.status() == QSettings::NoError && iniValues(reread) == meant
                   ? QSettings::NoError
                   : QSettings::AccessError;
    });
}

#ifndef FILEHELPER_H
#define FILEHELPER_H

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class QSettings;

class FileHelper : public QObject
{
    Q_OBJECT
public:
    // Native-separator UTF-8 form of a path, for C libraries taking 8-bit names.
    static QByteArray convertPath(QString path);

    // A file is written whole or not at all. `write` is given a path beside
    // the target (same folder, so the last step is one rename) and writes
    // the whole file there, through a library or by bytes, then checks it;
    // only when it returns true does that file, flushed to the disk, replace
    // the target. Otherwise the target stays as it was and nothing is left
    // beside it. A target's permissions carry over to its replacement.
    using PartWriter = std::function<bool(const QString &partPath)>;
    static bool replaceFile(const QString &target, const PartWriter &write);
    // `bytes` as the whole file; `finish`, when given, runs on the written
    // file before it replaces the target (a check or a last touch).
    static bool replaceFile(const QString &target, const QByteArray &bytes,
                            const PartWriter &finish = {});
    // An ini file changed through QSettings as a whole: the keys `edit`
    // leaves alone are kept, and the file is replaced only by a text that
    // reads back complete. `utf8` false keeps QSettings' own text coding.
    using IniEdit = std::function<void(QSettings &)>;
    static bool replaceIni(const QString &target, const IniEdit &edit, bool utf8 = true);
    // The text of an ini file after `edit` over `old`, composed through
    // QSettings in a private scratch file beside `near` and read back whole.
    // QSettings itself takes a cut write for a good one (a full disk):
    // AccessError then, also when the text reads back otherwise; FormatError
    // when `old` cannot be read as an ini file throughout (what QSettings
    // misread need not read back as it wrote it, so that text is not held to
    // it). `text` is whatever QSettings wrote, for a caller with a check of
    // its own.
    static int composeIni(const QString &near, const QByteArray &old, const IniEdit &edit,
                          QByteArray &text, bool utf8 = true);
    // Where replaceFile writes before the rename.
    static QString partFileOf(const QString &target);
};

#endif

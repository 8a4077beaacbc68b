#include "stampconfigfile.h"

#include "filehelper.h"

#include <QDebug>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

namespace stampconfigfile {

namespace {

const char kGroup[] = "Graphics";

bool isGroupHeader(const QByteArray &line, QByteArray *name)
{
    const QByteArray t = line.trimmed();
    if (!t.startsWith('['))
        return false;
    const int close = t.indexOf(']');
    if (close < 0)
        return false;
    *name = t.mid(1, close - 1);
    return true;
}

// The group as the list reader expects it, written out at once.
void putGraphics(QSettings &ini, const QStringList &entries)
{
    ini.beginGroup(kGroup);
    ini.setValue("count", entries.size());
    for (int i = 0; i < entries.size(); ++i)
        ini.setValue(QString("name%1").arg(i + 1), entries.at(i));
    ini.endGroup();
    ini.sync();
}

} // namespace

QStringList readNumberedList(const QString &iniPath, const QString &group, const QString &countKey,
                             const QString &prefix, int first)
{
    QSettings settings(iniPath, QSettings::IniFormat);
    settings.beginGroup(group);
    const qlonglong count = settings.value(countKey, 0).toLongLong();
    if (count <= 0)
        return QStringList();
    const QRegularExpression key("^" + QRegularExpression::escape(prefix) + "(0|[1-9][0-9]{0,9})$");
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

QStringList readGraphics(const QString &iniPath)
{
    return readNumberedList(iniPath, kGroup, "count", "name", 1);
}

QByteArray graphicsGroupText(const QStringList &entries)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return QByteArray();
    const QString path = dir.filePath("group.ini");
    {
        QSettings ini(path, QSettings::IniFormat);
        putGraphics(ini, entries);
        if (ini.status() != QSettings::NoError)
            return QByteArray();
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QByteArray replaceGraphicsGroup(const QByteArray &content, const QByteArray &groupText)
{
    QByteArray kept;
    bool inGraphics = false;
    int from = 0;
    while (from < content.size()) {
        int end = content.indexOf('\n', from);
        end = end < 0 ? content.size() : end + 1;
        const QByteArray line = content.mid(from, end - from);
        from = end;
        QByteArray name;
        if (isGroupHeader(line, &name))
            inGraphics = (name == kGroup);
        if (!inGraphics)
            kept += line;
    }
    // The new group starts on a line of its own after one blank line.
    if (!kept.isEmpty()) {
        if (!kept.endsWith('\n'))
            kept += '\n';
        if (!kept.endsWith("\n\n"))
            kept += '\n';
    }
    return kept + groupText;
}

bool writeGraphics(const QString &iniPath, const QStringList &entries)
{
    const QByteArray group = graphicsGroupText(entries);
    if (group.isEmpty())
        return false;
    QByteArray content;
    QFile in(iniPath);
    if (in.exists()) {
        // Other owners' groups must never be lost to a file we cannot read.
        if (!in.open(QIODevice::ReadOnly)) {
            qDebug() << "Cannot read" << iniPath;
            return false;
        }
        content = in.readAll();
        in.close();
    }
    // A text is taken when it reads back as the list.
    const auto readsBack = [&entries](const QByteArray &text) {
        QTemporaryDir dir;
        QFile probe(dir.filePath("probe.ini"));
        if (!dir.isValid() || !probe.open(QIODevice::WriteOnly) ||
            probe.write(text) != text.size())
            return false;
        probe.close();
        return readGraphics(probe.fileName()) == entries;
    };
    const QByteArray spliced = replaceGraphicsGroup(content, group);
    if (readsBack(spliced)) {
        if (FileHelper::replaceFile(iniPath, spliced))
            return true;
        qDebug() << "Cannot write" << iniPath;
        return false;
    }
    qDebug() << "Rewriting" << iniPath
             << "through QSettings: its text would hide the graphics list";
    // The other owners' groups stay as far as QSettings reads them; what it
    // misreads of a damaged file need not read back key for key, the list
    // must.
    QByteArray text;
    FileHelper::composeIni(
        iniPath, content,
        [&](QSettings &ini) {
            ini.remove(kGroup);
            putGraphics(ini, entries);
        },
        text, false);
    return readsBack(text) && FileHelper::replaceFile(iniPath, text);
}

} // namespace stampconfigfile

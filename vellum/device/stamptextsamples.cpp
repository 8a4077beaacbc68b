// Human-readable samples of the imprinter's text template items. They only
// describe what the scanner will print; the record carries format codes.
#include "changemessagedialog.h"

#include <QLocale>

namespace {

// Samples never depend on the desktop's language: the scanner prints AM/PM.
const QLocale &cLocale()
{
    static const QLocale c = QLocale::c();
    return c;
}

QString delimiterText(int delimiter)
{
    switch (delimiter) {
    case StampDelimiterSpace:
        return QStringLiteral(" ");
    case StampDelimiterSlash:
        return QStringLiteral("/");
    case StampDelimiterHyphen:
        return QStringLiteral("-");
    case StampDelimiterPeriod:
        return QStringLiteral(".");
    default:
        return QString();
    }
}

const char *const kDateLabels[] = {"DD%1MM%1YYYY", "DDD",          "MM%1DD%1YYYY",
                                   "YYYY%1DDD",    "YYYY%1MM%1DD", "DD%1MM%1YY",
                                   "MM%1DD%1YY",   "YY%1DDD",      "YY%1MM%1DD"};
// Day-number formats (1, 3, 7) are composed by hand; the others are Qt patterns.
const char *const kDatePatterns[] = {"dd%1MM%1yyyy", nullptr,        "MM%1dd%1yyyy",
                                     nullptr,        "yyyy%1MM%1dd", "dd%1MM%1yy",
                                     "MM%1dd%1yy",   nullptr,        "yy%1MM%1dd"};

const char *const kTimeLabels[] = {"HH:mm",    "hh:mm",       "HH:mm:ss",
                                   "hh:mm:ss", "HH:mm:ss.xx", "hh:mm:ss.xx",
                                   "hh:mm tt", "hh:mm:ss tt", "hh:mm:ss.xx tt"};

bool inRange(int v, int lo, int hi)
{
    return v >= lo && v <= hi;
}

QString dateLabel(int format, int delimiter)
{
    if (!inRange(format, 0, 8))
        return QString();
    return QString::fromLatin1(kDateLabels[format]).replace("%1", delimiterText(delimiter));
}

QString dateRendering(int format, int delimiter, const QDate &date, qint64 dayNumber)
{
    if (!inRange(format, 0, 8) || !date.isValid())
        return QString();
    const QString delim = delimiterText(delimiter);
    switch (format) {
    case StampDateDDD:
        return QString::number(dayNumber);
    case StampDateYYYYDDD:
        return cLocale().toString(date, "yyyy") + delim + QString::number(dayNumber);
    case StampDateYYDDD:
        return cLocale().toString(date, "yy") + delim + QString::number(dayNumber);
    default:
        break;
    }
    // A delimiter is never a pattern letter, so it can sit in the pattern.
    return cLocale().toString(date,
                              QString::fromLatin1(kDatePatterns[format]).replace("%1", delim));
}

// The summary writes the AM/PM hour without a leading zero, the editor's
// example with one; otherwise both render alike.
QString timeRendering(int format, const QTime &time, bool editorHour)
{
    if (!inRange(format, 0, 8) || !time.isValid())
        return QString();
    switch (format) {
    case StampTimeHHmm:
        return cLocale().toString(time, "HH:mm");
    case StampTimehhmm:
        return ChangeMessageDialog::transformTimeFormat(time, "hh:mm");
    case StampTimeHHmmss:
        return cLocale().toString(time, "HH:mm:ss");
    case StampTimehhmmss:
        return ChangeMessageDialog::transformTimeFormat(time, "hh:mm:ss");
    case StampTimeHHmmssxx:
        return cLocale().toString(time, "HH:mm:ss.zzz");
    case StampTimehhmmssxx:
        return ChangeMessageDialog::transformTimeFormat(time, "hh:mm:ss.zzz");
    case StampTimehhmmtt:
        return cLocale().toString(time, editorHour ? "hh:mm AP" : "h:mm AP");
    case StampTimehhmmsstt:
        return cLocale().toString(time, editorHour ? "hh:mm:ss AP" : "h:mm:ss AP");
    default:
        return cLocale().toString(time, editorHour ? "hh:mm:ss.zzz AP" : "h:mm:ss.zzz AP");
    }
}

QString counterSample(int width, int mode)
{
    if (!inRange(width, 1, 9) || !inRange(mode, 0, 2))
        return QString();
    const QChar fill = mode == StampIndexSpaces   ? QChar(' ')
                       : mode == StampIndexHidden ? QChar('<')
                                                  : QChar('0');
    return QString(width - 1, fill) + QString::number(width);
}

} // namespace

QString ChangeMessageDialog::getDateFormat(int delimiter, int format, bool specific, QDate date)
{
    if (!specific)
        return dateLabel(format, delimiter);
    // Days counted from the first day of 2020.
    return dateRendering(format, delimiter, date, QDate(2020, 1, 1).daysTo(date));
}

QString ChangeMessageDialog::getTimeFormat(bool specific, int format, QTime time)
{
    if (!specific)
        return inRange(format, 0, 8) ? QString::fromLatin1(kTimeLabels[format]) : QString();
    return timeRendering(format, time, false);
}

QString ChangeMessageDialog::getCounterFormat(int width, int mode)
{
    return counterSample(width, mode);
}

QString ChangeMessageDialog::transformTimeFormat(QTime time, QString pattern)
{
    if (!time.isValid())
        return QString();
    QString text = cLocale().toString(time, pattern);
    if (time.hour() > 12)
        text.replace(0, 2, QString::number(time.hour() - 12));
    return text;
}

QString ChangeMessageDialog::parserDate(StampTextDateFormatFlag format,
                                        StampTextDateDelimiterFlag delimiter, QString date,
                                        bool specific) const
{
    if (!specific)
        return dateLabel(format, delimiter);
    const QDate d = QDate::fromString(date, "yyyy/MM/dd");
    // Day of the year counted from 0.
    return dateRendering(format, delimiter, d, d.isValid() ? d.dayOfYear() - 1 : 0);
}

QString ChangeMessageDialog::parserTime(StampTextTimeFormatFlag format, QString time,
                                        bool label) const
{
    if (label)
        return inRange(format, 0, 8) ? QString::fromLatin1(kTimeLabels[format]) : QString();
    return timeRendering(format, QTime::fromString(time, "HH:mm"), true);
}

QString ChangeMessageDialog::parserCounter(StampTextIndexFormatFlag mode, int width) const
{
    return counterSample(width, mode);
}

QString ChangeMessageDialog::itemName(char code)
{
    switch (code) {
    case 'Y':
        return tr("日期");
    case 'T':
        return tr("时间");
    case 'S':
        return tr("计数器");
    case '1':
    case '2':
    case '3':
    case '4':
    case '5':
    case '6':
        return tr("讯息%1").arg(QChar(code));
    case ' ':
        return tr("空格");
    case 'N':
        return tr("新行");
    default:
        return QString();
    }
}

char ChangeMessageDialog::itemCode(const QString &name)
{
    static const char codes[] = {'Y', 'T', 'S', '1', '2', '3', '4', '5', '6', ' ', 'N'};
    for (char c : codes)
        if (itemName(c) == name)
            return c;
    return 0;
}

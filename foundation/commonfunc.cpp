#include "commonfunc.h"

#include "filehelper.h"

#include <QLocale>
#include <QDebug>
#include <QSettings>
#include <QTime>

#include <cstring>

double CommonFunc::DoubleRound(double x, int n, bool half)
{
    double m = 1.0;
    for (int i = 0; i < n; ++i)
        m *= 10.0;
    const double a = (x > 0 ? x : 0 - x) + 0.00001;
    const int r = half ? static_cast<int>((a + 0.5 / m) * m) : static_cast<int>(a * m);
    return x > 0 ? r / m : 0 - r / m;
}

int CommonFunc::GetDefaultPaperSize()
{
    const QLocale::MeasurementSystem system = QLocale().measurementSystem();
    return system == QLocale::ImperialUSSystem ? 0 : 1;
}

unsigned int CommonFunc::getTickCount()
{
    return QTime::currentTime().toString("hhmmsszzz").toUInt();
}

void CommonFunc::copyStringToChars(QString s, QChar *buffer, int bytes)
{
    if (!buffer || bytes <= 0)
        return;
    std::memset(static_cast<void *>(buffer), 0, static_cast<size_t>(bytes));
    const int n = qMin(bytes, 2 * s.length());
    std::memcpy(static_cast<void *>(buffer), s.constData(), static_cast<size_t>(n));
}

QString CommonFunc::charsToString(const QChar *buffer, int units)
{
    int len = 0;
    while (len < units && !buffer[len].isNull())
        ++len;
    return QString(buffer, len);
}

void CommonFunc::unicodeSwap(void *buffer, int bytes)
{
    if (!buffer || bytes <= 0)
        return;
    auto *p = static_cast<unsigned char *>(buffer);
    for (int i = 0; i + 1 < bytes; i += 2)
        std::swap(p[i], p[i + 1]);
}

void CommonFunc::HexToString(QString &in, QString &out)
{
    out = QString::fromLatin1(in.toUtf8().toHex());
}

void CommonFunc::HexToString(long long value, QString &out)
{
    QString text = QString::number(value);
    HexToString(text, out);
}

static bool isHexText(const QString &in)
{
    for (QChar c : in) {
        const ushort u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F')))
            return false;
    }
    return true;
}

bool CommonFunc::StringToHex(QString &in, QString &out)
{
    if (!isHexText(in)) {
        out.clear();
        return false;
    }
    const QByteArray bytes = QByteArray::fromHex(in.toLatin1());
    const int zero = bytes.indexOf('\0');
    out = QString::fromUtf8(zero < 0 ? bytes : bytes.left(zero));
    return true;
}

bool CommonFunc::StringToHex(QString &in, QByteArray &out)
{
    if (!isHexText(in))
        return false;
    out = QByteArray::fromHex(in.toLatin1());
    return true;
}

bool CommonFunc::KeywordToHex(QString &in, QString &out)
{
    QByteArray be;
    be.reserve(in.size() * 2);
    for (QChar c : in) {
        be.append(static_cast<char>(c.unicode() >> 8));
        be.append(static_cast<char>(c.unicode() & 0xff));
    }
    out = QString::fromLatin1(be.toHex());
    return true;
}

QString CommonFunc::readConfigFile(QString file, QString key, QString def)
{
    QSettings ini(file, QSettings::IniFormat);
    QString value = ini.value(key, def).toString();
    QString decoded;
    StringToHex(value, decoded);
    return decoded;
}

void CommonFunc::writeConfigFile(QString file, QString key, QString value)
{
    QString encoded;
    HexToString(value, encoded);
    if (!FileHelper::replaceIni(
            file, [&](QSettings &ini) { ini.setValue(key, encoded); }, false))
        qDebug() << "CommonFunc: not written:" << file;
}

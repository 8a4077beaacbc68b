#ifndef COMMONFUNC_H
#define COMMONFUNC_H

#include <QByteArray>
#include <QChar>
#include <QString>

// Small stateless helpers shared by all libraries.
class CommonFunc
{
public:
    static double DoubleRound(double x, int n, bool half);
    static int GetDefaultPaperSize();
    static unsigned int getTickCount();
    static void copyStringToChars(QString s, QChar *buffer, int bytes);
    // Text of a fixed UTF-16 field: up to the first zero or the end of the array.
    static QString charsToString(const QChar *buffer, int units);
    static void unicodeSwap(void *buffer, int bytes);
    static void HexToString(QString &in, QString &out);
    static void HexToString(long long value, QString &out);
    static bool StringToHex(QString &in, QString &out);
    static bool StringToHex(QString &in, QByteArray &out);
    static bool KeywordToHex(QString &in, QString &out);
    static QString readConfigFile(QString file, QString key, QString def);
    static void writeConfigFile(QString file, QString key, QString value);
};

#endif

#ifndef FILEHELPER_H
#define FILEHELPER_H

#include <QByteArray>
#include <QObject>
#include <QString>

class FileHelper : public QObject
{
    Q_OBJECT
public:
    // Native-separator UTF-8 form of a path, for C libraries taking 8-bit names.
    static QByteArray convertPath(QString path);
};

#endif

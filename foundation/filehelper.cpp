#include "filehelper.h"

#include <QDir>

QByteArray FileHelper::convertPath(QString path)
{
    return QDir::toNativeSeparators(path).toUtf8();
}

// Minimal version of the settings package writer and reader, to be completed.
#include "makepackage.h"

#include <QFile>

MakePackage::MakePackage(QObject *parent) : QObject(parent) {}

int MakePackage::exportPackage(ConfigFile *config, QString path)
{
    Q_UNUSED(config)
    QFile file(path);
    return file.open(QIODevice::WriteOnly) ? 0 : -50;
}

int MakePackage::importPackage(ConfigFile *config, QString path)
{
    Q_UNUSED(config)
    return QFile::exists(path) ? 0 : -52;
}

// Minimal version of the settings package writer and reader, to be completed.
#ifndef MAKEPACKAGE_H
#define MAKEPACKAGE_H

#include <QObject>
#include <QString>

class ConfigFile;

class MakePackage : public QObject
{
    Q_OBJECT
public:
    explicit MakePackage(QObject *parent = nullptr);

    int exportPackage(ConfigFile *config, QString path);
    int importPackage(ConfigFile *config, QString path);
};

#endif

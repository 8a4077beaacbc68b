#ifndef DEVICESTAMPGRAPHIC_H
#define DEVICESTAMPGRAPHIC_H

#include <QObject>
#include <QString>
#include <QStringList>

class QListWidget;

// The user's library of imprinter graphics: picture files copied into the
// user's stamp folder and listed, by full path, in group "Graphics" of
// stampconfig.ini. Other groups of that file belong to other owners and are
// left exactly as they are.
class DeviceStampGraphic : public QObject
{
    Q_OBJECT
public:
    // Largest picture the imprinter takes, in pixels, both sides inclusive.
    static constexpr int MaxSide = 600;
    // Side of the icons shown after a user adds a graphic.
    static constexpr int ListIconSide = 350;

    explicit DeviceStampGraphic(QObject *parent = nullptr);
    DeviceStampGraphic(const DeviceStampGraphic &) = delete;
    DeviceStampGraphic &operator=(const DeviceStampGraphic &) = delete;

    // The folders and list file default to the library's configuration;
    // tests and tools may point the library elsewhere.
    void setLocations(const QString &userStampDir, const QString &appStampDir,
                      const QString &configIni);
    QString userStampDir() const;
    QString appStampDir() const;
    QString configIni() const;

    void initialVariant();
    bool getGraphicList(QStringList &list) const;

    void loadStampConfig();
    void loadDefaultStampConfig();
    bool addDefaultStampGraphic(QString path);
    // False when the list file could not be written.
    bool saveStampConfig();

    // Size check, unique copy, append. False (with a warning box) for a
    // picture too large, a file that is no picture, or a failed copy.
    bool addStampGraphic(QString path);
    // Replaces the name by the first one that no file in the folder has.
    void searchFileName(QString folder, QString &name) const;
    bool deleteStampGraphic(QString fileName);

    void loadDefaultGraphicsToControl(QListWidget *list);
    bool loadGraphicsToControl(QListWidget *list);

    static const QStringList &defaultGraphicNames();

private:
    QStringList m_listGraphics;
    QString m_strUserStampDir;
    QString m_strAppStampDir;
    QString m_strConfigIni;
    bool m_bLocationsSet = false;
};

#endif

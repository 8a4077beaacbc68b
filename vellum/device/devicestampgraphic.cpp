#include "devicestampgraphic.h"

#include "errorhandling.h"
#include "stampconfigfile.h"
#include "vellumglobal.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QListWidget>

namespace {

// Pixel size of a picture from its header where the format allows, so that a
// huge picture is refused without being decoded.
QSize pictureSize(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    if (!reader.canRead())
        return QSize();
    QSize size = reader.size();
    if (!size.isValid())
        size = reader.read().size();
    return size;
}

} // namespace

DeviceStampGraphic::DeviceStampGraphic(QObject *parent) : QObject(parent)
{
    initialVariant();
}

void DeviceStampGraphic::setLocations(const QString &userStampDir, const QString &appStampDir,
                                      const QString &configIni)
{
    m_strUserStampDir = userStampDir;
    m_strAppStampDir = appStampDir;
    m_strConfigIni = configIni;
    m_bLocationsSet = true;
}

QString DeviceStampGraphic::userStampDir() const
{
    return m_bLocationsSet ? m_strUserStampDir : g_VellumCfgFile.m_strStampDir;
}

QString DeviceStampGraphic::appStampDir() const
{
    return m_bLocationsSet ? m_strAppStampDir : g_VellumCfgFile.m_strAppStampDir;
}

QString DeviceStampGraphic::configIni() const
{
    return m_bLocationsSet ? m_strConfigIni : g_VellumCfgFile.m_strStampConfigIni;
}

void DeviceStampGraphic::initialVariant()
{
    m_listGraphics.clear();
}

bool DeviceStampGraphic::getGraphicList(QStringList &list) const
{
    list = m_listGraphics;
    return true;
}

const QStringList &DeviceStampGraphic::defaultGraphicNames()
{
    static const QStringList names = {
        "zz020 Globe ASIA 200x200.png",     "zz060 Globe AMEA 200x200.png",
        "zz100 Globe Americas 200x200.png", "zz130 Preview 100x100.png",
        "zz140 Preview 200x200.png",        "zz150 Preview 300x300.png",
        "zz250 Check 100x100.png",          "zz260 Check 200x200.png",
        "zz270 Check 300x300.png",          "zz280 On Position 100x100.png",
        "zz290 On Position 200x200.png",    "zz300 On Position 300x300.png",
    };
    return names;
}

void DeviceStampGraphic::loadStampConfig()
{
    const QString ini = configIni();
    if (!QFileInfo::exists(ini)) {
        loadDefaultStampConfig();
        return;
    }
    m_listGraphics << stampconfigfile::readGraphics(ini);
}

void DeviceStampGraphic::loadDefaultStampConfig()
{
    for (const QString &name : defaultGraphicNames())
        addDefaultStampGraphic(appStampDir() + "/" + name);
}

bool DeviceStampGraphic::addDefaultStampGraphic(QString path)
{
    const QFileInfo source(path);
    if (!source.isFile()) {
        qDebug() << "Default stamp graphic missing:" << path;
        return false;
    }
    const QString dest = userStampDir() + "/" + source.fileName();
    // A default already in the user's folder is the user's own copy now.
    if (!QFileInfo::exists(dest)) {
        QDir().mkpath(userStampDir());
        if (!QFile::copy(path, dest)) {
            qDebug() << "Default stamp graphic not copied:" << path << "to" << dest;
            return false;
        }
    }
    if (!m_listGraphics.contains(dest))
        m_listGraphics.append(dest);
    return true;
}

bool DeviceStampGraphic::saveStampConfig()
{
    return stampconfigfile::writeGraphics(configIni(), m_listGraphics);
}

bool DeviceStampGraphic::addStampGraphic(QString path)
{
    const QSize size = pictureSize(path);
    if (!size.isValid() || size.isEmpty()) {
        ErrorHandling::warningMessage(nullptr, tr("添加图片失败"),
                                      tr("所选文件不是可以读取的图片，请添加PNG图片！"));
        return false;
    }
    if (size.width() > MaxSide || size.height() > MaxSide) {
        ErrorHandling::warningMessage(
            nullptr, tr("添加图片失败"),
            tr("添加图片尺寸过大，请添加像素值等于或小于600x600尺寸的图片！"));
        return false;
    }
    const QString folder = userStampDir();
    QString name = QFileInfo(path).fileName();
    searchFileName(folder, name);
    const QString dest = folder + "/" + name;
    QDir().mkpath(folder);
    if (!QFile::copy(path, dest)) {
        qDebug() << "Stamp graphic not copied:" << path << "to" << dest;
        ErrorHandling::warningMessage(nullptr, tr("添加图片失败"),
                                      tr("无法将图片复制到戳记图片文件夹！"));
        return false;
    }
    m_listGraphics.append(dest);
    return true;
}

void DeviceStampGraphic::searchFileName(QString folder, QString &name) const
{
    // The name is tested as a file name, never as a pattern: "logo[1].png"
    // must find itself, not a file matching the class [1].
    const QString base = name.section('.', 0, 0);
    const QString suffix = name.contains('.') ? name.section('.', -1) : QString();
    QString candidate = name;
    for (int n = 1; QFileInfo::exists(folder + "/" + candidate) && n < 1000000; ++n)
        candidate = suffix.isEmpty() ? QString("%1 %2").arg(base).arg(n)
                                     : QString("%1 %2.%3").arg(base).arg(n).arg(suffix);
    name = candidate;
}

bool DeviceStampGraphic::deleteStampGraphic(QString fileName)
{
    for (int i = 0; i < m_listGraphics.size(); ++i) {
        if (QFileInfo(m_listGraphics.at(i)).fileName() != fileName)
            continue;
        m_listGraphics.removeAt(i);
        const QString file = userStampDir() + "/" + fileName;
        // Never take a file away from an entry that still lists it.
        bool stillListed = false;
        for (const QString &entry : qAsConst(m_listGraphics))
            stillListed = stillListed || QFileInfo(entry) == QFileInfo(file);
        if (!stillListed)
            QFile::remove(file);
        return true;
    }
    return false;
}

void DeviceStampGraphic::loadDefaultGraphicsToControl(QListWidget *list)
{
    if (!list)
        return;
    for (const QString &path : qAsConst(m_listGraphics)) {
        const QSize size = QImageReader(path).size();
        auto *item = new QListWidgetItem;
        item->setData(Qt::DecorationRole, QIcon(path));
        if (size.isValid()) {
            item->setData(Qt::SizeHintRole, size);
            list->setIconSize(size);
        }
        item->setData(Qt::UserRole, QFileInfo(path).fileName());
        list->addItem(item);
    }
}

bool DeviceStampGraphic::loadGraphicsToControl(QListWidget *list)
{
    if (!list)
        return false;
    const QSize bound(ListIconSide, ListIconSide);
    for (int i = list->count(); i < m_listGraphics.size(); ++i) {
        const QString &path = m_listGraphics.at(i);
        const QSize size = QImageReader(path).size();
        auto *item = new QListWidgetItem;
        item->setData(Qt::DecorationRole, QIcon(path));
        if (size.isValid())
            item->setData(Qt::SizeHintRole, size.boundedTo(bound));
        item->setData(Qt::UserRole, QFileInfo(path).fileName());
        list->addItem(item);
        list->setIconSize(bound);
        list->setCurrentRow(list->count() - 1);
    }
    return true;
}

#include "scandestination.h"

#include "filehelper.h"
#include "onepressglobal.h"

#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QRegularExpression>
#include <QSettings>
#include <QSet>
#include <QUuid>

#include <algorithm>

const QString ScanDestination::kFileId = QStringLiteral("{CA945625-23C9-4dd3-A13D-DBDC0195F0F3}");
const QString ScanDestination::kApplicationId =
    QStringLiteral("{90A57DA7-498C-47f0-80B7-41FB52D5230B}");
const QString ScanDestination::kPrinterId =
    QStringLiteral("{01057CD6-B5C7-41fc-937C-685D0088C49D}");
const QString ScanDestination::kEmailId = QStringLiteral("{F1B545AD-0AAE-4e58-9CE1-7A5076C99F4F}");
const QString ScanDestination::kImageNameToken = QStringLiteral("<%IMAGE_NAME%>");

namespace {

const char *const kEntryKeys[] = {
    "ScanDestinationFlagID",
    "ScanDestinationID",
    "Name",
    "Icon",
    "ExecutableFile",
    "Parameter",
    "UserName",
    "UserMailAddr",
    "ServerAddress",
    "Port",
    "EncryptTypeID",
    "NeedAuth",
    "Account",
    "Password",
    "MailSize",
    "SendNoPromptMail",
    "Recipient",
};

// The entry numbers that have at least one key in the group, ascending.
QList<int> presentEntries(const QStringList &keys)
{
    QSet<int> found;
    for (const QString &key : keys)
        for (const char *prefix : kEntryKeys) {
            const QString p = QString::fromLatin1(prefix);
            if (!key.startsWith(p))
                continue;
            bool ok = false;
            const int n = key.midRef(p.size()).toInt(&ok);
            if (ok && n >= 1 && QString::number(n) == key.mid(p.size()))
                found.insert(n);
        }
    QList<int> list = found.values();
    std::sort(list.begin(), list.end());
    return list;
}

QString decodePassword(const QByteArray &stored)
{
    const QByteArray::FromBase64Result r =
        QByteArray::fromBase64Encoding(stored, QByteArray::AbortOnBase64DecodingErrors);
    if (!r)
        return QString();
    QByteArray bytes = *r;
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    return QString::fromUtf8(bytes);
}

void showScaled(QLabel *label, const QString &path)
{
    label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    label->setScaledContents(true);
    label->setPixmap(QPixmap(path));
}

} // namespace

ScanDestination::ScanDestination(QObject *parent) : QObject(parent) {}

QString ScanDestination::iniPath()
{
    return g_ConfigFile.m_strSettingsDir + "/Destinations/destination.ini";
}

QString ScanDestination::iconForKind(ScanDestFlag kind)
{
    return kind == ScanDestCustomApplication ? QStringLiteral(":/scanto/images/custom-app.png")
                                             : QStringLiteral(":/scanto/images/email.png");
}

void ScanDestination::initialVariant()
{
    m_box = nullptr;
    m_list.clear();
}

void ScanDestination::loadScanDestination()
{
    loadDefaultScanDestination();
    loadUserScanDestination();
}

void ScanDestination::loadDefaultScanDestination()
{
    loadDefaultScanDestination(ScanDestFile, kFileId, tr("文件"), ":/scanto/images/file.png",
                               QString(), QString());
    loadDefaultScanDestination(ScanDestApplication, kApplicationId, tr("应用程序"),
                               ":/scanto/images/app.png", QString(), QString());
    loadDefaultScanDestination(ScanDestPrinter, kPrinterId, tr("打印机/传真打印机"),
                               ":/scanto/images/printer.png", QString(), QString());
    loadDefaultScanDestination(ScanDestEmailClient, kEmailId, tr("电子邮件"),
                               ":/scanto/images/email.png", QString(), QString());
}

void ScanDestination::loadDefaultScanDestination(ScanDestFlag kind, QString id, QString name,
                                                 QString icon, QString program, QString arguments)
{
    tagSCAN_DESTINATION d;
    d.BuiltIn = true;
    d.ScanDestinationFlagID = kind;
    d.ScanDestinationID = id;
    d.Name = name;
    d.Icon = icon;
    d.ExecutableFile = program;
    d.Parameter = arguments;
    m_list.append(d);
}

void ScanDestination::loadUserScanDestination()
{
    QDir().mkpath(QFileInfo(iniPath()).absolutePath());
    QSettings ini(iniPath(), QSettings::IniFormat);
    ini.setIniCodec("UTF-8");
    ini.beginGroup("Application");
    bool numeric = false;
    const int num = ini.value("Num", 0).toInt(&numeric);
    // Entries are read by the keys that exist, so a damaged count neither
    // invents entries nor walks two billion empty ones.
    for (int i : presentEntries(ini.childKeys())) {
        if (numeric && num >= 0 && i > num)
            break;
        const QString n = QString::number(i);
        auto str = [&](const char *key) { return ini.value(key + n, QString()).toString(); };
        tagSCAN_DESTINATION d;
        d.BuiltIn = false;
        d.ScanDestinationFlagID =
            static_cast<ScanDestFlag>(ini.value("ScanDestinationFlagID" + n, 6).toInt());
        d.ScanDestinationID = str("ScanDestinationID");
        d.Name = str("Name");
        d.Icon = str("Icon");
        d.ExecutableFile = str("ExecutableFile");
        d.Parameter = str("Parameter");
        d.UserName = str("UserName");
        d.UserMailAddr = str("UserMailAddr");
        d.ServerAddress = str("ServerAddress");
        d.Port = ini.value("Port" + n, 25).toInt();
        d.EncryptTypeID = ini.value("EncryptTypeID" + n, 0).toInt();
        d.NeedAuth = ini.value("NeedAuth" + n, false).toBool();
        d.Account = str("Account");
        d.Password = decodePassword(ini.value("Password" + n, QByteArray()).toByteArray());
        d.MailSize = ini.value("MailSize" + n, 10).toInt();
        d.SendNoPromptMail = ini.value("SendNoPromptMail" + n, false).toBool();
        d.Recipient = str("Recipient");
        m_list.append(d);
    }
    if (numeric && num < 0)
        qDebug() << "ScanDestination: negative entry count" << num << "; entries read by key";
    else if (!numeric && ini.contains("Num"))
        qDebug() << "ScanDestination: entry count is not a number; entries read by key";
    ini.endGroup();
}

bool ScanDestination::saveScanDestination()
{
    const QString path = iniPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        qDebug() << "ScanDestination: cannot make the folder of" << path;
        return false;
    }
    // Owner-only before the first byte is written: the file holds a password.
    if (!QFile::exists(path)) {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.close();
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // Replaced whole: a failed write keeps every destination as it was.
    const bool written = FileHelper::replaceIni(path, [&](QSettings &ini) {
        ini.remove("Application");
        ini.beginGroup("Application");
        int n = 0;
        for (const tagSCAN_DESTINATION &d : qAsConst(m_list)) {
            if (d.BuiltIn)
                continue;
            const QString k = QString::number(++n);
            ini.setValue("ScanDestinationFlagID" + k, static_cast<int>(d.ScanDestinationFlagID));
            ini.setValue("ScanDestinationID" + k, d.ScanDestinationID);
            ini.setValue("Name" + k, d.Name);
            ini.setValue("Icon" + k, d.Icon);
            ini.setValue("ExecutableFile" + k, d.ExecutableFile);
            ini.setValue("Parameter" + k, d.Parameter);
            ini.setValue("UserName" + k, d.UserName);
            ini.setValue("UserMailAddr" + k, d.UserMailAddr);
            ini.setValue("ServerAddress" + k, d.ServerAddress);
            ini.setValue("Port" + k, d.Port);
            ini.setValue("EncryptTypeID" + k, d.EncryptTypeID);
            ini.setValue("NeedAuth" + k, d.NeedAuth);
            ini.setValue("Account" + k, d.Account);
            ini.setValue("Password" + k, d.Password.toUtf8().toBase64());
            ini.setValue("MailSize" + k, d.MailSize);
            ini.setValue("SendNoPromptMail" + k, d.SendNoPromptMail);
            ini.setValue("Recipient" + k, d.Recipient);
        }
        if (n > 0)
            ini.setValue("Num", n);
        ini.endGroup();
    });
    if (!written) {
        qDebug() << "ScanDestination: destination.ini not written";
        return false;
    }
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return true;
}

void ScanDestination::appendItem(const tagSCAN_DESTINATION &d)
{
    if (m_box)
        m_box->addItem(QIcon(), d.Name, d.ScanDestinationID);
}

bool ScanDestination::loadScanDestinationToControl(QComboBox *box)
{
    m_box = box;
    for (const tagSCAN_DESTINATION &d : qAsConst(m_list))
        appendItem(d);
    return true;
}

bool ScanDestination::updateScanDestinationToControl(QComboBox *box)
{
    if (box->count() < m_list.size()) {
        for (int i = box->count(); i < m_list.size(); ++i)
            box->addItem(QIcon(), m_list.at(i).Name, m_list.at(i).ScanDestinationID);
        return true;
    }
    for (int i = 0; i < box->count(); ++i) {
        if (i >= m_list.size() || box->itemData(i).toString() != m_list.at(i).ScanDestinationID) {
            box->removeItem(i);
            break;
        }
    }
    return true;
}

void ScanDestination::setScanDestionCurrentIndex(QString id)
{
    if (!m_box)
        return;
    for (int i = 0; i < m_box->count(); ++i)
        if (m_box->itemData(i).toString() == id) {
            m_box->setCurrentIndex(i);
            return;
        }
}

bool ScanDestination::addScanDestination(tagSCAN_DESTINATION &record)
{
    record.BuiltIn = false;
    record.ScanDestinationID = QUuid::createUuid().toString();
    record.Icon = iconForKind(record.ScanDestinationFlagID);
    m_list.append(record);
    appendItem(record);
    return true;
}

bool ScanDestination::addScanDestination(int index, QString name)
{
    if (index < 0 || index >= m_list.size())
        return false;
    tagSCAN_DESTINATION copy = m_list.at(index);
    copy.Name = name;
    copy.ScanDestinationID = QUuid::createUuid().toString();
    m_list.append(copy);
    appendItem(copy);
    return true;
}

bool ScanDestination::updateScanDestination(int index, tagSCAN_DESTINATION &record)
{
    if (index < 0 || index >= m_list.size())
        return false;
    m_list[index] = record;
    if (m_box && index < m_box->count())
        m_box->setItemText(index, record.Name);
    return true;
}

bool ScanDestination::deleteScanDestination(int index)
{
    if (index < 0 || index >= m_list.size() || m_list.at(index).BuiltIn)
        return false;
    m_list.removeAt(index);
    if (m_box && index < m_box->count())
        m_box->removeItem(index);
    return true;
}

void ScanDestination::getScanDestination(QString id, tagSCAN_DESTINATION &record)
{
    for (const tagSCAN_DESTINATION &d : qAsConst(m_list))
        if (d.ScanDestinationID == id) {
            record = d;
            return;
        }
}

int ScanDestination::getScanDestIndex(QString id)
{
    for (int i = 0; i < m_list.size(); ++i)
        if (m_list.at(i).ScanDestinationID == id)
            return i;
    return -1;
}

ScanDestFlag ScanDestination::getScanDestID(QString id)
{
    const int i = getScanDestIndex(id);
    return i < 0 ? ScanDestFile : m_list.at(i).ScanDestinationFlagID;
}

ScanDestFlag ScanDestination::getScanDestID(int index)
{
    if (index < 0 || index >= m_list.size())
        return ScanDestFile;
    return m_list.at(index).ScanDestinationFlagID;
}

bool ScanDestination::findScanDestination(QString name)
{
    for (const tagSCAN_DESTINATION &d : qAsConst(m_list))
        if (d.Name == name)
            return true;
    return false;
}

bool ScanDestination::loadIcon(QLabel *label, int index)
{
    if (index < 0 || index >= m_list.size())
        return false;
    showScaled(label, m_list.at(index).Icon);
    return true;
}

bool ScanDestination::entry(int index, tagSCAN_DESTINATION &record) const
{
    if (index < 0 || index >= m_list.size())
        return false;
    record = m_list.at(index);
    return true;
}

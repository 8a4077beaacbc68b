#include "scanshortcutmenu.h"

#include <QUuid>

#include <cstring>

ScanShortcutMenu::ScanShortcutMenu(QObject *parent)
    : QObject(parent), m_currentIndex(-1), m_config(nullptr)
{
}

void ScanShortcutMenu::initialVariant()
{
    m_profiles.clear();
    m_defaults.clear();
    m_unreadableIds.clear();
}

bool ScanShortcutMenu::isSafeProfileId(const QString &id)
{
    // The id names a file in the profiles directory and comes from a file the
    // user can edit, so it must not reach outside that directory.
    constexpr int kUsableIdUnits = 63;
    return !id.isEmpty() && id.size() <= kUsableIdUnits && !id.contains(QLatin1Char('/'))
        && !id.contains(QLatin1Char('\\')) && !id.contains(QLatin1String(".."))
        && !id.contains(QChar(0));
}

int ScanShortcutMenu::indexOfId(const QString &id) const
{
    for (int i = 0; i < m_profiles.size(); ++i) {
        if (scanText(m_profiles.at(i).id) == id)
            return i;
    }
    return -1;
}

void ScanShortcutMenu::clampCurrentIndex()
{
    if (m_currentIndex < 0 || m_currentIndex >= m_profiles.size())
        m_currentIndex = m_profiles.isEmpty() ? -1 : 0;
}

bool ScanShortcutMenu::addScanShortcut(tagSCAN_SHORTCUT_MENU &record, QString name, QString icon)
{
    setScanText(record.name, name);
    if (!icon.isEmpty())
        setScanText(record.iconFile, icon);
    setScanText(record.id, QUuid::createUuid().toString(QUuid::WithBraces));
    m_profiles.append(record);
    m_currentIndex = m_profiles.size() - 1;
    return true;
}

bool ScanShortcutMenu::setCurrentScanIndex(QString id)
{
    const int index = indexOfId(id);
    if (index < 0)
        return false;
    m_currentIndex = index;
    return true;
}

void ScanShortcutMenu::setCurrentScanIndex(int index)
{
    if (index >= m_profiles.size())
        m_currentIndex = m_profiles.size() - 1;
    else if (index < 0)
        m_currentIndex = m_profiles.isEmpty() ? -1 : 0;
    else
        m_currentIndex = index;
}

int ScanShortcutMenu::getCurrentScanIndex()
{
    return m_currentIndex;
}

int ScanShortcutMenu::getScanShortcutCount()
{
    return m_profiles.size();
}

bool ScanShortcutMenu::findScanShortcut(tagSCAN_SHORTCUT_MENU &record, QString id)
{
    const int index = indexOfId(id);
    if (index < 0)
        return false;
    record = m_profiles.at(index);
    return true;
}

bool ScanShortcutMenu::getCurrentScanShortcut(tagSCAN_SHORTCUT_MENU &record)
{
    return getScanShortcutItem(m_currentIndex, record);
}

bool ScanShortcutMenu::getScanShortcutItem(int index, tagSCAN_SHORTCUT_MENU &record)
{
    if (index < 0 || index >= m_profiles.size())
        return false;
    record = m_profiles.at(index);
    return true;
}

bool ScanShortcutMenu::updateScanShortcut(tagSCAN_SHORTCUT_MENU &record, QString name,
                                          QString icon)
{
    setScanText(record.name, name);
    if (!icon.isEmpty())
        setScanText(record.iconFile, icon);
    if (m_currentIndex < 0 || m_currentIndex >= m_profiles.size())
        return false;
    m_profiles[m_currentIndex] = record;
    return true;
}

bool ScanShortcutMenu::setCurrentScanShortcut(tagSCAN_SHORTCUT_MENU &record)
{
    if (isBuiltInId(scanText(record.id)))
        record.builtInEdited = true;
    if (m_currentIndex < 0 || m_currentIndex >= m_profiles.size())
        return false;
    // The feeder timeout is a device-wide setting unless this profile keeps
    // its own, so it follows the last stored profile everywhere.
    if (!record.onlySaveTimeout) {
        for (tagSCAN_SHORTCUT_MENU &p : m_profiles) {
            p.deviceOn = record.deviceOn;
            p.autoStartScanning = record.autoStartScanning;
            p.timeout = record.timeout;
            p.timeoutAction = record.timeoutAction;
        }
    }
    m_profiles[m_currentIndex] = record;
    return true;
}

bool ScanShortcutMenu::resetScanShortcut(bool all)
{
    QList<tagSCAN_SHORTCUT_MENU> left = m_defaults;
    for (tagSCAN_SHORTCUT_MENU &live : m_profiles) {
        const QString id = scanText(live.id);
        for (int i = 0; i < left.size(); ++i) {
            if (scanText(left.at(i).id) != id)
                continue;
            tagSCAN_SHORTCUT_MENU restored = left.at(i);
            if (!all) {
                // Device, diagnostics, transport and multifeed settings are
                // the user's hardware choices, not scan settings: keep them.
                auto *dst = reinterpret_cast<unsigned char *>(&restored);
                const auto *src = reinterpret_cast<const unsigned char *>(&live);
                std::memcpy(dst + kScanShortcutDeviceBegin, src + kScanShortcutDeviceBegin,
                            kScanShortcutDeviceEnd - kScanShortcutDeviceBegin);
            }
            live = restored;
            left.removeAt(i);
            break;
        }
    }
    m_profiles.append(left);
    return true;
}

bool ScanShortcutMenu::defaultIsChanged()
{
    QList<tagSCAN_SHORTCUT_MENU> left = m_defaults;
    for (const tagSCAN_SHORTCUT_MENU &live : m_profiles) {
        const QString id = scanText(live.id);
        for (int i = 0; i < left.size(); ++i) {
            if (scanText(left.at(i).id) != id)
                continue;
            if (!scanShortcutEquals(left.at(i), live))
                return true;
            left.removeAt(i);
            break;
        }
    }
    return !left.isEmpty();
}

bool ScanShortcutMenu::copyScanShortcut(tagSCAN_SHORTCUT_MENU &, int)
{
    return true;
}

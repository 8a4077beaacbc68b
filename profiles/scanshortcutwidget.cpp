// Filling the console's profile list widget from the store.

#include "configfile.h"
#include "scanshortcutmenu.h"

#include <QFileInfo>
#include <QIcon>
#include <QListWidget>
#include <QListWidgetItem>
#include <QSet>

namespace {

// Installed icons take precedence over the ones the user added.
QIcon profileIcon(const ConfigFile *config, const QString &iconFile)
{
    if (!config || iconFile.isEmpty())
        return QIcon();
    for (const QString &dir : {config->m_strTwainDir, config->m_strProfileIconsDir}) {
        const QString path = dir + QLatin1Char('/') + iconFile;
        if (QFileInfo(path).isFile())
            return QIcon(path);
    }
    return QIcon();
}

void appendItem(QListWidget *list, const ConfigFile *config, const tagSCAN_SHORTCUT_MENU &p)
{
    auto *item = new QListWidgetItem(profileIcon(config, scanText(p.iconFile)), scanText(p.name));
    item->setData(Qt::UserRole, scanText(p.id));
    list->addItem(item);
}

} // namespace

bool ScanShortcutMenu::loadScanShortcutToControl(QListWidget *list)
{
    if (!list)
        return false;
    for (const tagSCAN_SHORTCUT_MENU &p : m_profiles) {
        if (scanText(p.id).isEmpty())
            break;
        appendItem(list, m_config, p);
    }
    return true;
}

bool ScanShortcutMenu::updateScanShortcutToControl(QListWidget *list, QString id)
{
    if (!list)
        return false;
    const int index = indexOfId(id);
    QListWidgetItem *item = list->currentItem();
    if (index < 0 || !item)
        return true;
    const tagSCAN_SHORTCUT_MENU &p = m_profiles.at(index);
    item->setIcon(profileIcon(m_config, scanText(p.iconFile)));
    item->setText(scanText(p.name));
    list->setCurrentItem(item);
    return true;
}

bool ScanShortcutMenu::addScanShortcutToControl(QListWidget *list)
{
    if (!list)
        return false;
    QSet<QString> shown;
    for (int row = 0; row < list->count(); ++row)
        shown.insert(list->item(row)->data(Qt::UserRole).toString());
    for (const tagSCAN_SHORTCUT_MENU &p : m_profiles) {
        const QString id = scanText(p.id);
        if (shown.contains(id))
            continue;
        shown.insert(id);
        appendItem(list, m_config, p);
    }
    return true;
}

bool ScanShortcutMenu::refreshScanShortcutControl(QListWidget *list)
{
    if (!list)
        return false;
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem *item = list->item(row);
        const int index = indexOfId(item->data(Qt::UserRole).toString());
        if (index < 0)
            continue;
        const tagSCAN_SHORTCUT_MENU &p = m_profiles.at(index);
        item->setIcon(profileIcon(m_config, scanText(p.iconFile)));
        item->setText(scanText(p.name));
    }
    return true;
}

bool ScanShortcutMenu::renameScanShortcutToControl(QListWidget *)
{
    return true;
}

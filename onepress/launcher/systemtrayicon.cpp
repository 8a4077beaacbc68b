#include "systemtrayicon.h"

#include "onepressglobal.h"
#include "taskshortcut.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDebug>
#include <QDesktopWidget>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>
#include <QThread>
#include <QTimer>

namespace {
std::function<bool()> g_defaultProbe;
std::function<void()> g_defaultSleep;
} // namespace

void SystemTrayIcon::setDefaultWaiting(std::function<bool()> probe, std::function<void()> sleeper)
{
    g_defaultProbe = std::move(probe);
    g_defaultSleep = std::move(sleeper);
}

SystemTrayIcon::SystemTrayIcon(QObject *parent) : QObject(parent)
{
    m_probe =
        g_defaultProbe ? g_defaultProbe : [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
    m_sleep = g_defaultSleep ? g_defaultSleep : [] { QThread::sleep(1); };
    m_pCheckTimer = new QTimer(this);
    m_pCheckTimer->setInterval(kRetryMs);
    connect(m_pCheckTimer, &QTimer::timeout, this, &SystemTrayIcon::onCheckSystemTray);
    // Connected once here, so a rebuild never forwards an activation twice.
    connect(&m_tray, &QSystemTrayIcon::activated, this, &SystemTrayIcon::activedSystemTray);
    initBasicMenu();
}

SystemTrayIcon::~SystemTrayIcon()
{
    m_tray.setContextMenu(nullptr);
}

void SystemTrayIcon::setRetryInterval(int ms)
{
    m_pCheckTimer->setInterval(ms);
}

void SystemTrayIcon::initBasicMenu()
{
    auto make = [this](const QString &text, void (SystemTrayIcon::*signal)()) {
        QAction *a = new QAction(text, this);
        connect(a, &QAction::triggered, this, signal);
        return a;
    };
    m_pConfig = make(tr("配置..."), &SystemTrayIcon::systemMenuConfig);
    m_pOption = make(tr("选项..."), &SystemTrayIcon::systemMenuOption);
    m_pPrint = make(tr("打印..."), &SystemTrayIcon::systemMenuPrint);
    m_pHelp = make(tr("帮助..."), &SystemTrayIcon::systemMenuHelp);
    m_pAbout = make(tr("关于..."), &SystemTrayIcon::systemMenuAbout);
    m_pExit = make(tr("退出..."), &SystemTrayIcon::systemMenuExit);
}

int SystemTrayIcon::waitTries()
{
    // CORVAN_TRAY_WAIT_TRIES shortens the first wait where there is no tray
    // to wait for (tests of the launcher program).
    bool ok = false;
    const int tries = qEnvironmentVariableIntValue("CORVAN_TRAY_WAIT_TRIES", &ok);
    return ok && tries >= 0 ? tries : kWaitTries;
}

bool SystemTrayIcon::trayAvailable()
{
    return m_probe ? m_probe() : false;
}

bool SystemTrayIcon::waitForSystemTrayReady(int tries)
{
    for (int i = 0; i < tries; ++i) {
        if (trayAvailable())
            return true;
        if (m_sleep)
            m_sleep();
    }
    return false;
}

void SystemTrayIcon::loadSystemTrayMenu(TaskShortcut *store, bool connected, int count)
{
    if (m_pCheckTimer->isActive()) {
        // Already waiting for the tray: one ask, no sleeping on the GUI thread.
        if (!trayAvailable())
            return;
        m_pCheckTimer->stop();
    } else if (!waitForSystemTrayReady(waitTries())) {
        qDebug() << "SystemTrayIcon: no system tray; retrying every" << m_pCheckTimer->interval()
                 << "ms";
        m_pCheckTimer->start();
        return;
    }

    loadTaskShortcutMenu(store, connected, count);
    loadDefaultBasicMenu(connected);
    m_tray.setContextMenu(&m_menu);
    const QString product = tr("CorvanDeskscope VR516");
    if (connected) {
        m_tray.setIcon(QIcon(":/ui/images/connect-scanner.png"));
        m_tray.setToolTip(product);
    } else {
        m_tray.setIcon(QIcon(":/ui/images/disconnect.png"));
        m_tray.setToolTip(QString("%1 - %2").arg(product, tr("未就绪")));
    }
    if (!m_bShown) {
        m_tray.show();
        m_bShown = true;
        ++m_nShowCount;
    }
}

QString SystemTrayIcon::entryText(int number, const QString &name)
{
    const QString text = QString("%1. %2").arg(number).arg(name);
    return text.size() > 23 ? text.left(20) + "..." : text;
}

void SystemTrayIcon::loadTaskShortcutMenu(TaskShortcut *store, bool connected, int count)
{
    m_menu.clear();
    for (auto it = m_taskActions.cbegin(); it != m_taskActions.cend(); ++it)
        it.key()->deleteLater();
    m_taskActions.clear();
    if (!connected || count <= 0 || !store)
        return;
    for (int i = 1; i <= count; ++i) {
        tagTASK_SHORTCUT task;
        if (!store->enumTaskShortcut(i - 1, task) || !task.EnableCommand)
            continue;
        QString iconFile = g_ConfigFile.m_strAppIconsDir + "/" + task.Icon;
        if (task.Icon.isEmpty() || !QFileInfo(iconFile).isFile())
            iconFile = g_ConfigFile.m_strSettingsIconsDir + "/" + task.Icon;
        QIcon icon;
        if (!task.Icon.isEmpty() && QFileInfo(iconFile).isFile())
            icon.addPixmap(QPixmap(iconFile), QIcon::Normal, QIcon::Off);
        QAction *a = new QAction(icon, entryText(i, task.Name), this);
        connect(a, &QAction::triggered, this, &SystemTrayIcon::triggeredMenuTask);
        m_menu.addAction(a);
        m_taskActions.insert(a, task.TaskID);
    }
}

void SystemTrayIcon::loadDefaultBasicMenu(bool connected)
{
    if (connected) {
        m_menu.addSeparator();
        m_menu.addAction(m_pConfig);
        m_menu.setDefaultAction(m_pConfig);
        m_menu.addAction(m_pPrint);
        m_menu.addSeparator();
    }
    m_menu.addAction(m_pOption);
    m_menu.addAction(m_pHelp);
    m_menu.addAction(m_pAbout);
    m_menu.addSeparator();
    m_menu.addAction(m_pExit);
}

void SystemTrayIcon::unloadSystemTrayMenu()
{
    m_menu.clear();
}

QPoint SystemTrayIcon::menuPosition(const QPoint &cursor, const QSize &menu, const QRect &desktop)
{
    QPoint p = cursor;
    const int width = desktop.right() - desktop.left() + 1;
    if (p.x() + menu.width() > width)
        p.setX(width - menu.width());
    p.setY(cursor.y() - menu.height());
    // A tray at the top of the screen: no room above, open below.
    if (p.y() < desktop.top())
        p.setY(cursor.y());
    return p;
}

void SystemTrayIcon::showSystemTrayMenu()
{
    const QRect desktop = QApplication::desktop()->geometry();
    const QSize size = m_menu.sizeHint();
    const QPoint p = menuPosition(QCursor::pos(), size, desktop);
    m_menu.move(p);
    m_menu.popup(p);
}

void SystemTrayIcon::onCheckSystemTray()
{
    if (!trayAvailable())
        return;
    m_pCheckTimer->stop();
    emit systemTrayReady();
}

void SystemTrayIcon::triggeredMenuTask()
{
    QAction *a = qobject_cast<QAction *>(sender());
    emit systemMenuTaskID(m_taskActions.value(a));
}

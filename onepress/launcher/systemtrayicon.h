#ifndef SYSTEMTRAYICON_H
#define SYSTEMTRAYICON_H

// The launcher's tray icon and its one menu: the enabled button tasks and the
// basic commands. It waits for the desktop's tray before it shows anything.

#include <QMap>
#include <QMenu>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QSystemTrayIcon>

#include <functional>

class QAction;
class QTimer;
class TaskShortcut;

class SystemTrayIcon : public QObject
{
    Q_OBJECT
public:
    static constexpr int kWaitTries = 15;
    static constexpr int kRetryMs = 30000;

    explicit SystemTrayIcon(QObject *parent = nullptr);
    ~SystemTrayIcon() override;

    void loadSystemTrayMenu(TaskShortcut *store, bool connected, int count);
    void unloadSystemTrayMenu();
    void showSystemTrayMenu();
    bool waitForSystemTrayReady(int tries);
    // 15, or CORVAN_TRAY_WAIT_TRIES when set.
    static int waitTries();
    void loadTaskShortcutMenu(TaskShortcut *store, bool connected, int count);
    void loadDefaultBasicMenu(bool connected);

    // Where the pop-up opens: above the cursor, kept inside the desktop's
    // width, and below the cursor when there is no room above.
    static QPoint menuPosition(const QPoint &cursor, const QSize &menu, const QRect &desktop);
    // The entry text: "n. name", cut to 20 characters and "..." past 23.
    static QString entryText(int number, const QString &name);

    // The tray probe and the one-second sleep can be replaced (the offscreen
    // platform has no tray); the retry interval too.
    void setTrayProbe(std::function<bool()> probe) { m_probe = std::move(probe); }
    void setSleeper(std::function<void()> sleeper) { m_sleep = std::move(sleeper); }
    void setRetryInterval(int ms);
    // The probe and sleep that new tray objects start with (a test that runs
    // the entry function sets them before the window is built).
    static void setDefaultWaiting(std::function<bool()> probe, std::function<void()> sleeper);

    QMenu *menu() { return &m_menu; }
    QSystemTrayIcon *trayIcon() { return &m_tray; }
    QTimer *checkTimer() const { return m_pCheckTimer; }
    bool isShown() const { return m_bShown; }
    int showCount() const { return m_nShowCount; }
    QAction *configAction() const { return m_pConfig; }

signals:
    void systemMenuConfig();
    void systemMenuOption();
    void systemMenuPrint();
    void systemMenuHelp();
    void systemMenuAbout();
    void systemMenuExit();
    void systemMenuTaskID(QString taskId);
    void activedSystemTray(QSystemTrayIcon::ActivationReason reason);
    void systemTrayReady();

public slots:
    void onCheckSystemTray();
    void triggeredMenuTask();

private:
    void initBasicMenu();
    bool trayAvailable();

    bool m_bShown = false;
    int m_nShowCount = 0;
    QMap<QAction *, QString> m_taskActions;
    QMenu m_menu;
    QSystemTrayIcon m_tray;
    QTimer *m_pCheckTimer = nullptr;
    QAction *m_pConfig = nullptr;
    QAction *m_pOption = nullptr;
    QAction *m_pPrint = nullptr;
    QAction *m_pHelp = nullptr;
    QAction *m_pAbout = nullptr;
    QAction *m_pExit = nullptr;
    std::function<bool()> m_probe;
    std::function<void()> m_sleep;
};

#endif // SYSTEMTRAYICON_H

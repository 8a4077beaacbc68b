#ifndef QTSINGLEAPPLICATION_H
#define QTSINGLEAPPLICATION_H

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;

// A QApplication of which one process per user and id is the primary. The
// primary holds a lock file (a lock left by a process that died is taken
// over) and listens on a per-user local socket; any later start of the same
// id can hand it a text message and then leave.
class QtSingleApplication : public QApplication
{
    Q_OBJECT
public:
    QtSingleApplication(const QString &id, int &argc, char **argv);
    ~QtSingleApplication() override;

    QString id() const { return m_id; }
    // True when another process holds the instance for this id.
    bool isRunning() const { return !m_primary; }
    // Delivers a message to the primary; true once it confirmed receipt within
    // the time-out. Always false in the primary itself.
    bool sendMessage(const QString &message, int timeoutMs = 5000);

    // The window un-minimised, raised and activated whenever a message
    // arrives, when it is shown; a hidden window is left hidden.
    void setActivationWindow(QWidget *window, bool activateOnMessage = true);
    QWidget *activationWindow() const { return m_window; }

    // The local socket (an absolute path in the user's runtime folder) and
    // the lock file used for an id.
    static QString serverName(const QString &id);
    static QString lockFilePath(const QString &id);

public slots:
    void activateWindow();

signals:
    void messageReceived(const QString &message);

private:
    void becomePrimary();
    void readConnection();

    QString m_id;
    bool m_primary = false;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
    QPointer<QWidget> m_window;
    bool m_activateOnMessage = false;
};

#endif

#include "qtsingleapplication.h"

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QWidget>

#include <unistd.h>

namespace {

// A message is a length-prefixed UTF-8 text; the primary answers one byte.
constexpr char kAck = 'A';

QString safeId(const QString &id)
{
    QString out;
    for (const QChar c : id)
        out += (c.isLetterOrNumber() || c == '_' || c == '-') ? c : QChar('_');
    return out;
}

} // namespace

// The socket and the lock live in the user's private runtime folder: a
// name in the shared temporary folder could be taken first by another user.
QString QtSingleApplication::serverName(const QString &id)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QString("/corvan-%1-%2").arg(safeId(id)).arg(::getuid());
}

QString QtSingleApplication::lockFilePath(const QString &id)
{
    return serverName(id) + ".lock";
}

QtSingleApplication::QtSingleApplication(const QString &id, int &argc, char **argv)
    : QApplication(argc, argv), m_id(id)
{
    m_lock = std::make_unique<QLockFile>(lockFilePath(id));
    // No age limit: a lock is stale only when its process is gone, which
    // QLockFile checks by the recorded process id.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        becomePrimary();
}

QtSingleApplication::~QtSingleApplication()
{
    if (m_server)
        m_server->close();
}

void QtSingleApplication::becomePrimary()
{
    m_primary = true;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file still there belongs to a dead primary.
    QLocalServer::removeServer(serverName(m_id));
    if (!m_server->listen(serverName(m_id)))
        qWarning("QtSingleApplication: cannot listen on %s: %s", qPrintable(serverName(m_id)),
                 qPrintable(m_server->errorString()));
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *s = m_server->nextPendingConnection()) {
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                Q_UNUSED(s)
                readConnection();
            });
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            s->setProperty("corvanPending", true);
            if (s->bytesAvailable())
                readConnection();
        }
    });
}

void QtSingleApplication::readConnection()
{
    const auto sockets = m_server->findChildren<QLocalSocket *>();
    for (QLocalSocket *s : sockets) {
        if (!s->property("corvanPending").toBool() || s->bytesAvailable() < qint64(sizeof(quint32)))
            continue;
        QDataStream in(s);
        in.startTransaction();
        QByteArray data;
        in >> data;
        if (!in.commitTransaction())
            continue; // the rest arrives later
        s->setProperty("corvanPending", false);
        s->write(&kAck, 1);
        s->flush();
        const QString message = QString::fromUtf8(data);
        emit messageReceived(message);
        if (m_activateOnMessage)
            activateWindow();
    }
}

bool QtSingleApplication::sendMessage(const QString &message, int timeoutMs)
{
    if (m_primary)
        return false;
    QElapsedTimer clock;
    clock.start();
    QLocalSocket socket;
    // The primary may be starting up: try again until the time runs out.
    for (;;) {
        socket.connectToServer(serverName(m_id));
        if (socket.waitForConnected(qMax(1, int(timeoutMs - clock.elapsed()))))
            break;
        if (clock.elapsed() >= timeoutMs)
            return false;
        ::usleep(100 * 1000);
    }
    QByteArray frame;
    QDataStream out(&frame, QIODevice::WriteOnly);
    out << message.toUtf8();
    socket.write(frame);
    if (!socket.waitForBytesWritten(qMax(1, int(timeoutMs - clock.elapsed()))))
        return false;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(qMax(1, int(timeoutMs - clock.elapsed()))))
            return false;
    }
    char ack = 0;
    socket.read(&ack, 1);
    socket.disconnectFromServer();
    return ack == kAck;
}

void QtSingleApplication::setActivationWindow(QWidget *window, bool activateOnMessage)
{
    m_window = window;
    m_activateOnMessage = activateOnMessage;
}

// Brings a shown window to the front; a hidden one stays hidden (the
// launcher's window is the task editor, shown only on the user's request).
void QtSingleApplication::activateWindow()
{
    if (!m_window || m_window->isHidden())
        return;
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->raise();
    m_window->activateWindow();
}

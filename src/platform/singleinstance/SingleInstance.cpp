#include "platform/singleinstance/SingleInstance.h"

#include "platform/userdirs/UserDirs.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QUrl>
#include <QWidget>

#include <pwd.h>
#include <unistd.h>

namespace singleinstance {

namespace {

const QByteArray kRestore = QByteArrayLiteral("RESTORE\n");
const QByteArray kDone = QByteArrayLiteral("OK\n");
constexpr int kWaitMs = 2000;

} // namespace

QString loginName()
{
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty()) {
        if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_name != nullptr) {
            name = QString::fromLocal8Bit(pw->pw_name);
        }
    }
    return name;
}

QString serverName(const QString& caption)
{
    // The socket lives in the user's private folder: in a shared one another user could
    // plant a listener that answers for us and stops every start.
    const QString folder = userdirs::runtimeFolder();
    if (folder.isEmpty()) {
        return {};
    }
    // Percent-encoding keeps blanks and any "/" of the caption out of the socket file name
    // while still telling different captions apart.
    return folder + QStringLiteral("/pinvara-")
           + QString::fromLatin1(QUrl::toPercentEncoding(caption + u'-' + loginName()));
}

bool activateRunning(const QString& caption)
{
    const QString name = serverName(caption);
    if (name.isEmpty()) {
        return false;
    }
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(kWaitMs)) {
        return false;  // nobody listens, or only a stale socket file is left
    }
    socket.write(kRestore);
    if (!socket.waitForBytesWritten(kWaitMs)) {
        return false;
    }
    // The answer confirms that the window was raised; a live server that is slow to answer
    // still counts as a running instance.
    socket.waitForReadyRead(kWaitMs);
    socket.disconnectFromServer();
    return true;
}

void restoreWindow(QWidget* window)
{
    if (window == nullptr) {
        return;
    }
    window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window->show();
    window->raise();
    window->activateWindow();
}

InstanceServer::InstanceServer(QWidget* window, const QString& caption)
    : QObject(window)
    , m_window(window)
    , m_server(new QLocalServer(this))
{
    const QString name = serverName(caption);
    if (name.isEmpty()) {
        return;
    }
    // Listening with access options replaces an existing socket file, so first make sure
    // that nobody answers on it: a file left by a killed instance may go, a live one stays.
    QLocalSocket probe;
    probe.connectToServer(name);
    if (probe.waitForConnected(kWaitMs)) {
        probe.abort();
        return;
    }
    QLocalServer::removeServer(name);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->listen(name);
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::onNewConnection);
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::isListening() const
{
    return m_server->isListening();
}

void InstanceServer::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                return;
            }
            if (socket->readLine() == kRestore) {
                restoreWindow(m_window);
                socket->write(kDone);
                socket->flush();
                emit restoreRequested();
            }
        });
    }
}

} // namespace singleinstance

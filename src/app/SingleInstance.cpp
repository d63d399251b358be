#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <stdexcept>

#include <cerrno>
#include <csignal>

namespace vantora {

namespace {

const QByteArray showRequest = QByteArrayLiteral("show\n");
constexpr int answerTimeoutMs = 2000;
constexpr int retryPauseMs = 50;

} // namespace

SingleInstance::SingleInstance(const QString &folder, const QString &applicationId, QObject *parent)
    : QObject(parent)
    , m_lockPath(QDir(folder).filePath(applicationId + QStringLiteral(".lock")))
    , m_socketPath(QDir(folder).filePath(applicationId + QStringLiteral(".socket")))
    , m_lock(m_lockPath)
{
    // Only a lock whose owner process is gone is stale, however old it is.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::runtimeFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

SingleInstance::Role SingleInstance::claim(std::function<void()> onShowRequested)
{
    m_onShowRequested = std::move(onShowRequested);
    // A launch racing another one's start may find the lock taken before the socket listens:
    // it tries again for a while, not at once, which would fall into the same gap.
    const QDeadlineTimer deadline(answerTimeoutMs);
    while (true) {
        if (m_lock.tryLock(0)) {
            listen();
            return Role::primary;
        }
        if (m_lock.error() != QLockFile::LockFailedError)
            throw std::runtime_error(
                QCoreApplication::translate("SingleInstance", "vantora cannot write its lock file %1.")
                    .arg(m_lockPath)
                    .toStdString());
        if (askRunningCopyToShow())
            return Role::secondary;
        if (holderIsGone())
            m_lock.removeStaleLockFile();
        if (deadline.hasExpired())
            break;
        QThread::msleep(retryPauseMs);
    }
    throw std::runtime_error(
        QCoreApplication::translate("SingleInstance", "Another copy of vantora holds %1 but does not answer.")
            .arg(m_lockPath)
            .toStdString());
}

bool SingleInstance::holderIsGone() const
{
    // Qt judges a lock by its process only when it was written under today's host name, and
    // by its age never (see the constructor). The runtime folder is this machine's own: a
    // lock in it whose process is gone is stale, whatever the host was called then.
    qint64 pid = 0;
    if (!m_lock.getLockInfo(&pid, nullptr, nullptr) || pid <= 0)
        return false;
    return ::kill(pid_t(pid), 0) == -1 && errno == ESRCH;
}

bool SingleInstance::askRunningCopyToShow() const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(answerTimeoutMs))
        return false;
    socket.write(showRequest);
    if (!socket.waitForBytesWritten(answerTimeoutMs))
        return false;
    // The running copy closes the connection once it has read the request.
    socket.waitForDisconnected(answerTimeoutMs);
    return true;
}

void SingleInstance::listen()
{
    // A socket file left by a killed copy would make listening fail.
    QLocalServer::removeServer(m_socketPath);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    m_server->listen(m_socketPath);
    // A copy that is ending shows nothing: a launch from then on waits for the lock instead.
    connect(qApp, &QCoreApplication::aboutToQuit, m_server, &QLocalServer::close);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = m_server->nextPendingConnection()) {
            connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QLocalSocket::readyRead, this, [this, client] {
                // Whatever else arrives is ignored: the only request is "show".
                if (!client->canReadLine())
                    return;
                const bool isShow = client->readLine() == showRequest;
                client->disconnectFromServer();
                if (isShow && m_onShowRequested)
                    m_onShowRequested();
            });
        }
    });
}

} // namespace vantora

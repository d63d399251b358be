#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>
#include <stdexcept>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vantora {

namespace {

const QByteArray showRequest = QByteArrayLiteral("show\n");
constexpr int answerTimeoutMs = 2000;
constexpr int retryPauseMs = 50;

// A socket listening at `path`, for this user only; -1 when it cannot be had.
int listeningSocket(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (name.size() >= qsizetype(sizeof(address.sun_path)))
        return -1;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), name.size());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket == -1)
        return -1;
    // A socket file left by a killed copy would make binding fail.
    ::unlink(name.constData());
    if (::bind(socket, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) != 0
        || ::chmod(name.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(socket, SOMAXCONN) != 0) {
        ::close(socket);
        return -1;
    }
    return socket;
}

} // namespace

SingleInstance::SingleInstance(const QString &folder, const QString &applicationId, runtime::Clock &clock,
                               QObject *parent)
    : QObject(parent)
    , m_lockPath(QDir(folder).filePath(applicationId + QStringLiteral(".lock")))
    , m_socketPath(QDir(folder).filePath(applicationId + QStringLiteral(".socket")))
    , m_lock(m_lockPath)
    , m_clock(clock)
{
    // Only a lock whose owner process is gone is stale, however old it is.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    if (m_listeningSocket != -1)
        ::close(m_listeningSocket);
}

QString SingleInstance::runtimeFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

SingleInstance::Role SingleInstance::claim()
{
    // A launch racing another one's claim may find the lock taken before the socket listens:
    // it tries again for a while, not at once, which would fall into the same gap.
    const QDeadlineTimer deadline(answerTimeoutMs);
    while (true) {
        if (m_lock.tryLock(0)) {
            // Listening before the application object exists: the toolkit's notifiers need
            // it, the kernel does not, and keeps what later launches send until `serve`.
            m_listeningSocket = listeningSocket(m_socketPath);
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
    // Sent is enough: the running copy reads it once it hears requests, which a copy that is
    // still starting does a moment later.
    return socket.waitForBytesWritten(answerTimeoutMs);
}

void SingleInstance::serve(std::function<void()> onShowRequested)
{
    Q_ASSERT(QCoreApplication::instance());
    m_onShowRequested = std::move(onShowRequested);
    m_deadlines.emplace();
    m_server = new QLocalServer(this);
    if (m_listeningSocket != -1 && m_server->listen(qintptr(m_listeningSocket))) {
        m_listeningSocket = -1;
    } else {
        QLocalServer::removeServer(m_socketPath);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        m_server->listen(m_socketPath);
    }
    // A copy that is ending shows nothing: a launch from then on waits for the lock instead.
    connect(qApp, &QCoreApplication::aboutToQuit, m_server, &QLocalServer::close);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *client = m_server->nextPendingConnection())
            admit(client);
    });
}

void SingleInstance::admit(QLocalSocket *client)
{
    if (m_waiting.size() >= maximumWaitingClients)
        release(m_waiting.front().client, true);
    // Qt stops reading once this much waits unread, so a line that never ends costs no more.
    client->setReadBufferSize(maximumRequestLength);
    m_waiting.push_back({client, m_deadlines->spawn(expire(client))});
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    connect(client, &QLocalSocket::disconnected, this, [this, client] { release(client, false); });
    connect(client, &QLocalSocket::readyRead, this, [this, client] { readRequest(client); });
    // Bytes may have come with the connection itself.
    if (client->bytesAvailable() > 0)
        readRequest(client);
}

void SingleInstance::readRequest(QLocalSocket *client)
{
    if (!client->canReadLine()) {
        if (client->bytesAvailable() >= maximumRequestLength)
            release(client, true);
        return;
    }
    // Whatever else arrives is ignored: the only request is "show", and it is heard once.
    const bool isShow = client->readLine(maximumRequestLength + 1) == showRequest;
    if (!release(client, false))
        return;
    client->disconnectFromServer();
    if (isShow && m_onShowRequested)
        m_onShowRequested();
}

bool SingleInstance::release(QLocalSocket *client, bool close)
{
    const auto found = std::find_if(m_waiting.begin(), m_waiting.end(),
                                    [client](const Waiting &waiting) { return waiting.client == client; });
    if (found == m_waiting.end())
        return false;
    const runtime::TaskHandle<void> deadline = found->deadline;
    m_waiting.erase(found);
    deadline.cancel();
    if (close) {
        client->abort();
        client->deleteLater();
    }
    return true;
}

runtime::Task<void> SingleInstance::expire(QLocalSocket *client)
{
    co_await m_clock.sleepFor(requestTimeout);
    release(client, true);
}

} // namespace vantora

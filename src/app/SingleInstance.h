#pragma once

#include "runtime/Clock.h"
#include "runtime/TaskScope.h"

#include <QLockFile>
#include <QObject>
#include <QString>

#include <chrono>
#include <cstddef>
#include <functional>
#include <list>
#include <memory>
#include <optional>

class QLocalServer;
class QLocalSocket;

namespace vantora {

// One running copy per user: a lock file in the runtime folder decides who runs, and a
// local socket beside it lets a later launch ask the running copy to show its panel. A lock
// left by a copy that was killed does not count: the lock records its owner's process id,
// and a lock whose owner is gone is taken over.
//
// The socket serves any local program of the user's, so what it keeps for one is bounded: a
// request is one short line, sent soon after connecting, and only a few connections wait at
// once. A connection that sends a longer line or nothing in time is closed; when too many
// wait, the one that has waited longest is closed.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 maximumRequestLength = 64;
    static constexpr std::chrono::seconds requestTimeout{5};
    static constexpr std::size_t maximumWaitingClients = 8;

    enum class Role {
        // This process holds the lock and listens for later launches.
        primary,
        // Another copy runs and was asked to show its panel.
        secondary,
    };

    // `folder`: where the lock and socket live (the user's runtime folder).
    // `clock` times the requests of connecting launches.
    SingleInstance(const QString &folder, const QString &applicationId,
                   runtime::Clock &clock = runtime::systemClock(), QObject *parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock, or asks the copy that holds it to show its panel; needs no application
    // object, so that it comes before anything a start waits for. Holding the lock, it takes the
    // socket at once: a later launch's request waits there until `serve`. Throws
    // std::runtime_error with the user's text when neither works (the lock cannot be written,
    // or its holder does not answer).
    Role claim();
    // Hears the requests of later launches, those that came since the claim first. Needs the
    // application object; only after claiming as primary.
    void serve(std::function<void()> onShowRequested);

    // The user's runtime folder ($XDG_RUNTIME_DIR), else the temporary folder.
    static QString runtimeFolder();

private:
    bool askRunningCopyToShow() const;
    bool holderIsGone() const;
    void admit(QLocalSocket *client);
    void readRequest(QLocalSocket *client);
    // Forgets the waiting client, and with `close` closes its connection. False when the
    // client was not waiting (any more).
    bool release(QLocalSocket *client, bool close);
    runtime::Task<void> expire(QLocalSocket *client);

    struct Waiting {
        QLocalSocket *client;
        runtime::TaskHandle<void> deadline;
    };

    QString m_lockPath;
    QString m_socketPath;
    QLockFile m_lock;
    runtime::Clock &m_clock;
    // The socket bound by the claim, until `serve` hands it to the server.
    int m_listeningSocket = -1;
    QLocalServer *m_server = nullptr;
    std::function<void()> m_onShowRequested;
    // Connected clients that have not sent their request yet, the longest waiting first.
    std::list<Waiting> m_waiting;
    // Last: its tasks end before the members they use. Made by `serve`: tasks need the
    // application object, the claim does not.
    std::optional<runtime::TaskScope> m_deadlines;
};

} // namespace vantora

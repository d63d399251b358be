#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QLocalServer;

namespace vantora {

// One running copy per user: a lock file in the runtime folder decides who runs, and a
// local socket beside it lets a later launch ask the running copy to show its panel. A lock
// left by a copy that was killed does not count: the lock records its owner's process id,
// and a lock whose owner is gone is taken over.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    enum class Role {
        // This process holds the lock and listens for later launches.
        primary,
        // Another copy runs and was asked to show its panel.
        secondary,
    };

    // `folder`: where the lock and socket live (the user's runtime folder).
    SingleInstance(const QString &folder, const QString &applicationId, QObject *parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock, or asks the copy that holds it to show its panel. Throws
    // std::runtime_error with the user's text when neither works (the lock cannot be
    // written, or its holder does not answer).
    Role claim(std::function<void()> onShowRequested);

    // The user's runtime folder ($XDG_RUNTIME_DIR), else the temporary folder.
    static QString runtimeFolder();

private:
    bool askRunningCopyToShow() const;
    bool holderIsGone() const;
    void listen();

    QString m_lockPath;
    QString m_socketPath;
    QLockFile m_lock;
    QLocalServer *m_server = nullptr;
    std::function<void()> m_onShowRequested;
};

} // namespace vantora

#pragma once

#include <QObject>

class QSocketNotifier;

namespace vantora {

// Turns SIGTERM, SIGINT and SIGHUP (a logout, Ctrl+C, a closed terminal) into a normal quit
// of the event loop, so the work done at quit runs. The signal handler only writes to a
// pipe; the quit happens on the main thread. One per process.
class QuitSignals final : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace vantora

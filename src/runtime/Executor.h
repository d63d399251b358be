#pragma once

#include <QPointer>

#include <cstddef>
#include <deque>
#include <functional>

class QObject;

namespace vantora::runtime {

// Runs posted work later, one item at a time, in the order it was posted. Coroutines
// resume only through an executor, never on the stack of whoever completed their wait.
class Executor {
public:
    virtual ~Executor() = default;
    virtual void post(std::function<void()> work) = 0;
};

// The Qt main thread's event loop. Work posted here runs on a later turn of the loop.
class QtExecutor final : public Executor {
public:
    QtExecutor();
    ~QtExecutor() override;
    void post(std::function<void()> work) override;

private:
    QPointer<QObject> m_context;
};

// Runs nothing until asked: unit tests drive it by hand (directly or through VirtualClock).
class ManualExecutor final : public Executor {
public:
    void post(std::function<void()> work) override;

    // Runs posted work, including work posted meanwhile, until none is left.
    // Returns how many items ran.
    std::size_t runUntilIdle();
    // Runs the oldest item; false when there was none.
    bool runOne();
    std::size_t pendingCount() const { return m_queue.size(); }

private:
    std::deque<std::function<void()>> m_queue;
};

// The application's executor on the Qt event loop; needs a QCoreApplication.
Executor &mainExecutor();

// Debug builds stop here when called off the Qt main thread; release builds do nothing.
void assertOnMain();

} // namespace vantora::runtime

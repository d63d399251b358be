#pragma once

// Unstructured tasks and their owner.
//
// TaskScope::spawn starts a task on a later turn of the scope's executor (FIFO, never
// inline) with a cancellation of its own. The returned TaskHandle is a shared, copyable
// reference: cancel() reaches the task's pending wait at once; join() may be awaited by
// any number of tasks, returns at once when the task has finished, and keeps waiting when
// the joiner itself is cancelled (joinPassingCancellation() instead hands the joiner's
// cancellation on to the task).
//
// The scope owns every task it spawned. Destroying it destroys their frames without
// resuming them (pending timers and replies are detached by their waits' destructors), so
// no task body ever runs against a dead owner. Declare it as the owner's last member.

#include "ExternalWait.h"
#include "Task.h"

#include <cstdint>
#include <map>
#include <vector>

namespace vantora::runtime {

namespace detail {

template <typename T>
struct SpawnState final {
    std::shared_ptr<CancelState> cancel = std::make_shared<CancelState>();
    Outcome<T> outcome;
    bool finished = false;
    std::vector<Completer<T>> joiners;

    void finish()
    {
        finished = true;
        for (const auto &joiner : std::exchange(joiners, {})) {
            try {
                if constexpr (std::is_void_v<T>) {
                    outcome.get();
                    joiner.resolve();
                } else {
                    joiner.resolve(outcome.get());
                }
            } catch (...) {
                joiner.reject(std::current_exception());
            }
        }
    }

    // The owner went away before the task finished.
    void abandon()
    {
        if (finished)
            return;
        outcome.setError(std::make_exception_ptr(CancellationError{}));
        finish();
    }
};

template <typename T>
Task<void> runSpawned(Task<T> body, std::shared_ptr<SpawnState<T>> state)
{
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::move(body);
            state->outcome.setValue();
        } else {
            T value = co_await std::move(body);
            state->outcome.setValue(std::move(value));
        }
    } catch (...) {
        state->outcome.setError(std::current_exception());
    }
    state->finish();
}

enum class JoinerCancellation {
    // The join keeps waiting; the joined task carries on.
    ignored,
    // The joined task is cancelled too, and the join ends at once with CancellationError.
    passedOn,
};

template <typename T>
Task<T> joinSpawned(std::shared_ptr<SpawnState<T>> state, JoinerCancellation joinerCancellation)
{
    if (!state->finished) {
        const bool passOn = joinerCancellation == JoinerCancellation::passedOn;
        if (passOn) {
            const bool joinerCancelled = co_await isCancelled();
            if (joinerCancelled) {
                state->cancel->cancel();
                throw CancellationError{};
            }
        }
        // A named awaiter: GCC 12 mishandles temporaries in `co_return co_await`.
        ExternalWait<T> wait([state](Completer<T> done) { state->joiners.push_back(std::move(done)); },
                             passOn ? typename ExternalWait<T>::CancelHook([state] { state->cancel->cancel(); })
                                    : typename ExternalWait<T>::CancelHook(),
                             passOn ? CancelMode::Cancellable : CancelMode::Uninterruptible);
        if constexpr (std::is_void_v<T>) {
            co_await wait;
            co_return;
        } else {
            T value = co_await wait;
            co_return value;
        }
    }
    co_return state->outcome.get();
}

} // namespace detail

template <typename T = void>
class TaskHandle final {
public:
    TaskHandle() = default;
    explicit TaskHandle(std::shared_ptr<detail::SpawnState<T>> state) : m_state(std::move(state)) {}

    bool isValid() const noexcept { return bool(m_state); }

    // Raises the task's flag and runs its pending wait's cancel hook at once.
    void cancel() const
    {
        if (m_state)
            m_state->cancel->cancel();
    }
    bool isCancelled() const noexcept { return m_state && m_state->cancel->isCancelled(); }
    bool isFinished() const noexcept { return m_state && m_state->finished; }

    // The task's result; awaiting it is not interrupted by the joiner's cancellation.
    Task<T> join() const
    {
        Q_ASSERT(m_state);
        return detail::joinSpawned<T>(m_state, detail::JoinerCancellation::ignored);
    }

    // The result of a task that works on the joiner's behalf: cancelling the joiner (before
    // or during the join) cancels this task too, and the join ends at once with
    // CancellationError while the task unwinds on its own turn.
    Task<T> joinPassingCancellation() const
    {
        Q_ASSERT(m_state);
        return detail::joinSpawned<T>(m_state, detail::JoinerCancellation::passedOn);
    }

    // The result of a finished task (rethrows its error). For code that knows it has
    // finished, such as tests after draining the executor.
    T result() const
    {
        Q_ASSERT(isFinished());
        return m_state->outcome.get();
    }

    friend bool operator==(const TaskHandle &a, const TaskHandle &b) noexcept { return a.m_state == b.m_state; }

private:
    std::shared_ptr<detail::SpawnState<T>> m_state;
};

class TaskScope final {
public:
    explicit TaskScope(Executor &executor = mainExecutor()) : m_executor(executor) {}
    TaskScope(const TaskScope &) = delete;
    TaskScope &operator=(const TaskScope &) = delete;
    ~TaskScope();

    template <typename T>
    TaskHandle<T> spawn(Task<T> body)
    {
        auto state = std::make_shared<detail::SpawnState<T>>();
        Task<void> root = detail::runSpawned<T>(std::move(body), state);
        auto handle = root.release();
        handle.promise().context = {state->cancel, &m_executor};

        const std::uint64_t id = m_nextId++;
        handle.promise().onRootFinished = [this, id] { finished(id); };
        m_tasks.emplace(id, Entry{handle, state->cancel, [state] { state->abandon(); }});

        m_executor.post([alive = std::weak_ptr<char>(m_alive), this, id] {
            if (alive.expired())
                return;
            if (auto it = m_tasks.find(id); it != m_tasks.end())
                it->second.frame.resume();
        });
        return TaskHandle<T>(state);
    }

    // Cancels every task that has not finished yet; they still unwind normally.
    void cancelAll();
    std::size_t activeCount() const noexcept { return m_tasks.size(); }
    Executor &executor() const noexcept { return m_executor; }

private:
    struct Entry {
        std::coroutine_handle<> frame;
        std::shared_ptr<detail::CancelState> cancel;
        std::function<void()> abandon;
    };

    void finished(std::uint64_t id);

    Executor &m_executor;
    std::map<std::uint64_t, Entry> m_tasks;
    std::uint64_t m_nextId = 0;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace vantora::runtime

#pragma once

// The bridge from callbacks (Qt signals, timers, Avahi, xcb) to coroutines.
//
//     co_await ExternalWait<QByteArray>(
//         [&](Completer<QByteArray> done) { connect(reply, &QNetworkReply::finished, reply,
//                                                   [done, reply] { done.resolve(reply->readAll()); }); },
//         [&] { reply->abort(); });
//
// The start function runs when the coroutine suspends. The completer may be called at any
// time, from any callback; only its first call counts, and the coroutine resumes on a later
// turn of its executor, never on the caller's stack. When the task is cancelled the cancel
// hook runs at once (stop the timer, abort the reply) and the wait ends with
// CancellationError, whatever the callback reports afterwards. When the awaiting frame is
// destroyed the completer turns into a no-op.

#include "Task.h"

namespace vantora::runtime {

enum class CancelMode {
    // Cancelling the task ends the wait with CancellationError (the normal case).
    Cancellable,
    // The wait runs to its result even when the task is cancelled (joining another task).
    Uninterruptible,
};

namespace detail {

template <typename T>
struct WaitSlot final : std::enable_shared_from_this<WaitSlot<T>> {
    std::coroutine_handle<> handle;
    Executor *executor = nullptr;
    Outcome<T> outcome;

    bool isSettled() const noexcept { return outcome.isSet(); }

    template <typename Fill>
    void settle(Fill &&fill)
    {
        if (outcome.isSet() || !handle)
            return;
        fill(outcome);
        executor->post([slot = this->shared_from_this()] {
            if (auto awaiting = std::exchange(slot->handle, {}))
                awaiting.resume();
        });
    }
};

} // namespace detail

template <typename T>
class Completer final {
public:
    explicit Completer(std::weak_ptr<detail::WaitSlot<T>> slot) : m_slot(std::move(slot)) {}

    template <typename... Args>
    void resolve(Args &&...args) const
    {
        if (auto slot = m_slot.lock())
            slot->settle([&](detail::Outcome<T> &outcome) { outcome.setValue(std::forward<Args>(args)...); });
    }

    void reject(std::exception_ptr error) const
    {
        if (auto slot = m_slot.lock())
            slot->settle([&](detail::Outcome<T> &outcome) { outcome.setError(std::move(error)); });
    }

    template <typename Error>
    void fail(Error error) const { reject(std::make_exception_ptr(std::move(error))); }

    // False once the wait has a result or its coroutine is gone.
    bool isPending() const
    {
        auto slot = m_slot.lock();
        return slot && slot->handle && !slot->isSettled();
    }

private:
    std::weak_ptr<detail::WaitSlot<T>> m_slot;
};

template <typename T = void>
class [[nodiscard]] ExternalWait final {
public:
    using Start = std::function<void(Completer<T>)>;
    using CancelHook = std::function<void()>;

    explicit ExternalWait(Start start, CancelHook onCancel = {}, CancelMode mode = CancelMode::Cancellable)
        : m_start(std::move(start))
        , m_onCancel(std::move(onCancel))
        , m_mode(mode)
        , m_slot(std::make_shared<detail::WaitSlot<T>>())
    {
    }

    ExternalWait(const ExternalWait &) = delete;
    ExternalWait &operator=(const ExternalWait &) = delete;

    ~ExternalWait()
    {
        m_slot->handle = {};
        releaseHook();
    }

    bool await_ready() const noexcept { return false; }

    template <typename Promise>
    bool await_suspend(std::coroutine_handle<Promise> handle)
    {
        const detail::TaskContext &context = handle.promise().context;
        Q_ASSERT(context.executor);
        if (m_mode == CancelMode::Cancellable && context.cancel) {
            if (context.cancel->isCancelled()) {
                // Started in a cancelled task: end at once, without suspending.
                m_slot->outcome.setError(std::make_exception_ptr(CancellationError{}));
                return false;
            }
            m_cancel = context.cancel;
            m_hookToken = m_cancel->setHook([this] { cancelNow(); });
        }
        m_slot->handle = handle;
        m_slot->executor = context.executor;
        try {
            m_start(Completer<T>(m_slot));
        } catch (...) {
            m_slot->handle = {};
            releaseHook();
            throw;
        }
        return true;
    }

    T await_resume()
    {
        releaseHook();
        return m_slot->outcome.take();
    }

private:
    void cancelNow()
    {
        if (m_slot->isSettled())
            return;
        // Settle first, so that whatever the hook triggers synchronously (an aborted reply
        // reporting its error) cannot replace the cancellation.
        m_slot->settle([](detail::Outcome<T> &outcome) {
            outcome.setError(std::make_exception_ptr(CancellationError{}));
        });
        if (m_onCancel)
            m_onCancel();
    }

    void releaseHook() noexcept
    {
        if (auto cancel = std::exchange(m_cancel, {}))
            cancel->clearHook(m_hookToken);
    }

    Start m_start;
    CancelHook m_onCancel;
    CancelMode m_mode;
    std::shared_ptr<detail::WaitSlot<T>> m_slot;
    std::shared_ptr<detail::CancelState> m_cancel;
    unsigned long long m_hookToken = 0;
};

} // namespace vantora::runtime

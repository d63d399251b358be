#pragma once

// Coroutine tasks with cooperative cancellation.
//
// A Task<T> is lazy: nothing runs until it is awaited, and then it starts inline, on the
// awaiting coroutine's stack, sharing the awaiter's cancellation and executor. Results and
// errors travel as values and exceptions through co_await. Unstructured work is started
// with TaskScope::spawn (see TaskScope.h), which is the only way a task gets its own
// cancellation.

#include "Errors.h"
#include "Executor.h"

#include <QtGlobal>

#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

namespace vantora::runtime {

namespace detail {

// The sticky cancellation flag of one spawned task, shared by every task it awaits.
// At most one suspension is pending per spawned task; its cancel hook runs at once
// when the flag is raised.
class CancelState final {
public:
    bool isCancelled() const noexcept { return m_cancelled; }

    void cancel()
    {
        if (m_cancelled)
            return;
        m_cancelled = true;
        if (m_hook) {
            auto hook = std::move(m_hook);
            m_hook = nullptr;
            hook();
        }
    }

    // Returns a token that clearHook needs, so that a stale suspension never removes
    // the hook of a newer one.
    unsigned long long setHook(std::function<void()> hook)
    {
        m_hook = std::move(hook);
        return ++m_hookGeneration;
    }

    void clearHook(unsigned long long token) noexcept
    {
        if (token == m_hookGeneration)
            m_hook = nullptr;
    }

private:
    bool m_cancelled = false;
    std::function<void()> m_hook;
    unsigned long long m_hookGeneration = 0;
};

// What every task coroutine carries: where it resumes and how it is cancelled.
struct TaskContext {
    std::shared_ptr<CancelState> cancel;
    Executor *executor = nullptr;
};

template <typename T>
using StoredType = std::conditional_t<std::is_void_v<T>, std::monostate, T>;

// A value, an error, or nothing yet.
template <typename T>
class Outcome final {
public:
    bool isSet() const noexcept { return m_state.index() != 0; }

    template <typename... Args>
    void setValue(Args &&...args) { m_state.template emplace<1>(std::forward<Args>(args)...); }
    void setError(std::exception_ptr error) { m_state.template emplace<2>(std::move(error)); }

    // Rethrows a stored error; moves the value out.
    T take()
    {
        if (m_state.index() == 2)
            std::rethrow_exception(std::get<2>(m_state));
        if constexpr (!std::is_void_v<T>)
            return std::move(std::get<1>(m_state));
    }

    // Rethrows a stored error; copies the value.
    T get() const
    {
        if (m_state.index() == 2)
            std::rethrow_exception(std::get<2>(m_state));
        if constexpr (!std::is_void_v<T>)
            return std::get<1>(m_state);
    }

private:
    std::variant<std::monostate, StoredType<T>, std::exception_ptr> m_state;
};

struct PromiseBase {
    TaskContext context;
    std::coroutine_handle<> continuation;
    // Set only on the root of a spawned task: runs when the body has finished.
    std::function<void()> onRootFinished;

    struct FinalAwaiter {
        bool await_ready() const noexcept { return false; }
        template <typename Promise>
        std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> handle) noexcept
        {
            PromiseBase &promise = handle.promise();
            if (promise.continuation)
                return promise.continuation;
            if (promise.onRootFinished) {
                // May destroy this very frame; nothing here touches it afterwards.
                auto finished = std::move(promise.onRootFinished);
                finished();
            }
            return std::noop_coroutine();
        }
        void await_resume() const noexcept {}
    };

    std::suspend_always initial_suspend() const noexcept { return {}; }
    FinalAwaiter final_suspend() const noexcept { return {}; }
};

template <typename T>
struct TaskPromise;

} // namespace detail

template <typename T = void>
class [[nodiscard]] Task final {
public:
    using promise_type = detail::TaskPromise<T>;

    Task() = default;
    explicit Task(std::coroutine_handle<promise_type> handle) noexcept : m_handle(handle) {}
    Task(Task &&other) noexcept : m_handle(std::exchange(other.m_handle, {})) {}
    Task &operator=(Task &&other) noexcept
    {
        if (this != &other) {
            destroy();
            m_handle = std::exchange(other.m_handle, {});
        }
        return *this;
    }
    Task(const Task &) = delete;
    Task &operator=(const Task &) = delete;
    ~Task() { destroy(); }

    bool isValid() const noexcept { return bool(m_handle); }

    // Awaiting starts the task inline with the awaiter's cancellation and executor.
    bool await_ready() const noexcept { return false; }

    template <typename Promise>
    std::coroutine_handle<> await_suspend(std::coroutine_handle<Promise> awaiting) noexcept
    {
        Q_ASSERT(m_handle && !m_handle.done());
        auto &promise = m_handle.promise();
        promise.context = awaiting.promise().context;
        promise.continuation = awaiting;
        return m_handle;
    }

    T await_resume() { return m_handle.promise().outcome.take(); }

    // For TaskScope: hands the frame over to a new owner.
    std::coroutine_handle<promise_type> release() noexcept { return std::exchange(m_handle, {}); }

private:
    void destroy() noexcept
    {
        if (m_handle)
            std::exchange(m_handle, {}).destroy();
    }

    std::coroutine_handle<promise_type> m_handle;
};

namespace detail {

template <typename T>
struct TaskPromise final : PromiseBase {
    Outcome<T> outcome;

    Task<T> get_return_object() noexcept
    {
        return Task<T>(std::coroutine_handle<TaskPromise>::from_promise(*this));
    }
    void unhandled_exception() noexcept { outcome.setError(std::current_exception()); }

    template <typename U = T>
        requires std::is_convertible_v<U &&, T>
    void return_value(U &&value)
    {
        outcome.setValue(std::forward<U>(value));
    }
};

template <>
struct TaskPromise<void> final : PromiseBase {
    Outcome<void> outcome;

    Task<void> get_return_object() noexcept
    {
        return Task<void>(std::coroutine_handle<TaskPromise>::from_promise(*this));
    }
    void unhandled_exception() noexcept { outcome.setError(std::current_exception()); }
    void return_void() noexcept { outcome.setValue(); }
};

// Reads the awaiting task's flag without suspending.
struct CancellationProbe {
    bool cancelled = false;
    bool await_ready() const noexcept { return false; }
    template <typename Promise>
    bool await_suspend(std::coroutine_handle<Promise> handle) noexcept
    {
        const auto &cancel = handle.promise().context.cancel;
        cancelled = cancel && cancel->isCancelled();
        return false;
    }
};

struct CancellationCheck : CancellationProbe {
    void await_resume() const
    {
        if (cancelled)
            throw CancellationError{};
    }
};

struct CancellationQuery : CancellationProbe {
    bool await_resume() const noexcept { return cancelled; }
};

} // namespace detail

// `co_await checkCancellation();` throws CancellationError when the current task has been
// cancelled; it never suspends.
inline detail::CancellationCheck checkCancellation() noexcept { return {}; }

// `co_await isCancelled()` answers whether the current task has been cancelled.
inline detail::CancellationQuery isCancelled() noexcept { return {}; }

} // namespace vantora::runtime

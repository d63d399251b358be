#pragma once

// Scripted replies for fake services: each call takes the next queued reply (a value, an
// error, or a gate the test opens later), or the standing reply when none is queued.

#include "runtime/ExternalWait.h"
#include "runtime/Task.h"

#include <deque>
#include <exception>
#include <memory>
#include <optional>
#include <stdexcept>
#include <variant>

namespace vantora::testing {

// A reply held back until the test opens the gate, so that a test decides exactly what
// happens while the call is in flight. Opening before the call arrives is fine too.
template <typename T>
class ReplyGate final {
public:
    void open(T value) { settle(std::move(value)); }
    template <typename Error>
    void fail(Error error) { settle(std::make_exception_ptr(std::move(error))); }
    void fail(std::exception_ptr error) { settle(std::move(error)); }

    // A call has arrived and waits for the gate.
    bool hasWaitingCall() const { return m_waiter && m_waiter->isPending(); }

    static runtime::Task<T> pass(std::shared_ptr<ReplyGate> gate)
    {
        if (!gate->m_result) {
            runtime::ExternalWait<void> opened([gate](runtime::Completer<void> done) { gate->m_waiter = done; });
            co_await opened;
        }
        if (auto *error = std::get_if<std::exception_ptr>(&*gate->m_result))
            std::rethrow_exception(*error);
        co_return std::get<T>(*gate->m_result);
    }

private:
    void settle(std::variant<T, std::exception_ptr> result)
    {
        m_result = std::move(result);
        if (m_waiter)
            m_waiter->resolve();
    }

    std::optional<std::variant<T, std::exception_ptr>> m_result;
    std::optional<runtime::Completer<void>> m_waiter;
};

template <typename T>
class ReplyScript final {
public:
    void thenReturn(T value) { m_queue.push_back(std::move(value)); }
    template <typename Error>
    void thenFail(Error error) { thenFail(std::make_exception_ptr(std::move(error))); }
    void thenFail(std::exception_ptr error) { m_queue.push_back(std::move(error)); }
    std::shared_ptr<ReplyGate<T>> thenWait()
    {
        auto gate = std::make_shared<ReplyGate<T>>();
        m_queue.push_back(gate);
        return gate;
    }

    void alwaysReturn(T value) { m_standing = Reply(std::move(value)); }
    template <typename Error>
    void alwaysFail(Error error) { alwaysFail(std::make_exception_ptr(std::move(error))); }
    void alwaysFail(std::exception_ptr error) { m_standing = Reply(std::move(error)); }

    int callCount() const { return m_calls; }

    // The reply to one call. A call with nothing scripted fails with std::logic_error,
    // which the store reports as an unexpected failure.
    runtime::Task<T> reply()
    {
        ++m_calls;
        std::optional<Reply> next;
        if (!m_queue.empty()) {
            next = std::move(m_queue.front());
            m_queue.pop_front();
        } else {
            next = m_standing;
        }
        return deliver(std::move(next));
    }

private:
    using Reply = std::variant<T, std::exception_ptr, std::shared_ptr<ReplyGate<T>>>;

    static runtime::Task<T> deliver(std::optional<Reply> reply)
    {
        if (!reply)
            throw std::logic_error("no reply scripted for this call");
        if (auto *gate = std::get_if<std::shared_ptr<ReplyGate<T>>>(&*reply)) {
            T value = co_await ReplyGate<T>::pass(*gate);
            co_return value;
        }
        if (auto *error = std::get_if<std::exception_ptr>(&*reply))
            std::rethrow_exception(*error);
        co_return std::get<T>(std::move(*reply));
    }

    std::deque<Reply> m_queue;
    std::optional<Reply> m_standing;
    int m_calls = 0;
};

} // namespace vantora::testing

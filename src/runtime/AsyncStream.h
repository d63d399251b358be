#pragma once

// A sequence of values that arrive over time, read one at a time by one coroutine.
//
//     auto [stream, continuation] = AsyncStream<int>::make();
//     continuation.yield(1);                        // from callbacks, on the main thread
//     while (auto value = co_await stream.next())   // in the reading task
//         use(*value);
//
// The reader owns the stream; the continuation is a copyable handle for the producers. The
// stream ends once: when a producer finishes it, when the reader drops it, or when the
// reader's task is cancelled while it waits. The termination handler runs then, at once,
// so producers can stop feeding it.

#include "ExternalWait.h"
#include "Task.h"

#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <utility>

namespace vantora::runtime {

template <typename T>
class AsyncStream final {
    struct State {
        std::deque<T> buffer;
        std::size_t bufferLimit = 0;
        std::optional<Completer<std::optional<T>>> reader;
        bool finished = false;
        bool terminated = false;
        std::function<void()> onTermination;

        void terminate()
        {
            if (terminated)
                return;
            terminated = true;
            finished = true;
            if (auto handler = std::exchange(onTermination, {}))
                handler();
        }
    };

public:
    static constexpr std::size_t unbounded = std::numeric_limits<std::size_t>::max();

    class Continuation final {
    public:
        // Hands the value to the waiting reader, or keeps it; beyond the buffer limit the
        // oldest kept value is dropped. Ignored once the stream has ended.
        void yield(T value) const
        {
            if (m_state->finished)
                return;
            if (m_state->reader && m_state->reader->isPending()) {
                std::exchange(m_state->reader, std::nullopt)->resolve(std::move(value));
                return;
            }
            m_state->buffer.push_back(std::move(value));
            while (m_state->buffer.size() > m_state->bufferLimit)
                m_state->buffer.pop_front();
        }

        // Ends the stream: the reader gets the kept values, then the end.
        void finish() const
        {
            if (m_state->finished)
                return;
            if (auto reader = std::exchange(m_state->reader, std::nullopt))
                reader->resolve(std::nullopt);
            m_state->terminate();
        }

        // Runs once when the stream ends, for whatever reason; at once if it has ended.
        void setOnTermination(std::function<void()> handler) const
        {
            if (m_state->terminated)
                handler();
            else
                m_state->onTermination = std::move(handler);
        }

        bool isTerminated() const noexcept { return m_state->terminated; }

    private:
        friend class AsyncStream;
        explicit Continuation(std::shared_ptr<State> state) : m_state(std::move(state)) {}

        std::shared_ptr<State> m_state;
    };

    // `bufferLimit` values wait for the reader at most; 1 keeps only the newest.
    static std::pair<AsyncStream, Continuation> make(std::size_t bufferLimit = unbounded)
    {
        Q_ASSERT(bufferLimit > 0);
        auto state = std::make_shared<State>();
        state->bufferLimit = bufferLimit;
        return {AsyncStream(state), Continuation(state)};
    }

    AsyncStream(AsyncStream &&other) noexcept = default;
    AsyncStream &operator=(AsyncStream &&other) noexcept
    {
        if (this != &other) {
            end();
            m_state = std::move(other.m_state);
        }
        return *this;
    }
    AsyncStream(const AsyncStream &) = delete;
    AsyncStream &operator=(const AsyncStream &) = delete;
    ~AsyncStream() { end(); }

    // The next value, or none once the stream has ended and nothing is kept. One read at a
    // time. A read cancelled while it waits ends the stream and throws CancellationError.
    Task<std::optional<T>> next()
    {
        std::shared_ptr<State> state = m_state;
        Q_ASSERT(state && !state->reader);
        if (!state->buffer.empty()) {
            T value = std::move(state->buffer.front());
            state->buffer.pop_front();
            co_return value;
        }
        if (state->finished)
            co_return std::nullopt;

        // Cancelling ends the stream at once, so producers stop before the reader resumes.
        ExternalWait<std::optional<T>> wait(
            [state](Completer<std::optional<T>> reader) { state->reader = std::move(reader); },
            [state] {
                state->reader.reset();
                state->buffer.clear();
                state->terminate();
            });
        bool cancelled = false;
        std::optional<T> value;
        try {
            value = co_await wait;
        } catch (const CancellationError &) {
            cancelled = true;
        }
        if (cancelled) {
            state->reader.reset();
            state->buffer.clear();
            state->terminate();
            throw CancellationError{};
        }
        co_return value;
    }

private:
    explicit AsyncStream(std::shared_ptr<State> state) : m_state(std::move(state)) {}

    void end()
    {
        if (!m_state)
            return;
        m_state->reader.reset();
        m_state->buffer.clear();
        m_state->terminate();
    }

    std::shared_ptr<State> m_state;
};

} // namespace vantora::runtime

#pragma once

#include "platform/https/RequestTimeouts.h"

#include "runtime/Errors.h"

#include <QTimer>

#include <optional>

class QNetworkReply;

namespace vantora::platform {

// The idle and total time limits of one reply. Progress either way restarts the idle limit;
// when a limit passes the reply is aborted, and the abort is remembered, so that the reply's
// own report of it (an operation cancelled) is read as the time-out it was.
class ReplyDeadlines final {
public:
    explicit ReplyDeadlines(RequestTimeouts timeouts);

    ReplyDeadlines(const ReplyDeadlines &) = delete;
    ReplyDeadlines &operator=(const ReplyDeadlines &) = delete;

    // Starts both limits for `reply`, which must outlive this object or the next stop().
    void watch(QNetworkReply *reply);
    // Stops both limits; what has expired stays expired.
    void stop();

    // NetworkError(timedOut) naming the limit that passed, if one did.
    std::optional<runtime::NetworkError> expiry() const;

private:
    enum class Limit { idle, total };

    void expire(Limit limit);

    RequestTimeouts m_timeouts;
    QTimer m_idle;
    QTimer m_total;
    QNetworkReply *m_reply = nullptr;
    std::optional<Limit> m_expired;
};

} // namespace vantora::platform

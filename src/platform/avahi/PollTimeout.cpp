#include "platform/avahi/PollTimeout.h"

#include <chrono>
#include <limits>

namespace vantora::platform {

namespace {

std::chrono::milliseconds delayUntil(runtime::WallTime deadline, runtime::WallTime now)
{
    using std::chrono::milliseconds;
    // Compared before subtracting, so that no deadline can overflow the difference.
    if (deadline <= now)
        return milliseconds(0);
    const auto delay = std::chrono::ceil<milliseconds>(deadline - now);
    return std::min(delay, milliseconds(std::numeric_limits<int>::max()));
}

} // namespace

PollTimeout::PollTimeout(std::function<void()> onExpired)
    : m_onExpired(std::move(onExpired))
{
    m_timer.setSingleShot(true);
    // A coarse timer may fire up to 5 % early, before the deadline the caller asked for.
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { onTimeout(); });
}

PollTimeout::~PollTimeout() = default;

void PollTimeout::setDeadline(std::optional<runtime::WallTime> deadline)
{
    if (!deadline) {
        m_timer.stop();
        return;
    }
    m_timer.start(delayUntil(*deadline, std::chrono::system_clock::now()));
}

void PollTimeout::onTimeout()
{
    const std::function<void()> onExpired = m_onExpired; // outlives a callback that deletes us
    onExpired();
}

} // namespace vantora::platform

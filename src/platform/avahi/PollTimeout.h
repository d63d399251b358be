#pragma once

#include "runtime/Clock.h"

#include <QTimer>

#include <functional>
#include <optional>

namespace vantora::platform {

// A one-shot wake-up at an absolute wall-clock time on the Qt event loop, as poll-style
// interfaces describe their time-outs. It fires once and is then disarmed until given a new
// deadline. A deadline already past fires on the next turn of the loop, never inside
// setDeadline. The callback may re-arm or delete the time-out.
class PollTimeout final {
public:
    explicit PollTimeout(std::function<void()> onExpired);
    ~PollTimeout();
    PollTimeout(const PollTimeout &) = delete;
    PollTimeout &operator=(const PollTimeout &) = delete;

    // None disarms.
    void setDeadline(std::optional<runtime::WallTime> deadline);
    bool isArmed() const { return m_timer.isActive(); }

private:
    void onTimeout();

    std::function<void()> m_onExpired;
    QTimer m_timer;
};

} // namespace vantora::platform

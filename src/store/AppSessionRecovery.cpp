#include "store/AppSessionRecovery.h"

namespace vantora {

AppSessionRecovery::AppSessionRecovery(runtime::UserDefaults &defaults, SessionTracking tracking,
                                       runtime::Clock &clock)
    : m_defaults(defaults)
    , m_tracking(tracking)
    , m_clock(clock)
{
}

std::optional<AppIssue> AppSessionRecovery::begin()
{
    if (m_tracking == SessionTracking::disabled || m_started)
        return std::nullopt;
    m_started = true;
    const bool wasRunning = m_defaults.boolValue(markerKey);
    m_defaults.setBool(markerKey, true);
    if (!wasRunning)
        return std::nullopt;
    return AppIssue(AppIssue::Operation::launch, uncleanEndCode, m_clock.wallNow());
}

void AppSessionRecovery::finish()
{
    if (m_tracking == SessionTracking::disabled || !m_started)
        return;
    m_defaults.remove(markerKey);
    m_started = false;
}

} // namespace vantora

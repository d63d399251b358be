#pragma once

#include "runtime/Clock.h"
#include "runtime/UserDefaults.h"
#include "store/AppIssue.h"

#include <QString>

#include <optional>

namespace vantora {

enum class SessionTracking {
    // Keeps the running-session marker (the application).
    enabled,
    // Neither reads nor writes it (previews and demonstrations).
    disabled,
};

// Notices that the previous run did not end normally: a marker in the user defaults is
// set while a session runs and removed when it ends, so a marker found at the start of a
// session means the last one was cut short.
class AppSessionRecovery final {
public:
    static inline const QString markerKey = QStringLiteral("vantora.sessionWasRunning");
    static inline const QString uncleanEndCode = QStringLiteral("previous-session-ended-unexpectedly");

    AppSessionRecovery(runtime::UserDefaults &defaults, SessionTracking tracking,
                       runtime::Clock &clock = runtime::systemClock());

    // Only the first call of an enabled instance counts: it sets the marker and returns an
    // issue (operation launch, dated now) when the marker was already set. Every other
    // call returns none and touches nothing.
    std::optional<AppIssue> begin();

    // Removes the marker after begin(); otherwise does nothing.
    void finish();

private:
    runtime::UserDefaults &m_defaults;
    SessionTracking m_tracking;
    runtime::Clock &m_clock;
    bool m_started = false;
};

} // namespace vantora

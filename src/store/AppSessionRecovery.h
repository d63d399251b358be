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
//
// The defaults may not take the marker's removal (a full disk, a home folder made read-only
// while the session ran). So a session that ends also leaves a note in a file of its own,
// `quitNote`, in a folder that can still be written then (the user's runtime folder), and a
// marker found beside that note is one such a session could not remove: it is no unclean
// end. The runtime folder lasts until the user's last login session ends; a marker the
// defaults kept past that is taken as an unclean end.
class AppSessionRecovery final {
public:
    static inline const QString markerKey = QStringLiteral("vantora.sessionWasRunning");
    static inline const QString uncleanEndCode = QStringLiteral("previous-session-ended-unexpectedly");

    AppSessionRecovery(runtime::UserDefaults &defaults, SessionTracking tracking, QString quitNote,
                       runtime::Clock &clock = runtime::systemClock());

    // Only the first call of an enabled instance counts: it takes the last session's note
    // away, sets the marker and returns an issue (operation launch, dated now) when the
    // marker was already set and no note said that session ended. Every other call returns
    // none and touches nothing.
    std::optional<AppIssue> begin();

    // Removes the marker and leaves the note after begin(); otherwise does nothing.
    void finish();

private:
    runtime::UserDefaults &m_defaults;
    SessionTracking m_tracking;
    QString m_quitNote;
    runtime::Clock &m_clock;
    bool m_started = false;
};

} // namespace vantora

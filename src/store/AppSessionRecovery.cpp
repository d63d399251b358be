#include "store/AppSessionRecovery.h"

#include <QFile>

namespace vantora {

AppSessionRecovery::AppSessionRecovery(runtime::UserDefaults &defaults, SessionTracking tracking, QString quitNote,
                                       runtime::Clock &clock)
    : m_defaults(defaults)
    , m_tracking(tracking)
    , m_quitNote(std::move(quitNote))
    , m_clock(clock)
{
}

std::optional<AppIssue> AppSessionRecovery::begin()
{
    if (m_tracking == SessionTracking::disabled || m_started)
        return std::nullopt;
    m_started = true;
    const bool wasRunning = m_defaults.boolValue(markerKey);
    const bool lastSessionEnded = QFile::remove(m_quitNote);
    m_defaults.setBool(markerKey, true);
    if (!wasRunning || lastSessionEnded)
        return std::nullopt;
    return AppIssue(AppIssue::Operation::launch, uncleanEndCode, m_clock.wallNow());
}

void AppSessionRecovery::finish()
{
    if (m_tracking == SessionTracking::disabled || !m_started)
        return;
    m_defaults.remove(markerKey);
    // Left whether or not the defaults took the removal; nothing more can be done where even
    // this folder cannot be written.
    QFile note(m_quitNote);
    note.open(QIODevice::WriteOnly);
    m_started = false;
}

} // namespace vantora

#pragma once

#include <memory>

struct AvahiPoll;

namespace vantora::platform {

// Avahi's main-loop interface served by the Qt event loop of the calling thread, built on
// PollWatch (QSocketNotifier) and PollTimeout (QTimer).
//
// Why not Avahi's GLib adapter: it only works while Qt happens to run GLib's dispatcher on
// the default main context. Debian's Qt does by default, but QT_NO_GLIB=1 or another
// dispatcher (a platform plugin's, a future Qt's) would leave its sources unpolled, and
// discovery would silently find nothing. Socket notifiers and timers work under every
// dispatcher, need no further library and no thread.
//
// Everything Avahi creates through the interface must be freed before the poll is
// destroyed (free the client first).
class AvahiQtPoll final {
public:
    AvahiQtPoll();
    ~AvahiQtPoll();
    AvahiQtPoll(const AvahiQtPoll &) = delete;
    AvahiQtPoll &operator=(const AvahiQtPoll &) = delete;

    const AvahiPoll *api() const noexcept { return m_api.get(); }

private:
    std::unique_ptr<AvahiPoll> m_api;
};

} // namespace vantora::platform

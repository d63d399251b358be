#pragma once

#include <QFlags>

#include <functional>
#include <memory>

class QSocketNotifier;

namespace vantora::platform {

// Watches one file descriptor on the Qt event loop in the manner of poll(2): the owner
// names the events it wants, and the callback learns which events really happened.
//
// Works with whichever event dispatcher Qt runs (GLib's or its own). The callback never
// runs inside the constructor or setWanted, and may delete the watch. Error and hang-up
// are reported whenever the descriptor is watched at all, as poll(2) does.
class PollWatch final {
public:
    // The values are poll(2)'s, so that poll-style interfaces convert without a table.
    enum class Event {
        Readable = 0x001,
        Writable = 0x004,
        Error = 0x008,
        HangUp = 0x010,
    };
    Q_DECLARE_FLAGS(Events, Event)

    using Callback = std::function<void(Events happened)>;

    PollWatch(int fd, Events wanted, Callback callback);
    ~PollWatch();
    PollWatch(const PollWatch &) = delete;
    PollWatch &operator=(const PollWatch &) = delete;

    // Nothing wanted silences the watch until something is wanted again.
    void setWanted(Events wanted);
    Events wanted() const noexcept { return m_wanted; }

    // What woke the running callback; empty outside it.
    Events happened() const noexcept { return m_happened; }

private:
    void onActivated();

    int m_fd;
    Events m_wanted;
    Events m_happened;
    Callback m_callback;
    std::unique_ptr<QSocketNotifier> m_readNotifier;
    std::unique_ptr<QSocketNotifier> m_writeNotifier;
    // Expires when the watch is destroyed, so that a callback that deleted it is noticed.
    std::shared_ptr<char> m_lifetime = std::make_shared<char>();
};

Q_DECLARE_OPERATORS_FOR_FLAGS(PollWatch::Events)

} // namespace vantora::platform

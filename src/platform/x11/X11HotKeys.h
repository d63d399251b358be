#pragma once

#include "platform/HotKeyBackend.h"

#include <QByteArray>

#include <memory>
#include <optional>

namespace vantora::platform {

// System-wide hot keys on X11: passive key grabs on the root window, on a connection of our
// own. A key code maps to the physical key by its XKB name, so shortcuts keep working
// across layout switches. Each combination is grabbed once for every state of Caps Lock,
// Num Lock and Scroll Lock, so those locks never stop a shortcut. Detectable auto-repeat
// is switched on, and a held key is reported as one press and one release, even when the
// modifiers are let go before the key.
//
// A grab the server refuses with BadAccess means another program holds the combination.
// Without an X server (a Wayland session without X11) every registration reports
// `unavailable` and nothing else happens.
class X11HotKeys final : public HotKeyBackend {
public:
    // Connects to `displayName` (empty: $DISPLAY). Needs a running QCoreApplication: events
    // are read on its event loop.
    explicit X11HotKeys(const QByteArray &displayName = {});
    ~X11HotKeys() override;

    bool isAvailable() const noexcept { return bool(m_session); }
    // The X server time of the last press or release delivered, for handing the focus to a
    // window that the key opened; none before the first.
    std::optional<quint32> lastEventTime() const;
    // Handles at once the keys the server has sent and no turn of the event loop has read yet.
    void readPendingKeys();

    HotKeyRegistration registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, quint32 hotKeyId) override;
    void unregisterHotKey(HotKeyRef ref) override;
    bool installHandler(EventHandler handler) override;
    void setEventsAttached(bool attached) override;
    bool isTakenByAnotherProgram(quint32 carbonKeyCode, quint32 carbonModifiers) override;
    std::vector<SystemHotKey> systemHotKeys() override;
    KeyRepeat keyRepeat() override;

    class Session;

private:
    std::unique_ptr<Session> m_session;
};

} // namespace vantora::platform

#pragma once

#include "shortcuts/Shortcut.h"

#include "platform/HotKeyBackend.h"

#include <QPointer>

#include <functional>
#include <optional>

namespace vantora::GlobalShortcuts {

class HotKeyCenter;

// One system-wide key combination and what its press and release do. The centre holds it
// weakly; whoever made it owns it, and destroying it is the only way it leaves the system
// and the centre.
class HotKey final {
public:
    using Callback = std::function<void()>;

    // `id` comes from HotKeyCenter::nextHotKeyId(). Key code and modifiers must fit in
    // 32 bits unsigned: anything else is a programming error.
    HotKey(HotKeyCenter &centre, quint32 id, Shortcut shortcut, Callback onKeyDown, Callback onKeyUp);
    ~HotKey();

    HotKey(const HotKey &) = delete;
    HotKey &operator=(const HotKey &) = delete;

    quint32 id() const noexcept { return m_id; }
    const Shortcut &shortcut() const noexcept { return m_shortcut; }
    // Present exactly while the combination is registered with the system.
    const std::optional<platform::HotKeyRef> &registration() const noexcept { return m_registration; }

    void keyDown() const;
    void keyUp() const;

    // Run when the centre could not register the key again (after a menu closed, or the
    // shortcuts were switched back on) and dropped it.
    void setOnRegistrationFailed(Callback callback) { m_onRegistrationFailed = std::move(callback); }

private:
    friend class HotKeyCenter;

    QPointer<HotKeyCenter> m_centre;
    quint32 m_id;
    Shortcut m_shortcut;
    Callback m_onKeyDown;
    Callback m_onKeyUp;
    Callback m_onRegistrationFailed;
    std::optional<platform::HotKeyRef> m_registration;
};

} // namespace vantora::GlobalShortcuts

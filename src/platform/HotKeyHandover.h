#pragma once

#include "platform/HotKeyBackend.h"

#include <map>
#include <memory>

namespace vantora::platform {

// Hot keys taken by one backend until another takes them over, once: a start that cannot wait
// for the desktop's shortcut portal takes X11 grabs, and hands them to the portal when it
// answers. What was registered is registered anew with the next backend under the same refs,
// with the same receiver and attachment; the first backend goes. Everything else is the
// current backend's word.
//
// Until the handover, what the first backend refuses (keys another of its clients holds,
// everything where it has no server to deliver events) is refused: those keys fire nothing
// and are reported as not working until the next backend takes them, when their owner
// registers them again.
class HotKeyHandover final : public HotKeyBackend {
public:
    explicit HotKeyHandover(std::unique_ptr<HotKeyBackend> first);
    ~HotKeyHandover() override;

    // Moves every registration to `next`, which keeps them from now on. Once only; a
    // combination `next` refuses is dropped from the system (its ref stays valid to release).
    void handOver(std::unique_ptr<HotKeyBackend> next);
    bool isHandedOver() const noexcept { return m_isHandedOver; }

    HotKeyRegistration registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, quint32 hotKeyId) override;
    void unregisterHotKey(HotKeyRef ref) override;
    bool installHandler(EventHandler handler) override;
    void setEventsAttached(bool attached) override;
    bool isTakenByAnotherProgram(quint32 carbonKeyCode, quint32 carbonModifiers) override;
    std::vector<SystemHotKey> systemHotKeys() override;
    KeyRepeat keyRepeat() override;
    bool desktopDecides() const override;
    void actionsChanged() override;
    std::optional<DesktopBinding> desktopBinding(quint32 carbonKeyCode, quint32 carbonModifiers) const override;

private:
    struct Registration {
        quint32 carbonKeyCode = 0;
        quint32 carbonModifiers = 0;
        quint32 hotKeyId = 0;
        // The current backend's ref; none where it refused the combination.
        std::optional<HotKeyRef> ref;
    };

    std::unique_ptr<HotKeyBackend> m_backend;
    std::map<HotKeyRef, Registration> m_registrations;
    HotKeyRef m_nextRef = 1;
    EventHandler m_handler;
    bool m_attached = false;
    bool m_isHandedOver = false;
};

} // namespace vantora::platform

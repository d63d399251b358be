#pragma once

#include "shortcuts/LocalEventMonitor.h"

#include "platform/HotKeyBackend.h"
#include "runtime/Clock.h"
#include "runtime/Executor.h"
#include "runtime/TaskScope.h"

#include <QObject>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <vector>

namespace vantora::platform {
class KeyboardLayout;
}
namespace vantora::runtime {
class NotificationCenter;
}

namespace vantora::GlobalShortcuts {

class HotKey;
class MenuTracker;
struct Shortcut;

// The one place that registers hot keys with the system and turns their presses and
// releases into calls of each HotKey's callbacks, on the main thread.
//
// Modes:
//  - normal: every live hot key is registered and system events are delivered;
//  - menuOpen: while a menu or popup of ours holds the keyboard, the hot keys are
//    unregistered and our own key events are matched against them instead; where the desktop
//    decides (HotKeyBackend::desktopDecides), it keeps them too, since it takes their keys first;
//  - disabled: everything unregistered, nothing matched.
// Hot keys keep their ids across mode changes.
class HotKeyCenter final : public QObject {
    Q_OBJECT
public:
    enum class Mode : quint8 {
        disabled,
        normal,
        menuOpen,
    };

    // The backend, layout, notification centre and clock must outlive the centre. Starts
    // normal and enabled, follows the menus of the running application, and tells the backend
    // of every stored shortcut that changes (HotKeyBackend::actionsChanged).
    HotKeyCenter(platform::HotKeyBackend &backend, const platform::KeyboardLayout &layout,
                 runtime::NotificationCenter &notifications, runtime::Clock &clock = runtime::systemClock(),
                 runtime::Executor &executor = runtime::mainExecutor(), QObject *parent = nullptr);
    ~HotKeyCenter() override;

    // Ids start at 1 and are never reused, not even when the registration fails.
    quint32 nextHotKeyId() noexcept { return ++m_lastHotKeyId; }

    // Registers the hot key at once, whatever the mode, then applies the mode. False when the
    // system refuses the combination or would not deliver its events; nothing is kept then.
    bool registerHotKey(const std::shared_ptr<HotKey> &hotKey);

    bool isEnabled() const noexcept { return m_isEnabled; }
    void setEnabled(bool enabled);
    bool isMenuOpen() const noexcept { return m_isMenuOpen; }
    Mode mode() const noexcept { return m_mode; }
    // Whether our own key events are being matched (menuOpen mode).
    bool isListeningToOwnKeyEvents() const noexcept { return m_isOwnKeyEventHandlingEnabled; }

    std::vector<platform::SystemHotKey> systemHotKeys() const { return m_backend.systemHotKeys(); }
    // Whether another program holds the combination; our own hot keys do not count.
    bool isTakenByAnotherProgram(const Shortcut &shortcut) const;
    platform::KeyRepeat keyRepeat() const { return m_backend.keyRepeat(); }
    // The desktop's word on the shortcut, where the desktop decides; none until it answers.
    std::optional<platform::DesktopBinding> desktopBinding(const Shortcut &shortcut) const;
    // Whether the desktop has yet to give its word on a hot key of ours, or is asking the user
    // about one (its window is open); never where registering decides.
    bool isAwaitingDesktop() const;
    // What fires instead of the shortcut, where the desktop bound other keys (its own words)
    // or none (empty text); none where it bound the shortcut itself, is still asking the user
    // or has not answered.
    std::optional<QString> desktopTriggerInstead(const Shortcut &shortcut) const;

    // Matches one of our own key events while a menu is open: the first live hot key with
    // this key and modifiers runs and the event is consumed. Held-key repeats pass on; the
    // release of a key whose press ran a hot key runs it too, whatever modifiers are left.
    // The release of a key held until released (below) only ends the hold.
    EventDisposition handleKeyEvent(const KeyEvent &event);

    // The key went down in one of our own windows and is still down (a recorder just took it
    // as a new shortcut). Until our windows see it released, the system is not asked for the
    // hot keys of that key and what it reports of them is ignored: a key held past the
    // keyboard's repeat delay would otherwise hand its repeats and its release to the new
    // grab, which fires the shortcut and takes the keyboard from our window. A release
    // counts once no press of the key follows within two repeat intervals (a held key's
    // repeats may arrive as release and press pairs); then the key's hot keys are registered
    // as the mode says. Should our application lose the keyboard first, its releases can no
    // longer be seen and every hold ends at once.
    void holdUntilReleased(qint64 carbonKeyCode);
    bool isHeld(qint64 carbonKeyCode) const { return m_heldKeys.contains(carbonKeyCode); }

private:
    friend class HotKey;

    void forget(HotKey &hotKey);
    void setMenuOpen(bool open);
    void updateMode();
    void applyMode();
    void registerAll();
    void unregisterAll();
    void setHotKeyEventHandlingEnabled(bool enabled);
    void setOwnKeyEventHandlingEnabled(bool enabled);
    void updateOwnKeyEvents();
    void noticeHeldKey(const KeyEvent &event);
    runtime::Task<void> endHoldOnceSettled(qint64 carbonKeyCode);
    void endHolds(const std::set<qint64> &keys);
    bool registerWithSystem(HotKey &hotKey);
    void unregisterFromSystem(HotKey &hotKey);
    void handleHotKeyEvent(const platform::HotKeyEvent &event);
    std::vector<std::shared_ptr<HotKey>> liveHotKeys() const;

    platform::HotKeyBackend &m_backend;
    const platform::KeyboardLayout &m_layout;
    runtime::Clock &m_clock;
    quint32 m_lastHotKeyId = 0;
    std::map<quint32, std::weak_ptr<HotKey>> m_hotKeys;
    bool m_isHandlerInstalled = false;
    bool m_isEnabled = true;
    bool m_isMenuOpen = false;
    bool m_isHotKeyEventHandlingEnabled = false;
    bool m_isOwnKeyEventHandlingEnabled = false;
    Mode m_mode = Mode::normal;
    LocalEventMonitor *m_ownKeyEvents = nullptr;
    // Keys whose press ran a hot key while a menu is open, until they are released.
    std::map<qint64, std::weak_ptr<HotKey>> m_keysHeldInMenu;
    std::set<qint64> m_heldKeys;
    // Releases of held keys waiting to see whether a press follows.
    std::map<qint64, runtime::TaskHandle<void>> m_pendingReleases;
    runtime::TaskScope m_tasks;
};

} // namespace vantora::GlobalShortcuts

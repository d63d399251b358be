#pragma once

#include <QString>
#include <QtGlobal>

#include <chrono>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace vantora::platform {

// Posted on the application's notification centre when a desktop that binds shortcuts on
// its own time answers, or starts asking the user (see HotKeyBackend::desktopBinding).
inline const QString desktopTriggersDidChange = QStringLiteral("HotKeys_desktopTriggersDidChange");

// A press or release of a registered hot key, reported by the id it was registered with.
struct HotKeyEvent {
    enum class Kind : quint8 { pressed, released };
    Kind kind = Kind::pressed;
    quint32 hotKeyId = 0;
};

// The desktop's word on a combination, where the desktop and not the registration decides.
struct DesktopBinding {
    enum class State : quint8 {
        // The desktop is asking the user whether to bind it (its dialog is open).
        asking,
        bound,
        refused,
        // The desktop let the time we give it pass without an answer: neither bound nor a No.
        // Its late answer, or what it lists the next time it is asked, decides.
        unconfirmed,
        // The desktop's shortcut service went (killed, restarting): nothing fires until it is
        // back and has been asked again.
        serviceGone,
    };
    // Why the desktop bound nothing.
    enum class Refusal : quint8 {
        // The desktop did not say; most often another program has the keys.
        unexplained,
        // The desktop's key handler gave the keys to another program first.
        keysTaken,
        // The desktop binds only for programs it knows by an application id, and knows us by none.
        noApplicationId,
        // The user turned the desktop's request down.
        cancelled,
    };
    State state = State::bound;
    // What fires it, in Qt's portable text ("Ctrl+Alt+K"); only when bound, and empty where
    // the desktop's words for the keys could not be read.
    QString trigger;
    Refusal refusal = Refusal::unexplained;
    // Bound to other keys than ours that the desktop chose without our asking (changed in its
    // settings, or kept from before): the desktop's keys for the action, not an answer to
    // keys just recorded.
    bool isChosenByDesktop = false;

    static DesktopBinding asking() { return {State::asking, {}, Refusal::unexplained}; }
    static DesktopBinding boundTo(const QString &trigger) { return {State::bound, trigger, Refusal::unexplained}; }
    static DesktopBinding boundToUnknownKeys() { return {State::bound, {}, Refusal::unexplained}; }
    static DesktopBinding chosenByDesktop(const QString &trigger)
    {
        return {State::bound, trigger, Refusal::unexplained, true};
    }
    static DesktopBinding refused(Refusal why) { return {State::refused, {}, why}; }
    static DesktopBinding unconfirmed() { return {State::unconfirmed, {}, Refusal::unexplained}; }
    static DesktopBinding serviceGone() { return {State::serviceGone, {}, Refusal::unexplained}; }

    friend bool operator==(const DesktopBinding &, const DesktopBinding &) = default;
};

// How the desktop repeats a held key.
struct KeyRepeat {
    std::chrono::milliseconds delay{660};
    std::chrono::milliseconds interval{40};
};

// A system-wide shortcut the desktop reserves for itself: Carbon key code and modifier bits.
using SystemHotKey = std::pair<qint64, qint64>;

using HotKeyRef = quint64;

struct HotKeyRegistration {
    enum class Status : quint8 {
        registered,
        // No X server to grab on (a Wayland session without X11, or the server went away).
        unavailable,
        // The key code names no key on this keyboard.
        noSuchKey,
        // A modifier the keyboard does not have (Fn, or no key mapped to Alt or Super).
        unsupportedModifier,
        // Another program holds the combination.
        taken,
    };
    Status status = Status::unavailable;
    // Valid only when registered.
    HotKeyRef ref = 0;

    bool succeeded() const noexcept { return status == Status::registered; }
};

// System-wide hot keys: keys that reach us whichever window has the focus. Key codes and
// modifiers are Carbon's (command 0x100, shift 0x200, option 0x800, control 0x1000,
// function 0x20000); other modifier bits are ignored. Everything runs on the main thread.
class HotKeyBackend {
public:
    using EventHandler = std::function<void(const HotKeyEvent &)>;

    virtual ~HotKeyBackend() = default;

    // Takes the combination system-wide at once. Registering a combination we already
    // hold succeeds again; each registration is released on its own.
    virtual HotKeyRegistration registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, quint32 hotKeyId) = 0;
    // Releases one registration; unknown refs are ignored.
    virtual void unregisterHotKey(HotKeyRef ref) = 0;

    // Sets the one receiver of hot-key events. False when events cannot be delivered.
    virtual bool installHandler(EventHandler handler) = 0;
    // Events reach the handler only while attached; detached, they are dropped.
    virtual void setEventsAttached(bool attached) = 0;

    // Whether another program holds the combination now. Our own registrations do not count.
    virtual bool isTakenByAnotherProgram(quint32 carbonKeyCode, quint32 carbonModifiers) = 0;
    // The system's reserved shortcuts that can be listed (none on X11: ask
    // isTakenByAnotherProgram instead).
    virtual std::vector<SystemHotKey> systemHotKeys() = 0;
    virtual KeyRepeat keyRepeat() = 0;

    // Whether the desktop, not the registration, has the last word on every combination: its
    // word comes through desktopBinding, later.
    virtual bool desktopDecides() const { return false; }

    // The actions that keys run changed (a shortcut stored or cleared). A backend that lists
    // its hot keys with the desktop by their action looks again: keys let go of before (a
    // recording under way) that no longer run their action are let go of on the desktop's side.
    virtual void actionsChanged() {}

    // Where the desktop, not the registration, has the last word on a combination (a portal
    // answers later, may ask the user first, and may bind other keys or none). None until it
    // answers or starts asking, and always where registering decides.
    virtual std::optional<DesktopBinding> desktopBinding(quint32 carbonKeyCode, quint32 carbonModifiers) const
    {
        Q_UNUSED(carbonKeyCode)
        Q_UNUSED(carbonModifiers)
        return std::nullopt;
    }
};

} // namespace vantora::platform

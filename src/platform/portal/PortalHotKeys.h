#pragma once

#include "platform/HotKeyBackend.h"
#include "platform/portal/PortalAnswerRules.h"

#include <QDBusConnection>
#include <QProcessEnvironment>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace vantora::runtime {
class NotificationCenter;
class UserDefaults;
} // namespace vantora::runtime

namespace vantora::platform {

class XkbKeyboardLayout;

// How the desktop lists one of our shortcuts: by an id that stays the same whatever keys run
// it, so that the desktop keeps one entry per action, and by what the action does, in our words.
struct PortalAction {
    QString id;
    QString description;
};
// The action a combination runs, for the desktop's list; none for keys that run no action.
using PortalActionOfKeys = std::function<std::optional<PortalAction>(quint32 carbonKeyCode, quint32 carbonModifiers)>;

// The desktop of a session, from its environment (XDG_CURRENT_DESKTOP).
PortalDesktop portalDesktopOf(const QProcessEnvironment &environment);

// How long we wait for an answer where a clock may end the wait. Binding may wait for a person
// to answer in the desktop's window: past `binding` the bind is not confirmed yet (see
// DesktopBinding::State::unconfirmed), and the desktop's answer is still taken. The services
// beside the portal (the desktop's key daemon, the backends of a portal that went, GNOME's
// settings service) may hang: what they leave unanswered past `other` counts as unanswered. The
// portal itself is waited for until it answers or goes: telling it our id, closing, opening and
// listing a session have no deadline, so a slow portal is never taken for one that refused.
struct PortalDeadlines {
    std::chrono::milliseconds binding{std::chrono::seconds(45)};
    std::chrono::milliseconds other{std::chrono::seconds(10)};
};

// System-wide shortcuts through the desktop's GlobalShortcuts portal, for Wayland sessions:
// there no X client sees a key while a native window has the focus, and the desktop alone
// decides which keys reach a program. Every combination is offered with its keys as the
// preferred trigger; the desktop answers later, and may bind other keys or none (it may even
// ask the user first), so registering succeeds at once and what the desktop bound is told
// through desktopBinding() and the `desktopTriggersDidChange` notification.
//
// Asking a desktop to bind is not free: Plasma opens its shortcut settings at every request,
// GNOME may show a dialog. So the desktop is first asked what it holds for us already, and
// asked to bind only what it lacks.
//
// The portal is followed: a restart of it, or a session the desktop closes, binds again
// (asking nobody for what the desktop holds; a new portal is told our id first), and keys
// changed in the desktop's settings are told (PortalDeadlines says where a clock ends a wait).
// A clear or keys recorded while no portal is there are taken to the next one. Only the
// desktop's answer is a No: a bind past its deadline is not confirmed until the
// desktop answers after all, or lists the shortcut when next asked, or the keys are recorded
// again, which asks again. A shortcut cleared (its keys let go, and no longer naming its
// action) is let go on the desktop's side too, where the desktop saved it.
//
// A press is the portal's Activated, a release its Deactivated; the desktop's key repeat
// sends Activated again while a key is held, and those are not passed on.
class PortalHotKeys final : public HotKeyBackend {
public:
    // Whether a desktop portal on `bus` offers global shortcuts, without waiting: `offered` runs
    // once a portal says yes, however late, and once only; a portal not on the bus yet is asked
    // when it comes, and one that takes the name from another is asked anew. Never for a no;
    // nothing runs once `context` is gone.
    static void whenOffered(const QDBusConnection &bus, QObject *context, std::function<void()> offered);

    // `sessionToken` names our entry in the desktop's shortcut settings and must stay the
    // same from run to run: the application id, which each portal on `bus` is told first
    // (tellPortalOurId), so `bus` is a connection no other portal call goes through;
    // `actionOfKeys` names the shortcuts (keys of no action are listed by their keys and the
    // application's name); `desktop` answers the binds; `kept` keeps, beside the shortcuts, the
    // keys the desktop may hold for them, for the next run. The layout, notification centre
    // and defaults must outlive the backend.
    PortalHotKeys(const QDBusConnection &bus, const XkbKeyboardLayout &layout,
                  runtime::NotificationCenter &notifications, runtime::UserDefaults &kept, const QString &sessionToken,
                  PortalActionOfKeys actionOfKeys, PortalDesktop desktop = PortalDesktop::other,
                  PortalDeadlines deadlines = {});
    ~PortalHotKeys() override;

    HotKeyRegistration registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, quint32 hotKeyId) override;
    void unregisterHotKey(HotKeyRef ref) override;
    bool installHandler(EventHandler handler) override;
    void setEventsAttached(bool attached) override;
    // The desktop answers for its own keys when it binds ours (desktopTrigger).
    bool isTakenByAnotherProgram(quint32 carbonKeyCode, quint32 carbonModifiers) override;
    std::vector<SystemHotKey> systemHotKeys() override;
    KeyRepeat keyRepeat() override;
    bool desktopDecides() const override { return true; }
    void actionsChanged() override;
    std::optional<DesktopBinding> desktopBinding(quint32 carbonKeyCode, quint32 carbonModifiers) const override;

    class Session;

private:
    std::unique_ptr<Session> m_session;
};

} // namespace vantora::platform

#include "platform/portal/PortalHotKeys.h"

#include "platform/portal/PortalBus.h"
#include "platform/portal/PortalSession.h"

#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>

#include <memory>
#include <utility>

namespace vantora::platform {

PortalDesktop portalDesktopOf(const QProcessEnvironment &environment)
{
    const QStringList desktops = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP")).split(QLatin1Char(':'));
    return desktops.contains(QStringLiteral("GNOME"), Qt::CaseInsensitive) ? PortalDesktop::gnome : PortalDesktop::other;
}

void PortalHotKeys::whenOffered(const QDBusConnection &bus, QObject *context, std::function<void()> offered)
{
    // The question waits for the portal's answer however long it takes (a portal starting at
    // login, a loaded machine); only a change of the name's owner drops it, and asks whoever
    // has the name now (a portal that was not on the bus yet, one that took the name from
    // another). The watch goes once one says yes. Watched before the first question: the name
    // may change hands while it is asked.
    auto *watch = new QDBusServiceWatcher(portalService, bus, QDBusServiceWatcher::WatchForOwnerChange, context);
    auto pending = std::make_shared<std::function<void()>>(std::move(offered));
    const auto drop = [watch] { qDeleteAll(watch->findChildren<QDBusPendingCallWatcher *>(Qt::FindDirectChildrenOnly)); };
    const auto ask = [bus, watch, pending] {
        auto *answer = new QDBusPendingCallWatcher(bus.asyncCall(shortcutsVersionCall(), untilAnswered), watch);
        QObject::connect(answer, &QDBusPendingCallWatcher::finished, watch, [answer, watch, pending] {
            answer->deleteLater();
            if (!offersShortcuts(answer->reply()) || !*pending)
                return;
            watch->deleteLater();
            std::exchange(*pending, {})();
        });
    };
    QObject::connect(watch, &QDBusServiceWatcher::serviceOwnerChanged, watch,
                     [drop, ask](const QString &, const QString &, const QString &newOwner) {
                         drop();
                         if (!newOwner.isEmpty())
                             ask();
                     });
    ask();
}

PortalHotKeys::PortalHotKeys(const QDBusConnection &bus, const XkbKeyboardLayout &layout,
                             runtime::NotificationCenter &notifications, runtime::UserDefaults &kept, const QString &sessionToken,
                             PortalActionOfKeys actionOfKeys, PortalDesktop desktop, PortalDeadlines deadlines)
    : m_session(std::make_unique<Session>(bus, layout, notifications, kept, sessionToken, std::move(actionOfKeys), desktop,
                                          deadlines))
{
}

PortalHotKeys::~PortalHotKeys() = default;

HotKeyRegistration PortalHotKeys::registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, quint32 hotKeyId)
{
    return m_session->registerHotKey(carbonKeyCode, carbonModifiers, hotKeyId);
}

void PortalHotKeys::unregisterHotKey(HotKeyRef ref)
{
    m_session->unregisterHotKey(ref);
}

bool PortalHotKeys::installHandler(EventHandler handler)
{
    m_session->installHandler(std::move(handler));
    return true;
}

void PortalHotKeys::setEventsAttached(bool attached)
{
    m_session->setEventsAttached(attached);
}

bool PortalHotKeys::isTakenByAnotherProgram(quint32, quint32)
{
    return false;
}

std::vector<SystemHotKey> PortalHotKeys::systemHotKeys()
{
    return {};
}

KeyRepeat PortalHotKeys::keyRepeat()
{
    // The desktop repeats the key itself and does not say how fast: the usual values.
    return {};
}

void PortalHotKeys::actionsChanged()
{
    m_session->actionsChanged();
}

std::optional<DesktopBinding> PortalHotKeys::desktopBinding(quint32 carbonKeyCode, quint32 carbonModifiers) const
{
    return m_session->desktopBinding(carbonKeyCode, carbonModifiers);
}

} // namespace vantora::platform


#pragma once

#include "statusitem/StatusItemIdentity.h"
#include "statusitem/StatusItemObjects.h"

#include <optional>

namespace vantora::statusitem {

// Finding the tray item and its panel window among the application's windows, and reading
// what the other parts need to know about them. Nothing is cached: every call walks the
// window list afresh. Nothing fails: a missing piece gives none or false.
namespace StatusItemUtils {

// Class-name facts of the objects the lookups recognise.
inline const QString statusBarWindowClass = QStringLiteral("NSStatusBarWindow");
inline const QString extraWindowClass = QStringLiteral("MenuBarExtraWindow");
inline const QString statusItemClass = QStringLiteral("NSStatusItem");
inline const QString sceneStatusItemClass = QStringLiteral("NSSceneStatusItem");
inline const QString statusItemKey = QStringLiteral("statusItem");

// Private method names of items that present their extra through sessions.
namespace selector {
inline const QString beginExpandedInterfaceSession = QStringLiteral("_beginExpandedInterfaceSession:");
inline const QString expandedInterfaceSession = QStringLiteral("expandedInterfaceSession");
inline const QString expandedInterfaceDelegate = QStringLiteral("expandedInterfaceDelegate");
inline const QString setExpandedInterfaceDelegate = QStringLiteral("setExpandedInterfaceDelegate:");
inline const QString cancel = QStringLiteral("cancel");
} // namespace selector

// Reflection paths read from an extra's configuration.
inline const QString labelKeyPath =
    QStringLiteral("configuration.label.storage.view.content.title.storage.anyTextStorage.key.key");
inline const QString labelPath = QStringLiteral("configuration.label");
inline const QString isMenuBasedPath = QStringLiteral("configuration.isMenuBased");

// The key under which a stashed delegate hangs on its item.
const void *expandedInterfaceDelegateKey();

// The application's tray items of the expected class, in window order.
std::vector<std::shared_ptr<StatusItem>> statusItems(const PlatformApplication &application);
// None for no identity means the first item.
std::shared_ptr<StatusItem> statusItem(const PlatformApplication &application,
                                       const std::optional<StatusItemIdentity> &identity);
// The extra's panel window.
std::shared_ptr<Window> window(const PlatformApplication &application, const std::optional<StatusItemIdentity> &identity);
// The tray item a tray or extra window belongs to: its "statusItem" value, else the
// reflected field of that name.
std::shared_ptr<StatusItem> fetchStatusItem(const Window &window);
// The button's target, else the item's delegate, else the stashed delegate.
ObjectPtr controller(StatusItem &item);
ObjectPtr stashedExpandedInterfaceDelegate(const StatusItem &item);
// The extra's title key, else the decimal hash of its label's description (printing
// "hash: N" on standard output), else none.
std::optional<QString> identifier(const Mirror &mirror);
// No controller: true. A controller without a base class part: false.
bool isMenuBased(StatusItem &item);

bool windowNotificationMatches(const PlatformApplication &application, const ObjectPtr &object, int index);
void forwardWindowNotification(const ObjectPtr &object, const std::function<void(Window &)> &action);

} // namespace StatusItemUtils

} // namespace vantora::statusitem

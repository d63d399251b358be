#include "statusitem/StatusItemUtils.h"

#include <QHash>
#include <QTextStream>

namespace vantora::statusitem::StatusItemUtils {

namespace {

std::vector<std::shared_ptr<Window>> windowsWhoseClassContains(const PlatformApplication &application,
                                                              const QString &fragment)
{
    std::vector<std::shared_ptr<Window>> found;
    for (auto &window : application.windows()) {
        if (window->className().contains(fragment))
            found.push_back(std::move(window));
    }
    return found;
}

std::optional<QString> superclassIdentifier(const ObjectPtr &object)
{
    const Mirror mirror = object->mirror();
    if (!mirror.superclassMirror)
        return std::nullopt;
    return identifier(*mirror.superclassMirror);
}

} // namespace

const void *expandedInterfaceDelegateKey()
{
    static const char key = 0;
    return &key;
}

std::vector<std::shared_ptr<StatusItem>> statusItems(const PlatformApplication &application)
{
    const QString &expectedClass = application.usesSceneStatusItems() ? sceneStatusItemClass : statusItemClass;
    std::vector<std::shared_ptr<StatusItem>> items;
    for (const auto &window : windowsWhoseClassContains(application, statusBarWindowClass)) {
        auto item = fetchStatusItem(*window);
        if (item && item->className() == expectedClass)
            items.push_back(std::move(item));
    }
    return items;
}

std::shared_ptr<StatusItem> statusItem(const PlatformApplication &application,
                                       const std::optional<StatusItemIdentity> &identity)
{
    const auto items = statusItems(application);
    if (!identity)
        return items.empty() ? nullptr : items.front();
    if (const auto *index = std::get_if<StatusItemIdentity::Index>(&identity->kind)) {
        if (index->value < 0 || index->value >= int(items.size()))
            return nullptr;
        return items[std::size_t(index->value)];
    }
    const QString &wanted = std::get<StatusItemIdentity::Id>(identity->kind).value;
    for (const auto &item : items) {
        const ObjectPtr owner = controller(*item);
        if (owner && superclassIdentifier(owner) == wanted)
            return item;
    }
    return nullptr;
}

std::shared_ptr<Window> window(const PlatformApplication &application, const std::optional<StatusItemIdentity> &identity)
{
    const auto candidates = windowsWhoseClassContains(application, extraWindowClass);
    if (!identity)
        return candidates.empty() ? nullptr : candidates.front();
    if (std::holds_alternative<StatusItemIdentity::Index>(identity->kind)) {
        const auto item = statusItem(application, identity);
        if (!item)
            return nullptr;
        for (const auto &candidate : candidates) {
            if (fetchStatusItem(*candidate) == item)
                return candidate;
        }
        return nullptr;
    }
    const QString &wanted = std::get<StatusItemIdentity::Id>(identity->kind).value;
    for (const auto &candidate : candidates) {
        if (identifier(candidate->mirror()) == wanted)
            return candidate;
    }
    return nullptr;
}

std::shared_ptr<StatusItem> fetchStatusItem(const Window &window)
{
    if (auto item = objectAs<StatusItem>(window.valueForKey(statusItemKey)))
        return item;
    return objectAs<StatusItem>(window.mirror().descendant(statusItemKey));
}

ObjectPtr controller(StatusItem &item)
{
    if (const auto &button = item.button(); button && button->target())
        return button->target();
    if (item.respondsTo(selector::expandedInterfaceDelegate)) {
        if (ObjectPtr delegate = item.perform(selector::expandedInterfaceDelegate))
            return delegate;
    }
    return stashedExpandedInterfaceDelegate(item);
}

ObjectPtr stashedExpandedInterfaceDelegate(const StatusItem &item)
{
    const auto stash = std::dynamic_pointer_cast<WeakRef>(item.associatedObject(expandedInterfaceDelegateKey()));
    return stash ? stash->object.lock() : nullptr;
}

std::optional<QString> identifier(const Mirror &mirror)
{
    const Value key = mirror.descendant(labelKeyPath);
    if (const auto *text = std::get_if<QString>(&key))
        return *text;
    const Value label = mirror.descendant(labelPath);
    if (const auto *view = std::get_if<ViewLabel>(&label)) {
        // Any hash will do: the identifier need not survive the process.
        const QString hash = QString::number(qint64(qHash(view->description)));
        QTextStream(stdout) << "hash: " << hash << '\n';
        return hash;
    }
    return std::nullopt;
}

bool isMenuBased(StatusItem &item)
{
    const ObjectPtr owner = controller(item);
    if (!owner)
        return true;
    const Mirror mirror = owner->mirror();
    if (!mirror.superclassMirror)
        return false;
    const Value menuBased = mirror.superclassMirror->descendant(isMenuBasedPath);
    const auto *flag = std::get_if<bool>(&menuBased);
    return flag && *flag;
}

bool windowNotificationMatches(const PlatformApplication &application, const ObjectPtr &object, int index)
{
    const auto notified = std::dynamic_pointer_cast<Window>(object);
    if (!notified)
        return false;
    return window(application, StatusItemIdentity::index(index)) == notified;
}

void forwardWindowNotification(const ObjectPtr &object, const std::function<void(Window &)> &action)
{
    if (const auto notified = std::dynamic_pointer_cast<Window>(object))
        action(*notified);
}

} // namespace vantora::statusitem::StatusItemUtils

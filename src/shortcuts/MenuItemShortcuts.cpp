#include "MenuItemShortcuts.h"

#include "shortcuts/ShortcutNotifications.h"
#include "shortcuts/ShortcutStorage.h"

#include "runtime/NotificationCenter.h"

#include <QAction>

namespace vantora::GlobalShortcuts {

namespace {

// Lives as a child of a bound item, so it dies with it, and owns the item's observer.
class MenuItemBinding final : public QObject {
    Q_OBJECT
public:
    explicit MenuItemBinding(QAction &item)
        : QObject(&item)
        , m_fallback(item.shortcuts())
    {
    }

    QAction &item() const { return *static_cast<QAction *>(parent()); }
    // The item's key sequences from before its first binding.
    const QList<QKeySequence> &fallback() const noexcept { return m_fallback; }

private:
    const QList<QKeySequence> m_fallback;
};

MenuItemBinding *bindingOf(QAction &item)
{
    return item.findChild<MenuItemBinding *>(QString(), Qt::FindDirectChildrenOnly);
}

QKeySequence sequenceOf(const Shortcut &shortcut, const platform::KeyboardLayout &layout)
{
    return shortcut.keySequence(layout).value_or(QKeySequence());
}

void showStoredShortcut(const MenuItemBinding &binding, const Name &name, const ShortcutStorage &storage,
                        const platform::KeyboardLayout &layout)
{
    if (const auto shortcut = storage.getShortcut(name))
        binding.item().setShortcut(sequenceOf(*shortcut, layout));
    else
        binding.item().setShortcuts(binding.fallback());
}

} // namespace

MenuItemShortcuts::MenuItemShortcuts(ShortcutStorage &storage, runtime::NotificationCenter &notifications,
                                     const platform::KeyboardLayout &layout)
    : m_storage(storage)
    , m_notifications(notifications)
    , m_layout(layout)
{
}

void MenuItemShortcuts::bindShortcut(QAction &item, const std::optional<Name> &name)
{
    MenuItemBinding *binding = bindingOf(item);
    if (!name) {
        item.setShortcuts(binding ? binding->fallback() : QList<QKeySequence>());
        delete binding;
        return;
    }
    if (binding)
        m_notifications.removeObservers(binding);
    else
        binding = new MenuItemBinding(item);
    showStoredShortcut(*binding, *name, m_storage, m_layout);
    m_notifications.addObserver(binding, shortcutByNameDidChange,
                                [binding, name = *name, &storage = m_storage,
                                 &layout = m_layout](const runtime::Notification &notification) {
                                    const auto changed = shortcutName(notification);
                                    if (changed && changed->rawValue == name.rawValue)
                                        showStoredShortcut(*binding, name, storage, layout);
                                });
}

void MenuItemShortcuts::setShortcut(QAction &item, const std::optional<Shortcut> &shortcut)
{
    delete bindingOf(item);
    item.setShortcut(shortcut ? sequenceOf(*shortcut, m_layout) : QKeySequence());
}

} // namespace vantora::GlobalShortcuts

#include "MenuItemShortcuts.moc"

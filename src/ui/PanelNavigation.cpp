#include "ui/PanelNavigation.h"

#include <QApplication>
#include <QHash>
#include <QWidget>

namespace vantora {

namespace {

QHash<const QWidget *, OpenShortcutsAction> &published()
{
    static QHash<const QWidget *, OpenShortcutsAction> actions;
    return actions;
}

} // namespace

void FocusedShortcuts::publish(QWidget *window, OpenShortcutsAction action)
{
    if (!published().contains(window))
        QObject::connect(window, &QObject::destroyed, qApp, [window] { published().remove(window); });
    published().insert(window, std::move(action));
}

std::optional<OpenShortcutsAction> FocusedShortcuts::of(const QWidget *window)
{
    const auto found = published().constFind(window);
    if (found == published().cend())
        return std::nullopt;
    return *found;
}

std::optional<OpenShortcutsAction> FocusedShortcuts::ofActiveWindow()
{
    return of(QApplication::activeWindow());
}

} // namespace vantora

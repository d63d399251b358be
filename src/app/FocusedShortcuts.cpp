#include "app/FocusedShortcuts.h"

#include "ui/FocusedValues.h"

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

std::optional<OpenShortcutsAction> FocusedShortcuts::ofActiveWindow()
{
    const auto found = published().constFind(QApplication::activeWindow());
    if (found != published().cend() && *found)
        return *found;
    // A lights panel the application did not build (the example windows make their own)
    // offers its action itself.
    if (auto offered = ui::FocusedValues::in(QApplication::activeWindow(), focusedOpenShortcutsKey); offered && *offered)
        return offered;
    return std::nullopt;
}

} // namespace vantora

#include "ui/WindowPalettes.h"

#include "ui/EnvironmentKeys.h"
#include "ui/SchemePalette.h"

#include <QApplication>
#include <QWidget>

namespace vantora::ui {

namespace {

// A window shown again may stand in another scheme than when it last showed.
bool mayWantNewPalette(const QEvent &event)
{
    if (event.type() == QEvent::Show)
        return true;
    return event.type() == EnvironmentChangeEvent::eventType() &&
        static_cast<const EnvironmentChangeEvent &>(event).key() == colorSchemeKey.name();
}

} // namespace

WindowPalettes::WindowPalettes(QObject *parent) : QObject(parent)
{
    qApp->installEventFilter(this);
}

bool WindowPalettes::eventFilter(QObject *watched, QEvent *event)
{
    // A scheme change reaches a window before anything inside it, so its contents read the
    // new palette when they follow the change themselves.
    if (mayWantNewPalette(*event) && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->isWindow())
            followScheme(*widget);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vantora::ui

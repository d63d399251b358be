#include "ui/Environment.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace vantora::ui {

namespace {

Environment *hostedScope(const QWidget *widget)
{
    return widget->findChild<Environment *>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

EnvironmentChangeEvent::EnvironmentChangeEvent(QByteArray key)
    : QEvent(eventType())
    , m_key(std::move(key))
{
}

QEvent::Type EnvironmentChangeEvent::eventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

Environment::Environment(QWidget *host)
    : QObject(host)
    , m_host(host)
{
}

Environment &Environment::root()
{
    static Environment *const instance = new Environment(nullptr);
    return *instance;
}

Environment &Environment::scope(QWidget *host)
{
    Q_ASSERT(host);
    if (Environment *existing = hostedScope(host))
        return *existing;
    return *new Environment(host);
}

Environment &Environment::of(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (Environment *found = hostedScope(w))
            return *found;
    }
    return root();
}

const Environment *Environment::parentScope() const
{
    if (!m_host)
        return nullptr;
    if (const QWidget *parent = m_host->parentWidget())
        return &of(parent);
    return &root();
}

const std::any *Environment::lookup(const QByteArray &key) const
{
    for (const Environment *scope = this; scope; scope = scope->parentScope()) {
        if (const auto found = scope->m_values.find(key); found != scope->m_values.end())
            return &found->second;
    }
    return nullptr;
}

void Environment::propagate(const QByteArray &key, EnvironmentUpdate update)
{
    Q_EMIT changed(key);
    if (m_host) {
        deliver(m_host, key, update);
        return;
    }
    // The root covers every window without a parent widget; windows with one (popups) are
    // reached through their parent.
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (!window->parentWidget())
            deliver(window, key, update);
    }
}

void Environment::deliver(QWidget *widget, const QByteArray &key, EnvironmentUpdate update)
{
    if (Environment *scope = hostedScope(widget); scope && scope != this) {
        if (scope->sets(key))
            return; // this subtree keeps its own value
        Q_EMIT scope->changed(key);
    }
    EnvironmentChangeEvent event(key);
    QCoreApplication::sendEvent(widget, &event);
    if (update == EnvironmentUpdate::Repaint)
        widget->update();

    // A handler may delete or add children; walk guarded copies.
    QList<QPointer<QWidget>> children;
    for (QObject *child : widget->children()) {
        if (auto *childWidget = qobject_cast<QWidget *>(child))
            children.append(childWidget);
    }
    for (const auto &child : children) {
        if (child)
            deliver(child, key, update);
    }
}

} // namespace vantora::ui

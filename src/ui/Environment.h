#pragma once

#include <QByteArray>
#include <QEvent>
#include <QObject>

#include <any>
#include <concepts>
#include <map>
#include <utility>

class QWidget;

namespace vantora::ui {

// What a change of a key does to the widgets it reaches, besides the change event.
enum class EnvironmentUpdate {
    Notify,
    // Also repaints them: the key decides how things look (the colour scheme).
    Repaint,
};

// A typed name for one environment value, with the value every scope sees until some scope
// sets it. Keys are told apart by name; declare each key once, as a constant.
template <typename T>
class EnvironmentKey final {
public:
    EnvironmentKey(const char *name, T defaultValue, EnvironmentUpdate update = EnvironmentUpdate::Notify)
        : m_name(name)
        , m_defaultValue(std::move(defaultValue))
        , m_update(update)
    {
    }

    const QByteArray &name() const noexcept { return m_name; }
    const T &defaultValue() const noexcept { return m_defaultValue; }
    EnvironmentUpdate update() const noexcept { return m_update; }

private:
    QByteArray m_name;
    T m_defaultValue;
    EnvironmentUpdate m_update;
};

// Sent to every widget whose value of `key` changed.
class EnvironmentChangeEvent final : public QEvent {
public:
    explicit EnvironmentChangeEvent(QByteArray key);
    const QByteArray &key() const noexcept { return m_key; }
    static QEvent::Type eventType();

private:
    QByteArray m_key;
};

// Values handed down the widget tree: a scope hosted by a widget sets values for that widget
// and everything inside it (popups included, as they keep their parent widget); a widget
// reads the nearest scope that sets a key, else the application's root scope, else the key's
// default. Lookups walk the live parent chain, so a reparented widget reads its new
// surroundings at once.
//
// Setting a value that changes what a scope answers emits `changed` on that scope and on every
// scope inside it that does not set the key itself, and sends an EnvironmentChangeEvent to
// every widget so reached. Setting an equal value does nothing.
class Environment final : public QObject {
    Q_OBJECT
public:
    // The application's outermost scope, read by widgets that no other scope covers.
    static Environment &root();
    // The scope hosted by `host`, created on first use.
    static Environment &scope(QWidget *host);
    // The nearest scope around `widget` (its own included), else the root.
    static Environment &of(const QWidget *widget);

    template <typename T>
    T value(const EnvironmentKey<T> &key) const
    {
        if (const std::any *stored = lookup(key.name()))
            return std::any_cast<T>(*stored);
        return key.defaultValue();
    }

    template <typename T>
    void set(const EnvironmentKey<T> &key, T newValue)
    {
        const T before = value(key);
        const bool changed = differs(before, newValue);
        m_values[key.name()] = std::move(newValue);
        if (changed)
            propagate(key.name(), key.update());
    }

    // Stops setting `key` here, so the scope answers what its surroundings do.
    template <typename T>
    void unset(const EnvironmentKey<T> &key)
    {
        const auto found = m_values.find(key.name());
        if (found == m_values.end())
            return;
        const T before = std::any_cast<T>(found->second);
        m_values.erase(found);
        if (differs(before, value(key)))
            propagate(key.name(), key.update());
    }

    bool sets(const QByteArray &key) const { return m_values.contains(key); }

Q_SIGNALS:
    void changed(const QByteArray &key);

private:
    explicit Environment(QWidget *host);

    template <typename T>
    static bool differs(const T &a, const T &b)
    {
        if constexpr (std::equality_comparable<T>)
            return !(a == b);
        else
            return true; // values that cannot be compared (actions) always count as new
    }

    const Environment *parentScope() const;
    const std::any *lookup(const QByteArray &key) const;
    void propagate(const QByteArray &key, EnvironmentUpdate update);
    void deliver(QWidget *widget, const QByteArray &key, EnvironmentUpdate update);

    QWidget *m_host;
    std::map<QByteArray, std::any> m_values;
};

} // namespace vantora::ui

#pragma once

#include <QByteArray>
#include <QPointer>
#include <QWidget>

#include <any>
#include <optional>
#include <vector>

namespace vantora::ui {

// The name of a value that a view offers to the application's commands while the view's
// window is the active one (the menu command that opens the shortcuts page runs the action
// of the panel in front). Declare each key once, as a constant.
template <typename T>
class FocusedValueKey final {
public:
    explicit FocusedValueKey(const char *name) : m_name(name) {}
    const QByteArray &name() const noexcept { return m_name; }

private:
    QByteArray m_name;
};

// Values offered by views to whatever acts on their window. An offer lasts until its view
// withdraws it or is destroyed; it follows the view into another window. When several views
// of one window offer the same key, the latest offer counts.
class FocusedValues final {
public:
    template <typename T>
    static void offer(QWidget *provider, const FocusedValueKey<T> &key, T value)
    {
        withdraw(provider, key.name());
        offers().push_back({provider, key.name(), std::move(value)});
    }

    template <typename T>
    static void withdraw(QWidget *provider, const FocusedValueKey<T> &key)
    {
        withdraw(provider, key.name());
    }

    // The value offered in `window` (a top-level widget); absent without an offer.
    template <typename T>
    static std::optional<T> in(const QWidget *window, const FocusedValueKey<T> &key)
    {
        if (const std::any *value = find(window, key.name()))
            return std::any_cast<T>(*value);
        return std::nullopt;
    }

    // The value offered in the application's active window.
    template <typename T>
    static std::optional<T> active(const FocusedValueKey<T> &key)
    {
        return in(activeWindow(), key);
    }

private:
    struct Offer final {
        QPointer<QWidget> provider;
        QByteArray key;
        std::any value;
    };

    static std::vector<Offer> &offers();
    static void withdraw(const QWidget *provider, const QByteArray &key);
    static const std::any *find(const QWidget *window, const QByteArray &key);
    static const QWidget *activeWindow();
};

} // namespace vantora::ui

#pragma once

#include <functional>
#include <utility>

namespace vantora::runtime {

// One tracked value of an observable class. The owner passes the emission of its change
// signal; `set` stores and announces only a real change (`!(old == new)`), so views never
// redraw for nothing. Announcements are synchronous, after the value is stored, so
// several assignments announce in the order they were made.
//
//     runtime::Property<bool> m_isRefreshing{false, [this] { Q_EMIT isRefreshingChanged(); }};
template <typename T>
class Property final {
public:
    using Notify = std::function<void()>;

    // `afterAssign` runs after every assignment, changed or not, following the change signal.
    explicit Property(T initial = T{}, Notify onChange = {}, Notify afterAssign = {})
        : m_value(std::move(initial))
        , m_onChange(std::move(onChange))
        , m_afterAssign(std::move(afterAssign))
    {
    }

    Property(const Property &) = delete;
    Property &operator=(const Property &) = delete;

    const T &get() const noexcept { return m_value; }
    const T &operator*() const noexcept { return m_value; }
    const T *operator->() const noexcept { return &m_value; }

    // Returns whether the value changed (and was announced).
    bool set(T value)
    {
        const bool changed = !(m_value == value);
        m_value = std::move(value);
        announce(changed);
        return changed;
    }

    // Stores and announces even an equal value.
    void setAlways(T value)
    {
        m_value = std::move(value);
        announce(true);
    }

    // Changes the value in place and announces it.
    template <typename Change>
    void mutate(Change &&change)
    {
        std::forward<Change>(change)(m_value);
        announce(true);
    }

private:
    void announce(bool changed)
    {
        if (changed && m_onChange)
            m_onChange();
        if (m_afterAssign)
            m_afterAssign();
    }

    T m_value;
    Notify m_onChange;
    Notify m_afterAssign;
};

} // namespace vantora::runtime

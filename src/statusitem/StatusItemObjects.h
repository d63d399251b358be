#pragma once

#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace vantora::statusitem {

// A small object model of the tray item and its panel: objects with a class name, values
// read by key, a reflection of nested fields, and optional private methods known by name.
// Our tray item and panel window expose themselves through it, so the lookups written
// against it find them; tests build the same shapes by hand. Everything here is main-thread
// only and never throws: a key, path or method an object does not have reads as absent.
class Object;
using ObjectPtr = std::shared_ptr<Object>;

// A view value whose only usable fact is its textual description.
struct ViewLabel final {
    QString description;
    friend bool operator==(const ViewLabel &, const ViewLabel &) = default;
};

using Value = std::variant<std::monostate, bool, qint64, QString, ObjectPtr, ViewLabel>;

template <typename T>
std::shared_ptr<T> objectAs(const Value &value)
{
    if (const auto *object = std::get_if<ObjectPtr>(&value))
        return std::dynamic_pointer_cast<T>(*object);
    return nullptr;
}

// The reflection of one object: its nested fields by dotted path ("configuration.label"),
// and the reflection of its base class part, if it has one.
struct Mirror final {
    std::map<QString, Value> descendants;
    std::shared_ptr<const Mirror> superclassMirror;

    // Absent when no field lies at the path.
    Value descendant(const QString &path) const;
};

class Object : public std::enable_shared_from_this<Object> {
public:
    explicit Object(QString className) : m_className(std::move(className)) {}
    virtual ~Object();
    Object(const Object &) = delete;
    Object &operator=(const Object &) = delete;

    const QString &className() const noexcept { return m_className; }

    virtual Value valueForKey(const QString &key) const;
    virtual Mirror mirror() const;
    // Private methods, known by their selector names; none by default.
    virtual bool respondsTo(const QString &selector) const;
    virtual ObjectPtr perform(const QString &selector);
    virtual void perform(const QString &selector, const ObjectPtr &argument);
    virtual void performDouble(const QString &selector, double argument);

    // Objects hung on this one under an address of the caller's, kept alive by it.
    ObjectPtr associatedObject(const void *key) const;
    // A null object removes the association.
    void setAssociatedObject(const void *key, ObjectPtr object);

private:
    QString m_className;
    std::map<const void *, ObjectPtr> m_associated;
};

// A weak reference to another object, as an object of its own.
class WeakRef final : public Object {
public:
    explicit WeakRef(const ObjectPtr &object) : Object(QStringLiteral("WeakRef")), object(object) {}
    std::weak_ptr<Object> object;
};

enum class ButtonState { off, on, mixed };

// The clickable part of a tray item: a state, a highlight, an enabled flag and a target
// (the object that controls the item). A click while disabled does nothing.
class StatusBarButton : public Object {
public:
    using StateObserver = std::function<void(ButtonState)>;

    StatusBarButton() : Object(QStringLiteral("NSStatusBarButton")) {}

    ButtonState state() const noexcept { return m_state; }
    // Tells the state observers, in the order they were added, when the state changes.
    void setState(ButtonState state);
    bool isHighlighted() const noexcept { return m_highlighted; }
    void setHighlighted(bool highlighted) { m_highlighted = highlighted; }
    bool isEnabled() const noexcept { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }
    const ObjectPtr &target() const noexcept { return m_target; }
    void setTarget(ObjectPtr target) { m_target = std::move(target); }

    void setClickAction(std::function<void()> action) { m_clickAction = std::move(action); }
    void performClick();

    // Returns a token; dropping it stops the observing.
    std::shared_ptr<void> observeState(StateObserver observer);

private:
    ButtonState m_state = ButtonState::off;
    bool m_highlighted = false;
    bool m_enabled = true;
    ObjectPtr m_target;
    std::function<void()> m_clickAction;
    std::shared_ptr<std::map<int, StateObserver>> m_observers = std::make_shared<std::map<int, StateObserver>>();
    int m_lastObserverId = 0;
};

// A tray item. Its class name tells which generation of items it belongs to.
class StatusItem : public Object {
public:
    explicit StatusItem(QString className, std::shared_ptr<StatusBarButton> button = nullptr)
        : Object(std::move(className)), m_button(std::move(button))
    {
    }
    const std::shared_ptr<StatusBarButton> &button() const noexcept { return m_button; }

private:
    std::shared_ptr<StatusBarButton> m_button;
};

// A top-level window as the lookups see it.
class Window : public Object {
public:
    using Object::Object;
    virtual bool isVisible() const = 0;
    virtual void close() = 0;
};

enum class WindowEvent { didBecomeKey, didResignKey };

// The application's windows, in the order they were added, and the broadcasts of windows
// becoming and ceasing to be the key (active) window. A broadcast's object need not be a
// window. Observers are called synchronously, in the order they were added.
class PlatformApplication final {
public:
    using Observer = std::function<void(const ObjectPtr &object)>;
    using Subscription = std::shared_ptr<void>;

    std::vector<std::shared_ptr<Window>> windows() const;
    void addWindow(const std::shared_ptr<Window> &window);
    void removeWindow(const Window *window);

    // Whether the running system makes tray items of the newer class.
    bool usesSceneStatusItems() const noexcept { return m_usesSceneStatusItems; }
    void setUsesSceneStatusItems(bool uses) noexcept { m_usesSceneStatusItems = uses; }

    // Dropping the returned token ends the subscription.
    Subscription observe(WindowEvent event, Observer observer);
    void post(WindowEvent event, const ObjectPtr &object);

private:
    struct Entry {
        WindowEvent event;
        Observer observer;
    };
    std::vector<std::weak_ptr<Window>> m_windows;
    bool m_usesSceneStatusItems = false;
    std::shared_ptr<std::map<int, Entry>> m_observers = std::make_shared<std::map<int, Entry>>();
    int m_lastObserverId = 0;
};

} // namespace vantora::statusitem

#pragma once

#include "statusitem/StatusItemObjects.h"
#include "statusitem/StatusItemUtils.h"

namespace vantora::testing {

using namespace vantora::statusitem;

// A window of any class that holds a tray item by key or only as a reflected field.
class FakeWindow final : public Window {
public:
    explicit FakeWindow(QString className, Value statusItem = {}, Mirror mirror = {})
        : Window(std::move(className)), statusItem(std::move(statusItem)), reflection(std::move(mirror))
    {
    }
    Value valueForKey(const QString &key) const override
    {
        return key == StatusItemUtils::statusItemKey ? statusItem : Value();
    }
    Mirror mirror() const override { return reflection; }
    bool isVisible() const override { return visible; }
    void close() override
    {
        visible = false;
        ++closeCount;
    }

    Value statusItem;
    Mirror reflection;
    bool visible = true;
    int closeCount = 0;
};

// An item that may present its extra through sessions: it answers the session methods only
// when `sessions` is on.
class FakeStatusItem final : public StatusItem {
public:
    class Session final : public Object {
    public:
        explicit Session(FakeStatusItem &item) : Object(QStringLiteral("Session")), m_item(item) {}
        bool respondsTo(const QString &selector) const override { return selector == StatusItemUtils::selector::cancel; }
        ObjectPtr perform(const QString &) override
        {
            m_item.session = nullptr;
            return nullptr;
        }

    private:
        FakeStatusItem &m_item;
    };

    explicit FakeStatusItem(std::shared_ptr<StatusBarButton> button = std::make_shared<StatusBarButton>(),
                            QString className = StatusItemUtils::statusItemClass)
        : StatusItem(std::move(className), std::move(button))
    {
    }

    bool respondsTo(const QString &selector) const override
    {
        namespace s = StatusItemUtils::selector;
        return sessions
            && (selector == s::beginExpandedInterfaceSession || selector == s::expandedInterfaceSession
                || selector == s::expandedInterfaceDelegate || selector == s::setExpandedInterfaceDelegate);
    }
    ObjectPtr perform(const QString &selector) override
    {
        if (selector == StatusItemUtils::selector::expandedInterfaceDelegate)
            return delegate;
        if (selector == StatusItemUtils::selector::expandedInterfaceSession)
            return session;
        return nullptr;
    }
    void perform(const QString &selector, const ObjectPtr &argument) override
    {
        if (selector == StatusItemUtils::selector::setExpandedInterfaceDelegate)
            delegate = argument;
    }
    void performDouble(const QString &selector, double argument) override
    {
        if (selector == StatusItemUtils::selector::beginExpandedInterfaceSession) {
            beginArgument = argument;
            session = std::make_shared<Session>(*this);
        }
    }

    bool sessions = false;
    ObjectPtr delegate;
    ObjectPtr session;
    std::optional<double> beginArgument;
};

// A controller whose base class part carries the extra's configuration.
inline ObjectPtr makeController(std::map<QString, Value> configuration, bool withSuperclass = true)
{
    class Controller final : public Object {
    public:
        Controller(std::map<QString, Value> configuration, bool withSuperclass)
            : Object(QStringLiteral("Controller")), m_configuration(std::move(configuration)), m_withSuperclass(withSuperclass)
        {
        }
        Mirror mirror() const override
        {
            Mirror mirror;
            if (m_withSuperclass)
                mirror.superclassMirror = std::make_shared<Mirror>(Mirror{m_configuration, nullptr});
            return mirror;
        }

    private:
        std::map<QString, Value> m_configuration;
        bool m_withSuperclass;
    };
    return std::make_shared<Controller>(std::move(configuration), withSuperclass);
}

} // namespace vantora::testing

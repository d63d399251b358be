#include "ui/AccessibleMenus.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QMenu>
#include <QPointer>
#include <QToolButton>

namespace vantora::ui::a11y {

namespace {

const char *const presentedProperty = "_vantora_accessibility_menu_button";

QMenu *menuOf(const QAction *action)
{
    for (QObject *holder : action->associatedObjects()) {
        if (auto *menu = qobject_cast<QMenu *>(holder))
            return menu;
    }
    return nullptr;
}

QMenu *shownMenu(const QToolButton *button)
{
    QMenu *menu = button->menu();
    return menu && menu->isVisible() ? menu : nullptr;
}

class AccessibleMenuButton final : public QAccessibleWidget {
public:
    explicit AccessibleMenuButton(QToolButton *button)
        : QAccessibleWidget(button, QAccessible::ButtonMenu)
    {
    }

    int childCount() const override { return shownMenu(button()) ? 1 : 0; }

    QAccessibleInterface *child(int index) const override
    {
        QMenu *menu = shownMenu(button());
        return index == 0 && menu ? QAccessible::queryAccessibleInterface(menu) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const QMenu *menu = shownMenu(button());
        return child && menu && child->object() == menu ? 0 : -1;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.hasPopup = true;
        state.expandable = true;
        state.expanded = shownMenu(button()) != nullptr;
        state.pressed = button()->isDown();
        return state;
    }

    QStringList actionNames() const override
    {
        if (!button()->isEnabled())
            return {};
        return {showMenuAction()};
    }

    void doAction(const QString &name) override
    {
        // Opening runs the menu's own event loop: not inside the reader's call.
        if ((name == showMenuAction() || name == pressAction()) && button()->isEnabled())
            QMetaObject::invokeMethod(button(), &QToolButton::showMenu, Qt::QueuedConnection);
    }

private:
    QToolButton *button() const { return static_cast<QToolButton *>(widget()); }
};

// A checkable entry of a menu, read as a check box.
class AccessibleCheckItem final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    AccessibleCheckItem(QAction *action, QMenu *menu)
        : m_action(action)
        , m_menu(menu)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface *>(this);
        return nullptr;
    }

    bool isValid() const override { return m_action && m_menu; }
    QObject *object() const override { return m_action; }
    QWindow *window() const override { return m_menu ? m_menu->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_menu); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text kind) const override
    {
        if (!m_action)
            return {};
        if (kind == QAccessible::Name) {
            // "&&" is an ampersand, a single one marks the mnemonic.
            QString name;
            const QString text = m_action->text();
            for (qsizetype index = 0; index < text.size(); ++index) {
                if (text.at(index) == u'&' && ++index >= text.size())
                    break;
                name += text.at(index);
            }
            return name;
        }
        if (kind == QAccessible::Accelerator)
            return m_action->shortcut().toString(QKeySequence::NativeText);
        return {};
    }

    void setText(QAccessible::Text, const QString &) override {}

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect area = m_menu->actionGeometry(m_action);
        return {m_menu->mapToGlobal(area.topLeft()), area.size()};
    }

    QAccessible::Role role() const override { return QAccessible::CheckBox; }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        state.checkable = true;
        state.checked = m_action->isChecked();
        state.focusable = true;
        state.focused = m_menu->activeAction() == m_action;
        state.disabled = !m_action->isEnabled();
        state.invisible = !m_menu->isVisible() || !m_action->isVisible();
        return state;
    }

    QStringList actionNames() const override
    {
        if (!isValid() || !m_action->isEnabled())
            return {};
        return {toggleAction()};
    }

    void doAction(const QString &name) override
    {
        if ((name == toggleAction() || name == pressAction()) && isValid() && m_action->isEnabled())
            m_action->trigger();
    }

    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<QAction> m_action;
    QPointer<QMenu> m_menu;
};

QAccessibleInterface *menuFactory(const QString &, QObject *object)
{
    if (auto *button = qobject_cast<QToolButton *>(object); button && button->property(presentedProperty).toBool())
        return new AccessibleMenuButton(button);
    auto *action = qobject_cast<QAction *>(object);
    if (!action || !action->isCheckable())
        return nullptr;
    QMenu *menu = menuOf(action);
    if (!menu)
        return nullptr;
    // Made once per entry, as Qt keeps the element: its checks are told from here on.
    QObject::connect(action, &QAction::toggled, action, [action] {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(action, changed);
        QAccessible::updateAccessibility(&event);
    });
    return new AccessibleCheckItem(action, menu);
}

} // namespace

void presentMenuButton(QToolButton &button)
{
    static const bool installed = [] {
        QAccessible::installFactory(menuFactory);
        return true;
    }();
    Q_UNUSED(installed);
    button.setProperty(presentedProperty, true);
}

} // namespace vantora::ui::a11y

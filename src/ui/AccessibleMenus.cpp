#include "ui/AccessibleMenus.h"

#include "ui/Accessibility.h"

#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QMenu>
#include <QPointer>
#include <QToolButton>

namespace vantora::ui::a11y {

namespace {

const char *const presentedProperty = "_vantora_accessibility_menu_button";
const char *const checkToldProperty = "_vantora_accessibility_check_told";

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

// The menu of a presented button, which counts its entries (ours) as its children. Qt's own
// counts only entries that read as plain menu items, which leaves a check box in it with no
// place, and a reader takes an element with no place for a dead one.
class AccessibleMenu final : public QAccessibleWidget {
public:
    explicit AccessibleMenu(QMenu *menu)
        : QAccessibleWidget(menu, QAccessible::PopupMenu)
    {
    }

    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(menu()->parent()); }
    int childCount() const override { return int(menu()->actions().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QList<QAction *> entries = menu()->actions();
        return index >= 0 && index < entries.size() ? QAccessible::queryAccessibleInterface(entries.at(index)) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(menu()->actions().indexOf(qobject_cast<QAction *>(child->object()))) : -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        QAction *entry = menu()->actionAt(menu()->mapFromGlobal(QPoint(x, y)));
        return entry ? QAccessible::queryAccessibleInterface(entry) : nullptr;
    }

private:
    QMenu *menu() const { return static_cast<QMenu *>(widget()); }
};

// An entry of a presented menu: a separator, a menu item, or a checkable entry, which reads
// as a check box with its state (Qt reads it as a plain menu item whose check shows only
// once checked).
class AccessibleMenuEntry final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    AccessibleMenuEntry(QAction *action, QMenu *menu)
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

    QAccessible::Role role() const override
    {
        if (m_action && m_action->isSeparator())
            return QAccessible::Separator;
        return m_action && m_action->isCheckable() ? QAccessible::CheckBox : QAccessible::MenuItem;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        state.checkable = m_action->isCheckable();
        state.checked = m_action->isChecked();
        state.focusable = !m_action->isSeparator();
        state.focused = m_menu->activeAction() == m_action;
        state.disabled = !m_action->isEnabled();
        state.invisible = !m_menu->isVisible() || !m_action->isVisible();
        return state;
    }

    QStringList actionNames() const override
    {
        if (!isValid() || !m_action->isEnabled() || m_action->isSeparator())
            return {};
        return {m_action->isCheckable() ? toggleAction() : pressAction()};
    }

    void doAction(const QString &name) override
    {
        if (!(name == toggleAction() || name == pressAction()) || !isValid() || !m_action->isEnabled())
            return;
        // As a click does, the menu closes first: what the entry opens is not left under it.
        // The entry's work (a window, a question) runs after the reader's call has returned.
        m_menu->hide();
        QMetaObject::invokeMethod(m_action, &QAction::trigger, Qt::QueuedConnection);
    }

    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<QAction> m_action;
    QPointer<QMenu> m_menu;
};

void tellCheckChanged(QAction *action)
{
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(action, changed);
    QAccessible::updateAccessibility(&event);
}

bool isPresented(const QMenu *menu)
{
    const auto *button = menu ? qobject_cast<const QToolButton *>(menu->parent()) : nullptr;
    return button && button->property(presentedProperty).toBool();
}

QAccessibleInterface *menuFactory(const QString &, QObject *object)
{
    if (auto *button = qobject_cast<QToolButton *>(object); button && button->property(presentedProperty).toBool())
        return new AccessibleMenuButton(button);
    if (auto *menu = qobject_cast<QMenu *>(object); isPresented(menu))
        return new AccessibleMenu(menu);
    auto *action = qobject_cast<QAction *>(object);
    QMenu *menu = action ? menuOf(action) : nullptr;
    if (!isPresented(menu))
        return nullptr;
    // Made once per entry, as Qt keeps the element: its checks are told from here on.
    if (action->isCheckable()) {
        QObject::connect(action, &QAction::toggled, action, [action, menu = QPointer<QMenu>(menu)] {
            if (!menu || menu->isVisible()) {
                tellCheckChanged(action);
                return;
            }
            // Chosen from the menu, the entry changes only once the menu has closed and the
            // focus is back on the button: a reader hears the new state as news. Its owner may
            // set it back at once (a desktop that refuses, a demonstration that changes
            // nothing): only the state it is left in counts, told once it has settled.
            if (action->property(checkToldProperty).toBool())
                return;
            action->setProperty(checkToldProperty, true);
            const bool wasChecked = !action->isChecked();
            const QPointer<QWidget> modal = QApplication::activeModalWidget();
            QMetaObject::invokeMethod(
                action,
                [action, wasChecked, modal] {
                    action->setProperty(checkToldProperty, false);
                    if (action->isChecked() != wasChecked)
                        tellCheckChanged(action);
                    // A window the choice opened (an alert that says why it was refused, a
                    // question) tells what came of it; the entry's state would only come first.
                    if (QApplication::activeModalWidget() != modal)
                        return;
                    const QString entry = action->iconText();
                    announce(action->isChecked()
                                 ? QCoreApplication::translate("vantora::ui::a11y", "%1, checked").arg(entry)
                                 : QCoreApplication::translate("vantora::ui::a11y", "%1, not checked").arg(entry));
                },
                Qt::QueuedConnection);
        });
    }
    return new AccessibleMenuEntry(action, menu);
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

#include "ui/KeyboardConventions.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

#include <utility>

namespace vantora::ui {

namespace {

bool isReturn(const QKeyEvent &key)
{
    if (key.key() == Qt::Key_Return)
        return key.modifiers() == Qt::NoModifier;
    return key.key() == Qt::Key_Enter && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

bool isBareSpace(const QKeyEvent &key)
{
    return key.key() == Qt::Key_Space && key.modifiers() == Qt::NoModifier;
}

bool asksForContextMenu(const QKeyEvent &key)
{
    return key.key() == Qt::Key_F10 && key.modifiers() == Qt::ShiftModifier;
}

void selectFirstEntry(QMenu &menu)
{
    for (QAction *entry : menu.actions()) {
        if (!entry->isSeparator() && entry->isEnabled() && entry->isVisible()) {
            menu.setActiveAction(entry);
            return;
        }
    }
}

} // namespace

void KeyboardConventions::install()
{
    static QPointer<KeyboardConventions> installed;
    if (installed)
        return;
    installed = new KeyboardConventions;
    installed->setParent(qApp);
    qApp->installEventFilter(installed);
}

KeyboardConventions::KeyboardConventions() = default;

bool KeyboardConventions::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto &key = *static_cast<QKeyEvent *>(event);
        if (event->type() == QEvent::KeyPress)
            m_keyboardInput = true;
        if (auto *menu = qobject_cast<QMenu *>(watched))
            return chooseOnRelease(*menu, key);
        if (event->type() == QEvent::KeyPress && asksForContextMenu(key) && watched->isWidgetType() && !key.isAutoRepeat())
            return askForContextMenu(*static_cast<QWidget *>(watched));
        if (auto *button = qobject_cast<QAbstractButton *>(watched))
            return pressAsSpace(*button, key);
        return false;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        m_keyboardInput = false;
        return false;
    case QEvent::ContextMenu:
        m_keyboardInput = static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard;
        return false;
    case QEvent::Show:
        if (auto *menu = qobject_cast<QMenu *>(watched))
            followShownMenu(*menu);
        return false;
    case QEvent::Hide:
        if (auto *menu = qobject_cast<QMenu *>(watched))
            followHiddenMenu(*menu);
        return false;
    default:
        return false;
    }
}

bool KeyboardConventions::pressAsSpace(QAbstractButton &button, const QKeyEvent &key)
{
    if (!isReturn(key) || !button.isEnabled())
        return false;
    // A held Return repeats nothing, as a held Space does not, and reaches no default button.
    if (key.isAutoRepeat())
        return true;
    QKeyEvent space(key.type(), Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QCoreApplication::sendEvent(&button, &space);
    return true;
}

bool KeyboardConventions::chooseOnRelease(QMenu &menu, const QKeyEvent &key)
{
    if (m_choosing)
        return false;
    if (key.type() == QEvent::KeyPress && key.key() == Qt::Key_Escape && key.modifiers() == Qt::NoModifier)
        m_escapedMenu = &menu;
    const QAction *entry = menu.activeAction();
    if ((!isBareSpace(key) && !isReturn(key)) || !entry || entry->isSeparator() || !entry->isEnabled())
        return false;
    if (key.isAutoRepeat())
        return true;
    if (key.type() == QEvent::KeyPress) {
        m_pressedIn = &menu;
        return true;
    }
    // The release of a key pressed before the menu opened (the one that opened it) chooses
    // nothing.
    if (std::exchange(m_pressedIn, nullptr) != &menu)
        return true;
    QKeyEvent choose(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    m_choosing = true;
    QCoreApplication::sendEvent(&menu, &choose);
    m_choosing = false;
    return true;
}

bool KeyboardConventions::askForContextMenu(QWidget &control)
{
    if (!control.isEnabled())
        return false;
    // Where the Menu key asks: at the text cursor, or in the middle of the control.
    const QPoint at = control.inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QContextMenuEvent request(QContextMenuEvent::Keyboard, at, control.mapToGlobal(at), Qt::NoModifier);
    QCoreApplication::sendEvent(&control, &request);
    return true;
}

void KeyboardConventions::followShownMenu(QMenu &menu)
{
    if (!m_keyboardInput)
        return;
    // Qt settles the entry under the menu's opening after showing it; a reader hears the
    // menu with the entry chosen here.
    QMetaObject::invokeMethod(
        &menu,
        [menu = QPointer<QMenu>(&menu)] {
            if (menu && menu->isVisible() && !menu->activeAction())
                selectFirstEntry(*menu);
        },
        Qt::QueuedConnection);
}

void KeyboardConventions::followHiddenMenu(QMenu &menu)
{
    if (m_escapedMenu != &menu)
        return;
    m_escapedMenu = nullptr;
    auto *opener = qobject_cast<QAbstractButton *>(menu.parentWidget());
    // Qt gives the focus back as the last menu closes, after this.
    QMetaObject::invokeMethod(
        qApp,
        [opener = QPointer<QAbstractButton>(opener)] {
            if (QApplication::activePopupWidget())
                return;
            if (QWidget *focus = QApplication::focusWidget()) {
                QAccessibleEvent told(focus, QAccessible::Focus);
                QAccessible::updateAccessibility(&told);
            } else if (opener && opener->isVisible()) {
                opener->setFocus(Qt::PopupFocusReason);
            }
        },
        Qt::QueuedConnection);
}

} // namespace vantora::ui

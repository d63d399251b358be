#pragma once

#include <QObject>
#include <QPointer>

class QAbstractButton;
class QKeyEvent;
class QMenu;
class QWidget;

namespace vantora::ui {

// The keys of buttons and menus as a Linux desktop has them, in every window of the
// application, a control added later included:
// - Return and Enter press the focused button as Space does (a press, then a click as the
//   key comes up). A window's default button takes them only while the focus is on no button.
// - Space chooses the active entry of a menu as Return does.
// - Shift+F10 asks the focused control for its context menu, as the Menu key does.
// - A menu opened from the keyboard starts on its first entry, which a reader reads with it.
// - Escape from a menu tells readers of the control that has the focus again (Qt gives it
//   back silently).
class KeyboardConventions final : public QObject {
    Q_OBJECT
public:
    // Watches the whole application from now on; once, however often it is asked.
    static void install();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    KeyboardConventions();

    bool pressAsSpace(QAbstractButton &button, const QKeyEvent &key);
    bool chooseAsReturn(QMenu &menu, const QKeyEvent &key);
    static bool askForContextMenu(QWidget &control);
    void followShownMenu(QMenu &menu);
    void followHiddenMenu(QMenu &menu);

    bool m_keyboardInput = false;
    QPointer<QMenu> m_escapedMenu;
};

} // namespace vantora::ui

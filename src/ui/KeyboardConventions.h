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
// - Space chooses the active entry of a menu as Return does, and either chooses it as the key
//   comes up, as a button is pressed: a window the entry opens comes once a reader has taken
//   the key, which it would otherwise take for one pressed in that window, reading the window
//   without the control that has its focus.
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
    bool chooseOnRelease(QMenu &menu, const QKeyEvent &key);
    static bool askForContextMenu(QWidget &control);
    void followShownMenu(QMenu &menu);
    void followHiddenMenu(QMenu &menu);

    bool m_keyboardInput = false;
    QPointer<QMenu> m_escapedMenu;
    // The menu whose entry a key went down on, to be chosen as it comes up.
    QPointer<QMenu> m_pressedIn;
    bool m_choosing = false;
};

} // namespace vantora::ui

#pragma once

#include <QString>

#include <functional>
#include <vector>

class QMenu;
class QWidget;

namespace vantora::ui {

// One line of a context menu: a label that does nothing (always disabled), an action with
// its enabled state, or a separator. Texts are shown as written: an "&" is a character, not
// a keyboard hint.
struct MenuEntry final {
    enum class Kind {
        Label,
        Action,
        Separator,
    };

    Kind kind = Kind::Separator;
    QString text;
    bool enabled = false;
    std::function<void()> action;

    static MenuEntry label(QString text) { return {Kind::Label, std::move(text), false, {}}; }
    static MenuEntry item(QString text, std::function<void()> action, bool enabled = true)
    {
        return {Kind::Action, std::move(text), enabled, std::move(action)};
    }
    static MenuEntry separator() { return {}; }
};

// A menu of `entries`, owned by `parent`, that deletes itself once closed.
QMenu *buildMenu(const std::vector<MenuEntry> &entries, QWidget *parent);

// Opens a menu of the entries `entries()` gives at that moment wherever the user asks
// `widget` for its context menu (a right click, the Menu key). The menu is a child of
// `widget` until it closes, and does not block: the event loop runs on while it is open.
void installContextMenu(QWidget *widget, std::function<std::vector<MenuEntry>()> entries);

} // namespace vantora::ui

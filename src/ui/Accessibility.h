#pragma once

#include <QAccessible>
#include <QString>

#include <functional>

class QWidget;

// How widgets show themselves to assistive technologies, beyond what Qt derives on its own.
//
// Qt's accessibility tree mirrors the widget tree. These helpers reshape it where the views
// need it: leave a widget out, merge a widget's content into one element, or give it a role.
// Hiding a widget takes it out of its parent's children; that works under plain containers
// and the views' own widgets, while a Qt control (a button, a scroll area) keeps presenting
// its own children.
namespace vantora::ui::a11y {

enum class Visibility {
    Shown,
    Hidden,
};

// Leaves `widget` and everything inside it out of the accessibility tree (decorations,
// drag strips, covered pages). Follows the widget when it moves to another parent.
void setHidden(QWidget *widget, Visibility visibility = Visibility::Hidden);
bool isHidden(const QWidget *widget);

// Presents `widget` as one element named `name`, without children of its own.
void setCombined(QWidget *widget, const QString &name);

// Presents `widget` with `role`; a label keeps its text as its name.
void setRole(QWidget *widget, QAccessible::Role role);
inline void setHeading(QWidget *widget) { setRole(widget, QAccessible::Heading); }

// Keeps `window`'s activity from a reader until `window` is next deactivated or hidden: an
// entry of its menu that opens a window (an alert, About) closes the menu first, which gives
// `window` its activity back for a moment, and a reader would read it and its focus before
// the window that opens.
void passActivityOn(QWidget &window);

// While it lives, readers are told of `window` shown or hidden as of one element, the window:
// Qt tells them of every widget in it that shows or hides with it, a hundred and more for the
// lights panel, which a reader works through before it gets to anything else. Main thread
// only.
class WindowShownAsOne final {
public:
    explicit WindowShownAsOne(QWidget &window);
    ~WindowShownAsOne();
    WindowShownAsOne(const WindowShownAsOne &) = delete;
    WindowShownAsOne &operator=(const WindowShownAsOne &) = delete;

private:
    QAccessible::UpdateHandler m_previousHandler;
    QWidget *m_previousWindow;
};

// Gives `window` and every widget in it new elements, so that readers meet the window shown
// next as a new one. A reader keeps the window it last took for the active one until it takes
// a deactivation for the person's doing (Orca 43 does only within a second of the last input
// it saw, and it sees neither a tray host's click nor a key another program grabs): the same
// window activated again is then one it has already, and it reads nothing. All of the
// window's elements go, since a reader reaches the window from any of them. Nothing is done
// while no reader listens.
void renewElements(QWidget &window);

// Names `widget`. Qt tells assistive technologies of every name set, changed or not; an
// unchanged name set here tells them nothing.
void setName(QWidget *widget, const QString &name);

// Describes `widget` with plain text, and with none where the text only repeats the
// widget's name (its own, or a button's or label's text). Unchanged: nothing is told.
void setDescription(QWidget *widget, const QString &description);

enum class Priority {
    Low,
    Medium,
    High,
};

struct Announcement final {
    QString text;
    Priority priority = Priority::Medium;

    friend bool operator==(const Announcement &, const Announcement &) = default;
};

using AnnouncementSink = std::function<void(const Announcement &)>;

// Asks assistive technologies to read `text` out: an announcement from Qt 6.8 on, before it a
// hidden notification named with the text that tells it shows.
void announce(const QString &text, Priority priority = Priority::Medium);

// Tells what an action did where nothing at the focus shows it to a reader: a report copied
// or saved, all lights switched by a global key, a choice made again that changes nothing.
// Every such action says its outcome through here, once per action, as a notice readers
// announce whether or not a window of the application is active.
void tellOutcome(const QString &text);

// Tells that `choice`, one choice among several read as radio buttons, was pressed while
// chosen: it stays chosen, which nothing at the focus shows.
void tellChosenAgain(QWidget &choice);

// Announces `text` as `widget` first shows: news that comes with a widget (a notice, a
// failure) is read out wherever the focus is, once, and not for a window nobody sees.
void announceOnFirstShow(QWidget &widget, const QString &text, Priority priority = Priority::Medium);

// Sends announcements to `sink` instead (tests record them); an empty sink restores the
// default. Returns the sink that was in place.
AnnouncementSink setAnnouncementSink(AnnouncementSink sink);

} // namespace vantora::ui::a11y

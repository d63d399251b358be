#include "ui/Accessibility.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include <algorithm>
#include <array>
#include <optional>

namespace vantora::ui::a11y {

namespace {

const char *const hiddenProperty = "_vantora_accessibility_hidden";
const char *const combinedNameProperty = "_vantora_accessibility_combined";
const char *const roleProperty = "_vantora_accessibility_role";
const char *const passingActivityProperty = "_vantora_accessibility_passing_activity";

bool hasOwnPresentation(const QObject *object)
{
    return object->property(combinedNameProperty).isValid() || object->property(roleProperty).isValid();
}

bool hasHiddenChild(const QObject *object)
{
    for (const QObject *child : object->children()) {
        if (child->isWidgetType() && isHidden(static_cast<const QWidget *>(child)))
            return true;
    }
    return false;
}

// Whether Qt would present the widget generically anyway: every class between it and QWidget
// is one of ours, so taking it over loses nothing of a Qt control's own interface.
bool isPlainContainer(const QObject *object)
{
    for (const QMetaObject *meta = object->metaObject(); meta != &QWidget::staticMetaObject; meta = meta->superClass()) {
        if (!meta)
            return false;
        if (meta->className()[0] == 'Q')
            return false;
    }
    return true;
}

// The widgets Qt holds an element for, as far as the factory saw them built. Kept apart from
// the widgets (a property apiece would cost more than the element): a widget that dies
// leaves its entry until the next sweep, and one made later at the same address looks built,
// which costs a needless rebuild and nothing else.
class BuiltElements final {
public:
    void add(const QWidget *widget)
    {
        m_widgets.insert(widget);
        if (m_widgets.size() >= m_sweepAt)
            sweep();
    }
    void remove(const QWidget *widget) { m_widgets.remove(widget); }
    bool contains(const QWidget *widget) const { return m_widgets.contains(widget); }

private:
    void sweep()
    {
        QSet<const QWidget *> alive;
        for (const QWidget *widget : QApplication::allWidgets()) {
            if (m_widgets.contains(widget))
                alive.insert(widget);
        }
        m_widgets = std::move(alive);
        m_sweepAt = std::max<qsizetype>(minimumSweep, 2 * m_widgets.size());
    }

    static constexpr qsizetype minimumSweep = 1024;
    QSet<const QWidget *> m_widgets;
    qsizetype m_sweepAt = minimumSweep;
};

BuiltElements &builtElements()
{
    static BuiltElements built;
    return built;
}

// The element of a widget that one of the helpers reshaped.
class ShapedAccessibleWidget final : public QAccessibleWidget {
public:
    explicit ShapedAccessibleWidget(QWidget *widget)
        : QAccessibleWidget(widget, roleOf(widget))
    {
    }

    int childCount() const override { return static_cast<int>(shownChildren().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const auto children = shownChildren();
        if (index < 0 || index >= children.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(children.at(index));
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        return static_cast<int>(shownChildren().indexOf(qobject_cast<QWidget *>(child->object())));
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (QWidget *child : shownChildren()) {
            QAccessibleInterface *element = QAccessible::queryAccessibleInterface(child);
            if (element && element->rect().contains(x, y))
                return element;
        }
        return nullptr;
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name) {
            if (const QVariant combined = widget()->property(combinedNameProperty); combined.isValid())
                return combined.toString();
            const QString own = QAccessibleWidget::text(kind);
            if (own.isEmpty()) {
                if (const auto *label = qobject_cast<const QLabel *>(widget()))
                    return label->text();
            }
            return own;
        }
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        if (isHidden(widget()))
            state.invisible = true;
        return state;
    }

    QAccessible::Role role() const override
    {
        // Qt tells a window's activity afresh whenever its window system focus moves, as it
        // does to a popup menu opened from it, and a reader would hear the window come back
        // over the menu's first entry. Only a window's activity is told: while its popup is
        // open the window reads as a plain pane.
        const QAccessible::Role own = QAccessibleWidget::role();
        const bool underPopup =
            QApplication::activePopupWidget() && QApplication::activePopupWidget() != widget();
        if (own == QAccessible::Window && (underPopup || widget()->property(passingActivityProperty).toBool()))
            return QAccessible::Pane;
        return own;
    }

private:
    static QAccessible::Role roleOf(const QWidget *widget)
    {
        if (const QVariant role = widget->property(roleProperty); role.isValid())
            return static_cast<QAccessible::Role>(role.toInt());
        if (qobject_cast<const QLabel *>(widget))
            return QAccessible::StaticText;
        // A reader announces a window or dialog by its role; a plain container would read
        // as filler.
        if (widget->isWindow())
            return widget->windowType() == Qt::Dialog ? QAccessible::Dialog : QAccessible::Window;
        return QAccessible::Client;
    }

    QList<QWidget *> shownChildren() const
    {
        QList<QWidget *> shown;
        if (widget()->property(combinedNameProperty).isValid())
            return shown;
        for (QObject *child : widget()->children()) {
            auto *childWidget = qobject_cast<QWidget *>(child);
            if (childWidget && !childWidget->isWindow() && !isHidden(childWidget))
                shown.append(childWidget);
        }
        return shown;
    }
};

QAccessibleInterface *shapedFactory(const QString &, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    // Qt asks the factory installed last first, so this sees every element built for a widget
    // and marks the widgets whose element a new shape makes stale.
    builtElements().add(widget);
    if (hasOwnPresentation(widget) || ((hasHiddenChild(widget) || widget->isWindow()) && isPlainContainer(widget)))
        return new ShapedAccessibleWidget(widget);
    return nullptr;
}

bool isShaped(const QWidget *widget)
{
    return isHidden(widget) || hasOwnPresentation(widget) || (widget->isWindow() && isPlainContainer(widget));
}

enum class Held {
    // Only the elements the factory marked can be stale.
    Marked,
    // Any element may be: one built before the factory was in place carries no mark.
    Any,
};

// Drops the element Qt keeps for `widget`, so the next query builds it anew with the current
// shape. Building an element only to drop it costs an element and a connection that Qt
// keeps until the widget dies, so a widget without one is left alone.
void rebuildElement(QWidget *widget, Held held)
{
    if (!widget || (held == Held::Marked && !builtElements().contains(widget)))
        return;
    if (QAccessibleInterface *element = QAccessible::queryAccessibleInterface(widget))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(element));
    builtElements().remove(widget);
}

// Elements built before the factory was in place are unknown to it: once an assistive
// technology listens, every reshaped widget and its surroundings are built anew.
class ActivationFollower final : public QAccessible::ActivationObserver {
public:
    void accessibilityActiveChanged(bool active) override
    {
        if (!active)
            return;
        for (QWidget *widget : QApplication::allWidgets()) {
            if (isShaped(widget)) {
                rebuildElement(widget, Held::Any);
                rebuildElement(widget->parentWidget(), Held::Any);
            }
        }
    }
};

// Returns true on the call that installed the factory.
bool installFactory()
{
    static bool installed = false;
    if (std::exchange(installed, true))
        return false;
    QAccessible::installFactory(shapedFactory);
    static ActivationFollower follower;
    QAccessible::installActivationObserver(&follower);
    // Someone may listen already, to elements built before.
    follower.accessibilityActiveChanged(QAccessible::isActive());
    return true;
}

// What a new shape may have made stale: only marked elements while nobody listens.
Held heldElements()
{
    return QAccessible::isActive() ? Held::Any : Held::Marked;
}

// Keeps hidden widgets out of whichever parent they move to. One watches them all: there
// are hundreds of hidden decorations, and an object apiece would cost more than they do.
class HiddenFollower final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ParentChange)
            rebuildElement(static_cast<QWidget *>(watched)->parentWidget(), heldElements());
        return QObject::eventFilter(watched, event);
    }
};

HiddenFollower &hiddenFollower()
{
    static QPointer<HiddenFollower> follower;
    if (!follower)
        follower = new HiddenFollower(QCoreApplication::instance());
    return *follower;
}

void reshape(QWidget *widget)
{
    const Held held = installFactory() ? Held::Any : heldElements();
    rebuildElement(widget, held);
    rebuildElement(widget->parentWidget(), held);
}

// Ends passActivityOn once the window has passed its activity on, or has gone.
class ActivityPasser final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::WindowDeactivate || event->type() == QEvent::Hide) {
            watched->setProperty(passingActivityProperty, QVariant());
            watched->removeEventFilter(this);
        }
        return QObject::eventFilter(watched, event);
    }
};

ActivityPasser &activityPasser()
{
    static QPointer<ActivityPasser> passer;
    if (!passer)
        passer = new ActivityPasser(QCoreApplication::instance());
    return *passer;
}

// The window of the innermost WindowShownAsOne, and the handler in place before the first.
QWidget *windowToldAsOne = nullptr;
QAccessible::UpdateHandler handlerBeforeWindowToldAsOne = nullptr;

void tellAllButWindowsWidgetsShown(QAccessibleEvent *event)
{
    const auto type = event->type();
    if (type == QAccessible::ObjectShow || type == QAccessible::ObjectHide) {
        QObject *object = event->object();
        if (object && object->isWidgetType() && object != windowToldAsOne
            && windowToldAsOne->isAncestorOf(static_cast<QWidget *>(object)))
            return;
    }
    // Told as ever: by the handler before, or (with none) by the platform's bridge.
    QAccessible::installUpdateHandler(handlerBeforeWindowToldAsOne);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(tellAllButWindowsWidgetsShown);
}

AnnouncementSink &customSink()
{
    static AnnouncementSink sink;
    return sink;
}

void raiseAnnouncement(const Announcement &announcement)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // One element, never shown, that the announcements come from.
    static QPointer<QWidget> speaker;
    if (!speaker) {
        speaker = new QWidget;
        speaker->setObjectName(QStringLiteral("vantora-announcer"));
    }
    QAccessibleAnnouncementEvent event(speaker.data(), announcement.text);
    event.setPoliteness(announcement.priority == Priority::High ? QAccessible::AnnouncementPoliteness::Assertive
                                                                : QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&event);
#else
    // Before Qt 6.8 the bridge carries no announcement and drops alert events; a reader
    // speaks a notification that shows, reading its name when it gets to the event. Each
    // announcement comes from an element of its own among a few taken in turn, so that one
    // read late is not renamed by the next meanwhile.
    static std::array<QPointer<QWidget>, 4> speakers;
    static std::size_t next = 0;
    QPointer<QWidget> &speaker = speakers.at(next);
    next = (next + 1) % speakers.size();
    if (!speaker) {
        speaker = new QWidget;
        speaker->setObjectName(QStringLiteral("vantora-announcer"));
        setRole(speaker, QAccessible::Notification);
    }
    setCombined(speaker, announcement.text);
    QAccessibleEvent event(speaker.data(), QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&event);
#endif
}

class FirstShowAnnouncer final : public QObject {
public:
    FirstShowAnnouncer(QWidget &widget, const QString &text, Priority priority)
        : QObject(&widget)
        , m_text(text)
        , m_priority(priority)
    {
        widget.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            announce(m_text, m_priority);
            deleteLater();
        }
        return false;
    }

private:
    QString m_text;
    Priority m_priority;
};

} // namespace

void setHidden(QWidget *widget, Visibility visibility)
{
    const bool hidden = visibility == Visibility::Hidden;
    if (isHidden(widget) == hidden)
        return;
    widget->setProperty(hiddenProperty, hidden ? QVariant(true) : QVariant());
    if (hidden)
        widget->installEventFilter(&hiddenFollower());
    else
        widget->removeEventFilter(&hiddenFollower());
    reshape(widget);
}

bool isHidden(const QWidget *widget)
{
    return widget->property(hiddenProperty).toBool();
}

void setCombined(QWidget *widget, const QString &name)
{
    const bool wasCombined = widget->property(combinedNameProperty).isValid();
    widget->setProperty(combinedNameProperty, name);
    // The element reads its name when asked; only a change of shape needs a new element.
    if (!wasCombined)
        reshape(widget);
}

void setRole(QWidget *widget, QAccessible::Role role)
{
    widget->setProperty(roleProperty, static_cast<int>(role));
    reshape(widget);
}

void passActivityOn(QWidget &window)
{
    window.setProperty(passingActivityProperty, true);
    window.installEventFilter(&activityPasser());
}

WindowShownAsOne::WindowShownAsOne(QWidget &window)
    : m_previousHandler(QAccessible::installUpdateHandler(tellAllButWindowsWidgetsShown))
    , m_previousWindow(std::exchange(windowToldAsOne, &window))
{
    // Within another, the handler before that one stays the one to tell by.
    if (m_previousHandler != tellAllButWindowsWidgetsShown)
        handlerBeforeWindowToldAsOne = m_previousHandler;
}

WindowShownAsOne::~WindowShownAsOne()
{
    QAccessible::installUpdateHandler(m_previousHandler);
    windowToldAsOne = m_previousWindow;
}

void renewElements(QWidget &window)
{
    if (!QAccessible::isActive())
        return;
    // The factory marks only the elements it was asked for, and the factories of our own
    // controls installed after it answer first: a reader may hold an unmarked element of any
    // shown control (the focused one among them), which would still lead it to the window it
    // knows. A hidden control it reached only through the factory.
    rebuildElement(&window, Held::Any);
    for (QWidget *widget : window.findChildren<QWidget *>()) {
        if (widget->window() == &window)
            rebuildElement(widget, widget->isVisibleTo(&window) ? Held::Any : Held::Marked);
    }
}

void setName(QWidget *widget, const QString &name)
{
    if (widget->accessibleName() != name)
        widget->setAccessibleName(name);
}

void setDescription(QWidget *widget, const QString &description)
{
    QString name = widget->accessibleName();
    if (name.isEmpty()) {
        if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            name = button->text();
        else if (const auto *label = qobject_cast<const QLabel *>(widget))
            name = label->text();
    }
    const QString shown = description == name ? QString() : description;
    if (widget->accessibleDescription() != shown)
        widget->setAccessibleDescription(shown);
}

void announce(const QString &text, Priority priority)
{
    if (text.isEmpty())
        return;
    const Announcement announcement{text, priority};
    if (const AnnouncementSink &sink = customSink())
        sink(announcement);
    else
        raiseAnnouncement(announcement);
}

void tellOutcome(const QString &text)
{
    // Polite: a reader finishes what it says of the key first.
    announce(text, Priority::Medium);
}

void tellChosenAgain(QWidget &choice)
{
    const QAccessibleInterface *element = QAccessible::queryAccessibleInterface(&choice);
    const QString name = element ? element->text(QAccessible::Name) : choice.accessibleName();
    tellOutcome(QCoreApplication::translate("vantora::ui::a11y", "%1, selected").arg(name));
}

void announceOnFirstShow(QWidget &widget, const QString &text, Priority priority)
{
    if (widget.isVisible())
        announce(text, priority);
    else
        new FirstShowAnnouncer(widget, text, priority);
}

AnnouncementSink setAnnouncementSink(AnnouncementSink sink)
{
    return std::exchange(customSink(), std::move(sink));
}

} // namespace vantora::ui::a11y

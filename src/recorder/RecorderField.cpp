#include "recorder/RecorderField.h"

#include "recorder/RecorderAlerts.h"
#include "recorder/RecorderFieldElement.h"
#include "recorder/RecorderServices.h"
#include "recorder/RecorderTexts.h"

#include "shortcuts/HotKeyCenter.h"
#include "shortcuts/KeyEvent.h"
#include "shortcuts/ModifierFlags.h"
#include "shortcuts/ShortcutActions.h"
#include "shortcuts/ShortcutConflicts.h"
#include "shortcuts/ShortcutNotifications.h"
#include "shortcuts/ShortcutStorage.h"

#include "controls/FocusRing.h"
#include "runtime/NotificationCenter.h"

#include "ui/Accessibility.h"
#include "ui/Colours.h"
#include "ui/DynamicColor.h"
#include "ui/Environment.h"
#include "ui/EnvironmentKeys.h"
#include "ui/FieldSurface.h"
#include "ui/PlainToolTip.h"
#include "ui/SystemColours.h"
#include "ui/SystemFont.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QWindow>

#include <algorithm>
#include <utility>

namespace vantora::recorder {

using GlobalShortcuts::ConflictBehavior;
using GlobalShortcuts::ModifierFlag;
using GlobalShortcuts::ModifierFlags;
using GlobalShortcuts::Shortcut;

namespace {

// Every modifier but caps lock and the numeric pad: none of these held means "no modifiers".
constexpr quint32 anyModifierMask = 0xFFDE0000;
// Every modifier but caps lock, shift, the numeric pad and function.
constexpr quint32 anyModifierButShiftMask = 0xFF5C0000;
constexpr qint64 escapeCarbonKeyCode = 53;
// A click this close to the field still counts as on it.
constexpr int clickTolerance = 3;

const ui::DynamicColor fieldText{ui::colours::grey(0.16), ui::colours::grey(0.94)};
const ui::DynamicColor clearCircle{ui::colours::black(0.28), ui::colours::white(0.35)};
const ui::DynamicColor clearCross{ui::colours::white(), ui::colours::grey(0.12)};
constexpr int clearSlot = 20;
constexpr double clearDiameter = 14;

bool holdsAny(ModifierFlags flags, quint32 mask)
{
    return (quint32(flags.toInt()) & mask) != 0;
}

bool isModifierKey(Qt::Key key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return true;
    default:
        return false;
    }
}

QString menuItemTitle(const QAction &action)
{
    // Mnemonic markers are not part of what the user reads.
    QString title = action.text();
    title.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return title.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

} // namespace

// Sees the application's events while its field records: the keys go to the field before
// any window shortcut can take them, and a click elsewhere ends the recording.
class RecorderField::RecordingFilter final : public QObject {
public:
    explicit RecordingFilter(RecorderField &field)
        : m_field(&field)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_field)
            return false;
        switch (event->type()) {
        case QEvent::ShortcutOverride:
            // Accepted, the key is delivered as a key press instead of firing a shortcut.
            event->accept();
            return true;
        case QEvent::KeyPress:
            // A key travels from its window to the focus widget; only its arrival counts.
            return qobject_cast<QWindow *>(watched) && m_field->handleKeyPress(static_cast<QKeyEvent &>(*event));
        case QEvent::KeyRelease:
            return qobject_cast<QWindow *>(watched) != nullptr;
        case QEvent::InputMethod:
            return true;
        case QEvent::MouseButtonRelease:
            if (qobject_cast<QWindow *>(watched))
                m_field->handleMouseRelease(static_cast<QMouseEvent &>(*event));
            return false;
        default:
            return false;
        }
    }

private:
    QPointer<RecorderField> m_field;
};

// The × at the end of a field that holds a shortcut. Tab reaches it after the field; a click
// focuses the field (which starts a recording) and then empties it.
class RecorderField::ClearButton final : public QAbstractButton {
public:
    explicit ClearButton(RecorderField &field)
        : QAbstractButton(&field)
    {
        setFocusPolicy(Qt::TabFocus);
        setCursor(Qt::ArrowCursor);
        setAccessibleName(RecorderTexts::clearShortcut());
        ui::setPlainToolTip(*this, RecorderTexts::clearShortcut());
        hide();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const ui::ColorScheme scheme = ui::colorScheme(this);
        const QPointF centre = QRectF(rect()).center();
        const double radius = clearDiameter / 2;
        painter.setPen(Qt::NoPen);
        QColor circle = clearCircle.resolve(scheme);
        if (isDown())
            circle.setAlphaF(std::min(1.0, circle.alphaF() * 1.6));
        painter.setBrush(circle);
        painter.drawEllipse(centre, radius, radius);
        painter.setPen(QPen(clearCross.resolve(scheme), 1.5, Qt::SolidLine, Qt::RoundCap));
        const double arm = radius * 0.42;
        painter.drawLine(centre + QPointF(-arm, -arm), centre + QPointF(arm, arm));
        painter.drawLine(centre + QPointF(-arm, arm), centre + QPointF(arm, -arm));
    }
};

QPointer<RecorderField> RecorderField::s_activeRecorder;

RecorderField::RecorderField(RecorderServices &services, GlobalShortcuts::Name name, OnChange onChange,
                             QWidget *parent)
    : QLineEdit(parent)
    , m_services(services)
    , m_storageMode(StorageMode::name)
    , m_onChange(std::move(onChange))
    , m_shortcutName(std::move(name))
{
    setUp();
    updateText();
    m_services.notifications.addObserver(
        this, GlobalShortcuts::shortcutByNameDidChange, [this](const runtime::Notification &notification) {
            const auto changed = GlobalShortcuts::shortcutName(notification);
            if (!changed)
                return;
            QMetaObject::invokeMethod(
                this,
                [this, rawValue = changed->rawValue] {
                    if (rawValue == m_shortcutName.rawValue)
                        updateText();
                },
                Qt::QueuedConnection);
        });
    m_services.notifications.addObserver(this, platform::desktopTriggersDidChange,
                                         [this](const runtime::Notification &) { updateText(); });
}

RecorderField::RecorderField(RecorderServices &services, std::optional<Shortcut> shortcut, OnChange onChange,
                             QWidget *parent)
    : QLineEdit(parent)
    , m_services(services)
    , m_storageMode(StorageMode::binding)
    , m_onChange(std::move(onChange))
    , m_bindingShortcut(shortcut)
{
    setUp();
    updateText();
}

RecorderField::~RecorderField()
{
    endRecording();
    m_services.notifications.removeObservers(this);
    if (m_recordingFilter)
        m_recordingFilter->deleteLater();
}

void RecorderField::setUp()
{
    [[maybe_unused]] static const bool elementsInstalled = [] {
        QAccessible::installFactory(recorderFieldElement);
        return true;
    }();
    setPlaceholderText(RecorderTexts::recordShortcut());
    setAlignment(Qt::AlignCenter);
    setFont(ui::systemFont(12));
    // The field draws its own surface; a stock frame would not follow the panel's scheme.
    setFrame(false);
    m_clearButton = new ClearButton(*this);
    connect(m_clearButton, &QAbstractButton::clicked, this, [this] {
        // The field takes the focus before it empties: the button hides with the shortcut,
        // and a hidden focus would move on to the next field, starting its recording.
        if (window())
            setFocus(Qt::OtherFocusReason);
        showText({});
        clearShortcut();
    });
    connect(this, &QLineEdit::textChanged, this, [this](const QString &text) {
        const bool clearable = !text.isEmpty();
        m_clearButton->setVisible(clearable);
        // A shortcut stays centred beside the button: its slot is kept free on both sides. The
        // placeholder has no button and needs the whole width.
        const int margin = clearable ? clearSlot : 0;
        setTextMargins(margin, 0, margin, 0);
    });
    // Recorded, never typed: no pasting, dropping or editing menu.
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    setDragEnabled(false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(this, &QLineEdit::textEdited, this, [this] {
        // Nothing is meant to edit the text (a selection pasted with the middle button would):
        // the edit is undone once it is over.
        QMetaObject::invokeMethod(this, [this] { updateText(); }, Qt::QueuedConnection);
    });
}

RecorderField *RecorderField::activeRecorder()
{
    return s_activeRecorder.data();
}

std::optional<Shortcut> RecorderField::shortcut() const
{
    if (m_storageMode == StorageMode::binding)
        return m_bindingShortcut;
    return m_services.storage.getShortcut(m_shortcutName);
}

void RecorderField::setShortcut(const std::optional<Shortcut> &shortcut)
{
    if (shortcut == this->shortcut())
        return;
    if (m_storageMode == StorageMode::binding)
        m_bindingShortcut = shortcut;
    else
        m_services.storage.setShortcut(shortcut, m_shortcutName);
    updateText();
}

void RecorderField::setShortcutName(const GlobalShortcuts::Name &name)
{
    const bool differs = name.rawValue != m_shortcutName.rawValue;
    m_shortcutName = name;
    if (differs && m_storageMode == StorageMode::name)
        updateText();
}

void RecorderField::updateText()
{
    QString shown;
    QString reason;
    if (m_storageMode == StorageMode::binding) {
        if (m_bindingShortcut)
            shown = m_bindingShortcut->description(m_services.layout);
    } else {
        const GlobalShortcuts::StoredShortcut stored = m_services.storage.storedShortcut(m_shortcutName);
        // What fires is what shows: keys the desktop bound instead. Stored keys that do nothing
        // still show, with the reason, so that they can be cleared.
        const auto instead = stored.kind == GlobalShortcuts::StoredShortcut::Kind::shortcut
            ? m_services.centre.desktopTriggerInstead(stored.shortcut)
            : std::nullopt;
        if (instead && !instead->isEmpty()) {
            shown = *instead;
        } else if (stored.kind == GlobalShortcuts::StoredShortcut::Kind::shortcut
                   || stored.kind == GlobalShortcuts::StoredShortcut::Kind::declined) {
            shown = stored.shortcut.description(m_services.layout);
            if (stored.kind == GlobalShortcuts::StoredShortcut::Kind::declined)
                reason = RecorderTexts::declinedInDesktop();
            else if (instead)
                reason = RecorderTexts::notBoundByDesktop();
        }
    }
    // Set only on a change: Qt tells assistive technologies of every text set.
    if (shown != text())
        showText(shown);
    setUnboundReason(reason);
}

void RecorderField::setHint(const QString &hint)
{
    m_hint = hint;
    ui::setPlainToolTip(*this, m_unboundReason.isEmpty() ? m_hint
                               : m_hint.isEmpty()        ? m_unboundReason
                                                         : m_unboundReason + QLatin1Char('\n') + m_hint);
    describeState();
}

void RecorderField::setUnboundReason(const QString &reason)
{
    if (reason == m_unboundReason)
        return;
    m_unboundReason = reason;
    setHint(m_hint);
    followScheme();
}

void RecorderField::setLabels(QWidget *title, QWidget *subtitle)
{
    m_title = title;
    m_subtitle = subtitle;
    if (!accessibleName().isEmpty())
        m_clearButton->setAccessibleName(RecorderTexts::clearShortcutOf(accessibleName()));
}

void RecorderField::showText(const QString &shown)
{
    // An empty field reads as its placeholder (see RecorderFieldElement): Qt tells of the
    // shortcut's arrival and departure, and this of the placeholder's, in the screen's order.
    const QString before = text();
    const bool told = QAccessible::isActive();
    if (told && before.isEmpty() && !shown.isEmpty()) {
        QAccessibleTextRemoveEvent removed(this, 0, placeholderText());
        QAccessible::updateAccessibility(&removed);
    }
    setText(shown);
    if (told && !before.isEmpty() && shown.isEmpty()) {
        QAccessibleTextInsertEvent inserted(this, 0, placeholderText());
        QAccessible::updateAccessibility(&inserted);
    }
}

void RecorderField::showPlaceholder(const QString &placeholder)
{
    const QString before = placeholderText();
    setPlaceholderText(placeholder);
    if (QAccessible::isActive() && text().isEmpty() && placeholder != before) {
        QAccessibleTextUpdateEvent changed(this, 0, before, placeholder);
        QAccessible::updateAccessibility(&changed);
    }
}

QSize RecorderField::sizeHint() const
{
    return {minimumWidth, ui::fieldSurface::height};
}

QSize RecorderField::minimumSizeHint() const
{
    return {minimumWidth, ui::fieldSurface::height};
}

void RecorderField::followScheme()
{
    const ui::ColorScheme scheme = ui::colorScheme(this);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    // Keys that do nothing are shown dimmed.
    colours.setColor(QPalette::Text, m_unboundReason.isEmpty() ? fieldText.resolve(scheme)
                                                               : ui::systemColours::secondary().resolve(scheme));
    colours.setColor(QPalette::Disabled, QPalette::Text, ui::systemColours::tertiary().resolve(scheme));
    colours.setColor(QPalette::PlaceholderText, ui::systemColours::secondary().resolve(scheme));
    if (colours != palette())
        setPalette(colours);
}

bool RecorderField::event(QEvent *event)
{
    // The page's Escape is a shortcut: the one this field takes must be claimed first.
    if (event->type() == QEvent::ShortcutOverride && m_takesNextEscape
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::Show || event->type() == QEvent::ParentChange)
        watchWindow();
    if (event->type() == QEvent::Show)
        describeState();
    if (event->type() == QEvent::Show || event->type() == QEvent::ParentChange ||
        event->type() == ui::EnvironmentChangeEvent::eventType())
        followScheme();
    return QLineEdit::event(event);
}

void RecorderField::watchWindow()
{
    QWidget *current = isVisible() ? window() : nullptr;
    if (current == m_watchedWindow)
        return;
    if (m_watchedWindow)
        m_watchedWindow->removeEventFilter(this);
    m_watchedWindow = current;
    if (!current) {
        endRecording();
        return;
    }
    current->installEventFilter(this);
    holdFocusForOneTurn();
}

void RecorderField::holdFocusForOneTurn()
{
    // A window that opens or comes back must not start a recording by handing its first
    // focus to this field; tabbing to it a moment later is fine.
    setFocusPolicy(Qt::NoFocus);
    QMetaObject::invokeMethod(this, [this] { setFocusPolicy(Qt::StrongFocus); }, Qt::QueuedConnection);
}

bool RecorderField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow) {
        if (event->type() == QEvent::WindowDeactivate && !m_isAlertShown) {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!window())
                        return;
                    endRecording();
                    stopFocus();
                },
                Qt::QueuedConnection);
        } else if (event->type() == QEvent::WindowActivate && !m_isAlertShown && !hasFocus()) {
            holdFocusForOneTurn();
        } else if (event->type() == QEvent::Hide) {
            endRecording();
        }
    }
    return QLineEdit::eventFilter(watched, event);
}

void RecorderField::focusInEvent(QFocusEvent *event)
{
    // Qt tells of the focus only once the field has taken it. Reached with Tab, a line edit
    // selects its text first, and a reader hearing of the selection and caret before the focus
    // moves on to the field silently; nothing is typed here, so there is nothing to select.
    QFocusEvent unselected(QEvent::FocusIn, Qt::OtherFocusReason);
    QLineEdit::focusInEvent(event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason ? &unselected : event);
    if (window() && isVisible() && !isRecording()) {
        startRecording();
        // Empty, the field reads as "Press Shortcut" with the focus. Showing a shortcut, it
        // reads the shortcut, and that it records is told once the focus has been, unless the
        // field was emptied meanwhile (Clear gives it the focus first): it then reads "Press
        // Shortcut" already.
        if (!text().isEmpty()) {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (isRecording() && !text().isEmpty())
                        ui::a11y::announce(placeholderText());
                },
                Qt::QueuedConnection);
        }
    }
}

void RecorderField::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    m_takesNextEscape = false;
    endRecording();
}

void RecorderField::keyPressEvent(QKeyEvent *event)
{
    // The Escape right after a recorded shortcut is the recording's: a person who just pressed
    // one is done with the field, not with the page.
    if (std::exchange(m_takesNextEscape, false) && event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    // Keys reach the field only as recordings; nothing is ever typed into it. Focused between
    // recordings, Space or Return starts the next one.
    const bool starts = event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!isRecording() && starts && !event->isAutoRepeat() && event->modifiers() == Qt::NoModifier) {
        startRecording();
        ui::a11y::announce(placeholderText());
        event->accept();
        return;
    }
    event->ignore();
}

void RecorderField::mousePressEvent(QMouseEvent *event)
{
    // A press on the field that kept the focus after a recording starts the next one.
    if (!isRecording() && hasFocus())
        startRecording();
    QLineEdit::mousePressEvent(event);
}

void RecorderField::inputMethodEvent(QInputMethodEvent *event)
{
    event->ignore();
}

void RecorderField::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    m_clearButton->setGeometry(width() - clearSlot - 2, 0, clearSlot, height());
}

void RecorderField::paintEvent(QPaintEvent *event)
{
    {
        QPainter surface(this);
        // A recording field is outlined in the accent colour, as a field in use is.
        ui::fieldSurface::paint(surface, *this,
                                isRecording() ? ui::fieldSurface::Outline::Accent : ui::fieldSurface::Outline::Resting);
    }
    QLineEdit::paintEvent(event);
    QPainter painter(this);
    if (hasFocus() && !isRecording()) {
        // Between recordings the focus stays here, and shows.
        painter.setRenderHint(QPainter::Antialiasing);
        controls::focusRing::paint(painter, this, QRectF(rect()), height() / 2.0);
    }
    // A centred line edit hides its placeholder while it has focus, which is exactly when
    // the field asks for a shortcut or, between recordings, offers to record one.
    if (!hasFocus() || !text().isEmpty())
        return;
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter, placeholderText());
}

void RecorderField::startRecording()
{
    if (isRecording())
        return;
    showPlaceholder(RecorderTexts::pressShortcut());
    // No blinking caret: nothing is typed here.
    setReadOnly(true);
    update();
    if (!m_recordingFilter)
        m_recordingFilter = new RecordingFilter(*this);
    setActive(true);
    qApp->installEventFilter(m_recordingFilter);
    m_isRecordingFilterInstalled = true;
}

void RecorderField::endRecording()
{
    if (m_isRecordingFilterInstalled) {
        qApp->removeEventFilter(m_recordingFilter);
        m_isRecordingFilterInstalled = false;
    }
    showPlaceholder(RecorderTexts::recordShortcut());
    setReadOnly(false);
    update();
    if (s_activeRecorder == this)
        setActive(false);
}

void RecorderField::describeState()
{
    // The hint alone, whatever the field shows: a reader says a description again whenever it
    // changes, and the field changes at every step of a recording, each told as it comes.
    ui::a11y::setDescription(this, ui::plainToolTipOf(*this));
}

void RecorderField::setActive(bool active)
{
    if (active) {
        s_activeRecorder = this;
        m_services.actions.setPaused(true);
    } else {
        s_activeRecorder = nullptr;
        m_services.actions.setPaused(false);
    }
    m_services.notifications.post(GlobalShortcuts::recorderActiveStatusDidChange,
                                  {{GlobalShortcuts::isActiveUserInfoKey, active}});
}

void RecorderField::stopFocus()
{
    // A window that is not active keeps its focus widget and gives it focus again when it
    // comes back, which would start a recording nobody asked for.
    if (hasFocus() || window()->focusWidget() == this)
        clearFocus();
}

void RecorderField::clearShortcut()
{
    if (m_storageMode == StorageMode::binding)
        m_bindingShortcut.reset();
    else
        m_services.storage.setShortcut(std::nullopt, m_shortcutName);
    if (m_onChange)
        m_onChange(std::nullopt);
    // Emptying the field is part of a recording: it goes on.
    if (window())
        setFocus(Qt::OtherFocusReason);
}

bool RecorderField::handleMouseRelease(const QMouseEvent &event)
{
    if (event.button() != Qt::LeftButton && event.button() != Qt::RightButton)
        return false;
    const QRect area = rect().adjusted(-clickTolerance, -clickTolerance, clickTolerance, clickTolerance);
    if (!area.contains(mapFromGlobal(event.globalPosition().toPoint())))
        stopFocus();
    return false;
}

bool RecorderField::handleKeyPress(const QKeyEvent &event)
{
    // A modifier going down is the start of a combination, not a key of its own.
    if (isModifierKey(Qt::Key(event.key())))
        return true;
    const auto keyEvent = GlobalShortcuts::KeyEvent::fromQt(event, m_services.layout);
    if (!keyEvent) {
        // A key with no place on the keyboard map makes no shortcut; the user hears so.
        m_services.beep();
        return true;
    }
    const ModifierFlags flags = keyEvent->modifierFlags;
    const auto key = Qt::Key(event.key());

    if (!holdsAny(flags, anyModifierMask)) {
        if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
            if (!text().isEmpty()) {
                showText({});
                clearShortcut();
                ui::a11y::announce(placeholderText());
            }
            return true;
        }
        if (keyEvent->carbonKeyCode == escapeCarbonKeyCode) {
            // The recording ends; the field keeps the focus, and the next Escape is the page's.
            endRecording();
            ui::a11y::announce(placeholderText());
            return true;
        }
    }
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && !holdsAny(flags, anyModifierButShiftMask)) {
        // Focus moves on from here, either way, which ends the recording.
        return false;
    }
    if (!holdsAny(flags, anyModifierButShiftMask) && !GlobalShortcuts::functionKeySet().contains(key)) {
        // Refused: a reader hears that the field still waits for a shortcut.
        m_services.beep();
        ui::a11y::announce(placeholderText());
        return true;
    }
    record(Shortcut::fromKeyEvent(*keyEvent));
    return true;
}

void RecorderField::record(const Shortcut &recorded)
{
    QPointer<RecorderField> alive(this);
    if (recorded != shortcut()) {
        const QMenu *menu = m_services.applicationMenu ? m_services.applicationMenu() : nullptr;
        if (const QAction *item =
                menu ? GlobalShortcuts::menuItemWithMatchingShortcut(recorded, *menu, m_services.layout) : nullptr) {
            const bool goOn = handleConflict(m_conflictPolicy.menuItem, RecorderTexts::usedByMenuItem(menuItemTitle(*item)),
                                             std::nullopt);
            if (!alive || !goOn)
                return;
        }
    }
    if (GlobalShortcuts::isDisallowed(recorded) && m_conflictPolicy.disallowed != ConflictBehavior::allow) {
        showAlert(RecorderTexts::disallowed(), std::nullopt, {});
        return;
    }
    if (GlobalShortcuts::isTakenBySystem(recorded, m_services.centre)) {
        const bool goOn = handleConflict(m_conflictPolicy.systemShortcut, RecorderTexts::usedBySystem(),
                                         RecorderTexts::canBeChanged());
        if (!alive || !goOn)
            return;
    }
    if (m_validateShortcut) {
        const auto verdict = m_validateShortcut(recorded);
        if (!verdict.isAllowed()) {
            showAlert(*verdict.reason(), std::nullopt, {});
            return;
        }
    }
    showText(recorded.description(m_services.layout));
    // The keys are still down: the new shortcut must not take their repeats or release.
    m_services.centre.holdUntilReleased(recorded.carbonKeyCode);
    store(recorded);
    if (!alive)
        return;
    if (m_onChange)
        m_onChange(recorded);
    // Recorded: the field keeps the focus (a reader stays on it, and hears the keys) and
    // Space records anew.
    if (alive) {
        endRecording();
        m_takesNextEscape = true;
        ui::a11y::announce(text());
    }
}

void RecorderField::store(const Shortcut &recorded)
{
    if (m_storageMode == StorageMode::binding)
        m_bindingShortcut = recorded;
    else
        m_services.storage.setShortcut(recorded, m_shortcutName);
}

bool RecorderField::handleConflict(ConflictBehavior behaviour, const QString &title,
                                   const std::optional<QString> &informativeText)
{
    switch (behaviour) {
    case ConflictBehavior::block:
        showAlert(title, informativeText, {});
        return false;
    case ConflictBehavior::warn:
        return showAlert(title, informativeText, {RecorderTexts::ok(), RecorderTexts::useAnyway()}) == 1;
    case ConflictBehavior::allow:
        return true;
    }
    return false;
}

int RecorderField::showAlert(const QString &text, const std::optional<QString> &informativeText,
                             const QStringList &buttons)
{
    QPointer<RecorderField> alive(this);
    QPointer<QWidget> owner = window();
    stopFocus();
    m_isAlertShown = true;
    const int response = m_services.alerts.present(owner, text, informativeText, buttons);
    if (!alive)
        return response;
    m_isAlertShown = false;
    // Recording starts again once the alert is gone.
    if (owner && isVisible()) {
        owner->activateWindow();
        setFocus(Qt::OtherFocusReason);
    }
    return response;
}

} // namespace vantora::recorder

#include "statusitem/PanelWindow.h"

#include "ui/Accessibility.h"
#include "ui/ModalParent.h"
#include "ui/WindowMover.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QShowEvent>
#include <QScopedValueRollback>
#include <QVBoxLayout>
#include <QWindow>

#include <utility>

namespace vantora::statusitem {

namespace {

// Qt's X11 window type for a utility window (_NET_WM_WINDOW_TYPE_UTILITY).
constexpr int x11UtilityWindowType = 0x20;

bool belongsTo(const QWidget *candidate, const QWidget *window)
{
    for (const QWidget *widget = candidate; widget; widget = widget->parentWidget()) {
        if (widget == window)
            return true;
    }
    return false;
}

} // namespace

PanelWindow::PanelWindow(QWidget *parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("vantora"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    applyWindowFlags();
}

void PanelWindow::setContent(QWidget *content)
{
    if (m_content == content)
        return;
    delete m_content;
    m_content = content;
    if (content)
        layout()->addWidget(content);
}

void PanelWindow::setPresentation(Presentation presentation)
{
    if (m_presentation == presentation)
        return;
    m_presentation = presentation;
    const bool wasVisible = isVisible();
    {
        const QScopedValueRollback reshowing(m_reshowing, true);
        applyWindowFlags();
        if (wasVisible)
            show();
    }
    // A question or alert open on the window stays above the window it became, with the keyboard.
    if (QWidget *dialog = ui::openDialogOf(*this); dialog && wasVisible && m_dialogTie)
        m_dialogTie(*dialog, *this);
    ui::bringDialogForward(*this);
    noteShown();
}

void PanelWindow::applyWindowFlags()
{
    const bool besideTrayIcon = m_presentation == Presentation::besideTrayIcon;
    if (besideTrayIcon) {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        // The window manager's move takes the keyboard for as long as it lasts, and the panel
        // closes when it loses the keyboard: dragged that way it would vanish.
        ui::Environment::scope(this).set(ui::windowMoverKey, &ui::WindowMover::byHand());
    } else {
        setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                       | Qt::WindowMinimizeButtonHint);
        ui::Environment::scope(this).unset(ui::windowMoverKey);
    }
    // Beside a tray icon the panel is a tool window to the X11 window manager by its type
    // alone: Qt's tool windows name a window they belong to, and with none they name one that
    // is never shown, which window managers refuse (GNOME's warns at every opening). Qt's X11
    // window takes its type from this property of its QWindow whenever flags are applied to
    // it, so they are applied once more, by way of a hint that X11 windows ignore.
    create();
    QWindow *window = windowHandle();
    window->setProperty("_q_xcb_wm_window_type", besideTrayIcon ? QVariant(x11UtilityWindowType) : QVariant());
    window->setFlags(window->flags() | Qt::MaximizeUsingFullscreenGeometryHint);
    window->setFlags(window->flags() & ~Qt::MaximizeUsingFullscreenGeometryHint);
}

void PanelWindow::present(std::optional<QPoint> position, std::optional<quint32> userTime)
{
    if (position && m_presentation == Presentation::besideTrayIcon)
        move(*position);
    // Readers meet each showing of the panel as a window newly active, whatever they made of
    // its going.
    if (!isShown())
        ui::a11y::renewElements(*this);
    // A minimised window would show again minimised, out of reach. A Wayland compositor lets no
    // window take itself back from the dock without the person's say: there it is shown anew.
    if (std::exchange(m_minimisedByPutAway, false) && QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        const QScopedValueRollback reshowing(m_reshowing, true);
        hide();
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    if (m_activator)
        m_activator(*this, userTime);
    else
        activateWindow();
    // A window that its own question blocks takes no key: the question comes with it.
    ui::bringDialogForward(*this);
    noteShown();
}

void PanelWindow::putAway()
{
    if (!isShown())
        return;
    if (m_presentation == Presentation::besideTrayIcon) {
        hide();
        return;
    }
    m_minimisedByPutAway = true;
    showMinimized();
    noteShown();
}

bool PanelWindow::isShown() const
{
    return isVisible() && !m_minimisedByPutAway && !windowState().testFlag(Qt::WindowMinimized);
}

void PanelWindow::setVisible(bool visible)
{
    // Readers hear of the window, not of each of its controls.
    const ui::a11y::WindowShownAsOne told(*this);
    QWidget::setVisible(visible);
}

bool PanelWindow::ownDialogIsOpen() const
{
    const QWidget *active = QApplication::activeWindow();
    const QWidget *modal = QApplication::activeModalWidget();
    return (active && active != this && belongsTo(active, this)) || (modal && belongsTo(modal, this))
        || (m_holdsDialog && m_holdsDialog());
}

bool PanelWindow::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::WindowActivate:
        // The window manager's activation may come after the panel was closed again (a quick
        // second click): it is not the panel's any more, and taken for one it would reopen it.
        // The activation a keyboard grab hands back never went, as far as the panel is
        // concerned: taken for a new one, it would show a panel a key has just asked to hide.
        if (isVisible() && !std::exchange(m_activationHeldByGrab, false)) {
            // Brought back from the task bar or the dock.
            m_minimisedByPutAway = false;
            noteShown();
            Q_EMIT activated();
        }
        break;
    case QEvent::WindowDeactivate:
        // Whatever the presentation: the show-or-hide key's own grab takes the activation while
        // the key is down, and hands it back as the key comes up, just as the key hides the window.
        if (m_focusHeldByGrab && m_focusHeldByGrab()) {
            m_activationHeldByGrab = true;
            break;
        }
        // An ordinary window stays where the user put it; a dialog of the panel's own
        // (an alert, a confirmation) must not take the panel away under it.
        if (m_presentation == Presentation::besideTrayIcon && !ownDialogIsOpen())
            Q_EMIT deactivated();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void PanelWindow::focusLeftDuringGrab()
{
    m_activationHeldByGrab = false;
    if (m_presentation == Presentation::besideTrayIcon && isVisible() && !isActiveWindow() && !ownDialogIsOpen())
        Q_EMIT deactivated();
}

void PanelWindow::keyboardFocusArrived()
{
    // The toolkit tells a window it lost the keyboard only a moment after the loss, in case the
    // keyboard comes back. Hidden and shown again within that moment (a key hid it, a click
    // shows it), the panel gets it back before the toolkit told anything: the toolkit sees no
    // change, while its widgets let the panel go as it hid. Left so, the panel shows without
    // the keyboard, its keys lost and a screen reader told nothing.
    if (isVisible() && windowHandle() && QGuiApplication::focusWindow() == windowHandle() && !isActiveWindow()) {
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        QApplication::setActiveWindow(this);
        QT_WARNING_POP
    }
}

void PanelWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Q_EMIT dismissed();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PanelWindow::showEvent(QShowEvent *event)
{
    // Sent before the window system shows the window.
    if (m_taskbarListing && !event->spontaneous())
        m_taskbarListing(*this, m_presentation);
    QWidget::showEvent(event);
    noteShown();
}

void PanelWindow::hideEvent(QHideEvent *event)
{
    // Shown again, the panel is activated anew.
    m_activationHeldByGrab = false;
    // Minimising hides the window too, told by the window system.
    if (!event->spontaneous())
        m_minimisedByPutAway = false;
    QWidget::hideEvent(event);
    noteShown();
}

void PanelWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Minimised or brought back by the window manager (its task bar, a title bar's button).
    if (event->type() == QEvent::WindowStateChange)
        noteShown();
}

void PanelWindow::noteShown()
{
    if (m_reshowing || isShown() == m_shown)
        return;
    m_shown = isShown();
    Q_EMIT shownChanged(m_shown);
}

void PanelWindow::closeEvent(QCloseEvent *event)
{
    // An ordinary window closes as any window does: with nothing else of the application on
    // the screen, that ends it.
    if (m_presentation == Presentation::normalWindow) {
        QWidget::closeEvent(event);
        return;
    }
    // Beside a tray icon, closing only hides: the icon opens the same window again.
    event->ignore();
    Q_EMIT dismissed();
}

} // namespace vantora::statusitem

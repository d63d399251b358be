#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

namespace vantora::statusitem {

// The window that holds the lights panel. Beside a tray icon it is a frameless tool window
// kept above others, which the tray item closes when it stops being the active window,
// except while a dialog of its own is open. Without a tray it is an ordinary window: put
// away (Escape, the tray item's toggle) it is minimised, and closed it is hidden for good.
class PanelWindow final : public QWidget {
    Q_OBJECT
public:
    enum class Presentation {
        besideTrayIcon,
        normalWindow,
    };
    // Gives the window the keyboard; `userTime` is the X time of the key or click that asked
    // for it, when known, so the window manager does not refuse the focus.
    using Activator = std::function<void(QWidget &window, std::optional<quint32> userTime)>;
    // Tells the window system, just before the window shows, whether task bars and pagers
    // list it: a panel beside a tray icon belongs to the icon, an ordinary window is listed.
    using TaskbarListing = std::function<void(QWidget &window, Presentation presentation)>;

    explicit PanelWindow(QWidget *parent = nullptr);

    // Replaces the content; the window owns it and takes its size.
    void setContent(QWidget *content);
    QWidget *content() const { return m_content; }

    Presentation presentation() const noexcept { return m_presentation; }
    void setPresentation(Presentation presentation);

    // Ties a dialog of the window's own to the window again, once the window system has a new
    // window for it (a change of presentation makes one): the dialog was tied to the old one.
    using DialogTie = std::function<void(QWidget &dialog, QWidget &window)>;

    void setActivator(Activator activator) { m_activator = std::move(activator); }
    void setDialogTie(DialogTie tie) { m_dialogTie = std::move(tie); }
    void setTaskbarListing(TaskbarListing listing) { m_taskbarListing = std::move(listing); }
    // Shows the window at `position` (ignored for a normal window, which the window manager
    // places) and activates it; a minimised window comes back.
    void present(std::optional<QPoint> position, std::optional<quint32> userTime);
    // Takes the window off the screen as its presentation does: beside a tray icon it hides;
    // an ordinary window is minimised, so that it stays in the task bar and the dock, the one
    // thing on the screen that leads back to the application.
    void putAway();
    // Shown and not put away: a minimised window counts as put away.
    bool isShown() const;

    // Whether a window of the application that belongs to this one (a dialog or alert
    // opened from it) is active or modal now, or the content says it holds one.
    bool ownDialogIsOpen() const;
    // Asked on every loss of the activation, besides the dialogs the window finds itself.
    void setHoldsDialog(std::function<bool()> holdsDialog) { m_holdsDialog = std::move(holdsDialog); }
    // Asked on every loss of the activation: whether a keyboard grab took it (a screen reader's
    // key listener, a global key), which hands it back as it ends. The person has not left.
    void setFocusHeldByGrab(std::function<bool()> heldByGrab) { m_focusHeldByGrab = std::move(heldByGrab); }
    // The activation a grab took went to another window meanwhile: the person left after all.
    void focusLeftDuringGrab();
    // The window system gave the shown panel the keyboard focus.
    void keyboardFocusArrived();

Q_SIGNALS:
    void activated();
    // Stopped being the active window for another application or one of its windows.
    void deactivated();
    // The user closed or dismissed it (close button, Escape).
    void dismissed();
    // Shown or put away (see isShown()), by whatever way. A change of presentation, which
    // hides the window and shows it again at once, changes nothing.
    void shownChanged(bool shown);

protected:
    void setVisible(bool visible) override;
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyWindowFlags();
    void noteShown();

    QPointer<QWidget> m_content;
    Presentation m_presentation = Presentation::besideTrayIcon;
    Activator m_activator;
    TaskbarListing m_taskbarListing;
    DialogTie m_dialogTie;
    std::function<bool()> m_holdsDialog;
    std::function<bool()> m_focusHeldByGrab;
    bool m_shown = false;
    // Minimised by putAway() until the window is activated or presented again: a Wayland
    // compositor never tells a window that it is minimised.
    bool m_minimisedByPutAway = false;
    // A keyboard grab took the activation, which the panel kept: it comes back as the grab ends.
    bool m_activationHeldByGrab = false;
    // Hidden to be shown again at once (for a new presentation, or back from minimised on
    // Wayland): the shown state does not change.
    bool m_reshowing = false;
};

} // namespace vantora::statusitem

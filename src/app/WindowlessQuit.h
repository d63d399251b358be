#pragma once

#include <QObject>

#include <functional>

namespace vantora {

// Ends the application once it shows no window while nothing else on the desktop shows it
// either (no tray to hold its icon): closing the last window then means quitting, since a
// process left running with nothing on screen is one a person can neither see nor end.
// A window minimised still counts as shown. Watches every window of the application from the
// moment it is made; the check runs on the turn after a window was hidden, so that a window
// that replaces another in the same turn counts. Main thread only.
class WindowlessQuit final : public QObject {
    Q_OBJECT
public:
    // `shownElsewhere`: whether the desktop shows the application without a window (a tray
    // host is there). `quit` runs at most once.
    WindowlessQuit(std::function<bool()> shownElsewhere, std::function<void()> quit, QObject *parent = nullptr);
    ~WindowlessQuit() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void check();

    std::function<bool()> m_shownElsewhere;
    std::function<void()> m_quit;
    bool m_checkPosted = false;
};

} // namespace vantora

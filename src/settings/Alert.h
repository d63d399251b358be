#pragma once

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace vantora {

// A modal question or notice with one or two buttons. The first button is the one that
// leads to an action; desktops order buttons their own way, so answers name the button,
// never its position.
struct Alert final {
    enum class Style {
        informational,
        warning,
    };
    enum class ReturnKey {
        confirms,
        cancels,
    };

    QString title;
    QString message;
    QString confirmText;
    // The second button; none for a notice with one button.
    std::optional<QString> cancelText;
    Style style = Style::informational;
    // Which button Return presses; Escape always presses the second (or the only) one.
    ReturnKey returnKey = ReturnKey::confirms;

    // A notice with its title, its message and one "OK" button.
    static Alert notice(QString title, QString message);

    bool operator==(const Alert &) const = default;
};

enum class AlertAnswer {
    confirmed,
    // The second button, Escape, or the box closed by the window manager.
    cancelled,
};

// Shows alerts. `answered` runs once, after the user answered, never before present()
// returns. With an `origin` the user sees, the alert is modal to that widget's window, else
// to the whole application and centred on the screen; either way it comes to the front.
class AlertPresenter {
public:
    virtual ~AlertPresenter() = default;
    virtual void present(const Alert &alert, QWidget *origin, std::function<void(AlertAnswer)> answered) = 0;
};

// Alerts as the desktop's message boxes; all text is shown as plain text.
class MessageBoxAlerts final : public AlertPresenter {
public:
    void present(const Alert &alert, QWidget *origin, std::function<void(AlertAnswer)> answered) override;

    // The presenter the application uses.
    static MessageBoxAlerts &shared();
};

// Shows a one-button notice, as every failure alert of the settings does.
void showAlert(AlertPresenter &alerts, QWidget *origin, const QString &title, const QString &message);

} // namespace vantora

#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QAbstractButton;
class QMessageBox;
class QWidget;

namespace vantora::recorder {

// Puts a warning in front of the user and waits for the answer. The recorder needs the
// answer before it can decide, so presenting runs a nested, window-modal loop.
class RecorderAlerts {
public:
    virtual ~RecorderAlerts() = default;

    // Shows `text` (and `informativeText` under it) with the given buttons, or a single
    // default button when there are none. Returns the position in `buttons` of the button
    // the user chose; 0 when there were none or the alert was dismissed another way.
    virtual int present(QWidget *window, const QString &text, const std::optional<QString> &informativeText,
                        const QStringList &buttons) = 0;
};

// Window-modal message boxes over the recorder's window. Desktops order a box's buttons
// by their own rules, so the answer is the button clicked, never its place on screen.
class MessageBoxRecorderAlerts final : public RecorderAlerts {
public:
    int present(QWidget *window, const QString &text, const std::optional<QString> &informativeText,
                const QStringList &buttons) override;

    // The box `present` shows, not yet shown; its added buttons in `buttons`' order.
    static QMessageBox *build(QWidget *window, const QString &text, const std::optional<QString> &informativeText,
                              const QStringList &buttons, std::vector<QAbstractButton *> &added);
};

} // namespace vantora::recorder

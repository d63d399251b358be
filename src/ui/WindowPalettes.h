#pragma once

#include <QObject>

namespace vantora::ui {

// Gives every window of the application the palette of its colour scheme: as it is shown,
// and again when the scheme changes while it is open. Windows that Qt makes on its own
// (message boxes, file dialogs, the text fields' edit menus, tooltips) keep no palette of
// their surroundings, so without this they draw in the desktop's colours, not the panel's.
class WindowPalettes final : public QObject {
    Q_OBJECT
public:
    // Watches the whole application while it lives.
    explicit WindowPalettes(QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace vantora::ui

#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace vantora {

// Minimises `window` on an Escape that nothing inside it took (a page going back, a sheet
// closing, an attempt cancelled take theirs first), while `applies` says so: a window that
// stands for the lights panel without a tray is put away by Escape as the panel is. Lives as
// long as the window.
class EscapeMinimises final : public QObject {
    Q_OBJECT
public:
    EscapeMinimises(QWidget &window, std::function<bool()> applies);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
    std::function<bool()> m_applies;
};

} // namespace vantora

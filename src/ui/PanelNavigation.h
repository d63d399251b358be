#pragma once

#include "ui/Environment.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class QWidget;

namespace vantora {

// Which top-level page the lights panel shows: the lights side, or the keyboard-shortcuts
// page. Announces only real changes. Main thread only.
class PanelNavigation final : public QObject {
    Q_OBJECT
public:
    explicit PanelNavigation(bool showsShortcuts = false, QObject *parent = nullptr)
        : QObject(parent), m_showsShortcuts(showsShortcuts)
    {
    }

    bool showsShortcuts() const noexcept { return m_showsShortcuts; }
    void setShowsShortcuts(bool shows)
    {
        if (m_showsShortcuts == shows)
            return;
        m_showsShortcuts = shows;
        Q_EMIT showsShortcutsChanged();
    }

Q_SIGNALS:
    void showsShortcutsChanged();

private:
    bool m_showsShortcuts;
};

// Opens the keyboard-shortcuts page of the panel around the caller; set by the lights panel
// for what it holds. Outside a panel it does nothing.
using OpenShortcutsAction = std::function<void()>;
inline const ui::EnvironmentKey<OpenShortcutsAction> openShortcutsKey{"openShortcuts", OpenShortcutsAction([] {})};

// The open-shortcuts action of the panel in each top-level window, for commands that live
// outside every panel (the tray menu, application-wide key shortcuts): they ask for the
// action of the active window.
class FocusedShortcuts final {
public:
    // Publishes `action` for `window` (a top-level window) for as long as `window` lives.
    static void publish(QWidget *window, OpenShortcutsAction action);
    // The action of the active window, if it published one.
    static std::optional<OpenShortcutsAction> ofActiveWindow();
    static std::optional<OpenShortcutsAction> of(const QWidget *window);
};

} // namespace vantora

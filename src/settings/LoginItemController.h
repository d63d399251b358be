#pragma once

#include "settings/LoginItemBackend.h"

#include "runtime/Property.h"

#include <QObject>
#include <QStringList>

#include <memory>

class QWidget;

namespace vantora {

class AlertPresenter;

// Whether this run only previews or demonstrates the application.
enum class LaunchKind {
    regular,
    // Start at login then shows what the desktop holds and never changes it.
    preview,
};

// The kind of launch `arguments` (the program first, as QCoreApplication gives them) ask
// for: a preview when one of the arguments after the program is exactly "--demo" or one of
// the preview flags. The program's own path never counts, whatever folder it lies in.
LaunchKind launchKindOf(const QStringList &arguments);

// The "Start at Login" setting: mirrors the desktop's record and changes it on request,
// asking for approval where the desktop needs it and telling the user when a change failed.
// Main thread only.
class LoginItemController final : public QObject {
    Q_OBJECT
public:
    LoginItemController(std::unique_ptr<LoginItemBackend> backend, LaunchKind launch, AlertPresenter &alerts,
                        QObject *parent = nullptr);

    // The application's controller: the XDG autostart entry of the running program, a
    // preview when the process arguments say so, the desktop's message boxes.
    static LoginItemController &shared();

    // False until the first refresh(); then whether the desktop starts the application at
    // login (an entry that still needs approval counts as off).
    bool isEnabled() const { return *m_isEnabled; }

    // Registers or unregisters the application, then reads the desktop's record again, so
    // isEnabled may stay as it was. Alerts are modal to `origin`'s window when given. A
    // failure is shown to the user, never passed on. A preview only reads the record again.
    void setEnabled(bool enabled, QWidget *origin = nullptr);
    // Reads the desktop's record.
    void refresh();

Q_SIGNALS:
    void isEnabledChanged();

private:
    void askForApproval(QWidget *origin);

    std::unique_ptr<LoginItemBackend> m_backend;
    LaunchKind m_launch;
    AlertPresenter &m_alerts;
    runtime::Property<bool> m_isEnabled{false, [this] { Q_EMIT isEnabledChanged(); }};
};

} // namespace vantora

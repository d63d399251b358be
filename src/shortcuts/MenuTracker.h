#pragma once

#include <QObject>
#include <QSet>

namespace vantora::runtime {
class NotificationCenter;
}

namespace vantora::GlobalShortcuts {

// Tells when a menu or popup of this application is open. An open popup holds the keyboard,
// so system-wide hot keys cannot fire meanwhile; the hot-key centre listens for these
// notifications and matches our own key events instead. Submenus and nested popups count
// as one: the first to open posts menuDidBeginTracking, the last to close
// menuDidEndTracking.
class MenuTracker final : public QObject {
    Q_OBJECT
public:
    static inline const QString menuDidBeginTracking = QStringLiteral("vantora.menuDidBeginTracking");
    static inline const QString menuDidEndTracking = QStringLiteral("vantora.menuDidEndTracking");

    // Watches the running application's windows; without an application it watches nothing.
    explicit MenuTracker(runtime::NotificationCenter &notifications, QObject *parent = nullptr);
    ~MenuTracker() override;

    bool isMenuOpen() const noexcept { return !m_openPopups.isEmpty(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void popupOpened(QObject *popup);
    void popupClosed(QObject *popup);

    runtime::NotificationCenter &m_notifications;
    QSet<QObject *> m_openPopups;
};

} // namespace vantora::GlobalShortcuts

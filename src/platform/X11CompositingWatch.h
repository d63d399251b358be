#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

namespace vantora::platform {

// Follows whether a compositing manager runs on the X screen: whether anyone owns the
// screen's _NET_WM_CM_S<n> selection. The server tells of every change of owner (XFixes
// selection events) on a connection of our own; nothing polls.
class X11CompositingWatch final : public QObject {
    Q_OBJECT
public:
    // Null when no X server answers on `displayName` (empty: $DISPLAY) or it lacks XFixes.
    static std::unique_ptr<X11CompositingWatch> open(const QByteArray &displayName);
    ~X11CompositingWatch() override;

    bool isCompositing() const noexcept { return m_compositing; }

Q_SIGNALS:
    void compositingChanged();

private:
    struct Connection;

    explicit X11CompositingWatch(std::unique_ptr<Connection> connection);
    void readEvents();

    std::unique_ptr<Connection> m_connection;
    bool m_compositing = false;
};

} // namespace vantora::platform

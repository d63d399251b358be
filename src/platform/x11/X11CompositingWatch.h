#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

namespace vantora::platform {

class X11SelectionOwner;

// Follows whether a compositing manager runs on the X screen: whether anyone owns the
// screen's _NET_WM_CM_S<n> selection.
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
    explicit X11CompositingWatch(std::unique_ptr<X11SelectionOwner> manager);
    void ownerChanged();

    std::unique_ptr<X11SelectionOwner> m_manager;
    bool m_compositing = false;
};

} // namespace vantora::platform

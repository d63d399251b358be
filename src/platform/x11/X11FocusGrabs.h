#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QSet>

#include <functional>

namespace vantora::platform {

// Tells, from the X server's focus events on the application's own connection, which of its
// windows lost the keyboard focus to a keyboard grab (a screen reader's key listener, a
// global key's grab, a window manager's move) rather than to another window. Such a grab
// hands the focus back as it ends; handed back to a window the application hid meanwhile, the
// focus is kept from the toolkit. Main thread only; does nothing without an X server.
class X11FocusGrabs final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit X11FocusGrabs(QObject *parent = nullptr);
    ~X11FocusGrabs() override;

    // Whether a grab took the focus from `window`, which has had no focus change since.
    bool focusHeldByGrab(quint32 window) const { return m_heldByGrab.contains(window); }

    // Asked as a grab that ends gives the focus back to a shown `window`: whether the window is
    // on its way out (the key whose grab it was hides it). The toolkit is then kept from the
    // focus, as for a window hidden already: taken, it would make the going window the active
    // one, and readers would read it as it goes.
    void setGoingAway(std::function<bool(quint32 window)> goingAway) { m_goingAway = std::move(goingAway); }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

Q_SIGNALS:
    // The focus a grab took from `window` went to another window meanwhile: it will not come
    // back as the grab ends.
    void focusLeft(quint32 window);
    // `window`, shown, got the keyboard focus.
    void focusArrived(quint32 window);

private:
    QSet<quint32> m_heldByGrab;
    std::function<bool(quint32)> m_goingAway;
};

} // namespace vantora::platform

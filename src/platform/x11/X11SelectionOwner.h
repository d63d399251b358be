#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>

#include <memory>
#include <vector>

namespace vantora::platform {

class X11Connection;

// Who owns one selection of the X screen, followed on a connection of our own. The server
// tells of every change (XFixes selection events): a new owner, the owner's window
// destroyed, the owner's client gone; nothing polls. Optionally also tells when the owner
// changes one property of its window, as a manager publishes its settings there.
class X11SelectionOwner final : public QObject {
    Q_OBJECT
public:
    // The selection is `screenSelection` followed by the screen's number (_NET_WM_CM_S0).
    // Null when no X server answers on `displayName` (empty: $DISPLAY) or it lacks XFixes.
    static std::unique_ptr<X11SelectionOwner> open(const QByteArray &displayName, const QByteArray &screenSelection);
    ~X11SelectionOwner() override;

    // The owner's window; None (0) when nobody owns the selection, or once the connection
    // broke: a server we no longer hear tells of no owner.
    quint32 owner() const noexcept { return m_owner; }
    bool hasFailed() const;

    // Tells of changes to `property` on every owner's window from now on.
    void watchOwnerProperty(const QByteArray &property);
    // The watched property of the current owner as 32-bit cardinals, at most `count` of
    // them; empty without an owner, or where the property is missing or of another kind.
    std::vector<quint32> ownerCardinals(quint32 count);

Q_SIGNALS:
    void ownerChanged();
    void ownerPropertyChanged();

private:
    X11SelectionOwner(std::unique_ptr<X11Connection> connection, quint32 selection, quint8 xfixesFirstEvent);
    void watchProperty(quint32 window);
    void readEvents();
    void readEventsLater();

    std::unique_ptr<X11Connection> m_connection;
    quint32 m_selection;
    quint8 m_xfixesFirstEvent;
    quint32 m_owner = 0;
    quint32 m_property = 0;
    QSocketNotifier m_notifier;
};

} // namespace vantora::platform

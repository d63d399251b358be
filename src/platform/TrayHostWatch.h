#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

namespace vantora::platform {

class X11SelectionOwner;

// Tells when a tray host comes or goes on the desktop: an XEmbed tray taking or leaving the
// screen's tray selection, or a StatusNotifierWatcher appearing on or leaving the session
// bus. It listens for the X server's and the bus's own announcements; nothing is polled.
// Whether the tray icon can really be shown is still for the toolkit to say: this only
// says when to ask it again, and that no tray is left.
class TrayHostWatch final : public QObject {
    Q_OBJECT
public:
    // `displayName` empty: $DISPLAY. Without an X server or a session bus, that side stays
    // without a host.
    explicit TrayHostWatch(const QByteArray &displayName = {}, QObject *parent = nullptr);
    ~TrayHostWatch() override;

    // Whether some tray host is there now, as far as the announcements tell.
    bool anyHost() const { return xembedTray() || statusNotifierWatcher(); }
    // An X11 tray that embeds its icons' windows.
    bool xembedTray() const;
    // A host that shows items over D-Bus.
    bool statusNotifierWatcher() const { return m_statusNotifierWatcher; }

Q_SIGNALS:
    // A tray host came, went, or was replaced by another.
    void changed();

private:
    std::unique_ptr<X11SelectionOwner> m_xembed;
    bool m_statusNotifierWatcher = false;
};

} // namespace vantora::platform

#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

namespace vantora::platform {

class X11SelectionOwner;

// Tells when a tray host comes or goes on the desktop: an XEmbed tray taking or leaving the
// screen's tray selection, or a host that shows items over D-Bus registering with the
// StatusNotifierWatcher or leaving it. A watcher alone shows nothing (one the bus starts on a
// desktop without a tray): it counts once it says a host is registered, or while it has not
// said otherwise. It listens for the X server's, the bus's and the watcher's own
// announcements; nothing is polled.
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
    bool anyHost() const { return xembedTray() || statusNotifierHost(); }
    // An X11 tray that embeds its icons' windows.
    bool xembedTray() const;
    // The watcher that items register with over D-Bus, with or without a host.
    bool statusNotifierWatcher() const { return m_statusNotifierWatcher; }
    // A host that shows items over D-Bus, registered with the watcher.
    bool statusNotifierHost() const { return m_statusNotifierWatcher && m_hostRegistered; }

Q_SIGNALS:
    // A tray host came, went, or was replaced by another.
    void changed();

private Q_SLOTS:
    // The watcher told that its hosts changed: it is asked whether one is registered now.
    void askWatcherForHost();

private:
    void setWatcher(bool present);
    void setHostRegistered(bool registered);

    std::unique_ptr<X11SelectionOwner> m_xembed;
    bool m_statusNotifierWatcher = false;
    // As the watcher last answered; a watcher that does not answer is taken for a host.
    bool m_hostRegistered = true;
    // Only the answer to the last question counts.
    quint64 m_question = 0;
};

} // namespace vantora::platform

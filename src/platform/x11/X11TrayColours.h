#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>
#include <optional>

namespace vantora::platform {

class X11SelectionOwner;

// A colour as X11 properties give it: 16 bits per channel.
struct X11Colour {
    quint16 red = 0;
    quint16 green = 0;
    quint16 blue = 0;

    friend bool operator==(const X11Colour &, const X11Colour &) = default;
};

// Reads what the X11 system tray of the screen (the owner of _NET_SYSTEM_TRAY_S<screen>)
// asks its icons to draw with, and says when that may have changed: the tray set its
// _NET_SYSTEM_TRAY_COLORS, or another tray took over. Many trays never say; the answer is
// then absent. Does nothing without an X server.
class X11TrayColours final : public QObject {
    Q_OBJECT
public:
    explicit X11TrayColours(const QByteArray &displayName = {}, QObject *parent = nullptr);
    ~X11TrayColours() override;

    // The foreground of the tray's colours, read afresh on every call.
    std::optional<X11Colour> foreground();

Q_SIGNALS:
    void changed();

private:
    std::unique_ptr<X11SelectionOwner> m_tray;
};

} // namespace vantora::platform

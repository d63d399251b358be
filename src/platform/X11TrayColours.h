#pragma once

#include <QByteArray>

#include <memory>
#include <optional>

namespace vantora::platform {

class X11Connection;

// A colour as X11 properties give it: 16 bits per channel.
struct X11Colour {
    quint16 red = 0;
    quint16 green = 0;
    quint16 blue = 0;

    friend bool operator==(const X11Colour &, const X11Colour &) = default;
};

// Reads what the X11 system tray of the screen (the owner of _NET_SYSTEM_TRAY_S<screen>)
// asks its icons to draw with. Many trays never say; the answers are then absent. Does
// nothing without an X server.
class X11TrayColours final {
public:
    explicit X11TrayColours(const QByteArray &displayName = {});
    ~X11TrayColours();

    // The foreground of the tray's _NET_SYSTEM_TRAY_COLORS, read afresh on every call: a tray
    // may set it or change it at any time.
    std::optional<X11Colour> foreground() const;

private:
    std::unique_ptr<X11Connection> m_connection;
};

} // namespace vantora::platform

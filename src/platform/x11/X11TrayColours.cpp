#include "platform/x11/X11TrayColours.h"

#include "platform/x11/X11SelectionOwner.h"

namespace vantora::platform {

X11TrayColours::X11TrayColours(const QByteArray &displayName, QObject *parent)
    : QObject(parent)
    , m_tray(X11SelectionOwner::open(displayName, "_NET_SYSTEM_TRAY_S"))
{
    if (!m_tray)
        return;
    m_tray->watchOwnerProperty("_NET_SYSTEM_TRAY_COLORS");
    connect(m_tray.get(), &X11SelectionOwner::ownerChanged, this, &X11TrayColours::changed);
    connect(m_tray.get(), &X11SelectionOwner::ownerPropertyChanged, this, &X11TrayColours::changed);
}

X11TrayColours::~X11TrayColours() = default;

std::optional<X11Colour> X11TrayColours::foreground()
{
    if (!m_tray)
        return std::nullopt;
    // Foreground, error, warning and success colours, each as red, green, blue.
    const std::vector<quint32> colours = m_tray->ownerCardinals(12);
    if (colours.size() < 3)
        return std::nullopt;
    return X11Colour{quint16(colours[0]), quint16(colours[1]), quint16(colours[2])};
}

} // namespace vantora::platform

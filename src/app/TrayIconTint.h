#pragma once

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <cstddef>
#include <memory>
#include <optional>

class QSystemTrayIcon;
class QWidget;

namespace vantora {

namespace platform {
class X11TrayColours;
}

// Keeps the tray icon's glyph in a colour that reads on the tray, as a one-colour image does
// on a desktop that tints it for its panel. The colour is the first that answers: the one an
// X11 tray asks its icons to use; one that contrasts with the tray's background, as the
// icon's own window in an X11 tray shows it around the glyph; until that is known, one that
// contrasts with the desktop's colour scheme.
// Draws again when the tray's colours or the scheme change, and after each time an X11 tray
// has the icon repainted.
// Main thread only; the icon must outlive this object.
class TrayIconTint final : public QObject {
    Q_OBJECT
public:
    explicit TrayIconTint(QSystemTrayIcon &icon, QObject *parent = nullptr);
    ~TrayIconTint() override;

private:
    void update();
    void drawnInto(QWidget &window, const QRect &glyph);
    void sampleBackground();

    QSystemTrayIcon &m_icon;
    std::unique_ptr<platform::X11TrayColours> m_trayColours;
    QPointer<QWidget> m_trayWindow;
    QRect m_glyph;
    std::optional<QColor> m_background;
    std::optional<QColor> m_tint;
    QTimer m_sampler;
    std::size_t m_samplesLeft = 0;
};

} // namespace vantora

#pragma once

#include "ui/DesktopSettings.h"

#include <QDBusConnection>
#include <QVariant>

class QDBusVariant;

namespace vantora::ui {

// The desktop's settings as xdg-desktop-portal publishes them: the freedesktop colour-scheme
// preference (GNOME's own key as a second source) and GNOME's animation switch. Values
// arrive asynchronously after construction and follow the portal's change signal. Without a
// bus or a portal every answer stays absent, silently.
class PortalDesktopSettings final : public DesktopSettings {
    Q_OBJECT
public:
    explicit PortalDesktopSettings(QDBusConnection bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    std::optional<ColorScheme> colorScheme() const override;
    std::optional<bool> animationsEnabled() const override;

    // The portal wraps values in variants, older versions twice.
    static QVariant unwrap(const QVariant &value);
    // org.freedesktop.appearance color-scheme: 1 dark, 2 light, anything else no preference.
    static std::optional<ColorScheme> colorSchemeFromFreedesktop(const QVariant &value);
    // org.gnome.desktop.interface color-scheme: "prefer-dark", "prefer-light", "default".
    static std::optional<ColorScheme> colorSchemeFromGnome(const QVariant &value);
    static std::optional<bool> animationsEnabledFrom(const QVariant &value);

private Q_SLOTS:
    void onSettingChanged(const QString &nameSpace, const QString &key, const QDBusVariant &value);

private:
    void read(const QString &nameSpace, const QString &key);
    void store(const QString &nameSpace, const QString &key, const QVariant &value);

    QDBusConnection m_bus;
    std::optional<ColorScheme> m_freedesktopScheme;
    std::optional<ColorScheme> m_gnomeScheme;
    std::optional<bool> m_animationsEnabled;
};

} // namespace vantora::ui

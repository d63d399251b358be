#include "ui/PortalDesktopSettings.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace vantora::ui {

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");

const QString freedesktopAppearance = QStringLiteral("org.freedesktop.appearance");
const QString gnomeInterface = QStringLiteral("org.gnome.desktop.interface");
const QString colorSchemeSetting = QStringLiteral("color-scheme");
const QString enableAnimationsSetting = QStringLiteral("enable-animations");

} // namespace

PortalDesktopSettings::PortalDesktopSettings(QDBusConnection bus, QObject *parent)
    : DesktopSettings(parent)
    , m_bus(std::move(bus))
{
    if (!m_bus.isConnected())
        return;
    // QtDBus matches the slot's parameter types by name, and Qt registers QDBusVariant's name
    // only on demand.
    qRegisterMetaType<QDBusVariant>();
    // QtDBus connects bus signals by signature only.
    m_bus.connect(portalService, portalPath, settingsInterface, QStringLiteral("SettingChanged"), this,
                  SLOT(onSettingChanged(QString, QString, QDBusVariant)));
    read(freedesktopAppearance, colorSchemeSetting);
    read(gnomeInterface, colorSchemeSetting);
    read(gnomeInterface, enableAnimationsSetting);
}

std::optional<ColorScheme> PortalDesktopSettings::colorScheme() const
{
    return m_freedesktopScheme ? m_freedesktopScheme : m_gnomeScheme;
}

std::optional<bool> PortalDesktopSettings::animationsEnabled() const
{
    return m_animationsEnabled;
}

QVariant PortalDesktopSettings::unwrap(const QVariant &value)
{
    QVariant current = value;
    while (current.metaType() == QMetaType::fromType<QDBusVariant>())
        current = current.value<QDBusVariant>().variant();
    return current;
}

std::optional<ColorScheme> PortalDesktopSettings::colorSchemeFromFreedesktop(const QVariant &value)
{
    const QVariant plain = unwrap(value);
    if (plain.metaType() != QMetaType::fromType<uint>())
        return std::nullopt;
    switch (plain.toUInt()) {
    case 1:
        return ColorScheme::Dark;
    case 2:
        return ColorScheme::Light;
    default:
        return std::nullopt;
    }
}

std::optional<ColorScheme> PortalDesktopSettings::colorSchemeFromGnome(const QVariant &value)
{
    const QVariant plain = unwrap(value);
    if (plain.metaType() != QMetaType::fromType<QString>())
        return std::nullopt;
    const QString text = plain.toString();
    if (text == QLatin1String("prefer-dark"))
        return ColorScheme::Dark;
    if (text == QLatin1String("prefer-light"))
        return ColorScheme::Light;
    return std::nullopt;
}

std::optional<bool> PortalDesktopSettings::animationsEnabledFrom(const QVariant &value)
{
    const QVariant plain = unwrap(value);
    if (plain.metaType() != QMetaType::fromType<bool>())
        return std::nullopt;
    return plain.toBool();
}

void PortalDesktopSettings::read(const QString &nameSpace, const QString &key)
{
    QDBusMessage call = QDBusMessage::createMethodCall(portalService, portalPath, settingsInterface,
                                                       QStringLiteral("Read"));
    call << nameSpace << key;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, nameSpace, key] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *watcher;
        // No portal, or a desktop without this setting: keep the fallback.
        if (reply.isError())
            return;
        store(nameSpace, key, reply.argumentAt<0>().variant());
    });
}

void PortalDesktopSettings::onSettingChanged(const QString &nameSpace, const QString &key, const QDBusVariant &value)
{
    store(nameSpace, key, value.variant());
}

void PortalDesktopSettings::store(const QString &nameSpace, const QString &key, const QVariant &value)
{
    if (key == colorSchemeSetting && (nameSpace == freedesktopAppearance || nameSpace == gnomeInterface)) {
        const auto before = colorScheme();
        auto &slot = nameSpace == freedesktopAppearance ? m_freedesktopScheme : m_gnomeScheme;
        slot = nameSpace == freedesktopAppearance ? colorSchemeFromFreedesktop(value) : colorSchemeFromGnome(value);
        if (colorScheme() != before)
            Q_EMIT colorSchemeChanged();
    } else if (key == enableAnimationsSetting && nameSpace == gnomeInterface) {
        const auto enabled = animationsEnabledFrom(value);
        if (enabled != m_animationsEnabled) {
            m_animationsEnabled = enabled;
            Q_EMIT animationsEnabledChanged();
        }
    }
}

} // namespace vantora::ui

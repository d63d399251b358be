// Runs on a private session bus (see with-session-bus.sh): a stand-in portal on one
// connection answers the settings client on another, as xdg-desktop-portal would.

#include "ui/PortalDesktopSettings.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QSignalSpy>

#include <gtest/gtest.h>

using vantora::ui::ColorScheme;
using vantora::ui::DesktopSettings;
using vantora::ui::PortalDesktopSettings;

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
// Replies and signals cross a real bus; this bounds how long a test waits for one.
constexpr int busTimeoutMs = 5000;

class FakePortal final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    uint colorScheme = 1;
    bool animations = false;

public Q_SLOTS:
    // Older portals answer with a variant inside the variant; so does this one.
    QDBusVariant Read(const QString &nameSpace, const QString &key)
    {
        if (nameSpace == QLatin1String("org.freedesktop.appearance") && key == QLatin1String("color-scheme"))
            return QDBusVariant(QVariant::fromValue(QDBusVariant(colorScheme)));
        if (nameSpace == QLatin1String("org.gnome.desktop.interface") && key == QLatin1String("enable-animations"))
            return QDBusVariant(QVariant::fromValue(QDBusVariant(animations)));
        return QDBusVariant(QVariant::fromValue(QDBusVariant(QStringLiteral("default"))));
    }
};

struct PortalDesktopSettingsTest : ::testing::Test {
    QDBusConnection portalBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fake-portal"));
    FakePortal portal;

    void SetUp() override
    {
        ASSERT_TRUE(portalBus.isConnected()) << "no session bus: run through with-session-bus.sh";
        ASSERT_TRUE(portalBus.registerObject(portalPath, &portal, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(portalBus.registerService(portalService));
    }

    void TearDown() override
    {
        portalBus.unregisterService(portalService);
        portalBus.unregisterObject(portalPath);
    }

    void announce(const QString &nameSpace, const QString &key, const QVariant &value)
    {
        QDBusMessage signal = QDBusMessage::createSignal(portalPath, settingsInterface, QStringLiteral("SettingChanged"));
        signal << nameSpace << key << QVariant::fromValue(QDBusVariant(value));
        portalBus.send(signal);
    }
};

} // namespace

TEST_F(PortalDesktopSettingsTest, ReadsTheDesktopsSettingsAndFollowsTheirChanges)
{
    PortalDesktopSettings settings(QDBusConnection::sessionBus());
    QSignalSpy scheme(&settings, &DesktopSettings::colorSchemeChanged);
    QSignalSpy animations(&settings, &DesktopSettings::animationsEnabledChanged);
    ASSERT_TRUE(scheme.wait(busTimeoutMs));
    if (animations.isEmpty()) {
        ASSERT_TRUE(animations.wait(busTimeoutMs));
    }
    EXPECT_EQ(settings.colorScheme(), ColorScheme::Dark);
    EXPECT_EQ(settings.animationsEnabled(), false);

    announce(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("color-scheme"), uint(2));
    ASSERT_TRUE(scheme.wait(busTimeoutMs));
    EXPECT_EQ(settings.colorScheme(), ColorScheme::Light);

    announce(QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("enable-animations"), true);
    ASSERT_TRUE(animations.wait(busTimeoutMs));
    EXPECT_EQ(settings.animationsEnabled(), true);
}

#include "PortalDesktopSettingsTest.moc"

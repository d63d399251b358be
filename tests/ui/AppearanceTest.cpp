#include "ui/Appearance.h"
#include "ui/DesktopSettings.h"
#include "ui/EnvironmentKeys.h"
#include "ui/PortalDesktopSettings.h"

#include <QApplication>
#include <QDBusVariant>
#include <QPalette>
#include <QProcessEnvironment>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using vantora::ui::Appearance;
using vantora::ui::AppearanceOverrides;
using vantora::ui::ColorScheme;
using vantora::ui::DesktopSettings;
using vantora::ui::Environment;
using vantora::ui::PortalDesktopSettings;
using vantora::ui::colorSchemeKey;
using vantora::ui::reduceMotionKey;

namespace {

class FakeDesktopSettings final : public DesktopSettings {
public:
    std::optional<ColorScheme> colorScheme() const override { return m_scheme; }
    std::optional<bool> animationsEnabled() const override { return m_animations; }

    void setColorScheme(std::optional<ColorScheme> scheme)
    {
        m_scheme = scheme;
        Q_EMIT colorSchemeChanged();
    }
    void setAnimationsEnabled(std::optional<bool> enabled)
    {
        m_animations = enabled;
        Q_EMIT animationsEnabledChanged();
    }

private:
    std::optional<ColorScheme> m_scheme;
    std::optional<bool> m_animations;
};

QPalette paletteWithWindow(const QColor &colour)
{
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, colour);
    return palette;
}

struct AppearanceTest : ::testing::Test {
    QWidget window;
    Environment &scope = Environment::scope(&window);
    FakeDesktopSettings desktop;
    QPalette originalPalette = QApplication::palette();

    void TearDown() override { QApplication::setPalette(originalPalette); }
};

} // namespace

TEST_F(AppearanceTest, TheFirstSourceThatAnswersDecides)
{
    QApplication::setPalette(paletteWithWindow(Qt::black));
    struct Row {
        std::string name;
        AppearanceOverrides overrides;
        std::optional<ColorScheme> desktopScheme;
        std::optional<bool> animations;
        ColorScheme scheme;
        bool reduceMotion;
    };
    const std::vector<Row> rows = {
        {"nothing said: the dark palette, full motion", {}, std::nullopt, std::nullopt, ColorScheme::Dark, false},
        {"the desktop beats the palette", {}, ColorScheme::Light, false, ColorScheme::Light, true},
        {"an override beats the desktop", {ColorScheme::Dark, false}, ColorScheme::Light, false, ColorScheme::Dark,
         false},
        {"overrides stand alone", {std::nullopt, true}, ColorScheme::Light, true, ColorScheme::Light, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        desktop.setColorScheme(row.desktopScheme);
        desktop.setAnimationsEnabled(row.animations);
        Appearance appearance(scope, &desktop, row.overrides);
        EXPECT_EQ(scope.value(colorSchemeKey), row.scheme);
        EXPECT_EQ(scope.value(reduceMotionKey), row.reduceMotion);
    }
}

TEST_F(AppearanceTest, DesktopAndPaletteChangesShowLive)
{
    QApplication::setPalette(paletteWithWindow(Qt::white));
    Appearance appearance(scope, &desktop, {});
    EXPECT_EQ(scope.value(colorSchemeKey), ColorScheme::Light);

    QApplication::setPalette(paletteWithWindow(QColor(30, 30, 30)));
    EXPECT_EQ(scope.value(colorSchemeKey), ColorScheme::Dark);

    desktop.setColorScheme(ColorScheme::Light);
    desktop.setAnimationsEnabled(false);
    EXPECT_EQ(scope.value(colorSchemeKey), ColorScheme::Light);
    EXPECT_TRUE(scope.value(reduceMotionKey));

    appearance.setOverrides({ColorScheme::Dark, false});
    EXPECT_EQ(scope.value(colorSchemeKey), ColorScheme::Dark);
    EXPECT_FALSE(scope.value(reduceMotionKey));
}

TEST_F(AppearanceTest, WithoutDesktopSettingsThePaletteDecides)
{
    QApplication::setPalette(paletteWithWindow(QColor(20, 20, 24)));
    Appearance appearance(scope, nullptr, {});
    EXPECT_EQ(scope.value(colorSchemeKey), ColorScheme::Dark);
    EXPECT_FALSE(scope.value(reduceMotionKey));
}

TEST(AppearanceOverrides, ReadFromTheProcessEnvironment)
{
    struct Row {
        std::string name;
        QString scheme, reduceMotion;
        AppearanceOverrides expected;
    };
    const std::vector<Row> rows = {
        {"unset", {}, {}, {}},
        {"dark and reduced", "dark", "1", {ColorScheme::Dark, true}},
        {"any case, words", "LIGHT", "false", {ColorScheme::Light, false}},
        {"unknown values count as absent", "purple", "maybe", {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QProcessEnvironment environment;
        if (!row.scheme.isNull())
            environment.insert(QStringLiteral("VANTORA_COLOR_SCHEME"), row.scheme);
        if (!row.reduceMotion.isNull())
            environment.insert(QStringLiteral("VANTORA_REDUCE_MOTION"), row.reduceMotion);
        EXPECT_EQ(AppearanceOverrides::fromProcessEnvironment(environment), row.expected);
    }
}

TEST(PortalDesktopSettings, ReadsThePortalsValuesHoweverDeeplyWrapped)
{
    const auto wrapped = [](const QVariant &value) { return QVariant::fromValue(QDBusVariant(value)); };
    EXPECT_EQ(PortalDesktopSettings::colorSchemeFromFreedesktop(wrapped(wrapped(uint(1)))), ColorScheme::Dark);
    EXPECT_EQ(PortalDesktopSettings::colorSchemeFromFreedesktop(wrapped(uint(2))), ColorScheme::Light);
    EXPECT_EQ(PortalDesktopSettings::colorSchemeFromFreedesktop(uint(0)), std::nullopt);
    EXPECT_EQ(PortalDesktopSettings::colorSchemeFromFreedesktop(QStringLiteral("1")), std::nullopt);
    EXPECT_EQ(PortalDesktopSettings::colorSchemeFromGnome(wrapped(QStringLiteral("prefer-dark"))), ColorScheme::Dark);
    EXPECT_EQ(PortalDesktopSettings::colorSchemeFromGnome(QStringLiteral("default")), std::nullopt);
    EXPECT_EQ(PortalDesktopSettings::animationsEnabledFrom(wrapped(wrapped(false))), false);
    EXPECT_EQ(PortalDesktopSettings::animationsEnabledFrom(uint(0)), std::nullopt);
}

TEST(PortalDesktopSettings, WithoutABusItSaysNothing)
{
    PortalDesktopSettings settings(QDBusConnection(QStringLiteral("vantora-no-such-bus")));
    EXPECT_EQ(settings.colorScheme(), std::nullopt);
    EXPECT_EQ(settings.animationsEnabled(), std::nullopt);
}

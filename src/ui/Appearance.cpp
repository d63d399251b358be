#include "ui/Appearance.h"

#include "ui/DesktopSettings.h"
#include "ui/EnvironmentKeys.h"

#include <QGuiApplication>
#include <QPalette>
#include <QProcessEnvironment>

namespace vantora::ui {

namespace {

const QString colorSchemeVariable = QStringLiteral("VANTORA_COLOR_SCHEME");
const QString reduceMotionVariable = QStringLiteral("VANTORA_REDUCE_MOTION");

std::optional<ColorScheme> parseColorScheme(const QString &text)
{
    if (text.compare(QLatin1String("dark"), Qt::CaseInsensitive) == 0)
        return ColorScheme::Dark;
    if (text.compare(QLatin1String("light"), Qt::CaseInsensitive) == 0)
        return ColorScheme::Light;
    return std::nullopt;
}

std::optional<bool> parseSwitch(const QString &text)
{
    if (text == QLatin1String("1") || text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text == QLatin1String("0") || text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

} // namespace

AppearanceOverrides AppearanceOverrides::fromProcessEnvironment(const QProcessEnvironment &environment)
{
    return {parseColorScheme(environment.value(colorSchemeVariable)),
            parseSwitch(environment.value(reduceMotionVariable))};
}

Appearance::Appearance(Environment &target, DesktopSettings *desktop, AppearanceOverrides overrides, QObject *parent)
    : QObject(parent)
    , m_target(target)
    , m_desktop(desktop)
    , m_overrides(overrides)
{
    if (m_desktop) {
        connect(m_desktop, &DesktopSettings::colorSchemeChanged, this, &Appearance::publish);
        connect(m_desktop, &DesktopSettings::animationsEnabledChanged, this, &Appearance::publish);
    }
    // The palette answers only when nothing above it does, but it may change at any time.
    qGuiApp->installEventFilter(this);
    publish();
}

void Appearance::setOverrides(AppearanceOverrides overrides)
{
    m_overrides = overrides;
    publish();
}

ColorScheme Appearance::colorScheme() const
{
    if (m_overrides.colorScheme)
        return *m_overrides.colorScheme;
    if (m_desktop) {
        if (const auto scheme = m_desktop->colorScheme())
            return *scheme;
    }
    return colorSchemeOf(QGuiApplication::palette());
}

bool Appearance::reduceMotion() const
{
    if (m_overrides.reduceMotion)
        return *m_overrides.reduceMotion;
    if (m_desktop) {
        if (const auto enabled = m_desktop->animationsEnabled())
            return !*enabled;
    }
    return false;
}

ColorScheme Appearance::colorSchemeOf(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < 128 ? ColorScheme::Dark : ColorScheme::Light;
}

bool Appearance::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qGuiApp && event->type() == QEvent::ApplicationPaletteChange)
        publish();
    return QObject::eventFilter(watched, event);
}

void Appearance::publish()
{
    m_target.set(colorSchemeKey, colorScheme());
    m_target.set(reduceMotionKey, reduceMotion());
}

} // namespace vantora::ui

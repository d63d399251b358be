#pragma once

#include "ui/ColorScheme.h"

#include <QObject>

#include <optional>

class QPalette;
class QProcessEnvironment;

namespace vantora::ui {

class DesktopSettings;
class Environment;

// Fixed answers that beat the desktop: a launch flag, a preview window, the process
// environment (VANTORA_COLOR_SCHEME=dark|light, VANTORA_REDUCE_MOTION=1|0).
struct AppearanceOverrides final {
    std::optional<ColorScheme> colorScheme;
    std::optional<bool> reduceMotion;

    // Unknown or empty values count as absent.
    static AppearanceOverrides fromProcessEnvironment(const QProcessEnvironment &environment);

    friend bool operator==(const AppearanceOverrides &, const AppearanceOverrides &) = default;
};

// Keeps the colour scheme and Reduce Motion of an environment (the application's root scope)
// in step with the desktop. Each value comes from the first source that answers: the
// override, the desktop's settings, then for the scheme the application palette (dark when
// its window colour is dark) and for motion "full motion". Changes of any source show live.
class Appearance final : public QObject {
    Q_OBJECT
public:
    // `desktop` may be null; it must outlive this object.
    Appearance(Environment &target, DesktopSettings *desktop, AppearanceOverrides overrides, QObject *parent = nullptr);

    void setOverrides(AppearanceOverrides overrides);
    const AppearanceOverrides &overrides() const noexcept { return m_overrides; }

    ColorScheme colorScheme() const;
    bool reduceMotion() const;

    static ColorScheme colorSchemeOf(const QPalette &palette);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void publish();

    Environment &m_target;
    DesktopSettings *m_desktop;
    AppearanceOverrides m_overrides;
};

} // namespace vantora::ui

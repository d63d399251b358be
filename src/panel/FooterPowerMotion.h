#pragma once

#include "ui/Animation.h"
#include "ui/Environment.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace vantora {

// How the footer's home power button comes into view once the list's header has scrolled
// away, and how it leaves. The raw value is the motion's name and identity.
enum class FooterPowerMotion {
    original,
    quick,
    softSpring,
    momentum,
};

inline constexpr std::array<FooterPowerMotion, 4> allFooterPowerMotions{
    FooterPowerMotion::original, FooterPowerMotion::quick, FooterPowerMotion::softSpring,
    FooterPowerMotion::momentum,
};

// "Original", "Quick", "Soft spring", "Momentum".
QString rawValue(FooterPowerMotion motion);
// Exactly one of the raw values, letter case and spacing included; anything else is absent.
std::optional<FooterPowerMotion> footerPowerMotionFromRawValue(QStringView text);

// One sentence on how the motion feels, for the motion examples window.
QString description(FooterPowerMotion motion);

ui::Animation showAnimation(FooterPowerMotion motion);
ui::Animation hideAnimation(FooterPowerMotion motion);
// How far to the right the button starts when it slides in (and ends when it slides out).
qreal slideOffset(FooterPowerMotion motion);

// The animation of a show (or hide) of the footer power button: none under Reduce Motion.
ui::Animation footerPowerAnimation(FooterPowerMotion motion, bool showing, bool reduceMotion);

// Only the motion examples window sets these; the panel itself uses the defaults.
inline const ui::EnvironmentKey<FooterPowerMotion> footerMotionKey{"footerMotion", FooterPowerMotion::softSpring};
// Forces the footer power button shown or hidden; absent lets the scroll position decide.
inline const ui::EnvironmentKey<std::optional<bool>> footerPreviewVisibleKey{"footerPreviewVisible", std::nullopt};

} // namespace vantora

#pragma once

#include "bridge/MirekRange.h"
#include "controls/ValueRange.h"

#include <QString>

#include <array>
#include <optional>

// White temperatures as the light page shows them, in kelvin, and as the bridge takes them,
// in mirek (1 000 000 / kelvin). Kelvin is the reciprocal of mirek, so the coolest mirek
// bound is the warmest kelvin bound and the other way round.
namespace vantora::controls::whiteTemperature {

// The range a light without one of its own, or with one that names no temperature (a bound
// of 0 or below, or the bounds reversed), is shown with: 153 … 500 mirek.
inline constexpr MirekRange defaultMirekRange{153, 500};
// What a light that reports no temperature is shown at.
inline constexpr qint64 fallbackMirek = 370;

// The light's range in kelvin, never empty-reversed and never containing 0.
ValueRange kelvinRange(const std::optional<MirekRange> &mirekRange);

// Whole mirek for `kelvin`, halves away from zero. A kelvin value of 0 or below, or one that
// is not finite, gives the warmest default mirek rather than an undefined number.
qint64 mirek(double kelvin);

// The kelvin of `mirek`; 0 or below reads as infinitely cool, which a clamp then bounds.
double kelvin(qint64 mirek);

struct Preset final {
    const char *name;
    double nominalKelvin;
};

// Warm to cool, in the order the strip shows them.
inline constexpr std::array<Preset, 4> presets{{
    {QT_TRANSLATE_NOOP("LightDetailView", "Relax"), 2200},
    {QT_TRANSLATE_NOOP("LightDetailView", "Everyday"), 2700},
    {QT_TRANSLATE_NOOP("LightDetailView", "Focus"), 4000},
    {QT_TRANSLATE_NOOP("LightDetailView", "Daylight"), 6500},
}};

QString presetName(const Preset &preset);

// The preset the strip highlights for `kelvin` on a light of `range`: the preferred preset
// (the one the user picked last) while `kelvin` is less than 50 K from where that preset
// lands in the range; otherwise the preset nearest once clamped into the range, ties going
// to the one nearer unclamped, and full ties to the warmer. Returns its nominal kelvin.
double activePreset(double kelvin, std::optional<double> preferred, ValueRange range);

// The index in `presets` of the preset with nominal kelvin `nominal`; the first when none has it.
std::size_t presetIndex(double nominal);

} // namespace vantora::controls::whiteTemperature

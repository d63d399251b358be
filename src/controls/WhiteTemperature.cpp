#include "controls/WhiteTemperature.h"

#include <QCoreApplication>

#include <cmath>

namespace vantora::controls::whiteTemperature {

namespace {

constexpr double mirekPerKelvin = 1'000'000.0;

bool namesATemperature(const MirekRange &range)
{
    return range.lowerBound > 0 && range.lowerBound <= range.upperBound;
}

} // namespace

ValueRange kelvinRange(const std::optional<MirekRange> &mirekRange)
{
    const MirekRange range = mirekRange && namesATemperature(*mirekRange) ? *mirekRange : defaultMirekRange;
    return {.lower = kelvin(range.upperBound), .upper = kelvin(range.lowerBound)};
}

qint64 mirek(double kelvinValue)
{
    if (!std::isfinite(kelvinValue) || kelvinValue <= 0)
        return defaultMirekRange.upperBound;
    return static_cast<qint64>(std::round(mirekPerKelvin / kelvinValue));
}

double kelvin(qint64 mirekValue)
{
    if (mirekValue <= 0)
        return HUGE_VAL;
    return mirekPerKelvin / static_cast<double>(mirekValue);
}

QString presetName(const Preset &preset)
{
    return QCoreApplication::translate("LightDetailView", preset.name);
}

double activePreset(double kelvinValue, std::optional<double> preferred, ValueRange range)
{
    if (preferred && std::abs(kelvinValue - range.clamp(*preferred)) < 50)
        return *preferred;
    const Preset *best = &presets.front();
    for (const Preset &candidate : presets) {
        const double clampedToCandidate = std::abs(kelvinValue - range.clamp(candidate.nominalKelvin));
        const double clampedToBest = std::abs(kelvinValue - range.clamp(best->nominalKelvin));
        if (clampedToCandidate < clampedToBest
            || (clampedToCandidate == clampedToBest
                && std::abs(kelvinValue - candidate.nominalKelvin) < std::abs(kelvinValue - best->nominalKelvin)))
            best = &candidate;
    }
    return best->nominalKelvin;
}

std::size_t presetIndex(double nominal)
{
    for (std::size_t index = 0; index < presets.size(); ++index) {
        if (presets[index].nominalKelvin == nominal)
            return index;
    }
    return 0;
}

} // namespace vantora::controls::whiteTemperature

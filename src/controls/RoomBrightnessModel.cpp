#include "controls/RoomBrightnessModel.h"

#include "controls/Readouts.h"

#include "bridge/LightRoom.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace vantora::controls {

namespace {

QString tr(const char *text) { return QCoreApplication::translate("RoomBrightnessSlider", text); }

} // namespace

void RoomBrightnessModel::setLights(std::vector<HueLight> lights)
{
    if (lights == m_lights)
        return;
    m_lights = std::move(lights);
    if (!hasLitLights() || (!m_updating && !m_editing))
        m_draft.reset();
}

void RoomBrightnessModel::setLocked(bool locked) { m_locked = locked; }

void RoomBrightnessModel::setUpdating(bool updating)
{
    if (updating == m_updating)
        return;
    m_updating = updating;
    if (!updating && !m_editing)
        m_draft.reset();
}

void RoomBrightnessModel::setEditing(bool editing)
{
    m_editing = editing;
    if (!editing && !m_updating)
        m_draft.reset();
}

std::optional<double> RoomBrightnessModel::setValue(double value)
{
    if (m_locked || !hasLitLights() || !std::isfinite(value))
        return std::nullopt;
    m_draft = value;
    return value;
}

std::optional<double> RoomBrightnessModel::step(double by)
{
    if (m_locked || !hasLitLights())
        return std::nullopt;
    const double next = range().clamp(displayValue() + by);
    m_draft = next;
    return next;
}

bool RoomBrightnessModel::isDisabled() const { return m_locked || !hasLitLights(); }

bool RoomBrightnessModel::hasLitLights() const { return !brightnessLights(m_lights).empty(); }

double RoomBrightnessModel::floor() const
{
    // A floor above 100 could not form a range; no light should report one, but a room
    // must not become unusable if one does.
    const double lowest = minimumBrightness(m_lights);
    return std::isfinite(lowest) ? std::min(lowest, 100.0) : 1.0;
}

double RoomBrightnessModel::displayValue() const
{
    if (m_draft)
        return *m_draft;
    const double average = averageBrightness(m_lights).value_or(floor());
    return std::isfinite(average) ? average : floor();
}

bool RoomBrightnessModel::hasSpread() const
{
    if (m_draft)
        return false;
    const std::vector<HueLight> lit = brightnessLights(m_lights);
    if (lit.size() < 2)
        return false;
    const auto [lowest, highest] = std::minmax_element(
        lit.begin(), lit.end(), [](const HueLight &a, const HueLight &b) { return *a.brightness < *b.brightness; });
    return *highest->brightness - *lowest->brightness >= 1.0;
}

QString RoomBrightnessModel::valueLabel() const
{
    if (!hasLitLights())
        return tr("No lights are on");
    const QString value = readouts::percentWord(displayValue());
    return hasSpread() ? value + tr(", average") : value;
}

QString RoomBrightnessModel::readout() const
{
    return hasLitLights() ? readouts::percentSign(displayValue()) : readouts::noValue();
}

QString RoomBrightnessModel::help() const
{
    return hasLitLights() ? tr("Adjusts lights that are on. Off lights stay off.")
                          : tr("Turn on a dimmable light to adjust brightness.");
}

} // namespace vantora::controls

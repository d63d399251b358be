#include "panel/ScrollEditModel.h"

#include <algorithm>

namespace vantora {

std::optional<double> ScrollEditModel::step(double step, const HueLight &light)
{
    const std::optional<double> base = m_value ? m_value : light.brightness;
    if (!base)
        return std::nullopt;
    const double value = std::min(std::max(*base + step, double(light.minimumBrightness)), 100.0);
    if (value == *base)
        return std::nullopt;
    m_value = value;
    return value;
}

void ScrollEditModel::editing(bool editing, bool isUpdating)
{
    m_editing = editing;
    if (!editing && !isUpdating)
        m_value.reset();
}

void ScrollEditModel::updatingChanged(bool isUpdating)
{
    if (!isUpdating && !m_editing)
        m_value.reset();
}

void ScrollEditModel::lightChanged(const HueLight &light, bool isUpdating)
{
    if (!light.isOn || !light.isReachable || (!isUpdating && !m_editing))
        m_value.reset();
}

} // namespace vantora

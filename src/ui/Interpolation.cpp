#include "ui/Interpolation.h"

#include <algorithm>

namespace vantora::ui {

QColor interpolate(const QColor &from, const QColor &to, double progress)
{
    const auto mix = [progress](float a, float b) {
        return std::clamp(static_cast<float>(a + (b - a) * progress), 0.0f, 1.0f);
    };
    const QColor a = from.toRgb();
    const QColor b = to.toRgb();
    return QColor::fromRgbF(mix(a.redF(), b.redF()), mix(a.greenF(), b.greenF()), mix(a.blueF(), b.blueF()),
                            mix(a.alphaF(), b.alphaF()));
}

} // namespace vantora::ui

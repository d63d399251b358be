#include "ui/Colours.h"

#include <QColorSpace>
#include <QColorTransform>

#include <algorithm>

namespace vantora::ui::colours {

QColor grey(qreal level, qreal alpha)
{
    return QColor::fromRgbF(level, level, level, alpha);
}

QColor grey255(int level, qreal alpha)
{
    return grey(level / 255.0, alpha);
}

QColor white(qreal alpha)
{
    return grey(1, alpha);
}

QColor black(qreal alpha)
{
    return grey(0, alpha);
}

QColor displayP3(qreal red, qreal green, qreal blue, qreal alpha)
{
    static const QColorTransform toSrgb =
        QColorSpace(QColorSpace::DisplayP3).transformationToColorSpace(QColorSpace::SRgb);
    // The transform answers in extended sRGB; saturated P3 colours fall outside 0…1.
    const QColor mapped = toSrgb.map(QColor::fromRgbF(red, green, blue));
    const auto clamp = [](float value) { return std::clamp(value, 0.0f, 1.0f); };
    return QColor::fromRgbF(clamp(mapped.redF()), clamp(mapped.greenF()), clamp(mapped.blueF()), alpha);
}

} // namespace vantora::ui::colours

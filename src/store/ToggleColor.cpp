#include "store/ToggleColor.h"

namespace vantora {

QString rawValue(ToggleColor color)
{
    switch (color) {
    case ToggleColor::amber:
        return QStringLiteral("amber");
    case ToggleColor::aqua:
        return QStringLiteral("aqua");
    case ToggleColor::blue:
        return QStringLiteral("blue");
    case ToggleColor::green:
        return QStringLiteral("green");
    case ToggleColor::purple:
        return QStringLiteral("purple");
    }
    Q_UNREACHABLE();
    return {};
}

QString name(ToggleColor color)
{
    QString text = rawValue(color);
    text[0] = text[0].toUpper();
    return text;
}

template <>
std::optional<ToggleColor> fromRawValue<ToggleColor>(QStringView text)
{
    for (const ToggleColor color : allToggleColors) {
        if (text == rawValue(color))
            return color;
    }
    return std::nullopt;
}

} // namespace vantora

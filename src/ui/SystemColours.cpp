#include "ui/SystemColours.h"

#include "ui/Colours.h"

namespace vantora::ui::systemColours {

DynamicColor orange()
{
    return {QColor(255, 149, 0), QColor(255, 159, 10)};
}

DynamicColor secondary()
{
    return {colours::black(0.50), colours::white(0.55)};
}

DynamicColor tertiary()
{
    return {colours::black(0.26), colours::white(0.25)};
}

DynamicColor windowBackground()
{
    return {colours::grey255(236), colours::grey255(50)};
}

} // namespace vantora::ui::systemColours

#include "ui/SchemePalette.h"

#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/SystemColours.h"

#include <QWidget>

namespace vantora::ui {

QPalette schemePalette(ColorScheme scheme)
{
    const bool dark = scheme == ColorScheme::Dark;
    const QColor text = dark ? colours::grey(0.94) : colours::grey(0.16);
    const QColor button = dark ? colours::grey(0.33) : colours::grey(0.98);
    const QColor window = systemColours::windowBackground().resolve(scheme);
    QPalette palette(button, window);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::ToolTipText})
        palette.setColor(role, text);
    palette.setColor(QPalette::Base, dark ? colours::grey(0.25) : colours::white());
    palette.setColor(QPalette::AlternateBase, dark ? colours::grey(0.28) : colours::grey(0.96));
    palette.setColor(QPalette::ToolTipBase, dark ? colours::grey(0.25) : colours::white());
    palette.setColor(QPalette::Highlight, systemColours::orange().resolve(scheme));
    palette.setColor(QPalette::HighlightedText, colours::white());
    palette.setColor(QPalette::PlaceholderText, systemColours::secondary().resolve(scheme));
    const QColor dimmed = systemColours::tertiary().resolve(scheme);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(QPalette::Disabled, role, dimmed);
    // The style etches disabled text with this colour one pixel down and right, which reads
    // as a blurred double on a dark surface; dimmed text alone says "disabled".
    palette.setColor(QPalette::Disabled, QPalette::Light, Qt::transparent);
    return palette;
}

void followScheme(QWidget &widget)
{
    const QPalette wanted = schemePalette(colorScheme(&widget));
    if (widget.palette() != wanted)
        widget.setPalette(wanted);
}

} // namespace vantora::ui

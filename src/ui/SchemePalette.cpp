#include "ui/SchemePalette.h"

#include "ui/Colours.h"
#include "ui/EnvironmentKeys.h"
#include "ui/SystemColours.h"

#include <QEvent>
#include <QMenu>

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
    return palette;
}

void followScheme(QWidget &widget)
{
    const QPalette wanted = schemePalette(colorScheme(&widget));
    if (widget.palette() != wanted)
        widget.setPalette(wanted);
}

namespace {

class SchemeFollower final : public QObject {
public:
    explicit SchemeFollower(QWidget &widget)
        : QObject(&widget)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::ParentChange ||
            (event->type() == EnvironmentChangeEvent::eventType() &&
             static_cast<EnvironmentChangeEvent *>(event)->key() == colorSchemeKey.name()))
            followScheme(*static_cast<QWidget *>(watched));
        return false;
    }
};

} // namespace

void keepFollowingScheme(QWidget &widget)
{
    widget.installEventFilter(new SchemeFollower(widget));
    followScheme(widget);
}

void followSchemeWhenShown(QMenu &menu)
{
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [&menu] { followScheme(menu); });
}

} // namespace vantora::ui

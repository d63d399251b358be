#include "app/PanelHost.h"

#include "ui/Colours.h"
#include "ui/DynamicColor.h"
#include "ui/EnvironmentKeys.h"

namespace vantora {

namespace {

const ui::DynamicColor panelBackground{ui::colours::grey(0.95), ui::colours::grey(0.13)};

} // namespace

PanelHost::PanelHost(QWidget *parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    applyScheme();
}

bool PanelHost::event(QEvent *event)
{
    if (event->type() == ui::EnvironmentChangeEvent::eventType() || event->type() == QEvent::ParentChange)
        applyScheme();
    return QWidget::event(event);
}

void PanelHost::applyScheme()
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, panelBackground.resolve(ui::colorScheme(this)));
    setPalette(colours);
}

} // namespace vantora

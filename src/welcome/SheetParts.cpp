#include "welcome/SheetParts.h"

#include "ui/Accessibility.h"
#include "ui/PanelButton.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"


namespace vantora::sheetParts {

QWidget *title(const QString &text, QWidget *parent)
{
    auto *label = new ui::TextLabel(text, parent);
    label->setFont(ui::systemFont(18, QFont::DemiBold));
    ui::a11y::setHeading(label);
    return label;
}

QPushButton *button(const QString &text, QWidget *parent)
{
    return new ui::PanelButton(text, parent);
}

} // namespace vantora::sheetParts

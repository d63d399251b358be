#include "welcome/SheetParts.h"

#include "ui/Accessibility.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QPushButton>

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
    auto *made = new QPushButton(text, parent);
    made->setAutoDefault(false);
    return made;
}

} // namespace vantora::sheetParts

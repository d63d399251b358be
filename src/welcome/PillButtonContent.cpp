#include "welcome/PillButtonContent.h"

#include "welcome/ConnectionPillPalette.h"

namespace vantora {

PillButtonContent::PillButtonContent(QWidget *pill, const QString &title, PillActionButton::Trailing trailing,
                                     std::function<void()> action)
    : PillContent(pill)
    , m_button(new PillActionButton(title, trailing, PillActionButton::HitShape::Capsule, pillPalette::primary(), this))
{
    connect(m_button, &QAbstractButton::clicked, this, [action = std::move(action)] { action(); });
    layoutContent();
}

void PillButtonContent::layoutContent()
{
    m_button->setGeometry(rect());
}

} // namespace vantora

#include "panel/RoomSection.h"

#include "ui/Accessibility.h"
#include "ui/LightCardSurface.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QBoxLayout>

namespace vantora {

RoomSection::RoomSection(QWidget *parent)
    : QWidget(parent)
    , m_title(new ui::TextLabel)
    , m_card(new ui::LightCardSurface(cardCornerRadius))
{
    m_title->setFont(ui::systemFont(14, QFont::Medium));
    ui::a11y::setHeading(m_title);

    auto *titleRow = new QHBoxLayout;
    titleRow->setContentsMargins(8, 0, 8, 0);
    titleRow->addWidget(m_title);
    titleRow->addSpacing(16);
    titleRow->addStretch();

    auto *rows = new QVBoxLayout(m_card->content());
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    auto *titleHolder = new QWidget;
    titleHolder->setFixedHeight(titleRowHeight);
    titleHolder->setLayout(titleRow);
    column->addWidget(titleHolder);
    column->addWidget(m_card);
}

void RoomSection::apply(const Fields &fields)
{
    if (fields == m_fields)
        return;
    m_fields = fields;
    m_title->setText(fields.room.name);
}

} // namespace vantora

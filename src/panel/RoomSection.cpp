#include "panel/RoomSection.h"

#include "controls/RoomActionButton.h"
#include "controls/RoomBrightnessButton.h"
#include "ui/Accessibility.h"
#include "ui/LightCardSurface.h"
#include "ui/SystemFont.h"
#include "ui/TextLabel.h"

#include <QBoxLayout>

namespace vantora {

RoomSection::RoomSection(const Actions &actions, QWidget *parent)
    : QWidget(parent)
    , m_actions(actions)
    , m_title(new ui::TextLabel)
    , m_favourite(new controls::RoomActionButton(controls::RoomActionButton::Kind::Heart))
    , m_brightness(new controls::RoomBrightnessButton)
    , m_power(new controls::RoomActionButton(controls::RoomActionButton::Kind::Power))
    , m_card(new ui::LightCardSurface(cardCornerRadius))
    , m_cardRow(new QHBoxLayout)
{
    m_title->setFont(ui::systemFont(14, QFont::Medium));
    ui::a11y::setHeading(m_title);

    auto *titleHolder = new QWidget;
    titleHolder->setFixedHeight(titleRowHeight);
    auto *titleRow = new QHBoxLayout(titleHolder);
    titleRow->setContentsMargins(8, 0, 8, 0);
    titleRow->setSpacing(8);
    titleRow->addWidget(m_title, 1);
    titleRow->addSpacing(8);
    titleRow->addWidget(m_favourite);
    titleRow->addWidget(m_brightness);
    titleRow->addWidget(m_power);

    connect(m_favourite, &QAbstractButton::clicked, this, [this] { m_actions.toggleFavourite(m_fields.room.id); });
    connect(m_brightness, &QAbstractButton::clicked, this, [this] { m_actions.toggleExpanded(m_fields.room.id); });
    // Which way the room switches is decided by its lights at the moment of the press.
    connect(m_power, &QAbstractButton::clicked, this, [this] {
        m_actions.setRoomPower(m_fields.room.id, !roomPresentation::anyLightOn(m_fields.room.lights));
    });

    auto *rows = new QVBoxLayout(m_card->content());
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);

    m_cardRow->setContentsMargins(0, 0, 0, 0);
    m_cardRow->addWidget(m_card);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    column->addWidget(titleHolder);
    column->addLayout(m_cardRow);
}

QRect RoomSection::cardRect() const
{
    return m_card->geometry();
}

void RoomSection::apply(const Fields &fields)
{
    if (fields == m_fields)
        return;
    m_fields = fields;
    const roomPresentation::Room &shown = fields.shown;
    m_title->setText(fields.room.name);

    m_favourite->setActive(shown.isFavourite);
    m_favourite->setEnabled(!shown.favouriteLimitReached);
    m_favourite->setLabel(shown.favouriteLabel);
    m_favourite->setHelp(shown.favouriteHelp);

    m_brightness->setRoomName(fields.room.name);
    m_brightness->setExpanded(shown.isExpanded);
    m_brightness->setBrightness(shown.shownBrightness);
    m_brightness->setEnabled(!shown.brightnessDisabled);

    m_power->setActive(shown.anyLightOn);
    m_power->setEnabled(!shown.powerDisabled);
    m_power->setLabel(shown.powerLabel);
    m_power->setHelp(shown.powerHelp);

    m_cardRow->setContentsMargins(0, 0, shown.isExpanded && fields.opensOverCard ? expandedCardGap : 0, 0);
}

} // namespace vantora

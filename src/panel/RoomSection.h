#pragma once

#include "panel/RoomPresentation.h"

#include <QWidget>

#include <functional>

class QBoxLayout;

namespace vantora {

namespace controls {
class RoomActionButton;
class RoomBrightnessButton;
}

namespace ui {
class LightCardSurface;
class TextLabel;
}

// One room of the lights list: its title row (the name, then the favourite, brightness and
// power controls) above its card of lights. Updated in place as the room changes, so the
// rows and controls keep their state across refreshes.
class RoomSection final : public QWidget {
    Q_OBJECT
public:
    struct Fields final {
        LightRoom room{};
        roomPresentation::Room shown{};
        // The room's brightness control opens over the card's trailing edge, which makes room.
        bool opensOverCard = false;

        friend bool operator==(const Fields &, const Fields &) = default;
    };

    // What the section's controls ask of the list; each takes the room's id.
    struct Actions final {
        std::function<void(const QString &roomID)> toggleFavourite{};
        std::function<void(const QString &roomID)> toggleExpanded{};
        std::function<void(const QString &roomID, bool on)> setRoomPower{};
    };

    static constexpr int titleRowHeight = 30;
    static constexpr int cardCornerRadius = 12;
    static constexpr int spacing = 16;
    // The gap beside a card whose brightness control is open over its trailing edge.
    static constexpr int expandedCardGap = 44;

    RoomSection(const Actions &actions, QWidget *parent = nullptr);

    void apply(const Fields &fields);
    const Fields &fields() const noexcept { return m_fields; }

    ui::TextLabel *title() const noexcept { return m_title; }
    controls::RoomActionButton *favouriteButton() const noexcept { return m_favourite; }
    controls::RoomBrightnessButton *brightnessButton() const noexcept { return m_brightness; }
    controls::RoomActionButton *powerButton() const noexcept { return m_power; }
    ui::LightCardSurface *card() const noexcept { return m_card; }
    // Where the card is, in this section's coordinates.
    QRect cardRect() const;

private:
    const Actions &m_actions;
    Fields m_fields;
    ui::TextLabel *m_title;
    controls::RoomActionButton *m_favourite;
    controls::RoomBrightnessButton *m_brightness;
    controls::RoomActionButton *m_power;
    ui::LightCardSurface *m_card;
    QBoxLayout *m_cardRow;
};

} // namespace vantora

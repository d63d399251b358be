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

class LightRow;

namespace ui {
template <typename Row, typename Key>
class KeyedColumn;
class ElidedLabel;
class LightCardSurface;
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
        bool controlsLocked = false;
        QSet<QString> updatingLightIDs{};

        friend bool operator==(const Fields &, const Fields &) = default;
    };

    // What the section's controls ask of the list; each takes the room's id.
    struct Actions final {
        std::function<void(const QString &roomID)> toggleFavourite{};
        std::function<void(const QString &roomID)> toggleExpanded{};
        std::function<void(const QString &roomID, bool on)> setRoomPower{};
        std::function<void(const HueLight &)> openLight{};
        std::function<void(const HueLight &, double brightness)> adjustBrightness{};
        std::function<void(const HueLight &, bool on)> setLight{};
    };

    static constexpr int titleRowHeight = 30;
    static constexpr int cardCornerRadius = 12;
    static constexpr int spacing = 16;
    // The gap beside a card whose brightness control is open over its trailing edge.
    static constexpr int expandedCardGap = 44;

    RoomSection(const Actions &actions, QWidget *parent = nullptr);

    void apply(const Fields &fields);
    const Fields &fields() const noexcept { return m_fields; }

    ui::ElidedLabel *title() const noexcept { return m_title; }
    controls::RoomActionButton *favouriteButton() const noexcept { return m_favourite; }
    controls::RoomBrightnessButton *brightnessButton() const noexcept { return m_brightness; }
    controls::RoomActionButton *powerButton() const noexcept { return m_power; }
    ui::LightCardSurface *card() const noexcept { return m_card; }
    LightRow *row(const QString &lightID) const;
    // Where the card is, in this section's coordinates.
    QRect cardRect() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyRows();

    const Actions &m_actions;
    Fields m_fields;
    ui::ElidedLabel *m_title;
    controls::RoomActionButton *m_favourite;
    controls::RoomBrightnessButton *m_brightness;
    controls::RoomActionButton *m_power;
    ui::LightCardSurface *m_card;
    ui::KeyedColumn<LightRow, QString> *m_rows;
    QWidget *m_separators;
    QBoxLayout *m_cardRow;
};

} // namespace vantora

#pragma once

#include "panel/RoomPresentation.h"

#include <QWidget>

#include <functional>

namespace vantora {

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
        bool controlsLocked = false;
        QSet<QString> updatingLightIDs{};

        friend bool operator==(const Fields &, const Fields &) = default;
    };

    static constexpr int titleRowHeight = 30;
    static constexpr int cardCornerRadius = 12;
    static constexpr int spacing = 16;

    explicit RoomSection(QWidget *parent = nullptr);

    void apply(const Fields &fields);
    const Fields &fields() const noexcept { return m_fields; }

    ui::TextLabel *title() const noexcept { return m_title; }
    ui::LightCardSurface *card() const noexcept { return m_card; }

private:
    Fields m_fields;
    ui::TextLabel *m_title;
    ui::LightCardSurface *m_card;
};

} // namespace vantora

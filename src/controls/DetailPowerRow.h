#pragma once

#include <QWidget>

namespace vantora::ui {
class ElidedLabel;
class LightStateIcon;
} // namespace vantora::ui

namespace vantora {
class LightDetailModel;
class LightToggle;
} // namespace vantora

namespace vantora::controls {

class BrightnessScrollTarget;
class LineLimitedLabel;

// The light page's first row: the light's state badge, over which horizontal scrolling dims
// or brightens the light; its room and name; and its power switch, the lights list's toggle
// in the user's toggle colour, which stays usable while the light is off (but not while it
// is unreachable or the store has locked the controls) and shows the wanted state at once
// while a change of it is in flight.
class DetailPowerRow final : public QWidget {
    Q_OBJECT
public:
    explicit DetailPowerRow(LightDetailModel &model, QWidget *parent = nullptr);

    LightToggle *powerToggle() const noexcept { return m_toggle; }
    BrightnessScrollTarget *scrollTarget() const noexcept { return m_scrollTarget; }
    ui::ElidedLabel *roomLabel() const noexcept { return m_room; }
    LineLimitedLabel *nameLabel() const noexcept { return m_name; }

private:
    void refresh();

    LightDetailModel &m_model;
    ui::LightStateIcon *m_icon;
    BrightnessScrollTarget *m_scrollTarget;
    ui::ElidedLabel *m_room;
    LineLimitedLabel *m_name;
    LightToggle *m_toggle;
};

} // namespace vantora::controls

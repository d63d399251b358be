#pragma once

#include "bridge/HueLight.h"
#include "panel/PlainButton.h"
#include "panel/ScrollEditModel.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QBoxLayout;

namespace vantora {

namespace controls {
class BrightnessScrollTarget;
}
namespace ui {
class ElidedLabel;
class HoverTracker;
class LightStateIcon;
class TextLabel;
} // namespace ui

class LightRowChevron;
class LightRowStop;
class LightToggle;
class UnreachableBadge;

// The row that stands for one light in a room's card: the state icon, the name with a
// chevron while the pointer is over the row and an "Unreachable" badge, a brightness readout
// while the user dims by scrolling over the icon, and the on/off switch.
//
// The row only reports gestures through the closures it is given and shows whatever light
// it is given; a flip of the switch shows once the owner hands in the light's new state.
// A light with something to adjust is a button that opens the light's page (also by a click
// on the icon); a light that can only be switched has no button. Updating the row in place
// (apply) keeps the pointer's hover and a scroll edit in progress. The "Unreachable" badge
// and the brightness readout are made the first time they show: most rows never need them.
class LightRow final : public QWidget {
    Q_OBJECT
public:
    struct Fields final {
        HueLight light;
        // The switch is disabled (controls locked, or this light is being updated).
        bool busy = false;
        // A change of this light is in flight.
        bool isUpdating = false;
        // Scroll dimming is off.
        bool brightnessLocked = false;
        // Each is handed the row's light, so that the owner's closures need not hold a copy.
        std::function<void(const HueLight &, double brightness)> adjustBrightness;
        std::function<void(const HueLight &)> open;
        std::function<void(const HueLight &, bool on)> onChange;
    };

    static constexpr int height = 72;

    explicit LightRow(QWidget *parent = nullptr);

    void apply(const Fields &fields);
    const HueLight &light() const noexcept { return m_fields.light; }

    bool isHovered() const;
    const ScrollEditModel &scrollEdit() const noexcept { return m_scrollEdit; }
    // The row button, absent for a light with nothing to adjust.
    PlainButton *button() const noexcept { return m_button; }
    // The content of a light with nothing to adjust, absent for a light with a row button.
    LightRowStop *plainArea() const noexcept;
    LightToggle *toggle() const noexcept { return m_toggle; }
    controls::BrightnessScrollTarget *scrollTarget() const noexcept { return m_scrollTarget; }

    QSize sizeHint() const override;

private:
    void buildContent();
    void placeContent(bool asButton);
    void showBadge(bool shown);
    void showFields();
    void showReadout();
    void scrollEditing(bool editing);
    void scrollStepped(double step);
    bool scrollDimmingEnabled() const;

    Fields m_fields;
    bool m_applied = false;
    ScrollEditModel m_scrollEdit;

    ui::HoverTracker *m_hover;
    QWidget *m_content;
    QPointer<PlainButton> m_button;
    QPointer<LightRowStop> m_plainArea;
    controls::BrightnessScrollTarget *m_scrollTarget;
    ui::LightStateIcon *m_icon;
    ui::ElidedLabel *m_name;
    LightRowChevron *m_chevron;
    UnreachableBadge *m_badge = nullptr;
    ui::TextLabel *m_readout = nullptr;
    LightToggle *m_toggle;
    // The content's text lines, where a badge or readout made later goes.
    QBoxLayout *m_titleLine;
    QBoxLayout *m_textColumn;
};

} // namespace vantora

#pragma once

#include "bridge/HueLight.h"

#include <optional>

namespace vantora {

// The brightness a row asks for while the user dims its light by scrolling.
//
// Idle: no value; an edit starts from the light's brightness. Editing: steps move the value
// between the light's minimum and 100 and each effective step is asked for. Settling: the
// edit ended while a change was still in flight; the value stays as the start of the next
// edit, since the light does not show it yet. The value is dropped once nothing is in flight
// and no edit runs, and always when the light turns off or becomes unreachable.
class ScrollEditModel final {
public:
    // The brightness to ask for after a step of `step` percentage points, or nothing when
    // the step changes nothing (the value is at a limit, or the light has no brightness).
    std::optional<double> step(double step, const HueLight &light);

    void editing(bool editing, bool isUpdating);
    void updatingChanged(bool isUpdating);
    void lightChanged(const HueLight &light, bool isUpdating);

    std::optional<double> value() const noexcept { return m_value; }
    bool isEditing() const noexcept { return m_editing; }
    // What the row shows while the user scrolls: the value during an edit.
    std::optional<double> readout() const { return m_editing ? m_value : std::nullopt; }

private:
    std::optional<double> m_value;
    bool m_editing = false;
};

} // namespace vantora

#pragma once

#include "controls/ValueRange.h"

#include "bridge/HueLight.h"

#include <QString>

#include <optional>
#include <vector>

namespace vantora::controls {

// What the room brightness control shows and sends, apart from how it looks. It acts only on
// the room's lights that are on, reachable and dimmable ("lit"): with none lit it is
// disabled and drops every input.
//
// The user's latest value is kept as a draft, shown instead of the lights' average (and
// without ", average") until no edit and no update is in progress any more: the end of an
// edit, the end of an update, or a change of the room's lights clears it; a room without a
// lit light clears it at once.
class RoomBrightnessModel final {
public:
    void setLights(std::vector<HueLight> lights);
    void setLocked(bool locked);
    void setUpdating(bool updating);
    void setEditing(bool editing);

    // A value from the slider: the value to send, or nothing when input is dropped.
    std::optional<double> setValue(double value);
    // An arrow step: the value to send (also at an end), or nothing when the key is not ours.
    std::optional<double> step(double by);

    const std::optional<double> &draft() const noexcept { return m_draft; }
    bool isEditing() const noexcept { return m_editing; }
    bool isDisabled() const;
    bool hasLitLights() const;
    // The draft, else the lit lights' average, else (also for an average that is not a
    // number) the floor.
    double displayValue() const;
    // The lit lights' largest minimum brightness (1 with none), at most 100.
    double floor() const;
    ValueRange range() const { return {floor(), 100.0}; }
    // No draft, and the lit lights' brightness differs by at least one point.
    bool hasSpread() const;

    // "41 percent, average", or "No lights are on".
    QString valueLabel() const;
    // "41%", or "—" with no lit light.
    QString readout() const;
    QString help() const;

private:
    std::vector<HueLight> m_lights;
    bool m_locked = false;
    bool m_updating = false;
    bool m_editing = false;
    std::optional<double> m_draft;
};

} // namespace vantora::controls

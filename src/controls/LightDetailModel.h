#pragma once

#include "controls/LightDetailInputs.h"
#include "controls/ValueRange.h"

#include <QColor>
#include <QObject>

#include <functional>
#include <optional>

namespace vantora {

// The state of one light's page and every rule it follows, without any widget: the values
// its controls edit (brightness, hue and saturation, white temperature), which of colour and
// white the colour card shows, whether a gesture runs, the last change sent and the white
// preset picked last.
//
// Every edit leaves at once through the change sink, one call per step, unthrottled; the
// receiver merges rapid changes of one light. While the user edits, the local values lead
// and newly published light values do not move them; they are copied from the light again
// when the page appears, when the light changes while nothing is edited or in flight, when
// an update ends with no gesture running, and when a gesture ends after a failure.
//
// `changed` is emitted after every change of state or inputs, once the state is consistent.
// Main thread only.
class LightDetailModel final : public QObject {
    Q_OBJECT
public:
    using ChangeSink = std::function<void(const LightChange &)>;

    // Which line, if any, stands at the foot of the page; the first that applies wins.
    enum class StatusKind {
        None,
        Unreachable,
        Error,
        // "Reconnecting…" while the controls are locked, else "Updating light…".
        Progress,
    };

    // What the colour card's header names on its left.
    enum class ColourCardTitle {
        // A light with white temperature only.
        WhiteTemperature,
        // A light with colour only.
        Colour,
        // Both: the Colour/White mode selector.
        ModeSelector,
    };

    // What the colour card's header shows on its right.
    enum class ColourCardIndicator {
        Swatch,
        // The white temperature to the nearest 50 K.
        KelvinReadout,
    };

    // The view state starts at its initial values; nothing is copied from the light before
    // appear().
    LightDetailModel(LightDetailInputs inputs, ChangeSink change, QObject *parent = nullptr);

    const LightDetailInputs &inputs() const noexcept { return m_inputs; }
    const HueLight &light() const noexcept { return m_inputs.light; }
    // Takes the store's newest values and resynchronises as the rules above say.
    void setInputs(LightDetailInputs inputs);
    // The page came on screen.
    void appear();

    double brightness() const noexcept { return m_state.brightness; }
    double hue() const noexcept { return m_state.hue; }
    double saturation() const noexcept { return m_state.saturation; }
    double kelvin() const noexcept { return m_state.kelvin; }
    bool whiteMode() const noexcept { return m_state.whiteMode; }
    bool isEditing() const noexcept { return m_state.isEditing; }
    const std::optional<LightChange> &lastChange() const noexcept { return m_state.lastChange; }
    const std::optional<double> &preferredWhitePreset() const noexcept { return m_state.preferredWhitePreset; }

    // Derived, read afresh each time.
    controls::ValueRange kelvinRange() const;
    // The brightness slider's range: the light's minimum (at most 100) to 100.
    controls::ValueRange brightnessRange() const;
    bool controlsDisabled() const;
    QColor swatchColour() const;
    double activeWhitePreset() const;
    // The power toggle's position: the wanted state while a switch of this page is in
    // flight, else the light's.
    bool displayedIsOn() const;
    bool powerToggleEnabled() const;
    bool scrollDimmingEnabled() const;

    bool showsBrightnessCard() const;
    bool showsColourCard() const;
    bool showsOnOffNote() const;
    ColourCardTitle colourCardTitle() const;
    ColourCardIndicator colourCardIndicator() const;

    StatusKind statusKind() const;
    // The status line's text and its one accessibility label; empty without a line.
    QString statusText() const;
    QString statusAccessibleLabel() const;

    // The change "Try again" resends: the failed one, else the last one sent.
    std::optional<LightChange> retryChange() const;
    bool retryEnabled() const;

    // Texts of the read-outs and of the controls' accessibility values.
    QString brightnessReadout() const;
    QString brightnessValueLabel() const;
    // The readout rounds the white temperature to this many kelvin; the value read out too.
    static constexpr double kelvinStep = 50;
    QString kelvinReadout() const;
    QString kelvinValueLabel() const;
    // "Relax, 3003 kelvin": the preset's name and where it lands in the light's range.
    QString presetAccessibleLabel(std::size_t presetIndex) const;

    // Edits. Each is dropped, with nothing stored, while the controls are disabled, unless
    // said otherwise.
    // Records `change` as the last change and hands it to the sink.
    void send(const LightChange &change);
    void setBrightness(double value);
    // Sends the current temperature or colour, also when that mode is already shown.
    void setWhiteMode(bool white);
    // Stores what the spectrum picked (never dropped: the spectrum itself refuses input while
    // disabled); sendColour() then sends it.
    void setHueSaturation(double hue, double saturation);
    void sendColour();
    void setKelvin(double value);
    void selectWhitePreset(double nominalKelvin, double targetKelvin);
    // One scroll step in percentage points; nothing is sent when the value does not move.
    void scrollBrightness(double step);
    // A slider, spectrum or scroll gesture started or ended.
    void setEditing(bool editing);
    // Switches the light; not dropped while the controls are disabled (an off light must
    // be able to be turned on). The toggle's enabled state guards it.
    void setPower(bool on);
    // Resends `change` as it is; the retry button's enabled state guards it.
    void retry(const LightChange &change);

Q_SIGNALS:
    void changed();

private:
    struct ViewState final {
        double brightness = 100;
        double hue = 0.1;
        double saturation = 0.8;
        double kelvin = 2700;
        bool whiteMode = false;
        bool isEditing = false;
        std::optional<LightChange> lastChange{};
        std::optional<double> preferredWhitePreset{};

        friend bool operator==(const ViewState &, const ViewState &) = default;
    };

    // Runs `edit` and announces the result when it changed the view state.
    template <typename Edit>
    void updating(Edit &&edit);
    void syncFromLight();

    LightDetailInputs m_inputs;
    ChangeSink m_change;
    ViewState m_state;
};

} // namespace vantora

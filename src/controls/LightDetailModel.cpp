#include "controls/LightDetailModel.h"

#include "bridge/LightColour.h"
#include "controls/WhiteTemperature.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace vantora {

namespace wt = controls::whiteTemperature;

namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("LightDetailView", source);
}

// Halves away from zero; a value that is not finite reads as 0 rather than as an undefined
// integer.
qint64 rounded(double value)
{
    return std::isfinite(value) ? static_cast<qint64>(std::round(value)) : 0;
}

qint64 truncated(double value)
{
    return std::isfinite(value) ? static_cast<qint64>(std::trunc(value)) : 0;
}

// The white a light of `kelvin` shows: cool bluish at 153 mirek, warm amber from 500 on.
QColor whiteSwatch(double kelvin)
{
    const double mirek = static_cast<double>(truncated(1'000'000.0 / kelvin));
    const double t = std::clamp((mirek - 153.0) / 347.0, 0.0, 1.0);
    return QColor::fromRgbF(0.79 + 0.21 * t, 0.88 - 0.19 * t, 1.0 - 0.67 * t);
}

} // namespace

LightDetailModel::LightDetailModel(LightDetailInputs inputs, ChangeSink change, QObject *parent)
    : QObject(parent)
    , m_inputs(std::move(inputs))
    , m_change(std::move(change))
{
}

template <typename Edit>
void LightDetailModel::updating(Edit &&edit)
{
    const ViewState before = m_state;
    edit();
    if (!(before == m_state))
        Q_EMIT changed();
}

void LightDetailModel::setInputs(LightDetailInputs inputs)
{
    if (inputs == m_inputs)
        return;
    const bool lightChanged = !(inputs.light == m_inputs.light);
    const bool updateEnded = m_inputs.isUpdating && !inputs.isUpdating;
    m_inputs = std::move(inputs);
    // While the user edits, the local values lead; while a change is in flight, they stay as
    // sent until the store says the update has ended.
    if ((lightChanged && !m_state.isEditing && !m_inputs.isUpdating) || (updateEnded && !m_state.isEditing))
        syncFromLight();
    Q_EMIT changed();
}

void LightDetailModel::appear()
{
    updating([this] { syncFromLight(); });
}

void LightDetailModel::syncFromLight()
{
    const HueLight &light = m_inputs.light;
    double brightness = light.brightness && std::isfinite(*light.brightness) ? *light.brightness : 100.0;
    if (brightness < light.minimumBrightness)
        brightness = light.minimumBrightness;
    m_state.brightness = std::min(brightness, 100.0);

    if (light.color) {
        const LightColour::HueSaturation colour = LightColour::hueSaturation(*light.color);
        m_state.hue = colour.hue;
        m_state.saturation = colour.saturation;
    }

    // A reported temperature of 0 or below names no temperature at all.
    const qint64 mirek = light.temperature && *light.temperature > 0 ? *light.temperature : wt::fallbackMirek;
    m_state.kelvin = kelvinRange().clamp(wt::kelvin(mirek));

    // A colour light whose temperature range is of no use has no white controls to show; it
    // opens on its colour, whatever the bridge says is active.
    m_state.whiteMode = light.color ? light.temperatureIsActive && light.temperatureRange : true;
}

controls::ValueRange LightDetailModel::kelvinRange() const
{
    return wt::kelvinRange(m_inputs.light.temperatureRange);
}

controls::ValueRange LightDetailModel::brightnessRange() const
{
    return controls::ValueRange{.lower = std::min(double(m_inputs.light.minimumBrightness), 100.0), .upper = 100.0}.sanitised();
}

bool LightDetailModel::controlsDisabled() const
{
    if (!m_inputs.light.isReachable || m_inputs.controlsLocked)
        return true;
    // A switch-off sent from here disables the controls at once; a switch-on leaves them
    // disabled until the store publishes the light as on.
    if (m_inputs.isUpdating && m_state.lastChange && m_state.lastChange->on == false)
        return true;
    return !m_inputs.light.isOn;
}

QColor LightDetailModel::swatchColour() const
{
    if (!m_state.whiteMode)
        return QColor::fromHsvF(std::clamp(m_state.hue, 0.0, 1.0), std::clamp(m_state.saturation, 0.0, 1.0), 1.0);
    return whiteSwatch(m_state.kelvin);
}

double LightDetailModel::activeWhitePreset() const
{
    return wt::activePreset(m_state.kelvin, m_state.preferredWhitePreset, kelvinRange());
}

bool LightDetailModel::displayedIsOn() const
{
    if (m_inputs.isUpdating && m_state.lastChange && m_state.lastChange->on)
        return *m_state.lastChange->on;
    return m_inputs.light.isOn;
}

bool LightDetailModel::powerToggleEnabled() const
{
    return m_inputs.light.isReachable && !m_inputs.controlsLocked;
}

bool LightDetailModel::scrollDimmingEnabled() const
{
    return !controlsDisabled() && m_inputs.light.brightness.has_value();
}

bool LightDetailModel::showsBrightnessCard() const
{
    return m_inputs.light.brightness.has_value();
}

bool LightDetailModel::showsColourCard() const
{
    return m_inputs.light.color || m_inputs.light.temperatureRange;
}

bool LightDetailModel::showsOnOffNote() const
{
    return !showsBrightnessCard() && !showsColourCard();
}

LightDetailModel::ColourCardTitle LightDetailModel::colourCardTitle() const
{
    if (!m_inputs.light.color)
        return ColourCardTitle::WhiteTemperature;
    return m_inputs.light.temperatureRange ? ColourCardTitle::ModeSelector : ColourCardTitle::Colour;
}

LightDetailModel::ColourCardIndicator LightDetailModel::colourCardIndicator() const
{
    return !m_inputs.light.color && m_state.whiteMode ? ColourCardIndicator::KelvinReadout
                                                       : ColourCardIndicator::Swatch;
}

LightDetailModel::StatusKind LightDetailModel::statusKind() const
{
    if (!m_inputs.light.isReachable)
        return StatusKind::Unreachable;
    if (m_inputs.errorMessage)
        return StatusKind::Error;
    if (m_inputs.controlsLocked || m_inputs.isUpdating)
        return StatusKind::Progress;
    return StatusKind::None;
}

QString LightDetailModel::statusText() const
{
    switch (statusKind()) {
    case StatusKind::None:
        return {};
    case StatusKind::Unreachable:
        return text("Unreachable · Check the light’s wall switch and power.");
    case StatusKind::Error:
        return *m_inputs.errorMessage;
    case StatusKind::Progress:
        return m_inputs.controlsLocked ? text("Reconnecting to your Bridge…") : text("Updating light…");
    }
    return {};
}

QString LightDetailModel::statusAccessibleLabel() const
{
    if (statusKind() != StatusKind::Progress)
        return statusText();
    if (m_inputs.isUpdating)
        return text("Updating %1").arg(m_inputs.light.name);
    return m_inputs.light.isOn ? text("Light is on") : text("Light is off. Turn it on to adjust brightness and colour.");
}

std::optional<LightChange> LightDetailModel::retryChange() const
{
    return m_inputs.failedChange ? m_inputs.failedChange : m_state.lastChange;
}

bool LightDetailModel::retryEnabled() const
{
    const std::optional<LightChange> change = retryChange();
    if (!change || !m_inputs.light.isReachable || m_inputs.controlsLocked)
        return false;
    // Switching on or off stays possible while the light is off or being switched.
    return change->on.has_value() || !controlsDisabled();
}

QString LightDetailModel::brightnessReadout() const
{
    return text("%1%").arg(rounded(m_state.brightness));
}

QString LightDetailModel::brightnessValueLabel() const
{
    return text("%1 percent").arg(rounded(m_state.brightness));
}

QString LightDetailModel::kelvinReadout() const
{
    return text("%1 K").arg(rounded(m_state.kelvin / kelvinStep) * kelvinStep);
}

QString LightDetailModel::kelvinValueLabel() const
{
    return text("%1 kelvin").arg(rounded(m_state.kelvin / kelvinStep) * kelvinStep);
}

QString LightDetailModel::presetAccessibleLabel(std::size_t presetIndex) const
{
    const wt::Preset &preset = wt::presets.at(presetIndex);
    return text("%1, %2 kelvin").arg(wt::presetName(preset)).arg(truncated(kelvinRange().clamp(preset.nominalKelvin)));
}

void LightDetailModel::send(const LightChange &change)
{
    if (controlsDisabled())
        return;
    updating([&] { m_state.lastChange = change; });
    m_change(change);
}

void LightDetailModel::setBrightness(double value)
{
    if (controlsDisabled())
        return;
    updating([&] { m_state.brightness = value; });
    send({.brightness = value});
}

void LightDetailModel::setWhiteMode(bool white)
{
    if (controlsDisabled())
        return;
    updating([&] { m_state.whiteMode = white; });
    if (white)
        send({.temperature = wt::mirek(m_state.kelvin)});
    else
        sendColour();
}

void LightDetailModel::setHueSaturation(double hue, double saturation)
{
    updating([&] {
        m_state.hue = hue;
        m_state.saturation = saturation;
    });
}

void LightDetailModel::sendColour()
{
    send({.color = LightColour::xy(LightColour::HueSaturation{m_state.hue, m_state.saturation})});
}

void LightDetailModel::setKelvin(double value)
{
    if (controlsDisabled())
        return;
    updating([&] {
        m_state.preferredWhitePreset.reset();
        m_state.kelvin = value;
    });
    send({.temperature = wt::mirek(value)});
}

void LightDetailModel::selectWhitePreset(double nominalKelvin, double targetKelvin)
{
    if (controlsDisabled())
        return;
    updating([&] {
        m_state.preferredWhitePreset = nominalKelvin;
        m_state.kelvin = targetKelvin;
    });
    send({.temperature = wt::mirek(targetKelvin)});
}

void LightDetailModel::scrollBrightness(double step)
{
    const double next = std::min(std::max(m_state.brightness + step, double(m_inputs.light.minimumBrightness)), 100.0);
    // A step that arrives once the controls are disabled would show a brightness the light
    // never gets, as nothing is sent.
    if (next == m_state.brightness || !std::isfinite(next) || controlsDisabled())
        return;
    updating([&] { m_state.brightness = next; });
    send({.brightness = next});
}

void LightDetailModel::setEditing(bool editing)
{
    updating([&] {
        const bool ended = m_state.isEditing && !editing;
        m_state.isEditing = editing;
        // After a failure the controls snap back to the light's real values once the user
        // lets go.
        if (ended && !m_inputs.isUpdating && m_inputs.errorMessage)
            syncFromLight();
    });
}

void LightDetailModel::setPower(bool on)
{
    const LightChange change{.on = on};
    updating([&] { m_state.lastChange = change; });
    m_change(change);
}

void LightDetailModel::retry(const LightChange &change)
{
    updating([&] { m_state.lastChange = change; });
    m_change(change);
}

} // namespace vantora

#include "controls/LightDetailModel.h"
#include "controls/WhiteTemperature.h"

#include "bridge/LightColour.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace vantora {
namespace {

namespace wt = controls::whiteTemperature;

constexpr MirekRange fullRange{153, 500};

HueLight colourLight()
{
    return HueLight{.id = QStringLiteral("1"), .name = QStringLiteral("Floor lamp"), .roomName = QStringLiteral("Living room"),
                    .isOn = true, .isReachable = true, .brightness = 60,
                    .color = LightColour::xy(LightColour::HueSaturation{0.6, 0.5}), .temperature = 370,
                    .temperatureRange = fullRange};
}

HueLight whiteLight()
{
    HueLight light = colourLight();
    light.color.reset();
    light.temperatureIsActive = true;
    return light;
}

HueLight dimmableOnly()
{
    HueLight light = colourLight();
    light.color.reset();
    light.temperature.reset();
    light.temperatureRange.reset();
    return light;
}

HueLight onOffOnly()
{
    HueLight light = dimmableOnly();
    light.brightness.reset();
    return light;
}

HueLight off(HueLight light)
{
    light.isOn = false;
    return light;
}

// A page on `inputs` that has come on screen, recording what it sends.
struct Page {
    explicit Page(LightDetailInputs inputs)
        : model(std::move(inputs), [this](const LightChange &change) { sent.push_back(change); })
    {
        model.appear();
    }
    explicit Page(HueLight light) : Page(LightDetailInputs{.light = std::move(light)}) {}

    void publish(const HueLight &light)
    {
        LightDetailInputs next = model.inputs();
        next.light = light;
        model.setInputs(next);
    }
    void setUpdating(bool updating)
    {
        LightDetailInputs next = model.inputs();
        next.isUpdating = updating;
        model.setInputs(next);
    }

    std::vector<LightChange> sent;
    LightDetailModel model;
};

TEST(LightDetailModel, CopiesTheLightClampedIntoWhatTheControlsCanShow)
{
    struct Row {
        const char *name;
        HueLight light;
        double brightness;
        double kelvin;
        bool whiteMode;
    };
    HueLight dim = colourLight();
    dim.brightness = 2;
    dim.minimumBrightness = 5;
    HueLight tooHighMinimum = colourLight();
    tooHighMinimum.minimumBrightness = 120;
    HueLight noTemperature = whiteLight();
    noTemperature.temperature.reset();
    noTemperature.temperatureRange = MirekRange{153, 333};
    HueLight warmerThanItsRange = whiteLight();
    warmerThanItsRange.temperature = 520;
    HueLight zeroMirek = whiteLight();
    zeroMirek.temperature = 0;
    HueLight reversedRange = whiteLight();
    reversedRange.temperatureRange = MirekRange{500, 153};
    reversedRange.temperature = 100;
    HueLight whiteActive = colourLight();
    whiteActive.temperatureIsActive = true;
    const Row rows[] = {
        {"no brightness reads 100", onOffOnly(), 100, 1'000'000.0 / 370, true},
        {"raised to the minimum", dim, 5, 1'000'000.0 / 370, false},
        {"a minimum above 100 gives 100", tooHighMinimum, 100, 1'000'000.0 / 370, false},
        {"no temperature falls back to 370 mirek, clamped", noTemperature, 60, 1'000'000.0 / 333, true},
        {"a temperature outside the range is clamped", warmerThanItsRange, 60, 2000, true},
        {"a temperature of 0 counts as none", zeroMirek, 60, 1'000'000.0 / 370, true},
        {"a reversed range reads as the default one", reversedRange, 60, 1'000'000.0 / 153, true},
        {"colour light showing white", whiteActive, 60, 1'000'000.0 / 370, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Page page(row.light);
        EXPECT_DOUBLE_EQ(page.model.brightness(), row.brightness);
        EXPECT_DOUBLE_EQ(page.model.kelvin(), row.kelvin);
        EXPECT_EQ(page.model.whiteMode(), row.whiteMode);
    }

    Page colour(colourLight());
    EXPECT_NEAR(colour.model.hue(), 0.6, 0.01);
    EXPECT_NEAR(colour.model.saturation(), 0.5, 0.01);
    Page white(whiteLight());
    EXPECT_DOUBLE_EQ(white.model.hue(), 0.1) << "a light without colour keeps the initial colour";
    EXPECT_DOUBLE_EQ(white.model.saturation(), 0.8);
}

TEST(LightDetailModel, ControlsAreDisabledInTheOrderOfTheirCauses)
{
    struct Row {
        const char *name;
        bool reachable;
        bool locked;
        bool updating;
        std::optional<bool> lastOn;
        bool lightOn;
        bool disabled;
    };
    const Row rows[] = {
        {"usable", true, false, false, std::nullopt, true, false},
        {"unreachable", false, false, false, std::nullopt, true, true},
        {"locked", true, true, false, std::nullopt, true, true},
        {"turn-off in flight, light still on", true, false, true, false, true, true},
        {"turn-off done", true, false, false, false, true, false},
        {"turn-on in flight, light still off", true, false, true, true, false, true},
        {"turn-on in flight, light published on", true, false, true, true, true, false},
        {"light off", true, false, false, std::nullopt, false, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        HueLight light = colourLight();
        light.isReachable = row.reachable;
        light.isOn = row.lightOn;
        // The last change is sent while the light can take it, then the situation is set up.
        Page page(LightDetailInputs{.light = colourLight()});
        if (row.lastOn)
            page.model.setPower(*row.lastOn);
        page.model.setInputs({.light = light, .isUpdating = row.updating, .controlsLocked = row.locked});
        EXPECT_EQ(page.model.controlsDisabled(), row.disabled);
        EXPECT_EQ(page.model.scrollDimmingEnabled(), !row.disabled);
        EXPECT_EQ(page.model.powerToggleEnabled(), row.reachable && !row.locked);
    }
}

TEST(LightDetailModel, EditsWhileDisabledAreDroppedButThePowerToggleStillSwitches)
{
    Page page(off(colourLight()));
    const double brightness = page.model.brightness();
    page.model.setBrightness(30);
    page.model.setKelvin(3000);
    page.model.selectWhitePreset(2200, 2200);
    page.model.setWhiteMode(true);
    page.model.sendColour();
    page.model.scrollBrightness(5);
    EXPECT_TRUE(page.sent.empty());
    EXPECT_FALSE(page.model.lastChange());
    EXPECT_DOUBLE_EQ(page.model.kelvin(), 1'000'000.0 / 370);
    EXPECT_EQ(page.model.preferredWhitePreset(), std::nullopt);
    EXPECT_DOUBLE_EQ(page.model.brightness(), brightness);

    page.model.setPower(true);
    ASSERT_EQ(page.sent.size(), 1u);
    EXPECT_EQ(page.sent[0], LightChange{.on = true});
    EXPECT_EQ(page.model.lastChange(), LightChange{.on = true});
}

TEST(LightDetailModel, ResyncsOnlyWhenNothingIsEditedOrInFlight)
{
    Page page(colourLight());
    HueLight published = colourLight();

    page.model.setEditing(true);
    page.model.setBrightness(30);
    published.brightness = 80;
    page.publish(published);
    EXPECT_DOUBLE_EQ(page.model.brightness(), 30) << "a refresh mid-drag leaves the thumb alone";

    page.setUpdating(true);
    page.model.setEditing(false);
    published.brightness = 31;
    page.publish(published);
    EXPECT_DOUBLE_EQ(page.model.brightness(), 30) << "the value stays as sent while the change is in flight";

    page.setUpdating(false);
    EXPECT_DOUBLE_EQ(page.model.brightness(), 31) << "the end of the update copies the light";

    published.brightness = 44;
    page.publish(published);
    EXPECT_DOUBLE_EQ(page.model.brightness(), 44) << "a light change with nothing going on copies it";
}

TEST(LightDetailModel, AGestureEndingAfterAFailureSnapsBackToTheLight)
{
    Page page(colourLight());
    page.model.setEditing(true);
    page.model.setBrightness(20);
    page.model.setInputs({.light = colourLight(), .errorMessage = QStringLiteral("The light refused")});
    EXPECT_DOUBLE_EQ(page.model.brightness(), 20);
    page.model.setEditing(false);
    EXPECT_DOUBLE_EQ(page.model.brightness(), 60);

    Page withoutFailure(colourLight());
    withoutFailure.model.setEditing(true);
    withoutFailure.model.setBrightness(20);
    withoutFailure.model.setEditing(false);
    EXPECT_DOUBLE_EQ(withoutFailure.model.brightness(), 20) << "no failure: the sent value stays";
}

TEST(LightDetailModel, PresetHighlightFollowsThePreferenceThenTheNearestPreset)
{
    struct Row {
        const char *name;
        double kelvin;
        std::optional<double> preferred;
        MirekRange range;
        double expected;
    };
    const MirekRange toSixThousand{167, 500}; // 2000 … 5988 K
    const MirekRange narrow{153, 333};
    const Row rows[] = {
        {"preference compared after clamping", 1'000'000.0 / 167, 6500, toSixThousand, 6500},
        {"preference 49 K from where it lands holds", 3052, 2200, narrow, 2200},
        {"from 50 K on the nearest decides", 3054, 2200, narrow, 2700},
        {"exact halfway keeps the earlier preset", 2450, std::nullopt, fullRange, 2200},
        {"clamped tie broken by unclamped distance", 1'000'000.0 / 333, std::nullopt, narrow, 2700},
        {"Relax reported back stays lit", 1'000'000.0 / 455, std::nullopt, fullRange, 2200},
        {"the coolest end", 1'000'000.0 / 153, std::nullopt, fullRange, 6500},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(wt::activePreset(row.kelvin, row.preferred, wt::kelvinRange(row.range)), row.expected);
    }
}

TEST(LightDetailModel, PresetsAndTheTemperatureSliderSendWholeMirek)
{
    HueLight narrow = whiteLight();
    narrow.temperatureRange = MirekRange{153, 333};
    Page page(narrow);

    const auto relax = wt::presets[0];
    page.model.selectWhitePreset(relax.nominalKelvin, page.model.kelvinRange().clamp(relax.nominalKelvin));
    EXPECT_EQ(page.sent.back(), LightChange{.temperature = 333});
    EXPECT_DOUBLE_EQ(page.model.kelvin(), 1'000'000.0 / 333);
    EXPECT_EQ(page.model.preferredWhitePreset(), 2200);
    EXPECT_EQ(page.model.activeWhitePreset(), 2200) << "although Everyday lands on the same kelvin";
    EXPECT_EQ(page.model.presetAccessibleLabel(0), QStringLiteral("Relax, 3003 kelvin"));

    page.model.setKelvin(1'000'000.0 / 333);
    EXPECT_EQ(page.model.preferredWhitePreset(), std::nullopt);
    EXPECT_EQ(page.model.activeWhitePreset(), 2700);

    Page defaultRange(dimmableOnly());
    const controls::ValueRange range = defaultRange.model.kelvinRange();
    EXPECT_DOUBLE_EQ(range.lower, 2000);
    EXPECT_DOUBLE_EQ(range.upper, 1'000'000.0 / 153);
    defaultRange.model.selectWhitePreset(6500, range.clamp(6500));
    defaultRange.model.selectWhitePreset(2200, range.clamp(2200));
    defaultRange.model.setWhiteMode(true);
    ASSERT_EQ(defaultRange.sent.size(), 3u);
    EXPECT_EQ(defaultRange.sent[0], LightChange{.temperature = 154});
    EXPECT_EQ(defaultRange.sent[1], LightChange{.temperature = 455});
    EXPECT_EQ(defaultRange.sent[2], LightChange{.temperature = 455}) << "White resends the current temperature";
}

TEST(LightDetailModel, ModeSegmentsResendWhatTheyShow)
{
    Page page(colourLight());
    page.model.setKelvin(2700);
    page.model.setWhiteMode(true);
    page.model.setWhiteMode(true);
    page.model.setHueSaturation(0.3, 0.4);
    page.model.setWhiteMode(false);
    const HueXY picked = LightColour::xy(LightColour::HueSaturation{0.3, 0.4});
    ASSERT_EQ(page.sent.size(), 4u);
    EXPECT_EQ(page.sent[1], LightChange{.temperature = 370});
    EXPECT_EQ(page.sent[2], LightChange{.temperature = 370});
    EXPECT_EQ(page.sent[3], LightChange{.color = picked});
    EXPECT_FALSE(page.model.whiteMode());
}

TEST(LightDetailModel, ReadOutsRoundAsShown)
{
    struct Row {
        double brightness;
        const char *readout;
        const char *valueLabel;
    };
    const Row brightnessRows[] = {{49.5, "50%", "50 percent"}, {0.5, "1%", "1 percent"}, {49.4, "49%", "49 percent"}};
    HueLight light = colourLight();
    light.minimumBrightness = 0;
    for (const Row &row : brightnessRows) {
        SCOPED_TRACE(row.brightness);
        Page page(light);
        page.model.setBrightness(row.brightness);
        EXPECT_EQ(page.model.brightnessReadout(), QLatin1String(row.readout));
        EXPECT_EQ(page.model.brightnessValueLabel(), QLatin1String(row.valueLabel));
    }

    struct KelvinRow {
        double kelvin;
        const char *readout;
        const char *valueLabel;
    };
    const KelvinRow kelvinRows[] = {
        {2725, "2750 K", "2750 kelvin"}, {2724, "2700 K", "2700 kelvin"}, {2699.9, "2700 K", "2700 kelvin"}};
    for (const KelvinRow &row : kelvinRows) {
        SCOPED_TRACE(row.kelvin);
        Page page(whiteLight());
        page.model.setKelvin(row.kelvin);
        EXPECT_EQ(page.model.kelvinReadout(), QLatin1String(row.readout));
        EXPECT_EQ(page.model.kelvinValueLabel(), QLatin1String(row.valueLabel));
    }

    EXPECT_EQ(wt::mirek(2700), 370);
    EXPECT_EQ(wt::mirek(0), 500) << "no kelvin is never an undefined mirek";
    EXPECT_EQ(wt::mirek(NAN), 500);
}

TEST(LightDetailModel, ScrollStepsStopAtTheLightsLimits)
{
    HueLight light = colourLight();
    light.minimumBrightness = 5;
    light.brightness = 7;
    Page page(light);
    page.model.scrollBrightness(-1.5);
    page.model.scrollBrightness(-3);
    page.model.scrollBrightness(-3);
    page.model.scrollBrightness(200);
    page.model.scrollBrightness(1);
    ASSERT_EQ(page.sent.size(), 3u);
    EXPECT_EQ(page.sent[0], LightChange{.brightness = 5.5});
    EXPECT_EQ(page.sent[1], LightChange{.brightness = 5});
    EXPECT_EQ(page.sent[2], LightChange{.brightness = 100});
}

TEST(LightDetailModel, TheToggleShowsTheWantedStateOnlyWhileItIsInFlight)
{
    Page page(colourLight());
    page.model.setPower(false);
    page.setUpdating(true);
    EXPECT_FALSE(page.model.displayedIsOn());
    EXPECT_TRUE(page.model.controlsDisabled()) << "disabled at once, before the light is published off";
    page.setUpdating(false);
    EXPECT_TRUE(page.model.displayedIsOn()) << "back to the published light";
}

TEST(LightDetailModel, TryAgainResendsTheFailedChangeElseTheLastOne)
{
    struct Row {
        const char *name;
        HueLight light;
        bool locked;
        std::optional<LightChange> failed;
        bool sendsBrightnessFirst;
        std::optional<LightChange> expected;
        bool enabled;
    };
    const LightChange dim{.brightness = 20};
    const LightChange switchOn{.on = true};
    HueLight unreachable = colourLight();
    unreachable.isReachable = false;
    const Row rows[] = {
        {"nothing to retry", colourLight(), false, std::nullopt, false, std::nullopt, false},
        {"the last change", colourLight(), false, std::nullopt, true, dim, true},
        {"the failed change beats the last", colourLight(), false, switchOn, true, switchOn, true},
        {"failed switch on an off light", off(colourLight()), false, switchOn, false, switchOn, true},
        {"failed dim on an off light", off(colourLight()), false, dim, false, dim, false},
        {"unreachable", unreachable, false, switchOn, false, switchOn, false},
        {"locked", colourLight(), true, switchOn, false, switchOn, false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Page page(colourLight());
        if (row.sendsBrightnessFirst)
            page.model.setBrightness(20);
        page.model.setInputs({.light = row.light, .controlsLocked = row.locked,
                              .errorMessage = QStringLiteral("Failed"), .failedChange = row.failed});
        EXPECT_EQ(page.model.retryChange(), row.expected);
        EXPECT_EQ(page.model.retryEnabled(), row.enabled);
        if (const auto change = page.model.retryChange()) {
            page.sent.clear();
            page.model.retry(*change);
            EXPECT_EQ(page.sent, std::vector<LightChange>{*change});
            EXPECT_EQ(page.model.lastChange(), *change);
        }
    }
}

TEST(LightDetailModel, ThePageShowsTheCardsTheLightSupports)
{
    using Title = LightDetailModel::ColourCardTitle;
    using Indicator = LightDetailModel::ColourCardIndicator;
    struct Row {
        const char *name;
        HueLight light;
        bool brightnessCard;
        bool colourCard;
        bool note;
        Title title;
        Indicator indicator;
    };
    HueLight colourOnly = colourLight();
    colourOnly.temperatureRange.reset();
    const Row rows[] = {
        {"colour and white", colourLight(), true, true, false, Title::ModeSelector, Indicator::Swatch},
        {"colour only", colourOnly, true, true, false, Title::Colour, Indicator::Swatch},
        {"white only", whiteLight(), true, true, false, Title::WhiteTemperature, Indicator::KelvinReadout},
        {"dimmable only", dimmableOnly(), true, false, false, Title::WhiteTemperature, Indicator::KelvinReadout},
        {"on and off only", onOffOnly(), false, false, true, Title::WhiteTemperature, Indicator::KelvinReadout},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        Page page(row.light);
        EXPECT_EQ(page.model.showsBrightnessCard(), row.brightnessCard);
        EXPECT_EQ(page.model.showsColourCard(), row.colourCard);
        EXPECT_EQ(page.model.showsOnOffNote(), row.note);
        if (row.colourCard) {
            EXPECT_EQ(page.model.colourCardTitle(), row.title);
            EXPECT_EQ(page.model.colourCardIndicator(), row.indicator);
        }
    }
}

TEST(LightDetailModel, TheStatusLineTellsTheFirstThingThatApplies)
{
    using Kind = LightDetailModel::StatusKind;
    struct Row {
        const char *name;
        bool reachable;
        std::optional<QString> error;
        bool locked;
        bool updating;
        bool on;
        Kind kind;
        QString text;
        QString label;
    };
    const QString unreachableText = QStringLiteral("Unreachable · Check the light’s wall switch and power.");
    const QString error = QStringLiteral("The bridge refused the change.");
    const Row rows[] = {
        {"nothing to tell", true, std::nullopt, false, false, true, Kind::None, {}, {}},
        {"unreachable beats an error", false, error, true, true, true, Kind::Unreachable, unreachableText,
         unreachableText},
        {"error beats progress", true, error, true, true, true, Kind::Error, error, error},
        {"locked beats updating in the text", true, std::nullopt, true, true, true, Kind::Progress,
         QStringLiteral("Reconnecting to your Bridge…"), QStringLiteral("Updating Floor lamp")},
        {"updating", true, std::nullopt, false, true, false, Kind::Progress, QStringLiteral("Updating light…"),
         QStringLiteral("Updating Floor lamp")},
        {"locked, light on", true, std::nullopt, true, false, true, Kind::Progress,
         QStringLiteral("Reconnecting to your Bridge…"), QStringLiteral("Light is on")},
        {"locked, light off", true, std::nullopt, true, false, false, Kind::Progress,
         QStringLiteral("Reconnecting to your Bridge…"),
         QStringLiteral("Light is off. Turn it on to adjust brightness and colour.")},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        HueLight light = colourLight();
        light.isReachable = row.reachable;
        light.isOn = row.on;
        Page page(LightDetailInputs{
            .light = light, .isUpdating = row.updating, .controlsLocked = row.locked, .errorMessage = row.error});
        EXPECT_EQ(page.model.statusKind(), row.kind);
        EXPECT_EQ(page.model.statusText(), row.text);
        EXPECT_EQ(page.model.statusAccessibleLabel(), row.label);
    }
}

} // namespace
} // namespace vantora

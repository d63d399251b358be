#include "bridge/HueError.h"
#include "bridge/LightChange.h"

#include <gtest/gtest.h>

#include <limits>
#include <variant>

using namespace vantora;

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();

const HueLight plainLight{.id = QStringLiteral("plain"), .isReachable = true};
const HueLight colourLight{.id = QStringLiteral("colour"), .isReachable = true, .brightness = 50,
                           .color = HueXY{0.3, 0.3}, .gamut = HueGamut::preview(),
                           .temperatureRange = MirekRange{153, 500}};
const HueLight colourLightWithoutGamut{.id = QStringLiteral("no gamut"), .brightness = 50, .color = HueXY{0.3, 0.3}};

HueLight dimmableWithFloor(double floor)
{
    HueLight light{.id = QStringLiteral("dimmable"), .isReachable = true, .brightness = 50};
    light.minimumBrightness = floor;
    return light;
}

const QString bothText = QStringLiteral("Choose a colour or a white temperature, not both.");
const QString brightnessText = QStringLiteral("Brightness isn’t supported by this light.");
const QString colourText = QStringLiteral("Colour isn’t supported by this light.");
const QString temperatureText = QStringLiteral("White temperature isn’t supported by this light.");

// The validated change, or the api message it was refused with.
std::variant<LightChange, QString> validation(const LightChange &change, const HueLight &light)
{
    try {
        return change.validated(light);
    } catch (const HueError &error) {
        EXPECT_EQ(error.kind(), HueError::Kind::api);
        return error.apiMessage().value_or(QString());
    }
}

} // namespace

TEST(LightChange, ValidationClampsOrRefusesAgainstTheLight)
{
    struct Row {
        const char *name;
        LightChange change;
        HueLight light;
        std::variant<LightChange, QString> expected;
    };
    const Row rows[] = {
        {"empty stays empty", {}, plainLight, LightChange{}},
        {"on alone passes any light", {.on = false}, plainLight, LightChange{.on = false}},
        {"colour with temperature is refused first, even on a plain light",
         {.brightness = 50, .color = HueXY{0.3, 0.3}, .temperature = 300}, plainLight, bothText},
        {"brightness 0 rises to the minimum", {.brightness = 0}, colourLight, LightChange{.brightness = 1}},
        {"brightness 150 falls to 100", {.brightness = 150}, colourLight, LightChange{.brightness = 100}},
        // However a light is made, its floor stays within 1…100.
        {"a floor made as 0 is 1", {.brightness = 0}, dimmableWithFloor(0), LightChange{.brightness = 1}},
        {"a floor made below 0 is 1", {.brightness = 0.5}, dimmableWithFloor(-20), LightChange{.brightness = 1}},
        {"a floor made as not a number is 1", {.brightness = 0}, dimmableWithFloor(notANumber),
         LightChange{.brightness = 1}},
        {"a floor made above 100 is 100", {.brightness = 40}, dimmableWithFloor(250), LightChange{.brightness = 100}},
        {"a floor within the range holds", {.brightness = 10}, dimmableWithFloor(25), LightChange{.brightness = 25}},
        {"brightness not a number", {.brightness = notANumber}, colourLight, brightnessText},
        {"brightness infinite", {.brightness = std::numeric_limits<double>::infinity()}, colourLight, brightnessText},
        {"brightness on a plain light", {.brightness = 50}, plainLight, brightnessText},
        {"colour moved into the gamut", {.color = HueXY{0.8, 0.2}}, colourLight, LightChange{.color = HueXY{0.6915, 0.3083}}},
        {"colour without a gamut is sent as asked", {.color = HueXY{0.8, 0.2}}, colourLightWithoutGamut,
         LightChange{.color = HueXY{0.8, 0.2}}},
        {"colour with y zero", {.color = HueXY{0.3, 0}}, colourLight, colourText},
        {"colour beyond the diagram", {.color = HueXY{0.6, 0.6}}, colourLightWithoutGamut, colourText},
        {"colour not a number", {.color = HueXY{notANumber, 0.3}}, colourLight, colourText},
        {"colour on a white light", {.color = HueXY{0.3, 0.3}}, plainLight, colourText},
        {"temperature below the range", {.temperature = 100}, colourLight, LightChange{.temperature = 153}},
        {"temperature above the range", {.temperature = 600}, colourLight, LightChange{.temperature = 500}},
        {"temperature without a range", {.temperature = 300}, colourLightWithoutGamut, temperatureText},
        {"a later part's refusal refuses the whole change", {.on = true, .brightness = 50, .temperature = 300},
         colourLightWithoutGamut, temperatureText},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(validation(row.change, row.light), row.expected);
    }
}

TEST(LightChange, RefusalsReadAsBridgeErrors)
{
    try {
        LightChange{.brightness = 10}.validated(plainLight);
        FAIL() << "accepted";
    } catch (const HueError &error) {
        EXPECT_EQ(error.errorDescription(), QStringLiteral("Hue Bridge: ") + brightnessText);
    }
}

TEST(LightChange, MergingLetsTheLatestColourOrTemperatureWin)
{
    struct Row {
        const char *name;
        LightChange older;
        LightChange newer;
        LightChange merged;
    };
    const HueXY colour{0.3, 0.3};
    const Row rows[] = {
        {"newer temperature drops the pending colour", {.on = true, .brightness = 40, .color = colour},
         {.brightness = 60, .temperature = 300}, {.on = true, .brightness = 60, .temperature = 300}},
        {"newer colour drops the pending temperature", {.temperature = 300}, {.color = colour}, {.color = colour}},
        {"neither keeps the older colour", {.on = true, .color = colour}, {.on = false}, {.on = false, .color = colour}},
        {"neither keeps the older temperature", {.temperature = 300}, {.brightness = 5}, {.brightness = 5, .temperature = 300}},
        {"a newer change holding both keeps neither", {.color = colour}, {.color = colour, .temperature = 300}, {}},
        {"empty newer change keeps everything", {.on = true, .brightness = 1, .color = colour}, {},
         {.on = true, .brightness = 1, .color = colour}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.older.merging(row.newer), row.merged);
    }
}

TEST(LightChange, ApplyingPatchesOnlyWhatTheChangeHolds)
{
    const HueLight showingColour{.id = QStringLiteral("l"), .isOn = false, .brightness = 30, .color = HueXY{0.3, 0.3},
                                 .temperature = 250, .temperatureRange = MirekRange{153, 500}};
    HueLight showingTemperature = showingColour;
    showingTemperature.temperatureIsActive = true;

    struct Row {
        const char *name;
        LightChange change;
        HueLight light;
        HueLight expected;
    };
    HueLight temperatureApplied = showingTemperature;
    temperatureApplied.temperature = 400;
    HueLight colourApplied = showingColour;
    colourApplied.isOn = true;
    colourApplied.brightness = 70;
    colourApplied.color = HueXY{0.5, 0.4};
    const Row rows[] = {
        {"a temperature keeps the old colour", {.temperature = 400}, showingColour, temperatureApplied},
        {"a colour ends an active temperature", {.on = true, .brightness = 70, .color = HueXY{0.5, 0.4}},
         showingTemperature, colourApplied},
        {"brightness alone leaves the colour mode", {.brightness = 70}, showingTemperature,
         [&] {
             HueLight light = showingTemperature;
             light.brightness = 70;
             return light;
         }()},
        {"empty changes nothing", {}, showingColour, showingColour},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.change.applying(row.light), row.expected);
    }
}

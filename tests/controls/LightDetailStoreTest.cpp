#include "StoreRig.h"

#include "bridge/HueError.h"
#include "bridge/HueReplyDecoder.h"
#include "controls/LightDetailModel.h"
#include "controls/StoreLightFeed.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vantora::testing {
namespace {

using namespace std::chrono_literals;
using Request = ScriptedLightService::Request;

// A light page over the real store: the feed turns the store's state into the page's inputs
// and the page's edits into the store's light changes, as the panel wires them.
struct StorePage {
    StorePage(StoreRig &rig, const char *lightID)
        : feed(*rig.store, QString::fromLatin1(lightID), rig.harness.executor)
        , model(feed.inputs(), [this](const LightChange &change) { feed.send(change); })
    {
        QObject::connect(&feed, &StoreLightFeed::inputsChanged, &model, &LightDetailModel::setInputs);
        model.appear();
    }

    StoreLightFeed feed;
    LightDetailModel model;
};

std::vector<LightChange> sentChanges(const ScriptedLightService &service)
{
    std::vector<LightChange> changes;
    for (const Request &request : service.requests) {
        if (request.kind == Request::Kind::updateLight)
            changes.push_back(*request.change);
    }
    return changes;
}

const ScriptedLightService::Done done{};

TEST(LightDetailOverTheStore, TurningOnKeepsTheControlsDisabledUntilTheLightIsPublishedOn)
{
    StoreRig rig;
    rig.buildConnected(HueSnapshot::demo());
    StorePage page(rig, "3");
    auto answer = rig.lights->lightUpdates.thenWait();

    page.model.setPower(true);
    rig.harness.executor.runUntilIdle();
    EXPECT_TRUE(page.model.inputs().isUpdating);
    EXPECT_TRUE(page.model.displayedIsOn());
    EXPECT_TRUE(page.model.controlsDisabled()) << "the light is still published off";
    page.model.setBrightness(20);
    EXPECT_EQ(sentChanges(*rig.lights), std::vector<LightChange>{{.on = true}});

    answer->open(done);
    rig.harness.executor.runUntilIdle();
    EXPECT_TRUE(page.model.light().isOn);
    EXPECT_FALSE(page.model.inputs().isUpdating);
    EXPECT_FALSE(page.model.controlsDisabled());
}

TEST(LightDetailOverTheStore, TurningOffDisablesTheControlsAtOnce)
{
    StoreRig rig;
    rig.buildConnected(HueSnapshot::demo());
    StorePage page(rig, "1");
    auto answer = rig.lights->lightUpdates.thenWait();

    page.model.setPower(false);
    rig.harness.executor.runUntilIdle();
    EXPECT_TRUE(page.model.light().isOn);
    EXPECT_FALSE(page.model.displayedIsOn());
    EXPECT_TRUE(page.model.controlsDisabled());

    answer->open(done);
    rig.harness.executor.runUntilIdle();
    EXPECT_FALSE(page.model.light().isOn);
    EXPECT_FALSE(page.model.displayedIsOn());
    EXPECT_TRUE(page.model.controlsDisabled());
}

TEST(LightDetailOverTheStore, ARefreshMidDragLeavesTheThumbAndTheEndOfTheUpdateResyncs)
{
    StoreRig rig;
    HalvetStore &store = rig.buildConnected(HueSnapshot::demo());
    StorePage page(rig, "1");
    rig.lights->lightUpdates.alwaysReturn(done);

    page.model.setEditing(true);
    page.model.setBrightness(30);
    rig.harness.clock.advance(1s);
    EXPECT_FALSE(page.model.inputs().isUpdating);
    EXPECT_EQ(page.model.light().brightness, 30);

    HueSnapshot refreshed = HueSnapshot::demo();
    refreshed.lights[0].brightness = 80;
    rig.lights->snapshots.thenReturn(refreshed);
    rig.start(store.refresh());
    EXPECT_EQ(page.model.light().brightness, 80);
    EXPECT_DOUBLE_EQ(page.model.brightness(), 30) << "the thumb stays under the pointer";

    page.model.setBrightness(40);
    rig.harness.executor.runUntilIdle();
    page.model.setEditing(false);
    EXPECT_DOUBLE_EQ(page.model.brightness(), 40);
    rig.harness.clock.advance(1s);
    EXPECT_DOUBLE_EQ(page.model.brightness(), 40) << "synced from the light the bridge accepted";
    EXPECT_EQ(page.model.light().brightness, 40);
    EXPECT_EQ(sentChanges(*rig.lights), (std::vector<LightChange>{{.brightness = 30}, {.brightness = 40}}));
}

TEST(LightDetailOverTheStore, TryAgainResendsTheFailedChangeThroughTheLightsWorker)
{
    StoreRig rig;
    rig.buildConnected(HueSnapshot::demo());
    StorePage page(rig, "1");
    StorePage otherPage(rig, "2");
    rig.lights->lightUpdates.thenFail(HueError::http(500));
    auto newerAnswer = rig.lights->lightUpdates.thenWait();
    rig.lights->lightUpdates.alwaysReturn(done);

    page.model.setEditing(true);
    page.model.setBrightness(25);
    rig.harness.clock.advance(1s);
    ASSERT_TRUE(page.model.inputs().errorMessage);
    EXPECT_EQ(page.model.inputs().failedChange, LightChange{.brightness = 25});
    EXPECT_FALSE(otherPage.model.inputs().errorMessage) << "another light's failure is not shown";
    EXPECT_DOUBLE_EQ(page.model.brightness(), 25);
    page.model.setEditing(false);
    EXPECT_DOUBLE_EQ(page.model.brightness(), 72) << "after a failure the slider snaps back on release";

    page.model.setBrightness(50);
    rig.harness.executor.runUntilIdle();
    EXPECT_EQ(page.model.retryChange(), LightChange{.brightness = 25}) << "the failed change, not the last one";
    EXPECT_TRUE(page.model.retryEnabled());
    page.model.retry(LightChange{.brightness = 25});

    newerAnswer->open(done);
    rig.harness.clock.advance(1s);
    EXPECT_EQ(sentChanges(*rig.lights),
              (std::vector<LightChange>{{.brightness = 25}, {.brightness = 50}, {.brightness = 25}}));
    EXPECT_EQ(page.model.light().brightness, 25);
    EXPECT_FALSE(page.model.inputs().errorMessage);
    EXPECT_DOUBLE_EQ(page.model.brightness(), 25);
}

TEST(LightDetailOverTheStore, AFailureOfNoLightShowsOnEveryPage)
{
    StoreRig rig;
    HalvetStore &store = rig.buildConnected(HueSnapshot::demo());
    StorePage page(rig, "4");
    store.setErrorMessage(QStringLiteral("The bridge did not answer."));
    rig.harness.executor.runUntilIdle();
    EXPECT_EQ(page.model.statusKind(), LightDetailModel::StatusKind::Error);
    EXPECT_FALSE(page.model.retryChange()) << "nothing sent, nothing failed: no Try again";
}

// Lights as a bridge may describe them, read through the real decoder.
constexpr const char oddLights[] = R"([
  {"id": "reversed", "type": "light", "metadata": {"name": "Reversed"}, "on": {"on": true},
   "dimming": {"brightness": 50},
   "color_temperature": {"mirek": 300, "mirek_valid": true, "mirek_schema": {"mirek_minimum": 500, "mirek_maximum": 153}}},
  {"id": "beyond", "type": "light", "metadata": {"name": "Beyond"}, "on": {"on": true},
   "dimming": {"brightness": 50},
   "color_temperature": {"mirek": 650, "mirek_valid": true, "mirek_schema": {"mirek_minimum": 600, "mirek_maximum": 700}}},
  {"id": "single", "type": "light", "metadata": {"name": "Single"}, "on": {"on": true},
   "dimming": {"brightness": 50},
   "color_temperature": {"mirek": 0, "mirek_valid": true, "mirek_schema": {"mirek_minimum": 250, "mirek_maximum": 250}}},
  {"id": "missing", "type": "light", "metadata": {"name": "Missing"}, "on": {"on": true},
   "dimming": {"brightness": 50},
   "color_temperature": {"mirek": null, "mirek_valid": false}},
  {"id": "gamutless", "type": "light", "metadata": {"name": "Gamutless"}, "on": {"on": true},
   "dimming": {"brightness": 0}, "color": {"xy": {"x": 0.3, "y": 0.3}}},
  {"id": "plug", "type": "light", "metadata": {"name": "Plug"}, "on": {"on": false}}
])";

TEST(LightDetailOverTheStore, OddLightsFromTheBridgeGiveTheirPageWithoutFaults)
{
    using Title = LightDetailModel::ColourCardTitle;
    const HueSnapshot home =
        HueSnapshot::fromResources(HueReplyDecoder()
                                       .resourceList(QByteArrayLiteral(R"({"errors": [], "data": )") + oddLights + '}',
                                                     IgnoredResources::skipped)
                                       .data);
    StoreRig rig;
    rig.buildConnected(home);
    struct Row {
        const char *id;
        bool colourCard;
        std::optional<Title> title;
        bool note;
        double kelvinLower;
        double kelvinUpper;
    };
    const Row rows[] = {
        {"reversed", false, std::nullopt, false, 2000, 1e6 / 153},
        {"beyond", false, std::nullopt, false, 2000, 1e6 / 153},
        {"single", true, Title::WhiteTemperature, false, 4000, 4000},
        {"missing", true, Title::WhiteTemperature, false, 2000, 1e6 / 153},
        {"gamutless", true, Title::Colour, false, 2000, 1e6 / 153},
        {"plug", false, std::nullopt, true, 2000, 1e6 / 153},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.id);
        StorePage page(rig, row.id);
        const LightDetailModel &model = page.model;
        EXPECT_EQ(model.showsColourCard(), row.colourCard);
        if (row.title) {
            EXPECT_EQ(model.colourCardTitle(), *row.title);
        }
        EXPECT_EQ(model.showsOnOffNote(), row.note);
        EXPECT_DOUBLE_EQ(model.kelvinRange().lower, row.kelvinLower);
        EXPECT_DOUBLE_EQ(model.kelvinRange().upper, row.kelvinUpper);
        for (const double value : {model.brightness(), model.hue(), model.saturation(), model.kelvin(),
                                   model.activeWhitePreset(), double(model.swatchColour().redF())})
            EXPECT_TRUE(std::isfinite(value));
        EXPECT_GE(model.kelvin(), row.kelvinLower);
        EXPECT_LE(model.kelvin(), row.kelvinUpper);
    }
}

} // namespace
} // namespace vantora::testing

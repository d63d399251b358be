#include "StoreRig.h"

#include "app/AllLightsToggle.h"
#include "bridge/HueError.h"
#include "store/HalvetStore.h"

#include <gtest/gtest.h>

using namespace vantora;
using vantora::testing::ScriptedLightService;
using vantora::testing::StoreRig;
using Kind = ScriptedLightService::Request::Kind;

namespace {

struct LightState {
    bool on;
    bool reachable;
};

HueSnapshot homeWith(std::vector<LightState> states)
{
    HueSnapshot home = HueSnapshot::sample(int(states.size()));
    for (std::size_t i = 0; i < states.size(); ++i) {
        home.lights[i].isOn = states[i].on;
        home.lights[i].isReachable = states[i].reachable;
    }
    return home;
}

// The power the toggle asked the bridge for, if it asked.
std::optional<bool> powerSent(const ScriptedLightService &lights)
{
    for (const auto &request : lights.requests) {
        if (request.kind == Kind::allOff)
            return false;
        if (request.kind == Kind::setPower)
            return request.on;
    }
    return std::nullopt;
}

} // namespace

TEST(AllLightsToggle, SwitchesByTheReachableLightsOrOpensThePanel)
{
    const auto failPower = [](StoreRig &rig) {
        rig.lights->allOffRequests.thenFail(HueError::http(500));
        rig.lights->powerRequests.thenFail(HueError::http(500));
    };
    const auto failRefresh = [](StoreRig &rig) {
        rig.lights->snapshots.thenFail(runtime::NetworkError(runtime::NetworkErrorCode::timedOut, QString()));
    };
    struct Row {
        const char *name;
        std::vector<LightState> home;
        std::function<void(StoreRig &)> arrange;
        std::optional<bool> power;
        bool opensPanel;
    };
    const Row rows[] = {
        {"one reachable light on: all off", {{true, true}, {false, true}}, {}, false, false},
        {"reachable lights off, an unreachable one on: all on", {{false, true}, {true, false}}, {}, true, false},
        {"nothing reachable: the panel, no change", {{true, false}, {false, false}}, {}, std::nullopt, true},
        {"the change fails: the panel", {{true, true}}, failPower, false, true},
        {"the refresh fails: the panel, no change", {{true, true}}, failRefresh, std::nullopt, true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        StoreRig rig;
        HalvetStore &store = rig.buildConnected(homeWith(row.home));
        rig.lights->requests.clear();
        if (row.arrange)
            row.arrange(rig);
        rig.lights->snapshots.alwaysReturn(homeWith(row.home));
        int panelOpenings = 0;
        rig.start(toggleAllLights(store, [&] { ++panelOpenings; }));
        rig.harness.clock.advance(std::chrono::seconds(5));
        EXPECT_EQ(powerSent(*rig.lights), row.power);
        EXPECT_EQ(panelOpenings, row.opensPanel ? 1 : 0);
    }
}

TEST(AllLightsToggle, WithoutAConnectionOpensThePanelAndSendsNothing)
{
    StoreRig rig;
    HalvetStore &store = rig.build();
    int panelOpenings = 0;
    rig.start(toggleAllLights(store, [&] { ++panelOpenings; }));
    EXPECT_EQ(panelOpenings, 1);
    EXPECT_TRUE(rig.lights->requests.empty());
}

TEST(AllLightsToggle, ASecondPressWhileTheFirstWorksDoesNothing)
{
    StoreRig rig;
    HalvetStore &store = rig.buildConnected(homeWith({{false, true}}));
    auto gate = rig.lights->snapshots.thenWait();
    int panelOpenings = 0;
    rig.start(toggleAllLights(store, [&] { ++panelOpenings; }));
    rig.start(toggleAllLights(store, [&] { ++panelOpenings; }));
    rig.lights->snapshots.alwaysReturn(homeWith({{false, true}}));
    gate->open(homeWith({{false, true}}));
    rig.harness.clock.advance(std::chrono::seconds(5));
    EXPECT_EQ(rig.lights->count(Kind::setPower) + rig.lights->count(Kind::allOff), 1);
    EXPECT_EQ(powerSent(*rig.lights), true);
    EXPECT_EQ(panelOpenings, 0);
}

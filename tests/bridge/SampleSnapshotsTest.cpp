#include "bridge/HueSnapshot.h"

#include <gtest/gtest.h>

#include <set>

using namespace vantora;

TEST(SampleSnapshots, DemoIsAFixedHomeBuiltOnce)
{
    const HueSnapshot &demo = HueSnapshot::demo();
    EXPECT_EQ(&demo, &HueSnapshot::demo());
    ASSERT_EQ(demo.lights.size(), 5u);
    EXPECT_FALSE(demo.allLightsGroupID);
    const auto rooms = demo.rooms();
    ASSERT_EQ(rooms.size(), 3u);
    EXPECT_EQ(rooms[0].name, QStringLiteral("Bedroom"));
    EXPECT_EQ(rooms[1].name, QStringLiteral("Kitchen"));
    EXPECT_EQ(rooms[2].id, QStringLiteral("living"));
    EXPECT_EQ(rooms[2].lights.size(), 2u);
    EXPECT_FALSE(demo.lights[4].isReachable);
    EXPECT_TRUE(demo.lights[1].temperatureIsActive);
}

TEST(SampleSnapshots, SampleFollowsTheGeneratedTable)
{
    EXPECT_EQ(HueSnapshot::sample(0), HueSnapshot{});

    // name, room, on, reachable, brightness (0 = none), colour hue (0 = none), has range, temperature active
    struct Row {
        const char *name;
        const char *room;
        bool on;
        bool reachable;
        int brightness;
        double hue;
        bool range;
        bool active;
    };
    const Row rows[] = {
        {"Bedside lamp", "Living room", true, true, 35, 0.1, true, false},
        {"Ceiling lights", "Living room", false, false, 46, 0, true, true},
        {"Smart plug", "Living room", false, true, 0, 0, false, false},
        {"Light stand", "Living room", true, true, 0, 0, false, false},
        {"En-suite", "Bedroom", false, true, 79, 0.1, true, false},
        {"Reading light", "Bedroom", false, true, 90, 0, true, true},
        {"Bedside lamp", "Bedroom", true, true, 35, 0, false, false},
        {"Ceiling lights", "Bedroom", false, true, 46, 0.74, true, false},
        {"Smart plug", "Kitchen", false, false, 0, 0, false, false},
        {"Pendant", "Kitchen", true, true, 68, 0, true, true},
        {"En-suite", "Kitchen", false, true, 79, 0, false, false},
        {"Reading light", "Kitchen", false, true, 90, 0.74, true, false},
        {"Bedside lamp", "Office", true, true, 35, 0.1, true, false},
        {"Ceiling lights", "Office", false, true, 46, 0, true, true},
        {"Floor lamp", "Office", false, true, 57, 0, false, false},
    };
    const HueSnapshot sample = HueSnapshot::sample(15);
    ASSERT_EQ(sample.lights.size(), std::size(rows));
    std::set<QString> ids;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row &row = rows[i];
        const HueLight &light = sample.lights[i];
        SCOPED_TRACE(testing::Message() << "light " << i);
        ids.insert(light.id);
        EXPECT_EQ(light.id, QStringLiteral("sample-%1").arg(i));
        EXPECT_EQ(light.roomID, QStringLiteral("room-%1").arg(i / 4));
        EXPECT_EQ(light.name, QLatin1String(row.name));
        EXPECT_EQ(light.roomName, QLatin1String(row.room));
        EXPECT_EQ(light.isOn, row.on);
        EXPECT_EQ(light.isReachable, row.reachable);
        EXPECT_EQ(light.brightness, row.brightness ? std::optional<double>(row.brightness) : std::nullopt);
        EXPECT_EQ(light.color, row.hue ? std::optional(LightColour::xy(LightColour::HueSaturation{row.hue, 0.55}))
                                       : std::nullopt);
        EXPECT_EQ(light.temperatureRange, row.range ? std::optional(MirekRange{153, 500}) : std::nullopt);
        EXPECT_EQ(light.temperatureIsActive, row.active);
        EXPECT_EQ(light.gamut.has_value(), light.brightness.has_value()) << "every light but the plugs has the gamut";
    }
    EXPECT_EQ(ids.size(), std::size(rows)) << "names repeat, ids never";
}

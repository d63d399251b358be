#include "ClipFixtures.h"

#include "bridge/HueSnapshot.h"

#include <gtest/gtest.h>

using namespace vantora;
using vantora::testing::clipFixture;
using vantora::testing::resourcesOf;
using vantora::testing::resourcesOfReply;

namespace {

const QString livingRoom = QStringLiteral("a1a1a1a1-0000-4000-8000-000000000001");
const QString kitchen = QStringLiteral("a1a1a1a1-0000-4000-8000-000000000002");
const QString unnamedRoom = QStringLiteral("a1a1a1a1-0000-4000-8000-000000000003");

QString lightID(int n)
{
    return QStringLiteral("11111111-0000-4000-8000-00000000000%1").arg(n);
}

std::vector<QString> namesOf(const std::vector<HueLight> &lights)
{
    std::vector<QString> names;
    for (const HueLight &light : lights)
        names.push_back(light.name);
    return names;
}

HueSnapshot snapshotOf(const char *array)
{
    return HueSnapshot::fromResources(resourcesOf(array));
}

} // namespace

TEST(HueSnapshot, BuildsEveryLightOfAHome)
{
    const HueSnapshot snapshot = HueSnapshot::fromResources(resourcesOfReply(clipFixture("home.json")));

    const std::vector<HueLight> expected{
        {.id = lightID(1), .name = QStringLiteral("Floor lamp"), .roomID = livingRoom, .roomName = QStringLiteral("Living room"),
         .isOn = true, .isReachable = true, .brightness = 72.33, .color = HueXY{0.4573, 0.41}, .gamut = HueGamut::preview(),
         .temperature = 366, .temperatureRange = MirekRange{153, 454}, .temperatureIsActive = true},
        // Disconnected; a schema entirely above 500 leaves no range but keeps the reported mirek.
        {.id = lightID(3), .name = QStringLiteral("lamp 2"), .roomID = kitchen, .roomName = QStringLiteral("Kitchen"),
         .isOn = true, .isReachable = false, .brightness = 100.0, .temperature = 650, .temperatureIsActive = true},
        // Connectivity issue; null mirek; a wide schema narrowed to 153…500; colour without gamut.
        {.id = lightID(2), .name = QStringLiteral("Lamp 10"), .roomID = livingRoom, .roomName = QStringLiteral("Living room"),
         .isOn = false, .isReachable = false, .brightness = 40.0, .color = HueXY{0.3, 0.3},
         .temperatureRange = MirekRange{153, 500}},
        // A room without a name keeps its id; 520 mirek is kept outside its range.
        {.id = lightID(5), .name = QStringLiteral("Pendant"), .roomID = unnamedRoom, .roomName = QStringLiteral("Other lights"),
         .isOn = true, .isReachable = true, .brightness = 80.0, .temperature = 520, .temperatureRange = MirekRange{153, 500},
         .temperatureIsActive = true},
        {.id = lightID(6), .name = QStringLiteral("Plug"), .roomID = QStringLiteral("unassigned"),
         .roomName = QStringLiteral("Other lights"), .isOn = false, .isReachable = true},
        // Listed in its room directly as a light, its device nowhere.
        {.id = lightID(4), .name = QStringLiteral("Strip"), .roomID = kitchen, .roomName = QStringLiteral("Kitchen"),
         .isOn = true, .isReachable = true, .brightness = 12.5},
    };
    ASSERT_EQ(snapshot.lights.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].name.toStdString());
        EXPECT_EQ(snapshot.lights[i], expected[i]);
    }
    EXPECT_EQ(snapshot.allLightsGroupID, QStringLiteral("c0c0c0c0-0000-4000-8000-0000000000a0"));
}

TEST(HueSnapshot, RoomsListNamedRoomsByNameAndUnassignedLightsLast)
{
    const HueSnapshot snapshot = HueSnapshot::fromResources(resourcesOfReply(clipFixture("home.json")));
    const std::vector<LightRoom> rooms = snapshot.rooms();
    ASSERT_EQ(rooms.size(), 4u);
    EXPECT_EQ(rooms[0].id, kitchen);
    EXPECT_EQ(namesOf(rooms[0].lights), (std::vector<QString>{QStringLiteral("lamp 2"), QStringLiteral("Strip")}));
    EXPECT_EQ(rooms[1].id, livingRoom);
    EXPECT_EQ(namesOf(rooms[1].lights), (std::vector<QString>{QStringLiteral("Floor lamp"), QStringLiteral("Lamp 10")}));
    EXPECT_EQ(rooms[2].id, unnamedRoom);
    EXPECT_EQ(rooms[2].name, QStringLiteral("Other lights"));
    EXPECT_EQ(rooms[3].id, QStringLiteral("unassigned"));
    EXPECT_EQ(namesOf(rooms[3].lights), (std::vector<QString>{QStringLiteral("Plug")}));
}

TEST(HueSnapshot, EmptyListGivesTheEmptySnapshot)
{
    EXPECT_EQ(HueSnapshot::fromResources(resourcesOfReply(clipFixture("empty.json"))), HueSnapshot{});
    EXPECT_TRUE(HueSnapshot{}.rooms().empty());
}

TEST(HueSnapshot, RoomOfALightIsTheFirstRoomListingItsDeviceOrItself)
{
    struct Row {
        const char *name;
        const char *array;
        QString roomID;
    };
    const Row rows[] = {
        {"first room listing the device wins",
         R"([{"id": "r1", "type": "room", "children": [{"rid": "d", "rtype": "device"}]},
             {"id": "r2", "type": "room", "children": [{"rid": "d", "rtype": "device"}]},
             {"id": "l", "type": "light", "owner": {"rid": "d", "rtype": "device"}}])",
         QStringLiteral("r1")},
        {"a direct light child in an earlier room wins over a device child in a later one",
         R"([{"id": "r1", "type": "room", "children": [{"rid": "l", "rtype": "light"}]},
             {"id": "r2", "type": "room", "children": [{"rid": "d", "rtype": "device"}]},
             {"id": "l", "type": "light", "owner": {"rid": "d", "rtype": "device"}}])",
         QStringLiteral("r1")},
        {"a device child in an earlier room wins over a direct light child in a later one",
         R"([{"id": "r1", "type": "room", "children": [{"rid": "d", "rtype": "device"}]},
             {"id": "r2", "type": "room", "children": [{"rid": "l", "rtype": "light"}]},
             {"id": "l", "type": "light", "owner": {"rid": "d", "rtype": "device"}}])",
         QStringLiteral("r1")},
        {"the device id listed with another rtype does not count",
         R"([{"id": "r1", "type": "room", "children": [{"rid": "d", "rtype": "light"}]},
             {"id": "l", "type": "light", "owner": {"rid": "d", "rtype": "device"}}])",
         QStringLiteral("unassigned")},
        {"a light without owner is found only directly",
         R"([{"id": "r1", "type": "room", "children": [{"rid": "x", "rtype": "device"}]},
             {"id": "r2", "type": "room", "children": [{"rid": "l", "rtype": "light"}]},
             {"id": "l", "type": "light"}])",
         QStringLiteral("r2")},
        {"rooms after the light in the list count too",
         R"([{"id": "l", "type": "light", "owner": {"rid": "d", "rtype": "device"}},
             {"id": "r9", "type": "room", "children": [{"rid": "d", "rtype": "device"}]}])",
         QStringLiteral("r9")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const HueSnapshot snapshot = snapshotOf(row.array);
        ASSERT_EQ(snapshot.lights.size(), 1u);
        EXPECT_EQ(snapshot.lights[0].roomID, row.roomID);
    }
}

TEST(HueSnapshot, ReachabilityComesFromTheFirstConnectivityServiceOfTheDevice)
{
    struct Row {
        const char *name;
        const char *services;
        bool reachable;
    };
    const Row rows[] = {
        {"no service", "", true},
        {"connected", R"({"id": "z", "type": "zigbee_connectivity", "owner": {"rid": "d", "rtype": "device"}, "status": "connected"},)", true},
        {"connectivity issue", R"({"id": "z", "type": "zigbee_connectivity", "owner": {"rid": "d", "rtype": "device"}, "status": "connectivity_issue"},)", false},
        {"disconnected", R"({"id": "z", "type": "zigbee_connectivity", "owner": {"rid": "d", "rtype": "device"}, "status": "disconnected"},)", false},
        {"unknown status", R"({"id": "z", "type": "zigbee_connectivity", "owner": {"rid": "d", "rtype": "device"}, "status": "Disconnected"},)", true},
        {"first service decides, even without status",
         R"({"id": "z1", "type": "zigbee_connectivity", "owner": {"rid": "d", "rtype": "device"}},
            {"id": "z2", "type": "zigbee_connectivity", "owner": {"rid": "d", "rtype": "device"}, "status": "disconnected"},)",
         true},
        {"another device's service", R"({"id": "z", "type": "zigbee_connectivity", "owner": {"rid": "e", "rtype": "device"}, "status": "disconnected"},)", true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const std::string array = std::string("[") + row.services
            + R"({"id": "l", "type": "light", "owner": {"rid": "d", "rtype": "device"}}])";
        EXPECT_EQ(snapshotOf(array.c_str()).lights.at(0).isReachable, row.reachable);
    }
    // Neither the light nor the service has an owner: absent equals absent.
    EXPECT_FALSE(snapshotOf(R"([{"id": "z", "type": "zigbee_connectivity", "status": "disconnected"},
                                {"id": "l", "type": "light"}])")
                     .lights.at(0)
                     .isReachable);
}

TEST(HueSnapshot, WhiteTemperatureRangeAndActivity)
{
    struct Row {
        const char *name;
        const char *temperature;
        std::optional<qint64> mirek;
        std::optional<MirekRange> range;
        bool active;
    };
    const Row rows[] = {
        {"no schema gives the full range", R"({"mirek": 300, "mirek_valid": true})", 300, MirekRange{153, 500}, true},
        {"schema 100 to 600 is narrowed", R"({"mirek": 300, "mirek_valid": true, "mirek_schema": {"mirek_minimum": 100, "mirek_maximum": 600}})",
         300, MirekRange{153, 500}, true},
        {"schema 600 to 700 gives no range", R"({"mirek": 650, "mirek_valid": true, "mirek_schema": {"mirek_minimum": 600, "mirek_maximum": 700}})",
         650, std::nullopt, true},
        {"mirek_valid false", R"({"mirek": 300, "mirek_valid": false})", 300, MirekRange{153, 500}, false},
        {"mirek_valid absent", R"({"mirek": 300})", 300, MirekRange{153, 500}, false},
        {"null mirek", R"({"mirek": null, "mirek_valid": true})", std::nullopt, MirekRange{153, 500}, false},
        {"extreme schema", R"({"mirek": -9000000000000000000, "mirek_schema": {"mirek_minimum": -9000000000000000000, "mirek_maximum": 9000000000000000000}})",
         -9000000000000000000, MirekRange{153, 500}, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const std::string array = std::string(R"([{"id": "l", "type": "light", "color_temperature": )") + row.temperature + "}]";
        const HueLight light = snapshotOf(array.c_str()).lights.at(0);
        EXPECT_EQ(light.temperature, row.mirek);
        EXPECT_EQ(light.temperatureRange, row.range);
        EXPECT_EQ(light.temperatureIsActive, row.active);
    }
    const HueLight plain = snapshotOf(R"([{"id": "l", "type": "light"}])").lights.at(0);
    EXPECT_EQ(plain.name, QStringLiteral("Light"));
    EXPECT_FALSE(plain.temperatureRange);
    EXPECT_FALSE(plain.hasAdjustableControls());
}

TEST(HueSnapshot, LightsSortByNameNumbersByValueAndEqualNamesKeepTheBridgeOrder)
{
    const HueSnapshot snapshot = snapshotOf(R"([
        {"id": "1", "type": "light", "metadata": {"name": "Lamp 10"}},
        {"id": "2", "type": "light", "metadata": {"name": "lamp 2"}},
        {"id": "3", "type": "light", "metadata": {"name": "Desk"}},
        {"id": "4", "type": "light", "metadata": {"name": "Lamp 2"}},
        {"id": "5", "type": "light", "metadata": {"name": "LAMP 2"}}])");
    std::vector<QString> ids;
    for (const HueLight &light : snapshot.lights)
        ids.push_back(light.id);
    EXPECT_EQ(ids, (std::vector<QString>{"3", "2", "4", "5", "1"}));
}

TEST(HueSnapshot, RoomsWithEqualNamesKeepTheOrderOfFirstAppearance)
{
    // Two rooms called "Hall" (r2 listed first by its light) and a room that sorts later.
    const HueSnapshot snapshot = snapshotOf(R"([
        {"id": "r1", "type": "room", "metadata": {"name": "Hall"}, "children": [{"rid": "b", "rtype": "light"}]},
        {"id": "r2", "type": "room", "metadata": {"name": "hall"}, "children": [{"rid": "a", "rtype": "light"}]},
        {"id": "r3", "type": "room", "metadata": {"name": "Attic"}, "children": [{"rid": "c", "rtype": "light"}]},
        {"id": "a", "type": "light", "metadata": {"name": "A"}},
        {"id": "b", "type": "light", "metadata": {"name": "B"}},
        {"id": "c", "type": "light", "metadata": {"name": "C"}}])");
    for (int refresh = 0; refresh < 2; ++refresh) {
        std::vector<QString> ids;
        for (const LightRoom &room : snapshot.rooms())
            ids.push_back(room.id);
        EXPECT_EQ(ids, (std::vector<QString>{"r3", "r2", "r1"}));
    }
}

TEST(HueSnapshot, UnassignedRoomGoesLastEvenAfterLaterNames)
{
    const HueSnapshot snapshot = snapshotOf(R"([
        {"id": "r1", "type": "room", "metadata": {"name": "Zoo"}, "children": [{"rid": "b", "rtype": "light"}]},
        {"id": "a", "type": "light", "metadata": {"name": "A"}},
        {"id": "b", "type": "light", "metadata": {"name": "B"}}])");
    const auto rooms = snapshot.rooms();
    ASSERT_EQ(rooms.size(), 2u);
    EXPECT_EQ(rooms[0].name, QStringLiteral("Zoo"));
    EXPECT_EQ(rooms[1].id, QStringLiteral("unassigned"));
}

TEST(HueSnapshot, AllLightsGroupComesFromTheFirstBridgeHomeOnly)
{
    struct Row {
        const char *name;
        const char *array;
        std::optional<QString> group;
    };
    const Row rows[] = {
        {"no bridge home", R"([{"id": "g", "type": "grouped_light"}])", std::nullopt},
        {"bridge home without services", R"([{"id": "h", "type": "bridge_home"}])", std::nullopt},
        {"first grouped light among the services",
         R"([{"id": "h", "type": "bridge_home", "services": [{"rid": "x", "rtype": "scene"}, {"rid": "g1", "rtype": "grouped_light"}, {"rid": "g2", "rtype": "grouped_light"}]}])",
         QStringLiteral("g1")},
        {"a later bridge home is never read",
         R"([{"id": "h1", "type": "bridge_home", "services": []}, {"id": "h2", "type": "bridge_home", "services": [{"rid": "g", "rtype": "grouped_light"}]}])",
         std::nullopt},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(snapshotOf(row.array).allLightsGroupID, row.group);
    }
}

TEST(HueSnapshot, HidingUnavailableKeepsReachableLightsAndTheGroup)
{
    const HueSnapshot snapshot = HueSnapshot::fromResources(resourcesOfReply(clipFixture("home.json")));
    EXPECT_EQ(snapshot.hidingUnavailable(false), snapshot);
    const HueSnapshot visible = snapshot.hidingUnavailable(true);
    EXPECT_EQ(namesOf(visible.lights), (std::vector<QString>{QStringLiteral("Floor lamp"), QStringLiteral("Pendant"),
                                                             QStringLiteral("Plug"), QStringLiteral("Strip")}));
    EXPECT_EQ(visible.allLightsGroupID, snapshot.allLightsGroupID);
}

TEST(LightRoom, SummariesCountOnlyLitReachableDimmableLights)
{
    const std::vector<HueLight> lights{
        {.name = QStringLiteral("lit"), .isOn = true, .isReachable = true, .brightness = 20, .minimumBrightness = 5},
        {.name = QStringLiteral("lit too"), .isOn = true, .isReachable = true, .brightness = 60, .minimumBrightness = 2},
        {.name = QStringLiteral("off"), .isOn = false, .isReachable = true, .brightness = 90, .minimumBrightness = 50},
        {.name = QStringLiteral("unreachable"), .isOn = true, .isReachable = false, .brightness = 90},
        {.name = QStringLiteral("plain"), .isOn = true, .isReachable = true},
    };
    const LightRoom room{QStringLiteral("r"), QStringLiteral("Room"), lights};
    EXPECT_EQ(namesOf(room.brightnessLights()), (std::vector<QString>{QStringLiteral("lit"), QStringLiteral("lit too")}));
    EXPECT_EQ(room.averageBrightness(), 40.0);
    EXPECT_EQ(room.minimumBrightness(), 5.0);

    const LightRoom dark{QStringLiteral("d"), QStringLiteral("Dark"), {lights[2], lights[3], lights[4]}};
    EXPECT_FALSE(dark.averageBrightness());
    EXPECT_EQ(dark.minimumBrightness(), 1.0);
}

TEST(HueLight, DisplayColourFollowsTemperatureThenColourThenAmber)
{
    const HueXY red{0.6915, 0.3083};
    struct Row {
        const char *name;
        HueLight light;
        LightColour::Rgb colour;
    };
    const Row rows[] = {
        {"warm at 500 mirek", {.temperature = 500, .temperatureIsActive = true}, {1.0, 0.69, 0.33}},
        {"beyond 500 stays warm", {.temperature = 9000000000000000000, .temperatureIsActive = true}, {1.0, 0.69, 0.33}},
        {"cool at 153 mirek", {.temperature = 153, .temperatureIsActive = true}, {0.79, 0.88, 1.0}},
        {"below 153 stays cool", {.temperature = -9000000000000000000, .temperatureIsActive = true}, {0.79, 0.88, 1.0}},
        {"active temperature wins over colour", {.color = red, .temperature = 500, .temperatureIsActive = true}, {1.0, 0.69, 0.33}},
        {"inactive temperature shows the colour", {.color = red, .temperature = 500}, LightColour::rgb(red)},
        {"no colour is amber", {.temperature = 500}, {1.0, 0.76, 0.27}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const LightColour::Rgb colour = row.light.displayColour();
        EXPECT_NEAR(colour.red, row.colour.red, 1e-9);
        EXPECT_NEAR(colour.green, row.colour.green, 1e-9);
        EXPECT_NEAR(colour.blue, row.colour.blue, 1e-9);
    }
}

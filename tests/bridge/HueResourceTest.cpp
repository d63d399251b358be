#include "ClipFixtures.h"

#include "bridge/HueResource.h"

#include <gtest/gtest.h>

using namespace vantora;
using runtime::DecodingError;
using vantora::testing::resourcesOf;

namespace {

// The DecodingError's path, or "no error".
std::string failurePath(const char *array)
{
    try {
        resourcesOf(array);
    } catch (const DecodingError &error) {
        return error.path().toStdString();
    }
    return "no error";
}

} // namespace

TEST(HueResource, IgnoredTypesKeepOnlyIdAndTypeWhateverTheirShape)
{
    const auto resources = resourcesOf(R"([
        {"id": "d1", "type": "device", "dimming": {"brightness": "high"}, "owner": 5, "metadata": {"name": 7}},
        {"id": "s1", "type": "scene", "children": {"x": 1}, "status": {"active": "inactive"}, "on": true},
        {"id": "n1", "type": "LIGHT", "on": "yes"}
    ])");
    ASSERT_EQ(resources.size(), 3u);
    for (const HueResource &resource : resources) {
        SCOPED_TRACE(resource.id.toStdString());
        EXPECT_FALSE(resource.owner);
        EXPECT_FALSE(resource.metadata);
        EXPECT_FALSE(resource.children);
        EXPECT_FALSE(resource.on);
        EXPECT_FALSE(resource.status);
        EXPECT_FALSE(resource.dimming);
    }
    EXPECT_EQ(resources[0].type, QStringLiteral("device"));
}

TEST(HueResource, NullMembersAreAbsent)
{
    const auto resources = resourcesOf(R"([{"id": "l1", "type": "light", "owner": null, "metadata": {"name": null},
        "dimming": null, "color": null, "color_temperature": {"mirek": null, "mirek_valid": false, "mirek_schema": null}}])");
    EXPECT_FALSE(resources[0].owner);
    EXPECT_FALSE(resources[0].metadata->name);
    EXPECT_FALSE(resources[0].dimming);
    EXPECT_FALSE(resources[0].color_temperature->mirek);
    EXPECT_FALSE(resources[0].color_temperature->mirek_schema);
}

TEST(HueResource, AMalformedResourceOfADetailedTypeFailsTheWholeList)
{
    struct Row {
        const char *name;
        const char *array;
        std::string path;
    };
    const Row rows[] = {
        {"malformed dimming on a light", R"([{"id": "a", "type": "device"}, {"id": "l", "type": "light", "dimming": {"brightness": "high"}}])",
         "data[1].dimming.brightness"},
        {"missing brightness", R"([{"id": "l", "type": "light", "dimming": {}}])", "data[0].dimming.brightness"},
        {"fractional mirek", R"([{"id": "l", "type": "light", "color_temperature": {"mirek": 250.5}}])",
         "data[0].color_temperature.mirek"},
        {"schema bound missing", R"([{"id": "l", "type": "light", "color_temperature": {"mirek_schema": {"mirek_minimum": 153}}}])",
         "data[0].color_temperature.mirek_schema.mirek_maximum"},
        {"colour without xy", R"([{"id": "l", "type": "light", "color": {"gamut": null}}])", "data[0].color.xy"},
        {"room child without rtype", R"([{"id": "r", "type": "room", "children": [{"rid": "d"}]}])", "data[0].children[0].rtype"},
        {"services not an array", R"([{"id": "h", "type": "bridge_home", "services": {}}])", "data[0].services"},
        {"status not text", R"([{"id": "z", "type": "zigbee_connectivity", "status": 1}])", "data[0].status"},
        {"on state without on", R"([{"id": "l", "type": "light", "on": {}}])", "data[0].on.on"},
        {"missing id on any type", R"([{"type": "scene"}])", "data[0].id"},
        {"type not text", R"([{"id": "x", "type": null}])", "data[0].type"},
        {"element not an object", R"([{"id": "x", "type": "scene"}, 3])", "data[1]"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(failurePath(row.array), row.path);
    }
}

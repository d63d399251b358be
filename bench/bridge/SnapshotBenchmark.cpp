// Decoding a large home's resource list and building its snapshot. The build joins lights
// to rooms and connectivity through hash maps, so its work grows linearly (plus the name
// sort's logarithmic factor): a home four times larger should cost about four times as
// much, decoding and building together. The build alone touches data decoded long before,
// so once the larger home outgrows the processor's caches its time grows faster than its
// work.

#include "bridge/HueSnapshot.h"
#include "runtime/Json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <benchmark/benchmark.h>

namespace {

using namespace vantora;

QJsonObject reference(const QString &rid, const char *rtype)
{
    return {{QStringLiteral("rid"), rid}, {QStringLiteral("rtype"), QLatin1String(rtype)}};
}

// A home of 300 × scale lights in 60 × scale rooms, about 1,500 × scale resources in all:
// for each light its device and connectivity service, a grouped light per room, scenes
// and a bridge home, interleaved as a bridge lists them.
QByteArray generatedHome(int scale)
{
    const int lightCount = 300 * scale;
    const int roomCount = 60 * scale;
    QJsonArray data;
    QJsonArray homeChildren;
    for (int room = 0; room < roomCount; ++room) {
        QJsonArray children;
        for (int light = room * 5; light < room * 5 + 5; ++light) {
            // Every tenth light is listed by itself rather than through its device; the
            // last light of every twelfth room is left unassigned.
            if (light % 10 == 9)
                children.append(reference(QStringLiteral("light-%1").arg(light), "light"));
            else if (!(room % 12 == 11 && light % 5 == 4))
                children.append(reference(QStringLiteral("device-%1").arg(light), "device"));
        }
        data.append(QJsonObject{
            {QStringLiteral("id"), QStringLiteral("room-%1").arg(room)},
            {QStringLiteral("type"), QStringLiteral("room")},
            {QStringLiteral("metadata"), QJsonObject{{QStringLiteral("name"), QStringLiteral("Room %1").arg(room)},
                                                     {QStringLiteral("archetype"), QStringLiteral("other")}}},
            {QStringLiteral("children"), children},
            {QStringLiteral("services"), QJsonArray{reference(QStringLiteral("group-%1").arg(room), "grouped_light")}},
        });
        data.append(QJsonObject{
            {QStringLiteral("id"), QStringLiteral("group-%1").arg(room)},
            {QStringLiteral("type"), QStringLiteral("grouped_light")},
            {QStringLiteral("on"), QJsonObject{{QStringLiteral("on"), true}}},
        });
        homeChildren.append(reference(QStringLiteral("room-%1").arg(room), "room"));
    }
    for (int light = 0; light < lightCount; ++light) {
        const QString device = QStringLiteral("device-%1").arg(light);
        data.append(QJsonObject{
            {QStringLiteral("id"), QStringLiteral("light-%1").arg(light)},
            {QStringLiteral("type"), QStringLiteral("light")},
            {QStringLiteral("owner"), reference(device, "device")},
            {QStringLiteral("metadata"), QJsonObject{{QStringLiteral("name"), QStringLiteral("Lamp %1").arg(lightCount - light)}}},
            {QStringLiteral("on"), QJsonObject{{QStringLiteral("on"), light % 2 == 0}}},
            {QStringLiteral("dimming"), QJsonObject{{QStringLiteral("brightness"), 10.0 + light % 90}}},
            {QStringLiteral("color"),
             QJsonObject{{QStringLiteral("xy"), QJsonObject{{QStringLiteral("x"), 0.4}, {QStringLiteral("y"), 0.4}}},
                         {QStringLiteral("gamut"), toJson(HueGamut::preview())}}},
            {QStringLiteral("color_temperature"),
             QJsonObject{{QStringLiteral("mirek"), QJsonValue::Null},
                         {QStringLiteral("mirek_valid"), false},
                         {QStringLiteral("mirek_schema"), QJsonObject{{QStringLiteral("mirek_minimum"), 153},
                                                                      {QStringLiteral("mirek_maximum"), 500}}}}},
        });
        data.append(QJsonObject{
            {QStringLiteral("id"), device},
            {QStringLiteral("type"), QStringLiteral("device")},
            {QStringLiteral("metadata"), QJsonObject{{QStringLiteral("name"), QStringLiteral("Lamp %1").arg(light)}}},
            {QStringLiteral("services"), QJsonArray{reference(QStringLiteral("light-%1").arg(light), "light")}},
        });
        data.append(QJsonObject{
            {QStringLiteral("id"), QStringLiteral("connectivity-%1").arg(light)},
            {QStringLiteral("type"), QStringLiteral("zigbee_connectivity")},
            {QStringLiteral("owner"), reference(device, "device")},
            {QStringLiteral("status"), light % 10 == 3 ? QStringLiteral("connectivity_issue") : QStringLiteral("connected")},
        });
        // About 1.6 scenes per light.
        for (int scene = 0; scene < (light % 5 < 3 ? 2 : 1); ++scene) {
            data.append(QJsonObject{
                {QStringLiteral("id"), QStringLiteral("scene-%1-%2").arg(light).arg(scene)},
                {QStringLiteral("type"), QStringLiteral("scene")},
                {QStringLiteral("group"), reference(QStringLiteral("room-%1").arg(light / 5), "room")},
            });
        }
    }
    data.append(QJsonObject{
        {QStringLiteral("id"), QStringLiteral("home")},
        {QStringLiteral("type"), QStringLiteral("bridge_home")},
        {QStringLiteral("children"), homeChildren},
        {QStringLiteral("services"), QJsonArray{reference(QStringLiteral("group-home"), "grouped_light")}},
    });
    return QJsonDocument(QJsonObject{{QStringLiteral("errors"), QJsonArray()}, {QStringLiteral("data"), data}})
        .toJson(QJsonDocument::Compact);
}

std::vector<HueResource> decodedHome(const QByteArray &reply)
{
    const auto envelope = runtime::json::decode<runtime::json::ObjectReader>(runtime::json::parse(reply), {});
    return decodeResourceList(envelope.required<QJsonArray>(u"data"), envelope.pathOf(u"data"));
}

void decodingTheResourceList(benchmark::State &state)
{
    const QByteArray reply = generatedHome(int(state.range(0)));
    std::size_t count = 0;
    for (auto _ : state) {
        const auto resources = decodedHome(reply);
        count = resources.size();
        benchmark::DoNotOptimize(resources.data());
    }
    state.counters["resources"] = double(count);
}

void buildingTheSnapshot(benchmark::State &state)
{
    const auto resources = decodedHome(generatedHome(int(state.range(0))));
    std::size_t lights = 0;
    for (auto _ : state) {
        const HueSnapshot snapshot = HueSnapshot::fromResources(resources);
        lights = snapshot.lights.size();
        benchmark::DoNotOptimize(snapshot.lights.data());
    }
    state.counters["lights"] = double(lights);
}

void decodingAndBuilding(benchmark::State &state)
{
    const QByteArray reply = generatedHome(int(state.range(0)));
    for (auto _ : state) {
        const HueSnapshot snapshot = HueSnapshot::fromResources(decodedHome(reply));
        benchmark::DoNotOptimize(snapshot.lights.data());
    }
}

void groupingRooms(benchmark::State &state)
{
    const HueSnapshot snapshot = HueSnapshot::fromResources(decodedHome(generatedHome(int(state.range(0)))));
    for (auto _ : state) {
        const auto rooms = snapshot.rooms();
        benchmark::DoNotOptimize(rooms.data());
    }
}

} // namespace

BENCHMARK(decodingTheResourceList)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(buildingTheSnapshot)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(decodingAndBuilding)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(groupingRooms)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();

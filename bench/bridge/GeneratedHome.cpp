#include "GeneratedHome.h"

#include "bridge/HueGamut.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vantora::bench {

namespace {

// The kinds of resource, each numbering its own ids.
enum class Kind { light, device, connectivity, entertainment, softwareUpdate, room, group, scene, home };

QString uuid(Kind kind, int index)
{
    return QStringLiteral("%1-%2-4%3-8%4-%5")
        .arg(int(kind) * 0x1111111, 8, 16, QLatin1Char('0'))
        .arg(index / 0x10000 % 0x10000, 4, 16, QLatin1Char('0'))
        .arg(index / 0x1000 % 0x1000, 3, 16, QLatin1Char('0'))
        .arg(index % 0x1000, 3, 16, QLatin1Char('0'))
        .arg(qint64(index) * 7919, 12, 16, QLatin1Char('0'));
}

QJsonObject reference(const QString &rid, const char *rtype)
{
    return {{QStringLiteral("rid"), rid}, {QStringLiteral("rtype"), QLatin1String(rtype)}};
}

QJsonArray texts(std::initializer_list<const char *> values)
{
    QJsonArray array;
    for (const char *value : values)
        array.append(QLatin1String(value));
    return array;
}

QJsonObject xy(double x, double y)
{
    return {{QStringLiteral("x"), x}, {QStringLiteral("y"), y}};
}

// A light as a bridge lists it, with the many members the app never reads.
QJsonObject light(int index, int lightCount)
{
    return {
        {QStringLiteral("id"), uuid(Kind::light, index)},
        {QStringLiteral("id_v1"), QStringLiteral("/lights/%1").arg(index + 1)},
        {QStringLiteral("owner"), reference(uuid(Kind::device, index), "device")},
        {QStringLiteral("metadata"), QJsonObject{{QStringLiteral("name"), QStringLiteral("Lamp %1").arg(lightCount - index)},
                                                 {QStringLiteral("archetype"), QStringLiteral("sultan_bulb")},
                                                 {QStringLiteral("function"), QStringLiteral("mixed")}}},
        {QStringLiteral("product_data"), QJsonObject{{QStringLiteral("function"), QStringLiteral("mixed")}}},
        {QStringLiteral("identify"), QJsonObject{}},
        {QStringLiteral("service_id"), 0},
        {QStringLiteral("on"), QJsonObject{{QStringLiteral("on"), index % 2 == 0}}},
        {QStringLiteral("dimming"), QJsonObject{{QStringLiteral("brightness"), 10.0 + index % 90},
                                                {QStringLiteral("min_dim_level"), 0.2}}},
        {QStringLiteral("dimming_delta"), QJsonObject{}},
        {QStringLiteral("color_temperature"),
         QJsonObject{{QStringLiteral("mirek"), QJsonValue::Null},
                     {QStringLiteral("mirek_valid"), false},
                     {QStringLiteral("mirek_schema"), QJsonObject{{QStringLiteral("mirek_minimum"), 153},
                                                                  {QStringLiteral("mirek_maximum"), 500}}}}},
        {QStringLiteral("color_temperature_delta"), QJsonObject{}},
        {QStringLiteral("color"), QJsonObject{{QStringLiteral("xy"), xy(0.4, 0.4)},
                                              {QStringLiteral("gamut"), toJson(HueGamut::preview())},
                                              {QStringLiteral("gamut_type"), QStringLiteral("C")}}},
        {QStringLiteral("dynamics"), QJsonObject{{QStringLiteral("status"), QStringLiteral("none")},
                                                 {QStringLiteral("status_values"), texts({"none", "dynamic_palette"})},
                                                 {QStringLiteral("speed"), 0.0},
                                                 {QStringLiteral("speed_valid"), false}}},
        {QStringLiteral("alert"), QJsonObject{{QStringLiteral("action_values"), texts({"breathe"})}}},
        {QStringLiteral("signaling"), QJsonObject{{QStringLiteral("signal_values"),
                                                   texts({"no_signal", "on_off", "on_off_color", "alternating"})}}},
        {QStringLiteral("mode"), QStringLiteral("normal")},
        {QStringLiteral("effects"),
         QJsonObject{{QStringLiteral("status_values"), texts({"no_effect", "candle", "fire", "prism", "sparkle"})},
                     {QStringLiteral("status"), QStringLiteral("no_effect")},
                     {QStringLiteral("effect_values"), texts({"no_effect", "candle", "fire", "prism", "sparkle"})}}},
        {QStringLiteral("timed_effects"),
         QJsonObject{{QStringLiteral("status_values"), texts({"no_effect", "sunrise", "sunset"})},
                     {QStringLiteral("status"), QStringLiteral("no_effect")},
                     {QStringLiteral("effect_values"), texts({"no_effect", "sunrise", "sunset"})}}},
        {QStringLiteral("powerup"),
         QJsonObject{{QStringLiteral("preset"), QStringLiteral("safety")},
                     {QStringLiteral("configured"), true},
                     {QStringLiteral("on"), QJsonObject{{QStringLiteral("mode"), QStringLiteral("on")},
                                                        {QStringLiteral("on"), QJsonObject{{QStringLiteral("on"), true}}}}},
                     {QStringLiteral("dimming"),
                      QJsonObject{{QStringLiteral("mode"), QStringLiteral("dimming")},
                                  {QStringLiteral("dimming"), QJsonObject{{QStringLiteral("brightness"), 100.0}}}}}}},
        {QStringLiteral("type"), QStringLiteral("light")},
    };
}

QJsonObject device(int index)
{
    return {
        {QStringLiteral("id"), uuid(Kind::device, index)},
        {QStringLiteral("id_v1"), QStringLiteral("/lights/%1").arg(index + 1)},
        {QStringLiteral("product_data"),
         QJsonObject{{QStringLiteral("model_id"), QStringLiteral("LCA006")},
                     {QStringLiteral("manufacturer_name"), QStringLiteral("Lights Inc.")},
                     {QStringLiteral("product_name"), QStringLiteral("Color lamp")},
                     {QStringLiteral("product_archetype"), QStringLiteral("sultan_bulb")},
                     {QStringLiteral("certified"), true},
                     {QStringLiteral("software_version"), QStringLiteral("1.108.7")},
                     {QStringLiteral("hardware_platform_type"), QStringLiteral("100b-118")}}},
        {QStringLiteral("metadata"), QJsonObject{{QStringLiteral("name"), QStringLiteral("Lamp %1").arg(index)},
                                                 {QStringLiteral("archetype"), QStringLiteral("sultan_bulb")}}},
        {QStringLiteral("identify"), QJsonObject{}},
        {QStringLiteral("usertest"), QJsonObject{{QStringLiteral("status"), QStringLiteral("set")},
                                                 {QStringLiteral("usertest"), false}}},
        {QStringLiteral("services"),
         QJsonArray{reference(uuid(Kind::light, index), "light"),
                    reference(uuid(Kind::connectivity, index), "zigbee_connectivity"),
                    reference(uuid(Kind::entertainment, index), "entertainment"),
                    reference(uuid(Kind::softwareUpdate, index), "device_software_update")}},
        {QStringLiteral("type"), QStringLiteral("device")},
    };
}

QJsonObject connectivity(int index)
{
    return {
        {QStringLiteral("id"), uuid(Kind::connectivity, index)},
        {QStringLiteral("id_v1"), QStringLiteral("/lights/%1").arg(index + 1)},
        {QStringLiteral("owner"), reference(uuid(Kind::device, index), "device")},
        {QStringLiteral("status"), index % 10 == 3 ? QStringLiteral("connectivity_issue") : QStringLiteral("connected")},
        {QStringLiteral("mac_address"), QStringLiteral("00:17:88:01:0b:%1:%2:0b")
                                            .arg(index / 256 % 256, 2, 16, QLatin1Char('0'))
                                            .arg(index % 256, 2, 16, QLatin1Char('0'))},
        {QStringLiteral("channel"), QJsonObject{{QStringLiteral("status"), QStringLiteral("set")},
                                                {QStringLiteral("value"), QStringLiteral("channel_25")}}},
        {QStringLiteral("extended_pan_id"), QStringLiteral("c8c5dfe8e1c3f9a1")},
        {QStringLiteral("type"), QStringLiteral("zigbee_connectivity")},
    };
}

QJsonObject entertainment(int index)
{
    return {
        {QStringLiteral("id"), uuid(Kind::entertainment, index)},
        {QStringLiteral("id_v1"), QStringLiteral("/lights/%1").arg(index + 1)},
        {QStringLiteral("owner"), reference(uuid(Kind::device, index), "device")},
        {QStringLiteral("renderer"), true},
        {QStringLiteral("renderer_reference"), reference(uuid(Kind::light, index), "light")},
        {QStringLiteral("proxy"), true},
        {QStringLiteral("equalizer"), true},
        {QStringLiteral("segments"),
         QJsonObject{{QStringLiteral("configurable"), false},
                     {QStringLiteral("max_segments"), 1},
                     {QStringLiteral("segments"),
                      QJsonArray{QJsonObject{{QStringLiteral("start"), 0}, {QStringLiteral("length"), 1}}}}}},
        {QStringLiteral("type"), QStringLiteral("entertainment")},
    };
}

QJsonObject softwareUpdate(int index)
{
    return {
        {QStringLiteral("id"), uuid(Kind::softwareUpdate, index)},
        {QStringLiteral("owner"), reference(uuid(Kind::device, index), "device")},
        {QStringLiteral("state"), QStringLiteral("no_update")},
        {QStringLiteral("problems"), QJsonArray{}},
        {QStringLiteral("type"), QStringLiteral("device_software_update")},
    };
}

// A scene of a room, setting each of its five lights.
QJsonObject scene(int room, int variant)
{
    QJsonArray actions;
    for (int light = room * 5; light < room * 5 + 5; ++light) {
        actions.append(QJsonObject{
            {QStringLiteral("target"), reference(uuid(Kind::light, light), "light")},
            {QStringLiteral("action"),
             QJsonObject{{QStringLiteral("on"), QJsonObject{{QStringLiteral("on"), true}}},
                         {QStringLiteral("dimming"), QJsonObject{{QStringLiteral("brightness"), 50.0 + variant}}},
                         {QStringLiteral("color"), QJsonObject{{QStringLiteral("xy"), xy(0.3 + variant * 0.01, 0.3)}}}}},
        });
    }
    return {
        {QStringLiteral("id"), uuid(Kind::scene, room * 8 + variant)},
        {QStringLiteral("id_v1"), QStringLiteral("/scenes/%1").arg(room * 8 + variant)},
        {QStringLiteral("actions"), actions},
        {QStringLiteral("palette"), QJsonObject{{QStringLiteral("color"), QJsonArray{}},
                                                {QStringLiteral("dimming"), QJsonArray{}},
                                                {QStringLiteral("color_temperature"), QJsonArray{}},
                                                {QStringLiteral("effects"), QJsonArray{}}}},
        {QStringLiteral("recall"), QJsonObject{}},
        {QStringLiteral("metadata"), QJsonObject{{QStringLiteral("name"), QStringLiteral("Scene %1").arg(variant)},
                                                 {QStringLiteral("image"), reference(uuid(Kind::scene, 0), "public_image")}}},
        {QStringLiteral("group"), reference(uuid(Kind::room, room), "room")},
        {QStringLiteral("speed"), 0.6},
        {QStringLiteral("auto_dynamic"), false},
        {QStringLiteral("status"), QJsonObject{{QStringLiteral("active"), QStringLiteral("inactive")}}},
        {QStringLiteral("type"), QStringLiteral("scene")},
    };
}

} // namespace

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
                children.append(reference(uuid(Kind::light, light), "light"));
            else if (!(room % 12 == 11 && light % 5 == 4))
                children.append(reference(uuid(Kind::device, light), "device"));
        }
        data.append(QJsonObject{
            {QStringLiteral("id"), uuid(Kind::room, room)},
            {QStringLiteral("id_v1"), QStringLiteral("/groups/%1").arg(room + 1)},
            {QStringLiteral("children"), children},
            {QStringLiteral("services"), QJsonArray{reference(uuid(Kind::group, room), "grouped_light")}},
            {QStringLiteral("metadata"), QJsonObject{{QStringLiteral("name"), QStringLiteral("Room %1").arg(room)},
                                                     {QStringLiteral("archetype"), QStringLiteral("other")}}},
            {QStringLiteral("type"), QStringLiteral("room")},
        });
        data.append(QJsonObject{
            {QStringLiteral("id"), uuid(Kind::group, room)},
            {QStringLiteral("id_v1"), QStringLiteral("/groups/%1").arg(room + 1)},
            {QStringLiteral("owner"), reference(uuid(Kind::room, room), "room")},
            {QStringLiteral("on"), QJsonObject{{QStringLiteral("on"), true}}},
            {QStringLiteral("dimming"), QJsonObject{{QStringLiteral("brightness"), 61.5}}},
            {QStringLiteral("dimming_delta"), QJsonObject{}},
            {QStringLiteral("alert"), QJsonObject{{QStringLiteral("action_values"), texts({"breathe"})}}},
            {QStringLiteral("signaling"), QJsonObject{{QStringLiteral("signal_values"), texts({"no_signal", "on_off"})}}},
            {QStringLiteral("type"), QStringLiteral("grouped_light")},
        });
        // Two or three scenes a room.
        for (int variant = 0; variant < 2 + room % 2; ++variant)
            data.append(scene(room, variant));
        homeChildren.append(reference(uuid(Kind::room, room), "room"));
    }
    for (int index = 0; index < lightCount; ++index) {
        data.append(light(index, lightCount));
        data.append(device(index));
        data.append(connectivity(index));
        data.append(entertainment(index));
        data.append(softwareUpdate(index));
    }
    data.append(QJsonObject{
        {QStringLiteral("id"), uuid(Kind::home, 0)},
        {QStringLiteral("id_v1"), QStringLiteral("/groups/0")},
        {QStringLiteral("children"), homeChildren},
        {QStringLiteral("services"), QJsonArray{reference(uuid(Kind::group, roomCount), "grouped_light")}},
        {QStringLiteral("type"), QStringLiteral("bridge_home")},
    });
    return QJsonDocument(QJsonObject{{QStringLiteral("errors"), QJsonArray()}, {QStringLiteral("data"), data}})
        .toJson(QJsonDocument::Compact);
}

} // namespace vantora::bench

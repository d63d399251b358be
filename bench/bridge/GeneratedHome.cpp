#include "GeneratedHome.h"

#include "bridge/HueGamut.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vantora::bench {

namespace {

QJsonObject reference(const QString &rid, const char *rtype)
{
    return {{QStringLiteral("rid"), rid}, {QStringLiteral("rtype"), QLatin1String(rtype)}};
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

} // namespace vantora::bench

#include "bridge/HueRequestBody.h"

#include "bridge/HueResource.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace vantora::HueRequestBody {

namespace {

const QString deviceTypeKey = QStringLiteral("devicetype");
// Tells the bridge which application a key belongs to; the bridge lists it to the user.
const QString deviceType = QStringLiteral("halvet#linux");

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

QByteArray pairing()
{
    return compact(QJsonObject{{deviceTypeKey, deviceType}});
}

QByteArray power(bool on)
{
    return lightUpdate(LightChange{.on = on});
}

QByteArray lightUpdate(const LightChange &change)
{
    QJsonObject body;
    if (change.on)
        body.insert(ClipMember::on, toJson(HueResource::OnState{*change.on}));
    if (change.brightness)
        body.insert(ClipMember::dimming, QJsonObject{{ClipMember::brightness, *change.brightness}});
    if (change.color)
        body.insert(ClipMember::color, QJsonObject{{ClipMember::xy, toJson(*change.color)}});
    if (change.temperature)
        body.insert(ClipMember::colorTemperature, QJsonObject{{ClipMember::mirek, *change.temperature}});
    return compact(body);
}

} // namespace vantora::HueRequestBody

#include "bridge/HueClient.h"

#include "bridge/HueError.h"
#include "bridge/HueHTTPS.h"
#include "bridge/HueRequestBody.h"
#include "bridge/HueRequestGuard.h"
#include "runtime/Strings.h"

namespace vantora {

namespace {

const QByteArray acceptHeader = "Accept";
const QByteArray contentTypeHeader = "Content-Type";
const QByteArray applicationKeyHeader = "hue-application-key";
const QByteArray jsonMediaType = "application/json";

const QByteArray getMethod = "GET";
const QByteArray putMethod = "PUT";
const QByteArray postMethod = "POST";

const QString configPath = QStringLiteral("/api/config");
const QString pairingPath = QStringLiteral("/api");
const QString resourcesPath = QStringLiteral("/clip/v2/resource");

QString resourcePath(QLatin1String type, const QString &id)
{
    return resourcesPath + u'/' + type + u'/' + id;
}

QByteArray bodyOf(const platform::HttpResponse &response)
{
    if (response.status == 401 || response.status == 403)
        throw HueError::unauthorized();
    if (response.status < 200 || response.status > 299)
        throw HueError::http(response.status);
    return response.body;
}

std::shared_ptr<HueTransport> transportFor(const BridgeAddress &address, const std::optional<QString> &expectedBridgeID,
                                           std::shared_ptr<HueTransport> given)
{
    if (given)
        return given;
    return std::make_shared<HueHTTPS>(address, expectedBridgeID);
}

} // namespace

HueClient::HueClient(BridgeAddress address, std::optional<QString> applicationKey,
                     std::optional<QString> expectedBridgeID, std::shared_ptr<HueTransport> transport,
                     runtime::Clock &clock)
    : LightService(clock)
    , m_address(std::move(address))
    , m_applicationKey(std::move(applicationKey))
    , m_transport(transportFor(m_address, expectedBridgeID, std::move(transport)))
{
}

HueClient::HueClient(const BridgeConnection &connection)
    : HueClient(connection.address, connection.applicationKey, connection.bridgeID)
{
}

runtime::Task<BridgeInfo> HueClient::bridgeInfo()
{
    const QByteArray body = co_await send(getMethod, configPath, std::nullopt);
    BridgeInfo info = m_decoder.bridgeInfo(body);
    if (!runtime::isBridgeId(info.bridgeid))
        throw HueError::invalidResponse();
    co_return info;
}

runtime::Task<QString> HueClient::pair()
{
    const QByteArray body = co_await send(postMethod, pairingPath, HueRequestBody::pairing());
    co_return m_decoder.pairingReply(body).applicationKey();
}

runtime::Task<HueSnapshot> HueClient::snapshot()
{
    const QByteArray body = co_await send(getMethod, resourcesPath, std::nullopt);
    const auto reply = m_decoder.resourceList(body, IgnoredResources::skipped);
    reply.throwIfFailed();
    co_return HueSnapshot::fromResources(reply.data);
}

runtime::Task<void> HueClient::setLight(QString id, bool on)
{
    co_await putState(ClipType::light, std::move(id), HueRequestBody::power(on));
}

runtime::Task<void> HueClient::updateLight(QString id, LightChange change)
{
    HueRequestGuard::requireSendable(change);
    co_await putState(ClipType::light, std::move(id), HueRequestBody::lightUpdate(change));
}

runtime::Task<void> HueClient::allOff(HueSnapshot snapshot)
{
    co_await setPower(std::move(snapshot), false);
}

runtime::Task<void> HueClient::setPower(HueSnapshot snapshot, bool on)
{
    if (snapshot.allLightsGroupID) {
        co_await putState(ClipType::groupedLight, *snapshot.allLightsGroupID, HueRequestBody::power(on));
        co_return;
    }
    co_await setLightsPower(std::move(snapshot.lights), on);
}

runtime::Task<void> HueClient::putState(QLatin1String type, QString id, QByteArray body)
{
    HueRequestGuard::requireResourceId(id);
    const QByteArray reply = co_await send(putMethod, resourcePath(type, id), std::move(body));
    // The references to what changed are not used, but a reply of another shape is no
    // confirmation.
    m_decoder.changeReply(reply).throwIfFailed();
}

runtime::Task<QByteArray> HueClient::send(QByteArray method, QString path, std::optional<QByteArray> body)
{
    platform::HttpRequest request = requestFor(std::move(method), path, std::move(body));
    const platform::HttpResponse response = co_await m_transport->data(std::move(request));
    co_return bodyOf(response);
}

platform::HttpRequest HueClient::requestFor(QByteArray method, const QString &path,
                                            std::optional<QByteArray> body) const
{
    platform::HttpHeaders headers{{acceptHeader, jsonMediaType}};
    if (body)
        headers.push_back({contentTypeHeader, jsonMediaType});
    if (m_applicationKey)
        headers.push_back({applicationKeyHeader, m_applicationKey->toUtf8()});
    return {std::move(method), m_address.url(path), std::move(headers), std::move(body)};
}

} // namespace vantora

#pragma once

#include "bridge/BridgeAddress.h"
#include "bridge/BridgeConnection.h"
#include "bridge/BridgePairingService.h"
#include "bridge/HueReplyDecoder.h"
#include "bridge/HueTransport.h"
#include "bridge/LightService.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

namespace vantora {

// The one speaker of the bridge's HTTPS interface: builds each request, hands it to the
// transport, maps the status and decodes the reply. Nothing is retried. Before anything is
// sent, resource ids must be UUIDs and changes must lie within the interface's ranges;
// otherwise HueError::invalidResponse is thrown and the bridge sees nothing.
//
// Beyond what the transport throws (passed on unchanged): status 401 or 403 is
// HueError::unauthorized, any other status outside 200…299 is HueError::http, a CLIP v2
// reply reporting errors is HueError::api with their descriptions joined by "; ", and a
// reply of the wrong shape is a DecodingError. The application key is sent in a header
// and never appears in an error.
//
// The client and its transport must outlive every operation awaited on them.
class HueClient final : public LightService, public BridgePairingService {
public:
    // Without a transport, a HueHTTPS for the address that expects `expectedBridgeID` (any
    // bridge while it is absent) is made, and what making it throws is thrown. The key is
    // sent with every request when present. `clock` paces one-by-one power changes.
    HueClient(BridgeAddress address, std::optional<QString> applicationKey, std::optional<QString> expectedBridgeID,
              std::shared_ptr<HueTransport> transport = nullptr, runtime::Clock &clock = runtime::systemClock());
    // The paired bridge of a saved connection, over a new HueHTTPS that expects its id.
    explicit HueClient(const BridgeConnection &connection);

    // GET /api/config. The bridge id is returned as received, in whatever case; one that
    // is not 16 hexadecimal digits throws HueError::invalidResponse.
    runtime::Task<BridgeInfo> bridgeInfo() override;
    // POST /api; see HuePairingReply::applicationKey for the outcomes.
    runtime::Task<QString> pair() override;

    runtime::Task<HueSnapshot> snapshot() override;
    runtime::Task<void> setLight(QString id, bool on) override;
    runtime::Task<void> updateLight(QString id, LightChange change) override;
    // Both send one request to the snapshot's grouped light when it has one (its lights
    // are then not looked at), else switch its lights one by one (setLightsPower).
    runtime::Task<void> allOff(HueSnapshot snapshot) override;
    runtime::Task<void> setPower(HueSnapshot snapshot, bool on) override;

private:
    runtime::Task<QByteArray> send(QByteArray method, QString path, std::optional<QByteArray> body);
    // Sends a change to a light or grouped light and checks the bridge's answer.
    runtime::Task<void> putState(QLatin1String type, QString id, QByteArray body);
    platform::HttpRequest requestFor(QByteArray method, const QString &path, std::optional<QByteArray> body) const;

    BridgeAddress m_address;
    std::optional<QString> m_applicationKey;
    std::shared_ptr<HueTransport> m_transport;
    HueReplyDecoder m_decoder;
};

} // namespace vantora

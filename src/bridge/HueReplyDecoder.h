#pragma once

#include "bridge/BridgeInfo.h"
#include "bridge/HueEnvelope.h"
#include "bridge/HuePairingReply.h"
#include "bridge/HueReference.h"
#include "bridge/HueResource.h"

#include <QByteArray>

#include <memory>
#include <vector>

namespace vantora::strictjson {
class DocumentParser;
}

namespace vantora {

// Reads the bridge's replies into the model's values. The whole body must be strict JSON
// (RFC 8259) of the reply's shape, else a DecodingError names where it is not; the errors
// an envelope reports are returned, never thrown. One decoder serves one client: its
// parser keeps its buffers from one reply to the next.
class HueReplyDecoder final {
public:
    HueReplyDecoder();
    ~HueReplyDecoder();
    HueReplyDecoder(const HueReplyDecoder &) = delete;
    HueReplyDecoder &operator=(const HueReplyDecoder &) = delete;

    // GET /clip/v2/resource: the resources in the bridge's order. Any resource that does
    // not have its required shape fails the whole list with a path under "data"; the
    // types the model ignores have only their id and type read, whatever else they hold.
    HueEnvelope<std::vector<HueResource>> resourceList(const QByteArray &body, IgnoredResources ignored);
    // A change's reply: references to what changed.
    HueEnvelope<std::vector<HueReference>> changeReply(const QByteArray &body);
    // POST /api.
    HuePairingReply pairingReply(const QByteArray &body);
    // GET /api/config.
    BridgeInfo bridgeInfo(const QByteArray &body);

private:
    std::unique_ptr<strictjson::DocumentParser> m_parser;
};

} // namespace vantora

#include "bridge/HueReplyDecoder.h"

#include "bridge/ClipDecoders.h"

namespace vantora {

HueReplyDecoder::HueReplyDecoder()
    : m_parser(std::make_unique<strictjson::DocumentParser>())
{
}

HueReplyDecoder::~HueReplyDecoder() = default;

HueEnvelope<std::vector<HueResource>> HueReplyDecoder::resourceList(const QByteArray &body,
                                                                    IgnoredResources ignored)
{
    EnvelopeContents contents = decodeEnvelope(m_parser->parse(body));
    const strictjson::Path root;
    return {std::move(contents.errorDescriptions),
            decodeResourceList(contents.data, root.member(envelopeDataKey), ignored)};
}

HueEnvelope<std::vector<HueReference>> HueReplyDecoder::changeReply(const QByteArray &body)
{
    EnvelopeContents contents = decodeEnvelope(m_parser->parse(body));
    const strictjson::Path root;
    return {std::move(contents.errorDescriptions),
            strictjson::decodeArray(contents.data, root.member(envelopeDataKey), &strictjson::decode<HueReference>)};
}

HuePairingReply HueReplyDecoder::pairingReply(const QByteArray &body)
{
    return strictjson::decode<HuePairingReply>(m_parser->parse(body), {});
}

BridgeInfo HueReplyDecoder::bridgeInfo(const QByteArray &body)
{
    return strictjson::decode<BridgeInfo>(m_parser->parse(body), {});
}

} // namespace vantora

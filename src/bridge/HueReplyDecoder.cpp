#include "bridge/HueReplyDecoder.h"

#include "bridge/ClipDecoders.h"

namespace vantora {

namespace {

template <typename Element>
std::vector<Element> decodeData(strictjson::Array data)
{
    const strictjson::Path root;
    return strictjson::decodeArray(data, root.member(envelopeDataKey), &strictjson::decode<Element>);
}

template <typename Element>
HueEnvelope<std::vector<Element>> decodeEnvelopeOf(strictjson::Element document)
{
    EnvelopeContents contents = decodeEnvelope(document);
    return {std::move(contents.errorDescriptions), decodeData<Element>(contents.data)};
}

} // namespace

HueReplyDecoder::HueReplyDecoder()
    : m_parser(std::make_unique<strictjson::DocumentParser>())
{
}

HueReplyDecoder::~HueReplyDecoder() = default;

HueEnvelope<std::vector<HueResource>> HueReplyDecoder::resourceList(const QByteArray &body)
{
    return decodeEnvelopeOf<HueResource>(m_parser->parse(body));
}

std::vector<HueResource> HueReplyDecoder::resources(const QByteArray &body)
{
    const strictjson::Path root;
    const strictjson::ObjectReader reply(m_parser->parse(body), root);
    return decodeData<HueResource>(reply.required<strictjson::Array>(envelopeDataKey));
}

HueEnvelope<std::vector<HueReference>> HueReplyDecoder::changeReply(const QByteArray &body)
{
    return decodeEnvelopeOf<HueReference>(m_parser->parse(body));
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

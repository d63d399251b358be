#include "bridge/HueReplyDecoder.h"

#include "bridge/ClipDecoders.h"

namespace vantora {

namespace {

std::vector<HueResource> decodeResources(strictjson::Array data, IgnoredResources ignored)
{
    const strictjson::Path root;
    return decodeResourceList(data, root.member(envelopeDataKey), ignored);
}

} // namespace

HueReplyDecoder::HueReplyDecoder()
    : m_parser(std::make_unique<strictjson::DocumentParser>())
{
}

HueReplyDecoder::~HueReplyDecoder() = default;

HueEnvelope<std::vector<HueResource>> HueReplyDecoder::resourceList(const QByteArray &body,
                                                                    IgnoredResources ignored)
{
    EnvelopeContents contents = decodeEnvelope(m_parser->parse(body));
    return {std::move(contents.errorDescriptions), decodeResources(contents.data, ignored)};
}

std::vector<HueResource> HueReplyDecoder::resources(const QByteArray &body, IgnoredResources ignored)
{
    const strictjson::Path root;
    const strictjson::ObjectReader reply(m_parser->parse(body), root);
    return decodeResources(reply.required<strictjson::Array>(envelopeDataKey), ignored);
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

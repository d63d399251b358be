#include "bridge/HueEnvelope.h"

#include "bridge/ClipDecoders.h"
#include "bridge/HueError.h"

#include <QStringList>

namespace vantora {

namespace {

constexpr QLatin1String errorsKey{"errors"};
constexpr QLatin1String descriptionKey{"description"};

QString descriptionOf(strictjson::Element error, const strictjson::Path &path)
{
    return strictjson::ObjectReader(error, path).required<QString>(descriptionKey);
}

} // namespace

void throwIfBridgeFailed(const std::vector<QString> &errorDescriptions)
{
    if (errorDescriptions.empty())
        return;
    const QStringList descriptions(errorDescriptions.begin(), errorDescriptions.end());
    throw HueError::api(descriptions.join(QStringLiteral("; ")));
}

EnvelopeContents decodeEnvelope(strictjson::Element document)
{
    const strictjson::Path root;
    const strictjson::ObjectReader envelope(document, root);
    return EnvelopeContents{
        .errorDescriptions = strictjson::decodeArray(envelope.required<strictjson::Array>(errorsKey),
                                                     root.member(errorsKey), &descriptionOf),
        .data = envelope.required<strictjson::Array>(envelopeDataKey),
    };
}

} // namespace vantora

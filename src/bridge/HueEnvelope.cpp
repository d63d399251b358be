#include "bridge/HueEnvelope.h"

#include "bridge/HueError.h"
#include "runtime/Json.h"

#include <QStringList>

namespace vantora {

namespace {

const QString errorsKey = QStringLiteral("errors");
const QString dataKey = QStringLiteral("data");
const QString descriptionKey = QStringLiteral("description");

QString descriptionOf(const QJsonValue &error, const QString &path)
{
    return runtime::json::decode<runtime::json::ObjectReader>(error, path).required<QString>(descriptionKey);
}

} // namespace

HueEnvelope HueEnvelope::decode(const QByteArray &body)
{
    using namespace runtime::json;
    const auto envelope = runtime::json::decode<ObjectReader>(parse(body), {});
    const auto errors = envelope.required<QJsonArray>(errorsKey);
    return HueEnvelope{
        .errorDescriptions = decodeArray(errors, envelope.pathOf(errorsKey), &descriptionOf),
        .data = envelope.required<QJsonArray>(dataKey),
    };
}

QString HueEnvelope::dataPath()
{
    return dataKey;
}

void HueEnvelope::throwIfFailed() const
{
    if (errorDescriptions.empty())
        return;
    const QStringList descriptions(errorDescriptions.begin(), errorDescriptions.end());
    throw HueError::api(descriptions.join(QStringLiteral("; ")));
}

} // namespace vantora

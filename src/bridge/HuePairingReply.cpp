#include "bridge/HuePairingReply.h"

#include "bridge/HueError.h"
#include "runtime/Json.h"

#include <algorithm>

namespace vantora {

namespace {

const QString successKey = QStringLiteral("success");
const QString usernameKey = QStringLiteral("username");
const QString errorKey = QStringLiteral("error");
const QString typeKey = QStringLiteral("type");
const QString descriptionKey = QStringLiteral("description");

constexpr qint64 linkButtonNotPressedType = 101;

// The key travels in a header of every later request: a line break or any other control
// character would let the text the bridge chose reshape those requests.
bool isUsableKey(QStringView key)
{
    return !key.isEmpty() && std::all_of(key.begin(), key.end(), [](QChar c) {
        return c.unicode() > u' ' && c.unicode() < 0x7f;
    });
}

} // namespace

HuePairingReply HuePairingReply::decode(const QByteArray &body)
{
    using namespace runtime::json;
    const auto elements = runtime::json::decode<QJsonArray>(parse(body), {});
    HuePairingReply reply;
    for (qsizetype i = 0; i < elements.size(); ++i) {
        const auto element = runtime::json::decode<ObjectReader>(elements.at(i), elementPath({}, i));
        if (const auto success = element.optional<ObjectReader>(successKey))
            reply.usernames.push_back(success->required<QString>(usernameKey));
        if (const auto error = element.optional<ObjectReader>(errorKey)) {
            reply.failures.push_back(
                {.type = error->required<qint64>(typeKey), .description = error->required<QString>(descriptionKey)});
        }
    }
    return reply;
}

QString HuePairingReply::applicationKey() const
{
    if (!failures.empty()) {
        const Failure &first = failures.front();
        if (first.type == linkButtonNotPressedType)
            throw HueError::linkButtonNotPressed();
        throw HueError::api(first.description);
    }
    if (usernames.empty() || !isUsableKey(usernames.front()))
        throw HueError::invalidResponse();
    return usernames.front();
}

} // namespace vantora

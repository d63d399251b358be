#include "bridge/HuePairingReply.h"

#include "bridge/ClipDecoders.h"
#include "bridge/HueError.h"

#include <algorithm>

namespace vantora {

namespace {

constexpr QLatin1String successKey{"success"};
constexpr QLatin1String usernameKey{"username"};
constexpr QLatin1String errorKey{"error"};
constexpr QLatin1String typeKey{"type"};
constexpr QLatin1String descriptionKey{"description"};

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

template <>
vantora::HuePairingReply vantora::strictjson::decode<vantora::HuePairingReply>(Element value, const Path &path)
{
    HuePairingReply reply;
    std::size_t index = 0;
    for (const Element element : decode<Array>(value, path)) {
        const ObjectReader object(element, path.element(index++));
        if (const auto success = object.optional<ObjectReader>(successKey))
            reply.usernames.push_back(success->required<QString>(usernameKey));
        if (const auto error = object.optional<ObjectReader>(errorKey)) {
            reply.failures.push_back(
                {.type = error->required<qint64>(typeKey), .description = error->required<QString>(descriptionKey)});
        }
    }
    return reply;
}

#include "bridge/BridgeAddress.h"

#include "bridge/HueError.h"

#include <arpa/inet.h>

#include <array>

namespace vantora {

namespace {

const QString hostKey = QStringLiteral("host");

bool isAddressLiteral(const QString &text)
{
    // The C parser stops at the first NUL; text holding one must not pass on its prefix.
    if (text.contains(QChar(u'\0')))
        return false;
    const QByteArray bytes = text.toUtf8();
    std::array<unsigned char, 16> parsed{};
    return inet_pton(AF_INET, bytes.constData(), parsed.data()) == 1
        || inet_pton(AF_INET6, bytes.constData(), parsed.data()) == 1;
}

} // namespace

BridgeAddress BridgeAddress::validated(const QString &text)
{
    QString trimmed = text.trimmed();
    if (!isAddressLiteral(trimmed))
        throw HueError::invalidAddress();
    return BridgeAddress{std::move(trimmed)};
}

QUrl BridgeAddress::url(const QString &path) const
{
    if (!path.startsWith(QLatin1Char('/')))
        throw HueError::invalidResponse();
    QUrl url;
    url.setScheme(QStringLiteral("https"));
    // QUrl adds the brackets of an IPv6 literal itself.
    url.setHost(host);
    url.setPath(path, QUrl::DecodedMode);
    return url;
}

QJsonObject toJson(const BridgeAddress &address)
{
    return QJsonObject{{hostKey, address.host}};
}

} // namespace vantora

template <>
vantora::BridgeAddress vantora::runtime::json::decode<vantora::BridgeAddress>(const QJsonValue &value,
                                                                            const QString &path)
{
    const auto object = decode<ObjectReader>(value, path);
    return vantora::BridgeAddress{object.required<QString>(vantora::hostKey)};
}

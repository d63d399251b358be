#include "FuzzRequire.h"

#include "bridge/BridgeAddress.h"
#include "bridge/HueError.h"
#include "runtime/Errors.h"

#include <QJsonDocument>

#include <cstddef>
#include <cstdint>

using vantora::testing::fuzzRequire;

namespace {

// Text the user typed or a discovery record carried.
void probeTypedAddress(const QString &text)
{
    vantora::BridgeAddress address;
    try {
        address = vantora::BridgeAddress::validated(text);
    } catch (const vantora::HueError &) {
        return;
    }
    fuzzRequire(vantora::BridgeAddress::validated(address.host) == address, "a valid address validates as itself");
    const QUrl url = address.url(QStringLiteral("/api/config"));
    fuzzRequire(url.isValid() && url.scheme() == QStringLiteral("https") && !url.host().isEmpty(),
                "a valid address makes an https URL with a host");
}

// The address as the saved connection stores it.
void probeStoredAddress(const QByteArray &json)
{
    try {
        const auto address = vantora::runtime::json::decode<vantora::BridgeAddress>(vantora::runtime::json::parse(json), {});
        address.url(QStringLiteral("/api/config"));
    } catch (const vantora::runtime::DecodingError &) {
    } catch (const vantora::HueError &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    probeTypedAddress(QString::fromUtf8(input));
    probeStoredAddress(input);
    return 0;
}

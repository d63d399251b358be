#include "bridge/HueReference.h"

namespace vantora {

namespace {

const QString ridKey = QStringLiteral("rid");
const QString rtypeKey = QStringLiteral("rtype");

} // namespace

QJsonObject toJson(const HueReference &reference)
{
    return QJsonObject{{ridKey, reference.rid}, {rtypeKey, reference.rtype}};
}

} // namespace vantora

template <>
vantora::HueReference vantora::runtime::json::decode<vantora::HueReference>(const QJsonValue &value,
                                                                          const QString &path)
{
    const auto object = decode<ObjectReader>(value, path);
    return vantora::HueReference{.rid = object.required<QString>(vantora::ridKey),
                                 .rtype = object.required<QString>(vantora::rtypeKey)};
}

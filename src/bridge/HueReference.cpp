#include "bridge/HueReference.h"

#include "bridge/ClipDecoders.h"

namespace vantora {

namespace {

constexpr QLatin1String ridKey{"rid"};
constexpr QLatin1String rtypeKey{"rtype"};

} // namespace

QJsonObject toJson(const HueReference &reference)
{
    return QJsonObject{{ridKey, reference.rid}, {rtypeKey, reference.rtype}};
}

} // namespace vantora

template <>
vantora::HueReference vantora::strictjson::decode<vantora::HueReference>(Element value, const Path &path)
{
    const ObjectReader object(value, path);
    return vantora::HueReference{.rid = object.required<QString>(vantora::ridKey),
                                 .rtype = recurringText(object.required<std::string_view>(vantora::rtypeKey))};
}

#pragma once

#include "runtime/Json.h"

#include <QJsonObject>
#include <QString>

namespace vantora {

// One CLIP v2 resource pointing at another.
struct HueReference {
    QString rid{};
    QString rtype{};
};

QJsonObject toJson(const HueReference &reference);

} // namespace vantora

template <>
vantora::HueReference vantora::runtime::json::decode<vantora::HueReference>(const QJsonValue &value,
                                                                          const QString &path);

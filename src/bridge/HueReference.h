#pragma once

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

#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace vantora::testing {

// The bridge interfaces the client speaks to, told apart by method and path.
enum class FakeBridgeRoute {
    config,        // GET /api/config
    pairing,       // POST /api
    resources,     // GET /clip/v2/resource
    light,         // PUT /clip/v2/resource/light/<id>
    groupedLight,  // PUT /clip/v2/resource/grouped_light/<id>
    other,         // anything else
};

FakeBridgeRoute routeOf(QByteArrayView method, QByteArrayView path);

} // namespace vantora::testing

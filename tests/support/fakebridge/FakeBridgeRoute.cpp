#include "FakeBridgeRoute.h"

namespace vantora::testing {

namespace {

// "/clip/v2/resource/light/<id>" with a non-empty id and nothing after it.
bool isResourcePath(QByteArrayView path, QByteArrayView prefix)
{
    if (!path.startsWith(prefix) || path.size() == prefix.size())
        return false;
    return !path.sliced(prefix.size()).contains('/');
}

} // namespace

FakeBridgeRoute routeOf(QByteArrayView method, QByteArrayView path)
{
    if (method == "GET" && path == "/api/config")
        return FakeBridgeRoute::config;
    if (method == "POST" && path == "/api")
        return FakeBridgeRoute::pairing;
    if (method == "GET" && path == "/clip/v2/resource")
        return FakeBridgeRoute::resources;
    if (method == "PUT" && isResourcePath(path, "/clip/v2/resource/light/"))
        return FakeBridgeRoute::light;
    if (method == "PUT" && isResourcePath(path, "/clip/v2/resource/grouped_light/"))
        return FakeBridgeRoute::groupedLight;
    return FakeBridgeRoute::other;
}

} // namespace vantora::testing

#pragma once

#include "bridge/HueResource.h"
#include "runtime/Json.h"

#include <QFile>

#include <gtest/gtest.h>

// Reading the hand-written bridge replies under tests/data/clip.
namespace vantora::testing {

inline QByteArray clipFixture(const char *name)
{
    QFile file(QStringLiteral(VANTORA_CLIP_FIXTURE_DIR "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "missing fixture " << name;
    return file.readAll();
}

// The resources of a whole resource-list reply, envelope included.
inline std::vector<HueResource> resourcesOfReply(const QByteArray &reply)
{
    const auto envelope = runtime::json::decode<runtime::json::ObjectReader>(runtime::json::parse(reply), {});
    return decodeResourceList(envelope.required<QJsonArray>(u"data"), envelope.pathOf(u"data"));
}

// A bare JSON array of resources, as written inline in tests.
inline std::vector<HueResource> resourcesOf(const char *array)
{
    return decodeResourceList(runtime::json::decode<QJsonArray>(runtime::json::parse(QByteArray(array)), {}),
                              QStringLiteral("data"));
}

} // namespace vantora::testing

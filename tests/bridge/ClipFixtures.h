#pragma once

#include "bridge/HueReplyDecoder.h"

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
    return HueReplyDecoder().resourceList(reply, IgnoredResources::kept).data;
}

// A bare JSON array of resources, as written inline in tests; decoding errors name their
// paths from "data" on.
inline std::vector<HueResource> resourcesOf(const char *array)
{
    return resourcesOfReply(QByteArrayLiteral(R"({"errors": [], "data": )") + array + '}');
}

} // namespace vantora::testing

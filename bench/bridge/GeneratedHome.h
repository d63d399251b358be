#pragma once

#include <QByteArray>

namespace vantora::bench {

// The resource-list reply, envelope included, of a home of 300 × scale lights in 60 × scale
// rooms, about 1,500 × scale resources and 1.08 × scale MB in all: for each light its device
// and connectivity service, a grouped light per room, scenes and a bridge home,
// interleaved as a bridge lists them.
QByteArray generatedHome(int scale);

} // namespace vantora::bench

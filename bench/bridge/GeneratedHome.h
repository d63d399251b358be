#pragma once

#include <QByteArray>

namespace vantora::bench {

// The resource-list reply, envelope included, of a home of 300 × scale lights in 60 × scale
// rooms: about 2,000 × scale resources and 1.1 × scale MB, with the many members the app
// never reads. For each light its device and its connectivity, entertainment and update
// services; for each room a grouped light and two or three scenes; one bridge home; all
// interleaved as a bridge lists them.
QByteArray generatedHome(int scale);

} // namespace vantora::bench

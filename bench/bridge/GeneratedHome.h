#pragma once

#include <QByteArray>

namespace vantora::bench {

// The resource-list reply, envelope included, of a home of 300 × scale lights in 60 × scale
// rooms, about 2,000 × scale resources and 1.1 × scale MB in all, with the many members the
// app never reads: for each light its device,
// connectivity, entertainment and update services, a grouped light and two or three
// scenes per room, and a bridge home,
// interleaved as a bridge lists them.
QByteArray generatedHome(int scale);

} // namespace vantora::bench

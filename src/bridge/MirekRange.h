#pragma once

#include <QtGlobal>

#include <algorithm>

namespace vantora {

// A closed range of white temperatures in mirek, lowerBound ≤ upperBound.
struct MirekRange {
    qint64 lowerBound = 0;
    qint64 upperBound = 0;

    qint64 clamped(qint64 mirek) const { return std::min(std::max(mirek, lowerBound), upperBound); }

    bool operator==(const MirekRange &) const = default;
};

} // namespace vantora

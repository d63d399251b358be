#include "welcome/SpinnerGeometry.h"

#include <cmath>

namespace vantora::spinnerGeometry {

double turnOffset(double elapsedSeconds, Motion motion)
{
    if (motion == Motion::Reduced || !(elapsedSeconds > 0))
        return 0;
    return std::fmod(elapsedSeconds, turnSeconds) / turnSeconds * 360;
}

std::vector<ArcSegment> arrivalSegments(double turnOffset)
{
    constexpr double step = (arcEnd - arcStart) / arrivalSegmentCount;
    constexpr double overlap = 0.5;
    std::vector<ArcSegment> segments;
    segments.reserve(arrivalSegmentCount);
    for (int i = 0; i < arrivalSegmentCount; ++i) {
        const double start = arcStart + turnOffset + i * step;
        segments.push_back({start, start + step + overlap, static_cast<double>(i) / (arrivalSegmentCount - 1)});
    }
    return segments;
}

} // namespace vantora::spinnerGeometry

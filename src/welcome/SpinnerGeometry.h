#pragma once

#include <array>
#include <vector>

// The activity spinners' shared pattern: a faint full track and a 220° arc that turns once
// every 0.9 s, fading in from its tail to its head. Angles are degrees from the positive x
// axis, growing clockwise on screen, so the head leads as the arc turns.
namespace vantora::spinnerGeometry {

inline constexpr double turnSeconds = 0.9;
inline constexpr double arcStart = 140;
inline constexpr double arcEnd = 360;
inline constexpr double lineWidth = 1.5;
inline constexpr double trackOpacity = 0.1;

enum class Motion {
    Full,
    Reduced,
};

// How far the arc has turned `elapsedSeconds` after the spinner started: 0 … 360, one turn
// every turnSeconds; 0 under Reduce Motion, before the start, and for a time that is not a
// number.
double turnOffset(double elapsedSeconds, Motion motion);

// The searching spinner's fade along its arc: the opacity of its colour at an angle, on a
// gradient that runs once round the circle. The first 50° of the arc fade in.
struct FadeStop final {
    double degrees;
    double opacity;
};
inline constexpr std::array<FadeStop, 9> searchingFade{{
    {0, 1}, {90, 1}, {140, 0}, {150, 0.15}, {160, 0.36}, {170, 0.61}, {180, 0.87}, {190, 1}, {360, 1},
}};

// The arrival spinner's arc, drawn as short pieces whose opacity rises from 0 at the tail to
// 1 at the head; each piece reaches half a degree into the next so no gap shows.
inline constexpr int arrivalSegmentCount = 60;
struct ArcSegment final {
    double startDegrees;
    double endDegrees;
    double opacity;
};
std::vector<ArcSegment> arrivalSegments(double turnOffset);

} // namespace vantora::spinnerGeometry

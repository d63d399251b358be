#pragma once

#include "runtime/Clock.h"

namespace vantora::ui {

enum class FrameDemand {
    More,
    Done,
};

// Something that moves on a window's frame clock: an animated value, a spinner.
class FrameListener {
public:
    // One frame at `now`; answer whether further frames are wanted.
    virtual FrameDemand frame(runtime::SteadyTime now) = 0;
    // The window left the screen: frames stop, so jump to where the motion ends.
    virtual void framesStopped() = 0;

protected:
    ~FrameListener() = default;
};

} // namespace vantora::ui

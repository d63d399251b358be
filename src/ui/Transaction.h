#pragma once

#include "ui/Animation.h"

#include <functional>

namespace vantora::ui {

// The animation under which state changes are being made. Animated values that are given a
// new target without an animation of their own take the current transaction's.
class Transaction final {
public:
    // Outside any `withAnimation`: no animation.
    static Animation current();

private:
    friend void withAnimation(const Animation &, const std::function<void()> &);
    static const Animation *s_current;
};

// Runs `changes` with `animation` as the current transaction; nests, and restores the outer
// one afterwards, also when `changes` throws.
void withAnimation(const Animation &animation, const std::function<void()> &changes);

} // namespace vantora::ui

#pragma once

#include <functional>
#include <optional>

class QWidget;

// What the views need to know of the screens.
namespace vantora::ui::screenInfo {

// The height of the usable part (without panels and docks) of the screen `widget` is on, else
// of the primary screen; absent when there is no screen at all.
std::optional<int> visibleHeight(const QWidget *widget);

using HeightSource = std::function<std::optional<int>(const QWidget *)>;

// Answers visibleHeight from `source` instead (tests fix the screen); an empty source restores
// the real screens. Returns the source that was in place.
HeightSource setHeightSource(HeightSource source);

} // namespace vantora::ui::screenInfo

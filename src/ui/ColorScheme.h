#pragma once

namespace vantora::ui {

// The desktop's light or dark appearance, as every view paints it.
enum class ColorScheme {
    Light,
    Dark,
};

} // namespace vantora::ui

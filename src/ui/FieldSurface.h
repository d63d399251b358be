#pragma once

class QPainter;
class QWidget;

// The ground of the panel's text fields: a rounded plate with a hairline edge in the scheme of
// the field's surroundings, outlined in the accent colour while the field is in use.
namespace vantora::ui::fieldSurface {

inline constexpr int height = 24;

enum class Outline {
    Resting,
    Accent,
};

void paint(QPainter &painter, const QWidget &field, Outline outline);

} // namespace vantora::ui::fieldSurface

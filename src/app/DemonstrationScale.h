#pragma once

#include <QSize>
#include <QWidget>

#include <optional>

namespace vantora {

// The frame of a preview shown at twice its size for demonstration captures: the content
// drawn at 2× in an inner area 880 wide and twice the base height tall, inside a scroll area
// that fits the screen's usable height.
struct DemonstrationFrame final {
    int baseHeight = 0;
    QSize inner;
    QSize outer;

    friend bool operator==(const DemonstrationFrame &, const DemonstrationFrame &) = default;
};

// From the usable height of the main screen; none when there is no screen.
DemonstrationFrame demonstrationFrame(std::optional<int> visibleHeight);

// Shows `content` at twice its size in a vertically scrolling frame (see DemonstrationFrame),
// measured on the main screen when made. Owns the content.
class DemonstrationScale final : public QWidget {
    Q_OBJECT
public:
    explicit DemonstrationScale(QWidget *content, QWidget *parent = nullptr);
};

} // namespace vantora

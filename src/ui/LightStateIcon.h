#pragma once

#include "ui/ColorScheme.h"
#include "ui/Image.h"

#include <QColor>
#include <QList>
#include <QWidget>

#include <optional>

namespace vantora::ui {

class Spinner;

// The round state badge of a light, 40 × 40: a ring in the state's colour, solid while the
// bridge reaches the light and broken into 20 dashes when it does not, around a bulb glyph
// in the same colour, or around a spinner while a change of the light is in flight. An
// unreachable light always looks unreachable, whatever it reports and whatever its tint.
// Hidden from accessibility: the row names the light and its state.
class LightStateIcon final : public QWidget {
    Q_OBJECT
public:
    struct Fields final {
        bool isOn = false;
        bool isReachable = true;
        bool isUpdating = false;
        // The colour of an on light; absent means the default warm yellow.
        std::optional<QColor> tint;

        friend bool operator==(const Fields &, const Fields &) = default;
    };

    enum class Ring {
        Solid,
        Dashed,
    };

    static constexpr int side = 40;
    static constexpr qreal ringWidth = 1.5;
    static constexpr qreal ringDiameter = side - ringWidth;
    static constexpr int dashCount = 20;
    static constexpr qreal dashLength = 1.5;
    static constexpr qreal dashPhase = 0.75;

    explicit LightStateIcon(QWidget *parent = nullptr);

    void apply(const Fields &fields);
    const Fields &fields() const noexcept { return m_fields; }

    static QColor stateColour(const Fields &fields, ColorScheme scheme);
    static Ring ring(const Fields &fields);
    // The dash gap that makes exactly dashCount dashes fill the ring's stroke path.
    static qreal dashGap();
    // The glyph's image name and frame size; only meaningful while not updating.
    static Image glyphName(const Fields &fields);
    static QSizeF glyphSize(const Fields &fields);

    QSize sizeHint() const override { return {side, side}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Fields m_fields;
    Spinner *m_spinner = nullptr;
};

} // namespace vantora::ui

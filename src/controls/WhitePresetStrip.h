#pragma once

#include "ui/AnimatedValue.h"

#include <QWidget>

#include <array>

namespace vantora {
class LightDetailModel;
} // namespace vantora

namespace vantora::controls {

class PlainTextButton;

// The four named white presets under the temperature slider, with a highlight that springs
// to the preset the page shows as active (at once under Reduce Motion). A preset sends its
// temperature clamped into the light's range and is remembered as the user's choice.
class WhitePresetStrip final : public QWidget {
    Q_OBJECT
public:
    static constexpr int stripHeight = 56;
    static constexpr int segmentHeight = 36;
    static constexpr int sideInset = 10;
    static constexpr int gap = 8;

    explicit WhitePresetStrip(LightDetailModel &model, QWidget *parent = nullptr);

    PlainTextButton *button(std::size_t index) const { return m_buttons.at(index); }
    // Where segment `index` lies at the strip's present width.
    QRectF segmentRect(std::size_t index) const;
    // The highlight's position as drawn now, in segments from the first.
    double highlightPosition() const { return m_highlight.value(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void refresh();

    LightDetailModel &m_model;
    std::array<PlainTextButton *, 4> m_buttons{};
    ui::AnimatedValue<double> m_highlight;
};

} // namespace vantora::controls

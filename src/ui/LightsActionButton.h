#pragma once

#include "ui/AnimatedValue.h"
#include "ui/Image.h"
#include "ui/LightsActionButtonStyle.h"

#include <QAbstractButton>

#include <optional>

namespace vantora::ui {

class HoverTracker;
class ShadowUnderlay;

// A text button in the panel's capsule style (LightsActionButtonStyle), optionally with a
// template glyph before the text. The pointer's hover tint fades in and out over 0.16 s
// (at once under Reduce Motion) and shows only while the button is enabled; pressing and
// disabling change its opacity at once. Only the capsule takes clicks; Return and Enter
// press it as Space does.
//
// The label is plain text. Size: the text and glyph plus the side margins (14 each unless
// changed with setContentsMargins), 32 high unless the user fixes another height.
class LightsActionButton final : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int defaultHeight = 32;
    static constexpr int glyphSpacing = 4;

    explicit LightsActionButton(const QString &text, LightsActionButtonStyle style, QWidget *parent = nullptr);

    void setStyle(const LightsActionButtonStyle &style);
    const LightsActionButtonStyle &buttonStyle() const noexcept { return m_style; }
    // A template image drawn in the label's colour before the text; none removes it.
    void setGlyph(std::optional<Image> image, const QSizeF &size);

    bool isHovered() const;
    // How much of the hover tint is showing now, 0 … 1.
    qreal hoverAmount() const { return m_hover.value(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &position) const override;

private:
    void followHover();

    LightsActionButtonStyle m_style;
    std::optional<Image> m_glyph;
    QSizeF m_glyphSize;
    HoverTracker *m_hoverTracker;
    ShadowUnderlay *m_shadow;
    AnimatedValue<double> m_hover;
};

} // namespace vantora::ui

#pragma once

#include "ui/AnimatedValue.h"

#include <QWidget>

namespace vantora {

// The welcome screen's instruction: plain text of one or more lines, centred, 3 pixels
// between lines, in the palette's text colour, at a fixed 332 × 38. A new text cross-fades
// with the old over 0.18 s (ease-out); under Reduce Motion, or off screen, it replaces the
// old at once. An equal text changes nothing.
class InstructionText final : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize frameSize{332, 38};
    static constexpr double fadeSeconds = 0.18;
    static constexpr int lineSpacing = 3;

    explicit InstructionText(const QString &text, QWidget *parent = nullptr);

    void setText(const QString &text);
    const QString &text() const noexcept { return m_text; }
    // How far the current text has faded in, 0 … 1.
    double fadeProgress() const { return m_fade.value(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawLines(QPainter &painter, const QString &text, double opacity) const;

    QString m_text;
    QString m_previous;
    ui::AnimatedValue<double> m_fade;
};

} // namespace vantora

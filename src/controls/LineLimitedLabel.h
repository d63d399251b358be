#pragma once

#include "ui/DynamicColor.h"

#include <QWidget>

#include <optional>

namespace vantora::controls {

// Plain text wrapped at word boundaries (inside words when a word is wider than the label)
// onto at most `maximumLines` lines, the last one ending in "…" when the text goes on. Text
// from the bridge never pushes the layout wider or taller than that. The full text is the
// accessible name and, when cut, the tooltip.
class LineLimitedLabel final : public QWidget {
    Q_OBJECT
public:
    explicit LineLimitedLabel(int maximumLines, QWidget *parent = nullptr);

    void setText(const QString &text);
    const QString &text() const noexcept { return m_text; }
    void setForeground(const ui::DynamicColor &colour);
    void setAlignment(Qt::Alignment alignment);

    // The lines drawn at `width`, the last one elided when the text does not fit.
    QStringList linesAt(int width) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void updateToolTip();

    int m_maximumLines;
    QString m_text;
    std::optional<ui::DynamicColor> m_foreground;
    Qt::Alignment m_alignment = Qt::AlignLeft;
};

} // namespace vantora::controls

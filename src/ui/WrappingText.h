#pragma once

#include "ui/DynamicColor.h"

#include <QWidget>

#include <optional>

class QTextLayout;

namespace vantora::ui {

// Plain text that wraps onto as many lines as its width needs, never elided: messages and
// notices whose every word must stay readable. Its height follows its width (height for
// width), with `lineSpacing` extra pixels between lines. Markup is shown as written; line
// breaks in the text start new lines. Read by assistive technologies as one static text.
class WrappingText final : public QWidget {
    Q_OBJECT
public:
    explicit WrappingText(const QString &text = {}, QWidget *parent = nullptr);

    void setText(const QString &text);
    const QString &text() const noexcept { return m_text; }
    void setLineSpacing(qreal extra);
    // Horizontal alignment of each line: Qt::AlignLeft (the default), Qt::AlignHCenter or
    // Qt::AlignRight.
    void setAlignment(Qt::Alignment alignment);
    void setForeground(const DynamicColor &colour);

    // How many lines the text takes at `width` pixels.
    int lineCount(int width) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // Lays the text out at `width`; returns its height.
    qreal layOut(QTextLayout &layout, qreal width) const;

    QString m_text;
    qreal m_lineSpacing = 0;
    Qt::Alignment m_alignment = Qt::AlignLeft;
    std::optional<DynamicColor> m_foreground;
};

} // namespace vantora::ui

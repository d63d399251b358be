#pragma once

#include "ui/DynamicColor.h"

#include <QWidget>

#include <optional>

namespace vantora::ui {

// One line of plain text that ends in "…" when it does not fit; line breaks in the text show
// as spaces. The full text stays available: as the tooltip and as the accessible name.
// Without a foreground of its own it draws in the palette's text colour.
class ElidedLabel final : public QWidget {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    void setText(const QString &text);
    const QString &text() const noexcept { return m_text; }
    void setForeground(const DynamicColor &colour);

    // What is drawn at the current width.
    QString displayedText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString singleLine() const;

    QString m_text;
    std::optional<DynamicColor> m_foreground;
};

} // namespace vantora::ui

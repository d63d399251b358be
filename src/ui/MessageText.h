#pragma once

#include <QTextEdit>

namespace vantora::ui {

// A message's plain text, shown as a person can select and copy it: the text stays exactly as
// it came, and lines break where it is drawn, between words, or inside a word too wide for a
// line (a long address, a token). Its height follows its width (height for width); it paints
// no background and takes the focus only from a click, like a selectable label.
class MessageText final : public QTextEdit {
    Q_OBJECT
public:
    explicit MessageText(const QString &text, QWidget *parent = nullptr);

    // The width the text takes on one line, without breaks but its own.
    int naturalWidth() const;
    // The width of its widest word.
    int widestWordWidth() const;

    // At its minimum width when it has one, else on one line.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
};

} // namespace vantora::ui

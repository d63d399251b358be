#pragma once

#include <QTextEdit>

#include <map>
#include <memory>
#include <optional>

class QTextDocument;

namespace vantora::ui {

// A message's plain text, shown as a person can select and copy it: the text stays exactly as
// it came, and lines break where it is drawn, between words, or inside a word too wide for a
// line (a long address, a token). Its height follows its width (height for width); it paints
// no background and takes the focus only from a click, like a selectable label.
class MessageText final : public QTextEdit {
    Q_OBJECT
public:
    explicit MessageText(const QString &text, QWidget *parent = nullptr);
    ~MessageText() override;

    // The width the text takes on one line, without breaks but its own.
    int naturalWidth() const;
    // The width of its widest word.
    int widestWordWidth() const;

    // At its minimum width when it has one, else on one line.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void changeEvent(QEvent *event) override;

private:
    // A copy of the text laid out apart from what is shown, made once for each text and font:
    // layouts ask for many widths in a row.
    QTextDocument &measured() const;
    void forgetMeasures();

    mutable std::unique_ptr<QTextDocument> m_measured;
    mutable std::optional<int> m_naturalWidth;
    mutable std::map<int, int> m_heights;
};

} // namespace vantora::ui

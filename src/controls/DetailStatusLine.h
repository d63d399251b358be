#pragma once

#include <QWidget>

namespace vantora::ui {
class TextLabel;
} // namespace vantora::ui

namespace vantora {
class LightDetailModel;
} // namespace vantora

namespace vantora::controls {

class LineLimitedLabel;
class PlainTextButton;

// The foot of the light page, shown only when there is something to tell: that the light
// cannot be reached, the store's failure (in orange, at most three lines, with "Try again"
// when there is a change to resend), or that the connection or the light is being updated.
// A line of text is one accessibility element with the page's label for it.
class DetailStatusLine final : public QWidget {
    Q_OBJECT
public:
    explicit DetailStatusLine(LightDetailModel &model, QWidget *parent = nullptr);

    ui::TextLabel *text() const noexcept { return m_text; }
    LineLimitedLabel *message() const noexcept { return m_message; }
    PlainTextButton *retryButton() const noexcept { return m_retry; }

private:
    void refresh();

    LightDetailModel &m_model;
    ui::TextLabel *m_text;
    LineLimitedLabel *m_message;
    PlainTextButton *m_retry;
};

} // namespace vantora::controls

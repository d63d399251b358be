#pragma once

#include "welcome/PillContent.h"

namespace vantora {

class SearchingSpinner;

// The `searching` look: the spinner and the current search message in one centred row,
// nudged 2 pixels right. A new message cross-fades with the old one while the row re-centres
// on its width. Presented to accessibility as one element that says a search is running.
class SearchingContent final : public PillContent {
    Q_OBJECT
public:
    SearchingContent(QWidget *pill, const QString &message);

    // An animation of none replaces the message at once, without a cross-fade.
    void showMessage(const QString &message, const ui::Animation &animation);
    const QString &message() const noexcept { return m_message; }
    SearchingSpinner *spinner() const noexcept { return m_spinner; }

protected:
    void layoutContent() override;
    void paintEvent(QPaintEvent *event) override;

private:
    qreal widthOf(const QString &text) const;
    // Left edge of the row at the current width and cross-fade.
    qreal rowLeft() const;
    qreal messageLeft() const;

    QString m_message;
    QString m_previousMessage;
    SearchingSpinner *m_spinner;
    // 0 shows the previous message, 1 the current one.
    ui::AnimatedValue<double> m_crossFade;
};

} // namespace vantora

#pragma once

#include <QWidget>

#include <functional>
#include <optional>

class QAbstractButton;

namespace vantora {

// The amber banner that says "Something went wrong." with a "View details" button and a
// close button ("Dismiss error"). It shows nothing of the failure itself, unless it is given
// what the person can do about it: then it says that instead, over as many lines as it takes.
// It draws its own shadows inside its margins, so it keeps `shadowMargins` around the amber
// shape. Without `dismiss` it has no close button: what it tells stays until its cause goes.
class AppErrorBanner final : public QWidget {
    Q_OBJECT
public:
    AppErrorBanner(const std::optional<QString> &explanation, std::function<void()> report,
                   std::function<void()> dismiss, QWidget *parent = nullptr);

    static QMargins shadowMargins();

    QAbstractButton *detailsButton() const { return m_details; }
    // Null without `dismiss`.
    QAbstractButton *closeButton() const { return m_close; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QAbstractButton *m_details;
    QAbstractButton *m_close = nullptr;
};

} // namespace vantora

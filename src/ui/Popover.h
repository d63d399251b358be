#pragma once

#include <QPainterPath>
#include <QPointer>
#include <QWidget>

#include <optional>

namespace vantora::ui {

// A small window that opens under a control with an arrow pointing at it and closes when the
// user clicks elsewhere or presses Escape. It keeps the control as its parent, so it reads the
// control's environment (colour scheme, Reduce Motion).
//
// `dismissed` tells the owner that the popover went away by any means other than withdraw():
// a click outside, Escape, a close() from anywhere, the anchor's window closing. The owner
// then drops whatever state the popover stood for.
//
// On a desktop that composites windows the corners around the bubble and beside its arrow are
// transparent. Without a compositor they would show black, so there the window is cut to the
// bubble's shape instead; it follows the compositor coming and going.
class Popover final : public QWidget {
    Q_OBJECT
public:
    static constexpr int arrowHeight = 8;
    static constexpr int arrowWidth = 18;
    static constexpr qreal cornerRadius = 10;
    static constexpr int padding = 12;
    // Between the anchor's bottom edge and the arrow's tip.
    static constexpr int gap = 2;

    explicit Popover(QWidget *anchor);

    // Takes `content` as the popover's only content; a previous content is deleted.
    void setContent(QWidget *content);
    QWidget *content() const { return m_content; }

    // Opens under the anchor, or moves there when already open.
    void present();
    // Closes without telling the owner: the owner asked for it.
    void withdraw();
    bool isPresented() const { return isVisible(); }

    // Where the popover goes for an anchor at `anchorRect` (global) and a popover of `size`,
    // kept inside `screen`: its top-left corner and the x of the arrow's tip, relative to it.
    struct Placement final {
        QPoint topLeft;
        int arrowX = 0;

        friend bool operator==(const Placement &, const Placement &) = default;
    };
    static Placement placement(const QRect &anchorRect, const QSize &size, const QRect &screen);

Q_SIGNALS:
    void dismissed();

protected:
    bool event(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QPainterPath bubbleShape() const;
    // Cuts the window to the bubble, or lets it be whole, as the compositor allows.
    void applyCompositing();

    QPointer<QWidget> m_anchor;
    QPointer<QWidget> m_content;
    // Where present() put the arrow's tip; the middle until then.
    std::optional<int> m_arrowX;
    bool m_withdrawing = false;
};

} // namespace vantora::ui

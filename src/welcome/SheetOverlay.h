#pragma once

#include <QPointer>
#include <QWidget>

namespace vantora {

// A sheet inside the panel: a dimmed backdrop over the whole of its parent with a card (360
// pixels wide unless asked otherwise) centred on it, holding `content` with 24 pixels of
// padding. Hidden until
// open(); it then covers its parent, follows its size, and asks to be dismissed on Escape
// from anywhere inside it. Closing only hides it, so what the content holds survives.
//
// An open sheet is modal to its parent: Tab and Backtab cycle through the sheet alone,
// and nothing else inside the parent takes focus or keyboard or mouse input until it closes.
// However it closes (close(), hide(), its owner going), the focus goes back to the control
// that had it when the sheet opened, or, when that control has gone or cannot take it, to
// the first control of the parent; nothing in a closed sheet keeps or takes the focus.
class SheetOverlay final : public QWidget {
    Q_OBJECT
public:
    static constexpr int defaultCardWidth = 360;
    static constexpr int padding = 24;
    static constexpr qreal cornerRadius = 12;

    // Takes `content` as a child; `parent` must not be null.
    SheetOverlay(QWidget *content, QWidget *parent, int cardWidth = defaultCardWidth);

    // Shows the sheet over its parent and focuses `focusTarget` (inside the content), after
    // activating the window so that the focus lands even in a panel that was not active. The
    // window's focus at that moment is the control the focus returns to on closing.
    void open(QWidget *focusTarget);
    void close() { hide(); }
    QWidget *card() const noexcept { return m_card; }

Q_SIGNALS:
    void dismissRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // Swallowed: the screen's menu must not open over a sheet.
    void contextMenuEvent(QContextMenuEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void cover();
    bool isBeneath(const QObject *object) const;
    bool takesTabFocus(const QWidget *widget) const;
    // Moves the focus back to where it last was in the sheet, or to its first control.
    void focusSheet();

    QWidget *m_card;
    QPointer<QWidget> m_opener;
};

} // namespace vantora

#pragma once

#include "recorder/LitRows.h"

#include "ui/AnimatedValue.h"
#include "ui/ColorScheme.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <set>

namespace vantora::ui {
class ViewTask;
}

namespace vantora::recorder {

// The small moving picture of what a shortcut does, decoration only: a miniature panel under
// its tray icon whose rows switch on and off (the show-or-hide shortcut), or a power button
// pressed every few seconds (the all-lights shortcut). It moves only while its window is
// shown and active and the desktop does not ask for less motion; otherwise it rests.
class ShortcutIllustration final : public QWidget {
    Q_OBJECT
public:
    static constexpr int side = 40;

    explicit ShortcutIllustration(bool isPanel, QWidget *parent = nullptr);
    // With a chosen seed for the rows' random order.
    ShortcutIllustration(bool isPanel, std::uint32_t seed, QWidget *parent = nullptr);
    ~ShortcutIllustration() override;

    bool isPanel() const noexcept { return m_isPanel; }
    // The state shown or being moved to.
    const std::set<int> &litRows() const noexcept { return m_litRows; }
    bool isPowerPressed() const noexcept { return m_pressed.target() > 0.5; }
    bool isMoving() const;

    QSize sizeHint() const override { return {side, side}; }

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool mayMove() const;
    runtime::Task<void> run();
    runtime::Task<void> runPanel();
    runtime::Task<void> runPowerButton();
    void rest();
    void setLitRows(const std::set<int> &rows);
    void watchWindow();
    void restartWhenKeyChanges();

    // What does not move is drawn once per scheme and pixel ratio; a frame places these
    // pictures and draws only the toggles, so it costs a few small copies.
    struct Pictures {
        ui::ColorScheme scheme;
        qreal ratio;
        QPixmap background;
        // The power button's two faces, each with its symbol.
        QPixmap raised;
        QPixmap pressed;
    };
    const Pictures &currentPictures();
    static QPixmap picture(qreal ratio, const std::function<void(QPainter &)> &paint);
    static void paintTile(QPainter &painter, bool dark);
    static void paintPanel(QPainter &painter, bool dark);
    static void paintRaisedButton(QPainter &painter, bool dark);
    static void paintPressedButton(QPainter &painter, bool dark);
    void paintToggles(QPainter &painter, bool dark) const;

    const bool m_isPanel;
    LitRows m_nextRows;
    std::set<int> m_litRows;
    std::array<std::unique_ptr<ui::AnimatedValue<double>>, LitRows::rowCount> m_rowLight;
    ui::AnimatedValue<double> m_pressed;
    ui::ViewTask *m_task = nullptr;
    QPointer<QWidget> m_watchedWindow;
    bool m_lastKey = false;
    std::optional<Pictures> m_pictures;
};

} // namespace vantora::recorder

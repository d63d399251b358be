#pragma once

#include "ui/DynamicColor.h"
#include "ui/FrameListener.h"

#include <QPointer>
#include <QWidget>

namespace vantora::ui {

class FrameClock;

// A small indeterminate progress spinner: eight spokes whose brightness runs round once per
// period. It turns on its window's frame clock only while it is visible, and keeps turning
// under Reduce Motion, as progress indicators do. Hidden from accessibility: whoever shows
// it says what is in progress.
class Spinner final : public QWidget {
    Q_OBJECT
public:
    static constexpr int side = 16;
    static constexpr int spokes = 8;
    static constexpr std::chrono::milliseconds period{800};

    explicit Spinner(QWidget *parent = nullptr);

    void setColour(const DynamicColor &colour);
    // The spoke drawn brightest, 0 … spokes − 1.
    int leadingSpoke() const noexcept { return m_leadingSpoke; }
    bool isTurning() const;

    QSize sizeHint() const override { return {side, side}; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct Turning final : FrameListener {
        explicit Turning(Spinner &spinner) : owner(spinner) {}
        FrameDemand frame(runtime::SteadyTime now) override;
        void framesStopped() override {}
        Spinner &owner;
        runtime::SteadyTime start{};
    };

    void startTurning();
    void stopTurning();

    DynamicColor m_colour;
    int m_leadingSpoke = 0;
    Turning m_turning{*this};
    QPointer<FrameClock> m_clock;
};

} // namespace vantora::ui

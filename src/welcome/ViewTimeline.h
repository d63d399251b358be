#pragma once

#include "ui/FrameListener.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class QWidget;

namespace vantora {

namespace ui {
class FrameClock;
}

// The display-frame schedule of one view that draws as a function of time (a spinner, a
// pulse): while it runs, every frame of the window's frame clock moves the date to now and
// repaints the view; while it is paused, the view keeps drawing the date it reached. It
// runs only while the view is on screen, its window is active (when the view asks for
// that) and the view's own condition holds; otherwise it costs no frames at all.
//
// The origin is the time the view measures from: taken once, the first time the view is
// shown, or afresh each time the timeline starts. A paused timeline that starts again
// jumps to the date now, so the view shows the phase the elapsed time gives.
//
// Made in the constructor of a view with a meta-object of its own (Q_OBJECT), it asks nothing
// of the view once the view's own class has been torn down: a view that is a window is still
// hidden and deactivated by QWidget's destructor.
class ViewTimeline final : public QObject, private ui::FrameListener {
    Q_OBJECT
public:
    enum class Origin {
        FirstShow,
        EachStart,
    };
    enum class WindowActivity {
        Required,
        Ignored,
    };

    // `isWanted` is the view's own condition (say, Reduce Motion is off); the view calls
    // reevaluate() when it may have changed. Reduce Motion changes, showing, hiding and
    // window activation are followed here.
    ViewTimeline(QWidget *view, Origin origin, WindowActivity activity, std::function<bool()> isWanted);
    ~ViewTimeline() override;

    bool isRunning() const;
    // Seconds from the origin to the date reached; 0 before the first show, never negative.
    double elapsedSeconds() const;

    void reevaluate();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ui::FrameDemand frame(runtime::SteadyTime now) override;
    void framesStopped() override;

    bool shouldRun() const;
    void start();
    void stop();

    QWidget *m_view;
    // The view's own class, whose condition and drawing the timeline asks for.
    const QMetaObject *m_viewType;
    Origin m_origin;
    WindowActivity m_activity;
    std::function<bool()> m_isWanted;
    std::optional<runtime::SteadyTime> m_start;
    runtime::SteadyTime m_date{};
    QPointer<ui::FrameClock> m_clock;
};

} // namespace vantora

#pragma once

#include "ui/FrameListener.h"

#include "runtime/TaskScope.h"

#include <QObject>
#include <QPointer>

#include <chrono>
#include <memory>
#include <vector>

class QWidget;

namespace vantora::ui {

// The frame ticks of one window. Frames run only while some listener wants them and the
// window is on screen, so an idle or hidden window costs nothing; hiding the window stops
// the frames at once and tells each listener to jump to its end.
//
// Ticks are sleeps on the window's view runtime (see ViewRuntime), read when the clock is
// first used, so tests move every animation with a virtual clock.
class FrameClock final : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds interval{16};

    // The clock of `widget`'s window, created on first use.
    static FrameClock &of(QWidget *widget);

    bool isWindowVisible() const;
    bool isRunning() const;
    runtime::SteadyTime now() const;

    // A listener added while the window is hidden gets no frames; callers check
    // isWindowVisible() first and change at once instead.
    //
    // The listener lives no longer than `owner` (the widget it moves, or the object holding
    // it): once the owner is destroyed its listener gets no further call, even if the owner's
    // teardown set it moving again, as a pointer that leaves a widget under destruction does.
    void add(FrameListener *listener, QObject *owner);
    void remove(FrameListener *listener);
    bool contains(const FrameListener *listener) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit FrameClock(QWidget *window);

    runtime::Task<void> runFrames();
    void deliverFrame();
    void stop();

    QWidget *m_window;
    runtime::Clock &m_clock;
    struct Entry {
        FrameListener *listener;
        QPointer<QObject> owner;
    };

    void forgetDeparted();

    std::vector<Entry> m_listeners;
    runtime::TaskHandle<void> m_loop;
    std::unique_ptr<runtime::TaskScope> m_tasks;
};

} // namespace vantora::ui

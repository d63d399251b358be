#pragma once

#include "ui/Animation.h"

#include <QByteArray>
#include <QPointer>
#include <QWidget>

#include <vector>

namespace vantora::ui {

// One decision of an animated value: which animation it chose for a new target (none when
// the change was immediate).
struct MotionRecord final {
    QPointer<QWidget> owner;
    QByteArray property;
    Animation animation;
};

// Collects the animation choices made while it exists, so tests can check what moves and
// how without looking at frames. At most one recorder listens at a time; a newer one takes
// over until it is destroyed.
class MotionRecorder final {
public:
    MotionRecorder();
    ~MotionRecorder();
    MotionRecorder(const MotionRecorder &) = delete;
    MotionRecorder &operator=(const MotionRecorder &) = delete;

    const std::vector<MotionRecord> &records() const noexcept { return m_records; }
    // The records of one property of one widget, oldest first.
    std::vector<Animation> animationsOf(const QWidget *owner, const QByteArray &property) const;
    void clear() { m_records.clear(); }

    // Called by animated values; does nothing without a recorder.
    static void record(QWidget *owner, const QByteArray &property, const Animation &animation);

private:
    MotionRecorder *m_outer;
    std::vector<MotionRecord> m_records;
};

} // namespace vantora::ui

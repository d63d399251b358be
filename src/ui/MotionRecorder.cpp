#include "ui/MotionRecorder.h"

namespace vantora::ui {

namespace {

MotionRecorder *activeRecorder = nullptr;

} // namespace

MotionRecorder::MotionRecorder()
    : m_outer(std::exchange(activeRecorder, this))
{
}

MotionRecorder::~MotionRecorder()
{
    activeRecorder = m_outer;
}

std::vector<Animation> MotionRecorder::animationsOf(const QWidget *owner, const QByteArray &property) const
{
    std::vector<Animation> found;
    for (const auto &record : m_records) {
        if (record.owner == owner && record.property == property)
            found.push_back(record.animation);
    }
    return found;
}

void MotionRecorder::record(QWidget *owner, const QByteArray &property, const Animation &animation)
{
    if (activeRecorder)
        activeRecorder->m_records.push_back({owner, property, animation});
}

} // namespace vantora::ui

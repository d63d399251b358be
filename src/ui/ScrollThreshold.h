#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QAbstractScrollArea;

namespace vantora::ui {

// Watches how far a scroll area's content has scrolled down and acts only when the content
// crosses `offset`: `action(true)` once it has scrolled at least `offset` pixels, `action(false)`
// once it is back above. Scroll steps that stay on one side call nothing; so does creating
// the watcher, whose starting side is read from the scroll area as it is then.
class ScrollThreshold final : public QObject {
    Q_OBJECT
public:
    ScrollThreshold(QAbstractScrollArea *area, int offset, std::function<void(bool)> action);

    bool isPast() const noexcept { return m_past; }
    int offset() const noexcept { return m_offset; }

private:
    void follow(int value);

    QPointer<QAbstractScrollArea> m_area;
    int m_offset;
    std::function<void(bool)> m_action;
    bool m_past;
};

} // namespace vantora::ui

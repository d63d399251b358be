#include "ui/Transition.h"

#include "ui/Accessibility.h"
#include "ui/AnimatedValue.h"
#include "ui/EnvironmentKeys.h"
#include "ui/MotionRecorder.h"

#include <QCoreApplication>
#include <QGraphicsOpacityEffect>
#include <QPainter>
#include <QPixmap>
#include <QPointer>

#include <algorithm>

namespace vantora::ui {

namespace {

const char *const ghostProperty = "_vantora_transition_ghost";
const QByteArray transitionProperty = "transition";

enum class Direction {
    In,
    Out,
};

// A picture of a widget that moves between its place and the transition's offset, fading
// with it. Progress runs from 0 (the arrival's start, the departure's end) to 1 (in place).
class Ghost final : public QWidget {
public:
    Ghost(QWidget *source, const Transition &transition, Direction direction, std::function<void()> finished)
        : QWidget(source->parentWidget())
        , m_source(source)
        , m_picture(source->grab())
        , m_place(source->geometry())
        , m_transition(transition)
        , m_finished(std::move(finished))
        , m_progress(this, "ghostProgress", direction == Direction::In ? 0.0 : 1.0, [this] { progressed(); })
    {
        setProperty(ghostProperty, true);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        a11y::setHidden(this);
        const QPointF offset = transition.offset;
        setGeometry(m_place.united(m_place.translated(offset.toPoint())).adjusted(-1, -1, 1, 1));
        show();
        raise();
    }

    const QWidget *source() const { return m_source; }

    // Ends at once, as if the motion had run its course.
    void finish()
    {
        m_progress.setImmediately(m_progress.target());
        complete();
    }

    void run(double target, const Animation &animation)
    {
        m_progress.animateTo(target, animation, UnderReduceMotion::Keep);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const double progress = m_progress.value();
        QPainter painter(this);
        if (m_transition.fades)
            painter.setOpacity(std::clamp(progress, 0.0, 1.0));
        const QPointF shift = m_transition.offset * (1 - progress);
        painter.drawPixmap(QPointF(m_place.topLeft() - pos()) + shift, m_picture);
    }

private:
    void progressed()
    {
        update();
        if (!m_progress.isAnimating())
            complete();
    }

    void complete()
    {
        if (m_done)
            return;
        m_done = true;
        if (m_finished)
            m_finished();
        deleteLater();
    }

    QPointer<QWidget> m_source;
    QPixmap m_picture;
    QRect m_place;
    bool m_done = false;
    Transition m_transition;
    std::function<void()> m_finished;
    AnimatedValue<double> m_progress;
};

// Lays out pending geometry now, so that a widget that was just shown is grabbed in its place.
void settleLayouts()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// A widget that comes or goes again ends the motion of its previous coming or going.
void finishGhostsOf(const QWidget *widget)
{
    if (!widget->parentWidget())
        return;
    for (QObject *child : widget->parentWidget()->children()) {
        if (!isTransitionGhost(child))
            continue;
        auto *ghost = static_cast<Ghost *>(child);
        if (ghost->source() == widget)
            ghost->finish();
    }
}

bool canAnimate(const QWidget *widget, const Transition &resolved, const Animation &animation)
{
    return !animation.isNone() && !resolved.isIdentity() && widget->parentWidget()
        && widget->parentWidget()->isVisible();
}

} // namespace

Transition Transition::resolved(bool reduceMotion) const
{
    if (!reduceMotion)
        return *this;
    if (underReduceMotion == UnderReduceMotion::Identity)
        return {QPointF(), false, underReduceMotion};
    return {QPointF(), fades, underReduceMotion};
}

void transitionIn(QWidget *widget, const Transition &transition, const Animation &animation)
{
    const Transition resolved = transition.resolved(reduceMotion(widget));
    const bool animated = canAnimate(widget, resolved, animation);
    MotionRecorder::record(widget, transitionProperty, animated ? animation : Animation::none());
    finishGhostsOf(widget);
    widget->show();
    if (!animated)
        return;
    settleLayouts();
    auto *ghost = new Ghost(widget, resolved, Direction::In, [real = QPointer<QWidget>(widget)] {
        if (real)
            real->setGraphicsEffect(nullptr);
    });
    // The real widget stays where it belongs, invisible, until its picture has arrived.
    auto *invisible = new QGraphicsOpacityEffect(widget);
    invisible->setOpacity(0);
    widget->setGraphicsEffect(invisible);
    ghost->run(1, animation);
}

void transitionOut(QWidget *widget, const Transition &transition, const Animation &animation, Departure departure)
{
    const Transition resolved = transition.resolved(reduceMotion(widget));
    const bool animated = canAnimate(widget, resolved, animation) && widget->isVisible();
    MotionRecorder::record(widget, transitionProperty, animated ? animation : Animation::none());
    finishGhostsOf(widget);
    if (animated)
        (new Ghost(widget, resolved, Direction::Out, {}))->run(0, animation);
    widget->hide();
    if (departure == Departure::Delete)
        widget->deleteLater();
}

bool isTransitionGhost(const QObject *object)
{
    return object->property(ghostProperty).toBool();
}

} // namespace vantora::ui

#pragma once

#include "ui/AnimatedValue.h"

#include <QWidget>

class QGraphicsOpacityEffect;

namespace vantora {

// What the connection pill shows for one state, laid over the whole pill. A state change
// replaces it: the new content fades in while the old one fades out, takes no more input,
// leaves the accessibility tree and deletes itself once it is gone.
class PillContent : public QWidget {
    Q_OBJECT
public:
    explicit PillContent(QWidget *pill);

    // From transparent to fully shown; an animation of none shows it at once.
    void appear(const ui::Animation &animation);
    void disappear(const ui::Animation &animation);
    bool isLeaving() const noexcept { return m_leaving; }
    // How much of the content shows, 0 … 1.
    double presence() const { return m_presence.value(); }

protected:
    virtual void layoutContent() = 0;
    void resizeEvent(QResizeEvent *event) override;

private:
    void followPresence();

    bool m_leaving = false;
    QGraphicsOpacityEffect *m_fade = nullptr;
    ui::AnimatedValue<double> m_presence;
};

} // namespace vantora

#pragma once

#include "welcome/ConnectionPillState.h"
#include "welcome/PillContent.h"

#include "ui/AnimatedValue.h"
#include "ui/KeyedViewTask.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace vantora {

namespace ui {
class HoverTracker;
class ShadowUnderlay;
} // namespace ui

// The one action control of the welcome and connection screens: a capsule that says where
// onboarding stands and offers the next step (see ConnectionPillState). It sizes itself by
// pillMetrics::pillWidth and pillHeight and keeps that fixed size; its parent places it.
//
// The action runs from a click anywhere on the capsule in `ready` and `choose`, from the
// "Try again" button in `retry`, and never in `searching` and `found`.
//
// A new state replaces the content (the old fades out as the new fades in), moves the size,
// the raised look and the shadow with a spring; under Reduce Motion all of it happens at
// once. An equal state changes nothing. While searching, the message changes every 2.5 s
// (also under Reduce Motion, then without a cross-fade), starting from the first message on
// every change of state and each time the pill comes on screen; the rotation runs only
// while the pill is on screen. In `ready` the capsule lights up under the pointer.
class ConnectionPill final : public QWidget {
    Q_OBJECT
public:
    using Action = std::function<void()>;

    static constexpr std::chrono::milliseconds searchMessageInterval{2500};

    ConnectionPill(ConnectionPillState state, Action action, QWidget *parent = nullptr);

    void apply(const ConnectionPillState &state);
    void setAction(Action action);

    const ConnectionPillState &state() const noexcept { return m_state; }
    int searchMessageIndex() const noexcept { return m_searchMessageIndex; }
    // The content of the current state (not one that is fading out).
    PillContent *content() const { return m_content; }
    bool isHovered() const;
    // How much of the hover highlight shows now, 0 … 1.
    double highlightAmount() const { return m_highlight.value(); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void announceState() const;
    PillContent *makeContent();
    void replaceContent(const ui::Animation &animation);
    void followHover();
    void followSize();
    void followRaised();
    void setSearchMessageIndex(int index);
    void runAction();
    runtime::Task<void> rotateSearchMessages(ConnectionPillState state);

    ConnectionPillState m_state;
    Action m_action;
    int m_searchMessageIndex = 0;
    ui::HoverTracker *m_hoverTracker;
    ui::ShadowUnderlay *m_shadow;
    QWidget *m_highlightLayer;
    QPointer<PillContent> m_content;
    ui::AnimatedValue<QSizeF> m_size;
    ui::AnimatedValue<double> m_raised;
    ui::AnimatedValue<double> m_highlight;
    // Last: its task ends before anything it touches goes.
    ui::KeyedViewTask<ConnectionPillState> m_rotation;
};

} // namespace vantora

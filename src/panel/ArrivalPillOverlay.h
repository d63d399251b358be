#pragma once

#include "onboarding/BridgeOnboarding.h"
#include "ui/AnimatedValue.h"
#include "ui/KeyedViewTask.h"

#include <QObject>

#include <optional>

class QGraphicsOpacityEffect;

namespace vantora {

class BridgeArrivalPill;

// The panel's side of the arrival pill after a first pairing: it follows the onboarding's
// arrival while the panel is on screen. Loading shows after 0.6 s (a connection verified
// sooner never shows it); connected shows at once, is announced once, and slides away
// 2.2 s later, which ends the onboarding's wait for the first lights. The pill sits centred
// 16 pixels above the panel's bottom edge, takes no clicks, and slides 52 pixels down while
// fading out (under Reduce Motion it only fades, with the same timings).
//
// When the panel goes away a connected pill ends the wait for good; a loading pill comes
// back on the next showing while the onboarding still waits.
class ArrivalPillOverlay final : public QObject {
    Q_OBJECT
public:
    using Arrival = BridgeOnboarding::Arrival;

    static constexpr int bottomSpace = 16;
    static constexpr qreal slideDistance = 52;

    ArrivalPillOverlay(QWidget *panel, BridgeOnboarding &onboarding);
    ~ArrivalPillOverlay() override;

    // The pill's state, whether or not something covers it.
    std::optional<Arrival> state() const noexcept { return m_state; }
    // Follows the onboarding's arrival; a change restarts the pill's timeline.
    void follow(std::optional<Arrival> arrival) { m_task.setKey(arrival); }
    // Whether the page allows the pill on top (no shortcuts page, no welcome screen).
    void setAllowed(bool allowed);
    // The panel went away.
    void dismiss();
    void place();

    BridgeArrivalPill *pill() const noexcept { return m_pill; }
    bool isPillShown() const;

Q_SIGNALS:
    void stateChanged();

private:
    runtime::Task<void> run(std::optional<Arrival> arrival);
    void present(std::optional<Arrival> state, const ui::Animation &animation);
    void followPresence();

    QWidget *m_panel;
    BridgeOnboarding &m_onboarding;
    BridgeArrivalPill *m_pill;
    QGraphicsOpacityEffect *m_fade;
    std::optional<Arrival> m_state;
    bool m_allowed = true;
    ui::AnimatedValue<double> m_presence;
    ui::KeyedViewTask<std::optional<Arrival>> m_task;
};

} // namespace vantora

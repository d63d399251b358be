#include "panel/ArrivalPillOverlay.h"

#include "welcome/BridgeArrivalPill.h"

#include "ui/Accessibility.h"
#include "ui/ViewRuntime.h"

#include <QGraphicsOpacityEffect>

using namespace std::chrono_literals;

namespace vantora {

namespace {

arrivalAppearance::State pillState(BridgeOnboarding::Arrival arrival)
{
    return arrival == BridgeOnboarding::Arrival::connected ? arrivalAppearance::State::Connected
                                                           : arrivalAppearance::State::Loading;
}

} // namespace

ArrivalPillOverlay::ArrivalPillOverlay(QWidget *panel, BridgeOnboarding &onboarding)
    : QObject(panel)
    , m_panel(panel)
    , m_onboarding(onboarding)
    , m_pill(new BridgeArrivalPill(arrivalAppearance::State::Loading, panel))
    , m_fade(new QGraphicsOpacityEffect(m_pill))
    , m_presence(panel, "arrivalPill", 0, [this] { followPresence(); })
    , m_task(panel, std::nullopt, [this](std::optional<Arrival> arrival) { return run(arrival); })
{
    m_pill->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pill->setGraphicsEffect(m_fade);
    m_pill->hide();
}

ArrivalPillOverlay::~ArrivalPillOverlay() = default;

bool ArrivalPillOverlay::isPillShown() const
{
    return m_pill->isVisibleTo(m_panel);
}

void ArrivalPillOverlay::setAllowed(bool allowed)
{
    if (allowed == m_allowed)
        return;
    m_allowed = allowed;
    followPresence();
}

runtime::Task<void> ArrivalPillOverlay::run(std::optional<Arrival> arrival)
{
    runtime::Clock &clock = ui::ViewRuntime::of(m_panel).resolvedClock();
    if (!arrival) {
        present(std::nullopt, ui::Animation::easeIn(0.18));
        co_return;
    }
    if (*arrival == Arrival::loading) {
        // A cancelled sleep throws, which ends the run without touching the pill.
        co_await clock.sleepFor(600ms);
        present(Arrival::loading, ui::Animation::easeOut(0.24));
        ui::a11y::announce(BridgeArrivalPill::spokenLabel(BridgeArrivalPill::State::Loading));
        co_return;
    }
    present(Arrival::connected, ui::Animation::easeOut(0.24));
    ui::a11y::announce(BridgeArrivalPill::spokenLabel(BridgeArrivalPill::State::Connected));
    co_await clock.sleepFor(2200ms);
    present(std::nullopt, ui::Animation::easeIn(0.22));
    m_onboarding.setAwaitsFirstLights(false);
}

void ArrivalPillOverlay::dismiss()
{
    if (m_state == Arrival::connected)
        m_onboarding.setAwaitsFirstLights(false);
    present(std::nullopt, ui::Animation::none());
}

void ArrivalPillOverlay::present(std::optional<Arrival> state, const ui::Animation &animation)
{
    if (state)
        m_pill->apply(pillState(*state));
    const bool changed = state != m_state;
    m_state = state;
    // The pill keeps its timing under Reduce Motion; only its slide is dropped.
    m_presence.animateTo(state ? 1.0 : 0.0, animation, ui::UnderReduceMotion::Keep);
    followPresence();
    if (changed)
        Q_EMIT stateChanged();
}

void ArrivalPillOverlay::followPresence()
{
    const double presence = m_presence.value();
    m_fade->setOpacity(std::clamp(presence, 0.0, 1.0));
    m_fade->setEnabled(presence < 1);
    m_pill->setVisible(m_allowed && (presence > 0 || m_presence.target() > 0));
    place();
}

void ArrivalPillOverlay::place()
{
    const QSize size(qCeil(BridgeArrivalPill::widthFor(arrivalAppearance::labelWidth(m_pill->state()))),
                     BridgeArrivalPill::pillHeight);
    const qreal slide = ui::reduceMotion(m_panel) ? 0 : (1 - m_presence.value()) * slideDistance;
    const int x = (m_panel->width() - size.width()) / 2;
    const int y = m_panel->height() - bottomSpace - size.height() + qRound(slide);
    m_pill->setGeometry(QRect(QPoint(x, y), size));
    m_pill->raise();
}

} // namespace vantora

#include "onboarding/BridgeOnboarding.h"

#include "onboarding/OnboardingAttempt.h"
#include "onboarding/OnboardingTexts.h"
#include "store/HalvetStore.h"

#include <memory>

namespace vantora {

namespace {

// The attempt lives in the frame of the task that runs it.
runtime::Task<void> searchAttempt(std::unique_ptr<OnboardingAttempt> attempt)
{
    co_await attempt->search();
}

runtime::Task<void> connectionAttempt(std::unique_ptr<OnboardingAttempt> attempt, QString address)
{
    co_await attempt->connect(std::move(address));
}

} // namespace

BridgeOnboarding::BridgeOnboarding(HalvetStore &store, Mode mode, PreviewResult previewResult, BridgeSearch search,
                                   runtime::Clock &clock, runtime::Executor &executor, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_clock(clock)
    , m_setup{mode, previewResult, std::move(search)}
    , m_state([this](OnboardingProperty property) { announce(property); })
    , m_tasks(executor)
{
}

BridgeOnboarding::~BridgeOnboarding() = default;

void BridgeOnboarding::announce(OnboardingProperty property)
{
    switch (property) {
    case OnboardingProperty::phase:
        Q_EMIT phaseChanged();
        return;
    case OnboardingProperty::bridges:
        Q_EMIT bridgesChanged();
        return;
    case OnboardingProperty::failureTitle:
        Q_EMIT failureTitleChanged();
        return;
    case OnboardingProperty::failureMessage:
        Q_EMIT failureMessageChanged();
        return;
    case OnboardingProperty::selectedBridge:
        Q_EMIT selectedBridgeChanged();
        return;
    case OnboardingProperty::retryAddress:
        Q_EMIT retryAddressChanged();
        return;
    case OnboardingProperty::isRecovering:
        Q_EMIT isRecoveringChanged();
        return;
    case OnboardingProperty::awaitsFirstLights:
        Q_EMIT awaitsFirstLightsChanged();
        return;
    }
    Q_UNREACHABLE();
}

bool BridgeOnboarding::mayStartAttempt() const
{
    return !isWorkingPhase(phase()) && !m_store.isWorking()
        && (!m_store.isConnected() || m_store.needsConnectionRecovery() || isPreview());
}

void BridgeOnboarding::start()
{
    if (!mayStartAttempt())
        return;
    m_state.awaitsFirstLights.set(false);
    m_state.retryAddress.set(std::nullopt);
    m_state.bridges.set({});
    m_state.selectedBridge.set(std::nullopt);
    m_store.cancelPreparation();
    m_state.phase.set(Phase::searching);
    // An earlier attempt has finished or is unwinding from its cancellation; it is let go.
    m_attempt = m_tasks.spawn(searchAttempt(std::make_unique<OnboardingAttempt>(m_state, m_store, m_setup, m_clock)));
}

void BridgeOnboarding::useAddress(const QString &address)
{
    if (!mayStartAttempt())
        return;
    if (isPreview()) {
        start();
        return;
    }
    m_state.phase.set(Phase::connecting);
    m_attempt = m_tasks.spawn(
        connectionAttempt(std::make_unique<OnboardingAttempt>(m_state, m_store, m_setup, m_clock), address));
}

void BridgeOnboarding::retry()
{
    if (const std::optional<QString> address = retryAddress())
        useAddress(*address);
    else
        start();
}

bool BridgeOnboarding::savedConnectionIsLocked() const
{
    return m_store.savedConnectionIsLocked();
}

void BridgeOnboarding::readSavedConnectionAgain()
{
    m_tasks.spawn([](HalvetStore &store) -> runtime::Task<void> { co_await store.readSavedConnectionAgain(); }(m_store));
}

void BridgeOnboarding::cancel()
{
    m_attempt.cancel();
}

void BridgeOnboarding::resetForNewConnection()
{
    if (m_store.isConnected())
        return;
    std::exchange(m_attempt, {}).cancel();
    m_state.bridges.set({});
    m_state.selectedBridge.set(std::nullopt);
    m_state.retryAddress.set(std::nullopt);
    m_state.isRecovering.set(false);
    m_state.awaitsFirstLights.set(false);
    m_state.phase.set(Phase::ready);
}

void BridgeOnboarding::prepareForRecovery()
{
    if (!m_store.needsConnectionRecovery() || isWorkingPhase(phase()))
        return;
    m_state.phase.set(Phase::ready);
    m_state.retryAddress.set(std::nullopt);
    m_state.selectedBridge.set(std::nullopt);
}

bool BridgeOnboarding::showsConnectScreen() const
{
    return (!m_store.isConnected() && !m_store.awaitsSavedConnection()) || m_store.needsConnectionRecovery() || isRecovering()
        || (isPreview() && phase() != Phase::complete);
}

std::optional<BridgeOnboarding::Arrival> BridgeOnboarding::arrival() const
{
    const bool healthyFirstConnection = awaitsFirstLights() && m_store.isConnected()
        && !m_store.needsConnectionRecovery() && !m_store.errorMessage() && !m_store.unexpectedIssue();
    if (!healthyFirstConnection)
        return std::nullopt;
    if (m_store.hasVerifiedConnection())
        return Arrival::connected;
    if (m_store.isWorking())
        return Arrival::loading;
    return std::nullopt;
}

QString BridgeOnboarding::failureLabel() const
{
    const std::optional<AppFailureKind> kind = m_store.failureKind();
    if (!kind)
        return onboardingTexts::couldNotConnectLabel();
    switch (*kind) {
    case AppFailureKind::connection:
        return onboardingTexts::couldNotConnectLabel();
    case AppFailureKind::pairing:
        return onboardingTexts::notPairedLabel();
    case AppFailureKind::invalidAddress:
        return onboardingTexts::checkAddressLabel();
    case AppFailureKind::unexpected:
        return onboardingTexts::couldNotContinueLabel();
    }
    Q_UNREACHABLE();
}

bool BridgeOnboarding::isUnexpectedFailure() const
{
    return m_store.failureKind() == AppFailureKind::unexpected;
}

} // namespace vantora

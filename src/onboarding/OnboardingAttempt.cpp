#include "onboarding/OnboardingAttempt.h"

#include "bridge/HueError.h"
#include "onboarding/OnboardingTexts.h"
#include "runtime/ExternalWait.h"
#include "store/HalvetStore.h"

#include <QObject>

using namespace std::chrono_literals;

namespace vantora {

namespace {

constexpr runtime::Duration previewSearchTime = 1s;
constexpr runtime::Duration previewPairingTime = 2s;

// The bridge a preview pretends to find and pair.
DiscoveredBridge previewBridge()
{
    return {QStringLiteral("preview"), QStringLiteral("Hue Bridge"), QStringLiteral("192.168.1.20")};
}

// The store lets go of a cancelled operation's waiter at once and unwinds the operation on
// a later turn. This waits for that turn, so that whatever the attempt does next (dropping
// the pending bridge above all, which the store refuses while it works) finds the store at
// rest. It cannot be interrupted: it only runs because the attempt is being cancelled, and
// it ends as soon as the store has put its flags back.
runtime::Task<void> connectionWorkEnded(HalvetStore &store)
{
    if (!store.isManagingConnection())
        co_return;
    // Owns the signal connection, which then goes with this frame however the wait ends.
    QObject connectionOwner;
    co_await runtime::ExternalWait<void>(
        [&store, &connectionOwner](runtime::Completer<void> done) {
            QObject::connect(&store, &HalvetStore::isManagingConnectionChanged, &connectionOwner, [&store, done] {
                if (!store.isManagingConnection())
                    done.resolve();
            });
        },
        {}, runtime::CancelMode::Uninterruptible);
}

} // namespace

OnboardingAttempt::OnboardingAttempt(OnboardingState &state, HalvetStore &store, const OnboardingSetup &setup,
                                     runtime::Clock &clock)
    : m_state(state)
    , m_store(store)
    , m_setup(setup)
    , m_clock(clock)
    , m_tag(++state.newestAttempt)
{
}

runtime::Task<void> OnboardingAttempt::search()
{
    if (m_setup.isPreview()) {
        co_await runPreviewScript();
        co_return;
    }
    if (m_store.connection()) {
        co_await recoverSavedConnection(std::nullopt);
        co_return;
    }

    std::vector<DiscoveredBridge> found;
    std::exception_ptr failure;
    try {
        found = co_await m_setup.search();
        write(m_state.bridges, found);
        co_await runtime::checkCancellation();
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) {
        handleSearchFailure(failure);
        co_return;
    }

    if (found.size() == 1)
        co_await connectNewBridge(found.front().address);
    else if (found.empty())
        fail(OnboardingPhase::notFound, onboardingTexts::noBridgeFound(), onboardingTexts::sameNetworkAdvice());
    else
        write(m_state.phase, OnboardingPhase::choosingBridge);
}

runtime::Task<void> OnboardingAttempt::connect(QString address)
{
    if (m_store.connection())
        co_await recoverSavedConnection(std::move(address));
    else
        co_await connectNewBridge(std::move(address));
}

runtime::Task<void> OnboardingAttempt::connectNewBridge(QString address)
{
    write(m_state.retryAddress, address);
    write(m_state.phase, OnboardingPhase::connecting);
    co_await untilStoreFinishes(m_store.prepareConnection(address));

    const bool cancelledWhileChecking = co_await runtime::isCancelled();
    if (cancelledWhileChecking) {
        settleAfterCancellation();
        co_return;
    }
    if (!m_store.pendingBridge() || !m_store.pendingAddress()) {
        // Without a message the check never ran, for instance because the store was busy.
        if (m_store.errorMessage())
            fail(OnboardingPhase::failed, onboardingTexts::couldNotConnect(), *m_store.errorMessage());
        else
            settleAfterCancellation();
        co_return;
    }

    selectPendingBridge();
    write(m_state.awaitsFirstLights, true);
    write(m_state.phase, OnboardingPhase::pairing);
    co_await untilStoreFinishes(m_store.pair());

    // Connected counts even when the attempt was cancelled while the first lights loaded.
    if (m_store.isConnected()) {
        finishConnected();
        co_return;
    }
    const bool cancelledWhilePairing = co_await runtime::isCancelled();
    if (cancelledWhilePairing || !m_store.errorMessage())
        settleAfterCancellation();
    else
        fail(OnboardingPhase::failed, onboardingTexts::bridgeNotConnected(), *m_store.errorMessage());
}

runtime::Task<void> OnboardingAttempt::recoverSavedConnection(std::optional<QString> address)
{
    write(m_state.isRecovering, true);
    write(m_state.retryAddress, address);
    write(m_state.phase, OnboardingPhase::connecting);
    co_await reconnectAndRepair(std::move(address));
    write(m_state.isRecovering, false);
}

runtime::Task<void> OnboardingAttempt::reconnectAndRepair(std::optional<QString> address)
{
    co_await untilStoreFinishes(m_store.reconnect(std::move(address), Rediscovery::off));
    const bool cancelledWhileReconnecting = co_await runtime::isCancelled();
    if (cancelledWhileReconnecting) {
        settleAfterCancellation();
        co_return;
    }

    // The bridge proved to be the saved one but refused its key: pair with it again.
    if (m_store.requiresAuthorization() && m_store.pendingBridge() && m_store.pendingAddress()) {
        selectPendingBridge();
        write(m_state.phase, OnboardingPhase::pairing);
        co_await untilStoreFinishes(m_store.pair());
        const bool cancelledWhilePairing = co_await runtime::isCancelled();
        if (cancelledWhilePairing) {
            settleAfterCancellation();
            co_return;
        }
    }

    if (m_store.hasVerifiedConnection() && !m_store.needsConnectionRecovery())
        finishConnected();
    else
        fail(OnboardingPhase::failed, onboardingTexts::bridgeNotConnected(),
             m_store.errorMessage().value_or(onboardingTexts::pressTheButton()));
}

runtime::Task<void> OnboardingAttempt::runPreviewScript()
{
    std::exception_ptr failure;
    try {
        co_await m_clock.sleepFor(previewSearchTime);
        switch (m_setup.previewResult) {
        case OnboardingPreviewResult::lights:
            write(m_state.selectedBridge, previewBridge());
            write(m_state.phase, OnboardingPhase::pairing);
            co_await m_clock.sleepFor(previewPairingTime);
            write(m_state.awaitsFirstLights, true);
            write(m_state.phase, OnboardingPhase::complete);
            break;
        case OnboardingPreviewResult::notFound:
            fail(OnboardingPhase::notFound, onboardingTexts::noBridgeFound(), onboardingTexts::sameNetworkAdvice());
            break;
        case OnboardingPreviewResult::unexpectedError:
            recordDiscoveryFailure(std::make_exception_ptr(HueError::invalidResponse()));
            fail(OnboardingPhase::failed, onboardingTexts::somethingWentWrong(), onboardingTexts::unexpectedResponse());
            break;
        }
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure)
        handleSearchFailure(failure);
}

runtime::Task<void> OnboardingAttempt::untilStoreFinishes(runtime::Task<void> storeOperation)
{
    if (!isNewest())
        co_return;
    bool cancelled = false;
    try {
        co_await std::move(storeOperation);
    } catch (const runtime::CancellationError &) {
        cancelled = true;
    }
    if (cancelled)
        co_await connectionWorkEnded(m_store);
}

void OnboardingAttempt::handleSearchFailure(const std::exception_ptr &error)
{
    if (HalvetStore::isCancellation(error)) {
        settleAfterCancellation();
        return;
    }
    recordDiscoveryFailure(error);
    fail(OnboardingPhase::failed, onboardingTexts::couldNotFindBridge(), HalvetStore::describe(error));
}

void OnboardingAttempt::settleAfterCancellation()
{
    if (!isNewest())
        return;
    m_store.cancelPreparation();
    const bool connected = m_store.isConnected() && !m_store.needsConnectionRecovery() && !m_setup.isPreview();
    m_state.phase.set(connected ? OnboardingPhase::complete : OnboardingPhase::ready);
}

void OnboardingAttempt::selectPendingBridge()
{
    const BridgeInfo &bridge = *m_store.pendingBridge();
    // Lists hold bridge ids in lower case, whatever case the bridge reports.
    write(m_state.selectedBridge,
          DiscoveredBridge{bridge.bridgeid.toLower(), bridge.name, m_store.pendingAddress()->host});
}

void OnboardingAttempt::finishConnected()
{
    if (!isNewest())
        return;
    m_store.setNotice(std::nullopt);
    m_state.phase.set(OnboardingPhase::complete);
}

void OnboardingAttempt::fail(OnboardingPhase phase, QString title, QString message)
{
    write(m_state.failureTitle, std::move(title));
    write(m_state.failureMessage, std::move(message));
    write(m_state.phase, phase);
}

void OnboardingAttempt::recordDiscoveryFailure(const std::exception_ptr &error)
{
    if (isNewest())
        m_store.recordFailure(error, AppIssue::Operation::discovery);
}

} // namespace vantora

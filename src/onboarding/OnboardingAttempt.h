#pragma once

#include "onboarding/OnboardingSetup.h"
#include "onboarding/OnboardingState.h"
#include "runtime/Clock.h"
#include "runtime/Task.h"

#include <QString>

#include <cstdint>
#include <exception>
#include <optional>
#include <type_traits>

namespace vantora {

class HalvetStore;

// One search or connection attempt of the onboarding: it drives the store's connection
// operations, reads the outcome from the store's state and moves the onboarding's phase
// on. It never throws: failures end in `failed` or `notFound` with their texts, and a
// cancelled attempt settles back to `ready` (or `complete`, when the store is connected and
// healthy outside a preview) without showing anything.
//
// Making an attempt makes it the newest. Once a newer one has been made, this one changes
// nothing any more, neither in the onboarding nor in the store, so that an attempt still
// unwinding from a cancellation cannot overwrite what the newer one shows.
class OnboardingAttempt final {
public:
    OnboardingAttempt(OnboardingState &state, HalvetStore &store, const OnboardingSetup &setup,
                      runtime::Clock &clock);
    OnboardingAttempt(const OnboardingAttempt &) = delete;
    OnboardingAttempt &operator=(const OnboardingAttempt &) = delete;

    // Reconnects to the saved bridge when the store holds one (outside a preview); runs the
    // preview's script in a preview; otherwise searches, connects to a single bridge found,
    // and offers several for choosing.
    runtime::Task<void> search();

    // Connects to the bridge at `address`, taken exactly as given: the saved bridge, when
    // the store holds one, else a new bridge.
    runtime::Task<void> connect(QString address);

private:
    runtime::Task<void> connectNewBridge(QString address);
    // Without an address, at the saved one.
    runtime::Task<void> recoverSavedConnection(std::optional<QString> address);
    runtime::Task<void> reconnectAndRepair(std::optional<QString> address);
    runtime::Task<void> runPreviewScript();
    // Awaits a store operation until the store has finished it, even when the attempt is
    // cancelled meanwhile. Never throws.
    runtime::Task<void> untilStoreFinishes(runtime::Task<void> storeOperation);

    void handleSearchFailure(const std::exception_ptr &error);
    void settleAfterCancellation();
    void selectPendingBridge();
    void finishConnected();
    void fail(OnboardingPhase phase, QString title, QString message);
    void recordDiscoveryFailure(const std::exception_ptr &error);

    bool isNewest() const { return m_state.newestAttempt == m_tag; }

    template <typename T>
    void write(runtime::Property<T> &property, std::type_identity_t<T> value)
    {
        if (isNewest())
            property.set(std::move(value));
    }

    OnboardingState &m_state;
    HalvetStore &m_store;
    const OnboardingSetup &m_setup;
    runtime::Clock &m_clock;
    const std::uint64_t m_tag;
};

} // namespace vantora

#pragma once

#include "bridge/DiscoveredBridge.h"
#include "onboarding/OnboardingPhase.h"
#include "onboarding/OnboardingSetup.h"
#include "onboarding/OnboardingState.h"
#include "runtime/Clock.h"
#include "runtime/Executor.h"
#include "runtime/TaskScope.h"

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

namespace vantora {

class HalvetStore;

// The first connection to a bridge, and the recovery of a lost one, as a state machine the
// welcome screens show. It searches for bridges, connects at once when exactly one is
// found, lets the user choose among several, accepts a typed address, and has the store
// check and pair the bridge; with a saved connection that needs recovery it reconnects to
// the saved bridge instead of searching, and pairs again when the bridge refused the saved
// key. Every bridge operation is the store's; this class only reads the store's state to
// decide the next phase. In a preview it runs a scripted outcome and touches no network.
//
// Properties announce a real change only, right after the value is stored. The derived
// values (showsConnectScreen, arrival, isRunning, failureLabel, isUnexpectedFailure) have
// no signals: they follow this object's and the store's properties. Main thread only; the
// store must outlive this object.
//
// One attempt runs at a time, as a task this object owns: start() and useAddress() do
// nothing while a working phase holds, while the store works, or while the store holds a
// healthy connection outside a preview. They set the working phase before they return, so
// two calls in a row start one attempt. No failure reaches the caller: failures end in
// `failed` or `notFound` with a title and a message, and cancellation settles back to
// `ready` (or `complete`) without showing anything.
class BridgeOnboarding final : public QObject {
    Q_OBJECT

public:
    using Phase = OnboardingPhase;
    using Mode = OnboardingMode;
    using PreviewResult = OnboardingPreviewResult;

    // What the arrival pill shows after a first connection.
    enum class Arrival {
        // The first lights are being loaded.
        loading,
        // The connection is verified.
        connected,
    };

    // `search` is asked afresh for every search; it runs on the main thread and may throw.
    // `previewResult` matters only in a preview.
    BridgeOnboarding(HalvetStore &store, Mode mode, PreviewResult previewResult, BridgeSearch search,
                     runtime::Clock &clock = runtime::systemClock(),
                     runtime::Executor &executor = runtime::mainExecutor(), QObject *parent = nullptr);
    // Drops a running attempt without resuming it; the store's own operations carry on.
    ~BridgeOnboarding() override;

    Phase phase() const { return *m_state.phase; }
    // The bridges of the last search, in the order the search returned them.
    const std::vector<DiscoveredBridge> &bridges() const { return *m_state.bridges; }
    // The last failure's texts, for `failed` and `notFound`; kept until the next failure.
    const QString &failureTitle() const { return *m_state.failureTitle; }
    const QString &failureMessage() const { return *m_state.failureMessage; }
    // The bridge being paired, as the store read its identity.
    const std::optional<DiscoveredBridge> &selectedBridge() const { return *m_state.selectedBridge; }
    // The address of the last connection attempt, exactly as given; retry() uses it.
    const std::optional<QString> &retryAddress() const { return *m_state.retryAddress; }
    // A reconnection to the saved bridge runs.
    bool isRecovering() const { return *m_state.isRecovering; }
    // A new bridge is being paired, or was paired by the last attempt; the arrival pill
    // follows it.
    bool awaitsFirstLights() const { return *m_state.awaitsFirstLights; }
    void setAwaitsFirstLights(bool awaits) { m_state.awaitsFirstLights.set(awaits); }

    bool isPreview() const { return m_setup.isPreview(); }
    PreviewResult previewResult() const { return m_setup.previewResult; }

    // Starts a search attempt: reconnects when the store holds a saved connection (outside a
    // preview), else searches. Clears the last search's bridges, the selected bridge, the
    // retry address, the arrival and the store's pending bridge first. Returns at once.
    void start();
    // Starts a connection attempt to the address, given exactly as typed or found (the store
    // trims it): reconnects when the store holds a saved connection, else checks and pairs a
    // new bridge. A preview searches instead. Keeps the bridges found, the selected bridge
    // and the arrival. Returns at once.
    void useAddress(const QString &address);
    // useAddress() with the last address tried; start() when there is none.
    void retry();
    // The store's saved connection is there but locked in the keyring: pairing replaces it.
    bool savedConnectionIsLocked() const;
    // Has the store read its saved connection again, where the keyring left it unread (see
    // HalvetStore::readSavedConnectionAgain); the keyring may ask to be unlocked first.
    // Returns at once.
    void readSavedConnectionAgain();
    // Cancels the running attempt, which then settles on its own. Changes nothing else.
    void cancel();
    // After the store forgot its bridge: drops any attempt (cancelled) and returns to `ready`
    // at once, keeping the failure texts. Does nothing while the store is connected.
    void resetForNewConnection();
    // Returns to `ready` when the store needs its connection recovered and no attempt runs;
    // otherwise does nothing.
    void prepareForRecovery();
    void dismissArrival() { setAwaitsFirstLights(false); }

    // Whether the welcome screen stands in for the lights: the store is not connected (and
    // does not await its saved connection) or needs recovery, a recovery runs, or a preview
    // has not completed.
    bool showsConnectScreen() const;
    // None unless a new bridge awaits its first lights and the store is connected, healthy
    // and shows no failure: then `connected` once the connection is verified, `loading`
    // while the store still works, otherwise none.
    std::optional<Arrival> arrival() const;
    // A working phase holds.
    bool isRunning() const { return isWorkingPhase(phase()); }
    // The short label of the store's failure kind.
    QString failureLabel() const;
    bool isUnexpectedFailure() const;

Q_SIGNALS:
    void phaseChanged();
    void bridgesChanged();
    void failureTitleChanged();
    void failureMessageChanged();
    void selectedBridgeChanged();
    void retryAddressChanged();
    void isRecoveringChanged();
    void awaitsFirstLightsChanged();

private:
    void announce(OnboardingProperty property);
    bool mayStartAttempt() const;

    HalvetStore &m_store;
    runtime::Clock &m_clock;
    const OnboardingSetup m_setup;
    OnboardingState m_state;
    runtime::TaskHandle<void> m_attempt;
    // Last: destroyed first, so no attempt outlives what it works on.
    runtime::TaskScope m_tasks;
};

} // namespace vantora

#include "store/PowerSwitching.h"

#include "store/FailureClassification.h"
#include "store/FailureRecorder.h"
#include "store/LightWorkers.h"
#include "store/StoreServices.h"
#include "store/StoreState.h"

#include <QCoreApplication>

namespace vantora {

PowerSwitching::PowerSwitching(StoreState &state, StoreServices &services, FailureRecorder &failures,
                               LightWorkers &workers, runtime::Clock &clock)
    : m_state(state)
    , m_services(services)
    , m_failures(failures)
    , m_workers(workers)
    , m_clock(clock)
{
}

QString PowerSwitching::unavailableLightsNotice()
{
    return QCoreApplication::translate("vantora::HalvetStore",
                                       "Unavailable lights couldn’t be changed. Check their power and connection.");
}

runtime::Task<void> PowerSwitching::setPower(std::optional<QString> roomID, bool on)
{
    if (m_state.controlsLocked() || *m_state.needsConnectionRecovery)
        co_return;

    QSet<QString> reachableIDs;
    bool missesUnreachableLights = false;
    for (const HueLight &light : m_state.snapshot->lights) {
        if (roomID && light.roomID != *roomID)
            continue;
        if (light.isReachable)
            reachableIDs.insert(light.id);
        else
            missesUnreachableLights = true;
    }
    if (reachableIDs.isEmpty())
        co_return;
    m_state.notice.set(std::nullopt);

    if (m_services.isDemo()) {
        switchLights(reachableIDs, on);
        ++m_state.revision;
        m_state.lastUpdated.set(m_clock.wallNow());
        m_failures.clear();
        if (missesUnreachableLights)
            m_state.notice.set(unavailableLightsNotice());
        co_return;
    }
    if (!m_state.connection->has_value())
        co_return;

    const BridgeConnection connection = **m_state.connection;
    m_state.isChangingPower.set(true);
    ++m_state.revision;
    // A light change that fails while this one waits for it must stay visible, so that it
    // can be tried again; only what failed before is cleared by this success.
    const qint64 failureRevision = m_state.failureRevision;
    // The workers are not cancelled: each ends after its current request, which the bridge
    // then carries out before this one.
    m_workers.dropWaitingChanges(reachableIDs);
    for (const runtime::TaskHandle<void> &worker : m_workers.running())
        co_await worker.join();

    std::exception_ptr failure;
    try {
        co_await runtime::checkCancellation();
        const std::shared_ptr<LightService> service = m_services.serviceFactory(connection);
        co_await send(*service, roomID, on);
        switchLights(reachableIDs, on);
        m_failures.clear(failureRevision);
        m_state.hasVerifiedConnection.set(true);

        HueSnapshot reloaded = co_await service->snapshot();
        m_state.snapshot.setAlways(std::move(reloaded));
        m_state.lastUpdated.set(m_clock.wallNow());
        if (missesUnreachableLights)
            m_state.notice.set(unavailableLightsNotice());
    } catch (...) {
        failure = std::current_exception();
    }
    if (failure) {
        if (!FailureClassification(failure).isCancellation())
            co_await reloadAfterFailure(connection);
        const auto operation = roomID ? AppIssue::Operation::roomPower
            : on                      ? AppIssue::Operation::allOn
                                      : AppIssue::Operation::allOff;
        m_failures.record(failure, operation);
    }
    m_state.isChangingPower.set(false);
    ++m_state.revision;
}

runtime::Task<void> PowerSwitching::send(LightService &service, const std::optional<QString> &roomID, bool on)
{
    if (roomID) {
        HueSnapshot roomLights;
        for (const HueLight &light : m_state.snapshot->lights) {
            if (light.roomID == *roomID)
                roomLights.lights.push_back(light);
        }
        co_await service.setPower(std::move(roomLights), on);
    } else if (on) {
        co_await service.setPower(*m_state.snapshot, true);
    } else {
        co_await service.allOff(*m_state.snapshot);
    }
}

runtime::Task<void> PowerSwitching::reloadAfterFailure(BridgeConnection connection)
{
    // Shows what the bridge really did; the failure being handled is what the user is told,
    // so a failure of this attempt is left unsaid.
    try {
        const std::shared_ptr<LightService> service = m_services.serviceFactory(connection);
        HueSnapshot reloaded = co_await service->snapshot();
        m_state.snapshot.setAlways(std::move(reloaded));
        m_state.lastUpdated.set(m_clock.wallNow());
    } catch (...) {
    }
}

void PowerSwitching::switchLights(const QSet<QString> &lightIDs, bool on)
{
    m_state.snapshot.mutate([&](HueSnapshot &snapshot) {
        for (HueLight &light : snapshot.lights) {
            if (lightIDs.contains(light.id))
                light.isOn = on;
        }
    });
}

} // namespace vantora

#include "store/LightWorkers.h"

#include "store/FailureRecorder.h"
#include "store/StoreServices.h"
#include "store/StoreState.h"

#include <algorithm>

namespace vantora {

LightWorkers::LightWorkers(StoreState &state, StoreServices &services, FailureRecorder &failures,
                           runtime::Clock &clock, runtime::TaskScope &tasks)
    : m_state(state)
    , m_services(services)
    , m_failures(failures)
    , m_clock(clock)
    , m_tasks(tasks)
{
}

std::optional<runtime::TaskHandle<void>> LightWorkers::apply(const LightChange &change, const QString &lightID)
{
    if (m_state.controlsLocked() || *m_state.needsConnectionRecovery)
        return std::nullopt;
    const std::vector<HueLight> &lights = m_state.snapshot->lights;
    const auto light = std::find_if(lights.begin(), lights.end(),
                                    [&lightID](const HueLight &candidate) { return candidate.id == lightID; });
    if (light == lights.end() || !light->isReachable)
        return std::nullopt;

    LightChange wanted;
    try {
        wanted = change.validated(*light);
    } catch (...) {
        m_failures.record(std::current_exception(), AppIssue::Operation::adjustLight, lightID);
        return std::nullopt;
    }
    if (wanted.isEmpty())
        return std::nullopt;

    if (m_services.isDemo()) {
        m_state.patchLight(lightID, wanted);
        m_state.lastUpdated.set(m_clock.wallNow());
        m_failures.clear();
        return std::nullopt;
    }
    if (!m_state.connection->has_value())
        return std::nullopt;

    const auto [waiting, isFirst] = m_waitingChanges.try_emplace(lightID, wanted);
    if (!isFirst)
        waiting->second = waiting->second.merging(wanted);
    if (const auto running = m_workers.find(lightID); running != m_workers.end())
        return running->second;

    m_state.updatingLightIDs.mutate([&lightID](QSet<QString> &ids) { ids.insert(lightID); });
    ++m_state.revision;
    m_state.notice.set(std::nullopt);
    const runtime::TaskHandle<void> worker = m_tasks.spawn(work(lightID, **m_state.connection, m_state.generation));
    m_workers.emplace(lightID, worker);
    return worker;
}

runtime::Task<void> LightWorkers::update(QString lightID, LightChange change)
{
    co_await runtime::checkCancellation();
    const std::optional<runtime::TaskHandle<void>> worker = apply(change, lightID);
    if (worker)
        co_await worker->join();
}

void LightWorkers::dropWaitingChanges(const QSet<QString> &lightIDs)
{
    for (const QString &lightID : lightIDs)
        m_waitingChanges.erase(lightID);
}

std::vector<runtime::TaskHandle<void>> LightWorkers::running() const
{
    std::vector<runtime::TaskHandle<void>> workers;
    workers.reserve(m_workers.size());
    for (const auto &[lightID, worker] : m_workers)
        workers.push_back(worker);
    return workers;
}

runtime::Task<void> LightWorkers::work(QString lightID, BridgeConnection connection, QUuid generation)
{
    while (true) {
        const auto waiting = m_waitingChanges.find(lightID);
        if (waiting == m_waitingChanges.end())
            break;
        const LightChange change = waiting->second;
        m_waitingChanges.erase(waiting);
        const qint64 failureRevision = m_state.failureRevision;

        std::exception_ptr failure;
        try {
            co_await runtime::checkCancellation();
            // A fresh service per request, released as soon as the bridge has answered.
            const std::shared_ptr<LightService> service = m_services.serviceFactory(connection);
            co_await service->updateLight(lightID, change);
        } catch (...) {
            failure = std::current_exception();
        }
        // The bridge answered for a connection that is no longer ours.
        if (m_state.generation != generation)
            break;
        if (!failure) {
            m_state.patchLight(lightID, change);
            m_state.hasVerifiedConnection.set(true);
            // A failure that something else recorded during the request stays visible.
            m_failures.clear(failureRevision);
        } else {
            const auto operation =
                change.hasAdjustments() ? AppIssue::Operation::adjustLight : AppIssue::Operation::toggle;
            m_failures.record(failure, operation, lightID, change);
            if (*m_state.needsConnectionRecovery)
                break;
        }

        if (change.hasAdjustments()) {
            try {
                co_await m_clock.sleepFor(adjustmentPause);
            } catch (const runtime::CancellationError &) {
                break;
            }
        }
    }
    finish(lightID);
}

void LightWorkers::finish(const QString &lightID)
{
    m_workers.erase(lightID);
    // Whatever still waits belongs to a connection that is gone or needs recovery first.
    m_waitingChanges.erase(lightID);
    m_state.updatingLightIDs.mutate([&lightID](QSet<QString> &ids) { ids.remove(lightID); });
    ++m_state.revision;
}

} // namespace vantora

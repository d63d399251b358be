#pragma once

#include "bridge/BridgeConnection.h"
#include "bridge/LightChange.h"
#include "runtime/Clock.h"
#include "runtime/TaskScope.h"

#include <QSet>
#include <QString>
#include <QUuid>

#include <chrono>
#include <map>
#include <optional>
#include <vector>

namespace vantora {

class FailureRecorder;
struct StoreServices;
struct StoreState;

// Sends the changes of single lights, one request per light at a time. Changes asked for
// while a light's request runs wait, merged into one newest wanted change, and go out as one
// request once the bridge has answered; after a brightness, colour or temperature the
// light's worker pauses before it sends again, so a dragged slider costs the bridge a few
// requests, not one per step. Nothing is shown before the bridge accepts it. While a
// light's worker runs, its id stands in the store's updating lights.
class LightWorkers final {
public:
    // How long a light rests after an adjustment before its next request; switching a light
    // on or off never waits.
    static constexpr std::chrono::milliseconds adjustmentPause{250};

    // Workers are spawned in `tasks`, which must outlive every worker's use of this unit.
    LightWorkers(StoreState &state, StoreServices &services, FailureRecorder &failures, runtime::Clock &clock,
                 runtime::TaskScope &tasks);

    // Asks for `change` of the light with `lightID`, checked against that light as the
    // snapshot holds it. Returns the light's worker, to be joined by whoever waits for the
    // change; none when the change was refused, failed its check (recorded as a failed
    // adjustment of that light), was empty, or a demonstration store applied it at once.
    // Refused silently: while connection work, a power change or a recovery is pending, for
    // a light the snapshot lacks or cannot reach, and without a connection. A running
    // refresh does not refuse a change; its answer is dropped instead.
    std::optional<runtime::TaskHandle<void>> apply(const LightChange &change, const QString &lightID);

    // Applies `change` and waits until the light's worker has finished, or returns at once
    // when nothing was started. A task cancelled before it began changes nothing; the
    // worker itself is never cancelled, since it may carry changes others wait for too.
    runtime::Task<void> update(QString lightID, LightChange change);

    // Forgets the changes still waiting for the lights in `lightIDs`; their workers end
    // after their current request without sending them.
    void dropWaitingChanges(const QSet<QString> &lightIDs);

    // Every worker that runs now, in light id order.
    std::vector<runtime::TaskHandle<void>> running() const;

private:
    runtime::Task<void> work(QString lightID, BridgeConnection connection, QUuid generation);
    void finish(const QString &lightID);

    StoreState &m_state;
    StoreServices &m_services;
    FailureRecorder &m_failures;
    runtime::Clock &m_clock;
    runtime::TaskScope &m_tasks;
    std::map<QString, runtime::TaskHandle<void>> m_workers;
    // The newest wanted change of each light that its worker has not taken yet.
    std::map<QString, LightChange> m_waitingChanges;
};

} // namespace vantora

#include "store/RoomBrightness.h"

#include "store/LightWorkers.h"
#include "store/StoreState.h"

#include <algorithm>
#include <cmath>

namespace vantora {

RoomBrightness::RoomBrightness(StoreState &state, LightWorkers &workers)
    : m_state(state)
    , m_workers(workers)
{
}

runtime::Task<void> RoomBrightness::setRoomBrightness(QString roomID, double brightness)
{
    if (!std::isfinite(brightness) || m_state.controlsLocked() || *m_state.needsConnectionRecovery)
        co_return;
    const std::vector<LightRoom> rooms = m_state.snapshot->rooms();
    const auto room =
        std::find_if(rooms.begin(), rooms.end(), [&roomID](const LightRoom &candidate) { return candidate.id == roomID; });
    if (room == rooms.end())
        co_return;

    const LightChange change{.brightness = std::min(std::max(brightness, room->minimumBrightness()), 100.0)};
    std::vector<runtime::TaskHandle<void>> workers;
    for (const HueLight &light : room->brightnessLights()) {
        if (std::optional<runtime::TaskHandle<void>> worker = m_workers.apply(change, light.id))
            workers.push_back(std::move(*worker));
    }
    for (const runtime::TaskHandle<void> &worker : workers)
        co_await worker.join();
}

} // namespace vantora

#pragma once

#include "runtime/Task.h"

#include <QString>

namespace vantora {

class LightWorkers;
struct StoreState;

// Dims the lit lights of one room to one brightness, through the lights' own workers, so
// that a dragged room slider is coalesced and paced light by light.
class RoomBrightness final {
public:
    RoomBrightness(StoreState &state, LightWorkers &workers);

    // Asks every light of the room `roomID` that is on, reachable and dimmable for
    // `brightness` percent, raised to the room's lowest allowed brightness and lowered to
    // 100; lights that are off stay off. Returns when every worker it started or joined has
    // finished. Does nothing for a brightness that is not a number or infinite, for a room
    // the snapshot lacks, or while connection work, a power change or a recovery is pending.
    // Failures of single lights are their workers' to record.
    runtime::Task<void> setRoomBrightness(QString roomID, double brightness);

private:
    StoreState &m_state;
    LightWorkers &m_workers;
};

} // namespace vantora

#pragma once

#include <QRectF>
#include <QString>

#include <map>

namespace vantora::ui {

// Where each room card is, by room id, in the coordinates of whoever collects them.
using RoomCardBounds = std::map<QString, QRectF>;

// Merges the next card's report into the collected bounds; a room reported again takes the
// later bounds.
inline void mergeRoomCardBounds(RoomCardBounds &collected, const RoomCardBounds &next)
{
    for (const auto &[room, bounds] : next)
        collected.insert_or_assign(room, bounds);
}

} // namespace vantora::ui

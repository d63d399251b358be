#pragma once

#include "bridge/BridgeConnection.h"
#include "bridge/LightRoom.h"
#include "runtime/Property.h"
#include "runtime/UserDefaults.h"

#include <QLatin1String>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vantora {

// Up to two favourite rooms per bridge, kept in user defaults and put first in room lists.
// Favourites are kept per bridge key, so those of one bridge survive pairing another and
// come back when the first is paired again. Every change is saved at once.
//
// Several panels live at once over the same defaults (the tray panel, the welcome window,
// the example windows), each with a RoomFavourites of its own. So each follows the stored
// value, and a change rewrites only its own bridge key over what is stored at that moment:
// no panel sees a stale choice, and none writes back another's old one.
class RoomFavourites final : public QObject {
    Q_OBJECT
public:
    // Bridge key -> favourite room ids in the order they were chosen.
    using Selections = QMap<QString, QStringList>;

    // A dictionary from bridge key to an array of room id strings, all keys in one value.
    static constexpr QLatin1String defaultsKey{"vantora.roomFavourites"};
    // The most favourites one bridge key holds.
    static constexpr int limit = 2;
    // The bridge keys of the demonstration store and of a store with no connection.
    static constexpr QLatin1String previewBridgeKey{"preview"};
    static constexpr QLatin1String unpairedBridgeKey{"unpaired"};

    // The key of a real store: its connection's bridge id, or unpairedBridgeKey.
    static QString bridgeKey(const std::optional<BridgeConnection> &connection);

    // Loads without writing anything back, then follows every change of the stored value. A
    // stored value that is not a dictionary whose values are all arrays of strings is
    // ignored as a whole; repeated ids are dropped (first occurrence kept) and longer lists
    // cut to `limit`.
    explicit RoomFavourites(runtime::UserDefaults &defaults, QObject *parent = nullptr);

    const Selections &selections() const noexcept { return *m_selections; }
    // Empty for a key with no entry.
    QStringList ids(const QString &bridgeKey) const;

    // Removes the room when it is a favourite, else adds it at the end. Returns false, and
    // changes and saves nothing, when the key already holds `limit` favourites. A key whose
    // last favourite is removed keeps an empty list.
    bool toggle(const QString &roomID, const QString &bridgeKey);

    // Drops the key's favourites that are not among `existingIDs`; saves and announces only
    // when that removed something.
    void prune(const QString &bridgeKey, const QSet<QString> &existingIDs);

    // `rooms` with the favourites first, in favourite order, then the others in their own
    // order. Favourite ids with no room are skipped.
    static std::vector<LightRoom> ordered(const std::vector<LightRoom> &rooms, const QStringList &favourites);

Q_SIGNALS:
    void selectionsChanged();

private:
    void replace(const QString &bridgeKey, QStringList ids);

    runtime::UserDefaults &m_defaults;
    runtime::Property<Selections> m_selections;
};

} // namespace vantora

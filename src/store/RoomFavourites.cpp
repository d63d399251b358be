#include "store/RoomFavourites.h"

#include <QVariantList>
#include <QVariantMap>

#include <algorithm>

namespace vantora {

namespace {

// Absent unless every element is a string: a list with anything else in it is not ours.
std::optional<QStringList> stringsOf(const QVariant &value)
{
    if (value.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    QStringList strings;
    for (const QVariant &item : value.toList()) {
        if (item.typeId() != QMetaType::QString)
            return std::nullopt;
        strings.append(item.toString());
    }
    return strings;
}

QStringList withoutRepeatsUpToLimit(const QStringList &ids)
{
    QStringList kept;
    for (const QString &id : ids) {
        if (kept.size() == RoomFavourites::limit)
            break;
        if (!kept.contains(id))
            kept.append(id);
    }
    return kept;
}

RoomFavourites::Selections loadSelections(const runtime::UserDefaults &defaults)
{
    const auto stored = defaults.dictionary(RoomFavourites::defaultsKey);
    if (!stored)
        return {};
    RoomFavourites::Selections selections;
    for (auto it = stored->begin(); it != stored->end(); ++it) {
        const auto ids = stringsOf(it.value());
        if (!ids)
            return {};
        selections.insert(it.key(), withoutRepeatsUpToLimit(*ids));
    }
    return selections;
}

QVariantMap storedForm(const RoomFavourites::Selections &selections)
{
    QVariantMap dictionary;
    for (auto it = selections.begin(); it != selections.end(); ++it) {
        QVariantList ids;
        for (const QString &id : it.value())
            ids.append(id);
        dictionary.insert(it.key(), ids);
    }
    return dictionary;
}

} // namespace

QString RoomFavourites::bridgeKey(const std::optional<BridgeConnection> &connection)
{
    return connection ? connection->bridgeID : QString(unpairedBridgeKey);
}

RoomFavourites::RoomFavourites(runtime::UserDefaults &defaults, QObject *parent)
    : QObject(parent)
    , m_defaults(defaults)
    , m_selections(loadSelections(defaults), [this] { Q_EMIT selectionsChanged(); })
{
    connect(&m_defaults, &runtime::UserDefaults::changed, this, [this](const QString &key) {
        if (key == defaultsKey)
            m_selections.set(loadSelections(m_defaults));
    });
}

QStringList RoomFavourites::ids(const QString &bridgeKey) const
{
    return m_selections->value(bridgeKey);
}

bool RoomFavourites::toggle(const QString &roomID, const QString &bridgeKey)
{
    QStringList list = ids(bridgeKey);
    if (list.contains(roomID))
        list.removeAll(roomID);
    else if (list.size() >= limit)
        return false;
    else
        list.append(roomID);
    replace(bridgeKey, std::move(list));
    return true;
}

void RoomFavourites::prune(const QString &bridgeKey, const QSet<QString> &existingIDs)
{
    const QStringList current = ids(bridgeKey);
    QStringList kept;
    std::copy_if(current.begin(), current.end(), std::back_inserter(kept),
                 [&existingIDs](const QString &id) { return existingIDs.contains(id); });
    if (kept == current)
        return;
    replace(bridgeKey, std::move(kept));
}

void RoomFavourites::replace(const QString &bridgeKey, QStringList ids)
{
    Selections next = loadSelections(m_defaults);
    next.insert(bridgeKey, std::move(ids));
    // Saved before it is announced, so an observer that reads user defaults sees the same;
    // the change notification of the write brings it into the selections.
    m_defaults.setDictionary(defaultsKey, storedForm(next));
}

std::vector<LightRoom> RoomFavourites::ordered(const std::vector<LightRoom> &rooms, const QStringList &favourites)
{
    std::vector<LightRoom> result;
    result.reserve(rooms.size());
    for (const QString &id : favourites) {
        const auto room = std::find_if(rooms.begin(), rooms.end(), [&id](const LightRoom &r) { return r.id == id; });
        if (room != rooms.end())
            result.push_back(*room);
    }
    for (const LightRoom &room : rooms) {
        if (!favourites.contains(room.id))
            result.push_back(room);
    }
    return result;
}

} // namespace vantora

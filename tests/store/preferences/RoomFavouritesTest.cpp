#include "store/RoomFavourites.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using vantora::LightRoom;
using vantora::RoomFavourites;
using vantora::runtime::MemoryUserDefaults;

namespace {

const QString bridge = QStringLiteral("ecb5fafffe123456");

QVariantMap storedWith(const QString &key, const QVariant &value)
{
    return QVariantMap{{QString(RoomFavourites::defaultsKey), QVariantMap{{key, value}}}};
}

QVariantList strings(std::initializer_list<const char *> ids)
{
    QVariantList list;
    for (const char *id : ids)
        list.append(QString::fromLatin1(id));
    return list;
}

// Favourites for `bridge` already stored in user defaults.
QVariantMap storedFavourites(std::initializer_list<const char *> ids)
{
    return storedWith(bridge, strings(ids));
}

int storedWrites(const MemoryUserDefaults &defaults)
{
    return defaults.writeCount(RoomFavourites::defaultsKey);
}

std::vector<QString> idsOf(const std::vector<LightRoom> &rooms)
{
    std::vector<QString> ids;
    for (const LightRoom &room : rooms)
        ids.push_back(room.id);
    return ids;
}

} // namespace

TEST(RoomFavourites, LoadingCleansWhatIsStoredAndWritesNothingBack)
{
    const struct {
        const char *name;
        QVariantMap stored;
        RoomFavourites::Selections expected;
    } cases[] = {
        {"nothing stored", {}, {}},
        {"not a dictionary", {{QString(RoomFavourites::defaultsKey), QStringLiteral("a")}}, {}},
        {"repeats dropped, first two kept", storedFavourites({"a", "b", "a", "c"}), {{bridge, {"a", "b"}}}},
        {"one favourite stays a list", storedFavourites({"a"}), {{bridge, {"a"}}}},
        {"an emptied list stays", storedFavourites({}), {{bridge, {}}}},
        {"one value a string spoils every key",
         {{QString(RoomFavourites::defaultsKey),
           QVariantMap{{bridge, strings({"a"})}, {QStringLiteral("preview"), QStringLiteral("b")}}}},
         {}},
        {"a list holding a number is no list of ids", storedWith(bridge, QVariantList{QStringLiteral("a"), qint64(7)}), {}},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        MemoryUserDefaults defaults(row.stored);
        const RoomFavourites favourites(defaults);
        EXPECT_EQ(favourites.selections(), row.expected);
        EXPECT_EQ(defaults.writeCount(), 0);
    }
}

TEST(RoomFavourites, AThirdFavouriteIsRefusedUntilOneIsRemoved)
{
    MemoryUserDefaults defaults;
    RoomFavourites favourites(defaults);
    QSignalSpy changes(&favourites, &RoomFavourites::selectionsChanged);

    EXPECT_TRUE(favourites.toggle(QStringLiteral("a"), bridge));
    EXPECT_TRUE(favourites.toggle(QStringLiteral("b"), bridge));
    EXPECT_EQ(storedWrites(defaults), 2);
    EXPECT_EQ(changes.count(), 2);

    EXPECT_FALSE(favourites.toggle(QStringLiteral("c"), bridge));
    EXPECT_EQ(favourites.ids(bridge), (QStringList{"a", "b"}));
    EXPECT_EQ(storedWrites(defaults), 2);
    EXPECT_EQ(changes.count(), 2);

    EXPECT_TRUE(favourites.toggle(QStringLiteral("a"), bridge));
    EXPECT_TRUE(favourites.toggle(QStringLiteral("c"), bridge));
    EXPECT_EQ(favourites.ids(bridge), (QStringList{"b", "c"}));
    EXPECT_EQ(defaults.dictionary(RoomFavourites::defaultsKey), (storedFavourites({"b", "c"}).first().toMap()));
}

TEST(RoomFavourites, RemovingTheOnlyFavouriteKeepsAnEmptyListStored)
{
    MemoryUserDefaults defaults(storedFavourites({"a"}));
    RoomFavourites favourites(defaults);

    EXPECT_TRUE(favourites.toggle(QStringLiteral("a"), bridge));

    const auto stored = defaults.dictionary(RoomFavourites::defaultsKey);
    ASSERT_TRUE(stored);
    ASSERT_TRUE(stored->contains(bridge));
    EXPECT_EQ(stored->value(bridge).typeId(), QMetaType::QVariantList);
    EXPECT_TRUE(stored->value(bridge).toList().isEmpty());
}

TEST(RoomFavourites, EachBridgeKeyKeepsItsOwnFavouritesAndAllAreSavedTogether)
{
    MemoryUserDefaults defaults;
    {
        RoomFavourites favourites(defaults);
        favourites.toggle(QStringLiteral("living"), QString(RoomFavourites::previewBridgeKey));
        favourites.toggle(QStringLiteral("office"), bridge);
        favourites.toggle(QStringLiteral("unassigned"), bridge);
    }
    const RoomFavourites reloaded(defaults);
    EXPECT_EQ(reloaded.selections(), (RoomFavourites::Selections{
                                         {QStringLiteral("preview"), {"living"}},
                                         {bridge, {"office", "unassigned"}},
                                     }));
    EXPECT_TRUE(reloaded.ids(QString(RoomFavourites::unpairedBridgeKey)).isEmpty());
}

TEST(RoomFavourites, PruningSavesAndAnnouncesOnlyWhenAFavouriteIsGone)
{
    const struct {
        const char *name;
        QVariantMap stored;
        QSet<QString> existing;
        QStringList expected;
        int writes;
    } cases[] = {
        {"every favourite exists", storedFavourites({"a", "b"}), {"a", "b", "c"}, {"a", "b"}, 0},
        {"key without entry", {}, {"a"}, {}, 0},
        {"key with an empty list", storedFavourites({}), {}, {}, 0},
        {"one gone, order kept", storedFavourites({"c", "a"}), {"a", "b"}, {"a"}, 1},
        {"all gone", storedFavourites({"a", "b"}), {}, {}, 1},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        MemoryUserDefaults defaults(row.stored);
        RoomFavourites favourites(defaults);
        QSignalSpy changes(&favourites, &RoomFavourites::selectionsChanged);

        favourites.prune(bridge, row.existing);

        EXPECT_EQ(favourites.ids(bridge), row.expected);
        EXPECT_EQ(storedWrites(defaults), row.writes);
        EXPECT_EQ(changes.count(), row.writes);
        EXPECT_EQ(favourites.selections().contains(bridge), row.stored.contains(RoomFavourites::defaultsKey));
    }
}

TEST(RoomFavourites, OrderingPutsFavouritesFirstAndLosesNoRoom)
{
    const std::vector<LightRoom> rooms{{.id = "A"}, {.id = "B"}, {.id = "C"}, {.id = "D"}};
    const struct {
        const char *name;
        QStringList favourites;
        std::vector<QString> expected;
    } cases[] = {
        {"favourites in their order", {"C", "A"}, {"C", "A", "B", "D"}},
        {"a favourite whose room is gone", {"gone", "B"}, {"B", "A", "C", "D"}},
        {"no favourites", {}, {"A", "B", "C", "D"}},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(idsOf(RoomFavourites::ordered(rooms, row.favourites)), row.expected);
    }
}

#include "store/ToggleAppearance.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <optional>

using vantora::ToggleAppearance;
using vantora::ToggleColor;
using vantora::runtime::MemoryUserDefaults;

namespace {

const QString key = QString(ToggleAppearance::preferenceKey);

} // namespace

TEST(ToggleAppearance, LoadingFallsBackToAmberAndMigratesOnlyGraphite)
{
    const struct {
        const char *name;
        std::optional<QVariant> stored;
        ToggleColor expected;
        std::optional<QVariant> storedAfterwards;
        int writes;
    } cases[] = {
        {"nothing stored", std::nullopt, ToggleColor::amber, std::nullopt, 0},
        {"a colour", QStringLiteral("blue"), ToggleColor::blue, QStringLiteral("blue"), 0},
        {"graphite becomes purple", QStringLiteral("graphite"), ToggleColor::purple, QStringLiteral("purple"), 1},
        {"raw values are case-sensitive", QStringLiteral("Aqua"), ToggleColor::amber, QStringLiteral("Aqua"), 0},
        {"a colour we never had", QStringLiteral("teal"), ToggleColor::amber, QStringLiteral("teal"), 0},
        {"not a string", QVariant::fromValue<qint64>(2), ToggleColor::amber, QVariant::fromValue<qint64>(2), 0},
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        MemoryUserDefaults defaults(row.stored ? QVariantMap{{key, *row.stored}} : QVariantMap{});
        const ToggleAppearance appearance(defaults);
        EXPECT_EQ(appearance.color(), row.expected);
        EXPECT_EQ(defaults.value(key), row.storedAfterwards);
        EXPECT_EQ(defaults.writeCount(), row.writes);
    }
}

TEST(ToggleAppearance, EveryAssignmentIsWrittenButOnlyAChangeIsAnnounced)
{
    MemoryUserDefaults defaults;
    ToggleAppearance appearance(defaults);
    QSignalSpy changes(&appearance, &ToggleAppearance::colorChanged);

    appearance.setColor(ToggleColor::amber);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(defaults.writeCount(key), 1);
    EXPECT_EQ(defaults.string(key), QStringLiteral("amber"));

    appearance.setColor(ToggleColor::green);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(defaults.writeCount(key), 2);
    EXPECT_EQ(ToggleAppearance(defaults).color(), ToggleColor::green);
}

TEST(ToggleColor, RawValuesRoundTripAndNamesAreCapitalised)
{
    QStringList names;
    for (const ToggleColor color : vantora::allToggleColors) {
        SCOPED_TRACE(vantora::rawValue(color).toStdString());
        EXPECT_EQ(vantora::fromRawValue<ToggleColor>(vantora::rawValue(color)), color);
        names.append(vantora::name(color));
    }
    EXPECT_EQ(names, (QStringList{"Amber", "Aqua", "Blue", "Green", "Purple"}));
}

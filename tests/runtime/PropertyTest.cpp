#include "runtime/Property.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using vantora::runtime::Property;

TEST(Property, EmitsOnlyOnARealChange)
{
    int emissions = 0;
    Property<std::optional<int>> value{std::nullopt, [&] { ++emissions; }};
    EXPECT_FALSE(value.set(std::nullopt));
    EXPECT_EQ(emissions, 0);
    EXPECT_TRUE(value.set(3));
    EXPECT_FALSE(value.set(3));
    EXPECT_EQ(emissions, 1);
    EXPECT_EQ(*value.get(), 3);
}

TEST(Property, SetAlwaysAndMutateEmitEvenWithoutAChange)
{
    int emissions = 0;
    Property<std::vector<int>> value{{1, 2}, [&] { ++emissions; }};
    value.setAlways({1, 2});
    value.mutate([](std::vector<int> &) {});
    EXPECT_EQ(emissions, 2);
}

struct TwoFields {
    std::vector<std::string> log;
    Property<int> first{0, [this] { log.push_back("first=" + std::to_string(*first) + " second=" + std::to_string(*second)); }};
    Property<int> second{0, [this] { log.push_back("second=" + std::to_string(*second) + " first=" + std::to_string(*first)); }};
};

TEST(Property, EmissionIsSynchronousInAssignmentOrderAfterTheValueIsStored)
{
    TwoFields fields;
    fields.second.set(2);
    fields.first.set(1);
    EXPECT_EQ(fields.log, (std::vector<std::string>{"second=2 first=0", "first=1 second=2"}));
}

TEST(Property, AfterAssignHookRunsOnEveryAssignmentAfterTheChangeSignal)
{
    std::vector<std::string> log;
    Property<int> value{0, [&] { log.push_back("changed"); }, [&] { log.push_back("assigned"); }};
    value.set(0);
    value.set(1);
    EXPECT_EQ(log, (std::vector<std::string>{"assigned", "changed", "assigned"}));
}

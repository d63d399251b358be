#include "X11SelectionHolder.h"
#include "X11Testing.h"

#include "platform/x11/X11SelectionOwner.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace vantora::platform;
using vantora::testing::waitUntil;
using vantora::testing::X11SelectionHolder;

namespace {

// Where an owner keeps its settings, as a tray or a compositing manager does.
const std::string settingsProperty = "_VANTORA_TEST_SETTINGS";

} // namespace

TEST(X11SelectionOwner, FollowsTheOwnerAndTheSettingsOfWhoeverOwnsNow)
{
    X11SelectionHolder first("_VANTORA_TEST_S");
    X11SelectionHolder second("_VANTORA_TEST_S");
    first.take();
    const auto watch = X11SelectionOwner::open({}, "_VANTORA_TEST_S");
    ASSERT_TRUE(watch);
    watch->watchOwnerProperty("_VANTORA_TEST_SETTINGS");
    int ownerChanges = 0;
    int propertyChanges = 0;
    QObject::connect(watch.get(), &X11SelectionOwner::ownerChanged, [&] { ++ownerChanges; });
    QObject::connect(watch.get(), &X11SelectionOwner::ownerPropertyChanged, [&] { ++propertyChanges; });

    struct Step {
        const char *what;
        std::function<void()> act;
        bool ownerChange;
        X11SelectionHolder *owner;
        std::vector<quint32> settings;
    };
    const Step steps[] = {
        {"the owner there before the watch publishes", [&] { first.publish(settingsProperty, {1, 2, 3}); }, false,
         &first, {1, 2, 3}},
        {"another takes over", [&] { second.take(); }, true, &second, {}},
        // The first is heard of no more: only the second's change may be told.
        {"both publish", [&] {
             first.publish(settingsProperty, {4, 5, 6});
             second.publish(settingsProperty, {7, 8, 9});
         }, false, &second, {7, 8, 9}},
        // Without destroying its window first.
        {"the owner's client goes", [&] { second.closeClient(); }, true, nullptr, {}},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        const int ownersBefore = ownerChanges;
        const int propertiesBefore = propertyChanges;
        step.act();
        int &expected = step.ownerChange ? ownerChanges : propertyChanges;
        const int before = step.ownerChange ? ownersBefore : propertiesBefore;
        EXPECT_TRUE(waitUntil([&] { return expected > before; }));
        // Whatever else was queued has been read by now.
        QCoreApplication::processEvents();
        EXPECT_EQ(ownerChanges - ownersBefore, step.ownerChange ? 1 : 0);
        EXPECT_EQ(propertyChanges - propertiesBefore, step.ownerChange ? 0 : 1);
        EXPECT_EQ(watch->owner(), step.owner ? step.owner->window() : 0u);
        EXPECT_EQ(watch->ownerCardinals(12), step.settings);
    }
}

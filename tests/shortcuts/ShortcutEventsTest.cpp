#include "ShortcutsFixture.h"
#include "TaskTesting.h"

#include "shortcuts/ShortcutEvents.h"

using namespace vantora::GlobalShortcuts;
using namespace std::chrono_literals;
using vantora::runtime::AsyncStream;
using vantora::runtime::Duration;
using vantora::runtime::Task;

namespace {

const Shortcut controlOptionL(Key::l, ModifierFlag::control | ModifierFlag::option);
const Shortcut controlOptionK(Key::k, ModifierFlag::control | ModifierFlag::option);

Task<void> collectEvents(AsyncStream<EventType> &stream, std::vector<EventType> &events)
{
    while (true) {
        const std::optional<EventType> event = co_await stream.next();
        if (!event)
            co_return;
        events.push_back(*event);
    }
}

// Notes when each tick arrives, measured from `start`.
Task<void> collectTicks(AsyncStream<RepeatTick> &stream, std::vector<Duration> &ticks,
                        const vantora::runtime::Clock &clock, vantora::runtime::SteadyTime start)
{
    while (true) {
        const std::optional<RepeatTick> tick = co_await stream.next();
        if (!tick)
            co_return;
        ticks.push_back(clock.steadyNow() - start);
    }
}

class ShortcutEventsTest : public vantora::testing::ShortcutsFixture {
protected:
    void SetUp() override
    {
        ShortcutsFixture::SetUp();
        storage.setShortcut(controlOptionL, name);
    }

    auto readTicks(AsyncStream<RepeatTick> &stream)
    {
        return harness.start(collectTicks(stream, ticks, harness.clock, harness.clock.steadyNow()));
    }

    void hold(Duration duration)
    {
        backend.press(controlOptionL);
        harness.clock.advance(duration);
        backend.release(controlOptionL);
        harness.clock.runUntilIdle();
    }

    const Name name{QStringLiteral("showVantora")};
    vantora::testing::TaskHarness harness;
    ShortcutEvents shortcutEvents{actions, centre, harness.clock, harness.executor};
    std::vector<Duration> ticks;
};

} // namespace

TEST_F(ShortcutEventsTest, StreamsDeliverEveryEventOrOnlyOneType)
{
    auto all = shortcutEvents.events(name);
    auto ups = shortcutEvents.events(EventType::keyUp, name);
    std::vector<EventType> allSeen;
    std::vector<EventType> upsSeen;
    harness.start(collectEvents(all, allSeen));
    harness.start(collectEvents(ups, upsSeen));
    EXPECT_NE(actions.hotKey(controlOptionL), nullptr) << "a stream makes the name need its hot key";

    backend.tap(controlOptionL);
    backend.tap(controlOptionL);
    harness.clock.runUntilIdle();
    EXPECT_EQ(allSeen, (std::vector{EventType::keyDown, EventType::keyUp, EventType::keyDown, EventType::keyUp}));
    EXPECT_EQ(upsSeen, (std::vector{EventType::keyUp, EventType::keyUp}));
}

TEST_F(ShortcutEventsTest, EndingOneOfTwoStreamsKeepsTheOtherAndTheHotKey)
{
    auto first = shortcutEvents.events(name);
    auto second = std::make_unique<AsyncStream<EventType>>(shortcutEvents.events(name));
    std::vector<EventType> firstSeen;
    std::vector<EventType> secondSeen;
    const auto firstReader = harness.start(collectEvents(first, firstSeen));
    harness.start(collectEvents(*second, secondSeen));

    firstReader.cancel();
    harness.clock.runUntilIdle();
    backend.tap(controlOptionL);
    harness.clock.runUntilIdle();
    EXPECT_TRUE(firstSeen.empty()) << "a cancelled reader ends its stream";
    EXPECT_EQ(secondSeen.size(), 2u);

    second.reset();
    EXPECT_EQ(actions.hotKey(controlOptionL), nullptr) << "the last stream gone, nobody needs the hot key";
    EXPECT_TRUE(backend.registrations.empty());
}

TEST_F(ShortcutEventsTest, AStreamOfAShortcutNeedsNoName)
{
    std::vector<EventType> seen;
    {
        auto stream = shortcutEvents.events(controlOptionK);
        harness.start(collectEvents(stream, seen));
        backend.tap(controlOptionK);
        harness.clock.runUntilIdle();
    }
    EXPECT_EQ(seen, (std::vector{EventType::keyDown, EventType::keyUp}));
    EXPECT_EQ(actions.hotKey(controlOptionK), nullptr);
}

TEST_F(ShortcutEventsTest, AHeldShortcutTicksLikeARepeatingKey)
{
    const struct {
        const char *name;
        Duration held;
        std::vector<Duration> ticks;
    } rows[] = {
        {"shorter than the repeat delay", 499ms, {0ms}},
        {"past the delay", 620ms, {0ms, 500ms, 550ms, 600ms}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ticks.clear();
        auto stream = shortcutEvents.repeatingKeyDownEvents(name);
        const auto reader = readTicks(stream);
        hold(row.held);
        harness.clock.advance(2s);
        EXPECT_EQ(ticks, row.ticks);
        reader.cancel();
        harness.clock.runUntilIdle();
    }
}

TEST_F(ShortcutEventsTest, ASlowReaderGetsOnlyTheNewestTick)
{
    auto stream = shortcutEvents.repeatingKeyDownEvents(name);
    hold(620ms);
    readTicks(stream);
    EXPECT_EQ(ticks, std::vector<Duration>{0ms}) << "one tick kept, read at once";
    harness.clock.advance(1s);
    EXPECT_EQ(ticks.size(), 1u);
}

TEST_F(ShortcutEventsTest, RepeatingStopsWhenTheShortcutNoLongerFires)
{
    const struct {
        const char *name;
        std::function<void()> change;
    } rows[] = {
        {"the name moves to another shortcut", [&] { storage.setShortcut(controlOptionK, name); }},
        {"the name is disabled", [&] { actions.disable({name}); }},
        {"the shortcuts are paused", [&] { actions.setPaused(true); }},
        {"the shortcuts are switched off", [&] { actions.setEnabled(false); }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        storage.setShortcut(controlOptionL, name);
        ticks.clear();
        auto stream = shortcutEvents.repeatingKeyDownEvents(name);
        const auto reader = readTicks(stream);
        backend.press(controlOptionL);
        harness.clock.advance(520ms);
        row.change();
        harness.clock.advance(1s);
        EXPECT_EQ(ticks, (std::vector<Duration>{0ms, 500ms}));

        reader.cancel();
        harness.clock.runUntilIdle();
        actions.enable({name});
        actions.setPaused(false);
        actions.setEnabled(true);
    }
}

TEST_F(ShortcutEventsTest, EndingARepeatingStreamStopsItsTicksAndFreesTheHotKey)
{
    auto stream = std::make_unique<AsyncStream<RepeatTick>>(shortcutEvents.repeatingKeyDownEvents(controlOptionK));
    backend.press(controlOptionK);
    harness.clock.advance(600ms);
    stream.reset();
    harness.clock.runUntilIdle();
    EXPECT_EQ(harness.clock.sleeperCount(), 0u);
    EXPECT_EQ(actions.hotKey(controlOptionK), nullptr);
}

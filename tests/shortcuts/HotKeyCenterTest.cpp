#include "ShortcutsFixture.h"
#include "TaskTesting.h"

#include "shortcuts/HotKey.h"
#include "shortcuts/MenuTracker.h"

using namespace vantora::GlobalShortcuts;
using vantora::platform::HotKeyEvent;

namespace {

const Shortcut controlOptionL(Key::l, ModifierFlag::control | ModifierFlag::option);
const Shortcut controlOptionK(Key::k, ModifierFlag::control | ModifierFlag::option);

class HotKeyCenterTest : public vantora::testing::ShortcutsFixture {
protected:
    // A hot key that counts its presses and releases.
    std::shared_ptr<HotKey> makeHotKey(const Shortcut &shortcut)
    {
        return std::make_shared<HotKey>(centre, centre.nextHotKeyId(), shortcut, [this] { ++downs; },
                                        [this] { ++ups; });
    }

    void openMenu() { notifications.post(MenuTracker::menuDidBeginTracking); }
    void closeMenu() { notifications.post(MenuTracker::menuDidEndTracking); }

    static KeyEvent keyEvent(EventType type, const Shortcut &shortcut, ModifierFlags extra = {}, bool isRepeat = false)
    {
        return {type, shortcut.carbonKeyCode, shortcut.modifiers() | extra, isRepeat};
    }

    int downs = 0;
    int ups = 0;
};

} // namespace

TEST_F(HotKeyCenterTest, RegistersAtOnceAndDeliversByIdUntilTheHotKeyDies)
{
    auto hotKey = makeHotKey(controlOptionL);
    ASSERT_TRUE(centre.registerHotKey(hotKey));
    EXPECT_EQ(hotKey->id(), 1u);
    EXPECT_EQ(backend.registeredId(controlOptionL), 1u);
    EXPECT_TRUE(backend.eventsAttached);

    backend.tap(controlOptionL);
    backend.deliver(HotKeyEvent::Kind::released, 99);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(ups, 1);

    hotKey.reset();
    EXPECT_TRUE(backend.registrations.empty());
    backend.deliver(HotKeyEvent::Kind::released, 1);
    EXPECT_EQ(ups, 1);
}

TEST_F(HotKeyCenterTest, ARefusedCombinationIsNotKept)
{
    backend.taken = {{quint32(controlOptionL.carbonKeyCode), quint32(controlOptionL.carbonModifiers)}};
    auto hotKey = makeHotKey(controlOptionL);
    EXPECT_FALSE(centre.registerHotKey(hotKey));
    EXPECT_EQ(hotKey->registration(), std::nullopt);
    EXPECT_EQ(makeHotKey(controlOptionK)->id(), 2u) << "ids are never reused";
}

TEST_F(HotKeyCenterTest, AKeyWhoseEventsCannotArriveFailsToRegister)
{
    backend.refusesHandler = true;
    auto hotKey = makeHotKey(controlOptionL);
    EXPECT_FALSE(centre.registerHotKey(hotKey));
    EXPECT_TRUE(backend.registrations.empty()) << "nothing is left grabbed";
    EXPECT_EQ(hotKey->registration(), std::nullopt);

    backend.refusesHandler = false;
    EXPECT_TRUE(centre.registerHotKey(hotKey)) << "the next registration tries again";
}

TEST_F(HotKeyCenterTest, AnOpenMenuTakesTheKeysOverWithTheSameIds)
{
    auto first = makeHotKey(controlOptionL);
    ASSERT_TRUE(centre.registerHotKey(first));
    openMenu();
    EXPECT_EQ(centre.mode(), HotKeyCenter::Mode::menuOpen);
    EXPECT_TRUE(backend.registrations.empty());
    EXPECT_FALSE(backend.eventsAttached);
    EXPECT_TRUE(centre.isListeningToOwnKeyEvents());

    auto second = makeHotKey(controlOptionK);
    const int attempts = backend.registrationAttempts;
    EXPECT_TRUE(centre.registerHotKey(second));
    EXPECT_EQ(backend.registrationAttempts, attempts + 1) << "registered at once";
    EXPECT_TRUE(backend.registrations.empty()) << "and given up again while the menu is open";

    openMenu();
    EXPECT_EQ(backend.registrationAttempts, attempts + 1) << "a second begin changes nothing";

    closeMenu();
    EXPECT_EQ(centre.mode(), HotKeyCenter::Mode::normal);
    EXPECT_EQ(backend.registeredIds(), (std::multiset<quint32>{1, 2}));
    EXPECT_FALSE(centre.isListeningToOwnKeyEvents());
}

// A desktop that decides takes its shortcuts' keys before an open menu of ours sees them
// (Wayland): they stay with it, and its presses run the hot keys.
TEST_F(HotKeyCenterTest, AnOpenMenuLeavesTheKeysWithADesktopThatDecides)
{
    backend.decides = true;
    int fired = 0;
    auto hotKey = std::make_shared<HotKey>(centre, centre.nextHotKeyId(), controlOptionL, [&] { ++fired; }, nullptr);
    ASSERT_TRUE(centre.registerHotKey(hotKey));
    openMenu();
    EXPECT_EQ(backend.registeredIds(), (std::multiset<quint32>{hotKey->id()}));
    EXPECT_TRUE(backend.eventsAttached);
    EXPECT_TRUE(centre.isListeningToOwnKeyEvents()) << "keys an open menu's grab takes first";
    backend.deliver(HotKeyEvent::Kind::pressed, hotKey->id());
    EXPECT_EQ(fired, 1);
}

TEST_F(HotKeyCenterTest, AKeyThatCannotComeBackIsDroppedOnce)
{
    auto hotKey = makeHotKey(controlOptionL);
    int failures = 0;
    hotKey->setOnRegistrationFailed([&] { ++failures; });
    ASSERT_TRUE(centre.registerHotKey(hotKey));
    openMenu();
    backend.taken = {{quint32(controlOptionL.carbonKeyCode), quint32(controlOptionL.carbonModifiers)}};
    closeMenu();
    EXPECT_EQ(failures, 1);

    backend.taken.clear();
    openMenu();
    closeMenu();
    EXPECT_EQ(failures, 1);
    EXPECT_TRUE(backend.registrations.empty()) << "only a new hot key brings the shortcut back";
}

TEST_F(HotKeyCenterTest, DisabledItListensToNothing)
{
    auto hotKey = makeHotKey(controlOptionL);
    ASSERT_TRUE(centre.registerHotKey(hotKey));
    centre.setEnabled(false);
    openMenu();
    EXPECT_EQ(centre.mode(), HotKeyCenter::Mode::disabled);
    EXPECT_FALSE(centre.isListeningToOwnKeyEvents());
    EXPECT_TRUE(backend.registrations.empty());

    closeMenu();
    centre.setEnabled(true);
    EXPECT_EQ(backend.registeredId(controlOptionL), hotKey->id());
}

TEST_F(HotKeyCenterTest, AModeChosenBeforeTheFirstKeyAppliesWithIt)
{
    centre.setEnabled(false);
    auto hotKey = makeHotKey(controlOptionL);
    EXPECT_TRUE(centre.registerHotKey(hotKey));
    EXPECT_TRUE(backend.registrations.empty());
    EXPECT_FALSE(backend.eventsAttached);
}

TEST_F(HotKeyCenterTest, MatchesOwnKeyEventsWhileAMenuIsOpen)
{
    auto f5 = makeHotKey(Shortcut(Key::f5, ModifierFlag::function | ModifierFlag::control));
    auto l = makeHotKey(controlOptionL);
    ASSERT_TRUE(centre.registerHotKey(f5));
    ASSERT_TRUE(centre.registerHotKey(l));
    EXPECT_EQ(backend.registeredId(Shortcut(Key::f5, ModifierFlag::control)), f5->id())
        << "X has no Fn: F keys register without it";
    openMenu();

    const Shortcut controlF5(Key::f5, ModifierFlag::control);
    const Shortcut plainL(Key::l, {});
    const struct {
        const char *name;
        KeyEvent event;
        EventDisposition disposition;
        int downs;
        int ups;
    } rows[] = {
        {"F5 without Fn", keyEvent(EventType::keyDown, controlF5), EventDisposition::consume, 1, 0},
        {"a held key repeats past", keyEvent(EventType::keyDown, controlF5, {}, true), EventDisposition::passOn, 1, 0},
        {"F5 with Fn", keyEvent(EventType::keyUp, controlF5, ModifierFlag::function), EventDisposition::consume, 1, 1},
        {"locks do not count",
         keyEvent(EventType::keyDown, controlOptionL, ModifierFlag::capsLock | ModifierFlag::numericPad),
         EventDisposition::consume, 2, 1},
        {"released after the modifiers", keyEvent(EventType::keyUp, plainL), EventDisposition::consume, 2, 2},
        {"a release with nothing held", keyEvent(EventType::keyUp, plainL), EventDisposition::passOn, 2, 2},
        {"Fn counts on other keys", keyEvent(EventType::keyDown, controlOptionL, ModifierFlag::function),
         EventDisposition::passOn, 2, 2},
        {"other modifiers", keyEvent(EventType::keyDown, Shortcut(Key::l, ModifierFlag::control)),
         EventDisposition::passOn, 2, 2},
        {"other key", keyEvent(EventType::keyDown, controlOptionK), EventDisposition::passOn, 2, 2},
        {"a matching release alone", keyEvent(EventType::keyUp, controlOptionL), EventDisposition::consume, 2, 3},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(centre.handleKeyEvent(row.event), row.disposition);
        EXPECT_EQ(downs, row.downs);
        EXPECT_EQ(ups, row.ups);
    }
}

TEST_F(HotKeyCenterTest, OnlyTheFirstOfTwoEqualHotKeysRunsWhileAMenuIsOpen)
{
    auto first = makeHotKey(controlOptionL);
    int secondRuns = 0;
    auto second = std::make_shared<HotKey>(centre, centre.nextHotKeyId(), controlOptionL, [&] { ++secondRuns; },
                                           [&] { ++secondRuns; });
    ASSERT_TRUE(centre.registerHotKey(first));
    ASSERT_TRUE(centre.registerHotKey(second));
    openMenu();
    centre.handleKeyEvent(keyEvent(EventType::keyDown, controlOptionL));
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(secondRuns, 0);
}

TEST_F(HotKeyCenterTest, AHotKeyMayOutliveItsCentre)
{
    auto shortLived = std::make_unique<HotKeyCenter>(backend, layout, notifications);
    auto hotKey = std::make_shared<HotKey>(*shortLived, shortLived->nextHotKeyId(), controlOptionL, [] {}, [] {});
    ASSERT_TRUE(shortLived->registerHotKey(hotKey));
    shortLived.reset();
    EXPECT_TRUE(backend.registrations.empty());
    EXPECT_FALSE(backend.eventsAttached);
    hotKey.reset();
}

namespace {

// What our own windows see of keys while a key is held back from the system.
enum class Step : quint8 { release, repeatRelease, press, releaseOtherKey, wait50ms };

} // namespace

TEST_F(HotKeyCenterTest, AHeldKeyReachesTheSystemOnlyOnceReleasedForTwoRepeatIntervals)
{
    const struct {
        const char *name;
        std::vector<Step> steps;
        bool released;
    } rows[] = {
        {"released", {Step::release, Step::wait50ms, Step::wait50ms}, true},
        {"not long enough", {Step::release, Step::wait50ms}, false},
        {"a repeat as a release and press pair", {Step::release, Step::press, Step::wait50ms, Step::wait50ms}, false},
        {"released after a repeat pair",
         {Step::release, Step::press, Step::wait50ms, Step::release, Step::wait50ms, Step::wait50ms}, true},
        {"a release marked as repeat", {Step::repeatRelease, Step::wait50ms, Step::wait50ms}, false},
        {"another key let go", {Step::releaseOtherKey, Step::wait50ms, Step::wait50ms}, false},
    };
    ASSERT_EQ(backend.repeat.interval, std::chrono::milliseconds(50));
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        vantora::testing::TaskHarness harness;
        HotKeyCenter held(backend, layout, notifications, harness.clock, harness.executor);
        int fired = 0;
        auto l = std::make_shared<HotKey>(held, held.nextHotKeyId(), controlOptionL, [&] { ++fired; }, [&] { ++fired; });
        auto k = std::make_shared<HotKey>(held, held.nextHotKeyId(), controlOptionK, [] {}, [] {});
        ASSERT_TRUE(held.registerHotKey(l));
        ASSERT_TRUE(held.registerHotKey(k));

        held.holdUntilReleased(controlOptionL.carbonKeyCode);
        EXPECT_EQ(backend.registeredId(controlOptionL), std::nullopt) << "the grab is given back while held";
        EXPECT_EQ(backend.registeredId(controlOptionK), k->id()) << "other keys keep theirs";
        backend.deliver(HotKeyEvent::Kind::pressed, l->id());
        backend.deliver(HotKeyEvent::Kind::released, l->id());
        EXPECT_EQ(fired, 0) << "what the system still reports of a held key is ignored";

        for (const Step step : row.steps) {
            switch (step) {
            case Step::release:
            case Step::repeatRelease:
            case Step::press:
                EXPECT_EQ(held.handleKeyEvent(keyEvent(step == Step::press ? EventType::keyDown : EventType::keyUp,
                                                       controlOptionL, {}, step != Step::release)),
                          EventDisposition::passOn);
                break;
            case Step::releaseOtherKey:
                held.handleKeyEvent(keyEvent(EventType::keyUp, controlOptionK));
                break;
            case Step::wait50ms:
                harness.clock.advance(std::chrono::milliseconds(50));
                break;
            }
        }
        EXPECT_EQ(!held.isHeld(controlOptionL.carbonKeyCode), row.released);
        EXPECT_EQ(backend.registeredId(controlOptionL).has_value(), row.released);
        backend.tap(controlOptionL);
        EXPECT_EQ(fired, row.released ? 2 : 0) << "pressed again, the shortcut works";
    }
}

// A backend that lists hot keys with the desktop by their action hears of every stored change,
// a clear among them: the keys a recording let go of are let go on the desktop's side only once
// the store no longer names them.
TEST_F(HotKeyCenterTest, TellsTheBackendOfEveryStoredChange)
{
    const Name show(QStringLiteral("showVantora"));
    storage.setShortcut(controlOptionL, show);
    EXPECT_EQ(backend.actionChanges, 1);
    storage.setShortcut(std::nullopt, show);
    EXPECT_EQ(backend.actionChanges, 2);
}

TEST_F(HotKeyCenterTest, OtherKeysAreThoseTheDesktopNamesAndNeverWordsItCouldNotRead)
{
    using vantora::platform::DesktopBinding;
    const struct {
        const char *name;
        std::optional<DesktopBinding> binding;
        std::optional<QString> instead;
    } rows[] = {
        {"no word yet", std::nullopt, std::nullopt},
        {"asking", DesktopBinding::asking(), std::nullopt},
        {"the keys recorded", DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+L")), std::nullopt},
        {"other keys", DesktopBinding::boundTo(QStringLiteral("Ctrl+Alt+K")), QStringLiteral("Ctrl+Alt+K")},
        {"bound, keys unknown", DesktopBinding::boundToUnknownKeys(), std::nullopt},
        {"refused", DesktopBinding::refused(DesktopBinding::Refusal::cancelled), QString()},
        {"not confirmed in time: no word on other keys", DesktopBinding::unconfirmed(), std::nullopt},
        {"keys the desktop chose", DesktopBinding::chosenByDesktop(QStringLiteral("Ctrl+Alt+K")), QStringLiteral("Ctrl+Alt+K")},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        backend.desktopBindings.clear();
        if (row.binding)
            backend.desktopBindings[{controlOptionL.carbonKeyCode, controlOptionL.carbonModifiers}] = *row.binding;
        EXPECT_EQ(centre.desktopTriggerInstead(controlOptionL), row.instead);
    }
}

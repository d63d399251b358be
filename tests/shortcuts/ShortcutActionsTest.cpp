#include "ShortcutsFixture.h"

#include "shortcuts/HotKey.h"

using namespace vantora::GlobalShortcuts;

namespace {

const Shortcut controlOptionL(Key::l, ModifierFlag::control | ModifierFlag::option);
const Shortcut controlOptionK(Key::k, ModifierFlag::control | ModifierFlag::option);

class ShortcutActionsTest : public vantora::testing::ShortcutsFixture {
protected:
    // An action that writes its name into the run log.
    ShortcutActions::Action logging(const QString &entry)
    {
        return [this, entry] { runs << entry; };
    }

    std::optional<quint32> hotKeyId(const Shortcut &shortcut) const
    {
        const HotKey *hotKey = actions.hotKey(shortcut);
        return hotKey ? std::optional<quint32>(hotKey->id()) : std::nullopt;
    }

    const Name show{QStringLiteral("showVantora")};
    const Name toggle{QStringLiteral("toggleHomeLights")};
    QStringList runs;
};

} // namespace

TEST_F(ShortcutActionsTest, NamesWithTheSameShortcutShareOneHotKey)
{
    storage.setShortcut(controlOptionL, show);
    storage.setShortcut(controlOptionL, toggle);
    actions.onKeyUp(show, logging("show"));
    actions.onKeyUp(toggle, logging("toggle"));
    EXPECT_EQ(backend.registrations.size(), 1u);

    backend.tap(controlOptionL);
    EXPECT_EQ(runs, QStringList({"show", "toggle"}));

    storage.setShortcut(controlOptionK, toggle);
    EXPECT_EQ(hotKeyId(controlOptionL), 1u) << "kept for the other name";
    EXPECT_EQ(hotKeyId(controlOptionK), 2u);
    runs.clear();
    backend.tap(controlOptionL);
    backend.tap(controlOptionK);
    EXPECT_EQ(runs, QStringList({"show", "toggle"}));
}

TEST_F(ShortcutActionsTest, DisablingOneSharerKeepsTheHotKeyForTheOther)
{
    storage.setShortcut(controlOptionL, show);
    storage.setShortcut(controlOptionL, toggle);
    actions.onKeyUp(show, logging("show"));
    actions.onKeyUp(toggle, logging("toggle"));
    actions.disable({toggle});
    backend.tap(controlOptionL);
    EXPECT_EQ(runs, QStringList({"show"}));
    EXPECT_FALSE(actions.isEnabled(toggle));

    actions.disable({show});
    EXPECT_EQ(actions.hotKey(controlOptionL), nullptr);
    actions.enable({show, toggle});
    EXPECT_EQ(hotKeyId(controlOptionL), 2u);
}

TEST_F(ShortcutActionsTest, AHotKeyAppearsOnlyOnceANameHasBothActionsAndAShortcut)
{
    actions.onKeyUp(show, logging("show"));
    EXPECT_EQ(backend.registrationAttempts, 0);
    storage.setShortcut(controlOptionL, Name("unhandled"));
    EXPECT_EQ(backend.registrationAttempts, 0) << "a name without actions never needs a hot key";

    storage.setShortcut(controlOptionL, show);
    EXPECT_EQ(hotKeyId(controlOptionL), 1u);
    EXPECT_TRUE(actions.isEnabled(show));
}

TEST_F(ShortcutActionsTest, ActionsRunInAttachOrderAsOftenAsAttached)
{
    storage.setShortcut(controlOptionL, show);
    const auto once = logging("first");
    actions.onKeyUp(show, once);
    actions.onKeyUp(show, logging("second"));
    actions.onKeyUp(show, once);
    actions.onKeyDown(show, logging("down"));
    backend.tap(controlOptionL);
    EXPECT_EQ(runs, QStringList({"down", "first", "second", "first"}));
}

TEST_F(ShortcutActionsTest, PausingRunsNothingAndDisablingUnregistersButKeepsIds)
{
    storage.setShortcut(controlOptionL, show);
    actions.onKeyUp(show, logging("show"));

    actions.setPaused(true);
    EXPECT_TRUE(backend.registrations.empty());
    actions.handleEvent(EventType::keyUp, controlOptionL);
    EXPECT_TRUE(runs.isEmpty());
    storage.setShortcut(controlOptionK, toggle);
    actions.onKeyUp(toggle, logging("toggle"));
    EXPECT_EQ(hotKeyId(controlOptionK), 2u) << "a shortcut stored while paused gets its hot key at once";
    actions.setPaused(false);

    actions.setEnabled(false);
    EXPECT_TRUE(backend.registrations.empty());
    EXPECT_FALSE(actions.isEnabled(show));
    EXPECT_EQ(hotKeyId(controlOptionL), 1u);
    actions.setEnabled(true);
    EXPECT_EQ(backend.registeredIds(), (std::multiset<quint32>{1, 2}));
    backend.tap(controlOptionL);
    EXPECT_EQ(runs, QStringList({"show"}));
}

TEST_F(ShortcutActionsTest, ActionsOutliveTheirNamesShortcut)
{
    storage.setShortcut(controlOptionL, show);
    actions.onKeyUp(show, logging("show"));
    storage.setShortcut(std::nullopt, show);
    EXPECT_EQ(actions.hotKey(controlOptionL), nullptr);
    EXPECT_TRUE(backend.registrations.empty());

    const Name withDefault(QStringLiteral("panel"), controlOptionK, storage);
    actions.onKeyUp(withDefault, logging("panel"));
    storage.setShortcut(std::nullopt, withDefault);
    actions.handleEvent(EventType::keyUp, controlOptionK);
    EXPECT_TRUE(runs.isEmpty()) << "the cleared marker never matches";

    storage.setShortcut(controlOptionK, show);
    backend.tap(controlOptionK);
    EXPECT_EQ(runs, QStringList({"show"}));
}

TEST_F(ShortcutActionsTest, RemovingHandlersReleasesHotKeysNobodyNeeds)
{
    storage.setShortcut(controlOptionL, show);
    storage.setShortcut(controlOptionK, toggle);
    actions.onKeyUp(show, logging("show"));
    actions.onKeyDown(toggle, logging("toggle"));
    const auto stream = actions.addStreamActions(controlOptionK, logging("stream down"), logging("stream up"));

    actions.removeAllHandlers();
    EXPECT_EQ(actions.hotKey(controlOptionL), nullptr);
    EXPECT_NE(actions.hotKey(controlOptionK), nullptr) << "still needed by a stream";

    backend.tap(controlOptionK);
    EXPECT_EQ(runs, QStringList({"stream down", "stream up"}));
    actions.removeStreamActions(stream, controlOptionK);
    EXPECT_TRUE(backend.registrations.empty());
}

TEST_F(ShortcutActionsTest, RemoveHandlerKeepsTheHotKeyWhileTheNamesStreamLives)
{
    storage.setShortcut(controlOptionL, show);
    actions.onKeyUp(show, logging("show"));
    const auto stream = actions.addStreamActions(show, logging("stream down"), logging("stream up"));
    actions.removeHandler(show);
    EXPECT_NE(actions.hotKey(controlOptionL), nullptr);
    backend.tap(controlOptionL);
    EXPECT_EQ(runs, QStringList({"stream down", "stream up"}));

    actions.removeStreamActions(stream, show);
    EXPECT_EQ(actions.hotKey(controlOptionL), nullptr);
    EXPECT_FALSE(actions.isActive(show));
}

TEST_F(ShortcutActionsTest, EnablingANeverDisabledNameRegistersWhatIsMissing)
{
    backend.taken = {{quint32(controlOptionL.carbonKeyCode), quint32(controlOptionL.carbonModifiers)}};
    storage.setShortcut(controlOptionL, show);
    actions.onKeyUp(show, logging("show"));
    EXPECT_EQ(actions.hotKey(controlOptionL), nullptr) << "refused: nothing kept, nothing said";

    backend.taken.clear();
    actions.enable({show});
    EXPECT_EQ(hotKeyId(controlOptionL), 2u) << "the refused attempt used up id 1";
    actions.enable({show});
    EXPECT_EQ(backend.registrationAttempts, 2);
}

TEST_F(ShortcutActionsTest, NamesWithoutActionsOnlyChangeWhatIsStored)
{
    const Name idle(QStringLiteral("idle"));
    storage.setShortcut(controlOptionL, idle);
    actions.disable({idle});
    actions.enable({idle});
    storage.setShortcut(std::nullopt, idle);
    EXPECT_EQ(backend.registrationAttempts, 0);
    EXPECT_FALSE(actions.isActive(idle));
}

TEST_F(ShortcutActionsTest, AnActionMayMoveItsOwnNameToAnotherShortcut)
{
    storage.setShortcut(controlOptionL, show);
    actions.onKeyUp(show, [this] {
        runs << "moved";
        storage.setShortcut(controlOptionK, show);
    });
    backend.tap(controlOptionL);
    EXPECT_EQ(actions.hotKey(controlOptionL), nullptr);
    backend.tap(controlOptionL);
    backend.tap(controlOptionK);
    EXPECT_EQ(runs, QStringList({"moved", "moved"}));
}

TEST_F(ShortcutActionsTest, AStoredValueOutOfRangeIsNoShortcut)
{
    defaults.setString(QStringLiteral("GlobalShortcuts_showVantora"),
                       QStringLiteral(R"({"carbonKeyCode":-1,"carbonModifiers":6144})"));
    defaults.setString(QStringLiteral("GlobalShortcuts_toggleHomeLights"),
                       QStringLiteral(R"({"carbonKeyCode":37,"carbonModifiers":99999999999})"));
    actions.onKeyUp(show, logging("show"));
    actions.onKeyUp(toggle, logging("toggle"));
    EXPECT_EQ(backend.registrationAttempts, 0);
    EXPECT_FALSE(actions.isEnabled(show));
}

TEST_F(ShortcutActionsTest, AHotKeyDroppedByTheSystemIsBuiltAgainWhenNeeded)
{
    storage.setShortcut(controlOptionL, show);
    actions.onKeyUp(show, logging("show"));
    actions.setEnabled(false);
    backend.taken = {{quint32(controlOptionL.carbonKeyCode), quint32(controlOptionL.carbonModifiers)}};
    actions.setEnabled(true);
    EXPECT_EQ(actions.hotKey(controlOptionL), nullptr);

    backend.taken.clear();
    actions.onKeyUp(show, logging("again"));
    EXPECT_EQ(hotKeyId(controlOptionL), 2u);
}

// Keys the system refused (the interim X11 grabs, before the desktop's portal takes the hot
// keys over) are not working until the system changes and they are registered again, by name
// or by a stream of their own.
TEST_F(ShortcutActionsTest, KeysTheSystemRefusedAreRegisteredAgainWhenItChanges)
{
    backend.taken = {{quint32(controlOptionK.carbonKeyCode), quint32(controlOptionK.carbonModifiers)},
                     {quint32(controlOptionL.carbonKeyCode), quint32(controlOptionL.carbonModifiers)}};
    storage.setShortcut(controlOptionL, show);
    actions.onKeyUp(show, logging("show"));
    actions.addStreamActions(controlOptionK, [] {}, [] {});
    EXPECT_FALSE(actions.isEnabled(show));
    EXPECT_EQ(actions.hotKey(controlOptionK), nullptr);

    backend.taken.clear();
    actions.registerMissingHotKeys();
    EXPECT_TRUE(actions.isEnabled(show));
    EXPECT_NE(actions.hotKey(controlOptionK), nullptr);
    backend.tap(controlOptionL);
    EXPECT_EQ(runs, QStringList{QStringLiteral("show")});
}

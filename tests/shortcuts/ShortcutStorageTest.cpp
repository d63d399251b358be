#include "ShortcutsFixture.h"

#include "shortcuts/Name.h"

using namespace vantora::GlobalShortcuts;
using vantora::runtime::Notification;

namespace {

const Shortcut commandSpace(Key::space, ModifierFlag::command);
const Shortcut controlK(Key::k, ModifierFlag::control);

class ShortcutStorageTest : public vantora::testing::ShortcutsFixture {
protected:
    const Name plain{QStringLiteral("toggle")};
    const Name withDefault{QStringLiteral("panel"), controlK, storage};
};

} // namespace

TEST_F(ShortcutStorageTest, ReadsWhatIsStoredUnderThePrefixedKey)
{
    const struct {
        const char *name;
        QVariant stored;
        StoredShortcut read;
    } rows[] = {
        {"shortcut JSON", QStringLiteral(R"({"carbonKeyCode":49,"carbonModifiers":256})"),
         {StoredShortcut::Kind::shortcut, commandSpace}},
        {"other order and white space", QStringLiteral(R"({ "carbonModifiers": 256, "carbonKeyCode": 49 })"),
         {StoredShortcut::Kind::shortcut, commandSpace}},
        {"declined in the desktop's window", QStringLiteral(R"({"carbonKeyCode":49,"carbonModifiers":256,"declined":true})"),
         {StoredShortcut::Kind::declined, commandSpace}},
        {"not declined", QStringLiteral(R"({"carbonKeyCode":49,"carbonModifiers":256,"declined":false})"),
         {StoredShortcut::Kind::shortcut, commandSpace}},
        {"false marks a cleared name", QVariant(false), {StoredShortcut::Kind::cleared, {}}},
        {"true", QVariant(true), {}},
        {"text that is no shortcut", QStringLiteral("abc"), {}},
        {"a member missing", QStringLiteral(R"({"carbonKeyCode":49})"), {}},
        {"key code out of range", QStringLiteral(R"({"carbonKeyCode":-1,"carbonModifiers":0})"), {}},
        {"modifiers out of range", QStringLiteral(R"({"carbonKeyCode":49,"carbonModifiers":4294967296})"), {}},
        {"a number", QVariant::fromValue<qint64>(49), {}},
        {"the JSON as data", QVariant(QByteArray(R"({"carbonKeyCode":49,"carbonModifiers":256})")), {}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        defaults.setValue(QStringLiteral("GlobalShortcuts_toggle"), row.stored);
        EXPECT_EQ(storage.storedShortcut(plain), row.read);
        EXPECT_EQ(storage.getShortcut(plain), row.read.asShortcut());
        EXPECT_EQ(storage.storedObject(plain), row.stored) << "reading neither repairs nor removes";
    }
    defaults.remove(QStringLiteral("GlobalShortcuts_toggle"));
    EXPECT_EQ(storage.storedShortcut(plain), StoredShortcut{});
}

TEST_F(ShortcutStorageTest, StoresTheJsonTextAndPostsTheName)
{
    std::optional<Name> seen;
    QObject observer;
    notifications.addObserver(&observer, shortcutByNameDidChange,
                              [&](const Notification &notification) { seen = shortcutName(notification); });
    storage.setShortcut(commandSpace, withDefault);
    EXPECT_EQ(defaults.string(QStringLiteral("GlobalShortcuts_panel")),
              QStringLiteral(R"({"carbonKeyCode":49,"carbonModifiers":256})"));
    ASSERT_EQ(seen, withDefault);
    EXPECT_EQ(seen->initialShortcut, controlK) << "the whole Name travels, not its raw value";

    storage.storeShortcut(commandSpace, withDefault);
    EXPECT_EQ(changesPosted("panel"), 2) << "storing the same shortcut again still posts";
}

TEST_F(ShortcutStorageTest, ClearsWithTheMarkerOnlyWhereAnInitialShortcutWouldReturn)
{
    storage.setShortcut(std::nullopt, withDefault);
    storage.setShortcut(std::nullopt, withDefault);
    EXPECT_EQ(storage.storedShortcut(withDefault).kind, StoredShortcut::Kind::cleared);
    EXPECT_EQ(defaults.writeCount(QStringLiteral("GlobalShortcuts_panel")), 2) << "the default, then false once";
    EXPECT_EQ(changesPosted("panel"), 1);

    storage.setShortcut(std::nullopt, plain);
    EXPECT_FALSE(defaults.contains(QStringLiteral("GlobalShortcuts_toggle")));
    EXPECT_EQ(changesPosted("toggle"), 0) << "nothing stored, nothing to clear";

    defaults.setString(QStringLiteral("GlobalShortcuts_toggle"), QStringLiteral("abc"));
    storage.setShortcut(std::nullopt, plain);
    EXPECT_FALSE(defaults.contains(QStringLiteral("GlobalShortcuts_toggle")));
    EXPECT_EQ(changesPosted("toggle"), 1);
}

TEST_F(ShortcutStorageTest, ResetWritesInitialShortcutsAgain)
{
    storage.reset({withDefault, plain});
    EXPECT_EQ(storage.getShortcut(withDefault), controlK);
    EXPECT_EQ(changesPosted("panel"), 1) << "written and posted although it was stored already";
    EXPECT_EQ(changesPosted("toggle"), 0);

    storage.setShortcut(commandSpace, plain);
    storage.reset({plain});
    EXPECT_EQ(storage.storedObject(plain), std::nullopt);
    EXPECT_EQ(changesPosted("toggle"), 2);
}

TEST_F(ShortcutStorageTest, ListsAndRemovesEveryPrefixedKey)
{
    defaults.setString(QStringLiteral("GlobalShortcuts_"), QStringLiteral("abc"));
    defaults.setBool(QStringLiteral("GlobalShortcuts_cleared"), false);
    defaults.setString(QStringLiteral("GlobalShortcuts_GlobalShortcuts_x"), QString());
    defaults.setBool(QStringLiteral("hideUnavailableDevices"), true);
    defaults.setBool(QStringLiteral("GlobalShortcutsX"), true);

    const QSet<Name> expected{Name(""), Name("cleared"), Name("GlobalShortcuts_x"), Name("panel")};
    EXPECT_EQ(storage.storedNames(), expected);
    for (const Name &name : storage.storedNames())
        EXPECT_EQ(name.initialShortcut, std::nullopt);

    storage.removeAllStoredShortcuts();
    EXPECT_EQ(defaults.keys(), QStringList({"GlobalShortcutsX", "hideUnavailableDevices"}));
    for (const char *rawValue : {"", "cleared", "GlobalShortcuts_x", "panel"})
        EXPECT_EQ(changesPosted(rawValue), 1) << rawValue;
}

TEST_F(ShortcutStorageTest, NamesDifferByCase)
{
    storage.setShortcut(controlK, Name("toggle"));
    EXPECT_EQ(storage.getShortcut(Name("Toggle")), std::nullopt);
    EXPECT_NE(Name("toggle"), Name("Toggle"));
}

TEST_F(ShortcutStorageTest, AnInitialShortcutIsStoredOnceAndNeverOverwritesTheUser)
{
    EXPECT_EQ(storage.getShortcut(withDefault), controlK);
    EXPECT_EQ(changesPosted("panel"), 0);

    storage.setShortcut(std::nullopt, withDefault);
    const Name nextLaunch(QStringLiteral("panel"), commandSpace, storage);
    EXPECT_EQ(storage.getShortcut(nextLaunch), std::nullopt) << "the user cleared it";

    storage.setShortcut(commandSpace, plain);
    const Name withOtherDefault(QStringLiteral("toggle"), controlK, storage);
    EXPECT_EQ(storage.getShortcut(withOtherDefault), commandSpace);
}

TEST_F(ShortcutStorageTest, NamesWithoutInitialShortcutWriteNothing)
{
    const int writes = defaults.writeCount();
    const Name bare(QStringLiteral("showVantora"));
    EXPECT_EQ(defaults.writeCount(), writes);
    EXPECT_EQ(Name(QStringLiteral("panel")), withDefault) << "equal by raw value alone";
    EXPECT_EQ(qHash(Name(QStringLiteral("panel"))), qHash(withDefault));
}

TEST(ShortcutNotifications, ReadTheirPayloadOnlyWhenItHasTheRightType)
{
    EXPECT_EQ(shortcutName({shortcutByNameDidChange, {}}), std::nullopt);
    EXPECT_EQ(shortcutName({shortcutByNameDidChange, {{"name", QStringLiteral("panel")}}}), std::nullopt);
    EXPECT_EQ(shortcutName({shortcutByNameDidChange, {{"name", QVariant::fromValue(Name("panel"))}}}), Name("panel"));

    EXPECT_FALSE(recorderIsActive({recorderActiveStatusDidChange, {}}));
    EXPECT_FALSE(recorderIsActive({recorderActiveStatusDidChange, {{"isActive", 1}}}));
    EXPECT_FALSE(recorderIsActive({recorderActiveStatusDidChange, {{"isActive", false}}}));
    EXPECT_TRUE(recorderIsActive({recorderActiveStatusDidChange, {{"isActive", true}}}));
}

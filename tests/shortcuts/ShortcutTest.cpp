#include "KeyboardLayouts.h"

#include "shortcuts/KeyEvent.h"
#include "shortcuts/Shortcut.h"
#include "shortcuts/SpecialKey.h"

#include "runtime/Errors.h"

#include <gtest/gtest.h>

using namespace vantora::GlobalShortcuts;
using vantora::runtime::DecodingError;
using vantora::testing::keyboardLayout;

namespace {

constexpr qint64 command = CarbonModifier::command;
constexpr qint64 shift = CarbonModifier::shift;
constexpr qint64 option = CarbonModifier::option;
constexpr qint64 control = CarbonModifier::control;
constexpr qint64 function = CarbonModifier::function;

} // namespace

TEST(Shortcut, KeepsOnlyTheFiveModifierBits)
{
    EXPECT_EQ(Shortcut(40, command | 0x400).carbonModifiers, command) << "caps lock is dropped";
    EXPECT_EQ(Shortcut(40, 0xFFFF'FFFF).carbonModifiers, command | shift | option | control | function);
    EXPECT_EQ(Shortcut(Key::k, ModifierFlag::command | ModifierFlag::numericPad), Shortcut(40, command));
    EXPECT_EQ(Shortcut(Key::k, ModifierFlag::command).modifiers(), ModifierFlags(ModifierFlag::command));
    EXPECT_EQ(Shortcut(40, 0).key(), Key::k);
}

TEST(Shortcut, FromAKeyEventLeavesFnOut)
{
    const KeyEvent event{EventType::keyUp, Key::upArrow.rawValue,
                         ModifierFlag::function | ModifierFlag::control | ModifierFlag::capsLock, false};
    EXPECT_EQ(Shortcut::fromKeyEvent(event), Shortcut(Key::upArrow.rawValue, control));
}

TEST(Shortcut, EqualsAndHashesByBothFields)
{
    EXPECT_EQ(Shortcut(40, command), Shortcut(40, command));
    EXPECT_EQ(qHash(Shortcut(40, command)), qHash(Shortcut(40, command)));
    EXPECT_NE(Shortcut(40, command), Shortcut(40, control));
    EXPECT_NE(Shortcut(40, command), Shortcut(41, command));
}

TEST(Shortcut, WritesCompactJsonKeyCodeFirst)
{
    EXPECT_EQ(toJson(Shortcut(49, command)), QByteArray(R"({"carbonKeyCode":49,"carbonModifiers":256})"));
}

TEST(Shortcut, ReadsJsonStrictly)
{
    const struct {
        const char *name;
        QByteArray json;
        std::optional<Shortcut> shortcut;
    } rows[] = {
        {"members in any order, with white space", R"({"carbonModifiers":256, "carbonKeyCode":49})",
         Shortcut(49, command)},
        {"further members ignored", R"({"carbonKeyCode":40,"carbonModifiers":256,"x":"y"})", Shortcut(40, command)},
        {"largest 32-bit values", R"({"carbonKeyCode":4294967295,"carbonModifiers":0})", Shortcut(4294967295, 0)},
        {"missing modifiers", R"({"carbonKeyCode":49})", std::nullopt},
        {"null key code", R"({"carbonKeyCode":null,"carbonModifiers":256})", std::nullopt},
        {"fractional key code", R"({"carbonKeyCode":49.5,"carbonModifiers":256})", std::nullopt},
        {"key code as text", R"({"carbonKeyCode":"49","carbonModifiers":256})", std::nullopt},
        {"negative key code", R"({"carbonKeyCode":-1,"carbonModifiers":256})", std::nullopt},
        {"key code beyond 32 bits", R"({"carbonKeyCode":4294967296,"carbonModifiers":256})", std::nullopt},
        {"negative modifiers", R"({"carbonKeyCode":49,"carbonModifiers":-256})", std::nullopt},
        {"not an object", R"([49,256])", std::nullopt},
        {"not JSON", "abc", std::nullopt},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        if (row.shortcut)
            EXPECT_EQ(shortcutFromJson(row.json), *row.shortcut);
        else
            EXPECT_THROW(shortcutFromJson(row.json), DecodingError);
    }
}

TEST(Shortcut, ReadsModifiersAsStored)
{
    EXPECT_EQ(shortcutFromJson(R"({"carbonKeyCode":40,"carbonModifiers":1280})").carbonModifiers, 0x500);
}

TEST(Shortcut, DescribesItselfInTheCurrentLayout)
{
    const struct {
        const char *name;
        QByteArray layout;
        Shortcut shortcut;
        QString description;
    } rows[] = {
        {"us letter", "us", Shortcut(Key::k, ModifierFlag::control | ModifierFlag::option), "Ctrl+Alt+K"},
        {"command is Super", "us", Shortcut(Key::a, ModifierFlag::command), "Super+A"},
        {"modifier order", "us", Shortcut(Key::k.rawValue, 0x21B00), "Ctrl+Alt+Shift+Super+Fn+K"},
        {"de prints z on the y key", "de", Shortcut(Key::y.rawValue, control), "Ctrl+Z"},
        {"de umlaut in upper case", "de", Shortcut(Key::semicolon.rawValue, control), "Ctrl+Ö"},
        {"fr prints q on the a key", "fr", Shortcut(Key::a.rawValue, control | shift), "Ctrl+Shift+Q"},
        {"fr digit row", "fr", Shortcut(Key::one.rawValue, control), "Ctrl+&"},
        {"punctuation", "us", Shortcut(Key::comma.rawValue, control), "Ctrl+,"},
        {"space has a name", "us", Shortcut(Key::space.rawValue, option), "Alt+Space"},
        {"function key alone", "us", Shortcut(Key::f5.rawValue, 0), "F5"},
        {"arrow", "us", Shortcut(Key::upArrow.rawValue, control | shift), "Ctrl+Shift+Up"},
        {"backspace", "us", Shortcut(Key::deleteKey.rawValue, control), "Ctrl+Backspace"},
        {"keypad digit", "us", Shortcut(Key::keypad5.rawValue, control), "Ctrl+Num+5"},
        {"key that prints nothing", "us", Shortcut(Key::volumeUp.rawValue, control), "Ctrl+\uFFFD"},
        {"unknown key", "us", Shortcut(999, control), "Ctrl+\uFFFD"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.shortcut.description(keyboardLayout(row.layout)), row.description);
    }
}

TEST(Shortcut, GivesTheKeySequenceMenusShowAndIsFoundByIt)
{
    const struct {
        const char *name;
        QByteArray layout;
        Shortcut shortcut;
        std::optional<QKeySequence> sequence;
    } rows[] = {
        {"letter", "us", Shortcut(Key::r, ModifierFlag::control), QKeySequence(Qt::CTRL | Qt::Key_R)},
        {"shift is explicit", "us", Shortcut(Key::k, ModifierFlag::control | ModifierFlag::shift),
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_K)},
        {"command is Meta", "us", Shortcut(Key::q, ModifierFlag::command), QKeySequence(Qt::META | Qt::Key_Q)},
        {"layout decides the letter", "de", Shortcut(Key::y, ModifierFlag::control),
         QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {"umlaut", "de", Shortcut(Key::semicolon, ModifierFlag::control),
         QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_Odiaeresis))},
        {"punctuation", "us", Shortcut(Key::comma, ModifierFlag::control), QKeySequence(Qt::CTRL | Qt::Key_Comma)},
        {"special key", "us", Shortcut(Key::f5, {}), QKeySequence(Qt::Key_F5)},
        {"space", "us", Shortcut(Key::space, ModifierFlag::option), QKeySequence(Qt::ALT | Qt::Key_Space)},
        {"Fn has no key sequence modifier", "us", Shortcut(Key::f5, ModifierFlag::function), QKeySequence(Qt::Key_F5)},
        {"keypad keys have none", "us", Shortcut(Key::keypad5, ModifierFlag::control), std::nullopt},
        {"keys that print nothing have none", "us", Shortcut(Key::mute, ModifierFlag::control), std::nullopt},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.shortcut.keySequence(keyboardLayout(row.layout)), row.sequence);
        // And back, as the desktop's words for keys are read; Fn has no place in a key sequence.
        if (row.sequence && !(row.shortcut.carbonModifiers & CarbonModifier::function)) {
            EXPECT_EQ(Shortcut::fromKeySequence(*row.sequence, keyboardLayout(row.layout)), row.shortcut);
        }
    }
}

TEST(Shortcut, SpecialKeysAreNamedNotTranslated)
{
    EXPECT_EQ(Shortcut(Key::space, {}).keyToCharacter(keyboardLayout("us")), std::nullopt);
    EXPECT_EQ(Shortcut(Key::q, {}).keyToCharacter(keyboardLayout("fr")), QStringLiteral("a"));
    EXPECT_EQ(specialKey(Key::f13.rawValue), SpecialKey::f13);
    EXPECT_EQ(specialKey(Key::a.rawValue), std::nullopt);
    EXPECT_EQ(keyEquivalent(SpecialKey::help), Qt::Key_Help);
    EXPECT_EQ(keyEquivalent(SpecialKey::keypadEnter), std::nullopt);
}

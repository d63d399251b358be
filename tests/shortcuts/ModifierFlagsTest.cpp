#include "shortcuts/Key.h"
#include "shortcuts/ModifierFlags.h"

#include <gtest/gtest.h>

#include <set>

using namespace vantora::GlobalShortcuts;

TEST(ModifierFlags, ConvertToStoredBitsAndBack)
{
    const struct {
        const char *name;
        ModifierFlags flags;
        qint64 carbon;
    } rows[] = {
        {"none", {}, 0},
        {"control and option", ModifierFlag::control | ModifierFlag::option, 0x1800},
        {"shift and command", ModifierFlag::shift | ModifierFlag::command, 0x300},
        {"function", ModifierFlag::function, 0x20000},
        {"all five", ModifierFlag::control | ModifierFlag::option | ModifierFlag::shift | ModifierFlag::command
                         | ModifierFlag::function,
         0x21B00},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(carbonModifiers(row.flags), row.carbon);
        EXPECT_EQ(modifierFlags(row.carbon), row.flags);
    }
}

TEST(ModifierFlags, DropEverythingButTheFiveModifiers)
{
    EXPECT_EQ(carbonModifiers(ModifierFlag::capsLock | ModifierFlag::numericPad | ModifierFlag::help), 0);
    EXPECT_EQ(modifierFlags(qint64(0x400)), ModifierFlags()) << "caps lock";
    EXPECT_EQ(modifierFlags(qint64(0xFFFF'FFFF) & ~0x21B00), ModifierFlags());
    EXPECT_EQ(normalizedCarbonModifiers(0x500), 0x100);
}

TEST(ModifierFlags, PrintSymbolsInAFixedOrder)
{
    EXPECT_EQ(symbolicDescription({}), QString());
    EXPECT_EQ(symbolicDescription(ModifierFlag::command | ModifierFlag::shift | ModifierFlag::control),
              QStringLiteral("⌃⇧⌘"));
    EXPECT_EQ(symbolicDescription(ModifierFlag::function | ModifierFlag::command), QStringLiteral("⌘🌐︎"));
    EXPECT_EQ(symbolicDescription(ModifierFlag::capsLock | ModifierFlag::numericPad | ModifierFlag::help), QString());
}

TEST(ModifierFlags, NameModifiersTheLinuxWay)
{
    const ModifierFlags all = ModifierFlag::function | ModifierFlag::command | ModifierFlag::shift
        | ModifierFlag::option | ModifierFlag::control;
    EXPECT_EQ(modifierNames(all), QStringList({"Ctrl", "Alt", "Shift", "Super", "Fn"}));
    EXPECT_EQ(modifierNames(ModifierFlag::capsLock), QStringList());
}

TEST(ModifierFlags, MapToQtModifiers)
{
    const ModifierFlags mapped = ModifierFlag::control | ModifierFlag::option | ModifierFlag::shift
        | ModifierFlag::command | ModifierFlag::numericPad;
    const Qt::KeyboardModifiers qt =
        Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier | Qt::KeypadModifier;
    EXPECT_EQ(eventModifiers(mapped | ModifierFlag::function | ModifierFlag::capsLock), qt);
    EXPECT_EQ(modifierFlags(qt | Qt::GroupSwitchModifier), mapped);
}

TEST(ModifierFlags, FunctionKeySetHoldsF1ToF35)
{
    EXPECT_EQ(functionKeySet().size(), 35);
    EXPECT_TRUE(functionKeySet().contains(Qt::Key_F1));
    EXPECT_TRUE(functionKeySet().contains(Qt::Key_F35));
    EXPECT_FALSE(functionKeySet().contains(Qt::Key_Escape));
}

TEST(ModifierFlags, StringFromUnicodeScalar)
{
    const struct {
        qint64 value;
        std::optional<QString> string;
    } rows[] = {
        {0x41, QStringLiteral("A")},
        {0xF704, QString(QChar(0xF704))},
        {0x1F310, QStringLiteral("🌐")},
        {0xD800, std::nullopt},
        {0xDFFF, std::nullopt},
        {0x110000, std::nullopt},
        {0x1'0000'0000, std::nullopt},
        {-1, std::nullopt},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.value);
        EXPECT_EQ(stringFromUnicodeScalar(row.value), row.string);
    }
}

TEST(Key, NamedKeysHaveDistinctCodes)
{
    const Key named[] = {
        Key::a, Key::b, Key::c, Key::d, Key::e, Key::f, Key::g, Key::h, Key::i, Key::j, Key::k, Key::l, Key::m,
        Key::n, Key::o, Key::p, Key::q, Key::r, Key::s, Key::t, Key::u, Key::v, Key::w, Key::x, Key::y, Key::z,
        Key::zero, Key::one, Key::two, Key::three, Key::four, Key::five, Key::six, Key::seven, Key::eight, Key::nine,
        Key::capsLock, Key::shift, Key::function, Key::control, Key::option, Key::command, Key::rightCommand,
        Key::rightOption, Key::rightControl, Key::rightShift, Key::returnKey, Key::backslash, Key::backtick,
        Key::comma, Key::equal, Key::minus, Key::period, Key::quote, Key::semicolon, Key::slash, Key::space,
        Key::tab, Key::leftBracket, Key::rightBracket, Key::pageUp, Key::pageDown, Key::home, Key::end,
        Key::upArrow, Key::rightArrow, Key::downArrow, Key::leftArrow, Key::escape, Key::deleteKey,
        Key::deleteForward, Key::help, Key::mute, Key::volumeUp, Key::volumeDown, Key::f1, Key::f2, Key::f3,
        Key::f4, Key::f5, Key::f6, Key::f7, Key::f8, Key::f9, Key::f10, Key::f11, Key::f12, Key::f13, Key::f14,
        Key::f15, Key::f16, Key::f17, Key::f18, Key::f19, Key::f20, Key::keypad0, Key::keypad1, Key::keypad2,
        Key::keypad3, Key::keypad4, Key::keypad5, Key::keypad6, Key::keypad7, Key::keypad8, Key::keypad9,
        Key::keypadClear, Key::keypadDecimal, Key::keypadDivide, Key::keypadEnter, Key::keypadEquals,
        Key::keypadMinus, Key::keypadMultiply, Key::keypadPlus,
    };
    std::set<qint64> codes;
    for (const Key key : named)
        codes.insert(key.rawValue);
    EXPECT_EQ(std::size(named), 113u);
    EXPECT_EQ(codes.size(), 113u);
}

TEST(Key, FunctionKeyCodesIgnoreFnOnTheKeysThatCarryIt)
{
    const struct {
        const char *name;
        qint64 code;
        bool isFunctionKey;
    } rows[] = {
        {"F1", 122, true},      {"F20", 90, true},        {"help", 114, true},  {"keypad clear", 71, true},
        {"forward delete", 117, true}, {"left arrow", 123, true}, {"page down", 121, true},
        {"delete", 51, false},  {"escape", 53, false},    {"a", 0, false},      {"unnamed 999", 999, false},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(isFunctionKeyCode(row.code), row.isFunctionKey);
    }
    EXPECT_EQ(Key{999}, Key{999});
    EXPECT_EQ(qHash(Key{999}), qHash(Key{999}));
}

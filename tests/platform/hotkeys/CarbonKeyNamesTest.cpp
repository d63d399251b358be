#include "platform/x11/CarbonKeyNames.h"
#include "shortcuts/Key.h"

#include <xkbcommon/xkbcommon.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

using namespace vantora::platform;
using vantora::GlobalShortcuts::Key;

namespace {

struct KeymapDeleter {
    void operator()(xkb_context *context) const { xkb_context_unref(context); }
    void operator()(xkb_keymap *keymap) const { xkb_keymap_unref(keymap); }
};

// Every keysym on any level of the key `xkbName` names in the first group of `keymap`.
std::set<std::string> keysymsAt(xkb_keymap *keymap, const QByteArray &xkbName)
{
    std::set<std::string> names;
    const xkb_keycode_t keycode = xkb_keymap_key_by_name(keymap, xkbName.constData());
    if (keycode == XKB_KEYCODE_INVALID)
        return names;
    for (xkb_level_index_t level = 0; level < xkb_keymap_num_levels_for_key(keymap, keycode, 0); ++level) {
        const xkb_keysym_t *syms = nullptr;
        const int count = xkb_keymap_key_get_syms_by_level(keymap, keycode, 0, level, &syms);
        for (int i = 0; i < count; ++i) {
            char name[64];
            xkb_keysym_get_name(syms[i], name, sizeof name);
            names.insert(name);
        }
    }
    return names;
}

} // namespace

// Each named key, through its XKB name, must land on the key a US keyboard gives that
// name: two swapped codes put one key's name on the other's place and fail here.
TEST(CarbonKeyNames, EveryNamedKeySitsWhereAUsKeyboardHasIt)
{
    const struct {
        Key key;
        const char *usKeysym;
    } rows[] = {
        {Key::a, "a"}, {Key::b, "b"}, {Key::c, "c"}, {Key::d, "d"}, {Key::e, "e"}, {Key::f, "f"},
        {Key::g, "g"}, {Key::h, "h"}, {Key::i, "i"}, {Key::j, "j"}, {Key::k, "k"}, {Key::l, "l"},
        {Key::m, "m"}, {Key::n, "n"}, {Key::o, "o"}, {Key::p, "p"}, {Key::q, "q"}, {Key::r, "r"},
        {Key::s, "s"}, {Key::t, "t"}, {Key::u, "u"}, {Key::v, "v"}, {Key::w, "w"}, {Key::x, "x"},
        {Key::y, "y"}, {Key::z, "z"},
        {Key::zero, "0"}, {Key::one, "1"}, {Key::two, "2"}, {Key::three, "3"}, {Key::four, "4"},
        {Key::five, "5"}, {Key::six, "6"}, {Key::seven, "7"}, {Key::eight, "8"}, {Key::nine, "9"},
        {Key::capsLock, "Caps_Lock"}, {Key::shift, "Shift_L"}, {Key::control, "Control_L"},
        {Key::option, "Alt_L"}, {Key::command, "Super_L"}, {Key::rightCommand, "Super_R"},
        {Key::rightOption, "Alt_R"}, {Key::rightControl, "Control_R"}, {Key::rightShift, "Shift_R"},
        {Key::returnKey, "Return"}, {Key::backslash, "backslash"}, {Key::backtick, "grave"},
        {Key::comma, "comma"}, {Key::equal, "equal"}, {Key::minus, "minus"}, {Key::period, "period"},
        {Key::quote, "apostrophe"}, {Key::semicolon, "semicolon"}, {Key::slash, "slash"},
        {Key::space, "space"}, {Key::tab, "Tab"}, {Key::leftBracket, "bracketleft"},
        {Key::rightBracket, "bracketright"},
        {Key::pageUp, "Prior"}, {Key::pageDown, "Next"}, {Key::home, "Home"}, {Key::end, "End"},
        {Key::upArrow, "Up"}, {Key::rightArrow, "Right"}, {Key::downArrow, "Down"}, {Key::leftArrow, "Left"},
        {Key::escape, "Escape"}, {Key::deleteKey, "BackSpace"}, {Key::deleteForward, "Delete"},
        // Keys a PC keyboard lacks take the PC key in their place.
        {Key::help, "Insert"}, {Key::keypadClear, "Num_Lock"},
        {Key::mute, "XF86AudioMute"}, {Key::volumeUp, "XF86AudioRaiseVolume"},
        {Key::volumeDown, "XF86AudioLowerVolume"},
        {Key::f1, "F1"}, {Key::f2, "F2"}, {Key::f3, "F3"}, {Key::f4, "F4"}, {Key::f5, "F5"},
        {Key::f6, "F6"}, {Key::f7, "F7"}, {Key::f8, "F8"}, {Key::f9, "F9"}, {Key::f10, "F10"},
        {Key::f11, "F11"}, {Key::f12, "F12"},
        {Key::keypad0, "KP_0"}, {Key::keypad1, "KP_1"}, {Key::keypad2, "KP_2"}, {Key::keypad3, "KP_3"},
        {Key::keypad4, "KP_4"}, {Key::keypad5, "KP_5"}, {Key::keypad6, "KP_6"}, {Key::keypad7, "KP_7"},
        {Key::keypad8, "KP_8"}, {Key::keypad9, "KP_9"}, {Key::keypadDecimal, "KP_Decimal"},
        {Key::keypadDivide, "KP_Divide"}, {Key::keypadEnter, "KP_Enter"}, {Key::keypadEquals, "KP_Equal"},
        {Key::keypadMinus, "KP_Subtract"}, {Key::keypadMultiply, "KP_Multiply"}, {Key::keypadPlus, "KP_Add"},
    };
    const std::unique_ptr<xkb_context, KeymapDeleter> context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    const xkb_rule_names us{"evdev", "pc105", "us", "", nullptr};
    const std::unique_ptr<xkb_keymap, KeymapDeleter> keymap(
        xkb_keymap_new_from_names(context.get(), &us, XKB_KEYMAP_COMPILE_NO_FLAGS));
    ASSERT_TRUE(keymap) << "the US keymap does not compile (is xkb-data installed?)";

    std::set<qint64> named;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.usKeysym);
        named.insert(row.key.rawValue);
        const auto name = xkbKeyName(row.key.rawValue);
        ASSERT_TRUE(name);
        EXPECT_TRUE(keysymsAt(keymap.get(), *name).count(row.usKeysym)) << "code " << row.key.rawValue << " is at "
                                                                        << name->constData();
        EXPECT_EQ(carbonKeyCodeForXkbName(*name), row.key.rawValue);
    }
    // The US keymap gives F13 and above to media functions; their key names say which
    // function key they are.
    const struct {
        Key key;
        QByteArray xkbName;
    } highFunctionKeys[] = {
        {Key::f13, "FK13"}, {Key::f14, "FK14"}, {Key::f15, "FK15"}, {Key::f16, "FK16"},
        {Key::f17, "FK17"}, {Key::f18, "FK18"}, {Key::f19, "FK19"}, {Key::f20, "FK20"},
    };
    for (const auto &row : highFunctionKeys) {
        SCOPED_TRACE(row.xkbName.constData());
        named.insert(row.key.rawValue);
        EXPECT_EQ(xkbKeyName(row.key.rawValue), row.xkbName);
        EXPECT_EQ(carbonKeyCodeForXkbName(row.xkbName), row.key.rawValue);
    }
    // No code outside the named keys has a place of its own.
    for (qint64 code = -1; code < 256; ++code) {
        if (!named.count(code)) {
            EXPECT_EQ(xkbKeyName(code), std::nullopt) << code;
        }
    }
}

TEST(CarbonKeyNames, KeysWithoutAPlaceHaveNoName)
{
    EXPECT_EQ(xkbKeyName(Key::function.rawValue), std::nullopt) << "the Fn key never reaches X";
    EXPECT_EQ(carbonKeyCodeForXkbName("HELP"), std::nullopt);
    EXPECT_EQ(carbonKeyCodeForXkbName(""), std::nullopt);
}

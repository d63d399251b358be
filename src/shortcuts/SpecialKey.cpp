#include "SpecialKey.h"

#include <QCoreApplication>

#include <algorithm>
#include <array>

namespace vantora::GlobalShortcuts {

namespace {

struct SpecialKeyRow {
    SpecialKey key;
    qint64 carbonKeyCode;
    // Untranslated; the "GlobalShortcuts" context translates it.
    const char *name;
    // Zero: none.
    int qtKey;
};

#define GS_NAME(text) QT_TRANSLATE_NOOP("GlobalShortcuts", text)

constexpr std::array<SpecialKeyRow, 53> rows{{
    {SpecialKey::returnKey, 36, GS_NAME("Return"), Qt::Key_Return},
    {SpecialKey::deleteKey, 51, GS_NAME("Backspace"), Qt::Key_Backspace},
    {SpecialKey::deleteForward, 117, GS_NAME("Del"), Qt::Key_Delete},
    {SpecialKey::end, 119, GS_NAME("End"), Qt::Key_End},
    {SpecialKey::escape, 53, GS_NAME("Esc"), Qt::Key_Escape},
    {SpecialKey::help, 114, GS_NAME("Help"), Qt::Key_Help},
    {SpecialKey::home, 115, GS_NAME("Home"), Qt::Key_Home},
    {SpecialKey::space, 49, GS_NAME("Space"), Qt::Key_Space},
    {SpecialKey::tab, 48, GS_NAME("Tab"), Qt::Key_Tab},
    {SpecialKey::pageUp, 116, GS_NAME("PgUp"), Qt::Key_PageUp},
    {SpecialKey::pageDown, 121, GS_NAME("PgDown"), Qt::Key_PageDown},
    {SpecialKey::upArrow, 126, GS_NAME("Up"), Qt::Key_Up},
    {SpecialKey::rightArrow, 124, GS_NAME("Right"), Qt::Key_Right},
    {SpecialKey::downArrow, 125, GS_NAME("Down"), Qt::Key_Down},
    {SpecialKey::leftArrow, 123, GS_NAME("Left"), Qt::Key_Left},
    {SpecialKey::f1, 122, "F1", Qt::Key_F1},
    {SpecialKey::f2, 120, "F2", Qt::Key_F2},
    {SpecialKey::f3, 99, "F3", Qt::Key_F3},
    {SpecialKey::f4, 118, "F4", Qt::Key_F4},
    {SpecialKey::f5, 96, "F5", Qt::Key_F5},
    {SpecialKey::f6, 97, "F6", Qt::Key_F6},
    {SpecialKey::f7, 98, "F7", Qt::Key_F7},
    {SpecialKey::f8, 100, "F8", Qt::Key_F8},
    {SpecialKey::f9, 101, "F9", Qt::Key_F9},
    {SpecialKey::f10, 109, "F10", Qt::Key_F10},
    {SpecialKey::f11, 103, "F11", Qt::Key_F11},
    {SpecialKey::f12, 111, "F12", Qt::Key_F12},
    {SpecialKey::f13, 105, "F13", Qt::Key_F13},
    {SpecialKey::f14, 107, "F14", Qt::Key_F14},
    {SpecialKey::f15, 113, "F15", Qt::Key_F15},
    {SpecialKey::f16, 106, "F16", Qt::Key_F16},
    {SpecialKey::f17, 64, "F17", Qt::Key_F17},
    {SpecialKey::f18, 79, "F18", Qt::Key_F18},
    {SpecialKey::f19, 80, "F19", Qt::Key_F19},
    {SpecialKey::f20, 90, "F20", Qt::Key_F20},
    {SpecialKey::keypad0, 82, GS_NAME("Num+0"), 0},
    {SpecialKey::keypad1, 83, GS_NAME("Num+1"), 0},
    {SpecialKey::keypad2, 84, GS_NAME("Num+2"), 0},
    {SpecialKey::keypad3, 85, GS_NAME("Num+3"), 0},
    {SpecialKey::keypad4, 86, GS_NAME("Num+4"), 0},
    {SpecialKey::keypad5, 87, GS_NAME("Num+5"), 0},
    {SpecialKey::keypad6, 88, GS_NAME("Num+6"), 0},
    {SpecialKey::keypad7, 89, GS_NAME("Num+7"), 0},
    {SpecialKey::keypad8, 91, GS_NAME("Num+8"), 0},
    {SpecialKey::keypad9, 92, GS_NAME("Num+9"), 0},
    {SpecialKey::keypadClear, 71, GS_NAME("Clear"), 0},
    {SpecialKey::keypadDecimal, 65, GS_NAME("Num+."), 0},
    {SpecialKey::keypadDivide, 75, GS_NAME("Num+/"), 0},
    {SpecialKey::keypadEnter, 76, GS_NAME("Enter"), 0},
    {SpecialKey::keypadEquals, 81, GS_NAME("Num+="), 0},
    {SpecialKey::keypadMinus, 78, GS_NAME("Num+-"), 0},
    {SpecialKey::keypadMultiply, 67, GS_NAME("Num+*"), 0},
    {SpecialKey::keypadPlus, 69, GS_NAME("Num++"), 0},
}};

#undef GS_NAME

constexpr bool rowsFollowEnumOrder()
{
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (std::size_t(rows[i].key) != i)
            return false;
    }
    return true;
}
static_assert(rowsFollowEnumOrder(), "rowOf() indexes the table by the enum's value");

const SpecialKeyRow &rowOf(SpecialKey key)
{
    return rows[std::size_t(key)];
}

} // namespace

std::optional<SpecialKey> specialKey(qint64 carbonKeyCode)
{
    const auto row = std::find_if(rows.begin(), rows.end(),
                                  [&](const SpecialKeyRow &entry) { return entry.carbonKeyCode == carbonKeyCode; });
    if (row == rows.end())
        return std::nullopt;
    return row->key;
}

QString presentableDescription(SpecialKey key)
{
    return QCoreApplication::translate("GlobalShortcuts", rowOf(key).name);
}

std::optional<Qt::Key> keyEquivalent(SpecialKey key)
{
    const int qtKey = rowOf(key).qtKey;
    if (!qtKey)
        return std::nullopt;
    return Qt::Key(qtKey);
}

} // namespace vantora::GlobalShortcuts

#include "platform/portal/XdgShortcutTrigger.h"
#include "platform/x11/XkbKeyboardLayout.h"

#include <gtest/gtest.h>

using namespace vantora::platform;

TEST(XdgShortcutTrigger, NamesModifiersAndTheKeysSymbolOnTheLayout)
{
    constexpr quint32 command = 0x100, shift = 0x200, option = 0x800, control = 0x1000, function = 0x20000;
    const struct {
        const char *name;
        QByteArray layout;
        int group;
        quint32 carbonKeyCode;
        quint32 carbonModifiers;
        std::optional<QString> trigger;
    } rows[] = {
        {"ctrl alt L", "us", 0, 37, control | option, QStringLiteral("CTRL+ALT+l")},
        {"every modifier, in one order", "us", 0, 40, command | shift | option | control,
         QStringLiteral("CTRL+ALT+SHIFT+LOGO+k")},
        {"a function key", "us", 0, 96, shift, QStringLiteral("SHIFT+F5")},
        {"named keys keep their names", "us", 0, 49, command, QStringLiteral("LOGO+space")},
        {"return", "us", 0, 36, control, QStringLiteral("CTRL+Return")},
        {"the key where a German layout has z", "de", 0, 16, control, QStringLiteral("CTRL+z")},
        {"a German umlaut key", "de", 0, 41, control, QStringLiteral("CTRL+odiaeresis")},
        {"a Cyrillic layout names keys in its Latin group", "ru,us", 0, 37, control, QStringLiteral("CTRL+l")},
        {"Fn is no desktop's modifier", "us", 0, 37, control | function, std::nullopt},
        {"a code with no key", "us", 0, 999, control, std::nullopt},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const auto layout = XkbKeyboardLayout::fromNames(row.layout, {}, row.group);
        ASSERT_TRUE(layout) << "keymap " << row.layout.constData() << " does not compile (is xkb-data installed?)";
        EXPECT_EQ(xdgShortcutTrigger(row.carbonKeyCode, row.carbonModifiers, *layout), row.trigger);
    }
}

#include "platform/x11/XkbKeyboardLayout.h"

#include <gtest/gtest.h>

using namespace vantora::platform;

namespace {

std::unique_ptr<XkbKeyboardLayout> layout(const QByteArray &names, const QByteArray &variant = {}, int group = 0)
{
    auto built = XkbKeyboardLayout::fromNames(names, variant, group);
    if (!built)
        ADD_FAILURE() << "keymap " << names.constData() << " does not compile (is xkb-data installed?)";
    return built;
}

} // namespace

TEST(XkbKeyboardLayout, NamesKeysAsTheLayoutPrintsThem)
{
    const struct {
        const char *name;
        QByteArray layout;
        QByteArray variant;
        qint64 carbonKeyCode;
        std::optional<QString> character;
    } rows[] = {
        {"us a", "us", {}, 0, QStringLiteral("a")},
        {"us y", "us", {}, 16, QStringLiteral("y")},
        {"us semicolon", "us", {}, 41, QStringLiteral(";")},
        {"de swaps y and z", "de", {}, 16, QStringLiteral("z")},
        {"de umlaut", "de", {}, 41, QStringLiteral("ö")},
        {"de dead circumflex shows its accent", "de", {}, 50, QStringLiteral("^")},
        {"de without dead keys", "de", "nodeadkeys", 50, QStringLiteral("^")},
        {"fr a is q", "fr", {}, 0, QStringLiteral("q")},
        {"fr semicolon place is m", "fr", {}, 41, QStringLiteral("m")},
        {"fr digit row prints symbols", "fr", {}, 18, QStringLiteral("&")},
        {"special keys print nothing", "us", {}, 36, std::nullopt},
        {"space prints a space", "us", {}, 49, QStringLiteral(" ")},
        {"escape prints no character", "us", {}, 53, std::nullopt},
        {"unknown code", "us", {}, 999, std::nullopt},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        auto keyboard = layout(row.layout, row.variant);
        ASSERT_TRUE(keyboard);
        EXPECT_EQ(keyboard->character(row.carbonKeyCode), row.character);
    }
}

TEST(XkbKeyboardLayout, NamesKeysInTheFirstLatinLayout)
{
    auto russianFirst = layout("ru,us", {}, 0);
    ASSERT_TRUE(russianFirst);
    EXPECT_EQ(russianFirst->character(0), QStringLiteral("a"));

    auto germanActive = layout("us,de", {}, 1);
    ASSERT_TRUE(germanActive);
    EXPECT_EQ(germanActive->character(16), QStringLiteral("z")) << "the active group comes first";

    auto russianOnly = layout("ru");
    ASSERT_TRUE(russianOnly);
    EXPECT_EQ(russianOnly->character(0), std::nullopt);
}

TEST(XkbKeyboardLayout, TranslatesScanCodesToCarbonCodes)
{
    auto keyboard = layout("de");
    ASSERT_TRUE(keyboard);
    // evdev key codes: the key code of an X event is the kernel's code plus 8.
    EXPECT_EQ(keyboard->carbonKeyCode(38), 0);
    EXPECT_EQ(keyboard->carbonKeyCode(29), 16) << "a place, whatever the layout prints there";
    EXPECT_EQ(keyboard->carbonKeyCode(71), 96);
    EXPECT_EQ(keyboard->carbonKeyCode(111), 126);
    EXPECT_EQ(keyboard->carbonKeyCode(146), std::nullopt) << "the Help key of PC keyboards has no Carbon code";
    EXPECT_EQ(keyboard->carbonKeyCode(0), std::nullopt);
}

TEST(XkbKeyboardLayout, RefusesNamesThatDoNotCompile)
{
    EXPECT_EQ(XkbKeyboardLayout::fromNames("us", {}, 1), nullptr) << "a group the keymap does not have";
}

TEST(XkbKeyboardLayout, AnswersNothingWithoutADisplay)
{
    auto keyboard = XkbKeyboardLayout::fromDisplay(":65000");
    EXPECT_EQ(keyboard->character(0), std::nullopt);
    EXPECT_EQ(keyboard->carbonKeyCode(38), std::nullopt);
}

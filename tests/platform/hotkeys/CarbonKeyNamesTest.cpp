#include "platform/CarbonKeyNames.h"

#include <gtest/gtest.h>

#include <set>

using namespace vantora::platform;

TEST(CarbonKeyNames, MapsKeysByPlaceOnTheKeyboard)
{
    const struct {
        const char *name;
        qint64 carbonKeyCode;
        QByteArray xkbName;
    } rows[] = {
        {"a, right of Caps Lock", 0, "AC01"},
        {"z, first of the bottom row", 6, "AB01"},
        {"grave, left of 1", 50, "TLDE"},
        {"delete is backspace", 51, "BKSP"},
        {"forward delete", 117, "DELE"},
        {"help sits where Insert is", 114, "INS"},
        {"keypad clear sits where Num Lock is", 71, "NMLK"},
        {"command is the Super key", 55, "LWIN"},
        {"F13", 105, "FK13"},
        {"up arrow", 126, "UP"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(xkbKeyName(row.carbonKeyCode), row.xkbName);
        EXPECT_EQ(carbonKeyCodeForXkbName(row.xkbName), row.carbonKeyCode);
    }
}

TEST(CarbonKeyNames, KeysWithoutAPlaceHaveNoName)
{
    EXPECT_EQ(xkbKeyName(63), std::nullopt) << "the Fn key never reaches X";
    EXPECT_EQ(xkbKeyName(999), std::nullopt);
    EXPECT_EQ(xkbKeyName(-1), std::nullopt);
    EXPECT_EQ(carbonKeyCodeForXkbName("HELP"), std::nullopt);
    EXPECT_EQ(carbonKeyCodeForXkbName(""), std::nullopt);
}

TEST(CarbonKeyNames, EveryNameBelongsToOneCode)
{
    std::set<QByteArray> names;
    int mapped = 0;
    for (qint64 code = 0; code < 128; ++code) {
        const auto name = xkbKeyName(code);
        if (!name)
            continue;
        ++mapped;
        EXPECT_TRUE(names.insert(*name).second) << name->constData();
        EXPECT_EQ(carbonKeyCodeForXkbName(*name), code);
    }
    EXPECT_EQ(mapped, 112);
}

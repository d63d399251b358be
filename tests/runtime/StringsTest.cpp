#include "runtime/Strings.h"

#include <QLocale>

#include <gtest/gtest.h>

using namespace vantora::runtime;

TEST(Strings, BridgeIdIsSixteenHexDigitsInEitherCase)
{
    EXPECT_TRUE(isBridgeId(u"001788fffe123456"));
    EXPECT_TRUE(isBridgeId(u"001788FFFE123456"));
    EXPECT_FALSE(isBridgeId(u"001788fffe12345"));
    EXPECT_FALSE(isBridgeId(u"001788fffe12345g"));
    EXPECT_FALSE(isBridgeId(u"001788fffe1234567"));
    EXPECT_FALSE(isBridgeId(u"００1788fffe123456")); // full-width digits are not hexadecimal
    EXPECT_FALSE(containsNonHexDigit(u""));
}

TEST(Strings, LocalizedStandardCompareIsNumericAndCaseInsensitive)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_LT(localizedStandardCompare(QStringLiteral("Room 2"), QStringLiteral("Room 10")), 0);
    EXPECT_LT(localizedStandardCompare(QStringLiteral("attic"), QStringLiteral("Bedroom")), 0);
    EXPECT_EQ(localizedStandardCompare(QStringLiteral("hall"), QStringLiteral("Hall")), 0);
}

TEST(Strings, UuidTextIsUpperCaseWithoutBraces)
{
    const QUuid uuid(QStringLiteral("{e621e1f8-c36c-495a-93fc-0c247a3e6e5f}"));
    EXPECT_EQ(uppercaseUuidText(uuid), QStringLiteral("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"));
}

TEST(Strings, CodePointCompareOrdersByScalarValue)
{
    EXPECT_LT(codePointCompare(u"B", u"a"), 0);
    EXPECT_EQ(codePointCompare(u"x", u"x"), 0);
    EXPECT_GT(codePointCompare(u"\U0001F600", u"\uFFFF"), 0) << "surrogate pairs compare by scalar, not by UTF-16 unit";
}

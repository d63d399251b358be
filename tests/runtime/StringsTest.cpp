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

TEST(Strings, LocalizedOrderStaysNumericUnderTheCLocale)
{
    const QLocale previous;
    QLocale::setDefault(QLocale::c());
    EXPECT_LT(localizedStandardCompare(QStringLiteral("Room 2"), QStringLiteral("Room 10")), 0);
    EXPECT_EQ(localizedStandardCompare(QStringLiteral("hall"), QStringLiteral("Hall")), 0);
    QLocale::setDefault(previous);
}

TEST(Strings, StableSortByLocalizedOrderKeepsEqualNamesInPlace)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    std::vector<std::pair<QString, int>> items{
        {QStringLiteral("Lamp 10"), 0}, {QStringLiteral("lamp 2"), 1}, {QStringLiteral("Attic"), 2},
        {QStringLiteral("Lamp 2"), 3},  {QStringLiteral("LAMP 2"), 4},
    };
    stableSortByLocalizedStandardOrder(items, [](const auto &item) { return item.first; });
    std::vector<int> order;
    for (const auto &item : items)
        order.push_back(item.second);
    EXPECT_EQ(order, (std::vector<int>{2, 1, 3, 4, 0}));
}

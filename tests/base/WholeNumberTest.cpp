#include "base/WholeNumber.h"
#include <QString>
#include "support/TestSupport.h"
#include <gtest/gtest.h>

TEST(WholeNumber, ReadsTheOneRuleEverywhere)
{
    struct Case {
        const char* text;
        std::optional<qint32> expected;
    };
    const Case cases[] = {
        {"0", 0},
        {"007", 7},
        {"  42", 42},
        {"+5", 5},
        {"-1", -1},
        {"2147483647", 2147483647},
        {"-2147483648", std::numeric_limits<qint32>::min()},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"$FF", 255},
        {"x10", 16},
        {"X10", 16},
        {"0x1f", 31},
        {"0XFFFFFFFF", -1}, // hexadecimal is a 32-bit pattern
        {"$80000000", std::numeric_limits<qint32>::min()},
        {"-$80000000", std::numeric_limits<qint32>::min()}, // negated as a pattern, no overflow
        {"-0x1", -1},
        {"$100000000", std::nullopt}, // wider than 32 bits
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"0x", std::nullopt},
        {"12 ", std::nullopt}, // nothing after the digits
        {"1 2", std::nullopt},
        {"abc", std::nullopt},
        {"12a", std::nullopt},
        {"1.5", std::nullopt},
        {"\t1", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseWholeNumber(QString::fromLatin1(c.text)), c.expected) << c.text;
}

TEST(WholeNumber, FallbackIsMinusOneUnlessGiven)
{
    EXPECT_EQ(toWholeNumber(u"x"), -1);
    EXPECT_EQ(toWholeNumber(u"x", 1000), 1000);
    EXPECT_EQ(toWholeNumber(u"12", 1000), 12);
}

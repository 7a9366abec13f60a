#include "core/numbertext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>

using fenpai::NumberText;

TEST(NumberText, FormatsWholeDoublesWithoutDecimalsAndOthersShortest)
{
    const struct
    {
        double value;
        const char *text;
    } cases[] = {
        {85.0, "85"},
        {-0.0, "0"},
        {-12.0, "-12"},
        {0.1, "0.1"},
        {1.0 / 3, "0.3333333333333333"},
        {21010530, "21010530"},
        {1e20, "1e+20"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(NumberText::format(c.value).toStdString(), c.text) << c.value;
}

TEST(NumberText, ReadsTheLeadingNumberOfTypedText)
{
    const struct
    {
        const char *text;
        double value;
    } cases[] = {
        {"", 0},     {"abc", 0},  {"12abc", 12},  {"  3.5", 3.5}, {"-2", -2},           {"+7 ", 7},
        {".5", 0.5}, {"1.", 1},   {"1e3x", 1000}, {"1e", 1},      {"2100001", 2100001}, {"3 4", 3},
        {"-", 0},    {"１２", 0}, {"45人", 45},
    };
    for (const auto &c : cases)
        EXPECT_DOUBLE_EQ(NumberText::leadingValue(QString::fromUtf8(c.text)), c.value) << c.text;
    EXPECT_TRUE(NumberText::isNumber(" 12.5 "));
    EXPECT_FALSE(NumberText::isNumber("12a"));
    EXPECT_FALSE(NumberText::isNumber(""));
}

TEST(NumberText, RoundsHalvesToEven)
{
    const struct
    {
        double in, out;
    } cases[] = {{2.5, 2},   {3.5, 4},   {-2.5, -2}, {-3.5, -4}, {40.83, 41},
                 {22.5, 22}, {23.5, 24}, {0.49, 0},  {7, 7}};
    for (const auto &c : cases)
        EXPECT_EQ(NumberText::roundHalfEven(c.in), c.out) << c.in;
}

TEST(NumberText, WholeNumbersOnlyWhenTheyFitTheirRange)
{
    constexpr qint64 intMax = std::numeric_limits<int>::max();
    const struct
    {
        const char *text;
        qint64 min;
        qint64 max;
        std::optional<qint64> expected;
    } cases[] = {
        {"12", 1, intMax, 12},
        {" +7 ", 1, intMax, 7},
        {"-3", -10, 10, -3},
        {"0", 1, intMax, std::nullopt},
        {"2147483647", 1, intMax, intMax},
        // Past the type: neither cut to 32 bits nor wrapped around.
        {"2147483648", 1, intMax, std::nullopt},
        {"4294967297", 1, intMax, std::nullopt},
        {"99999999999999999999", 1, std::numeric_limits<qint64>::max(), std::nullopt},
        {"-9223372036854775808", std::numeric_limits<qint64>::min(), 0,
         std::numeric_limits<qint64>::min()},
        // Fractions, exponents and other text are no whole numbers.
        {"2.5", 1, intMax, std::nullopt},
        {"1e3", 1, intMax, std::nullopt},
        {"12abc", 1, intMax, std::nullopt},
        {"", 1, intMax, std::nullopt},
        {"-", -10, 10, std::nullopt},
        {"\xef\xbc\x93", 1, intMax, std::nullopt}, // a full-width 3
    };
    for (const auto &c : cases)
        EXPECT_EQ(NumberText::wholeNumber(QString::fromUtf8(c.text), c.min, c.max), c.expected)
            << c.text;
}

TEST(NumberText, DisplaysStoredValues)
{
    EXPECT_EQ(NumberText::display(QVariant()), "");
    EXPECT_EQ(NumberText::display(QVariant(95.0)), "95");
    EXPECT_EQ(NumberText::display(QVariant(qlonglong(7))), "7");
    EXPECT_EQ(NumberText::display(QVariant(QStringLiteral("初三(2)班"))), "初三(2)班");
}

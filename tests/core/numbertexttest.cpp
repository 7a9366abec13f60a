#include "core/numbertext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using fenpai::NumberText;

TEST(NumberText, FormatsWholeDoublesWithoutDecimalsAndOthersShortest)
{
    const struct
    {
        double value;
        const char *text;
    } cases[] = {
        {85.0, "85"},
        {0.0, "0"},
        {-0.0, "0"},
        {-12.0, "-12"},
        {85.5, "85.5"},
        {0.1, "0.1"},
        {1.0 / 3, "0.3333333333333333"},
        {2100001, "2100001"},
        {21010530, "21010530"},
        {1e20, "1e+20"},
        {-0.25, "-0.25"},
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

TEST(NumberText, DisplaysStoredValues)
{
    EXPECT_EQ(NumberText::display(QVariant()), "");
    EXPECT_EQ(NumberText::display(QVariant(95.0)), "95");
    EXPECT_EQ(NumberText::display(QVariant(qlonglong(7))), "7");
    EXPECT_EQ(NumberText::display(QVariant(QStringLiteral("初三(2)班"))), "初三(2)班");
}

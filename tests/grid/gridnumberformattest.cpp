#include "grid/gridnumberformat.h"

#include <gtest/gtest.h>

using fenpai::GridNumberFormat;

TEST(GridNumberFormat, Patterns)
{
    struct Case
    {
        double value;
        const char *pattern;
        const char *expected;
    };
    const Case cases[] = {
        {540, "####", "540"},
        {540.5, "####", "541"},
        {0, "####", ""},
        {-12.4, "####", "-12"},
        {1234.5, "##,##0.00", "1,234.50"},
        {0, "##,##0.00", "0.00"},
        {85.333333, "##,##0.00", "85.33"},
        {1234567.891, "##,##0.00", "1,234,567.89"},
        {-1234.5, "##,##0.00", "-1,234.50"},
        {-0.001, "0.00", "0.00"},
        {7, "000", "007"},
        {0.5, "#.##", ".5"},
        {2.5, "0.0#", "2.5"},
        {2.567, "0.0#", "2.57"},
        {0.256, "0.0%", "25.6%"},
        {12, "第0名", "第12名"},
        {3, "0.00;(0.00)", "3.00"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(GridNumberFormat::format(c.value, QString::fromUtf8(c.pattern)),
                  QString::fromUtf8(c.expected))
            << c.value << " " << c.pattern;
    }
}

TEST(GridNumberFormat, ParseAcceptsOnlyPlainDecimals)
{
    const struct
    {
        const char *text;
        bool ok;
        double value;
    } cases[] = {
        {"90", true, 90},  {" 85.5 ", true, 85.5}, {"-3", true, -3},    {"1e3", true, 1000},
        {"", false, 0},    {"abc", false, 0},      {"90分", false, 0},  {"inf", false, 0},
        {"nan", false, 0}, {"0x10", false, 0},     {"1,000", false, 0}, {".", false, 0},
    };
    for (const auto &c : cases) {
        double v = -1;
        EXPECT_EQ(GridNumberFormat::parse(QString::fromUtf8(c.text), &v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

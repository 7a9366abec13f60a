#include "core/naturalorder.h"

#include <gtest/gtest.h>

using namespace fenpai;

TEST(NaturalOrder, NumbersCompareByValueAndStillOrderTies)
{
    EXPECT_TRUE(NaturalOrder::less("初三(2)班", "初三(12)班"));
    EXPECT_TRUE(NaturalOrder::less("初一(10)班", "初三(1)班"))
        << "the text before the number first";
    EXPECT_TRUE(NaturalOrder::less("9", "10"));
    EXPECT_TRUE(NaturalOrder::less("考场2", "考场10"));
    EXPECT_TRUE(NaturalOrder::less("1班", "1班a"));
    // Equal numbers written differently still have an order.
    EXPECT_EQ(NaturalOrder::compare("初三(2)班", "初三(2)班"), 0);
    EXPECT_NE(NaturalOrder::compare("2", "02"), 0);
    EXPECT_EQ(NaturalOrder::compare("2", "02"), -NaturalOrder::compare("02", "2"));
    EXPECT_TRUE(NaturalOrder::less("002", "3"));
    EXPECT_TRUE(NaturalOrder::less("", "0"));
    // Long exam numbers compare exactly, beyond what a double holds.
    EXPECT_TRUE(NaturalOrder::less("210040020000000001", "210040020000000002"));
}

// What the account editor stores for the maximum connect time.
#include <gtest/gtest.h>

#include "accounts/editor_input.h"

using accounts::parseMaxMinutes;

TEST(MaxMinutes, ReadsDigitsAndEmptyAsNoLimit) {
    EXPECT_EQ(parseMaxMinutes(L""), 0);
    EXPECT_EQ(parseMaxMinutes(L"0"), 0);
    EXPECT_EQ(parseMaxMinutes(L"90"), 90);
    EXPECT_EQ(parseMaxMinutes(L"007"), 7);
    EXPECT_EQ(parseMaxMinutes(L"  12min"), 12);
    EXPECT_EQ(parseMaxMinutes(L"-5"), -5);
    EXPECT_EQ(parseMaxMinutes(L"abc"), 0);
}

TEST(MaxMinutes, TooManyDigitsHoldAtTheLargestValue) {
    EXPECT_EQ(parseMaxMinutes(L"2147483647"), 2147483647);
    EXPECT_EQ(parseMaxMinutes(L"2147483648"), 2147483647);
    EXPECT_EQ(parseMaxMinutes(L"99999999999"), 2147483647);
    EXPECT_EQ(parseMaxMinutes(L"4294967296"), 2147483647) << "must not wrap to 0";
    EXPECT_EQ(parseMaxMinutes(L"-99999999999"), -2147483647 - 1);
}

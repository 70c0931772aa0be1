// What the account editor stores for the maximum connect time, and the number
// the account file writes for it.
#include <gtest/gtest.h>

#include "accounts/account_format.h"
#include "accounts/decimal.h"
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

TEST(MaxMinutes, ReadsAsTheAccountFileReadsItsNumbers) {
    const char* const texts[] = {
        "",    "0",          "  12min",     "\t\n\v\f\r7", "+8",          "-5",
        "- 5", "2147483648", "-2147483648", "-2147483649", "99999999999", "x1"};
    for (const char* text : texts) {
        std::wstring wide(text, text + std::char_traits<char>::length(text));
        EXPECT_EQ(parseMaxMinutes(wide.c_str()), accounts::format::parseInt(text)) << text;
    }
}

TEST(Decimal, WritesNumbersAsPercentIAndTheFileReadsThemBack) {
    const int values[] = {0, 7, 50, -4, 2147483647, -2147483647 - 1};
    for (int value : values) {
        char text[11];
        std::string written(text, static_cast<std::size_t>(accounts::writeDecimal(value, text)));
        EXPECT_EQ(written, std::to_string(value));
        EXPECT_EQ(accounts::format::parseInt(written.c_str()), value);
    }
}

// Window-free parts of dialing: the connected time, which text tells an
// error, and the number a dial writes.
#include <gtest/gtest.h>

#include <string>

#include "dialup/connected_time.h"
#include "dialup/error_codes.h"
#include "dialup/phone_number.h"
#include "resources/string_table.h"

namespace {

std::wstring timeText(int seconds) {
    wchar_t text[dialup::kTimeTextChars];
    dialup::formatConnectedTime(seconds, text, dialup::kTimeTextChars);
    return text;
}

std::wstring composed(const wchar_t* prefix, const wchar_t* number,
                      std::size_t chars = dialup::kComposedNumberChars) {
    wchar_t out[dialup::kComposedNumberChars];
    dialup::composePhoneNumber(prefix, number, out, chars);
    return out;
}

} // namespace

TEST(ConnectedTime, MinutesAndSecondsUntilTheFirstHour) {
    EXPECT_EQ(timeText(0), L"00:00");
    EXPECT_EQ(timeText(1), L"00:01");
    EXPECT_EQ(timeText(59), L"00:59");
    EXPECT_EQ(timeText(60), L"01:00");
    EXPECT_EQ(timeText(3599), L"59:59");
}

TEST(ConnectedTime, HoursFromTheFirstHourOnAndInFull) {
    EXPECT_EQ(timeText(3600), L"01:00:00");
    EXPECT_EQ(timeText(3661), L"01:01:01");
    EXPECT_EQ(timeText(360000), L"100:00:00");
    EXPECT_EQ(timeText(2147483647), L"596523:14:07");
}

TEST(ConnectedTime, NeverWritesPastItsBuffer) {
    wchar_t text[4] = {L'x', L'x', L'x', L'x'};
    dialup::formatConnectedTime(3661, text, 3);
    EXPECT_EQ(std::wstring(text), L"01");
    EXPECT_EQ(text[3], L'x');
}

TEST(ErrorTexts, EveryTabledCodeHasItsText) {
    const std::pair<int, const char*> table[] = {{606, "port not connected"},
                                                 {608, "device does not exist"},
                                                 {614, "out of buffers"},
                                                 {615, "port not found"},
                                                 {618, "port not open"},
                                                 {619, "port disconnected"},
                                                 {621, "cannot open phonebook"},
                                                 {622, "cannot load phonebook"},
                                                 {628, "disconnection"},
                                                 {629, "remote disconnection"},
                                                 {630, "hardware failure"},
                                                 {633, "port not available"},
                                                 {647, "account is disabled"},
                                                 {648, "password has expired"},
                                                 {649, "no dialin permission"},
                                                 {650, "server not responding"},
                                                 {666, "device not ready"},
                                                 {668, "no connection"},
                                                 {676, "line busy"},
                                                 {677, "voice answer"},
                                                 {678, "no answer"},
                                                 {679, "no carrier"},
                                                 {680, "no dialtone"},
                                                 {691, "authentication failure"},
                                                 {708, "account expired"},
                                                 {715, "too many line errors"}};
    for (const auto& [code, text] : table) {
        int id = dialup::errorTextId(code);
        ASSERT_NE(id, 0) << code;
        EXPECT_STREQ(res::stringText(id), text) << code;
    }
}

TEST(ErrorTexts, OtherCodesHaveNone) {
    for (int code : {0, 1, 600, 631, 692, 716, -678})
        EXPECT_EQ(dialup::errorTextId(code), 0) << code;
    EXPECT_STREQ(res::stringText(40037), "Disconnected.");
}

TEST(PhoneNumber, PrefixThenCommaThenNumber) {
    EXPECT_EQ(composed(L"0", L"12345"), L"0,12345");
    EXPECT_EQ(composed(L"", L"12345"), L"12345");
    EXPECT_EQ(composed(L"12", L""), L"12,");
    EXPECT_EQ(composed(L"", L""), L"");
}

TEST(PhoneNumber, TheLongestComposedNumberFits) {
    std::wstring number(128, L'9');
    EXPECT_EQ(composed(L"12", number.c_str()), L"12," + number);
    EXPECT_EQ(composed(L"12", number.c_str(), 6), L"12,99");
}

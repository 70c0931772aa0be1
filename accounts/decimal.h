#pragma once
// Reading a decimal number the way atoi reads one, for the account file's
// narrow text and the editor's wide text alike, and writing one the way "%i"
// does, without a C library's formatting. Window-free.
#include <climits>

#include "ui/int32.h"

namespace accounts {

// White space as atoi knows it: space, tab, line feed, vertical tab, form feed,
// carriage return.
template <typename Char> bool isWhiteSpace(Char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Leading white space, a sign, then digits up to the first non-digit or end;
// no digits give 0. Digits beyond the 32-bit range give the largest value of
// their sign instead of wrapping.
template <typename Char> ui::Int32 readDecimal(const Char* text, const Char* end) {
    while (text < end && isWhiteSpace(*text))
        ++text;
    int negative = 0;
    if (text < end && (*text == '+' || *text == '-')) negative = *text++ == '-';
    // Magnitudes are held at 2^31: the lowest value's, one past the highest.
    const unsigned long limit = static_cast<unsigned long>(INT_MAX) + 1;
    unsigned long value = 0;
    for (; text < end && *text >= '0' && *text <= '9'; ++text) {
        unsigned long digit = static_cast<unsigned long>(*text - '0');
        value = value > (limit - digit) / 10 ? limit : value * 10 + digit;
    }
    if (negative) return value == limit ? INT_MIN : -static_cast<ui::Int32>(value);
    return value == limit ? INT_MAX : static_cast<ui::Int32>(value);
}

// The digits of value, after a '-' when it is negative, into out (room for 11
// chars, no terminator); returns their count.
inline int writeDecimal(ui::Int32 value, char* out) {
    // The magnitude is unsigned, so the lowest value has one as well.
    unsigned long magnitude = static_cast<unsigned long>(value);
    if (value < 0) magnitude = 0UL - magnitude;
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    int length = 0;
    if (value < 0) out[length++] = '-';
    while (count > 0)
        out[length++] = digits[--count];
    return length;
}

} // namespace accounts

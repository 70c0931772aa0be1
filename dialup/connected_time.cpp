#include "dialup/connected_time.h"

namespace dialup {

namespace {

// value in decimal, at least two characters as "%02i" writes it; returns the
// end of what was written.
char* putNumber(char* out, ui::Int32 value) {
    unsigned long magnitude = static_cast<unsigned long>(value);
    if (value < 0) {
        *out++ = '-';
        magnitude = 0UL - magnitude;
    }
    char digits[16];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    if (value >= 0 && count < 2) digits[count++] = '0';
    while (count)
        *out++ = digits[--count];
    return out;
}

} // namespace

void formatConnectedTime(ui::Int32 seconds, wchar_t* text, std::size_t textChars) {
    ui::Int32 hours = seconds / 3600;
    char narrow[kTimeTextChars];
    char* end = narrow;
    if (hours != 0) {
        ui::Int32 minutes = (seconds - hours * 3600) / 60;
        ui::Int32 rest = seconds - hours * 3600 - minutes * 60;
        end = putNumber(end, hours);
        *end++ = ':';
        end = putNumber(end, minutes);
        *end++ = ':';
        end = putNumber(end, rest);
    } else {
        ui::Int32 minutes = seconds / 60;
        ui::Int32 rest = seconds - minutes * 60;
        end = putNumber(end, minutes);
        *end++ = ':';
        end = putNumber(end, rest);
    }
    *end = '\0';
    std::size_t i = 0;
    for (; narrow[i] && i + 1 < textChars; ++i)
        text[i] = static_cast<wchar_t>(narrow[i]);
    if (textChars) text[i] = L'\0';
}

} // namespace dialup

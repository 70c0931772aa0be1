#include "accounts/editor_input.h"

#include <algorithm>
#include <limits>

namespace accounts {

std::int32_t parseMaxMinutes(const wchar_t* text) {
    while (*text == L' ' || (*text >= L'\t' && *text <= L'\r'))
        ++text;
    bool negative = false;
    if (*text == L'+' || *text == L'-') negative = *text++ == L'-';
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t value = 0;
    for (; *text >= L'0' && *text <= L'9'; ++text)
        value = std::min(value * 10 + (*text - L'0'), limit);
    if (negative) return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(std::min(value, limit - 1));
}

} // namespace accounts

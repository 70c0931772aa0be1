#include "dialup/phone_number.h"

namespace dialup {

void composePhoneNumber(const wchar_t* prefix, const wchar_t* number, wchar_t* out,
                        std::size_t outChars) {
    if (!outChars) return;
    std::size_t length = 0;
    auto append = [&](const wchar_t* text) {
        for (; *text && length + 1 < outChars; ++text)
            out[length++] = *text;
    };
    append(prefix);
    if (prefix[0]) append(L",");
    append(number);
    out[length] = L'\0';
}

} // namespace dialup

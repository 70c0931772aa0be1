#include "dialup/phone_number.h"

#include "ui/fixed_text.h"

namespace dialup {

void composePhoneNumber(const wchar_t* prefix, const wchar_t* number, wchar_t* out,
                        std::size_t outChars) {
    if (!outChars) return;
    std::size_t length = ui::copyCut(out, outChars, prefix);
    if (prefix[0]) length += ui::copyCut(out + length, outChars - length, L",");
    ui::copyCut(out + length, outChars - length, number);
}

} // namespace dialup

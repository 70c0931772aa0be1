#pragma once
// The number a dial writes into the phone-book entry.
#include <cstddef>

namespace dialup {

const std::size_t kPrefixChars = 3;       // 2 and the terminator
const std::size_t kDialNumberChars = 129; // 128 and the terminator
const std::size_t kComposedNumberChars = 2 + 1 + 128 + 1;

// The prefix, a comma when there is a prefix, then the number; cut to fit out.
void composePhoneNumber(const wchar_t* prefix, const wchar_t* number, wchar_t* out,
                        std::size_t outChars);

} // namespace dialup

#pragma once
// What the account editor makes of typed (or pasted) text.
#include "ui/int32.h"

namespace accounts {

// The maximum connect time in minutes, read as _wtol reads it (leading white
// space, a sign, digits), empty giving 0. Digits beyond the 32-bit range give
// the largest value of that sign: wrapping to 0 or below would quietly mean
// "no limit".
ui::Int32 parseMaxMinutes(const wchar_t* text);

} // namespace accounts

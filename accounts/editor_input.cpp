#include "accounts/editor_input.h"

#include <wchar.h>

#include "accounts/decimal.h"

namespace accounts {

ui::Int32 parseMaxMinutes(const wchar_t* text) { return readDecimal(text, text + wcslen(text)); }

} // namespace accounts

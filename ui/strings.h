#pragma once
// Texts from the string table, loaded when they are shown.
#include "resources/string_ids.h"

namespace ui {

struct Text {
    wchar_t chars[res::kTextChars];
};

// The text of a string table entry; empty when there is none.
Text loadText(int id);

// Formats into out (room for chars characters, the terminator included), cut
// to fit and always terminated, as the handheld's C library can: _snwprintf
// leaves a cut result unterminated.
void formatText(wchar_t* out, int chars, const wchar_t* format, ...);

} // namespace ui

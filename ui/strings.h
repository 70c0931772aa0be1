#pragma once
// Texts from the string table, loaded when they are shown.
#include "resources/string_ids.h"

namespace ui {

struct Text {
    wchar_t chars[res::kTextChars];
};

// The text of a string table entry; empty when there is none.
Text loadText(int id);

} // namespace ui

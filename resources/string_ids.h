#pragma once
// Ids of the string table entries, from the one source of the table.

namespace res {

enum StringId : int {
#define TAMLINK_STRING(name, id, text) name = id,
#include "resources/strings.inc"
#undef TAMLINK_STRING
};

// Texts loaded from the table go into buffers of this many characters.
constexpr int kTextChars = 100;

} // namespace res

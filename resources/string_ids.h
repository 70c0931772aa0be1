#pragma once
// Ids of the string table entries, from the one source of the table.

namespace res {

enum StringId {
#define TAMLINK_STRING(name, id, text) name = id,
#include "resources/strings.inc"
#undef TAMLINK_STRING
    kNoString = 0 // no entry has it; it also spares the list a trailing comma
};

// Texts loaded from the table go into buffers of this many characters.
const int kTextChars = 100;

} // namespace res

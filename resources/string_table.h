#pragma once
// The string table for window-free code and native tests: the same source as
// the resource script.

namespace res {

// The text of the entry with this id, or 0 when the table has none.
const char* stringText(int id);

} // namespace res

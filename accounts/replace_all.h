#pragma once
#include <cstddef>

#include "ui/text_span.h"

namespace accounts {

// The longest result replaceAll holds: a line of the account file with its
// line feed. The rest of a longer result is cut.
const std::size_t kReplacedBytes = 100;

// Every occurrence of find in text replaced by replacement, left to right and
// without overlaps. find must not be empty. The result lies in a buffer of
// replaceAll's own, terminated, until the next call (or is text itself when
// find does not occur): callers copy it at once.
ui::TextSpan replaceAll(ui::TextSpan text, ui::TextSpan find, ui::TextSpan replacement);

} // namespace accounts

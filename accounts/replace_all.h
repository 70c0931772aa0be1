#pragma once
#include <string>
#include <string_view>

namespace accounts {

// Every occurrence of find in text replaced by replacement, left to right and
// without overlaps. find must not be empty.
std::string replaceAll(std::string_view text, std::string_view find, std::string_view replacement);

} // namespace accounts

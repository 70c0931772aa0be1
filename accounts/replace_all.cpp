#include "accounts/replace_all.h"

namespace accounts {

std::string replaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
    std::string result;
    if (find.empty()) return std::string(text);
    std::size_t from = 0;
    for (std::size_t at = text.find(find); at != std::string_view::npos;
         at = text.find(find, from)) {
        result.append(text.substr(from, at - from));
        result.append(replacement);
        from = at + find.size();
    }
    result.append(text.substr(from));
    return result;
}

} // namespace accounts

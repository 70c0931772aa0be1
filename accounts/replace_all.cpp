#include "accounts/replace_all.h"

#include <cstring>

namespace accounts {

namespace {

char replaced[kReplacedBytes + 1];

// Appends bytes to the result, cut at its end.
void append(std::size_t& length, ui::TextSpan bytes) {
    std::size_t n = bytes.size() < kReplacedBytes - length ? bytes.size() : kReplacedBytes - length;
    std::memcpy(replaced + length, bytes.data(), n);
    length += n;
}

} // namespace

ui::TextSpan replaceAll(ui::TextSpan text, ui::TextSpan find, ui::TextSpan replacement) {
    std::size_t at = find.empty() ? ui::TextSpan::npos : text.find(find);
    if (at == ui::TextSpan::npos) return text;
    std::size_t length = 0;
    std::size_t from = 0;
    for (; at != ui::TextSpan::npos; at = text.find(find, from)) {
        append(length, text.substr(from, at - from));
        append(length, replacement);
        from = at + find.size();
    }
    append(length, text.substr(from));
    replaced[length] = '\0';
    return ui::TextSpan(replaced, length);
}

} // namespace accounts

#include "accounts/account_format.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "accounts/replace_all.h"

namespace accounts::format {

namespace {

constexpr std::size_t npos = std::string_view::npos;

void copyField(std::string_view bytes, FieldText& field) {
    std::size_t n = std::min(bytes.size(), kFieldBytes);
    std::memcpy(field.bytes, bytes.data(), n);
    field.bytes[n] = '\0';
}

// The first token at or after offset: white space skipped, then everything up
// to the next white space or the end.
std::string_view tokenAt(std::string_view text, std::size_t offset) {
    std::size_t begin = offset;
    while (begin < text.size() && isSpace(text[begin]))
        ++begin;
    std::size_t end = begin;
    while (end < text.size() && !isSpace(text[end]))
        ++end;
    return text.substr(std::min(begin, text.size()), end - std::min(begin, text.size()));
}

std::size_t afterLineFeed(std::string_view text, std::size_t offset) {
    if (offset >= text.size()) return text.size();
    std::size_t lf = text.find('\n', offset);
    return lf == npos ? text.size() : lf + 1;
}

} // namespace

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::int32_t parseInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t value = 0;
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), limit);
    if (negative) return static_cast<std::int32_t>(-value);
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, limit - 1));
}

Header readHeader(std::string_view text) {
    Header header{};
    std::string_view first = tokenAt(text, 0);
    first = first.substr(0, std::min(first.size(), kFieldBytes));
    copyField(replaceAll(first, "^", " "), header.startProgram);

    std::size_t line2 = afterLineFeed(text, 0);
    header.count = parseInt(tokenAt(text, line2));
    header.firstLine = afterLineFeed(text, line2);
    return header;
}

std::size_t readAccountLine(std::string_view text, std::size_t offset, AccountLine& line) {
    line = AccountLine{};
    if (offset >= text.size()) return text.size();

    std::size_t lineEnd = text.find('\n', offset);
    if (lineEnd == npos) lineEnd = text.size();
    std::string_view rest = text.substr(offset, lineEnd - offset);
    std::size_t next = lineEnd < text.size() ? lineEnd + 1 : text.size();

    FieldText* fields[] = {&line.name, &line.number, &line.userName, &line.password};
    for (FieldText* field : fields) {
        std::size_t end = rest.find_first_of(",'");
        copyField(rest.substr(0, end), *field);
        if (end == npos || rest[end] != ',') return next;
        rest.remove_prefix(end + 1);
    }
    line.maxConnectMinutes = parseInt(tokenAt(rest, 0));
    return next;
}

int isCompleteFile(std::string_view text) {
    if (text.empty() || text.back() != '\n') return 0;
    std::size_t line2 = afterLineFeed(text, 0);
    if (line2 >= text.size()) return 0;
    Header header = readHeader(text);
    std::int64_t lines =
        std::count(text.begin() + static_cast<std::ptrdiff_t>(header.firstLine), text.end(), '\n');
    std::int64_t expected = std::max<std::int32_t>(header.count, 0);
    return header.firstLine <= text.size() && lines >= expected ? 1 : 0;
}

void sanitizeFieldText(wchar_t* text) {
    for (; *text; ++text)
        if (*text == L',' || *text == L'\'' || *text == L'\n') *text = L' ';
}

void sanitizeStartProgram(wchar_t* text) {
    for (; *text; ++text)
        if (*text == L'\t' || *text == L'\n' || *text == L'\v' || *text == L'\f' || *text == L'\r')
            *text = L' ';
}

int hasReservedCharacter(const wchar_t* text) {
    for (; *text; ++text)
        if (*text == L',' || *text == L'\'') return 1;
    return 0;
}

} // namespace accounts::format

#include "accounts/account_format.h"

#include <cstring>

#include "accounts/decimal.h"
#include "accounts/replace_all.h"

namespace accounts {
namespace format {

namespace {

const std::size_t npos = ui::TextSpan::npos;

void copyField(ui::TextSpan bytes, FieldText& field) {
    std::size_t n = bytes.size() < kFieldBytes ? bytes.size() : kFieldBytes;
    std::memcpy(field.bytes, bytes.data(), n);
    field.bytes[n] = '\0';
}

// The first token at or after offset: white space skipped, then everything up
// to the next white space or the end.
ui::TextSpan tokenAt(ui::TextSpan text, std::size_t offset) {
    std::size_t begin = offset;
    while (begin < text.size() && isSpace(text[begin]))
        ++begin;
    std::size_t end = begin;
    while (end < text.size() && !isSpace(text[end]))
        ++end;
    return text.substr(begin, end - begin);
}

std::size_t afterLineFeed(ui::TextSpan text, std::size_t offset) {
    if (offset >= text.size()) return text.size();
    std::size_t lf = text.find('\n', offset);
    return lf == npos ? text.size() : lf + 1;
}

} // namespace

bool isSpace(char c) { return isWhiteSpace(c); }

ui::Int32 parseInt(ui::TextSpan text) {
    return readDecimal(text.data(), text.data() + text.size());
}

Header readHeader(ui::TextSpan text) {
    Header header;
    std::memset(&header, 0, sizeof header);
    ui::TextSpan first = tokenAt(text, 0);
    first = first.substr(0, kFieldBytes);
    copyField(replaceAll(first, "^", " "), header.startProgram);

    std::size_t line2 = afterLineFeed(text, 0);
    header.count = parseInt(tokenAt(text, line2));
    header.firstLine = afterLineFeed(text, line2);
    return header;
}

std::size_t readAccountLine(ui::TextSpan text, std::size_t offset, AccountLine& line) {
    std::memset(&line, 0, sizeof line);
    if (offset >= text.size()) return text.size();

    std::size_t lineEnd = text.find('\n', offset);
    if (lineEnd == npos) lineEnd = text.size();
    ui::TextSpan rest = text.substr(offset, lineEnd - offset);
    std::size_t next = lineEnd < text.size() ? lineEnd + 1 : text.size();

    FieldText* fields[] = {&line.name, &line.number, &line.userName, &line.password};
    for (std::size_t i = 0; i < sizeof fields / sizeof fields[0]; ++i) {
        std::size_t end = rest.findFirstOf(",'");
        copyField(rest.substr(0, end), *fields[i]);
        if (end == npos || rest[end] != ',') return next;
        rest.removePrefix(end + 1);
    }
    line.maxConnectMinutes = parseInt(tokenAt(rest, 0));
    return next;
}

int isCompleteFile(ui::TextSpan text) {
    if (text.empty() || text.back() != '\n') return 0;
    std::size_t line2 = afterLineFeed(text, 0);
    if (line2 >= text.size()) return 0;
    Header header = readHeader(text);
    std::size_t lines = 0;
    for (std::size_t at = header.firstLine; at < text.size(); ++at)
        if (text[at] == '\n') ++lines;
    std::size_t expected = header.count > 0 ? static_cast<std::size_t>(header.count) : 0;
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

} // namespace format
} // namespace accounts

#include "accounts/codepage.h"

#include <windows.h>
#include <wchar.h>

#include "ui/fixed_text.h"

namespace accounts {

namespace {

int bytesFor(const wchar_t* text, int chars) {
    return chars ? WideCharToMultiByte(CP_ACP, 0, text, chars, NULL, 0, NULL, NULL) : 0;
}

} // namespace

int toCodePage(const wchar_t* text, char* out, int maxBytes) {
    int chars = static_cast<int>(wcslen(text));
    // Drop characters from the end until the rest fits, never splitting a pair.
    while (chars > 0 && bytesFor(text, chars) > maxBytes) {
        --chars;
        if (chars > 0 && ui::isHighSurrogate(text[chars - 1])) --chars;
    }
    int bytes = chars ? WideCharToMultiByte(CP_ACP, 0, text, chars, out, maxBytes, NULL, NULL) : 0;
    out[bytes] = '\0';
    return bytes;
}

void fromCodePage(const char* bytes, wchar_t* out, int outChars) {
    // No code page turns one byte into more than one character.
    const int kMaxBytes = 128;
    wchar_t whole[kMaxBytes + 1];
    out[0] = L'\0';
    int length = 0;
    while (length < kMaxBytes && bytes[length])
        ++length;
    if (!length || outChars < 1) return;
    int chars = MultiByteToWideChar(CP_ACP, 0, bytes, length, whole, kMaxBytes);
    if (chars < 0) chars = 0;
    whole[chars] = L'\0';
    ui::copyCut(out, static_cast<std::size_t>(outChars), whole);
}

} // namespace accounts

#include "accounts/codepage.h"

#include <windows.h>
#include <cstring>
#include <cwchar>

namespace accounts {

namespace {

int bytesFor(const wchar_t* text, int chars) {
    return chars ? WideCharToMultiByte(CP_ACP, 0, text, chars, nullptr, 0, nullptr, nullptr) : 0;
}

} // namespace

int toCodePage(const wchar_t* text, char* out, int maxBytes) {
    int chars = static_cast<int>(wcslen(text));
    // Drop characters from the end until the rest fits, never splitting a pair.
    while (chars > 0 && bytesFor(text, chars) > maxBytes) {
        --chars;
        if (chars > 0 && IS_HIGH_SURROGATE(text[chars - 1])) --chars;
    }
    int bytes =
        chars ? WideCharToMultiByte(CP_ACP, 0, text, chars, out, maxBytes, nullptr, nullptr) : 0;
    out[bytes] = '\0';
    return bytes;
}

void fromCodePage(const char* bytes, wchar_t* out, int outChars) {
    // No code page turns one byte into more than one character.
    constexpr int kMaxBytes = 128;
    wchar_t whole[kMaxBytes];
    out[0] = L'\0';
    int length = static_cast<int>(strnlen(bytes, kMaxBytes));
    if (!length || outChars < 1) return;
    int chars = MultiByteToWideChar(CP_ACP, 0, bytes, length, whole, kMaxBytes);
    if (chars > outChars - 1) chars = outChars - 1;
    if (chars < 0) chars = 0;
    wmemcpy(out, whole, static_cast<size_t>(chars));
    out[chars] = L'\0';
}

} // namespace accounts

#pragma once
// Text into the fixed-size fields of the program's records. Window-free.
#include <cstddef>

namespace ui {

// The first half of a UTF-16 surrogate pair: alone it is no character.
inline int isHighSurrogate(wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; }

// Copies text into field (room for fieldChars characters, the terminator
// included), cut to fit and always terminated; null copies as empty. A cut
// never keeps half of a surrogate pair. Returns the number of characters
// copied. A field of no characters is left alone.
inline std::size_t copyCut(wchar_t* field, std::size_t fieldChars, const wchar_t* text) {
    if (!fieldChars) return 0;
    std::size_t i = 0;
    for (; i < fieldChars - 1 && text && text[i]; ++i)
        field[i] = text[i];
    if (i > 0 && text && text[i] && isHighSurrogate(field[i - 1])) --i;
    field[i] = L'\0';
    return i;
}

template <std::size_t N> void copyCut(wchar_t (&field)[N], const wchar_t* text) {
    copyCut(field, N, text);
}

} // namespace ui

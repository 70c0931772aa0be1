#pragma once
// Text into the fixed-size fields of the program's records. Window-free.
#include <cstddef>

namespace ui {

// Copies text into field, cut to fit and always terminated; null copies as empty.
template <std::size_t N> void copyCut(wchar_t (&field)[N], const wchar_t* text) {
    std::size_t i = 0;
    for (; i < N - 1 && text && text[i]; ++i)
        field[i] = text[i];
    field[i] = L'\0';
}

} // namespace ui

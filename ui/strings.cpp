#include "ui/strings.h"

#include <windows.h>
#include <cstdarg>
#include <cstdio>
#include <wchar.h>
#include "ui/shell_state.h"

namespace ui {

Text loadText(int id) {
    Text text;
    ZeroMemory(&text, sizeof text);
    LoadStringW(shellState.instance, static_cast<UINT>(id), text.chars, res::kTextChars);
    return text;
}

void formatText(wchar_t* out, int chars, const wchar_t* format, ...) {
    if (chars < 1) return;
    va_list args;
    va_start(args, format);
    _vsnwprintf(out, static_cast<std::size_t>(chars - 1), format, args);
    va_end(args);
    out[chars - 1] = L'\0';
}

} // namespace ui

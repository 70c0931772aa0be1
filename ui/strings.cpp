#include "ui/strings.h"

#include <windows.h>
#include "ui/shell_state.h"

namespace ui {

Text loadText(int id) {
    Text text;
    ZeroMemory(&text, sizeof text);
    LoadStringW(shellState.instance, static_cast<UINT>(id), text.chars, res::kTextChars);
    return text;
}

} // namespace ui

#include "app/strings.h"

#include <windows.h>
#include "app/shell_state.h"

namespace app {

Text loadText(int id) {
    Text text{};
    LoadStringW(shellState.instance, static_cast<UINT>(id), text.chars, res::kTextChars);
    return text;
}

} // namespace app

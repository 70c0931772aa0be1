#include "dialup/error_text.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "dialup/error_codes.h"
#include "resources/string_ids.h"

namespace dialup {

ui::Text connectionErrorText(int code) {
    if (code == kUserDisconnection) return ui::loadText(res::IDS_ERR_USER_DISCONNECTION);

    ui::Text detail;
    std::memset(&detail, 0, sizeof detail);
    if (int id = errorTextId(code)) {
        detail = ui::loadText(id);
    } else {
        _snwprintf(detail.chars, res::kTextChars - 1, L"%d %ls", code,
                   ui::loadText(res::IDS_NO_TEXT_INFO).chars);
    }
    ui::Text text;
    std::memset(&text, 0, sizeof text);
    _snwprintf(text.chars, res::kTextChars - 1, L"%ls %ls.",
               ui::loadText(res::IDS_ERROR_PREFIX).chars, detail.chars);
    return text;
}

} // namespace dialup

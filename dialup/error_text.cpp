#include "dialup/error_text.h"

#include <wchar.h>

#include "dialup/error_codes.h"
#include "resources/string_ids.h"

namespace dialup {

ui::Text connectionErrorText(int code) {
    if (code == kUserDisconnection) return ui::loadText(res::IDS_ERR_USER_DISCONNECTION);

    ui::Text detail;
    if (int id = errorTextId(code)) {
        detail = ui::loadText(id);
    } else {
        ui::formatText(detail.chars, res::kTextChars, L"%d %ls", code,
                       ui::loadText(res::IDS_NO_TEXT_INFO).chars);
    }
    ui::Text text;
    ui::formatText(text.chars, res::kTextChars, L"%ls %ls.",
                   ui::loadText(res::IDS_ERROR_PREFIX).chars, detail.chars);
    return text;
}

} // namespace dialup

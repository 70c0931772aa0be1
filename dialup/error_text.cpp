#include "dialup/error_text.h"

#include <cwchar>

#include "dialup/error_codes.h"
#include "resources/string_ids.h"

namespace dialup {

app::Text connectionErrorText(int code) {
    if (code == kUserDisconnection) return app::loadText(res::IDS_ERR_USER_DISCONNECTION);

    app::Text detail{};
    if (int id = errorTextId(code)) {
        detail = app::loadText(id);
    } else {
        swprintf(detail.chars, res::kTextChars, L"%d %ls", code,
                 app::loadText(res::IDS_NO_TEXT_INFO).chars);
    }
    app::Text text{};
    swprintf(text.chars, res::kTextChars, L"%ls %ls.", app::loadText(res::IDS_ERROR_PREFIX).chars,
             detail.chars);
    return text;
}

} // namespace dialup

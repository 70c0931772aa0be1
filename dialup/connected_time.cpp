#include "dialup/connected_time.h"

#include <cstdio>

namespace dialup {

void formatConnectedTime(std::int32_t seconds, wchar_t* text, std::size_t textChars) {
    std::int32_t hours = seconds / 3600;
    char narrow[kTimeTextChars];
    if (hours != 0) {
        std::int32_t minutes = (seconds - hours * 3600) / 60;
        std::int32_t rest = seconds - hours * 3600 - minutes * 60;
        std::snprintf(narrow, sizeof narrow, "%02i:%02i:%02i", static_cast<int>(hours),
                      static_cast<int>(minutes), static_cast<int>(rest));
    } else {
        std::int32_t minutes = seconds / 60;
        std::int32_t rest = seconds - minutes * 60;
        std::snprintf(narrow, sizeof narrow, "%02i:%02i", static_cast<int>(minutes),
                      static_cast<int>(rest));
    }
    std::size_t i = 0;
    for (; narrow[i] && i + 1 < textChars; ++i)
        text[i] = static_cast<wchar_t>(narrow[i]);
    if (textChars) text[i] = L'\0';
}

} // namespace dialup

#include "resources/string_table.h"

#include <cstddef>

namespace res {

namespace {

struct Entry {
    int id;
    const char* text;
};

const Entry kEntries[] = {
#define TAMLINK_STRING(name, id, text) {id, text},
#include "resources/strings.inc"
#undef TAMLINK_STRING
};

} // namespace

const char* stringText(int id) {
    for (std::size_t i = 0; i < sizeof kEntries / sizeof kEntries[0]; ++i)
        if (kEntries[i].id == id) return kEntries[i].text;
    return 0;
}

} // namespace res

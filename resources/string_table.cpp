#include "resources/string_table.h"

namespace res {

namespace {

struct Entry {
    int id;
    const char* text;
};

constexpr Entry kEntries[] = {
#define TAMLINK_STRING(name, id, text) {id, text},
#include "resources/strings.inc"
#undef TAMLINK_STRING
};

} // namespace

const char* stringText(int id) {
    for (const Entry& entry : kEntries)
        if (entry.id == id) return entry.text;
    return nullptr;
}

} // namespace res

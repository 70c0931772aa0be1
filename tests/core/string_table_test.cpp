// The string table as the program uses it.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "resources/string_ids.h"
#include "resources/string_table.h"

TEST(StringTable, EveryTextFitsTheBuffersItIsLoadedInto) {
    const std::pair<int, const char*> entries[] = {
#define TAMLINK_STRING(name, id, text) {id, text},
#include "resources/strings.inc"
#undef TAMLINK_STRING
    };
    std::set<int> ids;
    for (const auto& [id, text] : entries) {
        EXPECT_LT(std::strlen(text), static_cast<size_t>(res::kTextChars)) << id;
        EXPECT_TRUE(ids.insert(id).second) << "id " << id << " used twice";
        EXPECT_STREQ(res::stringText(id), text);
    }
    EXPECT_EQ(res::stringText(40058), nullptr);
}

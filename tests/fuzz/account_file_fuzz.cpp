// Feeds arbitrary bytes to the account-file reader, as loading does.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "accounts/account_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace accounts::format;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    Header header = readHeader(text);
    int count = header.count < 1 ? 0 : (header.count > 50 ? 50 : header.count);
    std::size_t offset = header.firstLine;
    for (int i = 0; i < count; ++i) {
        AccountLine line;
        std::size_t next = readAccountLine(text, offset, line);
        if (next < offset || next > size) __builtin_trap();
        offset = next;
    }
    isCompleteFile(text);
    return 0;
}

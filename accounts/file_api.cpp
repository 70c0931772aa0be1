#include "accounts/file_api.h"

namespace accounts {

HANDLE platformCreateForWriting(const wchar_t* path) {
    return CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

BOOL platformWrite(HANDLE file, const void* bytes, DWORD count) {
    DWORD written = 0;
    return WriteFile(file, bytes, count, &written, nullptr) && written == count;
}

FileApi fileApi = {platformCreateForWriting, platformWrite};

} // namespace accounts

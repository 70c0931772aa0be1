#include "accounts/file_api.h"

namespace accounts {

HANDLE platformCreateForWriting(const wchar_t* path) {
    return CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
}

BOOL platformWrite(HANDLE file, const void* bytes, DWORD count) {
    DWORD written = 0;
    return WriteFile(file, bytes, count, &written, NULL) && written == count;
}

FileApi fileApi = {platformCreateForWriting, platformWrite};

} // namespace accounts

#pragma once
// The two file calls of a save that can fail on their own (creating the file,
// writing a piece). They go through this table so that tests can make either
// fail; the program never changes it.
#include <windows.h>

namespace accounts {

struct FileApi {
    HANDLE (*createForWriting)(const wchar_t* path);
    BOOL (*write)(HANDLE file, const void* bytes, DWORD count);
};

extern FileApi fileApi;

// The platform's calls, which fileApi holds unless a test replaced them.
HANDLE platformCreateForWriting(const wchar_t* path);
BOOL platformWrite(HANDLE file, const void* bytes, DWORD count);

} // namespace accounts

#pragma once
// Files of the program as a test sees them, by the program's own paths.
#include <string>

namespace tamtest {

int fileExists(const wchar_t* path);
std::string readFileBytes(const wchar_t* path);
void writeFileBytes(const wchar_t* path, const std::string& bytes);
void deleteFile(const wchar_t* path);

} // namespace tamtest

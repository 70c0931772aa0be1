// A start program for the launch tests: each start appends one line to the
// file named by TAMLINK_START_TRACE: the name of the file started, the show
// command it was given (-1 for none) and its command-line arguments, as
// "name|show|arguments", so a test sees every launch and what it asked for.
#include <windows.h>

#include <string>

int main() {
    wchar_t trace[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"TAMLINK_START_TRACE", trace, MAX_PATH)) return 1;

    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const wchar_t* name = self;
    for (const wchar_t* c = self; *c; ++c)
        if (*c == L'\\' || *c == L'/') name = c + 1;

    // The arguments are what follows the program's own (possibly quoted) name.
    const wchar_t* rest = GetCommandLineW();
    bool quoted = false;
    for (; *rest && (quoted || (*rest != L' ' && *rest != L'\t')); ++rest)
        if (*rest == L'"') quoted = !quoted;
    while (*rest == L' ' || *rest == L'\t')
        ++rest;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;

    std::wstring line = std::wstring(name) + L"|" + std::to_wstring(show) + L"|" + rest + L"\n";
    int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, text.data(), bytes, nullptr, nullptr);
    text.pop_back();

    // Starts may overlap: the write goes at the end in one call, under a share
    // mode that lets only one writer in.
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE file = CreateFileW(trace, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            Sleep(20);
            continue;
        }
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
        return 0;
    }
    return 2;
}

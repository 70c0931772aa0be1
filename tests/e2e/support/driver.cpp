#include "tests/e2e/support/driver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace e2e {

namespace {

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// Memory in the program's process for list-view messages that carry pointers.
class RemoteBuffer {
  public:
    RemoteBuffer(HANDLE process, SIZE_T bytes)
        : process_(process),
          address_(VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    template <typename T> T* at(SIZE_T offset = 0) const {
        return reinterpret_cast<T*>(static_cast<BYTE*>(address_) + offset);
    }
    void write(const void* data, SIZE_T bytes, SIZE_T offset = 0) const {
        WriteProcessMemory(process_, at<BYTE>(offset), data, bytes, nullptr);
    }
    void read(void* data, SIZE_T bytes, SIZE_T offset = 0) const {
        ReadProcessMemory(process_, at<BYTE>(offset), data, bytes, nullptr);
    }

  private:
    HANDLE process_;
    void* address_;
};

} // namespace

std::wstring windowsPath(const std::string& linuxPath) {
    std::wstring path = L"Z:";
    for (char c : linuxPath)
        path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

std::wstring simulatorPath() {
    const char* build = std::getenv("TAMLINK_WIN_BUILD_DIR");
    return windowsPath(build ? build : ".") + L"\\tamlink-sim.exe";
}

Program::~Program() {
    if (running()) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    if (info_.hProcess) CloseHandle(info_.hProcess);
    if (info_.hThread) CloseHandle(info_.hThread);
}

bool Program::start(DWORD timeoutMs) {
    std::wstring commandLine = L"\"" + simulatorPath() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // On a fully loaded machine Wine's CreateProcess was once seen to fail with
    // ERROR_INTERNAL_ERROR before the program ran at all; that one is tried again.
    BOOL created = FALSE;
    for (int attempt = 0; attempt < 2 && !created; ++attempt) {
        if (attempt) Sleep(500);
        created = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 L"C:\\", &startup, &info_);
        if (!created && GetLastError() != ERROR_INTERNAL_ERROR) break;
    }
    if (!created) {
        ADD_FAILURE() << "cannot start tamlink-sim.exe, error " << GetLastError();
        return false;
    }
    return waitFor(
        [&] {
            mainWindow_ = FindWindowW(L"TAMLINKPPC", L"Tamlink PPC");
            return mainWindow_ != nullptr && IsWindowVisible(mainWindow_);
        },
        timeoutMs);
}

DWORD Program::waitForExit(DWORD timeoutMs) {
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

bool Program::running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

std::vector<HWND> Program::dialogs() const {
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{info_.dwProcessId, {}};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->processId && IsWindowVisible(window) && className(window) == L"#32770")
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND Program::waitForDialog(const std::function<bool(HWND)>& test, DWORD timeoutMs) const {
    HWND found = nullptr;
    waitFor(
        [&] {
            for (HWND dialog : dialogs())
                if (test(dialog)) return (found = dialog) != nullptr;
            return false;
        },
        timeoutMs);
    return found;
}

HWND Program::waitForDialogWith(int controlId, DWORD timeoutMs) const {
    return waitForDialog([&](HWND dialog) { return GetDlgItem(dialog, controlId) != nullptr; },
                         timeoutMs);
}

HWND Program::waitForMessageBox(const std::wstring& expected, DWORD timeoutMs) const {
    return waitForDialog(
        [&](HWND dialog) {
            return (GetWindowLongW(dialog, GWL_STYLE) & WS_CAPTION) == WS_CAPTION &&
                   messageBoxText(dialog) == expected;
        },
        timeoutMs);
}

std::wstring text(HWND window) {
    wchar_t buffer[512] = {};
    SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

std::wstring itemText(HWND dialog, int id) { return text(GetDlgItem(dialog, id)); }

void setItemText(HWND dialog, int id, const std::wstring& value) {
    SendMessageW(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

void click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool isEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

std::wstring messageBoxText(HWND box) {
    std::wstring joined;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (_wcsicmp(className(child).c_str(), L"Static") != 0) continue;
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
        joined += text(child);
    }
    return joined;
}

std::vector<std::wstring> cutTexts(HWND dialog, const wchar_t* face) {
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontW(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL,
                             0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
    HGDIOBJ old = SelectObject(screen, font);
    std::vector<std::wstring> cut;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (_wcsicmp(className(child).c_str(), L"Static") != 0 || text(child).empty()) continue;
        RECT box, needed{0, 0, 0, 0};
        GetClientRect(child, &box);
        needed.right = box.right;
        // The static control's own wrap (SS_LEFT).
        DrawTextW(screen, text(child).c_str(), -1, &needed,
                  DT_CALCRECT | DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK);
        if (needed.bottom > box.bottom || needed.right > box.right) cut.push_back(text(child));
    }
    DeleteObject(SelectObject(screen, old));
    ReleaseDC(nullptr, screen);
    return cut;
}

int listRowCount(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }

std::wstring listText(const Program& program, HWND list, int row, int column) {
    constexpr SIZE_T kChars = 128;
    RemoteBuffer remote(program.process(), sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = kChars;
    item.pszText = remote.at<wchar_t>(sizeof(LVITEMW));
    remote.write(&item, sizeof item);
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                 reinterpret_cast<LPARAM>(remote.at<LVITEMW>()));
    wchar_t textBuffer[kChars] = {};
    remote.read(textBuffer, sizeof textBuffer, sizeof(LVITEMW));
    textBuffer[kChars - 1] = L'\0';
    return textBuffer;
}

namespace {

// A rectangle a control of the program writes into memory of its process.
RECT remoteRect(const Program& program, HWND control, UINT message, WPARAM wParam, RECT initial) {
    RemoteBuffer remote(program.process(), sizeof(RECT));
    remote.write(&initial, sizeof initial);
    SendMessageW(control, message, wParam, reinterpret_cast<LPARAM>(remote.at<RECT>()));
    RECT rect{};
    remote.read(&rect, sizeof rect);
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

RECT listRowRect(const Program& program, HWND list, int row) {
    return remoteRect(program, list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                      {LVIR_BOUNDS, 0, 0, 0});
}

RECT toolbarButtonRect(const Program& program, HWND toolbar, int index) {
    return remoteRect(program, toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), {});
}

UINT listRowState(HWND list, int row) {
    return static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row),
                                          LVIS_FOCUSED | LVIS_SELECTED));
}

void clickScreen(POINT at) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = (at.x * 65535 + width / 2) / (width - 1);
        input.mi.dy = (at.y * 65535 + height / 2) / (height - 1);
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, inputs, sizeof(INPUT));
}

void pressKey(WORD virtualKey) {
    INPUT inputs[2] = {};
    for (INPUT& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = virtualKey;
    }
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

bool waitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

void screenshot(const Program& program, const std::string& name) {
    // Let the program finish drawing what it just showed.
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(program.mainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 2000, &ignored);
    Sleep(300);
    // The device screen and everything of the program over it.
    RECT area{0, 0, 0, 0};
    GetWindowRect(program.mainWindow(), &area);
    for (HWND dialog : program.dialogs()) {
        RECT rect;
        GetWindowRect(dialog, &rect);
        UnionRect(&area, &area, &rect);
    }
    area.left = std::max<LONG>(area.left, 0);
    area.top = std::max<LONG>(area.top, 0);
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    GdiFlush();

    DWORD rowBytes = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    DWORD imageBytes = rowBytes * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageBytes;
    CreateDirectoryW(L"C:\\shots", nullptr);
    std::wstring path = L"C:\\shots\\" + std::wstring(name.begin(), name.end()) + L".bmp";
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
    WriteFile(out, bits, imageBytes, &written, nullptr);
    CloseHandle(out);

    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

} // namespace e2e

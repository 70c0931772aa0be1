#include "tests/support/dialog_driver.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tamtest {

namespace {

constexpr UINT kRunHandler = WM_APP + 1;
constexpr wchar_t kDriverClass[] = L"TamtestDialogDriver";
DialogDriver* current;

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

BoxIcon iconOf(HICON icon) {
    if (!icon) return BoxIcon::None;
    if (icon == LoadIconW(nullptr, IDI_HAND)) return BoxIcon::Error;
    if (icon == LoadIconW(nullptr, IDI_EXCLAMATION)) return BoxIcon::Warning;
    if (icon == LoadIconW(nullptr, IDI_ASTERISK)) return BoxIcon::Information;
    if (icon == LoadIconW(nullptr, IDI_QUESTION)) return BoxIcon::Question;
    return BoxIcon::Other;
}

} // namespace

std::wstring windowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

std::wstring itemText(HWND dialog, int id) { return windowText(GetDlgItem(dialog, id)); }

void setItemText(HWND dialog, int id, const std::wstring& text) {
    SetDlgItemTextW(dialog, id, text.c_str());
}

void press(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void pressLater(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

int isItemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) ? 1 : 0; }

void pumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        pumpMessages();
        if (condition()) return 1;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return 0;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(timeoutMs - elapsed, 50),
                                  QS_ALLINPUT);
    }
}

int isMessageBox(HWND window) {
    return (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

BoxRecord describeBox(HWND box) {
    BoxRecord record{};
    record.caption = windowText(box);
    record.owner = GetWindow(box, GW_OWNER);
    record.icon = BoxIcon::None;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        LONG style = GetWindowLongW(child, GWL_STYLE);
        if (!(style & WS_VISIBLE)) continue;
        std::wstring kind = className(child);
        if (_wcsicmp(kind.c_str(), L"Static") == 0) {
            if ((style & SS_TYPEMASK) == SS_ICON)
                record.icon =
                    iconOf(reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0)));
            else if (record.text.empty())
                record.text = windowText(child);
        } else if (_wcsicmp(kind.c_str(), L"Button") == 0) {
            record.buttons.push_back(GetDlgCtrlID(child));
            if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                record.defaultButton = GetDlgCtrlID(child);
        }
    }
    return record;
}

DialogDriver::DialogDriver() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = driverProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kDriverClass;
    RegisterClassW(&wc);
    driverWindow_ = CreateWindowExW(0, kDriverClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    wc.hInstance, nullptr);
    current = this;
    hook_ = SetWindowsHookExW(WH_CBT, cbtHook, nullptr, GetCurrentThreadId());
}

DialogDriver::~DialogDriver() {
    UnhookWindowsHookEx(hook_);
    DestroyWindow(driverWindow_);
    current = nullptr;
    EXPECT_EQ(pendingHandlers(), 0) << "a dialog the test expected never opened";
    EXPECT_EQ(unexpected_, 0) << "a dialog or message box opened that the test did not expect";
}

DialogDriver& DialogDriver::then(DialogHandler handler) {
    handlers_.push_back(std::move(handler));
    return *this;
}

DialogDriver& DialogDriver::answer(int buttonId) {
    return then([buttonId](HWND box) { pressLater(box, buttonId); });
}

LRESULT CALLBACK DialogDriver::cbtHook(int code, WPARAM wParam, LPARAM lParam) {
    DialogDriver* self = current;
    HWND window = reinterpret_cast<HWND>(wParam);
    if (self && code == HCBT_ACTIVATE && className(window) == L"#32770") self->opened(window);
    if (self && code == HCBT_DESTROYWND) {
        auto& open = self->open_;
        open.erase(std::remove(open.begin(), open.end(), window), open.end());
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogDriver::opened(HWND window) {
    // Activation comes again when a box on top of a dialog closes.
    if (std::find(open_.begin(), open_.end(), window) != open_.end()) return;
    open_.push_back(window);
    PostMessageW(driverWindow_, kRunHandler, reinterpret_cast<WPARAM>(window), 0);
}

LRESULT CALLBACK DialogDriver::driverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunHandler && current) {
        current->run(reinterpret_cast<HWND>(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void DialogDriver::run(HWND window) {
    if (!IsWindow(window)) return;
    if (isMessageBox(window)) boxes_.push_back(describeBox(window));
    if (handlers_.empty()) {
        ++unexpected_;
        BoxRecord record = describeBox(window);
        ADD_FAILURE() << "unexpected window: \""
                      << std::string(record.text.begin(), record.text.end()) << "\"";
        int id = record.buttons.empty() || !isMessageBox(window) ? IDCANCEL : record.buttons.back();
        pressLater(window, id);
        return;
    }
    DialogHandler handler = std::move(handlers_.front());
    handlers_.erase(handlers_.begin());
    handler(window);
}

} // namespace tamtest

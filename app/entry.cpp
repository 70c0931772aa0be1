#include "app/entry.h"

#include "accounts/account_list.h"
#include "ui/foreground.h"
#include "app/main_window.h"
#include "ui/message_box.h"
#include "ui/shell_state.h"
#include "app/timer_tick.h"
#include "dialup/devices.h"
#include "resources/resource.h"
#include "resources/string_ids.h"

#ifndef _WIN32_WCE
#include <objbase.h>
#endif

namespace app {

namespace {

#ifndef _WIN32_WCE
// The shell may hand a web address to a handler that COM activates, so the
// thread that launches the start program joins an apartment for the run.
class ComApartment {
  public:
    ComApartment()
        : result_(CoInitializeEx(0, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }

  private:
    ComApartment(const ComApartment&);
    ComApartment& operator=(const ComApartment&);
    HRESULT result_;
};
#endif

const UINT kTickMilliseconds = 1000;

void registerMainWindowClass(const wchar_t* className) {
    WNDCLASSW windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = ui::shellState.instance;
    windowClass.hIcon = LoadIconW(ui::shellState.instance, MAKEINTRESOURCEW(IDI_TAMLINK));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass); // a failure shows up as a failed creation
}

int runMessageLoop() {
    MSG message;
    ZeroMemory(&message, sizeof message);
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace

int runProgram(HINSTANCE instance) {
    ui::shellState.instance = instance;
    wchar_t className[res::kTextChars] = {0};
    LoadStringW(instance, res::IDS_CLASS_NAME, className, res::kTextChars);
    LoadStringW(instance, res::IDS_TITLE, ui::shellState.windowTitle, res::kTextChars);

    // One copy only: the running one comes forward, with its open dialog.
    if (HWND running = FindWindowW(className, ui::shellState.windowTitle)) {
        ui::bringForward(running);
        return 0;
    }

#ifndef _WIN32_WCE
    ComApartment com;
#endif
    registerMainWindowClass(className);
    HWND window =
        CreateWindowExW(0, className, ui::shellState.windowTitle, WS_VISIBLE, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, NULL, NULL, instance, NULL);
    if (!window) return 0;
    ui::shellState.mainWindow = window;

    if (accounts::accountRowCount() > 0) accounts::sortAccountList();
    if (dialup::scanDevices() < 1)
        ui::showErrorText(res::IDS_NO_DEVICES); // it keeps the count itself
    ui::shellState.timerId = SetTimer(window, kTickTimerId, kTickMilliseconds, NULL);
    return runMessageLoop();
}

} // namespace app

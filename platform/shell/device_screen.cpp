// The device screen on the desktop. The program creates its main window with
// CW_USEDEFAULT and sizes its content from the creation parameters, as the
// handheld's shell makes every top-level window fill the screen below the task
// bar. A thread CBT hook gives the desktop window the same shape without the
// program knowing. At HCBT_CREATEWND of a top-level window that is neither a
// pop-up nor a child it
//  - sets x 0, y 0, cx 240, cy 294 in the CREATESTRUCT (a CBT hook may change
//    the initial place and size; Windows honours it, Wine 8 does not pass the
//    change on to the window or its WM_CREATE);
//  - puts its own procedure in front of the window's until WM_CREATE, which
//    then grows the frame by caption and borders so the client area is
//    240 x 294, and hands the window procedure a CREATESTRUCT with the
//    device's size. The caption stands for the task bar.
// The hook is installed for the thread that runs static initialisation, the
// program's one thread, before the entry routine creates any window.
#ifndef _WIN32_WCE
#include "platform/shell/device_screen.h"

namespace platform {

namespace {

HWND shaping;                                     // created, its WM_CREATE not yet seen
WNDPROC shapingProc;                              // its own procedure meanwhile
HWND mainWindow;                                  // the last window given the device's shape
const wchar_t kPlaced[] = L"TamlinkDevicePlaced"; // a message box already centred

bool isScreenWindow(const CREATESTRUCTW* create) {
    return !create->hwndParent && !(create->style & (WS_POPUP | WS_CHILD));
}

void fitClientArea(HWND window) {
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    int width = kScreenWidth + (frame.right - frame.left) - client.right;
    int height = kWorkAreaHeight + (frame.bottom - frame.top) - client.bottom;
    SetWindowPos(window, NULL, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK untilCreated(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC own = shapingProc;
    if (message == WM_NCCREATE || message == WM_CREATE) {
        if (message == WM_CREATE) {
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
            shaping = NULL;
            fitClientArea(window);
        }
        CREATESTRUCTW create = *reinterpret_cast<CREATESTRUCTW*>(lParam);
        create.x = 0;
        create.y = 0;
        create.cx = kScreenWidth;
        create.cy = kWorkAreaHeight;
        return CallWindowProcW(own, window, message, wParam, reinterpret_cast<LPARAM>(&create));
    }
    return CallWindowProcW(own, window, message, wParam, lParam);
}

bool isMessageBox(HWND window) {
    wchar_t kind[16] = {0};
    GetClassNameW(window, kind, 16);
    return wcscmp(kind, L"#32770") == 0 &&
           (GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
}

// The handheld shows a message box in the middle of its screen; the desktop
// would centre it on a screen many times larger, far from the program.
void centreOnScreen(HWND box) {
    if (!mainWindow || GetPropW(box, kPlaced)) return;
    SetPropW(box, kPlaced, reinterpret_cast<HANDLE>(1));
    RECT area = workArea(mainWindow);
    RECT rect;
    GetWindowRect(box, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(box, NULL, x < 0 ? 0 : x, y < 0 ? 0 : y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK creation(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && isMessageBox(window)) {
        centreOnScreen(window);
    } else if (code == HCBT_CREATEWND) {
        CREATESTRUCTW* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs;
        if (isScreenWindow(create) && !shaping) {
            create->x = 0;
            create->y = 0;
            create->cx = kScreenWidth;
            create->cy = kWorkAreaHeight;
            shapingProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(untilCreated)));
            if (shapingProc) shaping = window;
            mainWindow = window;
        }
    } else if (code == HCBT_DESTROYWND) {
        RemovePropW(window, kPlaced);
        // A window whose creation failed before WM_CREATE.
        if (window == shaping) shaping = NULL;
        if (window == mainWindow) mainWindow = NULL;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}

const HHOOK creationHook = SetWindowsHookExW(WH_CBT, creation, NULL, GetCurrentThreadId());

} // namespace

RECT workArea(HWND window) {
    HWND top = window ? GetAncestor(window, GA_ROOTOWNER) : NULL;
    if (!top || top == window) top = mainWindow;
    RECT area = {0, kTaskBarHeight, kScreenWidth, kScreenHeight};
    if (top && IsWindow(top)) {
        GetClientRect(top, &area);
        MapWindowPoints(top, NULL, reinterpret_cast<POINT*>(&area), 2);
    }
    return area;
}

RECT menuBarPlace(HWND parent) {
    RECT place;
    GetClientRect(parent, &place);
    place.top = place.bottom - kMenuBarHeight;
    return place;
}

RECT taskBar(HWND window) {
    const int kLowest = 18;
    RECT area = workArea(window);
    RECT bar = {area.left, area.top - kTaskBarHeight, area.right, area.top};
    if (bar.top < 0) bar.top = 0;
    if (bar.bottom - bar.top < kLowest) {
        // No room above: the strip lies over the top of the area itself.
        bar.top = area.top;
        bar.bottom = area.top + kTaskBarHeight;
    }
    return bar;
}

} // namespace platform

#endif

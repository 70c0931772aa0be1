// The menu bar at the bottom of the device screen. Its definition is an RCDATA
// resource in the handheld's layout: WORDs menu id, button count, then seven
// per button (image, command, state, style, label string, unused, popup index
// in that menu). A window of its own holds the toolbar, so the toolbar's
// notifications stay here and only chosen menu items reach the parent.
#ifndef _WIN32_WCE
#include "platform/shell.h"

#include <commctrl.h>

#include "platform/shell/device_screen.h"

namespace {

const wchar_t kBarClass[] = L"menu_worker";
const int kWordsPerButton = 7;
const int kMaxButtons = 16;
const int kLabelChars = 64;

HINSTANCE module() { return GetModuleHandleW(NULL); }

HMENU barMenu(HWND bar) { return reinterpret_cast<HMENU>(GetWindowLongPtrW(bar, 0)); }

// The popup opens above the bar from the button's left edge, as the handheld's
// does; the chosen item is posted, like a menu's own command, so the parent
// may destroy the bar while handling it.
void openPopup(HWND bar, const NMTOOLBARW& drop) {
    TBBUTTONINFOW button;
    ZeroMemory(&button, sizeof button);
    button.cbSize = sizeof button;
    button.dwMask = TBIF_LPARAM;
    if (SendMessageW(drop.hdr.hwndFrom, TB_GETBUTTONINFOW, drop.iItem,
                     reinterpret_cast<LPARAM>(&button)) < 0)
        return;
    HMENU popup = GetSubMenu(barMenu(bar), static_cast<int>(button.lParam));
    if (!popup) return;
    RECT barRect, buttonRect = drop.rcButton;
    GetWindowRect(bar, &barRect);
    MapWindowPoints(drop.hdr.hwndFrom, NULL, reinterpret_cast<POINT*>(&buttonRect), 2);
    UINT command = static_cast<UINT>(
        TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD | TPM_NONOTIFY,
                         buttonRect.left, barRect.top, bar, NULL));
    if (command) PostMessageW(GetParent(bar), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

LRESULT CALLBACK barProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == static_cast<UINT>(TBN_DROPDOWN)) {
            openPopup(bar, *reinterpret_cast<const NMTOOLBARW*>(lParam));
            return TBDDRET_DEFAULT;
        }
        return 0;
    }
    case WM_COMMAND:
        // The buttons' own ids: the menu bar keeps them to itself.
        return 0;
    case WM_NCDESTROY:
        if (HMENU menu = barMenu(bar)) DestroyMenu(menu);
        SetWindowLongPtrW(bar, 0, 0);
        break;
    }
    return DefWindowProcW(bar, message, wParam, lParam);
}

void registerBarClass() {
    WNDCLASSW wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = barProc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = module();
    wc.hCursor = LoadCursorW(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kBarClass;
    RegisterClassW(&wc); // fails harmlessly once registered
}

HWND createToolbar(HWND bar, int width, int height) {
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, L"",
                                   WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST |
                                       CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                                   0, 0, width, height, bar, NULL, module(), NULL);
    if (!toolbar) return NULL;
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETBITMAPSIZE, 0, MAKELPARAM(0, 0));
    return toolbar;
}

// A handheld style to its desktop toolbar equal: a drop-down button there opens
// its popup wherever it is tapped.
BYTE desktopStyle(WORD style) {
    BYTE desktop = static_cast<BYTE>(style);
    if (desktop & BTNS_DROPDOWN) desktop = (desktop & ~BTNS_DROPDOWN) | BTNS_WHOLEDROPDOWN;
    return desktop;
}

} // namespace

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
    if (!info) return FALSE;
    info->hwndMB = NULL;
    HRSRC found = FindResourceW(info->hInstRes, MAKEINTRESOURCEW(info->nToolBarId), RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(info->hInstRes, found) : NULL;
    const WORD* words = loaded ? static_cast<const WORD*>(LockResource(loaded)) : NULL;
    DWORD size = found ? SizeofResource(info->hInstRes, found) : 0;
    if (!words || size < 2 * sizeof(WORD) || !IsWindow(info->hwndParent)) return FALSE;
    int count = words[1];
    if (count > kMaxButtons || size < (2 + count * kWordsPerButton) * sizeof(WORD)) return FALSE;
    HMENU menu = LoadMenuW(info->hInstRes, MAKEINTRESOURCEW(words[0]));
    if (!menu) return FALSE;

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    registerBarClass();
    RECT place = platform::menuBarPlace(info->hwndParent);
    int width = place.right - place.left, height = place.bottom - place.top;
    HWND bar =
        CreateWindowExW(0, kBarClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, place.left,
                        place.top, width, height, info->hwndParent, NULL, module(), NULL);
    if (!bar) {
        DestroyMenu(menu);
        return FALSE;
    }
    SetWindowLongPtrW(bar, 0, reinterpret_cast<LONG_PTR>(menu));
    HWND toolbar = createToolbar(bar, width, height);
    if (!toolbar) {
        DestroyWindow(bar);
        return FALSE;
    }

    TBBUTTON buttons[kMaxButtons];
    ZeroMemory(buttons, sizeof buttons);
    for (int i = 0; i < count; ++i) {
        const WORD* entry = words + 2 + i * kWordsPerButton;
        // The toolbar keeps its own copy of a label added as a list ending in two nulls.
        wchar_t label[kLabelChars + 1] = {0};
        LoadStringW(info->hInstRes, entry[4], label, kLabelChars);
        buttons[i].iBitmap = static_cast<SHORT>(entry[0]); // I_IMAGENONE is -2
        buttons[i].idCommand = entry[1];
        buttons[i].fsState = static_cast<BYTE>(entry[2]);
        buttons[i].fsStyle = desktopStyle(entry[3]);
        buttons[i].dwData = entry[6];
        buttons[i].iString =
            SendMessageW(toolbar, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(label));
    }
    SendMessageW(toolbar, TB_ADDBUTTONSW, count, reinterpret_cast<LPARAM>(buttons));
    info->hwndMB = bar;
    return TRUE;
}

#endif

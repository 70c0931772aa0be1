// Full-screen dialogs and their Done button. The handheld puts Done in the task
// bar, outside the dialog: here it is a small pop-up owned by the dialog (so it
// goes when the dialog goes) over the task bar's right end. It is not a child
// of the dialog, whose own control 1 must stay what GetDlgItem(dialog, IDOK)
// finds, and it never takes activation from the dialog.
#ifndef _WIN32_WCE
#include "platform/shell.h"

#include "platform/shell/desktop_shell_test.h"
#include "platform/shell/device_screen.h"

namespace {

const wchar_t kDoneClass[] = L"shell_done_button";
const wchar_t kDoneProp[] = L"shell_done_button";
const wchar_t kPreviousProc[] = L"shell_done_previous_proc";
const int kDoneWidth = 32;

HINSTANCE module() { return GetModuleHandleW(NULL); }

bool isPressed(HWND done) { return GetWindowLongPtrW(done, GWLP_USERDATA) != 0; }

void setPressed(HWND done, bool pressed) {
    SetWindowLongPtrW(done, GWLP_USERDATA, pressed);
    InvalidateRect(done, NULL, TRUE);
}

// An object selected into a device context for one drawing: the previous one
// goes back when it ends, and an object made for the drawing is then deleted.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object, int owned = 0)
        : dc_(dc), object_(object), previous_(SelectObject(dc, object)), owned_(owned) {}
    ~Selection() {
        SelectObject(dc_, previous_);
        if (owned_) DeleteObject(object_);
    }

  private:
    Selection(const Selection&);
    Selection& operator=(const Selection&);

    HDC dc_;
    HGDIOBJ object_;
    HGDIOBJ previous_;
    int owned_;
};

void paintDone(HWND done) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(done, &paint);
    RECT rect;
    GetClientRect(done, &rect);
    FillRect(dc, &rect, GetSysColorBrush(COLOR_ACTIVECAPTION));
    InflateRect(&rect, -3, -3);
    bool pressed = isPressed(done);
    {
        Selection face(dc, GetSysColorBrush(pressed ? COLOR_CAPTIONTEXT : COLOR_ACTIVECAPTION));
        Selection pen(dc, CreatePen(PS_SOLID, 1, GetSysColor(COLOR_CAPTIONTEXT)), 1);
        Ellipse(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
    {
        Selection font(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(pressed ? COLOR_ACTIVECAPTION : COLOR_CAPTIONTEXT));
        DrawTextW(dc, L"ok", -1, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    EndPaint(done, &paint);
}

LRESULT CALLBACK doneProc(HWND done, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_LBUTTONDOWN:
        SetCapture(done);
        setPressed(done, true);
        return 0;
    case WM_LBUTTONUP: {
        if (GetCapture() != done) return 0;
        POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        RECT rect;
        GetClientRect(done, &rect);
        bool inside = PtInRect(&rect, at) != 0;
        ReleaseCapture();
        // The dialog may end inside this call; nothing of this window is used after it.
        if (inside)
            SendMessageW(GetWindow(done, GW_OWNER), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return 0;
    }
    case WM_CAPTURECHANGED: setPressed(done, false); return 0;
    case WM_PAINT: paintDone(done); return 0;
    }
    return DefWindowProcW(done, message, wParam, lParam);
}

void showDone(HWND done, bool show) {
    SetWindowPos(done, HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                     (show ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

// On the dialog: the Done button is seen exactly when the dialog is. The
// dialog is subclassed the classic way, its procedure swapped and the old one
// kept in a property: comctl32's subclass calls are exported by name only from
// version 6, which a program without a manifest does not get on Windows XP.
LRESULT CALLBACK followDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = reinterpret_cast<WNDPROC>(GetPropW(dialog, kPreviousProc));
    if (message == WM_WINDOWPOSCHANGED) {
        HWND done = static_cast<HWND>(GetPropW(dialog, kDoneProp));
        const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (pos->flags & SWP_SHOWWINDOW) showDone(done, true);
        if (pos->flags & SWP_HIDEWINDOW) showDone(done, false);
    } else if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropW(dialog, kPreviousProc);
        RemovePropW(dialog, kDoneProp);
    }
    return CallWindowProcW(previous, dialog, message, wParam, lParam);
}

void followDialogWith(HWND dialog, HWND done) {
    SetPropW(dialog, kDoneProp, done);
    LONG_PTR previous = GetWindowLongPtrW(dialog, GWLP_WNDPROC);
    SetPropW(dialog, kPreviousProc, reinterpret_cast<HANDLE>(previous));
    SetWindowLongPtrW(dialog, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(followDialog));
}

HWND addDoneButton(HWND dialog) {
    if (HWND done = platform::doneButtonOf(dialog)) return done;
    WNDCLASSW wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = doneProc;
    wc.hInstance = module();
    wc.hCursor = LoadCursorW(NULL, IDC_ARROW);
    wc.lpszClassName = kDoneClass;
    RegisterClassW(&wc); // fails harmlessly once registered
    RECT bar = platform::taskBar(dialog);
    HWND done = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kDoneClass, L"ok", WS_POPUP,
                                bar.right - kDoneWidth, bar.top, kDoneWidth, bar.bottom - bar.top,
                                dialog, NULL, module(), NULL);
    if (!done) return NULL;
    followDialogWith(dialog, done);
    if (IsWindowVisible(dialog)) showDone(done, true);
    return done;
}

} // namespace

namespace platform {

HWND doneButtonOf(HWND dialog) {
    HWND done = NULL;
    while ((done = FindWindowExW(NULL, done, kDoneClass, NULL)))
        if (GetWindow(done, GW_OWNER) == dialog) return done;
    return NULL;
}

} // namespace platform

BOOL SHInitDialog(PSHINITDLGINFO info) {
    if (!info || !IsWindow(info->hDlg)) return FALSE;
    if (!(info->dwMask & SHIDIM_FLAGS)) return TRUE;
    HWND dialog = info->hDlg;
    DWORD flags = info->dwFlags;
    if (flags & (SHIDIF_FULLSCREENNOMENUBAR | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIZEDLG)) {
        RECT area = platform::workArea(dialog);
        // Without either full-screen flag the dialog leaves room for a menu bar.
        if (!(flags & (SHIDIF_FULLSCREENNOMENUBAR | SHIDIF_SIZEDLGFULLSCREEN)))
            area.bottom -= platform::kMenuBarHeight;
        SetWindowPos(dialog, NULL, area.left, area.top, area.right - area.left,
                     area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (flags & SHIDIF_DONEBUTTON) addDoneButton(dialog);
    if (flags & SHIDIF_SIPDOWN) SHSipPreference(dialog, SIP_DOWN);
    return TRUE;
}

#endif

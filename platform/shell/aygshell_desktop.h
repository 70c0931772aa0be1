#pragma once
// The part of the Pocket PC shell (aygshell) that the program uses, for desktop
// Windows. Records and values are the handheld's; the behaviour is imitated:
// a 240 x 320 device screen with a 26-pixel task bar at the top, full-screen
// dialogs with a Done button, and a two-button menu bar at the bottom.
#ifndef _WIN32_WCE
#include <windows.h>

// Menu bar
struct SHMENUBARINFO {
    DWORD cbSize;
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;
    HINSTANCE hInstRes;
    int nBmpId;
    int cBmpImages;
    HWND hwndMB;
    COLORREF clrBk;
};
typedef SHMENUBARINFO* PSHMENUBARINFO;

// Dialogs
#define SHIDIM_FLAGS 0x0001
#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010

struct SHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};
typedef SHINITDLGINFO* PSHINITDLGINFO;

// Input panel
enum SIPSTATE { SIP_UP = 0, SIP_DOWN, SIP_FORCEDOWN, SIP_UNCHANGED, SIP_INPUTDIALOG };

struct SHACTIVATEINFO {
    DWORD cbSize;
    HWND hwndLastFocus;
    UINT fSipUp : 1;
    UINT fSipOnDeactivation : 1;
    UINT fActive : 1;
    UINT fReserved : 29;
};
typedef SHACTIVATEINFO* PSHACTIVATEINFO;

BOOL SHCreateMenuBar(SHMENUBARINFO* info);
BOOL SHInitDialog(PSHINITDLGINFO info);
BOOL SHSipPreference(HWND window, SIPSTATE state);
BOOL SHHandleWMSettingChange(HWND window, WPARAM wParam, LPARAM lParam, SHACTIVATEINFO* info);

#endif

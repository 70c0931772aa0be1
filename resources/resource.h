#pragma once
// Resource, control and command ids, shared by the resource script and the code.

// Resources
#define IDI_TAMLINK 101
#define IDR_MENUBAR 102 // menu 102 and the menu bar definition 102 (RCDATA)
#define IDD_ABOUT 103
#define IDB_LOGO 104
#define IDD_DIAL 106
#define IDD_ACCOUNT_EDITOR 107
#define IDD_OPTIONS 108

// Main window
#define IDC_ACCOUNT_LIST 102

// Menu commands
#define IDM_QUIT 40007
#define IDM_INFO 40010
#define IDM_PROGRAM_BUTTON 40011
#define IDM_NEW 40015
#define IDM_EDIT 40016
#define IDM_DELETE 40017
#define IDM_ACCOUNT_BUTTON 40020
#define IDM_OPTIONS 40024

// Dial dialog
#define IDC_DIAL_DELETE 3
#define IDC_DIAL_EDIT 4
#define IDC_DIAL_NAME 201
#define IDC_DIAL_NUMBER 202
#define IDC_DIAL_DEVICE 203
#define IDC_DIAL_STATUS 204
#define IDC_DIAL_PREFIX 205
#define IDC_DIAL_BUTTON 1002

// Account editor
#define IDC_EDIT_NAME 1003
#define IDC_EDIT_NUMBER 1004
#define IDC_EDIT_USER 1005
#define IDC_EDIT_PASSWORD 1006
#define IDC_EDIT_MAX_MINUTES 1007

// Options dialog
#define IDC_OPTIONS_START_PROGRAM 1008

// Menu bar definition values (the handheld's commctrl.h / aygshell.h values)
#define MENUBAR_IMAGE_NONE 0xFFFE   // I_IMAGENONE (-2) as a 16-bit word
#define MENUBAR_STATE_ENABLED 0x04  // TBSTATE_ENABLED
#define MENUBAR_STYLE_DROPDOWN 0x18 // TBSTYLE_DROPDOWN | TBSTYLE_AUTOSIZE

#ifndef WS_EX_CAPTIONOKBTN
#define WS_EX_CAPTIONOKBTN 0x80000000L // the handheld's OK button in the caption
#endif

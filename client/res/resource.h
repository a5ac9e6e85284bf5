// Resource and control identifiers of vpn.exe.
#pragma once

#define IDR_APP_ICON 128
#define IDS_APP_TITLE 57344  // the framework's application title string

// Login dialog
#define IDD_LOGIN 102
#define IDC_LOGIN_ACCOUNT 1000
#define IDC_LOGIN_PASSWORD 1001
#define IDC_LOGIN_LANGUAGE 1002
#define IDC_LOGIN_REMEMBER 1003
#define IDC_LOGIN_REGISTER 1004
#define IDC_LOGIN_RECHARGE 1005
#define IDC_LOGIN_LOGIN 1006
#define IDC_LOGIN_SETTINGS 1007
#define IDC_LOGIN_BANNER 1008

// Main frame
#define IDD_MAIN_FRAME 130
#define IDC_FRAME_ACCELERATE 1009
#define IDC_FRAME_RECHARGE 1053
#define IDC_FRAME_FAQ 1006
#define IDC_FRAME_MINIMISE 1030
#define IDC_FRAME_CLOSE 1029

// Timers of the login dialog
#define IDT_UPDATE_PROMPT 101

// Resource ids of nexa.exe.
#pragma once

#define IDS_APP_TITLE 103        // window title "NEXA"
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDI_NEXA 107
#define IDI_SMALL 108
#define IDC_NEXA 109             // window class name, menu and accelerators
#define IDB_ABOUT 132
#define ID_SETTINGS 32772
#define ID_ASK_SWITCH 32773

// Dialogs
#define IDD_ABOUTBOX 100
#define IDD_SETTINGS 130
#define IDD_ASK_SWITCH 131

// Controls
#define IDC_MODE_AUTO 1000       // mode 0
#define IDC_MODE_NEVER 1001      // mode 2
#define IDC_MODE_ASK 1002        // mode 1
#define IDC_CHANNEL_NAME 1004
#define IDC_ASK_TEXT 1010
#define IDC_ASK_ICON 1011
#define IDC_DONT_ASK 1012
#define IDC_ABOUT_BITMAP 1013

// Strings: the numbered start-up messages and the texts of the tray and dialogs.
#define IDS_ALREADY_RUNNING 200
#define IDS_MSG_001 201
#define IDS_MSG_002 202
#define IDS_MSG_003 203
#define IDS_MSG_004 204
#define IDS_MSG_005 205
#define IDS_MSG_006 206
#define IDS_MSG_007 207
#define IDS_MSG_006_SET 208
#define IDS_TIP_CHECKING_START 210
#define IDS_TIP_CHECKING 211
#define IDS_ASK_QUESTION 212     // "%s" is the channel name
#define IDS_NO_CHANNEL 213
#define IDS_MENU_ABOUT 214
#define IDS_MENU_SETTINGS 215
#define IDS_MENU_EXIT 216

// Resource ids of Quillon.exe.
#pragma once

// Dialogs
#define IDD_ABOUTBOX 100
#define IDD_QUILLON_DIALOG 102
#define IDD_RECEPTION 130
#define IDD_SELECTOR_PROMPT 133

// Icons
#define IDR_MAINFRAME 128
#define IDI_RECEIVING 131
#define IDI_WAITING 132

// Strings
#define IDS_ABOUTBOX 101
#define IDS_SOCKETS_FAILED 103
#define IDS_CONFIRM_EXIT 5000
#define IDS_UNIT_TITLE 6000
#define IDS_SELECTOR_KEY 7002

// System menu command of the about box (16 ... 31 open it)
#define IDM_ABOUTBOX 16
#define IDM_ABOUTBOX_LAST 31

// Main window controls and commands (the ids the planner posts are these;
// their one home is common/peer_names.h, which a test checks against them)
#define IDC_EXIT 1
#define IDC_HIDE 2
#define IDC_RESERVATION_LIST 1001
#define IDC_RESCAN 1004
#define IDC_RELOAD_SETTINGS 1008
#define IDC_START_TIME 1012
#define ID_SHOW_WINDOW 32771

// Reception window controls
#define IDC_STOP 1
#define IDC_PROGRAM_NAME 1003
#define IDC_STATUS 1005
#define IDC_PROGRESS 1006
#define IDC_REMAINING 1007
#define IDC_CLOSE_RECEPTION 1009
#define IDC_SIZE_TEXT 1010

// Selector prompt
#define IDC_PROMPT_ICON 1011


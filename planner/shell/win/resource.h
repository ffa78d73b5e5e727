// Resource ids of Tavora.exe. One section per part of the planner, so that
// additions of different parts land in different places.
#pragma once

// === shell ===
// Main frame: menu, icon and accelerators share the id
#define IDR_MAINFRAME 128

// Menu commands of the frame and the document (ids that cross programs are
// also in common/peer_names.h; the frame checks that they agree)
#define ID_TITLE_CATEGORY 32773
#define ID_VIEW_NOW 32774
#define ID_TITLE_CHANNEL 32775
#define ID_TITLE_SERIES 32776
#define ID_VIEW_PREV_DAY 32777
#define ID_VIEW_NEXT_DAY 32779
#define ID_TITLE_ORDER 32781
#define ID_GUIDE_UPDATE 32783
#define ID_PLANNER_ACTIVATE 32785
#define ID_SETTINGS 32787
#define ID_SET_TIME_ERROR 32789
#define ID_FONT_BIGGER 32791
#define ID_FONT_SMALLER 32792
#define ID_VZOOM_IN 32793
#define ID_VZOOM_OUT 32794
#define ID_HZOOM_IN 32795
#define ID_HZOOM_OUT 32796
#define ID_PANE_TIMER 32797
#define ID_REDISPLAY 32798
#define ID_RECEIVED_LIST 32810
#define ID_FILTER_USE 32813
#define ID_FILTER_EDIT 32815
#define ID_RESERVE_COLUMN 32816
#define ID_DAY_MODE_24 32817
#define ID_TIME_CALIBRATION 32818
#define ID_RESERVE_CLEAR 32820
#define ID_FILE_OPEN 0xE101
#define ID_APP_ABOUT 0xE140
#define ID_APP_EXIT 0xE141
#define ID_VIEW_TOOLBAR 0xE800

// Commands between the panes and their windows
#define ID_BUBBLE_MOVE 32771
#define ID_PANE_UPDATE 32772
#define ID_CLOCK_PLACE_A 32788
#define ID_CLOCK_PLACE_B 32790
#define ID_RESERVE_TITLES 32805

// Test-only: opens dialog 149 for a guide program named by the registry value
// "Environment"/"TestReserveProgram" ("programNumber-subNumber"). Never on a menu.
#define ID_TEST_RESERVE 33001

// Dialogs
#define IDD_ABOUTBOX 100
#define IDD_DATA_FOLDER 132
#define IDD_MESSAGE 138
#define IDD_RESERVE 149
#define IDD_RESERVE_FOLDER 150
#define IDD_RESERVE_CANCEL 151
#define IDD_MESSAGE_COUNTDOWN 293
#define IDD_SERVER_FAILURE 297

// Dialog 132 (data folder) and the folder choosers
#define IDC_FOLDER_EDIT 1002
#define IDC_FOLDER_BROWSE 1003

// Message dialogs 138 / 293 / 297
#define IDC_MESSAGE_ICON 1100
#define IDC_MESSAGE_TEXT 1101
#define IDC_MESSAGE_COUNT 1102
#define IDC_MESSAGE_NO_MORE 1038

// Dialog 149 (reservation)
#define IDC_RSV_TITLE 1001
#define IDC_RSV_SIZE 1022
#define IDC_RSV_FOLDER_LABEL 1027
#define IDC_RSV_TIME 1041
#define IDC_RSV_DIGEST 1042
#define IDC_RSV_WARNING 1043
#define IDC_RSV_CHANGE 1045
#define IDC_RSV_CLEAR 1046
#define IDC_RSV_FOLDER 1194

// Dialog 150 (storage folder)
#define IDC_FLD_FREE 1047
#define IDC_FLD_EDIT 1048
#define IDC_FLD_DEFAULT 1049
#define IDC_FLD_TITLE 1050
#define IDC_FLD_SIZE 1051

// Dialog 151 (cancel)
#define IDC_CANCEL_NAME 1052
#define IDC_CANCEL_TEXT 1053

// Strings
#define IDS_SOCKETS_FAILED 104
#define IDS_FOLDER_IS_FILE 5000
#define IDS_FOLDER_FAILED 5001
#define IDS_TOO_MUCH_OVERLAP 5006
#define IDS_CANCEL_RESERVATION 5009
#define IDS_OVERLAP 5014
#define IDS_TIME_SHORT 5016
#define IDS_DISK_LOW 5028
#define IDS_FOLDER_NOT_ABSOLUTE 5029
#define IDS_NO_DETAIL 5030
#define IDS_TOTAL_OVER 5031
#define IDS_CLEAR_RESERVATIONS 5032
#define IDS_RESERVE_FAILED 5040
#define IDS_UNIT_PROGRAM 6004
#define IDS_PLANNER_KEY 7001
#define IDS_UNIT_TITLE 7003
#define IDS_APP_TITLE 0xE000

// === history ===

// === timetable ===

// === settings and keyword ===
